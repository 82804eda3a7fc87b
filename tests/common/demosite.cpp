#include "demosite.h"

#include <QDeadlineTimer>

namespace {

constexpr int startTimeoutMs = 10000;
constexpr int stopTimeoutMs = 5000;
constexpr QLatin1StringView addressPrefix("http://127.0.0.1:");

} // namespace

DemoSite::DemoSite(QStringList extraArguments)
    : m_extraArguments(std::move(extraArguments))
{
    // The site's own complaints go straight to the test's log; stdout carries the address.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

DemoSite::~DemoSite()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    if (!stop()) {
        m_process.kill();
        m_process.waitForFinished(stopTimeoutMs);
    }
}

bool DemoSite::start()
{
    m_baseUrl.clear();
    m_port = 0;
    const QString program = qEnvironmentVariable("DIALVANE_DIRSITE");
    if (program.isEmpty()) {
        m_error = QStringLiteral("DIALVANE_DIRSITE is not set");
        return false;
    }
    m_process.start(program,
                    QStringList{QStringLiteral("--port"), QStringLiteral("0")} + m_extraArguments);
    if (!m_process.waitForStarted(startTimeoutMs)) {
        m_error = program + QStringLiteral(": ") + m_process.errorString();
        return false;
    }

    const QDeadlineTimer deadline(startTimeoutMs);
    while (!m_process.canReadLine()) {
        if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime()))) {
            m_error =
                m_process.state() == QProcess::NotRunning
                    ? QStringLiteral("dirsite ended with exit code %1 before printing its "
                                     "address")
                          .arg(m_process.exitCode())
                    : QStringLiteral("dirsite printed no address within %1 ms").arg(startTimeoutMs);
            return false;
        }
    }

    const QString line = QString::fromLatin1(m_process.readLine()).trimmed();
    bool ok = false;
    const int port = line.startsWith(addressPrefix)
                         ? QStringView(line).sliced(addressPrefix.size()).toInt(&ok)
                         : 0;
    if (!ok || port <= 0 || port > 65535) {
        m_error = QStringLiteral("dirsite printed \"%1\" instead of its address").arg(line);
        return false;
    }
    m_port = port;
    m_baseUrl = line;
    return true;
}

bool DemoSite::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    m_process.terminate();
    if (!m_process.waitForFinished(stopTimeoutMs))
        return false;
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}
