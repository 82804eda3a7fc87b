#pragma once

#include "importer.h"

#include <QList>
#include <QString>

namespace kestrova::interchange {

struct OldDatabaseReport
{
    int clients = 0;
    int plans = 0;
    QString backupPath;
};

// Which table of the Access file feeds one of ours, and how its columns map ("源列=目标列,…"
// on top of the columns whose names match ours).
struct OldTableSource
{
    Target target = Target::Clients;
    QString table;
    QString columnMap;
};

// 客户 → 客户 and 工作计划 → 工作计划, by column names.
QList<OldTableSource> oldProgramTables();

// Where the original Access file is kept after a conversion.
QString jetBackupPath(const QString &dbPath);

// Converts the Access database at `dbPath` (the old program's khdata.mdb) into ours in place:
// the tables 客户 and 工作计划 are read by column name with their 编号 kept, written to a new
// file, and only when all of it succeeded the original is renamed to "<name>.jet-backup"
// (never changed) and the new file takes its name. On failure nothing has changed.
bool convertOldDatabase(const QString &dbPath, OldDatabaseReport *report, QString *error,
                        const QList<OldTableSource> &sources = oldProgramTables());

} // namespace kestrova::interchange
