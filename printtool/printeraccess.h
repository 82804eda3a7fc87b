#pragma once

#include <functional>

class QPrinter;
class QWidget;

namespace inkleaf {

// Whether the machine has a printer: one installed, or at least a default one.
bool hasInstalledPrinter();

// The platform's printer dialog on `printer`, without a page-range choice (the whole text is
// always printed). The chosen printer and copy count are left in `printer`. False when the user
// cancelled.
bool showPrinterDialog(QPrinter &printer, QWidget *parent);

// What the print button needs from the machine. Tests replace the members to print into a PDF
// file, to cancel the dialog, or to act as a machine without printers.
struct PrinterAccess
{
    std::function<bool()> printerInstalled = &hasInstalledPrinter;
    std::function<bool(QPrinter &printer, QWidget *parent)> choosePrinter = &showPrinterDialog;
};

} // namespace inkleaf
