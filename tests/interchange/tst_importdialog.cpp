#include "interchangetest.h"

#include "customers/app/importdialog.h"
#include "customers/app/olddatabaseoffer.h"
#include "customers/interchange/olddatabase.h"
#include "platform/messagebox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace interchangetest;
using namespace kestrova;

class tst_ImportDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void mappingPreviewAndSkipping_data();
    void mappingPreviewAndSkipping();
    void oldDatabaseOffer_data();
    void oldDatabaseOffer();

private:
    QTemporaryDir m_dir;
    QStringList m_messages;
};

void tst_ImportDialog::initTestCase()
{
    QVERIFY(m_dir.isValid());
    platform::setMessagePresenter([this](const platform::MessageRequest &request) {
        m_messages.append(request.text);
        return request.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::No : QMessageBox::Ok;
    });
}

void tst_ImportDialog::cleanup()
{
    m_messages.clear();
    ImportDialog::setProblemDecider({});
}

void tst_ImportDialog::mappingPreviewAndSkipping_data()
{
    QTest::addColumn<bool>("skip");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("declined") << false << QStringList{};
    QTest::newRow("skipped") << true << QStringList{u"甲公司"_qs, u"丙公司"_qs};
}

void tst_ImportDialog::mappingPreviewAndSkipping()
{
    QFETCH(bool, skip);
    QFETCH(QStringList, stored);
    const QString db =
        newDatabase(m_dir.path(), QString::fromLatin1(QTest::currentDataTag()) + u".db"_qs);
    const QString csv = db + u".csv"_qs;
    QFile file(csv);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "名称;电话;登记日期\n甲公司;111;2024年3月5日\n乙公司;222;三月\n丙公司;333;2024/3/6\n");
    file.close();

    ImportDialog dialog(db, interchange::Target::Clients);
    dialog.setFile(csv);
    QVERIFY(dialog.headerBox()->isChecked());
    QCOMPARE(dialog.previewTable()->rowCount(), 3);
    QCOMPARE(dialog.previewTable()->item(1, 2)->text(), u"三月"_qs);
    // 电话 and 登记日期 match by name; 名称 is the user's choice.
    auto sourceOf = [&](int target) {
        return qobject_cast<QComboBox *>(dialog.mappingTable()->cellWidget(target, 1))
            ->currentText();
    };
    QCOMPARE(sourceOf(ClientPhone), u"电话"_qs);
    QCOMPARE(sourceOf(ClientRegisterDate), u"登记日期"_qs);
    QCOMPARE(sourceOf(ClientName), u"（不导入）"_qs);
    QVERIFY(!dialog.importNow());
    QVERIFY(m_messages.join(u'|').contains(u"缺少列“客户名称”"_qs));
    dialog.mapColumn(u"客户名称"_qs, u"名称"_qs);

    QList<interchange::Problem> listed;
    ImportDialog::setProblemDecider(
        [&](QWidget *, const QList<interchange::Problem> &problems, int) {
            listed = problems;
            return skip;
        });
    QCOMPARE(dialog.importNow(), skip);
    QCOMPARE(listed.size(), 1);
    QCOMPARE(listed[0].row, 3);
    QCOMPARE(listed[0].column, u"登记日期"_qs);
    QCOMPARE(listed[0].value, u"三月"_qs);
    QStringList names;
    for (const QStringList &row : tableData(db, interchange::Target::Clients).rows)
        names.append(row[ClientName]);
    QCOMPARE(names, stored);
}

void tst_ImportDialog::oldDatabaseOffer_data()
{
    QTest::addColumn<bool>("agree");
    QTest::newRow("declined") << false;
    QTest::newRow("agreed, nothing to convert") << true;
}

void tst_ImportDialog::oldDatabaseOffer()
{
    QFETCH(bool, agree);
    const QString db =
        m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).left(6) + u"/khdata.mdb"_qs);
    QVERIFY(QDir().mkpath(QFileInfo(db).path()));
    const QString sample =
        qEnvironmentVariable("DIALVANE_SOURCE_DIR") + u"/../shared/jet-samples/V1997-test.mdb"_qs;
    QVERIFY(QFile::copy(sample, db));
    platform::setMessagePresenter([&](const platform::MessageRequest &request) {
        m_messages.append(request.text);
        if (request.buttons.testFlag(QMessageBox::Yes))
            return agree ? QMessageBox::Yes : QMessageBox::No;
        return QMessageBox::Ok;
    });
    QVERIFY(!offerOldDatabaseConversion(db));
    QVERIFY(m_messages.value(0).contains(u"khdata.mdb.jet-backup"_qs));
    QCOMPARE(m_messages.size(), agree ? 2 : 1);
    if (agree)
        QVERIFY2(m_messages[1].contains(u"保持原样"_qs), qPrintable(m_messages[1]));
    QFile a(db), b(sample);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), b.readAll());
    QCOMPARE(QDir(QFileInfo(db).path()).entryList(QDir::Files), QStringList{u"khdata.mdb"_qs});
}

QTEST_MAIN(tst_ImportDialog)
#include "tst_importdialog.moc"
