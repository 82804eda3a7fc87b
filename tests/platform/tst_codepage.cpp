#include "platform/codepage.h"

#include <QTest>

class tst_CodePage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void toAnsi_data();
    void toAnsi();
    void roundTrip_data();
    void roundTrip();
};

void tst_CodePage::toAnsi_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("abc 123") << QByteArray("abc 123");
    QTest::newRow("simplified chinese") << QStringLiteral("电话") << QByteArray("\xB5\xE7\xBB\xB0");
    QTest::newRow("full-width punctuation")
        << QStringLiteral("：“”") << QByteArray("\xA3\xBA\xA1\xB0\xA1\xB1");
    QTest::newRow("emoji becomes ?") << QStringLiteral("a😀b") << QByteArray("a?b");
    QTest::newRow("thai becomes ?") << QStringLiteral("\u0E01") << QByteArray("?");
    QTest::newRow("empty") << QString() << QByteArray();
}

void tst_CodePage::toAnsi()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(platform::toAnsi(text), bytes);
}

void tst_CodePage::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("names") << QStringLiteral("张三 李四 王五");
    QTest::newRow("traditional forms in GBK") << QStringLiteral("電話號碼");
    QTest::newRow("mixed") << QStringLiteral("Tel: 0571-88123456 杭州市");
}

void tst_CodePage::roundTrip()
{
    QFETCH(QString, text);
    QCOMPARE(platform::fromAnsi(platform::toAnsi(text)), text);
}

QTEST_GUILESS_MAIN(tst_CodePage)
#include "tst_codepage.moc"
