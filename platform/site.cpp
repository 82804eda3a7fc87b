#include "site.h"

#ifndef DIALVANE_DEFAULT_SITE
#define DIALVANE_DEFAULT_SITE "http://127.0.0.1:8620"
#endif

namespace platform {

QString siteBase()
{
    QString base = qEnvironmentVariable("DIALVANE_SITE");
    if (base.trimmed().isEmpty())
        base = QStringLiteral(DIALVANE_DEFAULT_SITE);
    base = base.trimmed();
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

} // namespace platform
