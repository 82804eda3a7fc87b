#include "viewmodebuttons.h"

#include <QAction>

namespace kestrova {

ViewModeButtons::ViewModeButtons(const AddButton &addButton, QObject *parent)
    : QActionGroup(parent)
{
    setExclusive(true);
    const char16_t *const keys[][2] = {
        {u"大图标", u"View Large Icons"},
        {u"小图标", u"View Small Icons"},
        {u"列表", u"View List"},
        {u"详细资料", u"View Details"},
    };
    for (int mode = 0; mode < 4; ++mode) {
        const QString key = QString::fromUtf16(keys[mode][0]);
        QAction *button = addButton(key, key, QString::fromUtf16(keys[mode][1]));
        button->setCheckable(true);
        button->setData(mode);
        addAction(button);
    }
}

void ViewModeButtons::showMode(int mode)
{
    for (QAction *button : actions()) {
        if (button->data().toInt() == mode)
            button->setChecked(true);
    }
}

} // namespace kestrova
