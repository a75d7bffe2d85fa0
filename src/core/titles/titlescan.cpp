#include "core/titles/titlescan.h"

#include "core/titles/linebreak.h"
#include "core/titles/linecursor.h"
#include "core/titles/releasedate.h"
#include "core/titles/windows1252.h"

#include <cstring>

namespace {

// Thrown inside the scan when the file ends where the format needs another line; caught at the
// top and turned into the scan's error.
struct FormatBreak {
    QString reason;
    int line;
};

QByteArrayView markerOf(const TitleFieldInfo& field)
{
    return QByteArrayView(field.marker.data(), field.marker.size());
}

// Whether the line holds the marker anywhere. A marker ends in a colon, so it can only end at one
// of the line's colons, and lines seldom hold more than one: comparing the bytes before each is
// far quicker than a search for the whole marker, which the scan does for every marker of every
// line with a colon.
bool holdsMarker(QByteArrayView line, QByteArrayView marker)
{
    const char* begin = line.data();
    for (qsizetype end = marker.size() - 1; end < line.size(); ++end) {
        const auto* colon =
            static_cast<const char*>(std::memchr(begin + end, ':', size_t(line.size() - end)));
        if (colon == nullptr)
            return false;
        end = colon - begin;
        if (std::memcmp(colon + 1 - marker.size(), marker.data(), size_t(marker.size())) == 0)
            return true;
    }
    return false;
}

// Calls take(line) for each value line of a field's region, in file order, as the catalogue
// shows them: list entries with ", " between them, review lines (those holding a double quote)
// each followed by CR LF.
template <typename Take, typename Separator>
void forEachValueLine(ValueLayout layout, QByteArrayView region, Take take, Separator separator)
{
    LineCursor lines(region);
    switch (layout) {
    case ValueLayout::SingleLine:
        take(region);
        break;
    case ValueLayout::List:
        for (bool first = true; !lines.atEnd(); first = false) {
            if (!first)
                separator(QByteArrayView(", "));
            take(lines.next());
        }
        break;
    case ValueLayout::Reviews:
        while (!lines.atEnd()) {
            const QByteArrayView line = lines.next();
            if (line.contains('"')) {
                take(line);
                separator(crBytes());
            }
        }
        break;
    }
}

// Most of a catalogue's text is plain ASCII, which is UTF-8 as it stands: then a field's value is
// copied into room made once, instead of being appended one part at a time. False, with nothing
// appended, when the region holds other bytes.
bool appendAsciiValue(ValueLayout layout, QByteArrayView region, QByteArray& out)
{
    if (!isAscii(region))
        return false;
    // A line of n bytes and the break of at least one byte after it in the file become at most the
    // n bytes and a separator of two: at most twice the room, and two bytes more for a last line
    // with no break.
    static_assert(cr.size() <= 2);
    const qsizetype at = out.size();
    out.resize(at + 2 * region.size() + 2);
    char* write = out.data() + at;
    auto copy = [&write](QByteArrayView part) {
        if (part.isEmpty())
            return; // an absent field's bytes have no address at all
        std::memcpy(write, part.data(), size_t(part.size()));
        write += part.size();
    };
    forEachValueLine(layout, region, copy, copy);
    out.resize(write - out.constData());
    return true;
}

constexpr bool everyMarkerEndsInColon()
{
    for (const TitleFieldInfo& field : titleFields) {
        if (field.marker.size() == 0 || field.marker.data()[field.marker.size() - 1] != ':')
            return false;
    }
    return true;
}

} // namespace

// The scan works on the file's bytes: every character that carries structure is ASCII, so the
// 8-bit text need not be decoded to be understood.
class BodyScanner {
public:
    BodyScanner(QByteArrayView text, TitleScan& scan)
        : text(text)
        , lines(text)
        , scan(scan)
    {
    }

