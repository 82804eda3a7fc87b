#pragma once

#include <QMenu>
#include <QPointer>

#include <functional>

class QWidget;

namespace kestrova {

class frmPlan;

// The plan window's two pop-up menus: "工作计划" for the plan list and "日历" for the calendar.
struct PlanMenus
{
    QPointer<QMenu> mnuPlan;
    QPointer<QMenu> mnuCalendar;
};

// Builds mnuPlan (mnuPlanDetails, mnuPlanNew, mnuPlanDel) and mnuCalendar (mnuCalendarViewOne,
// mnuCalendarViewAll, mnuCalendarNew) as children of the menu holder `holder`. Each item acts on
// the plan window that `target` returns when the item is chosen, not on the window that popped
// the menu up; nothing happens while it returns null. The plan items act on the selected row of
// that window's list and do nothing on an empty list; with rows but none selected, details and
// delete do nothing and new still adds a plan. The calendar items use the calendar's selected date.
PlanMenus buildPlanMenus(QWidget *holder, std::function<frmPlan *()> target);

} // namespace kestrova
