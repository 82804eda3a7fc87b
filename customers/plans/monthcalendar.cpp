#include "monthcalendar.h"

#include <QAbstractItemModel>
#include <QLocale>
#include <QMouseEvent>
#include <QTableView>
#include <QTextCharFormat>

namespace kestrova {

MonthCalendar::MonthCalendar(QWidget *parent)
    : QCalendarWidget(parent)
{
    setLocale(QLocale(QLocale::Chinese, QLocale::China));
    setFirstDayOfWeek(Qt::Sunday);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    setGridVisible(false);
    // Changing the first day of the week leaves the grid's highlight on the old cell; choosing
    // the date again puts it on the selected day.
    setSelectedDate(selectedDate());
    m_grid = findChild<QTableView *>(QStringLiteral("qt_calendar_calendarview"));
    if (m_grid)
        m_grid->viewport()->installEventFilter(this);
    connect(this, &QCalendarWidget::activated, this, &MonthCalendar::dateDoubleClicked);
}

QDate MonthCalendar::visibleCell(int k) const
{
    if (k < 1 || k > kCells)
        return {};
    const QDate first(yearShown(), monthShown(), 1);
    // The grid starts on the first day of the week on or before the 1st; when the 1st falls on
    // that day the grid shows the whole week before it, as the platform calendar does.
    int offset = (first.dayOfWeek() - static_cast<int>(firstDayOfWeek()) + 7) % 7;
    if (offset < 1)
        offset += 7;
    return first.addDays(k - 1 - offset);
}

int MonthCalendar::cellAt(const QPoint &viewportPos) const
{
    if (!m_grid)
        return 0;
    const QModelIndex index = m_grid->indexAt(viewportPos);
    if (!index.isValid())
        return 0;
    const int headerRows = horizontalHeaderFormat() == QCalendarWidget::NoHorizontalHeader ? 0 : 1;
    const int headerColumns = verticalHeaderFormat() == QCalendarWidget::NoVerticalHeader ? 0 : 1;
    const int row = index.row() - headerRows;
    const int column = index.column() - headerColumns;
    if (row < 0 || row >= 6 || column < 0 || column >= 7)
        return 0;
    return row * 7 + column + 1;
}

QRect MonthCalendar::cellRect(int k) const
{
    if (!m_grid || k < 1 || k > kCells)
        return {};
    const int headerRows = horizontalHeaderFormat() == QCalendarWidget::NoHorizontalHeader ? 0 : 1;
    const int headerColumns = verticalHeaderFormat() == QCalendarWidget::NoVerticalHeader ? 0 : 1;
    return m_grid->visualRect(
        m_grid->model()->index((k - 1) / 7 + headerRows, (k - 1) % 7 + headerColumns));
}

bool MonthCalendar::isBold(QDate date) const
{
    return date.isValid() && dateTextFormat(date).fontWeight() >= QFont::Bold;
}

void MonthCalendar::setBold(QDate date, bool bold)
{
    if (!date.isValid())
        return;
    QTextCharFormat format = dateTextFormat(date);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    setDateTextFormat(date, format);
}

QList<QDate> MonthCalendar::boldDates() const
{
    QList<QDate> dates;
    const QMap<QDate, QTextCharFormat> formats = dateTextFormat();
    for (auto it = formats.cbegin(); it != formats.cend(); ++it) {
        if (it.value().fontWeight() >= QFont::Bold)
            dates.append(it.key());
    }
    return dates;
}

void MonthCalendar::setBoldDates(const QList<QDate> &dates)
{
    setUpdatesEnabled(false);
    setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (const QDate &date : dates)
        setDateTextFormat(date, bold);
    setUpdatesEnabled(true);
}

bool MonthCalendar::eventFilter(QObject *watched, QEvent *event)
{
    if (m_grid && watched == m_grid->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::RightButton) {
                const QDate date = visibleCell(cellAt(mouse->position().toPoint()));
                if (date.isValid())
                    setSelectedDate(date);
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::RightButton) {
                emit rightButtonReleased(mouse->globalPosition().toPoint());
                return true;
            }
        }
    }
    return QCalendarWidget::eventFilter(watched, event);
}

} // namespace kestrova
