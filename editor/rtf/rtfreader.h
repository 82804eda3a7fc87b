#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;
class QTextCursor;

namespace rtf {

// Outcome of reading a Rich Text Format stream.
struct ReadResult
{
    // False only when the data is not Rich Text Format at all; the target is then left untouched.
    bool ok = false;
    // A user-presentable reason when ok is false.
    QString error;
    // The stream was damaged (unbalanced braces, bad hex, truncated data, nesting beyond the
    // limit) and was read as far as it made sense.
    bool damaged = false;
    // Paragraphs placed into the document.
    int paragraphs = 0;
};

// Replaces the content of `into` with the document the RTF data describes: text, fonts, sizes,
// bold/italic/underline/strike-out, colours, super/subscript and paragraph alignment. Tables,
// lists and fields arrive as their text. The undo history of `into` is cleared.
ReadResult readRtf(const QByteArray &data, QTextDocument *into);

// Inserts the RTF document at the cursor (replacing its selection), as pasting would.
ReadResult insertRtf(const QByteArray &data, QTextCursor &cursor);

// True when the data starts like an RTF stream ("{\rtf", optionally after blanks).
bool looksLikeRtf(const QByteArray &data);

// Groups nested deeper than this keep the formatting of the group at the limit.
inline constexpr int maxNesting = 512;

} // namespace rtf
