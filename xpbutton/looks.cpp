#include "looks.h"

#include <algorithm>

namespace xpbutton {

namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0x000000;
constexpr Colour kGrey = 0x808080;
constexpr Colour kE9 = rgbColour(233, 233, 233);

void setEdges(RingPalette &p, std::initializer_list<int> entries, Colour colour)
{
    for (int entry : entries)
        p[size_t(entry - 1)] = colour;
}

// Looks 1, 4 and 5 raise and sink with white and grey edges that swap at state code 2.
int raisedState(const ButtonState &s, int stateCode)
{
    return (s.selected() || s.pressOnToggle()) ? 2 : std::max(stateCode, 1);
}

RingPlan look0(const ButtonState &s, int stateCode)
{
    RingPlan plan;
    const int code = (s.selected() || s.pressOnToggle()) ? 3 : stateCode;
    RingPalette &p = plan.palette;
    switch (code) {
    case 0:
        setEdges(p, {5, 6}, kE9);
        setEdges(p, {7, 8}, kGrey);
        break;
    case 1:
        setEdges(p, {1, 2}, kE9);
        setEdges(p, {3, 4}, kGrey);
        setEdges(p, {5, 6}, kWhite);
        setEdges(p, {7, 8}, kBlack);
        break;
    case 2:
        setEdges(p, {7, 8}, kGrey);
        break;
    default:
        setEdges(p, {7, 8}, kE9);
        break;
    }
    if (code == 3) {
        setEdges(p, {9, 10}, kBlack);
        setEdges(p, {11, 12}, kWhite);
    } else {
        setEdges(p, {9, 10}, s.has(DefaultLook) ? kBlack : kWhite);
        setEdges(p, {11, 12}, kBlack);
    }
    return plan;
}

RingPlan look1(const ButtonState &s, int stateCode)
{
    RingPlan plan;
    const bool sunk = raisedState(s, stateCode) == 2;
    setEdges(plan.palette, {1, 2, 5, 6}, sunk ? kGrey : kWhite);
    setEdges(plan.palette, {3, 4, 7, 8}, sunk ? kWhite : kGrey);
    setEdges(plan.palette, {9, 10, 11, 12}, kBlack);
    return plan;
}

RingPlan look2(const ButtonState &s, int stateCode, Colour f)
{
    RingPlan plan;
    RingPalette &p = plan.palette;
    if (!s.enabled) {
        setEdges(p, {9, 10, 11, 12}, sb(f, -84));
    } else {
        int code = stateCode;
        if (s.pressOnToggle() || s.value)
            code = s.has(DefaultLook) ? 1 : 2;
        if (s.has(MouseOver) && !s.has(ButtonDown))
            code = 3;
        else if (code == 1 && !s.ShowFocusRect)
            code = 0;
        switch (code) {
        case 0:
            p = {sb(f, -10), sb(f, +10), sb(f, -24), sb(f, -32), sb(f, -5), sb(f, +16),
                 sb(f, -36), sb(f, -48), 0x733C00,   0x733C00,   0x733C00,  0x733C00};
            break;
        case 1:
            p = {0xF0D1B5, 0xF7D7BD, 0xF0D1B5, 0xE7AE8C, 0xE7AE8C, 0xFFDFBF,
                 0xE7AE8C, 0xEF826B, 0x733C00, 0x733C00, 0x733C00, 0x733C00};
            break;
        case 2:
            p = {sb(f, -22), sb(f, -24), f,        sb(f, +10), sb(f, -32), sb(f, -32),
                 sb(f, +5),  sb(f, +16), 0x733C00, 0x733C00,   0x733C00,   0x733C00};
            break;
        default:
            p = {0x6BCBFF, 0x8CDBFF, 0x6BCBFF, 0x31B2FF, 0x31B2FF, 0xA6E9FF,
                 0x31B2FF, 0x0096E7, 0x733C00, 0x733C00, 0x733C00, 0x733C00};
            break;
        }
    }
    // Rounded corners: single pixels in the outer ring's colour on the straight sides.
    const Colour outer = p[8];
    const int w = s.width;
    const int h = s.height;
    if (s.nLeftSlant == 0)
        plan.pixels.insert(plan.pixels.end(), {{{1, h - 2}, outer}, {{1, 1}, outer}});
    if (w == s.nRightEdge)
        plan.pixels.insert(plan.pixels.end(), {{{w - 2, h - 2}, outer}, {{w - 2, 1}, outer}});
    return plan;
}

RingPlan look3(const ButtonState &s, int stateCode, Colour f)
{
    RingPlan plan;
    RingPalette &p = plan.palette;
    const Colour d = ShiftColour(kGrey, -26);
    if (s.enabled || s.Mode > 0) {
        int code;
        if (s.Mode > 0)
            code = (s.value || s.bPressing) ? 2 : 3;
        else
            code = std::max(stateCode, 1);
        const Colour upper = code == 2 ? f : kWhite;
        setEdges(p, {5, 6}, upper);
        setEdges(p, {7, 8, 9, 10}, d);
        setEdges(p, {11, 12}, kWhite);
    } else {
        setEdges(p, {1, 2, 3, 4, 5, 6, 7, 8}, f);
        setEdges(p, {9, 10, 11, 12}, d);
    }
    return plan;
}

RingPlan look4(const ButtonState &s, int stateCode)
{
    RingPlan plan;
    const bool sunk = raisedState(s, stateCode) == 2;
    setEdges(plan.palette, {9, 10}, sunk ? kGrey : kWhite);
    setEdges(plan.palette, {11, 12}, sunk ? kWhite : kGrey);
    return plan;
}

RingPlan look5(const ButtonState &s, int stateCode)
{
    RingPlan plan;
    if (s.has(MouseOver) || s.value) {
        const bool sunk = raisedState(s, stateCode) == 2;
        setEdges(plan.palette, {9, 10}, sunk ? kGrey : kWhite);
        setEdges(plan.palette, {11, 12}, sunk ? kWhite : kGrey);
    } else if (!s.userMode) {
        const Colour outline = ShiftColour(s.nParentBackColor, -64);
        setEdges(plan.palette, {9, 10, 11, 12}, outline == kBlack ? kWhite : outline);
    }
    if (!s.userMode)
        plan.outerStyle = Surface::PenStyle::Dotted;
    return plan;
}

RingPlan look6(const ButtonState &s)
{
    RingPlan plan;
    const Colour light = ShiftColour(0xDFDFDF, +8);
    const bool sunk = s.selected() || s.pressOnToggle() || s.drawnPushed();
    setEdges(plan.palette, {5, 6, 9, 10}, sunk ? kGrey : light);
    setEdges(plan.palette, {7, 8, 11, 12}, sunk ? light : kGrey);
    return plan;
}

RingPlan look7(const ButtonState &s, int stateCode, Colour &f)
{
    RingPlan plan;
    int code = stateCode;
    if (s.value)
        code = 2;
    else if (s.pressOnToggle())
        code = 0;
    Colour a = kWhite;
    Colour c1 = sb(f, +31);
    Colour c2 = sb(f, -64);
    if (code == 2) {
        const Colour base = s.GradientMode != 0 ? s.nFaceColor : kGrey;
        f = base;
        a = ShiftColour(base, -32);
        c1 = ShiftColour(base, -64);
        c2 = ShiftColour(base, -16);
    }
    RingPalette &p = plan.palette;
    setEdges(p, {1, 2}, a);
    setEdges(p, {3, 4}, f);
    setEdges(p, {5, 6}, c1);
    setEdges(p, {7, 8}, c2);
    setEdges(p, {9, 10, 11, 12}, kBlack);
    const int w = s.width;
    const int h = s.height;
    if (s.nLeftSlant == 0)
        plan.pixels.insert(
            plan.pixels.end(),
            {{{3, 3}, a}, {{1, h - 3}, f}, {{2, 2}, c1}, {{1, h - 2}, kBlack}, {{1, 1}, kBlack}});
    if (w == s.nRightEdge)
        plan.pixels.insert(plan.pixels.end(), {{{w - 4, h - 4}, f},
                                               {{w - 3, 1}, f},
                                               {{w - 3, h - 3}, c2},
                                               {{w - 2, h - 2}, kBlack},
                                               {{w - 2, 1}, kBlack}});
    return plan;
}

// The focus mark of looks 0, 1, 4 and 6.
FocusPlan classicFocus(const ButtonState &s, Colour f)
{
    FocusPlan plan;
    if (s.selected() || s.pressOnToggle() || s.ButtonShape == 0)
        plan.colour = kBlack;
    else
        plan.colour = ShiftColour(f, -48);
    plan.solid = s.value;
    return plan;
}

} // namespace

