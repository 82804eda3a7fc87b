#include "windowregion.h"

#include "platform/twips.h"

#include <cmath>

namespace lookup {

namespace {

int toPixelsHalfEven(double twips)
{
    // nearbyint rounds in the current mode, which is to nearest with ties to even.
    return static_cast<int>(std::nearbyint(twips / platform::kTwipsPerPixel));
}

QRegion rectFromBounds(int left, int top, int right, int bottom)
{
    return QRegion(QRect(QPoint(left, top), QSize(right - left, bottom - top)));
}

QRegion ellipseFromBounds(int left, int top, int right, int bottom)
{
    return QRegion(QRect(QPoint(left, top), QSize(right - left, bottom - top)), QRegion::Ellipse);
}

} // namespace

QRegion windowRegion(double widthTwips, double heightTwips)
{
    const int w = toPixelsHalfEven(widthTwips);
    const int h = toPixelsHalfEven(heightTwips);
    QRegion region = rectFromBounds(0, 5, w, h - 5);
    region += rectFromBounds(5, 0, w - 5, h);
    region += ellipseFromBounds(-2, 0, 15, 35);                // top left
    region += ellipseFromBounds(w - 15, 0, w + 2, 20);         // top right
    region += ellipseFromBounds(-1, h - 20, 10, h);            // bottom left
    region += ellipseFromBounds(w - 20, h - 40, w + 3, h + 4); // bottom right
    return region;
}

} // namespace lookup
