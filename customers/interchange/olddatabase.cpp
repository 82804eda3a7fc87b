#include "olddatabase.h"

#include "importer.h"
#include "jetfile.h"

#include "customers/data/schema.h"

#include <QFile>
#include <QFileInfo>

namespace kestrova::interchange {

QString jetBackupPath(const QString &dbPath)
{
    return dbPath + QStringLiteral(".jet-backup");
}

QList<OldTableSource> oldProgramTables()
{
    return {{Target::Clients, tableName(Target::Clients), {}},
            {Target::Plans, tableName(Target::Plans), {}}};
}

bool convertOldDatabase(const QString &dbPath, OldDatabaseReport *report, QString *error,
                        const QList<OldTableSource> &sources)
{
    JetFile jet;
    if (!jet.open(dbPath, error))
        return false;
    const QString backup = jetBackupPath(dbPath);
    if (QFileInfo::exists(backup)) {
        *error = QStringLiteral("%1 已经存在；请先把它移走，再转换旧数据库。").arg(backup);
        return false;
    }
    const QString fresh = dbPath + QStringLiteral(".converting");
    QFile::remove(fresh);
    QString schemaError;
    if (!createDatabaseFile(fresh, &schemaError)) {
        *error = QStringLiteral("不能建立新数据库：%1").arg(schemaError);
        return false;
    }
    auto abandon = [&](const QString &why) {
        QFile::remove(fresh);
        QFile::remove(fresh + QStringLiteral("-wal"));
        QFile::remove(fresh + QStringLiteral("-shm"));
        *error = why;
        return false;
    };
    const QStringList tables = jet.tables();
    QList<TableRows> converted;
    int counts[2] = {0, 0};
    for (const OldTableSource &from : sources) {
        const Target target = from.target;
        const QString name = from.table;
        if (!tables.contains(name))
            continue;
        QString readError;
        const auto source = jet.readTable(name, &readError);
        if (!source)
            return abandon(readError);
        QList<ColumnInfo> types;
        if (!readTargetInfo(fresh, target, &types, nullptr, &readError))
            return abandon(readError);
        const auto mapping = applyColumnMap(automaticMapping(source->headers, target, true),
                                            from.columnMap, source->headers, target, &readError);
        if (!mapping)
            return abandon(readError);
        Conversion conversion = convertRows(*source, *mapping, target, types, {});
        if (!conversion.error.isEmpty())
            return abandon(QStringLiteral("表 %1：%2").arg(name, conversion.error));
        if (!conversion.problems.isEmpty())
            return abandon(QStringLiteral("表 %1 有不能转换的值：\n").arg(name) +
                           problemLines(conversion.problems, 20).join(u'\n'));
        counts[target == Target::Clients ? 0 : 1] = static_cast<int>(conversion.rows.size());
        converted.append(tableRows(target, conversion));
    }
    if (converted.isEmpty())
        return abandon(QStringLiteral("这个 Access 数据库里没有“客户”或“工作计划”表。"));
    QString writeError;
    if (!writeRows(fresh, converted, {}, &writeError))
        return abandon(writeError);
    if (!QFile::rename(dbPath, backup))
        return abandon(QStringLiteral("不能把原文件改名为 %1。").arg(backup));
    if (!QFile::rename(fresh, dbPath)) {
        QFile::rename(backup, dbPath);
        return abandon(QStringLiteral("不能把转换后的文件放到 %1。").arg(dbPath));
    }
    if (report) {
        report->clients = counts[0];
        report->plans = counts[1];
        report->backupPath = backup;
    }
    return true;
}

} // namespace kestrova::interchange
