#include "core/catalogue/rowsorting.h"

#include <QCollator>

#include <algorithm>
#include <numeric>

namespace RowSorting {

namespace {

// Collation keys are built from the first characters of each text only: building keys is most of
// a ranking's time. Texts whose starts tie are compared as far as comparedCharacters.
constexpr qsizetype keyPrefix = 32;

// How often, in comparisons, a ranking looks whether it is to stop.
constexpr int comparisonsBetweenStops = 4096;

// Thrown from inside the sort to stop it.
struct Stopped {};

} // namespace

std::vector<int> ranks(int count, const TextAt& textAt, const std::function<bool()>& stop)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);

    std::vector<QCollatorSortKey> keys;
    std::vector<bool> truncated;
    keys.reserve(size_t(count));
    truncated.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        if (stop && i % comparisonsBetweenStops == 0 && stop())
            return {};
        const QString text = textAt(i, keyPrefix);
        // Folded first: under the C locale the collator's keys would otherwise tell case apart.
        keys.push_back(collator.sortKey(text.left(keyPrefix).toCaseFolded()));
        truncated.push_back(text.size() > keyPrefix);
    }

    int comparisons = 0;
    auto compare = [&](int a, int b) {
        if (stop && ++comparisons % comparisonsBetweenStops == 0 && stop())
            throw Stopped{};
        const int byKey = keys[size_t(a)].compare(keys[size_t(b)]);
        if (byKey != 0 || !(truncated[size_t(a)] || truncated[size_t(b)]))
            return byKey;
        return collator.compare(textAt(a, comparedCharacters).left(comparedCharacters),
                                textAt(b, comparedCharacters).left(comparedCharacters));
    };
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::vector<int> rank(size_t(count), 0);
    try {
        std::sort(order.begin(), order.end(), [&](int a, int b) { return compare(a, b) < 0; });
        for (size_t i = 1; i < order.size(); ++i) {
            const bool tied = compare(order[i - 1], order[i]) == 0;
            rank[size_t(order[i])] = tied ? rank[size_t(order[i - 1])] : int(i);
        }
    } catch (const Stopped&) {
        return {};
    }
    return rank;
}

// A counting sort: ranks lie between 0 and the number of positions, so that ordering them takes
// one pass over the positions, however the ranks tie.
std::vector<int> orderedByRank(const std::vector<int>& rankOfPosition, Direction direction)
{
    const size_t count = rankOfPosition.size();
    std::vector<int> positions(count);
    // Where each rank's positions begin in the order, the lowest rank first or last.
    std::vector<int> start(count + 1, 0);
    for (const int rank : rankOfPosition) {
        Q_ASSERT(rank >= 0 && size_t(rank) < count);
        ++start[direction == Direction::Ascending ? size_t(rank) + 1 : count - size_t(rank)];
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    // Positions of one rank keep their own order.
    for (size_t position = 0; position < count; ++position) {
        const int rank = rankOfPosition[position];
        const size_t bucket =
            direction == Direction::Ascending ? size_t(rank) : count - 1 - size_t(rank);
        positions[size_t(start[bucket]++)] = int(position);
    }
    return positions;
}

std::vector<int> sortedPositions(int count, const TextAt& textAt, Direction direction)
{
    return orderedByRank(ranks(count, textAt), direction);
}

} // namespace RowSorting
