#pragma once

#include "columns.h"
#include "criteria.h"
#include "databaselocation.h"
#include "dataerror.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

class QSqlError;

namespace kestrova {

class SqlConnection;

// What differs between the embedded file (SQLite) and a database server (PostgreSQL), behind
// one small interface: connecting, the catalogue, the schema's DDL and types, the criteria
// dialect, how values are bound, bulk reads and what a lost connection looks like. The cursor
// (clsDataBase), the schema check and the tools are written once on top of it.
class Engine
{
public:
    enum class OpenMode { ExistingOnly, CreateIfMissing };

    virtual ~Engine();
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;

    // Connects to the location. Null, with the reason (and its kind) filled in, when it cannot.
    // Nothing is written: a file is not switched to its journal mode until prepareForWrites().
    static std::unique_ptr<Engine> open(const DatabaseLocation &location, OpenMode mode,
                                        QString *error, DataError::Kind *kind = nullptr);

    const DatabaseLocation &location() const { return m_location; }
    QSqlDatabase database() const;
    virtual criteria::Dialect dialect() const = 0;

    // The user tables, and a table's columns in order with the types the cursor converts to.
    virtual std::optional<QStringList> tableNames(QString *error) = 0;
    virtual bool loadColumns(const QString &table, QList<ColumnInfo> *columns, QString *error) = 0;
    // The SQL expression of a table's row key, in table order.
    virtual QString keyExpression() const = 0;
    // Null-safe equality for the optimistic check: "a IS b" on SQLite.
    virtual QString nullSafeEqual() const = 0;
    // A value in the cursor's storage form (dates as ISO text, booleans as 0 / 1) as bound.
    virtual QVariant bindValue(const QVariant &stored, ColumnType type) const;

    // Creates both customer tables (and what notifies other desks of changes) in an empty
    // database, or the one of them that is missing.
    virtual bool createTables(const QStringList &missing, QString *error) = 0;
    // Called once the schema is known to be Kestrova's: the file's journal mode.
    virtual bool prepareForWrites(QString *error);
    // The file lies on a network share and runs with a rollback journal instead of WAL.
    bool sharedFileWarning() const { return m_sharedFile; }

    // After a failed statement: whether the reason is a lost connection (then the cursor
    // reports kServerUnreachable and reconnects on its next command).
    virtual bool connectionLost(const QSqlError &error);
    virtual bool reconnect(QString *error);

    // Bulk reads. keys(): the first column of every row of the query, or empty when this
    // engine has no faster way than Qt SQL (the caller then uses Qt SQL). The block query's
    // first two parameters are key bounds, `values` bind the rest; its columns are the key,
    // then `columns`. readBlock() fills slot(key) with the display texts of each row.
    virtual std::optional<QVector<qint64>> fastKeys(const QString &sql, const QVariantList &values);
    virtual bool prepareBlock(const QString &sql, const QVariantList &values,
                              const QList<ColumnInfo> &columns);
    virtual bool readBlock(qint64 lo, qint64 hi, const std::function<QString *(qint64)> &slot);

    // Before rows are copied in with their keys, and after: PostgreSQL moves its identity
    // past the highest key so new rows never collide.
    virtual bool afterKeyedInsert(const QString &table, QString *error);

protected:
    explicit Engine(const DatabaseLocation &location);

    // The first column of every row a catalogue query gives, or nothing (with the reason).
    std::optional<QStringList> firstColumn(const QString &sql, QString *error) const;

    DatabaseLocation m_location;
    std::unique_ptr<SqlConnection> m_connection;
    bool m_sharedFile = false;
};

} // namespace kestrova
