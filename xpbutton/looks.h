#pragma once

#include "buttonstate.h"
#include "surface.h"

#include <QPoint>

#include <array>
#include <vector>

namespace xpbutton {

// The colours derived from BackColor and HoverBackColor for one look.
struct DerivedColours
{
    Colour nFaceColor = 0;
    Colour nShadeColor = 0;
    Colour nHoverFaceColor = 0;
    Colour nLightColor = 0;
};

DerivedColours RebuildColours(int style, Colour backColor, Colour hoverBackColor);

// Colours of the edge rings: entries 1-4 the inner ring's left, top, right and bottom edge,
// 5-8 the middle ring's, 9-12 the outer ring's (kept at index entry - 1); kNoColour skips an edge.
using RingPalette = std::array<Colour, 12>;

struct CornerPixel
{
    QPoint at;
    Colour colour = 0;
};

// What a look draws around the face: rings, the pen of the outer ring and single corner pixels.
struct RingPlan
{
    RingPalette palette{kNoColour, kNoColour, kNoColour, kNoColour, kNoColour, kNoColour,
                        kNoColour, kNoColour, kNoColour, kNoColour, kNoColour, kNoColour};
    Surface::PenStyle outerStyle = Surface::PenStyle::Solid;
    std::vector<CornerPixel> pixels;
};

struct FocusPlan
{
    bool draw = true;
    Colour colour = 0;
    bool solid = false;
    bool aroundContent = false;
};

struct ContentPlan
{
    Colour textArgument = kNoColour; // the disabled text colour, or the text colour of look 7
    bool shift = false;              // move the content by a pixel as if pushed
    bool keep = false;               // a disabled caption is drawn once, without the grey pass
    bool enabledTextFromArgument = false;
    bool overrideHoverFore = false; // look 7: the hover text colour follows the argument
};

// The face colour a look hands to the face painter.
Colour lookFace(const ButtonState &state);
// Its gradient colour, given the face colour.
Colour lookGradient(const ButtonState &state, Colour face);
// Its rings for the state code the face painter returned. Look 7 replaces the face colour of a
// selected button, so face is updated for the steps that follow.
RingPlan lookRings(const ButtonState &state, int stateCode, Colour &face);
FocusPlan lookFocus(const ButtonState &state, Colour face);
ContentPlan lookContent(const ButtonState &state, Colour face);

} // namespace xpbutton
