#include "printedpdf.h"

#include "platform/fonts.h"
#include "printtool/textprinter.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

using inkleaf::printerDefaultFont;
using inkleaf::printPlainText;

namespace {

std::unique_ptr<QPrinter> pdfPrinter(const QString &file)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    printer->setPageSize(QPageSize(QPageSize::A4));
    return printer;
}

// The distance from one printed line to the next, in points.
double linePitch(QPrinter &printer)
{
    return QFontMetricsF(printerDefaultFont(), &printer).lineSpacing() * 72.0 /
           printer.resolution();
}

} // namespace

class tst_TextPrinter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void layout_data();
    void layout();
    void emptyTextGivesOneBlankPage_data();
    void emptyTextGivesOneBlankPage();
    void longTextContinuesOnNewPages_data();
    void longTextContinuesOnNewPages();
    void longLineIsNotWrapped();
    void tabsMoveToTheNextStop_data();
    void tabsMoveToTheNextStop();
    void unopenablePrinterPrintsNothing();

private:
    QString outputFile(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir m_dir;
};

void tst_TextPrinter::initTestCase()
{
    QVERIFY(m_dir.isValid());
    platform::installFontSubstitutions();
}

void tst_TextPrinter::layout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("copies");
    // One entry per printed line from the top of the page; an empty entry is a line left blank.
    QTest::addColumn<QStringList>("lines");

    const QString zhang = QStringLiteral("张三 010-12345678");
    const QString li = QStringLiteral("李四 021-87654321");
    QTest::newRow("one copy") << QString(zhang + u'\n' + li) << 1 << QStringList{zhang, li};
    QTest::newRow("three copies follow line by line")
        << QString(zhang + u'\n' + li) << 3 << QStringList{zhang, li, zhang, li, zhang, li};
    const QString prompt = QStringLiteral("请复制粘贴。。。");
    QTest::newRow("text ending in a line end leaves a blank line between copies")
        << QString(prompt + u'\n') << 2 << QStringList{prompt, {}, prompt};
    QTest::newRow("blank lines inside the text are kept")
        << QStringLiteral("a\n\n\nb") << 2
        << QStringList{QStringLiteral("a"), {}, {}, QStringLiteral("b"),
                       QStringLiteral("a"), {}, {}, QStringLiteral("b")};
    QTest::newRow("Windows line ends are one line end")
        << QStringLiteral("first\r\nsecond") << 2
        << QStringList{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("first"),
                       QStringLiteral("second")};
    QTest::newRow("lone carriage return is a line end")
        << QStringLiteral("first\rsecond") << 1
        << QStringList{QStringLiteral("first"), QStringLiteral("second")};
}

void tst_TextPrinter::layout()
{
    QFETCH(QString, text);
    QFETCH(int, copies);
    QFETCH(QStringList, lines);

    const QString file = outputFile("layout.pdf");
    auto printer = pdfPrinter(file);
    QVERIFY(printPlainText(*printer, text, copies));

    const PrintedPdf pdf = readPrintedPdf(file);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pages, 1);

    QStringList expectedTexts;
    QList<int> expectedSlots;
    for (int slot = 0; slot < lines.size(); ++slot) {
        if (!lines[slot].isEmpty()) {
            expectedTexts << lines[slot];
            expectedSlots << slot;
        }
    }
    QCOMPARE(pdf.texts(), expectedTexts);

    const QRectF area = printer->pageRect(QPrinter::Point);
    const double pitch = linePitch(*printer);
    const double firstTop = pdf.lines.first().top;
    QVERIFY2(firstTop >= area.top() && firstTop < area.top() + pitch,
             qPrintable(QStringLiteral("first line at %1, printable area from %2")
                            .arg(firstTop)
                            .arg(area.top())));
    for (int i = 0; i < pdf.lines.size(); ++i) {
        const double wanted = firstTop + expectedSlots[i] * pitch;
        QVERIFY2(std::abs(pdf.lines[i].top - wanted) < 0.2,
                 qPrintable(QStringLiteral("line %1 \"%2\" at %3, wanted %4")
                                .arg(i)
                                .arg(pdf.lines[i].text)
                                .arg(pdf.lines[i].top)
                                .arg(wanted)));
        QVERIFY2(std::abs(pdf.lines[i].left - area.left()) < 0.5,
                 qPrintable(QStringLiteral("line %1 starts at %2, printable area at %3")
                                .arg(i)
                                .arg(pdf.lines[i].left)
                                .arg(area.left())));
    }
}

void tst_TextPrinter::emptyTextGivesOneBlankPage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("copies");
    QTest::newRow("empty, one copy") << QString() << 1;
    QTest::newRow("empty, three copies") << QString() << 3;
    QTest::newRow("line ends only") << QStringLiteral("\n\n") << 2;
}

void tst_TextPrinter::emptyTextGivesOneBlankPage()
{
    QFETCH(QString, text);
    QFETCH(int, copies);

    const QString file = outputFile("empty.pdf");
    auto printer = pdfPrinter(file);
    QVERIFY(printPlainText(*printer, text, copies));

    const PrintedPdf pdf = readPrintedPdf(file);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pages, 1);
    QCOMPARE(pdf.texts(), QStringList());
}

