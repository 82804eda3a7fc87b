#include "rtfreader.h"

#include "rtfcodepages.h"
#include "rtfpagesetup.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

namespace rtf {

namespace {

// Character properties as RTF states them; fonts and colours stay table indexes until the whole
// stream is read, because a table may in principle follow the text that uses it.
struct CharProps
{
    int font = -1; // -1: the default font (\deff)
    int halfPoints = 24;
    int foreground = -1; // colour table index, -1: automatic
    int background = -1;
    quint8 underline = 0; // QTextCharFormat::UnderlineStyle
    quint8 vertical = 0;  // 0 normal, 1 superscript, 2 subscript
    quint8 caps = 0;      // 0 none, 1 all capitals, 2 small capitals
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    // What East Asian characters use instead (\dbch with \af \afs \ab \ai); -1: as above.
    int eastFont = -1;
    int eastHalfPoints = -1;
    qint8 eastBold = -1;
    qint8 eastItalic = -1;

    bool operator==(const CharProps &) const = default;

    bool hasEast() const
    {
        return eastFont >= 0 || eastHalfPoints >= 0 || eastBold >= 0 || eastItalic >= 0;
    }
    CharProps western() const
    {
        CharProps p = *this;
        p.eastFont = p.eastHalfPoints = -1;
        p.eastBold = p.eastItalic = -1;
        return p;
    }
    CharProps eastern() const
    {
        CharProps p = western();
        p.font = eastFont >= 0 ? eastFont : font;
        p.halfPoints = eastHalfPoints >= 0 ? eastHalfPoints : halfPoints;
        p.bold = eastBold >= 0 ? eastBold == 1 : bold;
        p.italic = eastItalic >= 0 ? eastItalic == 1 : italic;
        return p;
    }
};

struct CharPropsHash
{
    std::size_t operator()(const CharProps &p) const
    {
        std::size_t h = std::size_t(p.font) * 0x9E3779B97F4A7C15ULL;
        for (const int v : {p.halfPoints, p.foreground, p.background, int(p.underline),
                            int(p.vertical) | int(p.caps) << 2 | int(p.bold) << 4 |
                                int(p.italic) << 5 | int(p.strike) << 6 | int(p.hidden) << 7,
                            p.eastFont, p.eastHalfPoints, int(p.eastBold), int(p.eastItalic)}) {
            h = (h ^ std::size_t(v)) * 0x100000001B3ULL;
        }
        return h;
    }
};

// Characters word processors lay out with the East Asian font: CJK ideographs and punctuation,
// kana, hangul, bopomofo, full-width forms, and the ideographs beyond the basic plane.
bool isEastAsian(char16_t c)
{
    return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xA000 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xD840 && c <= 0xD8BF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF);
}

enum class Align : quint8 { Left, Right, Center, Justify };

// Which characters the associated properties (\af, \afs, \ab, \ai) stand for.
enum class RunType : quint8 { Low, High, DoubleByte, RightToLeft };

struct Run
{
    CharProps props;
    QString text;
};

struct Paragraph
{
    std::vector<Run> runs;
    CharProps endProps;
    Align align = Align::Left;
};

struct FontEntry
{
    QString name;
    int charset = -1;
    int codePage = 0;
    bool nameDone = false;
};

struct ColourEntry
{
    int red = 0;
    int green = 0;
    int blue = 0;
    bool set = false; // an entry without components is "automatic"
};

enum class Dest : quint8 {
    Body,        // document text
    Skip,        // ignored destination
    FontTable,   // \fonttbl: names of the current entry
    ColourTable, // \colortbl
    NestProps,   // \*\nesttableprops: only \nestrow matters
};

struct GroupState
{
    CharProps chars;
    Align align = Align::Left;
    Dest dest = Dest::Body;
    Dest uprOuter = Dest::Body; // destination a \ud group inside \upr returns to
    bool inUpr = false;         // groups opened here are skipped unless they are \*\ud
    bool uprChild = false;      // this group was opened directly inside \upr
    int uc = 1;                 // fallback units after \uN
    int fontEntry = -1;         // font number being defined in \fonttbl
    RunType runType = RunType::Low;
};

// clang-format off
enum class Word : quint8 {
    Unknown,
    // destinations
    FontTable, ColourTable, Skip, Upr, Ud, NestTableProps, Transparent,
    // document
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Bin,
    PaperW, PaperH, MargL, MargR, MargT, MargB, Landscape,
    // font table
    F, FCharset, Cpg,
    // colour table
    Red, Green, Blue,
    // characters
    Plain, B, I, Ul, UlDotted, UlDash, UlDashDot, UlDashDotDot, UlWave, UlNone, Strike, Fs, Cf,
    Cb, Super, Sub, NoSuperSub, Caps, SmallCaps, V,
    // paragraphs
    Pard, Ql, Qr, Qc, Qj, Par, Line, Tab, Cell, Row, NestCell, NestRow, Break,
    // associated properties
    Loch, Hich, Dbch, Rtlch, Ltrch, Af, Afs, Ab, Ai,
    // special characters
    Character,
};
// clang-format on

struct WordInfo
{
    Word word = Word::Unknown;
    char16_t character = 0; // for Word::Character
};

const QHash<QByteArray, WordInfo> &wordTable()
{
    static const QHash<QByteArray, WordInfo> table = [] {
        QHash<QByteArray, WordInfo> t;
        auto add = [&t](const char *name, Word w, char16_t c = 0) {
            t.insert(QByteArray(name), WordInfo{w, c});
        };
        add("fonttbl", Word::FontTable);
        add("colortbl", Word::ColourTable);
        add("upr", Word::Upr);
        add("ud", Word::Ud);
        add("nesttableprops", Word::NestTableProps);
        // Destinations whose content is not document text.
        // clang-format off
        for (const char *name :
            {"stylesheet", "info", "pict", "themedata", "colorschememapping", "header", "headerl",
             "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "footnote",
             "annotation", "fldinst", "objdata", "objclass", "objname", "pn", "pntxta", "pntxtb",
             "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator", "filetbl",
             "xmlnstbl", "mmathPr", "latentstyles", "datastore", "ftnsep", "ftnsepc", "aftnsep",
             "aftnsepc", "ftncn", "aftncn", "nonesttables", "template", "docvar", "userprops",
             "bkmkstart", "bkmkend", "fchars", "lchars", "shpinst", "shppict", "nonshppict", "do",
             "xe", "tc", "tcn", "atnid", "atnauthor", "atntime", "atnref", "atrfstart", "atrfend",
             "falt", "panose", "fname", "pgdsctbl", "picprop", "blipuid", "background",
             "formfield", "datafield", "txe", "keycode", "private", "protusertbl", "listpicture",
             "defchp", "defpap", "pgptbl", "wgrffmtfilter", "passwordhash", "htmltag", "mhtmltag",
             "fontemb", "fontfile", "comment", "title", "subject", "author", "operator",
             "keywords", "doccomm", "company", "category", "manager", "hlinkbase", "creatim",
             "revtim", "printim", "buptim", "sp", "sn", "sv", "svb", "leveltext", "levelnumbers",
             "listname", "ffdeftext", "ffformat", "ffhelptext", "ffl", "ffname", "ffstattext"}) {
            // clang-format on
            add(name, Word::Skip);
        }
        for (const char *name : {"field", "fldrslt", "result", "object", "shp", "shprslt"}) {
            add(name, Word::Transparent);
        }
        // Document and first-section page setup.
        add("paperw", Word::PaperW);
        add("pgwsxn", Word::PaperW);
        add("paperh", Word::PaperH);
        add("pghsxn", Word::PaperH);
        add("margl", Word::MargL);
        add("marglsxn", Word::MargL);
        add("margr", Word::MargR);
        add("margrsxn", Word::MargR);
        add("margt", Word::MargT);
        add("margtsxn", Word::MargT);
        add("margb", Word::MargB);
        add("margbsxn", Word::MargB);
        add("landscape", Word::Landscape);
        add("lndscpsxn", Word::Landscape);
        add("ansi", Word::Ansi);
        add("mac", Word::Mac);
        add("pc", Word::Pc);
        add("pca", Word::Pca);
        add("ansicpg", Word::AnsiCpg);
        add("deff", Word::Deff);
        add("uc", Word::Uc);
        add("u", Word::U);
        add("bin", Word::Bin);
        add("f", Word::F);
        add("fcharset", Word::FCharset);
        add("cpg", Word::Cpg);
        add("red", Word::Red);
        add("green", Word::Green);
        add("blue", Word::Blue);
        add("plain", Word::Plain);
        add("b", Word::B);
        add("i", Word::I);
        for (const char *name : {"ul", "ulw", "uldb", "ulth", "ulhwave", "ululdbwave"}) {
            add(name, Word::Ul);
        }
        add("uld", Word::UlDotted);
        add("ulthd", Word::UlDotted);
        add("uldash", Word::UlDash);
        add("ulthdash", Word::UlDash);
        add("ulldash", Word::UlDash);
        add("ulthldash", Word::UlDash);
        add("uldashd", Word::UlDashDot);
        add("ulthdashd", Word::UlDashDot);
        add("uldashdd", Word::UlDashDotDot);
        add("ulthdashdd", Word::UlDashDotDot);
        add("ulwave", Word::UlWave);
        add("ulnone", Word::UlNone);
        add("strike", Word::Strike);
        add("striked", Word::Strike);
        add("fs", Word::Fs);
        add("cf", Word::Cf);
        add("cb", Word::Cb);
        add("chcbpat", Word::Cb);
        add("highlight", Word::Cb);
        add("super", Word::Super);
        add("sub", Word::Sub);
        add("nosupersub", Word::NoSuperSub);
        add("caps", Word::Caps);
        add("scaps", Word::SmallCaps);
        add("v", Word::V);
        add("pard", Word::Pard);
        add("ql", Word::Ql);
        add("qr", Word::Qr);
        add("qc", Word::Qc);
        add("qj", Word::Qj);
        add("qd", Word::Qj);
        add("par", Word::Par);
        add("line", Word::Line);
        // Section, page and column breaks end the text before them like a paragraph mark.
        add("sect", Word::Break);
        add("page", Word::Break);
        add("column", Word::Break);
        add("tab", Word::Tab);
        add("cell", Word::Cell);
        add("row", Word::Row);
        add("nestcell", Word::NestCell);
        add("nestrow", Word::NestRow);
        add("loch", Word::Loch);
        add("hich", Word::Hich);
        add("dbch", Word::Dbch);
        add("rtlch", Word::Rtlch);
        add("ltrch", Word::Ltrch);
        add("af", Word::Af);
        add("afs", Word::Afs);
        add("ab", Word::Ab);
        add("ai", Word::Ai);
        add("emdash", Word::Character, 0x2014);
        add("endash", Word::Character, 0x2013);
        add("emspace", Word::Character, 0x2003);
        add("enspace", Word::Character, 0x2002);
        add("qmspace", Word::Character, 0x2005);
        add("bullet", Word::Character, 0x2022);
        add("lquote", Word::Character, 0x2018);
        add("rquote", Word::Character, 0x2019);
        add("ldblquote", Word::Character, 0x201C);
        add("rdblquote", Word::Character, 0x201D);
        add("zwj", Word::Character, 0x200D);
        add("zwnj", Word::Character, 0x200C);
        add("zwbo", Word::Character, 0x200B);
        add("ltrmark", Word::Character, 0x200E);
        add("rtlmark", Word::Character, 0x200F);
        return t;
    }();
    return table;
}

// Characters a document cannot hold as text: controls, and the code points the text document
// reserves for frames and objects.
bool droppedFromBody(char16_t c)
{
    return (c < 0x20 && c != u'\t') || c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFC || c == 0xFFFE ||
           c == 0xFFFF;
}

bool breaksParagraph(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == 0x2029;
}

// Longest control word kept; longer ones are read to their end and ignored.
constexpr int maxWordLength = 32;

// Format property that only tells formats of different font families apart.
constexpr int familyKeyProperty = QTextFormat::UserProperty + 0x7201;

// Input read between two progress reports.
constexpr qsizetype progressBytes = 256 * 1024;

// Reads one RTF stream into paragraphs. Iterative: groups live on a heap stack.
class Parser
{
public:
    Parser(const QByteArray &data, qsizetype start, const Progress &progress)
        : m_data(data)
        , m_pos(start)
        , m_progress(progress)
    {}

