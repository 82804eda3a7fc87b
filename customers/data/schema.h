#pragma once

#include "columns.h"
#include "databaselocation.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace kestrova {

class Engine;

// The columns Kestrova expects in one of its two tables (names in order, types); empty for
// any other table.
QList<ColumnInfo> expectedColumns(const QString &table);

// The SQL type each kind of column is declared with on one engine.
struct ColumnTypeNames
{
    QString key;
    QString text;
    QString date;
    QString boolean;
};

// CREATE TABLE for one of Kestrova's tables, its columns declared with the engine's types.
QString createTableSql(const QString &table, const ColumnTypeNames &types);

// What a database holds, seen from Kestrova.
struct SchemaCheck
{
    enum State {
        Kestrova,   // both tables, with the expected columns
        Empty,      // no tables at all: create may make them
        Incomplete, // one table as expected, the other missing, nothing else
        Foreign,    // anything else: another program's database, never touched
        Failed,     // the catalogue could not be read
    };
    State state = Failed;
    QString message;                           // why it is foreign or failed, for the user
    QStringList missing;                       // Kestrova's tables that are not there
    QStringList tables;                        // every table the database holds
    QHash<QString, QList<ColumnInfo>> columns; // of Kestrova's tables that are there
};

// Reads the catalogue only; writes nothing.
SchemaCheck checkSchema(Engine &engine);

// Creates both tables in an empty database, or the missing one; a database that already holds
// them leaves it as it is. A foreign database (other tables, or a table of Kestrova's name with
// other columns) is refused, with the reason in `error`, and left byte-for-byte untouched.
bool createDatabase(const DatabaseLocation &location, QString *error = nullptr);
// The same for a file path.
bool createDatabaseFile(const QString &path, QString *error = nullptr);

} // namespace kestrova
