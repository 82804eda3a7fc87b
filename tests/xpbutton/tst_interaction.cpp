#include "xpbutton/keycodes.h"
#include "xpbutton/windowtimer.h"
#include "xpbutton/xpbutton.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace xpbutton;

namespace {

// Everything a button tells its host, in order, as short texts: "MouseDown(1,0)", "Click", ...
class Recorder : public QObject
{
public:
    explicit Recorder(XPButton *button)
    {
        auto mouse = [this](const char *name) {
            return [this, name](short b, short s, float, float) {
                events << QStringLiteral("%1(%2,%3)").arg(QLatin1String(name)).arg(b).arg(s);
            };
        };
        connect(button, &XPButton::MouseDown, this, mouse("MouseDown"));
        connect(button, &XPButton::MouseUp, this, mouse("MouseUp"));
        connect(button, &XPButton::MouseMove, this, mouse("MouseMove"));
        connect(button, &XPButton::Click, this, [this] { events << QStringLiteral("Click"); });
        connect(button, &XPButton::DoubleClick, this,
                [this](short b) { events << QStringLiteral("DoubleClick(%1)").arg(b); });
        connect(button, &XPButton::MouseOnButton, this, [this](bool on) {
            events << QStringLiteral("MouseOnButton(%1)").arg(on ? "True" : "False");
        });
        connect(button, &XPButton::KeyDown, this, [this](short k, short s) {
            events << QStringLiteral("KeyDown(%1,%2)").arg(k).arg(s);
        });
        connect(button, &XPButton::KeyUp, this, [this](short k, short s) {
            events << QStringLiteral("KeyUp(%1,%2)").arg(k).arg(s);
        });
        connect(button, &XPButton::KeyPress, this,
                [this](short k) { events << QStringLiteral("KeyPress(%1)").arg(k); });
    }

    // The events without the mouse moves, which depend on how the pointer travelled.
    QStringList withoutMoves() const
    {
        QStringList out;
        for (const QString &e : events) {
            if (!e.startsWith(u"MouseMove"))
                out << e;
        }
        return out;
    }
    int count(const QString &event) const { return int(events.count(event)); }

    QStringList events;
};

// A container that keeps the arrow keys its buttons hand on.
class ArrowContainer : public QWidget
{
public:
    using QWidget::QWidget;
    struct Forwarded
    {
        int key;
        quint32 scanCode;
        int count;
    };
    QList<Forwarded> forwarded;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        forwarded.append({event->key(), event->nativeScanCode(), event->count()});
        event->accept();
    }
};

// A shown, active top-level window holding buttons in a row; mouse and keyboard go through the
// window system like a user's, and the pointer moves with QCursor::setPos.
class Form
{
public:
    explicit Form(QWidget *container = nullptr)
        : host(container ? container : new QWidget)
    {
        host->resize(360, 120);
        // First in the tab order, so a shown form starts with the focus in the text box.
        edit = new QLineEdit(host.get());
        edit->setGeometry(10, 80, 100, 20);
    }

    XPButton *add(int mode = 0, const QString &caption = QStringLiteral("Go"))
    {
        auto *button = new XPButton(host.get());
        button->setObjectName(QStringLiteral("b%1").arg(buttons.size() + 1));
        button->setGeometry(10 + 80 * int(buttons.size()), 20, 75, 25);
        button->InitProperties();
        button->setButtonStyle(2);
        button->setCaption(caption);
        button->setMode(mode);
        buttons << button;
        return button;
    }

    bool show()
    {
        host->show();
        if (!QTest::qWaitForWindowActive(host.get()))
            return false;
        pointOutside();
        return true;
    }

    QWindow *window() const { return host->windowHandle(); }
    QPoint inWindow(QWidget *w, QPoint p) const { return w->mapTo(host.get(), p); }

    // The pointer goes to p of widget w (or of the window).
    void pointTo(QWidget *w, QPoint p)
    {
        QCursor::setPos(w->mapToGlobal(p));
        QCoreApplication::processEvents();
    }
    void pointOutside() { pointTo(host.get(), QPoint(350, 110)); }

