#pragma once

#include <QString>
#include <QUrl>

namespace lookup {

// The directory site's search address: base + endpoint and key + keyword. The keyword is sent
// exactly as typed (no trimming), as ANSI code page bytes with every byte other than an
// unreserved ASCII character percent-encoded, so "&", "#", "+", "%", blanks and Chinese reach
// the site intact.
QUrl searchUrl(const QString &siteBase, QStringView endpoint, const QString &keyword);

} // namespace lookup
