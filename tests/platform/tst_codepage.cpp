#include "platform/codepage.h"

#include <QStringEncoder>
#include <QTest>

class tst_CodePage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void toAnsi_data();
    void toAnsi();
    void roundTrip_data();
    void roundTrip();
    void everyCharacterAsTheConverterEncodesIt();
    void surrogates_data();
    void surrogates();
};

namespace {

QByteArray converterBytes(QStringView text)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

} // namespace

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

void tst_CodePage::everyCharacterAsTheConverterEncodesIt()
{
    // One character at a time, and all of them in one text.
    QString all;
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        if (QChar::isSurrogate(u))
            continue;
        const QChar c{char16_t(u)};
        all += c;
        const QByteArray expected = converterBytes(QStringView(&c, 1));
        if (platform::toAnsi(QStringView(&c, 1)) != expected)
            QFAIL(qPrintable(
                QStringLiteral("U+%1 encodes as %2, the converter gives %3")
                    .arg(quint32(u), 4, 16, QLatin1Char('0'))
                    .arg(QString::fromLatin1(platform::toAnsi(QStringView(&c, 1)).toHex()),
                         QString::fromLatin1(expected.toHex()))));
    }
    QCOMPARE(platform::toAnsi(all), converterBytes(all));
}

void tst_CodePage::surrogates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    const QChar high{char16_t(0xD83D)};
    const QChar low{char16_t(0xDE00)};
    QTest::newRow("pair") << QString(high) + low << QByteArray("?");
    QTest::newRow("two pairs between letters")
        << u'a' + QString(high) + low + high + low + u'b' << QByteArray("a??b");
    QTest::newRow("high alone") << u'a' + QString(high) + u'b' << QByteArray("a?b");
    QTest::newRow("low alone") << QString(low) << QByteArray("?");
    QTest::newRow("low before high") << QString(low) + high + u'x' << QByteArray("??x");
    // A high surrogate that ends the text is no character either; it is not dropped.
    QTest::newRow("high at the end") << u'a' + QString(high) << QByteArray("a?");
}

void tst_CodePage::surrogates()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(platform::toAnsi(text), bytes);
}

QTEST_GUILESS_MAIN(tst_CodePage)
#include "tst_codepage.moc"
