#include "customerstest.h"

#include "customers/data/changenotifier.h"

#include <QSignalSpy>

using kestrova::ChangeNotifier;
using kestrova::clsDataBase;
using kestrova::DatabaseLocation;
using kestrova::DataError;
using namespace Qt::StringLiterals;

namespace {

const QString kClients = u"客户"_s;
const QString kName = u"客户名称"_s;

} // namespace

// Several desks on one database server.
class TestServerDesks : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_file = std::make_unique<TestDatabaseFile>(); }
    void cleanup() { m_file.reset(); }

    void otherDesksWritesArrive_data();
    void otherDesksWritesArrive();
    void ownWritesAreNotAnnounced();
    void lostServerMidEdit();

private:
    std::unique_ptr<TestDatabaseFile> m_file;
};

void TestServerDesks::otherDesksWritesArrive_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("table");

    QTest::newRow("client added") << u"INSERT INTO \"客户\" (\"客户名称\") VALUES ('新')"_s
                                  << kClients;
    QTest::newRow("client changed") << u"UPDATE \"客户\" SET \"电话\" = '1'"_s << kClients;
    QTest::newRow("client deleted") << u"DELETE FROM \"客户\""_s << kClients;
    QTest::newRow("plan added")
        << u"INSERT INTO \"工作计划\" (\"事项\", \"开始提醒\") VALUES ('拜访', '2024-05-06')"_s
        << u"工作计划"_s;
}

void TestServerDesks::otherDesksWritesArrive()
{
    QFETCH(QString, statement);
    QFETCH(QString, table);
    RawDatabase otherDesk(m_file->path());
    QVERIFY(otherDesk.addClients({u"甲"_s}));
    ChangeNotifier notifier(DatabaseLocation::parse(m_file->path()));
    QVERIFY(notifier.isListening());
    QSignalSpy changes(&notifier, &ChangeNotifier::externalChange);
    QVERIFY(otherDesk.exec(statement));
    QVERIFY(changes.wait(10000));
    QCOMPARE(changes.takeFirst().at(0).toString(), table);
}

void TestServerDesks::ownWritesAreNotAnnounced()
{
    ChangeNotifier notifier(DatabaseLocation::parse(m_file->path()));
    QSignalSpy changes(&notifier, &ChangeNotifier::externalChange);
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    db.AddNew();
    db.SetRecord(kName, u"本机"_s);
    db.Update();
    // A write of another desk after it is the first thing that arrives.
    RawDatabase otherDesk(m_file->path());
    QVERIFY(otherDesk.exec(u"DELETE FROM \"工作计划\""_s));
    QVERIFY(changes.wait(10000));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0).at(0).toString(), u"工作计划"_s);
}

void TestServerDesks::lostServerMidEdit()
{
    QVERIFY(privateCluster(u"start"_s));
    const QString url = privateClusterUrl();
    QVERIFY(!url.isEmpty());
    {
        RawDatabase raw(url);
        raw.exec(u"DROP TABLE IF EXISTS \"客户\", \"工作计划\""_s);
    }
    QVERIFY(kestrova::createDatabase(DatabaseLocation::parse(url)));
    RawDatabase(url).addClients({u"甲"_s, u"乙"_s});

    FailedReadGuard guard;
    clsDataBase db(url);
    QVERIFY(db.OpenDB(kClients));
    db.Move(2);
    db.SetRecord(kName, u"乙改"_s);
    db.SetRecord(u"电话"_s, u"0571-1"_s);
    QVERIFY(privateCluster(u"pause"_s));

    try {
        db.Update();
        QFAIL("a commit to a stopped server succeeded");
    } catch (const DataError &error) {
        QCOMPARE(error.kind(), DataError::ConnectionLost);
        QVERIFY2(error.text().startsWith(u"无法连接数据库服务器"_s), qPrintable(error.text()));
    }
    QCOMPARE(db.CurrentEditMode(), clsDataBase::EditInProgress); // nothing lost, nothing written
    QVERIFY_THROWS_EXCEPTION(DataError, db.MoveFirst());         // still away
    QCOMPARE(db.ErrorKind(), DataError::ConnectionLost);
    QCOMPARE(guard.messages, QStringList()); // no "database damaged", no end of the program

    QVERIFY(privateCluster(u"start"_s));
    db.Update(); // the next command reconnects and commits the whole row
    QCOMPARE(db.GetRecordCount(), 2);
    db.Move(2);
    QCOMPARE(db.GetRecord(kName), u"乙改"_s);
    QCOMPARE(RawDatabase(url).column(u"SELECT \"客户名称\" || coalesce(\"电话\", '') FROM \"客户\" "
                                     "ORDER BY 1"_s),
             (QStringList{u"乙改0571-1"_s, u"甲"_s}));
    QCOMPARE(guard.messages, QStringList());
    QVERIFY(privateCluster(u"stop"_s));
}

QTEST_GUILESS_MAIN(TestServerDesks)
#include "tst_serverdesks.moc"
