#include "framepainter.h"

#include "platform/twips.h"

#include <QPainter>

namespace lookup {

namespace {

QRectF toPixels(const QRectF &twips)
{
    const double k = platform::kTwipsPerPixel;
    return QRectF(twips.x() / k, twips.y() / k, twips.width() / k, twips.height() / k);
}

} // namespace

QList<FramePainter::Piece> FramePainter::pieces(QSizeF window, QSizeF skin)
{
    const double W = window.width();
    const double H = window.height();
    const double PW = skin.width();
    const double PH = skin.height();
    // The bands start at x = 420 and are W wide, so they run past the right edge; the corner
    // pieces painted later cover their ends.
    return {
        {{420, 0, W, 600}, {420, 0, 120, 600}},                             // top band
        {{420, H - 600, W, 600}, {420, PH - 600, 120, 600}},                // bottom band
        {{0, 0, 200, H}, {0, 880, 200, 40}},                                // left edge
        {{W - 200, 0, 200, H}, {PW - 200, 880, 200, 40}},                   // right edge
        {{0, 0, 450, 600}, {0, 0, 450, 600}},                               // top-left corner
        {{0, H - 600, 450, 600}, {0, PH - 600, 450, 600}},                  // bottom-left corner
        {{W - 1665, 0, 1665, 435}, {PW - 1665, 0, 1665, 435}},              // top-right corner
        {{W - 1665, H - 525, 1665, 525}, {PW - 1665, PH - 525, 1665, 525}}, // bottom-right
        {{100, 80, 240, 240}, {0, 0, 240, 240}, true},                      // title icon
    };
}

void FramePainter::paint(QPainter &painter, QSizeF window, const QPixmap &skin, const QPixmap &icon,
                         const QString &caption, const QFont &captionFont)
{
    const double k = platform::kTwipsPerPixel;
    const QSizeF skinTwips(skin.width() * k, skin.height() * k);
    for (const Piece &piece : pieces(window, skinTwips)) {
        const QPixmap &from = piece.fromIcon ? icon : skin;
        // A missing picture or an empty rectangle leaves that piece out; the others still paint.
        if (from.isNull() || piece.destination.width() <= 0 || piece.destination.height() <= 0)
            continue;
        painter.drawPixmap(toPixels(piece.destination), from, toPixels(piece.source));
    }
    painter.setPen(Qt::white);
    painter.setFont(captionFont);
    const QRectF textBox(380 / k, 80 / k, window.width() / k, window.height() / k);
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
}

} // namespace lookup
