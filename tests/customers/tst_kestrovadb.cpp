#include "customerstest.h"

#include "customers/data/demodata.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>

using namespace Qt::StringLiterals;

class TestKestrovaDb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void createsEmptyTables();
    void createKeepsExistingRows();
    void demoRows();
    void ifEmptySeedsOnce();
    void sameSeedSameRows();
    void refusesBadArguments_data();
    void refusesBadArguments();
    void createRefusesForeignFile();
    void copyToServerAndBack();

private:
    int run(const QStringList &arguments, QByteArray *output = nullptr);
    QString m_tool;
};

void TestKestrovaDb::initTestCase()
{
    m_tool = QString::fromLocal8Bit(qgetenv("DIALVANE_KESTROVA_DB"));
    QVERIFY2(QFile::exists(m_tool), "DIALVANE_KESTROVA_DB names the tool");
}

int TestKestrovaDb::run(const QStringList &arguments, QByteArray *output)
{
    QProcess tool;
    tool.start(m_tool, arguments);
    if (!tool.waitForFinished(120000))
        return -1;
    if (output)
        *output = tool.readAllStandardOutput() + tool.readAllStandardError();
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

void TestKestrovaDb::createsEmptyTables()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"新建 文件夹/khdata.mdb"_s);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QCOMPARE(run({u"create"_s, path}), 0);
    RawDatabase raw(path);
    QCOMPARE(raw.column(u"SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT "
                        "LIKE 'sqlite%' ORDER BY name"_s),
             (QStringList{u"客户"_s, u"工作计划"_s}));
    QCOMPARE(raw.count(u"客户"_s), 0);
    QCOMPARE(raw.count(u"工作计划"_s), 0);
    QCOMPARE(raw.scalar(u"PRAGMA journal_mode"_s), u"wal"_s);
}

void TestKestrovaDb::createKeepsExistingRows()
{
    TestDatabaseFile file;
    {
        RawDatabase raw(file.path());
        QVERIFY(raw.addClients({u"已有客户"_s}));
    }
    QCOMPARE(run({u"create"_s, file.path()}), 0);
    RawDatabase raw(file.path());
    QCOMPARE(raw.column(u"SELECT \"客户名称\" FROM \"客户\""_s), QStringList{u"已有客户"_s});
}

void TestKestrovaDb::demoRows()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"khdata.mdb"_s);
    QByteArray output;
    QCOMPARE(run({u"demo"_s, path, u"30"_s, u"40"_s}, &output), 0);
    QCOMPARE(output, "30 clients and 40 plans added to " + path.toLocal8Bit() + '\n');
    RawDatabase raw(path);
    QCOMPARE(raw.count(u"客户"_s), 30);
    QCOMPARE(raw.count(u"工作计划"_s), 40);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    // Every client is whole and plausible.
    QCOMPARE(raw.scalar(u"SELECT count(*) FROM \"客户\" WHERE \"客户名称\" LIKE '%有限公司' AND "
                        "\"电话\" LIKE '0%-%' AND \"国家\" = '中国' AND \"审核标志\" IN (0, 1) "
                        "AND date(\"登记日期\") = \"登记日期\" AND \"登记日期\" <= ? AND "
                        "\"性质\" IN ('丢失的客户', '老客户', '潜在客户', '新客户', '新经销商')"_s,
                        {today}),
             u"30"_s);
    // Every plan names an existing client and has a reminder period around today.
    QCOMPARE(raw.scalar(u"SELECT count(*) FROM \"工作计划\" p WHERE EXISTS (SELECT 1 FROM "
                        "\"客户\" c WHERE CAST(c.\"编号\" AS TEXT) = p.\"客户编号\") AND "
                        "\"开始提醒\" <= \"结束提醒\" AND \"开始提醒\" >= date(?, '-7 days') AND "
                        "\"开始提醒\" <= date(?, '+7 days') AND \"需要提醒\" IN ('是', '否') AND "
                        "\"完成标志\" IN ('完成', '未完成') AND \"开始时间\" <= \"完成时间\""_s,
                        {today, today}),
             u"40"_s);
    QVERIFY(raw.scalar(u"SELECT count(*) FROM \"工作计划\" WHERE \"开始提醒\" <= ? AND "
                       "\"结束提醒\" >= ?"_s,
                       {today, today})
                .toInt() > 0);
}

void TestKestrovaDb::ifEmptySeedsOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"khdata.mdb"_s);
    QByteArray output;
    QCOMPARE(run({u"create"_s, path}), 0);
    QCOMPARE(run({u"demo"_s, path, u"5"_s, u"6"_s, u"--if-empty"_s}, &output), 0);
    QCOMPARE(output, "5 clients and 6 plans added to " + path.toLocal8Bit() + '\n');
    QCOMPARE(run({u"demo"_s, path, u"5"_s, u"6"_s, u"--if-empty"_s}, &output), 0);
    QCOMPARE(output, path.toLocal8Bit() + " already holds rows; nothing added\n");
    RawDatabase raw(path);
    QCOMPARE(raw.count(u"客户"_s), 5);
    QCOMPARE(raw.count(u"工作计划"_s), 6);
}