    void run();

    std::vector<Paragraph> paragraphs;
    std::map<int, FontEntry> fonts;
    std::vector<ColourEntry> colours;
    int defaultFont = -1;
    bool damaged = false;
    bool cancelled = false;
    QStringList lostParts;
    PageSetup page;

private:
    GroupState &state() { return m_states.back(); }
    Dest effectiveDest() const { return m_excessSkipLevel > 0 ? Dest::Skip : m_states.back().dest; }

    void openGroup();
    void closeGroup();
    void controlWord(QByteArrayView name, bool hasParam, int param);
    void controlSymbol(char c);
    void hexByte();
    void binary(int length);
    void plainBytes(const char *begin, const char *end);

    // Skipping of the fallback after \uN; true when the unit was swallowed.
    bool swallowFallbackUnit()
    {
        if (m_skip > 0) {
            --m_skip;
            return true;
        }
        return false;
    }

    void flushBytes();
    void unicodeUnit(int value);
    void emitText(QStringView text);
    void emitBodyText(QStringView text);
    void appendToParagraph(QStringView piece);
    static void appendRun(Paragraph &p, const CharProps &props, QStringView text);
    void emitChar(char16_t c);
    void endParagraph();
    void setDestination(Dest dest);
    void addColour();
    void pageValue(Word word, int twips);
    int codePageForFont(int font) const;
    int currentCodePage() const;
    void finishFontName(FontEntry &entry, bool complete);

