#pragma once

#include "fileprogress.h"

#include <QString>

class QTextDocument;

namespace pennote {

// What opening a file did. The document is touched only when `loaded` is true.
struct LoadOutcome
{
    bool loaded = false;
    // The user stopped the load; there is nothing more to say.
    bool cancelled = false;
    // For the user: why nothing was loaded, or, when loaded, that the file was damaged or held
    // parts the editor cannot keep. Empty when there is nothing to say.
    QString message;
};

// What saving did. The target is as it was unless `saved` is true.
struct SaveOutcome
{
    bool saved = false;
    bool cancelled = false;
    // Why nothing was written, for the user; empty on success and when cancelled.
    QString message;
};

// Files larger than this are refused instead of being read into memory. The editor needs about
// ten times a plain-text file's size while it opens and saves it (the document's text, its
// layout and the bytes read or written), so this keeps it within about 2 GB.
inline constexpr qint64 kMaxDocumentMegabytes = 160;
inline constexpr qint64 kMaxDocumentBytes = kMaxDocumentMegabytes * 1024 * 1024;

// Reads a Rich Text Format file into `document`, replacing its content. A file that cannot be
// read, is too large, is not a regular file (a folder, a named pipe, a device) or is not Rich
// Text Format leaves the document as it was; so does a load the progress hook cancelled, as far
// as the reader allows (callers that must keep their document load into a fresh one).
LoadOutcome loadRtfFile(const QString &path, QTextDocument *document,
                        const Progress &progress = {});

// Writes the whole document as Rich Text Format, whatever the name's extension, through a
// temporary file that replaces the target only once it is complete.
SaveOutcome saveRtfFile(const QTextDocument &document, const QString &path,
                        const Progress &progress = {});

} // namespace pennote
