#include "dialogscript.h"

#include "editor/form1.h"
#include "editor/formfind.h"
#include "editor/keylocks.h"
#include "editor/rtf/rtfreader.h"
#include "platform/fonts.h"
#include "platform/messagebox.h"
#include "platform/process.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

#include <sys/stat.h>

#include <memory>

using pennote::DialogKind;
using pennote::DialogRequest;
using pennote::Form1;

namespace {

// A document described as runs: "flags:text", flags from b (bold), i (italic), u (underline);
// a "\n" inside a text starts a new paragraph.
void fill(QTextEdit *edit, const QStringList &runs)
{
    edit->clear();
    QTextCursor cursor(edit->document());
    for (const QString &run : runs) {
        const qsizetype colon = run.indexOf(u':');
        const QString flags = run.left(colon);
        QTextCharFormat format;
        format.setFontWeight(flags.contains(u'b') ? QFont::Bold : QFont::Normal);
        format.setFontItalic(flags.contains(u'i'));
        format.setFontUnderline(flags.contains(u'u'));
        cursor.insertText(run.mid(colon + 1), format);
    }
}

QString flagsOf(const QTextCharFormat &format)
{
    QString flags;
    if (format.fontWeight() >= QFont::Bold)
        flags += u'b';
    if (format.fontItalic())
        flags += u'i';
    if (format.fontUnderline())
        flags += u'u';
    return flags;
}

// The runs of a document in the form fill() takes, neighbours with the same flags joined. A
// paragraph end carries the character format of the paragraph it starts, as in the document.
QStringList runsOf(const QTextDocument *doc)
{
    QStringList runs;
    QString lastFlags;
    auto add = [&](const QString &flags, const QString &text) {
        if (!runs.isEmpty() && flags == lastFlags)
            runs.last() += text;
        else
            runs << flags + u':' + text;
        lastFlags = flags;
    };
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block != doc->begin())
            add(flagsOf(block.charFormat()), QStringLiteral("\n"));
        for (auto it = block.begin(); !it.atEnd(); ++it)
            add(flagsOf(it.fragment().charFormat()), it.fragment().text());
    }
    return runs;
}

// The characters of a document that carry a flag ("b", "i" or "u"), in order.
QString charactersWith(const QTextDocument *doc, QChar flag)
{
    QString found;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (flagsOf(it.fragment().charFormat()).contains(flag))
                found += it.fragment().text();
        }
    }
    return found;
}

void select(QTextEdit *edit, int anchor, int position)
{
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// The text pdftotext finds on the pages of a PDF file, pages separated by form feeds, blank
// lines and trailing blanks removed.
QString pdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<pdftotext failed>");
    QStringList lines;
    for (const QString &line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            lines << trimmed;
    }
    return lines.join(u'\n');
}

} // namespace

class tst_pennoteform1 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startUp();
    void menus_data();
    void menus();
    void toolbarButtons();
    void resizeRule_data();
    void resizeRule();
    void launchers_data();
    void launchers();
    void browserItemDoesNothing();
    void failedLaunchIsReported();
    void focusReturnsToDocument_data();
    void focusReturnsToDocument();
    void caretPositionText_data();
    void caretPositionText();
    void toggleButtonsFollowSelection_data();
    void toggleButtonsFollowSelection();
    void alignmentButtonsFollowSelection();
    void formatToggles_data();
    void formatToggles();
    void toggleAtCaretFormatsTyping();
    void alignmentCommands_data();
    void alignmentCommands();
    void cutAndCopy_data();
    void cutAndCopy();
    void cutWithoutSelection();
    void pasteTakesPlainText();
    void newEmptiesDocument();
    void openLoadsRichText();
    void openCancelledChangesNothing();
    void openFailuresKeepDocument_data();
    void openFailuresKeepDocument();
    void openDamagedFileSaysSo_data();
    void openDamagedFileSaysSo();
    void cancelledFileWorkKeepsEverything_data();
    void cancelledFileWorkKeepsEverything();
    void standardKeys_data();
    void standardKeys();
    void saveWritesRichTextWhateverTheName_data();
    void saveWritesRichTextWhateverTheName();
    void saveCancelledWritesNothing();
    void saveFailuresKeepFiles_data();
    void saveFailuresKeepFiles();
    void fileDialogsStartFromLastChoice();
    void fontDialogPresetAndWriteBack();
    void fontDialogKeepsWhatMixedSelectionMixes();
    void fontAndColorDialogsCancelledChangeNothing();
    void colorDialog();
    void printing_data();
    void printing();
    void printingUsesPageSetup_data();
    void printingUsesPageSetup();
    void printCancelledPrintsAndSaysNothing();
    void printErrorShowsDescription();
    void rightButtonReleaseShowsEditMenu();
    void lockIndicators_data();
    void lockIndicators();
    void insertKeySwitchesOverwrite();
    void findCommandsShowOneDialog();

private:
    std::unique_ptr<Form1> openWindow();
    static QTextEdit *documentOf(Form1 &window);
    static QAction *toolbarKey(Form1 &window, const QString &key);
    static QAction *menuItem(Form1 &window, const QString &name);
    static QLabel *panel(Form1 &window, int index);
    QString tempPath(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QList<platform::MessageRequest> m_messages;
    QList<platform::LaunchRequest> m_launches;
    bool m_launchSucceeds = true;
    pennote::KeyLocks m_locks;
};

void tst_pennoteform1::initTestCase()
{
    platform::installFontSubstitutions();
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
             "pdftotext (poppler-utils) is needed to read the printed pages");
}

void tst_pennoteform1::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    m_launches.clear();
    m_launchSucceeds = true;
    m_locks = {};
    platform::setMessagePresenter([this](const platform::MessageRequest &request) {
        m_messages << request;
        return QMessageBox::Ok;
    });
    platform::setLauncher([this](const platform::LaunchRequest &request) {
        m_launches << request;
        return m_launchSucceeds;
    });
    pennote::setKeyLockReader([this] { return m_locks; });
    QGuiApplication::clipboard()->clear();
}

void tst_pennoteform1::cleanup()
{
    platform::setMessagePresenter({});
    platform::setLauncher({});
    pennote::setKeyLockReader({});
}

