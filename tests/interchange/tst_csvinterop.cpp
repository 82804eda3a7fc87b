#include "interchangetest.h"

#include "customers/data/demodata.h"
#include "customers/interchange/csvformat.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

using namespace interchangetest;

// The rows a spreadsheet user would type, with what makes CSV hard: commas, quotes, a line
// break, Chinese text, dates in three ways.
struct Row
{
    QString name, phone, remark, date, audited;
    QString storedDate; // as the program then shows it
    QString storedAudited;
};

static const QList<Row> kRows = {
    {u"青岛\"宏达\",商贸"_qs, u"0532-5462393"_qs, u"第一行\n第二行"_qs, u"2024-3-5"_qs, u"是"_qs,
     u"2024-3-5"_qs, u"True"_qs},
    {u"成都永兴化工"_qs, u"028-1234"_qs, u"含,逗号"_qs, u"2024/03/05"_qs, u"否"_qs, u"2024-3-5"_qs,
     u"False"_qs},
    {u"吕 Lü 客户；€"_qs, QString(), u"引号\"在中间"_qs, u"2023年12月31日"_qs, QString(),
     u"2023-12-31"_qs, u"False"_qs},
};

class tst_CsvInterop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void spreadsheetCsvImports_data();
    void spreadsheetCsvImports();
    void exportSurvivesSpreadsheet();
    void readerDetects_data();
    void readerDetects();
    void badInputWritesNothing_data();
    void badInputWritesNothing();

private:
    QTemporaryDir m_dir;
};

void tst_CsvInterop::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString html = u"<html><head><meta charset=\"utf-8\"></head><body><table>"
                   "<tr><td>客户名称</td><td>电话</td><td>备注</td><td>登记日期</td>"
                   "<td>审核标志</td></tr>"_qs;
    for (const Row &row : kRows) {
        QString remark = row.remark.toHtmlEscaped();
        remark.replace(u"\n"_qs, u"<br>"_qs);
        html += u"<tr><td>"_qs + row.name.toHtmlEscaped() + u"</td><td>"_qs + row.phone +
                u"</td><td>"_qs + remark + u"</td><td>"_qs + row.date + u"</td><td>"_qs +
                row.audited + u"</td></tr>"_qs;
    }
    html += u"</table></body></html>"_qs;
    QFile file(m_dir.filePath(u"sheet.html"_qs));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(html.toUtf8());
}

void tst_CsvInterop::spreadsheetCsvImports_data()
{
    QTest::addColumn<QString>("charset");
    QTest::addColumn<int>("encoding");
    QTest::newRow("UTF-8") << u"76"_qs << int(TextEncoding::Utf8);
    QTest::newRow("GBK") << u"67"_qs << int(TextEncoding::Gbk);
}

void tst_CsvInterop::spreadsheetCsvImports()
{
    QFETCH(QString, charset);
    QFETCH(int, encoding);
    const QString out = m_dir.filePath(u"calc-"_qs + charset);
    QVERIFY(soffice(m_dir.path(),
                    {u"--infilter=HTML (StarCalc)"_qs, u"--convert-to"_qs,
                     u"csv:Text - txt - csv (StarCalc):44,34,"_qs + charset},
                    m_dir.filePath(u"sheet.html"_qs), out));
    QFile csv(out + u"/sheet.csv"_qs);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const CsvReadResult read = readCsv(csv.readAll());
    QCOMPARE(read.error, QString());
    QCOMPARE(int(read.encoding), encoding);
    QVERIFY(read.header);

    const QString db = newDatabase(m_dir.path(), u"calc-"_qs + charset + u".db"_qs);
    const Conversion result = importInto(db, csv.fileName(), Target::Clients);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.problems.size(), 0);
    const TableData stored = tableData(db, Target::Clients);
    QCOMPARE(stored.rows.size(), kRows.size());
    for (qsizetype i = 0; i < kRows.size(); ++i) {
        const QStringList &got = stored.rows[i];
        QCOMPARE(got[kestrova::ClientName], kRows[i].name);
        QCOMPARE(got[kestrova::ClientPhone], kRows[i].phone);
        QCOMPARE(got[kestrova::ClientRemark], kRows[i].remark);
        QCOMPARE(got[kestrova::ClientRegisterDate], kRows[i].storedDate);
        QCOMPARE(got[kestrova::ClientAuditing], kRows[i].storedAudited);
    }
}

