#pragma once

#include <QColor>
#include <QObject>
#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace pennote {

// Flag values of the platform's common dialog that the editor passes.
namespace DialogFlags {
inline constexpr int OverwritePrompt = 0x2;      // save: ask before replacing a file
inline constexpr int FontScreenAndPrinter = 0x3; // font: screen and printer fonts
inline constexpr int FontEffects = 0x100;        // font: underline and colour
inline constexpr int PathMustExist = 0x800;      // open/save: the folder must exist
inline constexpr int FileMustExist = 0x1000;     // open: the file must exist
inline constexpr int PrinterCopies = 0x40000;    // printer: the printer makes the copies
} // namespace DialogFlags

enum class DialogKind { Open, Save, Color, Font, Printer };

// One showing of a common dialog: what it starts with, and what the user chose.
struct DialogRequest
{
    DialogKind kind = DialogKind::Open;
    QWidget *parent = nullptr;
    int flags = 0;
    QString fileName;
    // Where the open and save dialogs start while no file has been chosen yet.
    QString directory;
    QColor color;
    QString fontName;
    qreal fontSize = 0;
    bool fontBold = false;
    bool fontItalic = false;
    bool fontUnderline = false;
    // The printer the printer dialog sets up; printing then goes to it.
    QPrinter *printer = nullptr;
};

// Shows a dialog for a request and writes the user's choice back into it; false when the user
// cancelled. Tests install one that answers without showing anything.
using DialogPresenter = std::function<bool(DialogRequest &)>;

// Installs a presenter and returns the previous one; an empty presenter restores the real dialogs.
DialogPresenter setDialogPresenter(DialogPresenter presenter);

// The real dialogs: file dialogs, the colour dialog, the font dialog with its colour list, and
// the printer dialog.
bool showRealDialog(DialogRequest &request);

// The editor's one common dialog. It keeps its values between showings, as the platform's did:
// the open and save dialogs start from the last chosen file name.
class CommonDialog : public QObject
{
    Q_OBJECT
public:
    explicit CommonDialog(QWidget *owner);

    int Flags() const { return m_values.flags; }
    void setFlags(int flags) { m_values.flags = flags; }
    QString FileName() const { return m_values.fileName; }
    void setFileName(const QString &fileName) { m_values.fileName = fileName; }
    QColor Color() const { return m_values.color; }
    void setColor(const QColor &color) { m_values.color = color; }
    QString FontName() const { return m_values.fontName; }
    void setFontName(const QString &name) { m_values.fontName = name; }
    qreal FontSize() const { return m_values.fontSize; }
    void setFontSize(qreal size) { m_values.fontSize = size; }
    bool FontBold() const { return m_values.fontBold; }
    void setFontBold(bool on) { m_values.fontBold = on; }
    bool FontItalic() const { return m_values.fontItalic; }
    void setFontItalic(bool on) { m_values.fontItalic = on; }
    bool FontUnderline() const { return m_values.fontUnderline; }
    void setFontUnderline(bool on) { m_values.fontUnderline = on; }

    // Each returns false when the user cancelled; the kept values are then unchanged.
    bool ShowOpen();
    bool ShowSave();
    bool ShowColor();
    bool ShowFont();
    bool ShowPrinter(QPrinter *printer);

private:
    bool show(DialogKind kind, QPrinter *printer = nullptr);

    QWidget *m_owner = nullptr;
    DialogRequest m_values;
};

} // namespace pennote
