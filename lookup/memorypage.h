#pragma once

#include <QByteArray>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace lookup {

// Serves one page from memory under "dialvane-page:result", for when the result file cannot
// be written: the pane then shows the new result instead of whatever the path held before.
// Unlike QWebEngineView::setHtml() it has no size limit.
class MemoryPage : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    static constexpr char kScheme[] = "dialvane-page";

    explicit MemoryPage(QObject *parent = nullptr);

    // Registers the scheme with the browser engine; must run before the application object
    // is created.
    static void registerScheme();

    // Replaces the page; returns a fresh address for it so the view really navigates.
    QUrl setPage(const QByteArray &bytes, const QByteArray &mimeType);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    QByteArray m_bytes;
    QByteArray m_mimeType = "text/html";
    quint64 m_serial = 0;
};

} // namespace lookup
