#include "customers/plans/reminder.h"

#include <QTest>

using namespace kestrova;
using namespace Qt::StringLiterals;

namespace {

QDate d(const char *iso)
{
    return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

// A table from "start|end|number" texts, entry 1 first.
ReminderTable table(const QStringList &rows)
{
    ReminderTable result;
    for (const QString &row : rows) {
        const QStringList parts = row.split(u'|');
        result.append(ReminderEntry::fromTexts(parts.value(0), parts.value(1), parts.value(2)));
    }
    return result;
}

QStringList isoDays(const QList<QDate> &days)
{
    QStringList texts;
    for (const QDate &day : days)
        texts.append(day.toString(Qt::ISODate));
    return texts;
}

} // namespace

class TestReminder : public QObject
{
    Q_OBJECT

private slots:
    void entryFromTexts_data();
    void entryFromTexts();
    void findPlanOnDate_data();
    void findPlanOnDate();
    void dayPlansCriteria_data();
    void dayPlansCriteria();
    void coveredDays_data();
    void coveredDays();
};

void TestReminder::entryFromTexts_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QDate>("expectedStart");
    QTest::addColumn<QDate>("expectedEnd");
    QTest::addColumn<QString>("expectedNumber");

    QTest::newRow("period") << u"2024-5-30"_s << u"2024-6-2"_s << u"7"_s << d("2024-05-30")
                            << d("2024-06-02") << u"7"_s;
    QTest::newRow("one day") << u"2024-5-6"_s << u"2024-5-6"_s << u"12"_s << d("2024-05-06")
                             << d("2024-05-06") << u"12"_s;
    QTest::newRow("end before start is the start day")
        << u"2024-5-10"_s << u"2024-5-3"_s << u"3"_s << d("2024-05-10") << d("2024-05-10")
        << u"3"_s;
    QTest::newRow("padded dates") << u"2024-05-01"_s << u"2024-05-09"_s << u"4"_s << d("2024-05-01")
                                  << d("2024-05-09") << u"4"_s;
    QTest::newRow("empty end") << u"2024-5-6"_s << QString() << u"5"_s << QDate() << QDate()
                               << QString();
    QTest::newRow("text start") << u"next week"_s << u"2024-5-6"_s << u"5"_s << QDate() << QDate()
                                << QString();
    QTest::newRow("no such day") << u"2024-2-30"_s << u"2024-3-2"_s << u"5"_s << QDate() << QDate()
                                 << QString();
    QTest::newRow("number not numeric") << u"2024-5-6"_s << u"2024-5-7"_s << u"x"_s
                                        << d("2024-05-06") << d("2024-05-07") << QString();
}

void TestReminder::entryFromTexts()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, number);
    const ReminderEntry entry = ReminderEntry::fromTexts(start, end, number);
    QTEST(entry.start, "expectedStart");
    QTEST(entry.end, "expectedEnd");
    QTEST(entry.number, "expectedNumber");
}

void TestReminder::findPlanOnDate_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("expected");

    const QStringList three = {u"2024-5-1|2024-5-3|1"_s, u"2024-5-3|2024-5-8|2"_s,
                               u"2024-5-10|2024-5-2|3"_s};
    QTest::newRow("first of two") << three << d("2024-05-03") << 1 << 1;
    QTest::newRow("next after the first") << three << d("2024-05-03") << 2 << 2;
    QTest::newRow("none after the last match") << three << d("2024-05-03") << 3 << -1;
    QTest::newRow("start day included") << three << d("2024-05-01") << 1 << 1;
    QTest::newRow("end day included") << three << d("2024-05-08") << 1 << 2;
    QTest::newRow("day after the end") << three << d("2024-05-09") << 1 << -1;
    QTest::newRow("reversed period is its start day") << three << d("2024-05-10") << 1 << 3;
    QTest::newRow("reversed period covers no earlier day") << three << d("2024-05-05") << 3 << -1;
    QTest::newRow("from the unused entry 0") << three << d("2024-05-02") << 0 << 1;
    QTest::newRow("from below the lower bound") << three << d("2024-05-02") << -1 << -1;
    QTest::newRow("from past the upper bound") << three << d("2024-05-02") << 4 << -1;
    QTest::newRow("empty table") << QStringList() << d("2024-05-02") << 1 << -1;
    QTest::newRow("entry without dates never matches")
        << QStringList{u"|2024-5-3|1"_s, u"2024-5-1|2024-5-3|2"_s} << d("2024-05-02") << 1 << 2;
}

