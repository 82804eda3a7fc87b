#include "rtfwriter.h"

#include "rtfdocumentparts.h"
#include "rtfpagesetup.h"

#include "platform/codepage.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <map>
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
    int spacing = 0; // twips between characters
    QString href;    // hyperlink target

    bool operator==(const RunProps &) const = default;
};

struct Piece
{
    QString text;
    RunProps props;
    QByteArray picture; // RTF of a picture; the piece then has no text
};

enum class End : quint8 { Open, Par, Cell, NestCell };

struct Block
{
    std::vector<Piece> pieces;
    RunProps endProps; // formatting of the paragraph mark
    QTextBlockFormat format;
    int formatIndex = -1;
    End end = End::Open;
    int depth = 0; // table nesting
    int list = 0;  // \ls number, 0: none
    int level = 0;
    QString listText;  // the item's number or bullet, for readers without lists
    QByteArray before; // row definitions written before the paragraph
    QByteArray after;  // row ends written after its mark
};

// One list of the list table: Qt keeps each nesting level as a list of its own, RTF keeps the
// levels of one list together.
struct ListFamily
{
    std::map<int, QTextListFormat> levels;
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

    bool collectFrame(QTextFrame *frame, int depth);
    bool collectItems(QTextFrame::iterator it, int depth);
    bool collectCell(const QTextTableCell &cell, int depth);
    bool collectTable(QTextTable *table, int depth);
    Block collectBlock(const QTextBlock &b, int from, int to, int depth);
    QByteArray rowDefinition(QTextTable *table, int row, const std::vector<int> &edges);
    QByteArray pictureOf(const QTextImageFormat &format);
    void assignList(Block &out, const QTextBlock &b);
    void writeLists();
    void writeParagraphProps(const Block &b);
    bool progressed();

    const QTextDocument &m_doc;
    Progress m_progress;
    qint64 m_done = 0;
    std::map<const QTextList *, std::pair<int, int>> m_listOf; // -> (family, level)
    std::vector<ListFamily> m_families;
    const QTextList *m_previousList = nullptr;
    QByteArray m_out;
    QHash<int, QByteArray> m_paragraphWords; // by block format index
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
    if (format.fontLetterSpacingType() == QFont::AbsoluteSpacing) {
        p.spacing = qRound(format.fontLetterSpacing() * 15);
    }
    if (format.isAnchor()) {
        p.href = format.anchorHref();
    }
    return p;
}

bool Writer::progressed()
{
    return !m_progress || ++m_done % 4096 != 0 || m_progress(m_done, m_doc.blockCount());
}

Block Writer::collectBlock(const QTextBlock &b, int from, int to, int depth)
{
    const int blockStart = b.position();
    const int blockEnd = blockStart + b.length() - 1; // position of the paragraph mark
    Block out;
    out.format = b.blockFormat();
    out.formatIndex = b.blockFormatIndex();
    out.depth = depth;
    out.end = to > blockEnd ? End::Par : End::Open;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        const int start = std::max(from, f.position());
        const int end = std::min(to, f.position() + f.length());
        if (start >= end) {
            continue;
        }
        const QString text = f.text().mid(start - f.position(), end - start);
        const QTextCharFormat cf = f.charFormat();
        const RunProps props = propsOf(cf);
        if (cf.isImageFormat()) {
            const QByteArray picture = pictureOf(cf.toImageFormat());
            for (qsizetype i = 0; i < text.size(); ++i) {
                out.pieces.push_back(Piece{QString(), props, picture});
            }
            continue;
        }
        if (!isAscii(text)) {
            m_fontHasWide[std::size_t(props.font)] = true;
        }
        if (!out.pieces.empty() && out.pieces.back().props == props &&
            out.pieces.back().picture.isEmpty()) {
            out.pieces.back().text += text;
        } else {
            out.pieces.push_back(Piece{text, props, {}});
        }
    }
    // Tables list fonts and colours in the order the text uses them.
    out.endProps = out.pieces.empty() ? propsOf(b.charFormat()) : out.pieces.back().props;
    assignList(out, b);
    return out;
}

