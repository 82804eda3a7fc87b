#include "outline.h"

#include <QPolygon>

#include <cmath>
#include <vector>

namespace xpbutton {

namespace {

QRegion triangle(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return QRegion(QPolygon({QPoint(x1, y1), QPoint(x2, y2), QPoint(x3, y3)}), Qt::OddEvenFill);
}

QRegion pixel(int x, int y)
{
    return QRegion(x, y, 1, 1);
}

} // namespace

QRegion ellipseRegion(int left, int top, int right, int bottom)
{
    const double a = (right - left) / 2.0;
    const double b = (bottom - top) / 2.0;
    if (a <= 0 || b <= 0)
        return {};
    const double cx = left + a;
    const double cy = top + b;
    std::vector<QRect> rows;
    rows.reserve(size_t(bottom - top));
    for (int y = top; y < bottom; ++y) {
        const double dy = (y + 0.5 - cy) / b;
        if (dy * dy >= 1.0)
            continue;
        const double half = a * std::sqrt(1.0 - dy * dy);
        // Pixels whose centre x + 0.5 lies within [cx - half, cx + half].
        const int x1 = int(std::ceil(cx - half - 0.5));
        const int x2 = int(std::floor(cx + half - 0.5));
        if (x2 >= x1)
            rows.emplace_back(x1, y, x2 - x1 + 1, 1);
    }
    QRegion region;
    region.setRects(rows.data(), int(rows.size()));
    return region;
}

Outline BuildOutline(int width, int height, int shape, int style, bool enabled)
{
    Outline o;
    int w = width;
    const int h = height;
    o.nLeftSlant = 0;
    o.nRightEdge = w;

    if (shape >= 4 && shape <= 6) {
        o.width = w;
        o.region = ellipseRegion(0, 0, w + 1, h + 1);
        o.clip = shape == 6 ? ellipseRegion(2, 2, w - 1, h - 1) : ellipseRegion(1, 1, w, h);
        return o;
    }

    bool trimLeft = true;
    bool trimRight = true;
    if (shape >= 1 && shape <= 3) {
        const int slant = h + 1;
        while (w - slant <= 4)
            w += 5;
        o.nRightEdge = w; // the grown width, so a widened button keeps a straight right edge
        QPoint second(0, h + 1);
        QPoint fourth(w + 1, 0);
        if (shape == 1 || shape == 3) {
            second = QPoint(slant, h + 1);
            o.nLeftSlant = slant;
            trimLeft = false;
        }
        if (shape == 2 || shape == 3) {
            fourth = QPoint(w - slant + 1, 0);
            o.nRightEdge = w - slant;
            trimRight = false;
        }
        o.region = QRegion(QPolygon({QPoint(0, 0), second, QPoint(w + 1, h + 1), fourth}),
                           Qt::OddEvenFill);
    } else {
        o.region = QRegion(0, 0, w + 1, h + 1);
    }
    o.width = w;

    QRegion cut;
    if (style == 2 || style == 7) {
        if (trimLeft)
            cut += triangle(0, 0, 2, 0, 0, 2) + triangle(0, h, 3, h, 0, h - 3);
        if (trimRight)
            cut += triangle(w, 0, w - 2, 0, w, 2) + triangle(w, h, w - 3, h, w, h - 3);
    } else if (style == 1) {
        if (trimLeft)
            cut += pixel(0, 0) + pixel(0, h - 1);
        if (trimRight)
            cut += pixel(w - 1, h - 1) + pixel(w - 1, 0);
    } else if (style == 3 && enabled) {
        if (trimLeft)
            cut += pixel(0, h - 1);
        if (trimRight)
            cut += pixel(w - 1, 0);
    }
    o.region -= cut;
    return o;
}

} // namespace xpbutton
