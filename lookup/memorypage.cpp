#include "memorypage.h"

#include <QBuffer>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace lookup {

MemoryPage::MemoryPage(QObject *parent)
    : QWebEngineUrlSchemeHandler(parent)
{}

void MemoryPage::registerScheme()
{
    if (QWebEngineUrlScheme::schemeByName(kScheme).name() == kScheme)
        return;
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Local: pages from the network cannot link to it; no CORS, no fetch from it.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QUrl MemoryPage::setPage(const QByteArray &bytes, const QByteArray &mimeType)
{
    m_bytes = bytes;
    m_mimeType = mimeType;
    ++m_serial;
    return QUrl(QStringLiteral("%1:result-%2").arg(QLatin1String(kScheme)).arg(m_serial));
}

void MemoryPage::requestStarted(QWebEngineUrlRequestJob *job)
{
    if (job->requestMethod() != "GET") {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    auto *buffer = new QBuffer(job);
    buffer->setData(m_bytes);
    buffer->open(QIODevice::ReadOnly);
    job->reply(m_mimeType, buffer);
}

} // namespace lookup
