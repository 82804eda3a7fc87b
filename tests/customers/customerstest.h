#pragma once

// Shared by the customer data tests: a real database file in a temporary folder (or, when
// DIALVANE_TEST_SERVER names the URL file of the test cluster, a database of its own on that
// server) and a raw connection to check what is really stored, independent of the cursor.

#include "customers/data/clsdatabase.h"
#include "customers/data/columns.h"
#include "customers/data/databaselocation.h"
#include "customers/data/schema.h"
#include "platform/messagebox.h"

#include <QCoreApplication>
#include <QDate>

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

// Whether the tests run against the database server.
inline bool onServer()
{
    return !qEnvironmentVariableIsEmpty("DIALVANE_TEST_SERVER");
}

// The URL of the test cluster, as its fixture wrote it.
inline QString clusterUrl()
{
    QFile file(QString::fromLocal8Bit(onServer() ? qgetenv("DIALVANE_TEST_SERVER")
                                                 : qgetenv("DIALVANE_TEST_CLUSTER")));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the test cluster is not running (no %s)", qPrintable(file.fileName()));
    return QString::fromUtf8(file.readAll()).trimmed();
}

// Runs the cluster script ("start", "pause", "stop") on the test's private cluster, one that
// the test may stop and start without disturbing the shared one.
inline bool privateCluster(const QString &action)
{
    QProcess script;
    script.start(QStringLiteral("sh"),
                 {QString::fromLocal8Bit(qgetenv("DIALVANE_PGCLUSTER")), action,
                  QString::fromLocal8Bit(qgetenv("DIALVANE_PRIVATE_CLUSTER"))});
    return script.waitForFinished(120000) && script.exitCode() == 0;
}

