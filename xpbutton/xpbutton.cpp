#include "xpbutton.h"

#include "outline.h"
#include "platform/messagebox.h"
#include "windowtimer.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace xpbutton {

namespace {

bool inRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

Qt::CursorShape cursorShape(int pointer)
{
    switch (pointer) {
    case 2:
        return Qt::CrossCursor;
    case 3:
        return Qt::IBeamCursor;
    case 5:
    case 15:
        return Qt::SizeAllCursor;
    case 6:
        return Qt::SizeBDiagCursor;
    case 7:
        return Qt::SizeVerCursor;
    case 8:
        return Qt::SizeFDiagCursor;
    case 9:
        return Qt::SizeHorCursor;
    case 10:
        return Qt::UpArrowCursor;
    case 11:
        return Qt::WaitCursor;
    case 12:
        return Qt::ForbiddenCursor;
    case 13:
        return Qt::BusyCursor;
    case 14:
        return Qt::WhatsThisCursor;
    default:
        return Qt::ArrowCursor;
    }
}

// The first ancestor value of an ambient property.
QVariant ambient(const QWidget *widget, const char *name)
{
    for (const QWidget *w = widget ? widget->parentWidget() : nullptr; w; w = w->parentWidget()) {
        const QVariant v = w->property(name);
        if (v.isValid())
            return v;
    }
    return {};
}

Colour bagColour(const QVariant &v)
{
    return Colour(quint64(v.toLongLong()) & 0xFFFFFFFFu);
}

} // namespace

XPButton::XPButton(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // Every move over the button counts: the first one starts the hover.
    setMouseTracking(true);
    setContainer(parent);
    m_s.nParentBackColor = ResolveColour(ambientBackColor());
    RebuildFont();
    RebuildColours();
    // The form reports its default button anew whenever the focus moves.
    if (auto *app = qobject_cast<QApplication *>(QCoreApplication::instance()))
        m_focusConnection =
            connect(app, &QApplication::focusChanged, this, &XPButton::updateDisplayAsDefault);
}

XPButton::~XPButton()
{
    // The base destructor may still move the focus; this part must not hear of it.
    disconnect(m_focusConnection);
    if (m_s.bHovering)
        KillTimer(this, property(kTimerIdProperty).toInt());
    // A destroyed member must not stay registered in its group.
    if (m_s.Mode == 2)
        OptionToggle(-1);
    if (m_container)
        m_container->removeEventFilter(this);
}

bool XPButton::userMode() const
{
    if (m_designMode)
        return false;
    const QVariant v = ambient(this, kAmbientUserMode);
    return v.isValid() ? v.toBool() : true;
}

void XPButton::setDesignMode(bool design)
{
    m_designMode = design;
    Refresh();
}

void XPButton::setContainer(QWidget *container)
{
    if (m_container == container)
        return;
    if (m_container)
        m_container->removeEventFilter(this);
    m_container = container;
    // Ambient changes arrive as property changes of the container.
    if (m_container)
        m_container->installEventFilter(this);
}

Colour XPButton::ambientBackColor() const
{
    const QVariant v = ambient(this, kAmbientBackColor);
    return v.isValid() ? bagColour(v) : kButtonFace;
}

ButtonState &XPButton::state()
{
    m_bufferStale = true;
    return m_s;
}

void XPButton::designMessage(const QString &text, const QString &title)
{
    if (userMode())
        return;
    platform::messageBox(this, text,
                         title.isEmpty() ? QString::fromLatin1(kDesignMessageTitle) : title,
                         QMessageBox::Information, QMessageBox::Ok);
}

// ---- property setters -------------------------------------------------------------------

void XPButton::setButtonStyle(int style)
{
    if (!inRange(style, 0, 7))
        return;
    m_s.ButtonStyle = style;
    BuildOutline();
    layoutContent();
    RebuildColours();
    RedrawButton();
    Q_EMIT PropertyChanged(QStringLiteral("BackStyle"));
}

void XPButton::setMode(int mode)
{
    if (!inRange(mode, 0, 2))
        return;
    if (m_s.Mode == 2 && mode < 2)
        OptionToggle(-1);
    if (mode == 2 && m_s.Mode < 2)
        OptionToggle(1);
    if (mode == 0 && m_s.Mode > 0)
        setValue(false);
    m_s.Mode = mode;
    RedrawButton();
    Q_EMIT PropertyChanged(QStringLiteral("Mode"));
}

