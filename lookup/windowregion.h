#pragma once

#include <QRegion>

namespace lookup {

// The lookup window's outline for a window of the given size in twips: two overlapping
// rectangles that leave 5-pixel notches at the corners, filled back by four ellipses of
// different sizes, so each corner has its own rounding. Sizes are converted at 15 twips per
// pixel, halves rounded to even. Rectangles and ellipses follow the Windows convention that
// the right and bottom bounds are exclusive.
QRegion windowRegion(double widthTwips, double heightTwips);

} // namespace lookup
