#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The demo directory site for a test: runs the dirsite program named by $DIALVANE_DIRSITE on a
// free loopback port and stops it again when the object goes away.
//
//     DemoSite site;
//     QVERIFY2(site.start(), qPrintable(site.errorString()));
//     QUrl url(site.baseUrl() + "/SSjkzcnum.asp?keyword=8620");
class DemoSite
{
public:
    // `extraArguments` are passed to dirsite after "--port 0" (for instance "--data", path).
    explicit DemoSite(QStringList extraArguments = {});
    ~DemoSite();

    DemoSite(const DemoSite &) = delete;
    DemoSite &operator=(const DemoSite &) = delete;

    // Starts the site and waits up to 10 seconds for the address it prints. False (with
    // errorString() saying why) when the program is missing, fails or prints something else.
    bool start();

    // "http://127.0.0.1:<port>", without a trailing slash; empty before a successful start().
    QString baseUrl() const { return m_baseUrl; }
    // The port the site listens on; 0 before a successful start().
    int port() const { return m_port; }
    QString errorString() const { return m_error; }

    // Sends SIGTERM and waits for the site to end; true when it ended by itself with exit code 0.
    bool stop();

private:
    QStringList m_extraArguments;
    QProcess m_process;
    QString m_baseUrl;
    int m_port = 0;
    QString m_error;
};
