#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace platform {

// The target systems' short date is "yyyy-M-d" (2024-5-6). The programs show and read dates
// only through these functions, so no locale settings of this machine leak in.

// "2024-5-6"; the year always has four digits. Empty for an invalid date or one outside the
// years 1-9999, which a short date cannot hold.
QString shortDate(QDate date);

// Reads "yyyy-M-d", "yyyy-MM-dd" or "yyyy/M/d": a four-digit year, then month and day of one
// or two digits each, both separated by the same '-' or '/'. Blanks around the text are ignored.
// Anything else, and days that do not exist, give an invalid date.
QDate parseShortDate(QStringView text);

// The short date, one blank and the time as "H:mm:ss" (2024-5-6 9:05:07). Empty when invalid.
QString shortDateTime(const QDateTime &dateTime);

} // namespace platform
