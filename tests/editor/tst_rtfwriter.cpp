#include "editor/rtf/rtfpagesetup.h"
#include "editor/rtf/rtfreader.h"
#include "editor/rtf/rtfwriter.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>

namespace {

// A fragment with its effective formatting (resolved against the document's default font), so a
// document written and read back compares equal to the original whatever formats were explicit.
QString describeEffective(const QTextDocument &doc, const QTextFragment &fragment)
{
    const QTextCharFormat f = fragment.charFormat();
    const QFont font = f.font().resolve(doc.defaultFont());
    QStringList attrs;
    attrs << (font.families().isEmpty() ? font.family() : font.families().first());
    attrs << QString::number(font.pointSizeF());
    if (font.weight() >= QFont::DemiBold) {
        attrs << QStringLiteral("B");
    }
    if (font.italic()) {
        attrs << QStringLiteral("I");
    }
    if (f.underlineStyle() != QTextCharFormat::NoUnderline) {
        attrs << QStringLiteral("U%1").arg(int(f.underlineStyle()));
    }
    if (font.strikeOut()) {
        attrs << QStringLiteral("S");
    }
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) {
        attrs << QStringLiteral("SUP");
    } else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) {
        attrs << QStringLiteral("SUB");
    }
    if (f.foreground().style() != Qt::NoBrush) {
        attrs << f.foreground().color().name();
    }
    if (f.background().style() != Qt::NoBrush) {
        attrs << QStringLiteral("bg") + f.background().color().name();
    }
    return fragment.text() + u'{' + attrs.join(u' ') + u'}';
}

QStringList describeEffective(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const Qt::Alignment a = b.blockFormat().alignment();
        QString line = (a & Qt::AlignHCenter)   ? QStringLiteral("C|")
                       : (a & Qt::AlignRight)   ? QStringLiteral("R|")
                       : (a & Qt::AlignJustify) ? QStringLiteral("J|")
                                                : QStringLiteral("L|");
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            line += describeEffective(doc, it.fragment());
        }
        out << line;
    }
    return out;
}

QTextCharFormat format(const QString &family, qreal size, const QString &flags = {},
                       const QColor &colour = {})
{
    QTextCharFormat f;
    f.setFontFamilies(QStringList{family});
    f.setFontPointSize(size);
    f.setFontWeight(flags.contains(u'b') ? QFont::Bold : QFont::Normal);
    f.setFontItalic(flags.contains(u'i'));
    f.setFontUnderline(flags.contains(u'u'));
    f.setFontStrikeOut(flags.contains(u's'));
    if (colour.isValid()) {
        f.setForeground(colour);
    }
    return f;
}

QTextBlockFormat aligned(Qt::Alignment a)
{
    QTextBlockFormat f;
    f.setAlignment(a);
    return f;
}

// The document's body: what follows the header line that ends with \viewkind4\uc1.
QByteArray body(const QByteArray &rtf)
{
    const QByteArray marker = "\\viewkind4\\uc1\r\n";
    const qsizetype at = rtf.indexOf(marker);
    if (at < 0 || !rtf.endsWith("}\r\n")) {
        return "<no body>";
    }
    return rtf.mid(at + marker.size(), rtf.size() - at - marker.size() - 3);
}

QByteArray fontTableOf(const QByteArray &rtf)
{
    const qsizetype at = rtf.indexOf("{\\fonttbl");
    const qsizetype end = rtf.indexOf("}\r\n", at);
    return at < 0 || end < 0 ? QByteArray("<no font table>") : rtf.mid(at, end - at + 1);
}

// One paragraph of text in the given format.
std::unique_ptr<QTextDocument> singleRun(const QString &text, const QTextCharFormat &f)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QTextCursor(doc.get()).insertText(text, f);
    return doc;
}

// The structure of a document as text: tables with their merged cells, list items, links,
// paragraph layout, pictures and the page.
QString structure(const QTextDocument &doc);

void describeFrame(QTextFrame *frame, QStringList &out);

