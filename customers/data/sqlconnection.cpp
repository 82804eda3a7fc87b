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

SqlConnection::SqlConnection(const QString &path, OpenMode mode, bool setJournal)
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
    // The first statement reads the file: a file that is no database fails here.
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !query.next()) {
        m_error = query.lastError().text();
        database.close();
        return;
    }
    query.finish();
    m_open = true;
    if (setJournal && !setFileJournal(DatabaseLocation::file(path).onNetworkShare())) {
        m_open = false;
        database.close();
    }
}

SqlConnection::SqlConnection(const DatabaseLocation &server)
    : m_name(nextConnectionName())
    , m_server(true)
{
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    if (!database.isValid()) {
        m_error = QStringLiteral("the PostgreSQL driver of Qt SQL is not installed");
        return;
    }
    database.setHostName(server.host());
    if (server.port() > 0)
        database.setPort(server.port());
    database.setDatabaseName(server.database());
    database.setUserName(server.user());
    const QString password =
        server.password().isEmpty() ? DatabaseLocation::sessionPassword() : server.password();
    if (!password.isEmpty())
        database.setPassword(password);
    database.setConnectOptions(
        QStringLiteral("connect_timeout=%1;application_name=Kestrova").arg(kConnectTimeoutSeconds));
    m_open = openDatabase();
}

bool SqlConnection::openDatabase()
{
    QSqlDatabase database = this->database();
    if (!database.open()) {
        m_error = database.lastError().text();
        return false;
    }
    if (m_server) {
        QSqlQuery query(database);
        // Dates travel as ISO text whatever the server's defaults are.
        query.exec(QStringLiteral("SET DateStyle = 'ISO, YMD'"));
        query.exec(QStringLiteral("SET client_min_messages = warning"));
    }
    m_error.clear();
    return true;
}

bool SqlConnection::reopen()
{
    QSqlDatabase database = this->database();
    database.close();
    m_open = openDatabase();
    return m_open;
}

bool SqlConnection::setFileJournal(bool networkShare)
{
    QSqlQuery query(database());
    const QString mode = networkShare ? QStringLiteral("DELETE") : QStringLiteral("WAL");
    if (!query.exec(u"PRAGMA journal_mode=" + mode) || !query.next()) {
        m_error = query.lastError().text();
        return false;
    }
    // NORMAL keeps a WAL file consistent when the process dies mid-write; a rollback journal
    // on a share keeps FULL, the safe default.
    if (!networkShare)
        query.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    return true;
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
