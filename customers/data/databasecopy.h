#pragma once

#include "databaselocation.h"
#include "dataerror.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace kestrova {

// What `kestrova-db check` reports, and what a settings dialog's connection test shows: the
// schema's state and the rows of each table.
struct DatabaseSummary
{
    bool kestrova = false; // both tables, as Kestrova expects them
    QString problem;       // why not, for the user
    QList<std::pair<QString, qint64>> rowCounts;
};
// Empty when the database cannot be reached, with the reason in `error` and its kind in
// `kind` (Authentication: ask for a password, set it with DatabaseLocation::setSessionPassword
// and try again; ConnectionLost: the server cannot be reached).
std::optional<DatabaseSummary> inspectDatabase(const DatabaseLocation &location,
                                               QString *error = nullptr,
                                               DataError::Kind *kind = nullptr);

struct CopyOptions
{
    bool replace = false; // empty a target that holds rows instead of refusing it
    // Called after every batch of rows: rows copied so far, rows in all.
    std::function<void(qint64 done, qint64 total)> progress;
};

// Copies both tables, keys kept, from one database to another (file to server and back, or
// any pair). The target is created when missing; a foreign target or source is refused, and a
// target that holds rows is refused unless `replace`. Everything is written in one
// transaction: a failure leaves the target as it was. The server's identities then continue
// after the highest key copied.
bool copyDatabase(const DatabaseLocation &from, const DatabaseLocation &to,
                  const CopyOptions &options, QString *error = nullptr);

} // namespace kestrova
