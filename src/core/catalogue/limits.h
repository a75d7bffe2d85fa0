#pragma once

#include <QtGlobal>

#include <limits>

// Row keys, icon numbers, list positions and the unpacking counters are 16-bit signed numbers:
// they stop at this limit and never wrap around.
constexpr int maxCounter = std::numeric_limits<qint16>::max();
