#include "xpbutton/buttonpainter.h"
#include "xpbutton/xpbutton.h"

#include <QPainter>
#include <QSet>
#include <QTest>

#include <memory>

using namespace xpbutton;

namespace {

using Points = QList<QPoint>;

// A form holding one button of the given look, 75 x 25 unless said otherwise.
struct Form
{
    explicit Form(int style, QSize size = {75, 25})
    {
        host.resize(200, 100);
        button = new XPButton(&host);
        button->setObjectName(QStringLiteral("Command1"));
        button->resize(size);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        button->setButtonFont(font);
        button->InitProperties();
        button->setCaption(QString());
        button->setButtonStyle(style);
    }

    ButtonState &state() { return button->state(); }

    QImage grab()
    {
        button->Refresh();
        return button->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    QWidget host;
    XPButton *button = nullptr;
};

Colour at(const QImage &image, int x, int y)
{
    return fromQRgb(image.pixel(x, y));
}

Colour at(const QImage &image, QPoint p)
{
    return at(image, p.x(), p.y());
}

// Pixels of one colour inside a rectangle.
QSet<QPoint> pixelsOf(const QImage &image, Colour colour, QRect area)
{
    QSet<QPoint> found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (at(image, x, y) == colour)
                found.insert({x, y});
    return found;
}

void setHot(ButtonState &s)
{
    s.nStateBits = MouseOver;
    s.bHovering = true;
}

void setPushed(ButtonState &s)
{
    s.nStateBits = MouseOver | ButtonDown;
    s.bHovering = true;
}

} // namespace

class tst_Painter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { setSystemColourTable(classicSystemColour); }
    void cleanupTestCase() { setSystemColourTable({}); }

    void look2HotRingIsOrange_data();
    void look2HotRingIsOrange();
    void look2Disabled();
    void look1SwapsEdges_data();
    void look1SwapsEdges();
    void look3FocusFrame();
    void slantedFocusLine_data();
    void slantedFocusLine();
    void slantedRings_data();
    void slantedRings();
    void ellipseDefaultMark_data();
    void look7Sunk_data();
    void look7Sunk();
    void ellipseDefaultMark();
    void look5Border_data();
    void look5Border();
    void disabledCaptionPasses();
    void twoLineCaption();
    void magentaIsTransparent();
    void iconKeepsItsColours();
    void pictureSizes_data();
    void pictureSizes();
    void disabledPictureIsStamped();
    void gradientBands_data();
    void gradientBands();
    void gdiPixelRules();
    void backBufferIsPresented();
};

void tst_Painter::look2HotRingIsOrange_data()
{
    QTest::addColumn<quint32>("backColor");
    QTest::newRow("button face") << kButtonFace;
    QTest::newRow("red") << 0x0000FFu;
    QTest::newRow("dark") << 0x202020u;
    QTest::newRow("white") << 0xFFFFFFu;
}

void tst_Painter::look2HotRingIsOrange()
{
    QFETCH(quint32, backColor);
    Form form(2);
    form.button->setCaption(QStringLiteral("OK"));
    form.button->setBackColor(backColor);
    setHot(form.state());
    const QImage image = form.grab();
    // Inner ring, middle ring, outer ring; then the rounded corners.
    QCOMPARE(at(image, 2, 12), 0x6BCBFFu);
    QCOMPARE(at(image, 37, 2), 0x8CDBFFu);
    QCOMPARE(at(image, 72, 12), 0x6BCBFFu);
    QCOMPARE(at(image, 37, 22), 0x31B2FFu);
    QCOMPARE(at(image, 1, 12), 0x31B2FFu);
    QCOMPARE(at(image, 37, 1), 0xA6E9FFu);
    QCOMPARE(at(image, 73, 12), 0x31B2FFu);
    QCOMPARE(at(image, 37, 23), 0x0096E7u);
    for (QPoint p :
         Points{{0, 12}, {37, 0}, {74, 12}, {37, 24}, {1, 1}, {73, 1}, {1, 23}, {73, 23}})
        QCOMPARE(at(image, p), 0x733C00u);
}

