#include "core/catalogue/titlefilereader.h"

#include "core/catalogue/limits.h"
#include "core/titles/titlescan.h"

#include <new>

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

TitleFileReader::Outcome TitleFileReader::read(const QString& path)
{
    return read(ReadableFolder::openPath(path));
}

ReadableFolder::File TitleFileReader::openAhead(const ReadableFolder& folder, const QString& name)
{
    ReadableFolder::File file = folder.open(name);
    // Only as much as is read: a file too large to be a title is refused after this.
    ReadableFolder::adviseWillRead(file, qMin(file.sizeWhenOpened(), maxTitleFileBytes + 1));
    return file;
}

// Reads the whole file into the buffer, sized by what the reads find rather than by the size the
// file had when opened, which may have changed since. That size only spares the read that would
// find the end: a catalogue opens tens of thousands of small files, and every system call counts.
TitleFileReader::Outcome TitleFileReader::read(ReadableFolder::File file)
{
    if (!file.isOpen())
        return failure(file.error());
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
            const qint64 got = file.read(buffer.data() + size, wanted);
            if (got < 0)
                return failure(file.error());
            if (got == 0)
                break;
            size += got;
            // A regular file gives less than asked only at its end.
            if (got < wanted && size == file.sizeWhenOpened())
                break;
        }
        return scanBytes();
    } catch (const std::bad_alloc&) {
        return failure(QStringLiteral("cannot be read: there is not enough memory"));
    }
}