    void press(QWidget *w, Qt::MouseButton b = Qt::LeftButton, QPoint p = {10, 10})
    {
        pointTo(w, p);
        QTest::mousePress(window(), b, {}, inWindow(w, p));
    }
    void release(QWidget *w, Qt::MouseButton b = Qt::LeftButton, QPoint p = {10, 10})
    {
        QTest::mouseRelease(window(), b, {}, inWindow(w, p));
    }
    void click(QWidget *w, Qt::MouseButton b = Qt::LeftButton, QPoint p = {10, 10})
    {
        press(w, b, p);
        release(w, b, p);
    }

    std::unique_ptr<QWidget> host;
    QLineEdit *edit = nullptr;
    QList<XPButton *> buttons;
};

// What the button looks like for a given state, painted by an identical twin.
QImage lookOf(XPButton *button, quint8 bits, bool hovering = false)
{
    QWidget parent;
    XPButton twin(&parent);
    twin.resize(button->size());
    PropertyBag bag;
    button->WriteProperties(bag);
    twin.ReadProperties(bag);
    twin.state().nStateBits = bits;
    twin.state().bHovering = hovering;
    twin.handleResize();
    return twin.backBuffer();
}

} // namespace

class tst_Interaction : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { setSystemColourTable(classicSystemColour); }
    void cleanupTestCase() { setSystemColourTable({}); }

    void clicks_data();
    void clicks();
    void mouseEventArguments();
    void dragOutAndBack_data();
    void dragOutAndBack();
    void hoverKeepsOneTimer();
    void timerTickWithoutInstance();
    void buttonEndsWhileHovering();
    void threeOptions();
    void space_data();
    void space();
    void otherKeys_data();
    void otherKeys();
    void arrowsMoveFocus_data();
    void arrowsMoveFocus();
    void arrowsGoToContainer_data();
    void arrowsGoToContainer();
    void arrowSelectsOption();
    void doubleClick_data();
    void doubleClick();
    void accessKeys_data();
    void accessKeys();
    void defaultAndCancel_data();
    void defaultAndCancel();
    void focusShowsDefault();
    void focusSelectsInEmptyGroup();
    void staleSlotIsNeverUsed();
    void ambientBackColor();
};

void tst_Interaction::clicks_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("before");
    QTest::addColumn<int>("mouseButton");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("after");
    const QStringList left{"MouseDown(1,0)", "MouseUp(1,0)", "Click"};
    const QStringList leftNoClick{"MouseDown(1,0)", "MouseUp(1,0)"};
    const QStringList right{"MouseDown(2,0)", "MouseUp(2,0)"};
    QTest::newRow("command, left") << 0 << false << int(Qt::LeftButton) << left << false;
    QTest::newRow("command, right") << 0 << false << int(Qt::RightButton) << right << false;
    QTest::newRow("check box, left") << 1 << false << int(Qt::LeftButton) << left << true;
    QTest::newRow("selected check box, left") << 1 << true << int(Qt::LeftButton) << left << false;
    QTest::newRow("check box, right") << 1 << false << int(Qt::RightButton) << right << false;
    QTest::newRow("check box, middle") << 1 << true << int(Qt::MiddleButton)
                                       << QStringList{"MouseDown(4,0)", "MouseUp(4,0)"} << true;
    // The press gives the focus first, and the first option focused in an empty group selects
    // itself; the click then finds it selected.
    QTest::newRow("option, left") << 2 << false << int(Qt::LeftButton)
                                  << QStringList{"Click", "MouseDown(1,0)", "MouseUp(1,0)"} << true;
    QTest::newRow("selected option, left")
        << 2 << true << int(Qt::LeftButton) << leftNoClick << true;
    QTest::newRow("option, right") << 2 << false << int(Qt::RightButton) << right << false;
}

void tst_Interaction::clicks()
{
    QFETCH(int, mode);
    QFETCH(bool, before);
    QFETCH(int, mouseButton);
    QFETCH(QStringList, events);
    QFETCH(bool, after);
    Form form;
    XPButton *button = form.add(mode);
    if (before)
        button->setValue(true);
    QVERIFY(form.show());
    form.pointTo(button, {10, 10});
    Recorder rec(button);
    form.click(button, Qt::MouseButton(mouseButton));
    QCOMPARE(rec.withoutMoves(), events);
    QCOMPARE(button->value(), after);
    QCOMPARE(button->state().nLastButton, short(mouseButton));
    QVERIFY(!button->state().has(ButtonDown));
    QVERIFY(!button->state().bPressing);
}

