#pragma once

#include <QtGlobal>

#include <limits>

// Row keys, icon numbers, list positions and the unpacking counters are 16-bit signed numbers:
// they stop at this limit and never wrap around.
constexpr int maxCounter = std::numeric_limits<qint16>::max();

// A title file is a few kilobytes; one larger than this is no title file, and reading it whole
// would only waste memory.
constexpr qint64 maxTitleFileBytes = 16 * 1024 * 1024;

// The largest icon the list shows, in logical pixels: the first cover fixes the size of every
// icon, but a huge first cover must not make every icon huge.
constexpr int maxIconSide = 512;

// Covers whose pictures are larger than this, by their headers, are not read at all: decoding
// them would take far more memory than any cover needs.
constexpr int maxCoverSide = 16384;
constexpr qint64 maxCoverPixels = 32 * 1024 * 1024;

// A progressive JPEG is decoded once per scan over the whole picture; common ones have about ten.
// One with thousands costs minutes of processor time for a single cover, so more than this are
// not decoded.
constexpr int maxCoverScans = 100;
