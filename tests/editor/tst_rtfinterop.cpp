#include "editor/rtf/rtfreader.h"
#include "editor/rtf/rtfwriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>
#include <QXmlStreamReader>

#include <map>

// Documents go through LibreOffice in both directions; what each side shows is compared character
// by character (font, size, bold, italic, underline, colour) and paragraph by paragraph
// (alignment).
namespace {

// Characters LibreOffice lays out with a document's Asian font.
bool isEastAsian(char16_t c)
{
    return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

struct Look
{
    QString family;
    QString size;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QString colour; // empty: automatic

    bool operator==(const Look &) const = default;
    QString text() const
    {
        QStringList a{family, size};
        if (bold) {
            a << QStringLiteral("B");
        }
        if (italic) {
            a << QStringLiteral("I");
        }
        if (underline) {
            a << QStringLiteral("U");
        }
        if (!colour.isEmpty()) {
            a << colour;
        }
        return u'{' + a.join(u' ') + u'}';
    }
};

// Builds "A|text{look}text{look}" from characters and their looks, merging equal neighbours.
class LineBuilder
{
public:
    explicit LineBuilder(QChar align)
        : m_line(QString(align) + u'|')
    {}
    void add(QChar c, const Look &look)
    {
        if (m_open && !(look == m_look)) {
            m_line += m_look.text();
        }
        m_look = look;
        m_open = true;
        m_line += c;
    }
    QString finish()
    {
        if (m_open) {
            m_line += m_look.text();
        }
        return m_line;
    }

private:
    QString m_line;
    Look m_look;
    bool m_open = false;
};

QString sizeText(qreal points)
{
    return QString::number(points);
}

QStringList describeOurs(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const Qt::Alignment a = b.blockFormat().alignment();
        LineBuilder line((a & Qt::AlignHCenter)   ? u'C'
                         : (a & Qt::AlignRight)   ? u'R'
                         : (a & Qt::AlignJustify) ? u'J'
                                                  : u'L');
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QFont font = f.font().resolve(doc.defaultFont());
            Look look;
            look.family = font.families().value(0, font.family());
            look.size = sizeText(font.pointSizeF());
            look.bold = font.weight() >= QFont::DemiBold;
            look.italic = font.italic();
            look.underline = f.underlineStyle() != QTextCharFormat::NoUnderline;
            if (f.foreground().style() != Qt::NoBrush) {
                look.colour = f.foreground().color().name();
            }
            for (const QChar c : it.fragment().text()) {
                line.add(c, look);
            }
        }
        out << line.finish();
    }
    return out;
}

// The parts of an OpenDocument flat file the comparison needs: font faces, styles with their
// parents, and the paragraphs with their spans.
class OdfDocument
{
public:
    bool load(const QString &path);
    QStringList describe() const { return m_lines; }
    QString error() const { return m_error; }

private:
    struct Style
    {
        QString parent;
        std::map<QString, QString> props;
    };

    const Style *styleWith(const QStringList &chain, const QStringList &names) const;
    QString prop(const QStringList &chain, const QString &name) const;
    QString colourOf(const QStringList &chain) const;
    Look lookFor(const QStringList &styles, bool east) const;
    void readStyle(QXmlStreamReader &xml, bool isDefault);
    void readParagraph(QXmlStreamReader &xml);

    std::map<QString, QString> m_fontFaces;
    std::map<QString, Style> m_styles; // by "family:name"; "paragraph:" is the default style
    QStringList m_lines;
    QString m_error;
};

const OdfDocument::Style *OdfDocument::styleWith(const QStringList &chain,
                                                 const QStringList &names) const
{
    auto has = [&names](const Style &s) {
        return std::any_of(names.begin(), names.end(),
                           [&s](const QString &n) { return s.props.count(n) > 0; });
    };
    // chain: the innermost style first, each "family:name"; parents are followed.
    for (QString key : chain) {
        for (int guard = 0; guard < 20 && !key.isEmpty(); ++guard) {
            const auto it = m_styles.find(key);
            if (it == m_styles.end()) {
                break;
            }
            if (has(it->second)) {
                return &it->second;
            }
            key = it->second.parent.isEmpty() ? QString()
                                              : key.section(u':', 0, 0) + u':' + it->second.parent;
        }
    }
    const auto d = m_styles.find(QStringLiteral("paragraph:"));
    return d != m_styles.end() && has(d->second) ? &d->second : nullptr;
}

QString OdfDocument::prop(const QStringList &chain, const QString &name) const
{
    const Style *s = styleWith(chain, {name});
    return s ? s->props.at(name) : QString();
}

