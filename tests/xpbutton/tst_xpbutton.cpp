#include "platform/messagebox.h"
#include "xpbutton/xpbutton.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace xpbutton;

namespace {

struct Message
{
    QString text;
    QString title;
    QMessageBox::Icon icon;
};

// A form in run or design mode whose message boxes are recorded instead of shown.
class Form
{
public:
    explicit Form(bool design = false)
    {
        host.setProperty(kAmbientUserMode, !design);
        previous = platform::setMessagePresenter([this](const platform::MessageRequest &r) {
            messages.append({r.text, r.title, r.icon});
            return QMessageBox::Ok;
        });
    }
    ~Form() { platform::setMessagePresenter(previous); }

    XPButton *add(const QString &name = QStringLiteral("Command1"))
    {
        auto *button = new XPButton(&host);
        button->setObjectName(name);
        button->resize(75, 25);
        button->InitProperties();
        return button;
    }

    QWidget host;
    QList<Message> messages;
    platform::MessagePresenter previous;
};

QStringList keysOf(const QSignalSpy &spy)
{
    QStringList keys;
    for (const QList<QVariant> &args : spy)
        keys << args.at(0).toString();
    return keys;
}

ButtonPicture bitmap()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::red);
    return ButtonPicture(image);
}

ButtonPicture cursorPicture()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixel(3, 4, qRgba(0, 0, 0, 255));
    return ButtonPicture(image, ButtonPicture::Kind::Cursor, QPoint(3, 4));
}

} // namespace

class tst_XPButton : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { setSystemColourTable(classicSystemColour); }
    void cleanupTestCase() { setSystemColourTable({}); }

    void newInstance();
    void outOfRangeIsIgnored_data();
    void outOfRangeIsIgnored();
    void settersMarkTheirKeys_data();
    void settersMarkTheirKeys();
    void valueOnCommandButton_data();
    void valueOnCommandButton();
    void optionGroup();
    void destroyedOptionLeavesGroup();
    void shape3CentresCaption();
    void stackedPictureCentresCaption();
    void hoverColourLocks();
    void backColorFollowsIntoHover();
    void resetDefaultColors_data();
    void resetDefaultColors();
    void accessKey_data();
    void accessKey();
    void pictureSize();
    void showFocusRect();
    void fontStyle();
    void mouseIcon();

    void saveOrder();
    void saveDefaults();
    void captionAlignRoundTrip();
    void storedHoverKeySpelling();
    void missingBackColours();
    void lookupSearchButton();
    void storedPointerOverridesIcon();
    void loadingJoinsGroup();
    void loadingStoresStraight();
    void absurdStoredFontSize();
};

void tst_XPButton::newInstance()
{
    Form form;
    auto *button = new XPButton(&form.host);
    button->setObjectName(QStringLiteral("XPButton1"));
    QSignalSpy changed(button, &XPButton::PropertyChanged);
    button->InitProperties();
    QCOMPARE(button->caption(), QStringLiteral("XPButton1"));
    QCOMPARE(button->CaptionAlign(), 2);
    QVERIFY(button->ShowFocusRect());
    QCOMPARE(button->HoverForeColor(), 0x80000012u);
    QCOMPARE(button->HoverBackColor(), 0x8000000Fu);
    QCOMPARE(button->BackColor(), 0x8000000Fu);
    QCOMPARE(button->GradientColor(), 0u);
    QCOMPARE(button->Mode(), 0);
    QCOMPARE(button->state().nParentBackColor, 0xC8D0D4u);
    QCOMPARE(keysOf(changed), (QStringList{QStringLiteral("Caption"), QStringLiteral("CapAlign"),
                                           QStringLiteral("Focus"), QStringLiteral("cFHover"),
                                           QStringLiteral("cBHover")}));
}

