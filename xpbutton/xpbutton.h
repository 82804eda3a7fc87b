#pragma once

#include "buttonpainter.h"
#include "buttonpicture.h"
#include "buttonstate.h"
#include "propertybag.h"
#include "surface.h"

#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>

class QMimeData;

namespace xpbutton {

// Names of the ambient properties a host sets as dynamic properties on the container (or any
// ancestor) of its buttons.
inline constexpr char kAmbientUserMode[] = "UserMode";   // bool; false while designing a form
inline constexpr char kAmbientBackColor[] = "BackColor"; // quint32 colour of the form

// Option groups: the container keeps the number of option-mode buttons and one QPointer per slot.
inline constexpr char kOptCount[] = "xb_OptCount";
inline constexpr char kOptSlotPrefix[] = "xb_Obj";

// The hover poll: a 50 ms timer of the button's own window under the number 237. The window
// carries the instance and the timer's number for the module-level routine.
inline constexpr int kHoverTimerId = 237;
inline constexpr int kHoverPeriod = 50;
inline constexpr char kClassIdProperty[] = "xb_ClassID";
inline constexpr char kTimerIdProperty[] = "xb_TimerID";

class XPButton;

// The timer routine shared by all buttons: runs the hover check of the instance the ticking
// window carries; a window without one is left alone.
void HoverTimerProc(QWidget *window, int timerId);

// Title of the messages that explain refused settings while a form is being designed.
inline constexpr char kDesignMessageTitle[] = "XPButton";

// A push button that draws itself: command button, check box or option button, in eight looks
// and seven outlines, with an optional picture, gradient shading and hover colours. Every redraw
// paints the whole button into a back buffer that the paint event copies to the screen.
class XPButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int ButtonStyle READ ButtonStyle WRITE setButtonStyle)
    Q_PROPERTY(int Mode READ Mode WRITE setMode)
    Q_PROPERTY(bool value READ value WRITE setValue)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(int CaptionAlign READ CaptionAlign WRITE setCaptionAlign)
    Q_PROPERTY(int CaptionStyle READ CaptionStyle WRITE setCaptionStyle)
    Q_PROPERTY(int ButtonShape READ ButtonShape WRITE setButtonShape)
    Q_PROPERTY(xpbutton::ButtonPicture Picture READ Picture WRITE setPicture)
    Q_PROPERTY(int PictureAlign READ PictureAlign WRITE setPictureAlign)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setButtonEnabled)
    Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(int PictureSize READ PictureSize WRITE setPictureSize)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(xpbutton::ButtonPicture MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(QFont Font READ Font WRITE setButtonFont)
    Q_PROPERTY(int FontStyle READ FontStyle WRITE setFontStyle)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 GradientColor READ GradientColor WRITE setGradientColor)
    Q_PROPERTY(int GradientMode READ GradientMode WRITE setGradientMode)
    Q_PROPERTY(bool ResetDefaultColors READ ResetDefaultColors WRITE setResetDefaultColors)
    Q_PROPERTY(int HoverColorLocks READ HoverColorLocks WRITE setHoverColorLocks)
    Q_PROPERTY(quint32 HoverForeColor READ HoverForeColor WRITE setHoverForeColor)
    Q_PROPERTY(quint32 HoverBackColor READ HoverBackColor WRITE setHoverBackColor)
    Q_PROPERTY(quintptr hDC READ hDC)
    Q_PROPERTY(quintptr hwnd READ hwnd)
    // What the form adds to every button: its default (Enter) and cancel (Esc) button.
    Q_PROPERTY(bool Default READ isDefault WRITE setDefault)
    Q_PROPERTY(bool Cancel READ isCancel WRITE setCancel)

