#include "mdifrmmain.h"

#include "appstate.h"
#include "customers/shared/settings.h"
#include "customers/shared/toolbaricons.h"
#include "datatransfer.h"
#include "form1.h"
#include "frmclient.h"
#include "frmdatabase.h"
#include "frmloading.h"

#include "customers/data/columns.h"
#include "platform/messagebox.h"
#include "platform/shortdate.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTime>
#include <QTimer>

namespace kestrova {

namespace {

constexpr int kDefaultLeft = 1000;
constexpr int kDefaultTop = 1000;
constexpr int kDefaultWidth = 6500;
constexpr int kDefaultHeight = 6500;

// A stored geometry value in twips; the default when it is missing or no number.
int geometrySetting(const char16_t *key, int defaultValue)
{
    const QString text = GetSetting(QString::fromUtf16(key), QString::number(defaultValue));
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 1e8)
        return defaultValue;
    return static_cast<int>(std::lround(value));
}

} // namespace

MDIFrmMain::MDIFrmMain(QWidget *parent)
    : QMainWindow(parent)
    , m_mdiArea(new QMdiArea(this))
{
    setObjectName(QStringLiteral("MDIFrmMain"));
    setWindowTitle(QString::fromUtf16(kProgramTitle));
    setWindowIcon(toolbarIcon(QStringLiteral("Kestrova")));
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    buildMenus();
    buildStatusBar();
    MDIForm_Load();
}

MDIFrmMain::~MDIFrmMain() = default;

void MDIFrmMain::buildMenus()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileDatabase = mnuFile->addAction(QStringLiteral("数据库设置(&D)…"));
    mnuFileDatabase->setObjectName(QStringLiteral("mnuFileDatabase"));
    connect(mnuFileDatabase, &QAction::triggered, this, &MDIFrmMain::mnuFileDatabase_Click);
    mnuFileImport = mnuFile->addAction(QStringLiteral("导入(&I)…"));
    mnuFileImport->setObjectName(QStringLiteral("mnuFileImport"));
    connect(mnuFileImport, &QAction::triggered, this, &MDIFrmMain::mnuFileImport_Click);
    mnuFileExport = mnuFile->addAction(QStringLiteral("导出(&E)…"));
    mnuFileExport->setObjectName(QStringLiteral("mnuFileExport"));
    connect(mnuFileExport, &QAction::triggered, this, &MDIFrmMain::mnuFileExport_Click);
    mnuFile->addSeparator();
    mnuFileClose = mnuFile->addAction(QStringLiteral("关闭(&C)"));
    mnuFileClose->setObjectName(QStringLiteral("mnuFileClose"));
    connect(mnuFileClose, &QAction::triggered, this, &MDIFrmMain::mnuFileClose_Click);

    mnuView = menuBar()->addMenu(QStringLiteral("查看(&V)"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuViewClient = mnuView->addAction(QStringLiteral("Kestrova(&C)"));
    mnuViewClient->setObjectName(QStringLiteral("mnuViewClient"));
    connect(mnuViewClient, &QAction::triggered, this, &MDIFrmMain::mnuViewClient_Click);
    mnuViewPlan = mnuView->addAction(QStringLiteral("工作计划(&P)"));
    mnuViewPlan->setObjectName(QStringLiteral("mnuViewPlan"));
    connect(mnuViewPlan, &QAction::triggered, this, &MDIFrmMain::mnuViewPlan_Click);
    // The plan window joins when its library registers a factory.
    const auto updatePlanItem = [this] {
        mnuViewPlan->setEnabled(bool(planWindowFactory()));
    };
    updatePlanItem();
    connect(mnuView, &QMenu::aboutToShow, this, updatePlanItem);

    gmm = menuBar()->addMenu(QStringLiteral("改密码"));
    gmm->setObjectName(QStringLiteral("gmm"));
    xgmm = gmm->addAction(QStringLiteral("修改密码"));
    xgmm->setObjectName(QStringLiteral("xgmm"));
    connect(xgmm, &QAction::triggered, this, &MDIFrmMain::xgmm_Click);
}

void MDIFrmMain::mnuFileImport_Click()
{
    const QMdiSubWindow *active = m_mdiArea->activeSubWindow();
    const bool plans = active && active->widget() == gfrmPlan.data();
    runImportDialog(this, plans ? interchange::Target::Plans : interchange::Target::Clients);
}

void MDIFrmMain::mnuFileExport_Click()
{
    const QMdiSubWindow *active = m_mdiArea->activeSubWindow();
    runExportDialogFor(this, active ? active->widget() : nullptr);
}

void MDIFrmMain::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    m_panelText = new QLabel(bar);
    m_panelText->setObjectName(QStringLiteral("panelText"));
    m_panelDate = new QLabel(bar);
    m_panelDate->setObjectName(QStringLiteral("panelDate"));
    m_panelTime = new QLabel(bar);
    m_panelTime->setObjectName(QStringLiteral("panelTime"));
    for (QLabel *panel : {m_panelDate, m_panelTime}) {
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setAlignment(Qt::AlignCenter);
        panel->setMinimumWidth(80);
    }
    m_panelText->setFrameShape(QFrame::Panel);
    m_panelText->setFrameShadow(QFrame::Sunken);
    bar->addWidget(m_panelText, 1);
    bar->addPermanentWidget(m_panelDate);
    bar->addPermanentWidget(m_panelTime);
    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &MDIFrmMain::updateClock);
    m_clock->start();
    updateClock();
}

