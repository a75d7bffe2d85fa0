#pragma once

#include <QString>

#include <functional>
#include <vector>

// The order in which the list shows its rows when sorted by one column: cell texts compared as
// text (never as numbers), locale-aware and without regard to letter case; rows with equal texts
// keep the order they had.
//
// A cell counts by its first comparedCharacters characters, more than any cell shows: rows whose
// cells start alike for that long keep the order they had, and comparing two cells never costs
// more than that, whatever they hold (a review column runs to megabytes).
namespace RowSorting {

// The values are those of the list's SortOrder: 0 ascending, 1 descending.
enum class Direction { Ascending = 0, Descending = 1 };

constexpr qsizetype comparedCharacters = 256;

// A position's text: whole when maxChars is negative, otherwise at least its first maxChars + 1
// characters (or all of it when it is shorter), so that long texts need not be decoded whole.
using TextAt = std::function<QString(int position, qsizetype maxChars)>;

// Each position's rank in the ascending order of the texts: the number of texts that come
// before it. Texts that compare equal share a rank. textAt may be called more than once for a
// position. When stop() says so, gives up and returns nothing: ranking a large catalogue takes a
// while, and the program may be closing.
std::vector<int> ranks(int count, const TextAt& textAt, const std::function<bool()>& stop = {});

// The positions in the order of their ranks: result[i] is the position of the i-th. Positions of
// equal rank keep their order, in either direction. Every rank lies between 0 and the number of
// positions, as ranks() gives them.
std::vector<int> orderedByRank(const std::vector<int>& rankOfPosition, Direction direction);

// Positions 0 to count - 1 in their sorted order: result[i] is the position of the i-th text.
std::vector<int> sortedPositions(int count, const TextAt& textAt, Direction direction);

} // namespace RowSorting
