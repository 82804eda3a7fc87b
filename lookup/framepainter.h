#pragma once

#include <QFont>
#include <QPixmap>
#include <QSizeF>
#include <QString>

class QPainter;

namespace lookup {

// Paints the lookup window's frame from pieces of one skin picture: bands along the top and
// bottom, edges down the sides and the four corners, each a source rectangle of the skin
// stretched over a destination rectangle, then the title icon and the caption. All rectangles
// are given in twips (15 per pixel). `window` is the window's size in twips.
class FramePainter
{
public:
    struct Piece
    {
        QRectF destination; // twips
        QRectF source;      // twips, in the skin (or icon) picture
        bool fromIcon = false;
    };

    // The nine pieces in painting order for a window and skin of the given sizes (twips).
    static QList<Piece> pieces(QSizeF window, QSizeF skin);

    static void paint(QPainter &painter, QSizeF window, const QPixmap &skin, const QPixmap &icon,
                      const QString &caption, const QFont &captionFont);
};

} // namespace lookup
