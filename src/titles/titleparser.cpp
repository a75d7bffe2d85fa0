#include "titles/titleparser.h"

#include "titles/linecursor.h"
#include "titles/releasedate.h"
#include "titles/windows1252.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

enum class Layout { SingleLine, List, Reviews };

struct FieldRule {
    TitleField field;
    QLatin1String marker;
    Layout layout;
};

// In the order the body scan tests them; that order decides what a line with two markers means.
const FieldRule fieldRules[titleFieldCount] = {
    {TitleField::Starring, QLatin1String("Starring:"), Layout::List},
    {TitleField::Directors, QLatin1String("Directors:"), Layout::List},
    {TitleField::ReleaseDate, QLatin1String("Release date:"), Layout::SingleLine},
    {TitleField::Manufacturer, QLatin1String("Manufacturer:"), Layout::SingleLine},
    {TitleField::Genre, QLatin1String("Genre:"), Layout::SingleLine},
    {TitleField::Features, QLatin1String("Features:"), Layout::List},
    {TitleField::MpaaRating, QLatin1String("Mpaa Rating:"), Layout::SingleLine},
    {TitleField::CustomerRating, QLatin1String("Customer Rating:"), Layout::SingleLine},
    {TitleField::CustomerReviews, QLatin1String("Customer Reviews:"), Layout::Reviews},
};

// Thrown inside the parser when the file ends where the format needs another line; caught at the
// top and turned into the result's error.
struct FormatBreak {
    QString reason;
    int line;
};

// The scan works on the file's bytes: every character that carries structure is ASCII, so the
// 8-bit text need not be decoded to be understood.
class BodyScanner {
public:
    explicit BodyScanner(QByteArrayView text)
        : lines(text)
    {
    }

    RawTitleRecord scan()
    {
        readTitle();
        while (!lines.atEnd()) {
            buffer = lines.next();
            // Every test looks at the buffer as it is now: a field that consumed lines leaves the
            // last of them in the buffer for the tests after it. Every marker ends in a colon,
            // so a buffer without one needs no test.
            for (const FieldRule& rule : fieldRules) {
                if (buffer.contains(':') && buffer.contains(QByteArrayView(rule.marker)))
                    takeValue(rule);
            }
        }
        return std::move(record);
    }

private:
    void readTitle()
    {
        while (lines.linesRead() < titleLineNumber) {
            if (lines.atEnd()) {
                const QString length =
                    lines.linesRead() == 0
                        ? QStringLiteral("the file is empty")
                        : QStringLiteral("the file ends after line %1").arg(lines.linesRead());
                throw FormatBreak{
                    length + QStringLiteral("; the title belongs on line %1").arg(titleLineNumber),
                    lines.linesRead() + 1};
            }
            buffer = lines.next();
        }
        record.title = buffer.toByteArray();
    }

    void takeValue(const FieldRule& rule)
    {
        const int markerLine = lines.linesRead();
        QByteArray& value = record.cell(rule.field);
        switch (rule.layout) {
        case Layout::SingleLine:
            readValueLine(rule, markerLine, "has no value line");
            value = buffer.toByteArray();
            break;
        case Layout::List:
            readValueLine(rule, markerLine, "starts a list that the file ends before closing");
            value = buffer.toByteArray();
            for (;;) {
                readValueLine(rule, markerLine, "starts a list that the file ends before closing");
                if (buffer.isEmpty())
                    break;
                value += ", ";
                value += buffer;
            }
            break;
        case Layout::Reviews:
            value.clear();
            while (!lines.atEnd()) {
                buffer = lines.next();
                if (buffer.contains('"')) {
                    value += buffer;
                    value += "\r\n";
                }
            }
            break;
        }
    }

    void readValueLine(const FieldRule& rule, int markerLine, const char* problem)
    {
        if (lines.atEnd()) {
            throw FormatBreak{
                QStringLiteral("the \"%1\" line %2").arg(rule.marker, QLatin1String(problem)),
                markerLine};
        }
        buffer = lines.next();
    }

    LineCursor lines;
    QByteArrayView buffer;
    RawTitleRecord record;
};

ParsedRawTitle failure(const QString& error)
{
    ParsedRawTitle result;
    result.error = error;
    return result;
}

// Reads a whole title file with as few system calls as the platform allows: a catalogue opens
// tens of thousands of small files, and on a virtual machine each call is costly.
bool readWholeFile(const QString& path, QByteArray& bytes, QString& error)
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

ParsedTitle decoded(const ParsedRawTitle& raw)
{
    ParsedTitle result;
    result.error = raw.error;
    result.errorLine = raw.errorLine;
    result.record.title = decodeWindows1252(raw.record.title);
    for (size_t i = 0; i < raw.record.cells.size(); ++i)
        result.record.cells[i] = decodeWindows1252(raw.record.cells[i]);
    return result;
}

} // namespace

QLatin1String titleFieldMarker(TitleField field)
{
    return fieldRules[static_cast<size_t>(field)].marker;
}

ParsedRawTitle parseRawTitle(const QByteArray& bytes)
{
    ParsedRawTitle result;
    try {
        result.record = BodyScanner(bytes).scan();
    } catch (const FormatBreak& formatBreak) {
        result.error = formatBreak.reason;
        result.errorLine = formatBreak.line;
        return result;
    }
    QByteArray& date = result.record.cell(TitleField::ReleaseDate);
    date = normaliseReleaseDate(date);
    return result;
}

ParsedTitle parseTitle(const QByteArray& bytes)
{
    return decoded(parseRawTitle(bytes));
}

ParsedRawTitle readRawTitleFile(const QString& path)
{
    QByteArray bytes;
    QString error;
    if (!readWholeFile(path, bytes, error))
        return failure(error);
    return parseRawTitle(bytes);
}

ParsedTitle readTitleFile(const QString& path)
{
    return decoded(readRawTitleFile(path));
}
