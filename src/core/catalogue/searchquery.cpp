#include "core/catalogue/searchquery.h"

#include <QList>

#include <algorithm>

namespace {

// Beyond this many needles, a query is only cleared of repeats: comparing every needle with
// every other would cost more than searching with the extra ones (a pasted page of text).
constexpr size_t maxComparedNeedles = 64;

bool isCombiningMark(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

// Soft hyphens, zero-width spaces and joiners, direction marks: they show nothing, or nothing
// but a break, and are never typed.
bool isInvisible(char32_t c)
{
    return QChar::category(c) == QChar::Other_Format;
}

bool isBlank(char32_t c)
{
    return QChar::isSpace(c) || QChar::category(c) == QChar::Other_Control;
}

// Blank-separated words of folded text.
template <typename Add> void forEachWord(QStringView folded, Add add)
{
    for (QStringView word : folded.split(u' ', Qt::SkipEmptyParts))
        add(word);
}

} // namespace

QString SearchQuery::fold(QStringView text)
{
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString kept;
    kept.reserve(decomposed.size());
    for (qsizetype i = 0; i < decomposed.size(); ++i) {
        char32_t c = decomposed[i].unicode();
        qsizetype units = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < decomposed.size() &&
            decomposed[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(decomposed[i], decomposed[i + 1]);
            units = 2;
        }
        if (isBlank(c))
            kept += u' ';
        else if (!isCombiningMark(c) && !isInvisible(c))
            kept.append(decomposed.constData() + i, units);
        i += units - 1;
    }
    return kept.toCaseFolded();
}

QByteArray SearchQuery::foldUtf8(QByteArrayView text)
{
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return (uchar(c) & 0x80) == 0; });
    if (!ascii)
        return fold(QString::fromUtf8(text)).toUtf8();
    // What fold() makes of ASCII: decomposition and marks leave it alone, case folding lowers
    // A to Z, and control characters become spaces.
    QByteArray folded(text.size(), Qt::Uninitialized);
    std::transform(text.begin(), text.end(), folded.begin(), [](char c) {
        if (uchar(c) < 0x20 || uchar(c) == 0x7f)
            return ' ';
        return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    });
    return folded;
}

SearchQuery::SearchQuery(QStringView typed)
{
    const QString folded = fold(typed);
    std::vector<qsizetype> quotes;
    for (qsizetype i = 0; i < folded.size(); ++i) {
        if (folded[i] == u'"')
            quotes.push_back(i);
    }
    // A quote without a partner is taken as it stands, as part of its word.
    if (quotes.size() % 2 != 0)
        quotes.pop_back();
    const QStringView text(folded);
    qsizetype from = 0;
    for (size_t q = 0; q + 1 < quotes.size(); q += 2) {
        forEachWord(text.mid(from, quotes[q] - from), [this](QStringView w) { addNeedle(w); });
        addNeedle(text.mid(quotes[q] + 1, quotes[q + 1] - quotes[q] - 1).trimmed());
        from = quotes[q + 1] + 1;
    }
    forEachWord(text.mid(from), [this](QStringView w) { addNeedle(w); });
    dropRedundantNeedles();
}

void SearchQuery::addNeedle(QStringView folded)
{
    if (!folded.isEmpty())
        texts.push_back(folded.toUtf8());
}

// A title holding a needle holds every part of it: only the longest needles need searching,
// and the longest are the rarest, so searching them first leaves the fewest titles to check.
void SearchQuery::dropRedundantNeedles()
{
    std::sort(texts.begin(), texts.end(), [](const QByteArray& a, const QByteArray& b) {
        return a.size() != b.size() ? a.size() > b.size() : a < b;
    });
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
    if (texts.size() > maxComparedNeedles)
        return;
    std::vector<QByteArray> kept;
    for (QByteArray& needle : texts) {
        const bool inside = std::any_of(kept.begin(), kept.end(), [&](const QByteArray& longer) {
            return longer.contains(needle);
        });
        if (!inside)
            kept.push_back(std::move(needle));
    }
    texts = std::move(kept);
}

bool SearchQuery::narrows(const SearchQuery& broader) const
{
    if (broader.texts.size() > maxComparedNeedles || texts.size() > maxComparedNeedles)
        return *this == broader;
    return std::all_of(broader.texts.begin(), broader.texts.end(), [this](const QByteArray& b) {
        return std::any_of(texts.begin(), texts.end(),
                           [&](const QByteArray& ours) { return ours.contains(b); });
    });
}