void XPButton::setValue(bool value)
{
    if (value && m_s.Mode == 0) {
        designMessage(QStringLiteral("This property is not applicable for command button modes."));
        return;
    }
    m_s.value = value;
    if (value && m_s.Mode == 2)
        OptionToggle(0);
    RedrawButton();
    Q_EMIT PropertyChanged(QStringLiteral("Value"));
}

void XPButton::setCaption(const QString &caption)
{
    const qsizetype amp = caption.lastIndexOf(u'&');
    if (amp >= 0)
        m_accessKey = amp + 1 < caption.size() ? caption.at(amp + 1) : QChar();
    registerAccessKey();
    m_s.caption = caption;
    layoutContent();
    RedrawButton();
    Q_EMIT PropertyChanged(QStringLiteral("Caption"));
}

void XPButton::setCaptionAlign(int align)
{
    if (!inRange(align, 0, 2))
        return;
    if (align < 2 && (m_s.PictureAlign == 4 || m_s.PictureAlign == 5) && !m_s.Picture.isNull()) {
        designMessage(QStringLiteral("When button images are aligned top/bottom center, \n"
                                     "button captions can only be center aligned"));
        return;
    }
    m_s.CaptionAlign = align;
    layoutContent();
    RedrawButton();
    Q_EMIT PropertyChanged(QStringLiteral("CapAlign"));
}

void XPButton::setCaptionStyle(int style)
{
    if (!inRange(style, 0, 2))
        return;
    m_s.CaptionStyle = style;
    Q_EMIT PropertyChanged(QStringLiteral("CapStyle"));
    if (!m_s.caption.isEmpty()) {
        layoutContent();
        RedrawButton();
    }
}

void XPButton::setButtonShape(int shape)
{
    if (!inRange(shape, 0, 6))
        return;
    m_s.ButtonShape = shape;
    if (shape == 3)
        m_s.CaptionAlign = 2;
    m_s.bDelay = false;
    handleResize();
    Q_EMIT PropertyChanged(QStringLiteral("Shape"));
}

void XPButton::setPicture(const ButtonPicture &picture)
{
    m_s.Picture = picture;
    if (m_s.nImgPixels == 0)
        m_s.nImgPixels = 16;
    MeasurePicture();
    layoutContent();
    RedrawButton();
    Q_EMIT PropertyChanged(QStringLiteral("Image"));
}

void XPButton::setPictureAlign(int align)
{
    if (!inRange(align, 0, 5))
        return;
    m_s.PictureAlign = align;
    if (align == 4 || align == 5)
        setCaptionAlign(2);
    layoutContent();
    RedrawButton();
    Q_EMIT PropertyChanged(QStringLiteral("ImgAlign"));
}

void XPButton::setButtonEnabled(bool enabled)
{
    if (enabled != Enabled())
        QWidget::setEnabled(enabled); // changeEvent redraws
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
}

void XPButton::setShowFocusRect(bool show)
{
    m_s.ShowFocusRect = show;
    if (m_s.has(DefaultLook)) {
        if (userMode()) {
            m_s.nStateBits &= quint8(~DefaultLook);
            RedrawButton();
        } else {
            designMessage(QStringLiteral(
                "The focus rectangle may appear on default buttons ONLY while in design mode, \n"
                "but will not appear when the form is running."));
        }
    } else {
        RedrawButton();
    }
    Q_EMIT PropertyChanged(QStringLiteral("Focus"));
}

int XPButton::PictureSize()
{
    if (m_s.nImgPixels == 0)
        m_s.nImgPixels = 16;
    // The inverse of (size + 2) * 8, so a stored size reads back as it was set.
    return m_s.nImgPixels / 8 - 2;
}

void XPButton::setPictureSize(int size)
{
    if (!inRange(size, 0, 4))
        return;
    m_s.nImgPixels = qint16((size + 2) * 8);
    layoutContent();
    RedrawButton();
    Q_EMIT PropertyChanged(QStringLiteral("ImgSize"));
}