std::unique_ptr<Form1> tst_pennoteform1::openWindow()
{
    auto window = std::make_unique<Form1>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

QTextEdit *tst_pennoteform1::documentOf(Form1 &window)
{
    return window.findChild<QTextEdit *>(QStringLiteral("RichTextBox1"));
}

QAction *tst_pennoteform1::toolbarKey(Form1 &window, const QString &key)
{
    auto *toolbar = window.findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    return toolbar ? toolbar->findChild<QAction *>(key, Qt::FindDirectChildrenOnly) : nullptr;
}

QAction *tst_pennoteform1::menuItem(Form1 &window, const QString &name)
{
    for (QMenu *menu : window.menuBar()->findChildren<QMenu *>()) {
        if (auto *item = menu->findChild<QAction *>(name, Qt::FindDirectChildrenOnly))
            return item;
    }
    return nullptr;
}

QLabel *tst_pennoteform1::panel(Form1 &window, int index)
{
    return window.findChild<QLabel *>(QStringLiteral("Panel%1").arg(index));
}

void tst_pennoteform1::startUp()
{
    auto window = openWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Dialvane保存文本编辑器"));
    QVERIFY(window->windowState().testFlag(Qt::WindowMaximized));
    QTextEdit *doc = documentOf(*window);
    QVERIFY(doc);
    QCOMPARE(doc->toPlainText(), QString());
    QCOMPARE(panel(*window, 1)->text(), QStringLiteral("光标位于第0字之后"));
    QCOMPARE(panel(*window, 2)->text(), QStringLiteral("NUM"));
    QCOMPARE(panel(*window, 3)->text(), QStringLiteral("CAPS"));
    QCOMPARE(panel(*window, 4)->text(), QStringLiteral("INS"));
    QVERIFY(toolbarKey(*window, "left")->isChecked());
    QVERIFY(!toolbarKey(*window, "center")->isChecked());
    QVERIFY(!toolbarKey(*window, "bold")->isChecked());
    QVERIFY(!window->findDialog());
    auto *toolbar = window->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    QCOMPARE(toolbar->height(), 28);
    QCOMPARE(window->findChild<QStatusBar *>(QStringLiteral("StatusBar1"))->height(), 25);
}

void tst_pennoteform1::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("files") << "files" << QStringLiteral("文件(&F)")
                           << QStringList{
                                  QStringLiteral("new=新建(&N)"),   QStringLiteral("open=打开(&O)"),
                                  QStringLiteral("save=保存(&S)"),  QStringLiteral("line1=-"),
                                  QStringLiteral("print=打印(&P)"), QStringLiteral("end=退出(&E)")};
    QTest::newRow("edit") << "edit" << QStringLiteral("编辑(&E)")
                          << QStringList{
                                 QStringLiteral("cut=剪切(&X)"), QStringLiteral("copy=复制(&C)"),
                                 QStringLiteral("paste=粘贴(&V)"), QStringLiteral("find=查找(&F)")};
    QTest::newRow("word") << "word" << QStringLiteral("文字(&W)")
                          << QStringList{QStringLiteral("font=字型(&F)")};
    QTest::newRow("out")
        << "out" << QStringLiteral("外接程序(&O)")
        << QStringList{QStringLiteral("zy=资源管理器(&Z)"), QStringLiteral("line3=-"),
                       QStringLiteral("note=记事本(&N)"),   QStringLiteral("epl=浏览器(&E)"),
                       QStringLiteral("line4=-"),           QStringLiteral("cmd=CMD.EXE"),
                       QStringLiteral("task=进程(&T)"),     QStringLiteral("IE=Internet Explorer")};
}

void tst_pennoteform1::menus()
{
    QFETCH(QString, menu);
    QFETCH(QString, caption);
    QFETCH(QStringList, items);

    Form1 window;
    QStringList order;
    for (QAction *top : window.menuBar()->actions())
        order << (top->menu() ? top->menu()->objectName() : QString());
    QCOMPARE(order, (QStringList{"files", "edit", "word", "out"}));

    auto *found = window.menuBar()->findChild<QMenu *>(menu);
    QVERIFY(found);
    QCOMPARE(found->title(), caption);
    QStringList actual;
    for (QAction *item : found->actions())
        actual << item->objectName() + u'=' +
                      (item->isSeparator() ? QStringLiteral("-") : item->text());
    QCOMPARE(actual, items);
}

void tst_pennoteform1::toolbarButtons()
{
    Form1 window;
    auto *toolbar = window.findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    QVERIFY(toolbar);
    QStringList keys;
    for (QAction *button : toolbar->actions()) {
        if (button->isSeparator()) {
            keys << QStringLiteral("|");
            continue;
        }
        keys << button->objectName() + u'=' + button->toolTip();
        QVERIFY2(!button->icon().pixmap(16, 16).isNull(), qPrintable(button->objectName()));
    }
    QCOMPARE(keys, (QStringList{"new=新建",
                                "open=打开",
                                "save=保存",
                                "print=打印",
                                "|",
                                "cut=剪切",
                                "copy=复制",
                                "paste=粘贴",
                                "find=查找",
                                "|",
                                "bold=粗体",
                                "italic=斜体",
                                "underline=下划线",
                                "|",
                                "left=靠左",
                                "center=居中",
                                "right=靠右",
                                "|",
                                "color=颜色",
                                "|",
                                "cmd=命令提示符",
                                "note=记事本",
                                "task=进程管理",
                                "ie=Internet Explorer",
                                "zy=资源管理器"}));
    for (const char *toggle : {"bold", "italic", "underline", "left", "center", "right"})
        QVERIFY2(toolbarKey(window, toggle)->isCheckable(), toggle);
    QVERIFY(!toolbarKey(window, "new")->isCheckable());

    // One of left, centre and right is pressed at a time.
    toolbarKey(window, "right")->trigger();
    QVERIFY(toolbarKey(window, "right")->isChecked());
    QVERIFY(!toolbarKey(window, "left")->isChecked());
    QVERIFY(!toolbarKey(window, "center")->isChecked());
}

void tst_pennoteform1::resizeRule_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("design size") << QSize(626, 480);
    QTest::newRow("wide and low") << QSize(900, 300);
    QTest::newRow("small") << QSize(420, 240);
}

void tst_pennoteform1::resizeRule()
{
    QFETCH(QSize, size);
    auto window = openWindow();
    QVERIFY(window);
    window->setWindowState(Qt::WindowNoState);
    window->resize(size);
    QTRY_COMPARE(window->size(), size);
    QTRY_VERIFY(!window->windowState().testFlag(Qt::WindowMaximized));

    const int menuHeight = window->menuBar()->height();
    const int innerHeight = window->height() - menuHeight;
    auto *toolbar = window->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    auto *status = window->findChild<QStatusBar *>(QStringLiteral("StatusBar1"));
    QTextEdit *doc = documentOf(*window);
    QTRY_COMPARE(doc->geometry(), QRect(0, toolbar->geometry().bottom() + 1, window->width(),
                                        innerHeight - toolbar->height() - status->height()));
    QCOMPARE(toolbar->geometry().top(), menuHeight);
    QCOMPARE(status->geometry().bottom(), window->height() - 1);
}

void tst_pennoteform1::launchers_data()
{
    QTest::addColumn<bool>("fromToolbar");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<platform::WindowMode>("mode");

    const auto quiet = platform::WindowMode::NormalNoFocus;
    const auto active = platform::WindowMode::NormalFocus;
    const QString cmd = QStringLiteral("C:\\windows\\system32\\cmd.exe");
    const QString note = QStringLiteral("C:\\windows\\Notepad.exe");
    const QString task = QStringLiteral("C:\\windows\\system32\\taskmgr.exe");
    const QString zy = QStringLiteral("C:\\windows\\explorer.exe");
    const QString ie = QStringLiteral("C:\\Program Files\\Internet Explorer\\IEXPLORE.exe");
    QTest::newRow("menu cmd") << false << "cmd" << cmd << quiet;
    QTest::newRow("menu note") << false << "note" << note << quiet;
    QTest::newRow("menu task") << false << "task" << task << quiet;
    QTest::newRow("menu zy") << false << "zy" << zy << quiet;
    QTest::newRow("menu IE") << false << "IE" << ie << active;
    QTest::newRow("button cmd") << true << "cmd" << cmd << quiet;
    QTest::newRow("button note") << true << "note" << note << quiet;
    QTest::newRow("button task") << true << "task" << task << quiet;
    QTest::newRow("button zy") << true << "zy" << zy << quiet;
    QTest::newRow("button ie") << true << "ie" << ie << active;
}

