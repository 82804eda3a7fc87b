#pragma once

#include <QRegion>

namespace xpbutton {

// The window outline of a button: its region, the inner clip of the elliptic shapes, and the
// geometry of the slanted edges.
struct Outline
{
    int width = 0; // the width the button must have; slanted shapes may need more than they got
    int nLeftSlant = 0;
    int nRightEdge = 0;
    QRegion region;
    QRegion clip; // empty except for the ellipse shapes
};

// The pixels of the ellipse inscribed in [left, right) x [top, bottom): those whose centres lie
// inside it, so the result is symmetric about the box's centre.
QRegion ellipseRegion(int left, int top, int right, int bottom);

// The outline of a W x H button of the given shape (0-6) and look (0-7). Slanted shapes grow
// in steps of 5 pixels until W - (H + 1) > 4. The straight sides of shapes 0-3 get their corners
// trimmed as the look wants: looks 2 and 7 cut small triangles, look 1 (and look 3 while
// enabled) single pixels.
Outline BuildOutline(int width, int height, int shape, int style, bool enabled);

} // namespace xpbutton