void XPButton::applyCursor()
{
    if (m_mousePointer == 0)
        unsetCursor();
    else if (m_mousePointer == 99 && !m_mouseIcon.isNull()) {
        const QImage &image = m_mouseIcon.image();
        const QPoint hot = m_mouseIcon.kind() == ButtonPicture::Kind::Cursor
                               ? m_mouseIcon.hotSpot()
                               : QPoint(image.width() / 2, image.height() / 2);
        setCursor(QCursor(QPixmap::fromImage(image), hot.x(), hot.y()));
    } else
        setCursor(cursorShape(m_mousePointer));
}

void XPButton::setMousePointer(int pointer)
{
    m_mousePointer = pointer;
    applyCursor();
    Q_EMIT PropertyChanged(QStringLiteral("mPointer"));
}

void XPButton::setMouseIcon(const ButtonPicture &icon)
{
    if (!icon.isNull() && !icon.isIcon()) {
        designMessage(QStringLiteral("Invalid property value"),
                      QStringLiteral("Select .ico Or .cur Files Only"));
        return;
    }
    m_mouseIcon = icon;
    if (!icon.isNull())
        m_mousePointer = 99;
    applyCursor();
    Q_EMIT PropertyChanged(QStringLiteral("mIcon"));
}

void XPButton::setButtonFont(const QFont &font)
{
    QWidget::setFont(font); // changeEvent rebuilds the drawing font, lays out and redraws
    Q_EMIT PropertyChanged(QStringLiteral("Font"));
}

int XPButton::FontStyle() const
{
    const QFont f = font();
    return 2 * int(f.bold()) + 4 * int(f.italic()) + 8 * int(f.underline());
}

void XPButton::setFontStyle(int style)
{
    QFont f = font();
    f.setBold((style & 2) != 0);
    f.setItalic((style & 4) != 0);
    f.setUnderline((style & 8) != 0);
    const bool delayed = m_s.bDelay;
    m_s.bDelay = true; // one redraw below, after the key is marked
    QWidget::setFont(f);
    m_s.bDelay = delayed;
    Q_EMIT PropertyChanged(QStringLiteral("Font"));
    RedrawButton();
}

void XPButton::setForeColor(quint32 colour)
{
    if (colour == m_s.ForeColor)
        return;
    m_s.ForeColor = colour;
    if (m_s.HoverColorLocks == 0 || m_s.HoverColorLocks == 1)
        setHoverForeColor(colour);
    m_s.bDelay = false;
    RedrawButton();
    Q_EMIT PropertyChanged(QStringLiteral("cFore"));
}

void XPButton::setBackColor(quint32 colour)
{
    m_s.BackColor = ResolveColour(colour);
    if (m_s.HoverColorLocks == 0 || m_s.HoverColorLocks == 2)
        setHoverBackColor(m_s.GradientMode != 0 ? m_s.GradientColor : colour);
    RebuildColours();
    RedrawButton();
    Q_EMIT PropertyChanged(QStringLiteral("cBack"));
}

void XPButton::setGradientColor(quint32 colour)
{
    if ((m_s.HoverColorLocks == 0 || m_s.HoverColorLocks == 2) && m_s.GradientMode > 0)
        m_s.HoverBackColor = colour;
    m_s.GradientColor = colour;
    RebuildColours();
    if (m_s.GradientMode != 0)
        RedrawButton();
    Q_EMIT PropertyChanged(QStringLiteral("cGradient"));
}

void XPButton::setGradientMode(int mode)
{
    if (!inRange(mode, 0, 4))
        return;
    m_s.GradientMode = mode;
    if (m_s.HoverColorLocks == 0 || m_s.HoverColorLocks == 2) {
        m_s.HoverBackColor = mode == 0 ? m_s.BackColor : m_s.GradientColor;
        RebuildColours();
    }
    RedrawButton();
    Q_EMIT PropertyChanged(QStringLiteral("Gradient"));
}

void XPButton::setResetDefaultColors(bool reset)
{
    if (userMode() || !reset)
        return;
    m_s.bDelay = true;
    m_s.BackColor = kButtonFace;
    setForeColor(kButtonText);
    setGradientColor(kButtonFace);
    setGradientMode(0);
    setHoverColorLocks(0);
    RebuildColours();
    DelayDrawing(false);
    Q_EMIT PropertyChanged(QStringLiteral("cGradient"));
    Q_EMIT PropertyChanged(QStringLiteral("cBack"));
}