void TestReminder::findPlanOnDate()
{
    QFETCH(QStringList, rows);
    QFETCH(QDate, date);
    QFETCH(int, from);
    QTEST(table(rows).FindPlanOnDate(date, from), "expected");
}

void TestReminder::dayPlansCriteria_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");

    QTest::newRow("three plans: first quoted, the rest not")
        << QStringList{u"2024-5-1|2024-5-9|12"_s, u"2024-6-1|2024-6-9|13"_s,
                       u"2024-5-5|2024-5-5|15"_s, u"2024-4-1|2024-5-31|31"_s}
        << d("2024-05-05") << u"编号 = '12' OR 编号 = 15 OR 编号 = 31"_s;
    QTest::newRow("one plan") << QStringList{u"2024-5-1|2024-5-9|12"_s} << d("2024-05-09")
                              << u"编号 = '12'"_s;
    QTest::newRow("no plan") << QStringList{u"2024-5-1|2024-5-9|12"_s} << d("2024-05-10")
                             << QString();
}

void TestReminder::dayPlansCriteria()
{
    QFETCH(QStringList, rows);
    QFETCH(QDate, date);
    QTEST(table(rows).dayPlansCriteria(date), "expected");
}

void TestReminder::coveredDays_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QStringList>("expected");

    // The grid of May 2024 with Sunday first runs from 28 April to 8 June.
    const QDate mayFirst = d("2024-04-28");
    const QDate mayLast = d("2024-06-08");
    QTest::newRow("across the month end")
        << QStringList{u"2024-5-30|2024-6-2|1"_s} << mayFirst << mayLast
        << QStringList{u"2024-05-30"_s, u"2024-05-31"_s, u"2024-06-01"_s, u"2024-06-02"_s};
    QTest::newRow("clipped to the grid")
        << QStringList{u"2024-4-20|2024-4-29|1"_s, u"2024-6-7|2024-6-30|2"_s} << mayFirst << mayLast
        << QStringList{u"2024-04-28"_s, u"2024-04-29"_s, u"2024-06-07"_s, u"2024-06-08"_s};
    QTest::newRow("overlapping periods count once")
        << QStringList{u"2024-5-1|2024-5-3|1"_s, u"2024-5-2|2024-5-4|2"_s} << mayFirst << mayLast
        << QStringList{u"2024-05-01"_s, u"2024-05-02"_s, u"2024-05-03"_s, u"2024-05-04"_s};
    QTest::newRow("reversed period") << QStringList{u"2024-5-10|2024-5-3|1"_s} << mayFirst
                                     << mayLast << QStringList{u"2024-05-10"_s};
    QTest::newRow("outside the grid")
        << QStringList{u"2024-7-1|2024-7-3|1"_s} << mayFirst << mayLast << QStringList();
    QTest::newRow("no dates") << QStringList{u"|x|1"_s} << mayFirst << mayLast << QStringList();

    // A period over the whole shown month covers every cell of the grid.
    QStringList february;
    for (QDate day = d("2024-01-28"); day <= d("2024-03-09"); day = day.addDays(1))
        february.append(day.toString(Qt::ISODate));
    QTest::newRow("January to March over February")
        << QStringList{u"2024-1-15|2024-3-10|1"_s} << d("2024-01-28") << d("2024-03-09")
        << february;
}

void TestReminder::coveredDays()
{
    QFETCH(QStringList, rows);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QTEST(isoDays(table(rows).coveredDays(first, last)), "expected");
}

QTEST_GUILESS_MAIN(TestReminder)
#include "tst_reminder.moc"
