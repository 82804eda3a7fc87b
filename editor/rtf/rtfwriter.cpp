#include "rtfwriter.h"

#include "rtfpagesetup.h"

#include "platform/codepage.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>
#include <vector>

namespace rtf {

namespace {

// What one stretch of text looks like in RTF terms.
struct RunProps
{
    int font = 0; // font table index
    int halfPoints = 24;
    int foreground = 0; // colour table index, 0: automatic
    int background = 0;
    int underline = QTextCharFormat::NoUnderline;
    int vertical = 0; // 0 normal, 1 superscript, 2 subscript
    int caps = 0;     // 0 none, 1 all capitals, 2 small capitals
    bool bold = false;
    bool italic = false;
    bool strike = false;

    bool operator==(const RunProps &) const = default;
};

struct Piece
{
    QString text;
    RunProps props;
};

struct Block
{
    std::vector<Piece> pieces;
    RunProps endProps; // formatting of the paragraph mark
    Qt::Alignment align;
    bool terminated = false; // the paragraph mark is part of what is written
};

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

class Writer
{
public:
    explicit Writer(const QTextDocument &doc)
        : m_doc(doc)
    {
        // Font 0 is the document's default font, which \deff0 names.
        fontIndex(familyOf(doc.defaultFont()));
    }

    // Empty when the progress callback asked to stop.
    QByteArray write(int from, int to, const Progress &progress = {});

private:
    static QString familyOf(const QFont &font)
    {
        const QStringList families = font.families();
        return families.isEmpty() ? font.family() : families.first();
    }

    int fontIndex(const QString &family);
    int colourIndex(const QBrush &brush);
    RunProps propsOf(const QTextCharFormat &format);
    bool collect(int from, int to, const Progress &progress);
    void writeHeader();
    void writeBody();
    void writeProps(const RunProps &props);
    void writeText(QStringView text);
    void writeUnicode(char16_t unit, const QByteArray &fallback);
    const QByteArray &fallbackOf(char16_t c);
    void writeHexBytes(const QByteArray &bytes);
    void writeFontName(const QString &name, bool gbk);

    const QTextDocument &m_doc;
    QByteArray m_out;
    std::vector<Block> m_blocks;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QHash<QRgb, int> m_colourIndex;
    std::vector<bool> m_fontHasWide; // the font carries text beyond ASCII
    std::vector<QColor> m_colours;
    RunProps m_current;
    int m_uc = 1;
    QHash<char16_t, QByteArray> m_fallbacks; // GBK bytes of each character met so far
};

int Writer::fontIndex(const QString &family)
{
    const auto it = m_fontIndex.constFind(family);
    if (it != m_fontIndex.cend()) {
        return *it;
    }
    m_fonts.append(family);
    m_fontHasWide.push_back(false);
    const int index = int(m_fonts.size() - 1);
    m_fontIndex.insert(family, index);
    return index;
}

int Writer::colourIndex(const QBrush &brush)
{
    if (brush.style() == Qt::NoBrush) {
        return 0;
    }
    const QColor c = brush.color().toRgb();
    const auto it = m_colourIndex.constFind(c.rgb());
    if (it != m_colourIndex.cend()) {
        return *it;
    }
    m_colours.push_back(c);
    m_colourIndex.insert(c.rgb(), int(m_colours.size()));
    return int(m_colours.size());
}

RunProps Writer::propsOf(const QTextCharFormat &format)
{
    const QFont font = format.font().resolve(m_doc.defaultFont());
    RunProps p;
    p.font = fontIndex(familyOf(font));
    qreal points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0) {
        points = font.pixelSize() * 72.0 / 96.0;
    }
    p.halfPoints = points > 0 ? std::clamp(qRound(points * 2), 2, 3276) : 24;
    p.bold = font.weight() >= QFont::DemiBold;
    p.italic = font.italic();
    p.strike = font.strikeOut();
    const QTextCharFormat::UnderlineStyle u = format.underlineStyle();
    if (u != QTextCharFormat::NoUnderline && u != QTextCharFormat::SpellCheckUnderline) {
        p.underline = u;
    } else if (font.underline()) {
        p.underline = QTextCharFormat::SingleUnderline;
    }
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript:
        p.vertical = 1;
        break;
    case QTextCharFormat::AlignSubScript:
        p.vertical = 2;
        break;
    default:
        break;
    }
    if (font.capitalization() == QFont::AllUppercase) {
        p.caps = 1;
    } else if (font.capitalization() == QFont::SmallCaps) {
        p.caps = 2;
    }
    p.foreground = colourIndex(format.foreground());
    p.background = colourIndex(format.background());
    return p;
}

