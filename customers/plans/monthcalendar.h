#pragma once

#include <QCalendarWidget>
#include <QDate>
#include <QList>

class QTableView;

namespace kestrova {

// The plan window's month calendar: a six-by-seven day grid whose days can be shown bold. It
// adds to the platform calendar what the plan window uses of a month calendar: the date of
// visible cell k, the bold flag of a date, and the double click and right-button events on
// the day grid. A right-button press selects the date under the pointer, so the menu that
// follows acts on the date the user pointed at.
class MonthCalendar : public QCalendarWidget
{
    Q_OBJECT

public:
    static constexpr int kCells = 42;

    explicit MonthCalendar(QWidget *parent = nullptr);

    // The date shown in cell k, 1 to 42, row by row from the top left; null outside 1 to 42.
    QDate visibleCell(int k) const;
    // The cell (1 to 42) at a position of the day grid's viewport, or 0.
    int cellAt(const QPoint &viewportPos) const;
    // Where cell k is drawn, in the day grid's viewport.
    QRect cellRect(int k) const;
    QTableView *dayGrid() const { return m_grid; }

    bool isBold(QDate date) const;
    void setBold(QDate date, bool bold);
    // Every date that is bold, in order.
    QList<QDate> boldDates() const;
    // Makes exactly these dates bold.
    void setBoldDates(const QList<QDate> &dates);

signals:
    void dateDoubleClicked(QDate date);
    void rightButtonReleased(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTableView *m_grid = nullptr;
};

} // namespace kestrova
