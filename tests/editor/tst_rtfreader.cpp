#include "editor/rtf/rtfreader.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

namespace {

// One fragment as "text{family size flags colour}", so a whole paragraph reads as a line.
QString describeFragment(const QTextFragment &fragment)
{
    const QTextCharFormat f = fragment.charFormat();
    QStringList attrs;
    const QStringList families = f.fontFamilies().toStringList();
    attrs << (families.isEmpty() ? QStringLiteral("-") : families.first());
    attrs << QString::number(f.fontPointSize());
    if (f.fontWeight() >= QFont::DemiBold) {
        attrs << QStringLiteral("B");
    }
    if (f.fontItalic()) {
        attrs << QStringLiteral("I");
    }
    switch (f.underlineStyle()) {
    case QTextCharFormat::NoUnderline:
        break;
    case QTextCharFormat::SingleUnderline:
        attrs << QStringLiteral("U");
        break;
    case QTextCharFormat::DotLine:
        attrs << QStringLiteral("U.dot");
        break;
    case QTextCharFormat::DashUnderline:
        attrs << QStringLiteral("U.dash");
        break;
    case QTextCharFormat::WaveUnderline:
        attrs << QStringLiteral("U.wave");
        break;
    default:
        attrs << QStringLiteral("U.other");
        break;
    }
    if (f.fontStrikeOut()) {
        attrs << QStringLiteral("S");
    }
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) {
        attrs << QStringLiteral("SUP");
    } else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) {
        attrs << QStringLiteral("SUB");
    }
    if (f.fontCapitalization() == QFont::AllUppercase) {
        attrs << QStringLiteral("CAPS");
    } else if (f.fontCapitalization() == QFont::SmallCaps) {
        attrs << QStringLiteral("SCAPS");
    }
    if (f.foreground().style() != Qt::NoBrush) {
        attrs << f.foreground().color().name();
    }
    if (f.background().style() != Qt::NoBrush) {
        attrs << QStringLiteral("bg") + f.background().color().name();
    }
    return fragment.text() + u'{' + attrs.join(u' ') + u'}';
}

// A paragraph as "A|runs": A is L, C, R or J for its alignment.
QString describeBlock(const QTextBlock &block)
{
    const Qt::Alignment a = block.blockFormat().alignment();
    QString out = (a & Qt::AlignHCenter)   ? QStringLiteral("C|")
                  : (a & Qt::AlignRight)   ? QStringLiteral("R|")
                  : (a & Qt::AlignJustify) ? QStringLiteral("J|")
                                           : QStringLiteral("L|");
    if (block.textList()) {
        const int style = block.textList()->format().style();
        out += u'[' +
               (style >= QTextListFormat::ListSquare && style <= QTextListFormat::ListDisc
                    ? QStringLiteral("bullet")
                    : block.textList()->itemText(block)) +
               u']';
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        out += describeFragment(it.fragment());
    }
    return out;
}

QStringList describe(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        out << describeBlock(b);
    }
    return out;
}

QString samplesDir()
{
    return qEnvironmentVariable("DIALVANE_SOURCE_DIR") + QStringLiteral("/../shared/rtf-samples");
}

QByteArray sample(const QString &name)
{
    QFile f(samplesDir() + u'/' + name);
    if (!f.open(QIODevice::ReadOnly)) {
        qFatal("missing RTF sample %s", qPrintable(f.fileName()));
    }
    return f.readAll();
}

// The document's characters with "\n" between paragraphs and table cells; unlike
// toPlainText() it keeps no-break spaces as they are.
QString rawText(const QTextDocument &doc)
{
    QString out;
    for (const QChar c : doc.toRawText()) {
        if (c == QChar::ParagraphSeparator || c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1) {
            // A table starts and ends a paragraph; its cells are paragraphs of their own.
            if (c == QChar::ParagraphSeparator || (!out.isEmpty() && !out.endsWith(u'\n'))) {
                out += u'\n';
            }
        } else {
            out += c;
        }
    }
    return out;
}

