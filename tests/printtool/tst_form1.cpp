#include "printedpdf.h"

#include "platform/fonts.h"
#include "platform/messagebox.h"
#include "printtool/Form1.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

using inkleaf::Form1;
using inkleaf::PrinterAccess;

namespace {

const QString kPrompt = QStringLiteral("请复制粘贴。。。\n");

// What the printer dialog did when the window showed it.
struct DialogVisit
{
    int copiesOffered = 0;
    QWidget *parent = nullptr;
};

} // namespace

class tst_Form1 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void window();
    void controls_data();
    void controls();
    void sliderSettings();
    void fontSizeFollowsTheSlider_data();
    void fontSizeFollowsTheSlider();
    void paste_data();
    void paste();
    void clearEmptiesTheText();
    void exitClosesTheWindow();

    void printCopies_data();
    void printCopies();
    void printoutIgnoresTheDisplaySize();
    void dialogOffersTheLastCopyCount();
    void cancelPrintsNothing();
    void noPrinterSaysSoAndKeepsTheWindow();
    void printerThatCannotBeOpenedIsReported();
    void printerDialogHasNoPageRange();

private:
    template<typename T> T *child(const char *name) const
    {
        return m_form->findChild<T *>(QString::fromUtf8(name));
    }
    QPlainTextEdit *text() const { return child<QPlainTextEdit>("Text1"); }
    QSlider *slider() const { return child<QSlider>("Slider1"); }
    void click(const char *button) const
    {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }
    // Prints to a PDF file with the given copy count as if the user had chosen so in the dialog.
    void printToPdf(const QString &file, int copies);

    QTemporaryDir m_dir;
    std::unique_ptr<Form1> m_form;
    QList<platform::MessageRequest> m_messages;
    QList<DialogVisit> m_dialogVisits;
};

void tst_Form1::initTestCase()
{
    QVERIFY(m_dir.isValid());
    platform::installFontSubstitutions();
}

void tst_Form1::init()
{
    m_messages.clear();
    m_dialogVisits.clear();
    platform::setMessagePresenter([this](const platform::MessageRequest &request) {
        m_messages << request;
        return QMessageBox::Ok;
    });
    QGuiApplication::clipboard()->clear();
    m_form = std::make_unique<Form1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void tst_Form1::cleanup()
{
    m_form.reset();
    platform::setMessagePresenter({});
}

void tst_Form1::printToPdf(const QString &file, int copies)
{
    PrinterAccess access;
    access.printerInstalled = [] {
        return true;
    };
    access.choosePrinter = [this, file, copies](QPrinter &printer, QWidget *parent) {
        m_dialogVisits << DialogVisit{printer.copyCount(), parent};
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setCopyCount(copies);
        return true;
    };
    m_form->setPrinterAccess(access);
    click("Command1");
}

void tst_Form1::window()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("打印"));
    QCOMPARE(m_form->size(), QSize(392, 487));
    QCOMPARE(m_form->objectName(), QStringLiteral("Form1"));
    // The grey shows between the controls.
    const QImage shot = m_form->grab().toImage();
    QCOMPARE(shot.pixelColor(3, 3), QColor(0xE0, 0xE0, 0xE0));
    QCOMPARE(shot.pixelColor(200, 474), QColor(0xE0, 0xE0, 0xE0));
    QCOMPARE(text()->toPlainText(), kPrompt);
    QCOMPARE(text()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(text()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

void tst_Form1::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("place");
    QTest::newRow("print") << QStringLiteral("Command1") << QStringLiteral("打印")
                           << QRect(8, 432, 81, 33);
    QTest::newRow("clear") << QStringLiteral("Command2") << QStringLiteral("清空")
                           << QRect(104, 432, 81, 33);
    QTest::newRow("paste") << QStringLiteral("粘贴") << QStringLiteral("粘贴")
                           << QRect(200, 432, 81, 33);
    QTest::newRow("exit") << QStringLiteral("Command3") << QStringLiteral("退出")
                          << QRect(296, 432, 81, 33);
    QTest::newRow("slider") << QStringLiteral("Slider1") << QString() << QRect(8, 16, 377, 42);
    QTest::newRow("text") << QStringLiteral("Text1") << QString() << QRect(16, 64, 361, 345);
}

void tst_Form1::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, place);

    auto *control = m_form->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), place);
    QVERIFY(control->isVisible());
    if (auto *button = qobject_cast<QPushButton *>(control))
        QCOMPARE(button->text(), caption);
}