void describeBlock(const QTextBlock &b, QStringList &out)
{
    const QTextBlockFormat f = b.blockFormat();
    QString line = u'[' + b.text() + u']';
    if (const QTextList *list = b.textList()) {
        line +=
            QStringLiteral(" list%1.%2").arg(list->format().style()).arg(list->format().indent());
        if (list->format().style() <= QTextListFormat::ListDecimal) {
            line += u'=' + list->itemText(b);
        }
    }
    const QList<qreal> lengths{f.leftMargin(), f.rightMargin(), f.textIndent(), f.topMargin(),
                               f.bottomMargin()};
    if (std::any_of(lengths.begin(), lengths.end(), [](qreal v) { return v != 0; })) {
        QStringList t;
        for (const qreal v : lengths) {
            t << QString::number(qRound(v * 15));
        }
        line += u" margins " + t.join(u',');
    }
    if (f.lineHeightType() != QTextBlockFormat::SingleHeight) {
        line += QStringLiteral(" line%1:%2").arg(f.lineHeightType()).arg(f.lineHeight());
    }
    for (const QTextOption::Tab &t : f.tabPositions()) {
        line += QStringLiteral(" tab%1@%2").arg(t.type).arg(qRound(t.position * 15));
    }
    if (f.nonBreakableLines()) {
        line += u" keep"_qs;
    }
    if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) {
        line += u" pagebreak"_qs;
    }
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat cf = it.fragment().charFormat();
        if (cf.isImageFormat()) {
            line += QStringLiteral(" picture %1x%2")
                        .arg(cf.toImageFormat().width())
                        .arg(cf.toImageFormat().height());
        }
        if (cf.isAnchor()) {
            line += u" link " + cf.anchorHref() + u':' + it.fragment().text();
        }
        if (cf.fontLetterSpacingType() == QFont::AbsoluteSpacing) {
            line += QStringLiteral(" spacing%1").arg(qRound(cf.fontLetterSpacing() * 15));
        }
    }
    out << line;
}

void describeTable(QTextTable *t, QStringList &out)
{
    out << QStringLiteral("table %1x%2 {").arg(t->rows()).arg(t->columns());
    for (int r = 0; r < t->rows(); ++r) {
        for (int c = 0; c < t->columns(); ++c) {
            const QTextTableCell cell = t->cellAt(r, c);
            if (cell.row() != r || cell.column() != c) {
                continue;
            }
            QString line = QStringLiteral("cell %1,%2").arg(r).arg(c);
            if (cell.rowSpan() > 1 || cell.columnSpan() > 1) {
                line += QStringLiteral(" span %1x%2").arg(cell.rowSpan()).arg(cell.columnSpan());
            }
            const QBrush bg = cell.format().background();
            if (bg.style() != Qt::NoBrush) {
                line += u" bg" + bg.color().name();
            }
            out << line;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (auto *nested = qobject_cast<QTextTable *>(it.currentFrame())) {
                    describeTable(nested, out);
                } else if (!it.currentFrame()) {
                    describeBlock(it.currentBlock(), out);
                }
            }
        }
    }
    out << u"}"_qs;
}

void describeFrame(QTextFrame *frame, QStringList &out)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (auto *table = qobject_cast<QTextTable *>(it.currentFrame())) {
            describeTable(table, out);
        } else if (!it.currentFrame()) {
            describeBlock(it.currentBlock(), out);
        }
    }
}

QString structure(const QTextDocument &doc)
{
    QStringList out;
    const rtf::PageSetup page = rtf::pageSetup(doc);
    if (page.present) {
        out << QStringLiteral("page %1x%2 %3 margins %4,%5,%6,%7")
                   .arg(page.paperTwips.width())
                   .arg(page.paperTwips.height())
                   .arg(page.landscape ? u"landscape" : u"portrait")
                   .arg(page.marginsTwips.left())
                   .arg(page.marginsTwips.top())
                   .arg(page.marginsTwips.right())
                   .arg(page.marginsTwips.bottom());
    }
    describeFrame(doc.rootFrame(), out);
    return out.join(u'\n');
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void exactDocument();
    void unicodeFallback_data();
    void unicodeFallback();
    void escapes_data();
    void escapes();
    void fontTable_data();
    void fontTable();
    void colourTable();
    void sizes_data();
    void sizes();
    void range_data();
    void range();
    void roundTrip_data();
    void roundTrip();
    void randomRoundTrips();
    void structureSurvives_data();
    void structureSurvives();
    void keptAsTheyCame_data();
    void keptAsTheyCame();
    void insertedPictureAsPng();
    void samplesKeepStructure_data();
    void samplesKeepStructure();
};