void tst_Painter::look2Disabled()
{
    Form form(2);
    form.button->setBackColor(0x808080);
    form.button->setButtonEnabled(false);
    const QImage image = form.grab();
    // The face is sb(sb(0x808080, +48), -24) = 0x8E9A98; the outer ring sb(face, -84).
    QCOMPARE(at(image, 0, 12), 0x514744u);
    QCOMPARE(at(image, 1, 1), 0x514744u);
    QCOMPARE(at(image, 37, 12), 0x8E9A98u);
    QCOMPARE(at(image, 2, 12), 0x8E9A98u); // inner rings are not drawn
}

void tst_Painter::look1SwapsEdges_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("value");
    QTest::addColumn<bool>("pushed");
    QTest::addColumn<bool>("pressing");
    QTest::addColumn<bool>("sunk");
    QTest::newRow("idle") << 0 << false << false << false << false;
    QTest::newRow("pushed") << 0 << false << true << false << true;
    QTest::newRow("check box off") << 1 << false << false << false << false;
    QTest::newRow("check box on") << 1 << true << false << false << true;
    QTest::newRow("option being pressed") << 2 << false << false << true << true;
}

void tst_Painter::look1SwapsEdges()
{
    QFETCH(int, mode);
    QFETCH(bool, value);
    QFETCH(bool, pushed);
    QFETCH(bool, pressing);
    QFETCH(bool, sunk);
    Form form(1);
    form.button->setBackColor(0xC0C0C0);
    form.button->setMode(mode);
    form.button->setValue(value);
    if (pushed)
        setPushed(form.state());
    form.state().bPressing = pressing;
    const QImage image = form.grab();
    const Colour light = sunk ? 0x808080 : 0xFFFFFF;
    const Colour dark = sunk ? 0xFFFFFF : 0x808080;
    for (QPoint p : Points{{2, 12}, {37, 2}, {1, 12}, {37, 1}})
        QCOMPARE(at(image, p), light);
    for (QPoint p : Points{{72, 12}, {37, 22}, {73, 12}, {37, 23}})
        QCOMPARE(at(image, p), dark);
    for (QPoint p : Points{{0, 12}, {37, 0}, {74, 12}, {37, 24}})
        QCOMPARE(at(image, p), 0x000000u);
}

void tst_Painter::look3FocusFrame()
{
    Form form(3);
    form.button->setCaption(QStringLiteral("OK"));
    form.button->setBackColor(0xC0C0C0);
    const Box c = form.button->state().rcCaption;
    QCOMPARE(at(form.grab(), c.left - 3, c.top - 3), 0xC0C0C0u);

    form.state().nStateBits = DefaultLook;
    const QImage image = form.grab();
    const int midX = (c.left + c.right) / 2;
    const int midY = (c.top + c.bottom) / 2;
    for (QPoint p : Points{{c.left - 3, c.top - 3},
                           {c.right + 3, c.top - 3},
                           {c.right + 3, c.bottom + 3},
                           {c.left - 3, c.bottom + 3},
                           {midX, c.top - 3},
                           {midX, c.bottom + 3},
                           {c.left - 3, midY},
                           {c.right + 3, midY}})
        QCOMPARE(at(image, p), 0xCC9999u);
    QCOMPARE(at(image, c.left - 2, c.top - 2), 0xC0C0C0u);
    QCOMPARE(at(image, c.left - 4, c.top - 4), 0xC0C0C0u);
}

