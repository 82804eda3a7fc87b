#include "planmenus.h"

#include "customers/shared/recordlistview.h"
#include "frmplan.h"
#include "frmplaninfo.h"
#include "monthcalendar.h"

#include <QAction>
#include <QWidget>

namespace kestrova {

namespace {

QAction *addItem(QMenu *menu, const char16_t *objectName, const char16_t *caption)
{
    QAction *item = menu->addAction(QString::fromUtf16(caption));
    item->setObjectName(QString::fromUtf16(objectName));
    return item;
}

} // namespace

PlanMenus buildPlanMenus(QWidget *holder, std::function<frmPlan *()> target)
{
    PlanMenus menus;
    menus.mnuPlan = new QMenu(QStringLiteral("工作计划"), holder);
    menus.mnuPlan->setObjectName(QStringLiteral("mnuPlan"));
    menus.mnuCalendar = new QMenu(QStringLiteral("日历"), holder);
    menus.mnuCalendar->setObjectName(QStringLiteral("mnuCalendar"));

    // The selected row of the plan list; -1 when the items must do nothing (no plan window or
    // an empty list), 0 when the list has rows but none is selected.
    const auto selectedRow = [target]() -> std::pair<frmPlan *, int> {
        frmPlan *window = target ? target() : nullptr;
        if (!window || window->lstvwPlanInfo()->rowCount() == 0)
            return {nullptr, -1};
        return {window, window->lstvwPlanInfo()->selectedRow()};
    };
    const auto calendarWindow = [target]() -> frmPlan * {
        return target ? target() : nullptr;
    };

    QAction *details = addItem(menus.mnuPlan, u"mnuPlanDetails", u"详细资料(&I)...");
    QObject::connect(details, &QAction::triggered, holder, [selectedRow] {
        const auto [window, row] = selectedRow();
        if (window && row > 0)
            window->OpenPlanInfo(row, frmPlanInfo::View);
    });
    QAction *add = addItem(menus.mnuPlan, u"mnuPlanNew", u"新建资料(&N)...");
    QObject::connect(add, &QAction::triggered, holder, [selectedRow] {
        const auto [window, row] = selectedRow();
        if (window)
            window->OpenPlanInfo(row, frmPlanInfo::New);
    });
    QAction *remove = addItem(menus.mnuPlan, u"mnuPlanDel", u"删除资料(&D)");
    QObject::connect(remove, &QAction::triggered, holder, [selectedRow] {
        const auto [window, row] = selectedRow();
        if (window && row > 0)
            window->DeletePlan(row);
    });

    QAction *viewOne = addItem(menus.mnuCalendar, u"mnuCalendarViewOne", u"显示该天计划(&I)");
    QObject::connect(viewOne, &QAction::triggered, holder, [calendarWindow] {
        if (frmPlan *window = calendarWindow())
            window->ShowDayPlans(window->mvwPlan()->selectedDate());
    });
    QAction *viewAll = addItem(menus.mnuCalendar, u"mnuCalendarViewAll", u"显示全部计划(&A)");
    QObject::connect(viewAll, &QAction::triggered, holder, [calendarWindow] {
        if (frmPlan *window = calendarWindow())
            window->ShowAllPlans();
    });
    QAction *newDay = addItem(menus.mnuCalendar, u"mnuCalendarNew", u"新建该天计划(&N)...");
    QObject::connect(newDay, &QAction::triggered, holder, [calendarWindow] {
        if (frmPlan *window = calendarWindow())
            window->NewDayPlan(window->mvwPlan()->selectedDate());
    });
    return menus;
}

} // namespace kestrova
