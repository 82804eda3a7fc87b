#include "frmmenu.h"

#include "appstate.h"
#include "customers/shared/recordlistview.h"
#include "datatransfer.h"
#include "frmclient.h"
#include "frmclientinfo.h"

#include "customers/plans/frmplan.h"

#include <QMenu>

namespace kestrova {

frmMenu::frmMenu(QWidget *parent)
    : QWidget(parent)
    , m_mnuClient(new QMenu(QStringLiteral("Kestrova"), this))
{
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(QStringLiteral("Menu"));
    hide();

    m_mnuClient->setObjectName(QStringLiteral("mnuClient"));
    mnuClientDetails = m_mnuClient->addAction(QStringLiteral("详细资料(&I)..."));
    mnuClientDetails->setObjectName(QStringLiteral("mnuClientDetails"));
    connect(mnuClientDetails, &QAction::triggered, this, &frmMenu::mnuClientDetails_Click);
    mnuClientNew = m_mnuClient->addAction(QStringLiteral("新建资料(&N)..."));
    mnuClientNew->setObjectName(QStringLiteral("mnuClientNew"));
    connect(mnuClientNew, &QAction::triggered, this, &frmMenu::mnuClientNew_Click);
    mnuClientDel = m_mnuClient->addAction(QStringLiteral("删除资料(&D)"));
    mnuClientDel->setObjectName(QStringLiteral("mnuClientDel"));
    connect(mnuClientDel, &QAction::triggered, this, &frmMenu::mnuClientDel_Click);

    m_planMenus = buildPlanMenus(this, [] { return qobject_cast<frmPlan *>(gfrmPlan.data()); });

    // Export of the rows the window shows.
    m_mnuClient->addSeparator();
    QAction *clientExport = m_mnuClient->addAction(QStringLiteral("导出(&E)..."));
    clientExport->setObjectName(QStringLiteral("mnuClientExport"));
    connect(clientExport, &QAction::triggered, this,
            [] { runExportDialogFor(gfrmClient.data(), gfrmClient.data()); });
    if (QMenu *plans = m_planMenus.mnuPlan) {
        plans->addSeparator();
        QAction *planExport = plans->addAction(QStringLiteral("导出(&E)..."));
        planExport->setObjectName(QStringLiteral("mnuPlanExport"));
        connect(planExport, &QAction::triggered, this,
                [] { runExportDialogFor(gfrmPlan.data(), gfrmPlan.data()); });
    }
}

int frmMenu::selectedClientRow() const
{
    if (!gfrmClient || gfrmClient->lstvwClientInfo()->rowCount() == 0)
        return -1;
    return gfrmClient->lstvwClientInfo()->selectedRow();
}

void frmMenu::mnuClientDetails_Click()
{
    const int row = selectedClientRow();
    if (row >= 0)
        gfrmClient->OpenClientInfo(row, StyleView);
}

void frmMenu::mnuClientNew_Click()
{
    const int row = selectedClientRow();
    if (row >= 0)
        gfrmClient->OpenClientInfo(row, StyleNew);
}

void frmMenu::mnuClientDel_Click()
{
    const int row = selectedClientRow();
    if (row >= 0)
        gfrmClient->DeleteClient(row);
}

} // namespace kestrova
