// How the button reacts to the mouse, the keyboard, the focus and its form: the press and hover
// state machine, clicks, the hover poll, access keys, default and cancel buttons, and the
// ambient changes of the container.

#include "formkeys.h"
#include "keycodes.h"
#include "windowtimer.h"
#include "xpbutton.h"

#include <QApplication>
#include <QCursor>
#include <QDynamicPropertyChangeEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcutEvent>

namespace xpbutton {

namespace {

bool isArrow(int qtKey)
{
    return qtKey == Qt::Key_Left || qtKey == Qt::Key_Right || qtKey == Qt::Key_Up ||
           qtKey == Qt::Key_Down;
}

// The keyboard scan code the container's arrow-key message carries.
quint32 arrowScanCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Right:
        return 0x4D;
    case Qt::Key_Down:
        return 0x50;
    case Qt::Key_Left:
        return 0x4B;
    default:
        return 0x48;
    }
}

} // namespace

void HoverTimerProc(QWidget *window, int timerId)
{
    Q_UNUSED(timerId)
    if (!window)
        return;
    const QPointer<XPButton> button =
        window->property(kClassIdProperty).value<QPointer<XPButton>>();
    if (button)
        button->hoverCheck();
}

// ---- mouse --------------------------------------------------------------------------------

void XPButton::handleMouseDown(short button, short shift, float x, float y)
{
    m_s.nLastButton = button;
    if (button == 1) {
        m_s.nStateBits |= ButtonDown;
        m_s.bPressing = true;
        m_s.bDelay = false;
        RedrawButton();
        // The mouse is captured by Qt's implicit grab until the button is released.
    }
    Q_EMIT MouseDown(button, shift, x, y);
}

void XPButton::handleMouseMove(short button, short shift, float x, float y)
{
    if (m_s.bHovering || x < 0 || y < 0 || x > width() || y > height()) {
        Q_EMIT MouseMove(button, shift, x, y);
        return;
    }
    // The pointer has entered.
    m_s.nStateBits |= MouseOver;
    Q_EMIT MouseOnButton(true);
    setProperty(kClassIdProperty, QVariant::fromValue(QPointer<XPButton>(this)));
    setProperty(kTimerIdProperty, kHoverTimerId);
    SetTimer(this, kHoverTimerId, kHoverPeriod, &HoverTimerProc);
    m_s.bHovering = true;
    m_s.bDelay = false;
    if (button == 1)
        m_s.bPressing = true;
    RedrawButton();
    Q_EMIT MouseMove(button, shift, x, y);
}

void XPButton::hoverCheck()
{
    // The window under the pointer; the button's outline counts, not its bounding box.
    if (QApplication::widgetAt(QCursor::pos()) == this)
        return;
    KillTimer(this, property(kTimerIdProperty).toInt());
    m_s.nStateBits &= quint8(~MouseOver);
    m_s.bHovering = false;
    m_s.bDelay = false;
    Q_EMIT MouseOnButton(false);
    m_s.bPressing = false;
    RedrawButton();
}

void XPButton::handleMouseUp(short button, short shift, float x, float y)
{
    m_s.bPressing = false;
    if (button == 1) {
        m_s.nStateBits &= quint8(~ButtonDown);
        m_s.bDelay = false;
        // Toggles redraw through the value change of their click.
        if (m_s.Mode == 0)
            RedrawButton();
    }
    Q_EMIT MouseUp(button, shift, x, y);
    m_s.nLastButton = button;
}

void XPButton::handleClick()
{
    if (m_s.nLastButton != 1)
        return;
    if (m_s.Mode == 1 || m_s.Mode == 2) {
        // A selected option button stays selected and raises nothing.
        if (m_s.Mode == 2 && m_s.value)
            return;
        setValue(!m_s.value);
    }
    Q_EMIT Click();
}

void XPButton::handleDoubleClick(short button, float x, float y)
{
    Q_EMIT DoubleClick(m_s.nLastButton);
    if (m_s.nLastButton == 1) {
        // The second press of a double click presses the button again.
        handleMouseDown(1, 0, x, y);
        m_s.nLastButton = -1;
    } else {
        // Any other button's second press is reported as the press it is.
        handleMouseDown(button, 0, x, y);
    }
}