void tst_Interaction::mouseEventArguments()
{
    Form form;
    XPButton *button = form.add();
    QVERIFY(form.show());
    QList<QList<float>> downs;
    connect(button, &XPButton::MouseDown, button, [&downs](short b, short s, float x, float y) {
        downs.append({float(b), float(s), x, y});
    });
    QList<QList<float>> moves;
    connect(button, &XPButton::MouseMove, button, [&moves](short b, short s, float x, float y) {
        moves.append({float(b), float(s), x, y});
    });
    form.pointTo(button, {12, 7});
    QTest::mousePress(form.window(), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier,
                      form.inWindow(button, {12, 7}));
    QTest::mouseMove(form.window(), form.inWindow(button, {30, 9}));
    QTest::mouseRelease(form.window(), Qt::LeftButton, {}, form.inWindow(button, {30, 9}));
    QCOMPARE(downs, (QList<QList<float>>{{1, 3, 12, 7}}));
    QCOMPARE(moves.size(), 2);
    QCOMPARE(moves[0], (QList<float>{0, 0, 12, 7}));
    // Button of a move is the set of buttons held.
    QCOMPARE(moves[1], (QList<float>{1, 0, 30, 9}));
}

void tst_Interaction::dragOutAndBack_data()
{
    QTest::addColumn<bool>("comeBack");
    QTest::newRow("released outside") << false;
    QTest::newRow("back in before the release") << true;
}

void tst_Interaction::dragOutAndBack()
{
    QFETCH(bool, comeBack);
    Form form;
    XPButton *button = form.add();
    QVERIFY(form.show());
    // The press gives the button the focus, which shows it as the form's default button.
    const QImage idle = lookOf(button, DefaultLook);
    const QImage pushed = lookOf(button, ButtonDown | MouseOver | DefaultLook, true);
    QVERIFY(idle != pushed);

    Recorder rec(button);
    form.press(button);
    QVERIFY(button->state().drawnPushed());
    QCOMPARE(button->backBuffer(), pushed);

    // Out with the button held: the hover poll sees the pointer over the form.
    form.pointOutside();
    QTRY_VERIFY(!button->state().bHovering);
    QVERIFY(button->state().has(ButtonDown));
    QVERIFY(!button->state().drawnPushed());
    QVERIFY(!button->state().bPressing);
    QCOMPARE(button->backBuffer(), idle);

    QPoint releaseAt = form.inWindow(button, {100, 50});
    if (comeBack) {
        form.pointTo(button, {20, 12});
        QVERIFY(button->state().drawnPushed());
        QVERIFY(button->state().bPressing);
        QCOMPARE(button->backBuffer(), pushed);
        releaseAt = form.inWindow(button, {20, 12});
    }
    QTest::mouseRelease(form.window(), Qt::LeftButton, {}, releaseAt);
    QStringList expected{"MouseOnButton(True)", "MouseDown(1,0)", "MouseOnButton(False)"};
    if (comeBack)
        expected << "MouseOnButton(True)"
                 << "MouseUp(1,0)"
                 << "Click";
    else
        expected << "MouseUp(1,0)";
    QCOMPARE(rec.withoutMoves(), expected);
    QVERIFY(!button->state().has(ButtonDown));
}

void tst_Interaction::hoverKeepsOneTimer()
{
    Form form;
    XPButton *button = form.add();
    QVERIFY(form.show());
    QVERIFY(!isTimerRunning(button, kHoverTimerId));
    Recorder rec(button);
    form.pointTo(button, {5, 5});
    QVERIFY(button->state().bHovering);
    QVERIFY(button->state().has(MouseOver));
    QVERIFY(isTimerRunning(button, kHoverTimerId));
    QCOMPARE(button->property(kTimerIdProperty).toInt(), 237);
    QCOMPARE(button->property(kClassIdProperty).value<QPointer<XPButton>>(),
             QPointer<XPButton>(button));
    // The hot look: the orange ring of look 2.
    QCOMPARE(fromQRgb(button->backBuffer().pixel(2, 12)), 0x6BCBFFu);

    for (int x = 6; x < 60; x += 9)
        form.pointTo(button, {x, 8});
    // Resting over the button: the poll keeps running and changes nothing.
    QTest::qWait(4 * kHoverPeriod);
    QVERIFY(button->state().bHovering);
    QCOMPARE(runningTimerCount(button), 1);
    QCOMPARE(rec.count(QStringLiteral("MouseOnButton(True)")), 1);

    form.pointOutside();
    QTRY_VERIFY(!button->state().bHovering);
    QTest::qWait(4 * kHoverPeriod);
    QCOMPARE(rec.count(QStringLiteral("MouseOnButton(False)")), 1);
    QCOMPARE(runningTimerCount(button), 0);
    QVERIFY(!button->state().has(MouseOver));
    QCOMPARE(button->backBuffer(), lookOf(button, 0));
}

