#include "lookup/windowregion.h"

#include <QTest>

class tst_WindowRegion : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void membership_data();
    void membership();
    void sizeRoundsHalvesToEven_data();
    void sizeRoundsHalvesToEven();
};

void tst_WindowRegion::membership_data()
{
    QTest::addColumn<int>("widthTwips");
    QTest::addColumn<int>("heightTwips");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("inside");

    struct Size
    {
        const char *name;
        int w, h; // pixels
    };
    for (const Size size : {Size{"design", 524, 488}, Size{"other", 300, 200}}) {
        const int w = size.w;
        const int h = size.h;
        auto row = [&](const char *what, QPoint p, bool inside) {
            QTest::addRow("%s %s", size.name, what) << w * 15 << h * 15 << p << inside;
        };
        row("centre", {w / 2, h / 2}, true);
        // The two rectangles: full width from y 5 to h - 5, full height from x 5 to w - 5.
        row("left edge below notch", {0, 5}, true);
        row("left edge above bottom notch", {0, h - 6}, true);
        row("top-left notch open near the corner", {1, 1}, false);
        row("top edge right of notch", {5, 0}, true);
        row("top edge left of right notch", {w - 6, 0}, true);
        row("right edge mid", {w - 1, h / 2}, true);
        row("bottom edge mid", {w / 2, h - 1}, true);
        row("beyond the right edge", {w, h / 2}, false);
        row("beyond the bottom edge", {w / 2, h}, false);
        // Corners: outside the ellipses that round them.
        row("top-left corner", {0, 0}, false);
        row("top-right corner", {w - 1, 0}, false);
        row("bottom-left corner", {0, h - 1}, false);
        row("bottom-right corner", {w - 1, h - 1}, false);
        // Notch pixels the ellipses fill back.
        row("top-left notch filled", {4, 4}, true);
        row("top-right notch filled", {w - 2, 4}, true);
        row("bottom-left notch filled", {2, h - 4}, true);
        row("bottom-right notch filled", {w - 3, h - 3}, true);
        // The top-left ellipse is tall (35 px) but narrow: the edge below the notch is straight,
        // while the bottom-right corner is rounded over more rows than the bottom-left one.
        row("bottom-right rounding reaches higher", {w - 1, h - 8}, true);
        row("bottom-left notch open at x 0", {0, h - 2}, false);
    }
}

void tst_WindowRegion::membership()
{
    QFETCH(int, widthTwips);
    QFETCH(int, heightTwips);
    QFETCH(QPoint, point);
    QFETCH(bool, inside);
    QCOMPARE(lookup::windowRegion(widthTwips, heightTwips).contains(point), inside);
}

void tst_WindowRegion::sizeRoundsHalvesToEven_data()
{
    QTest::addColumn<double>("widthTwips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("exact") << 7860.0 << 524;
    QTest::newRow("half rounds down to even") << 7867.5 << 524;
    QTest::newRow("half rounds up to even") << 7882.5 << 526;
    QTest::newRow("below half") << 7867.0 << 524;
    QTest::newRow("above half") << 7868.0 << 525;
}

void tst_WindowRegion::sizeRoundsHalvesToEven()
{
    QFETCH(double, widthTwips);
    QFETCH(int, pixels);
    const QRect bounds = lookup::windowRegion(widthTwips, 7320).boundingRect();
    // The top-right and bottom-right ellipses reach beyond w; the rectangles end at w.
    QVERIFY(lookup::windowRegion(widthTwips, 7320).contains(QPoint(pixels - 1, 244)));
    QVERIFY(!lookup::windowRegion(widthTwips, 7320).contains(QPoint(pixels, 244)));
    QVERIFY(bounds.right() >= pixels - 1);
}

QTEST_GUILESS_MAIN(tst_WindowRegion)
#include "tst_windowregion.moc"
