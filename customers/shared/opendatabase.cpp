#include "opendatabase.h"

#include "customers/data/clsdatabase.h"
#include "customers/data/columns.h"
#include "platform/messagebox.h"

#include <QInputDialog>
#include <QLineEdit>

namespace kestrova {

namespace {

constexpr int kPasswordTries = 3;

bool askPassword(QWidget *parent, const DatabaseLocation &location, bool again, QString *password)
{
    const QString user =
        location.user().isEmpty() ? QString() : QStringLiteral("用户“%1”的").arg(location.user());
    QString text =
        QStringLiteral("数据库服务器 %1 要求输入%2密码：").arg(location.displayText(), user);
    if (again)
        text.prepend(QStringLiteral("密码不对，请重新输入。\n"));
    bool ok = false;
    *password = QInputDialog::getText(parent, QString::fromUtf16(kProgramTitle), text,
                                      QLineEdit::Password, {}, &ok);
    return ok;
}

} // namespace

QString sharedFileAdvice(const QString &path)
{
    return QStringLiteral("数据库文件“%1”位于网络共享上。几台电脑同时通过共享使用同一个文件，"
                          "数据可能损坏；程序已改用较稳妥的方式打开它，但这并不能完全避免损坏。\n\n"
                          "多台电脑共用客户资料时，请在“文件 → 数据库设置…”中改用数据库服务器："
                          "服务器是共享数据的安全方式。")
        .arg(path);
}

bool openTable(clsDataBase &database, const QString &table, QWidget *parent)
{
    bool opened = database.OpenDB(table);
    for (int tries = 0;
         !opened && database.ErrorKind() == DataError::Authentication && tries < kPasswordTries;
         ++tries) {
        QString password;
        if (!askPassword(parent, database.Location(), tries > 0, &password))
            break;
        DatabaseLocation::setSessionPassword(password);
        opened = database.OpenDB(table);
    }
    static bool sharedFileTold = false;
    if (opened && database.SharedFileWarning() && !sharedFileTold) {
        sharedFileTold = true;
        platform::messageBox(parent, sharedFileAdvice(database.DataPath()),
                             QString::fromUtf16(kProgramTitle), QMessageBox::Warning);
    }
    return opened;
}

} // namespace kestrova
