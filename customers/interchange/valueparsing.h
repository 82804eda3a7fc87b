#pragma once

#include <QDate>
#include <QString>

namespace kestrova::interchange {

// Dates as spreadsheets and old databases write them: 2024-3-5, 2024/03/05, 2024.3.5,
// 2024年3月5日, each optionally followed by a time of day, which is dropped. Invalid otherwise.
QDate parseImportDate(const QString &text);

} // namespace kestrova::interchange