void XPButton::setHoverColorLocks(int locks)
{
    m_s.HoverColorLocks = locks;
    if (locks == 0 || locks == 2) {
        m_s.HoverBackColor = m_s.GradientMode != 0 ? m_s.GradientColor : m_s.BackColor;
        Q_EMIT PropertyChanged(QStringLiteral("cBHover"));
    }
    if (locks == 0 || locks == 1) {
        m_s.HoverForeColor = m_s.ForeColor;
        Q_EMIT PropertyChanged(QStringLiteral("cFHover"));
    }
    RebuildColours();
    Q_EMIT PropertyChanged(QStringLiteral("LockHover"));
}

void XPButton::setHoverForeColor(quint32 colour)
{
    if (colour == m_s.HoverForeColor)
        return;
    m_s.HoverForeColor = colour;
    Q_EMIT PropertyChanged(QStringLiteral("cFHover"));
    if (colour != m_s.ForeColor) {
        if (m_s.HoverColorLocks == 0)
            m_s.HoverColorLocks = 2;
        else if (m_s.HoverColorLocks == 1)
            m_s.HoverColorLocks = 3;
    }
}

void XPButton::setHoverBackColor(quint32 colour)
{
    if (colour == m_s.HoverBackColor)
        return;
    m_s.HoverBackColor = colour;
    // Compared as RGB: BackColor is kept resolved, so a system colour equal to it still follows.
    if (ResolveColour(colour) != ResolveColour(m_s.BackColor)) {
        if (m_s.HoverColorLocks == 0)
            m_s.HoverColorLocks = 1;
        else if (m_s.HoverColorLocks == 2)
            m_s.HoverColorLocks = 3;
    }
    RebuildColours();
    Q_EMIT PropertyChanged(QStringLiteral("cBHover"));
}

// ---- methods ------------------------------------------------------------------------------

void XPButton::Refresh()
{
    RedrawButton();
}

void XPButton::DelayDrawing(bool delay)
{
    m_s.bDelay = delay;
    if (!delay)
        Refresh();
}

// ---- persistence --------------------------------------------------------------------------

void XPButton::InitProperties()
{
    setContainer(parentWidget());
    m_s.caption = objectName();
    m_s.CaptionAlign = 2;
    m_s.ShowFocusRect = true;
    m_s.HoverForeColor = kButtonText;
    m_s.HoverBackColor = kButtonFace;
    m_s.nParentBackColor = ResolveColour(ambientBackColor());
    m_s.BackColor = kButtonFace;
    RebuildFont();
    RebuildColours();
    for (const char *key : {"Caption", "CapAlign", "Focus", "cFHover", "cBHover"})
        Q_EMIT PropertyChanged(QString::fromLatin1(key));
    layoutContent();
    RedrawButton();
}

void XPButton::ReadProperties(const PropertyBag &bag)
{
    setContainer(parentWidget());
    m_s.nParentBackColor = ResolveColour(ambientBackColor());
    DelayDrawing(true);
    m_loading = true;

    auto number = [&bag](const char *key, qint64 fallback) {
        return bag.read(QString::fromLatin1(key), fallback).toLongLong();
    };
    auto flag = [&bag](const char *key, bool fallback) {
        return bag.read(QString::fromLatin1(key), fallback).toBool();
    };
    auto colour = [&bag](const char *key, Colour fallback) {
        return bagColour(bag.read(QString::fromLatin1(key), qint64(fallback)));
    };
    auto picture = [&bag](const char *key) {
        return bag.read(QString::fromLatin1(key)).value<ButtonPicture>();
    };

    m_s.caption = bag.read(u"Caption", QString()).toString();
    m_s.CaptionAlign = int(number("CapAlign", 2));
    m_s.ButtonStyle = int(number("BackStyle", 0));
    m_s.ButtonShape = int(number("Shape", 0));
    m_s.GradientMode = int(number("Gradient", 0));
    m_s.GradientColor = colour("cGradient", kButtonFace);
    m_s.ForeColor = colour("cFore", kButtonText);
    const QVariant storedFont = bag.read(u"Font");
    if (storedFont.metaType() == QMetaType::fromType<QFont>())
        QWidget::setFont(storedFont.value<QFont>());
    m_s.ShowFocusRect = flag("Focus", true);
    m_s.Mode = int(number("Mode", 0));
    m_s.value = flag("Value", false);
    m_s.Picture = picture("Image");
    m_s.nImgPixels = qint16(number("ImgSize", 16));
    m_s.PictureAlign = int(number("ImgAlign", 0));
    m_s.HoverForeColor = colour("cFHover", kButtonText);
    QWidget::setEnabled(flag("Enabled", true));
    m_s.BackColor = colour("cBack", ambientBackColor());
    m_s.HoverBackColor = colour("cBHover", m_s.BackColor);
    m_s.HoverColorLocks = int(number("LockHover", 0));
    m_s.CaptionStyle = int(number("CapStyle", 0));
    m_loading = false;
    setMouseIcon(picture("mIcon"));
    setMousePointer(int(number("mPointer", 0)));

    rebuildCached(u"Picture");
    rebuildCached(u"Font");
    rebuildCached(u"BackColor");
    setCaption(m_s.caption);
    if (m_s.Mode == 2)
        OptionToggle(1);
    m_s.bDelay = false;
    handleResize();
}

