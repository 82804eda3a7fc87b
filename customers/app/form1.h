#pragma once

#include <QDialog>

#include <memory>

namespace kestrova {

namespace Ui {
class Form1;
}

// The change-password dialog: the new password twice; "确认" writes it to the password file
// when both agree.
class Form1 : public QDialog
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    void Command1_Click();
    void Command2_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::Form1> ui;
};

} // namespace kestrova
