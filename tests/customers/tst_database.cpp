#include "customerstest.h"

#include "customers/data/clsdatabase.h"
#include "platform/messagebox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <functional>
#include <memory>

using kestrova::clsDataBase;
using kestrova::DataError;
using namespace Qt::StringLiterals;

namespace {

const QString kClients = u"客户"_s;
const QString kPlans = u"工作计划"_s;
const QString kName = u"客户名称"_s;

// The names of every row the cursor shows, read the way the list windows read them.
QStringList names(clsDataBase &db, const QString &column = kName)
{
    QStringList result;
    const int n = db.GetRecordCount();
    for (int i = 0; i < n; ++i) {
        result.append(db.GetRecord(column));
        db.MoveNext();
    }
    return result;
}

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaultPathIsProgramFolder();
    void openFails_data();
    void openFails();
    void closeDB();
    void emptyTable();
    void moveNextVisitsEachRowOnceThenStays();
    void move_data();
    void move();
    void movePreviousStopsAtFirst();
    void readsValuesAsText_data();
    void readsValuesAsText();
    void failedReadEndsProgram_data();
    void failedReadEndsProgram();
    void writesWithConversion_data();
    void writesWithConversion();
    void refusedColumnLeavesRestOfRow();
    void addNewThenUpdate();
    void cancelUpdate();
    void moveCommitsPendingEdit();
    void deleteRows();
    void filterField_data();
    void filterField();
    void refusedFilterFieldKeepsPreviousFilter_data();
    void refusedFilterFieldKeepsPreviousFilter();
    void filterString_data();
    void filterString();
    void malformedFilterStringThrows_data();
    void malformedFilterStringThrows();
    void cancelFilterShowsAllRows();
    void thousandsOfOrClauses();
    void beyond32767Rows();
    void secondInstanceSeesCommittedRows();
    void concurrentEditIsRefused();
    void deleteUnderAnEditor();
    void newKeysOfTwoDesksNeverCollide();
    void foreignDatabaseIsLeftUntouched_data();
    void foreignDatabaseIsLeftUntouched();
    void readRowsReportsProgress();
    void positionsAndKeys();
    void killedWriterLeavesWholeRows();

private:
    std::unique_ptr<TestDatabaseFile> m_file;
    std::unique_ptr<RawDatabase> m_raw;
    QList<platform::MessageRequest> m_messages;
    QStringList m_fatal;
};

void TestDatabase::init()
{
    m_file = std::make_unique<TestDatabaseFile>();
    m_raw = std::make_unique<RawDatabase>(m_file->path());
    m_messages.clear();
    m_fatal.clear();
    platform::setMessagePresenter([this](const platform::MessageRequest &request) {
        m_messages.append(request);
        return QMessageBox::Ok;
    });
    clsDataBase::setFatalHandler([this](const QString &message) { m_fatal.append(message); });
}

void TestDatabase::cleanup()
{
    platform::setMessagePresenter({});
    clsDataBase::setFatalHandler({});
    QVERIFY2(m_fatal.isEmpty() || QTest::currentTestFunction() == "failedReadEndsProgram"_L1,
             "an unexpected failed read");
    m_raw.reset();
    m_file.reset();
}

void TestDatabase::defaultPathIsProgramFolder()
{
    clsDataBase db;
    QCOMPARE(db.DataPath(), QCoreApplication::applicationDirPath() + u"/khdata.mdb"_s);
    QVERIFY(!db.IsOpened());
}

void TestDatabase::openFails_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content"); // written to the file first unless empty
    QTest::addColumn<QString>("table");

    QTest::newRow("missing file") << u"missing.mdb"_s << QByteArray() << kClients;
    QTest::newRow("not a database")
        << u"junk.mdb"_s << QByteArray("Standard Jet DB\0\0 not sqlite", 28) << kClients;
    QTest::newRow("missing table") << QString() << QByteArray() << u"订单"_s;
    QTest::newRow("hostile table name")
        << QString() << QByteArray() << u"客户\"; DROP TABLE \"客户"_s;
}

void TestDatabase::openFails()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, table);

    QString path = m_file->path();
    if (!file.isEmpty() && onServer()) {
        // The server's counterpart of a missing or unreadable file: no such database.
        path = kestrova::DatabaseLocation::server(kestrova::DatabaseLocation::parse(path).host(), 0,
                                                  u"no_such_db"_s,
                                                  kestrova::DatabaseLocation::parse(path).user())
                   .toString();
        file.clear();
        content.clear();
    } else if (!file.isEmpty()) {
        path = QDir(m_file->folder()).filePath(file);
        if (!content.isEmpty()) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(content);
        }
    }
    clsDataBase db(path);
    QVERIFY(!db.OpenDB(table));
    QVERIFY(!db.IsOpened());
    QVERIFY(!db.Error().text().isEmpty());
    QVERIFY(!db.IsEOF());
    QVERIFY(!db.IsBOF());
    if (!onServer())
        QCOMPARE(QFile::exists(path), !content.isEmpty() || file.isEmpty());
    QCOMPARE(m_raw->count(kClients), 0); // the table survives the hostile name
    QVERIFY(m_messages.isEmpty());
}