void XPButton::mousePressEvent(QMouseEvent *event)
{
    m_clickArmed = true;
    const QPointF p = event->position();
    handleMouseDown(mouseButton(event->button()), shiftMask(event->modifiers()), float(p.x()),
                    float(p.y()));
}

void XPButton::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = event->position();
    handleMouseMove(mouseButtons(event->buttons()), shiftMask(event->modifiers()), float(p.x()),
                    float(p.y()));
}

void XPButton::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF p = event->position();
    const QPointer<XPButton> self(this);
    handleMouseUp(mouseButton(event->button()), shiftMask(event->modifiers()), float(p.x()),
                  float(p.y()));
    // The platform clicks when the press and the release both happen on the button; the release
    // that ends a double click is not a click of its own.
    const bool armed = m_clickArmed;
    m_clickArmed = false;
    if (!self || !armed)
        return;
    const QRegion outline = mask().isEmpty() ? QRegion(rect()) : mask();
    if (outline.contains(p.toPoint()))
        handleClick();
}

void XPButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_clickArmed = false;
    const QPointF p = event->position();
    handleDoubleClick(mouseButton(event->button()), float(p.x()), float(p.y()));
}

// ---- keyboard -----------------------------------------------------------------------------

void XPButton::forwardArrow(int qtKey, short keyCode)
{
    QWidget *container = m_container ? m_container.data() : parentWidget();
    if (container) {
        // A key-down message of the same key, repeat count 1, with the key's scan code.
        QKeyEvent forwarded(QEvent::KeyPress, qtKey, Qt::NoModifier, arrowScanCode(qtKey),
                            quint32(keyCode), 0, QString(), false, 1);
        forwarded.ignore();
        QCoreApplication::sendEvent(container, &forwarded);
        if (forwarded.isAccepted())
            return;
    }
    // A container that leaves arrow keys alone: the focus moves along the tab order.
    focusNextPrevChild(qtKey == Qt::Key_Right || qtKey == Qt::Key_Down);
}

bool XPButton::handleKeyDown(short keyCode, short shift, int qtKey)
{
    if (isArrow(qtKey)) {
        forwardArrow(qtKey, keyCode);
        return true;
    }
    if (keyCode == kKeySpace && !m_s.has(ButtonDown)) {
        m_s.nStateBits |= MouseOver;
        m_s.bPressing = true;
        m_s.nStateBits |= ButtonDown;
        RedrawButton();
        if (!m_s.bHovering)
            m_s.nStateBits &= quint8(~MouseOver);
    }
    Q_EMIT KeyDown(keyCode, shift);
    return false;
}

bool XPButton::handleKeyUp(short keyCode, short shift)
{
    m_s.bPressing = false;
    if (keyCode == kKeySpace && m_s.has(ButtonDown)) {
        m_s.nStateBits &= quint8(~ButtonDown);
        m_s.nLastButton = 1;
        bool consumed = false;
        if (m_s.Mode == 0) {
            RedrawButton();
        } else {
            Q_EMIT KeyUp(keyCode, shift);
            consumed = true;
        }
        const QPointer<XPButton> self(this);
        handleClick();
        if (consumed || !self)
            return true;
    } else if (keyCode == kKeyLeft || keyCode == kKeyUp || keyCode == kKeyRight ||
               keyCode == kKeyDown) {
        // The option button the arrow moved the focus to selects itself.
        if (m_s.Mode == 2 && !m_s.value) {
            m_s.nLastButton = 1;
            handleClick();
        }
        return true;
    } else if (keyCode == kKeyShift) {
        return true;
    }
    Q_EMIT KeyUp(keyCode, shift);
    return false;
}

void XPButton::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const short code = keyCode(key, event->modifiers());
    const QPointer<XPButton> self(this);
    if (handleKeyDown(code, shiftMask(event->modifiers()), key)) {
        event->accept();
        return;
    }
    if (self && !event->text().isEmpty())
        Q_EMIT KeyPress(short(event->text().at(0).unicode()));
    // Enter and Esc go on to the form, which hands them to its default or cancel button.
    if (code == kKeyEnter || code == kKeyEscape)
        event->ignore();
    else
        event->accept();
}

void XPButton::keyReleaseEvent(QKeyEvent *event)
{
    // A held key repeats its key-down only.
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    handleKeyUp(keyCode(event->key(), event->modifiers()), shiftMask(event->modifiers()));
    event->accept();
}