void tst_pennoteform1::launchers()
{
    QFETCH(bool, fromToolbar);
    QFETCH(QString, name);
    QFETCH(QString, commandLine);
    QFETCH(platform::WindowMode, mode);

    Form1 window;
    QAction *action = fromToolbar ? toolbarKey(window, name) : menuItem(window, name);
    QVERIFY(action);
    action->trigger();
    QCOMPARE(m_launches.size(), 1);
    QCOMPARE(m_launches.first().commandLine, commandLine);
    QCOMPARE(m_launches.first().mode, mode);
    QVERIFY(m_messages.isEmpty());
}

void tst_pennoteform1::browserItemDoesNothing()
{
    Form1 window;
    fill(documentOf(window), {QStringLiteral(":abc")});
    menuItem(window, "epl")->trigger();
    QVERIFY(m_launches.isEmpty());
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(documentOf(window)->toPlainText(), QStringLiteral("abc"));
}

void tst_pennoteform1::failedLaunchIsReported()
{
    Form1 window;
    m_launchSucceeds = false;
    menuItem(window, "task")->trigger();
    QCOMPARE(m_launches.size(), 1);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text,
             QStringLiteral("无法启动“C:\\windows\\system32\\taskmgr.exe”。"));
    QCOMPARE(m_messages.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(m_messages.first().icon, QMessageBox::Warning);
}

void tst_pennoteform1::focusReturnsToDocument_data()
{
    QTest::addColumn<QString>("key");
    for (const char *key : {"new",   "open", "save",   "print",     "cut",  "copy",   "paste",
                            "find",  "bold", "italic", "underline", "left", "center", "right",
                            "color", "cmd",  "note",   "task",      "ie",   "zy",     "unknown"})
        QTest::newRow(key) << QString::fromLatin1(key);
}

void tst_pennoteform1::focusReturnsToDocument()
{
    QFETCH(QString, key);
    DialogScript dialogs; // every dialog is cancelled
    auto window = openWindow();
    QVERIFY(window);
    QTextEdit *doc = documentOf(*window);
    fill(doc, {QStringLiteral(":keep")});
    auto *toolbar = window->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    // Something else in the window holds the focus when the button is clicked.
    auto *other = new QLineEdit;
    window->findChild<QStatusBar *>(QStringLiteral("StatusBar1"))->addWidget(other);
    other->show();
    other->setFocus();
    QCOMPARE(window->focusWidget(), other);

    QAction *button = toolbarKey(*window, key);
    if (!button) {
        // A key the table does not know does nothing but give the focus back.
        button = new QAction(QStringLiteral("?"), toolbar);
        button->setObjectName(key);
        toolbar->addAction(button);
    }
    button->trigger();
    QCOMPARE(window->focusWidget(), doc);
    if (key == u"unknown") {
        QCOMPARE(doc->toPlainText(), QStringLiteral("keep"));
        QVERIFY(m_launches.isEmpty());
        QVERIFY(dialogs.shown().isEmpty());
    }
}

void tst_pennoteform1::caretPositionText_data()
{
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");

    // The document is "张三abc" "\n" "de".
    QTest::newRow("before the first character") << 0 << 0 << QStringLiteral("光标位于第0字之后");
    QTest::newRow("after two Chinese characters") << 2 << 2 << QStringLiteral("光标位于第2字之后");
    QTest::newRow("start of the second paragraph") << 6 << 6 << QStringLiteral("光标位于第6字之后");
    QTest::newRow("end of the document") << 8 << 8 << QStringLiteral("光标位于第8字之后");
    QTest::newRow("selection forwards") << 1 << 7 << QStringLiteral("光标位于第1字之后");
    QTest::newRow("selection backwards") << 7 << 3 << QStringLiteral("光标位于第3字之后");
}

void tst_pennoteform1::caretPositionText()
{
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, expected);

    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":张三abc\nde")});
    select(doc, anchor, position);
    QCOMPARE(panel(window, 1)->text(), expected);
}

void tst_pennoteform1::toggleButtonsFollowSelection_data()
{
    QTest::addColumn<QStringList>("runs");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("pressed");

    const QStringList mixed{QStringLiteral("b:ab"), QStringLiteral(":cd"), QStringLiteral("iu:ef"),
                            QStringLiteral("biu:gh")};
    QTest::newRow("bold and plain") << mixed << 0 << 4 << "";
    QTest::newRow("bold only") << mixed << 0 << 2 << "b";
    QTest::newRow("plain only") << mixed << 2 << 4 << "";
    QTest::newRow("italic underlined") << mixed << 4 << 6 << "iu";
    QTest::newRow("italic underlined, part bold") << mixed << 4 << 8 << "iu";
    QTest::newRow("all three") << mixed << 6 << 8 << "biu";
    QTest::newRow("caret inside bold") << mixed << 1 << 1 << "b";
    QTest::newRow("caret after bold") << mixed << 2 << 2 << "b";
    QTest::newRow("caret after plain") << mixed << 3 << 3 << "";
    QTest::newRow("whole document") << mixed << 0 << 8 << "";
    QTest::newRow("across paragraphs") << QStringList{QStringLiteral("b:ab\ncd")} << 1 << 4 << "b";
}

void tst_pennoteform1::toggleButtonsFollowSelection()
{
    QFETCH(QStringList, runs);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, pressed);

    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, runs);
    // Start from the opposite so that every button has to move.
    select(doc, 0, 0);
    for (const char *key : {"bold", "italic", "underline"})
        toolbarKey(window, key)->setChecked(true);
    select(doc, start, end);
    QCOMPARE(toolbarKey(window, "bold")->isChecked(), pressed.contains(u'b'));
    QCOMPARE(toolbarKey(window, "italic")->isChecked(), pressed.contains(u'i'));
    QCOMPARE(toolbarKey(window, "underline")->isChecked(), pressed.contains(u'u'));
}

void tst_pennoteform1::alignmentButtonsFollowSelection()
{
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":left\ncentre\nright\njustified")});
    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                        Qt::AlignJustify};
    QTextBlock block = doc->document()->begin();
    for (Qt::Alignment alignment : alignments) {
        QTextCursor cursor(block);
        QTextBlockFormat format;
        format.setAlignment(alignment);
        cursor.setBlockFormat(format);
        block = block.next();
    }
    auto pressed = [&] {
        QString keys;
        for (const char *key : {"left", "center", "right"}) {
            if (toolbarKey(window, key)->isChecked())
                keys += key;
        }
        return keys;
    };
    select(doc, 7, 7); // in "centre"
    QCOMPARE(pressed(), QStringLiteral("center"));
    select(doc, 14, 16); // in "right"
    QCOMPARE(pressed(), QStringLiteral("right"));
    select(doc, 2, 9); // "left" and "centre": mixed, the group stays as it is
    QCOMPARE(pressed(), QStringLiteral("right"));
    select(doc, 1, 1);
    QCOMPARE(pressed(), QStringLiteral("left"));
    select(doc, 20, 22); // justified is none of the three
    QCOMPARE(pressed(), QStringLiteral("left"));
}

