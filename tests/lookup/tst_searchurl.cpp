#include "lookup/buildvariant.h"
#include "lookup/searchurl.h"

#include <QTest>

class tst_SearchUrl : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void address_data();
    void address();
};

void tst_SearchUrl::address_data()
{
    QTest::addColumn<QString>("endpoint");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QByteArray>("expected");

    const QString num = QString::fromLatin1(lookup::kNumseek.searchEndpoint);
    const QString tel = QString::fromLatin1(lookup::kDialseek.searchEndpoint);
    const QByteArray base = "http://127.0.0.1:8620";

    QTest::newRow("number") << num << QStringLiteral("88123456")
                            << base + "/SSjkzcnum.asp?keyword=88123456";
    QTest::newRow("one blank is sent")
        << num << QStringLiteral(" ") << base + "/SSjkzcnum.asp?keyword=%20";
    QTest::newRow("blanks are not trimmed")
        << num << QStringLiteral(" 12 ") << base + "/SSjkzcnum.asp?keyword=%2012%20";
    QTest::newRow("reserved characters")
        << tel << QStringLiteral("a&b#c%d+e=f?g/h")
        << base + "/SSjkzctel.asp?keyword=a%26b%23c%25d%2Be%3Df%3Fg%2Fh";
    QTest::newRow("chinese as GBK bytes")
        << tel << QStringLiteral("张三") << base + "/SSjkzctel.asp?keyword=%D5%C5%C8%FD";
    QTest::newRow("outside GBK") << tel << QStringLiteral("😀")
                                 << base + "/SSjkzctel.asp?keyword=%3F";
    QTest::newRow("unreserved kept")
        << tel << QStringLiteral("Az09-._~") << base + "/SSjkzctel.asp?keyword=Az09-._~";
}

void tst_SearchUrl::address()
{
    QFETCH(QString, endpoint);
    QFETCH(QString, keyword);
    QFETCH(QByteArray, expected);
    const QUrl url = lookup::searchUrl(QStringLiteral("http://127.0.0.1:8620"), endpoint, keyword);
    QVERIFY(url.isValid());
    QCOMPARE(url.toEncoded(), expected);
}

QTEST_GUILESS_MAIN(tst_SearchUrl)
#include "tst_searchurl.moc"
