#include "editor/rtf/rtfreader.h"
#include "editor/rtf/rtfwriter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
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

// What LibreOffice's XHTML export of a document shows of its structure, one aspect per list:
// tables (nesting and the text of each row's cells), pictures (their sizes), list items (kind,
// nesting level, text), links (target and text) and the indents of paragraphs outside lists.
QMap<QString, QStringList> structureOf(const QString &xhtmlPath)
{
    QMap<QString, QStringList> out;
    QFile file(xhtmlPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return out;
    }
    const QByteArray content = file.readAll();
    // Paragraph spacing sits in the style sheet, by class.
    QMap<QString, QString> spacing;
    static const QRegularExpression classRule(QStringLiteral(R"(\.(\w+) \{([^}]*)\})"));
    for (const auto &m : classRule.globalMatch(QString::fromUtf8(content))) {
        QStringList kept;
        for (const QString &p : m.captured(2).split(u';')) {
            const QString name = p.section(u':', 0, 0).trimmed();
            if (name == u"margin-left" || name == u"text-indent" || name == u"margin-top") {
                kept << p.trimmed();
            }
        }
        kept.sort();
        spacing[m.captured(1)] = kept.join(u' ');
    }
    QXmlStreamReader xml(content);
    QStringList open;     // element names from the root down
    QStringList rowCells; // texts of the current row's cells, per table depth
    QList<QStringList> rows;
    QStringList texts; // text of the open cells, items, links and paragraphs
    QStringList spans;
    QString href;
    QString indent;

    auto depthOf = [&open](const QString &name) {
        return int(open.count(name));
    };
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.name().toString();
        if (xml.isStartElement()) {
            const QXmlStreamAttributes a = xml.attributes();
            if (name == u"table") {
                rows.append(QStringList());
            } else if (name == u"tr") {
                rows.last().append(QString());
            } else if (name == u"img") {
                const QString style = a.value(QStringLiteral("style")).toString();
                out[QStringLiteral("pictures")]
                    << style.section(QStringLiteral("width:"), 1).section(u';', 0, 0) + u'x' +
                           style.section(QStringLiteral("height:"), 1).section(u';', 0, 0);
            } else if (name == u"a") {
                href = a.value(QStringLiteral("href")).toString();
            } else if (name == u"p" && !open.contains(u"li") && !open.contains(u"td")) {
                indent = spacing.value(a.value(QStringLiteral("class")).toString());
            }
            if (name == u"td" || name == u"li" || name == u"a" || name == u"p") {
                texts << QString();
            }
            if (name == u"td") {
                // A cell merged with the rows below. (Column spans depend on how finely
                // LibreOffice divides the columns, which differs between writers.)
                spans << a.value(QStringLiteral("rowspan")).toString();
            }
            open << name;
        } else if (xml.isCharacters() && !texts.isEmpty()) {
            texts.last() += xml.text();
        } else if (xml.isEndElement()) {
            open.removeLast();
            QString t;
            if (name == u"td" || name == u"li" || name == u"a" || name == u"p") {
                t = texts.takeLast().simplified();
                if (!texts.isEmpty()) {
                    texts.last() += u' ' + t;
                }
            }
            const QString span = name == u"td" && !spans.isEmpty() ? spans.takeLast() : QString();
            if (name == u"td" && !rows.isEmpty() && !t.isEmpty()) {
                rows.last().last() += u'|' + t + (span.isEmpty() ? QString() : u'/' + span);
            } else if (name == u"li") {
                out[QStringLiteral("lists")]
                    << QStringLiteral("%1%2 %3")
                           .arg(open.contains(u"ol") ? QStringLiteral("#") : QStringLiteral("*"))
                           .arg(depthOf(QStringLiteral("ul")) + depthOf(QStringLiteral("ol")))
                           .arg(t);
            } else if (name == u"a") {
                out[QStringLiteral("links")] << href + u' ' + t;
            } else if (name == u"p" && !indent.isEmpty() && !t.isEmpty()) {
                out[QStringLiteral("indents")] << t + u' ' + indent;
                indent.clear();
            } else if (name == u"table") {
                out[QStringLiteral("tables")] << QString::number(depthOf(QStringLiteral("table"))) +
                                                     u':' + rows.takeLast().join(u'/');
            }
        }
    }
    return out;
}

// Paper size and margins of LibreOffice's flat OpenDocument export.
QString pageOf(const QString &fodtPath)
{
    QFile file(fodtPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNextStartElement() && xml.name() == u"page-layout-properties" &&
            xml.attributes().hasAttribute(QStringLiteral("fo:page-width"))) {
            QStringList out;
            for (const char *name : {"fo:page-width", "fo:page-height", "fo:margin-left",
                                     "fo:margin-right", "fo:margin-top", "fo:margin-bottom"}) {
                out << xml.attributes().value(QString::fromLatin1(name)).toString();
            }
            return out.join(u' ');
        }
    }
    return {};
}