void TestDatabase::closeDB()
{
    QVERIFY(m_raw->addClients({u"甲"_s}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    QVERIFY(db.IsOpened());
    db.CloseDB();
    QVERIFY(!db.IsOpened());
    QVERIFY_THROWS_EXCEPTION(DataError, db.MoveNext());
    QVERIFY_THROWS_EXCEPTION(DataError, db.GetRecordCount());
    QVERIFY(db.OpenDB(kClients));
    QCOMPARE(db.GetRecord(kName), u"甲"_s);
}

void TestDatabase::emptyTable()
{
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    QCOMPARE(db.GetRecordCount(), 0);
    QVERIFY(db.IsEOF());
    QVERIFY(db.IsBOF());
    db.MoveFirst();
    db.MoveLast();
    db.Delete();
    db.MoveNext();
    QVERIFY(db.IsEOF());
    db.MovePrevious();
    QVERIFY(db.IsBOF());
    db.Move(3);
    QVERIFY(db.IsEOF());
    QCOMPARE(db.AbsolutePosition(), 0);
    QCOMPARE(m_raw->count(kClients), 0);
}

void TestDatabase::moveNextVisitsEachRowOnceThenStays()
{
    const QStringList rows = {u"华夏"_s, u"东方"_s, u"金桥"_s, u"远大"_s, u"新华"_s};
    QVERIFY(m_raw->addClients(rows));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    db.Move(3);
    QCOMPARE(names(db), rows); // GetRecordCount went back to the first row
    QCOMPARE(db.GetRecord(kName), u"新华"_s);
    db.MoveNext();
    QCOMPARE(db.GetRecord(kName), u"新华"_s);
    QVERIFY(!db.IsEOF());
    QCOMPARE(db.AbsolutePosition(), 5);
}

void TestDatabase::move_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");

    // The cursor stands on row 2 before the move.
    QTest::newRow("zero does nothing") << 0 << u"行2"_s;
    QTest::newRow("negative does nothing") << -3 << u"行2"_s;
    QTest::newRow("first") << 1 << u"行1"_s;
    QTest::newRow("middle") << 4 << u"行4"_s;
    QTest::newRow("last") << 6 << u"行6"_s;
    QTest::newRow("one past the end lands on the last") << 7 << u"行6"_s;
    QTest::newRow("far past the end lands on the last") << 100000 << u"行6"_s;
}

void TestDatabase::move()
{
    QFETCH(int, position);
    QFETCH(QString, expected);
    QVERIFY(m_raw->addClients({u"行1"_s, u"行2"_s, u"行3"_s, u"行4"_s, u"行5"_s, u"行6"_s}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    db.MoveNext();
    db.Move(position);
    QCOMPARE(db.GetRecord(kName), expected);
    QVERIFY(!db.IsEOF());
    QVERIFY(!db.IsBOF());
}

void TestDatabase::movePreviousStopsAtFirst()
{
    QVERIFY(m_raw->addClients({u"一"_s, u"二"_s, u"三"_s}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    db.MoveLast();
    db.MovePrevious();
    QCOMPARE(db.GetRecord(kName), u"二"_s);
    db.MovePrevious();
    db.MovePrevious();
    db.MovePrevious();
    QCOMPARE(db.GetRecord(kName), u"一"_s);
    QVERIFY(!db.IsBOF());
}

void TestDatabase::readsValuesAsText_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("expected");

    QTest::newRow("null text") << kName << QVariant() << QString();
    QTest::newRow("empty text") << kName << QVariant(u""_s) << QString();
    QTest::newRow("two leading blanks removed") << kName << QVariant(u"  华信"_s) << u"华信"_s;
    QTest::newRow("trailing blanks kept") << kName << QVariant(u"华信  "_s) << u"华信  "_s;
    QTest::newRow("leading tab kept") << kName << QVariant(u"\t华信"_s) << u"\t华信"_s;
    QTest::newRow("only blanks") << kName << QVariant(u"   "_s) << QString();
    QTest::newRow("date") << u"登记日期"_s << QVariant(u"2024-05-06"_s) << u"2024-5-6"_s;
    QTest::newRow("date two-digit month")
        << u"登记日期"_s << QVariant(u"2024-10-01"_s) << u"2024-10-1"_s;
    QTest::newRow("null date") << u"登记日期"_s << QVariant() << QString();
    QTest::newRow("boolean true") << u"审核标志"_s << QVariant(1) << u"True"_s;
    QTest::newRow("boolean false") << u"审核标志"_s << QVariant(0) << u"False"_s;
    if (!onServer()) // a server's boolean column holds no -1
        QTest::newRow("boolean stored as -1") << u"审核标志"_s << QVariant(-1) << u"True"_s;
    QTest::newRow("null boolean") << u"审核标志"_s << QVariant() << QString();
    QTest::newRow("multi-line text")
        << u"概况"_s << QVariant(u"第一行\r\n第二行"_s) << u"第一行\r\n第二行"_s;
}

void TestDatabase::readsValuesAsText()
{
    QFETCH(QString, column);
    QFETCH(QVariant, stored);
    QFETCH(QString, expected);
    QVERIFY(m_raw->exec(u"INSERT INTO \"客户\" (\"编号\") VALUES (41)"_s));
    QVERIFY(m_raw->exec(u"UPDATE \"客户\" SET \"%1\" = ?"_s.arg(column), {stored}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    QCOMPARE(db.GetRecord(column), expected);
    QCOMPARE(db.GetRecord(u"编号"_s), u"41"_s);
    QCOMPARE(db.GetRecordAt(db.ColumnIndex(column)), expected);
    QCOMPARE(db.RowTexts(1).at(db.ColumnIndex(column)), expected);
}

void TestDatabase::failedReadEndsProgram_data()
{
    QTest::addColumn<QString>("situation");
    QTest::newRow("unknown column") << u"unknown column"_s;
    QTest::newRow("closed cursor") << u"closed"_s;
    QTest::newRow("never opened") << u"never opened"_s;
    QTest::newRow("empty table") << u"empty"_s;
    QTest::newRow("table dropped under the cursor") << u"dropped"_s;
}

void TestDatabase::failedReadEndsProgram()
{
    QFETCH(QString, situation);
    if (situation != u"empty")
        QVERIFY(m_raw->addClients({u"甲"_s}));
    clsDataBase db(m_file->path());
    if (situation != u"never opened")
        QVERIFY(db.OpenDB(kClients));
    if (situation == u"closed")
        db.CloseDB();
    if (situation == u"dropped")
        QVERIFY(m_raw->exec(u"DROP TABLE \"客户\""_s));

    const QString value = db.GetRecord(situation == u"unknown column" ? u"客户名"_s : kName);
    QCOMPARE(value, QString());
    QCOMPARE(m_fatal, QStringList{u"数据库已破坏，请修复后使用"_s});
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].text, u"数据库已破坏，请修复后使用"_s);
    QCOMPARE(m_messages[0].title, u"Kestrova"_s);
    QCOMPARE(m_messages[0].icon, QMessageBox::Warning);
    QCOMPARE(m_messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestDatabase::writesWithConversion_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected"); // as read back after Update
    QTest::addColumn<QString>("stored");   // as the file holds it

    // The row starts as 客户名称 旧, 登记日期 2020-01-02, 审核标志 True.
    QTest::newRow("text") << kName << QVariant(u"华信"_s) << u"华信"_s << u"华信"_s;
    QTest::newRow("text with quotes")
        << kName << QVariant(u"O'Neil \"NZ\""_s) << u"O'Neil \"NZ\""_s << u"O'Neil \"NZ\""_s;
    QTest::newRow("empty text") << kName << QVariant(u""_s) << QString() << QString();
    QTest::newRow("short date") << u"登记日期"_s << QVariant(u"2024-5-6"_s) << u"2024-5-6"_s
                                << u"2024-05-06"_s;
    QTest::newRow("slash date") << u"登记日期"_s << QVariant(u"2024/12/31"_s) << u"2024-12-31"_s
                                << u"2024-12-31"_s;
    QTest::newRow("QDate") << u"登记日期"_s << QVariant(QDate(2023, 2, 28)) << u"2023-2-28"_s
                           << u"2023-02-28"_s;
    QTest::newRow("empty date clears")
        << u"登记日期"_s << QVariant(u""_s) << QString() << QString();
    QTest::newRow("no date refused")
        << u"登记日期"_s << QVariant(u"明天"_s) << u"2020-1-2"_s << u"2020-01-02"_s;
    QTest::newRow("impossible date refused")
        << u"登记日期"_s << QVariant(u"2023-2-29"_s) << u"2020-1-2"_s << u"2020-01-02"_s;
    QTest::newRow("boolean word") << u"审核标志"_s << QVariant(u"false"_s) << u"False"_s << u"0"_s;
    QTest::newRow("boolean -1") << u"审核标志"_s << QVariant(u"-1"_s) << u"True"_s << u"1"_s;
    QTest::newRow("boolean 0") << u"审核标志"_s << QVariant(u"0"_s) << u"False"_s << u"0"_s;
    QTest::newRow("bool value") << u"审核标志"_s << QVariant(false) << u"False"_s << u"0"_s;
    QTest::newRow("no boolean refused")
        << u"审核标志"_s << QVariant(u"已审核"_s) << u"True"_s << u"1"_s;
    QTest::newRow("empty boolean refused")
        << u"审核标志"_s << QVariant(u""_s) << u"True"_s << u"1"_s;
    QTest::newRow("key refused") << u"编号"_s << QVariant(u"999"_s) << u"7"_s << u"7"_s;
}

void TestDatabase::writesWithConversion()
{
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QFETCH(QString, stored);
    QVERIFY(m_raw->addClient(
        {{u"编号"_s, 7}, {kName, u"旧"_s}, {u"登记日期"_s, u"2020-01-02"_s}, {u"审核标志"_s, 1}}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    db.SetRecord(column, value);
    db.Update();
    QCOMPARE(db.GetRecord(column), expected);
    QCOMPARE(m_raw->scalar(u"SELECT \"%1\" FROM \"客户\""_s.arg(column)), stored);
    QCOMPARE(m_raw->count(kClients), 1);
}

void TestDatabase::refusedColumnLeavesRestOfRow()
{
    QVERIFY(m_raw->addClient({{u"编号"_s, 3}, {kName, u"旧"_s}, {u"电话"_s, u"0571-1"_s}}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    // The order of the record conversions: the key first, refused, then the others.
    db.SetRecord(u"编号"_s, u"12"_s);
    db.SetRecord(kName, u"新名称"_s);
    db.SetRecord(u"不存在的列"_s, u"x"_s);
    db.SetRecord(u"登记日期"_s, u"not a date"_s);
    db.SetRecord(u"电话"_s, u"0571-88888888"_s);
    db.Update();
    QCOMPARE(m_raw->column(u"SELECT \"编号\" || '|' || \"客户名称\" || '|' || \"电话\" || '|' || "
                           "coalesce(CAST(\"登记日期\" AS TEXT), 'null') FROM \"客户\""_s),
             QStringList{u"3|新名称|0571-88888888|null"_s});
}

void TestDatabase::addNewThenUpdate()
{
    QVERIFY(m_raw->addClients({u"甲"_s, u"乙"_s}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    db.MoveLast();
    db.AddNew();
    QCOMPARE(db.CurrentEditMode(), clsDataBase::EditAdd);
    QVERIFY(!db.IsEOF());
    QCOMPARE(db.GetRecord(kName), QString()); // the new row reads empty until assigned
    db.SetRecord(kName, u"丙"_s);
    db.SetRecord(u"登记日期"_s, u"2024-5-6"_s);
    db.SetRecord(u"审核标志"_s, u"False"_s);
    QCOMPARE(db.GetRecord(kName), u"丙"_s);
    QCOMPARE(m_raw->count(kClients), 2); // nothing written before Update
    db.Update();
    QCOMPARE(db.CurrentEditMode(), clsDataBase::EditNone);
    QCOMPARE(db.AbsolutePosition(), 1);
    QCOMPARE(db.GetRecord(kName), u"甲"_s);
    QCOMPARE(names(db), (QStringList{u"甲"_s, u"乙"_s, u"丙"_s}));
    db.MoveLast();
    QCOMPARE(db.GetRecord(u"编号"_s), u"3"_s);
    QCOMPARE(db.GetRecord(u"登记日期"_s), u"2024-5-6"_s);
    QCOMPARE(db.GetRecord(u"审核标志"_s), u"False"_s);

    // Every new row gets its own number, also after the last row was deleted.
    db.Delete();
    db.AddNew();
    db.SetRecord(kName, u"丁"_s);
    db.Update();
    QCOMPARE(m_raw->column(u"SELECT \"编号\" FROM \"客户\" ORDER BY 1"_s),
             (QStringList{u"1"_s, u"2"_s, u"4"_s}));
}

void TestDatabase::cancelUpdate()
{
    QVERIFY(m_raw->addClients({u"甲"_s, u"乙"_s, u"丙"_s}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    db.Move(2);
    db.AddNew();
    db.SetRecord(kName, u"不要"_s);
    db.CancelUpdate();
    QCOMPARE(db.GetRecord(kName), u"乙"_s);
    QCOMPARE(m_raw->count(kClients), 3);

    db.SetRecord(kName, u"改了"_s);
    QCOMPARE(db.CurrentEditMode(), clsDataBase::EditInProgress);
    QCOMPARE(db.GetRecord(kName), u"改了"_s);
    db.CancelUpdate();
    QCOMPARE(db.GetRecord(kName), u"乙"_s);
    db.Update();
    QCOMPARE(m_raw->column(u"SELECT \"客户名称\" FROM \"客户\""_s),
             (QStringList{u"甲"_s, u"乙"_s, u"丙"_s}));
    db.CancelUpdate(); // nothing pending: nothing happens
    QCOMPARE(db.GetRecord(kName), u"甲"_s);
}

void TestDatabase::moveCommitsPendingEdit()
{
    QVERIFY(m_raw->addClients({u"甲"_s, u"乙"_s, u"丙"_s}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    db.Move(2);
    db.SetRecord(kName, u"乙二"_s);
    db.MoveNext();
    QCOMPARE(db.GetRecord(kName), u"丙"_s);
    QCOMPARE(m_raw->scalar(u"SELECT \"客户名称\" FROM \"客户\" WHERE \"编号\" = 2"_s), u"乙二"_s);

    // A new row nothing was assigned to is dropped, not written as an empty row.
    db.AddNew();
    db.MoveFirst();
    QCOMPARE(m_raw->count(kClients), 3);
    db.AddNew();
    db.SetRecord(kName, u"丁"_s);
    db.MoveFirst();
    QCOMPARE(m_raw->count(kClients), 4);
    QCOMPARE(db.GetRecordCount(), 4);
}

void TestDatabase::deleteRows()
{
    QVERIFY(m_raw->addClients({u"一"_s, u"二"_s, u"三"_s, u"四"_s, u"五"_s}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    db.Move(3);
    db.Delete();
    QCOMPARE(db.GetRecord(kName), u"四"_s); // the row that followed
    QCOMPARE(db.GetRecordCount(), 4);
    db.Move(3);
    QCOMPARE(db.GetRecord(kName), u"四"_s); // table row 4 is now row 3
    db.MoveLast();
    db.Delete();
    QCOMPARE(db.GetRecord(kName), u"四"_s); // the new last row
    db.AddNew();
    db.SetRecord(kName, u"新"_s);
    db.Delete(); // drops the pending row only
    QCOMPARE(db.GetRecord(kName), u"四"_s);
    QCOMPARE(m_raw->column(u"SELECT \"客户名称\" FROM \"客户\""_s),
             (QStringList{u"一"_s, u"二"_s, u"四"_s}));

    // Another instance deleted the row first: the row is gone either way.
    clsDataBase other(m_file->path());
    QVERIFY(other.OpenDB(kClients));
    QVERIFY(m_raw->exec(u"DELETE FROM \"客户\" WHERE \"客户名称\" = '一'"_s));
    QCOMPARE(other.GetRecord(kName), QString()); // a vanished row reads empty, not fatal
    other.Delete();
    QCOMPARE(other.GetRecord(kName), u"二"_s);
}

void TestDatabase::filterField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("contains 华") << kName << u"*华*"_s << u"LIKE"_s
                                 << QStringList{u"华信"_s, u"新华书店"_s, u"中华"_s};
    QTest::newRow("starts with 华") << kName << u"华*"_s << u"LIKE"_s << QStringList{u"华信"_s};
    QTest::newRow("like without wildcard is equality")
        << kName << u"中华"_s << u"LIKE"_s << QStringList{u"中华"_s};
    QTest::newRow("underscore is literal")
        << kName << u"*_*"_s << u"LIKE"_s << QStringList{u"A_B"_s};
    QTest::newRow("apostrophe found") << kName << u"O'Neil"_s << u"="_s << QStringList{u"O'Neil"_s};
    QTest::newRow("apostrophe in like")
        << kName << u"*'*"_s << u"LIKE"_s << QStringList{u"O'Neil"_s};
    QTest::newRow("text ignores ASCII case")
        << kName << u"o'neil"_s << u"="_s << QStringList{u"O'Neil"_s};
    QTest::newRow("class") << u"性质"_s << u"老客户"_s << u"="_s
                           << QStringList{u"华信"_s, u"O'Neil"_s};
    QTest::newRow("key as number") << u"编号"_s << u"5"_s << u"="_s << QStringList{u"A_B"_s};
    QTest::newRow("key compares as number")
        << u"编号"_s << u"10"_s << u">="_s << QStringList{u"中华"_s};
    QTest::newRow("date compares as date")
        << u"登记日期"_s << u"2024-9-30"_s << u">"_s << QStringList{u"新华书店"_s, u"O'Neil"_s};
    // As text "2024-9-30" would sort after "2024-10-1"; as dates it is earlier.
    QTest::newRow("date less or equal") << u"登记日期"_s << u"2024-9-30"_s << u"<="_s
                                        << QStringList{u"华信"_s, u"A_B"_s, u"中华"_s};
    QTest::newRow("boolean") << u"审核标志"_s << u"True"_s << u"="_s
                             << QStringList{u"华信"_s, u"中华"_s};
    QTest::newRow("date as shown")
        << u"登记日期"_s << u"2024-10*"_s << u"LIKE"_s << QStringList{u"新华书店"_s};
    QTest::newRow("injection is a value") << kName << u"1' OR '1'='1"_s << u"="_s << QStringList{};
    QTest::newRow("statement is a value")
        << kName << u"x'; DROP TABLE 客户; --"_s << u"="_s << QStringList{};
}

void TestDatabase::filterField()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, mode);
    QFETCH(QStringList, expected);
    const auto client = [](int key, const QString &name, const QString &kind, const QString &date,
                           int audited) {
        return QVariantMap{{u"编号"_s, key},
                           {u"客户名称"_s, name},
                           {u"性质"_s, kind},
                           {u"登记日期"_s, date},
                           {u"审核标志"_s, audited}};
    };
    QVERIFY(m_raw->addClient(client(1, u"华信"_s, u"老客户"_s, u"2024-09-30"_s, 1)));
    QVERIFY(m_raw->addClient(client(2, u"新华书店"_s, u"新客户"_s, u"2024-10-01"_s, 0)));
    QVERIFY(m_raw->addClient(client(5, u"A_B"_s, u"潜在客户"_s, u"2023-12-31"_s, 0)));
    QVERIFY(m_raw->addClient(client(7, u"O'Neil"_s, u"老客户"_s, u"2025-01-15"_s, 0)));
    QVERIFY(m_raw->addClient(client(12, u"中华"_s, u"新客户"_s, u"2024-02-09"_s, 1)));

    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    const bool applied = db.FilterField(field, value, mode);
    QVERIFY2(applied, applied ? "" : qPrintable(db.Error().text()));
    QCOMPARE(names(db), expected);
    QCOMPARE(db.RecordCount(), expected.size());
    QCOMPARE(m_raw->count(kClients), 5);
}

void TestDatabase::refusedFilterFieldKeepsPreviousFilter_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("mode");

    QTest::newRow("unknown column") << u"名称"_s << u"华"_s << u"="_s;
    QTest::newRow("text for a number column") << u"编号"_s << u"五"_s << u"="_s;
    QTest::newRow("text for a date column") << u"登记日期"_s << u"昨天"_s << u">"_s;
    QTest::newRow("text for a boolean column") << u"审核标志"_s << u"已审核"_s << u"="_s;
    QTest::newRow("no operator") << kName << u"华"_s << QString();
    QTest::newRow("unknown operator") << kName << u"华"_s << u"!="_s;
    QTest::newRow("operator carrying a clause") << kName << u"华"_s << u"= '' OR 编号 >"_s;
    QTest::newRow("empty column") << QString() << u"华"_s << u"="_s;
}

void TestDatabase::refusedFilterFieldKeepsPreviousFilter()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, mode);
    QVERIFY(m_raw->addClients({u"华信"_s, u"东方"_s, u"中华"_s}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    QVERIFY(db.FilterField(kName, u"*华*"_s, u"LIKE"_s));
    QVERIFY(!db.FilterField(field, value, mode));
    QCOMPARE(names(db), (QStringList{u"华信"_s, u"中华"_s}));
    QCOMPARE(db.Filter(), u"客户名称 LIKE '*华*'"_s);
    QVERIFY(!db.Error().text().isEmpty());
    QVERIFY(m_messages.isEmpty());
}

void TestDatabase::filterString_data()
{
    QTest::addColumn<QString>("criteria");
    QTest::addColumn<QStringList>("expected"); // 事项 of the matching plans, in table order

    // Reminder periods: A 2024-5-1..5-6, B 5-6..5-6, C 5-7..5-10, D 4-28..5-31,
    // E 2024-10-1..10-3 (after 2024-5-7 as a date, before it as text), F none.
    QTest::newRow("today list") << u"开始提醒 <= 2024-5-6 AND 结束提醒 >= 2024-5-6"_s
                                << QStringList{u"A"_s, u"B"_s, u"D"_s};
    QTest::newRow("today list, two-digit day")
        << u"开始提醒 <= 2024-10-2 AND 结束提醒 >= 2024-10-2"_s << QStringList{u"E"_s};
    QTest::newRow("quoted date") << u"开始提醒 >= '2024-5-7'"_s << QStringList{u"C"_s, u"E"_s};
    QTest::newRow("day plans") << u"编号 = '12' OR 编号 = 15 OR 编号 = 31"_s
                               << QStringList{u"B"_s, u"C"_s, u"E"_s};
    QTest::newRow("one plan") << u"编号 = 15"_s << QStringList{u"C"_s};
    QTest::newRow("day plans beside other clauses")
        << u"编号 = 3 OR 事项 = 'e' OR 编号 = 40 OR 结束提醒 = 2024-5-31"_s
        << QStringList{u"A"_s, u"D"_s, u"E"_s, u"F"_s};
    // More clauses on one column than are bound one by one.
    const auto longList = [](const QString &first, const std::function<QString(int)> &filler,
                             const QString &last) {
        QStringList clauses = {first};
        for (int i = 1; i <= 40; ++i)
            clauses.append(filler(i));
        clauses.append(last);
        return clauses.join(u" OR "_s);
    };
    QTest::newRow("long list of keys")
        << longList(
               u"编号 = '12'"_s, [](int i) { return u"编号 = %1"_s.arg(100 + i); }, u"编号 = 31"_s)
        << QStringList{u"B"_s, u"E"_s};
    QTest::newRow("long list of texts, case ignored")
        << longList(
               u"事项 = 'a'"_s, [](int i) { return u"事项 = 'x%1'"_s.arg(i); }, u"事项 = 'd'"_s)
        << QStringList{u"A"_s, u"D"_s};
    QTest::newRow("long list of dates")
        << longList(
               u"结束提醒 = 2024-5-10"_s,
               [](int i) { return u"结束提醒 = %1-1-1"_s.arg(1980 + i); },
               u"结束提醒 = #2024/10/3#"_s)
        << QStringList{u"C"_s, u"E"_s};
    QTest::newRow("equal dates gathered")
        << u"开始提醒 = 2024-5-6 OR 开始提醒 = #2024-10-1# OR 开始提醒 = '2024/4/28'"_s
        << QStringList{u"B"_s, u"D"_s, u"E"_s};
    QTest::newRow("AND before OR")
        << u"编号 = 3 OR 编号 > 12 AND 需要提醒 = '否'"_s << QStringList{u"A"_s, u"C"_s};
    QTest::newRow("parentheses") << u"(编号 = 3 OR 编号 > 12) AND 需要提醒 = '否'"_s
                                 << QStringList{u"C"_s};
    QTest::newRow("lower-case keywords")
        << u"编号 = 3 or 事项 like 'd'"_s << QStringList{u"A"_s, u"D"_s};
    QTest::newRow("decimal key") << u"编号 < 12.5"_s << QStringList{u"A"_s, u"B"_s};
    QTest::newRow("not equal") << u"需要提醒 <> '是'"_s << QStringList{u"C"_s};
    QTest::newRow("hash date") << u"结束提醒 = #2024/5/31#"_s << QStringList{u"D"_s};
    QTest::newRow("blank removes the filter")
        << u"  "_s << QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s, u"F"_s};
}

void TestDatabase::filterString()
{
    QFETCH(QString, criteria);
    QFETCH(QStringList, expected);
    const auto plan = [](int key, const QString &item, const QVariant &from, const QVariant &to,
                         const QString &remind) {
        return QVariantList{key, item, from, to, remind};
    };
    const QList<QVariantList> plans = {
        plan(3, u"A"_s, u"2024-05-01"_s, u"2024-05-06"_s, u"是"_s),
        plan(12, u"B"_s, u"2024-05-06"_s, u"2024-05-06"_s, u"是"_s),
        plan(15, u"C"_s, u"2024-05-07"_s, u"2024-05-10"_s, u"否"_s),
        plan(20, u"D"_s, u"2024-04-28"_s, u"2024-05-31"_s, u"是"_s),
        plan(31, u"E"_s, u"2024-10-01"_s, u"2024-10-03"_s, u"是"_s),
        plan(40, u"F"_s, QVariant(), QVariant(), u"是"_s),
    };
    for (const QVariantList &values : plans) {
        QVERIFY(m_raw->exec(u"INSERT INTO \"工作计划\" (\"编号\", \"事项\", \"开始提醒\", "
                            "\"结束提醒\", \"需要提醒\") VALUES (?, ?, ?, ?, ?)"_s,
                            values));
    }
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kPlans));
    QVERIFY(db.FilterField(u"编号"_s, u"40"_s, u"="_s)); // replaced by the next filter
    db.FilterString(criteria);
    QCOMPARE(names(db, u"事项"_s), expected);
}

void TestDatabase::malformedFilterStringThrows_data()
{
    QTest::addColumn<QString>("criteria");

    QTest::newRow("injection") << u"1' OR '1'='1"_s;
    QTest::newRow("injection after a clause") << u"客户名称 = '1' OR '1'='1'"_s;
    QTest::newRow("statement") << u"x; DROP TABLE 客户"_s;
    QTest::newRow("statement after a clause") << u"编号 = 1; DROP TABLE 客户"_s;
    QTest::newRow("comment") << u"编号 = 1 -- comment"_s;
    QTest::newRow("unquoted word") << u"客户名称 = 华信"_s;
    QTest::newRow("unterminated quote") << u"客户名称 = '华信"_s;
    QTest::newRow("no value") << u"客户名称 LIKE"_s;
    QTest::newRow("no operator") << u"客户名称 '华信'"_s;
    QTest::newRow("dangling AND") << u"编号 = 1 AND"_s;
    QTest::newRow("unknown column") << u"名称 = '华信'"_s;
    QTest::newRow("text for a number") << u"编号 = 'abc'"_s;
    QTest::newRow("number for a date") << u"登记日期 = 20240506"_s;
    QTest::newRow("impossible date") << u"登记日期 = 2023-2-29"_s;
    QTest::newRow("unbalanced parenthesis") << u"(编号 = 1"_s;
    QTest::newRow("subquery") << u"编号 = (SELECT 1)"_s;
}

void TestDatabase::malformedFilterStringThrows()
{
    QFETCH(QString, criteria);
    QVERIFY(m_raw->addClients({u"华信"_s, u"东方"_s}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    db.FilterString(u"客户名称 = '东方'"_s);
    QVERIFY_THROWS_EXCEPTION(DataError, db.FilterString(criteria));
    QCOMPARE(names(db), QStringList{u"东方"_s});
    QCOMPARE(m_raw->count(kClients), 2);
    QCOMPARE(m_raw->integrity(), u"ok"_s);
}

void TestDatabase::cancelFilterShowsAllRows()
{
    QVERIFY(m_raw->addClients({u"华信"_s, u"东方"_s, u"中华"_s}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    QVERIFY(db.FilterField(kName, u"*华*"_s, u"LIKE"_s));
    QCOMPARE(db.GetRecordCount(), 2);
    QVERIFY(m_raw->addClients({u"新增"_s})); // another program's row joins at the next keyset
    db.CancelFilter();
    QCOMPARE(db.Filter(), QString());
    QCOMPARE(names(db), (QStringList{u"华信"_s, u"东方"_s, u"中华"_s, u"新增"_s}));
}

void TestDatabase::thousandsOfOrClauses()
{
    // The plan window lists one day's plans with one clause per plan.
    QVERIFY(m_raw->insertNumbered(u"工作计划"_s, u"事项"_s, QString(), 5000));
    QStringList clauses = {u"编号 = '2'"_s};
    for (int i = 4; i <= 5000; i += 2)
        clauses.append(u"编号 = %1"_s.arg(i));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kPlans));
    db.FilterString(clauses.join(u" OR "_s));
    QCOMPARE(db.GetRecordCount(), 2500);
    db.MoveLast();
    QCOMPARE(db.GetRecord(u"事项"_s), u"5000"_s);
}

void TestDatabase::beyond32767Rows()
{
    const int rows = 40000;
    QVERIFY(m_raw->insertNumbered(kClients, kName, u"客户"_s, rows));

    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    QCOMPARE(db.GetRecordCount(), rows);
    db.Move(32768);
    QCOMPARE(db.GetRecord(kName), u"客户32768"_s);
    db.Move(rows + 5);
    QCOMPARE(db.GetRecord(kName), u"客户40000"_s);
    QCOMPARE(db.AbsolutePosition(), rows);
    db.MovePrevious();
    QCOMPARE(db.GetRecord(kName), u"客户39999"_s);
    QVERIFY(db.FilterField(u"编号"_s, u"32767"_s, u">"_s));
    QCOMPARE(db.GetRecordCount(), rows - 32767);
    QCOMPARE(db.GetRecord(kName), u"客户32768"_s);
}

void TestDatabase::secondInstanceSeesCommittedRows()
{
    QVERIFY(m_raw->addClients({u"甲"_s, u"乙"_s}));
    clsDataBase first(m_file->path());
    clsDataBase second(m_file->path());
    QVERIFY(first.OpenDB(kClients));
    QVERIFY(second.OpenDB(kClients));

    first.SetRecord(kName, u"甲改"_s);
    QCOMPARE(second.GetRecord(kName), u"甲"_s); // not committed yet
    first.AddNew();                             // commits the edit first
    first.SetRecord(kName, u"丙"_s);
    QCOMPARE(second.GetRecordCount(), 2);
    QCOMPARE(second.GetRecord(kName), u"甲改"_s); // a reload reads committed values
    first.Update();
    QCOMPARE(second.GetRecordCount(), 2); // the keyset is the one taken at open
    second.Requery();
    QCOMPARE(names(second), (QStringList{u"甲改"_s, u"乙"_s, u"丙"_s}));

    // Both write while the other reads.
    second.MoveLast();
    second.Delete();
    first.Move(2);
    first.SetRecord(kName, u"乙改"_s);
    first.Update();
    second.CancelFilter();
    QCOMPARE(names(second), (QStringList{u"甲改"_s, u"乙改"_s}));
    QCOMPARE(m_raw->integrity(), u"ok"_s);
}

void TestDatabase::concurrentEditIsRefused()
{
    QVERIFY(m_raw->addClients({u"甲"_s}));
    clsDataBase first(m_file->path());
    clsDataBase second(m_file->path());
    QVERIFY(first.OpenDB(kClients));
    QVERIFY(second.OpenDB(kClients));
    first.SetRecord(kName, u"第一"_s);
    first.SetRecord(u"电话"_s, u"1111"_s);
    second.SetRecord(kName, u"第二"_s);
    second.Update();
    QVERIFY_THROWS_EXCEPTION(DataError, first.Update());
    QCOMPARE(first.CurrentEditMode(), clsDataBase::EditInProgress); // still pending
    QCOMPARE(m_raw->scalar(u"SELECT \"客户名称\" || coalesce(\"电话\", '') FROM \"客户\""_s),
             u"第二"_s);
    first.CancelUpdate();
    first.Requery();
    QCOMPARE(first.GetRecord(kName), u"第二"_s);

    // A column the other did not touch still commits.
    second.SetRecord(u"电话"_s, u"2222"_s);
    first.SetRecord(kName, u"第一"_s);
    second.Update();
    first.Update();
    QCOMPARE(m_raw->scalar(u"SELECT \"客户名称\" || \"电话\" FROM \"客户\""_s), u"第一2222"_s);
}

void TestDatabase::deleteUnderAnEditor()
{
    QVERIFY(m_raw->addClients({u"甲"_s, u"乙"_s}));
    clsDataBase editor(m_file->path());
    clsDataBase other(m_file->path());
    QVERIFY(editor.OpenDB(kClients));
    QVERIFY(other.OpenDB(kClients));
    editor.SetRecord(kName, u"甲改"_s);
    other.Delete();
    try {
        editor.Update();
        QFAIL("an edit of a deleted row was committed");
    } catch (const DataError &error) {
        QCOMPARE(error.kind(), DataError::Deleted);
        QCOMPARE(error.text(), u"another user deleted the row meanwhile"_s);
    }
    QCOMPARE(m_raw->column(u"SELECT \"客户名称\" FROM \"客户\""_s), QStringList{u"乙"_s});
    editor.CancelUpdate();
    QCOMPARE(editor.GetRecord(kName), QString()); // the deleted row reads as deleted
    QCOMPARE(editor.Error().kind(), DataError::Deleted);
    editor.Requery();
    QCOMPARE(names(editor), QStringList{u"乙"_s});
}

void TestDatabase::newKeysOfTwoDesksNeverCollide()
{
    QVERIFY(m_raw->addClients({u"甲"_s}));
    clsDataBase first(m_file->path());
    clsDataBase second(m_file->path());
    QVERIFY(first.OpenDB(kClients));
    QVERIFY(second.OpenDB(kClients));
    for (int round = 0; round < 3; ++round) {
        first.AddNew();
        second.AddNew();
        first.SetRecord(kName, u"一%1"_s.arg(round));
        second.SetRecord(kName, u"二%1"_s.arg(round));
        second.Update();
        first.Update();
    }
    QCOMPARE(m_raw->scalar(u"SELECT count(DISTINCT \"编号\") FROM \"客户\""_s), u"7"_s);
    second.Requery();
    QCOMPARE(second.GetRecordCount(), 7);
}

void TestDatabase::foreignDatabaseIsLeftUntouched_data()
{
    QTest::addColumn<QStringList>("statements"); // make the other program's database

    QTest::newRow("a table 客户 with other columns")
        << QStringList{u"CREATE TABLE \"客户\" (\"编号\" INTEGER PRIMARY KEY, \"姓名\" TEXT)"_s,
                       u"INSERT INTO \"客户\" VALUES (1, '别人的')"_s};
    QTest::newRow("other tables only")
        << QStringList{u"CREATE TABLE orders (id INTEGER PRIMARY KEY, total TEXT)"_s};
    QStringList columns;
    for (const QString &caption : kestrova::clientCaptions())
        columns.append(u'"' + caption + u"\" TEXT"_s);
    columns[0] = u"\"编号\" INTEGER PRIMARY KEY"_s;
    QTest::newRow("the client columns, all text")
        << QStringList{u"CREATE TABLE \"客户\" (%1)"_s.arg(columns.join(u", "_s))};
}

void TestDatabase::foreignDatabaseIsLeftUntouched()
{
    QFETCH(QStringList, statements);
    QTemporaryDir dir;
    QString target = dir.filePath(u"other.db"_s);
    if (onServer()) {
        target = m_file->path();
        m_raw->exec(u"DROP TABLE \"客户\""_s);
        m_raw->exec(u"DROP TABLE \"工作计划\""_s);
    }
    {
        RawDatabase other(target);
        for (const QString &statement : statements)
            QVERIFY(other.exec(statement));
    }
    // What is there, byte for byte on a file, table by table and row by row on a server.
    const auto snapshot = [&] {
        if (!onServer()) {
            QFile file(target);
            return file.open(QIODevice::ReadOnly)
                       ? QStringList{QString::fromLatin1(file.readAll().toHex())}
                       : QStringList();
        }
        return m_raw->column(
                   u"SELECT table_name || '.' || column_name || ':' || data_type FROM "
                   "information_schema.columns WHERE table_schema = current_schema() ORDER BY 1"_s) +
               m_raw->column(u"SELECT count(*) FROM information_schema.triggers"_s);
    };
    const QStringList before = snapshot();
    QVERIFY(!before.isEmpty());

    clsDataBase db(target);
    QVERIFY(!db.OpenDB(kClients));
    QCOMPARE(db.ErrorKind(), DataError::ForeignSchema);
    QVERIFY2(db.Error().text().contains(u"不是 Kestrova 的客户数据库"_s),
             qPrintable(db.Error().text()));
    QVERIFY(!db.OpenDB(kPlans));
    QString error;
    QVERIFY(!kestrova::createDatabase(kestrova::DatabaseLocation::parse(target), &error));
    QCOMPARE(error, db.Error().text());
    QCOMPARE(snapshot(), before);
    if (!onServer()) {
        QVERIFY(!QFile::exists(target + u"-wal"_s));
        QVERIFY(!QFile::exists(target + u"-journal"_s));
    }
}

void TestDatabase::readRowsReportsProgress()
{
    QVERIFY(m_raw->db().transaction());
    for (int i = 1; i <= 600; ++i)
        QVERIFY(m_raw->addClient({{kName, u"C%1"_s.arg(i)}, {u"审核标志"_s, i % 2}}));
    QVERIFY(m_raw->db().commit());
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    db.Move(10);

    QList<QPair<int, int>> reports;
    const QList<QStringList> rows = db.ReadRows(1, 600, [&](int done, int total) {
        reports.append({done, total});
        return true;
    });
    QCOMPARE(rows.size(), 600);
    QCOMPARE(rows[599][1], u"C600"_s);
    QCOMPARE(rows[0][26], u"True"_s);
    QCOMPARE(rows[0][0], u"1"_s);
    QCOMPARE(reports, (QList<QPair<int, int>>{{256, 600}, {512, 600}, {600, 600}}));
    QCOMPARE(db.AbsolutePosition(), 10); // reading rows does not move the cursor

    const QList<QStringList> stopped = db.ReadRows(590, 50, [](int done, int) { return done < 5; });
    QCOMPARE(stopped.size(), 11); // clipped at the last row, never stopped early
    const QList<QStringList> early = db.ReadRows(1, 600, [](int, int) { return false; });
    QCOMPARE(early.size(), 256);
}

void TestDatabase::positionsAndKeys()
{
    QVERIFY(m_raw->addClients({u"一"_s, u"二"_s, u"三"_s, u"四"_s}));
    clsDataBase db(m_file->path());
    QVERIFY(db.OpenDB(kClients));
    QVERIFY(db.FilterField(u"编号"_s, u"2"_s, u">="_s));
    QCOMPARE(db.KeyAt(1), qint64(2));
    QCOMPARE(db.KeyAt(4), qint64(-1));
    QCOMPARE(db.PositionOfKey(4), 3);
    QCOMPARE(db.PositionOfKey(1), 0);
    QVERIFY(db.MoveToKey(3));
    QCOMPARE(db.GetRecord(kName), u"三"_s);
    QVERIFY(!db.MoveToKey(1));
    QCOMPARE(db.GetRecord(kName), u"三"_s);
    QCOMPARE(db.ColumnIndex(u"审核标志"_s), 26);
    QCOMPARE(db.ColumnIndex(u"无此列"_s), -1);
    QCOMPARE(db.Columns().size(), 27);
}

void TestDatabase::killedWriterLeavesWholeRows()
{
    if (onServer())
        QSKIP("a killed writer of the embedded file; the server has its own recovery");
    const QString writer = QString::fromLocal8Bit(qgetenv("DIALVANE_DBWRITER"));
    QVERIFY2(QFile::exists(writer), "DIALVANE_DBWRITER names the writer helper");
    for (int round = 0; round < 3; ++round) {
        QProcess child;
        child.start(writer, {m_file->path()});
        QVERIFY(child.waitForStarted());
        // Wait until it has committed a good number of rows, then kill it mid-stream.
        int written = 0;
        while (written < 200 * (round + 1) && child.waitForReadyRead(20000)) {
            while (child.canReadLine())
                written = child.readLine().trimmed().toInt();
        }
        QVERIFY(written > 0);
        child.kill(); // SIGKILL
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    }
    QCOMPARE(m_raw->integrity(), u"ok"_s);
    // Every row the writer began exists whole or not at all: each of its text columns carries
    // the row's own serial text, the date and the flag are set.
    QStringList whole = {u"\"客户名称\" LIKE 'row-%'"_s, u"\"登记日期\" IS '2024-05-06'"_s,
                         u"\"审核标志\" IS 1"_s};
    for (int c = 2; c < kestrova::ClientColumnCount; ++c) {
        if (c != kestrova::ClientRegisterDate && c != kestrova::ClientAuditing)
            whole.append(u"\"%1\" IS \"客户名称\""_s.arg(kestrova::clientCaptions()[c]));
    }
    const QStringList broken = m_raw->column(
        u"SELECT \"编号\" FROM \"客户\" WHERE NOT (%1)"_s.arg(whole.join(u" AND "_s)));
    QCOMPARE(broken, QStringList());
    QVERIFY(m_raw->count(kClients) >= 600);
}

// On a file every case runs twice: with the bulk reads of the C API and with Qt SQL alone.
// On the server (DIALVANE_TEST_SERVER) every case runs once.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TestDatabase test;
    int failures = QTest::qExec(&test, argc, argv);
    if (!onServer()) {
        clsDataBase::setNativeReads(false);
        failures += QTest::qExec(&test, argc, argv);
    }
    return failures;
}
#include "tst_database.moc"
