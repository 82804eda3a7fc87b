#include "interchangetest.h"

#include "customers/interchange/jetfile.h"
#include "customers/interchange/olddatabase.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

using namespace interchangetest;
using namespace kestrova;

namespace {

QString sample(const QString &name)
{
    return qEnvironmentVariable("DIALVANE_SOURCE_DIR") + u"/../shared/jet-samples/"_qs + name;
}

QByteArray digest(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

// Table1 of the samples holds one column of each common type: text, text, byte, integer,
// long, double, date/time, currency, boolean.
const QString kTable1Map =
    u"A=客户名称,B=备注,C=电话,D=传真,E=邮件,F=网址,G=登记日期,H=税号,I=审核标志"_qs;
const QList<QStringList> kTable1Stored = {
    {u"a"_qs, u"b"_qs, u"0"_qs, u"0"_qs, u"0"_qs, u"0"_qs, u"1981-12-12"_qs, u"0"_qs, u"False"_qs},
    {u"abcdefg"_qs, u"hijklmnop"_qs, u"2"_qs, u"222"_qs, u"333333333"_qs, u"444.555"_qs,
     u"1974-9-21"_qs, u"3.5"_qs, u"True"_qs},
};
const QList<int> kTable1Columns = {ClientName,         ClientRemark,    ClientPhone,
                                   ClientFax,          ClientMail,      ClientURL,
                                   ClientRegisterDate, ClientTaxNumber, ClientAuditing};

} // namespace

class tst_JetImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void everyColumnTypeConverts_data();
    void everyColumnTypeConverts();
    void numericTypes();
    void unreadableFiles_data();
    void unreadableFiles();
    void oldDatabaseConversion();
    void toolImportsAndRefuses();

private:
    QTemporaryDir m_dir;
};

void tst_JetImport::everyColumnTypeConverts_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("version");
    QTest::newRow("Jet 3") << u"V1997-test.mdb"_qs << u"Jet 3"_qs;
    QTest::newRow("Jet 4 (2000)") << u"V2000-test.mdb"_qs << u"Jet 4"_qs;
    QTest::newRow("Jet 4 (2003)") << u"V2003-test.mdb"_qs << u"Jet 4"_qs;
    QTest::newRow("ACE") << u"V2010-test.accdb"_qs << u"ACE"_qs;
}

void tst_JetImport::everyColumnTypeConverts()
{
    QFETCH(QString, file);
    QFETCH(QString, version);
    interchange::JetFile jet;
    QString error;
    QVERIFY2(jet.open(sample(file), &error), qPrintable(error));
    QCOMPARE(jet.version(), version);
    // Jet 3 keeps text in an ANSI code page, read as the file names it (GBK when it names none).
    QCOMPARE(jet.jet3Codec().isEmpty(), version != u"Jet 3");
    QCOMPARE(jet.tables(), (QStringList{u"Table1"_qs, u"Table2"_qs, u"Table3"_qs, u"Table4"_qs}));

    const QString db = newDatabase(m_dir.path(), file + u".db"_qs);
    const Conversion result =
        importInto(db, sample(file), Target::Clients, kTable1Map, u"Table1"_qs);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.problems.size(), 0);
    // The files keep the two rows in different page orders; compare them by name.
    TableData stored = tableData(db, Target::Clients);
    QCOMPARE(stored.rows.size(), kTable1Stored.size());
    std::sort(
        stored.rows.begin(), stored.rows.end(),
        [](const QStringList &a, const QStringList &b) { return a[ClientName] < b[ClientName]; });
    for (qsizetype r = 0; r < stored.rows.size(); ++r) {
        for (qsizetype c = 0; c < kTable1Columns.size(); ++c)
            QCOMPARE(stored.rows[r][kTable1Columns[c]], kTable1Stored[r][c]);
    }
}

void tst_JetImport::numericTypes()
{
    const QString db = newDatabase(m_dir.path(), u"numeric.db"_qs);
    const Conversion result = importInto(
        db, sample(u"V2000-numeric.mdb"_qs), Target::Clients,
        u"col1=客户名称,col2=电话,col3=传真,col4=邮件,col5=网址,col6=税号,col7=审核标志"_qs);
    QCOMPARE(result.error, QString());
    const QStringList row = tableData(db, Target::Clients).rows.value(0);
    QCOMPARE(row.value(ClientName), u"some data"_qs);
    QCOMPARE(
        (QStringList{row.value(ClientPhone), row.value(ClientFax), row.value(ClientMail),
                     row.value(ClientURL), row.value(ClientTaxNumber), row.value(ClientAuditing)}),
        (QStringList{u"1"_qs, u"0"_qs, u"0"_qs, u"4"_qs, u"-1"_qs, u"True"_qs}));
}