QString plainText(const QByteArray &rtf)
{
    QTextDocument doc;
    const rtf::ReadResult r = rtf::readRtf(rtf, &doc);
    if (!r.ok) {
        return QStringLiteral("<not read>");
    }
    return rawText(doc);
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sampleText_data();
    void sampleText();
    void sampleParagraphs_data();
    void sampleParagraphs();
    void notRtf_data();
    void notRtf();
    void malformed_data();
    void malformed();
    void deepNesting();
    void unicode_data();
    void unicode();
    void codePages_data();
    void codePages();
    void formatting_data();
    void formatting();
    void destinations_data();
    void destinations();
    void replacesContentAndUndo();
    void insertAtCursor();
};

void TestRtfReader::initTestCase()
{
    // The samples are part of the test's input; a missing folder is a failure, not a skip.
    QVERIFY2(QDir(samplesDir()).exists(QStringLiteral("pandoc/unicode.rtf")),
             qPrintable(QStringLiteral("RTF samples not found in ") + samplesDir()));
}

void TestRtfReader::sampleText_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("damaged");

    QTest::newRow("pandoc unicode")
        << "pandoc/unicode.rtf" << QStringLiteral("\u201Chi\u201D\u2018hi\u2019\uF0B7\u03B1\u00E4")
        << false;
    QTest::newRow("pandoc link") << "pandoc/link.rtf" << QStringLiteral("pandoc") << false;
    QTest::newRow("pandoc legacy list")
        << "pandoc/list_legacy.rtf" << QStringLiteral("A\nNumbered\nList\nA\nBulleted\nList")
        << false;
    QTest::newRow("pandoc nested table")
        << "pandoc/table_nested.rtf"
        << QStringLiteral("Level two before\nDeep A\nDeep B\nDeep C\nDeep D\nLevel two after\n"
                          "Outer after\nOutside table")
        << false;
    QTest::newRow("pandoc skipped nesting level")
        << "pandoc/table_nested_malformed_itap.rtf"
        << QStringLiteral("Parent before\nChild at skipped level\nParent after\nOuter cell\n")
        << false;
    QTest::newRow("hex CR LF") << "libreoffice/hexcrlf.rtf" << QStringLiteral("foo\nbar\nbaz\nquux")
                               << false;
    QTest::newRow("stray par after the document")
        << "libreoffice/hyperlink.rtf" << QStringLiteral("Helloworld!") << false;
    QTest::newRow("bin data with braces")
        << "libreoffice/bin-skipping.rtf" << QStringLiteral("text") << false;
    QTest::newRow("invalid hex as fallback")
        << "libreoffice/malformed/invalid-hex.rtf" << QStringLiteral("x\u0159x") << true;
    QTest::newRow("language words")
        << "libreoffice/fdo85812.rtf"
        << QStringLiteral("This \nCharGroupAfterChar\nAfterBookmark\nCharGroupAfterChar\n"
                          "AfterBookmark\nCharGroupAfterChar\nAfterBookmark")
        << false;
    QTest::newRow("crlf file") << "libreoffice/tdf90260-par.rtf" << QStringLiteral("simple")
                               << false;
    QTest::newRow("unpaired surrogates")
        << "tika/testRTFInvalidUnicode.rtf"
        << QStringLiteral("Unpaired hi \uFFFD here Unpaired lo \uFFFD here Mismatched pair "
                          "\uFFFD\uFFFD here ")
        << false;
    QTest::newRow("escaped braces")
        << "tika/testRTFWithCurlyBraces.rtf"
        << QStringLiteral("\n      { some text inside curly brackets } ") << false;
    QTest::newRow("bin inside a picture, groups left open")
        << "tika/testBinControlWord.rtf" << QStringLiteral("\uFFFC\t\t\t ") << true;
}

void TestRtfReader::sampleText()
{
    QFETCH(QString, file);
    QFETCH(QString, text);
    QFETCH(bool, damaged);
    QTextDocument doc;
    const rtf::ReadResult r = rtf::readRtf(sample(file), &doc);
    QVERIFY(r.ok);
    QCOMPARE(rawText(doc), text);
    QCOMPARE(r.damaged, damaged);
    QCOMPARE(r.paragraphs, doc.blockCount());
}

