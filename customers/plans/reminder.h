#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVector>

namespace kestrova {

// One plan's reminder period as the plan window's calendar sees it: from `start` to `end`, both
// days included. An entry whose reminder values were not both dates has null dates and an empty
// number, and covers no day.
struct ReminderEntry
{
    QDate start;
    QDate end;
    QString number; // the plan's "编号"

    bool isValid() const { return start.isValid() && end.isValid(); }
    bool covers(QDate day) const { return isValid() && start <= day && day <= end; }

    // The entry of a plan row from its texts of "开始提醒", "结束提醒" and "编号". An end before
    // the start is taken as the start day alone.
    static ReminderEntry fromTexts(const QString &startRemind, const QString &endRemind,
                                   const QString &number);
};

// The reminder periods of the loaded plans, index r for table row r; index 0 is an unused empty
// entry, so a table without plans has the upper bound 0.
class ReminderTable
{
public:
    ReminderTable() = default;

    int upperBound() const { return static_cast<int>(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    // Entry 1 to upperBound(); index 0 and indexes outside read as the empty entry.
    const ReminderEntry &at(int index) const;

    void reserve(int count) { m_entries.reserve(count); }
    void append(const ReminderEntry &entry) { m_entries.append(entry); }
    void clear() { m_entries.clear(); }

    // The first entry from index `from` on whose period holds `date`; -1 when there is none,
    // when `from` is negative or when the table is empty.
    int FindPlanOnDate(QDate date, int from) const;

    // The criteria that lists the plans whose period holds `date`: the first number quoted, the
    // others not (编号 = '12' OR 编号 = 15 OR 编号 = 31). Empty when no plan covers the date.
    QString dayPlansCriteria(QDate date) const;

    // The days from `first` to `last` that some period covers, in order.
    QList<QDate> coveredDays(QDate first, QDate last) const;

private:
    QVector<ReminderEntry> m_entries; // entry i + 1 of the table
};

// The "year-month" key the calendar's bolding remembers, without leading zeros (2024-5).
QString monthKey(int year, int month);

} // namespace kestrova