QString OdfDocument::colourOf(const QStringList &chain) const
{
    // The innermost style that says anything about colour decides.
    const QString colour = QStringLiteral("color");
    const QString window = QStringLiteral("use-window-font-color");
    const Style *s = styleWith(chain, {colour, window});
    if (!s || (s->props.count(window) && s->props.at(window) == u"true")) {
        return {};
    }
    return s->props.count(colour) ? s->props.at(colour) : QString();
}

Look OdfDocument::lookFor(const QStringList &chain, bool east) const
{
    Look look;
    const QString fontName = prop(chain, east ? "font-name-asian" : "font-name");
    look.family = m_fontFaces.count(fontName) ? m_fontFaces.at(fontName) : fontName;
    QString size = prop(chain, east ? "font-size-asian" : "font-size");
    size.remove(QStringLiteral("pt"));
    look.size = sizeText(size.toDouble());
    const QString weight = prop(chain, east ? "font-weight-asian" : "font-weight");
    look.bold = weight == u"bold" || weight.toInt() >= 600;
    look.italic = prop(chain, east ? "font-style-asian" : "font-style") == u"italic";
    const QString underline = prop(chain, "text-underline-style");
    look.underline = !underline.isEmpty() && underline != u"none";
    look.colour = colourOf(chain);
    return look;
}

void OdfDocument::readStyle(QXmlStreamReader &xml, bool isDefault)
{
    const QString family = xml.attributes().value("style:family").toString();
    const QString key =
        family + u':' + (isDefault ? QString() : xml.attributes().value("style:name").toString());
    Style &style = m_styles[key];
    style.parent = xml.attributes().value("style:parent-style-name").toString();
    while (xml.readNextStartElement()) {
        if (xml.qualifiedName() == u"style:text-properties" ||
            xml.qualifiedName() == u"style:paragraph-properties") {
            for (const QXmlStreamAttribute &a : xml.attributes()) {
                style.props[a.name().toString()] = a.value().toString();
            }
        }
        xml.skipCurrentElement();
    }
}

void OdfDocument::readParagraph(QXmlStreamReader &xml)
{
    const QString paraStyle = u"paragraph:" + xml.attributes().value("text:style-name").toString();
    const QString align = prop({paraStyle}, "text-align");
    const QChar a = align == u"center"                       ? u'C'
                    : (align == u"end" || align == u"right") ? u'R'
                    : align == u"justify"                    ? u'J'
                                                             : u'L';
    // Characters with their style chains; the script of each decides after the paragraph is read,
    // since LibreOffice lays out a blank with the script of the character before it (or after
    // it, at the start).
    QString chars;
    QList<QStringList> chains;
    QStringList chain{paraStyle};
    auto addText = [&](const QString &text) {
        for (const QChar c : text) {
            chars += c;
            chains << chain;
        }
    };
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters()) {
            addText(xml.text().toString());
        } else if (xml.isStartElement()) {
            const QStringView n = xml.qualifiedName();
            if (n == u"text:span") {
                chain.prepend(u"text:" + xml.attributes().value("text:style-name").toString());
                ++depth;
            } else if (n == u"text:s") {
                const int count = xml.attributes().hasAttribute("text:c")
                                      ? xml.attributes().value("text:c").toInt()
                                      : 1;
                addText(QString(count, u' '));
                xml.skipCurrentElement();
            } else if (n == u"text:tab") {
                addText(QStringLiteral("\t"));
                xml.skipCurrentElement();
            } else if (n == u"text:line-break") {
                addText(QString(QChar::LineSeparator));
                xml.skipCurrentElement();
            } else {
                xml.skipCurrentElement(); // bookmarks, soft page breaks
            }
        } else if (xml.isEndElement()) {
            if (depth == 0) {
                break;
            }
            --depth;
            chain.removeFirst();
        }
    }
    enum Script { Weak, Latin, Asian };
    QList<Script> scripts;
    for (const QChar c : chars) {
        scripts << (c == u' ' || c == QChar::Nbsp ? Weak
                    : isEastAsian(c.unicode())    ? Asian
                                                  : Latin);
    }
    Script previous = Weak;
    for (Script &s : scripts) {
        s = s == Weak ? previous : s;
        previous = s;
    }
    Script next = Latin;
    for (qsizetype i = scripts.size() - 1; i >= 0; --i) {
        scripts[i] = scripts[i] == Weak ? next : scripts[i];
        next = scripts[i];
    }
    LineBuilder line(a);
    for (qsizetype i = 0; i < chars.size(); ++i) {
        line.add(chars[i], lookFor(chains[i], scripts[i] == Asian));
    }
    m_lines << line.finish();
}

