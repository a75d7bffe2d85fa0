#include "core/catalogue/rowsorting.h"

#include <QCollator>

#include <algorithm>
#include <numeric>

namespace RowSorting {

namespace {

// Collation keys are built from the first characters of each text only: building keys is most of
// a sort's time, and review cells run to thousands of characters. Texts whose starts tie are
// compared in full.
constexpr qsizetype keyPrefix = 32;

} // namespace

std::vector<int> sortedPositions(int count, const TextAt& textAt, Direction direction)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);

    std::vector<QCollatorSortKey> keys;
    std::vector<bool> truncated;
    keys.reserve(size_t(count));
    truncated.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const QString text = textAt(i, keyPrefix);
        // Folded first: under the C locale the collator's keys would otherwise tell case apart.
        keys.push_back(collator.sortKey(text.left(keyPrefix).toCaseFolded()));
        truncated.push_back(text.size() > keyPrefix);
    }

    auto less = [&](int a, int b) {
        const int byKey = keys[size_t(a)].compare(keys[size_t(b)]);
        if (byKey != 0 || !(truncated[size_t(a)] || truncated[size_t(b)]))
            return byKey < 0;
        return collator.compare(textAt(a, -1), textAt(b, -1)) < 0;
    };

    std::vector<int> positions(size_t(count), 0);
    std::iota(positions.begin(), positions.end(), 0);
    if (direction == Direction::Ascending)
        std::stable_sort(positions.begin(), positions.end(), less);
    else
        std::stable_sort(positions.begin(), positions.end(),
                         [&](int a, int b) { return less(b, a); });
    return positions;
}

} // namespace RowSorting
