#include "reminder.h"

#include "customers/data/columns.h"
#include "platform/shortdate.h"

#include <algorithm>

namespace kestrova {

ReminderEntry ReminderEntry::fromTexts(const QString &startRemind, const QString &endRemind,
                                       const QString &number)
{
    ReminderEntry entry;
    const QDate start = platform::parseShortDate(startRemind);
    const QDate end = platform::parseShortDate(endRemind);
    if (!start.isValid() || !end.isValid())
        return entry;
    entry.start = start;
    entry.end = end < start ? start : end;
    bool numeric = false;
    number.trimmed().toLongLong(&numeric);
    if (numeric)
        entry.number = number.trimmed();
    return entry;
}

const ReminderEntry &ReminderTable::at(int index) const
{
    static const ReminderEntry empty;
    return index >= 1 && index <= m_entries.size() ? m_entries[index - 1] : empty;
}

int ReminderTable::FindPlanOnDate(QDate date, int from) const
{
    if (from < 0 || m_entries.isEmpty() || !date.isValid())
        return -1;
    for (int i = std::max(from, 1); i <= m_entries.size(); ++i) {
        if (m_entries[i - 1].covers(date))
            return i;
    }
    return -1;
}

QString ReminderTable::dayPlansCriteria(QDate date) const
{
    const QString column = planCaptions().at(PlanID);
    QString criteria;
    for (int i = FindPlanOnDate(date, 1); i >= 1; i = FindPlanOnDate(date, i + 1)) {
        const QString &number = m_entries[i - 1].number;
        if (number.isEmpty())
            continue;
        if (criteria.isEmpty())
            criteria = column + QStringLiteral(" = '") + number + u'\'';
        else
            criteria += QStringLiteral(" OR ") + column + QStringLiteral(" = ") + number;
    }
    return criteria;
}

QList<QDate> ReminderTable::coveredDays(QDate first, QDate last) const
{
    if (!first.isValid() || !last.isValid() || last < first)
        return {};
    const qint64 span = first.daysTo(last) + 1;
    // Difference counts over the span: +1 where a period enters it, -1 after it leaves, so the
    // cost stays one pass over the entries whatever their length.
    QVector<int> delta(span + 1, 0);
    for (const ReminderEntry &entry : m_entries) {
        if (!entry.isValid() || entry.end < first || entry.start > last)
            continue;
        const qint64 from = first.daysTo(std::max(entry.start, first));
        const qint64 to = first.daysTo(std::min(entry.end, last));
        ++delta[from];
        --delta[to + 1];
    }
    QList<QDate> days;
    int depth = 0;
    for (qint64 d = 0; d < span; ++d) {
        depth += delta[d];
        if (depth > 0)
            days.append(first.addDays(d));
    }
    return days;
}

QString monthKey(int year, int month)
{
    return QString::number(year) + u'-' + QString::number(month);
}

} // namespace kestrova