    void run()
    {
        static_assert(everyMarkerEndsInColon(),
                      "markers are looked for only where a colon ends them");
        readTitle();
        while (!lines.atEnd()) {
            buffer = lines.next();
            // Every test looks at the buffer as it is now: a field that consumed lines leaves the
            // last of them in the buffer for the tests after it. Every marker ends in a colon,
            // so a buffer without one needs no test; whether it has one is looked up once for
            // each buffer, not once for each marker.
            bool hasColon = buffer.contains(':');
            for (const TitleFieldInfo& field : titleFields) {
                if (hasColon && holdsMarker(buffer, markerOf(field))) {
                    takeValue(field);
                    hasColon = buffer.contains(':');
                }
            }
        }
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
        scan.titleLine = buffer;
    }

    void takeValue(const TitleFieldInfo& field)
    {
        const int markerLine = lines.linesRead();
        QByteArrayView& region = scan.regions[static_cast<size_t>(field.field)];
        switch (field.layout) {
        case ValueLayout::SingleLine:
            readValueLine(field, markerLine, "has no value line");
            region = buffer;
            break;
        case ValueLayout::List: {
            const char* problem = "starts a list that the file ends before closing";
            readValueLine(field, markerLine, problem);
            const char* begin = buffer.data();
            const char* end = buffer.data() + buffer.size();
            for (;;) {
                readValueLine(field, markerLine, problem);
                if (buffer.isEmpty())
                    break;
                end = buffer.data() + buffer.size();
            }
            region = QByteArrayView(begin, end);
            break;
        }
        case ValueLayout::Reviews:
            // Every line to the end of the file: no marker is looked for after this one, the
            // last tested, so the lines need not be gone through one by one here.
            static_assert(titleFields.back().layout == ValueLayout::Reviews);
            region = text.sliced(lines.offset());
            lines.skipRest();
            break;
        }
    }

    void readValueLine(const TitleFieldInfo& field, int markerLine, const char* problem)
    {
        if (lines.atEnd()) {
            throw FormatBreak{
                QStringLiteral("the \"%1\" line %2").arg(field.marker, QLatin1String(problem)),
                markerLine};
        }
        buffer = lines.next();
    }

    QByteArrayView text;
    LineCursor lines;
    QByteArrayView buffer;
    TitleScan& scan;
};

TitleScan scanTitle(QByteArrayView bytes)
{
    TitleScan scan;
    try {
        BodyScanner(bytes, scan).run();
    } catch (const FormatBreak& formatBreak) {
        scan = TitleScan();
        scan.errorText = formatBreak.reason;
        scan.errorAt = formatBreak.line;
    }
    return scan;
}

QByteArray TitleScan::fieldBytes(TitleField field) const
{
    const QByteArrayView region = regions[static_cast<size_t>(field)];
    if (field == TitleField::ReleaseDate)
        return normaliseReleaseDate(region);
    QByteArray value;
    auto append = [&](QByteArrayView part) {
        value += part;
    };
    forEachValueLine(fieldInfo(field).layout, region, append, append);
    return value;
}

void TitleScan::appendTitleUtf8(QByteArray& out) const
{
    appendWindows1252AsUtf8(titleLine, out);
}

void TitleScan::appendFieldUtf8(TitleField field, QByteArray& out) const
{
    const QByteArrayView region = regions[static_cast<size_t>(field)];
    if (field == TitleField::ReleaseDate) {
        appendWindows1252AsUtf8(normaliseReleaseDate(region), out);
        return;
    }
    if (appendAsciiValue(fieldInfo(field).layout, region, out))
        return;
    // The separators are ASCII, the same bytes in UTF-8: they go the same quick way as the text.
    auto append = [&](QByteArrayView part) {
        appendWindows1252AsUtf8(part, out);
    };
    forEachValueLine(fieldInfo(field).layout, region, append, append);
}

QString TitleScan::titleText() const
{
    return decodeWindows1252(titleLine);
}

QString TitleScan::fieldText(TitleField field) const
{
    return decodeWindows1252(fieldBytes(field));
}