void tst_Interaction::timerTickWithoutInstance()
{
    Form form;
    XPButton *button = form.add();
    QVERIFY(form.show());

    // A window that never hovered, and a plain widget: the routine has nobody to ask.
    QWidget plain;
    HoverTimerProc(&plain, kHoverTimerId);
    HoverTimerProc(nullptr, kHoverTimerId);
    Recorder rec(button);
    HoverTimerProc(button, kHoverTimerId); // no "xb_ClassID" yet
    QVERIFY(rec.events.isEmpty());

    // A window that names an instance that has ended.
    auto *gone = new XPButton(form.host.get());
    plain.setProperty(kClassIdProperty, QVariant::fromValue(QPointer<XPButton>(gone)));
    delete gone;
    SetTimer(&plain, kHoverTimerId, 1, &HoverTimerProc);
    QTest::qWait(20);
    QVERIFY(isTimerRunning(&plain, kHoverTimerId));
    QVERIFY(KillTimer(&plain, kHoverTimerId));
    QVERIFY(!KillTimer(&plain, kHoverTimerId));
}

void tst_Interaction::buttonEndsWhileHovering()
{
    Form form;
    XPButton *a = form.add(2);
    XPButton *b = form.add(2);
    QVERIFY(form.show());
    form.pointTo(a, {5, 5});
    QVERIFY(a->state().bHovering);
    b->setValue(true);
    delete a;
    QCOMPARE(form.host->property(kOptCount).toInt(), 1);
    // Ticks that were due find nothing; the other member works on.
    QTest::qWait(3 * kHoverPeriod);
    form.click(b);
    QVERIFY(b->value());
    QVERIFY(!b->OptionToggle(-1));
    QVERIFY(!form.host->property(kOptCount).isValid());
}

void tst_Interaction::threeOptions()
{
    Form form;
    XPButton *a = form.add(2);
    XPButton *b = form.add(2);
    XPButton *c = form.add(2);
    QVERIFY(form.show());
    auto values = [&] {
        return QList<bool>{a->value(), b->value(), c->value()};
    };
    form.click(a);
    QCOMPARE(values(), (QList<bool>{true, false, false}));
    form.click(c);
    QCOMPARE(values(), (QList<bool>{false, false, true}));
    form.click(b);
    QCOMPARE(values(), (QList<bool>{false, true, false}));

    // The middle one becomes a command button: the other two still form a group.
    b->setMode(0);
    QCOMPARE(form.host->property(kOptCount).toInt(), 2);
    QCOMPARE(values(), (QList<bool>{false, false, false}));
    form.click(a);
    QCOMPARE(values(), (QList<bool>{true, false, false}));
    Recorder rec(b);
    form.click(b);
    QCOMPARE(rec.withoutMoves().last(), QStringLiteral("Click"));
    QCOMPARE(values(), (QList<bool>{true, false, false}));
    form.click(c);
    QCOMPARE(values(), (QList<bool>{false, false, true}));
}

void tst_Interaction::space_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("valueAfter");
    QTest::newRow("command button")
        << 0 << QStringList{"KeyDown(32,0)", "KeyPress(32)", "Click", "KeyUp(32,0)"} << false;
    QTest::newRow("check box") << 1
                               << QStringList{"KeyDown(32,0)", "KeyPress(32)", "KeyUp(32,0)",
                                              "Click"}
                               << true;
    QTest::newRow("option button")
        << 2 << QStringList{"KeyDown(32,0)", "KeyPress(32)", "KeyUp(32,0)", "Click"} << true;
}

