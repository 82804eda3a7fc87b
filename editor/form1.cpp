#include "form1.h"

#include "commondialog.h"
#include "documentfile.h"
#include "documentprinter.h"
#include "fileprogress.h"
#include "formfind.h"
#include "keylocks.h"
#include "selectionformat.h"

#include "editor/rtf/rtfpagesetup.h"
#include "platform/messagebox.h"
#include "platform/twips.h"

#include <QAbstractTextDocumentLayout>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinter>
#include <QStatusBar>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolBar>

// The pictures live in this static library; the program must register them itself.
static void initResources()
{
    Q_INIT_RESOURCE(pennote);
}

namespace pennote {

namespace {

constexpr QLatin1StringView kTitle("pennote");

// Launchers: the fixed command lines and how their windows come up.
constexpr char kCommandPrompt[] = "C:\\windows\\system32\\cmd.exe";
constexpr char kNotepad[] = "C:\\windows\\Notepad.exe";
constexpr char kTaskManager[] = "C:\\windows\\system32\\taskmgr.exe";
constexpr char kExplorer[] = "C:\\windows\\explorer.exe";
constexpr char kBrowser[] = "C:\\Program Files\\Internet Explorer\\IEXPLORE.exe";

struct ToolbarKey
{
    const char *key;
    const char *tip;
    bool separatorAfter;
};

constexpr ToolbarKey kToolbarKeys[] = {
    {"new", "新建", false},
    {"open", "打开", false},
    {"save", "保存", false},
    {"print", "打印", true},
    {"cut", "剪切", false},
    {"copy", "复制", false},
    {"paste", "粘贴", false},
    {"find", "查找", true},
    {"bold", "粗体", false},
    {"italic", "斜体", false},
    {"underline", "下划线", true},
    {"left", "靠左", false},
    {"center", "居中", false},
    {"right", "靠右", true},
    {"color", "颜色", true},
    {"cmd", "命令提示符", false},
    {"note", "记事本", false},
    {"task", "进程管理", false},
    {"ie", "Internet Explorer", false},
    {"zy", "资源管理器", false},
};

// The design client area is 9390 x 6840 twips; toolbar and status bar heights likewise.
constexpr int kDesignWidth = platform::twips(9390);
constexpr int kDesignHeight = platform::twips(6840);
constexpr int kToolbarHeight = platform::twips(420);
constexpr int kStatusBarHeight = platform::twips(375);

QString plainSelection(const QTextCursor &cursor)
{
    return QTextDocumentFragment(cursor).toPlainText();
}

} // namespace

Form1::Form1(QWidget *parent)
    : QMainWindow(parent)
{
    initResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Dialvane保存文本编辑器"));
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/pennote/pennote%1.png").arg(size));
    setWindowIcon(icon);

    RichTextBox1 = new QTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    replaceDocument(std::make_unique<QTextDocument>());
    RichTextBox1->setFont(QFont(QStringLiteral("宋体"), 11));
    RichTextBox1->setAcceptRichText(true);
    RichTextBox1->setTabChangesFocus(false);
    setCentralWidget(RichTextBox1);

    CommonDialog1 = new CommonDialog(this);

    createMenus();
    createToolbar();
    createStatusBar();

    connect(RichTextBox1, &QTextEdit::selectionChanged, this, &Form1::selectionChanged);
    connect(RichTextBox1, &QTextEdit::cursorPositionChanged, this, &Form1::selectionChanged);
    // Sees the document's keys and mouse, and the lock keys wherever they are pressed while the
    // editor is active.
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &Form1::updateLockIndicators);

    resize(kDesignWidth, kDesignHeight + menuBar()->sizeHint().height());
    // Load: a maximised window with an empty document.
    setWindowState(windowState() | Qt::WindowMaximized);
    RichTextBox1->clear();
    selectionChanged();
    updateInsertIndicator();
    updateLockIndicators();
}

Form1::~Form1() = default;

Formfind *Form1::findDialog() const
{
    return m_find;
}

QAction *Form1::addMenuItem(QMenu *menu, const char *name, const QString &caption,
                            void (Form1::*handler)())
{
    auto *item = new QAction(caption, menu);
    item->setObjectName(QLatin1String(name));
    menu->addAction(item);
    if (handler)
        connect(item, &QAction::triggered, this, handler);
    return item;
}

void Form1::addSeparator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

