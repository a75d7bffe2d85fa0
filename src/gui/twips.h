#pragma once

#include <QtGlobal>

// Window sizes and positions are kept in twips, 1440 to the inch, and shown at 15 twips to the
// pixel (96 dots per inch).
namespace Twips {

constexpr float perPixel = 15.0f;

inline int toPixels(float twips)
{
    return qRound(twips / perPixel);
}

// A width or height: never fewer than no pixels.
inline int toPixelSize(float twips)
{
    return qMax(0, toPixels(twips));
}

inline float fromPixels(int pixels)
{
    return float(pixels) * perPixel;
}

} // namespace Twips
