#include "changenotifier.h"

#include "columns.h"
#include "sqlconnection.h"

#include <QSqlQuery>
#include <QUuid>

namespace kestrova {

QString ChangeNotifier::sessionToken()
{
    static const QString token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return token;
}

ChangeNotifier::ChangeNotifier(const DatabaseLocation &location, QObject *parent)
    : QObject(parent)
    , m_location(location)
{
    if (!location.isServer() || !location.isValid())
        return;
    m_probe.setInterval(kProbeMilliseconds);
    connect(&m_probe, &QTimer::timeout, this, &ChangeNotifier::probe);
    listen();
    m_probe.start();
}

ChangeNotifier::~ChangeNotifier() = default;

void ChangeNotifier::listen()
{
    m_connection = std::make_unique<SqlConnection>(m_location);
    m_listening = false;
    if (!m_connection->isOpen())
        return;
    QSqlDriver *driver = m_connection->database().driver();
    connect(driver, &QSqlDriver::notification, this, &ChangeNotifier::onNotification);
    m_listening = driver->subscribeToNotification(QString::fromUtf16(kChannel));
}

void ChangeNotifier::probe()
{
    if (m_listening) {
        QSqlQuery query(m_connection->database());
        if (query.exec(QStringLiteral("SELECT 1")))
            return;
        m_listening = false;
        m_connection.reset();
        emit connectionChanged(false);
    }
    listen();
    if (m_listening) {
        emit connectionChanged(true);
        // What changed while nobody listened is unknown: both tables may have.
        emit externalChange(QString::fromUtf16(kClientTable));
        emit externalChange(QString::fromUtf16(kPlanTable));
    }
}

void ChangeNotifier::onNotification(const QString &name, QSqlDriver::NotificationSource,
                                    const QVariant &payload)
{
    if (name != QString::fromUtf16(kChannel))
        return;
    const QString text = payload.toString();
    const QString table = text.section(u'|', 0, 0);
    if (text.section(u'|', 1) == sessionToken() || table.isEmpty())
        return;
    emit externalChange(table);
}

} // namespace kestrova
