#include "core/titles/releasedate.h"

#include <array>

namespace {

const std::array<const char*, 12> monthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December",
};

// The characters of text from the 1-based position on, at most count of them; empty when the
// position lies beyond the end or count is not positive.
QByteArrayView slice(QByteArrayView text, qsizetype position, qsizetype count)
{
    if (count <= 0 || position > text.size())
        return {};
    return text.sliced(position - 1, qMin(count, text.size() - position + 1));
}

} // namespace

QByteArray monthNumber(QByteArrayView monthName)
{
    for (size_t i = 0; i < monthNames.size(); ++i) {
        if (monthName == QByteArrayView(monthNames[i])) {
            const char digits[2] = {char('0' + (i + 1) / 10), char('0' + (i + 1) % 10)};
            return QByteArray(digits, 2);
        }
    }
    return {};
}

QByteArray normaliseReleaseDate(QByteArrayView date)
{
    // Positions are 1-based and 0 means "not found", so that the arithmetic reads the same for
    // "12 March, 2002" (day, blank, month, comma) and "March, 2002" (no day).
    const qsizetype comma = date.indexOf(',') + 1;
    const QByteArrayView year = slice(date, comma + 2, 4);
    const qsizetype blank = date.indexOf(' ') + 1;
    const qsizetype dayEnd = (blank == comma + 1) ? 0 : blank;
    const QByteArrayView month = slice(date, dayEnd + 1, comma - dayEnd - 1);
    const QByteArrayView day = dayEnd == 0 ? QByteArrayView() : slice(date, 1, dayEnd - 1);
    QByteArray normalised;
    normalised.reserve(year.size() + 2 + day.size());
    normalised += year;
    normalised += monthNumber(month);
    normalised += day;
    return normalised;
}