DerivedColours RebuildColours(int style, Colour backColor, Colour hoverBackColor)
{
    const Colour b = ResolveColour(backColor);
    const Colour hb = ResolveColour(hoverBackColor);
    DerivedColours c;
    switch (style) {
    case 2:
        c.nFaceColor = sb(b, +48);
        c.nShadeColor = sb(c.nFaceColor, -32);
        c.nHoverFaceColor = sb(hb, +48);
        c.nLightColor = sb(0xFFFFFF, -32);
        break;
    case 3:
        c.nFaceColor = b;
        c.nShadeColor = ShiftColour(kGrey, +12);
        c.nHoverFaceColor = hb;
        c.nLightColor = ShiftColour(c.nShadeColor, +31);
        break;
    case 7:
        c.nFaceColor = ShiftColour(b, +31);
        c.nShadeColor = ShiftColour(kGrey, -16);
        c.nHoverFaceColor = ShiftColour(hb, +31);
        c.nLightColor = sb(kGrey, +16);
        break;
    default:
        c.nFaceColor = b;
        c.nShadeColor = b;
        c.nHoverFaceColor = hb;
        c.nLightColor = ShiftColour(0xFFFFFF, -32);
        break;
    }
    return c;
}

Colour lookFace(const ButtonState &s)
{
    switch (s.ButtonStyle) {
    case 2:
        if (s.Mode == 0) {
            if (!s.enabled)
                return sb(s.nFaceColor, -24);
            return (s.drawnPushed() && s.GradientMode == 0) ? s.nShadeColor : s.nFaceColor;
        }
        return s.value ? s.nLightColor : s.nFaceColor;
    case 3:
    case 7:
        if (s.Mode == 0)
            return s.drawnPushed() ? s.nShadeColor : s.nFaceColor;
        return s.value ? s.nLightColor : s.nFaceColor;
    default:
        return s.selected() ? s.nLightColor : s.nFaceColor;
    }
}

