#include "core/catalogue/titlesearch.h"

#include "core/catalogue/limits.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <numeric>
#include <string_view>

// A pool has room for a text of every title the list can hold.
static_assert(ValuePool::maxValues >= maxCounter);

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
        : needle(needle.constData(), size_t(needle.size()))
    {
    }

    qsizetype indexIn(QByteArrayView text, qsizetype from) const
    {
        const size_t at =
            std::string_view(text.data(), size_t(text.size())).find(needle, size_t(from));
        return at == std::string_view::npos ? -1 : qsizetype(at);
    }

private:
    std::string_view needle;
};

} // namespace

void TitleSearch::addRow(const CatalogueRow& row)
{
    auto folded = [this, &row](int column) {
        const QByteArrayView cell = row.cellUtf8(column);
        sourceBytes += cell.size();
        return cell.isEmpty() ? QByteArray() : SearchQuery::foldUtf8(cell);
    };
    auto addOwn = [this](const QByteArray& field) {
        if (!field.isEmpty())
            text += field + fieldEnd;
    };
    addOwn(folded(0));
    size_t pool = 0;
    for (const TitleFieldInfo& field : titleFields) {
        if (!isSearchedField(field.field))
            continue;
        const QByteArray value = folded(int(field.field) + 1);
        if (!isSharedField(field.field)) {
            addOwn(value);
            continue;
        }
        const quint16 number = value.isEmpty() ? 0 : shared[pool].add(value);
        Q_ASSERT(number != 0 || value.isEmpty());
        ++pool;
        sharedNumbers.push_back(number);
    }
    starts.push_back(quint32(text.size()));
    // A new row may hold what an earlier query looked for.
    answers.clear();
}

qsizetype TitleSearch::indexBytes() const
{
    qsizetype bytes = text.capacity() + qsizetype(starts.capacity() * sizeof(quint32)) +
                      qsizetype(sharedNumbers.capacity() * sizeof(quint16));
    for (const ValuePool& pool : shared)
        bytes += pool.bytes();
    return bytes;
}

// Rows come one by one, and the index grows ahead of them; once searching starts, rows rarely
// come any more.
void TitleSearch::compact()
{
    text.squeeze();
    starts.shrink_to_fit();
    sharedNumbers.shrink_to_fit();
    for (ValuePool& pool : shared)
        pool.compact();
}

std::vector<int> TitleSearch::find(const SearchQuery& query)
{
    if (text.capacity() > text.size() + text.size() / 16)
        compact();
    if (query.findsEverything())
        return everyEntry();
    const Answer* base = narrowestAnswerFor(query);
    if (base && base->query == query)
        return base->entries;
    std::vector<int> entries;
    const std::vector<QByteArray>& needles = query.needles();
    for (size_t i = 0; i < needles.size(); ++i) {
        const std::vector<int>* candidates = i > 0 ? &entries : base ? &base->entries : nullptr;
        entries = entriesHolding(needles[i], candidates);
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

std::vector<int> TitleSearch::entriesHolding(const QByteArray& needle,
                                             const std::vector<int>* candidates) const
{
    std::vector<int> own =
        candidates ? entriesWithOwnText(needle, *candidates) : entriesWithOwnText(needle);
    std::array<std::vector<bool>, sharedCount> inPool;
    bool anyShared = false;
    for (size_t pool = 0; pool < shared.size(); ++pool) {
        inPool[pool] = shared[pool].holding(needle);
        anyShared = anyShared || ValuePool::anyHolds(inPool[pool]);
    }
    if (!anyShared)
        return own;
    auto sharesIt = [&](int entry) {
        const quint16* numbers = sharedNumbers.data() + size_t(entry) * shared.size();
        for (size_t pool = 0; pool < shared.size(); ++pool) {
            if (inPool[pool][numbers[pool]])
                return true;
        }
        return false;
    };
    std::vector<int> throughShared;
    if (candidates) {
        std::copy_if(candidates->begin(), candidates->end(), std::back_inserter(throughShared),
                     sharesIt);
    } else {
        for (int entry = 0; entry < entryCount(); ++entry) {
            if (sharesIt(entry))
                throughShared.push_back(entry);
        }
    }
    std::vector<int> entries;
    std::set_union(own.begin(), own.end(), throughShared.begin(), throughShared.end(),
                   std::back_inserter(entries));
    return entries;
}

// One pass over the whole index; after a match, on from the next entry.
std::vector<int> TitleSearch::entriesWithOwnText(const QByteArray& needle) const
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

std::vector<int> TitleSearch::entriesWithOwnText(const QByteArray& needle,
                                                 const std::vector<int>& candidates) const
{
    // Through most of the index, one pass over all of it is quicker than a search per title.
    if (candidates.size() * 4 > size_t(entryCount())) {
        const std::vector<int> holding = entriesWithOwnText(needle);
        std::vector<int> entries;
        std::set_intersection(holding.begin(), holding.end(), candidates.begin(), candidates.end(),
                              std::back_inserter(entries));
        return entries;
    }
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
