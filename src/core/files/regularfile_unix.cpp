#include "core/files/regularfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

int openAt(int folderDescriptor, const QByteArray& name, QString& why, qint64* size)
{
    // O_NONBLOCK: opening a pipe without a writer, or a device, would otherwise wait.
    const int fd = ::openat(folderDescriptor, name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = QStringLiteral("cannot be opened: %1")
                  .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        why = QStringLiteral("is not a regular file");
        return -1;
    }
    if (size)
        *size = qint64(status.st_size);
    return fd;
}

void adviseWillRead(int fd, qint64 bytes)
{
#ifdef POSIX_FADV_WILLNEED
    if (bytes > 0)
        ::posix_fadvise(fd, 0, off_t(bytes), POSIX_FADV_WILLNEED);
#else
    Q_UNUSED(fd);
    Q_UNUSED(bytes);
#endif
}

QString open(QFile& file, const QString& path)
{
    QString why;
    const int fd = openAt(AT_FDCWD, QFile::encodeName(path), why);
    if (fd < 0)
        return why;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return QStringLiteral("cannot be opened: %1").arg(file.errorString());
    }
    return {};
}

} // namespace RegularFile