void TestRtfWriter::exactDocument()
{
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QTextCursor c(&doc);
    c.setBlockFormat(aligned(Qt::AlignHCenter));
    c.insertText(QStringLiteral("Hi "), format(QStringLiteral("Arial"), 12));
    c.insertText(QStringLiteral("你好"), format(QStringLiteral("宋体"), 10.5, "b", Qt::red));
    c.insertBlock(aligned(Qt::AlignLeft), format(QStringLiteral("宋体"), 10.5));
    c.insertBlock(aligned(Qt::AlignRight));
    c.insertText(QStringLiteral("a{b}\\c\t"), format(QStringLiteral("Arial"), 12, "iu", Qt::blue));
    c.insertText(QStringLiteral("x"), format(QStringLiteral("Arial"), 12, "s", Qt::red));

    const QByteArray expected =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052\r\n"
        "{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset134 "
        "\\'cb\\'ce\\'cc\\'e5;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "{\\*\\generator pennote;}\\viewkind4\\uc1\r\n"
        "\\pard\\qc \\dbch\\af0\\loch\\f0\\fs24 Hi \\dbch\\af1\\loch\\f1\\fs21\\b\\cf1 "
        "\\uc2\\u20320\\'c4\\'e3\\u22909\\'ba\\'c3\\par\r\n"
        "\\pard \\b0\\cf0 \\par\r\n"
        "\\pard\\qr \\dbch\\af0\\loch\\f0\\fs24\\i\\ul\\cf2 a\\{b\\}\\\\c\\tab "
        "\\i0\\ulnone\\strike\\cf1 x\\par\r\n"
        "}\r\n";
    QCOMPARE(rtf::writeRtf(doc), expected);
}

void TestRtfWriter::unicodeFallback_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("chinese, uc only once")
        << QStringLiteral("你好") << QByteArray("\\uc2\\u20320\\'c4\\'e3\\u22909\\'ba\\'c3");
    QTest::newRow("latin letter in gbk")
        << QStringLiteral("é") << QByteArray("\\uc2\\u233\\'a8\\'a6");
    QTest::newRow("value above 32767")
        << QStringLiteral("\uFF01") << QByteArray("\\uc2\\u-255\\'a3\\'a1");
    QTest::newRow("not in gbk") << QStringLiteral("\u0E01") << QByteArray("\\u3585\\'3f");
    QTest::newRow("hangul not in gbk, negative")
        << QStringLiteral("\uAC00") << QByteArray("\\u-21504\\'3f");
    QTest::newRow("astral character as two halves")
        << QString::fromUcs4(U"\U0001F60A") << QByteArray("\\u-10179\\'3f\\u-8694\\'3f");
    QTest::newRow("uc changes back and forth")
        << QStringLiteral("中\u0E01中")
        << QByteArray("\\uc2\\u20013\\'d6\\'d0\\uc1\\u3585\\'3f\\uc2\\u20013\\'d6\\'d0");
    QTest::newRow("ascii stays literal") << QStringLiteral("a b~") << QByteArray("a b~");
}

void TestRtfWriter::unicodeFallback()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const auto doc = singleRun(text, format(QStringLiteral("Arial"), 12));
    const QByteArray out = rtf::writeRtf(*doc);
    QCOMPARE(body(out), "\\pard \\dbch\\af0\\loch\\f0\\fs24 " + bytes + "\\par\r\n");
    // Whatever the text, the file is 7-bit.
    QVERIFY(std::all_of(out.begin(), out.end(), [](char c) { return uchar(c) < 0x80; }));
}

void TestRtfWriter::escapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("backslash and braces") << QStringLiteral("\\{}") << QByteArray("\\\\\\{\\}");
    QTest::newRow("tab") << QStringLiteral("a\tb") << QByteArray("a\\tab b");
    QTest::newRow("line separator") << QStringLiteral("a\u2028b") << QByteArray("a\\line b");
    QTest::newRow("no-break space") << QStringLiteral("a\u00A0b") << QByteArray("a\\~b");
    QTest::newRow("soft hyphen") << QStringLiteral("a\u00ADb") << QByteArray("a\\-b");
    QTest::newRow("non-breaking hyphen") << QStringLiteral("a\u2011b") << QByteArray("a\\_b");
    QTest::newRow("object replacement dropped") << QStringLiteral("a\uFFFCb") << QByteArray("ab");
    QTest::newRow("control characters dropped")
        << QStringLiteral("a\u0001\u001Fb") << QByteArray("ab");
    QTest::newRow("lone surrogate")
        << (u'a' + QString(QChar(0xD800)) + u'b') << QByteArray("a\\u-3\\'3fb");
}