public:
    explicit XPButton(QWidget *parent = nullptr);
    ~XPButton() override;

    // Property getters and setters. Out-of-range values of the enumerated properties are
    // ignored; each accepted change marks its property-bag key (PropertyChanged).
    int ButtonStyle() const { return m_s.ButtonStyle; }
    void setButtonStyle(int style);
    int Mode() const { return m_s.Mode; }
    void setMode(int mode);
    bool value() const { return m_s.value; }
    void setValue(bool value);
    QString caption() const { return m_s.caption; }
    void setCaption(const QString &caption);
    int CaptionAlign() const { return m_s.CaptionAlign; }
    void setCaptionAlign(int align);
    int CaptionStyle() const { return m_s.CaptionStyle; }
    void setCaptionStyle(int style);
    int ButtonShape() const { return m_s.ButtonShape; }
    void setButtonShape(int shape);
    ButtonPicture Picture() const { return m_s.Picture; }
    void setPicture(const ButtonPicture &picture);
    int PictureAlign() const { return m_s.PictureAlign; }
    void setPictureAlign(int align);
    // The button's own enabled flag (a disabled container also draws it disabled).
    bool Enabled() const { return !testAttribute(Qt::WA_Disabled); }
    void setButtonEnabled(bool enabled);
    bool ShowFocusRect() const { return m_s.ShowFocusRect; }
    void setShowFocusRect(bool show);
    int PictureSize();
    void setPictureSize(int size);
    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);
    ButtonPicture MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const ButtonPicture &icon);
    QFont Font() const { return font(); }
    void setButtonFont(const QFont &font);
    int FontStyle() const;
    void setFontStyle(int style);
    quint32 ForeColor() const { return m_s.ForeColor; }
    void setForeColor(quint32 colour);
    quint32 BackColor() const { return m_s.BackColor; }
    void setBackColor(quint32 colour);
    quint32 GradientColor() const { return m_s.GradientColor; }
    void setGradientColor(quint32 colour);
    int GradientMode() const { return m_s.GradientMode; }
    void setGradientMode(int mode);
    bool ResetDefaultColors() const { return false; }
    void setResetDefaultColors(bool reset);
    int HoverColorLocks() const { return m_s.HoverColorLocks; }
    void setHoverColorLocks(int locks);
    quint32 HoverForeColor() const { return m_s.HoverForeColor; }
    void setHoverForeColor(quint32 colour);
    quint32 HoverBackColor() const { return m_s.HoverBackColor; }
    void setHoverBackColor(quint32 colour);
    // The back buffer's surface and the window this button draws into.
    quintptr hDC() const { return reinterpret_cast<quintptr>(&m_surface); }
    quintptr hwnd() const { return quintptr(effectiveWinId()); }

    // The access key taken from the caption's last "&"; null when there is none. Alt and the
    // key click the button.
    QChar accessKey() const { return m_accessKey; }

    // The form's default and cancel button; one of each per window, setting one clears the
    // previous one.
    bool isDefault() const { return m_default; }
    void setDefault(bool isDefault);
    bool isCancel() const { return m_cancel; }
    void setCancel(bool isCancel);

    // Tells the button that the form hosting it is being designed (true) rather than run,
    // whatever the container says.
    void setDesignMode(bool design);

    // A full redraw.
    void Refresh();
    // While delay is True redraws do nothing; False redraws at once.
    void DelayDrawing(bool delay);

    // Initialises a button placed on a form for the first time.
    void InitProperties();
    // Restores the settings from the form's property bag.
    void ReadProperties(const PropertyBag &bag);
    // Saves the settings into the form's property bag.
    void WriteProperties(PropertyBag &bag) const;

    // Option groups: 1 join, 0 clear the others, -1 leave, 2 whether a member is selected.
    bool OptionToggle(int action);

    // The access key was pressed; also Enter (13) and Esc (27) when this is the form's default
    // or cancel button.
    void AccessKeyPress(short KeyAscii);
    // An ambient property of the container changed: "DisplayAsDefault" or "BackColor".
    void AmbientChanged(const QString &PropertyName);
    // Whether the form shows this button as its default one: it has the focus, or it is the
    // default button and no other push button has the focus.
    bool displayAsDefault() const;
    // One tick of the hover poll: ends the hover when the pointer is over another window.
    void hoverCheck();

    // The drawing state. The interaction code and tests change it and then redraw.
    ButtonState &state();
    const ButtonState &state() const { return m_s; }
    // The back buffer as last painted.
    const QImage &backBuffer() const { return m_surface.image(); }

    // Whether the form is running (true) or being designed, from the ambient flag.
    Q_INVOKABLE bool userMode() const;

    // The internal operations of a redraw, public so a host can batch and tests can drive them.
    void RedrawButton();
    void handleResize();

    QSize sizeHint() const override { return {75, 25}; }

Q_SIGNALS:
    // The host must save the form: the property stored under this key changed.
    void PropertyChanged(const QString &PropertyName);

    void Click();
    void DoubleClick(short Button);
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);
    void MouseMove(short Button, short Shift, float X, float Y);
    void MouseOnButton(bool OnButton);
    void KeyDown(short KeyCode, short Shift);
    void KeyUp(short KeyCode, short Shift);
    void KeyPress(short KeyAscii);
    void OLECompleteDrag(int Effect);
    void OLEDragDrop(const QMimeData *Data, int Effect, short Button, short Shift, float X,
                     float Y);
    void OLEDragOver(const QMimeData *Data, int Effect, short Button, short Shift, float X, float Y,
                     short State);
    void OLEGiveFeedback(int Effect, bool DefaultCursors);
    void OLESetData(const QMimeData *Data, short DataFormat);
    void OLEStartDrag(const QMimeData *Data, int AllowedEffects);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    // The handlers of the platform's notifications, in the order the host sees their events.
    void handleMouseDown(short button, short shift, float x, float y);
    void handleMouseMove(short button, short shift, float x, float y);
    void handleMouseUp(short button, short shift, float x, float y);
    void handleClick();
    void handleDoubleClick(short button, float x, float y);
    // Returns whether the key was consumed (no KeyDown/KeyUp event).
    bool handleKeyDown(short keyCode, short shift, int qtKey);
    bool handleKeyUp(short keyCode, short shift);
    void handleFocusIn();
    // Arrow keys go to the container; when it leaves them alone the focus moves on.
    void forwardArrow(int qtKey, short keyCode);
    void registerAccessKey();
    void updateDisplayAsDefault();
    void setContainer(QWidget *container);

    // Rebuilds one cached resource named by word: "Font", "Picture" or "BackColor".
    void rebuildCached(QStringView what);
    void RebuildFont();
    void MeasurePicture();
    void RebuildColours();
    void BuildOutline();
    void EnsureSurface();
    void layoutContent();
    void syncWindowState();
    void applyCursor();
    void designMessage(const QString &text, const QString &title = {});
    Colour ambientBackColor() const;

    ButtonState m_s;
    Surface m_surface;
    PictureCache m_pictureCache;
    QPointer<QWidget> m_container;
    QChar m_accessKey;
    int m_mousePointer = 0;
    ButtonPicture m_mouseIcon;
    bool m_bufferStale = true; // the back buffer does not show the current state
    bool m_loading = false;    // values go straight into members and window while reading a bag
    int m_accessKeyShortcut = 0;
    QMetaObject::Connection m_focusConnection;
    bool m_default = false;
    bool m_cancel = false;
    bool m_designMode = false;
    bool m_shownAsDefault = false; // what the form last reported for DisplayAsDefault
    bool m_clickArmed = false;     // a press on the button may complete a click on release
};

} // namespace xpbutton
