#include "sqlconnection.h"

#include <QAtomicInteger>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace kestrova {

namespace {

QString nextConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("kestrova-%1").arg(++counter);
}

} // namespace

SqlConnection::SqlConnection(const QString &path, OpenMode mode)
    : m_name(nextConnectionName())
{
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    if (!database.isValid()) {
        m_error = QStringLiteral("the SQLite driver of Qt SQL is not installed");
        return;
    }
    // A URI with mode=rw opens an existing file only, so a missing file is never created
    // behind the caller's back; characters such as '?' and '#' in the path stay literal.
    QUrl uri = QUrl::fromLocalFile(path);
    uri.setQuery(mode == ExistingOnly ? QStringLiteral("mode=rw") : QStringLiteral("mode=rwc"));
    database.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    database.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!database.open()) {
        m_error = database.lastError().text();
        return;
    }
    QSqlQuery query(database);
    // The first statement touches the file: a file that is no database fails here.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.next()) {
        m_error = query.lastError().text();
        database.close();
        return;
    }
    // In WAL mode NORMAL keeps the file consistent when the process dies mid-write.
    query.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    m_open = true;
}

SqlConnection::~SqlConnection()
{
    {
        QSqlDatabase database = QSqlDatabase::database(m_name, false);
        if (database.isOpen())
            database.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase SqlConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace kestrova