void XPButton::WriteProperties(PropertyBag &bag) const
{
    auto colour = [](Colour c) {
        return QVariant(qint64(c));
    };
    bag.write(QStringLiteral("Caption"), m_s.caption, QString());
    bag.write(QStringLiteral("CapAlign"), m_s.CaptionAlign, 2);
    bag.write(QStringLiteral("BackStyle"), m_s.ButtonStyle, 0);
    bag.write(QStringLiteral("Shape"), m_s.ButtonShape, 0);
    bag.write(QStringLiteral("Font"), QVariant::fromValue(font()));
    bag.write(QStringLiteral("cFore"), colour(m_s.ForeColor), colour(kButtonText));
    bag.write(QStringLiteral("cFHover"), colour(m_s.HoverForeColor), colour(kButtonText));
    bag.write(QStringLiteral("cBhover"), colour(m_s.HoverBackColor), colour(m_s.BackColor));
    bag.write(QStringLiteral("Focus"), m_s.ShowFocusRect, true);
    bag.write(QStringLiteral("LockHover"), m_s.HoverColorLocks, 0);
    bag.write(QStringLiteral("cGradient"), colour(m_s.GradientColor), colour(kButtonFace));
    bag.write(QStringLiteral("Gradient"), m_s.GradientMode, 0);
    bag.write(QStringLiteral("CapStyle"), m_s.CaptionStyle, 0);
    bag.write(QStringLiteral("Mode"), m_s.Mode);
    bag.write(QStringLiteral("Value"), m_s.value);
    bag.write(QStringLiteral("ImgAlign"), m_s.PictureAlign, 0);
    bag.write(QStringLiteral("Image"), QVariant::fromValue(m_s.Picture),
              QVariant::fromValue(ButtonPicture()));
    bag.write(QStringLiteral("ImgSize"), int(m_s.nImgPixels), 16);
    bag.write(QStringLiteral("Enabled"), Enabled(), true);
    bag.write(QStringLiteral("cBack"), colour(m_s.BackColor));
    bag.write(QStringLiteral("mPointer"), m_mousePointer, 0);
    bag.write(QStringLiteral("mIcon"), QVariant::fromValue(m_mouseIcon),
              QVariant::fromValue(ButtonPicture()));
}

// ---- drawing ------------------------------------------------------------------------------

void XPButton::rebuildCached(QStringView what)
{
    if (what.compare(u"Font", Qt::CaseInsensitive) == 0)
        RebuildFont();
    else if (what.compare(u"Picture", Qt::CaseInsensitive) == 0)
        MeasurePicture();
    else if (what.compare(u"BackColor", Qt::CaseInsensitive) == 0)
        RebuildColours();
}

void XPButton::RebuildFont()
{
    const QFont source = font();
    QFont f(source.family().left(31));
    const int dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    const int twipsPerPixel = std::max(1, 1440 / dpi);
    // A stored font of absurd size (a damaged form) draws at the largest size the platform
    // ever offered (2160 points) instead of exhausting memory.
    constexpr int kLargestPixels = 2160 * 20 / 15;
    const int pixels = source.pointSizeF() > 0
                           ? roundEven(source.pointSizeF() * 20.0 / twipsPerPixel)
                           : source.pixelSize();
    f.setPixelSize(std::clamp(pixels, 1, kLargestPixels));
    f.setWeight(source.weight());
    f.setItalic(source.italic());
    f.setUnderline(source.underline());
    f.setStrikeOut(source.strikeOut());
    // Crisp glyphs, as the platform the button was designed on drew small captions.
    f.setStyleStrategy(QFont::NoAntialias);
    m_s.drawingFont = f;
}