void tst_XPButton::outOfRangeIsIgnored_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("value");
    QTest::newRow("ButtonStyle 8") << QByteArray("ButtonStyle") << 8;
    QTest::newRow("ButtonStyle -1") << QByteArray("ButtonStyle") << -1;
    QTest::newRow("Mode 3") << QByteArray("Mode") << 3;
    QTest::newRow("CaptionAlign 3") << QByteArray("CaptionAlign") << 3;
    QTest::newRow("CaptionStyle 3") << QByteArray("CaptionStyle") << 3;
    QTest::newRow("ButtonShape 7") << QByteArray("ButtonShape") << 7;
    QTest::newRow("PictureAlign 6") << QByteArray("PictureAlign") << 6;
    QTest::newRow("PictureSize 7") << QByteArray("PictureSize") << 7;
    QTest::newRow("PictureSize -1") << QByteArray("PictureSize") << -1;
    QTest::newRow("GradientMode 5") << QByteArray("GradientMode") << 5;
}

void tst_XPButton::outOfRangeIsIgnored()
{
    QFETCH(QByteArray, property);
    QFETCH(int, value);
    Form form;
    XPButton *button = form.add();
    const QVariant before = button->property(property.constData());
    QSignalSpy changed(button, &XPButton::PropertyChanged);
    QVERIFY(button->setProperty(property.constData(), value));
    QCOMPARE(button->property(property.constData()), before);
    QCOMPARE(changed.count(), 0);
}

void tst_XPButton::settersMarkTheirKeys_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("key");
    QTest::newRow("ButtonStyle") << QByteArray("ButtonStyle") << QVariant(3) << "BackStyle";
    QTest::newRow("Mode") << QByteArray("Mode") << QVariant(1) << "Mode";
    QTest::newRow("caption") << QByteArray("caption") << QVariant(QStringLiteral("x")) << "Caption";
    QTest::newRow("CaptionAlign") << QByteArray("CaptionAlign") << QVariant(0) << "CapAlign";
    QTest::newRow("CaptionStyle") << QByteArray("CaptionStyle") << QVariant(1) << "CapStyle";
    QTest::newRow("ButtonShape") << QByteArray("ButtonShape") << QVariant(2) << "Shape";
    QTest::newRow("Picture") << QByteArray("Picture") << QVariant::fromValue(bitmap()) << "Image";
    QTest::newRow("PictureAlign") << QByteArray("PictureAlign") << QVariant(2) << "ImgAlign";
    QTest::newRow("Enabled") << QByteArray("Enabled") << QVariant(false) << "Enabled";
    QTest::newRow("ShowFocusRect") << QByteArray("ShowFocusRect") << QVariant(false) << "Focus";
    QTest::newRow("PictureSize") << QByteArray("PictureSize") << QVariant(2) << "ImgSize";
    QTest::newRow("MousePointer") << QByteArray("MousePointer") << QVariant(2) << "mPointer";
    QTest::newRow("MouseIcon") << QByteArray("MouseIcon") << QVariant::fromValue(cursorPicture())
                               << "mIcon";
    QTest::newRow("Font") << QByteArray("Font") << QVariant::fromValue(QFont("Serif", 14))
                          << "Font";
    QTest::newRow("FontStyle") << QByteArray("FontStyle") << QVariant(2) << "Font";
    QTest::newRow("ForeColor") << QByteArray("ForeColor") << QVariant(0xFFu) << "cFore";
    QTest::newRow("BackColor") << QByteArray("BackColor") << QVariant(0xFFu) << "cBack";
    QTest::newRow("GradientColor") << QByteArray("GradientColor") << QVariant(0xFFu) << "cGradient";
    QTest::newRow("GradientMode") << QByteArray("GradientMode") << QVariant(1) << "Gradient";
    QTest::newRow("HoverColorLocks") << QByteArray("HoverColorLocks") << QVariant(3) << "LockHover";
    QTest::newRow("HoverForeColor") << QByteArray("HoverForeColor") << QVariant(0xFFu) << "cFHover";
    QTest::newRow("HoverBackColor") << QByteArray("HoverBackColor") << QVariant(0xFFu) << "cBHover";
}

void tst_XPButton::settersMarkTheirKeys()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    QFETCH(QString, key);
    Form form;
    XPButton *button = form.add();
    QSignalSpy changed(button, &XPButton::PropertyChanged);
    QVERIFY(button->setProperty(property.constData(), value));
    QVERIFY2(keysOf(changed).contains(key), qPrintable(keysOf(changed).join(u',')));
}

void tst_XPButton::valueOnCommandButton_data()
{
    QTest::addColumn<bool>("design");
    QTest::newRow("run mode") << false;
    QTest::newRow("design mode") << true;
}