void tst_Form1::sliderSettings()
{
    QSlider *s = slider();
    QCOMPARE(s->orientation(), Qt::Horizontal);
    QCOMPARE(s->minimum(), 8);
    QCOMPARE(s->maximum(), 72);
    QCOMPARE(s->singleStep(), 2);
    QCOMPARE(s->pageStep(), 8);
    QCOMPARE(s->tickInterval(), 2);
    QCOMPARE(s->value(), 8);
    // Loading the slider does not touch the text: it keeps the window's 9 points until the user
    // scrolls or edits.
    QCOMPARE(text()->font().pointSize(), 9);
}

void tst_Form1::fontSizeFollowsTheSlider_data()
{
    // Steps: "type:<text>", "key:<slider key>", "click:<button>", "paste:<clipboard text>".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("sliderValue");
    QTest::addColumn<int>("pointSize");

    QTest::newRow("typing after load") << QStringList{QStringLiteral("type:x")} << 8 << 8;
    QTest::newRow("slider to the end") << QStringList{QStringLiteral("key:End")} << 72 << 72;
    QTest::newRow("slider to the end, then typing")
        << QStringList{QStringLiteral("key:End"), QStringLiteral("type:y")} << 72 << 72;
    QTest::newRow("two small steps")
        << QStringList{QStringLiteral("key:Right"), QStringLiteral("key:Right")} << 12 << 12;
    QTest::newRow("one large step") << QStringList{QStringLiteral("key:PageUp")} << 16 << 16;
    QTest::newRow("up and back to the start")
        << QStringList{QStringLiteral("key:End"), QStringLiteral("key:Home")} << 8 << 8;
    QTest::newRow("small step below the minimum")
        << QStringList{QStringLiteral("key:Left")} << 8 << 9;
    QTest::newRow("clear takes the slider size")
        << QStringList{QStringLiteral("key:End"), QStringLiteral("click:Command2")} << 72 << 72;
    QTest::newRow("paste takes the slider size")
        << QStringList{QStringLiteral("key:PageUp"), QStringLiteral("paste:王五")} << 16 << 16;
}

void tst_Form1::fontSizeFollowsTheSlider()
{
    QFETCH(QStringList, steps);
    QFETCH(int, sliderValue);
    QFETCH(int, pointSize);

    for (const QString &step : steps) {
        const QString what = step.section(u':', 0, 0);
        const QString arg = step.section(u':', 1);
        if (what == u"type") {
            QTest::keyClicks(text(), arg);
        } else if (what == u"key") {
            const Qt::Key key = arg == u"End"      ? Qt::Key_End
                                : arg == u"Home"   ? Qt::Key_Home
                                : arg == u"Right"  ? Qt::Key_Right
                                : arg == u"Left"   ? Qt::Key_Left
                                : arg == u"PageUp" ? Qt::Key_PageUp
                                                   : Qt::Key_unknown;
            QTest::keyClick(slider(), key);
        } else if (what == u"click") {
            click(qPrintable(arg));
        } else if (what == u"paste") {
            QGuiApplication::clipboard()->setText(arg);
            click("粘贴");
        }
    }
    QCOMPARE(slider()->value(), sliderValue);
    QCOMPARE(text()->font().pointSize(), pointSize);
}

