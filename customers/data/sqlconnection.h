#pragma once

#include "databaselocation.h"

#include <QSqlDatabase>
#include <QString>

namespace kestrova {

// One named Qt SQL connection, removed from Qt's registry when it ends: to an SQLite file or
// to a PostgreSQL server.
class SqlConnection
{
public:
    enum OpenMode { ExistingOnly, CreateIfMissing };

    // An SQLite file with a busy timeout, so the windows' several connections wait for each
    // other's commits instead of failing. With `setJournal` the file is switched to WAL (a
    // rollback journal on a network share) at once; otherwise nothing is written to it.
    explicit SqlConnection(const QString &path, OpenMode mode = ExistingOnly,
                           bool setJournal = true);
    // A database server through QPSQL. A password comes from the location, else the session
    // password, else libpq's own ways (~/.pgpass, PGPASSWORD).
    explicit SqlConnection(const DatabaseLocation &server);
    ~SqlConnection();
    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;

    bool isOpen() const { return m_open; }
    QString errorText() const { return m_error; }
    QSqlDatabase database() const;
    // Closes and opens the connection again (a server that came back).
    bool reopen();

    // WAL, or DELETE when `networkShare`: SQLite's WAL index needs one host.
    bool setFileJournal(bool networkShare);

    // Milliseconds a statement waits for another connection's lock before it fails.
    static constexpr int kBusyTimeoutMs = 10000;
    // Seconds a server connection attempt may take.
    static constexpr int kConnectTimeoutSeconds = 5;

private:
    bool openDatabase();

    QString m_name;
    bool m_open = false;
    bool m_server = false;
    QString m_error;
};

// `name` as a quoted SQL identifier: "name" with inner double quotes doubled. Only names that
// were checked against the database's own table and column lists are ever quoted.
QString quoteIdentifier(const QString &name);

} // namespace kestrova
