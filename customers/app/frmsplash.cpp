#include "frmsplash.h"

#include "appstate.h"
#include "passwordfile.h"
#include "ui_frmsplash.h"

#include "customers/data/columns.h"
#include "platform/messagebox.h"

#include <QGuiApplication>
#include <QScreen>

namespace kestrova {

frmSplash::frmSplash(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , ui(std::make_unique<Ui::frmSplash>())
{
    ui->setupUi(this);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(224, 224, 224));
    setPalette(grey);
    setAutoFillBackground(true);
    ui->fraMainFrame->setAutoFillBackground(true);
    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
    connect(ui->Command1, &QPushButton::clicked, this, &frmSplash::Command1_Click);
    connect(ui->Command2, &QPushButton::clicked, this, &frmSplash::Command2_Click);
    Form_Load();
}

frmSplash::~frmSplash() = default;

void frmSplash::Form_Load()
{
    ui->lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                                .arg(kVersionMajor)
                                .arg(kVersionMinor)
                                .arg(kVersionRevision));
    ui->lblProductName->setText(QString::fromUtf16(kProgramTitle));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
    }
    m_attempts = 0;
}

void frmSplash::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ui->Text1->setFocus();
}

void frmSplash::Command1_Click()
{
    const std::optional<QStringList> fields =
        readPasswordFile(QString::fromUtf16(kPasswordFileName));
    if (!fields) {
        platform::messageBox(this,
                             QStringLiteral("找不到密码文件“5566.jpg”或无法读取它，无法登录。"
                                            "请把它放回程序的工作文件夹后再试。"),
                             QStringLiteral("警告"), QMessageBox::Critical);
        ui->Text1->setFocus();
        return;
    }
    if (!fields->isEmpty())
        m_password = fields->last();
    ++m_attempts;
    if (m_attempts > 3) {
        reject();
        return;
    }
    if (ui->Text1->text() != m_password) {
        platform::messageBox(this, QStringLiteral("用户密码输入错误!请再输一次!"),
                             QStringLiteral("警告"), QMessageBox::Critical,
                             QMessageBox::Ok | QMessageBox::Cancel);
        ui->Text1->setFocus();
        return;
    }
    emit loggedIn();
    accept();
}

void frmSplash::Command2_Click()
{
    reject();
}

} // namespace kestrova