void tst_Form1::paste_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("expected");

    QTest::newRow("text") << QStringLiteral("text")
                          << QStringLiteral("张三\t010-12345678\n李四 021-87654321")
                          << QStringLiteral("张三\t010-12345678\n李四 021-87654321");
    QTest::newRow("text with Windows line ends")
        << QStringLiteral("text") << QStringLiteral("甲\r\n乙\r\n") << QStringLiteral("甲\n乙\n");
    QTest::newRow("image only") << QStringLiteral("image") << QString() << QString();
    QTest::newRow("web page only")
        << QStringLiteral("html") << QStringLiteral("<b>粗体</b>") << QString();
    QTest::newRow("empty clipboard") << QStringLiteral("empty") << QString() << QString();
}

void tst_Form1::paste()
{
    QFETCH(QString, kind);
    QFETCH(QString, content);
    QFETCH(QString, expected);

    QClipboard *clipboard = QGuiApplication::clipboard();
    if (kind == u"text") {
        clipboard->setText(content);
    } else if (kind == u"image") {
        QImage picture(16, 16, QImage::Format_RGB32);
        picture.fill(Qt::red);
        clipboard->setImage(picture);
    } else if (kind == u"html") {
        auto *data = new QMimeData;
        data->setHtml(content);
        clipboard->setMimeData(data);
    } else {
        clipboard->clear();
    }
    QTest::keyClick(slider(), Qt::Key_PageUp);
    click("粘贴");
    QCOMPARE(text()->toPlainText(), expected);
    QCOMPARE(text()->font().pointSize(), 16);
}

void tst_Form1::clearEmptiesTheText()
{
    QTest::keyClicks(text(), QStringLiteral("abc"));
    click("Command2");
    QCOMPARE(text()->toPlainText(), QString());
    QCOMPARE(text()->font().pointSize(), 8);
}

void tst_Form1::exitClosesTheWindow()
{
    click("Command3");
    QVERIFY(!m_form->isVisible());
}

void tst_Form1::printCopies_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QStringList>("printed");

    QTest::newRow("prompt, one copy")
        << QString() << 1 << QStringList{QStringLiteral("请复制粘贴。。。")};
    QTest::newRow("listing, three copies")
        << QStringLiteral("张三 010-12345678\n李四 021-87654321") << 3
        << QStringList{QStringLiteral("张三 010-12345678"), QStringLiteral("李四 021-87654321"),
                       QStringLiteral("张三 010-12345678"), QStringLiteral("李四 021-87654321"),
                       QStringLiteral("张三 010-12345678"), QStringLiteral("李四 021-87654321")};
    QTest::newRow("empty text") << QStringLiteral("") << 1 << QStringList();
}

void tst_Form1::printCopies()
{
    QFETCH(QString, content);
    QFETCH(int, copies);
    QFETCH(QStringList, printed);

    if (!content.isNull()) {
        QGuiApplication::clipboard()->setText(content);
        click("粘贴");
        QCOMPARE(text()->toPlainText(), content);
    }
    const QString file = m_dir.filePath(QStringLiteral("copies.pdf"));
    QFile::remove(file);
    printToPdf(file, copies);

    QCOMPARE(m_dialogVisits.size(), 1);
    QCOMPARE(m_dialogVisits[0].parent, m_form.get());
    QCOMPARE(m_messages.size(), 0);
    const PrintedPdf pdf = readPrintedPdf(file);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pages, 1);
    QCOMPARE(pdf.texts(), printed);
}

void tst_Form1::printoutIgnoresTheDisplaySize()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("赵六 0755-1234567\n钱七 0571-7654321"));
    click("粘贴");
    const QString small = m_dir.filePath(QStringLiteral("small.pdf"));
    printToPdf(small, 1);
    QTest::keyClick(slider(), Qt::Key_End);
    QCOMPARE(text()->font().pointSize(), 72);
    const QString large = m_dir.filePath(QStringLiteral("large.pdf"));
    printToPdf(large, 1);

    const PrintedPdf a = readPrintedPdf(small);
    const PrintedPdf b = readPrintedPdf(large);
    QVERIFY2(a.error.isEmpty() && b.error.isEmpty(), qPrintable(a.error + b.error));
    QCOMPARE(b.texts(), a.texts());
    QCOMPARE(a.lines.size(), 2);
    for (int i = 0; i < a.lines.size(); ++i) {
        QCOMPARE(b.lines[i].top, a.lines[i].top);
        QCOMPARE(b.lines[i].bottom, a.lines[i].bottom);
    }
    // A 72-point line would be far taller than the printer's ten-point one.
    QVERIFY(a.lines[0].bottom - a.lines[0].top < 20);
}

