#pragma once

// What the reader attaches to a document so the writer can write it back: the names of the
// format properties and document resources both sides use.

#include <QString>
#include <QTextFormat>
#include <QUrl>

namespace rtf::parts {

// Tells formats of different font families apart (see the reader).
inline constexpr int familyKey = QTextFormat::UserProperty + 0x7201;
// On a QTextListFormat: the RTF number format (\levelnfc) and first number of the level.
inline constexpr int listNumberFormat = QTextFormat::UserProperty + 0x7202;
inline constexpr int listStart = QTextFormat::UserProperty + 0x7203;
// On a QTextBlockFormat: the paragraph stays on the page of the next one (\keepn).
inline constexpr int keepWithNext = QTextFormat::UserProperty + 0x7204;

// Dynamic property of the document: document parts (information block, headers, footers) as
// the RTF they came in.
inline constexpr char keptGroups[] = "rtfKeptGroups";

// Document resource beside a picture: the RTF group the picture came in, written back as it was.
inline QUrl keptPicture(const QString &imageName)
{
    return QUrl(imageName + QStringLiteral("#rtf"));
}

} // namespace rtf::parts
