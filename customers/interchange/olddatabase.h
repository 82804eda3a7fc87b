#pragma once

#include <QString>

namespace kestrova::interchange {

struct OldDatabaseReport
{
    int clients = 0;
    int plans = 0;
    QString backupPath;
};

// Where the original Access file is kept after a conversion.
QString jetBackupPath(const QString &dbPath);

// Converts the Access database at `dbPath` (the old program's khdata.mdb) into ours in place:
// the tables 客户 and 工作计划 are read by column name with their 编号 kept, written to a new
// file, and only when all of it succeeded the original is renamed to "<name>.jet-backup"
// (never changed) and the new file takes its name. On failure nothing has changed.
bool convertOldDatabase(const QString &dbPath, OldDatabaseReport *report, QString *error);

} // namespace kestrova::interchange