void Writer::assignList(Block &out, const QTextBlock &b)
{
    const QTextList *list = b.textList();
    if (!list) {
        m_previousList = nullptr;
        return;
    }
    const QTextListFormat format = list->format();
    const int level = std::clamp(format.indent() - 1, 0, 8);
    auto it = m_listOf.find(list);
    if (it == m_listOf.end()) {
        // A list met right after an item of another list is a level of that list's family.
        int family = -1;
        if (m_previousList) {
            const auto prev = m_listOf.find(m_previousList);
            if (prev != m_listOf.end() && prev->second.second != level) {
                family = prev->second.first;
            }
        }
        if (family < 0) {
            family = int(m_families.size());
            m_families.emplace_back();
        }
        m_families[std::size_t(family)].levels.try_emplace(level, format);
        it = m_listOf.emplace(list, std::make_pair(family, level)).first;
    }
    m_previousList = list;
    out.list = it->second.first + 1;
    out.level = it->second.second;
    switch (format.style()) {
    case QTextListFormat::ListDisc:
        out.listText = QStringLiteral("\u2022");
        break;
    case QTextListFormat::ListCircle:
        out.listText = QStringLiteral("\u25E6");
        break;
    case QTextListFormat::ListSquare:
        out.listText = QStringLiteral("\u25AA");
        break;
    default:
        out.listText = list->itemText(b);
        break;
    }
}

QByteArray Writer::pictureOf(const QTextImageFormat &format)
{
    const QString name = format.name();
    // A picture that came in as RTF goes back as it came.
    const QByteArray kept =
        m_doc.resource(QTextDocument::UserResource, parts::keptPicture(name)).toByteArray();
    if (!kept.isEmpty()) {
        return kept;
    }
    const QVariant resource = m_doc.resource(QTextDocument::ImageResource, QUrl(name));
    QImage image;
    if (resource.canConvert<QImage>() && resource.typeId() != QMetaType::QByteArray) {
        image = resource.value<QImage>();
    } else if (resource.typeId() == QMetaType::QPixmap) {
        image = resource.value<QPixmap>().toImage();
    } else if (resource.typeId() == QMetaType::QByteArray) {
        image.loadFromData(resource.toByteArray());
    }
    if (image.isNull()) {
        image.load(QUrl(name).isLocalFile() ? QUrl(name).toLocalFile() : name);
    }
    if (image.isNull()) {
        return {};
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const qreal width = format.width() > 0 ? format.width() : image.width();
    const qreal height = format.height() > 0 ? format.height() : image.height();
    QByteArray out = "{\\pict\\picw" + QByteArray::number(image.width()) + "\\pich" +
                     QByteArray::number(image.height()) + "\\picwgoal" +
                     QByteArray::number(qRound(width * 15)) + "\\pichgoal" +
                     QByteArray::number(qRound(height * 15)) + "\\pngblip\r\n";
    const QByteArray hex = png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        out += hex.mid(i, 128) + "\r\n";
    }
    out += '}';
    return out;
}

// Writes the content of a frame (the document or a cell) block by block.
bool Writer::collectFrame(QTextFrame *frame, int depth)
{
    return collectItems(frame->begin(), depth);
}

// The blocks and the frames (tables among them) from `it` to the end of its frame or cell.
bool Writer::collectItems(QTextFrame::iterator it, int depth)
{
    for (; !it.atEnd(); ++it) {
        if (QTextFrame *child = it.currentFrame()) {
            QTextTable *table = qobject_cast<QTextTable *>(child);
            if (!(table ? collectTable(table, depth + 1) : collectFrame(child, depth))) {
                return false;
            }
        } else {
            if (!progressed()) {
                return false;
            }
            m_blocks.push_back(collectBlock(it.currentBlock(), 0, m_doc.characterCount(), depth));
        }
    }
    return true;
}

bool Writer::collectCell(const QTextTableCell &cell, int depth)
{
    const std::size_t first = m_blocks.size();
    if (!collectItems(cell.begin(), depth)) {
        return false;
    }
    if (m_blocks.size() == first || m_blocks.back().depth != depth) {
        Block empty;
        empty.depth = depth;
        m_blocks.push_back(empty);
    }
    m_blocks.back().end = depth == 1 ? End::Cell : End::NestCell;
    return true;
}