void TestKestrovaDb::sameSeedSameRows()
{
    QTemporaryDir dir;
    const QDate day(2024, 5, 6);
    QStringList dumps;
    for (const QString &name : {u"a.mdb"_s, u"b.mdb"_s}) {
        kestrova::DemoOptions options;
        options.clients = 20;
        options.plans = 20;
        options.today = day;
        QString error;
        QVERIFY2(kestrova::seedDemoData(dir.filePath(name), options, &error), qPrintable(error));
        RawDatabase raw(dir.filePath(name));
        dumps.append(
            raw.column(u"SELECT group_concat(\"客户名称\" || \"电话\" || \"登记日期\") "
                       "FROM \"客户\""_s)
                .join(QString()) +
            raw.column(u"SELECT group_concat(\"事项\" || \"开始提醒\") FROM \"工作计划\""_s)
                .join(QString()));
    }
    QCOMPARE(dumps[0], dumps[1]);
    QVERIFY(dumps[0].contains(u"有限公司"_s));
}

void TestKestrovaDb::refusesBadArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("nothing") << QStringList{} << 2;
    QTest::newRow("unknown command") << QStringList{u"drop"_s, u"x.mdb"_s} << 2;
    QTest::newRow("demo without counts") << QStringList{u"demo"_s, u"x.mdb"_s} << 2;
    QTest::newRow("unknown option")
        << QStringList{u"demo"_s, u"x.mdb"_s, u"1"_s, u"2"_s, u"--force"_s} << 2;
    QTest::newRow("negative count") << QStringList{u"demo"_s, u"x.mdb"_s, u"-1"_s, u"2"_s} << 2;
    QTest::newRow("count not a number")
        << QStringList{u"demo"_s, u"x.mdb"_s, u"many"_s, u"2"_s} << 2;
    QTest::newRow("folder missing") << QStringList{u"create"_s, u"/nonexistent/dir/x.mdb"_s} << 1;
}

void TestKestrovaDb::refusesBadArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QCOMPARE(run(arguments), exitCode);
    QVERIFY(!QFile::exists(dir.filePath(u"x.mdb"_s)));
}

void TestKestrovaDb::createRefusesForeignFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"other.db"_s);
    {
        RawDatabase other(path);
        QVERIFY(other.exec(u"CREATE TABLE \"客户\" (id INTEGER PRIMARY KEY, \"名字\" TEXT)"_s));
        QVERIFY(other.exec(u"INSERT INTO \"客户\" VALUES (1, '别人')"_s));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QByteArray output;
    QCOMPARE(run({u"create"_s, path}, &output), 1);
    QVERIFY2(QString::fromUtf8(output).contains(u"不是 Kestrova 的客户数据库"_s),
             output.constData());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"other.db"_s});
    QCOMPARE(run({u"check"_s, path}, &output), 1);
}

// The demo database moves to the server and back with every row and key as it was.
void TestKestrovaDb::copyToServerAndBack()
{
    QTemporaryDir dir;
    const QString demo = dir.filePath(u"demo.mdb"_s);
    const QString back = dir.filePath(u"back.mdb"_s);
    const QString server = serverDatabaseUrl();
    QCOMPARE(run({u"demo"_s, demo, u"60"_s, u"90"_s}), 0);
    {
        RawDatabase raw(demo); // gaps in the keys must survive too
        QVERIFY(raw.exec(u"DELETE FROM \"客户\" WHERE \"编号\" IN (3, 17)"_s));
    }
    QByteArray output;
    QCOMPARE(run({u"copy"_s, demo, server}, &output), 0);
    QVERIFY2(output.contains("148 / 148 rows"), output.constData());
    QCOMPARE(run({u"check"_s, server}, &output), 0);
    QVERIFY2(output.contains("客户: 58 rows\n工作计划: 90 rows\n"), output.constData());
    QCOMPARE(run({u"copy"_s, demo, server}, &output), 1); // the server holds rows now
    QVERIFY2(output.contains("--replace"), output.constData());
    QCOMPARE(run({u"copy"_s, demo, server, u"--replace"_s}), 0);
    QCOMPARE(run({u"copy"_s, server, back}), 0);

    // Every column of every row, as text, in key order.
    const auto dump = [](const QString &where, const QString &table) {
        const QStringList &captions =
            table == u"客户"_s ? kestrova::clientCaptions() : kestrova::planCaptions();
        QStringList rows;
        kestrova::clsDataBase db(where);
        if (!db.OpenDB(table))
            return QStringList{u"cannot open "_s + where};
        const int n = db.GetRecordCount();
        for (int i = 0; i < n; ++i) {
            QStringList cells;
            for (const QString &caption : captions)
                cells.append(db.GetRecord(caption));
            rows.append(cells.join(u'|'));
            db.MoveNext();
        }
        return rows;
    };
    for (const QString &table : {u"客户"_s, u"工作计划"_s}) {
        const QStringList original = dump(demo, table);
        QCOMPARE(original.size(), table == u"客户"_s ? 58 : 90);
        QCOMPARE(dump(server, table), original);
        QCOMPARE(dump(back, table), original);
    }
    // New rows on the server continue after the copied keys.
    kestrova::clsDataBase db(server);
    QVERIFY(db.OpenDB(u"客户"_s));
    db.AddNew();
    db.SetRecord(u"客户名称"_s, u"新客户"_s);
    db.Update();
    db.MoveLast();
    QCOMPARE(db.GetRecord(u"编号"_s), u"61"_s);
}

QTEST_GUILESS_MAIN(TestKestrovaDb)
#include "tst_kestrovadb.moc"
