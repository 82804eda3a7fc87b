#include "propertydescriptions.h"

namespace xpbutton {

const std::vector<std::pair<QString, QString>> &propertyDescriptions()
{
    static const std::vector<std::pair<QString, QString>> descriptions = {
        {QStringLiteral("ButtonStyle"), QStringLiteral("Various operating system button styles")},
        {QStringLiteral("Mode"), QStringLiteral("Command button, check box or option button mode")},
        {QStringLiteral("value"),
         QStringLiteral("Applicable to only check box or option button modes: True or False")},
        {QStringLiteral("caption"),
         QStringLiteral("The caption of the button. Double pipe (||) is a line break.")},
        {QStringLiteral("CaptionAlign"),
         QStringLiteral("Horizontal alignment of caption on the button.")},
        {QStringLiteral("CaptionStyle"), QStringLiteral("Flat, Embossed or Engraved effects")},
        {QStringLiteral("ButtonShape"), QStringLiteral("Rectangular or various diagonal shapes")},
        {QStringLiteral("Picture"), QStringLiteral("The image used to display on the button.")},
        {QStringLiteral("PictureAlign"),
         QStringLiteral("Alignment of the button image in relation to the caption and/or button.")},
        {QStringLiteral("Enabled"),
         QStringLiteral("Determines if events are fired for this button.")},
        {QStringLiteral("ShowFocusRect"),
         QStringLiteral("Allows or prevents a focus rectangle from being displayed. In design "
                        "mode, this may always be displayed for button set as Default.")},
        {QStringLiteral("PictureSize"),
         QStringLiteral("Size of button image. Last two options automatically center image.")},
        {QStringLiteral("MousePointer"),
         QStringLiteral("Various optional mouse pointers to use when mouse is over the button")},
        {QStringLiteral("MouseIcon"),
         QStringLiteral("Icon or cursor used to display when mouse is over the button. "
                        "MousePointer must be set to Custom.")},
        {QStringLiteral("Font"), QStringLiteral("Font used to display the caption.")},
        {QStringLiteral("FontStyle"),
         QStringLiteral("Various font attributes that can be changed directly.")},
        {QStringLiteral("ForeColor"), QStringLiteral("The color of the caption's font .")},
        {QStringLiteral("BackColor"),
         QStringLiteral("Button back color. See also ResetDefaultColors")},
        {QStringLiteral("GradientColor"),
         QStringLiteral("Secondary color used for gradient shades. The BackColor property is the "
                        "primary color.")},
        {QStringLiteral("GradientMode"),
         QStringLiteral("Various directions to draw the gradient shading.")},
        {QStringLiteral("ResetDefaultColors"),
         QStringLiteral("Resets button's back color and text color to Window's standard. The "
                        "hover properties are also reset.")},
        {QStringLiteral("HoverColorLocks"),
         QStringLiteral("Can ensure the hover colors match the caption and back colors. Click for "
                        "more options.")},
        {QStringLiteral("HoverForeColor"),
         QStringLiteral("Color of button caption's text when mouse is hovering over it. Affects "
                        "the HoverLockColors property.")},
        {QStringLiteral("HoverBackColor"),
         QStringLiteral("Color of button background when mouse is hovering over it. Affects the "
                        "HoverLockColors property.")},
    };
    return descriptions;
}

QString propertyDescription(QStringView property)
{
    for (const auto &[name, text] : propertyDescriptions()) {
        if (QStringView(name).compare(property, Qt::CaseInsensitive) == 0)
            return text;
    }
    return {};
}

} // namespace xpbutton