void tst_Interaction::space()
{
    QFETCH(int, mode);
    QFETCH(QStringList, events);
    QFETCH(bool, valueAfter);
    Form form;
    XPButton *button = form.add(mode);
    QVERIFY(form.show());
    QVERIFY(form.edit->hasFocus());
    // An option in a group that has a selected member does not select itself on focus.
    XPButton *selected = nullptr;
    if (mode == 2) {
        selected = form.add(2);
        selected->show();
        selected->setValue(true);
    }
    button->setFocus(Qt::TabFocusReason);
    QVERIFY(button->hasFocus());
    const QImage pushed = lookOf(button, ButtonDown | MouseOver | DefaultLook);

    Recorder rec(button);
    QTest::keyPress(form.window(), Qt::Key_Space);
    QVERIFY(button->state().has(ButtonDown));
    QVERIFY(!button->state().has(MouseOver));
    QVERIFY(button->state().bPressing);
    if (mode == 0)
        QCOMPARE(button->backBuffer(), pushed);
    // A held key repeats its key-down only.
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                       true);
    QCoreApplication::sendEvent(button, &repeatUp);
    QKeyEvent repeatDown(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                         true);
    QCoreApplication::sendEvent(button, &repeatDown);
    QTest::keyRelease(form.window(), Qt::Key_Space);
    QStringList expected = events;
    expected.insert(2, QStringLiteral("KeyDown(32,0)"));
    expected.insert(3, QStringLiteral("KeyPress(32)"));
    QCOMPARE(rec.events, expected);
    QCOMPARE(button->value(), valueAfter);
    QCOMPARE(button->state().nLastButton, short(1));
    QVERIFY(!button->state().has(ButtonDown));
    QVERIFY(!button->state().bPressing);
    if (selected)
        QVERIFY(!selected->value());
}

void tst_Interaction::otherKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("letter") << int(Qt::Key_A) << 0
                            << QStringList{"KeyDown(65,0)", "KeyPress(97)", "KeyUp(65,0)"};
    QTest::newRow("control and a function key")
        << int(Qt::Key_F5) << int(Qt::ControlModifier)
        << QStringList{"KeyDown(17,2)", "KeyDown(116,2)", "KeyUp(116,2)", "KeyUp(17,0)"};
    QTest::newRow("digit") << int(Qt::Key_7) << 0
                           << QStringList{"KeyDown(55,0)", "KeyPress(55)", "KeyUp(55,0)"};
    QTest::newRow("function key") << int(Qt::Key_F5) << 0
                                  << QStringList{"KeyDown(116,0)", "KeyUp(116,0)"};
    QTest::newRow("delete") << int(Qt::Key_Delete) << 0
                            << QStringList{"KeyDown(46,0)", "KeyUp(46,0)"};
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0
                            << QStringList{"KeyDown(27,0)", "KeyPress(27)", "KeyUp(27,0)"};
    // A Shift key press carries its own modifier; its release is consumed.
    QTest::newRow("shift key") << int(Qt::Key_Shift) << 0 << QStringList{"KeyDown(16,1)"};
}

void tst_Interaction::otherKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QStringList, events);
    Form form;
    XPButton *button = form.add();
    QVERIFY(form.show());
    button->setFocus(Qt::TabFocusReason);
    Recorder rec(button);
    QTest::keyClick(form.window(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(rec.events, events);
    QVERIFY(!button->state().has(ButtonDown));
}

void tst_Interaction::arrowsMoveFocus_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("focusAfter"); // index of the button that has the focus afterwards
    QTest::newRow("right") << int(Qt::Key_Right) << 2;
    QTest::newRow("down") << int(Qt::Key_Down) << 2;
    QTest::newRow("left") << int(Qt::Key_Left) << 0;
    QTest::newRow("up") << int(Qt::Key_Up) << 0;
}

void tst_Interaction::arrowsMoveFocus()
{
    QFETCH(int, key);
    QFETCH(int, focusAfter);
    Form form;
    form.add();
    XPButton *middle = form.add();
    form.add();
    QVERIFY(form.show());
    middle->setFocus(Qt::TabFocusReason);
    Recorder rec(middle);
    QTest::keyClick(form.window(), Qt::Key(key));
    QVERIFY(rec.events.isEmpty());
    QVERIFY(form.buttons[focusAfter]->hasFocus());
}