void tst_CsvInterop::exportSurvivesSpreadsheet()
{
    // Our export, opened by Calc with every column as text and saved again, has the same cells.
    const QString db = m_dir.filePath(u"demo.db"_qs);
    kestrova::DemoOptions demo;
    demo.clients = 12;
    demo.plans = 0;
    QVERIFY(kestrova::seedDemoData(db, demo));
    const QString ours = m_dir.filePath(u"ours.csv"_qs);
    int written = 0;
    QString error;
    QVERIFY2(
        exportTable(db, Target::Clients, ExportFormat::Csv, QString(), {}, ours, &written, &error),
        qPrintable(error));
    QCOMPARE(written, 12);

    QStringList textColumns;
    for (int c = 1; c <= kestrova::ClientColumnCount; ++c)
        textColumns << QString::number(c) << u"2"_qs;
    const QString odsDir = m_dir.filePath(u"ods"_qs);
    QVERIFY(
        soffice(m_dir.path(),
                {u"--infilter=Text - txt - csv (StarCalc):44,34,76,1,"_qs + textColumns.join(u'/'),
                 u"--convert-to"_qs, u"ods"_qs},
                ours, odsDir));
    const QString backDir = m_dir.filePath(u"back"_qs);
    QVERIFY(soffice(m_dir.path(),
                    {u"--convert-to"_qs, u"csv:Text - txt - csv (StarCalc):44,34,76"_qs},
                    odsDir + u"/ours.ods"_qs, backDir));
    QFile a(ours), b(backDir + u"/ours.csv"_qs);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const SourceTable mine = readCsv(a.readAll()).table;
    const SourceTable theirs = readCsv(b.readAll()).table;
    QCOMPARE(theirs.headers, mine.headers);
    QCOMPARE(theirs.rows, mine.rows);
}

void tst_CsvInterop::readerDetects_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QStringList>("firstRow");

    const QString text = u"客户名称;电话\r\n\"甲;乙\";1\r\n丙;2\r\n"_qs;
    QTest::newRow("UTF-8 with BOM, semicolons")
        << QByteArray("\xEF\xBB\xBF" + text.toUtf8()) << int(TextEncoding::Utf8) << u";"_qs << true
        << QStringList{u"甲;乙"_qs, u"1"_qs};
    QStringEncoder gbk("GBK");
    QTest::newRow("GBK, semicolons") << QByteArray(gbk.encode(text)) << int(TextEncoding::Gbk)
                                     << u";"_qs << true << QStringList{u"甲;乙"_qs, u"1"_qs};
    QTest::newRow("no header, tabs")
        << u"张三\t2024-3-5\n李四\t2024-3-6\n"_qs.toUtf8() << int(TextEncoding::Utf8) << u"\t"_qs
        << false << QStringList{u"张三"_qs, u"2024-3-5"_qs};
    QTest::newRow("header of other names over data")
        << "name,born\nAnn,2001-2-3\n"_qba << int(TextEncoding::Utf8) << u","_qs << true
        << QStringList{u"Ann"_qs, u"2001-2-3"_qs};
}

void tst_CsvInterop::readerDetects()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QString, separator);
    QFETCH(bool, header);
    QFETCH(QStringList, firstRow);
    const CsvReadResult read = readCsv(bytes);
    QCOMPARE(read.error, QString());
    QCOMPARE(int(read.encoding), encoding);
    QCOMPARE(QString(read.separator), separator);
    QCOMPARE(read.header, header);
    QVERIFY(!read.table.rows.isEmpty());
    QCOMPARE(read.table.rows.first(), firstRow);
}

void tst_CsvInterop::badInputWritesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message"); // part of the file's error or of a row's reason

    const QByteArray good = "客户名称,登记日期\n好客户,2024-3-5\n"_qba;
    QTest::newRow("wrong date") << QByteArray(good + "坏日期,2024-2-30\n") << u"不是日期"_qs;
    QTest::newRow("over-long field")
        << QByteArray(good + QString(300, u'长').toUtf8() + ",2024-3-5\n") << u"太长"_qs;
    QTest::newRow("missing column") << "名字,登记日期\n甲,2024-3-5\n"_qba << u"缺少列“客户名称”"_qs;
    QTest::newRow("binary file") << QByteArray("PK\x03\x04\x00\x01\xff\xfe", 8)
                                 << u"不是文本文件"_qs;
    QTest::newRow("quote never ends")
        << QByteArray(good + "\"没有结束,2024-3-5\n") << u"引号没有结束"_qs;
    QTest::newRow("empty name") << QByteArray(good + ",2024-3-5\n") << u"不能为空"_qs;
}

void tst_CsvInterop::badInputWritesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString db = newDatabase(
        m_dir.path(), QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') + u".db"_qs);
    const QString file = db + u".csv"_qs;
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    const Conversion result = importInto(db, file, Target::Clients);
    QStringList reasons = {result.error};
    for (const Problem &p : result.problems)
        reasons << p.reason;
    QVERIFY2(reasons.join(u'|').contains(message), qPrintable(reasons.join(u'|')));
    QCOMPARE(tableData(db, Target::Clients).rows.size(), 0);
}

QTEST_GUILESS_MAIN(tst_CsvInterop)
#include "tst_csvinterop.moc"