void TestRtfReader::sampleParagraphs_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("paragraph");
    QTest::addColumn<QString>("expected");

    const QString f = QStringLiteral("pandoc/formatting.rtf");
    QTest::newRow("word: caps and hidden text")
        << f << 0
        << QStringLiteral("L|This is a test of {Helvetica 12}formatting{Helvetica 12 CAPS}."
                          "  This is hidden: .{Helvetica 12}");
    QTest::newRow("word: small caps")
        << f << 1 << QStringLiteral("L|Small Caps{Helvetica 12 SCAPS}");
    QTest::newRow("word: bold") << f << 2 << QStringLiteral("L|bold{Helvetica 12 B}");
    QTest::newRow("word: italic") << f << 3 << QStringLiteral("L|italics{Helvetica 12 I}");
    QTest::newRow("word: bold and italic")
        << f << 4 << QStringLiteral("L|bold {Helvetica 12 B}and italics{Helvetica 12 B I}");
    QTest::newRow("word: underline") << f << 5 << QStringLiteral("L|underlined{Helvetica 12 U}");
    QTest::newRow("word: strike") << f << 6 << QStringLiteral("L|strikeout{Helvetica 12 S}");
    QTest::newRow("word: superscript")
        << f << 7 << QStringLiteral("L|x{Helvetica 12}superscript{Helvetica 12 SUP}");
    QTest::newRow("word: subscript")
        << f << 8 << QStringLiteral("L|x{Helvetica 12}subscript{Helvetica 12 SUB}");
    QTest::newRow("big5 list label and body")
        << "libreoffice/cjklist12.rtf" << 9
        << QStringLiteral("L|[10.]Numbered List Example{Calibri 12}");
    QTest::newRow("big5 lead byte with literal trail byte")
        << "libreoffice/cp950listleveltext3.rtf" << 2
        << QStringLiteral("L|[前a置b3、c後d置e]test{Calibri 12}");
    QTest::newRow("shift-jis body text")
        << "tika/testRTF-ms932.rtf" << 1 << QStringLiteral("J|こんにちは{ＭＳ 明朝 10.5}");
    QTest::newRow("shift-jis katakana")
        << "tika/testRTF-ms932.rtf" << 3 << QStringLiteral("J|テスト{ＭＳ 明朝 10.5}");
    QTest::newRow("latin run of the japanese file")
        << "tika/testRTF-ms932.rtf" << 2 << QStringLiteral("J|Test{Century 10.5}");
    QTest::newRow("colour table without empty entry")
        << "tika/testRTFHyperlinkAndStyles.rtf" << 3
        << QStringLiteral("L|\tCaesar {Times New Roman 14}DIP{Times New Roman 14 B I}: {Times New "
                          "Roman 14 B}Dip, Caesar.doc{Times New Roman 14 B U #0000ff}");
    QTest::newRow("russian file, bold navy")
        << "tika/testRTFWithCurlyBraces.rtf" << 1
        << QStringLiteral("C|      { some text inside curly brackets } {Arial 10 B #000080}");
    QTest::newRow("sizes given without parameter")
        << "libreoffice/default-values.rtf" << 0
        << QStringLiteral("L|scaleWidth50%scaleWidth100%{- 12}fontSize25{- 25}"
                          "fontSize12textDown3pttextUp3pt{- 12}");
    QTest::newRow("symbol bullet label")
        << "pandoc/list_legacy.rtf" << 3 << QStringLiteral("L|[bullet]A{Helvetica 10}");
}

void TestRtfReader::sampleParagraphs()
{
    QFETCH(QString, file);
    QFETCH(int, paragraph);
    QFETCH(QString, expected);
    QTextDocument doc;
    QVERIFY(rtf::readRtf(sample(file), &doc).ok);
    const QTextBlock block = doc.findBlockByNumber(paragraph);
    QVERIFY(block.isValid());
    QCOMPARE(describeBlock(block), expected);
}

void TestRtfReader::notRtf_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain text") << QByteArray("hello {\\rtf1 world}");
    QTest::newRow("html") << QByteArray("<html><body>x</body></html>");
    QTest::newRow("10000-letter word instead of rtf1")
        << sample(QStringLiteral("libreoffice/malformed/CVE-2005-2971-1.rtf"));
    QTest::newRow("gbk text") << QByteArray("\xc4\xe3\xba\xc3");
}

