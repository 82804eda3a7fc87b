// The password file and the numeric settings of the customer program.

#include "tst_app_fixture.h"

#include "customers/app/passwordfile.h"
#include "customers/shared/settings.h"
#include "platform/codepage.h"

using namespace kestrova;
using namespace Qt::StringLiterals;

class TestAppPassword : public QObject
{
    Q_OBJECT

private slots:
    void fields_data();
    void fields();
    void writtenPasswordsReadBack_data();
    void writtenPasswordsReadBack();
    void writtenBytes();
    void codePage();
    void missingAndUnwritableFiles();
    void deliveredFile();
    void leadingNumber_data();
    void leadingNumber();
    void viewModeSetting_data();
    void viewModeSetting();
};

void TestAppPassword::fields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("delivered") << u"580417\r\n"_s << QStringList{u"580417"_s};
    QTest::newRow("no line break") << u"580417"_s << QStringList{u"580417"_s};
    QTest::newRow("comma splits") << u"ab,cd\r\n"_s << QStringList{u"ab"_s, u"cd"_s};
    QTest::newRow("leading blanks skipped") << u"   abc\r\n"_s << QStringList{u"abc"_s};
    QTest::newRow("leading tab skipped") << u"\tabc\n"_s << QStringList{u"abc"_s};
    QTest::newRow("trailing blanks kept") << u"abc  \r\n"_s << QStringList{u"abc  "_s};
    QTest::newRow("quoted keeps comma") << u"\"ab,cd\"\r\n"_s << QStringList{u"ab,cd"_s};
    QTest::newRow("quoted keeps blank") << u"\" abc\"\r\n"_s << QStringList{u" abc"_s};
    QTest::newRow("doubled quote") << u"\"a\"\"b\"\r\n"_s << QStringList{u"a\"b"_s};
    QTest::newRow("after closing quote dropped")
        << u"\"abc\"xyz,d\r\n"_s << QStringList{u"abc"_s, u"d"_s};
    QTest::newRow("unterminated quote") << u"\"abc"_s << QStringList{u"abc"_s};
    QTest::newRow("empty line is empty field") << u"\r\n"_s << QStringList{QString()};
    QTest::newRow("quoted empty") << u"\"\"\r\n"_s << QStringList{QString()};
    QTest::newRow("empty file") << QString() << QStringList{};
    QTest::newRow("blanks only") << u"   "_s << QStringList{};
    QTest::newRow("trailing comma") << u"abc,\r\n"_s << QStringList{u"abc"_s, QString()};
    QTest::newRow("several lines")
        << u"old\r\nolder\nnewest\r\n"_s << QStringList{u"old"_s, u"older"_s, u"newest"_s};
    QTest::newRow("chinese") << u"密码\r\n"_s << QStringList{u"密码"_s};
}

void TestAppPassword::fields()
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    QCOMPARE(passwordFields(text), fields);
}

void TestAppPassword::writtenPasswordsReadBack_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("digits") << u"580417"_s;
    QTest::newRow("comma") << u"ab,cd"_s;
    QTest::newRow("leading blank") << u" abc"_s;
    QTest::newRow("trailing blank") << u"abc "_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("quote inside") << u"a\"b"_s;
    QTest::newRow("quotes around") << u"\"abc\""_s;
    QTest::newRow("chinese") << u"客户密码"_s;
}

void TestAppPassword::writtenPasswordsReadBack()
{
    QFETCH(QString, password);
    WorkFolder work;
    QVERIFY(writePasswordFile(u"5566.jpg"_s, password));
    const std::optional<QStringList> fields = readPasswordFile(u"5566.jpg"_s);
    QVERIFY(fields.has_value());
    QCOMPARE(fields->size(), 1);
    QCOMPARE(fields->last(), password);
}

void TestAppPassword::writtenBytes()
{
    QCOMPARE(passwordFileContents(u"580417"_s), QByteArray("\"580417\"\r\n"));
    QCOMPARE(passwordFileContents(QString()), QByteArray("\"\"\r\n"));
    QCOMPARE(passwordFileContents(u"a\"b"_s), QByteArray("\"a\"\"b\"\r\n"));
    // GBK, the target systems' code page: 密 is C3 DC, 码 is C2 EB.
    QCOMPARE(passwordFileContents(u"密码"_s), QByteArray("\"\xC3\xDC\xC2\xEB\"\r\n"));
}

void TestAppPassword::codePage()
{
    QVERIFY(passwordFitsCodePage(u"abc 123,\""_s));
    QVERIFY(passwordFitsCodePage(u"客户密码"_s));
    QVERIFY(!passwordFitsCodePage(u"key\U0001F511"_s));
}

void TestAppPassword::missingAndUnwritableFiles()
{
    WorkFolder work;
    QVERIFY(!readPasswordFile(u"5566.jpg"_s).has_value());
    QString error;
    QVERIFY(!writePasswordFile(work.filePath(u"no/such/folder/5566.jpg"_s), u"x"_s, &error));
    QVERIFY(!error.isEmpty());
}

void TestAppPassword::deliveredFile()
{
    const QString source = qEnvironmentVariable("DIALVANE_SOURCE_DIR");
    QVERIFY(!source.isEmpty());
    const std::optional<QStringList> fields =
        readPasswordFile(source + u"/customers/app/resources/5566.jpg"_s);
    QVERIFY(fields.has_value());
    QCOMPARE(fields->last(), u"580417"_s);
}

void TestAppPassword::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<long long>("value");
    QTest::addColumn<bool>("ok");
    QTest::newRow("plain") << u"3"_s << 3LL << true;
    QTest::newRow("leading number") << u"3abc"_s << 3LL << true;
    QTest::newRow("blanks before") << u"  2"_s << 2LL << true;
    QTest::newRow("negative") << u"-15"_s << -15LL << true;
    QTest::newRow("plus") << u"+7"_s << 7LL << true;
    QTest::newRow("decimal part cut") << u"12.9"_s << 12LL << true;
    QTest::newRow("empty") << QString() << 0LL << false;
    QTest::newRow("letters") << u"abc"_s << 0LL << false;
    QTest::newRow("sign only") << u"-"_s << 0LL << false;
}

void TestAppPassword::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(long long, value);
    QFETCH(bool, ok);
    bool parsed = !ok;
    QCOMPARE(kestrova::leadingNumber(text, &parsed), value);
    QCOMPARE(parsed, ok);
}

void TestAppPassword::viewModeSetting_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("mode");
    QTest::newRow("absent") << QString() << 0;
    QTest::newRow("details") << u"3"_s << 3;
    QTest::newRow("list with junk") << u"2x"_s << 2;
    QTest::newRow("out of range") << u"7"_s << 0;
    QTest::newRow("negative") << u"-1"_s << 0;
    QTest::newRow("no number") << u"large"_s << 0;
}

void TestAppPassword::viewModeSetting()
{
    QFETCH(QString, stored);
    QFETCH(int, mode);
    clearSettings();
    if (!stored.isNull())
        storeSetting(u"ViewMode"_s, stored);
    QCOMPARE(ViewModeSetting(), mode);
}

QTEST_GUILESS_MAIN(TestAppPassword)
#include "tst_app_password.moc"
