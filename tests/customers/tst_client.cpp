#include "customerstest.h"

#include "customers/data/clsclient.h"
#include "customers/data/clsdatabase.h"
#include "platform/shortdate.h"

#include <memory>

using namespace kestrova;
using namespace Qt::StringLiterals;

class TestClient : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_guard = std::make_unique<FailedReadGuard>(); }
    void cleanup()
    {
        QCOMPARE(m_guard->messages, QStringList());
        m_guard.reset();
    }
    void captionArray();
    void tableColumns();
    void newRecordIsEmpty();
    void outOfRangeIndexes_data();
    void outOfRangeIndexes();
    void writesByIndex_data();
    void writesByIndex();
    void propertiesAddressTheirColumns();
    void typedProperties();
    void savedRecordReadsBack();
    void editsTheRowItWasReadFrom();

private:
    std::unique_ptr<FailedReadGuard> m_guard;
};

void TestClient::captionArray()
{
    QCOMPARE(
        clientCaptions().join(u','),
        u"编号,客户名称,法人代表,性质,类型,来源,电话,传真,邮件,网址,行业,信誉等级,开户银行,"
        "帐号,税号,重要程度,地区,国家,省份,城市,地址,邮编,概况,责任人,登记日期,备注,审核标志"_s);
    QCOMPARE(clientCaptions().size(), ClientColumnCount);
    QCOMPARE(ClientColumnCount, 27);
}

void TestClient::tableColumns()
{
    TestDatabaseFile file;
    clsDataBase db(file.path());
    QVERIFY(db.OpenDB(u"客户"_s));
    QStringList names;
    QString types;
    for (const ColumnInfo &column : db.Columns()) {
        names.append(column.name);
        types += QChar(u"KNTDB"[static_cast<int>(column.type)]);
    }
    QCOMPARE(names, clientCaptions());
    QCOMPARE(types, u"KTTTTTTTTTTTTTTTTTTTTTTTDTB"_s);
}

void TestClient::newRecordIsEmpty()
{
    const clsClient client;
    for (int i = 0; i < ClientColumnCount; ++i)
        QCOMPARE(client.MyProperty(i), QString());
    QVERIFY(!client.IsChangedDate());
}

void TestClient::outOfRangeIndexes_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("27") << 27;
    QTest::newRow("32767") << 32767;
}

void TestClient::outOfRangeIndexes()
{
    QFETCH(int, index);
    clsClient client;
    for (int i = 0; i < ClientColumnCount; ++i)
        client.setMyProperty(i, i == 24 ? u"2024-5-6"_s : i == 26 ? u"True"_s : u"v%1"_s.arg(i));
    const clsClient before = client;
    QVERIFY(!client.setMyProperty(index, u"x"_s));
    QCOMPARE(client.MyProperty(index), QString());
    for (int i = 0; i < ClientColumnCount; ++i)
        QCOMPARE(client.MyProperty(i), before.MyProperty(i));
}

void TestClient::writesByIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("stored"); // text columns start as "start"

    const QString today = platform::shortDate(QDate::currentDate());
    QTest::newRow("text unchanged") << 1 << u"  杭州华信 "_s << true << u"  杭州华信 "_s;
    QTest::newRow("key as text") << 0 << u"17"_s << true << u"17"_s;
    QTest::newRow("empty text") << 22 << QString() << true << QString();
    QTest::newRow("date normalised") << 24 << u"2024-05-06"_s << true << u"2024-5-6"_s;
    QTest::newRow("slash date") << 24 << u"2024/5/6"_s << true << u"2024-5-6"_s;
    QTest::newRow("empty date is today") << 24 << QString() << true << today;
    QTest::newRow("no date refused") << 24 << u"五月六日"_s << false << u"2000-1-1"_s;
    QTest::newRow("empty flag is False") << 26 << QString() << true << u"False"_s;
    QTest::newRow("true") << 26 << u"true"_s << true << u"True"_s;
    QTest::newRow("True") << 26 << u"True"_s << true << u"True"_s;
    QTest::newRow("FALSE") << 26 << u"FALSE"_s << true << u"False"_s;
    QTest::newRow("-1") << 26 << u"-1"_s << true << u"True"_s;
    QTest::newRow("0") << 26 << u"0"_s << true << u"False"_s;
    QTest::newRow("blanks around") << 26 << u" true "_s << true << u"True"_s;
    QTest::newRow("no boolean refused") << 26 << u"已审核"_s << false << u"True"_s;
}

void TestClient::writesByIndex()
{
    QFETCH(int, index);
    QFETCH(QString, value);
    QFETCH(bool, accepted);
    QFETCH(QString, stored);
    clsClient client;
    for (int i = 0; i < ClientColumnCount; ++i)
        client.setMyProperty(i, u"start"_s);
    client.setMyProperty(24, u"2000-1-1"_s);
    client.setMyProperty(26, u"True"_s);
    QCOMPARE(client.setMyProperty(index, value), accepted);
    QCOMPARE(client.MyProperty(index), stored);
}

