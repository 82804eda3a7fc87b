#include "engine.h"

#include "sqlconnection.h"

#include <QSqlError>
#include <QSqlQuery>

namespace kestrova {

std::unique_ptr<Engine> openSqliteEngine(const DatabaseLocation &location, Engine::OpenMode mode,
                                         QString *error);
std::unique_ptr<Engine> openPostgresEngine(const DatabaseLocation &location, QString *error,
                                           DataError::Kind *kind);

Engine::Engine(const DatabaseLocation &location)
    : m_location(location)
{}

Engine::~Engine() = default;

std::unique_ptr<Engine> Engine::open(const DatabaseLocation &location, OpenMode mode,
                                     QString *error, DataError::Kind *kind)
{
    QString ignored;
    QString &why = error ? *error : ignored;
    DataError::Kind ignoredKind = DataError::General;
    DataError::Kind &whyKind = kind ? *kind : ignoredKind;
    whyKind = DataError::General;
    if (!location.isValid()) {
        why = location.errorText();
        return nullptr;
    }
    if (location.isServer())
        return openPostgresEngine(location, &why, &whyKind);
    return openSqliteEngine(location, mode, &why);
}

QSqlDatabase Engine::database() const
{
    return m_connection->database();
}

std::optional<QStringList> Engine::firstColumn(const QString &sql, QString *error) const
{
    QSqlQuery query(database());
    if (!query.exec(sql)) {
        *error = query.lastError().text();
        return std::nullopt;
    }
    QStringList values;
    while (query.next())
        values.append(query.value(0).toString());
    return values;
}

QVariant Engine::bindValue(const QVariant &stored, ColumnType) const
{
    return stored;
}

bool Engine::prepareForWrites(QString *)
{
    return true;
}

bool Engine::connectionLost(const QSqlError &)
{
    return false;
}

bool Engine::reconnect(QString *)
{
    return true;
}

std::optional<QVector<qint64>> Engine::fastKeys(const QString &, const QVariantList &)
{
    return std::nullopt;
}

bool Engine::prepareBlock(const QString &, const QVariantList &, const QList<ColumnInfo> &)
{
    return false;
}

bool Engine::readBlock(qint64, qint64, const std::function<QString *(qint64)> &)
{
    return false;
}

bool Engine::afterKeyedInsert(const QString &, QString *)
{
    return true;
}

} // namespace kestrova