void tst_Interaction::arrowsGoToContainer_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<quint32>("scanCode");
    QTest::newRow("right") << int(Qt::Key_Right) << 0x4Du;
    QTest::newRow("down") << int(Qt::Key_Down) << 0x50u;
    QTest::newRow("left") << int(Qt::Key_Left) << 0x4Bu;
    QTest::newRow("up") << int(Qt::Key_Up) << 0x48u;
}

void tst_Interaction::arrowsGoToContainer()
{
    QFETCH(int, key);
    QFETCH(quint32, scanCode);
    auto *container = new ArrowContainer;
    Form form(container);
    form.add();
    XPButton *middle = form.add();
    form.add();
    QVERIFY(form.show());
    middle->setFocus(Qt::TabFocusReason);
    Recorder rec(middle);
    QTest::keyClick(form.window(), Qt::Key(key));
    QVERIFY(rec.events.isEmpty());
    // The container took the key, so the focus stays where it was.
    QVERIFY(middle->hasFocus());
    QCOMPARE(container->forwarded.size(), 1);
    QCOMPARE(container->forwarded[0].key, key);
    QCOMPARE(container->forwarded[0].scanCode, scanCode);
    QCOMPARE(container->forwarded[0].count, 1);
}

void tst_Interaction::arrowSelectsOption()
{
    Form form;
    XPButton *a = form.add(2);
    XPButton *b = form.add(2);
    XPButton *c = form.add(2);
    QVERIFY(form.show());
    form.click(a);
    QVERIFY(a->value());
    QVERIFY(a->hasFocus() || (a->setFocus(), a->hasFocus()));
    Recorder recB(b);
    QTest::keyClick(form.window(), Qt::Key_Right);
    QVERIFY(b->hasFocus());
    // The group had a selected member, so the focus alone selected nothing; the key-up did.
    QCOMPARE(recB.events, QStringList{QStringLiteral("Click")});
    QCOMPARE((QList<bool>{a->value(), b->value(), c->value()}), (QList<bool>{false, true, false}));
}

void tst_Interaction::doubleClick_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("mouseButton");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("valueAfter");
    QTest::newRow("command, left")
        << 0 << int(Qt::LeftButton)
        << QStringList{"MouseDown(1,0)", "MouseUp(1,0)",   "Click",
                       "DoubleClick(1)", "MouseDown(1,0)", "MouseUp(1,0)"}
        << false;
    QTest::newRow("check box, left")
        << 1 << int(Qt::LeftButton)
        << QStringList{"MouseDown(1,0)", "MouseUp(1,0)",   "Click",
                       "DoubleClick(1)", "MouseDown(1,0)", "MouseUp(1,0)"}
        << true;
    QTest::newRow("command, right")
        << 0 << int(Qt::RightButton)
        << QStringList{"MouseDown(2,0)", "MouseUp(2,0)", "DoubleClick(2)", "MouseDown(2,0)",
                       "MouseUp(2,0)"}
        << false;
}

void tst_Interaction::doubleClick()
{
    QFETCH(int, mode);
    QFETCH(int, mouseButton);
    QFETCH(QStringList, events);
    QFETCH(bool, valueAfter);
    Form form;
    XPButton *button = form.add(mode);
    QVERIFY(form.show());
    const auto b = Qt::MouseButton(mouseButton);
    const QPoint p = form.inWindow(button, {10, 10});
    form.pointTo(button, {10, 10});
    Recorder rec(button);
    QTest::mousePress(form.window(), b, {}, p);
    QTest::mouseRelease(form.window(), b, {}, p);
    // The second press follows at once, so the window system reports a double click.
    QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval;
    QTest::mousePress(form.window(), b, {}, p);
    if (b == Qt::LeftButton) {
        QCOMPARE(button->state().nLastButton, short(-1));
        QVERIFY(button->state().drawnPushed());
    }
    QTest::mouseRelease(form.window(), b, {}, p);
    QCOMPARE(rec.withoutMoves(), events);
    QCOMPARE(button->value(), valueAfter);
    QCOMPARE(button->state().nLastButton, short(mouseButton));
    QVERIFY(!button->state().drawnPushed());
}