void tst_pennoteform1::formatToggles_data()
{
    QTest::addColumn<QStringList>("runs");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("pressed");

    QTest::newRow("bold on") << QStringList{":abcd"} << 0 << 4 << "bold" << QStringList{"b:abcd"}
                             << true;
    QTest::newRow("bold off") << QStringList{"b:abcd"} << 0 << 4 << "bold" << QStringList{":abcd"}
                              << false;
    QTest::newRow("bold on a part")
        << QStringList{":abcd"} << 1 << 3 << "bold" << QStringList{":a", "b:bc", ":d"} << true;
    QTest::newRow("mixed bold becomes bold")
        << QStringList{"b:ab", ":cd"} << 0 << 4 << "bold" << QStringList{"b:abcd"} << true;
    QTest::newRow("italic on") << QStringList{"b:abcd"} << 0 << 2 << "italic"
                               << QStringList{"bi:ab", "b:cd"} << true;
    QTest::newRow("italic off") << QStringList{"i:abcd"} << 2 << 4 << "italic"
                                << QStringList{"i:ab", ":cd"} << false;
    QTest::newRow("underline on") << QStringList{":ab\ncd"} << 1 << 4 << "underline"
                                  << QStringList{":a", "u:b\nc", ":d"} << true;
    QTest::newRow("underline of mixed") << QStringList{"u:ab", ":cd"} << 1 << 3 << "underline"
                                        << QStringList{"u:abc", ":d"} << true;
}

void tst_pennoteform1::formatToggles()
{
    QFETCH(QStringList, runs);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, key);
    QFETCH(QStringList, expected);
    QFETCH(bool, pressed);

    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, runs);
    select(doc, start, end);
    toolbarKey(window, key)->trigger();
    QCOMPARE(runsOf(doc->document()), expected);
    QCOMPARE(toolbarKey(window, key)->isChecked(), pressed);
    QCOMPARE(doc->textCursor().selectionStart(), start);
    QCOMPARE(doc->textCursor().selectionEnd(), end);
}

void tst_pennoteform1::toggleAtCaretFormatsTyping()
{
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":ab")});
    select(doc, 1, 1);
    toolbarKey(window, "bold")->trigger();
    toolbarKey(window, "underline")->trigger();
    QCOMPARE(runsOf(doc->document()), QStringList{QStringLiteral(":ab")});
    QTest::keyClicks(doc, QStringLiteral("XY"));
    QCOMPARE(runsOf(doc->document()),
             (QStringList{QStringLiteral(":a"), QStringLiteral("bu:XY"), QStringLiteral(":b")}));
}

void tst_pennoteform1::alignmentCommands_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("alignment");
    QTest::newRow("left") << "left" << int(Qt::AlignLeft);
    QTest::newRow("center") << "center" << int(Qt::AlignHCenter);
    QTest::newRow("right") << "right" << int(Qt::AlignRight);
}

void tst_pennoteform1::alignmentCommands()
{
    QFETCH(QString, key);
    QFETCH(int, alignment);

    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":one\ntwo\nthree")});
    QTextCursor last(doc->document()->lastBlock());
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    last.setBlockFormat(justified);

    select(doc, 2, 5); // from "one" into "two"
    toolbarKey(window, key)->trigger();
    const QTextDocument *text = doc->document();
    const auto horizontal = [](const QTextBlock &block) {
        return int(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
    };
    QCOMPARE(horizontal(text->findBlockByNumber(0)), alignment);
    QCOMPARE(horizontal(text->findBlockByNumber(1)), alignment);
    QCOMPARE(horizontal(text->findBlockByNumber(2)), int(Qt::AlignJustify));
    QVERIFY(toolbarKey(window, key)->isChecked());
}

void tst_pennoteform1::cutAndCopy_data()
{
    QTest::addColumn<bool>("cut");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("remaining");

    // The document is "张三 abc" "\n" "电话" with "abc" bold.
    QTest::newRow("cut in a line") << true << 1 << 5 << "三 ab"
                                   << "张c\n电话";
    QTest::newRow("cut across paragraphs") << true << 4 << 8 << "bc\n电"
                                           << "张三 a话";
    QTest::newRow("cut everything") << true << 0 << 9 << "张三 abc\n电话"
                                    << "";
    QTest::newRow("copy in a line") << false << 0 << 3 << "张三 "
                                    << "张三 abc\n电话";
    QTest::newRow("copy across paragraphs") << false << 3 << 9 << "abc\n电话"
                                            << "张三 abc\n电话";
}

void tst_pennoteform1::cutAndCopy()
{
    QFETCH(bool, cut);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, clipboard);
    QFETCH(QString, remaining);

    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":张三 "), QStringLiteral("b:abc"), QStringLiteral(":\n电话")});
    select(doc, start, end);
    menuItem(window, cut ? "cut" : "copy")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data && !data->hasHtml());
    QCOMPARE(doc->toPlainText(), remaining);
}

void tst_pennoteform1::cutWithoutSelection()
{
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":abc")});
    select(doc, 2, 2);
    QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
    toolbarKey(window, "cut")->trigger();
    QCOMPARE(doc->toPlainText(), QStringLiteral("abc"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    QCOMPARE(doc->textCursor().position(), 2);
}

void tst_pennoteform1::pasteTakesPlainText()
{
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":张三 abc")});
    select(doc, 3, 6);
    auto *data = new QMimeData;
    data->setHtml(QStringLiteral("<b>电话</b><br>8620"));
    data->setText(QStringLiteral("电话\n8620"));
    QGuiApplication::clipboard()->setMimeData(data);
    toolbarKey(window, "paste")->trigger();
    QCOMPARE(runsOf(doc->document()), QStringList{QStringLiteral(":张三 电话\n8620")});
    QCOMPARE(doc->textCursor().position(), 10);
    QCOMPARE(doc->textCursor().hasSelection(), false);
}

void tst_pennoteform1::newEmptiesDocument()
{
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral("b:张三\n电话")});
    select(doc, 3, 3);
    menuItem(window, "new")->trigger();
    QCOMPARE(doc->toPlainText(), QString());
    QCOMPARE(panel(window, 1)->text(), QStringLiteral("光标位于第0字之后"));
    QVERIFY(m_messages.isEmpty());
}

void tst_pennoteform1::openLoadsRichText()
{
    const QString path = tempPath(QStringLiteral("listing.rtf"));
    QVERIFY(writeFile(path, "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 "
                            "\\'cb\\'ce\\'cc\\'e5;}}\\f0\\fs24 \\'d5\\'c5\\'c8\\'fd "
                            "\\b 8620\\b0\\par\\i second\\i0\\par}"));
    DialogScript dialogs;
    dialogs.chooseFile(path);
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":old text")});
    menuItem(window, "open")->trigger();

    QCOMPARE(dialogs.shown().size(), 1);
    QCOMPARE(dialogs.shown().first().kind, DialogKind::Open);
    QCOMPARE(dialogs.shown().first().flags, 4096);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(doc->toPlainText(), QStringLiteral("张三 8620\nsecond"));
    QCOMPARE(charactersWith(doc->document(), u'b'), QStringLiteral("8620"));
    QCOMPARE(charactersWith(doc->document(), u'i'), QStringLiteral("second"));
    QCOMPARE(panel(window, 1)->text(), QStringLiteral("光标位于第0字之后"));
}

