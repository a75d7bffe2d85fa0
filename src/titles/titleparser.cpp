#include "titles/titleparser.h"

#include "titles/linecursor.h"
#include "titles/releasedate.h"
#include "titles/windows1252.h"

#include <QFile>

namespace {

enum class Layout { SingleLine, List, Reviews };

struct FieldRule {
    TitleField field;
    QStringView marker;
    Layout layout;
};

// In the order the body scan tests them; that order decides what a line with two markers means.
constexpr FieldRule fieldRules[titleFieldCount] = {
    {TitleField::Starring, u"Starring:", Layout::List},
    {TitleField::Directors, u"Directors:", Layout::List},
    {TitleField::ReleaseDate, u"Release date:", Layout::SingleLine},
    {TitleField::Manufacturer, u"Manufacturer:", Layout::SingleLine},
    {TitleField::Genre, u"Genre:", Layout::SingleLine},
    {TitleField::Features, u"Features:", Layout::List},
    {TitleField::MpaaRating, u"Mpaa Rating:", Layout::SingleLine},
    {TitleField::CustomerRating, u"Customer Rating:", Layout::SingleLine},
    {TitleField::CustomerReviews, u"Customer Reviews:", Layout::Reviews},
};

// Thrown inside the parser when the file ends where the format needs another line; caught at the
// top and turned into the result's error.
struct FormatBreak {
    QString reason;
    int line;
};

class BodyScanner {
public:
    explicit BodyScanner(QStringView text)
        : lines(text) {}

    TitleRecord scan() {
        readTitle();
        while (!lines.atEnd()) {
            buffer = lines.next();
            // Every test looks at the buffer as it is now: a field that consumed lines leaves the
            // last of them in the buffer for the tests after it.
            for (const FieldRule& rule : fieldRules) {
                if (buffer.contains(rule.marker))
                    takeValue(rule);
            }
        }
        return std::move(record);
    }

private:
    void readTitle() {
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
        record.title = buffer.toString();
    }

    void takeValue(const FieldRule& rule) {
        const int markerLine = lines.linesRead();
        QString& value = record.cell(rule.field);
        switch (rule.layout) {
        case Layout::SingleLine:
            readValueLine(rule, markerLine, "has no value line");
            value = buffer.toString();
            break;
        case Layout::List:
            readValueLine(rule, markerLine, "starts a list that the file ends before closing");
            value = buffer.toString();
            for (;;) {
                readValueLine(rule, markerLine, "starts a list that the file ends before closing");
                if (buffer.isEmpty())
                    break;
                value += QLatin1String(", ");
                value += buffer;
            }
            break;
        case Layout::Reviews:
            value.clear();
            while (!lines.atEnd()) {
                buffer = lines.next();
                if (buffer.contains(u'"')) {
                    value += buffer;
                    value += QLatin1String("\r\n");
                }
            }
            break;
        }
    }

    void readValueLine(const FieldRule& rule, int markerLine, const char* problem) {
        if (lines.atEnd()) {
            throw FormatBreak{
                QStringLiteral("the \"%1\" line %2").arg(rule.marker, QLatin1String(problem)),
                markerLine};
        }
        buffer = lines.next();
    }

    LineCursor lines;
    QStringView buffer;
    TitleRecord record;
};

} // namespace

QStringView titleFieldMarker(TitleField field) {
    return fieldRules[static_cast<size_t>(field)].marker;
}

ParsedTitle parseTitle(const QByteArray& bytes) {
    const QString text = decodeWindows1252(bytes);
    ParsedTitle result;
    try {
        result.record = BodyScanner(text).scan();
    } catch (const FormatBreak& formatBreak) {
        result.error = formatBreak.reason;
        result.errorLine = formatBreak.line;
        return result;
    }
    QString& date = result.record.cell(TitleField::ReleaseDate);
    date = normaliseReleaseDate(date);
    return result;
}

ParsedTitle readTitleFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ParsedTitle result;
        result.error = QStringLiteral("cannot be opened: %1").arg(file.errorString());
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        ParsedTitle result;
        result.error = QStringLiteral("cannot be read: %1").arg(file.errorString());
        return result;
    }
    return parseTitle(bytes);
}