void TestRtfReader::notRtf()
{
    QFETCH(QByteArray, data);
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("keep me"));
    const rtf::ReadResult r = rtf::readRtf(data, &doc);
    QVERIFY(!r.ok);
    QCOMPARE(r.error, QStringLiteral("文件不是 RTF 格式。"));
    QCOMPARE(doc.toPlainText(), QStringLiteral("keep me"));
    QVERIFY(!rtf::looksLikeRtf(data));
}

void TestRtfReader::malformed_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("damaged");

    QTest::newRow("group never closed") << QByteArray("{\\rtf1 {\\b abc") << "abc" << true;
    QTest::newRow("extra closing brace inside")
        << QByteArray("{\\rtf1 a}}b}") << "a" << false; // the document ends at its own brace
    QTest::newRow("text after the document") << QByteArray("{\\rtf1 a}\\par b") << "a" << false;
    QTest::newRow("leading blanks and BOM")
        << QByteArray("\xEF\xBB\xBF \r\n{\\rtf1 a\\par}") << "a" << false;
    QTest::newRow("bad hex digits") << QByteArray("{\\rtf1 a\\'zzb}") << "ab" << true;
    QTest::newRow("hex cut by brace") << QByteArray("{\\rtf1 a{\\'4}b}") << "ab" << true;
    QTest::newRow("hex at end of data") << QByteArray("{\\rtf1 a\\'4") << "a" << true;
    QTest::newRow("backslash at end of data") << QByteArray("{\\rtf1 a\\") << "a" << true;
    QTest::newRow("huge bin length")
        << QByteArray("{\\rtf1 a\\bin999999999999 bcd}") << "a" << true;
    QTest::newRow("negative bin length") << QByteArray("{\\rtf1 a\\bin-5 bcd}") << "abcd" << false;
    QTest::newRow("bin with braces in data")
        << QByteArray("{\\rtf1 a\\bin4 }{\\}b}") << "ab" << false;
    QTest::newRow("endless control word")
        << QByteArray("{\\rtf1 a\\") + QByteArray(200000, 'x') + QByteArray(" b}") << "ab" << true;
    QTest::newRow("endless number")
        << QByteArray("{\\rtf1 \\fs") + QByteArray(100000, '9') + QByteArray(" b}") << "b" << false;
    QTest::newRow("overflowing unicode value")
        << QByteArray("{\\rtf1 \\u99999999999?b}") << "\uFFFDb" << false;
    QTest::newRow("overflowing uc count")
        << QByteArray("{\\rtf1 \\uc99999999999\\u20320 abcdef}") << "\u4F60" << false;
    QTest::newRow("negative uc count")
        << QByteArray("{\\rtf1 \\uc-3\\u20320 ab}") << "\u4F60ab" << false;
    QTest::newRow("nul bytes and controls") << QByteArray("{\\rtf1 a\0b\x01\x7f"
                                                          "c}",
                                                          14)
                                            << "ab\x7f"
                                               "c"
                                            << false;
    QTest::newRow("frame markers in unicode")
        << QByteArray("{\\rtf1 a\\u-560?\\u-559?\\u-4?\\u-1?b}") << "ab" << false;
    QTest::newRow("only a star") << QByteArray("{\\rtf1 \\*}") << "" << false;
    QTest::newRow("minus without digits") << QByteArray("{\\rtf1 \\fs- a}") << "- a" << false;
    QTest::newRow("empty document") << QByteArray("{\\rtf}") << "" << false;
}

void TestRtfReader::malformed()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, text);
    QFETCH(bool, damaged);
    QTextDocument doc;
    const rtf::ReadResult r = rtf::readRtf(data, &doc);
    QVERIFY(r.ok);
    QCOMPARE(rawText(doc), text);
    QCOMPARE(r.damaged, damaged);
}