void tst_pennoteform1::openCancelledChangesNothing()
{
    DialogScript dialogs;
    dialogs.cancel();
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral("b:keep")});
    toolbarKey(window, "open")->trigger();
    QCOMPARE(dialogs.shown().size(), 1);
    QCOMPARE(runsOf(doc->document()), QStringList{QStringLiteral("b:keep")});
    QVERIFY(m_messages.isEmpty());
}

void tst_pennoteform1::openFailuresKeepDocument_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");

    const QByteArray none = "<none>";
    const QByteArray folder = "<folder>";
    QTest::newRow("missing") << "gone.rtf" << none << "无法打开文件“%1”：文件不存在。";
    QTest::newRow("folder") << "folder.rtf" << folder << "无法打开“%1”：这是一个文件夹。";
    QTest::newRow("plain text") << "notes.txt" << QByteArray("张三 8620\r\n")
                                << "文件“%1”不是 RTF 格式的文档，没有打开。";
    QTest::newRow("empty") << "empty.rtf" << QByteArray()
                           << "文件“%1”不是 RTF 格式的文档，没有打开。";
    QTest::newRow("picture") << "photo.rtf" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                             << "文件“%1”不是 RTF 格式的文档，没有打开。";
    QTest::newRow("html") << "page.rtf" << QByteArray("<html><body>{\\rtf1 x}</body></html>")
                          << "文件“%1”不是 RTF 格式的文档，没有打开。";
    // Reading a named pipe would wait for a writer forever.
    QTest::newRow("named pipe") << "pipe.rtf" << QByteArray("<fifo>")
                                << "文件“%1”不是 RTF 格式的文档，没有打开。";
    QTest::newRow("link to a named pipe")
        << "link.rtf" << QByteArray("<link to fifo>") << "文件“%1”不是 RTF 格式的文档，没有打开。";
    QTest::newRow("too large")
        << "huge.rtf" << QByteArray("<huge>")
        << "无法打开文件“%1”：文件太大，pennote 只能打开 160 MB 以内的文档。";
    QTest::newRow("device") << "/dev/zero" << QByteArray("<device>")
                            << "文件“%1”不是 RTF 格式的文档，没有打开。";
}

void tst_pennoteform1::openFailuresKeepDocument()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);

    const bool special =
        QByteArrayList{"<none>", "<folder>", "<fifo>", "<link to fifo>", "<device>", "<huge>"}
            .contains(content);
    const QString path = content == "<device>" ? name : tempPath(name);
    if (content == "<folder>") {
        QVERIFY(QDir().mkpath(path));
    } else if (content == "<fifo>") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (content == "<link to fifo>") {
        QCOMPARE(::mkfifo(QFile::encodeName(tempPath("pipe")).constData(), 0600), 0);
        QVERIFY(QFile::link(tempPath("pipe"), path));
    } else if (content == "<huge>") {
        QFile huge(path); // sparse: takes no room on the disk
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.write("{\\rtf1 ") == 7 && huge.resize(qint64(160) * 1024 * 1024 + 1));
    } else if (!special) {
        QVERIFY(writeFile(path, content));
    }
    DialogScript dialogs;
    dialogs.chooseFile(path);
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":keep "), QStringLiteral("b:me")});
    menuItem(window, "open")->trigger();

    QCOMPARE(runsOf(doc->document()),
             (QStringList{QStringLiteral(":keep "), QStringLiteral("b:me")}));
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, message.arg(QDir::toNativeSeparators(path)));
    QCOMPARE(m_messages.first().title, QStringLiteral("pennote"));
    QCOMPARE(m_messages.first().icon, QMessageBox::Warning);
    if (!special)
        QCOMPARE(readFile(path), content);
}

void tst_pennoteform1::openDamagedFileSaysSo_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("cut short") << QByteArray("{\\rtf1\\ansi first\\par second {\\b bold")
                               << "first\nsecond bold"
                               << "文件“%1”已损坏，只打开了其中能读出的部分。";
    QTest::newRow("parts that cannot be kept")
        << QByteArray("{\\rtf1\\ansi one{\\footnote a note} two{\\footnote another}"
                      "{\\object{\\*\\objdata 0102}}\\par}")
        << "one two"
        << "此文档中的部分内容（脚注、嵌入对象）无法保留。";
}

void tst_pennoteform1::openDamagedFileSaysSo()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, text);
    QFETCH(QString, message);

    const QString path = tempPath(QStringLiteral("cut short.rtf"));
    QVERIFY(writeFile(path, content));
    DialogScript dialogs;
    dialogs.chooseFile(path);
    Form1 window;
    QTextEdit *doc = documentOf(window);
    menuItem(window, "open")->trigger();
    QCOMPARE(doc->toPlainText(), text);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, message.arg(QDir::toNativeSeparators(path)));
    QCOMPARE(m_messages.first().icon, QMessageBox::Information);
}

void tst_pennoteform1::cancelledFileWorkKeepsEverything_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("cancel");
    QTest::newRow("open cancelled") << "open" << true;
    QTest::newRow("save cancelled") << "save" << true;
    QTest::newRow("open to the end") << "open" << false;
    QTest::newRow("save to the end") << "save" << false;
}

void tst_pennoteform1::cancelledFileWorkKeepsEverything()
{
    QFETCH(QString, command);
    QFETCH(bool, cancel);

    // Big enough for the work to report its progress several times.
    const QString path = tempPath(QStringLiteral("long.rtf"));
    const QByteArray old =
        "{\\rtf1\\ansi " + QByteArray("long line of text\\par\n").repeated(60000) + "}";
    QVERIFY(writeFile(path, old));
    DialogScript dialogs;
    dialogs.chooseFile(path);
    Form1 window;
    window.setProgressDelay(0);
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":keep "), QStringLiteral("b:me")});
    QTextDocument *before = doc->document();

    QString label;
    QString button;
    auto pressCancel = [&] {
        auto *progress = window.findChild<QProgressDialog *>(QStringLiteral("FileProgress"));
        if (!progress || !progress->isVisible())
            return;
        label = progress->labelText();
        if (auto *cancelButton = progress->findChild<QPushButton *>())
            button = cancelButton->text();
        if (cancel)
            progress->cancel();
    };
    QTimer presser;
    connect(&presser, &QTimer::timeout, &window, pressCancel);
    presser.start(0);
    menuItem(window, command.toLatin1().constData())->trigger();
    presser.stop();

    QVERIFY(m_messages.isEmpty());
    QCOMPARE(button, QStringLiteral("取消"));
    QCOMPARE(label, command == u"open" ? QStringLiteral("正在打开文件……")
                                       : QStringLiteral("正在保存文件……"));
    QVERIFY(!window.findChild<QProgressDialog *>());
    if (command == u"open" && cancel) {
        QCOMPARE(doc->document(), before);
        QCOMPARE(runsOf(doc->document()),
                 (QStringList{QStringLiteral(":keep "), QStringLiteral("b:me")}));
    } else if (command == u"open") {
        QCOMPARE(doc->document()->blockCount(), 60000);
        QCOMPARE(doc->document()->defaultFont(), doc->font());
    } else {
        QCOMPARE(readFile(path) == old, cancel);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("long.rtf")});
    }
}

