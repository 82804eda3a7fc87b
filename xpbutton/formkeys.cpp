#include "formkeys.h"

#include "keycodes.h"
#include "xpbutton.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace xpbutton {

namespace {

constexpr char kObjectName[] = "xb_FormKeys";

bool usable(const XPButton *button, const QWidget *window)
{
    return button && button->window() == window && button->isEnabled() && button->isVisible();
}

} // namespace

FormKeys::FormKeys(QWidget *window)
    : QObject(window)
{
    setObjectName(QLatin1String(kObjectName));
    window->installEventFilter(this);
}

void FormKeys::install(QWidget *window)
{
    if (!window ||
        window->findChild<FormKeys *>(QLatin1String(kObjectName), Qt::FindDirectChildrenOnly))
        return;
    new FormKeys(window);
}

XPButton *FormKeys::target(QWidget *window, bool enter)
{
    if (!window)
        return nullptr;
    QWidget *focus = window->focusWidget();
    if (enter) {
        // A focused push button is the one shown as default; a plain one takes Enter itself.
        if (auto *focused = qobject_cast<XPButton *>(focus))
            return usable(focused, window) ? focused : nullptr;
        if (qobject_cast<QPushButton *>(focus))
            return nullptr;
    }
    const QList<XPButton *> buttons = window->findChildren<XPButton *>();
    for (XPButton *button : buttons) {
        if ((enter ? button->isDefault() : button->isCancel()) && usable(button, window))
            return button;
    }
    return nullptr;
}

bool FormKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || watched != parent())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier)
        return false;
    const short code = keyCode(key->key());
    if (code != kKeyEnter && code != kKeyEscape)
        return false;
    XPButton *button = target(static_cast<QWidget *>(parent()), code == kKeyEnter);
    if (!button)
        return false;
    button->AccessKeyPress(code);
    return true;
}

} // namespace xpbutton