void XPButton::MeasurePicture()
{
    if (m_s.Picture.isNull()) {
        m_s.nPicWidth = 0;
        m_s.nPicHeight = 0;
        return;
    }
    m_s.nPicWidth = m_s.Picture.image().width();
    m_s.nPicHeight = m_s.Picture.image().height();
    m_s.nPicKind = m_s.Picture.isIcon() ? 1 : 0;
}

void XPButton::RebuildColours()
{
    const DerivedColours c =
        xpbutton::RebuildColours(m_s.ButtonStyle, m_s.BackColor, m_s.HoverBackColor);
    m_s.nFaceColor = c.nFaceColor;
    m_s.nShadeColor = c.nShadeColor;
    m_s.nHoverFaceColor = c.nHoverFaceColor;
    m_s.nLightColor = c.nLightColor;
}

void XPButton::syncWindowState()
{
    m_s.width = width();
    m_s.height = height();
    m_s.enabled = isEnabled();
    m_s.userMode = userMode();
    if (const QScreen *s = screen())
        m_s.screenSize = s->size();
}

void XPButton::BuildOutline()
{
    syncWindowState();
    const Outline outline = xpbutton::BuildOutline(m_s.width, m_s.height, m_s.ButtonShape,
                                                   m_s.ButtonStyle, m_s.enabled);
    if (outline.width != m_s.width) {
        // Slanted shapes need room; widen without drawing in between.
        const bool delayed = m_s.bDelay;
        m_s.bDelay = true;
        resize(outline.width, height());
        m_s.bDelay = delayed;
        syncWindowState();
    }
    m_s.nLeftSlant = outline.nLeftSlant;
    m_s.nRightEdge = outline.nRightEdge;
    if (!m_surface.isNull() && m_surface.image().size() != size())
        m_surface.resize(size());
    m_surface.setClipRegion(outline.clip);
    m_surface.selectClip(true);
    setMask(outline.region);
}

void XPButton::EnsureSurface()
{
    if (m_surface.isNull() || m_surface.image().size() != size()) {
        m_surface.resize(size());
        m_surface.selectClip(true);
        m_bufferStale = true;
    }
}

void XPButton::layoutContent()
{
    syncWindowState();
    const ContentLayout layout = LayoutContent(m_s);
    m_s.rcCaption = layout.caption;
    m_s.rcPicture = layout.picture;
}

void XPButton::handleResize()
{
    if (m_s.bDelay)
        return;
    BuildOutline();
    m_surface.resize(QSize());
    EnsureSurface();
    layoutContent();
    RedrawButton();
}

void XPButton::RedrawButton()
{
    if (m_s.bDelay) {
        m_bufferStale = true;
        return;
    }
    if (m_surface.isNull())
        return;
    syncWindowState();
    ButtonPainter(m_s, m_surface, &m_pictureCache).paint();
    m_bufferStale = false;
    update();
}

void XPButton::paintEvent(QPaintEvent *event)
{
    m_s.bDelay = false;
    if (m_surface.isNull() || m_surface.image().size() != size())
        handleResize();
    else if (m_bufferStale)
        RedrawButton();
    QPainter painter(this);
    painter.drawImage(event->rect(), m_surface.image(), event->rect());
}

void XPButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    handleResize();
}

void XPButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (m_loading)
        return; // loading rebuilds everything once at its end
    switch (event->type()) {
    case QEvent::FontChange:
        RebuildFont();
        layoutContent();
        RedrawButton();
        break;
    case QEvent::EnabledChange:
        if (m_s.ButtonStyle == 3 && m_s.Mode == 0) {
            // Look 3 trims its corners only while enabled.
            m_s.bDelay = true;
            BuildOutline();
            layoutContent();
            DelayDrawing(false);
        } else {
            RedrawButton();
        }
        break;
    default:
        break;
    }
}

} // namespace xpbutton