bool OdfDocument::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot open ") + path;
        return false;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        const QStringView n = xml.qualifiedName();
        if (n == u"style:font-face") {
            QString family = xml.attributes().value("svg:font-family").toString();
            if (family.size() > 1 && family.startsWith(u'\'') && family.endsWith(u'\'')) {
                family = family.mid(1, family.size() - 2);
            }
            m_fontFaces[xml.attributes().value("style:name").toString()] = family;
        } else if (n == u"style:style") {
            readStyle(xml, false);
        } else if (n == u"style:default-style" &&
                   xml.attributes().value("style:family") == u"paragraph") {
            readStyle(xml, true);
        } else if (n == u"text:p" || n == u"text:h") {
            readParagraph(xml);
        }
    }
    if (xml.hasError()) {
        m_error = xml.errorString();
        return false;
    }
    return true;
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

// A flat OpenDocument text with explicit fonts, sizes and weights for every span, so what
// LibreOffice shows does not depend on its defaults.
QByteArray odfDocument(const QString &automaticStyles, const QString &body)
{
    return QStringLiteral(
               R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:font-face-decls>
  <style:font-face style:name="Song" svg:font-family="宋体"/>
  <style:font-face style:name="Hei" svg:font-family="黑体"/>
  <style:font-face style:name="Arial" svg:font-family="Arial"/>
  <style:font-face style:name="Times" svg:font-family="Times New Roman"/>
 </office:font-face-decls>
 <office:styles>
  <style:default-style style:family="paragraph">
   <style:text-properties style:font-name="Times" fo:font-size="12pt" fo:font-weight="normal"
    fo:font-style="normal" style:font-name-asian="Song" style:font-size-asian="12pt"
    style:font-weight-asian="normal" style:font-style-asian="normal"/>
  </style:default-style>
 </office:styles>
 <office:automatic-styles>%1</office:automatic-styles>
 <office:body><office:text>%2</office:text></office:body>
</office:document>
)")
        .arg(automaticStyles, body)
        .toUtf8();
}

// Removes every \uN (and \ucN) so only the ANSI fallback bytes carry the text, as a reader
// without Unicode support would see the file.
QByteArray withoutUnicode(const QByteArray &rtf)
{
    QString text = QString::fromLatin1(rtf);
    text.remove(QRegularExpression(QStringLiteral(R"(\\uc?-?\d+ ?)")));
    return text.toLatin1();
}

} // namespace

class TestRtfInterop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pennoteToLibreOffice_data();
    void pennoteToLibreOffice();
    void libreOfficeToPennote_data();
    void libreOfficeToPennote();
    void samplesThroughLibreOffice_data();
    void samplesThroughLibreOffice();

private:
    QString convert(const QString &input, const QString &format);
    static void buildDocument(const QString &name, QTextDocument &doc);

    QTemporaryDir m_dir;
    QString m_soffice;
    int m_runs = 0;
};

void TestRtfInterop::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // DIALVANE_KEEP_INTEROP=1 keeps the files LibreOffice read and wrote, for a closer look.
    m_dir.setAutoRemove(qEnvironmentVariableIsEmpty("DIALVANE_KEEP_INTEROP"));
    qInfo("LibreOffice files in %s", qPrintable(m_dir.path()));
    m_soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (m_soffice.isEmpty()) {
        m_soffice = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    }
    QVERIFY2(!m_soffice.isEmpty(),
             "LibreOffice is not installed (Debian package libreoffice-writer-nogui)");
}

QString TestRtfInterop::convert(const QString &input, const QString &format)
{
    const QString outDir = m_dir.filePath(QStringLiteral("out%1").arg(++m_runs));
    QDir().mkpath(outDir);
    QProcess lo;
    lo.setProcessChannelMode(QProcess::MergedChannels);
    // A private profile: nothing of the user's LibreOffice is read or changed.
    lo.start(m_soffice,
             {u"-env:UserInstallation=" +
                  QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("profile"))).toString(),
              QStringLiteral("--headless"), QStringLiteral("--norestore"),
              QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outDir, input});
    if (!lo.waitForFinished(240000)) {
        lo.kill();
        lo.waitForFinished();
        qWarning("LibreOffice did not finish: %s", lo.readAll().constData());
        return {};
    }
    const QString output = QDir(outDir).filePath(QFileInfo(input).completeBaseName() + u'.' +
                                                 format.section(u':', 0, 0));
    if (!QFile::exists(output)) {
        qWarning("LibreOffice wrote nothing: %s", lo.readAll().constData());
        return {};
    }
    return output;
}