void TestRtfWriter::escapes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const auto doc = singleRun(text, format(QStringLiteral("Arial"), 12));
    QCOMPARE(body(rtf::writeRtf(*doc)),
             "\\pard \\dbch\\af0\\loch\\f0\\fs24 " + bytes + "\\par\r\n");
}

void TestRtfWriter::fontTable_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("table");

    QTest::newRow("latin font, latin text") << "Times"
                                            << "abc"
                                            << QByteArray("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                                                          "{\\f1\\fnil\\fcharset0 Times;}}");
    QTest::newRow("latin font, chinese text")
        << "Times"
        << "中"
        << QByteArray("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                      "{\\f1\\fnil\\fcharset134 Times;}}");
    QTest::newRow("chinese font name")
        << "黑体"
        << "a"
        << QByteArray("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                      "{\\f1\\fnil\\fcharset134 \\'ba\\'da\\'cc\\'e5;}}");
    QTest::newRow("name outside gbk")
        << "Noto \u0E01"
        << "a"
        << QByteArray("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                      "{\\f1\\fnil\\fcharset134 Noto \\uc1\\u3585?;}}");
    QTest::newRow("specials in the name")
        << "A;B{C}"
        << "a"
        << QByteArray("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                      "{\\f1\\fnil\\fcharset0 A\\'3bB\\'7bC\\'7d;}}");
    QTest::newRow("default font only")
        << "Arial"
        << "a" << QByteArray("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}");
}

void TestRtfWriter::fontTable()
{
    QFETCH(QString, family);
    QFETCH(QString, text);
    QFETCH(QByteArray, table);
    const auto doc = singleRun(text, format(family, 12));
    const QByteArray out = rtf::writeRtf(*doc);
    QCOMPARE(fontTableOf(out), table);

    // The name comes back as it was.
    QTextDocument back;
    QVERIFY(rtf::readRtf(out, &back).ok);
    QCOMPARE(back.begin().begin().fragment().charFormat().fontFamilies().toStringList(),
             QStringList{family});
}

void TestRtfWriter::colourTable()
{
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("a"),
                 format(QStringLiteral("Arial"), 12, {}, QColor(0x12, 0x34, 0x56)));
    c.insertText(QStringLiteral("b"), format(QStringLiteral("Arial"), 12));
    c.insertText(QStringLiteral("c"),
                 format(QStringLiteral("Arial"), 12, {}, QColor(0xff, 0xfe, 0)));
    c.insertText(QStringLiteral("d"),
                 format(QStringLiteral("Arial"), 12, {}, QColor(0x12, 0x34, 0x56)));
    QTextCharFormat highlighted = format(QStringLiteral("Arial"), 12);
    highlighted.setBackground(QColor(0xff, 0xfe, 0));
    c.insertText(QStringLiteral("e"), highlighted);
    const QByteArray out = rtf::writeRtf(doc);
    QVERIFY(out.contains("{\\colortbl ;\\red18\\green52\\blue86;\\red255\\green254\\blue0;}\r\n"));
    QCOMPARE(body(out), QByteArray("\\pard \\dbch\\af0\\loch\\f0\\fs24\\cf1 a\\cf0 b\\cf2 c\\cf1 "
                                   "d\\cf0\\highlight2 e\\par\r\n"));
}

void TestRtfWriter::sizes_data()
{
    QTest::addColumn<qreal>("points");
    QTest::addColumn<QByteArray>("word");
    QTest::newRow("10.5") << 10.5 << QByteArray("\\fs21");
    QTest::newRow("9") << 9.0 << QByteArray("\\fs18");
    QTest::newRow("72") << 72.0 << QByteArray("\\fs144");
    QTest::newRow("rounded to half points") << 11.3 << QByteArray("\\fs23");
    QTest::newRow("huge is limited") << 5000.0 << QByteArray("\\fs3276");
}

