#include "olddatabaseoffer.h"

#include "customers/data/columns.h"
#include "customers/interchange/jetfile.h"
#include "customers/interchange/olddatabase.h"
#include "platform/messagebox.h"

#include <QApplication>
#include <QFileInfo>

namespace kestrova {

bool offerOldDatabaseConversion(const QString &dbPath, QWidget *parent)
{
    if (!interchange::JetFile::isJetFile(dbPath))
        return false;
    const QString title = QString::fromUtf16(kProgramTitle);
    const QString name = QFileInfo(dbPath).fileName();
    platform::MessageRequest question;
    question.parent = parent;
    question.title = title;
    question.icon = QMessageBox::Question;
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    question.defaultButton = QMessageBox::Yes;
    question.text =
        QStringLiteral("%1 是旧版程序的 Access 数据库。\n"
                       "要把它转换成现在的格式吗？客户和工作计划会全部转过来，编号不变；"
                       "原文件保留为 %2，不会被改动。")
            .arg(name, QFileInfo(interchange::jetBackupPath(dbPath)).fileName());
    if (platform::messageBox(question) != QMessageBox::Yes)
        return false;
    interchange::OldDatabaseReport report;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool converted = interchange::convertOldDatabase(dbPath, &report, &error);
    QApplication::restoreOverrideCursor();
    if (!converted) {
        platform::messageBox(parent,
                             QStringLiteral("转换没有完成，%1 保持原样。\n%2").arg(name, error),
                             title, QMessageBox::Warning);
        return false;
    }
    platform::messageBox(parent,
                         QStringLiteral("已转换 %1 个客户和 %2 个工作计划。原文件保留为 %3。")
                             .arg(report.clients)
                             .arg(report.plans)
                             .arg(report.backupPath),
                         title);
    return true;
}

} // namespace kestrova