void TestClient::propertiesAddressTheirColumns()
{
    using Getter = QString (clsClient::*)() const;
    using Setter = void (clsClient::*)(const QString &);
    const QList<QPair<Getter, Setter>> properties = {
        {&clsClient::ID, &clsClient::setID},
        {&clsClient::NAME, &clsClient::setNAME},
        {&clsClient::CORPORATION, &clsClient::setCORPORATION},
        {&clsClient::PROPERTY, &clsClient::setPROPERTY},
        {&clsClient::KIND, &clsClient::setKIND},
        {&clsClient::SOURCE, &clsClient::setSOURCE},
        {&clsClient::PHONE, &clsClient::setPHONE},
        {&clsClient::FAX, &clsClient::setFAX},
        {&clsClient::MAIL, &clsClient::setMAIL},
        {&clsClient::URL, &clsClient::setURL},
        {&clsClient::INDUSTRY, &clsClient::setINDUSTRY},
        {&clsClient::CREDIT, &clsClient::setCREDIT},
        {&clsClient::BANK, &clsClient::setBANK},
        {&clsClient::ACCOUNT, &clsClient::setACCOUNT},
        {&clsClient::TaxNumber, &clsClient::setTaxNumber},
        {&clsClient::Important, &clsClient::setImportant},
        {&clsClient::AREA, &clsClient::setAREA},
        {&clsClient::COUNTRY, &clsClient::setCOUNTRY},
        {&clsClient::PROVINCE, &clsClient::setPROVINCE},
        {&clsClient::CITY, &clsClient::setCITY},
        {&clsClient::ADDRESS, &clsClient::setADDRESS},
        {&clsClient::POSTALCODE, &clsClient::setPOSTALCODE},
        {&clsClient::SURVEY, &clsClient::setSURVEY},
        {&clsClient::DutyPerson, &clsClient::setDutyPerson},
        {nullptr, nullptr}, // 登记日期, typed
        {&clsClient::Remark, &clsClient::setRemark},
    };
    for (int index = 0; index < properties.size(); ++index) {
        if (!properties[index].first)
            continue;
        clsClient client;
        (client.*properties[index].second)(u"值"_s);
        for (int other = 0; other < ClientColumnCount; ++other)
            QCOMPARE(client.MyProperty(other), other == index ? u"值"_s : QString());
        client.setMyProperty(index, u"另一个"_s);
        QCOMPARE((client.*properties[index].first)(), u"另一个"_s);
    }
}

void TestClient::typedProperties()
{
    clsClient client;
    QVERIFY(!client.RegisterDate().isValid());
    bool ok = true;
    QCOMPARE(client.Auditing(&ok), false);
    QVERIFY(!ok);

    client.setRegisterDate(QDate(2024, 10, 1));
    QCOMPARE(client.MyProperty(24), u"2024-10-1"_s);
    QCOMPARE(client.RegisterDate(), QDate(2024, 10, 1));
    client.setAuditing(true);
    QCOMPARE(client.MyProperty(26), u"True"_s);
    QCOMPARE(client.Auditing(&ok), true);
    QVERIFY(ok);
    client.setMyProperty(26, u"true"_s);
    QCOMPARE(client.Auditing(), true);
    client.setAuditing(false);
    QCOMPARE(client.MyProperty(26), u"False"_s);
    client.setIsChangedDate(true);
    QVERIFY(client.IsChangedDate());
}

void TestClient::savedRecordReadsBack()
{
    TestDatabaseFile file;
    clsDataBase db(file.path());
    QVERIFY(db.OpenDB(u"客户"_s));
    // A new client as the client window starts it, filled the way the dialog fills it.
    clsClient client;
    client.setRegisterDate(QDate::currentDate());
    client.setAuditing(false);
    for (int i = 1; i < ClientColumnCount; ++i) {
        if (i != ClientRegisterDate && i != ClientAuditing)
            client.setMyProperty(i, u"值%1"_s.arg(i));
    }
    client.setMyProperty(ClientRegisterDate, u"2024-5-6"_s);
    client.setMyProperty(ClientAuditing, QString()); // the box was cleared
    db.AddNew();
    const QStringList &captions = clientCaptions();
    for (int i = 0; i < ClientColumnCount; ++i)
        db.SetRecord(captions[i], client.MyProperty(i));
    db.Update();

    clsClient back;
    QCOMPARE(db.GetRecordCount(), 1);
    for (int i = 0; i < ClientColumnCount; ++i)
        back.setMyProperty(i, db.GetRecord(captions[i]));
    QCOMPARE(back.ID(), u"1"_s);
    for (int i = 1; i < ClientColumnCount; ++i)
        QCOMPARE(back.MyProperty(i), client.MyProperty(i));
    QCOMPARE(back.MyProperty(ClientAuditing), u"False"_s);
    RawDatabase raw(file.path());
    QCOMPARE(raw.scalar(u"SELECT \"审核标志\" || ' ' || \"登记日期\" FROM \"客户\""_s),
             u"0 2024-05-06"_s);
}

void TestClient::editsTheRowItWasReadFrom()
{
    TestDatabaseFile file;
    RawDatabase raw(file.path());
    for (int i = 1; i <= 40; ++i)
        QVERIFY(raw.addClients({u"客户%1"_s.arg(i)}));
    clsDataBase db(file.path());
    QVERIFY(db.OpenDB(u"客户"_s));
    db.Move(35);
    clsClient client;
    for (int i = 0; i < ClientColumnCount; ++i)
        client.setMyProperty(i, db.GetRecord(clientCaptions()[i]));
    QCOMPARE(client.NAME(), u"客户35"_s);
    QCOMPARE(client.Auditing(), false); // the empty flag reads as False through MyProperty
    client.setNAME(u"客户三十五"_s);
    for (int i = 0; i < ClientColumnCount; ++i)
        db.SetRecord(clientCaptions()[i], client.MyProperty(i));
    db.Update();
    QCOMPARE(raw.column(u"SELECT \"编号\" FROM \"客户\" WHERE \"客户名称\" = '客户三十五'"_s),
             QStringList{u"35"_s});
    QCOMPARE(raw.count(u"客户"_s), 40);
}

QTEST_GUILESS_MAIN(TestClient)
#include "tst_client.moc"