void tst_Painter::slantedFocusLine_data()
{
    // An 80 x 20 button: the slant is 21 pixels. The line runs 4 pixels inside each slanted
    // edge and 4 to 5 inside the straight ones.
    QTest::addColumn<int>("shape");
    QTest::addColumn<Points>("onLine");
    QTest::addColumn<Points>("offLine");
    QTest::newRow("left slanted") << 1 << Points{{8, 4},  {13, 9},  {19, 15}, {40, 4},
                                                 {75, 4}, {75, 10}, {40, 15}, {21, 15}}
                                  << Points{{12, 9}, {14, 9}, {76, 10}, {40, 3}, {40, 16}};
    QTest::newRow("right slanted")
        << 2 << Points{{4, 4}, {4, 10}, {4, 15}, {40, 4}, {58, 4}, {63, 9}, {69, 15}, {30, 15}}
        << Points{{3, 10}, {62, 9}, {64, 9}, {59, 3}, {70, 15}};
    QTest::newRow("both slanted") << 3 << Points{{8, 4},  {13, 9},  {40, 4},  {58, 4},
                                                 {63, 9}, {69, 15}, {40, 15}, {21, 15}}
                                  << Points{{12, 9}, {64, 9}, {40, 5}, {40, 14}};
}

void tst_Painter::slantedFocusLine()
{
    QFETCH(int, shape);
    QFETCH(Points, onLine);
    QFETCH(Points, offLine);
    Form form(0, {80, 20});
    form.button->setButtonShape(shape);
    QCOMPARE(form.button->width(), 80);
    form.state().nStateBits = DefaultLook;
    form.button->Refresh();
    const QImage image = form.button->backBuffer();
    // Look 0 marks a slanted default button in its face colour darkened by 48.
    const Colour mark = ShiftColour(0xC8D0D4, -48);
    QCOMPARE(mark, 0x99A1A4u);
    for (QPoint p : onLine)
        QVERIFY2(at(image, p) == mark, qPrintable(QStringLiteral("(%1, %2) is %3")
                                                      .arg(p.x())
                                                      .arg(p.y())
                                                      .arg(at(image, p), 6, 16, QLatin1Char('0'))));
    for (QPoint p : offLine)
        QVERIFY2(at(image, p) != mark,
                 qPrintable(QStringLiteral("(%1, %2) is marked").arg(p.x()).arg(p.y())));
}

void tst_Painter::slantedRings_data()
{
    // Look 1 on an 80 x 20 button: white inner and middle left/top edges, grey right/bottom
    // edges, a black outer ring; a slanted edge moves one pixel outwards per ring.
    QTest::addColumn<int>("shape");
    QTest::addColumn<Points>("white");
    QTest::addColumn<Points>("grey");
    QTest::addColumn<Points>("black");
    QTest::newRow("left slanted") << 1 << Points{{10, 8}, {10, 9}, {40, 2}, {40, 1}}
                                  << Points{{77, 10}, {78, 10}, {40, 17}, {40, 18}}
                                  << Points{{10, 10}, {40, 0}, {79, 10}, {40, 19}};
    QTest::newRow("right slanted") << 2 << Points{{2, 10}, {1, 10}, {40, 2}, {40, 1}}
                                   << Points{{65, 8}, {66, 8}, {40, 17}, {40, 18}}
                                   << Points{{0, 10}, {40, 0}, {67, 8}, {40, 19}};
}

void tst_Painter::slantedRings()
{
    QFETCH(int, shape);
    QFETCH(Points, white);
    QFETCH(Points, grey);
    QFETCH(Points, black);
    Form form(1, {80, 20});
    form.button->setButtonShape(shape);
    form.button->Refresh();
    const QImage image = form.button->backBuffer();
    auto check = [&image](const Points &points, Colour colour) {
        for (QPoint p : points)
            QVERIFY2(at(image, p) == colour,
                     qPrintable(QStringLiteral("(%1, %2) is %3, not %4")
                                    .arg(p.x())
                                    .arg(p.y())
                                    .arg(at(image, p), 6, 16, QLatin1Char('0'))
                                    .arg(colour, 6, 16, QLatin1Char('0'))));
    };
    check(white, 0xFFFFFF);
    check(grey, 0x808080);
    check(black, 0x000000);
}

