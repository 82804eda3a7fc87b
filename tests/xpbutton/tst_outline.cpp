#include "xpbutton/outline.h"

#include <QTest>

using namespace xpbutton;

class tst_Outline : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void slantedWidth_data();
    void slantedWidth();
    void edges_data();
    void edges();
    void cornerTrimming_data();
    void cornerTrimming();
    void ellipses_data();
    void ellipses();
};

void tst_Outline::slantedWidth_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("expected");
    QTest::newRow("50x20 keeps its width") << 1 << 50 << 20 << 50;
    // 20 - 21 and 25 - 21 are at most 4; 30 - 21 is not.
    QTest::newRow("20x20 grows to 30") << 1 << 20 << 20 << 30;
    QTest::newRow("right slant grows too") << 2 << 20 << 20 << 30;
    QTest::newRow("both slants") << 3 << 26 << 20 << 26;
    QTest::newRow("exactly 4 more grows") << 3 << 25 << 20 << 30;
    QTest::newRow("rectangle never grows") << 0 << 5 << 20 << 5;
    QTest::newRow("ellipse never grows") << 4 << 5 << 20 << 5;
}

void tst_Outline::slantedWidth()
{
    QFETCH(int, shape);
    QFETCH(int, width);
    QFETCH(int, height);
    QTEST(BuildOutline(width, height, shape, 0, true).width, "expected");
}

void tst_Outline::edges_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("leftSlant");
    QTest::addColumn<int>("rightEdge");
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<QPoint>("outside");
    // 60 x 20: slant = 21.
    QTest::newRow("rectangle") << 0 << 0 << 60 << QPoint(0, 19) << QPoint(61, 10);
    QTest::newRow("left slanted") << 1 << 21 << 60 << QPoint(0, 0) << QPoint(5, 19);
    QTest::newRow("right slanted") << 2 << 0 << 39 << QPoint(58, 19) << QPoint(55, 0);
    QTest::newRow("parallelogram") << 3 << 21 << 39 << QPoint(25, 19) << QPoint(2, 19);
}

void tst_Outline::edges()
{
    QFETCH(int, shape);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);
    const Outline o = BuildOutline(60, 20, shape, 0, true);
    QTEST(o.nLeftSlant, "leftSlant");
    QTEST(o.nRightEdge, "rightEdge");
    QVERIFY(o.region.contains(inside));
    QVERIFY(!o.region.contains(outside));
    QVERIFY(o.clip.isEmpty());
}

void tst_Outline::cornerTrimming_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QList<QPoint>>("removed");
    QTest::addColumn<QList<QPoint>>("kept");
    // A 40 x 20 button.
    const QList<QPoint> corners = {{0, 0}, {0, 19}, {39, 0}, {39, 19}};
    QTest::newRow("look 0 keeps its corners") << 0 << 0 << true << QList<QPoint>{} << corners;
    QTest::newRow("look 1 cuts single pixels")
        << 0 << 1 << true << corners << QList<QPoint>{{1, 0}, {0, 1}, {38, 19}, {39, 18}};
    QTest::newRow("look 2 cuts triangles")
        << 0 << 2 << true << QList<QPoint>{{0, 0}, {1, 0}, {0, 1}, {0, 19}, {39, 0}, {39, 19}}
        << QList<QPoint>{{1, 1}, {3, 0}, {0, 3}, {3, 19}, {36, 19}, {38, 1}};
    QTest::newRow("look 7 cuts triangles")
        << 0 << 7 << true << QList<QPoint>{{0, 0}, {0, 19}, {39, 0}, {39, 19}}
        << QList<QPoint>{{1, 1}, {38, 18}};
    QTest::newRow("look 3 enabled")
        << 0 << 3 << true << QList<QPoint>{{0, 19}, {39, 0}} << QList<QPoint>{{0, 0}, {39, 19}};
    QTest::newRow("look 3 disabled") << 0 << 3 << false << QList<QPoint>{} << corners;
    QTest::newRow("look 1 right side only on shape 1")
        << 1 << 1 << true << QList<QPoint>{{39, 0}, {39, 19}} << QList<QPoint>{{0, 0}};
    QTest::newRow("look 1 left side only on shape 2")
        << 2 << 1 << true << QList<QPoint>{{0, 0}, {0, 19}} << QList<QPoint>{{30, 19}};
    QTest::newRow("shape 3 is never trimmed")
        << 3 << 2 << true << QList<QPoint>{} << QList<QPoint>{{0, 0}, {1, 0}, {38, 19}, {37, 19}};
}

void tst_Outline::cornerTrimming()
{
    QFETCH(int, shape);
    QFETCH(int, style);
    QFETCH(bool, enabled);
    QFETCH(QList<QPoint>, removed);
    QFETCH(QList<QPoint>, kept);
    const Outline o = BuildOutline(40, 20, shape, style, enabled);
    for (const QPoint &p : removed)
        QVERIFY2(!o.region.contains(p),
                 qPrintable(QStringLiteral("(%1, %2) should be cut").arg(p.x()).arg(p.y())));
    for (const QPoint &p : kept)
        QVERIFY2(o.region.contains(p),
                 qPrintable(QStringLiteral("(%1, %2) should remain").arg(p.x()).arg(p.y())));
}

void tst_Outline::ellipses_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QPoint>("clipEdge");  // inside the region, outside the clip
    QTest::addColumn<QPoint>("clipInner"); // inside the clip
    QTest::newRow("shape 4") << 4 << QPoint(30, 0) << QPoint(30, 1);
    QTest::newRow("shape 5") << 5 << QPoint(30, 0) << QPoint(30, 1);
    QTest::newRow("shape 6") << 6 << QPoint(30, 1) << QPoint(30, 2);
}

void tst_Outline::ellipses()
{
    QFETCH(int, shape);
    QFETCH(QPoint, clipEdge);
    QFETCH(QPoint, clipInner);
    const Outline o = BuildOutline(60, 20, shape, 2, true);
    QCOMPARE(o.width, 60);
    QCOMPARE(o.nLeftSlant, 0);
    QCOMPARE(o.nRightEdge, 60);
    QVERIFY(!o.region.contains(QPoint(0, 0)));
    QVERIFY(o.region.contains(QPoint(30, 10)));
    QVERIFY(o.region.contains(clipEdge));
    QVERIFY(!o.clip.contains(clipEdge));
    QVERIFY(o.clip.contains(clipInner));
}

QTEST_MAIN(tst_Outline)
#include "tst_outline.moc"
