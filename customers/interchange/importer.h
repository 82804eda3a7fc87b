#pragma once

#include "csvformat.h"
#include "sourcetable.h"

#include "customers/data/columns.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <optional>

namespace kestrova {
class clsDataBase;
class DatabaseLocation;
} // namespace kestrova

namespace kestrova::interchange {

enum class Target { Clients, Plans };

QString tableName(Target target);
// Opens the target's table in the database at `location`; false with the reason for the user.
bool openTargetTable(clsDataBase &database, const DatabaseLocation &location, Target target,
                     QString *error);
const QStringList &targetCaptions(Target target);
std::optional<Target> targetFromName(const QString &name); // 客户 / 工作计划 / clients / plans

// Which source column feeds each target column (by the target's caption index); -1 = none.
struct Mapping
{
    QList<int> sourceOfTarget;
    int mapped() const;
};

// Source columns whose name is a caption of the target, blanks around and ASCII case ignored.
// "编号" is left out unless `withKeys`: a row then keeps its number.
Mapping automaticMapping(const QStringList &sourceHeaders, Target target, bool withKeys = false);
// Applies "源列=目标列,…" on top of `mapping` ("源列=" drops the source column). Names are
// checked against both sides; std::nullopt with the reason when one is unknown.
std::optional<Mapping> applyColumnMap(Mapping mapping, const QString &pairs,
                                      const QStringList &sourceHeaders, Target target,
                                      QString *error);
// The table whose captions match more of the headers.
Target likelyTarget(const QStringList &sourceHeaders);

// One cell that cannot go into its column.
struct Problem
{
    int row = 0; // as the file counts rows (a spreadsheet's row number)
    QString column;
    QString value;
    QString reason;
};

// Source rows converted to stored values; only rows without problems are in `rows`.
struct Conversion
{
    QString error;           // the file cannot be imported at all (e.g. a required column missing)
    QStringList columns;     // target column names, in the order of each row's values
    QList<ColumnType> types; // and their types
    QList<QVariantList> rows;
    QList<Problem> problems;
    int failedRows = 0;
    int emptyRows = 0; // rows with nothing in any mapped column, left out
};

// Longest text a text column takes; the memo-like columns take more.
int maxTextLength(const QString &column);

// Converts every row by the target columns' types (taken from the database): dates in the
// usual written forms, booleans as words, numbers, texts up to their length. Keys, when
// mapped, must be new positive integers (`existingKeys` holds the table's).
Conversion convertRows(const SourceTable &source, const Mapping &mapping, Target target,
                       const QList<ColumnInfo> &columnTypes, const QSet<qint64> &existingKeys);

// Reports progress while rows are written; returning false cancels (nothing is written).
using WriteProgress = std::function<bool(int done, int total)>;

// Rows in the cursor's storage form: dates as ISO text, booleans as 0 / 1.
struct TableRows
{
    QString table;
    QStringList columns;
    QList<ColumnType> types;
    QList<QVariantList> rows;
};

TableRows tableRows(Target target, const Conversion &conversion);

// Inserts all rows of all tables in one transaction: either every row is written or none.
// `dbPath` is a file path or a server URL.
bool writeRows(const QString &dbPath, const QList<TableRows> &tables, const WriteProgress &progress,
               QString *error);

// The target table's column types and existing keys, read from the database.
bool readTargetInfo(const QString &dbPath, Target target, QList<ColumnInfo> *columns,
                    QSet<qint64> *keys, QString *error);

// A file's rows: CSV, or a table of an Access database (by content, not by name).
struct SourceRequest
{
    QString file;
    QString jetTable;           // which table of an Access file; may be empty when obvious
    std::optional<Target> into; // helps choose an Access table
    CsvReadOptions csv;
};

struct SourceResult
{
    QString error;
    bool isJet = false;
    QString jetVersion;
    QStringList jetTables;
    QString chosenTable;
    bool csvHeader = false; // whether a CSV's first row was taken as its column names
    SourceTable table;
};

SourceResult readSource(const SourceRequest &request);

// Problems as lines "第 N 行，列 X，值 “V”：原因", at most `limit` of them.
QStringList problemLines(const QList<Problem> &problems, int limit = 50);

} // namespace kestrova::interchange