void tst_Painter::ellipseDefaultMark_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<bool>("hovering");
    QTest::addColumn<QPoint>("top");
    QTest::addColumn<Colour>("colour");
    QTest::newRow("ellipse") << 4 << false << QPoint(37, 3) << Colour(0xEF826B);
    QTest::newRow("ellipse, hovering") << 5 << true << QPoint(37, 3) << Colour(0x0096E7);
    QTest::newRow("ringed ellipse") << 6 << false << QPoint(37, 2) << Colour(0xEF826B);
}

void tst_Painter::ellipseDefaultMark()
{
    QFETCH(int, shape);
    QFETCH(bool, hovering);
    QFETCH(QPoint, top);
    QFETCH(Colour, colour);
    Form form(2);
    form.button->setButtonShape(shape);
    form.state().bHovering = hovering;
    form.button->Refresh();
    QVERIFY(at(form.button->backBuffer(), top) != colour);
    form.state().nStateBits = DefaultLook;
    form.button->Refresh();
    const QImage image = form.button->backBuffer();
    // The look-2 default ellipse: one pixel wide, 3 pixels inside the outline (2 for shape 6).
    QCOMPARE(at(image, top), colour);
    QCOMPARE(at(image, top.x(), 24 - top.y()), colour);
    QVERIFY(at(image, top.x(), top.y() + 1) != colour);
    QVERIFY(at(image, top.x(), top.y() - 1) != colour);
}

void tst_Painter::look7Sunk_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<Colour>("face");
    // Pushed, the command button's face is its shade colour, grey darkened by 16.
    QTest::newRow("pushed command button") << 0 << Colour(0x717170);
    // Selected, a toggle's face is its light colour, grey lightened by 16 (blue scaled).
    QTest::newRow("selected check box") << 1 << Colour(0x8B9190);
}

void tst_Painter::look7Sunk()
{
    QFETCH(int, mode);
    QFETCH(Colour, face);
    Form form(7);
    form.button->setCaption(QStringLiteral("OK"));
    form.button->setMode(mode);
    if (mode == 0)
        setPushed(form.state());
    else
        form.button->setValue(true);
    const QImage image = form.grab();
    QCOMPARE(at(image, 5, 8), face);
    // Sunk, the rings are built on plain grey: a = grey - 32, c1 = grey - 64, c2 = grey - 16.
    const Colour a = 0x616160, grey = 0x808080, c1 = 0x414140, c2 = 0x717170;
    const struct
    {
        QPoint at;
        Colour colour;
    } expected[] = {
        {{2, 12}, a},  {{37, 2}, a},   {{72, 12}, grey}, {{37, 22}, grey}, {{1, 12}, c1},
        {{37, 1}, c1}, {{73, 12}, c2}, {{37, 23}, c2},   {{0, 12}, 0},     {{37, 0}, 0},
        {{74, 12}, 0}, {{37, 24}, 0},  {{3, 3}, a},      {{1, 22}, grey},  {{2, 2}, c1},
        {{1, 23}, 0},  {{1, 1}, 0},    {{71, 21}, grey}, {{72, 1}, grey},  {{72, 22}, c2},
        {{73, 23}, 0}, {{73, 1}, 0},
    };
    for (const auto &e : expected)
        QVERIFY2(at(image, e.at) == e.colour,
                 qPrintable(QStringLiteral("(%1, %2) is %3, not %4")
                                .arg(e.at.x())
                                .arg(e.at.y())
                                .arg(at(image, e.at), 6, 16, QLatin1Char('0'))
                                .arg(e.colour, 6, 16, QLatin1Char('0'))));
    // The caption takes the look's face colour (the classic button face lightened by 31), not
    // the black ForeColor.
    const Box c = form.button->state().rcCaption;
    const QRect area(c.left, c.top, c.right - c.left + 2, c.bottom - c.top + 2);
    QVERIFY(!pixelsOf(image, 0xE8F0F3, area).isEmpty());
    QVERIFY(pixelsOf(image, 0x000000, area).isEmpty());
}