// A LibreOffice document with everything a user's document holds, written as HTML.
const char *richHtml()
{
    return "<html><head><meta charset=\"utf-8\">\n"
           "<style>@page { size: 29.7cm 21cm; margin: 2cm }</style></head><body>\n"
           "<p style=\"margin-left:2cm; text-indent:1cm; margin-top:0.5cm\">Indented 缩进</p>\n"
           "<table border=\"1\"><tr><td colspan=\"2\">across</td><td rowspan=\"2\">down</td></tr>\n"
           "<tr><td>b1</td><td>b2</td></tr>\n"
           "<tr><td>c1</td><td><table "
           "border=\"1\"><tr><td>n1</td><td>n2</td></tr></table></td><td>c3</td></tr>\n"
           "</table>\n"
           "<p>Pictures <img src=\"a.png\" width=\"120\" height=\"80\"> and <img src=\"b.jpg\" "
           "width=\"90\" height=\"60\"></p>\n"
           "<ul><li>bullet one<ul><li>bullet nested</li></ul></li><li>bullet two</li></ul>\n"
           "<ol><li>first<ol><li>first one</li><li>first two</li></ol></li><li>second</li></ol>\n"
           "<p>A <a href=\"https://example.org/page?x=1\">link text</a> here.</p>\n"
           "</body></html>\n";
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
    void structureSurvives_data();
    void structureSurvives();

private:
    QString convert(const QString &input, const QString &format);
    static void buildDocument(const QString &name, QTextDocument &doc);

    QTemporaryDir m_dir;
    QString m_soffice;
    int m_runs = 0;
    QString m_original;                                   // LibreOffice's RTF of the rich document
    QString m_ours;                                       // the same after our reader and writer
    QMap<QString, std::pair<QString, QString>> m_exports; // format -> (theirs, ours)
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

void TestRtfInterop::structureSurvives_data()
{
    QTest::addColumn<QString>("aspect");
    for (const char *aspect : {"tables", "pictures", "lists", "links", "indents", "page"}) {
        QTest::newRow(aspect) << QString::fromLatin1(aspect);
    }
}

void TestRtfInterop::structureSurvives()
{
    // LibreOffice writes a document with tables, pictures, lists and a link as RTF; it goes
    // through our reader and writer; LibreOffice then shows our file as it shows its own.
    QFETCH(QString, aspect);
    if (m_original.isEmpty()) {
        QImage png(120, 80, QImage::Format_RGB32);
        png.fill(Qt::red);
        QVERIFY(png.save(m_dir.filePath(QStringLiteral("a.png"))));
        QImage jpeg(90, 60, QImage::Format_RGB32);
        jpeg.fill(Qt::darkGreen);
        QVERIFY(jpeg.save(m_dir.filePath(QStringLiteral("b.jpg"))));
        const QString html = m_dir.filePath(QStringLiteral("rich.html"));
        QFile source(html);
        QVERIFY(source.open(QIODevice::WriteOnly));
        source.write(richHtml());
        source.close();
        m_original = convert(html, QStringLiteral("rtf:Rich Text Format"));
        QVERIFY(!m_original.isEmpty());
        QFile original(m_original);
        QVERIFY(original.open(QIODevice::ReadOnly));
        QTextDocument doc;
        QVERIFY(rtf::readRtf(original.readAll(), &doc).ok);
        m_ours = m_dir.filePath(QStringLiteral("ours.rtf"));
        QFile ours(m_ours);
        QVERIFY(ours.open(QIODevice::WriteOnly));
        ours.write(rtf::writeRtf(doc));
    }
    const QString format =
        aspect == u"page" ? QStringLiteral("fodt") : QStringLiteral("xhtml:XHTML Writer File:UTF8");
    QString &theirs = m_exports[format].first;
    QString &ours = m_exports[format].second;
    if (theirs.isEmpty()) {
        theirs = convert(m_original, format);
        ours = convert(m_ours, format);
    }
    QVERIFY(!theirs.isEmpty() && !ours.isEmpty());
    if (aspect == u"page") {
        // Wider than high: the landscape page of the source.
        const QStringList page = pageOf(theirs).split(u' ');
        QVERIFY(page.size() == 6 && page[0].chopped(2).toDouble() > page[1].chopped(2).toDouble());
        QCOMPARE(pageOf(ours), pageOf(theirs));
        return;
    }
    const QStringList expected = structureOf(theirs).value(aspect);
    QVERIFY2(!expected.isEmpty(), qPrintable(u"LibreOffice's own file shows no " + aspect));
    qInfo("%s: %s", qPrintable(aspect), qPrintable(expected.join(QStringLiteral(" ; "))));
    QCOMPARE(structureOf(ours).value(aspect), expected);
}

QTEST_MAIN(TestRtfInterop)
#include "tst_rtfinterop.moc"
