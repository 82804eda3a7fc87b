#pragma once

#include <QDialog>

#include <memory>

namespace kestrova {

namespace Ui {
class frmSplash;
}

// The login form: shows the product and version, takes the password and compares it with the
// password file, at most three times. accepted() after a correct password (the main window is
// shown first, through loggedIn()); rejected() when the form closes otherwise: "取消", the
// frame, or the fourth press of "确认".
class frmSplash : public QDialog
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget *parent = nullptr);
    ~frmSplash() override;

    // "确认": reads the password file afresh, counts the press and compares.
    void Command1_Click();
    // "取消".
    void Command2_Click();

    int attempts() const { return m_attempts; }

signals:
    // The password was right; the receiver shows the main window before the form closes.
    void loggedIn();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();

    std::unique_ptr<Ui::frmSplash> ui;
    QString m_password; // the password read at the last press that found one
    int m_attempts = 0;
};

} // namespace kestrova