void tst_Form1::dialogOffersTheLastCopyCount()
{
    const QString file = m_dir.filePath(QStringLiteral("again.pdf"));
    printToPdf(file, 3);
    printToPdf(file, 2);
    QCOMPARE(m_dialogVisits.size(), 2);
    QCOMPARE(m_dialogVisits[0].copiesOffered, 1);
    QCOMPARE(m_dialogVisits[1].copiesOffered, 3);
    const PrintedPdf pdf = readPrintedPdf(file);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.texts(), QStringList(2, QStringLiteral("请复制粘贴。。。")));
}

void tst_Form1::cancelPrintsNothing()
{
    const QString file = m_dir.filePath(QStringLiteral("cancelled.pdf"));
    PrinterAccess access;
    access.printerInstalled = [] {
        return true;
    };
    access.choosePrinter = [this, file](QPrinter &printer, QWidget *parent) {
        m_dialogVisits << DialogVisit{printer.copyCount(), parent};
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setCopyCount(2);
        return false;
    };
    m_form->setPrinterAccess(access);
    click("Command1");
    QCOMPARE(m_dialogVisits.size(), 1);
    QVERIFY(!QFile::exists(file));
    QCOMPARE(m_messages.size(), 0);
    QCOMPARE(text()->toPlainText(), kPrompt);
}

void tst_Form1::noPrinterSaysSoAndKeepsTheWindow()
{
    PrinterAccess access;
    access.printerInstalled = [] {
        return false;
    };
    access.choosePrinter = [this](QPrinter &printer, QWidget *parent) {
        m_dialogVisits << DialogVisit{printer.copyCount(), parent};
        return true;
    };
    m_form->setPrinterAccess(access);
    click("Command1");

    QCOMPARE(m_dialogVisits.size(), 0);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].text, QStringLiteral("没有安装打印机，无法打印。"));
    QCOMPARE(m_messages[0].title, QStringLiteral("打印"));
    QCOMPARE(m_messages[0].icon, QMessageBox::Warning);
    QCOMPARE(m_messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(m_messages[0].parent, m_form.get());
    QVERIFY(m_form->isVisible());
    QCOMPARE(text()->toPlainText(), kPrompt);
}

void tst_Form1::printerThatCannotBeOpenedIsReported()
{
    const QString file = m_dir.filePath(QStringLiteral("no-such-folder/out.pdf"));
    printToPdf(file, 1);
    QVERIFY(!QFile::exists(file));
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].text, QStringLiteral("无法打开打印机，没有打印。"));
    QCOMPARE(m_messages[0].title, QStringLiteral("打印"));
    QCOMPARE(m_messages[0].icon, QMessageBox::Warning);
    QVERIFY(m_form->isVisible());
}

void tst_Form1::printerDialogHasNoPageRange()
{
    QPrinter printer(QPrinter::HighResolution);
    bool seen = false;
    bool offersPageRange = true;
    // The dialog runs its own event loop; look for it from there until it is up.
    QTimer poll;
    connect(&poll, &QTimer::timeout, &poll, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QPrintDialog *>(top);
            if (!dialog || !dialog->isVisible())
                continue;
            seen = true;
            offersPageRange = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
            poll.stop();
            dialog->reject();
            return;
        }
    });
    poll.start(10);
    QVERIFY(!inkleaf::showPrinterDialog(printer, m_form.get()));
    QVERIFY(seen);
    QVERIFY(!offersPageRange);
}

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
