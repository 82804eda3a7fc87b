// The main window: menus, remembered geometry, the exit question, the View menu's child
// windows and the change-password dialog.

#include "tst_app_fixture.h"

#include "customers/app/form1.h"
#include "customers/app/frmclient.h"
#include "customers/app/frmdatabase.h"
#include "customers/app/mdifrmmain.h"
#include "customers/shared/recordlistview.h"
#include "platform/shortdate.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>

using namespace kestrova;
using namespace Qt::StringLiterals;

namespace {

QAction *action(QWidget *window, const QString &name)
{
    return window->findChild<QAction *>(name);
}

void storeGeometry(const QString &left, const QString &top, const QString &width,
                   const QString &height)
{
    storeSetting(u"MainLeft"_s, left);
    storeSetting(u"MainTop"_s, top);
    storeSetting(u"MainWidth"_s, width);
    storeSetting(u"MainHeight"_s, height);
}

QStringList storedGeometry()
{
    return {storedSetting(u"MainLeft"_s), storedSetting(u"MainTop"_s),
            storedSetting(u"MainWidth"_s), storedSetting(u"MainHeight"_s)};
}

// Opens the client window through the View menu and waits for its list.
frmClient *openClients(MDIFrmMain &main)
{
    action(&main, u"mnuViewClient"_s)->trigger();
    frmClient *window = gfrmClient;
    if (window && !QTest::qWaitFor([window] { return !window->IsLoading(); }, 20000))
        return nullptr;
    return window;
}

// A stand-in for the plan window, which another library provides.
class FakePlanWindow : public QWidget
{
public:
    FakePlanWindow() { setObjectName(u"frmPlan"_s); }
    QSize sizeHint() const override { return {300, 200}; }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void menus_data();
    void menus();
    void statusBar();
    void geometryFromSettings_data();
    void geometryFromSettings();
    void geometrySavedOnExit();
    void geometryUntouchedWhileMinimised();
    void exitCancelLeavesWindows();
    void exitOkClosesChildren();
    void closeCommandAsks();
    void clientWindowOnceAndFresh();
    void clientWindowNarrowestWidth();
    void planWindowThroughFactory();
    void passwordDialogOnce();
    void databaseSettings_data();
    void databaseSettings();
    void databaseTestConnection();

private:
    std::unique_ptr<AppRecorder> m_recorder;
    std::unique_ptr<AppDatabase> m_database;
};

void TestMainWindow::init()
{
    clearSettings();
    m_recorder = std::make_unique<AppRecorder>();
    m_database = std::make_unique<AppDatabase>();
    setPlanWindowFactory({});
}

void TestMainWindow::cleanup()
{
    setPlanWindowFactory({});
    m_database.reset();
    m_recorder.reset();
}

void TestMainWindow::menus_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("mnuFile") << u"mnuFile"_s << u"文件(&F)"_s;
    QTest::newRow("mnuFileDatabase") << u"mnuFileDatabase"_s << u"数据库设置(&D)…"_s;
    QTest::newRow("mnuFileImport") << u"mnuFileImport"_s << u"导入(&I)…"_s;
    QTest::newRow("mnuFileExport") << u"mnuFileExport"_s << u"导出(&E)…"_s;
    QTest::newRow("mnuFileClose") << u"mnuFileClose"_s << u"关闭(&C)"_s;
    QTest::newRow("mnuView") << u"mnuView"_s << u"查看(&V)"_s;
    QTest::newRow("mnuViewClient") << u"mnuViewClient"_s << u"Kestrova(&C)"_s;
    QTest::newRow("mnuViewPlan") << u"mnuViewPlan"_s << u"工作计划(&P)"_s;
    QTest::newRow("gmm") << u"gmm"_s << u"改密码"_s;
    QTest::newRow("xgmm") << u"xgmm"_s << u"修改密码"_s;
}

void TestMainWindow::menus()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    MDIFrmMain main;
    QCOMPARE(main.windowTitle(), u"Kestrova"_s);
    if (auto *menu = main.findChild<QMenu *>(name))
        QCOMPARE(menu->title(), text);
    else
        QCOMPARE(action(&main, name)->text(), text);
}

