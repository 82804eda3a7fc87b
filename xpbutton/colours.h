#pragma once

#include <QRgb>
#include <QtGlobal>

#include <functional>

namespace xpbutton {

// A colour as the button stores it: 0x00BBGGRR, or a system colour 0x800000nn when the top bit
// is set. 0xFFFFFFFF (-1) stands for "no colour" where an edge or a text pass is skipped.
using Colour = quint32;
inline constexpr Colour kNoColour = 0xFFFFFFFFu;

inline constexpr Colour kButtonFace = 0x8000000Fu;
inline constexpr Colour kButtonText = 0x80000012u;

constexpr bool isSystemColour(Colour c)
{
    return (c & 0x80000000u) != 0;
}

constexpr Colour rgbColour(int red, int green, int blue)
{
    return Colour(red) | (Colour(green) << 8) | (Colour(blue) << 16);
}
constexpr int redOf(Colour c)
{
    return int(c & 0xFF);
}
constexpr int greenOf(Colour c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int blueOf(Colour c)
{
    return int((c >> 16) & 0xFF);
}

constexpr QRgb toQRgb(Colour c)
{
    return 0xFF000000u | (QRgb(redOf(c)) << 16) | (QRgb(greenOf(c)) << 8) | QRgb(blueOf(c));
}
constexpr Colour fromQRgb(QRgb rgb)
{
    return rgbColour(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// Rounds to the nearest integer, ties to even, as every rounding of the drawing code does.
int roundEven(double value);

// The system colour nn of 0x800000nn: taken from the application palette where a palette role
// matches, else the classic Windows value.
Colour systemColour(int index);

// The classic Windows value of system colour nn (0 for an unknown index).
Colour classicSystemColour(int index);

// Tests replace the system colour table; an empty function restores the real one.
using SystemColourTable = std::function<Colour(int index)>;
SystemColourTable setSystemColourTable(SystemColourTable table);

// RGB for a system colour, the value itself otherwise.
Colour ResolveColour(Colour colour);

// A lighter (positive delta) or darker colour. Green and blue are read with the divisors 255 and
// 65280 and rounded, so 0x808080 shifted by 0 gives 0x818180. With blue scaling the blue
// component moves by delta * blue / 192 instead of delta.
Colour ShiftColour(Colour colour, int delta, bool blueScaling = false);

// Shorthands: s() without, sb() with blue scaling.
inline Colour s(Colour colour, int delta)
{
    return ShiftColour(colour, delta, false);
}
inline Colour sb(Colour colour, int delta)
{
    return ShiftColour(colour, delta, true);
}

} // namespace xpbutton
