#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class QTextDocument;
class QTextCursor;

namespace rtf {

// Reports how far a long read or write has come (done of total, in units the caller need not
// interpret); returning false asks to stop as soon as possible.
using Progress = std::function<bool(qint64 done, qint64 total)>;

struct ReadOptions
{
    // Called every few hundred kilobytes of input and every few thousand paragraphs built.
    Progress progress;
};

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
    // Paragraphs the document holds afterwards, those in table cells included.
    int paragraphs = 0;
    // The progress callback asked to stop. Cancelled while the data was being read, the target is
    // untouched; cancelled while the document was being built, the target is left empty. Reading
    // into a fresh document and installing it only on success keeps the previous one either way.
    bool cancelled = false;
    // Parts of the document that could not be kept and will be missing from a save, as short
    // user-presentable names, each once: "样式" (style definitions; their formatting stays on
    // the text), "脚注", "批注", "图形" (drawing objects), "嵌入对象" (embedded objects; their
    // picture stays), "页眉页脚或文档信息" (such parts of a damaged file). Empty when nothing
    // was lost; a window says once that these parts cannot be kept.
    QStringList lostParts;
};

// Replaces the content of `into` with the document the RTF data describes: text and character
// formatting, paragraph layout, tables, lists, hyperlinks, pictures and the page setup
// (see rtfpagesetup.h). Pictures keep their original RTF so a save writes them back unchanged;
// document parts the editor does not show (information block, headers, footers) are kept with
// the document for the writer. The undo history of `into` is cleared.
ReadResult readRtf(const QByteArray &data, QTextDocument *into, const ReadOptions &options = {});

// Inserts the RTF document at the cursor (replacing its selection), as pasting would.
ReadResult insertRtf(const QByteArray &data, QTextCursor &cursor);

// True when the data starts like an RTF stream ("{\rtf", optionally after blanks).
bool looksLikeRtf(const QByteArray &data);

// Groups nested deeper than this keep the formatting of the group at the limit.
inline constexpr int maxNesting = 512;

} // namespace rtf
