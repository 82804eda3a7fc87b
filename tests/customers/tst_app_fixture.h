#pragma once

// Shared by the customer program's window tests: the message, program-end and failed-read seams
// recorded, a real database file for the windows, a private working folder for the password
// file, and helpers to answer modal dialogs from inside their event loops.

#include "customerstest.h"

#include "customers/app/appstate.h"
#include "customers/data/clsdatabase.h"
#include "platform/messagebox.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPointer>
#include <QSettings>
#include <QTimer>

#include <functional>

// Everything the program would show or end with, recorded instead.
class AppRecorder
{
public:
    AppRecorder()
    {
        platform::setMessagePresenter([this](const platform::MessageRequest &request) {
            messages.append(request);
            if (!answers.isEmpty())
                return answers.takeFirst();
            return QMessageBox::Ok;
        });
        kestrova::setProgramEnder([this](int code) { endCodes.append(code); });
        kestrova::clsDataBase::setFatalHandler(
            [this](const QString &message) { fatal.append(message); });
    }
    ~AppRecorder()
    {
        platform::setMessagePresenter({});
        kestrova::setProgramEnder({});
        kestrova::clsDataBase::setFatalHandler({});
    }
    AppRecorder(const AppRecorder &) = delete;
    AppRecorder &operator=(const AppRecorder &) = delete;

    QStringList texts() const
    {
        QStringList result;
        for (const platform::MessageRequest &request : messages)
            result.append(request.text);
        return result;
    }

    QList<platform::MessageRequest> messages;
    QList<QMessageBox::StandardButton> answers; // given in turn; Ok when none is left
    QList<int> endCodes;
    QStringList fatal;
};

// A database file the windows use, filled through a raw connection.
class AppDatabase : public TestDatabaseFile
{
public:
    AppDatabase()
        : raw(path())
    {
        kestrova::setDataFilePath(path());
    }
    ~AppDatabase() { kestrova::setDataFilePath({}); }

    // Adds clients named by the texts, each with the given extra columns.
    void addNamed(const QStringList &names, const QVariantMap &extra = {}) const
    {
        for (const QString &name : names) {
            QVariantMap values = extra;
            values.insert(QStringLiteral("客户名称"), name);
            QVERIFY(raw.addClient(values));
        }
    }

    // Adds `count` clients named "客户1" ... in one transaction.
    void addMany(int count) const
    {
        QSqlDatabase db = raw.db();
        db.transaction();
        QSqlQuery query(db);
        query.prepare(QStringLiteral("INSERT INTO \"客户\" (\"客户名称\", \"登记日期\", "
                                     "\"审核标志\") VALUES (?, '2024-05-06', 0)"));
        for (int i = 1; i <= count; ++i) {
            query.addBindValue(QStringLiteral("客户%1").arg(i));
            query.exec();
        }
        db.commit();
    }

    // The names of the table's clients in table order.
    QStringList names() const
    {
        return raw.column(QStringLiteral("SELECT \"客户名称\" FROM \"客户\" ORDER BY \"编号\""));
    }

    RawDatabase raw;
};

// The working folder, where the password file lives, moved to a temporary folder.
class WorkFolder
{
public:
    WorkFolder()
        : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(m_dir.path());
    }
    ~WorkFolder() { QDir::setCurrent(m_previous); }
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QByteArray read(const QString &name) const
    {
        QFile file(filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Runs `handler` on the next modal dialog of type T as soon as it is up (inside its exec()).
// `seen` counts the dialogs handled.
template<typename T> class ModalHandler
{
public:
    explicit ModalHandler(std::function<void(T *)> handler)
        : m_handler(std::move(handler))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
            if (!dialog || dialog == m_last)
                return;
            m_last = dialog;
            ++seen;
            m_handler(dialog);
        });
        m_timer.start();
    }

    int seen = 0;

private:
    std::function<void(T *)> m_handler;
    QTimer m_timer;
    QPointer<T> m_last;
};

// The stored text of a setting of the program, or "<none>".
inline QString storedSetting(const QString &key)
{
    QSettings settings(QStringLiteral("Kestrova"), QStringLiteral("Kestrova"));
    return settings.value(QStringLiteral("Settings/") + key, QStringLiteral("<none>")).toString();
}

inline void storeSetting(const QString &key, const QString &value)
{
    QSettings settings(QStringLiteral("Kestrova"), QStringLiteral("Kestrova"));
    settings.setValue(QStringLiteral("Settings/") + key, value);
}

inline void clearSettings()
{
    QSettings settings(QStringLiteral("Kestrova"), QStringLiteral("Kestrova"));
    settings.clear();
}