void tst_XPButton::valueOnCommandButton()
{
    QFETCH(bool, design);
    Form form(design);
    XPButton *button = form.add();
    QSignalSpy changed(button, &XPButton::PropertyChanged);
    button->setValue(true);
    QVERIFY(!button->value());
    QCOMPARE(changed.count(), 0);
    if (design) {
        QCOMPARE(form.messages.size(), 1);
        QCOMPARE(form.messages[0].text,
                 QStringLiteral("This property is not applicable for command button modes."));
        QCOMPARE(form.messages[0].icon, QMessageBox::Information);
    } else {
        QVERIFY(form.messages.isEmpty());
    }
    button->setMode(1);
    button->setValue(true);
    QVERIFY(button->value());
}

void tst_XPButton::optionGroup()
{
    Form form;
    XPButton *a = form.add(QStringLiteral("a"));
    XPButton *b = form.add(QStringLiteral("b"));
    XPButton *c = form.add(QStringLiteral("c"));
    for (XPButton *x : {a, b, c})
        x->setMode(2);
    QCOMPARE(form.host.property(kOptCount).toInt(), 3);
    a->setValue(true);
    c->setValue(true);
    b->setValue(true);
    QVERIFY(!a->value());
    QVERIFY(b->value());
    QVERIFY(!c->value());
    QVERIFY(a->OptionToggle(2));

    // The middle one becomes a command button: its value is cleared and it leaves the group.
    b->setMode(0);
    QVERIFY(!b->value());
    QCOMPARE(form.host.property(kOptCount).toInt(), 2);
    QCOMPARE(form.host.property("xb_Obj1").value<QPointer<XPButton>>(), QPointer<XPButton>(a));
    QCOMPARE(form.host.property("xb_Obj2").value<QPointer<XPButton>>(), QPointer<XPButton>(c));
    QVERIFY(!form.host.property("xb_Obj3").isValid());
    QVERIFY(!a->OptionToggle(2));
    c->setValue(true);
    a->setValue(true);
    QVERIFY(!c->value());
    QVERIFY(a->value());

    a->setMode(1);
    c->setMode(0);
    QVERIFY(!form.host.property(kOptCount).isValid());
    QVERIFY(!form.host.property("xb_Obj1").isValid());
}

void tst_XPButton::destroyedOptionLeavesGroup()
{
    Form form;
    XPButton *a = form.add(QStringLiteral("a"));
    XPButton *b = form.add(QStringLiteral("b"));
    a->setMode(2);
    b->setMode(2);
    delete a;
    QCOMPARE(form.host.property(kOptCount).toInt(), 1);
    b->setValue(true);
    QVERIFY(b->value());
}

void tst_XPButton::shape3CentresCaption()
{
    Form form;
    XPButton *button = form.add();
    button->setCaptionAlign(0);
    button->setButtonShape(1);
    QCOMPARE(button->CaptionAlign(), 0);
    button->setButtonShape(3);
    QCOMPARE(button->CaptionAlign(), 2);
}

void tst_XPButton::stackedPictureCentresCaption()
{
    Form form(true);
    XPButton *button = form.add();
    button->setCaptionAlign(0);
    button->setPictureAlign(4);
    QCOMPARE(button->CaptionAlign(), 2);
    // Without a picture any alignment is accepted.
    button->setCaptionAlign(0);
    QCOMPARE(button->CaptionAlign(), 0);
    QVERIFY(form.messages.isEmpty());

    button->setCaptionAlign(2);
    button->setPicture(bitmap());
    QSignalSpy changed(button, &XPButton::PropertyChanged);
    button->setCaptionAlign(1);
    QCOMPARE(button->CaptionAlign(), 2);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(form.messages.size(), 1);
    QCOMPARE(form.messages[0].text,
             QStringLiteral("When button images are aligned top/bottom center, \n"
                            "button captions can only be center aligned"));
    QCOMPARE(form.messages[0].title, QStringLiteral("XPButton"));
}

