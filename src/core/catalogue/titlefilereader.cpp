#include "core/catalogue/titlefilereader.h"

#include "core/titles/titlescan.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

TitleFileReader::Outcome TitleFileReader::read(const QString& path)
{
    Outcome outcome;
    if (!readWholeFile(path, outcome.error))
        return outcome;
    const TitleScan scan = scanTitle(bytes);
    if (!scan.ok()) {
        outcome.error = scan.error();
        outcome.errorLine = scan.errorLine();
        return outcome;
    }
    outcome.row = CatalogueRow::fromScan(scan, scratch);
    return outcome;
}

// Reads a whole title file with as few system calls as the platform allows: a catalogue opens
// tens of thousands of small files, and on a virtual machine each call is costly.
bool TitleFileReader::readWholeFile(const QString& path, QString& error)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = QStringLiteral("cannot be opened: %1")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat info;
    qsizetype size = ::fstat(fd, &info) == 0 ? qsizetype(info.st_size) : 0;
    // One byte more than the size, so that a short read tells the end without a second call.
    bytes.resize(size + 1);
    qsizetype got = 0;
    for (;;) {
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = QStringLiteral("cannot be read: %1")
                        .arg(QString::fromLocal8Bit(std::strerror(errno)));
            ::close(fd);
            return false;
        }
        got += n;
        if (n == 0 || got < bytes.size())
            break;
        bytes.resize(bytes.size() * 2); // the file grew since its size was taken
    }
    ::close(fd);
    bytes.truncate(got);
    return true;
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot be opened: %1").arg(file.errorString());
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("cannot be read: %1").arg(file.errorString());
        return false;
    }
    return true;
#endif
}
