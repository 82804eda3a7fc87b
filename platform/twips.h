#pragma once

#include <QRect>

namespace platform {

// Design positions are in twips; the lookup window assumes 15 twips per pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twips(int value)
{
    // Round half away from zero, as the original's conversion did for positions.
    return value >= 0 ? (value + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-value + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

} // namespace platform
