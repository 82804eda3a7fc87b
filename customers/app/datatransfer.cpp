#include "datatransfer.h"

#include "appstate.h"
#include "exportdialog.h"
#include "frmclient.h"
#include "importdialog.h"

#include "customers/plans/frmplan.h"

namespace kestrova {

void runImportDialog(QWidget *parent, interchange::Target target)
{
    ImportDialog dialog(dataFilePath(), target, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.written() == 0)
        return;
    if (gfrmClient)
        gfrmClient->LoadClientList();
    if (auto *plans = qobject_cast<frmPlan *>(gfrmPlan.data())) {
        plans->setDataChanged(true);
        plans->LoadPlanList();
    }
}

void runExportDialog(QWidget *parent, interchange::Target target, const QString &filter)
{
    ExportDialog dialog(dataFilePath(), target, filter, parent);
    dialog.exec();
}

void runExportDialogFor(QWidget *parent, QWidget *child)
{
    if (auto *plans = qobject_cast<frmPlan *>(child))
        runExportDialog(parent, interchange::Target::Plans, plans->currentFilter());
    else if (auto *clients = qobject_cast<frmClient *>(child))
        runExportDialog(parent, interchange::Target::Clients, clients->currentFilter());
    else
        runExportDialog(parent, interchange::Target::Clients, QString());
}

} // namespace kestrova