bool Writer::collect(int from, int to, const Progress &progress)
{
    const qint64 total = m_doc.blockCount();
    qint64 done = 0;
    for (QTextBlock b = m_doc.findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
        if (progress && ++done % 4096 == 0 && !progress(done, total)) {
            return false;
        }
        const int blockStart = b.position();
        const int blockEnd = blockStart + b.length() - 1; // position of the paragraph mark
        Block out;
        out.align = b.blockFormat().alignment();
        out.terminated = to > blockEnd;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int start = std::max(from, f.position());
            const int end = std::min(to, f.position() + f.length());
            if (start >= end) {
                continue;
            }
            const QString text = f.text().mid(start - f.position(), end - start);
            const RunProps props = propsOf(f.charFormat());
            if (!isAscii(text)) {
                m_fontHasWide[std::size_t(props.font)] = true;
            }
            if (!out.pieces.empty() && out.pieces.back().props == props) {
                out.pieces.back().text += text;
            } else {
                out.pieces.push_back(Piece{text, props});
            }
        }
        // Tables list fonts and colours in the order the text uses them.
        out.endProps = out.pieces.empty() ? propsOf(b.charFormat()) : out.pieces.back().props;
        const bool terminated = out.terminated;
        m_blocks.push_back(std::move(out));
        if (!terminated) {
            break;
        }
    }
    return true;
}

void Writer::writeHexBytes(const QByteArray &bytes)
{
    static const char hex[] = "0123456789abcdef";
    for (const char c : bytes) {
        const uchar u = uchar(c);
        m_out += "\\'";
        m_out += hex[u >> 4];
        m_out += hex[u & 15];
    }
}

void Writer::writeFontName(const QString &name, bool gbk)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c == u';' || c == u'{' || c == u'}' || c == u'\\') {
            writeHexBytes(QByteArray(1, char(c)));
        } else if (c >= 0x20 && c < 0x80) {
            m_out += char(c);
        } else if (c >= 0x80) {
            const qsizetype len = QChar::isHighSurrogate(c) && i + 1 < name.size() ? 2 : 1;
            const QByteArray bytes = platform::toAnsi(QStringView(name).sliced(i, len));
            if (gbk && !bytes.isEmpty() && bytes != "?") {
                writeHexBytes(bytes);
            } else {
                // The table precedes \ucN of the body, so each \uN states its own count.
                for (qsizetype k = 0; k < len; ++k) {
                    m_out += "\\uc1\\u" + QByteArray::number(qint16(name[i + k].unicode())) + '?';
                }
            }
            i += len - 1;
        }
    }
}

void Writer::writeHeader()
{
    m_out += "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052\r\n{\\fonttbl";
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        // Names and text beyond ASCII are GBK, so such fonts carry the GB2312 charset.
        const bool gbk = m_fontHasWide[std::size_t(i)] || !isAscii(m_fonts[i]);
        m_out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" + (gbk ? "134 " : "0 ");
        writeFontName(m_fonts[i], gbk);
        m_out += ";}";
    }
    m_out += "}\r\n";
    if (!m_colours.empty()) {
        m_out += "{\\colortbl ;";
        for (const QColor &c : m_colours) {
            m_out += "\\red" + QByteArray::number(c.red()) + "\\green" +
                     QByteArray::number(c.green()) + "\\blue" + QByteArray::number(c.blue()) + ';';
        }
        m_out += "}\r\n";
    }
    m_out += "{\\*\\generator pennote;}";
    const PageSetup page = pageSetup(m_doc);
    if (page.present) {
        auto twips = [this](const char *word, qreal value) {
            m_out += word + QByteArray::number(qRound(value));
        };
        twips("\\paperw", page.paperTwips.width());
        twips("\\paperh", page.paperTwips.height());
        twips("\\margl", page.marginsTwips.left());
        twips("\\margr", page.marginsTwips.right());
        twips("\\margt", page.marginsTwips.top());
        twips("\\margb", page.marginsTwips.bottom());
        if (page.landscape) {
            m_out += "\\landscape";
        }
    }
    m_out += "\\viewkind4\\uc1";
}

void Writer::writeProps(const RunProps &p)
{
    RunProps &c = m_current;
    const qsizetype before = m_out.size();
    if (p.font != c.font) {
        // The same font for East Asian text (\dbch\af), as Chinese word processors expect.
        const QByteArray n = QByteArray::number(p.font);
        m_out += "\\dbch\\af" + n + "\\loch\\f" + n;
    }
    if (p.halfPoints != c.halfPoints) {
        m_out += "\\fs" + QByteArray::number(p.halfPoints);
    }
    if (p.bold != c.bold) {
        m_out += p.bold ? "\\b" : "\\b0";
    }
    if (p.italic != c.italic) {
        m_out += p.italic ? "\\i" : "\\i0";
    }
    if (p.underline != c.underline) {
        switch (p.underline) {
        case QTextCharFormat::NoUnderline:
            m_out += "\\ulnone";
            break;
        case QTextCharFormat::DotLine:
            m_out += "\\uld";
            break;
        case QTextCharFormat::DashUnderline:
            m_out += "\\uldash";
            break;
        case QTextCharFormat::DashDotLine:
            m_out += "\\uldashd";
            break;
        case QTextCharFormat::DashDotDotLine:
            m_out += "\\uldashdd";
            break;
        case QTextCharFormat::WaveUnderline:
            m_out += "\\ulwave";
            break;
        default:
            m_out += "\\ul";
            break;
        }
    }
    if (p.strike != c.strike) {
        m_out += p.strike ? "\\strike" : "\\strike0";
    }
    if (p.vertical != c.vertical) {
        m_out += p.vertical == 1 ? "\\super" : p.vertical == 2 ? "\\sub" : "\\nosupersub";
    }
    if (p.caps != c.caps) {
        if (c.caps == 1) {
            m_out += "\\caps0";
        } else if (c.caps == 2) {
            m_out += "\\scaps0";
        }
        m_out += p.caps == 1 ? "\\caps" : p.caps == 2 ? "\\scaps" : "";
    }
    if (p.foreground != c.foreground) {
        m_out += "\\cf" + QByteArray::number(p.foreground);
    }
    if (p.background != c.background) {
        m_out += "\\highlight" + QByteArray::number(p.background);
    }
    if (m_out.size() != before) {
        m_out += ' ';
    }
    c = p;
}

