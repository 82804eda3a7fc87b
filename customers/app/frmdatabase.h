#pragma once

#include "customers/data/databaselocation.h"

#include <QDialog>

#include <memory>

namespace kestrova {

namespace Ui {
class frmDatabase;
}

// "数据库设置…": where this desk's customer database is, the local file or a PostgreSQL server
// (host or socket folder, port, database, user). "测试连接" tries a real connection; "确定"
// stores the choice as the "Database/Url" setting, never with a password.
class frmDatabase : public QDialog
{
    Q_OBJECT

public:
    explicit frmDatabase(QWidget *parent = nullptr);
    ~frmDatabase() override;

    // The database the fields name: the file shown, or a server.
    DatabaseLocation location() const;
    // Fills the fields from a location.
    void setLocation(const DatabaseLocation &location);

    void cmdTest_Click();
    void cmdOk_Click();

private:
    void updateEnabled();

    std::unique_ptr<Ui::frmDatabase> ui;
    DatabaseLocation m_file; // the file "本机文件" stands for
};

} // namespace kestrova
