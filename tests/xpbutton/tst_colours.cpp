#include "xpbutton/buttonpainter.h"
#include "xpbutton/colours.h"
#include "xpbutton/looks.h"

#include <QTest>

using namespace xpbutton;

class tst_Colours : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { setSystemColourTable(classicSystemColour); }
    void cleanupTestCase() { setSystemColourTable({}); }

    void shiftColour_data();
    void shiftColour();
    void resolveColour_data();
    void resolveColour();
    void roundsTiesToEven();
    void derivedColours_data();
    void derivedColours();
    void gradientTable_data();
    void gradientTable();
};

void tst_Colours::shiftColour_data()
{
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<int>("delta");
    QTest::addColumn<bool>("blueScaling");
    QTest::addColumn<quint32>("expected");
    // Green and blue are read with the divisors 255 and 65280, not 256 and 65536.
    QTest::newRow("grey by 0") << 0x808080u << 0 << false << 0x818180u;
    QTest::newRow("silver lighter") << 0xC0C0C0u << 36 << false << 0xE5E5E4u;
    QTest::newRow("silver darker") << 0xC0C0C0u << -36 << false << 0x9D9D9Cu;
    QTest::newRow("white darker") << 0xFFFFFFu << -32 << false << 0xE0E0DFu;
    QTest::newRow("clamped high") << 0xF0F0F0u << 100 << false << 0xFFFFFFu;
    QTest::newRow("clamped low") << 0x101010u << -100 << false << 0x000000u;
    // Blue moves by delta * blue / 192, truncated toward zero.
    QTest::newRow("blue scaled down") << 0x102030u << -40 << true << 0x0D0008u;
    QTest::newRow("blue scaled up") << 0x80FF00u << 10 << true << 0x87FF0Au;
    QTest::newRow("blue scaled clamp") << 0xFF0000u << -100 << true << 0x7B0000u;
    QTest::newRow("white sb -32") << 0xFFFFFFu << -32 << true << 0xD6E0DFu;
}

void tst_Colours::shiftColour()
{
    QFETCH(quint32, colour);
    QFETCH(int, delta);
    QFETCH(bool, blueScaling);
    QFETCH(quint32, expected);
    QCOMPARE(ShiftColour(colour, delta, blueScaling), expected);
}

void tst_Colours::resolveColour_data()
{
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<quint32>("expected");
    QTest::newRow("button face") << 0x8000000Fu << 0xC8D0D4u;
    QTest::newRow("button text") << 0x80000012u << 0x000000u;
    QTest::newRow("window") << 0x80000005u << 0xFFFFFFu;
    QTest::newRow("plain colour") << 0x123456u << 0x123456u;
}

void tst_Colours::resolveColour()
{
    QFETCH(quint32, colour);
    QFETCH(quint32, expected);
    QCOMPARE(ResolveColour(colour), expected);
}

void tst_Colours::roundsTiesToEven()
{
    QCOMPARE(roundEven(0.5), 0);
    QCOMPARE(roundEven(1.5), 2);
    QCOMPARE(roundEven(2.5), 2);
    QCOMPARE(roundEven(-2.5), -2);
    QCOMPARE(roundEven(-12.5), -12);
    QCOMPARE(roundEven(2.51), 3);
}

void tst_Colours::derivedColours_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<quint32>("face");
    QTest::addColumn<quint32>("shade");
    QTest::addColumn<quint32>("hover");
    QTest::addColumn<quint32>("light");
    // BackColor is the button face (0xC8D0D4), HoverBackColor pure red; blue-scaled shifts
    // leave a blue of 0 at 0.
    QTest::newRow("look 0") << 0 << 0xC8D0D4u << 0xC8D0D4u << 0x0000FFu << 0xE0E0DFu;
    QTest::newRow("look 1") << 1 << 0xC8D0D4u << 0xC8D0D4u << 0x0000FFu << 0xE0E0DFu;
    QTest::newRow("look 2") << 2 << 0xFBFFFFu << 0xD2E0DFu << 0x0030FFu << 0xD6E0DFu;
    QTest::newRow("look 3") << 3 << 0xC8D0D4u << 0x8D8D8Cu << 0x0000FFu << 0xADADABu;
    QTest::newRow("look 4") << 4 << 0xC8D0D4u << 0xC8D0D4u << 0x0000FFu << 0xE0E0DFu;
    QTest::newRow("look 5") << 5 << 0xC8D0D4u << 0xC8D0D4u << 0x0000FFu << 0xE0E0DFu;
    QTest::newRow("look 6") << 6 << 0xC8D0D4u << 0xC8D0D4u << 0x0000FFu << 0xE0E0DFu;
    QTest::newRow("look 7") << 7 << 0xE8F0F3u << 0x717170u << 0x1F1FFFu << 0x8B9190u;
}

void tst_Colours::derivedColours()
{
    QFETCH(int, style);
    const DerivedColours c = RebuildColours(style, kButtonFace, 0x0000FF);
    QTEST(c.nFaceColor, "face");
    QTEST(c.nShadeColor, "shade");
    QTEST(c.nHoverFaceColor, "hover");
    QTEST(c.nLightColor, "light");
}

void tst_Colours::gradientTable_data()
{
    QTest::addColumn<quint32>("from");
    QTest::addColumn<quint32>("to");
    QTest::addColumn<int>("bands");
    QTest::addColumn<QList<quint32>>("expected");
    QTest::newRow("black to white")
        << 0x000000u << 0xFFFFFFu << 4 << QList<quint32>{0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF};
    // The start's green and blue keep their fractions (0xE000 / 255 = 224.88) while the end's
    // are rounded, so the last entry is not exactly the end colour.
    QTest::newRow("peach to brown")
        << 0xFFE0C0u << 0x804000u << 5
        << QList<quint32>{0xFFE0C0, 0xE0B890, 0xC09060, 0xA06830, 0x814000};
    QTest::newRow("grey to black")
        << 0x808080u << 0x000000u << 3 << QList<quint32>{0x808080, 0x404040, 0x000000};
    QTest::newRow("single band") << 0x123456u << 0xFFFFFFu << 1 << QList<quint32>{0x123456};
    QTest::newRow("no band") << 0x123456u << 0xFFFFFFu << 0 << QList<quint32>{};
}

void tst_Colours::gradientTable()
{
    QFETCH(quint32, from);
    QFETCH(quint32, to);
    QFETCH(int, bands);
    QFETCH(QList<quint32>, expected);
    const std::vector<Colour> table = xpbutton::gradientTable(from, to, bands);
    QCOMPARE(QList<quint32>(table.begin(), table.end()), expected);
}

QTEST_MAIN(tst_Colours)
#include "tst_colours.moc"
