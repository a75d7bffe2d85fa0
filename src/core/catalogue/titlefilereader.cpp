#include "core/catalogue/titlefilereader.h"

#include "core/catalogue/limits.h"
#include "core/files/regularfile.h"
#include "core/titles/titlescan.h"

#include <QFile>

#include <new>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Most title files fit at once; the buffer grows for a larger one and stays grown.
constexpr qsizetype firstBufferSize = qsizetype(64) * 1024;

QString tooLarge()
{
    return QStringLiteral("is larger than %1 MB, far larger than a title file")
        .arg(maxTitleFileBytes / (qint64(1024) * 1024));
}

TitleFileReader::Outcome failure(const QString& error)
{
    TitleFileReader::Outcome outcome;
    outcome.error = error;
    return outcome;
}

} // namespace

TitleFileReader::Outcome TitleFileReader::scanBytes()
{
    Outcome outcome;
    const TitleScan scan = scanTitle(QByteArrayView(buffer.constData(), size));
    if (!scan.ok()) {
        outcome.error = scan.error();
        outcome.errorLine = scan.errorLine();
        return outcome;
    }
    outcome.row = CatalogueRow::fromScan(scan, scratch);
    return outcome;
}

#ifdef Q_OS_UNIX

TitleFileReader::Outcome TitleFileReader::read(const QString& path)
{
    return readAt(AT_FDCWD, QFile::encodeName(path));
}

TitleFileReader::Opened::Opened(Opened&& other) noexcept
    : fd(std::exchange(other.fd, -1))
    , size(other.size)
    , why(std::move(other.why))
{
}

TitleFileReader::Opened& TitleFileReader::Opened::operator=(Opened&& other) noexcept
{
    if (this != &other) {
        if (fd >= 0)
            ::close(fd);
        fd = std::exchange(other.fd, -1);
        size = other.size;
        why = std::move(other.why);
    }
    return *this;
}

TitleFileReader::Opened::~Opened()
{
    if (fd >= 0)
        ::close(fd);
}

TitleFileReader::Opened TitleFileReader::openAt(int folderDescriptor, const QByteArray& name)
{
    // A pipe or a device put in place of a title file is refused before anything reads it.
    Opened file;
    file.fd = RegularFile::openAt(folderDescriptor, name, file.why, &file.size);
    return file;
}

TitleFileReader::Opened TitleFileReader::openAhead(int folderDescriptor, const QByteArray& name)
{
    Opened file = openAt(folderDescriptor, name);
    // Only as much as is read: a file too large to be a title is refused after this.
    if (file.fd >= 0)
        RegularFile::adviseWillRead(file.fd, qMin(file.size, maxTitleFileBytes + 1));
    return file;
}

TitleFileReader::Outcome TitleFileReader::readAt(int folderDescriptor, const QByteArray& name)
{
    return read(openAt(folderDescriptor, name));
}

TitleFileReader::Outcome TitleFileReader::read(Opened file)
{
    if (file.fd < 0)
        return failure(file.why);
    return readOpened(file.fd, file.size);
}

// Reads the whole file into the buffer, sized by what the reads find rather than by the size the
// file had when opened, which may have changed since. That size only spares the read that would
// find the end: a catalogue opens tens of thousands of small files, and every system call counts.
TitleFileReader::Outcome TitleFileReader::readOpened(int fd, qint64 sizeWhenOpened)
{
    try {
        if (buffer.size() < firstBufferSize)
            buffer.resize(firstBufferSize);
        size = 0;
        for (;;) {
            if (size == buffer.size()) {
                if (size > maxTitleFileBytes)
                    return failure(tooLarge());
                buffer.resize(qMin(buffer.size() * 2, qsizetype(maxTitleFileBytes) + 1));
            }
            const qsizetype wanted = buffer.size() - size;
            const ssize_t got = ::read(fd, buffer.data() + size, size_t(wanted));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return failure(QStringLiteral("cannot be read: %1")
                                   .arg(QString::fromLocal8Bit(std::strerror(errno))));
            if (got == 0)
                break;
            size += got;
            // A regular file gives less than asked only at its end.
            if (got < wanted && size == sizeWhenOpened)
                break;
        }
        return scanBytes();
    } catch (const std::bad_alloc&) {
        return failure(QStringLiteral("cannot be read: there is not enough memory"));
    }
}

#else

TitleFileReader::Outcome TitleFileReader::read(const QString& path)
{
    QFile file;
    const QString why = RegularFile::open(file, path);
    if (!why.isEmpty())
        return failure(why);
    if (file.size() > maxTitleFileBytes)
        return failure(tooLarge());
    try {
        buffer = file.read(maxTitleFileBytes + 1);
    } catch (const std::bad_alloc&) {
        return failure(QStringLiteral("cannot be read: there is not enough memory"));
    }
    if (file.error() != QFileDevice::NoError)
        return failure(QStringLiteral("cannot be read: %1").arg(file.errorString()));
    if (buffer.size() > maxTitleFileBytes)
        return failure(tooLarge());
    size = buffer.size();
    return scanBytes();
}

#endif
