#pragma once

#include "buttonstate.h"
#include "colours.h"

#include <QImage>
#include <QRegion>

#include <list>
#include <vector>

namespace xpbutton {

// The off-screen drawing surface of one button: the back buffer and the drawing state that a
// device context carries (the pen's colour, the clip region). Its primitives follow the pixel
// rules of the platform the button was designed on, so single pixels are predictable:
// a line leaves out its last pixel, a box fills and frames the pixels [x1, x2) x [y1, y2).
class Surface
{
public:
    enum class PenStyle { Solid, Dotted };

    Surface() = default;

    // Recreates the back buffer at a new size (black, like a new compatible bitmap).
    void resize(QSize size);
    bool isNull() const { return m_image.isNull(); }
    const QImage &image() const { return m_image; }
    QImage &image() { return m_image; }

    // The inner clip region of the elliptic outlines. Setting an empty region drops it.
    void setClipRegion(const QRegion &region);
    const QRegion &clipRegion() const { return m_clip; }
    bool hasClipRegion() const { return !m_clip.isEmpty(); }
    // Selects or removes the clip region; nothing is clipped while none is selected.
    void selectClip(bool selected) { m_clipSelected = selected && hasClipRegion(); }
    bool clipSelected() const { return m_clipSelected; }

    // Colour of the pen currently selected (set by every line and box).
    Colour penColour() const { return m_pen; }

    void setPixel(int x, int y, Colour colour);
    Colour pixel(int x, int y) const;

    // Fills [x1, x2) x [y1, y2) and frames it with border, or with fill when border is none.
    void fillBox(int x1, int y1, int x2, int y2, Colour fill, Colour border = kNoColour);

    // A 1-pixel line from (x1, y1) towards (x2, y2), leaving out the end point; selects a pen of
    // the colour first. A dotted pen draws 3 pixels, skips 3, continuing across segments.
    void line(int x1, int y1, int x2, int y2, Colour colour, PenStyle style = PenStyle::Solid);
    // The same with whatever pen is selected.
    void lineWithCurrentPen(int x1, int y1, int x2, int y2);
    // Lines through the points in order.
    void polyline(std::initializer_list<QPoint> points, Colour colour);

    // The outline of the ellipse in the box (right and bottom exclusive) with a pen of the
    // given width.
    void ellipseOutline(const Box &box, Colour colour, int penWidth);

    // The dotted focus rectangle: every other pixel of the box's edge inverted.
    void focusRect(const Box &box);

    // Text in the box: clipped to it, word-wrapped, "&" marking the access key. The shapes of
    // recent texts are kept, so a redraw only colours them in.
    void drawText(const Box &box, const QString &text, Qt::Alignment align, Colour colour,
                  const QFont &font);

    // Copies an image with its (premultiplied) alpha channel to (x, y).
    void drawImage(int x, int y, const QImage &image);

    // Stamps an image with the raster operation 0xB8074A: every destination pixel becomes
    // ((brush ^ destination) & source) ^ brush, so white source pixels keep the destination
    // and black ones take the brush colour.
    void stamp(int x, int y, const QImage &source, Colour brush);

private:
    struct TextShape
    {
        QString text;
        QString font;
        QSize size;
        int flags = 0;
        QImage coverage; // alpha of the text's pixels
    };

    const QImage &textShape(const QString &text, const QFont &font, QSize size, int flags);
    // Blends one colour into the buffer at (x, y) by the coverage of an Alpha8 image.
    void fillCoverage(int x, int y, const QImage &coverage, Colour colour);

    // Takes the buffer's own pixel memory (it may have been shared by a copy since).
    void detach();
    QRgb *row(int y) { return reinterpret_cast<QRgb *>(m_bits + qsizetype(y) * m_stride); }
    bool inside(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            return false;
        return !m_clipSelected || m_clipMask[size_t(y * m_width + x)] != 0;
    }
    void plot(int x, int y, Colour colour)
    {
        if (inside(x, y))
            row(y)[x] = toQRgb(colour);
    }
    void selectPen(Colour colour, PenStyle style);

    QImage m_image;
    uchar *m_bits = nullptr;
    qsizetype m_stride = 0;
    int m_width = 0;
    int m_height = 0;
    QRegion m_clip;
    std::vector<unsigned char> m_clipMask; // one byte per pixel of the back buffer
    bool m_clipSelected = false;
    Colour m_pen = 0;
    PenStyle m_penStyle = PenStyle::Solid;
    int m_dashPosition = 0;
    std::list<TextShape> m_textShapes; // most recently used first
};

} // namespace xpbutton
