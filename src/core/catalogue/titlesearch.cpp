#include "core/catalogue/titlesearch.h"

#include <QByteArrayMatcher>

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

// Ends every field in the index. The fold turns every control character into a space, so no
// needle holds one, and no match can run from one field or title into the next.
constexpr char fieldEnd = '\0';

// Enough for the longest word typed letter by letter, and deleted back.
constexpr size_t rememberedAnswers = 24;

// Where needle next stands in text from a position on, or -1.
class NeedleFinder {
public:
    explicit NeedleFinder(const QByteArray& needle)
        : needle(needle)
        , matcher(needle)
    {
    }

    qsizetype indexIn(QByteArrayView text, qsizetype from) const
    {
        if (needle.size() != 1)
            return matcher.indexIn(text, from);
        const void* hit = std::memchr(text.data() + from, needle[0], size_t(text.size() - from));
        return hit ? static_cast<const char*>(hit) - text.data() : -1;
    }

private:
    const QByteArray& needle;
    QByteArrayMatcher matcher;
};

} // namespace

void TitleSearch::addRow(const CatalogueRow& row)
{
    auto addField = [this, &row](int column) {
        const QByteArrayView cell = row.cellUtf8(column);
        if (cell.isEmpty())
            return;
        sourceBytes += cell.size();
        text += SearchQuery::foldUtf8(cell);
        text += fieldEnd;
    };
    addField(0);
    for (const TitleFieldInfo& field : titleFields) {
        if (isSearched(field.field))
            addField(int(field.field) + 1);
    }
    starts.push_back(quint32(text.size()));
    // A new row may hold what an earlier query looked for.
    answers.clear();
}

qsizetype TitleSearch::indexBytes() const
{
    return text.capacity() + qsizetype(starts.capacity() * sizeof(quint32));
}

std::vector<int> TitleSearch::find(const QString& typed)
{
    const SearchQuery query(typed);
    if (query.findsEverything())
        return everyEntry();
    const Answer* base = narrowestAnswerFor(query);
    if (base && base->query == query)
        return base->entries;
    std::vector<int> entries;
    const std::vector<QByteArray>& needles = query.needles();
    for (size_t i = 0; i < needles.size(); ++i) {
        if (i == 0 && !base)
            entries = entriesHolding(needles[i]);
        else
            entries = entriesHolding(needles[i], i == 0 ? base->entries : entries);
        if (entries.empty())
            break;
    }
    remember(query, entries);
    return entries;
}

// Of the answers this query can only narrow, the one with the fewest titles.
const TitleSearch::Answer* TitleSearch::narrowestAnswerFor(const SearchQuery& query) const
{
    const Answer* best = nullptr;
    for (const Answer& answer : answers) {
        if (query.narrows(answer.query) && (!best || answer.entries.size() < best->entries.size()))
            best = &answer;
    }
    return best;
}

std::vector<int> TitleSearch::everyEntry() const
{
    std::vector<int> entries(static_cast<size_t>(entryCount()));
    std::iota(entries.begin(), entries.end(), 0);
    return entries;
}

// One pass over the whole index; after a match, on from the next entry.
std::vector<int> TitleSearch::entriesHolding(const QByteArray& needle) const
{
    std::vector<int> entries;
    const NeedleFinder finder(needle);
    const QByteArrayView all(text);
    int entry = 0;
    for (qsizetype hit = finder.indexIn(all, 0); hit >= 0;) {
        while (starts[size_t(entry) + 1] <= quint32(hit))
            ++entry;
        entries.push_back(entry);
        const qsizetype next = starts[size_t(entry) + 1];
        hit = next < all.size() ? finder.indexIn(all, next) : -1;
    }
    return entries;
}

std::vector<int> TitleSearch::entriesHolding(const QByteArray& needle,
                                             const std::vector<int>& candidates) const
{
    std::vector<int> entries;
    const NeedleFinder finder(needle);
    for (int entry : candidates) {
        const quint32 begin = starts[size_t(entry)];
        const QByteArrayView fields(text.constData() + begin, starts[size_t(entry) + 1] - begin);
        if (fields.size() >= needle.size() && finder.indexIn(fields, 0) >= 0)
            entries.push_back(entry);
    }
    return entries;
}

void TitleSearch::remember(const SearchQuery& query, const std::vector<int>& entries)
{
    answers.push_front({query, entries});
    if (answers.size() > rememberedAnswers)
        answers.pop_back();
}
