#pragma once

#include "fileprogress.h"
#include "platform/process.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QStatusBar;
class QTextDocument;
class QTextEdit;
class QToolBar;

namespace pennote {

class CommonDialog;
class Formfind;

// The editor window: a rich-text document under a menu bar and a toolbar, with a status bar
// showing the caret position and the lock keys. It keeps no state of its own beyond the
// document: no file name, no modified flag, no settings.
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    QTextEdit *document() const { return RichTextBox1; }
    // The find/replace dialog while it is open, else null.
    Formfind *findDialog() const;
    // How long an open or save runs before its progress window shows, in milliseconds.
    void setProgressDelay(int ms) { m_progressDelayMs = ms; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void createToolbar();
    void createStatusBar();
    QAction *addMenuItem(QMenu *menu, const char *name, const QString &caption,
                         void (Form1::*handler)());
    void addSeparator(QMenu *menu, const char *name);

    void newDocument();
    void openDocument();
    void saveDocument();
    void printDocument();
    void replaceDocument(std::unique_ptr<QTextDocument> next);
    void endProgram();
    void cut();
    void copy();
    void paste();
    void showFind();
    void chooseFont();
    void toggleBold();
    void toggleItalic();
    void toggleUnderline();
    void alignParagraphs(int alignment);
    void chooseColor();
    void startExplorer();
    void startNotepad();
    void startCommandPrompt();
    void startTaskManager();
    void startBrowser();
    void launch(const QString &commandLine, platform::WindowMode mode);

    void toolbarButtonClick(QAction *button);
    void selectionChanged();
    void updateInsertIndicator();
    void updateLockIndicators();
    void showEditMenu(const QPoint &globalPos);
    void tell(const QString &text, QMessageBox::Icon icon);

    QToolBar *Toolbar1 = nullptr;
    QTextEdit *RichTextBox1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    CommonDialog *CommonDialog1 = nullptr;
    QLabel *m_panels[4] = {};
    QMenu *m_editMenu = nullptr;
    QAction *m_bold = nullptr;
    QAction *m_italic = nullptr;
    QAction *m_underline = nullptr;
    QAction *m_left = nullptr;
    QAction *m_center = nullptr;
    QAction *m_right = nullptr;
    QActionGroup *m_alignment = nullptr;
    QPointer<Formfind> m_find;
    int m_progressDelayMs = FileProgress::kDefaultDelayMs;
};

} // namespace pennote
