#include "printtool/Form1.h"

#include "platform/messagebox.h"
#include "platform/twips.h"
#include "printtool/textprinter.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <utility>

namespace inkleaf {

namespace {

const QString kCaption = QStringLiteral("打印");
const QString kPrompt = QStringLiteral("请复制粘贴。。。\n");
const QString kNoPrinter = QStringLiteral("没有安装打印机，无法打印。");
const QString kPrinterFailed = QStringLiteral("无法打开打印机，没有打印。");

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, QRect place)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setGeometry(place);
    return button;
}

// Clipboard text from other systems may end its lines with CR LF or CR; the box keeps LF only.
QString withLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kCaption);
    // The font a Chinese desktop gives every window and control.
    setFont(QFont(QStringLiteral("宋体"), 9));
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
    setPalette(background);
    setAutoFillBackground(true);
    resize(platform::twips(5880), platform::twips(7305));

    createControls();
    load();
}

Form1::~Form1() = default;

void Form1::setPrinterAccess(PrinterAccess access)
{
    m_printerAccess = std::move(access);
}

void Form1::createControls()
{
    Slider1 = new QSlider(Qt::Horizontal, this);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setGeometry(platform::twipsRect(120, 240, 5655, 630));
    Slider1->setTickPosition(QSlider::TicksBelow);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(platform::twipsRect(240, 960, 5415, 5175));
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves to the next control, as in a Windows text box.
    Text1->setTabChangesFocus(true);
    Text1->setPlainText(kPrompt);

    Command1 = makeButton(this, "Command1", QStringLiteral("打印"),
                          platform::twipsRect(120, 6480, 1215, 495));
    // The print button's face takes the system menu colour.
    QPalette face = Command1->palette();
    face.setColor(QPalette::Button, QApplication::palette("QMenu").color(QPalette::Window));
    Command1->setPalette(face);
    Command2 = makeButton(this, "Command2", QStringLiteral("清空"),
                          platform::twipsRect(1560, 6480, 1215, 495));
    粘贴 = makeButton(this, "粘贴", QStringLiteral("粘贴"),
                      platform::twipsRect(3000, 6480, 1215, 495));
    Command3 = makeButton(this, "Command3", QStringLiteral("退出"),
                          platform::twipsRect(4440, 6480, 1215, 495));

    connect(Command1, &QPushButton::clicked, this, &Form1::printText);
    connect(Command2, &QPushButton::clicked, this, &Form1::clearText);
    connect(粘贴, &QPushButton::clicked, this, &Form1::pasteText);
    connect(Command3, &QPushButton::clicked, this, &Form1::exitProgram);
    connect(Text1, &QPlainTextEdit::textChanged, this, &Form1::followSlider);
}

void Form1::load()
{
    Slider1->setMinimum(8);
    Slider1->setMaximum(72);
    Slider1->setSingleStep(2);
    Slider1->setPageStep(8);
    Slider1->setTickInterval(2);
    // Connected only now: bringing the position into the range is not a scroll, and the text
    // keeps its own size until the user scrolls or edits.
    connect(Slider1, &QSlider::valueChanged, this, &Form1::followSlider);
}

void Form1::followSlider()
{
    QFont font = Text1->font();
    if (font.pointSize() == Slider1->value())
        return;
    font.setPointSize(Slider1->value());
    Text1->setFont(font);
}

void Form1::printText()
{
    if (!m_printerAccess.printerInstalled()) {
        platform::messageBox(this, kNoPrinter, kCaption, QMessageBox::Warning);
        return;
    }
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Cancelling the dialog prints nothing.
    if (!m_printerAccess.choosePrinter(*m_printer, this))
        return;

    const int copies = std::max(1, m_printer->copyCount());
    // The copies go one after the other into the document itself; the printer must not repeat
    // the whole document on top of that.
    m_printer->setCopyCount(1);
    const bool printed = printPlainText(*m_printer, Text1->toPlainText(), copies);
    m_printer->setCopyCount(copies);
    if (!printed)
        platform::messageBox(this, kPrinterFailed, kCaption, QMessageBox::Warning);
}

void Form1::clearText()
{
    Text1->clear();
}

void Form1::pasteText()
{
    // QClipboard::text() is empty for an empty clipboard and for one holding no text.
    Text1->setPlainText(withLineFeeds(QGuiApplication::clipboard()->text()));
}

void Form1::exitProgram()
{
    // The program has no other window, so closing this one ends it.
    close();
}

} // namespace inkleaf
