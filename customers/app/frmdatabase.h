#pragma once

#include <QDialog>

#include <memory>

namespace kestrova {

namespace Ui {
class frmDatabase;
}

// "数据库设置…": where this desk's customer database is, the local file beside the program or a
// PostgreSQL server (host, port, database, user). "测试连接" tries a real connection; "确定"
// stores the address as the "Database/Url" setting. No password is asked for or kept here.
class frmDatabase : public QDialog
{
    Q_OBJECT

public:
    explicit frmDatabase(QWidget *parent = nullptr);
    ~frmDatabase() override;

    // The address the fields make; empty for the local file.
    QString url() const;
    // Fills the fields from an address; anything but a postgresql:// address means the file.
    void setUrl(const QString &url);

    void cmdTest_Click();
    void cmdOk_Click();

private:
    void updateEnabled();

    std::unique_ptr<Ui::frmDatabase> ui;
};

} // namespace kestrova