    const QByteArray &m_data;
    qsizetype m_pos;
    Progress m_progress;
    std::vector<GroupState> m_states;
    int m_excess = 0;          // groups beyond the nesting limit still open
    int m_excessSkipLevel = 0; // excess level where an ignored destination began, 0: none
    int m_skip = 0;            // fallback units still to swallow after \uN
    bool m_ignorable = false;  // the last token was \*
    char16_t m_highSurrogate = 0;
    QByteArray m_bytes; // text bytes waiting for decoding with the current code page
    int m_ansiCodePage = 1252;
    ColourEntry m_colour;
    int m_pendingCells = 0; // cells ended in this row; the next text starts after as many tabs
    bool m_documentDone = false;
    bool m_pageDone = false; // the first section ended
    CodePageDecoders m_decoders;
};

void Parser::run()
{
    m_states.reserve(64);
    m_states.emplace_back(); // outside any group
    paragraphs.emplace_back();
    const char *const data = m_data.constData();
    const qsizetype size = m_data.size();
    qsizetype nextReport = 0;
    while (m_pos < size && !m_documentDone) {
        if (m_pos >= nextReport && m_progress) {
            nextReport = m_pos + progressBytes;
            if (!m_progress(m_pos, 2 * qint64(size))) {
                cancelled = true;
                return;
            }
        }
        const char c = data[m_pos];
        if (c == '{') {
            ++m_pos;
            openGroup();
        } else if (c == '}') {
            ++m_pos;
            closeGroup();
        } else if (c == '\\') {
            ++m_pos;
            if (m_pos >= size) {
                damaged = true;
                break;
            }
            const char n = data[m_pos];
            const bool letter = (n >= 'a' && n <= 'z') || (n >= 'A' && n <= 'Z');
            if (!letter) {
                ++m_pos;
                if (n == '\'') {
                    hexByte();
                } else {
                    controlSymbol(n);
                }
                continue;
            }
            const qsizetype nameStart = m_pos;
            while (m_pos < size && ((data[m_pos] >= 'a' && data[m_pos] <= 'z') ||
                                    (data[m_pos] >= 'A' && data[m_pos] <= 'Z'))) {
                ++m_pos;
            }
            const qsizetype nameLength = m_pos - nameStart;
            bool negative = false;
            if (m_pos + 1 < size && data[m_pos] == '-' && data[m_pos + 1] >= '0' &&
                data[m_pos + 1] <= '9') {
                negative = true;
                ++m_pos;
            }
            bool hasParam = false;
            qint64 value = 0;
            while (m_pos < size && data[m_pos] >= '0' && data[m_pos] <= '9') {
                hasParam = true;
                if (value < 10'000'000'000LL) {
                    value = value * 10 + (data[m_pos] - '0');
                }
                ++m_pos;
            }
            if (negative) {
                value = -value;
            }
            const int param = int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
            if (m_pos < size && data[m_pos] == ' ') {
                ++m_pos;
            }
            if (nameLength > maxWordLength) {
                damaged = true;
                if (!swallowFallbackUnit()) {
                    flushBytes();
                    m_ignorable = false;
                }
                continue;
            }
            controlWord(QByteArrayView(data + nameStart, nameLength), hasParam, param);
        } else if (c == '\r' || c == '\n') {
            ++m_pos;
        } else {
            qsizetype end = m_pos + 1;
            while (end < size && data[end] != '{' && data[end] != '}' && data[end] != '\\' &&
                   data[end] != '\r' && data[end] != '\n') {
                ++end;
            }
            const char *begin = data + m_pos;
            m_pos = end;
            plainBytes(begin, data + end);
        }
    }
    flushBytes();
    if (m_highSurrogate != 0) {
        m_highSurrogate = 0;
        emitText(u"\uFFFD");
    }
    if (!m_documentDone) {
        damaged = true; // the document group never closed
    }
    // A document ends with its last \par; an empty paragraph after it is not a paragraph.
    if (paragraphs.size() > 1 && paragraphs.back().runs.empty()) {
        paragraphs.pop_back();
    }
    for (auto &[number, entry] : fonts) {
        finishFontName(entry, true);
    }
}

void Parser::plainBytes(const char *begin, const char *end)
{
    if (m_skip > 0) {
        const qsizetype n = std::min<qsizetype>(m_skip, end - begin);
        m_skip -= int(n);
        begin += n;
    }
    if (begin == end) {
        return;
    }
    m_ignorable = false;
    const Dest dest = effectiveDest();
    if (dest == Dest::Body || dest == Dest::FontTable) {
        if (dest == Dest::FontTable) {
            // ";" ends a font name.
            for (const char *p = begin; p != end; ++p) {
                if (*p == ';') {
                    m_bytes.append(begin, p - begin);
                    flushBytes();
                    auto it = fonts.find(state().fontEntry);
                    if (it != fonts.end()) {
                        finishFontName(it->second, true);
                    }
                    begin = p + 1;
                }
            }
        }
        m_bytes.append(begin, end - begin);
    } else if (dest == Dest::ColourTable) {
        for (const char *p = begin; p != end; ++p) {
            if (*p == ';') {
                addColour();
            }
        }
    }
}

void Parser::hexByte()
{
    const char *const data = m_data.constData();
    const qsizetype size = m_data.size();
    int value = 0;
    int digits = 0;
    bool bad = false;
    // Two characters belong to the escape; a non-hex one spoils it but is consumed with it.
    while (digits < 2 && m_pos < size) {
        const char h = data[m_pos];
        if (h == '\\' || h == '{' || h == '}') {
            bad = true;
            break;
        }
        ++m_pos;
        ++digits;
        int v = -1;
        if (h >= '0' && h <= '9') {
            v = h - '0';
        } else if (h >= 'a' && h <= 'f') {
            v = h - 'a' + 10;
        } else if (h >= 'A' && h <= 'F') {
            v = h - 'A' + 10;
        }
        if (v < 0) {
            bad = true;
        } else {
            value = value * 16 + v;
        }
    }
    if (digits < 2) {
        bad = true;
    }
    if (bad) {
        damaged = true;
    }
    if (swallowFallbackUnit()) {
        return;
    }
    m_ignorable = false;
    if (bad) {
        return;
    }
    const Dest dest = effectiveDest();
    if (dest == Dest::Body || dest == Dest::FontTable) {
        m_bytes.append(char(value));
    }
}

void Parser::binary(int length)
{
    const qsizetype available = m_data.size() - m_pos;
    if (length < 0) {
        length = 0;
    }
    if (length > available) {
        damaged = true;
        length = int(available);
    }
    m_pos += length; // raw data is never text
}

void Parser::openGroup()
{
    flushBytes();
    m_skip = 0;
    m_ignorable = false;
    if (m_states.size() > std::size_t(maxNesting)) {
        ++m_excess;
        damaged = true;
        return;
    }
    GroupState next = m_states.back();
    next.uprChild = next.inUpr;
    if (next.inUpr) {
        // The first part of \upr is the ANSI copy of what its \*\ud part holds.
        next.inUpr = false;
        next.dest = Dest::Skip;
    }
    m_states.push_back(next);
}

void Parser::closeGroup()
{
    flushBytes();
    m_skip = 0;
    m_ignorable = false;
    if (m_excess > 0) {
        if (m_excessSkipLevel == m_excess) {
            m_excessSkipLevel = 0;
        }
        --m_excess;
        return;
    }
    if (m_states.size() <= 1) {
        damaged = true; // a brace that closes nothing
        return;
    }
    const GroupState closing = m_states.back();
    m_states.pop_back();
    if (closing.dest == Dest::FontTable && m_states.back().dest == Dest::FontTable) {
        auto it = fonts.find(closing.fontEntry);
        if (it != fonts.end()) {
            finishFontName(it->second, true);
        }
    }
    if (closing.dest == Dest::ColourTable && m_states.back().dest != Dest::ColourTable &&
        m_colour.set) {
        addColour(); // a last entry without its ";"
    }
    if (m_states.size() == 1) {
        m_documentDone = true;
    }
}

// Tables beyond these sizes are nonsense; further entries are ignored.
constexpr std::size_t maxColours = 32768;
constexpr std::size_t maxFonts = 262144;

void Parser::addColour()
{
    if (colours.size() < maxColours) {
        colours.push_back(m_colour);
    }
    m_colour = {};
}

void Parser::pageValue(Word word, int twips)
{
    // Only the first section's setup is kept; later sections rarely differ.
    if (m_pageDone) {
        return;
    }
    if (!page.present) {
        // What readers assume for the values a document leaves out: Letter, 1.25" and 1".
        page.present = true;
        page.paperTwips = QSizeF(12240, 15840);
        page.marginsTwips = QMarginsF(1800, 1440, 1800, 1440);
    }
    switch (word) {
    case Word::PaperW:
        page.paperTwips.setWidth(twips);
        break;
    case Word::PaperH:
        page.paperTwips.setHeight(twips);
        break;
    case Word::MargL:
        page.marginsTwips.setLeft(twips);
        break;
    case Word::MargR:
        page.marginsTwips.setRight(twips);
        break;
    case Word::MargT:
        page.marginsTwips.setTop(twips);
        break;
    default:
        page.marginsTwips.setBottom(twips);
        break;
    }
}

void Parser::setDestination(Dest dest)
{
    if (m_excess > 0) {
        if (dest == Dest::Skip && m_excessSkipLevel == 0) {
            m_excessSkipLevel = m_excess;
        }
        return;
    }
    state().dest = dest;
}

void Parser::controlSymbol(char c)
{
    if (swallowFallbackUnit()) {
        return;
    }
    flushBytes();
    if (c == '*') {
        m_ignorable = true;
        return;
    }
    m_ignorable = false;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        if (effectiveDest() == Dest::Body || effectiveDest() == Dest::FontTable) {
            m_bytes.append(c);
        }
        break;
    case '~':
        emitChar(0x00A0);
        break;
    case '-':
        emitChar(0x00AD);
        break;
    case '_':
        emitChar(0x2011);
        break;
    case '\r':
    case '\n':
        if (effectiveDest() == Dest::Body) {
            endParagraph();
        }
        break;
    case '\t':
        emitChar(u'\t');
        break;
    default:
        break; // \: \| and unknown symbols carry no text
    }
}