void tst_XPButton::hoverColourLocks()
{
    Form form;
    XPButton *button = form.add();
    QCOMPARE(button->HoverColorLocks(), 0);
    button->setForeColor(0x0000FF);
    QCOMPARE(button->HoverForeColor(), 0x0000FFu);

    button->setHoverForeColor(0x00FF00);
    QCOMPARE(button->HoverColorLocks(), 2);
    button->setForeColor(0x123456);
    QCOMPARE(button->HoverForeColor(), 0x00FF00u);

    // The face lock is released separately: 2 becomes 3.
    button->setHoverBackColor(0x00FFFF);
    QCOMPARE(button->HoverColorLocks(), 3);
    button->setBackColor(0x0000FF);
    QCOMPARE(button->HoverBackColor(), 0x00FFFFu);

    // Locking again makes both follow at once.
    button->setHoverColorLocks(0);
    QCOMPARE(button->HoverForeColor(), 0x123456u);
    QCOMPARE(button->HoverBackColor(), 0x0000FFu);
    QCOMPARE(button->state().nHoverFaceColor, 0x0000FFu);
}

void tst_XPButton::backColorFollowsIntoHover()
{
    Form form;
    XPButton *button = form.add();
    // BackColor is stored resolved; the hover face follows with the colour as given.
    button->setBackColor(0x80000005);
    QCOMPARE(button->BackColor(), 0xFFFFFFu);
    QCOMPARE(button->HoverBackColor(), 0x80000005u);
    QCOMPARE(button->HoverColorLocks(), 0);
    button->setBackColor(0x00FF00);
    QCOMPARE(button->HoverBackColor(), 0x00FF00u);

    // With a gradient the hover face follows the gradient colour.
    button->setGradientMode(1);
    QCOMPARE(button->HoverBackColor(), button->GradientColor());
    button->setGradientColor(0x0000FF);
    QCOMPARE(button->HoverBackColor(), 0x0000FFu);
    button->setGradientMode(0);
    QCOMPARE(button->HoverBackColor(), 0x00FF00u);
}

void tst_XPButton::resetDefaultColors_data()
{
    QTest::addColumn<bool>("design");
    QTest::newRow("run mode") << false;
    QTest::newRow("design mode") << true;
}

void tst_XPButton::resetDefaultColors()
{
    QFETCH(bool, design);
    Form form(design);
    XPButton *button = form.add();
    button->setBackColor(0x0000FF);
    button->setForeColor(0x00FF00);
    button->setGradientColor(0x00FFFF);
    button->setGradientMode(2);
    button->setHoverForeColor(0xFF0000);
    button->setHoverBackColor(0xFF00FF);
    button->setResetDefaultColors(true);
    QVERIFY(!button->ResetDefaultColors());
    if (!design) {
        QCOMPARE(button->BackColor(), 0x0000FFu);
        QCOMPARE(button->ForeColor(), 0x00FF00u);
        QCOMPARE(button->GradientMode(), 2);
        QCOMPARE(button->HoverColorLocks(), 3);
        return;
    }
    QCOMPARE(button->BackColor(), 0x8000000Fu);
    QCOMPARE(button->ForeColor(), 0x80000012u);
    QCOMPARE(button->GradientColor(), 0x8000000Fu);
    QCOMPARE(button->GradientMode(), 0);
    QCOMPARE(button->HoverColorLocks(), 0);
    QCOMPARE(button->HoverForeColor(), 0x80000012u);
    QCOMPARE(button->HoverBackColor(), 0x8000000Fu);
    QCOMPARE(button->state().nFaceColor, 0xC8D0D4u);
}

void tst_XPButton::accessKey_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::newRow("letter") << ""
                            << "Save &As"
                            << "A";
    QTest::newRow("last ampersand wins") << ""
                                         << "&Save &As"
                                         << "A";
    QTest::newRow("doubled ampersand earlier") << ""
                                               << "Tom && &Jerry"
                                               << "J";
    QTest::newRow("ampersand at the end") << "&Go"
                                          << "Rock &"
                                          << "";
    QTest::newRow("no ampersand keeps the key") << "&Go"
                                                << "Plain"
                                                << "G";
    QTest::newRow("chinese") << "" << QString::fromUtf8("查看(&V)") << "V";
}

