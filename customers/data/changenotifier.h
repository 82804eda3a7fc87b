#pragma once

#include "databaselocation.h"

#include <QObject>
#include <QSqlDriver>
#include <QString>
#include <QTimer>

#include <memory>

namespace kestrova {

class SqlConnection;

// Tells an open window that another desk committed a change. On a database server every
// committed write to the customer tables sends a notification (a trigger of the schema), which
// this object listens for on a connection of its own; writes of this process are left out, as
// the window that made them reloads anyway. A lost server is noticed by a periodic probe; when
// it is back the notifier listens again and reports both tables, since changes may have been
// missed meanwhile. On the embedded file it never fires: one desk, one program.
class ChangeNotifier : public QObject
{
    Q_OBJECT

public:
    explicit ChangeNotifier(const DatabaseLocation &location, QObject *parent = nullptr);
    ~ChangeNotifier() override;

    // Whether notifications can arrive (a server location whose connection is up).
    bool isListening() const { return m_listening; }

    // The notification channel the schema's trigger sends on.
    static constexpr char16_t kChannel[] = u"kestrova_changes";
    // This process's mark in the payload: the table name, "|", this token.
    static QString sessionToken();
    // How often a lost listening connection is probed for.
    static constexpr int kProbeMilliseconds = 3000;

signals:
    // Another desk committed a change to `table` ("客户" or "工作计划").
    void externalChange(const QString &table);
    // The listening connection went down (false) or came back (true).
    void connectionChanged(bool connected);

private:
    void listen();
    void probe();
    void onNotification(const QString &name, QSqlDriver::NotificationSource source,
                        const QVariant &payload);

    DatabaseLocation m_location;
    std::unique_ptr<SqlConnection> m_connection;
    QTimer m_probe;
    bool m_listening = false;
};

} // namespace kestrova