// The URL of the private cluster once it runs, read from the file its script wrote.
inline QString privateClusterUrl()
{
    QFile file(QString::fromLocal8Bit(qgetenv("DIALVANE_PRIVATE_CLUSTER")) +
               QStringLiteral("/url"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

// Opens a QPSQL connection named `name` to the location.
inline QSqlDatabase openServer(const QString &name, const kestrova::DatabaseLocation &where)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(where.host());
    db.setUserName(where.user());
    db.setDatabaseName(where.database());
    if (where.port() > 0)
        db.setPort(where.port());
    if (!db.open())
        qFatal("cannot reach the test cluster: %s", qPrintable(db.lastError().text()));
    QSqlQuery(db).exec(QStringLiteral("SET client_min_messages = warning"));
    return db;
}

// A database of this test program's own on the test cluster (tests of several programs run
// at once), dropped when the program ends.
inline QString serverDatabaseUrl()
{
    static const QString url = [] {
        const kestrova::DatabaseLocation cluster = kestrova::DatabaseLocation::parse(clusterUrl());
        const QString name = QStringLiteral("test_%1_%2")
                                 .arg(QCoreApplication::applicationName().toLower())
                                 .arg(QCoreApplication::applicationPid());
        {
            QSqlDatabase admin = openServer(QStringLiteral("cluster-admin"), cluster);
            QSqlQuery(admin).exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
            QSqlQuery create(admin);
            if (!create.exec(QStringLiteral("CREATE DATABASE %1").arg(name)))
                qFatal("%s", qPrintable(create.lastError().text()));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("cluster-admin"));
        static const QString dropName = name;
        qAddPostRoutine([] {
            const auto where = kestrova::DatabaseLocation::parse(clusterUrl());
            {
                QSqlDatabase admin = openServer(QStringLiteral("cluster-admin"), where);
                QSqlQuery(admin).exec(
                    QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(dropName));
            }
            QSqlDatabase::removeDatabase(QStringLiteral("cluster-admin"));
        });
        return kestrova::DatabaseLocation::server(cluster.host(), cluster.port(), name,
                                                  cluster.user())
            .toString();
    }();
    return url;
}

class RawDatabase
{
public:
    explicit RawDatabase(const QString &path)
        : m_name(QUuid::createUuid().toString())
    {
        const kestrova::DatabaseLocation where = kestrova::DatabaseLocation::parse(path);
        m_server = where.isServer();
        if (m_server) {
            openServer(m_name, where);
            return;
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        db.open();
        // The file is in WAL mode; without a flush per commit the set-up stays quick.
        QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    }

    bool isServer() const { return m_server; }

    // "ok" when every row of both tables can be read back (on a file: SQLite's own check).
    QString integrity() const
    {
        if (!m_server)
            return scalar(QStringLiteral("PRAGMA integrity_check"));
        const QString rows =
            scalar(QStringLiteral("SELECT (SELECT count(*) FROM (SELECT * FROM \"客户\") c) + "
                                  "(SELECT count(*) FROM (SELECT * FROM \"工作计划\") p)"));
        return rows.startsWith(u"error") ? rows : QStringLiteral("ok");
    }
    ~RawDatabase()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    RawDatabase(const RawDatabase &) = delete;
    RawDatabase &operator=(const RawDatabase &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

    // Runs a statement with bound values; fails the test when it fails.
    bool exec(const QString &sql, const QVariantList &values = {}) const
    {
        QSqlQuery query(db());
        // Statements without values run unprepared: a server prepares only queries and DML.
        if (!values.isEmpty())
            query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(bound(value));
        if (values.isEmpty() ? !query.exec(sql) : !query.exec()) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            return false;
        }
        return true;
    }

    // The first column of every row of a query, as text.
    QStringList column(const QString &sql, const QVariantList &values = {}) const
    {
        QSqlQuery query(db());
        if (!values.isEmpty())
            query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(bound(value));
        QStringList result;
        if (values.isEmpty() ? !query.exec(sql) : !query.exec())
            return {QStringLiteral("error: ") + query.lastError().text()};
        while (query.next()) {
            const QVariant value = query.value(0);
            // As the file stores them: booleans 0 / 1, dates ISO.
            if (value.typeId() == QMetaType::Bool)
                result.append(value.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
            else if (value.typeId() == QMetaType::QDate)
                result.append(value.toDate().toString(Qt::ISODate));
            else
                result.append(value.toString());
        }
        return result;
    }

    QString scalar(const QString &sql, const QVariantList &values = {}) const
    {
        const QStringList rows = column(sql, values);
        return rows.isEmpty() ? QString() : rows.first();
    }

    int count(const QString &table) const
    {
        return scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).toInt();
    }

    // Adds a client row with the given columns (caption -> stored value).
    bool addClient(const QVariantMap &values) const
    {
        QStringList names;
        QVariantList bound;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            names.append(u'"' + it.key() + u'"');
            bound.append(it.value());
        }
        const QStringList marks(names.size(), QStringLiteral("?"));
        return exec(QStringLiteral("INSERT INTO \"客户\" (%1) VALUES (%2)")
                        .arg(names.join(u", "), marks.join(u", ")),
                    bound);
    }

    // Rows 1 to n in one statement: `column` holds prefix followed by the row's number.
    bool insertNumbered(const QString &table, const QString &column, const QString &prefix,
                        int n) const
    {
        return exec(QStringLiteral("INSERT INTO \"%1\" (\"%2\") WITH RECURSIVE n(i) AS (SELECT 1 "
                                   "UNION ALL SELECT i + 1 FROM n WHERE i < %3) SELECT '%4' || i "
                                   "FROM n")
                        .arg(table, column)
                        .arg(n)
                        .arg(prefix));
    }

    bool addClients(const QStringList &names) const
    {
        for (const QString &name : names) {
            if (!addClient({{QStringLiteral("客户名称"), name}}))
                return false;
        }
        return true;
    }

private:
    // On the server a number is bound as text, which the server converts to the column's
    // type, so 1 fits a boolean column as it does an integer one.
    QVariant bound(const QVariant &value) const
    {
        if (m_server && (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong))
            return QVariant(value.toString());
        return value;
    }

    QString m_name;
    bool m_server = false;
};

// A fresh database file with both tables in a temporary folder.
class TestDatabaseFile
{
public:
    TestDatabaseFile()
    {
        if (onServer()) {
            // The program's own database, emptied: both tables made afresh.
            m_path = serverDatabaseUrl();
            RawDatabase raw(m_path);
            // Kestrova's two tables and nothing else are emptied; anything else is made afresh.
            static const QString shapeSql = QStringLiteral(
                "SELECT string_agg(c.relname || '.' || a.attname || ':' || "
                "format_type(a.atttypid, a.atttypmod), ',' ORDER BY c.relname, a.attnum) "
                "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace JOIN pg_attribute "
                "a ON a.attrelid = c.oid WHERE n.nspname = current_schema() AND c.relkind = 'r' "
                "AND a.attnum > 0 AND NOT a.attisdropped");
            static QString kestrovaShape;
            if (!kestrovaShape.isEmpty() && raw.scalar(shapeSql) == kestrovaShape &&
                raw.exec(QStringLiteral(
                    "DELETE FROM \"客户\"; DELETE FROM \"工作计划\"; SELECT "
                    "setval(pg_get_serial_sequence('\"客户\"', '编号'), 1, false), "
                    "setval(pg_get_serial_sequence('\"工作计划\"', '编号'), 1, false)")))
                return;
            for (const QString &table :
                 raw.column(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE "
                                           "table_schema = current_schema()")))
                raw.exec(u"DROP TABLE \"" + table + u"\" CASCADE");
            QString error;
            if (!kestrova::createDatabase(kestrova::DatabaseLocation::parse(m_path), &error))
                qFatal("cannot create the test tables: %s", qPrintable(error));
            kestrovaShape = raw.scalar(shapeSql);
            return;
        }
        // The schema is made once per test program and copied, which spares each test the
        // disk flushes of creating a database.
        static QTemporaryDir templateDir;
        static const QString templatePath = [] {
            const QString path = templateDir.filePath(QStringLiteral("template.mdb"));
            QString error;
            if (!kestrova::createDatabaseFile(path, &error))
                qFatal("cannot create the test database: %s", qPrintable(error));
            return path;
        }();
        m_path = m_dir.filePath(QStringLiteral("khdata.mdb"));
        if (!QFile::copy(templatePath, m_path))
            qFatal("cannot copy the test database");
    }

    QString path() const { return m_path; }
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Records every message box and failed read while it lives, so a test can insist on none
// instead of a real box popping up or the process ending.
class FailedReadGuard
{
public:
    FailedReadGuard()
    {
        platform::setMessagePresenter([this](const platform::MessageRequest &request) {
            messages.append(request.text);
            return QMessageBox::Ok;
        });
        kestrova::clsDataBase::setFatalHandler(
            [this](const QString &message) { messages.append(u"fatal: " + message); });
    }
    ~FailedReadGuard()
    {
        platform::setMessagePresenter({});
        kestrova::clsDataBase::setFatalHandler({});
    }
    FailedReadGuard(const FailedReadGuard &) = delete;
    FailedReadGuard &operator=(const FailedReadGuard &) = delete;

    QStringList messages;
};