void Parser::controlWord(QByteArrayView name, bool hasParam, int param)
{
    if (m_skip > 0) {
        --m_skip;
        if (name == "bin" && hasParam) {
            binary(param); // \binN and its data are one fallback unit
        }
        return;
    }
    const bool ignorable = m_ignorable;
    m_ignorable = false;
    if (!(name.size() == 1 && name[0] == 'u' && hasParam)) {
        flushBytes();
    }
    const auto it = wordTable().constFind(QByteArray::fromRawData(name.data(), name.size()));
    const WordInfo info = it == wordTable().cend() ? WordInfo{} : *it;
    const Dest dest = effectiveDest();
    const bool formatting = m_excess == 0; // beyond the nesting limit formatting is ignored
    GroupState &s = state();

    switch (info.word) {
    case Word::Unknown:
        if (ignorable) {
            setDestination(Dest::Skip);
        }
        return;
    case Word::Ud:
        if (formatting && s.uprChild && ignorable) {
            s.dest = s.uprOuter;
        }
        return;
    case Word::NestTableProps:
        setDestination(Dest::NestProps);
        return;
    case Word::Bin:
        if (hasParam) {
            binary(param);
        }
        return;
    case Word::NestRow:
        if (dest == Dest::Body || dest == Dest::NestProps) {
            endParagraph();
        }
        return;
    default:
        break;
    }
    if (dest == Dest::Skip || dest == Dest::NestProps) {
        return;
    }
    if (ignorable && info.word != Word::Transparent && info.word != Word::FontTable &&
        info.word != Word::ColourTable && info.word != Word::Upr) {
        setDestination(Dest::Skip);
        return;
    }

    const bool on = !hasParam || param != 0;
    switch (info.word) {
    case Word::FontTable:
        setDestination(Dest::FontTable);
        return;
    case Word::ColourTable:
        setDestination(Dest::ColourTable);
        m_colour = {};
        return;
    case Word::Skip:
        setDestination(Dest::Skip);
        return;
    case Word::Upr:
        if (formatting) {
            s.inUpr = true;
            s.uprOuter = s.dest;
        }
        return;
    case Word::Transparent:
        return;
    case Word::PaperW:
    case Word::PaperH:
    case Word::MargL:
    case Word::MargR:
    case Word::MargT:
    case Word::MargB:
        if (hasParam && param > 0 && param < 1'000'000 && dest == Dest::Body) {
            pageValue(info.word, param);
        }
        return;
    case Word::Landscape:
        if (dest == Dest::Body) {
            page.present = true;
            page.landscape = true;
        }
        return;
    case Word::Ansi:
        m_ansiCodePage = 1252;
        return;
    case Word::Mac:
        m_ansiCodePage = 10000;
        return;
    case Word::Pc:
        m_ansiCodePage = 437;
        return;
    case Word::Pca:
        m_ansiCodePage = 850;
        return;
    case Word::AnsiCpg:
        if (hasParam && param > 0) {
            m_ansiCodePage = param;
        }
        return;
    case Word::Deff:
        if (hasParam) {
            defaultFont = param;
        }
        return;
    case Word::Uc:
        if (formatting) {
            s.uc = std::clamp(hasParam ? param : 1, 0, 1000);
        }
        return;
    case Word::U:
        if (hasParam) {
            unicodeUnit(param);
        }
        return;
    case Word::F:
        if (!hasParam || !formatting) {
            return;
        }
        if (dest == Dest::FontTable) {
            s.fontEntry = param;
            if (fonts.size() < maxFonts) {
                fonts.try_emplace(param);
            }
        } else {
            s.chars.font = param;
        }
        return;
    case Word::FCharset:
        if (dest == Dest::FontTable && hasParam) {
            auto f = fonts.find(s.fontEntry);
            if (f != fonts.end()) {
                f->second.charset = param;
            }
        }
        return;
    case Word::Cpg:
        if (dest == Dest::FontTable && hasParam) {
            auto f = fonts.find(s.fontEntry);
            if (f != fonts.end()) {
                f->second.codePage = param;
            }
        }
        return;
    case Word::Red:
    case Word::Green:
    case Word::Blue:
        if (dest == Dest::ColourTable) {
            const int v = std::clamp(hasParam ? param : 0, 0, 255);
            (info.word == Word::Red     ? m_colour.red
             : info.word == Word::Green ? m_colour.green
                                        : m_colour.blue) = v;
            m_colour.set = true;
        }
        return;
    default:
        break;
    }

    if (dest != Dest::Body) {
        return;
    }
    CharProps &ch = s.chars;
    if (formatting) {
        switch (info.word) {
        case Word::Plain:
            ch = CharProps{};
            s.runType = RunType::Low;
            return;
        case Word::Loch:
        case Word::Ltrch:
            s.runType = RunType::Low;
            return;
        case Word::Hich:
            s.runType = RunType::High;
            return;
        case Word::Dbch:
            s.runType = RunType::DoubleByte;
            return;
        case Word::Rtlch:
            s.runType = RunType::RightToLeft;
            return;
        case Word::Af:
            if (s.runType == RunType::DoubleByte && hasParam) {
                ch.eastFont = param;
            }
            return;
        case Word::Afs:
            if (s.runType == RunType::DoubleByte) {
                ch.eastHalfPoints = hasParam && param >= 2 && param <= 3276 ? param : 24;
            }
            return;
        case Word::Ab:
            if (s.runType == RunType::DoubleByte) {
                ch.eastBold = on ? 1 : 0;
            }
            return;
        case Word::Ai:
            if (s.runType == RunType::DoubleByte) {
                ch.eastItalic = on ? 1 : 0;
            }
            return;
        case Word::B:
            ch.bold = on;
            return;
        case Word::I:
            ch.italic = on;
            return;
        case Word::Ul:
            ch.underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
            return;
        case Word::UlDotted:
            ch.underline = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
            return;
        case Word::UlDash:
            ch.underline = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
            return;
        case Word::UlDashDot:
            ch.underline = on ? QTextCharFormat::DashDotLine : QTextCharFormat::NoUnderline;
            return;
        case Word::UlDashDotDot:
            ch.underline = on ? QTextCharFormat::DashDotDotLine : QTextCharFormat::NoUnderline;
            return;
        case Word::UlWave:
            ch.underline = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
            return;
        case Word::UlNone:
            ch.underline = QTextCharFormat::NoUnderline;
            return;
        case Word::Strike:
            ch.strike = on;
            return;
        case Word::Fs:
            // \fs alone means the default size; nonsense sizes fall back to it too.
            ch.halfPoints = hasParam && param >= 2 && param <= 3276 ? param : 24;
            return;
        case Word::Cf:
            ch.foreground = hasParam ? param : -1;
            return;
        case Word::Cb:
            ch.background = hasParam && param > 0 ? param : -1;
            return;
        case Word::Super:
            ch.vertical = on ? 1 : 0;
            return;
        case Word::Sub:
            ch.vertical = on ? 2 : 0;
            return;
        case Word::NoSuperSub:
            ch.vertical = 0;
            return;
        case Word::Caps:
            ch.caps = on ? 1 : 0;
            return;
        case Word::SmallCaps:
            ch.caps = on ? 2 : 0;
            return;
        case Word::V:
            ch.hidden = on;
            return;
        case Word::Pard:
            s.align = Align::Left;
            return;
        case Word::Ql:
            s.align = Align::Left;
            return;
        case Word::Qr:
            s.align = Align::Right;
            return;
        case Word::Qc:
            s.align = Align::Center;
            return;
        case Word::Qj:
            s.align = Align::Justify;
            return;
        default:
            break;
        }
    }
    switch (info.word) {
    case Word::Par:
    case Word::Row:
        endParagraph();
        return;
    case Word::Break:
        if (name == "sect") {
            m_pageDone = true;
        }
        // Writers put a break either inside a paragraph or on its own after a \par; only the
        // first splits text, the second would only add an empty line.
        flushBytes();
        if (!paragraphs.back().runs.empty()) {
            endParagraph();
        }
        return;
    case Word::Line:
        emitChar(QChar::LineSeparator);
        return;
    case Word::Tab:
        emitChar(u'\t');
        return;
    case Word::Cell:
    case Word::NestCell:
        if (m_pendingCells < 1000) {
            ++m_pendingCells;
        }
        return;
    case Word::Character:
        emitChar(info.character);
        return;
    default:
        return;
    }
}

