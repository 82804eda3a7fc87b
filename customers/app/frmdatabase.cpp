#include "frmdatabase.h"

#include "appstate.h"
#include "customers/shared/settings.h"
#include "ui_frmdatabase.h"

#include <QUrl>

namespace kestrova {

namespace {

constexpr int kDefaultPort = 5432;

bool isServerUrl(const QUrl &address)
{
    return address.scheme() == u"postgresql" || address.scheme() == u"postgres";
}

} // namespace

frmDatabase::frmDatabase(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmDatabase>())
{
    ui->setupUi(this);
    ui->lblLocalPath->setText(dataFilePath());
    connect(ui->optLocal, &QRadioButton::toggled, this, &frmDatabase::updateEnabled);
    connect(ui->cmdTest, &QPushButton::clicked, this, &frmDatabase::cmdTest_Click);
    connect(ui->cmdOk, &QPushButton::clicked, this, &frmDatabase::cmdOk_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    setUrl(DatabaseUrlSetting());
}

frmDatabase::~frmDatabase() = default;

QString frmDatabase::url() const
{
    if (ui->optLocal->isChecked())
        return {};
    QUrl address;
    address.setScheme(QStringLiteral("postgresql"));
    const QString user = ui->txtUser->text().trimmed();
    if (!user.isEmpty())
        address.setUserName(user);
    address.setHost(ui->txtHost->text().trimmed());
    address.setPort(ui->txtPort->value());
    const QString database = ui->txtDatabase->text().trimmed();
    if (!database.isEmpty())
        address.setPath(u'/' + database);
    return address.toString(QUrl::FullyEncoded);
}

void frmDatabase::setUrl(const QString &url)
{
    const QUrl address(url.trimmed(), QUrl::TolerantMode);
    const bool server = !url.trimmed().isEmpty() && isServerUrl(address);
    ui->optServer->setChecked(server);
    ui->optLocal->setChecked(!server);
    ui->txtHost->setText(server ? address.host() : QString());
    ui->txtPort->setValue(server ? address.port(kDefaultPort) : kDefaultPort);
    ui->txtDatabase->setText(server ? address.path().mid(1) : QString());
    ui->txtUser->setText(server ? address.userName() : QString());
    ui->lblTestResult->clear();
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
    ui->lblTestResult->setText(QStringLiteral("正在连接…"));
    ui->lblTestResult->repaint();
    const QString failure = testDatabaseLocation(url());
    ui->lblTestResult->setStyleSheet(failure.isEmpty() ? QStringLiteral("color: #1d6b1d;")
                                                       : QStringLiteral("color: #a01010;"));
    ui->lblTestResult->setText(failure.isEmpty() ? QStringLiteral("连接成功")
                                                 : QStringLiteral("连接失败：") + failure);
}

void frmDatabase::cmdOk_Click()
{
    SaveDatabaseUrlSetting(url());
    accept();
}

} // namespace kestrova