void TestRtfWriter::sizes()
{
    QFETCH(qreal, points);
    QFETCH(QByteArray, word);
    const auto doc = singleRun(QStringLiteral("x"), format(QStringLiteral("Arial"), points));
    QCOMPARE(body(rtf::writeRtf(*doc)), "\\pard \\dbch\\af0\\loch\\f0" + word + " x\\par\r\n");
}

void TestRtfWriter::range_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("paragraphs");

    // The document is "abc" (bold, centred) / "def" (italic): positions 0..2, mark 3, 4..6, mark 7.
    QTest::newRow("inside one paragraph") << 1 << 2 << QStringList{"C|b{Arial 12 B}"};
    QTest::newRow("reversed") << 2 << 1 << QStringList{"C|b{Arial 12 B}"};
    QTest::newRow("across the mark") << 2 << 5 << QStringList{"C|c{Arial 12 B}", "L|d{Arial 12 I}"};
    QTest::newRow("a whole paragraph with its mark") << 0 << 4 << QStringList{"C|abc{Arial 12 B}"};
    QTest::newRow("beyond the end is clamped") << 4 << 100 << QStringList{"L|def{Arial 12 I}"};
    QTest::newRow("empty range") << 2 << 2 << QStringList{"L|"};
}

void TestRtfWriter::range()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, paragraphs);
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QTextCursor c(&doc);
    c.setBlockFormat(aligned(Qt::AlignHCenter));
    c.insertText(QStringLiteral("abc"), format(QStringLiteral("Arial"), 12, "b"));
    c.insertBlock(aligned(Qt::AlignLeft));
    c.insertText(QStringLiteral("def"), format(QStringLiteral("Arial"), 12, "i"));

    QTextDocument back;
    back.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QVERIFY(rtf::readRtf(rtf::writeRtf(doc, from, to), &back).ok);
    QCOMPARE(describeEffective(back), paragraphs);
}

void TestRtfWriter::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << "empty";
    QTest::newRow("one empty paragraph after text") << "trailing-empty";
    QTest::newRow("empty paragraphs around") << "empties";
    QTest::newRow("every attribute") << "attributes";
    QTest::newRow("chinese and latin fonts") << "chinese";
    QTest::newRow("specials") << "specials";
    QTest::newRow("alignment") << "alignment";
}

void TestRtfWriter::roundTrip()
{
    QFETCH(QString, name);
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QTextCursor c(&doc);
    const QString song = QStringLiteral("宋体");
    if (name == u"trailing-empty") {
        c.insertText(QStringLiteral("text"));
        c.insertBlock();
    } else if (name == u"empties") {
        c.insertBlock();
        c.insertText(QStringLiteral("middle"), format(song, 20, "b"));
        c.insertBlock();
        c.insertBlock();
    } else if (name == u"attributes") {
        c.insertText(QStringLiteral("b"), format(song, 9, "b"));
        c.insertText(QStringLiteral("i"), format(song, 9, "i"));
        c.insertText(QStringLiteral("u"), format(song, 9, "u"));
        c.insertText(QStringLiteral("s"), format(song, 9, "s"));
        c.insertText(QStringLiteral("all"), format(song, 9, "bius", QColor(1, 2, 3)));
        QTextCharFormat sup = format(song, 9);
        sup.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        c.insertText(QStringLiteral("2"), sup);
        QTextCharFormat wave = format(song, 9);
        wave.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        wave.setBackground(QColor(0, 255, 0));
        c.insertText(QStringLiteral("w"), wave);
    } else if (name == u"chinese") {
        c.insertText(QStringLiteral("电话 12345 "), format(song, 10.5));
        c.insertText(QStringLiteral("Marlowen 黄页"),
                     format(QStringLiteral("Times"), 14, "b", Qt::darkGreen));
        c.insertBlock();
        c.insertText(QStringLiteral("，。！“”"), format(QStringLiteral("黑体"), 16));
    } else if (name == u"specials") {
        c.insertText(QStringLiteral("{}\\\t\u2028\u00A0") + QString::fromUcs4(U"\U0001F60A") +
                         QStringLiteral("\u0E01\uAC00é"),
                     format(QStringLiteral("Arial"), 12));
    } else if (name == u"alignment") {
        c.setBlockFormat(aligned(Qt::AlignRight));
        c.insertText(QStringLiteral("r"));
        c.insertBlock(aligned(Qt::AlignHCenter));
        c.insertText(QStringLiteral("c"));
        c.insertBlock(aligned(Qt::AlignJustify));
        c.insertText(QStringLiteral("j"));
        c.insertBlock(aligned(Qt::AlignLeft));
        c.insertText(QStringLiteral("l"));
        c.insertBlock(aligned(Qt::AlignHCenter));
    }
    QTextDocument back;
    back.setDefaultFont(QFont(QStringLiteral("Courier"), 7)); // the file must say everything
    const rtf::ReadResult r = rtf::readRtf(rtf::writeRtf(doc), &back);
    QVERIFY(r.ok);
    QVERIFY(!r.damaged);
    QCOMPARE(describeEffective(back), describeEffective(doc));
    QCOMPARE(back.blockCount(), doc.blockCount());
}

