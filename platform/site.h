#pragma once

#include <QString>

namespace platform {

// Base address of the directory site (http scheme, no trailing slash): the build's default,
// overridden by the environment variable DIALVANE_SITE.
QString siteBase();

} // namespace platform
