#pragma once

#include "buttonpicture.h"
#include "colours.h"

#include <QFont>
#include <QSize>
#include <QString>

namespace xpbutton {

// A rectangle the way the drawing code counts: right and bottom are one past the last pixel.
struct Box
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    Box moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const Box &) const = default;
};

// Bits of ButtonState::nStateBits.
enum StateBit : quint8 {
    DefaultLook = 1, // drawn as the form's default button
    ButtonDown = 2,  // left button or Space held
    MouseOver = 4,   // pointer inside; with ButtonDown the button is drawn pushed
};

// Everything a redraw depends on: the stored properties, the press and hover state the
// interaction code keeps, and the values derived from them by the colour, outline and layout
// steps. The widget owns one; the painter only reads it.
struct ButtonState
{
    // Stored properties.
    int ButtonStyle = 0;
    int Mode = 0;
    bool value = false;
    QString caption;
    int CaptionAlign = 2;
    int CaptionStyle = 0;
    int ButtonShape = 0;
    ButtonPicture Picture;
    int PictureAlign = 0;
    bool ShowFocusRect = true;
    Colour ForeColor = kButtonText;
    Colour BackColor = kButtonFace;
    Colour GradientColor = 0;
    int GradientMode = 0;
    int HoverColorLocks = 0;
    Colour HoverForeColor = kButtonText;
    Colour HoverBackColor = kButtonFace;

    // Press and hover state.
    quint8 nStateBits = 0;
    bool bHovering = false;
    bool bPressing = false;
    qint16 nLastButton = 0;
    bool bDelay = false;

    // Picture size in pixels (16, 24, 32, 40, 48); 0 is read as 16.
    qint16 nImgPixels = 0;
    int nPicWidth = 0;
    int nPicHeight = 0;
    int nPicKind = 0; // 0 bitmap, 1 icon

    // Derived colours of the current look and the container's background, all RGB.
    Colour nFaceColor = 0;
    Colour nShadeColor = 0;
    Colour nHoverFaceColor = 0;
    Colour nLightColor = 0;
    Colour nParentBackColor = 0;

    // Layout and outline results.
    Box rcCaption;
    Box rcPicture;
    int nLeftSlant = 0;
    int nRightEdge = 0;

    // What the window supplies: size, enabled state, design or run mode, the drawing font and
    // the screen size the gradient band width depends on.
    int width = 0;
    int height = 0;
    bool enabled = true;
    bool userMode = true;
    QFont drawingFont;
    QSize screenSize{1024, 768};

    bool has(StateBit bit) const { return (nStateBits & bit) != 0; }
    // ButtonDown and MouseOver together.
    bool drawnPushed() const { return has(ButtonDown) && has(MouseOver); }
    // A check box or option button whose value is True.
    bool selected() const { return Mode > 0 && value; }
    // A press in progress on a check box or option button.
    bool pressOnToggle() const { return bPressing && Mode > 0; }
    bool hasPicture() const { return nPicWidth + nPicHeight > 0; }
    int imagePixels() const { return nImgPixels == 0 ? 16 : nImgPixels; }
};

} // namespace xpbutton