void Form1::createMenus()
{
    auto *files = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    files->setObjectName(QStringLiteral("files"));
    addMenuItem(files, "new", QStringLiteral("新建(&N)"), &Form1::newDocument)
        ->setShortcut(QKeySequence::New);
    addMenuItem(files, "open", QStringLiteral("打开(&O)"), &Form1::openDocument)
        ->setShortcut(QKeySequence::Open);
    addMenuItem(files, "save", QStringLiteral("保存(&S)"), &Form1::saveDocument)
        ->setShortcut(QKeySequence::Save);
    addSeparator(files, "line1");
    addMenuItem(files, "print", QStringLiteral("打印(&P)"), &Form1::printDocument)
        ->setShortcut(QKeySequence::Print);
    addMenuItem(files, "end", QStringLiteral("退出(&E)"), &Form1::endProgram);

    m_editMenu = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    m_editMenu->setObjectName(QStringLiteral("edit"));
    addMenuItem(m_editMenu, "cut", QStringLiteral("剪切(&X)"), &Form1::cut);
    addMenuItem(m_editMenu, "copy", QStringLiteral("复制(&C)"), &Form1::copy);
    addMenuItem(m_editMenu, "paste", QStringLiteral("粘贴(&V)"), &Form1::paste);
    addMenuItem(m_editMenu, "find", QStringLiteral("查找(&F)"), &Form1::showFind)
        ->setShortcut(QKeySequence::Find);

    auto *word = menuBar()->addMenu(QStringLiteral("文字(&W)"));
    word->setObjectName(QStringLiteral("word"));
    addMenuItem(word, "font", QStringLiteral("字型(&F)"), &Form1::chooseFont);

    auto *out = menuBar()->addMenu(QStringLiteral("外接程序(&O)"));
    out->setObjectName(QStringLiteral("out"));
    addMenuItem(out, "zy", QStringLiteral("资源管理器(&Z)"), &Form1::startExplorer);
    addSeparator(out, "line3");
    addMenuItem(out, "note", QStringLiteral("记事本(&N)"), &Form1::startNotepad);
    addMenuItem(out, "epl", QStringLiteral("浏览器(&E)"), nullptr);
    addSeparator(out, "line4");
    addMenuItem(out, "cmd", QStringLiteral("CMD.EXE"), &Form1::startCommandPrompt);
    addMenuItem(out, "task", QStringLiteral("进程(&T)"), &Form1::startTaskManager);
    addMenuItem(out, "IE", QStringLiteral("Internet Explorer"), &Form1::startBrowser);
}

void Form1::createToolbar()
{
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setFixedHeight(kToolbarHeight);
    Toolbar1->setContextMenuPolicy(Qt::PreventContextMenu);
    Toolbar1->toggleViewAction()->setEnabled(false);
    addToolBar(Qt::TopToolBarArea, Toolbar1);

    m_alignment = new QActionGroup(Toolbar1);
    m_alignment->setExclusive(true);
    for (const ToolbarKey &entry : kToolbarKeys) {
        const QString key = QLatin1String(entry.key);
        auto *button = new QAction(QIcon(QStringLiteral(":/pennote/tb_%1.png").arg(key)),
                                   QString::fromUtf8(entry.tip), Toolbar1);
        button->setObjectName(key);
        button->setToolTip(QString::fromUtf8(entry.tip));
        Toolbar1->addAction(button);
        if (entry.separatorAfter)
            Toolbar1->addSeparator();
        if (key == u"bold")
            m_bold = button;
        else if (key == u"italic")
            m_italic = button;
        else if (key == u"underline")
            m_underline = button;
        else if (key == u"left")
            m_left = button;
        else if (key == u"center")
            m_center = button;
        else if (key == u"right")
            m_right = button;
    }
    for (QAction *toggle : {m_bold, m_italic, m_underline})
        toggle->setCheckable(true);
    // The usual keys besides the menus' access keys; they reach the buttons' own handling.
    m_bold->setShortcut(QKeySequence::Bold);
    m_italic->setShortcut(QKeySequence::Italic);
    m_underline->setShortcut(QKeySequence::Underline);
    for (QAction *choice : {m_left, m_center, m_right}) {
        choice->setCheckable(true);
        m_alignment->addAction(choice);
    }
    connect(Toolbar1, &QToolBar::actionTriggered, this, &Form1::toolbarButtonClick);
}

