#pragma once

#include "rtfreader.h"

#include <QByteArray>

class QTextDocument;

namespace rtf {

// Writes the whole document as RTF 1.x for the Chinese ANSI code page (\ansicpg936): font and
// colour tables, sizes in half-points, alignment, bold/italic/underline/strike-out, colours, and
// every non-ASCII character as \uN followed by its GBK bytes for readers without Unicode.
QByteArray writeRtf(const QTextDocument &doc);

struct WriteOptions
{
    // Called every few thousand paragraphs; returning false stops the write.
    Progress progress;
};

// As above, reporting progress; a cancelled write returns an empty array and sets *cancelled.
QByteArray writeRtf(const QTextDocument &doc, const WriteOptions &options,
                    bool *cancelled = nullptr);

// Writes the characters between the document positions `from` and `to` (in either order), as a
// QTextCursor selection of that range would hold them.
QByteArray writeRtf(const QTextDocument &doc, int from, int to);

} // namespace rtf
