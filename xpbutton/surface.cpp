#include "surface.h"

#include "outline.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace xpbutton {

void Surface::resize(QSize size)
{
    if (size.isEmpty()) {
        m_image = QImage();
    } else {
        m_image = QImage(size, QImage::Format_RGB32);
        m_image.fill(Qt::black);
    }
    m_width = m_image.width();
    m_height = m_image.height();
    m_stride = m_image.bytesPerLine();
    m_bits = nullptr;
    setClipRegion(m_clip);
}

void Surface::detach()
{
    m_bits = m_image.isNull() ? nullptr : m_image.bits();
}

void Surface::setClipRegion(const QRegion &region)
{
    m_clip = region;
    m_clipMask.assign(size_t(std::max(0, m_image.width() * m_image.height())), 0);
    const int w = m_image.width();
    const int h = m_image.height();
    for (const QRect &rect : region) {
        const QRect r = rect.intersected(QRect(0, 0, w, h));
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::fill_n(m_clipMask.begin() + y * w + r.left(), r.width(), 1);
    }
    if (m_clip.isEmpty())
        m_clipSelected = false;
}

void Surface::setPixel(int x, int y, Colour colour)
{
    detach();
    plot(x, y, colour);
}

Colour Surface::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height())
        return kNoColour;
    return fromQRgb(m_image.pixel(x, y));
}

void Surface::selectPen(Colour colour, PenStyle style)
{
    if (colour != m_pen || style != m_penStyle)
        m_dashPosition = 0;
    m_pen = colour;
    m_penStyle = style;
}

void Surface::fillBox(int x1, int y1, int x2, int y2, Colour fill, Colour border)
{
    if (border == kNoColour)
        border = fill;
    selectPen(border, PenStyle::Solid);
    if (m_image.isNull())
        return;
    detach();
    const int left = std::min(x1, x2);
    const int right = std::max(x1, x2);
    const int top = std::min(y1, y2);
    const int bottom = std::max(y1, y2);
    const int cl = std::max(left, 0);
    const int cr = std::min(right, m_width);
    const QRgb fillRgb = toQRgb(fill);
    const QRgb borderRgb = toQRgb(border);
    for (int y = std::max(top, 0); y < std::min(bottom, m_height); ++y) {
        QRgb *line = row(y);
        const unsigned char *mask = m_clipSelected ? m_clipMask.data() + y * m_width : nullptr;
        const bool edgeRow = y == top || y == bottom - 1;
        if (!mask && (fillRgb == borderRgb || !edgeRow)) {
            std::fill(line + cl, line + cr, fillRgb);
            if (fillRgb != borderRgb) {
                if (left >= 0 && left < m_width)
                    line[left] = borderRgb;
                if (right - 1 >= 0 && right - 1 < m_width)
                    line[right - 1] = borderRgb;
            }
            continue;
        }
        for (int x = cl; x < cr; ++x) {
            if (mask && !mask[x])
                continue;
            line[x] = (edgeRow || x == left || x == right - 1) ? borderRgb : fillRgb;
        }
    }
}

void Surface::line(int x1, int y1, int x2, int y2, Colour colour, PenStyle style)
{
    selectPen(colour, style);
    lineWithCurrentPen(x1, y1, x2, y2);
}

