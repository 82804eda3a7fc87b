#include "colours.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace xpbutton {

namespace {

SystemColourTable &overrideTable()
{
    static SystemColourTable table;
    return table;
}

// The classic Windows scheme, indexed by system colour number.
constexpr std::array<Colour, 31> kClassic = {
    rgbColour(212, 208, 200), // 0 scroll bar
    rgbColour(58, 110, 165),  // 1 desktop
    rgbColour(10, 36, 106),   // 2 active caption
    rgbColour(128, 128, 128), // 3 inactive caption
    rgbColour(212, 208, 200), // 4 menu
    rgbColour(255, 255, 255), // 5 window
    rgbColour(0, 0, 0),       // 6 window frame
    rgbColour(0, 0, 0),       // 7 menu text
    rgbColour(0, 0, 0),       // 8 window text
    rgbColour(255, 255, 255), // 9 caption text
    rgbColour(212, 208, 200), // 10 active border
    rgbColour(212, 208, 200), // 11 inactive border
    rgbColour(128, 128, 128), // 12 application workspace
    rgbColour(10, 36, 106),   // 13 highlight
    rgbColour(255, 255, 255), // 14 highlight text
    rgbColour(212, 208, 200), // 15 button face
    rgbColour(128, 128, 128), // 16 button shadow
    rgbColour(128, 128, 128), // 17 grey text
    rgbColour(0, 0, 0),       // 18 button text
    rgbColour(212, 208, 200), // 19 inactive caption text
    rgbColour(255, 255, 255), // 20 button highlight
    rgbColour(64, 64, 64),    // 21 3-D dark shadow
    rgbColour(212, 208, 200), // 22 3-D light
    rgbColour(0, 0, 0),       // 23 tooltip text
    rgbColour(255, 255, 225), // 24 tooltip background
    rgbColour(181, 181, 181), // 25 unused
    rgbColour(0, 0, 128),     // 26 hot-tracking
    rgbColour(166, 202, 240), // 27 gradient active caption
    rgbColour(192, 192, 192), // 28 gradient inactive caption
    rgbColour(49, 106, 197),  // 29 menu highlight
    rgbColour(236, 233, 216), // 30 menu bar
};

// Which palette role stands for a system colour on this desktop; -1 when none does.
int paletteRole(int index, QPalette::ColorGroup &group)
{
    group = QPalette::Active;
    switch (index) {
    case 4:
    case 15:
    case 22:
        return QPalette::Button;
    case 5:
        return QPalette::Base;
    case 7:
    case 8:
        return QPalette::Text;
    case 12:
        return QPalette::Window;
    case 13:
    case 29:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 16:
        return QPalette::Dark;
    case 17:
        group = QPalette::Disabled;
        return QPalette::Text;
    case 18:
        return QPalette::ButtonText;
    case 20:
        return QPalette::Light;
    case 21:
        return QPalette::Shadow;
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    default:
        return -1;
    }
}

} // namespace

int roundEven(double value)
{
    // The default rounding mode is to nearest, ties to even. Values beyond int saturate.
    const double rounded = std::nearbyint(value);
    if (std::isnan(rounded))
        return 0;
    if (rounded >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (rounded <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(rounded);
}

Colour classicSystemColour(int index)
{
    return index >= 0 && index < int(kClassic.size()) ? kClassic[size_t(index)] : 0;
}

Colour systemColour(int index)
{
    if (const SystemColourTable &table = overrideTable())
        return table(index) & 0xFFFFFFu;
    QPalette::ColorGroup group;
    const int role = paletteRole(index, group);
    if (role >= 0 && qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return fromQRgb(QGuiApplication::palette().color(group, QPalette::ColorRole(role)).rgb());
    return classicSystemColour(index);
}

SystemColourTable setSystemColourTable(SystemColourTable table)
{
    return std::exchange(overrideTable(), std::move(table));
}

Colour ResolveColour(Colour colour)
{
    return isSystemColour(colour) ? systemColour(int(colour & 0xFF)) : colour;
}

Colour ShiftColour(Colour colour, int delta, bool blueScaling)
{
    const int red = int(colour & 0xFF) + delta;
    const int green = roundEven(double(colour & 0xFF00) / 255.0) + delta;
    const int b0 = roundEven(double(colour & 0xFF0000) / 65280.0);
    // Integer division truncating toward zero, as the original's "\" operator did.
    const int blue = blueScaling ? b0 + (delta * b0) / 192 : b0 + delta;
    return rgbColour(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255));
}

} // namespace xpbutton
