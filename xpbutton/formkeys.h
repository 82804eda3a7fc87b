#pragma once

#include <QObject>

class QWidget;

namespace xpbutton {

class XPButton;

// The form's side of default and cancel buttons: an Enter that no control of the window took
// goes to the button shown as default (the focused button, else the default one), an Esc to
// the cancel button. One per window, created by the first button that needs it.
class FormKeys : public QObject
{
    Q_OBJECT
public:
    static void install(QWidget *window);

    // The button that takes Enter (enter) or Esc in window, or null.
    static XPButton *target(QWidget *window, bool enter);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FormKeys(QWidget *window);
};

} // namespace xpbutton