void tst_Painter::look5Border_data()
{
    QTest::addColumn<bool>("design");
    QTest::addColumn<bool>("hot");
    QTest::newRow("run mode, idle") << false << false;
    QTest::newRow("design mode, idle") << true << false;
    QTest::newRow("run mode, hot") << false << true;
}

void tst_Painter::look5Border()
{
    QFETCH(bool, design);
    QFETCH(bool, hot);
    Form form(5);
    if (design)
        form.host.setProperty(kAmbientUserMode, false);
    form.button->setBackColor(0xC0C0C0);
    if (hot)
        setHot(form.state());
    const QImage image = form.grab();
    const QSet<QPoint> topFace = pixelsOf(image, 0xC0C0C0, QRect(0, 0, 74, 1));
    if (!design && !hot) {
        QCOMPARE(topFace.size(), 74);
        QCOMPARE(at(image, 0, 12), 0xC0C0C0u);
        QCOMPARE(at(image, 74, 12), 0xC0C0C0u);
        QCOMPARE(at(image, 37, 24), 0xC0C0C0u);
    } else if (design) {
        // Dotted in the container's background shifted by -64: three pixels on, three off.
        const QSet<QPoint> dots = pixelsOf(image, 0x899194, QRect(0, 0, 74, 1));
        QCOMPARE(dots.size() + topFace.size(), 74);
        QCOMPARE(dots.size(), 38); // the pattern continues from the left edge's 24 pixels
        for (const QPoint &p : dots)
            QVERIFY(!dots.contains(p + QPoint(3, 0)));
    } else {
        QCOMPARE(at(image, 37, 0), 0xFFFFFFu);
        QCOMPARE(at(image, 0, 12), 0xFFFFFFu);
        QCOMPARE(at(image, 74, 12), 0x808080u);
        QCOMPARE(at(image, 37, 24), 0x808080u);
    }
}

void tst_Painter::disabledCaptionPasses()
{
    // The caption drawn once in black marks the text's pixels.
    Form reference(0);
    reference.button->setCaption(QStringLiteral("Hi"));
    reference.button->setBackColor(0xC0C0C0);
    reference.button->setForeColor(0x000000);
    const QRect inner(4, 4, 67, 17);
    const QSet<QPoint> text = pixelsOf(reference.grab(), 0x000000, inner);
    QVERIFY(text.size() > 10);

    Form form(0);
    form.button->setCaption(QStringLiteral("Hi"));
    form.button->setBackColor(0xC0C0C0);
    form.button->setButtonEnabled(false);
    const QImage image = form.grab();
    // First in white one pixel down and right, then in 0x808080 at the text's place.
    QSet<QPoint> shifted;
    for (const QPoint &p : text)
        shifted.insert(p + QPoint(1, 1));
    QCOMPARE(pixelsOf(image, 0x808080, inner), text);
    QCOMPARE(pixelsOf(image, 0xFFFFFF, inner), shifted - text);
}

void tst_Painter::twoLineCaption()
{
    Form form(0, {80, 50});
    form.button->setBackColor(0xC0C0C0);
    form.button->setCaption(QStringLiteral("AB||CD"));
    const QImage image = form.grab();
    QList<int> inkRows;
    for (int y = 4; y < 46; ++y)
        if (!pixelsOf(image, 0x000000, QRect(4, y, 72, 1)).isEmpty())
            inkRows << y;
    QVERIFY(!inkRows.isEmpty());
    int runs = 1;
    for (int i = 1; i < inkRows.size(); ++i)
        if (inkRows[i] != inkRows[i - 1] + 1)
            ++runs;
    QCOMPARE(runs, 2);
}