void TestRtfInterop::buildDocument(const QString &name, QTextDocument &doc)
{
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QTextCursor c(&doc);
    const QString song = QStringLiteral("宋体");
    const QString hei = QStringLiteral("黑体");
    if (name == u"listing") {
        // What a user keeps from the lookup window: a title, listings, a note.
        c.setBlockFormat(aligned(Qt::AlignHCenter));
        c.insertText(QStringLiteral("马洛文电话黄页"), format(hei, 16, "b"));
        c.insertBlock(aligned(Qt::AlignLeft));
        c.insertText(QStringLiteral("张三 "), format(song, 10.5));
        c.insertText(QStringLiteral("0571-88886666"),
                     format(QStringLiteral("Arial"), 10.5, "b", Qt::red));
        c.insertText(QStringLiteral(" 杭州市西湖区"), format(song, 10.5, "i"));
        c.insertBlock(aligned(Qt::AlignRight));
        c.insertText(QStringLiteral("Li Si 李四"),
                     format(QStringLiteral("Times New Roman"), 12, "u", QColor(0, 0, 0xcc)));
        c.insertBlock(aligned(Qt::AlignJustify));
        c.insertText(QStringLiteral("备注：周一至周五 9:00-17:00"),
                     format(song, 9, "bi", QColor(0x33, 0x99, 0x33)));
        c.insertBlock(aligned(Qt::AlignLeft));
        c.insertBlock(aligned(Qt::AlignHCenter));
        c.insertText(QStringLiteral("完"), format(song, 20, "u"));
    } else if (name == u"attributes") {
        c.insertText(QStringLiteral("plain "), format(QStringLiteral("Arial"), 12));
        c.insertText(QStringLiteral("bold "), format(QStringLiteral("Arial"), 12, "b"));
        c.insertText(QStringLiteral("italic "), format(QStringLiteral("Arial"), 12, "i"));
        c.insertText(QStringLiteral("under"), format(QStringLiteral("Arial"), 12, "u"));
        c.insertText(QStringLiteral(" all"),
                     format(QStringLiteral("Arial"), 14, "biu", Qt::magenta));
        c.insertText(QStringLiteral(" 粗体"), format(song, 12, "b"));
        c.insertText(QStringLiteral("斜体"), format(song, 12, "i", Qt::blue));
    } else if (name == u"specials") {
        c.insertText(QStringLiteral("a{b}c\\d\tTab ；“引号”（全角）"), format(song, 12));
    }
}

void TestRtfInterop::pennoteToLibreOffice_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ansiOnly");
    QTest::newRow("listing") << "listing" << false;
    QTest::newRow("attributes") << "attributes" << false;
    QTest::newRow("specials") << "specials" << false;
    // The same listing read by LibreOffice from the GBK fallback bytes alone.
    QTest::newRow("listing, GBK bytes only") << "listing" << true;
}

void TestRtfInterop::pennoteToLibreOffice()
{
    QFETCH(QString, name);
    QFETCH(bool, ansiOnly);
    QTextDocument doc;
    buildDocument(name, doc);
    QByteArray rtf = rtf::writeRtf(doc);
    if (ansiOnly) {
        rtf = withoutUnicode(rtf);
        QVERIFY(!rtf.contains("\\uc") && !QRegularExpression(QStringLiteral(R"(\\u-?\d)"))
                                              .match(QString::fromLatin1(rtf))
                                              .hasMatch());
    }
    const QString input = m_dir.filePath(name + (ansiOnly ? "-ansi" : "") + ".rtf");
    QFile f(input);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(rtf);
    f.close();

    const QString fodt = convert(input, QStringLiteral("fodt"));
    QVERIFY(!fodt.isEmpty());
    OdfDocument odf;
    QVERIFY2(odf.load(fodt), qPrintable(odf.error()));
    QCOMPARE(odf.describe(), describeOurs(doc));
}

