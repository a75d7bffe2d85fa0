#include "core/catalogue/coverpicture.h"

#include "core/catalogue/limits.h"
#include "core/files/regularfile.h"

#include <QFile>
#include <QImageReader>

namespace CoverPicture {

namespace {

// The most a cover is decoded at to see whether it can be: its pixels must all be read, but at a
// size that costs little (formats such as JPEG decode straight to it).
const QSize checkBox(64, 64);

bool isJpeg(const QByteArray& format)
{
    return format == "jpeg" || format == "jpg";
}

// libjpeg decodes a JPEG cut short into a picture whose missing part is grey, and only warns. A
// whole one ends with its end-of-image marker after its last scan; only the file's tail is read,
// since an embedded thumbnail has markers of its own near the start.
bool jpegReachesItsEnd(QFile& file)
{
    const qint64 window = qint64(64) * 1024;
    if (!file.seek(qMax<qint64>(0, file.size() - window)))
        return false;
    const QByteArray tail = file.read(window);
    const qsizetype end = tail.lastIndexOf("\xff\xd9");
    return end >= 0 && end > tail.lastIndexOf("\xff\xda");
}

// The scans of a JPEG are counted by their start markers, which the compressed data cannot hold
// (a 0xFF byte there is followed by 0x00), before it is decoded at all. An embedded thumbnail's
// own scan counts too.
QString scanProblem(QFile& file)
{
    static const QByteArray jpegStart("\xff\xd8\xff");
    if (file.peek(3) != jpegStart)
        return {};
    const qint64 chunk = qint64(64) * 1024;
    int scans = 0;
    char previous = 0;
    while (!file.atEnd()) {
        const QByteArray bytes = file.read(chunk);
        if (bytes.isEmpty())
            break;
        for (const char byte : bytes) {
            if (previous == '\xff' && byte == '\xda')
                ++scans;
            previous = byte;
        }
        if (scans > maxCoverScans)
            return QStringLiteral("is a JPEG picture of more than %1 scans, which would take "
                                  "minutes to decode")
                .arg(maxCoverScans);
    }
    file.seek(0);
    return {};
}

QString sizeProblem(QSize size)
{
    if (!size.isValid() || size.isEmpty())
        return QStringLiteral("is not a picture that can be read");
    if (size.width() > maxCoverSide || size.height() > maxCoverSide ||
        qint64(size.width()) * size.height() > maxCoverPixels)
        return QStringLiteral("is a picture of %1 x %2 pixels, too large for a cover")
            .arg(size.width())
            .arg(size.height());
    return {};
}

} // namespace

Header readHeader(const QString& path)
{
    Header header;
    QFile file;
    header.problem = RegularFile::open(file, path);
    if (!header.problem.isEmpty())
        return header;
    QImageReader reader(&file);
    const QSize size = reader.canRead() ? reader.size() : QSize();
    header.problem = sizeProblem(size);
    if (header.problem.isEmpty())
        header.size = size;
    return header;
}

namespace {

// The picture scaled to fit inside box, and, where problem is given, why it cannot be read when
// it cannot: one opening of the file serves both the check and the decoding.
QImage decode(const QString& path, QSize box, QString* problem)
{
    const auto fail = [problem](const QString& why) {
        if (problem)
            *problem = why;
        return QImage();
    };
    QFile file;
    const QString unopened = RegularFile::open(file, path);
    if (!unopened.isEmpty())
        return fail(unopened);
    const QString tooSlow = scanProblem(file);
    if (!tooSlow.isEmpty())
        return fail(tooSlow);
    QImageReader reader(&file);
    const QSize original = reader.size();
    const QString tooLarge = sizeProblem(original);
    if (!tooLarge.isEmpty())
        return fail(tooLarge);
    if (box.isEmpty())
        return {};
    // Formats that can decode at a smaller size (JPEG) do; the others are scaled right after.
    const QSize fitted = original.scaled(box, Qt::KeepAspectRatio);
    reader.setScaledSize(fitted);
    const QByteArray format = reader.format(); // empty once the picture is read
    QImage image = reader.read();
    if (image.isNull() || (isJpeg(format) && !jpegReachesItsEnd(file)))
        return fail(QStringLiteral("cannot be decoded: its picture data is damaged or cut short"));
    if (image.size() != fitted)
        image = image.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

QImage readScaled(const QString& path, QSize box)
{
    return decode(path, box, nullptr);
}

QString readProblem(const QString& path)
{
    QString problem;
    decode(path, checkBox, &problem);
    return problem;
}

QSize iconSizeFor(QSize firstCover)
{
    if (!firstCover.isValid() || firstCover.isEmpty())
        return {};
    if (firstCover.width() <= maxIconSide && firstCover.height() <= maxIconSide)
        return firstCover;
    return firstCover.scaled(maxIconSide, maxIconSide, Qt::KeepAspectRatio);
}

} // namespace CoverPicture