int Parser::codePageForFont(int font) const
{
    const auto it = fonts.find(font < 0 ? defaultFont : font);
    if (it == fonts.end()) {
        return m_ansiCodePage;
    }
    if (it->second.codePage > 0) {
        return it->second.codePage;
    }
    if (it->second.charset < 0 && it->second.name.compare(u"Symbol", Qt::CaseInsensitive) == 0) {
        return codePageForCharset(2); // writers often leave out the Symbol font's charset
    }
    const int cp = codePageForCharset(it->second.charset);
    return cp > 0 ? cp : m_ansiCodePage;
}

int Parser::currentCodePage() const
{
    const GroupState &s = m_states.back();
    if (s.dest == Dest::FontTable) {
        return codePageForFont(s.fontEntry);
    }
    if (s.runType == RunType::DoubleByte && s.chars.eastFont >= 0) {
        return codePageForFont(s.chars.eastFont);
    }
    return codePageForFont(s.chars.font);
}

void Parser::flushBytes()
{
    if (m_bytes.isEmpty()) {
        return;
    }
    const QString text = m_decoders.decode(currentCodePage(), m_bytes);
    m_bytes.clear();
    emitText(text);
}

void Parser::unicodeUnit(int value)
{
    flushBytes();
    m_skip = state().uc;
    if (value < 0) {
        value += 65536;
    }
    if (value < 0 || value > 0xFFFF) {
        value = 0xFFFD;
    }
    const char16_t unit = char16_t(value);
    if (QChar::isHighSurrogate(unit)) {
        if (m_highSurrogate != 0) {
            const char16_t lone = 0xFFFD;
            m_highSurrogate = 0;
            emitText(QStringView(&lone, 1));
        }
        m_highSurrogate = unit;
        return;
    }
    if (QChar::isLowSurrogate(unit)) {
        if (m_highSurrogate != 0) {
            const char16_t pair[2] = {m_highSurrogate, unit};
            m_highSurrogate = 0;
            emitText(QStringView(pair, 2));
        } else {
            emitChar(0xFFFD);
        }
        return;
    }
    emitChar(unit);
}

