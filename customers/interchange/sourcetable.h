#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrova::interchange {

// What a source column holds, as far as its file tells: CSV columns are all Text; an Access
// column has its declared type.
enum class SourceKind { Text, Number, Date, Boolean, Binary };

// Rows read from a file, before they are mapped onto one of our tables. Every cell is text;
// dates of typed sources are "yyyy-MM-dd HH:mm:ss", booleans "1" / "0".
struct SourceTable
{
    QStringList headers;
    QList<SourceKind> kinds;
    QList<QStringList> rows; // each as long as headers
    QList<int> rowNumbers;   // where each row stands in the file, for messages
};

} // namespace kestrova::interchange