Colour lookGradient(const ButtonState &s, Colour face)
{
    const Colour g = ResolveColour(s.GradientColor);
    switch (s.ButtonStyle) {
    case 2:
        return s.GradientMode != 0 ? sb(g, +48) : face;
    case 7:
        return s.GradientMode != 0 ? ShiftColour(g, +31) : face;
    default:
        return g;
    }
}

RingPlan lookRings(const ButtonState &s, int stateCode, Colour &face)
{
    switch (s.ButtonStyle) {
    case 1:
        return look1(s, stateCode);
    case 2:
        return look2(s, stateCode, face);
    case 3:
        return look3(s, stateCode, face);
    case 4:
        return look4(s, stateCode);
    case 5:
        return look5(s, stateCode);
    case 6:
        return look6(s);
    case 7:
        return look7(s, stateCode, face);
    default:
        return look0(s, stateCode);
    }
}

FocusPlan lookFocus(const ButtonState &s, Colour f)
{
    FocusPlan plan;
    switch (s.ButtonStyle) {
    case 2:
        // Rectangular and slanted shapes show the default state through their ring colours.
        plan.draw = s.ButtonShape >= 4;
        plan.colour = s.bHovering ? 0x0096E7 : 0xEF826B;
        plan.solid = true;
        return plan;
    case 3:
        plan.colour = 0xCC9999;
        plan.solid = true;
        plan.aroundContent = true;
        return plan;
    case 5:
        if (s.selected())
            plan.colour = kBlack;
        else
            plan.colour = s.ButtonShape == 0 ? kBlack : ShiftColour(s.nParentBackColor, -32);
        plan.solid = s.value;
        return plan;
    case 7:
        if (s.Mode == 0)
            plan.colour = s.ButtonShape == 0 ? kBlack : ShiftColour(f, -64);
        else
            plan.colour = s.value ? ShiftColour(kGrey, -32) : kBlack;
        plan.solid = s.value;
        plan.aroundContent = true;
        return plan;
    default:
        return classicFocus(s, f);
    }
}

ContentPlan lookContent(const ButtonState &s, Colour f)
{
    ContentPlan plan;
    plan.shift = s.value;
    plan.keep = s.Mode > 0;
    switch (s.ButtonStyle) {
    case 2:
        plan.textArgument = sb(f, -104);
        plan.keep = true;
        break;
    case 3:
        plan.textArgument = (!s.enabled && s.Mode > 0) ? ShiftColour(kGrey, -16) : kGrey;
        plan.shift = false;
        plan.keep = true;
        break;
    case 7:
        if ((s.drawnPushed() && s.Mode == 0) || s.selected())
            plan.textArgument = (!s.enabled && s.selected()) ? sb(f, -32) : s.nFaceColor;
        else if (s.enabled)
            plan.textArgument = ResolveColour(s.ForeColor);
        else
            plan.textArgument = s.Mode == 0 ? kNoColour : kGrey;
        plan.enabledTextFromArgument = s.GradientMode == 0;
        plan.overrideHoverFore = s.selected() && s.HoverForeColor == s.ForeColor;
        break;
    default:
        plan.textArgument = (!s.enabled && s.Mode > 0) ? kGrey : kNoColour;
        break;
    }
    return plan;
}

} // namespace xpbutton