void Writer::writeUnicode(char16_t unit, const QByteArray &fallback)
{
    if (fallback.size() != m_uc) {
        m_uc = int(fallback.size());
        m_out += "\\uc" + QByteArray::number(m_uc);
    }
    // \uN takes a signed 16-bit value.
    m_out += "\\u" + QByteArray::number(unit > 32767 ? int(unit) - 65536 : int(unit));
    writeHexBytes(fallback);
}

const QByteArray &Writer::fallbackOf(char16_t c)
{
    auto it = m_fallbacks.constFind(c);
    if (it == m_fallbacks.cend()) {
        // The converter gives nothing for a few ignorable code points; "?" keeps \uc at one.
        QByteArray ansi = platform::toAnsi(QStringView(&c, 1));
        it = m_fallbacks.insert(c, ansi.isEmpty() ? QByteArray("?") : ansi);
    }
    return *it;
}

void Writer::writeText(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'\\':
            m_out += "\\\\";
            continue;
        case u'{':
            m_out += "\\{";
            continue;
        case u'}':
            m_out += "\\}";
            continue;
        case u'\t':
            m_out += "\\tab ";
            continue;
        case 0x2028: // line separator
        case u'\n':
            m_out += "\\line ";
            continue;
        case 0x00A0:
            m_out += "\\~";
            continue;
        case 0x00AD:
            m_out += "\\-";
            continue;
        case 0x2011:
            m_out += "\\_";
            continue;
        case 0xFFFC: // an embedded object; it has no text
            continue;
        default:
            break;
        }
        if (c < 0x20) {
            continue;
        }
        if (c < 0x80) {
            m_out += char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            // GBK cannot hold characters beyond the basic plane: "?" after each half.
            writeUnicode(c, "?");
            writeUnicode(text[i + 1].unicode(), "?");
            ++i;
            continue;
        }
        if (QChar::isSurrogate(c)) {
            writeUnicode(0xFFFD, "?");
            continue;
        }
        writeUnicode(c, fallbackOf(c));
    }
}

void Writer::writeBody()
{
    // The writer's idea of the current formatting starts from nothing, so the first run states
    // its font and size in full.
    m_current = RunProps{};
    m_current.font = -1;
    m_current.halfPoints = -1;
    for (const Block &b : m_blocks) {
        m_out += "\\pard";
        if (b.align & Qt::AlignHCenter) {
            m_out += "\\qc";
        } else if (b.align & Qt::AlignRight) {
            m_out += "\\qr";
        } else if (b.align & Qt::AlignJustify) {
            m_out += "\\qj";
        }
        m_out += ' ';
        for (const Piece &p : b.pieces) {
            writeProps(p.props);
            writeText(p.text);
        }
        if (b.terminated) {
            if (b.pieces.empty()) {
                writeProps(b.endProps); // an empty line keeps its size
            }
            m_out += "\\par\r\n";
        } else {
            m_out += "\r\n";
        }
    }
}

QByteArray Writer::write(int from, int to, const Progress &progress)
{
    if (!collect(from, to, progress)) {
        return {};
    }
    writeHeader();
    m_out += "\r\n";
    writeBody();
    m_out += "}\r\n";
    return m_out;
}

} // namespace

QByteArray writeRtf(const QTextDocument &doc)
{
    // Every paragraph, each ended with its mark.
    return Writer(doc).write(0, doc.characterCount());
}

QByteArray writeRtf(const QTextDocument &doc, const WriteOptions &options, bool *cancelled)
{
    QByteArray out = Writer(doc).write(0, doc.characterCount(), options.progress);
    if (cancelled) {
        *cancelled = out.isEmpty();
    }
    return out;
}

QByteArray writeRtf(const QTextDocument &doc, int from, int to)
{
    if (from > to) {
        std::swap(from, to);
    }
    const int last = doc.characterCount() - 1; // the final paragraph mark is not selectable
    return Writer(doc).write(std::clamp(from, 0, last), std::clamp(to, 0, last));
}

} // namespace rtf
