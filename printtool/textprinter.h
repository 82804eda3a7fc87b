#pragma once

#include <QFont>
#include <QString>

class QPrinter;

namespace inkleaf {

// The font a printer writes with when the program chooses none: the screen size set by the slider
// never reaches the paper.
QFont printerDefaultFont();

// Prints `copies` copies of `text` into one print document, the way a line printer writes: each
// copy starts at the current position and ends with a line end, so the next copy starts on the
// following line. Lines are never wrapped (what runs past the right edge is cut off) and a new
// page starts when the next line would run past the bottom. An empty text still gives one blank
// page. Returns false when the printer could not be opened; nothing has been printed then.
bool printPlainText(QPrinter &printer, const QString &text, int copies,
                    const QFont &font = printerDefaultFont());

} // namespace inkleaf