void TestRtfReader::deepNesting()
{
    // Far more groups than the limit: nothing recurses, braces still pair up, and formatting set
    // beyond the limit does not leak out of its group.
    const int depth = 200000;
    QByteArray data = "{\\rtf1 ";
    data += QByteArray(depth, '{');
    data += "\\b deep\\par ";
    data += QByteArray(depth, '}');
    data += "after}";
    QTextDocument doc;
    const rtf::ReadResult r = rtf::readRtf(data, &doc);
    QVERIFY(r.ok);
    QVERIFY(r.damaged);
    QCOMPARE(describe(doc), (QStringList{"L|deep{- 12}", "L|after{- 12}"}));

    // Bold set just inside the limit applies; a skipped destination beyond it stays skipped.
    QByteArray limited = "{\\rtf1 ";
    limited += QByteArray(rtf::maxNesting - 1, '{');
    limited += "\\b in{{\\*\\foo hidden}{\\i x}}";
    limited += QByteArray(rtf::maxNesting - 1, '}');
    limited += " out}";
    QVERIFY(rtf::readRtf(limited, &doc).ok);
    QCOMPARE(describe(doc), (QStringList{"L|inx{- 12 B} out{- 12}"}));
}

void TestRtfReader::unicode_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");

    QTest::newRow("default one fallback byte") << QByteArray("{\\rtf1 \\u20320?x}") << "\u4F60x";
    QTest::newRow("two hex fallback bytes")
        << QByteArray("{\\rtf1 \\uc2\\u20320\\'c4\\'e3x}") << "\u4F60x";
    QTest::newRow("no fallback") << QByteArray("{\\rtf1 \\uc0\\u20320 x}") << "\u4F60x";
    QTest::newRow("control word counts as one")
        << QByteArray("{\\rtf1 \\u20320\\bullet x}") << "\u4F60x";
    QTest::newRow("bin counts as one") << QByteArray("{\\rtf1 \\u20320\\bin3 abcx}") << "\u4F60x";
    QTest::newRow("group end stops the skip")
        << QByteArray("{\\rtf1 {\\uc3\\u20320 a}bc}") << "\u4F60bc";
    QTest::newRow("uc restored after group")
        << QByteArray("{\\rtf1 {\\uc0 }\\u20320 ab}") << "\u4F60b";
    QTest::newRow("uc inside group only")
        << QByteArray("{\\rtf1 {\\uc2\\u228\\'E8a}b}") << "\u00E4b";
    QTest::newRow("negative value") << QByteArray("{\\rtf1 \\u-3913?}") << "\uF0B7";
    QTest::newRow("surrogate pair")
        << QByteArray("{\\rtf1 \\u-10179?\\u-8694?}") << QString::fromUcs4(U"\U0001F60A");
    QTest::newRow("surrogate pair, fallback skipped across")
        << QByteArray("{\\rtf1 \\uc2\\u55357\\'3f\\'3f\\u56842\\'3f\\'3fz}")
        << QString::fromUcs4(U"\U0001F60Az");
    QTest::newRow("high surrogate then text") << QByteArray("{\\rtf1 \\u-10179?ab}") << "\uFFFDab";
    QTest::newRow("high surrogate at the end") << QByteArray("{\\rtf1 \\u-10179?}") << "\uFFFD";
    QTest::newRow("two high surrogates")
        << QByteArray("{\\rtf1 \\u-10179?\\u-10179?\\u-8694?}")
        << QStringLiteral("\uFFFD") + QString::fromUcs4(U"\U0001F60A");
    QTest::newRow("space delimiter is not a fallback")
        << QByteArray("{\\rtf1 \\u945 ab}") << "\u03B1b";
    QTest::newRow("fallback swallowed at par") << QByteArray("{\\rtf1 \\u945\\par b}") << "\u03B1b";
    QTest::newRow("line breaks in the file are not fallbacks")
        << QByteArray("{\\rtf1 \\u945\r\n?b}") << "\u03B1b";
    QTest::newRow("named characters")
        << QByteArray(
               "{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\~\\_}")
        << "\u2014\u2013\u2018\u2019\u201C\u201D\u2022\u00A0\u2011";
    QTest::newRow("escaped specials") << QByteArray("{\\rtf1 \\\\\\{\\}}") << "\\{}";
}

void TestRtfReader::unicode()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, text);
    QCOMPARE(plainText(data), text);
}