void Parser::emitChar(char16_t c)
{
    flushBytes();
    emitText(QStringView(&c, 1));
}

void Parser::emitText(QStringView text)
{
    if (m_highSurrogate != 0) {
        // A high surrogate must be followed by its low half at once.
        m_highSurrogate = 0;
        emitText(u"\uFFFD");
    }
    switch (effectiveDest()) {
    case Dest::Body:
        emitBodyText(text);
        return;
    case Dest::FontTable: {
        auto it = fonts.find(state().fontEntry);
        if (it != fonts.end() && !it->second.nameDone) {
            it->second.name += text;
        }
        return;
    }
    default:
        return;
    }
}

void Parser::emitBodyText(QStringView text)
{
    const GroupState &s = state();
    if (s.chars.hidden || text.isEmpty()) {
        return;
    }
    // Carriage returns and line feeds written as \'0d \'0a break paragraphs (CR LF once).
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype end = i;
        while (end < text.size() && !breaksParagraph(text[end].unicode())) {
            ++end;
        }
        if (end > i) {
            appendToParagraph(text.sliced(i, end - i));
        }
        if (end == text.size()) {
            break;
        }
        if (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') {
            ++end;
        }
        endParagraph();
        i = end + 1;
    }
}

void Parser::appendToParagraph(QStringView piece)
{
    const GroupState &s = state();
    Paragraph &p = paragraphs.back();
    p.align = s.align;
    QString text;
    text.reserve(piece.size() + m_pendingCells);
    text.fill(u'\t', m_pendingCells);
    m_pendingCells = 0;
    for (const QChar c : piece) {
        if (!droppedFromBody(c.unicode())) {
            text += c;
        }
    }
    if (!s.chars.hasEast()) {
        appendRun(p, s.chars, text);
        return;
    }
    // In a run marked \dbch every character takes the East Asian properties (writers put the
    // spaces between Chinese words there too); elsewhere only East Asian characters do.
    const CharProps west = s.chars.western();
    const CharProps east = s.chars.eastern();
    if (west == east || s.runType == RunType::DoubleByte) {
        appendRun(p, s.runType == RunType::DoubleByte ? east : west, text);
        return;
    }
    qsizetype start = 0;
    bool startEast = false;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        bool isEast = startEast;
        if (i < text.size()) {
            const char16_t c = text[i].unicode();
            // A low surrogate belongs with its high half.
            isEast = QChar::isLowSurrogate(c) && i > start ? startEast : isEastAsian(c);
        }
        if (i == text.size() || (i > start && isEast != startEast)) {
            appendRun(p, startEast ? east : west, QStringView(text).sliced(start, i - start));
            start = i;
        }
        startEast = isEast;
    }
}