void MDIFrmMain::updateClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_panelDate->setText(platform::shortDate(now.date()));
    m_panelTime->setText(now.time().toString(QStringLiteral("H:mm")));
}

void MDIFrmMain::MDIForm_Load()
{
    QRect frame(platform::twips(geometrySetting(kMainLeft, kDefaultLeft)),
                platform::twips(geometrySetting(kMainTop, kDefaultTop)),
                platform::twips(geometrySetting(kMainWidth, kDefaultWidth)),
                platform::twips(geometrySetting(kMainHeight, kDefaultHeight)));
    // A place on no screen (a screen since removed) would hide the window: use the default one.
    bool onScreen = false;
    for (const QScreen *screen : QGuiApplication::screens())
        onScreen = onScreen || screen->geometry().intersects(frame);
    if (!onScreen && !QGuiApplication::screens().isEmpty())
        frame.moveTopLeft(QPoint(platform::twips(kDefaultLeft), platform::twips(kDefaultTop)));
    move(frame.topLeft());
    resize(frame.size());
}

void MDIFrmMain::saveGeometrySettings()
{
    if (isMinimized())
        return;
    const auto save = [](const char16_t *key, int pixels) {
        SaveSetting(QString::fromUtf16(key), QString::number(pixels * platform::kTwipsPerPixel));
    };
    save(kMainLeft, pos().x());
    save(kMainTop, pos().y());
    save(kMainWidth, width());
    save(kMainHeight, height());
}

void MDIFrmMain::closeEvent(QCloseEvent *event)
{
    platform::MessageRequest question;
    question.parent = this;
    question.text = QStringLiteral("确定要退出吗？");
    question.title = QString::fromUtf16(kProgramTitle);
    question.icon = QMessageBox::Question;
    question.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    const bool leave = platform::messageBox(question) == QMessageBox::Ok;
    if (leave) {
        // Every other window unloads first: the list windows store their view mode and close
        // their databases.
        m_mdiArea->closeAllSubWindows();
        if (m_passwordDialog)
            m_passwordDialog->close();
    }
    saveGeometrySettings();
    if (leave)
        event->accept();
    else
        event->ignore();
}

QMdiSubWindow *MDIFrmMain::subWindowOf(const QWidget *child) const
{
    if (!child)
        return nullptr;
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList()) {
        if (sub->widget() == child)
            return sub;
    }
    return nullptr;
}

void MDIFrmMain::showChild(QWidget *child)
{
    QMdiSubWindow *sub = subWindowOf(child);
    if (!sub) {
        sub = m_mdiArea->addSubWindow(child);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowIcon(windowIcon());
        sub->resize(child->sizeHint() + (sub->size() - sub->contentsRect().size()));
    }
    sub->showNormal();
    sub->show();
    m_mdiArea->setActiveSubWindow(sub);
    child->setFocus();
}

void MDIFrmMain::mnuViewClient_Click()
{
    frmLoading notice(this);
    notice.showOver(this);
    // A window that was closed is on its way out; the command builds a fresh one.
    const QMdiSubWindow *sub = subWindowOf(gfrmClient);
    if (!gfrmClient || !sub || sub->isHidden()) {
        gfrmClient = new frmClient;
        showChild(gfrmClient);
    } else {
        showChild(gfrmClient);
    }
    notice.close();
}

void MDIFrmMain::mnuViewPlan_Click()
{
    const PlanWindowFactory &factory = planWindowFactory();
    if (!factory)
        return;
    frmLoading notice(this);
    notice.showOver(this);
    const QMdiSubWindow *sub = subWindowOf(gfrmPlan);
    if (!gfrmPlan || !sub || sub->isHidden())
        gfrmPlan = factory();
    if (gfrmPlan)
        showChild(gfrmPlan);
    notice.close();
}

void MDIFrmMain::xgmm_Click()
{
    if (!m_passwordDialog) {
        m_passwordDialog = new Form1(this);
        m_passwordDialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_passwordDialog->show();
    m_passwordDialog->raise();
    m_passwordDialog->activateWindow();
}

Form1 *MDIFrmMain::passwordDialog() const
{
    return m_passwordDialog;
}

void MDIFrmMain::mnuFileDatabase_Click()
{
    const DatabaseLocation before = dataLocation();
    frmDatabase dialog(this);
    if (dialog.exec() != QDialog::Accepted || dataLocation() == before ||
        (!gfrmClient && !gfrmPlan))
        return;
    platform::messageBox(this,
                         QStringLiteral("已打开的客户和工作计划窗口仍使用原来的数据库，"
                                        "关闭后重新打开即使用新的设置。"),
                         QString::fromUtf16(kProgramTitle), QMessageBox::Information);
}

void MDIFrmMain::mnuFileClose_Click()
{
    close();
}

} // namespace kestrova
