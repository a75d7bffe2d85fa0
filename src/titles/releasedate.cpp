#include "titles/releasedate.h"

#include <array>

namespace {

const std::array<const char*, 12> monthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December",
};

template <typename Text> Text monthNumberOf(const Text& month)
{
    for (size_t i = 0; i < monthNames.size(); ++i) {
        if (QLatin1String(monthNames[i]) == month) {
            const char digits[3] = {char('0' + (i + 1) / 10), char('0' + (i + 1) % 10), 0};
            return Text(digits);
        }
    }
    return {};
}

// The characters of text from the 1-based position on, at most count of them; empty when the
// position lies beyond the end or count is not positive.
template <typename Text> Text slice(const Text& text, qsizetype position, qsizetype count)
{
    if (count <= 0 || position > text.size())
        return {};
    return text.mid(position - 1, count);
}

template <typename Text> Text normalise(const Text& date)
{
    // Positions are 1-based and 0 means "not found", so that the arithmetic reads the same for
    // "12 March, 2002" (day, blank, month, comma) and "March, 2002" (no day).
    const qsizetype comma = date.indexOf(',') + 1;
    const Text year = slice(date, comma + 2, 4);
    const qsizetype blank = date.indexOf(' ') + 1;
    const qsizetype dayEnd = (blank == comma + 1) ? 0 : blank;
    const Text month = slice(date, dayEnd + 1, comma - dayEnd - 1);
    const Text day = dayEnd == 0 ? Text() : slice(date, 1, dayEnd - 1);
    return year + monthNumberOf(month) + day;
}

} // namespace

QString monthNumber(QStringView monthName)
{
    return monthNumberOf(monthName.toString());
}

QString normaliseReleaseDate(const QString& date)
{
    return normalise(date);
}

QByteArray normaliseReleaseDate(const QByteArray& date)
{
    return normalise(date);
}