void Parser::appendRun(Paragraph &p, const CharProps &props, QStringView text)
{
    if (text.isEmpty()) {
        return;
    }
    if (p.runs.empty() || !(p.runs.back().props == props)) {
        p.runs.push_back(Run{props, QString()});
    }
    p.runs.back().text += text;
}

void Parser::endParagraph()
{
    flushBytes();
    const GroupState &s = state();
    Paragraph &p = paragraphs.back();
    p.align = s.align;
    p.endProps = s.chars.western();
    m_pendingCells = 0;
    paragraphs.emplace_back();
}

void Parser::finishFontName(FontEntry &entry, bool complete)
{
    if (entry.nameDone) {
        return;
    }
    entry.name.removeIf([](QChar c) { return c.unicode() < 0x20 || droppedFromBody(c.unicode()); });
    entry.name = entry.name.trimmed();
    entry.nameDone = complete;
}

// Turns the parsed paragraphs into text formats once the tables are known.
class Builder
{
public:
    Builder(const Parser &parser, QTextDocument *doc)
        : m_parser(parser)
        , m_doc(doc)
    {}

    QTextCharFormat charFormat(const CharProps &props);
    static QTextBlockFormat blockFormat(Align align);
    // False when the progress callback asked to stop.
    bool insert(QTextCursor &cursor, bool replaceFirstBlockFormat, const Progress &progress);

private:
    std::optional<QColor> colour(int index) const;

    const Parser &m_parser;
    QTextDocument *m_doc;
    std::unordered_map<CharProps, QTextCharFormat, CharPropsHash> m_cache;
};

