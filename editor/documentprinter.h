#pragma once

#include <QString>

class QPrinter;
class QTextDocument;

namespace rtf {
struct PageSetup;
}

namespace pennote {

// Sets the printer to the paper, orientation and margins a document states; a setup that is
// absent or makes no sense leaves the printer as it was. Returns whether it was applied.
bool usePageSetup(const rtf::PageSetup &setup, QPrinter *printer);

// Prints a document, or the part between the positions `from` and `to`, on a printer the
// printer dialog has set up: laid out for the printer's page within the margins of its page
// layout when the document states a page setup, else with a 2 cm margin, every page, copies left
// to the printer. Returns an empty string when the job went through, otherwise a
// description of what went wrong for the user.
QString printDocument(const QTextDocument &document, QPrinter *printer, int from = 0, int to = -1);

} // namespace pennote
