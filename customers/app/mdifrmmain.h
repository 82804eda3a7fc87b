#pragma once

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;

namespace kestrova {

class Form1;
class frmLoading;

// The program's frame: a multiple-document window whose View menu opens the client window and
// the plan window, with a status bar showing the date and time. It takes its place from the
// settings when it is built and stores it again when it closes, unless it is minimised.
class MDIFrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit MDIFrmMain(QWidget *parent = nullptr);
    ~MDIFrmMain() override;

    QMdiArea *mdiArea() const { return m_mdiArea; }

    // "Kestrova(&C)": builds the client window once (gfrmClient) and brings it forward.
    void mnuViewClient_Click();
    // "工作计划(&P)": the same for the plan window (gfrmPlan), built by the registered factory.
    void mnuViewPlan_Click();
    // "修改密码": the change-password dialog, one at a time.
    void xgmm_Click();
    // "数据库设置…": where this desk's database is.
    void mnuFileDatabase_Click();
    // "导入…" and "导出…": the import and export dialogs on the program's database.
    void mnuFileImport_Click();
    void mnuFileExport_Click();
    // "关闭(&C)": asks the window to close.
    void mnuFileClose_Click();

    // The sub-window that holds a child window, or null.
    QMdiSubWindow *subWindowOf(const QWidget *child) const;
    Form1 *passwordDialog() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void MDIForm_Load();
    void saveGeometrySettings();
    void buildMenus();
    void buildStatusBar();
    void updateClock();
    // Adds a child window to the frame (once) and brings it forward.
    void showChild(QWidget *child);

    QMdiArea *m_mdiArea = nullptr;
    QMenu *mnuFile = nullptr;
    QAction *mnuFileDatabase = nullptr;
    QAction *mnuFileImport = nullptr;
    QAction *mnuFileExport = nullptr;
    QAction *mnuFileClose = nullptr;
    QMenu *mnuView = nullptr;
    QAction *mnuViewClient = nullptr;
    QAction *mnuViewPlan = nullptr;
    QMenu *gmm = nullptr;
    QAction *xgmm = nullptr;
    QLabel *m_panelText = nullptr;
    QLabel *m_panelDate = nullptr;
    QLabel *m_panelTime = nullptr;
    QTimer *m_clock = nullptr;
    QPointer<Form1> m_passwordDialog;
    QPointer<frmLoading> m_loading;
};

} // namespace kestrova
