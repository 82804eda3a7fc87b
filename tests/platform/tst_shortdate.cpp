#include "platform/shortdate.h"

#include <QTest>
#include <QTimeZone>

using platform::parseShortDate;
using platform::shortDate;
using platform::shortDateTime;

class TestShortDate : public QObject
{
    Q_OBJECT

private slots:
    void formats_data();
    void formats();
    void parses_data();
    void parses();
    void everyDayOfTwoYearsRoundTrips();
    void formatsDateTime_data();
    void formatsDateTime();
};

void TestShortDate::formats_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");

    QTest::newRow("single digits") << QDate(2024, 5, 6) << QStringLiteral("2024-5-6");
    QTest::newRow("double digits") << QDate(2024, 12, 31) << QStringLiteral("2024-12-31");
    QTest::newRow("month two digits, day one") << QDate(2024, 10, 1) << QStringLiteral("2024-10-1");
    QTest::newRow("leap day") << QDate(2024, 2, 29) << QStringLiteral("2024-2-29");
    QTest::newRow("three-digit year padded") << QDate(999, 1, 2) << QStringLiteral("0999-1-2");
    QTest::newRow("first year") << QDate(1, 1, 1) << QStringLiteral("0001-1-1");
    QTest::newRow("last year") << QDate(9999, 12, 31) << QStringLiteral("9999-12-31");
    QTest::newRow("invalid") << QDate() << QString();
    QTest::newRow("impossible day") << QDate(2023, 2, 29) << QString();
    QTest::newRow("five-digit year") << QDate(10000, 1, 1) << QString();
    QTest::newRow("negative year") << QDate(-5, 1, 1) << QString();
}

void TestShortDate::formats()
{
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    QCOMPARE(shortDate(date), expected);
}

void TestShortDate::parses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected"); // an invalid QDate means "rejected"

    QTest::newRow("yyyy-M-d") << "2024-5-6" << QDate(2024, 5, 6);
    QTest::newRow("yyyy-MM-dd") << "2024-05-06" << QDate(2024, 5, 6);
    QTest::newRow("yyyy/M/d") << "2024/5/6" << QDate(2024, 5, 6);
    QTest::newRow("yyyy/MM/dd") << "2024/05/06" << QDate(2024, 5, 6);
    QTest::newRow("mixed widths") << "2024-5-06" << QDate(2024, 5, 6);
    QTest::newRow("two-digit month and day") << "2024-11-30" << QDate(2024, 11, 30);
    QTest::newRow("blanks around") << "  2024-5-6 \t" << QDate(2024, 5, 6);
    QTest::newRow("leap year") << "2024-2-29" << QDate(2024, 2, 29);
    QTest::newRow("leap century") << "2000-2-29" << QDate(2000, 2, 29);
    QTest::newRow("common year") << "2023-2-29" << QDate();
    QTest::newRow("common century") << "1900-2-29" << QDate();
    QTest::newRow("April 31") << "2024-4-31" << QDate();
    QTest::newRow("month 13") << "2024-13-1" << QDate();
    QTest::newRow("month 0") << "2024-0-1" << QDate();
    QTest::newRow("day 0") << "2024-1-0" << QDate();
    QTest::newRow("day 32") << "2024-1-32" << QDate();
    QTest::newRow("year 0") << "0000-1-1" << QDate();
    QTest::newRow("separators mixed") << "2024-5/6" << QDate();
    QTest::newRow("separators mixed other way") << "2024/5-6" << QDate();
    QTest::newRow("dots") << "2024.5.6" << QDate();
    QTest::newRow("two-digit year") << "24-5-6" << QDate();
    QTest::newRow("five-digit year") << "02024-5-6" << QDate();
    QTest::newRow("three-digit month") << "2024-005-6" << QDate();
    QTest::newRow("three-digit day") << "2024-5-006" << QDate();
    QTest::newRow("missing day") << "2024-5-" << QDate();
    QTest::newRow("missing month") << "2024--6" << QDate();
    QTest::newRow("year and month only") << "2024-5" << QDate();
    QTest::newRow("year only") << "2024" << QDate();
    QTest::newRow("trailing text") << "2024-5-6x" << QDate();
    QTest::newRow("leading text") << "x2024-5-6" << QDate();
    QTest::newRow("with time") << "2024-5-6 12:00:00" << QDate();
    QTest::newRow("inner blank") << "2024 -5-6" << QDate();
    QTest::newRow("signed year") << "+2024-5-6" << QDate();
    QTest::newRow("full-width digits") << QStringLiteral("２０２４-5-6") << QDate();
    QTest::newRow("garbage") << "abc" << QDate();
    QTest::newRow("blanks only") << "   " << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TestShortDate::parses()
{
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    const QDate parsed = parseShortDate(text);
    QCOMPARE(parsed.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(parsed, expected);
}

void TestShortDate::everyDayOfTwoYearsRoundTrips()
{
    int days = 0;
    for (QDate day(2023, 1, 1); day.year() < 2025; day = day.addDays(1)) {
        const QString text = shortDate(day);
        QCOMPARE(parseShortDate(text), day);
        ++days;
    }
    QCOMPARE(days, 365 + 366);
}

void TestShortDate::formatsDateTime_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<QString>("expected");

    const QTimeZone utc = QTimeZone::utc();
    QTest::newRow("morning") << QDateTime(QDate(2024, 5, 6), QTime(9, 5, 7), utc)
                             << QStringLiteral("2024-5-6 9:05:07");
    QTest::newRow("midnight") << QDateTime(QDate(2024, 5, 6), QTime(0, 0, 0), utc)
                              << QStringLiteral("2024-5-6 0:00:00");
    QTest::newRow("last second") << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59), utc)
                                 << QStringLiteral("2024-12-31 23:59:59");
    QTest::newRow("milliseconds dropped")
        << QDateTime(QDate(2024, 1, 2), QTime(13, 30, 0, 999), utc)
        << QStringLiteral("2024-1-2 13:30:00");
    QTest::newRow("invalid") << QDateTime() << QString();
}

void TestShortDate::formatsDateTime()
{
    QFETCH(QDateTime, dateTime);
    QFETCH(QString, expected);
    QCOMPARE(shortDateTime(dateTime), expected);
}

QTEST_GUILESS_MAIN(TestShortDate)
#include "tst_shortdate.moc"
