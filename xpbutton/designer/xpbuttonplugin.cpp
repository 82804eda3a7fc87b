#include "xpbuttonplugin.h"

#include "xpbutton/propertydescriptions.h"
#include "xpbutton/xpbutton.h"

#include <QIcon>
#include <QPixmap>

namespace xpbutton {

XPButtonPlugin::XPButtonPlugin(QObject *parent)
    : QObject(parent)
{}

QString XPButtonPlugin::name() const
{
    // The class as uic must write it.
    return QStringLiteral("xpbutton::XPButton");
}

QString XPButtonPlugin::group() const
{
    return QStringLiteral("Dialvane");
}

QString XPButtonPlugin::toolTip() const
{
    return QStringLiteral("XPButton: command button, check box or option button in eight looks");
}

QString XPButtonPlugin::whatsThis() const
{
    return QStringLiteral("A push button that draws itself: eight looks, seven outlines, an "
                          "optional picture, gradient shading and hover colours. Mode 0 is a "
                          "command button, 1 a check box, 2 an option button.");
}

QString XPButtonPlugin::includeFile() const
{
    return QStringLiteral("xpbutton/xpbutton.h");
}

QIcon XPButtonPlugin::icon() const
{
    // A small look-2 button drawn by the button itself; a caption would not fit.
    XPButton button;
    button.setButtonStyle(2);
    button.setCaption(QString());
    button.resize(22, 22);
    button.handleResize();
    return QIcon(QPixmap::fromImage(button.backBuffer()));
}

QWidget *XPButtonPlugin::createWidget(QWidget *parent)
{
    auto *button = new XPButton(parent);
    button->setDesignMode(true);
    button->InitProperties();
    return button;
}

void XPButtonPlugin::initialize(QDesignerFormEditorInterface *)
{
    m_initialized = true;
}

QString XPButtonPlugin::domXml() const
{
    // Designer's property browser shows each property's help text as its tool tip.
    QString tips;
    for (const auto &[property, text] : propertyDescriptions())
        tips += QStringLiteral("    <tooltip name=\"%1\">%2</tooltip>\n")
                    .arg(property, text.toHtmlEscaped());
    return QStringLiteral(R"(<ui language="c++" displayname="XPButton">
 <widget class="xpbutton::XPButton" name="XPButton1">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>75</width><height>25</height></rect>
  </property>
  <property name="caption">
   <string>XPButton1</string>
  </property>
 </widget>
 <customwidgets>
  <customwidget>
   <class>xpbutton::XPButton</class>
   <propertyspecifications>
%1   </propertyspecifications>
  </customwidget>
 </customwidgets>
</ui>
)")
        .arg(tips);
}

} // namespace xpbutton