void tst_Interaction::accessKeys_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("valueAfter");
    QTest::newRow("command") << "&Go" << 0 << int(Qt::Key_G) << QStringList{"Click"} << false;
    QTest::newRow("after a doubled ampersand")
        << "Tom && &Jerry" << 0 << int(Qt::Key_J) << QStringList{"Click"} << false;
    QTest::newRow("chinese caption")
        << QString::fromUtf8("查看(&V)") << 0 << int(Qt::Key_V) << QStringList{"Click"} << false;
    QTest::newRow("check box") << "&Bold" << 1 << int(Qt::Key_B) << QStringList{"Click"} << true;
    // The focus selects the option (and clicks); the access key then finds it selected.
    QTest::newRow("option in an empty group")
        << "&One" << 2 << int(Qt::Key_O) << QStringList{"Click"} << true;
    QTest::newRow("other letter") << "&Go" << 0 << int(Qt::Key_H) << QStringList{} << false;
    QTest::newRow("ampersand at the end")
        << "Rock &" << 0 << int(Qt::Key_R) << QStringList{} << false;
}

void tst_Interaction::accessKeys()
{
    QFETCH(QString, caption);
    QFETCH(int, mode);
    QFETCH(int, key);
    QFETCH(QStringList, events);
    QFETCH(bool, valueAfter);
    Form form;
    QLineEdit *edit = form.edit;
    XPButton *button = form.add(mode, caption);
    QVERIFY(form.show());
    edit->setFocus();
    Recorder rec(button);
    QTest::keyClick(form.window(), Qt::Key(key), Qt::AltModifier);
    // The key-ups of the chord reach the button once it has the focus; the rest is the click.
    QStringList clicks;
    for (const QString &e : rec.events) {
        if (!e.startsWith(u"Key"))
            clicks << e;
    }
    QCOMPARE(clicks, events);
    QCOMPARE(button->value(), valueAfter);
    QCOMPARE(button->hasFocus(), !events.isEmpty());
}

void tst_Interaction::defaultAndCancel_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<bool>("isCancel");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("clicks");
    QTest::newRow("Enter, default command button")
        << 0 << true << false << int(Qt::Key_Return) << 1;
    QTest::newRow("keypad Enter, default command button")
        << 0 << true << false << int(Qt::Key_Enter) << 1;
    QTest::newRow("Enter, default check box") << 1 << true << false << int(Qt::Key_Return) << 0;
    QTest::newRow("Enter, default option button") << 2 << true << false << int(Qt::Key_Return) << 0;
    QTest::newRow("Enter, no default button") << 0 << false << true << int(Qt::Key_Return) << 0;
    QTest::newRow("Esc, cancel command button") << 0 << false << true << int(Qt::Key_Escape) << 1;
    QTest::newRow("Esc, cancel check box") << 1 << false << true << int(Qt::Key_Escape) << 0;
    QTest::newRow("Esc, no cancel button") << 0 << true << false << int(Qt::Key_Escape) << 0;
}

void tst_Interaction::defaultAndCancel()
{
    QFETCH(int, mode);
    QFETCH(bool, isDefault);
    QFETCH(bool, isCancel);
    QFETCH(int, key);
    QFETCH(int, clicks);
    Form form;
    QLineEdit *edit = form.edit;
    XPButton *button = form.add(mode);
    button->setDefault(isDefault);
    button->setCancel(isCancel);
    QVERIFY(form.show());
    edit->setFocus();
    Recorder rec(button);
    QTest::keyClick(form.window(), Qt::Key(key));
    QCOMPARE(rec.count(QStringLiteral("Click")), clicks);
    QVERIFY(!button->value());
    QVERIFY(edit->hasFocus());
}

void tst_Interaction::focusShowsDefault()
{
    Form form;
    QLineEdit *edit = form.edit;
    XPButton *ok = form.add();
    XPButton *other = form.add();
    XPButton *plain = form.add();
    plain->setShowFocusRect(false);
    ok->setDefault(true);
    QVERIFY(form.show());
    edit->setFocus();
    QVERIFY(ok->state().has(DefaultLook));
    QVERIFY(!other->state().has(DefaultLook));
    // The look-2 default ring.
    QCOMPARE(fromQRgb(ok->backBuffer().pixel(2, 12)), 0xF0D1B5u);

    // Another button with the focus is the default one meanwhile, and takes Enter.
    other->setFocus(Qt::TabFocusReason);
    QVERIFY(!ok->state().has(DefaultLook));
    QVERIFY(other->state().has(DefaultLook));
    Recorder recOk(ok);
    Recorder recOther(other);
    QTest::keyClick(form.window(), Qt::Key_Return);
    QCOMPARE(recOther.events,
             (QStringList{"KeyDown(13,0)", "KeyPress(13)", "Click", "KeyUp(13,0)"}));
    QVERIFY(recOk.events.isEmpty());

    // A button without focus rectangle never shows the default look.
    plain->setFocus(Qt::TabFocusReason);
    QVERIFY(!plain->state().has(DefaultLook));
    QVERIFY(!ok->state().has(DefaultLook));
    edit->setFocus();
    QVERIFY(ok->state().has(DefaultLook));
    QVERIFY(!other->state().has(DefaultLook));

    // One default button per window.
    other->setDefault(true);
    QVERIFY(!ok->isDefault());
    QVERIFY(!ok->state().has(DefaultLook));
    QVERIFY(other->state().has(DefaultLook));
}