void XPButton::AccessKeyPress(short KeyAscii)
{
    const bool enterOrEsc = KeyAscii == kKeyEnter || KeyAscii == kKeyEscape;
    if (enterOrEsc && (m_s.Mode == 1 || m_s.Mode == 2))
        return;
    if (!enterOrEsc && !m_s.has(DefaultLook))
        RedrawButton();
    m_s.nLastButton = 1;
    handleClick();
}

void XPButton::registerAccessKey()
{
    if (m_accessKeyShortcut != 0) {
        releaseShortcut(m_accessKeyShortcut);
        m_accessKeyShortcut = 0;
    }
    if (m_accessKey.isNull())
        return;
    const QKeySequence sequence = QKeySequence::mnemonic(QStringLiteral("&") + m_accessKey);
    if (!sequence.isEmpty())
        m_accessKeyShortcut = grabShortcut(sequence);
}

// ---- focus and form -----------------------------------------------------------------------

void XPButton::handleFocusIn()
{
    if (m_s.Mode == 2 && !m_s.value && !OptionToggle(2)) {
        // The first option button that gets the focus in an empty group selects itself.
        m_s.nLastButton = 1;
        handleClick();
    }
}

void XPButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (userMode())
        FormKeys::install(window());
    // Only a left press takes an option button as chosen; a right click selects nothing.
    if (event->reason() == Qt::MouseFocusReason &&
        !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        return;
    handleFocusIn();
}

bool XPButton::displayAsDefault() const
{
    const QWidget *focus = window()->focusWidget();
    if (focus == this)
        return true;
    if (!m_default)
        return false;
    // Another push button with the focus is shown as the default one instead.
    return !qobject_cast<const XPButton *>(focus) && !qobject_cast<const QPushButton *>(focus);
}

void XPButton::updateDisplayAsDefault()
{
    const bool shown = displayAsDefault();
    if (shown == m_shownAsDefault)
        return;
    m_shownAsDefault = shown;
    AmbientChanged(QStringLiteral("DisplayAsDefault"));
}

void XPButton::setDefault(bool isDefault)
{
    m_default = isDefault;
    QWidget *form = window();
    if (isDefault) {
        if (userMode())
            FormKeys::install(form);
        for (XPButton *other : form->findChildren<XPButton *>()) {
            if (other != this && other->m_default) {
                other->m_default = false;
                other->updateDisplayAsDefault();
            }
        }
    }
    updateDisplayAsDefault();
}

void XPButton::setCancel(bool isCancel)
{
    m_cancel = isCancel;
    if (!isCancel)
        return;
    QWidget *form = window();
    if (userMode())
        FormKeys::install(form);
    for (XPButton *other : form->findChildren<XPButton *>()) {
        if (other != this)
            other->m_cancel = false;
    }
}

void XPButton::AmbientChanged(const QString &PropertyName)
{
    if (PropertyName.compare(u"DisplayAsDefault", Qt::CaseInsensitive) == 0) {
        if (m_s.ShowFocusRect && displayAsDefault())
            m_s.nStateBits |= DefaultLook;
        else
            m_s.nStateBits &= quint8(~DefaultLook);
        RedrawButton();
    } else if (PropertyName.compare(u"BackColor", Qt::CaseInsensitive) == 0) {
        m_s.nParentBackColor = ResolveColour(ambientBackColor());
        if (m_s.ButtonShape >= 4 || m_s.ButtonStyle == 5)
            RedrawButton();
    }
}

// ---- events -------------------------------------------------------------------------------

bool XPButton::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut) {
        auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (shortcut->shortcutId() != m_accessKeyShortcut)
            return QWidget::event(event);
        if (!isEnabled())
            return true;
        setFocus(Qt::ShortcutFocusReason);
        // Two buttons with one access key: each press moves the focus on instead of clicking.
        if (!shortcut->isAmbiguous() && !m_accessKey.isNull())
            AccessKeyPress(short(m_accessKey.unicode()));
        return true;
    }
    return QWidget::event(event);
}

bool XPButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_container && event->type() == QEvent::DynamicPropertyChange) {
        const QByteArray name = static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName();
        if (name == kAmbientBackColor)
            AmbientChanged(QString::fromLatin1(kAmbientBackColor));
    }
    return QWidget::eventFilter(watched, event);
}

void XPButton::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (userMode())
        FormKeys::install(window());
    updateDisplayAsDefault();
}

} // namespace xpbutton