void Form1::createStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(kStatusBarHeight);
    setStatusBar(StatusBar1);

    const char *texts[] = {"", "NUM", "CAPS", "INS"};
    for (int i = 0; i < 4; ++i) {
        auto *panel = new QLabel(QLatin1String(texts[i]), StatusBar1);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i == 0) {
            panel->setIndent(4);
            StatusBar1->addWidget(panel, 1);
        } else {
            panel->setAlignment(Qt::AlignCenter);
            panel->setMinimumWidth(panel->fontMetrics().horizontalAdvance(panel->text()) + 20);
            StatusBar1->addPermanentWidget(panel);
        }
        m_panels[i] = panel;
    }
}

// --- commands ---

void Form1::newDocument()
{
    RichTextBox1->clear();
    rtf::setPageSetup(*RichTextBox1->document(), {});
    selectionChanged();
}

void Form1::openDocument()
{
    CommonDialog1->setFlags(DialogFlags::FileMustExist);
    if (!CommonDialog1->ShowOpen())
        return;
    // The file goes into a document of its own, which replaces the shown one only once it has
    // arrived whole: a failed or cancelled load leaves the document exactly as it was.
    QTextDocument *shown = RichTextBox1->document();
    auto arriving = std::make_unique<QTextDocument>();
    arriving->setDefaultFont(shown->defaultFont());
    arriving->setDefaultStyleSheet(shown->defaultStyleSheet());
    LoadOutcome outcome;
    {
        FileProgress progress(this, QStringLiteral("正在打开文件……"), m_progressDelayMs,
                              shown->documentLayout());
        outcome = loadRtfFile(CommonDialog1->FileName(), arriving.get(), progress.hook());
    }
    if (outcome.loaded) {
        replaceDocument(std::move(arriving));
        RichTextBox1->moveCursor(QTextCursor::Start);
        selectionChanged();
    }
    if (!outcome.message.isEmpty())
        tell(outcome.message, outcome.loaded ? QMessageBox::Information : QMessageBox::Warning);
}

void Form1::saveDocument()
{
    CommonDialog1->setFlags(DialogFlags::OverwritePrompt | DialogFlags::PathMustExist);
    if (!CommonDialog1->ShowSave())
        return;
    FileProgress progress(this, QStringLiteral("正在保存文件……"), m_progressDelayMs,
                          RichTextBox1->document()->documentLayout());
    const SaveOutcome outcome =
        saveRtfFile(*RichTextBox1->document(), CommonDialog1->FileName(), progress.hook());
    if (!outcome.message.isEmpty())
        tell(outcome.message, QMessageBox::Warning);
}

void Form1::printDocument()
{
    CommonDialog1->setFlags(DialogFlags::PrinterCopies);
    QPrinter printer(QPrinter::HighResolution);
    // The paper, orientation and margins the file asked for, else the printer's own.
    usePageSetup(rtf::pageSetup(*RichTextBox1->document()), &printer);
    // Cancelling the printer dialog prints nothing and says nothing.
    if (!CommonDialog1->ShowPrinter(&printer))
        return;
    const QTextCursor cursor = RichTextBox1->textCursor();
    const QString error =
        cursor.hasSelection()
            ? pennote::printDocument(*RichTextBox1->document(), &printer, cursor.selectionStart(),
                                     cursor.selectionEnd())
            : pennote::printDocument(*RichTextBox1->document(), &printer);
    if (!error.isEmpty())
        tell(error, QMessageBox::NoIcon);
}

void Form1::replaceDocument(std::unique_ptr<QTextDocument> next)
{
    const QPointer<QTextDocument> previous = RichTextBox1->document();
    next->setParent(RichTextBox1);
    RichTextBox1->setDocument(next.release());
    // The edit frees a document it made itself; the ones put in here are freed here.
    if (previous && previous->parent() == RichTextBox1)
        delete previous;
}

void Form1::endProgram()
{
    QCoreApplication::exit(0);
}

void Form1::cut()
{
    QTextCursor cursor = RichTextBox1->textCursor();
    QGuiApplication::clipboard()->setText(plainSelection(cursor));
    cursor.insertText(QString());
    RichTextBox1->setTextCursor(cursor);
}

void Form1::copy()
{
    QGuiApplication::clipboard()->setText(plainSelection(RichTextBox1->textCursor()));
}

