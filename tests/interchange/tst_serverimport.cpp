#include "interchangetest.h"

#include "../customers/customerstest.h"
#include "customers/data/demodata.h"

#include <QFile>
#include <QTemporaryDir>

using namespace interchangetest;

// Import and export against a database server: the same rows come back, keys kept when
// mapped, and a refused file leaves the server's tables as they were.
class tst_ServerImport : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
};

void tst_ServerImport::roundTrip()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"demo.mdb"_qs);
    kestrova::DemoOptions demo;
    demo.clients = 20;
    demo.plans = 30;
    QVERIFY(kestrova::seedDemoData(file, demo));
    const QString server = serverDatabaseUrl();
    QString error;
    QVERIFY2(kestrova::createDatabase(kestrova::DatabaseLocation::parse(server), &error),
             qPrintable(error));

    for (Target target : {Target::Clients, Target::Plans}) {
        const QString csv = dir.filePath(tableName(target) + u".csv"_qs);
        QVERIFY(exportTable(file, target, ExportFormat::Csv, {}, {}, csv, nullptr, &error));
        const Conversion result = importInto(server, csv, target, u"编号=编号"_qs);
        QCOMPARE(result.error, QString());
        QCOMPARE(tableData(server, target).rows, tableData(file, target).rows);
    }
    // Keys are kept, so the same file a second time is refused as a whole.
    const Conversion again =
        importInto(server, dir.filePath(u"客户.csv"_qs), Target::Clients, u"编号=编号"_qs);
    QCOMPARE(again.problems.size(), 20);
    QCOMPARE(again.problems[0].reason, u"数据库里已有这个编号"_qs);
    QCOMPARE(tableData(server, Target::Clients).rows.size(), 20);
    // A new row after the kept keys gets the next number.
    QFile more(dir.filePath(u"more.csv"_qs));
    QVERIFY(more.open(QIODevice::WriteOnly));
    more.write("客户名称\n新客户\n");
    more.close();
    QCOMPARE(importInto(server, more.fileName(), Target::Clients).error, QString());
    QCOMPARE(tableData(server, Target::Clients).rows.last().first(), u"21"_qs);
}

QTEST_GUILESS_MAIN(tst_ServerImport)
#include "tst_serverimport.moc"