void TestRtfWriter::randomRoundTrips()
{
    // Random documents of random formatting and characters from every class the writer treats
    // differently; each must come back as it was.
    QRandomGenerator random(20240506);
    const QStringList families{QStringLiteral("Arial"), QStringLiteral("宋体"),
                               QStringLiteral("Times New Roman"), QStringLiteral("黑体")};
    const QString pool = QStringLiteral("aZ 9{}\\;\t\u2028\u00A0中文电话，é\u0E01\uAC00\uFF01");
    for (int round = 0; round < 200; ++round) {
        QTextDocument doc;
        doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
        QTextCursor c(&doc);
        const int paragraphs = random.bounded(1, 6);
        for (int p = 0; p < paragraphs; ++p) {
            const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                            Qt::AlignJustify};
            if (p > 0) {
                c.insertBlock(aligned(aligns[random.bounded(4)]));
            } else {
                c.setBlockFormat(aligned(aligns[random.bounded(4)]));
            }
            const int runs = random.bounded(0, 5);
            for (int r = 0; r < runs; ++r) {
                QString text;
                for (int k = random.bounded(1, 8); k > 0; --k) {
                    text += pool[random.bounded(int(pool.size()))];
                }
                if (random.bounded(10) == 0) {
                    text += QString::fromUcs4(U"\U0001F600");
                }
                QString flags;
                for (const char flag : {'b', 'i', 'u', 's'}) {
                    if (random.bounded(2)) {
                        flags += QLatin1Char(flag);
                    }
                }
                const QColor colour = random.bounded(3) == 0 ? QColor()
                                                             : QColor::fromRgb(random.bounded(256),
                                                                               random.bounded(256),
                                                                               random.bounded(256));
                c.insertText(text, format(families[random.bounded(int(families.size()))],
                                          random.bounded(12, 80) / 2.0, flags, colour));
            }
        }
        QTextDocument back;
        QVERIFY(rtf::readRtf(rtf::writeRtf(doc), &back).ok);
        const QStringList expected = describeEffective(doc);
        const QStringList actual = describeEffective(back);
        if (actual != expected) {
            QCOMPARE(actual.join(u'\n'), expected.join(u'\n'));
        }
    }
}