void tst_XPButton::accessKey()
{
    QFETCH(QString, before);
    QFETCH(QString, caption);
    QFETCH(QString, key);
    Form form;
    XPButton *button = form.add();
    button->setCaption(before);
    button->setCaption(caption);
    QCOMPARE(button->caption(), caption);
    QCOMPARE(button->accessKey().isNull() ? QString() : QString(button->accessKey()), key);
}

void tst_XPButton::pictureSize()
{
    Form form;
    XPButton *button = form.add();
    QCOMPARE(button->PictureSize(), 0); // 16 pixels
    button->setPictureSize(3);
    QCOMPARE(button->state().nImgPixels, qint16(40));
    QCOMPARE(button->PictureSize(), 3);
    button->setPictureSize(7);
    QCOMPARE(button->state().nImgPixels, qint16(40));
    QCOMPARE(button->PictureSize(), 3);
}

void tst_XPButton::showFocusRect()
{
    {
        Form form;
        XPButton *button = form.add();
        button->state().nStateBits = DefaultLook;
        button->setShowFocusRect(false);
        QVERIFY(!button->state().has(DefaultLook));
        QVERIFY(form.messages.isEmpty());
    }
    Form form(true);
    XPButton *button = form.add();
    button->state().nStateBits = DefaultLook;
    button->setShowFocusRect(false);
    QVERIFY(button->state().has(DefaultLook));
    QCOMPARE(form.messages.size(), 1);
    QCOMPARE(form.messages[0].text,
             QStringLiteral("The focus rectangle may appear on default buttons ONLY while in "
                            "design mode, \nbut will not appear when the form is running."));
}

void tst_XPButton::fontStyle()
{
    Form form;
    XPButton *button = form.add();
    button->setFontStyle(2 | 4 | 8);
    QVERIFY(button->Font().bold());
    QVERIFY(button->Font().italic());
    QVERIFY(button->Font().underline());
    QCOMPARE(button->FontStyle(), 14);
    QVERIFY(button->state().drawingFont.bold());
    button->setFontStyle(1);
    QCOMPARE(button->FontStyle(), 0);
    QVERIFY(!button->state().drawingFont.bold());

    // 9 points at 15 twips per pixel: 12 pixels.
    button->setButtonFont(QFont(QStringLiteral("Serif"), 9));
    QCOMPARE(button->state().drawingFont.pixelSize(), 12);
}

