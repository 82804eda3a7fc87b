#include "editor/documentprinter.h"
#include "platform/fonts.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of each page, one entry per page, blank lines and surrounding blanks removed.
QList<QStringList> pdfPagesText(const QString &path)
{
    QList<QStringList> pages;
    const QString text =
        run(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    QStringList pageTexts = text.split(u'\f');
    if (!pageTexts.isEmpty() && pageTexts.last().trimmed().isEmpty())
        pageTexts.removeLast();
    for (const QString &page : pageTexts) {
        QStringList lines;
        for (const QString &line : page.split(u'\n')) {
            if (!line.trimmed().isEmpty())
                lines << line.trimmed();
        }
        pages << lines;
    }
    return pages;
}

QStringList pdfLines(const QString &path)
{
    QStringList lines;
    for (const QStringList &page : pdfPagesText(path))
        lines += page;
    return lines;
}

int pdfPages(const QString &path)
{
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                              .match(run(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

void usePdf(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

} // namespace

class tst_documentprinter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyLineOnceOverSeveralPages_data();
    void everyLineOnceOverSeveralPages();
    void printsRange_data();
    void printsRange();
    void editorDocumentUntouched();
    void unwritableOutputIsDescribed();

private:
    QTemporaryDir m_dir;
};

void tst_documentprinter::initTestCase()
{
    platform::installFontSubstitutions();
    QVERIFY(m_dir.isValid());
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
             "pdftotext and pdfinfo (poppler-utils) are needed to read the printed pages");
}

void tst_documentprinter::everyLineOnceOverSeveralPages_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("severalPages");

    QTest::newRow("one line") << 1 << 11 << false;
    QTest::newRow("a page and a bit") << 80 << 11 << true;
    QTest::newRow("several pages") << 300 << 11 << true;
    QTest::newRow("large type") << 40 << 36 << true;
    QTest::newRow("one small page") << 20 << 8 << false;
}

void tst_documentprinter::everyLineOnceOverSeveralPages()
{
    QFETCH(int, lines);
    QFETCH(int, pointSize);
    QFETCH(bool, severalPages);

    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("宋体"), pointSize));
    QStringList expected;
    for (int i = 1; i <= lines; ++i)
        expected << QStringLiteral("第%1行 line %1").arg(i);
    doc.setPlainText(expected.join(u'\n'));

    const QString pdf = m_dir.filePath(QStringLiteral("lines-%1.pdf").arg(lines));
    QPrinter printer(QPrinter::HighResolution);
    usePdf(printer, pdf);
    QCOMPARE(pennote::printDocument(doc, &printer), QString());
    QCOMPARE(pdfLines(pdf), expected);
    // Full pages all hold the same number of lines; only the last one holds fewer.
    const QList<QStringList> pages = pdfPagesText(pdf);
    QCOMPARE(pdfPages(pdf), pages.size());
    QCOMPARE(pages.size() > 1, severalPages);
    for (const QStringList &page : pages.mid(1, pages.size() - 2))
        QCOMPARE(page.size(), pages.first().size());
    QVERIFY(pages.last().size() <= pages.first().size());
}

void tst_documentprinter::printsRange_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("printed");

    // "张三 电话 8620" "\n" "second line" "\n" "第三行"
    QTest::newRow("whole") << 0 << -1 << QStringList{"张三 电话 8620", "second line", "第三行"};
    QTest::newRow("first word") << 0 << 2 << QStringList{"张三"};
    QTest::newRow("middle") << 6 << 18 << QStringList{"8620", "second"};
    QTest::newRow("to the end") << 20 << 26 << QStringList{"ne", "第三行"};
    QTest::newRow("reaching past the end") << 23 << 400 << QStringList{"第三行"};
}

void tst_documentprinter::printsRange()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, printed);

    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("宋体"), 12));
    doc.setPlainText(QStringLiteral("张三 电话 8620\nsecond line\n第三行"));
    const QString pdf = m_dir.filePath(QStringLiteral("range.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    usePdf(printer, pdf);
    QCOMPARE(pennote::printDocument(doc, &printer, from, to), QString());
    QCOMPARE(pdfLines(pdf), printed);
}

void tst_documentprinter::editorDocumentUntouched()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("abc\ndef"));
    const QSizeF pageSize = doc.pageSize();
    const QString html = doc.toHtml();
    QPrinter printer(QPrinter::HighResolution);
    usePdf(printer, m_dir.filePath(QStringLiteral("untouched.pdf")));
    QCOMPARE(pennote::printDocument(doc, &printer, 1, 5), QString());
    QCOMPARE(doc.toHtml(), html);
    QCOMPARE(doc.pageSize(), pageSize);
    QCOMPARE(doc.documentLayout()->paintDevice(), nullptr);
}

void tst_documentprinter::unwritableOutputIsDescribed()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("abc"));
    const QString pdf = m_dir.filePath(QStringLiteral("missing/out.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    usePdf(printer, pdf);
    QCOMPARE(
        pennote::printDocument(doc, &printer),
        QStringLiteral("无法打印：打印输出文件“%1”无法写入。").arg(QDir::toNativeSeparators(pdf)));
    QVERIFY(!QFile::exists(pdf));
}

QTEST_MAIN(tst_documentprinter)
#include "tst_documentprinter.moc"
