#include "commondialog.h"

#include "fontdialog.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>

#include <utility>

namespace pennote {

namespace {

// The user's documents folder, or the home folder where there is none.
QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

DialogPresenter &presenter()
{
    static DialogPresenter current;
    return current;
}

bool showFileDialog(DialogRequest &request, bool save)
{
    QFileDialog dialog(request.parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setWindowTitle(save ? QStringLiteral("另存为") : QStringLiteral("打开"));
    // The open dialog with "file must exist" only takes existing files; the save dialog takes
    // new names, in folders that exist (the dialog itself refuses others).
    dialog.setFileMode((request.flags & DialogFlags::FileMustExist) ? QFileDialog::ExistingFile
                                                                    : QFileDialog::AnyFile);
    if (save && !(request.flags & DialogFlags::OverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.fileName.isEmpty()) {
        const QFileInfo last(request.fileName);
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    } else if (!request.directory.isEmpty()) {
        dialog.setDirectory(request.directory);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    request.fileName = dialog.selectedFiles().constFirst();
    return true;
}

bool showColorDialog(DialogRequest &request)
{
    QColorDialog dialog(request.color.isValid() ? request.color : QColor(Qt::black),
                        request.parent);
    dialog.setWindowTitle(QStringLiteral("颜色"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    request.color = dialog.selectedColor();
    return true;
}

bool showFontDialog(DialogRequest &request)
{
    FontDialog dialog(request.parent);
    CharValues preset;
    preset.fontName = request.fontName;
    preset.fontSize = request.fontSize;
    preset.bold = request.fontBold;
    preset.italic = request.fontItalic;
    preset.underline = request.fontUnderline;
    preset.color = request.color;
    dialog.setValues(preset);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const CharValues chosen = dialog.values();
    request.fontName = chosen.fontName;
    request.fontSize = chosen.fontSize;
    request.fontBold = chosen.bold;
    request.fontItalic = chosen.italic;
    request.fontUnderline = chosen.underline;
    request.color = chosen.color;
    return true;
}

bool showPrinterDialog(DialogRequest &request)
{
    if (!request.printer)
        return false;
    QPrintDialog dialog(request.printer, request.parent);
    dialog.setWindowTitle(QStringLiteral("打印"));
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

DialogPresenter setDialogPresenter(DialogPresenter next)
{
    return std::exchange(presenter(), std::move(next));
}

bool showRealDialog(DialogRequest &request)
{
    switch (request.kind) {
    case DialogKind::Open:
        return showFileDialog(request, false);
    case DialogKind::Save:
        return showFileDialog(request, true);
    case DialogKind::Color:
        return showColorDialog(request);
    case DialogKind::Font:
        return showFontDialog(request);
    case DialogKind::Printer:
        return showPrinterDialog(request);
    }
    return false;
}

CommonDialog::CommonDialog(QWidget *owner)
    : QObject(owner)
    , m_owner(owner)
{
    setObjectName(QStringLiteral("CommonDialog1"));
}

bool CommonDialog::ShowOpen()
{
    return show(DialogKind::Open);
}

bool CommonDialog::ShowSave()
{
    return show(DialogKind::Save);
}

bool CommonDialog::ShowColor()
{
    return show(DialogKind::Color);
}

bool CommonDialog::ShowFont()
{
    return show(DialogKind::Font);
}

bool CommonDialog::ShowPrinter(QPrinter *printer)
{
    return show(DialogKind::Printer, printer);
}

bool CommonDialog::show(DialogKind kind, QPrinter *printer)
{
    DialogRequest request = m_values;
    request.kind = kind;
    request.parent = m_owner;
    request.printer = printer;
    if ((kind == DialogKind::Open || kind == DialogKind::Save) && request.fileName.isEmpty())
        request.directory = documentsFolder();
    const DialogPresenter &custom = presenter();
    const bool accepted = custom ? custom(request) : showRealDialog(request);
    if (!accepted)
        return false;
    request.kind = DialogKind::Open;
    request.parent = nullptr;
    request.printer = nullptr;
    m_values = request;
    return true;
}

} // namespace pennote