void tst_XPButton::mouseIcon()
{
    {
        Form form;
        XPButton *button = form.add();
        button->setMouseIcon(bitmap());
        QVERIFY(button->MouseIcon().isNull());
        QVERIFY(form.messages.isEmpty());
    }
    Form form(true);
    XPButton *button = form.add();
    button->setMouseIcon(bitmap());
    QVERIFY(button->MouseIcon().isNull());
    QCOMPARE(form.messages.size(), 1);
    QCOMPARE(form.messages[0].title, QStringLiteral("Select .ico Or .cur Files Only"));
    QCOMPARE(button->MousePointer(), 0);

    button->setMouseIcon(cursorPicture());
    QCOMPARE(button->MousePointer(), 99);
    QCOMPARE(button->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(button->cursor().hotSpot(), QPoint(3, 4));
    button->setMousePointer(11);
    QCOMPARE(button->cursor().shape(), Qt::WaitCursor);
}

void tst_XPButton::saveOrder()
{
    Form form;
    XPButton *button = form.add();
    button->setCaption(QStringLiteral("Go"));
    button->setCaptionAlign(1);
    button->setButtonStyle(3);
    button->setButtonShape(2);
    button->setForeColor(0x0000FF);
    button->setHoverForeColor(0x00FF00);
    button->setHoverBackColor(0x00FFFF);
    button->setShowFocusRect(false);
    button->setGradientColor(0x123456);
    button->setGradientMode(3);
    button->setCaptionStyle(2);
    button->setMode(1);
    button->setValue(true);
    button->setPicture(bitmap());
    button->setPictureAlign(2);
    button->setPictureSize(2);
    button->setButtonEnabled(false);
    button->setBackColor(0x808080);
    button->setMouseIcon(cursorPicture());
    button->setHoverColorLocks(3);
    button->setHoverBackColor(0x00FFFF);
    PropertyBag bag;
    button->WriteProperties(bag);
    QCOMPARE(bag.keys(),
             QString("Caption,CapAlign,BackStyle,Shape,Font,cFore,cFHover,cBhover,Focus,LockHover,"
                     "cGradient,Gradient,CapStyle,Mode,Value,ImgAlign,Image,ImgSize,Enabled,cBack,"
                     "mPointer,mIcon")
                 .split(u','));
}

void tst_XPButton::saveDefaults()
{
    Form form;
    XPButton *button = form.add();
    button->setCaption(QString());
    button->setGradientColor(kButtonFace);
    button->setPictureSize(0);
    PropertyBag bag;
    button->WriteProperties(bag);
    // Always written, even at their defaults.
    QCOMPARE(bag.keys(), QString("Font,Mode,Value,cBack").split(u','));
    QCOMPARE(bag.read(u"Mode").toInt(), 0);
    QCOMPARE(bag.read(u"Value").toBool(), false);
    QCOMPARE(bag.read(u"cBack").toLongLong(), qint64(0x8000000F));
}

void tst_XPButton::captionAlignRoundTrip()
{
    Form form;
    XPButton *button = form.add();
    button->setCaptionAlign(0);
    PropertyBag bag;
    button->WriteProperties(bag);
    QCOMPARE(bag.read(u"CapAlign").toInt(), 0);
    const std::optional<PropertyBag> stored = PropertyBag::fromJson(bag.toJson());
    QVERIFY(stored);
    XPButton *loaded = new XPButton(&form.host);
    loaded->ReadProperties(*stored);
    QCOMPARE(loaded->CaptionAlign(), 0);

    button->setCaptionAlign(2);
    PropertyBag centred;
    button->WriteProperties(centred);
    QVERIFY(!centred.contains(u"CapAlign"));
}

void tst_XPButton::storedHoverKeySpelling()
{
    Form form;
    PropertyBag bag;
    bag.write(QStringLiteral("cBack"), qint64(0x00FF00));
    bag.write(QStringLiteral("cBhover"), qint64(0x0000FF));
    auto *button = new XPButton(&form.host);
    button->ReadProperties(bag);
    QCOMPARE(button->HoverBackColor(), 0x0000FFu);
    QCOMPARE(button->state().nHoverFaceColor, 0x0000FFu);

    PropertyBag saved;
    button->WriteProperties(saved);
    QVERIFY(saved.keys().contains(QStringLiteral("cBhover")));
}

void tst_XPButton::missingBackColours()
{
    Form form;
    form.host.setProperty(kAmbientBackColor, 0x00C0FFu);
    auto *button = new XPButton(&form.host);
    button->ReadProperties(PropertyBag());
    QCOMPARE(button->BackColor(), 0x00C0FFu);
    QCOMPARE(button->HoverBackColor(), 0x00C0FFu);
    QCOMPARE(button->state().nParentBackColor, 0x00C0FFu);
    QCOMPARE(button->CaptionAlign(), 2);
    QCOMPARE(button->ForeColor(), 0x80000012u);
    QCOMPARE(button->GradientColor(), 0x8000000Fu);
    QVERIFY(button->ShowFocusRect());
    QVERIFY(button->Enabled());
    QCOMPARE(button->state().nImgPixels, qint16(16));
}

void tst_XPButton::lookupSearchButton()
{
    // The lookup window's search button as its form stores it.
    PropertyBag bag;
    bag.write(QStringLiteral("Caption"), QString::fromUtf8("查看"));
    bag.write(QStringLiteral("BackStyle"), 2);
    QFont font(QString::fromUtf8("宋体"));
    font.setPointSize(9);
    bag.write(QStringLiteral("Font"), QVariant::fromValue(font));
    bag.write(QStringLiteral("cGradient"), 0);
    bag.write(QStringLiteral("Mode"), 0);
    bag.write(QStringLiteral("Value"), false);
    bag.write(QStringLiteral("cBack"), qint64(0x8000000F));
    bag.write(QStringLiteral("mPointer"), 99);
    bag.write(QStringLiteral("mIcon"), QVariant::fromValue(cursorPicture()));
    const std::optional<PropertyBag> stored = PropertyBag::fromJson(bag.toJson());
    QVERIFY(stored);

    Form form;
    auto *button = new XPButton(&form.host);
    button->setObjectName(QStringLiteral("Command1"));
    button->resize(49, 25);
    button->ReadProperties(*stored);
    QCOMPARE(button->caption(), QString::fromUtf8("查看"));
    QCOMPARE(button->CaptionAlign(), 2);
    QCOMPARE(button->ButtonStyle(), 2);
    QCOMPARE(button->Font().family(), QString::fromUtf8("宋体"));
    QCOMPARE(button->Font().pointSize(), 9);
    QCOMPARE(button->GradientColor(), 0u);
    QCOMPARE(button->Mode(), 0);
    QVERIFY(!button->value());
    QCOMPARE(button->BackColor(), 0x8000000Fu);
    QCOMPARE(button->MousePointer(), 99);
    QCOMPARE(button->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(button->state().nFaceColor, 0xFBFFFFu);
    QVERIFY(!button->state().bDelay);

    // Saving it again gives the same bag.
    PropertyBag saved;
    button->WriteProperties(saved);
    QCOMPARE(
        saved.keys(),
        QString("Caption,BackStyle,Font,cGradient,Mode,Value,cBack,mPointer,mIcon").split(u','));
    QVERIFY(saved == *PropertyBag::fromJson(saved.toJson()));
}

void tst_XPButton::storedPointerOverridesIcon()
{
    PropertyBag bag;
    bag.write(QStringLiteral("mIcon"), QVariant::fromValue(cursorPicture()));
    bag.write(QStringLiteral("mPointer"), 2);
    Form form;
    auto *button = new XPButton(&form.host);
    button->ReadProperties(bag);
    QCOMPARE(button->MousePointer(), 2);
    QCOMPARE(button->cursor().shape(), Qt::CrossCursor);
    QVERIFY(!button->MouseIcon().isNull());
}

void tst_XPButton::loadingJoinsGroup()
{
    PropertyBag bag;
    bag.write(QStringLiteral("Mode"), 2);
    bag.write(QStringLiteral("Value"), true);
    Form form;
    auto *a = new XPButton(&form.host);
    a->ReadProperties(bag);
    auto *b = new XPButton(&form.host);
    b->ReadProperties(bag);
    QCOMPARE(form.host.property(kOptCount).toInt(), 2);
    // Joining with a True value clears the members already registered.
    QVERIFY(!a->value());
    QVERIFY(b->value());
}

void tst_XPButton::loadingStoresStraight()
{
    // Loading does not run the setters' checks: a stored left caption under a top picture stays.
    PropertyBag bag;
    bag.write(QStringLiteral("CapAlign"), 0);
    bag.write(QStringLiteral("ImgAlign"), 4);
    bag.write(QStringLiteral("Image"), QVariant::fromValue(bitmap()));
    bag.write(QStringLiteral("ImgSize"), 24);
    bag.write(QStringLiteral("cFHover"), qint64(0x0000FF));
    bag.write(QStringLiteral("Enabled"), false);
    Form form(true);
    auto *button = new XPButton(&form.host);
    button->ReadProperties(bag);
    QCOMPARE(button->CaptionAlign(), 0);
    QCOMPARE(button->PictureAlign(), 4);
    QCOMPARE(button->PictureSize(), 1); // 24 pixels
    QCOMPARE(button->HoverForeColor(), 0x0000FFu);
    QCOMPARE(button->HoverColorLocks(), 0);
    QVERIFY(!button->Enabled());
    QCOMPARE(button->state().nPicWidth, 16);
    QVERIFY(form.messages.isEmpty());
}

void tst_XPButton::absurdStoredFontSize()
{
    // A damaged form: the caption draws at the largest size there ever was, 2160 points.
    QFont font(QStringLiteral("Serif"));
    font.setPointSizeF(1.0e9);
    PropertyBag bag;
    bag.write(QStringLiteral("Font"), QVariant::fromValue(font));
    Form form;
    auto *button = new XPButton(&form.host);
    button->resize(75, 25);
    button->ReadProperties(bag);
    QCOMPARE(button->state().drawingFont.pixelSize(), 2880);
    QVERIFY(!button->backBuffer().isNull());
}

QTEST_MAIN(tst_XPButton)
#include "tst_xpbutton.moc"