void tst_TextPrinter::longTextContinuesOnNewPages_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("copies");
    QTest::newRow("150 lines") << 150 << 1;
    QTest::newRow("70 lines, three copies") << 70 << 3;
}

void tst_TextPrinter::longTextContinuesOnNewPages()
{
    QFETCH(int, lineCount);
    QFETCH(int, copies);

    QStringList source;
    for (int i = 1; i <= lineCount; ++i)
        source << QStringLiteral("第%1行").arg(i);
    QStringList expected;
    for (int copy = 0; copy < copies; ++copy)
        expected << source;

    const QString file = outputFile("long.pdf");
    auto printer = pdfPrinter(file);
    // No line end after the last line: each copy starts on the line after the previous one.
    QVERIFY(printPlainText(*printer, source.join(u'\n'), copies));

    const PrintedPdf pdf = readPrintedPdf(file);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.texts(), expected);

    const QRectF area = printer->pageRect(QPrinter::Point);
    const double pitch = linePitch(*printer);
    const int perPage = int(area.height() / pitch);
    QCOMPARE(pdf.pages, (expected.size() + perPage - 1) / perPage);

    // Every page starts at the same place, is filled line after line, and nothing runs past the
    // bottom of the printable area.
    const double firstTop = pdf.lines.first().top;
    for (int i = 0; i < pdf.lines.size(); ++i) {
        const PrintedLine &line = pdf.lines[i];
        QCOMPARE(line.page, i / perPage + 1);
        QVERIFY2(
            std::abs(line.top - (firstTop + (i % perPage) * pitch)) < 0.2,
            qPrintable(
                QStringLiteral("line %1 on page %2 at %3").arg(i).arg(line.page).arg(line.top)));
        QVERIFY(line.bottom <= area.bottom());
    }
}

void tst_TextPrinter::longLineIsNotWrapped()
{
    const QString longLine = QStringLiteral("0123456789").repeated(40);
    const QString file = outputFile("wide.pdf");
    auto printer = pdfPrinter(file);
    QVERIFY(printPlainText(*printer, longLine + QStringLiteral("\nnext"), 1));

    const PrintedPdf pdf = readPrintedPdf(file);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pages, 1);
    QCOMPARE(pdf.lines.size(), 2);
    // What fits on the paper is on the first line; the rest is cut off at the edge.
    QVERIFY(longLine.startsWith(pdf.lines[0].text));
    QVERIFY(pdf.lines[0].text.size() >= 60);
    QCOMPARE(pdf.lines[1].text, QStringLiteral("next"));
    QVERIFY(std::abs(pdf.lines[1].top - pdf.lines[0].top - linePitch(*printer)) < 0.2);
}

void tst_TextPrinter::tabsMoveToTheNextStop_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after");
    // Stops are eight blanks apart; `stop` is where the text after the last tab starts.
    QTest::addColumn<int>("stop");
    QTest::newRow("name and number")
        << QStringLiteral("李四\t021-87654321") << QStringLiteral("021-87654321") << 1;
    QTest::newRow("leading tab") << QStringLiteral("\tx") << QStringLiteral("x") << 1;
    QTest::newRow("two tabs") << QStringLiteral("a\t\tb") << QStringLiteral("b") << 2;
    QTest::newRow("text reaching past the first stop")
        << QStringLiteral("%1\tz").arg(QString(9, u' ') + u'w') << QStringLiteral("z") << 2;
}

void tst_TextPrinter::tabsMoveToTheNextStop()
{
    QFETCH(QString, text);
    QFETCH(QString, after);
    QFETCH(int, stop);

    const QString file = outputFile("tabs.pdf");
    auto printer = pdfPrinter(file);
    QVERIFY(printPlainText(*printer, text, 1));

    const PrintedPdf pdf = readPrintedPdf(file);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.wordLefts.value(after, -1) >= 0, true);
    const double blank =
        QFontMetricsF(printerDefaultFont(), printer.get()).horizontalAdvance(u' ') * 72.0 /
        printer->resolution();
    const double wanted = printer->pageRect(QPrinter::Point).left() + stop * 8 * blank;
    QVERIFY2(std::abs(pdf.wordLefts.value(after) - wanted) < 0.2,
             qPrintable(QStringLiteral("\"%1\" at %2, wanted %3")
                            .arg(after)
                            .arg(pdf.wordLefts.value(after))
                            .arg(wanted)));
}

void tst_TextPrinter::unopenablePrinterPrintsNothing()
{
    const QString file = outputFile("missing-folder/out.pdf");
    auto printer = pdfPrinter(file);
    QVERIFY(!printPlainText(*printer, QStringLiteral("text"), 2));
    QVERIFY(!QFile::exists(file));
}

QTEST_MAIN(tst_TextPrinter)
#include "tst_textprinter.moc"
