#include "searchurl.h"

#include "platform/codepage.h"

namespace lookup {

QUrl searchUrl(const QString &siteBase, QStringView endpoint, const QString &keyword)
{
    QByteArray address = siteBase.toUtf8();
    address += endpoint.toUtf8();
    address += platform::toAnsi(keyword).toPercentEncoding();
    return QUrl::fromEncoded(address, QUrl::StrictMode);
}

} // namespace lookup