void Surface::lineWithCurrentPen(int x1, int y1, int x2, int y2)
{
    if (m_image.isNull())
        return;
    detach();
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1;
    int y = y1;
    while (x != x2 || y != y2) {
        if (m_penStyle == PenStyle::Solid || m_dashPosition % 6 < 3)
            plot(x, y, m_pen);
        ++m_dashPosition;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void Surface::polyline(std::initializer_list<QPoint> points, Colour colour)
{
    selectPen(colour, PenStyle::Solid);
    const QPoint *previous = nullptr;
    for (const QPoint &point : points) {
        if (previous)
            lineWithCurrentPen(previous->x(), previous->y(), point.x(), point.y());
        previous = &point;
    }
}

void Surface::ellipseOutline(const Box &box, Colour colour, int penWidth)
{
    selectPen(colour, PenStyle::Solid);
    if (m_image.isNull() || box.right - box.left < 2 || box.bottom - box.top < 2)
        return;
    // The ring between the ellipse and the one inset by the pen's width, built like the window
    // region and the clip, so outline, clip and face meet without gaps.
    QRegion ring = ellipseRegion(box.left, box.top, box.right, box.bottom) -
                   ellipseRegion(box.left + penWidth, box.top + penWidth, box.right - penWidth,
                                 box.bottom - penWidth);
    if (m_clipSelected)
        ring &= m_clip;
    detach();
    const QRgb rgb = toQRgb(colour);
    for (const QRect &rect : ring) {
        const QRect r = rect.intersected(m_image.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::fill_n(row(y) + r.left(), r.width(), rgb);
    }
}

void Surface::focusRect(const Box &box)
{
    if (box.right <= box.left || box.bottom <= box.top)
        return;
    detach();
    auto invert = [this](int x, int y) {
        if (!inside(x, y) || (x + y) % 2 != 0)
            return;
        QRgb &px = row(y)[x];
        px = 0xFF000000u | (~px & 0xFFFFFFu);
    };
    for (int x = box.left; x < box.right; ++x) {
        invert(x, box.top);
        if (box.bottom - 1 != box.top)
            invert(x, box.bottom - 1);
    }
    for (int y = box.top + 1; y < box.bottom - 1; ++y) {
        invert(box.left, y);
        if (box.right - 1 != box.left)
            invert(box.right - 1, y);
    }
}

const QImage &Surface::textShape(const QString &text, const QFont &font, QSize size, int flags)
{
    const QString fontKey = font.key();
    for (auto it = m_textShapes.begin(); it != m_textShapes.end(); ++it) {
        if (it->size == size && it->flags == flags && it->text == text && it->font == fontKey) {
            m_textShapes.splice(m_textShapes.begin(), m_textShapes, it);
            return m_textShapes.front().coverage;
        }
    }
    QImage coverage(size, QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter painter(&coverage);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(QPoint(0, 0), size), flags, text);
    }
    m_textShapes.push_front({text, fontKey, size, flags, std::move(coverage)});
    constexpr size_t kKept = 8;
    if (m_textShapes.size() > kKept)
        m_textShapes.pop_back();
    return m_textShapes.front().coverage;
}

void Surface::fillCoverage(int x, int y, const QImage &coverage, Colour colour)
{
    detach();
    const QRgb rgb = toQRgb(colour);
    for (int cy = 0; cy < coverage.height(); ++cy) {
        const uchar *alpha = coverage.constScanLine(cy);
        for (int cx = 0; cx < coverage.width(); ++cx) {
            const int a = alpha[cx];
            if (a == 0 || !inside(x + cx, y + cy))
                continue;
            QRgb &d = row(y + cy)[x + cx];
            if (a == 255) {
                d = rgb;
                continue;
            }
            auto mix = [a](int c, int dc) {
                return (c * a + dc * (255 - a) + 127) / 255;
            };
            d = qRgb(mix(qRed(rgb), qRed(d)), mix(qGreen(rgb), qGreen(d)),
                     mix(qBlue(rgb), qBlue(d)));
        }
    }
}

void Surface::drawText(const Box &box, const QString &text, Qt::Alignment align, Colour colour,
                       const QFont &font)
{
    if (m_image.isNull() || box.right <= box.left || box.bottom <= box.top)
        return;
    const int flags = int(align | Qt::AlignTop) | Qt::TextWordWrap | Qt::TextShowMnemonic;
    // Clipped to the box, except for a few pixels below it: some fonts here report less descent
    // than their access-key underline needs.
    constexpr int kUnderlineRoom = 3;
    const QSize size(box.right - box.left, box.bottom - box.top + kUnderlineRoom);
    fillCoverage(box.left, box.top, textShape(text, font, size, flags), colour);
}

void Surface::drawImage(int x, int y, const QImage &image)
{
    if (m_image.isNull() || image.isNull())
        return;
    const QImage source = image.format() == QImage::Format_ARGB32_Premultiplied
                              ? image
                              : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    detach();
    for (int sy = 0; sy < source.height(); ++sy) {
        const QRgb *from = reinterpret_cast<const QRgb *>(source.constScanLine(sy));
        for (int sx = 0; sx < source.width(); ++sx) {
            const QRgb s = from[sx];
            const int a = qAlpha(s);
            if (a == 0 || !inside(x + sx, y + sy))
                continue;
            QRgb &d = row(y + sy)[x + sx];
            if (a == 255) {
                d = s;
                continue;
            }
            auto over = [a](int sc, int dc) {
                return sc + (dc * (255 - a) + 127) / 255;
            };
            d = qRgb(over(qRed(s), qRed(d)), over(qGreen(s), qGreen(d)), over(qBlue(s), qBlue(d)));
        }
    }
}

void Surface::stamp(int x, int y, const QImage &source, Colour brush)
{
    if (m_image.isNull() || source.isNull())
        return;
    detach();
    const QImage src = source.convertToFormat(QImage::Format_RGB32);
    const QRgb p = toQRgb(brush) & 0xFFFFFFu;
    for (int sy = 0; sy < src.height(); ++sy) {
        const QRgb *from = reinterpret_cast<const QRgb *>(src.constScanLine(sy));
        for (int sx = 0; sx < src.width(); ++sx) {
            const int dx = x + sx;
            const int dy = y + sy;
            if (!inside(dx, dy))
                continue;
            QRgb &d = row(dy)[dx];
            d = 0xFF000000u | ((((p ^ d) & from[sx]) ^ p) & 0xFFFFFFu);
        }
    }
}

} // namespace xpbutton