void TestRtfReader::codePages_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");

    QTest::newRow("gb2312 charset")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset134 x;}}\\f0 \\'c4\\'e3\\'ba\\'c3}")
        << "你好";
    QTest::newRow("big5 charset")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset136 x;}}\\f0 \\'a7\\'41\\'a6\\'6e}")
        << "你好";
    QTest::newRow("shift-jis charset")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 x;}}\\f0 \\'82\\'b1\\'82\\'f1}")
        << "こん";
    QTest::newRow("hangul charset")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset129 x;}}\\f0 \\'c7\\'d1}") << "한";
    QTest::newRow("cyrillic charset")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 x;}}\\f0 \\'cf\\'f0}") << "Пр";
    QTest::newRow("ansi charset beats ansicpg")
        << QByteArray("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset0 x;}}\\f0 \\'e9}") << "é";
    QTest::newRow("default charset uses ansicpg")
        << QByteArray("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset1 x;}}\\f0 \\'c4\\'e3}")
        << "你";
    QTest::newRow("ansicpg without font table")
        << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3}") << "你";
    QTest::newRow("no code page at all is 1252")
        << QByteArray("{\\rtf1 \\'93x\\'94}") << "\u201Cx\u201D";
    QTest::newRow("cpg beats charset")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset0\\cpg936 x;}}\\f0 \\'c4\\'e3}") << "你";
    QTest::newRow("deff font decides without f")
        << QByteArray("{\\rtf1\\deff1{\\fonttbl{\\f0 a;}{\\f1\\fcharset134 b;}}\\'c4\\'e3}")
        << "你";
    QTest::newRow("font switch flushes bytes")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset134 a;}{\\f1\\fcharset0 b;}}"
                      "\\f0\\'c4\\'e3\\f1\\'e9}")
        << "你é";
    QTest::newRow("raw 8-bit bytes use the code page")
        << QByteArray("{\\rtf1\\ansi\\ansicpg936 \xc4\xe3}") << "你";
    QTest::newRow("lead byte cut by a control word")
        << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'c4\\b\\'e3}") << "\uFFFD\uFFFD";
    QTest::newRow("symbol bullet")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset2 Symbol;}}\\f0 \\'b7}") << "\u2022";
}

void TestRtfReader::codePages()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, text);
    QCOMPARE(plainText(data), text);
}