void tst_pennoteform1::standardKeys_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QKeySequence::StandardKey>("key");
    QTest::newRow("new") << "new" << QKeySequence::New;
    QTest::newRow("open") << "open" << QKeySequence::Open;
    QTest::newRow("save") << "save" << QKeySequence::Save;
    QTest::newRow("print") << "print" << QKeySequence::Print;
    QTest::newRow("find") << "find" << QKeySequence::Find;
    QTest::newRow("bold") << "bold" << QKeySequence::Bold;
    QTest::newRow("italic") << "italic" << QKeySequence::Italic;
    QTest::newRow("underline") << "underline" << QKeySequence::Underline;
}

void tst_pennoteform1::standardKeys()
{
    QFETCH(QString, name);
    QFETCH(QKeySequence::StandardKey, key);

    DialogScript dialogs; // cancels whatever dialog the key opens
    auto window = openWindow();
    QVERIFY(window);
    QAction *action = menuItem(*window, name);
    if (!action)
        action = toolbarKey(*window, name);
    QVERIFY(action);
    QCOMPARE(action->shortcut(), QKeySequence(key));
    // Pressed in the document, the key runs the command.
    QTextEdit *doc = documentOf(*window);
    doc->setFocus();
    QSignalSpy triggered(action, &QAction::triggered);
    QTest::keySequence(doc, QKeySequence(key));
    QCOMPARE(triggered.size(), 1);
}

void tst_pennoteform1::saveWritesRichTextWhateverTheName_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("rtf") << "saved.rtf";
    QTest::newRow("txt") << "saved.txt";
    QTest::newRow("no extension") << "saved";
    QTest::newRow("Chinese name with blanks") << "张三 电话.doc";
}

void tst_pennoteform1::saveWritesRichTextWhateverTheName()
{
    QFETCH(QString, name);
    const QString path = tempPath(name);
    DialogScript dialogs;
    dialogs.chooseFile(path);
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":张三 "), QStringLiteral("b:8620"), QStringLiteral(":\nsecond")});
    toolbarKey(window, "save")->trigger();

    QCOMPARE(dialogs.shown().size(), 1);
    QCOMPARE(dialogs.shown().first().kind, DialogKind::Save);
    QCOMPARE(dialogs.shown().first().flags, 2050);
    QVERIFY(m_messages.isEmpty());
    const QByteArray saved = readFile(path);
    QVERIFY2(saved.startsWith("{\\rtf1"), saved.left(40).constData());
    QTextDocument back;
    QVERIFY(rtf::readRtf(saved, &back).ok);
    QCOMPARE(back.toPlainText(), QStringLiteral("张三 8620\nsecond"));
    QCOMPARE(charactersWith(&back, u'b'), QStringLiteral("8620"));
    QCOMPARE(charactersWith(&back, u'i'), QString());
    // Nothing else is left in the folder.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{name});
}

void tst_pennoteform1::saveCancelledWritesNothing()
{
    DialogScript dialogs;
    dialogs.cancel();
    Form1 window;
    fill(documentOf(window), {QStringLiteral(":text")});
    menuItem(window, "save")->trigger();
    QCOMPARE(dialogs.shown().size(), 1);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void tst_pennoteform1::saveFailuresKeepFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing folder") << "nowhere/saved.rtf"
                                    << "无法保存文件“%1”：文件夹不存在。";
    QTest::newRow("folder of that name") << "existing folder"
                                         << "无法保存文件“%1”：已有同名的文件夹。";
    QTest::newRow("below a file") << "plain.txt/saved.rtf"
                                  << "无法保存文件“%1”：文件夹不存在。";
}

void tst_pennoteform1::saveFailuresKeepFiles()
{
    QFETCH(QString, name);
    QFETCH(QString, message);

    QVERIFY(QDir().mkpath(tempPath(QStringLiteral("existing folder"))));
    QVERIFY(writeFile(tempPath(QStringLiteral("plain.txt")), "untouched"));
    const QString path = tempPath(name);
    DialogScript dialogs;
    dialogs.chooseFile(path);
    Form1 window;
    fill(documentOf(window), {QStringLiteral(":text")});
    menuItem(window, "save")->trigger();

    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, message.arg(QDir::toNativeSeparators(path)));
    QCOMPARE(m_messages.first().icon, QMessageBox::Warning);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("existing folder"), QStringLiteral("plain.txt")}));
    QCOMPARE(readFile(tempPath(QStringLiteral("plain.txt"))), QByteArray("untouched"));
    QVERIFY(QDir(tempPath(QStringLiteral("existing folder"))).isEmpty());
    QCOMPARE(documentOf(window)->toPlainText(), QStringLiteral("text"));
}

void tst_pennoteform1::fileDialogsStartFromLastChoice()
{
    const QString first = tempPath(QStringLiteral("first.rtf"));
    const QString second = tempPath(QStringLiteral("second.rtf"));
    QVERIFY(writeFile(first, "{\\rtf1 one}"));
    // The first dialog starts in the user's documents folder.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(m_dir->path()));
    const QString documents = tempPath(QStringLiteral("Documents"));
    QVERIFY(QDir().mkpath(documents));
    DialogScript dialogs;
    dialogs.chooseFile(first);
    dialogs.chooseFile(second);
    dialogs.cancel();
    dialogs.cancel();
    Form1 window;
    menuItem(window, "open")->trigger();
    menuItem(window, "save")->trigger();
    menuItem(window, "open")->trigger(); // cancelled
    menuItem(window, "save")->trigger();
    qputenv("HOME", home);
    QCOMPARE(dialogs.shown().size(), 4);
    QCOMPARE(dialogs.shown().at(0).fileName, QString());
    QCOMPARE(dialogs.shown().at(0).directory, documents);
    QCOMPARE(dialogs.shown().at(1).fileName, first);
    QCOMPARE(dialogs.shown().at(2).fileName, second);
    QCOMPARE(dialogs.shown().at(3).fileName, second);
    QCOMPARE(dialogs.shown().at(3).flags, 2050);
}

void tst_pennoteform1::fontDialogPresetAndWriteBack()
{
    DialogScript dialogs;
    dialogs.answer([](DialogRequest &request) {
        request.fontName = QStringLiteral("宋体");
        request.fontSize = 10.5;
        request.fontBold = false;
        request.fontItalic = true;
        request.fontUnderline = false;
        request.color = QColor(0, 0, 255);
        return true;
    });
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":xx"), QStringLiteral("biu:abcd"), QStringLiteral(":yy")});
    QTextCursor styled(doc->document());
    styled.setPosition(2);
    styled.setPosition(6, QTextCursor::KeepAnchor);
    QTextCharFormat look;
    look.setFontFamilies({QStringLiteral("DejaVu Sans")});
    look.setFontPointSize(12);
    look.setForeground(QColor(255, 0, 0));
    styled.mergeCharFormat(look);
    select(doc, 2, 6);
    QVERIFY(toolbarKey(window, "underline")->isChecked());

    menuItem(window, "font")->trigger();
    QCOMPARE(dialogs.shown().size(), 1);
    const DialogRequest &preset = dialogs.shown().first();
    QCOMPARE(preset.kind, DialogKind::Font);
    QCOMPARE(preset.flags, 259);
    QCOMPARE(preset.fontName, QStringLiteral("DejaVu Sans"));
    QCOMPARE(preset.fontSize, 12.0);
    QCOMPARE(preset.fontBold, true);
    QCOMPARE(preset.fontItalic, true);
    QCOMPARE(preset.fontUnderline, true);
    QCOMPARE(preset.color, QColor(255, 0, 0));

    QCOMPARE(runsOf(doc->document()),
             (QStringList{QStringLiteral(":xx"), QStringLiteral("i:abcd"), QStringLiteral(":yy")}));
    for (int position : {3, 6}) {
        QTextCursor probe(doc->document());
        probe.setPosition(position);
        QCOMPARE(probe.charFormat().fontFamilies().toStringList(), QStringList{"宋体"});
        QCOMPARE(probe.charFormat().fontPointSize(), 10.5);
        QCOMPARE(probe.charFormat().foreground().color(), QColor(0, 0, 255));
    }
    QVERIFY(!toolbarKey(window, "bold")->isChecked());
    QVERIFY(toolbarKey(window, "italic")->isChecked());
    // The font command leaves the underline button as it was.
    QVERIFY(toolbarKey(window, "underline")->isChecked());
}

