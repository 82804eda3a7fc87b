#include "form1.h"

#include "passwordfile.h"
#include "ui_form1.h"

#include "platform/messagebox.h"

#include <QGuiApplication>
#include <QScreen>

namespace kestrova {

Form1::Form1(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , ui(std::make_unique<Ui::Form1>())
{
    ui->setupUi(this);
    setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
    connect(ui->Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(ui->Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
    }
}

Form1::~Form1() = default;

void Form1::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ui->Text1->setFocus();
}

void Form1::Command1_Click()
{
    if (ui->Text2->text() != ui->Text1->text()) {
        platform::messageBox(this, QStringLiteral("密码输入错误!请重新输入!"),
                             QStringLiteral("警告"), QMessageBox::Critical,
                             QMessageBox::Ok | QMessageBox::Cancel);
        ui->Text2->setFocus();
        return;
    }
    const QString password = ui->Text1->text();
    if (!passwordFitsCodePage(password)) {
        platform::messageBox(this,
                             QStringLiteral("新密码中有密码文件无法保存的字符，请换一个密码。"),
                             QStringLiteral("警告"), QMessageBox::Critical);
        ui->Text1->setFocus();
        return;
    }
    QString error;
    if (!writePasswordFile(QString::fromUtf16(kPasswordFileName), password, &error)) {
        platform::messageBox(
            this, QStringLiteral("无法保存密码文件“5566.jpg”，密码没有修改。\n%1").arg(error),
            QStringLiteral("警告"), QMessageBox::Critical);
        return;
    }
    accept();
}

void Form1::Command2_Click()
{
    reject();
}

} // namespace kestrova