void Form1::paste()
{
    QTextCursor cursor = RichTextBox1->textCursor();
    cursor.insertText(QGuiApplication::clipboard()->text());
    RichTextBox1->setTextCursor(cursor);
}

void Form1::showFind()
{
    if (!m_find)
        m_find = new Formfind(RichTextBox1, this);
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}

void Form1::chooseFont()
{
    CommonDialog1->setFlags(DialogFlags::FontScreenAndPrinter | DialogFlags::FontEffects);
    const SelectionFormat before = SelectionFormat::read(*RichTextBox1);
    CommonDialog1->setFontName(before.values.fontName);
    CommonDialog1->setFontSize(before.values.fontSize);
    CommonDialog1->setFontBold(before.values.bold);
    CommonDialog1->setFontItalic(before.values.italic);
    CommonDialog1->setFontUnderline(before.values.underline);
    CommonDialog1->setColor(before.values.color);
    if (!CommonDialog1->ShowFont())
        return;

    CharValues chosen;
    chosen.fontName = CommonDialog1->FontName();
    chosen.fontSize = CommonDialog1->FontSize();
    chosen.bold = CommonDialog1->FontBold();
    chosen.italic = CommonDialog1->FontItalic();
    chosen.underline = CommonDialog1->FontUnderline();
    chosen.color = CommonDialog1->Color();
    // A value the selection mixes is written only when the user changed it, so that changing the
    // size of a mixed selection keeps its fonts; uniform values are written back as chosen.
    const CharValues &preset = before.values;
    SelectionFormat::Attributes write;
    auto keep = [&](SelectionFormat::Attribute attribute, bool changed) {
        if (changed || !before.isMixed(attribute))
            write |= attribute;
    };
    keep(SelectionFormat::FontName, chosen.fontName != preset.fontName);
    keep(SelectionFormat::FontSize, !qFuzzyCompare(chosen.fontSize, preset.fontSize));
    keep(SelectionFormat::Bold, chosen.bold != preset.bold);
    keep(SelectionFormat::Italic, chosen.italic != preset.italic);
    keep(SelectionFormat::Underline, chosen.underline != preset.underline);
    keep(SelectionFormat::Color, chosen.color != preset.color);
    applyCharValues(*RichTextBox1, chosen, write);

    const SelectionFormat after = SelectionFormat::read(*RichTextBox1);
    m_bold->setChecked(!after.isMixed(SelectionFormat::Bold) && after.values.bold);
    m_italic->setChecked(!after.isMixed(SelectionFormat::Italic) && after.values.italic);
}

void Form1::toggleBold()
{
    const SelectionFormat now = SelectionFormat::read(*RichTextBox1);
    // A mixed selection becomes bold throughout.
    CharValues values;
    values.bold = now.isMixed(SelectionFormat::Bold) || !now.values.bold;
    applyCharValues(*RichTextBox1, values, SelectionFormat::Bold);
    m_bold->setChecked(values.bold);
}

void Form1::toggleItalic()
{
    const SelectionFormat now = SelectionFormat::read(*RichTextBox1);
    CharValues values;
    values.italic = now.isMixed(SelectionFormat::Italic) || !now.values.italic;
    applyCharValues(*RichTextBox1, values, SelectionFormat::Italic);
    m_italic->setChecked(values.italic);
}

void Form1::toggleUnderline()
{
    const SelectionFormat now = SelectionFormat::read(*RichTextBox1);
    CharValues values;
    values.underline = now.isMixed(SelectionFormat::Underline) || !now.values.underline;
    applyCharValues(*RichTextBox1, values, SelectionFormat::Underline);
    m_underline->setChecked(values.underline);
}

void Form1::alignParagraphs(int alignment)
{
    applyAlignment(*RichTextBox1, alignment);
}

void Form1::chooseColor()
{
    CommonDialog1->setColor(SelectionFormat::read(*RichTextBox1).values.color);
    if (!CommonDialog1->ShowColor())
        return;
    CharValues values;
    values.color = CommonDialog1->Color();
    applyCharValues(*RichTextBox1, values, SelectionFormat::Color);
}

void Form1::startExplorer()
{
    launch(QLatin1String(kExplorer), platform::WindowMode::NormalNoFocus);
}

void Form1::startNotepad()
{
    launch(QLatin1String(kNotepad), platform::WindowMode::NormalNoFocus);
}

void Form1::startCommandPrompt()
{
    launch(QLatin1String(kCommandPrompt), platform::WindowMode::NormalNoFocus);
}

