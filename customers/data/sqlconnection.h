#pragma once

#include <QSqlDatabase>
#include <QString>

namespace kestrova {

// One named Qt SQL connection to a database file, removed from Qt's registry when it ends.
// Every connection runs in WAL mode with a busy timeout, so the windows' several connections
// on one file read while another writes and wait for each other's commits instead of failing.
class SqlConnection
{
public:
    enum OpenMode { ExistingOnly, CreateIfMissing };

    explicit SqlConnection(const QString &path, OpenMode mode = ExistingOnly);
    ~SqlConnection();
    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;

    bool isOpen() const { return m_open; }
    QString errorText() const { return m_error; }
    QSqlDatabase database() const;

    // Milliseconds a statement waits for another connection's lock before it fails.
    static constexpr int kBusyTimeoutMs = 10000;

private:
    QString m_name;
    bool m_open = false;
    QString m_error;
};

// `name` as a quoted SQL identifier: "name" with inner double quotes doubled. Only names that
// were checked against the database's own table and column lists are ever quoted.
QString quoteIdentifier(const QString &name);

} // namespace kestrova
