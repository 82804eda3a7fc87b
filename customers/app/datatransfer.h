#pragma once

#include "customers/interchange/importer.h"

#include <QString>

class QWidget;

namespace kestrova {

// The import dialog on the program's database; the client and plan windows reload when rows
// were added.
void runImportDialog(QWidget *parent, interchange::Target target);
// The export dialog; `filter` is the criteria of the window it was called from.
void runExportDialog(QWidget *parent, interchange::Target target, const QString &filter);
// The export dialog for whichever of the client and plan windows `child` is (else clients).
void runExportDialogFor(QWidget *parent, QWidget *child);

} // namespace kestrova