void tst_pennoteform1::fontDialogKeepsWhatMixedSelectionMixes()
{
    DialogScript dialogs;
    dialogs.answer([](DialogRequest &request) {
        request.fontSize = 20;
        return true;
    });
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral("b:ab"), QStringLiteral(":cd")});
    QTextCursor second(doc->document());
    second.setPosition(2);
    second.setPosition(4, QTextCursor::KeepAnchor);
    QTextCharFormat other;
    other.setFontFamilies({QStringLiteral("DejaVu Serif")});
    other.setFontPointSize(14);
    second.mergeCharFormat(other);
    QTextCursor first(doc->document());
    first.setPosition(0);
    first.setPosition(2, QTextCursor::KeepAnchor);
    QTextCharFormat one;
    one.setFontFamilies({QStringLiteral("DejaVu Sans")});
    one.setFontPointSize(9);
    first.mergeCharFormat(one);
    select(doc, 0, 4);

    menuItem(window, "font")->trigger();
    // The dialog starts from the first character.
    QCOMPARE(dialogs.shown().first().fontName, QStringLiteral("DejaVu Sans"));
    QCOMPARE(dialogs.shown().first().fontSize, 9.0);
    QCOMPARE(dialogs.shown().first().fontBold, true);

    QCOMPARE(runsOf(doc->document()), (QStringList{QStringLiteral("b:ab"), QStringLiteral(":cd")}));
    QTextCursor probe(doc->document());
    probe.setPosition(1);
    QCOMPARE(probe.charFormat().fontFamilies().toStringList(), QStringList{"DejaVu Sans"});
    QCOMPARE(probe.charFormat().fontPointSize(), 20.0);
    probe.setPosition(4);
    QCOMPARE(probe.charFormat().fontFamilies().toStringList(), QStringList{"DejaVu Serif"});
    QCOMPARE(probe.charFormat().fontPointSize(), 20.0);
    QVERIFY(!toolbarKey(window, "bold")->isChecked());
}

void tst_pennoteform1::fontAndColorDialogsCancelledChangeNothing()
{
    DialogScript dialogs;
    dialogs.cancel(); // font
    dialogs.cancel(); // printer
    dialogs.cancel(); // font again, after the printer dialog
    dialogs.cancel(); // colour
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral("b:ab"), QStringLiteral("iu:cd")});
    select(doc, 0, 4);
    const QString before = doc->document()->toHtml();
    menuItem(window, "font")->trigger();
    QCOMPARE(doc->document()->toHtml(), before);
    menuItem(window, "print")->trigger();
    menuItem(window, "font")->trigger();
    toolbarKey(window, "color")->trigger();
    QCOMPARE(doc->document()->toHtml(), before);
    QCOMPARE(dialogs.shown().size(), 4);
    QVERIFY(m_messages.isEmpty());
}

void tst_pennoteform1::colorDialog()
{
    DialogScript dialogs;
    dialogs.answer([](DialogRequest &request) {
        request.color = QColor(0x80, 0, 0x80);
        return true;
    });
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":abcdef")});
    QTextCursor green(doc->document());
    green.setPosition(1);
    green.setPosition(5, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setForeground(QColor(0, 0x80, 0));
    green.mergeCharFormat(format);
    select(doc, 2, 4);

    toolbarKey(window, "color")->trigger();
    QCOMPARE(dialogs.shown().size(), 1);
    QCOMPARE(dialogs.shown().first().kind, DialogKind::Color);
    QCOMPARE(dialogs.shown().first().color, QColor(0, 0x80, 0));
    QStringList colours;
    for (int position = 1; position <= 6; ++position) {
        QTextCursor probe(doc->document());
        probe.setPosition(position);
        const QBrush brush = probe.charFormat().foreground();
        colours << (brush.style() == Qt::NoBrush ? QStringLiteral("-") : brush.color().name());
    }
    QCOMPARE(colours, (QStringList{"-", "#008000", "#800080", "#800080", "#008000", "-"}));
}

void tst_pennoteform1::printing_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("printed");

    // The document is "张三 电话 8620" "\n" "Marlowen listing" "\n" "第三行".
    QTest::newRow("whole document") << 5 << 5 << "张三 电话 8620\nMarlowen listing\n第三行";
    QTest::newRow("selection in a line") << 3 << 10 << "电话 8620";
    QTest::newRow("selection across lines") << 4 << 30 << "话 8620\nMarlowen listing\n第三";
    QTest::newRow("selection backwards") << 30 << 13 << "rlowen listing\n第三";
}

void tst_pennoteform1::printing()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, printed);

    const QString pdf = tempPath(QStringLiteral("printed.pdf"));
    DialogScript dialogs;
    dialogs.answer([pdf](DialogRequest &request) {
        request.printer->setOutputFormat(QPrinter::PdfFormat);
        request.printer->setOutputFileName(pdf);
        return true;
    });
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":张三 电话 "), QStringLiteral("b:8620"),
               QStringLiteral(":\nMarlowen listing\n第三行")});
    select(doc, start, end);
    const QString before = doc->document()->toHtml();
    toolbarKey(window, "print")->trigger();

    QCOMPARE(dialogs.shown().size(), 1);
    QCOMPARE(dialogs.shown().first().kind, DialogKind::Printer);
    QCOMPARE(dialogs.shown().first().flags, 0x40000);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(pdfText(pdf), printed);
    QCOMPARE(doc->document()->toHtml(), before);
    QCOMPARE(doc->textCursor().anchor(), start);
    QCOMPARE(doc->textCursor().position(), end);
}

void tst_pennoteform1::printingUsesPageSetup_data()
{
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<QString>("pageSize");
    QTest::addColumn<int>("left");

    // A4 landscape with a 2 inch left margin; Letter portrait with 1 inch; no setup: the
    // printer's own paper with the 2 cm margin inside its printable area.
    QTest::newRow("A4 landscape") << QByteArray("\\paperw16838\\paperh11906\\landscape\\margl2880"
                                                "\\margr720\\margt720\\margb720")
                                  << "842 x 595" << 144;
    QTest::newRow("Letter portrait") << QByteArray("\\paperw12240\\paperh15840\\margl1440"
                                                   "\\margr1440\\margt1440\\margb1440")
                                     << "612 x 792" << 72;
    QPrinter standard(QPrinter::HighResolution);
    const QRectF paper = standard.pageLayout().fullRect(QPageLayout::Point);
    const QRectF printable = standard.pageLayout().paintRect(QPageLayout::Point);
    QTest::newRow("none")
        << QByteArray()
        << QStringLiteral("%1 x %2").arg(qRound(paper.width())).arg(qRound(paper.height()))
        << qRound(printable.left() + 72 * 2 / 2.54);
}

