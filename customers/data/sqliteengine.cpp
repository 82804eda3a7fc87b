// The embedded engine: an SQLite file (khdata.mdb), bulk reads through the sqlite3 C API.

#include "engine.h"

#include "schema.h"

#include "sqlconnection.h"
#ifdef DIALVANE_NATIVE_SQLITE
#include "nativereader.h"
#endif

#include <QSqlError>
#include <QSqlQuery>

namespace kestrova {

namespace {

// Declared types name what clsDataBase converts: DATE columns hold yyyy-MM-dd, BOOLEAN columns
// hold 0 or 1, TEXT columns hold the text as written. AUTOINCREMENT never reuses the key of a
// deleted row.
const ColumnTypeNames kTypes = {QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT"),
                                QStringLiteral("TEXT"), QStringLiteral("DATE"),
                                QStringLiteral("BOOLEAN")};

class SqliteEngine : public Engine
{
public:
    SqliteEngine(const DatabaseLocation &location, std::unique_ptr<SqlConnection> connection)
        : Engine(location)
    {
        m_connection = std::move(connection);
    }

    criteria::Dialect dialect() const override { return criteria::Dialect::SQLite; }
    QString keyExpression() const override { return QStringLiteral("rowid"); }
    QString nullSafeEqual() const override { return QStringLiteral("IS"); }

    std::optional<QStringList> tableNames(QString *error) override
    {
        return firstColumn(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                          "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"),
                           error);
    }

    bool loadColumns(const QString &table, QList<ColumnInfo> *columns, QString *error) override
    {
        QSqlQuery query(database());
        // The table name was read from the database's own catalogue before.
        if (!query.exec(u"PRAGMA table_info(" + quoteIdentifier(table) + u')')) {
            *error = query.lastError().text();
            return false;
        }
        columns->clear();
        while (query.next()) {
            ColumnInfo column;
            column.name = query.value(1).toString();
            column.type =
                columnTypeFromDeclaration(query.value(2).toString(), query.value(5).toInt() == 1);
            columns->append(column);
        }
        return true;
    }

    bool createTables(const QStringList &missing, QString *error) override
    {
        QSqlDatabase db = database();
        if (!db.transaction()) {
            *error = db.lastError().text();
            return false;
        }
        QSqlQuery query(db);
        for (const QString &table : missing) {
            if (!query.exec(createTableSql(table, kTypes))) {
                *error = query.lastError().text();
                db.rollback();
                return false;
            }
        }
        return db.commit() && addCountIndexes();
    }

    bool prepareForWrites(QString *error) override
    {
        m_sharedFile = m_location.onNetworkShare();
        if (!m_connection->setFileJournal(m_sharedFile)) {
            *error = m_connection->errorText();
            return false;
        }
        addCountIndexes();
#ifdef DIALVANE_NATIVE_SQLITE
        m_native = std::make_unique<NativeReader>(m_location.path());
        if (!m_native->isOpen())
            m_native.reset();
#endif
        return true;
    }

    // An index of the keys alone: counting a table reads it instead of every row, so a cursor
    // over a million clients is counted in milliseconds. A file that cannot be written (or a
    // table that is not there) simply goes without.
    bool addCountIndexes()
    {
        QSqlQuery query(database());
        for (const QString &table :
             {QString::fromUtf16(kClientTable), QString::fromUtf16(kPlanTable)})
            query.exec(u"CREATE INDEX IF NOT EXISTS " + quoteIdentifier(table + u"_keys") +
                       u" ON " + quoteIdentifier(table) + u" (\"编号\")");
        return true;
    }

#ifdef DIALVANE_NATIVE_SQLITE
    std::optional<QVector<qint64>> fastKeys(const QString &sql, const QVariantList &values) override
    {
        return m_native && g_nativeReads ? m_native->keys(sql, values) : std::nullopt;
    }

    bool prepareBlock(const QString &sql, const QVariantList &values,
                      const QList<ColumnInfo> &columns) override
    {
        return m_native && g_nativeReads && m_native->prepareBlock(sql, values, columns);
    }

    bool readBlock(qint64 lo, qint64 hi, const std::function<QString *(qint64)> &slot) override
    {
        return m_native && g_nativeReads && m_native->readBlock(lo, hi, slot);
    }

    std::unique_ptr<NativeReader> m_native;
#endif
    static inline bool g_nativeReads = true;
};

} // namespace

void setSqliteNativeReads(bool enabled)
{
    SqliteEngine::g_nativeReads = enabled;
}

std::unique_ptr<Engine> openSqliteEngine(const DatabaseLocation &location, Engine::OpenMode mode,
                                         QString *error)
{
    auto connection = std::make_unique<SqlConnection>(location.path(),
                                                      mode == Engine::OpenMode::CreateIfMissing
                                                          ? SqlConnection::CreateIfMissing
                                                          : SqlConnection::ExistingOnly,
                                                      false);
    if (!connection->isOpen()) {
        *error = connection->errorText();
        return nullptr;
    }
    return std::make_unique<SqliteEngine>(location, std::move(connection));
}

} // namespace kestrova