void tst_JetImport::unreadableFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("keepBytes"); // cut the copy to this size; 0 keeps it whole
    QTest::addColumn<QString>("message");
    QTest::newRow("empty database") << u"V2003-empty.mdb"_qs << qint64(0) << u"里没有表"_qs;
    QTest::newRow("not a database") << u"LICENSE"_qs << qint64(0) << u"缺少列“客户名称”"_qs;
    QTest::newRow("text named .mdb") << u"README.md"_qs << qint64(0) << u"缺少列“客户名称”"_qs;
    QTest::newRow("cut mid-page") << u"V2003-test.mdb"_qs << qint64(100000) << u"不完整"_qs;
    QTest::newRow("cut at a page") << u"V2003-test.mdb"_qs << qint64(102400) << u"已损坏"_qs;
    QTest::newRow("Jet 3 cut mid-page") << u"V1997-test.mdb"_qs << qint64(5000) << u"不完整"_qs;
}

void tst_JetImport::unreadableFiles()
{
    QFETCH(QString, file);
    QFETCH(qint64, keepBytes);
    QFETCH(QString, message);
    QFile original(sample(file));
    QVERIFY(original.open(QIODevice::ReadOnly));
    QByteArray bytes = original.readAll();
    if (keepBytes > 0)
        bytes.truncate(keepBytes);
    const QString copy = m_dir.filePath(
        QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') + u".mdb"_qs);
    QFile out(copy);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    const QString db = newDatabase(m_dir.path(), QFileInfo(copy).fileName() + u".db"_qs);
    const Conversion result = importInto(db, copy, Target::Clients, {}, u"Table1"_qs);
    QVERIFY2(result.error.contains(message), qPrintable(result.error));
    QCOMPARE(tableData(db, Target::Clients).rows.size(), 0);
}

void tst_JetImport::oldDatabaseConversion()
{
    const QString db = m_dir.filePath(u"old/khdata.mdb"_qs);
    QVERIFY(QDir().mkpath(QFileInfo(db).path()));
    QVERIFY(QFile::copy(sample(u"V2003-test.mdb"_qs), db));
    const QByteArray before = digest(db);

    // Without 客户 or 工作计划 tables there is nothing to convert; the file stays as it was.
    QString error;
    QVERIFY(!interchange::convertOldDatabase(db, nullptr, &error));
    QVERIFY2(error.contains(u"客户"_qs), qPrintable(error));
    QCOMPARE(digest(db), before);
    QVERIFY(!QFile::exists(interchange::jetBackupPath(db)));
    QCOMPARE(QDir(QFileInfo(db).path()).entryList(QDir::Files), QStringList{u"khdata.mdb"_qs});

    interchange::OldDatabaseReport report;
    QVERIFY2(interchange::convertOldDatabase(db, &report, &error,
                                             {{Target::Clients, u"Table1"_qs, kTable1Map}}),
             qPrintable(error));
    QCOMPARE(report.clients, 2);
    QCOMPARE(digest(interchange::jetBackupPath(db)), before);
    QVERIFY(!interchange::JetFile::isJetFile(db));
    const TableData clients = tableData(db, Target::Clients);
    QCOMPARE(clients.rows.size(), 2);
    const QStringList &second =
        clients.rows[0][ClientName] == u"a" ? clients.rows[1] : clients.rows[0];
    QCOMPARE(second[ClientName], u"abcdefg"_qs);
    QCOMPARE(second[ClientRegisterDate], u"1974-9-21"_qs);
}

void tst_JetImport::toolImportsAndRefuses()
{
    const QString tool = qEnvironmentVariable("DIALVANE_KESTROVA_DB");
    const QString db = newDatabase(m_dir.path(), u"tool.db"_qs);
    QByteArray output;
    QCOMPARE(run(tool,
                 {u"import"_qs, db, sample(u"V2010-test.accdb"_qs), u"--table"_qs, u"Table1"_qs,
                  u"--into"_qs, u"客户"_qs, u"--map"_qs, kTable1Map},
                 &output),
             0);
    QCOMPARE(tableData(db, Target::Clients).rows.size(), 2);

    // One bad row: the reasons, a failure code and nothing written.
    const QString csv = m_dir.filePath(u"bad.csv"_qs);
    QFile file(csv);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("客户名称,登记日期\n甲,2024-3-5\n乙,2024-3-32\n");
    file.close();
    QCOMPARE(run(tool, {u"import"_qs, db, csv}, &output), 1);
    QVERIFY2(QString::fromUtf8(output).contains(u"第 3 行，列 登记日期，值“2024-3-32”"_qs),
             output.constData());
    QCOMPARE(tableData(db, Target::Clients).rows.size(), 2);

    // An Access file where the database should be: without a terminal to ask, declined.
    const QString old = m_dir.filePath(u"declined.mdb"_qs);
    QVERIFY(QFile::copy(sample(u"V1997-test.mdb"_qs), old));
    QCOMPARE(run(tool,
                 {u"export"_qs, old, u"clients"_qs, u"--format"_qs, u"csv"_qs,
                  m_dir.filePath(u"x.csv"_qs)},
                 &output),
             1);
    QCOMPARE(digest(old), digest(sample(u"V1997-test.mdb"_qs)));
    QVERIFY(!QFile::exists(interchange::jetBackupPath(old)));
}

QTEST_GUILESS_MAIN(tst_JetImport)
#include "tst_jetimport.moc"
