#pragma once

#include <QString>

class QTextDocument;

namespace pennote {

// What opening a file did. The document is touched only when `loaded` is true.
struct LoadOutcome
{
    bool loaded = false;
    // For the user: why nothing was loaded, or, when loaded, that the file was damaged and only
    // its readable part arrived. Empty when there is nothing to say.
    QString message;
};

// Files larger than this are refused instead of being read into memory.
inline constexpr qint64 kMaxDocumentBytes = qint64(512) * 1024 * 1024;

// Reads a Rich Text Format file into `document`, replacing its content. A file that cannot be
// read, is too large or is not Rich Text Format leaves the document as it was.
LoadOutcome loadRtfFile(const QString &path, QTextDocument *document);

// Writes the whole document as Rich Text Format, whatever the name's extension, through a
// temporary file that replaces the target only once it is complete. Returns an empty string on
// success, otherwise the reason for the user; the target is then as it was.
QString saveRtfFile(const QTextDocument &document, const QString &path);

} // namespace pennote
