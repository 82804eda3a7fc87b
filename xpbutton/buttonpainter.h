#pragma once

#include "buttonstate.h"
#include "looks.h"
#include "surface.h"

#include <QImage>

#include <vector>

namespace xpbutton {

// Content inset by shape: the content starts at x0, is cw wide and ends at most at xr.
struct ContentInset
{
    int x0 = 0;
    int cw = 0;
    int xr = 0;
};

ContentInset contentInset(const ButtonState &state);

// The caption and picture boxes for the current caption, picture, alignments and font.
struct ContentLayout
{
    Box caption;
    Box picture;
};

ContentLayout LayoutContent(const ButtonState &state);

// The caption as it is measured and drawn: every "||" becomes a line break.
QString displayCaption(const QString &caption);

// The colour table of a gradient of n bands from a to b.
std::vector<Colour> gradientTable(Colour from, Colour to, int bands);

// Scaled, ready-to-draw copies of the picture, kept between redraws.
struct PictureCache
{
    qint64 key = 0;
    QSize size;
    QImage copy;
};

// Paints one button state into its back buffer: face, rings, focus mark, picture and caption,
// in that order, with the look's colours. Holds no state of its own beyond one redraw.
class ButtonPainter
{
public:
    ButtonPainter(const ButtonState &state, Surface &surface, PictureCache *cache = nullptr);

    // The full redraw.
    void paint();

    int PaintFace(Colour face, Colour gradient, Colour hoverFace);
    void GradientFill(Colour from, Colour to, int mode);
    void DrawRings(const RingPlan &plan);
    void DrawFocusMark(Colour colour, bool solid, bool aroundContent);
    void DrawContent(Colour face, const ContentPlan &plan);

private:
    void drawPicture(const Box &box, const ContentInset &inset, int e);
    QImage scaledCopy(QSize size);

    const ButtonState &m_s;
    Surface &m_surface;
    PictureCache *m_cache;
};

} // namespace xpbutton