void TestRtfWriter::structureSurvives_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::newRow("merged cells")
        << QByteArray("{\\rtf1\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\clvmgf\\clcbpat1"
                      "\\cellx3000\\intbl a\\cell\\cell b\\cell\\row\\trowd\\cellx1000\\cellx2000"
                      "\\clvmrg\\cellx3000\\intbl c\\cell d\\cell\\cell\\row\\pard e\\par}")
        << QStringLiteral("[]\n"
                          "table 2x3 {\n"
                          "cell 0,0 span 1x2\n"
                          "[a]\n"
                          "cell 0,2 span 2x1\n"
                          "[b]\n"
                          "cell 1,0\n"
                          "[c]\n"
                          "cell 1,1\n"
                          "[d]\n"
                          "}\n"
                          "[e]");
    QTest::newRow("nested table")
        << QByteArray(
               "{\\rtf1\\trowd\\cellx3000\\pard\\intbl a\\par\\pard\\intbl\\itap2 n1\\nestcell "
               "n2\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
               "{\\nonesttables\\par}\\pard\\intbl z\\cell\\row\\pard after\\par}")
        << QStringLiteral("[]\n"
                          "table 1x1 {\n"
                          "cell 0,0\n"
                          "[a]\n"
                          "table 1x2 {\n"
                          "cell 0,0\n"
                          "[n1]\n"
                          "cell 0,1\n"
                          "[n2]\n"
                          "}\n"
                          "[z]\n"
                          "}\n"
                          "[after]");
    QTest::newRow("nested lists")
        << QByteArray(
               "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
               "{\\listlevel\\levelnfc4{\\leveltext\\'03(\\'01);}}\\listid7}"
               "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid8}}"
               "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}"
               "{\\listoverride\\listid8\\ls2}}"
               "\\pard\\ls1 one\\par\\pard\\ls1\\ilvl1 one a\\par\\pard\\ls1\\ilvl1 one b\\par"
               "\\pard\\ls1 two\\par\\pard\\ls2 dot\\par}")
        << QStringLiteral("[one] list-4.1=1.\n"
                          "[one a] list-5.2=(a)\n"
                          "[one b] list-5.2=(b)\n"
                          "[two] list-4.1=2.\n"
                          "[dot] list-1.1");
    QTest::newRow("old numbering")
        << QByteArray("{\\rtf1{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart1}first\\par"
                      "{\\pntext 2.\\tab}{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart1}second\\par}")
        << QStringLiteral("[first] list-8.1=I.\n"
                          "[second] list-8.1=II.");
    QTest::newRow("hyperlink")
        << QByteArray(
               "{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://a.example/x?y=1\" \\\\o "
               "\"tip\"}{\\fldrslt here}} and {\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}\\par}")
        << QStringLiteral("[see here and 7] link http://a.example/x?y=1:here");
    QTest::newRow("hyperlink beyond ASCII")
        << QByteArray("{\\rtf1 \\u20013?{\\field{\\*\\fldinst HYPERLINK \"http://a/\\u222?\"}"
                      "{\\fldrslt \\u222?\\u228?}}\\par}")
        << QStringLiteral("[中Þä] link http://a/Þ:Þä");
    QTest::newRow("hyperlink with control characters")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://a/\x01"
                      "b\"}{\\fldrslt x}}{\\field{\\*\\fldinst HYPERLINK \"http://a/b\"}"
                      "{\\fldrslt y}}\\par}")
        << QStringLiteral("[xy] link http://a/b:xy");
    QTest::newRow("paragraph layout")
        << QByteArray(
               "{\\rtf1\\pard\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1\\tqr\\tx4000"
               "\\tx500\\keep\\pagebb a\\par\\pard\\sl-300\\slmult0{\\expndtw40 b}\\par}")
        << QStringLiteral(
               "[a] margins 720,360,-360,120,240 line1:150 tab1@4000 tab0@500 keep pagebreak\n"
               "[b] line2:20 spacing40");
    QTest::newRow("page setup")
        << QByteArray("{\\rtf1\\paperw16838\\paperh11906\\margl1134\\margr1000\\margt900"
                      "\\margb800\\landscape x\\par}")
        << QStringLiteral("page 16838x11906 landscape margins 1134,900,1000,800\n"
                          "[x]");
    QTest::newRow("landscape before the sizes, a zero margin")
        << QByteArray("{\\rtf1\\landscape\\margr0\\margt0 x\\par}")
        << QStringLiteral("page 12240x15840 landscape margins 1800,0,0,1440\n"
                          "[x]");
}

void TestRtfWriter::structureSurvives()
{
    QFETCH(QByteArray, rtf);
    QTextDocument doc;
    QVERIFY(rtf::readRtf(rtf, &doc).ok);
    QFETCH(QString, expected);
    QCOMPARE(structure(doc), expected);
    QTextDocument back;
    QVERIFY(rtf::readRtf(rtf::writeRtf(doc), &back).ok);
    QCOMPARE(structure(back), expected);
}

