#include "frmdatabase.h"

#include "appstate.h"
#include "ui_frmdatabase.h"

namespace kestrova {

namespace {

constexpr int kDefaultPort = 5432;

} // namespace

frmDatabase::frmDatabase(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmDatabase>())
    , m_file(DatabaseLocation::file(dataFilePath()))
{
    ui->setupUi(this);
    connect(ui->optLocal, &QRadioButton::toggled, this, &frmDatabase::updateEnabled);
    connect(ui->cmdTest, &QPushButton::clicked, this, &frmDatabase::cmdTest_Click);
    connect(ui->cmdOk, &QPushButton::clicked, this, &frmDatabase::cmdOk_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    setLocation(dataLocation());
}

frmDatabase::~frmDatabase() = default;

DatabaseLocation frmDatabase::location() const
{
    if (ui->optLocal->isChecked())
        return m_file;
    return DatabaseLocation::server(ui->txtHost->text().trimmed(), ui->txtPort->value(),
                                    ui->txtDatabase->text().trimmed(),
                                    ui->txtUser->text().trimmed());
}

void frmDatabase::setLocation(const DatabaseLocation &location)
{
    const bool server = location.isServer();
    if (!server && location.isValid())
        m_file = location;
    ui->lblLocalPath->setText(m_file.path());
    ui->optServer->setChecked(server);
    ui->optLocal->setChecked(!server);
    ui->txtHost->setText(server ? location.host() : QString());
    ui->txtPort->setValue(server && location.port() > 0 ? location.port() : kDefaultPort);
    ui->txtDatabase->setText(server ? location.database() : QString());
    ui->txtUser->setText(server ? location.user() : QString());
    updateEnabled();
}

void frmDatabase::updateEnabled()
{
    ui->fraServer->setEnabled(ui->optServer->isChecked());
    ui->lblLocalPath->setEnabled(ui->optLocal->isChecked());
    ui->lblTestResult->clear();
}

void frmDatabase::cmdTest_Click()
{
    ui->lblTestResult->setStyleSheet({});
    ui->lblTestResult->setText(QStringLiteral("正在连接…"));
    ui->lblTestResult->repaint();
    const QString failure = testDatabaseLocation(location(), this);
    ui->lblTestResult->setStyleSheet(failure.isEmpty() ? QStringLiteral("color: #1d6b1d;")
                                                       : QStringLiteral("color: #a01010;"));
    ui->lblTestResult->setText(failure.isEmpty() ? QStringLiteral("连接成功")
                                                 : QStringLiteral("连接失败：") + failure);
}

void frmDatabase::cmdOk_Click()
{
    // The program's own file is stored as no setting at all, so it follows the program.
    const DatabaseLocation chosen = location();
    DatabaseLocation::saveToSettings(
        chosen == DatabaseLocation::file(dataFilePath()) ? DatabaseLocation::localFile() : chosen);
    accept();
}

} // namespace kestrova