void tst_pennoteform1::printingUsesPageSetup()
{
    QFETCH(QByteArray, setup);
    QFETCH(QString, pageSize);
    QFETCH(int, left);

    const QString path = tempPath(QStringLiteral("page.rtf"));
    QVERIFY(writeFile(path, "{\\rtf1\\ansi" + setup + " Marlowen\\par}"));
    const QString pdf = tempPath(QStringLiteral("page.pdf"));
    DialogScript dialogs;
    dialogs.chooseFile(path);
    dialogs.answer([pdf](DialogRequest &request) {
        request.printer->setOutputFormat(QPrinter::PdfFormat);
        request.printer->setOutputFileName(pdf);
        return true;
    });
    Form1 window;
    menuItem(window, "open")->trigger();
    menuItem(window, "print")->trigger();
    QVERIFY(m_messages.isEmpty());

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY(info.waitForFinished());
    const QString infoText = QString::fromUtf8(info.readAllStandardOutput());
    const QRegularExpression size(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts"));
    const QRegularExpressionMatch found = size.match(infoText);
    QVERIFY2(found.hasMatch(), qPrintable(infoText));
    QCOMPARE(QStringLiteral("%1 x %2")
                 .arg(qRound(found.captured(1).toDouble()))
                 .arg(qRound(found.captured(2).toDouble())),
             pageSize);
    // Where the first word starts on the page, in points.
    QProcess words;
    words.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QVERIFY(words.waitForFinished());
    const QRegularExpression word(QStringLiteral("<word xMin=\"([\\d.]+)\""));
    const QRegularExpressionMatch first =
        word.match(QString::fromUtf8(words.readAllStandardOutput()));
    QVERIFY(first.hasMatch());
    QVERIFY2(qAbs(first.captured(1).toDouble() - left) < 3, qPrintable(first.captured(1)));
}

void tst_pennoteform1::printCancelledPrintsAndSaysNothing()
{
    DialogScript dialogs;
    dialogs.cancel();
    Form1 window;
    fill(documentOf(window), {QStringLiteral(":text")});
    menuItem(window, "print")->trigger();
    QCOMPARE(dialogs.shown().size(), 1);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(documentOf(window)->toPlainText(), QStringLiteral("text"));
}

void tst_pennoteform1::printErrorShowsDescription()
{
    const QString pdf = tempPath(QStringLiteral("no such folder/printed.pdf"));
    DialogScript dialogs;
    dialogs.answer([pdf](DialogRequest &request) {
        request.printer->setOutputFormat(QPrinter::PdfFormat);
        request.printer->setOutputFileName(pdf);
        return true;
    });
    Form1 window;
    fill(documentOf(window), {QStringLiteral(":text")});
    menuItem(window, "print")->trigger();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(
        m_messages.first().text,
        QStringLiteral("无法打印：打印输出文件“%1”无法写入。").arg(QDir::toNativeSeparators(pdf)));
    QCOMPARE(m_messages.first().icon, QMessageBox::NoIcon);
    QCOMPARE(m_messages.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(m_messages.first().title, QStringLiteral("pennote"));
    QCOMPARE(documentOf(window)->toPlainText(), QStringLiteral("text"));
}

void tst_pennoteform1::rightButtonReleaseShowsEditMenu()
{
    auto window = openWindow();
    QVERIFY(window);
    QTextEdit *doc = documentOf(*window);
    QWidget *viewport = doc->viewport();
    // The document's own context menu never appears.
    QContextMenuEvent press(QContextMenuEvent::Mouse, QPoint(20, 20),
                            viewport->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(viewport, &press);
    QVERIFY(!QApplication::activePopupWidget());

    QTest::mouseRelease(viewport, Qt::RightButton, {}, QPoint(30, 40));
    QTRY_VERIFY(QApplication::activePopupWidget());
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QCOMPARE(menu->objectName(), QStringLiteral("edit"));
    QCOMPARE(menu->pos(), viewport->mapToGlobal(QPoint(30, 40)));
    menu->close();

    // The left button does not open it.
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(30, 40));
    QVERIFY(!QApplication::activePopupWidget());
}

void tst_pennoteform1::lockIndicators_data()
{
    QTest::addColumn<bool>("num");
    QTest::addColumn<bool>("caps");
    QTest::newRow("both off") << false << false;
    QTest::newRow("num lock") << true << false;
    QTest::newRow("caps lock") << false << true;
    QTest::newRow("both on") << true << true;
}

void tst_pennoteform1::lockIndicators()
{
    QFETCH(bool, num);
    QFETCH(bool, caps);

    m_locks = {num, caps};
    Form1 window;
    QCOMPARE(panel(window, 2)->isEnabled(), num);
    QCOMPARE(panel(window, 3)->isEnabled(), caps);

    m_locks = {!num, !caps};
    QTest::keyClick(documentOf(window), Qt::Key_CapsLock);
    QCOMPARE(panel(window, 2)->isEnabled(), !num);
    QCOMPARE(panel(window, 3)->isEnabled(), !caps);
    m_locks = {num, caps};
    QTest::keyClick(documentOf(window), Qt::Key_NumLock);
    QCOMPARE(panel(window, 2)->isEnabled(), num);
    QCOMPARE(panel(window, 3)->isEnabled(), caps);
    // Other keys leave the indicators alone.
    m_locks = {!num, !caps};
    QTest::keyClick(documentOf(window), Qt::Key_A);
    QCOMPARE(panel(window, 2)->isEnabled(), num);
}

void tst_pennoteform1::insertKeySwitchesOverwrite()
{
    Form1 window;
    QTextEdit *doc = documentOf(window);
    fill(doc, {QStringLiteral(":abcd")});
    select(doc, 1, 1);
    QVERIFY(panel(window, 4)->isEnabled());
    QTest::keyClick(doc, Qt::Key_Insert);
    QVERIFY(doc->overwriteMode());
    QVERIFY(!panel(window, 4)->isEnabled());
    QTest::keyClicks(doc, QStringLiteral("XY"));
    QCOMPARE(doc->toPlainText(), QStringLiteral("aXYd"));
    QTest::keyClick(doc, Qt::Key_Insert);
    QVERIFY(!doc->overwriteMode());
    QVERIFY(panel(window, 4)->isEnabled());
    QTest::keyClicks(doc, QStringLiteral("Z"));
    QCOMPARE(doc->toPlainText(), QStringLiteral("aXYZd"));
}

void tst_pennoteform1::findCommandsShowOneDialog()
{
    auto window = openWindow();
    QVERIFY(window);
    menuItem(*window, "find")->trigger();
    QPointer<pennote::Formfind> dialog = window->findDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("查找"));
    toolbarKey(*window, "find")->trigger();
    QCOMPARE(window->findDialog(), dialog.data());
    dialog->close();
    QTRY_VERIFY(!dialog);
    QVERIFY(!window->findDialog());
    toolbarKey(*window, "find")->trigger();
    QVERIFY(window->findDialog());
    QVERIFY(window->findDialog()->isVisible());
}

QTEST_MAIN(tst_pennoteform1)
#include "tst_pennoteform1.moc"