QByteArray Writer::rowDefinition(QTextTable *table, int row, const std::vector<int> &edges)
{
    const QTextTableFormat tf = table->format();
    const QTextTableCellFormat first = table->cellAt(row, 0).format().toTableCellFormat();
    const qreal padding = first.hasProperty(QTextFormat::TableCellLeftPadding) ? first.leftPadding()
                                                                               : tf.cellPadding();
    QByteArray out = "\\trowd\\trgaph" + QByteArray::number(qRound(padding * 15)) + "\\trleft" +
                     QByteArray::number(edges.front());
    const qreal tableBorder = tf.border();
    for (int c = 0; c < table->columns();) {
        const QTextTableCell cell = table->cellAt(row, c);
        const QTextTableCellFormat cf = cell.format().toTableCellFormat();
        if (cell.row() != row) {
            out += "\\clvmrg";
        } else if (cell.rowSpan() > 1) {
            out += "\\clvmgf";
        }
        if (cf.verticalAlignment() == QTextCharFormat::AlignMiddle) {
            out += "\\clvertalc";
        } else if (cf.verticalAlignment() == QTextCharFormat::AlignBottom) {
            out += "\\clvertalb";
        }
        struct Side
        {
            const char *word;
            int width, style;
            QBrush brush;
        };
        const auto side = [&](QTextFormat::Property width, QTextFormat::Property style,
                              QTextFormat::Property brush) {
            const bool own = cf.hasProperty(width);
            return std::make_tuple(own ? cf.doubleProperty(width) : tableBorder,
                                   own ? cf.intProperty(style) : int(tf.borderStyle()),
                                   own ? cf.brushProperty(brush) : tf.borderBrush());
        };
        const std::tuple<qreal, int, QBrush> sides[4] = {
            side(QTextFormat::TableCellTopBorder, QTextFormat::TableCellTopBorderStyle,
                 QTextFormat::TableCellTopBorderBrush),
            side(QTextFormat::TableCellLeftBorder, QTextFormat::TableCellLeftBorderStyle,
                 QTextFormat::TableCellLeftBorderBrush),
            side(QTextFormat::TableCellBottomBorder, QTextFormat::TableCellBottomBorderStyle,
                 QTextFormat::TableCellBottomBorderBrush),
            side(QTextFormat::TableCellRightBorder, QTextFormat::TableCellRightBorderStyle,
                 QTextFormat::TableCellRightBorderBrush)};
        static const char *const words[4] = {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr"};
        for (int i = 0; i < 4; ++i) {
            const auto &[width, style, brush] = sides[i];
            if (width <= 0 || style == QTextFrameFormat::BorderStyle_None) {
                continue;
            }
            out += words[i];
            switch (style) {
            case QTextFrameFormat::BorderStyle_Double:
                out += "\\brdrdb";
                break;
            case QTextFrameFormat::BorderStyle_Dotted:
                out += "\\brdrdot";
                break;
            case QTextFrameFormat::BorderStyle_Dashed:
                out += "\\brdrdash";
                break;
            case QTextFrameFormat::BorderStyle_DotDash:
                out += "\\brdrdashd";
                break;
            case QTextFrameFormat::BorderStyle_DotDotDash:
                out += "\\brdrdashdd";
                break;
            case QTextFrameFormat::BorderStyle_Inset:
                out += "\\brdrinset";
                break;
            case QTextFrameFormat::BorderStyle_Outset:
                out += "\\brdroutset";
                break;
            case QTextFrameFormat::BorderStyle_Groove:
                out += "\\brdrengrave";
                break;
            case QTextFrameFormat::BorderStyle_Ridge:
                out += "\\brdremboss";
                break;
            default:
                out += "\\brdrs";
                break;
            }
            out += "\\brdrw" + QByteArray::number(std::clamp(qRound(width * 15), 1, 255));
            if (brush.style() != Qt::NoBrush) {
                out += "\\brdrcf" + QByteArray::number(colourIndex(brush));
            }
        }
        if (cf.background().style() != Qt::NoBrush) {
            out += "\\clcbpat" + QByteArray::number(colourIndex(cf.background()));
        }
        const int next = std::min(table->columns(), cell.column() + cell.columnSpan());
        out += "\\cellx" + QByteArray::number(edges[std::size_t(next)]);
        c = std::max(c + 1, next);
    }
    return out;
}

bool Writer::collectTable(QTextTable *table, int depth)
{
    // Column edges in twips, from the width constraints where the table has them.
    const QTextTableFormat tf = table->format();
    const PageSetup page = pageSetup(m_doc);
    const qreal textWidth = page.present ? page.paperTwips.width() - page.marginsTwips.left() -
                                               page.marginsTwips.right()
                                         : 9000.0;
    const QList<QTextLength> constraints = tf.columnWidthConstraints();
    const int columns = table->columns();
    std::vector<qreal> widths(std::size_t(columns), -1);
    qreal fixed = 0;
    int variable = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength l = c < constraints.size() ? constraints[c] : QTextLength();
        if (l.type() == QTextLength::FixedLength) {
            widths[std::size_t(c)] = l.rawValue() * 15;
        } else if (l.type() == QTextLength::PercentageLength) {
            widths[std::size_t(c)] = l.rawValue() * textWidth / 100.0;
        }
        if (widths[std::size_t(c)] >= 0) {
            fixed += widths[std::size_t(c)];
        } else {
            ++variable;
        }
    }
    const qreal share = variable > 0 ? std::max(360.0, (textWidth - fixed) / variable) : 0;
    std::vector<int> edges{std::max(0, qRound(tf.leftMargin() * 15))};
    for (int c = 0; c < columns; ++c) {
        const qreal w = widths[std::size_t(c)] >= 0 ? widths[std::size_t(c)] : share;
        edges.push_back(edges.back() + std::max(15, qRound(w)));
    }
    for (int r = 0; r < table->rows(); ++r) {
        const QByteArray definition = rowDefinition(table, r, edges);
        const std::size_t first = m_blocks.size();
        bool nested = false;
        for (int c = 0; c < columns;) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() == r) {
                const std::size_t before = m_blocks.size();
                if (!collectCell(cell, depth)) {
                    return false;
                }
                for (std::size_t i = before; i < m_blocks.size(); ++i) {
                    nested = nested || m_blocks[i].depth > depth;
                }
            } else {
                Block empty; // the part of a cell merged from the row above
                empty.depth = depth;
                empty.end = depth == 1 ? End::Cell : End::NestCell;
                m_blocks.push_back(empty);
            }
            c = std::max(c + 1, cell.column() + cell.columnSpan());
        }
        if (m_blocks.size() == first) {
            continue;
        }
        if (depth == 1) {
            m_blocks[first].before = definition + "\r\n" + m_blocks[first].before;
            // Rows holding nested tables state their own cells again, as the nested rows
            // defined other cells in between.
            m_blocks.back().after += (nested ? definition : QByteArray()) + "\\row\r\n";
        } else {
            m_blocks.back().after +=
                "{\\*\\nesttableprops " + definition + "\\nestrow}{\\nonesttables\\par}\r\n";
        }
    }
    return true;
}

