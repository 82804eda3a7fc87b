#pragma once

#include <QObject>

#include <memory>

namespace kestrova {

class frmSplash;
class MDIFrmMain;

// The program's start-up: the login form at once, the caption arrays, the check for the
// database file, then the main window once the password has been accepted.
class mdlMain : public QObject
{
    Q_OBJECT

public:
    explicit mdlMain(QObject *parent = nullptr);
    ~mdlMain() override;

    // Shows the login form and checks for the database. False when the program must end: the
    // message "文件已经损坏,请您重新安装" has been shown and endProgram() called.
    bool Main();

    frmSplash *splash() const { return m_splash.get(); }
    // The main window, once the login succeeded.
    MDIFrmMain *mainWindow() const { return m_main.get(); }

private:
    void showMainWindow();
    void loginRefused();

    std::unique_ptr<frmSplash> m_splash;
    std::unique_ptr<MDIFrmMain> m_main;
};

} // namespace kestrova
