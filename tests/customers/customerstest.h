#pragma once

// Shared by the customer data tests: a real database file in a temporary folder and a raw
// connection to check what is really stored, independent of the cursor under test.

#include "customers/data/clsdatabase.h"
#include "customers/data/columns.h"
#include "customers/data/schema.h"
#include "platform/messagebox.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

class RawDatabase
{
public:
    explicit RawDatabase(const QString &path)
        : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        db.open();
        // The file is in WAL mode; without a flush per commit the set-up stays quick.
        QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
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
        query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec()) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            return false;
        }
        return true;
    }

    // The first column of every row of a query, as text.
    QStringList column(const QString &sql, const QVariantList &values = {}) const
    {
        QSqlQuery query(db());
        query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        QStringList result;
        if (!query.exec())
            return {QStringLiteral("error: ") + query.lastError().text()};
        while (query.next())
            result.append(query.value(0).toString());
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

    bool addClients(const QStringList &names) const
    {
        for (const QString &name : names) {
            if (!addClient({{QStringLiteral("客户名称"), name}}))
                return false;
        }
        return true;
    }

private:
    QString m_name;
};

// A fresh database file with both tables in a temporary folder.
class TestDatabaseFile
{
public:
    TestDatabaseFile()
    {
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
