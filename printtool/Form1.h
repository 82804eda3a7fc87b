#pragma once

#include "printtool/printeraccess.h"

#include <QWidget>

#include <memory>

class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QSlider;

namespace inkleaf {

// The paste-and-print window: a text box for a pasted listing, a slider for its display size and
// buttons to print it (as many copies as the printer dialog says), clear it, paste over it and
// leave the program.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // Replaces how the window finds printers and asks for one.
    void setPrinterAccess(PrinterAccess access);

private:
    void createControls();
    void load();
    void followSlider();
    void printText();
    void clearText();
    void pasteText();
    void exitProgram();

    QSlider *Slider1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *粘贴 = nullptr;
    QPushButton *Command3 = nullptr;

    PrinterAccess m_printerAccess;
    // Kept between prints so the dialog offers the printer and copy count chosen last time.
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace inkleaf
