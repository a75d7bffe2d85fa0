#pragma once

#include <QString>

#include <functional>
#include <vector>

// The order in which the list shows its rows when sorted by one column: cell texts compared as
// text (never as numbers), locale-aware and without regard to letter case; rows with equal texts
// keep the order they had.
namespace RowSorting {

// The values are those of the list's SortOrder: 0 ascending, 1 descending.
enum class Direction { Ascending = 0, Descending = 1 };

// A position's text: whole when maxChars is negative, otherwise at least its first maxChars + 1
// characters (or all of it when it is shorter), so that long texts need not be decoded whole.
using TextAt = std::function<QString(int position, qsizetype maxChars)>;

// Positions 0 to count - 1 in their sorted order: result[i] is the position of the i-th text.
// textAt may be called more than once for a position.
std::vector<int> sortedPositions(int count, const TextAt& textAt, Direction direction);

} // namespace RowSorting