void TestMainWindow::statusBar()
{
    MDIFrmMain main;
    main.show();
    QStatusBar *bar = main.findChild<QStatusBar *>(u"sbStatusBar"_s);
    QVERIFY(bar);
    const QList<QLabel *> panels = bar->findChildren<QLabel *>();
    QCOMPARE(panels.size(), 3);
    QCOMPARE(main.findChild<QLabel *>(u"panelText"_s)->text(), QString());
    const QString date = main.findChild<QLabel *>(u"panelDate"_s)->text();
    QVERIFY(date == platform::shortDate(QDate::currentDate()) ||
            date == platform::shortDate(QDate::currentDate().addDays(-1)));
    const QTime shown =
        QTime::fromString(main.findChild<QLabel *>(u"panelTime"_s)->text(), u"H:mm"_s);
    QVERIFY(shown.isValid());
}

void TestMainWindow::geometryFromSettings_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QRect>("geometry");
    // Twips, 15 to the pixel.
    QTest::newRow("defaults") << QStringList() << QRect(67, 67, 433, 433);
    QTest::newRow("stored") << QStringList{u"1500"_s, u"3000"_s, u"9000"_s, u"7500"_s}
                            << QRect(100, 200, 600, 500);
    QTest::newRow("not numbers use defaults")
        << QStringList{u"left"_s, u""_s, u"9000"_s, u"1e400"_s} << QRect(67, 67, 600, 433);
}

void TestMainWindow::geometryFromSettings()
{
    QFETCH(QStringList, stored);
    QFETCH(QRect, geometry);
    if (!stored.isEmpty())
        storeGeometry(stored[0], stored[1], stored[2], stored[3]);
    MDIFrmMain main;
    QCOMPARE(QRect(main.pos(), main.size()), geometry);
}

void TestMainWindow::geometrySavedOnExit()
{
    MDIFrmMain main;
    main.show();
    main.move(120, 90);
    main.resize(640, 480);
    QVERIFY(main.close());
    QCOMPARE(storedGeometry(), (QStringList{u"1800"_s, u"1350"_s, u"9600"_s, u"7200"_s}));
    MDIFrmMain again;
    QCOMPARE(QRect(again.pos(), again.size()), QRect(120, 90, 640, 480));
}

void TestMainWindow::geometryUntouchedWhileMinimised()
{
    storeGeometry(u"1500"_s, u"3000"_s, u"9000"_s, u"7500"_s);
    MDIFrmMain main;
    main.show();
    main.showMinimized();
    QVERIFY(main.isMinimized());
    QVERIFY(main.close());
    QCOMPARE(storedGeometry(), (QStringList{u"1500"_s, u"3000"_s, u"9000"_s, u"7500"_s}));
    QCOMPARE(m_recorder->texts(), QStringList{u"确定要退出吗？"_s});
}

void TestMainWindow::exitCancelLeavesWindows()
{
    m_database->addNamed({u"甲"_s, u"乙"_s});
    MDIFrmMain main;
    main.show();
    frmClient *clients = openClients(main);
    QVERIFY(clients);
    clients->SetViewMode(3);
    action(&main, u"xgmm"_s)->trigger();
    QVERIFY(main.passwordDialog()->isVisible());
    main.move(150, 60);

    m_recorder->answers = {QMessageBox::Cancel};
    QVERIFY(!main.close());
    QCOMPARE(m_recorder->messages.size(), 1);
    const platform::MessageRequest &question = m_recorder->messages.first();
    QCOMPARE(question.text, u"确定要退出吗？"_s);
    QCOMPARE(question.title, u"Kestrova"_s);
    QCOMPARE(question.icon, QMessageBox::Question);
    QCOMPARE(question.buttons, QMessageBox::Ok | QMessageBox::Cancel);

    // Every window stays as it was: the client window keeps its list and its mode.
    QVERIFY(main.isVisible());
    QCOMPARE(gfrmClient.data(), clients);
    QVERIFY(main.subWindowOf(clients)->isVisible());
    QCOMPARE(clients->lstvwClientInfo()->rowCount(), 2);
    QCOMPARE(clients->ViewMode(), 3);
    QVERIFY(main.passwordDialog()->isVisible());
    QCOMPARE(storedSetting(u"ViewMode"_s), u"<none>"_s);
    QCOMPARE(storedSetting(u"MainLeft"_s), u"2250"_s);
}