bool Writer::collect(int from, int to, const Progress &progress)
{
    m_progress = progress;
    if (from == 0 && to >= m_doc.characterCount() - 1 &&
        !m_doc.rootFrame()->childFrames().isEmpty()) {
        return collectFrame(m_doc.rootFrame(), 0);
    }
    // A document without tables, or part of one as the clipboard holds it: paragraphs only.
    for (QTextBlock b = m_doc.findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
        if (!progressed()) {
            return false;
        }
        m_blocks.push_back(collectBlock(b, from, to, 0));
        if (m_blocks.back().end == End::Open) {
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
    writeLists();
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
    const QByteArray kept = m_doc.property(parts::keptGroups).toByteArray();
    if (!kept.isEmpty()) {
        m_out += "\r\n" + kept;
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
    if (p.spacing != c.spacing) {
        m_out += "\\expndtw" + QByteArray::number(p.spacing);
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

void Writer::writeParagraphProps(const Block &b)
{
    const QTextBlockFormat &f = b.format;
    auto twips = [this](const char *word, qreal pixels) {
        m_out += word + QByteArray::number(qRound(pixels * 15));
    };
    if (b.list > 0) {
        // The item's number for readers without lists; readers with lists skip it. It comes
        // first: its own \pard must not reset what follows.
        m_out += "{\\pntext\\pard\\plain ";
        const RunProps saved = m_current;
        const int savedUc = m_uc;
        m_current = RunProps{};
        m_current.font = -1;
        m_current.halfPoints = -1;
        writeProps(b.pieces.empty() ? b.endProps : b.pieces.front().props);
        writeText(b.listText);
        m_out += "\\tab}";
        m_current = saved;
        m_uc = savedUc; // \uc ends with its group
    }
    if (b.depth > 0) {
        m_out += "\\intbl";
        if (b.depth > 1) {
            m_out += "\\itap" + QByteArray::number(b.depth);
        }
    }
    // Documents use few paragraph formats; each is put into words once.
    const int key = b.list > 0 ? -1 : b.formatIndex;
    auto cached = m_paragraphWords.constFind(key);
    if (key < 0 || cached == m_paragraphWords.cend()) {
        const qsizetype start = m_out.size();
        const Qt::Alignment align = f.alignment();
        if (align & Qt::AlignHCenter) {
            m_out += "\\qc";
        } else if (align & Qt::AlignRight) {
            m_out += "\\qr";
        } else if (align & Qt::AlignJustify) {
            m_out += "\\qj";
        }
        if (b.list > 0) {
            m_out += "\\ls" + QByteArray::number(b.list) + "\\ilvl" + QByteArray::number(b.level) +
                     "\\fi-360\\li" + QByteArray::number(720 * (b.level + 1));
        } else {
            if (f.leftMargin() != 0) {
                twips("\\li", f.leftMargin());
            }
            if (f.textIndent() != 0) {
                twips("\\fi", f.textIndent());
            }
        }
        if (f.rightMargin() != 0) {
            twips("\\ri", f.rightMargin());
        }
        if (f.topMargin() != 0) {
            twips("\\sb", f.topMargin());
        }
        if (f.bottomMargin() != 0) {
            twips("\\sa", f.bottomMargin());
        }
        switch (f.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            if (f.lineHeight() > 0 && f.lineHeight() != 100) {
                m_out +=
                    "\\sl" + QByteArray::number(qRound(f.lineHeight() * 240 / 100)) + "\\slmult1";
            }
            break;
        case QTextBlockFormat::MinimumHeight:
            twips("\\sl", f.lineHeight());
            m_out += "\\slmult0";
            break;
        case QTextBlockFormat::FixedHeight:
            twips("\\sl-", f.lineHeight());
            m_out += "\\slmult0";
            break;
        default:
            break;
        }
        for (const QTextOption::Tab &t : f.tabPositions()) {
            switch (t.type) {
            case QTextOption::RightTab:
                m_out += "\\tqr";
                break;
            case QTextOption::CenterTab:
                m_out += "\\tqc";
                break;
            case QTextOption::DelimiterTab:
                m_out += "\\tqdec";
                break;
            default:
                break;
            }
            twips("\\tx", t.position);
        }
        if (f.nonBreakableLines()) {
            m_out += "\\keep";
        }
        if (f.boolProperty(parts::keepWithNext)) {
            m_out += "\\keepn";
        }
        if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) {
            m_out += "\\pagebb";
        }
        if (key >= 0) {
            m_paragraphWords.insert(key, m_out.mid(start));
        }
    } else {
        m_out += *cached;
    }
    m_out += ' ';
}

void Writer::writeBody()
{
    // The writer's idea of the current formatting starts from nothing, so the first run states
    // its font and size in full.
    m_current = RunProps{};
    m_current.font = -1;
    m_current.halfPoints = -1;
    for (const Block &b : m_blocks) {
        m_out += b.before;
        m_out += "\\pard";
        writeParagraphProps(b);
        QString link;
        RunProps outside; // formatting outside the open hyperlink field
        int outsideUc = m_uc;
        for (const Piece &p : b.pieces) {
            if (p.props.href != link) {
                if (!link.isEmpty()) {
                    m_out += "}}";
                    m_current = outside;
                    m_uc = outsideUc;
                }
                link = p.props.href;
                if (!link.isEmpty()) {
                    outside = m_current;
                    outsideUc = m_uc;
                    m_out += "{\\field{\\*\\fldinst HYPERLINK \"";
                    QString escaped = link;
                    escaped.replace(u'\\', QStringLiteral("\\\\"))
                        .replace(u'"', QStringLiteral("\\\""));
                    writeText(escaped);
                    m_out += "\"}{\\fldrslt ";
                    m_uc = outsideUc; // a \uc in the instruction ended with its group
                }
            }
            writeProps(p.props);
            if (!p.picture.isEmpty()) {
                m_out += p.picture;
            } else {
                writeText(p.text);
            }
        }
        if (!link.isEmpty()) {
            m_out += "}}";
            m_current = outside;
            m_uc = outsideUc;
        }
        switch (b.end) {
        case End::Open:
            m_out += "\r\n";
            break;
        case End::Par:
        case End::Cell:
        case End::NestCell:
            if (b.pieces.empty()) {
                writeProps(b.endProps); // an empty line keeps its size
            }
            m_out += b.end == End::Par    ? "\\par\r\n"
                     : b.end == End::Cell ? "\\cell\r\n"
                                          : "\\nestcell\r\n";
            break;
        }
        m_out += b.after;
    }
}

void Writer::writeLists()
{
    if (m_families.empty()) {
        return;
    }
    m_out += "{\\*\\listtable";
    for (std::size_t i = 0; i < m_families.size(); ++i) {
        m_out += "\r\n{\\list\\listtemplateid" + QByteArray::number(i + 1);
        for (int level = 0; level < 9; ++level) {
            const auto found = m_families[i].levels.find(level);
            QTextListFormat f;
            if (found != m_families[i].levels.end()) {
                f = found->second;
            } else {
                f.setStyle(QTextListFormat::ListDisc);
            }
            int nfc = 0;
            QString bullet;
            switch (f.style()) {
            case QTextListFormat::ListLowerAlpha:
                nfc = 4;
                break;
            case QTextListFormat::ListUpperAlpha:
                nfc = 3;
                break;
            case QTextListFormat::ListLowerRoman:
                nfc = 2;
                break;
            case QTextListFormat::ListUpperRoman:
                nfc = 1;
                break;
            case QTextListFormat::ListCircle:
                nfc = 23;
                bullet = QStringLiteral("\u25E6");
                break;
            case QTextListFormat::ListSquare:
                nfc = 23;
                bullet = QStringLiteral("\u25AA");
                break;
            case QTextListFormat::ListDecimal:
                // Numberings Qt shows as decimal keep their own format.
                if (f.hasProperty(parts::listNumberFormat)) {
                    const int kept = f.intProperty(parts::listNumberFormat);
                    nfc = kept < 1 || kept > 4 ? (kept == 23 ? 0 : kept) : 0;
                }
                break;
            default:
                nfc = 23;
                bullet = QStringLiteral("\u2022");
                break;
            }
            const int start = f.hasProperty(parts::listStart) ? f.intProperty(parts::listStart) : 1;
            m_out += "\r\n{\\listlevel\\levelnfc" + QByteArray::number(nfc) + "\\levelnfcn" +
                     QByteArray::number(nfc) + "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat" +
                     QByteArray::number(start) + "{\\leveltext";
            QByteArray numbers;
            const int savedUc = m_uc;
            if (nfc == 23) {
                m_out += "\\'01";
                writeText(bullet);
            } else {
                const QString prefix = f.numberPrefix();
                const QString suffix = f.hasProperty(QTextFormat::ListNumberSuffix)
                                           ? f.numberSuffix()
                                           : QStringLiteral(".");
                const int length = int(prefix.size() + 1 + suffix.size());
                writeHexBytes(QByteArray(1, char(std::min(length, 255))));
                writeText(prefix);
                writeHexBytes(QByteArray(1, char(level)));
                writeText(suffix);
                numbers = QByteArray(1, char(prefix.size() + 1));
            }
            m_uc = savedUc;
            m_out += ";}{\\levelnumbers";
            writeHexBytes(numbers);
            m_out += ";}\\fi-360\\li" + QByteArray::number(720 * (level + 1)) + '}';
        }
        m_out += "\\listid" + QByteArray::number(i + 1) + '}';
    }
    m_out += "}\r\n{\\*\\listoverridetable";
    for (std::size_t i = 0; i < m_families.size(); ++i) {
        m_out += "{\\listoverride\\listid" + QByteArray::number(i + 1) +
                 "\\listoverridecount0\\ls" + QByteArray::number(i + 1) + '}';
    }
    m_out += "}\r\n";
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
