#include "xpbutton/buttonpainter.h"
#include "xpbutton/outline.h"

#include <QFontMetrics>
#include <QTest>

using namespace xpbutton;

using Edges = QList<int>; // left, top, right, bottom

namespace {

QFont captionFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QSize measured(const QString &text, int width = 1000)
{
    const QRect r =
        QFontMetrics(captionFont())
            .boundingRect(QRect(0, 0, width, 1000),
                          Qt::AlignLeft | Qt::TextWordWrap | Qt::TextShowMnemonic, text);
    return r.size();
}

Edges edges(const Box &b)
{
    return {b.left, b.top, b.right, b.bottom};
}

} // namespace

class tst_Layout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void insets_data();
    void insets();
    void boxes_data();
    void boxes();
    void lineBreaks();
};

void tst_Layout::insets_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("x0");
    QTest::addColumn<int>("cw");
    QTest::addColumn<int>("xr");
    // 100 x 40: the slant is 41, the right edge of shapes 2 and 3 at 59.
    QTest::newRow("rectangle") << 0 << 0 << 100 << 100;
    QTest::newRow("left slanted") << 1 << 28 << 72 << 100;
    QTest::newRow("right slanted") << 2 << 0 << 72 << 72;
    QTest::newRow("parallelogram") << 3 << 28 << 44 << 72;
    QTest::newRow("ellipse") << 5 << 0 << 100 << 100;
}

void tst_Layout::insets()
{
    QFETCH(int, shape);
    ButtonState s;
    s.width = 100;
    s.height = 40;
    s.ButtonShape = shape;
    const Outline o = BuildOutline(100, 40, shape, 0, true);
    s.nLeftSlant = o.nLeftSlant;
    s.nRightEdge = o.nRightEdge;
    const ContentInset in = contentInset(s);
    QTEST(in.x0, "x0");
    QTEST(in.cw, "cw");
    QTEST(in.xr, "xr");
}

void tst_Layout::boxes_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("captionAlign");
    QTest::addColumn<int>("captionStyle");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<int>("pictureAlign");
    QTest::addColumn<int>("pictureSize");
    QTest::addColumn<Edges>("captionBox");
    QTest::addColumn<Edges>("pictureBox");

    // A 100 x 40 button, a 16-pixel picture unless said otherwise.
    const QString text = QStringLiteral("Find");
    const QSize full = measured(text);
    const QSize beside = measured(text, 100 - 12 - 16);
    const int tw = full.width();
    const int th = full.height();
    const int y = (40 - th) / 2;
    QVERIFY(beside == full);

    QTest::newRow("left") << 0 << text << 0 << 0 << false << 0 << 16 << Edges{6, y, 6 + tw, y + th}
                          << Edges{0, 0, 0, 0};
    QTest::newRow("right") << 0 << text << 1 << 0 << false << 0 << 16
                           << Edges{94 - tw, y, 94, y + th} << Edges{0, 0, 0, 0};
    const int cx = (100 - tw) / 2;
    QTest::newRow("centre") << 0 << text << 2 << 0 << false << 0 << 16
                            << Edges{cx, y, cx + tw, y + th} << Edges{0, 0, 0, 0};
    const int ey = (40 - th - 2) / 2;
    QTest::newRow("embossed adds 2")
        << 0 << text << 2 << 1 << false << 0 << 16
        << Edges{(100 - tw - 2) / 2, ey, (100 - tw - 2) / 2 + tw + 2, ey + th + 2}
        << Edges{0, 0, 0, 0};

    // Picture at the left edge, caption centred in what is left.
    int x = (100 - 16 - tw) / 2 + 16;
    QTest::newRow("picture 0, centred") << 0 << text << 2 << 0 << true << 0 << 16
                                        << Edges{x, y, x + tw, y + th} << Edges{6, 12, 22, 28};
    QTest::newRow("picture 0, caption left")
        << 0 << text << 0 << 0 << true << 0 << 16 << Edges{28, y, 28 + tw, y + th}
        << Edges{6, 12, 22, 28};
    // Picture left of the caption, the pair centred.
    x = (100 - tw - 16 - 6) / 2 + 22;
    QTest::newRow("picture 1") << 0 << text << 2 << 0 << true << 1 << 16
                               << Edges{x, y, x + tw, y + th} << Edges{x - 22, 12, x - 6, 28};
    // Without a caption the text box is empty (height -3) but still placed.
    QTest::newRow("picture 1 without caption") << 0 << QString() << 2 << 0 << true << 1 << 16
                                               << Edges{61, 21, 61, 18} << Edges{6, 12, 22, 28};
    x = (100 - 16 - tw) / 2;
    QTest::newRow("picture 2") << 0 << text << 2 << 0 << true << 2 << 16
                               << Edges{x, y, x + tw, y + th} << Edges{78, 12, 94, 28};
    QTest::newRow("picture 2, caption right")
        << 0 << text << 1 << 0 << true << 2 << 16 << Edges{72 - tw, y, 72, y + th}
        << Edges{78, 12, 94, 28};
    x = (100 - tw - 16 - 6) / 2;
    QTest::newRow("picture 3") << 0 << text << 2 << 0 << true << 3 << 16
                               << Edges{x, y, x + tw, y + th}
                               << Edges{x + tw + 6, 12, x + tw + 22, 28};
    // Stacked: picture above or below the caption, both centred.
    int d = (40 - th - 16) / 2;
    QTest::newRow("picture 4") << 0 << text << 2 << 0 << true << 4 << 16
                               << Edges{cx, std::max(d + 18, 6), cx + tw, std::min(d + 18 + th, 34)}
                               << Edges{42, std::max(d, 6), 58, d + 16};
    QTest::newRow("picture 5") << 0 << text << 2 << 0 << true << 5 << 16
                               << Edges{cx, std::max(d + 1, 6), cx + tw, d + 1 + th}
                               << Edges{42, th + d + 3, 58, std::min(th + d + 19, 34)};
    // Large pictures reserve nothing and are clamped into the margins.
    QTest::newRow("picture size 40") << 0 << text << 2 << 0 << true << 0 << 40
                                     << Edges{cx, y, cx + tw, y + th} << Edges{6, 6, 46, 34};
    // Slanted shapes: centred within the content inset.
    x = (72 - tw) / 2 + 28;
    QTest::newRow("left slanted") << 1 << text << 2 << 0 << false << 0 << 16
                                  << Edges{x, y, x + tw, y + th} << Edges{0, 0, 0, 0};
    QTest::newRow("right slanted, caption right")
        << 2 << text << 1 << 0 << false << 0 << 16 << Edges{66 - tw, y, 66, y + th}
        << Edges{0, 0, 0, 0};
    x = (44 - tw) / 2 + 28;
    QTest::newRow("parallelogram") << 3 << text << 2 << 0 << false << 0 << 16
                                   << Edges{x, y, x + tw, y + th} << Edges{0, 0, 0, 0};
}