void TestMainWindow::exitOkClosesChildren()
{
    MDIFrmMain main;
    main.show();
    frmClient *clients = openClients(main);
    clients->SetViewMode(2);
    action(&main, u"xgmm"_s)->trigger();
    QPointer<Form1> password = main.passwordDialog();
    QVERIFY(main.close());
    QVERIFY(!main.isVisible());
    // The client window unloaded and stored its view mode; the dialog closed too.
    QCOMPARE(storedSetting(u"ViewMode"_s), u"2"_s);
    QVERIFY(!password || !password->isVisible());
    QTRY_VERIFY(main.mdiArea()->subWindowList().isEmpty());
}

void TestMainWindow::closeCommandAsks()
{
    MDIFrmMain main;
    main.show();
    m_recorder->answers = {QMessageBox::Cancel};
    action(&main, u"mnuFileClose"_s)->trigger();
    QVERIFY(main.isVisible());
    action(&main, u"mnuFileClose"_s)->trigger();
    QVERIFY(!main.isVisible());
    QCOMPARE(m_recorder->texts(), (QStringList{u"确定要退出吗？"_s, u"确定要退出吗？"_s}));
}

void TestMainWindow::clientWindowOnceAndFresh()
{
    m_database->addNamed({u"甲"_s, u"乙"_s, u"丙"_s});
    MDIFrmMain main;
    main.show();
    QVERIFY(main.mdiArea()->subWindowList().isEmpty());
    frmClient *first = openClients(main);
    QVERIFY(first);
    QCOMPARE(first->windowTitle(), u"Kestrova"_s);
    QCOMPARE(first->lstvwClientInfo()->rowCount(), 3);
    QCOMPARE(main.mdiArea()->activeSubWindow(), main.subWindowOf(first));

    // A second command brings the same window forward.
    QCOMPARE(openClients(main), first);
    QCOMPARE(main.mdiArea()->subWindowList().size(), 1);

    // Closed and reopened, the window is built afresh and shows the table as it is now.
    QPointer<frmClient> closed = first;
    main.subWindowOf(first)->close();
    m_database->addNamed({u"丁"_s});
    frmClient *second = openClients(main);
    QVERIFY(second);
    QVERIFY(second != closed.data() || !closed);
    QCOMPARE(second->lstvwClientInfo()->rowCount(), 4);
    QTRY_COMPARE(main.mdiArea()->subWindowList().size(), 1);
    QTRY_VERIFY(!closed);
    QVERIFY(m_recorder->messages.isEmpty());
}

void TestMainWindow::clientWindowNarrowestWidth()
{
    MDIFrmMain main;
    main.resize(900, 700);
    main.show();
    frmClient *window = openClients(main);
    QVERIFY(window);
    QMdiSubWindow *sub = main.subWindowOf(window);
    // Dragged narrower than 3000 twips, the window snaps back to 3000 (200 pixels).
    sub->resize(2000 / 15, 300);
    QCOMPARE(window->width(), 3000 / 15);
    // Wider than that, it takes the width it is given.
    sub->resize(500, 300);
    QVERIFY(window->width() > 3000 / 15);
    QCOMPARE(sub->width(), 500);
}

void TestMainWindow::planWindowThroughFactory()
{
    MDIFrmMain main;
    main.show();
    QAction *plan = action(&main, u"mnuViewPlan"_s);
    QVERIFY(!plan->isEnabled());
    plan->trigger();
    QVERIFY(main.mdiArea()->subWindowList().isEmpty());

    int built = 0;
    QStringList notices;
    setPlanWindowFactory([&built, &notices] {
        ++built;
        // The loading notice covers the building of the window.
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->objectName() == u"frmLoading"_s && window->isVisible())
                notices.append(window->findChild<QLabel *>(u"Label1"_s)->text());
        }
        return new FakePlanWindow;
    });
    main.findChild<QMenu *>(u"mnuView"_s)->aboutToShow();
    QVERIFY(plan->isEnabled());
    plan->trigger();
    plan->trigger();
    QCOMPARE(built, 1);
    QCOMPARE(notices, QStringList{u"正在读取数据请稍候......"_s});
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY(window->objectName() != u"frmLoading"_s || !window->isVisible());
    QVERIFY(gfrmPlan);
    QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
    main.subWindowOf(gfrmPlan)->close();
    plan->trigger();
    QCOMPARE(built, 2);
    QVERIFY(main.subWindowOf(gfrmPlan)->isVisible());
}

