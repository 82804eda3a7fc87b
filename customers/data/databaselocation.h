#pragma once

#include <QString>

namespace kestrova {

// Where the customer database lives: the embedded file (khdata.mdb beside the program, or any
// path) or a PostgreSQL server. Written as a path, or as a URL
//   postgresql://user@host:5432/database
//   postgresql://user@/database?host=/run/postgresql     (a Unix socket folder)
// A password never belongs in the URL that is saved: libpq's own ways (~/.pgpass, PGPASSWORD)
// supply it, or the program asks once per start and hands it to setSessionPassword().
class DatabaseLocation
{
public:
    enum Kind { File, Server };

    DatabaseLocation() = default;
    // A path or a postgresql:// (also postgres://) URL; anything else that is no URL is taken
    // as a path. An unusable URL gives an invalid location (isValid() false, errorText() why).
    static DatabaseLocation parse(const QString &text);
    static DatabaseLocation file(const QString &path);
    static DatabaseLocation server(const QString &host, int port, const QString &database,
                                   const QString &user);
    // khdata.mdb in the folder of the running program.
    static DatabaseLocation localFile();

    // The per-machine choice: QSettings "Database/Url" of the program; empty or absent means
    // localFile(). saveToSettings() writes it (never a password); a local file saves as empty.
    static DatabaseLocation fromSettings();
    static void saveToSettings(const DatabaseLocation &location);
    static constexpr char16_t kSettingsKey[] = u"Database/Url";

    bool isValid() const { return m_valid; }
    QString errorText() const { return m_error; }
    Kind kind() const { return m_kind; }
    bool isServer() const { return m_kind == Server; }

    QString path() const { return m_path; } // File
    QString host() const { return m_host; } // Server: a host name, or a socket folder
    int port() const { return m_port; }     // 0: the default 5432
    QString database() const { return m_database; }
    QString user() const { return m_user; }
    QString password() const { return m_password; } // only when the text carried one
    void setPassword(const QString &password) { m_password = password; }

    // The path, or the URL without the password: what the settings and the tools take.
    QString toString() const;
    // For messages: the path, or "database @ host:port".
    QString displayText() const;

    // A password for every server connection this process opens without one of its own
    // (what the program's password prompt got). Kept in memory only.
    static void setSessionPassword(const QString &password);
    static QString sessionPassword();

    // File locations: whether the file (or, when missing, its folder) lies on a network file
    // system (NFS, SMB/CIFS, sshfs and other network FUSE mounts). SQLite's WAL mode needs
    // one host, so such a file is opened with a rollback journal; the program tells the user
    // once that a server is the safe way to share the database.
    bool onNetworkShare() const;

    bool operator==(const DatabaseLocation &) const = default;

private:
    Kind m_kind = File;
    bool m_valid = false;
    QString m_error;
    QString m_path;
    QString m_host;
    int m_port = 0;
    QString m_database;
    QString m_user;
    QString m_password;
};

// Whether a file system is a network one, from statfs's f_type and, for FUSE mounts, the mount
// type of /proc/self/mounts ("fuse.sshfs").
bool isNetworkFileSystem(long fsType, const QString &mountType);

} // namespace kestrova