namespace {

// 16 x 16 on magenta with a black square and a blue pixel.
QImage keyedBitmap()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter(&image).fillRect(4, 4, 8, 8, Qt::black);
    image.setPixel(14, 1, qRgb(0, 0, 255));
    return image;
}

} // namespace

void tst_Painter::magentaIsTransparent()
{
    Form form(0);
    form.button->setBackColor(0xC0C0C0);
    form.button->setPicture(ButtonPicture(keyedBitmap()));
    const Box p = form.button->state().rcPicture;
    QCOMPARE(p.left, 6);
    QCOMPARE(p.top, 6);
    const QImage image = form.grab();
    QVERIFY(pixelsOf(image, 0xFF00FF, image.rect()).isEmpty());
    QCOMPARE(at(image, 6, 6), 0xC0C0C0u);
    QCOMPARE(at(image, 6 + 15, 6 + 15), 0xC0C0C0u);
    QCOMPARE(at(image, 6 + 4, 6 + 4), 0x000000u);
    QCOMPARE(at(image, 6 + 11, 6 + 11), 0x000000u);
    QCOMPARE(at(image, 6 + 14, 6 + 1), 0xFF0000u);
    QCOMPARE(pixelsOf(image, 0x000000, QRect(6, 6, 16, 16)).size(), 64);
}

void tst_Painter::iconKeepsItsColours()
{
    // An icon draws with its alpha channel; magenta in an icon is just a colour.
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter(&icon).fillRect(2, 2, 4, 4, QColor(255, 0, 255));
    Form form(0);
    form.button->setBackColor(0xC0C0C0);
    form.button->setPicture(ButtonPicture(icon, ButtonPicture::Kind::Icon));
    const QImage image = form.grab();
    QCOMPARE(at(image, 6, 6), 0xC0C0C0u);
    QCOMPARE(at(image, 6 + 3, 6 + 3), 0xFF00FFu);
}

void tst_Painter::pictureSizes_data()
{
    QTest::addColumn<int>("pictureSize");
    QTest::addColumn<Points>("black");
    QTest::addColumn<Points>("face");
    // A 75 x 25 button. Size 40 stretches the picture over the whole button (the black square
    // covers x 18-55, y 6-18); size 48 fits it into 63 x 13 keeping its aspect: 13 x 13 at
    // (31, 6), the square at x 34-40.
    QTest::newRow("40 stretches") << 3 << Points{{19, 7}, {55, 18}, {37, 12}}
                                  << Points{{17, 12}, {57, 12}};
    QTest::newRow("48 fits") << 4 << Points{{34, 9}, {40, 15}, {37, 12}}
                             << Points{{32, 12}, {42, 12}, {20, 12}, {55, 12}};
}

void tst_Painter::pictureSizes()
{
    QFETCH(int, pictureSize);
    QFETCH(Points, black);
    QFETCH(Points, face);
    Form form(0);
    form.button->setBackColor(0xC0C0C0);
    form.button->setPicture(ButtonPicture(keyedBitmap()));
    form.button->setPictureSize(pictureSize);
    const QImage image = form.grab();
    for (QPoint p : black)
        QCOMPARE(at(image, p), 0x000000u);
    for (QPoint p : face)
        QCOMPARE(at(image, p), 0xC0C0C0u);
}

void tst_Painter::disabledPictureIsStamped()
{
    Form form(0);
    form.button->setBackColor(0xC0C0C0);
    form.button->setPicture(ButtonPicture(keyedBitmap()));
    form.button->setButtonEnabled(false);
    const QImage image = form.grab();
    // Drawn pixels take the dark brush at their place and the light one up-left of it;
    // transparent ones leave the face alone.
    QCOMPARE(at(image, 6 + 4, 6 + 4), 0x9D9D9Cu);
    QCOMPARE(at(image, 6 + 11, 6 + 11), 0x9D9D9Cu);
    QCOMPARE(at(image, 6 + 3, 6 + 3), 0xE5E5E4u);
    QCOMPARE(at(image, 6 + 12, 6 + 12), 0xC0C0C0u);
    QCOMPARE(at(image, 6, 6 + 8), 0xC0C0C0u);
    QVERIFY(pixelsOf(image, 0x000000, QRect(6, 6, 16, 16)).isEmpty());
}