void TestRtfReader::formatting_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("paragraphs");

    const QByteArray tables = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fswiss Arial;}"
                              "{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
                              "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
    QTest::newRow("toggles and off forms")
        << tables + "\\b b\\b0 n\\i i\\i0 n\\ul u\\ulnone n\\ul u\\ul0 n\\strike s\\strike0 n}"
        << QStringList{"L|b{Arial 12 B}n{Arial 12}i{Arial 12 I}n{Arial 12}u{Arial 12 U}n{Arial "
                       "12}u{Arial 12 U}n{Arial 12}s{Arial 12 S}n{Arial 12}"};
    QTest::newRow("underline kinds")
        << tables + "\\uld a\\uldash b\\ulwave c\\uldb d}"
        << QStringList{"L|a{Arial 12 U.dot}b{Arial 12 U.dash}c{Arial 12 U.wave}d{Arial 12 U}"};
    QTest::newRow("fonts, sizes, colours")
        << tables + "\\f1\\fs21\\cf1 \\'c4\\'e3\\f0\\fs32\\cf2 x\\cf0 y}"
        << QStringList{"L|你{宋体 10.5 #ff0000}x{Arial 16 #0000ff}y{Arial 16}"};
    QTest::newRow("colour index beyond the table is automatic")
        << tables + "\\cf9 x}" << QStringList{"L|x{Arial 12}"};
    QTest::newRow("plain resets characters, not the paragraph")
        << tables + "\\qc\\f1\\b\\i\\cf1\\fs40 a\\plain b}"
        << QStringList{"C|a{宋体 20 B I #ff0000}b{Arial 12}"};
    QTest::newRow("groups restore formatting")
        << tables + "a{\\b b{\\i c}d}e}"
        << QStringList{"L|a{Arial 12}b{Arial 12 B}c{Arial 12 B I}d{Arial 12 B}e{Arial 12}"};
    QTest::newRow("alignment per paragraph, pard resets")
        << tables + "\\qc c\\par\\qr r\\par\\qj j\\par\\pard l\\par\\qc\\ql l2\\par}"
        << QStringList{"C|c{Arial 12}", "R|r{Arial 12}", "J|j{Arial 12}", "L|l{Arial 12}",
                       "L|l2{Arial 12}"};
    QTest::newRow("alignment stated at the paragraph end wins")
        << tables + "a\\qc\\par b\\par}" << QStringList{"C|a{Arial 12}", "C|b{Arial 12}"};
    QTest::newRow("line and tab") << tables + "a\\line b\\tab c}"
                                  << QStringList{"L|a\u2028b\tc{Arial 12}"};
    QTest::newRow("empty paragraphs keep their size")
        << tables + "\\fs48\\par\\par x\\par}" << QStringList{"L|", "L|", "L|x{Arial 24}"};
    QTest::newRow("last par ends the document")
        << tables + "a\\par}" << QStringList{"L|a{Arial 12}"};
    QTest::newRow("text after the last par is a paragraph")
        << tables + "a\\par b}" << QStringList{"L|a{Arial 12}", "L|b{Arial 12}"};
    QTest::newRow("hidden text") << tables + "a\\v hidden\\v0 b}" << QStringList{"L|ab{Arial 12}"};
    QTest::newRow("table cells and rows")
        << tables + "\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row\\intbl c\\cell "
                    "d\\cell\\row\\pard e\\par}"
        << QStringList{
               "L|",           "L|a{Arial 12}", "L|b{Arial 12}", "L|c{Arial 12}", "L|d{Arial 12}",
               "L|e{Arial 12}"};
    QTest::newRow("empty first cell") << tables + "\\intbl\\cell b\\cell\\cell\\row}"
                                      << QStringList{"L|", "L|", "L|b{Arial 12}", "L|", "L|"};
    QTest::newRow("empty cells in the middle")
        << tables + "\\intbl a\\cell\\cell b\\cell\\row}"
        << QStringList{"L|", "L|a{Arial 12}", "L|", "L|b{Arial 12}", "L|"};
    QTest::newRow("highlight") << tables + "\\highlight2 x\\highlight0 y}"
                               << QStringList{"L|x{Arial 12 bg#0000ff}y{Arial 12}"};
    QTest::newRow("font table without groups")
        << QByteArray("{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1\\froman Times;}\\f1 x}")
        << QStringList{"L|x{Times 12}"};
    QTest::newRow("font name from the unicode part of upr")
        << QByteArray("{\\rtf1{\\fonttbl{\\upr{\\f0\\fcharset134 \\'cb\\'ce;}"
                      "{\\*\\ud{\\f0\\fcharset134 \\u23435?\\u20307?;}}}}\\f0 x}")
        << QStringList{"L|x{宋体 12}"};
    QTest::newRow("font name with alternate and panose")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset134{\\*\\panose 02010600030101010101}"
                      "\\'cb\\'ce\\'cc\\'e5{\\*\\falt SimSun};}}\\f0 x}")
        << QStringList{"L|x{宋体 12}"};
    QTest::newRow("backslash-newline is a paragraph")
        << tables + "a\\\nb}" << QStringList{"L|a{Arial 12}", "L|b{Arial 12}"};
}

void TestRtfReader::formatting()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, paragraphs);
    QTextDocument doc;
    QVERIFY(rtf::readRtf(data, &doc).ok);
    QCOMPARE(describe(doc), paragraphs);
}

