#pragma once

#include <QString>

class QSqlDatabase;

namespace kestrova {

// Creates the two tables in an open database where they are missing; rows already there stay.
// Returns false with a reason in `error` when the database refuses.
bool createSchema(QSqlDatabase &database, QString *error = nullptr);

// Creates (or completes) the database file at `path` with both tables, in WAL mode.
bool createDatabaseFile(const QString &path, QString *error = nullptr);

} // namespace kestrova
