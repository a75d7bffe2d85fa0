#include "titles/releasedate.h"

#include <array>

namespace {

// The characters of text from the 1-based position on, at most count of them; empty when the
// position lies beyond the end or count is not positive.
QString slice(const QString& text, qsizetype position, qsizetype count) {
    if (count <= 0 || position > text.size())
        return {};
    return text.mid(position - 1, count);
}

} // namespace

QString monthNumber(QStringView monthName) {
    static const std::array<QStringView, 12> names = {
        u"January", u"February", u"March",     u"April",   u"May",      u"June",
        u"July",    u"August",   u"September", u"October", u"November", u"December",
    };
    for (size_t i = 0; i < names.size(); ++i) {
        if (monthName == names[i])
            return QString::number(i + 1).rightJustified(2, u'0');
    }
    return {};
}

QString normaliseReleaseDate(const QString& date) {
    // Positions are 1-based and 0 means "not found", so that the arithmetic reads the same for
    // "12 March, 2002" (day, blank, month, comma) and "March, 2002" (no day).
    const qsizetype comma = date.indexOf(u',') + 1;
    const QString year = slice(date, comma + 2, 4);
    const qsizetype blank = date.indexOf(u' ') + 1;
    const qsizetype dayEnd = (blank == comma + 1) ? 0 : blank;
    const QString month = slice(date, dayEnd + 1, comma - dayEnd - 1);
    const QString day = dayEnd == 0 ? QString() : slice(date, 1, dayEnd - 1);
    return year + monthNumber(month) + day;
}
