#include "mdlmain.h"

#include "appstate.h"
#include "customers/shared/toolbaricons.h"
#include "frmmenu.h"
#include "frmsplash.h"
#include "mdifrmmain.h"
#include "olddatabaseoffer.h"

#include "customers/plans/frmplan.h"

#include "customers/data/columns.h"
#include "platform/messagebox.h"

namespace kestrova {

mdlMain::mdlMain(QObject *parent)
    : QObject(parent)
{
    // The plan window takes its pop-up menus from a frmMenu of its own, like the client window.
    setPlanWindowFactory([] {
        auto *window = new frmPlan(dataLocation().toString());
        window->setMenuProvider([](frmPlan *owner) { return (new frmMenu(owner))->planMenus(); });
        return window;
    });
}

mdlMain::~mdlMain() = default;

bool mdlMain::Main()
{
    m_splash = std::make_unique<frmSplash>();
    connect(m_splash.get(), &frmSplash::loggedIn, this, &mdlMain::showMainWindow);
    connect(m_splash.get(), &QDialog::rejected, this, &mdlMain::loginRefused);
    m_splash->show();
    m_splash->repaint();

    clientCaptions();
    planCaptions();

    offerOldDatabaseConversion(dataFilePath(), m_splash.get());
    if (!CheckDBFile()) {
        platform::messageBox(nullptr, QStringLiteral("文件已经损坏,请您重新安装"),
                             QString::fromUtf16(kProgramTitle), QMessageBox::NoIcon);
        m_splash->hide();
        endProgram(1);
        return false;
    }
    return true;
}

void mdlMain::showMainWindow()
{
    m_main = std::make_unique<MDIFrmMain>();
    m_main->show();
}

void mdlMain::loginRefused()
{
    endProgram(0);
}

} // namespace kestrova
