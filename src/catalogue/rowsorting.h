#pragma once

#include <QString>

#include <functional>
#include <vector>

// The order in which the list shows its rows when sorted by one column: cell texts compared as
// text (never as numbers), locale-aware and without regard to letter case; rows with equal texts
// keep the order they had.
namespace RowSorting {

enum class Direction { Ascending, Descending };

// Positions 0 to count - 1 in their sorted order: result[i] is the position of the i-th text.
// textAt(position) gives a position's text; it may be called more than once for a position.
std::vector<int> sortedPositions(int count, const std::function<QString(int)>& textAt,
                                 Direction direction);

} // namespace RowSorting