void TestRtfInterop::libreOfficeToPennote_data()
{
    QTest::addColumn<QByteArray>("odf");

    const QString styles = QStringLiteral(R"(
  <style:style style:name="PC" style:family="paragraph"><style:paragraph-properties fo:text-align="center"/></style:style>
  <style:style style:name="PR" style:family="paragraph"><style:paragraph-properties fo:text-align="end"/></style:style>
  <style:style style:name="PJ" style:family="paragraph"><style:paragraph-properties fo:text-align="justify"/></style:style>
  <style:style style:name="T1" style:family="text"><style:text-properties style:font-name="Song" style:font-name-asian="Song" fo:font-size="14pt" style:font-size-asian="14pt" fo:font-weight="bold" style:font-weight-asian="bold"/></style:style>
  <style:style style:name="T2" style:family="text"><style:text-properties style:font-name="Hei" style:font-name-asian="Hei" fo:font-size="10.5pt" style:font-size-asian="10.5pt" fo:font-style="italic" style:font-style-asian="italic" style:text-underline-style="solid" style:text-underline-width="auto" style:text-underline-color="font-color" fo:color="#ff0000"/></style:style>
  <style:style style:name="T3" style:family="text"><style:text-properties style:font-name="Arial" fo:font-size="12pt" fo:color="#0000ff"/></style:style>
  <style:style style:name="T4" style:family="text"><style:text-properties style:font-name="Arial" style:font-name-asian="Hei" fo:font-size="11pt" style:font-size-asian="16pt" fo:font-weight="bold"/></style:style>
)");
    QTest::newRow("chinese with formatting") << odfDocument(styles, QStringLiteral(R"(
  <text:p text:style-name="PC"><text:span text:style-name="T1">电话号码</text:span></text:p>
  <text:p text:style-name="PR"><text:span text:style-name="T2">黄页查询</text:span><text:span text:style-name="T3">Marlowen 123</text:span></text:p>
  <text:p text:style-name="PJ">默认字体 default</text:p>
  <text:p/>
  <text:p>tab<text:tab/>and<text:s text:c="3"/>spaces</text:p>
)"));
    // One span whose Latin and Chinese characters use different fonts and sizes.
    QTest::newRow("mixed scripts in one span") << odfDocument(styles, QStringLiteral(R"(
  <text:p><text:span text:style-name="T4">Tel 电话 0571，号码</text:span></text:p>
)"));
}

void TestRtfInterop::libreOfficeToPennote()
{
    QFETCH(QByteArray, odf);
    const QString input = m_dir.filePath(QStringLiteral("source%1.fodt").arg(m_runs));
    QFile f(input);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(odf);
    f.close();
    OdfDocument source;
    QVERIFY2(source.load(input), qPrintable(source.error()));

    const QString rtfPath = convert(input, QStringLiteral("rtf"));
    QVERIFY(!rtfPath.isEmpty());
    QFile rtfFile(rtfPath);
    QVERIFY(rtfFile.open(QIODevice::ReadOnly));
    QTextDocument doc;
    const rtf::ReadResult r = rtf::readRtf(rtfFile.readAll(), &doc);
    QVERIFY(r.ok);
    QVERIFY(!r.damaged);
    QCOMPARE(describeOurs(doc), source.describe());
}

void TestRtfInterop::samplesThroughLibreOffice_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("word, japanese") << "tika/testRTF-ms932.rtf";
    QTest::newRow("word, big5 list") << "libreoffice/cp950listleveltext3.rtf";
}

void TestRtfInterop::samplesThroughLibreOffice()
{
    // Japanese and Traditional Chinese documents from Word, rewritten by LibreOffice (as \uN with
    // Shift-JIS or Big5 fallbacks), read with the same text as the originals.
    QFETCH(QString, file);
    const QString path = qEnvironmentVariable("DIALVANE_SOURCE_DIR") +
                         QStringLiteral("/../shared/rtf-samples/") + file;
    QVERIFY2(QFile::exists(path), qPrintable(u"missing RTF sample " + path));
    QFile original(path);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QTextDocument ours;
    QVERIFY(rtf::readRtf(original.readAll(), &ours).ok);

    const QString copy = m_dir.filePath(QStringLiteral("sample%1.rtf").arg(m_runs));
    QVERIFY(QFile::copy(path, copy));
    const QString fodt = convert(copy, QStringLiteral("fodt"));
    QVERIFY(!fodt.isEmpty());
    const QString again = convert(fodt, QStringLiteral("rtf"));
    QVERIFY(!again.isEmpty());
    QFile rewritten(again);
    QVERIFY(rewritten.open(QIODevice::ReadOnly));
    QTextDocument theirs;
    QVERIFY(rtf::readRtf(rewritten.readAll(), &theirs).ok);
    QCOMPARE(theirs.toPlainText().trimmed(), ours.toPlainText().trimmed());
}

QTEST_MAIN(TestRtfInterop)
#include "tst_rtfinterop.moc"