void Form1::startTaskManager()
{
    launch(QLatin1String(kTaskManager), platform::WindowMode::NormalNoFocus);
}

void Form1::startBrowser()
{
    launch(QLatin1String(kBrowser), platform::WindowMode::NormalFocus);
}

void Form1::launch(const QString &commandLine, platform::WindowMode mode)
{
    if (!platform::startProcess(commandLine, mode))
        tell(QStringLiteral("无法启动“%1”。").arg(commandLine), QMessageBox::Warning);
}

void Form1::toolbarButtonClick(QAction *button)
{
    const QString key = button->objectName();
    if (key == u"new")
        newDocument();
    else if (key == u"open")
        openDocument();
    else if (key == u"save")
        saveDocument();
    else if (key == u"print")
        printDocument();
    else if (key == u"cut")
        cut();
    else if (key == u"copy")
        copy();
    else if (key == u"paste")
        paste();
    else if (key == u"find")
        showFind();
    else if (key == u"bold")
        toggleBold();
    else if (key == u"italic")
        toggleItalic();
    else if (key == u"underline")
        toggleUnderline();
    else if (key == u"left")
        alignParagraphs(AlignLeftValue);
    else if (key == u"center")
        alignParagraphs(AlignCenterValue);
    else if (key == u"right")
        alignParagraphs(AlignRightValue);
    else if (key == u"color")
        chooseColor();
    else if (key == u"cmd")
        startCommandPrompt();
    else if (key == u"note")
        startNotepad();
    else if (key == u"task")
        startTaskManager();
    else if (key == u"ie")
        startBrowser();
    else if (key == u"zy")
        startExplorer();
    RichTextBox1->setFocus();
}

// --- document events ---

void Form1::selectionChanged()
{
    const QTextCursor cursor = RichTextBox1->textCursor();
    m_panels[0]->setText(QStringLiteral("光标位于第") + QString::number(cursor.selectionStart()) +
                         QStringLiteral("字之后"));
    const SelectionFormat format = SelectionFormat::read(*RichTextBox1);
    m_bold->setChecked(!format.isMixed(SelectionFormat::Bold) && format.values.bold);
    m_italic->setChecked(!format.isMixed(SelectionFormat::Italic) && format.values.italic);
    m_underline->setChecked(!format.isMixed(SelectionFormat::Underline) && format.values.underline);
    if (format.isMixed(SelectionFormat::Alignment))
        return;
    switch (format.alignment) {
    case AlignLeftValue:
        m_left->setChecked(true);
        break;
    case AlignCenterValue:
        m_center->setChecked(true);
        break;
    case AlignRightValue:
        m_right->setChecked(true);
        break;
    default:
        break;
    }
}

void Form1::updateInsertIndicator()
{
    m_panels[3]->setEnabled(!RichTextBox1->overwriteMode());
}

void Form1::updateLockIndicators()
{
    const KeyLocks locks = readKeyLocks();
    m_panels[1]->setEnabled(locks.numLock);
    m_panels[2]->setEnabled(locks.capsLock);
}

void Form1::showEditMenu(const QPoint &globalPos)
{
    m_editMenu->popup(globalPos);
}

void Form1::tell(const QString &text, QMessageBox::Icon icon)
{
    platform::messageBox(this, text, kTitle, icon, QMessageBox::Ok);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_NumLock || key->key() == Qt::Key_CapsLock)
            updateLockIndicators();
        // The Insert key switches the document between inserting and overwriting.
        if (watched == RichTextBox1 && type == QEvent::KeyPress && key->key() == Qt::Key_Insert &&
            key->modifiers() == Qt::NoModifier) {
            RichTextBox1->setOverwriteMode(!RichTextBox1->overwriteMode());
            updateInsertIndicator();
            return true;
        }
        return false;
    }
    if (watched == RichTextBox1->viewport()) {
        // The right button's release opens the edit menu at the pointer; the document's own
        // context menu never shows.
        if (type == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            showEditMenu(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
            return true;
        }
        if (type == QEvent::ContextMenu) {
            const auto *menuEvent = static_cast<QContextMenuEvent *>(event);
            if (menuEvent->reason() == QContextMenuEvent::Keyboard)
                showEditMenu(
                    RichTextBox1->viewport()->mapToGlobal(RichTextBox1->cursorRect().bottomLeft()));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace pennote
