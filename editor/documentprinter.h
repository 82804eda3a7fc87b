#pragma once

#include <QString>

class QPrinter;
class QTextDocument;

namespace pennote {

// Prints a document, or the part between the positions `from` and `to`, on a printer the
// printer dialog has set up: laid out for the printer's page with a 2 cm margin, every page,
// copies left to the printer. Returns an empty string when the job went through, otherwise a
// description of what went wrong for the user.
QString printDocument(const QTextDocument &document, QPrinter *printer, int from = 0, int to = -1);

} // namespace pennote