std::optional<QColor> Builder::colour(int index) const
{
    if (index < 0 || std::size_t(index) >= m_parser.colours.size()) {
        return std::nullopt;
    }
    const ColourEntry &c = m_parser.colours[std::size_t(index)];
    if (!c.set) {
        return std::nullopt;
    }
    return QColor(c.red, c.green, c.blue);
}

QTextCharFormat Builder::charFormat(const CharProps &props)
{
    const auto cached = m_cache.find(props);
    if (cached != m_cache.end()) {
        return cached->second;
    }
    QTextCharFormat f;
    const auto font = m_parser.fonts.find(props.font < 0 ? m_parser.defaultFont : props.font);
    if (font != m_parser.fonts.end() && !font->second.name.isEmpty()) {
        f.setFontFamilies(QStringList{font->second.name});
        // The text document finds a format among its known ones by a hash that leaves the family
        // list out, so formats differing only in the family share one bucket and a document with
        // many fonts loads in quadratic time; a plain string property tells them apart.
        f.setProperty(familyKeyProperty, font->second.name);
    }
    f.setFontPointSize(props.halfPoints / 2.0);
    f.setFontWeight(props.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(props.italic);
    f.setUnderlineStyle(QTextCharFormat::UnderlineStyle(props.underline));
    f.setFontStrikeOut(props.strike);
    if (props.vertical == 1) {
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    } else if (props.vertical == 2) {
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    }
    if (props.caps == 1) {
        f.setFontCapitalization(QFont::AllUppercase);
    } else if (props.caps == 2) {
        f.setFontCapitalization(QFont::SmallCaps);
    }
    if (const auto c = colour(props.foreground)) {
        f.setForeground(*c);
    }
    if (const auto c = colour(props.background)) {
        f.setBackground(*c);
    }
    m_cache.emplace(props, f);
    return f;
}

QTextBlockFormat Builder::blockFormat(Align align)
{
    QTextBlockFormat f;
    switch (align) {
    case Align::Left:
        f.setAlignment(Qt::AlignLeft);
        break;
    case Align::Right:
        f.setAlignment(Qt::AlignRight);
        break;
    case Align::Center:
        f.setAlignment(Qt::AlignHCenter);
        break;
    case Align::Justify:
        f.setAlignment(Qt::AlignJustify);
        break;
    }
    return f;
}

bool Builder::insert(QTextCursor &cursor, bool replaceFirstBlockFormat, const Progress &progress)
{
    bool first = true;
    const qint64 total = qint64(m_parser.paragraphs.size());
    qint64 done = 0;
    for (const Paragraph &p : m_parser.paragraphs) {
        if (progress && ++done % 4096 == 0 && !progress(done, total)) {
            return false;
        }
        const CharProps &endProps = p.runs.empty() ? p.endProps : p.runs.back().props;
        if (first) {
            if (replaceFirstBlockFormat) {
                cursor.setBlockFormat(blockFormat(p.align));
                cursor.setBlockCharFormat(charFormat(endProps));
            }
            first = false;
        } else {
            cursor.insertBlock(blockFormat(p.align), charFormat(endProps));
        }
        for (const Run &r : p.runs) {
            cursor.insertText(r.text, charFormat(r.props));
        }
    }
    return true;
}

} // namespace

namespace {

// Offset of the opening "{\rtf", after a byte order mark and blanks; -1 when there is none.
qsizetype rtfStart(const QByteArray &data)
{
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF")) {
        i = 3;
    }
    while (i < data.size() &&
           (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n')) {
        ++i;
    }
    return QByteArrayView(data).sliced(i).startsWith("{\\rtf") ? i : -1;
}

ReadResult notRtf()
{
    ReadResult result;
    result.error = QStringLiteral("文件不是 RTF 格式。");
    return result;
}

} // namespace

bool looksLikeRtf(const QByteArray &data)
{
    return rtfStart(data) >= 0;
}

ReadResult readRtf(const QByteArray &data, QTextDocument *into, const ReadOptions &options)
{
    const qsizetype start = rtfStart(data);
    if (start < 0) {
        return notRtf();
    }
    ReadResult result;
    Parser parser(data, start, options.progress);
    parser.run();
    if (parser.cancelled) {
        result.cancelled = true;
        return result;
    }

    const bool undo = into->isUndoRedoEnabled();
    into->setUndoRedoEnabled(false);
    into->clear();
    setPageSetup(*into, parser.page);
    QTextCursor cursor(into);
    cursor.beginEditBlock();
    Builder builder(parser, into);
    const qint64 size = data.size();
    const bool built = builder.insert(cursor, true, [&](qint64 done, qint64 total) {
        return !options.progress ||
               options.progress(size + size * done / std::max<qint64>(total, 1), 2 * size);
    });
    cursor.endEditBlock();
    if (!built) {
        into->clear();
        result.cancelled = true;
    }
    into->setUndoRedoEnabled(undo);
    into->setModified(false);
    if (!built) {
        return result;
    }
    result.ok = true;
    result.damaged = parser.damaged;
    result.paragraphs = int(parser.paragraphs.size());
    result.lostParts = parser.lostParts;
    return result;
}

ReadResult insertRtf(const QByteArray &data, QTextCursor &cursor)
{
    const qsizetype start = rtfStart(data);
    if (start < 0) {
        return notRtf();
    }
    Parser parser(data, start, {});
    parser.run();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    Builder builder(parser, cursor.document());
    builder.insert(cursor, false, {});
    cursor.endEditBlock();

    ReadResult result;
    result.ok = true;
    result.damaged = parser.damaged;
    result.paragraphs = int(parser.paragraphs.size());
    result.lostParts = parser.lostParts;
    return result;
}

} // namespace rtf