void TestMainWindow::passwordDialogOnce()
{
    MDIFrmMain main;
    main.show();
    action(&main, u"xgmm"_s)->trigger();
    Form1 *dialog = main.passwordDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    action(&main, u"xgmm"_s)->trigger();
    QCOMPARE(main.passwordDialog(), dialog);
    QCOMPARE(main.findChildren<Form1 *>().size(), 1);
}

void TestMainWindow::databaseSettings_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("fields"); // host, port, database, user; none for the file
    QTest::addColumn<QString>("saved");
    QTest::newRow("local file") << QString() << QStringList() << QString();
    QTest::newRow("server") << u"postgresql://kestrova@dbhost:5433/office"_s
                            << QStringList{u"dbhost"_s, u"5433"_s, u"office"_s, u"kestrova"_s}
                            << u"postgresql://kestrova@dbhost:5433/office"_s;
    QTest::newRow("default port, no user")
        << u"postgres://10.0.0.7/客户库"_s
        << QStringList{u"10.0.0.7"_s, u"5432"_s, u"客户库"_s, QString()}
        << u"postgresql://10.0.0.7:5432/客户库"_s;
    // A password someone wrote into the address is not kept.
    QTest::newRow("password dropped") << u"postgresql://anna:geheim@db/office"_s
                                      << QStringList{u"db"_s, u"5432"_s, u"office"_s, u"anna"_s}
                                      << u"postgresql://anna@db:5432/office"_s;
    // Another file than the program's own stays chosen.
    QTest::newRow("other file") << u"/srv/kunden/khdata.mdb"_s << QStringList()
                                << u"/srv/kunden/khdata.mdb"_s;
}

// The dialog shows the stored address in its fields and "确定" stores what the fields say.
void TestMainWindow::databaseSettings()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, fields);
    QFETCH(QString, saved);
    QSettings(u"Kestrova"_s, u"Kestrova"_s).setValue(u"Database/Url"_s, stored);
    MDIFrmMain main;
    ModalHandler<frmDatabase> settings([&](frmDatabase *dialog) {
        QCOMPARE(dialog->findChild<QRadioButton *>(u"optServer"_s)->isChecked(), !fields.isEmpty());
        if (!fields.isEmpty()) {
            QCOMPARE(dialog->findChild<QLineEdit *>(u"txtHost"_s)->text(), fields[0]);
            QCOMPARE(dialog->findChild<QSpinBox *>(u"txtPort"_s)->text(), fields[1]);
            QCOMPARE(dialog->findChild<QLineEdit *>(u"txtDatabase"_s)->text(), fields[2]);
            QCOMPARE(dialog->findChild<QLineEdit *>(u"txtUser"_s)->text(), fields[3]);
        }
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdOk"_s), Qt::LeftButton);
    });
    action(&main, u"mnuFileDatabase"_s)->trigger();
    QCOMPARE(settings.seen, 1);
    QCOMPARE(QSettings(u"Kestrova"_s, u"Kestrova"_s).value(u"Database/Url"_s).toString(), saved);
}

// "测试连接" opens the database for real: the local file works, a server nobody listens on is
// reported as unreachable.
void TestMainWindow::databaseTestConnection()
{
    frmDatabase dialog;
    auto *result = dialog.findChild<QLabel *>(u"lblTestResult"_s);
    auto *test = dialog.findChild<QPushButton *>(u"cmdTest"_s);
    QTest::mouseClick(test, Qt::LeftButton);
    QCOMPARE(result->text(), u"连接成功"_s);

    dialog.findChild<QRadioButton *>(u"optServer"_s)->setChecked(true);
    dialog.findChild<QLineEdit *>(u"txtHost"_s)->setText(u"127.0.0.1"_s);
    dialog.findChild<QSpinBox *>(u"txtPort"_s)->setValue(1);
    dialog.findChild<QLineEdit *>(u"txtDatabase"_s)->setText(u"office"_s);
    QTest::mouseClick(test, Qt::LeftButton);
    QVERIFY2(result->text().startsWith(u"连接失败：无法连接数据库服务器"_s),
             qPrintable(result->text()));
    // Nothing is stored until "确定".
    QVERIFY(!QSettings(u"Kestrova"_s, u"Kestrova"_s).contains(u"Database/Url"_s));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