void TestRtfWriter::keptAsTheyCame_data()
{
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<QString>("shown");
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QTest::newRow("png") << "{\\pict\\picw4\\pich3\\picwgoal120\\pichgoal90\\pngblip " +
                                png.toHex() + '}'
                         << QStringLiteral("picture 8x6");
    QTest::newRow("metafile")
        << QByteArray("{\\pict\\wmetafile8\\picw100\\pich50\\picwgoal1500\\pichgoal750 0102030405}")
        << QStringLiteral("picture 100x50");
    QTest::newRow("metafile at half scale")
        << QByteArray("{\\pict\\emfblip\\picscalex50\\picscaley50\\picwgoal1500\\pichgoal750 0a0b}")
        << QStringLiteral("picture 50x25");
    QTest::newRow("pair, the first one drawable")
        << "{\\*\\shppict{\\pict\\pngblip\\picwgoal60\\pichgoal45 " + png.toHex() +
               "}}\r\n{\\nonshppict{\\pict\\wmetafile8\\picwgoal60\\pichgoal45 0c0d}}"
        << QStringLiteral("picture 4x3");
    QTest::newRow("bitmap with raw bytes")
        << QByteArray("{\\pict\\dibitmap0\\picw2\\pich2\\picwgoal30\\pichgoal30\\bin4 \x01}{\\}")
        << QStringLiteral("picture 2x2");
    QTest::newRow("information") << QByteArray("{\\info{\\title T}{\\author A}}") << QString();
    QTest::newRow("header") << QByteArray("{\\header \\pard\\qc page head\\par}") << QString();
}

void TestRtfWriter::keptAsTheyCame()
{
    // What the editor does not draw or show is written back byte for byte.
    QFETCH(QByteArray, group);
    QFETCH(QString, shown);
    QTextDocument doc;
    const rtf::ReadResult r = rtf::readRtf("{\\rtf1\\ansi " + group + " x\\par}", &doc);
    QVERIFY(r.ok && !r.damaged);
    QCOMPARE(structure(doc).contains(shown), true);
    const QByteArray written = rtf::writeRtf(doc);
    QVERIFY2(written.contains(group), written.constData());
    QTextDocument again;
    QVERIFY(rtf::readRtf(written, &again).ok);
    QCOMPARE(rtf::writeRtf(again), written);
}

void TestRtfWriter::insertedPictureAsPng()
{
    // A picture put into the document in the editor is written as PNG at its shown size.
    QTextDocument doc;
    QImage image(10, 5, QImage::Format_RGB32);
    image.fill(Qt::blue);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pasted")), image);
    QTextImageFormat f;
    f.setName(QStringLiteral("pasted"));
    f.setWidth(20);
    f.setHeight(10);
    QTextCursor(&doc).insertImage(f);
    const QByteArray written = rtf::writeRtf(doc);
    QVERIFY(written.contains("\\picw10\\pich5\\picwgoal300\\pichgoal150\\pngblip"));
    QTextDocument back;
    QVERIFY(rtf::readRtf(written, &back).ok);
    QCOMPARE(structure(back), QStringLiteral("[\uFFFC] picture 20x10"));
}

void TestRtfWriter::samplesKeepStructure_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("part");
    QTest::newRow("nested tables") << "pandoc/table_nested.rtf"
                                   << "table 1x2";
    QTest::newRow("old numbering") << "pandoc/list_legacy.rtf"
                                   << "list-1.1";
    QTest::newRow("link") << "pandoc/link.rtf"
                          << "link http://pandoc.org:pandoc";
    QTest::newRow("chinese list") << "libreoffice/cjklist12.rtf"
                                  << "list-4.1=10.";
    QTest::newRow("relative links") << "tika/testRTFHyperlinkAndStyles.rtf"
                                    << "link ";
    QTest::newRow("word picture object") << "tika/testBinControlWord.rtf"
                                         << "picture";
}

void TestRtfWriter::samplesKeepStructure()
{
    QFETCH(QString, file);
    QFETCH(QString, part);
    QFile f(qEnvironmentVariable("DIALVANE_SOURCE_DIR") + u"/../shared/rtf-samples/" + file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QTextDocument doc;
    QVERIFY(rtf::readRtf(f.readAll(), &doc).ok);
    const QString read = structure(doc);
    QVERIFY2(read.contains(part), qPrintable(read));
    QTextDocument back;
    QVERIFY(rtf::readRtf(rtf::writeRtf(doc), &back).ok);
    QCOMPARE(structure(back), read);
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
