#pragma once

#include "customers/plans/planmenus.h"

#include <QWidget>

class QAction;
class QMenu;

namespace kestrova {

// The never-shown holder of the program's pop-up menus. Each list window makes its own
// instance when it first needs a menu and pops the relevant menu up; the commands act on the
// one client window through gfrmClient, whichever window popped the menu up. The plan window's
// menus ("工作计划", "日历") join this holder the same way, acting through gfrmPlan.
class frmMenu : public QWidget
{
    Q_OBJECT

public:
    explicit frmMenu(QWidget *parent = nullptr);

    // "Kestrova": the client list's menu.
    QMenu *mnuClient() const { return m_mnuClient; }
    // "工作计划" and "日历": the plan list's and the calendar's menus, acting through gfrmPlan.
    const PlanMenus &planMenus() const { return m_planMenus; }

    // The client items act on the selected row of the client list; nothing on an empty list.
    void mnuClientDetails_Click();
    void mnuClientNew_Click();
    void mnuClientDel_Click();

private:
    // The selected row of the client window's list, or -1 when there is no client window or
    // its list is empty (the items then do nothing); 0 when rows exist but none is selected.
    int selectedClientRow() const;

    QMenu *m_mnuClient = nullptr;
    PlanMenus m_planMenus;
    QAction *mnuClientDetails = nullptr;
    QAction *mnuClientNew = nullptr;
    QAction *mnuClientDel = nullptr;
};

} // namespace kestrova