void tst_Layout::boxes()
{
    QFETCH(int, shape);
    QFETCH(QString, caption);
    QFETCH(int, captionAlign);
    QFETCH(int, captionStyle);
    QFETCH(bool, picture);
    QFETCH(int, pictureAlign);
    QFETCH(int, pictureSize);
    ButtonState s;
    s.width = 100;
    s.height = 40;
    s.ButtonShape = shape;
    const Outline o = BuildOutline(100, 40, shape, 0, true);
    s.nLeftSlant = o.nLeftSlant;
    s.nRightEdge = o.nRightEdge;
    s.caption = caption;
    s.CaptionAlign = captionAlign;
    s.CaptionStyle = captionStyle;
    s.drawingFont = captionFont();
    s.nImgPixels = qint16(pictureSize);
    if (picture) {
        s.nPicWidth = 16;
        s.nPicHeight = 16;
    }
    s.PictureAlign = pictureAlign;
    const ContentLayout layout = LayoutContent(s);
    QTEST(edges(layout.caption), "captionBox");
    QTEST(edges(layout.picture), "pictureBox");
}

void tst_Layout::lineBreaks()
{
    QCOMPARE(displayCaption(QStringLiteral("One||Two||Three")), QStringLiteral("One\nTwo\nThree"));
    QCOMPARE(displayCaption(QStringLiteral("a|b|||c")), QStringLiteral("a|b\n|c"));

    ButtonState s;
    s.width = 100;
    s.height = 60;
    s.nRightEdge = 100;
    s.drawingFont = captionFont();
    s.caption = QStringLiteral("Top");
    const int oneLine = LayoutContent(s).caption.bottom - LayoutContent(s).caption.top;
    s.caption = QStringLiteral("Top||Low");
    const Box two = LayoutContent(s).caption;
    QCOMPARE(two.bottom - two.top, measured(QStringLiteral("Top\nLow")).height());
    QVERIFY(two.bottom - two.top >= 2 * oneLine);
}

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"