void TestRtfReader::destinations_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");

    QTest::newRow("unknown starred destination")
        << QByteArray("{\\rtf1 a{\\*\\unknownthing b{c}d}e}") << "ae";
    QTest::newRow("unknown unstarred word is ignored, text kept")
        << QByteArray("{\\rtf1 a{\\unknownthing b}c}") << "abc";
    QTest::newRow("info") << QByteArray("{\\rtf1{\\info{\\title T}{\\author A}}x}") << "x";
    QTest::newRow("stylesheet") << QByteArray(
                                       "{\\rtf1{\\stylesheet{\\s0 Normal;}{\\s1 heading 1;}}x}")
                                << "x";
    QTest::newRow("picture") << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e47}b}")
                             << QStringLiteral("a\uFFFCb");
    QTest::newRow("header and footer") << QByteArray("{\\rtf1{\\header h}{\\footerl f}x}") << "x";
    QTest::newRow("footnote") << QByteArray("{\\rtf1 a{\\footnote note}b}") << "ab";
    QTest::newRow("field result, instruction skipped")
        << QByteArray("{\\rtf1{\\field{\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}}}") << "shown";
    QTest::newRow("list text kept, list table skipped")
        << QByteArray("{\\rtf1{\\*\\listtable{\\list{\\listlevel{\\leveltext \\'02\\'00.;}}}}"
                      "{\\listtext 1.\\tab}item}")
        << "item";
    QTest::newRow("nested table fallback skipped")
        << QByteArray("{\\rtf1 a\\nestcell b\\nestcell{\\*\\nesttableprops\\nestrow}"
                      "{\\nonesttables fallback\\par}c}")
        << "a\nb\nc";
    QTest::newRow("theme data")
        << QByteArray("{\\rtf1{\\*\\themedata 504b0304}{\\*\\colorschememapping 3c3f}x}") << "x";
    QTest::newRow("colour table text is not body text")
        << QByteArray("{\\rtf1{\\colortbl;\\red1\\green2\\blue3;junk}x}") << "x";
    QTest::newRow("font table braces in names")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 A\\{b\\};}}x}") << "x";
    QTest::newRow("shape result text is read, instructions not")
        << QByteArray("{\\rtf1{\\shp{\\*\\shpinst{\\sp{\\sn a}{\\sv b}}}{\\shprslt r}}}") << "r";
    QTest::newRow("section break inside text")
        << QByteArray("{\\rtf1 one\\sect two\\par}") << "one\ntwo";
    QTest::newRow("page break inside text")
        << QByteArray("{\\rtf1 one\\page two\\par}") << "one\ntwo";
    QTest::newRow("column break inside text")
        << QByteArray("{\\rtf1 one\\column two\\par}") << "one\ntwo";
    QTest::newRow("page break after a paragraph mark adds no line")
        << QByteArray("{\\rtf1 one\\par\\page two\\par}") << "one\ntwo";
    QTest::newRow("section break after a paragraph mark adds no line")
        << QByteArray("{\\rtf1 one\\par\\sect\\sectd two\\par}") << "one\ntwo";
    QTest::newRow("page break after GBK bytes")
        << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\page \\'ce\\'c4}") << "中\n文";
    QTest::newRow("page break in a skipped destination")
        << QByteArray("{\\rtf1 a{\\header h\\page x}b}") << "ab";
}

void TestRtfReader::destinations()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, text);
    QCOMPARE(plainText(data), text);
}

void TestRtfReader::replacesContentAndUndo()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("old text"));
    QTextCursor(&doc).insertText(QStringLiteral("more "));
    QVERIFY(doc.isUndoAvailable());
    doc.setModified(true);
    const rtf::ReadResult r = rtf::readRtf("{\\rtf1 {\\b new}\\par}", &doc);
    QVERIFY(r.ok);
    QCOMPARE(r.paragraphs, 1);
    QCOMPARE(describe(doc), QStringList{"L|new{- 12 B}"});
    QVERIFY(!doc.isUndoAvailable());
    QVERIFY(!doc.isModified());
    QVERIFY(doc.isUndoRedoEnabled());
}

void TestRtfReader::insertAtCursor()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("A[sel]Z"));
    QTextCursor cursor(&doc);
    cursor.setPosition(1);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    const rtf::ReadResult r = rtf::insertRtf("{\\rtf1 {\\b x}\\par\\qc y\\par}", cursor);
    QVERIFY(r.ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("Ax\nyZ"));
    QCOMPARE(doc.findBlockByNumber(1).blockFormat().alignment(), Qt::AlignHCenter);

    QTextCursor other(&doc);
    QVERIFY(!rtf::insertRtf("not rtf", other).ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("Ax\nyZ"));
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
