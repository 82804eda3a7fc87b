// The client and plan windows at one desk of several on a database server: another desk's
// change shows as a notice in the open window, and a server that goes away and comes back
// leaves the windows usable.

#include "tst_app_fixture.h"

#include "customers/app/frmclient.h"
#include "customers/plans/frmplan.h"
#include "customers/plans/monthcalendar.h"
#include "customers/shared/recordlistmodel.h"
#include "customers/shared/recordlistview.h"

#include <QLabel>
#include <QListWidget>
#include <QToolBar>

using namespace kestrova;
using namespace Qt::StringLiterals;

namespace {

constexpr int kArrival = 10000; // ms a notification may take

void press(QWidget *window, const QString &key)
{
    window->findChild<QToolBar *>(u"tbToolBar"_s)->findChild<QAction *>(key)->trigger();
}

QLabel *notice(QWidget *window)
{
    return window->findChild<QLabel *>(u"lblChangeNotice"_s);
}

QStringList column(const RecordListView *list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        texts.append(list->model()->text(row, column));
    return texts;
}

bool loaded(const frmClient &window)
{
    return QTest::qWaitFor([&window] { return !window.IsLoading(); }, 20000);
}

void addPlan(const RawDatabase &raw, const QString &item, QDate from, QDate to)
{
    QVERIFY(raw.exec(u"INSERT INTO \"工作计划\" (\"事项\", \"开始提醒\", \"结束提醒\") "
                     "VALUES (?, ?, ?)"_s,
                     {item, from, to}));
}

} // namespace

class TestWindowDesks : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void clientWindowHearsOtherDesk();
    void planWindowHearsOtherDesk();
    void lostServerLeavesWindowsUsable();

private:
    std::unique_ptr<AppRecorder> m_recorder;
    std::unique_ptr<AppDatabase> m_database;
};

void TestWindowDesks::init()
{
    QVERIFY(onServer());
    clearSettings();
    m_recorder = std::make_unique<AppRecorder>();
    m_database = std::make_unique<AppDatabase>();
}

void TestWindowDesks::cleanup()
{
    QCOMPARE(m_recorder->fatal, QStringList());
    m_database.reset();
    m_recorder.reset();
}

// A client another desk adds: the notice appears, the list waits for "刷新", which shows the
// client and clears the notice.
void TestWindowDesks::clientWindowHearsOtherDesk()
{
    m_database->addNamed({u"甲"_s});
    frmClient window;
    window.show();
    QVERIFY(loaded(window));
    QVERIFY(!notice(&window)->isVisible());

    m_database->addNamed({u"乙"_s});
    QTRY_VERIFY_WITH_TIMEOUT(notice(&window)->isVisible(), kArrival);
    QCOMPARE(notice(&window)->text(), u"其他用户修改了数据，按“刷新”查看"_s);
    QCOMPARE(column(window.lstvwClientInfo(), ClientName), QStringList{u"甲"_s});

    press(&window, u"刷新"_s);
    QVERIFY(loaded(window));
    QCOMPARE(column(window.lstvwClientInfo(), ClientName), (QStringList{u"甲"_s, u"乙"_s}));
    QVERIFY(!notice(&window)->isVisible());
    QCOMPARE(m_recorder->texts(), QStringList());
}

// A plan another desk adds for today: besides the notice, the today list and the calendar's
// bold days follow at once.
void TestWindowDesks::planWindowHearsOtherDesk()
{
    const QDate today = QDate::currentDate();
    frmPlan window(m_database->path());
    window.show();
    QVERIFY(!window.mvwPlan()->isBold(today));

    addPlan(m_database->raw, u"上门拜访"_s, today, today);
    QTRY_VERIFY_WITH_TIMEOUT(notice(&window)->isVisible(), kArrival);
    QTRY_COMPARE(window.lstDoToday()->count(), 1);
    QCOMPARE(window.lstDoToday()->item(0)->text(), u"上门拜访"_s);
    QVERIFY(window.mvwPlan()->isBold(today));
    QCOMPARE(window.lstvwPlanInfo()->rowCount(), 0);

    press(&window, u"刷新"_s);
    QCOMPARE(column(window.lstvwPlanInfo(), PlanItem), QStringList{u"上门拜访"_s});
    QVERIFY(!notice(&window)->isVisible());
    QCOMPARE(m_recorder->texts(), QStringList());
}

// The server stops: "刷新" tells the user the server cannot be reached and the windows stay; once
// it is back, the next "刷新" reconnects and lists the rows.
void TestWindowDesks::lostServerLeavesWindowsUsable()
{
    QVERIFY(privateCluster(u"start"_s));
    const QString url = privateClusterUrl();
    QVERIFY(!url.isEmpty());
    {
        RawDatabase raw(url);
        raw.exec(u"DROP TABLE IF EXISTS \"客户\", \"工作计划\""_s);
    }
    QVERIFY(createDatabase(DatabaseLocation::parse(url)));
    QVERIFY(RawDatabase(url).addClients({u"甲"_s, u"乙"_s}));
    setDataFilePath(url);

    frmClient clients;
    QVERIFY(loaded(clients));
    frmPlan plans(url);
    QCOMPARE(clients.lstvwClientInfo()->rowCount(), 2);
    QVERIFY(privateCluster(u"pause"_s));

    press(&clients, u"刷新"_s);
    QVERIFY(loaded(clients));
    press(&plans, u"刷新"_s);
    const QStringList told = m_recorder->texts();
    QCOMPARE(told.size(), 2);
    QVERIFY2(told[0].startsWith(u"客户列表无法刷新：无法连接数据库服务器"_s), qPrintable(told[0]));
    QVERIFY2(told[1].startsWith(u"计划列表无法刷新：无法连接数据库服务器"_s), qPrintable(told[1]));
    // The list stays as it was.
    QCOMPARE(column(clients.lstvwClientInfo(), ClientName), (QStringList{u"甲"_s, u"乙"_s}));

    QVERIFY(privateCluster(u"start"_s));
    m_recorder->messages.clear();
    press(&clients, u"刷新"_s);
    QVERIFY(loaded(clients));
    QCOMPARE(column(clients.lstvwClientInfo(), ClientName), (QStringList{u"甲"_s, u"乙"_s}));
    press(&plans, u"刷新"_s);
    QVERIFY(!plans.IsLoading());
    QCOMPARE(m_recorder->texts(), QStringList());
    setDataFilePath(m_database->path());
    QVERIFY(privateCluster(u"stop"_s));
}

QTEST_MAIN(TestWindowDesks)
#include "tst_windowdesks.moc"
