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

std::vector<int> orderedByRank(const std::vector<int>& rankOfPosition, Direction direction)
{
    std::vector<int> positions(rankOfPosition.size());
    std::iota(positions.begin(), positions.end(), 0);
    auto before = [&](int a, int b) {
        return direction == Direction::Ascending
                   ? rankOfPosition[size_t(a)] < rankOfPosition[size_t(b)]
                   : rankOfPosition[size_t(a)] > rankOfPosition[size_t(b)];
    };
    std::stable_sort(positions.begin(), positions.end(), before);
    return positions;
}

std::vector<int> sortedPositions(int count, const TextAt& textAt, Direction direction)
{
    return orderedByRank(ranks(count, textAt), direction);
}

} // namespace RowSorting
