#include "core/files/readablefolder.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void ReadableFolder::File::close()
{
    if (handle != -1)
        ::close(int(handle));
    handle = -1;
}

qint64 ReadableFolder::File::read(char* data, qint64 length)
{
    for (;;) {
        const ssize_t got = ::read(int(handle), data, size_t(length));
        if (got >= 0)
            return qint64(got);
        if (errno != EINTR) {
            why = QStringLiteral("cannot be read: %1").arg(qt_error_string(errno));
            return -1;
        }
    }
}

bool ReadableFolder::File::handOver(QFile& file)
{
    if (!file.open(int(handle), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return false;
    handle = -1;
    return true;
}

ReadableFolder::ReadableFolder(const QString& path)
    : path(path)
    , folder(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

ReadableFolder::~ReadableFolder()
{
    if (folder != -1)
        ::close(int(folder));
}

ReadableFolder::File ReadableFolder::open(const QString& name) const
{
    return folder == -1 ? openPath(path + u'/' + name) : openIn(folder, name);
}

ReadableFolder::File ReadableFolder::openPath(const QString& path)
{
    return openIn(-1, path);
}

ReadableFolder::File ReadableFolder::openIn(qintptr folder, const QString& name)
{
    File file;
    // O_NONBLOCK: opening a pipe without a writer, or a device, would otherwise wait.
    const int fd = ::openat(folder == -1 ? AT_FDCWD : int(folder),
                            QFile::encodeName(name).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // Unlike strerror, qt_error_string may be called on any thread.
        file.why = QStringLiteral("cannot be opened: %1").arg(qt_error_string(errno));
        return file;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        file.why = QStringLiteral("is not a regular file");
        return file;
    }
    file.handle = fd;
    file.size = qint64(status.st_size);
    return file;
}

void ReadableFolder::adviseWillRead(const File& file, qint64 bytes)
{
#ifdef POSIX_FADV_WILLNEED
    if (file.isOpen() && bytes > 0)
        ::posix_fadvise(int(file.handle), 0, off_t(bytes), POSIX_FADV_WILLNEED);
#else
    Q_UNUSED(file);
    Q_UNUSED(bytes);
#endif
}

bool ReadableFolder::readsAhead()
{
#ifdef POSIX_FADV_WILLNEED
    return true;
#else
    return false;
#endif
}