void tst_Interaction::focusSelectsInEmptyGroup()
{
    Form form;
    QLineEdit *edit = form.edit;
    XPButton *a = form.add(2);
    XPButton *b = form.add(2);
    XPButton *c = form.add(2);
    QVERIFY(form.show());
    edit->setFocus();
    QVERIFY(!a->value() && !b->value() && !c->value());
    Recorder rec(b);
    b->setFocus(Qt::TabFocusReason);
    QCOMPARE(rec.events, QStringList{QStringLiteral("Click")});
    QVERIFY(b->value());
    // With a member selected, the focus selects nothing.
    c->setFocus(Qt::TabFocusReason);
    QVERIFY(b->value());
    QVERIFY(!c->value());
    // Nor does a check box or command button take the focus as a click.
    XPButton *check = form.add(1);
    check->show();
    check->setFocus(Qt::TabFocusReason);
    QVERIFY(!check->value());
}

void tst_Interaction::staleSlotIsNeverUsed()
{
    Form form;
    XPButton *a = form.add(2);
    XPButton *b = form.add(2);
    // A slot whose button ended without leaving (as when a registry is copied by hand).
    form.host->setProperty("xb_Obj3", QVariant::fromValue(QPointer<XPButton>()));
    form.host->setProperty(kOptCount, 3);
    b->setValue(true);
    a->setValue(true);
    // The clearing stops quietly at the empty slot, after the members before it.
    QVERIFY(a->value());
    QVERIFY(!b->value());
    // A query from an unselected member finds the selected one before the empty slot; a query
    // from the selected one clears first, meets the empty slot and ends with False.
    QVERIFY(b->OptionToggle(2));
    QVERIFY(!a->OptionToggle(2));
    a->setValue(false);
    QVERIFY(!b->OptionToggle(2));

    // Leaving moves the empty slot down with the others; it is still never read as a button.
    a->setMode(0);
    QCOMPARE(form.host->property(kOptCount).toInt(), 2);
    QCOMPARE(form.host->property("xb_Obj1").value<QPointer<XPButton>>(), QPointer<XPButton>(b));
    QVERIFY(!form.host->property("xb_Obj2").value<QPointer<XPButton>>());
    QVERIFY(!form.host->property("xb_Obj3").isValid());
    b->setValue(true);
    QVERIFY(b->value());
}

void tst_Interaction::ambientBackColor()
{
    Form form;
    form.host->setProperty(kAmbientBackColor, 0x00FFFFu);
    XPButton *round = form.add();
    round->setButtonShape(4);
    XPButton *flat = form.add();
    QVERIFY(form.show());
    QCOMPARE(round->state().nParentBackColor, 0x00FFFFu);
    const QImage before = round->backBuffer();
    const QImage flatBefore = flat->backBuffer();
    form.host->setProperty(kAmbientBackColor, 0x800000u);
    QCOMPARE(round->state().nParentBackColor, 0x800000u);
    QCOMPARE(flat->state().nParentBackColor, 0x800000u);
    // The ellipse's rim is shaded from the form's colour; a rectangle of look 2 does not use it.
    QVERIFY(round->backBuffer() != before);
    QCOMPARE(flat->backBuffer(), flatBefore);
    // System colours are resolved.
    form.host->setProperty(kAmbientBackColor, 0x8000000Fu);
    QCOMPARE(round->state().nParentBackColor, 0xC8D0D4u);
}

QTEST_MAIN(tst_Interaction)
#include "tst_interaction.moc"