void tst_Painter::gradientBands_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<QList<quint32>>("columns"); // colours of x = 0, 1, 2, 3 on the middle row
    const quint32 a = 0xFFE0C0;
    const QList<quint32> table5 = {0xFFE0C0, 0xE0B890, 0xC09060, 0xA06830, 0x814000};
    // Five 1-pixel bands when the screen is at least four times as wide.
    QTest::newRow("mode 1") << 1 << 5 << 20 << QList<quint32>{a, table5[1], table5[2], table5[3]};
    QTest::newRow("mode 2") << 2 << 5 << 20
                            << QList<quint32>{table5[4], table5[3], table5[2], table5[1]};
    // Ten pixels on a 30-pixel screen: five 2-pixel bands.
    QTest::newRow("mode 1, wide") << 1 << 10 << 30 << QList<quint32>{a, a, table5[1], table5[1]};
}

void tst_Painter::gradientBands()
{
    QFETCH(int, mode);
    QFETCH(int, width);
    QFETCH(int, screenWidth);
    QFETCH(QList<quint32>, columns);
    ButtonState s;
    s.width = width;
    s.height = 4;
    s.screenSize = QSize(screenWidth, 1000);
    Surface surface;
    surface.resize(QSize(width, 4));
    ButtonPainter(s, surface).GradientFill(0xFFE0C0, 0x804000, mode);
    for (int x = 0; x < columns.size(); ++x)
        QCOMPARE(surface.pixel(x, 2), columns[x]);
}

void tst_Painter::gdiPixelRules()
{
    Surface surface;
    surface.resize(QSize(10, 10));
    surface.fillBox(0, 0, 10, 10, 0x111111);
    // A line leaves out its last pixel.
    surface.line(1, 1, 5, 1, 0x0000FF);
    QCOMPARE(surface.pixel(1, 1), 0x0000FFu);
    QCOMPARE(surface.pixel(4, 1), 0x0000FFu);
    QCOMPARE(surface.pixel(5, 1), 0x111111u);
    surface.line(8, 8, 8, 3, 0x00FF00);
    QCOMPARE(surface.pixel(8, 8), 0x00FF00u);
    QCOMPARE(surface.pixel(8, 4), 0x00FF00u);
    QCOMPARE(surface.pixel(8, 3), 0x111111u);
    // A box fills [x1, x2) x [y1, y2) and frames the same pixels.
    surface.fillBox(2, 3, 6, 7, 0xFFFFFF, 0x000000);
    QCOMPARE(surface.pixel(2, 3), 0x000000u);
    QCOMPARE(surface.pixel(5, 6), 0x000000u);
    QCOMPARE(surface.pixel(3, 4), 0xFFFFFFu);
    QCOMPARE(surface.pixel(6, 4), 0x111111u);
    QCOMPARE(surface.pixel(3, 7), 0x111111u);
    QCOMPARE(surface.penColour(), 0x000000u);
}

void tst_Painter::backBufferIsPresented()
{
    Form form(2);
    form.button->setCaption(QStringLiteral("查看"));
    const QImage image = form.grab();
    QCOMPARE(image, form.button->backBuffer().convertToFormat(QImage::Format_RGB32));
    // Nothing is drawn while drawing is delayed; a paint request draws anyway.
    form.button->DelayDrawing(true);
    form.button->setBackColor(0x0000FF);
    QCOMPARE(form.button->backBuffer().convertToFormat(QImage::Format_RGB32), image);
    const QImage painted = form.button->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(painted != image);
    QVERIFY(!form.button->state().bDelay);
}

QTEST_MAIN(tst_Painter)
#include "tst_painter.moc"
