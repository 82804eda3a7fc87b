#include "rtfreader.h"

#include "rtfcodepages.h"
#include "rtfdocumentparts.h"
#include "rtfpagesetup.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <array>
#include <atomic>
#include <limits>
#include <map>
#include <optional>
#include <set>
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
    int link = -1;   // index into the parser's hyperlink targets
    int spacing = 0; // extra space between characters, twips
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
                            p.eastFont, p.eastHalfPoints, int(p.eastBold), int(p.eastItalic),
                            p.link, p.spacing}) {
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
    int picture = -1; // index into the parser's pictures; the run then has no text
};

struct TabStop
{
    int position = 0; // twips
    quint8 kind = 0;  // QTextOption::TabType
    bool operator==(const TabStop &) const = default;
};

// Paragraph properties, reset by \pard. Lengths in twips.
struct ParaProps
{
    Align align = Align::Left;
    int left = 0;
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    int lineSpacing = 0; // \sl: >0 at least (or multiple with \slmult1), <0 exactly
    bool lineMultiple = false;
    bool keepTogether = false;
    bool keepNext = false;
    bool pageBreakBefore = false;
    int tableDepth = 0; // 0: body text; \intbl is depth 1 unless \itap says otherwise
    int list = 0;       // \ls number, 0: none
    int level = 0;      // \ilvl
    int pnList = 0;     // old-style \pn list: -1 bullets, -2 numbers, -3 outline
    int pnLevel = 0;
    quint8 pendingTab = 0; // alignment for the next \tx
    std::vector<TabStop> tabs;
};

struct Paragraph
{
    std::vector<Run> runs;
    CharProps endProps;
    ParaProps props;
};

// A picture as the document holds it: the RTF it came in (kept to be written back unchanged)
// and the picture to show.
struct Picture
{
    qsizetype rawStart = 0;
    qsizetype rawEnd = 0;
    QByteArray kind; // "pngblip", "jpegblip", "wmetafile", ...
    QByteArray data;
    int width = 0; // \picw, pixels (or hundredths of millimetres for metafiles)
    int height = 0;
    int goalWidth = 0; // \picwgoal, twips
    int goalHeight = 0;
    int scaleX = 100;
    int scaleY = 100;
    bool keepRaw = true; // false when the stream was damaged by then
};

// Cell and row definitions of the table row being read.
struct Border
{
    int width = -1; // twips; -1: no border
    int colour = -1;
    quint8 style = 0; // QTextFrameFormat::BorderStyle
};

struct CellDef
{
    int right = 0;                                // \cellx, twips
    bool mergeFirst = false, mergeNext = false;   // horizontal
    bool vmergeFirst = false, vmergeNext = false; // vertical
    int shading = -1;
    quint8 valign = 0; // 0 top, 1 centre, 2 bottom
    Border borders[4]; // top, left, bottom, right
};

struct RowDef
{
    int left = 0;
    int gap = 0;
    std::vector<CellDef> cells;
    CellDef pending;
    int border = -1; // side of `pending` the next \brdr words describe, -1: none
    int rowBorder = -1;
    Border rowBorders[4];
};

// Content of a flow (the body or a cell): paragraphs and tables, by index.
struct Item
{
    int paragraph = -1;
    int table = -1;
};

struct Cell
{
    std::vector<Item> items;
    CellDef def;
};

struct Row
{
    std::vector<Cell> cells;
    int left = 0;
    int gap = 0;
};

struct Table
{
    std::vector<Row> rows;
};

struct ListLevel
{
    int nfc = 0;
    int start = 1;
    QString text; // \leveltext: length, then characters; codes below 10 are level numbers
};

struct ListDef
{
    int id = 0;
    std::vector<ListLevel> levels;
};

struct Field
{
    std::size_t depth = 0; // group depth the field lives in
    QString instruction;
    int link = -1;
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
    Body,          // document text
    Skip,          // ignored destination
    FontTable,     // \fonttbl: names of the current entry
    ColourTable,   // \colortbl
    NestProps,     // \*\nesttableprops: the row definition of a nested row
    Pict,          // \pict: picture data
    ShpPict,       // \*\shppict: holds a \pict
    NonShpPict,    // \nonshppict: the same picture for older readers
    FieldInst,     // \*\fldinst
    ListTable,     // \*\listtable
    LevelText,     // \leveltext
    ListOverrides, // \*\listoverridetable
    PnText,        // \*\pn: old-style numbering of the paragraph
    Kept,          // a document part kept as it is
};

struct GroupState
{
    CharProps chars;
    ParaProps para;
    qsizetype start = 0; // offset of the group's "{"
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
    Cb, Super, Sub, NoSuperSub, Caps, SmallCaps, V, Expndtw, Expnd,
    // document parts
    Keep, Lost, Object, Pict, ShpPict, NonShpPict, Field, FldInst, FldRslt,
    ListTable, ListOverrideTable, List, ListLevel, LevelText, LevelNfc, LevelStartAt, ListId, Ls,
    Ilvl, Pn, PnLvlBlt, PnLvlBody, PnLvl, PnDec, PnUcLtr, PnLcLtr, PnUcRm, PnLcRm, PnStart,
    Blip, PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY,
    // paragraph layout
    Li, Ri, Fi, Sb, Sa, Sl, SlMult, Tx, Tqr, Tqc, Tqdec, Keep_, KeepN, PageBb, Intbl, Itap,
    // tables
    Trowd, Trgaph, Trleft, Cellx, Clmgf, Clmrg, Clvmgf, Clvmrg, Clcbpat, Clvertal, Clbrdr, Trbrdr,
    Brdrw, Brdrcf, BrdrStyle,
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
            {"themedata", "colorschememapping", "objdata", "objclass", "objname", "pntxta", "pntxtb",
             "pntext", "listtext", "revtbl", "rsidtbl", "generator", "filetbl",
             "xmlnstbl", "mmathPr", "latentstyles", "datastore", "ftnsep", "ftnsepc", "aftnsep",
             "aftnsepc", "ftncn", "aftncn", "nonesttables", "template", "docvar", "userprops",
             "bkmkstart", "bkmkend", "fchars", "lchars", "shpinst",
             "xe", "tc", "tcn", "atnid", "atnauthor", "atntime", "atnref", "atrfstart", "atrfend",
             "falt", "panose", "fname", "pgdsctbl", "picprop", "blipuid", "background",
             "formfield", "datafield", "txe", "keycode", "private", "protusertbl", "listpicture",
             "defchp", "defpap", "pgptbl", "wgrffmtfilter", "passwordhash", "htmltag", "mhtmltag",
             "fontemb", "fontfile", "comment", "title", "subject", "author", "operator",
             "keywords", "doccomm", "company", "category", "manager", "hlinkbase", "creatim",
             "revtim", "printim", "buptim", "sp", "sn", "sv", "svb", "levelnumbers",
             "listname", "ffdeftext", "ffformat", "ffhelptext", "ffl", "ffname", "ffstattext"}) {
            // clang-format on
            add(name, Word::Skip);
        }
        // Document parts kept as they are and written back.
        for (const char *name : {"info", "header", "headerl", "headerr", "headerf", "footer",
                                 "footerl", "footerr", "footerf", "userprops", "docvar"}) {
            add(name, Word::Keep);
        }
        // Parts that cannot be kept; the reader reports them.
        add("stylesheet", Word::Lost, u'样');
        add("footnote", Word::Lost, u'脚');
        add("annotation", Word::Lost, u'批');
        add("do", Word::Lost, u'图');
        add("object", Word::Object);
        add("pict", Word::Pict);
        add("shppict", Word::ShpPict);
        add("nonshppict", Word::NonShpPict);
        add("field", Word::Field);
        add("fldinst", Word::FldInst);
        add("fldrslt", Word::FldRslt);
        add("listtable", Word::ListTable);
        add("listoverridetable", Word::ListOverrideTable);
        add("list", Word::List);
        add("listlevel", Word::ListLevel);
        add("leveltext", Word::LevelText);
        add("levelnfc", Word::LevelNfc);
        add("levelnfcn", Word::LevelNfc);
        add("levelstartat", Word::LevelStartAt);
        add("listid", Word::ListId);
        add("ls", Word::Ls);
        add("ilvl", Word::Ilvl);
        add("pn", Word::Pn);
        add("pnlvlblt", Word::PnLvlBlt);
        add("pnlvlbody", Word::PnLvlBody);
        add("pnlvl", Word::PnLvl);
        add("pndec", Word::PnDec);
        add("pnucltr", Word::PnUcLtr);
        add("pnlcltr", Word::PnLcLtr);
        add("pnucrm", Word::PnUcRm);
        add("pnlcrm", Word::PnLcRm);
        add("pnstart", Word::PnStart);
        for (const char *name : {"wmetafile", "emfblip", "dibitmap", "wbitmap", "macpict",
                                 "pmmetafile", "pngblip", "jpegblip"}) {
            add(name, Word::Blip);
        }
        add("picw", Word::PicW);
        add("pich", Word::PicH);
        add("picwgoal", Word::PicWGoal);
        add("pichgoal", Word::PicHGoal);
        add("picscalex", Word::PicScaleX);
        add("picscaley", Word::PicScaleY);
        add("li", Word::Li);
        add("lin", Word::Li);
        add("ri", Word::Ri);
        add("rin", Word::Ri);
        add("fi", Word::Fi);
        add("sb", Word::Sb);
        add("sa", Word::Sa);
        add("sl", Word::Sl);
        add("slmult", Word::SlMult);
        add("tx", Word::Tx);
        add("tqr", Word::Tqr);
        add("tqc", Word::Tqc);
        add("tqdec", Word::Tqdec);
        add("keep", Word::Keep_);
        add("keepn", Word::KeepN);
        add("pagebb", Word::PageBb);
        add("intbl", Word::Intbl);
        add("itap", Word::Itap);
        add("expndtw", Word::Expndtw);
        add("expnd", Word::Expnd);
        add("trowd", Word::Trowd);
        add("trgaph", Word::Trgaph);
        add("trleft", Word::Trleft);
        add("cellx", Word::Cellx);
        add("clmgf", Word::Clmgf);
        add("clmrg", Word::Clmrg);
        add("clvmgf", Word::Clvmgf);
        add("clvmrg", Word::Clvmrg);
        add("clcbpat", Word::Clcbpat);
        add("clvertalt", Word::Clvertal, 0);
        add("clvertalc", Word::Clvertal, 1);
        add("clvertalb", Word::Clvertal, 2);
        add("clbrdrt", Word::Clbrdr, 0);
        add("clbrdrl", Word::Clbrdr, 1);
        add("clbrdrb", Word::Clbrdr, 2);
        add("clbrdrr", Word::Clbrdr, 3);
        add("trbrdrt", Word::Trbrdr, 0);
        add("trbrdrl", Word::Trbrdr, 1);
        add("trbrdrb", Word::Trbrdr, 2);
        add("trbrdrr", Word::Trbrdr, 3);
        add("brdrw", Word::Brdrw);
        add("brdrcf", Word::Brdrcf);
        add("brdrnone", Word::BrdrStyle, QTextFrameFormat::BorderStyle_None);
        add("brdrnil", Word::BrdrStyle, QTextFrameFormat::BorderStyle_None);
        for (const char *name : {"brdrs", "brdrth", "brdrsh", "brdrhair", "brdrthtnsg"}) {
            add(name, Word::BrdrStyle, QTextFrameFormat::BorderStyle_Solid);
        }
        add("brdrdb", Word::BrdrStyle, QTextFrameFormat::BorderStyle_Double);
        add("brdrdot", Word::BrdrStyle, QTextFrameFormat::BorderStyle_Dotted);
        add("brdrdash", Word::BrdrStyle, QTextFrameFormat::BorderStyle_Dashed);
        add("brdrdashsm", Word::BrdrStyle, QTextFrameFormat::BorderStyle_Dashed);
        add("brdrdashd", Word::BrdrStyle, QTextFrameFormat::BorderStyle_DotDash);
        add("brdrdashdd", Word::BrdrStyle, QTextFrameFormat::BorderStyle_DotDotDash);
        add("brdrinset", Word::BrdrStyle, QTextFrameFormat::BorderStyle_Inset);
        add("brdroutset", Word::BrdrStyle, QTextFrameFormat::BorderStyle_Outset);
        add("brdrengrave", Word::BrdrStyle, QTextFrameFormat::BorderStyle_Groove);
        add("brdremboss", Word::BrdrStyle, QTextFrameFormat::BorderStyle_Ridge);
        for (const char *name : {"result", "shp", "shprslt"}) {
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

// Twips to the text document's pixels (1/96 inch).
constexpr qreal pixels(int twips)
{
    return twips / 15.0;
}

// Destinations whose text is read.
bool takesText(Dest dest)
{
    return dest == Dest::Body || dest == Dest::FontTable || dest == Dest::FieldInst ||
           dest == Dest::LevelText;
}

// Longest control word kept; longer ones are read to their end and ignored.
constexpr int maxWordLength = 32;

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
    const QByteArray &source() const { return m_data; }

    std::vector<Paragraph> paragraphs;
    std::map<int, FontEntry> fonts;
    std::vector<ColourEntry> colours;
    int defaultFont = -1;
    bool damaged = false;
    bool cancelled = false;
    QStringList lostParts;
    PageSetup page;
    std::vector<Item> body;
    std::vector<Table> tables;
    std::vector<Picture> pictures;
    QStringList links;
    std::vector<ListDef> lists;
    std::map<int, int> listOverrides; // \ls number -> \listid
    std::map<int, ListDef> oldLists;  // old-style \pn lists by their (negative) number
    QByteArray kept;                  // document parts written back as they are

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
    void beginPageSetup();
    void addLost(const QString &part);
    std::vector<Item> &flow(std::size_t depth);
    void openTablesTo(std::size_t depth);
    void closeTable();
    void finishRow(std::size_t depth, RowDef &def);
    void endCell(std::size_t depth);
    std::size_t paragraphDepth() const;
    void rowWord(RowDef &def, Word word, char16_t extra, bool hasParam, int param);
    bool paragraphWord(ParaProps &para, Word word, bool hasParam, int param);
    void pictureWord(Word word, QByteArrayView name, bool hasParam, int param);
    void listWord(Word word, bool hasParam, int param);
    void pnWord(Word word, bool hasParam, int param);
    void closeSpecial(const GroupState &closing);
    void finishPicture();
    void emitPicture(int index);
    void finishFieldInstruction();
    int codePageForFont(int font) const;
    int currentCodePage() const;
    void finishFontName(FontEntry &entry, bool complete);

    const QByteArray &m_data;
    qsizetype m_pos;
    Progress m_progress;
    std::vector<GroupState> m_states;
    int m_excess = 0;           // groups beyond the nesting limit still open
    int m_excessSkipLevel = 0;  // excess level where an ignored destination began, 0: none
    int m_skip = 0;             // fallback units still to swallow after \uN
    bool m_ignorable = false;   // the last token was \*
    bool m_groupOpened = false; // nothing but \* since the last "{"
    char16_t m_highSurrogate = 0;
    QByteArray m_bytes; // text bytes waiting for decoding with the current code page
    int m_ansiCodePage = 1252;
    ColourEntry m_colour;
    struct OpenTable
    {
        int table = -1;
        Row row;
        Cell cell;
    };
    std::vector<OpenTable> m_open; // tables being read, outermost first
    RowDef m_rowDef;
    RowDef m_nestRowDef; // the row definition inside \*\nesttableprops
    int m_picture = -1;  // the \pict being read
    QByteArray m_pictBinary;
    int m_shpPicture = -1;
    int m_nonShpPicture = -1;
    std::vector<Field> m_fields;
    int m_overrideListId = 0;
    ListLevel m_pn;
    int m_pnList = 0;
    int m_pnLevel = 0;
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
    } else {
        const std::size_t depth = std::min(paragraphDepth(), m_open.size());
        openTablesTo(depth);
        flow(depth).push_back(Item{int(paragraphs.size() - 1), -1});
    }
    openTablesTo(0);
    if (page.present && page.paperTwips.width() > page.paperTwips.height()) {
        page.landscape = true; // some writers give the orientation by the paper size alone
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
    m_groupOpened = false;
    const Dest dest = effectiveDest();
    if (dest == Dest::Pict) {
        m_bytes.append(begin, end - begin); // hexadecimal picture data
        return;
    }
    if (takesText(dest)) {
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
    m_groupOpened = false;
    m_ignorable = false;
    if (bad) {
        return;
    }
    if (takesText(effectiveDest())) {
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
    if (effectiveDest() == Dest::Pict && m_pictBinary.size() < (64 << 20)) {
        m_pictBinary.append(m_data.constData() + m_pos, length);
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
    next.start = m_pos - 1;
    next.uprChild = next.inUpr;
    if (next.inUpr) {
        // The first part of \upr is the ANSI copy of what its \*\ud part holds.
        next.inUpr = false;
        next.dest = Dest::Skip;
    }
    m_states.push_back(next);
    m_groupOpened = true;
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
    if (closing.dest != m_states.back().dest) {
        closeSpecial(closing);
    }
    while (!m_fields.empty() && m_fields.back().depth > m_states.size()) {
        m_fields.pop_back();
    }
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

void Parser::beginPageSetup()
{
    if (!page.present) {
        // What readers assume for the values a document leaves out: Letter, 1.25" and 1".
        page.present = true;
        page.paperTwips = QSizeF(12240, 15840);
        page.marginsTwips = QMarginsF(1800, 1440, 1800, 1440);
    }
}

void Parser::pageValue(Word word, int twips)
{
    // Only the first section's setup is kept; later sections rarely differ.
    if (m_pageDone) {
        return;
    }
    beginPageSetup();
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
    m_groupOpened = false;
    m_ignorable = false;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        if (takesText(effectiveDest())) {
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
    // Parts kept as they came must be whole groups.
    const bool wholeGroup = m_groupOpened && m_states.size() > 2;
    m_groupOpened = false;
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
        if (dest == Dest::Body) {
            setDestination(Dest::NestProps);
        }
        return;
    case Word::Bin:
        if (hasParam) {
            binary(param);
        }
        return;
    case Word::NestRow:
        if (dest == Dest::Body || dest == Dest::NestProps) {
            flushBytes();
            if (formatting) {
                // A nested row ends the innermost table the paragraph state reaches.
                const std::size_t depth = std::min(paragraphDepth(), m_open.size());
                if (depth >= 2) {
                    finishRow(depth, m_nestRowDef);
                }
            }
        }
        return;
    default:
        break;
    }
    if (dest == Dest::Skip || dest == Dest::Kept) {
        return;
    }
    if (dest == Dest::NestProps) {
        if (formatting) {
            rowWord(m_nestRowDef, info.word, info.character, hasParam, param);
        }
        return;
    }
    switch (info.word) {
    case Word::Transparent:
    case Word::FontTable:
    case Word::ColourTable:
    case Word::Upr:
    case Word::Keep:
    case Word::Lost:
    case Word::Pict:
    case Word::ShpPict:
    case Word::NonShpPict:
    case Word::Field:
    case Word::FldInst:
    case Word::FldRslt:
    case Word::ListTable:
    case Word::ListOverrideTable:
    case Word::LevelText:
    case Word::Pn:
        break;
    default:
        if (ignorable) {
            setDestination(Dest::Skip);
            return;
        }
    }
    if (dest == Dest::Pict) {
        pictureWord(info.word, name, hasParam, param);
        return;
    }
    if (dest == Dest::ListTable || dest == Dest::ListOverrides) {
        if (info.word == Word::LevelText && dest == Dest::ListTable) {
            setDestination(Dest::LevelText);
        } else if (info.word != Word::F) {
            listWord(info.word, hasParam, param);
            return;
        }
    }
    if (dest == Dest::PnText) {
        pnWord(info.word, hasParam, param);
        return;
    }
    if (!formatting && dest == Dest::Body) {
        switch (info.word) {
        case Word::Pict:
        case Word::ShpPict:
        case Word::NonShpPict:
        case Word::Field:
        case Word::FldInst:
        case Word::ListTable:
        case Word::ListOverrideTable:
        case Word::Pn:
        case Word::Keep:
            // Beyond the nesting limit these parts are not read.
            setDestination(Dest::Skip);
            return;
        default:
            break;
        }
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
    case Word::Keep:
        if (dest == Dest::Body && wholeGroup) {
            setDestination(Dest::Kept);
        } else {
            setDestination(Dest::Skip);
        }
        return;
    case Word::Lost: {
        static const QHash<char16_t, QString> names{{u'样', QStringLiteral("样式")},
                                                    {u'脚', QStringLiteral("脚注")},
                                                    {u'批', QStringLiteral("批注")},
                                                    {u'图', QStringLiteral("图形")}};
        if (dest == Dest::Body) {
            addLost(names.value(info.character));
        }
        setDestination(Dest::Skip);
        return;
    }
    case Word::Object:
        if (dest == Dest::Body) {
            addLost(QStringLiteral("嵌入对象"));
        }
        return;
    case Word::Pict:
        if (wholeGroup &&
            (dest == Dest::Body || dest == Dest::ShpPict || dest == Dest::NonShpPict)) {
            setDestination(Dest::Pict);
            m_picture = int(pictures.size());
            pictures.emplace_back();
            pictures.back().rawStart = s.start;
            m_pictBinary.clear();
            m_bytes.clear();
        } else {
            setDestination(Dest::Skip);
        }
        return;
    case Word::ShpPict:
    case Word::NonShpPict:
        if (dest == Dest::Body && wholeGroup) {
            setDestination(info.word == Word::ShpPict ? Dest::ShpPict : Dest::NonShpPict);
            m_shpPicture = m_nonShpPicture = -1;
        } else {
            setDestination(Dest::Skip);
        }
        return;
    case Word::Field:
        if (dest == Dest::Body && m_fields.size() < 64) {
            m_fields.push_back(Field{m_states.size(), QString(), -1});
        }
        return;
    case Word::FldInst:
        if (dest == Dest::Body && !m_fields.empty() &&
            m_fields.back().depth + 1 == m_states.size()) {
            setDestination(Dest::FieldInst);
        } else {
            setDestination(Dest::Skip);
        }
        return;
    case Word::FldRslt:
        if (dest == Dest::Body && !m_fields.empty() && m_fields.back().link >= 0) {
            s.chars.link = m_fields.back().link;
        }
        return;
    case Word::ListTable:
        setDestination(dest == Dest::Body ? Dest::ListTable : Dest::Skip);
        return;
    case Word::ListOverrideTable:
        setDestination(dest == Dest::Body ? Dest::ListOverrides : Dest::Skip);
        return;
    case Word::Pn:
        if (dest == Dest::Body) {
            setDestination(Dest::PnText);
            m_pn = ListLevel{};
            m_pnList = -2;
            m_pnLevel = 0;
        } else {
            setDestination(Dest::Skip);
        }
        return;
    case Word::PaperW:
    case Word::PaperH:
    case Word::MargL:
    case Word::MargR:
    case Word::MargT:
    case Word::MargB:
        // A margin may be 0; a paper side may not.
        if (hasParam && param >= (info.word == Word::PaperW || info.word == Word::PaperH ? 1 : 0) &&
            param < 1'000'000 && dest == Dest::Body) {
            pageValue(info.word, param);
        }
        return;
    case Word::Landscape:
        if (dest == Dest::Body && !m_pageDone) {
            beginPageSetup();
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
    if (formatting) {
        if (paragraphWord(s.para, info.word, hasParam, param)) {
            return;
        }
        rowWord(m_rowDef, info.word, info.character, hasParam, param);
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
            s.para = ParaProps{};
            return;
        case Word::Ql:
            s.para.align = Align::Left;
            return;
        case Word::Qr:
            s.para.align = Align::Right;
            return;
        case Word::Qc:
            s.para.align = Align::Center;
            return;
        case Word::Qj:
            s.para.align = Align::Justify;
            return;
        case Word::Expndtw:
            ch.spacing = std::clamp(hasParam ? param : 0, -2000, 2000);
            return;
        case Word::Expnd:
            ch.spacing = std::clamp(hasParam ? param * 5 : 0, -2000, 2000);
            return;
        case Word::Ls:
            s.para.list = hasParam && param > 0 ? param : 0;
            return;
        case Word::Ilvl:
            s.para.level = std::clamp(hasParam ? param : 0, 0, 8);
            return;
        default:
            break;
        }
    }
    switch (info.word) {
    case Word::Par:
        endParagraph();
        return;
    case Word::Row:
        flushBytes();
        if (formatting) {
            finishRow(1, m_rowDef);
        }
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
        if (formatting) {
            endCell(1);
        }
        return;
    case Word::NestCell:
        if (formatting) {
            endCell(std::max<std::size_t>(2, paragraphDepth()));
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
    if (s.dest == Dest::LevelText) {
        return m_ansiCodePage; // the level's font follows its text
    }
    if (s.runType == RunType::DoubleByte && s.chars.eastFont >= 0) {
        return codePageForFont(s.chars.eastFont);
    }
    return codePageForFont(s.chars.font);
}

void Parser::flushBytes()
{
    if (m_bytes.isEmpty() || m_picture >= 0) {
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
    case Dest::FieldInst:
        if (!m_fields.empty() && m_fields.back().instruction.size() < 4096) {
            m_fields.back().instruction += text;
        }
        return;
    case Dest::LevelText:
        if (!lists.empty() && !lists.back().levels.empty() &&
            lists.back().levels.back().text.size() < 256) {
            lists.back().levels.back().text += text;
        }
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
    if (p.runs.empty()) {
        p.props = s.para; // a last paragraph without its mark keeps what its text had
    }
    QString text;
    text.reserve(piece.size());
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
    if (p.runs.empty() || !(p.runs.back().props == props) || p.runs.back().picture >= 0) {
        p.runs.push_back(Run{props, QString()});
    }
    p.runs.back().text += text;
}

void Parser::endParagraph()
{
    flushBytes();
    const GroupState &s = state();
    Paragraph &p = paragraphs.back();
    p.props = s.para;
    p.endProps = s.chars.western();
    const std::size_t depth = std::min(paragraphDepth(), m_open.size() + 1);
    openTablesTo(depth);
    flow(depth).push_back(Item{int(paragraphs.size() - 1), -1});
    paragraphs.emplace_back();
}

// Deeper tables are nonsense; deeper paragraphs stay in the innermost table allowed.
constexpr std::size_t maxTableDepth = 32;

std::size_t Parser::paragraphDepth() const
{
    const ParaProps &p = m_states.back().para;
    return std::min<std::size_t>(p.tableDepth, maxTableDepth);
}

std::vector<Item> &Parser::flow(std::size_t depth)
{
    return depth == 0 ? body : m_open[depth - 1].cell.items;
}

void Parser::openTablesTo(std::size_t depth)
{
    while (m_open.size() > depth) {
        closeTable();
    }
    while (m_open.size() < depth) {
        const int index = int(tables.size());
        tables.emplace_back();
        flow(m_open.size()).push_back(Item{-1, index});
        m_open.push_back(OpenTable{index, {}, {}});
    }
}

void Parser::closeTable()
{
    // A row left open (no \row) still keeps its cells.
    if (!m_open.back().cell.items.empty() || !m_open.back().row.cells.empty()) {
        finishRow(m_open.size(), m_open.size() == 1 ? m_rowDef : m_nestRowDef);
    }
    m_open.pop_back();
}

void Parser::endCell(std::size_t depth)
{
    flushBytes();
    // The text before the cell mark is the cell's last paragraph.
    endParagraph();
    depth = std::min(depth, m_open.size());
    if (depth == 0) {
        return;
    }
    openTablesTo(depth);
    OpenTable &t = m_open.back();
    if (t.row.cells.size() < 1000) {
        t.row.cells.push_back(std::move(t.cell));
    }
    t.cell = Cell{};
}

void Parser::finishRow(std::size_t depth, RowDef &def)
{
    depth = std::min(depth, m_open.size());
    if (depth == 0) {
        return;
    }
    while (m_open.size() > depth) {
        closeTable();
    }
    OpenTable &t = m_open.back();
    if (!t.cell.items.empty()) {
        t.row.cells.push_back(std::move(t.cell)); // content after the last cell mark
        t.cell = Cell{};
    }
    if (t.row.cells.empty()) {
        return;
    }
    for (std::size_t i = 0; i < t.row.cells.size() && i < def.cells.size(); ++i) {
        t.row.cells[i].def = def.cells[i];
    }
    t.row.left = def.left;
    t.row.gap = def.gap;
    Table &table = tables[std::size_t(t.table)];
    if (table.rows.size() < 100000) {
        table.rows.push_back(std::move(t.row));
    }
    t.row = Row{};
}

void Parser::rowWord(RowDef &def, Word word, char16_t extra, bool hasParam, int param)
{
    const int value = std::clamp(hasParam ? param : 0, -31680, 31680 * 4);
    Border *border = def.border >= 0      ? &def.pending.borders[def.border]
                     : def.rowBorder >= 0 ? &def.rowBorders[def.rowBorder]
                                          : nullptr;
    switch (word) {
    case Word::Trowd:
        def = RowDef{};
        return;
    case Word::Trgaph:
        def.gap = std::max(0, value);
        return;
    case Word::Trleft:
        def.left = value;
        return;
    case Word::Cellx:
        def.pending.right = value;
        for (int side = 0; side < 4; ++side) {
            if (def.pending.borders[side].width < 0 && def.rowBorders[side].width >= 0) {
                def.pending.borders[side] = def.rowBorders[side];
            }
        }
        if (def.cells.size() < 1000) {
            def.cells.push_back(def.pending);
        }
        def.pending = CellDef{};
        def.border = -1;
        return;
    case Word::Clmgf:
        def.pending.mergeFirst = true;
        return;
    case Word::Clmrg:
        def.pending.mergeNext = true;
        return;
    case Word::Clvmgf:
        def.pending.vmergeFirst = true;
        return;
    case Word::Clvmrg:
        def.pending.vmergeNext = true;
        return;
    case Word::Clcbpat:
        def.pending.shading = value;
        return;
    case Word::Clvertal:
        def.pending.valign = quint8(extra);
        return;
    case Word::Clbrdr:
        def.border = extra;
        def.rowBorder = -1;
        def.pending.borders[extra] = Border{15, -1, QTextFrameFormat::BorderStyle_Solid};
        return;
    case Word::Trbrdr:
        def.rowBorder = extra;
        def.border = -1;
        def.rowBorders[extra] = Border{15, -1, QTextFrameFormat::BorderStyle_Solid};
        return;
    case Word::Brdrw:
        if (border && border->width >= 0) {
            border->width = std::clamp(value, 1, 255);
        }
        return;
    case Word::Brdrcf:
        if (border) {
            border->colour = value;
        }
        return;
    case Word::BrdrStyle:
        if (border) {
            if (extra == QTextFrameFormat::BorderStyle_None) {
                border->width = -1;
            } else {
                border->style = quint8(extra);
            }
        }
        return;
    default:
        return;
    }
}

bool Parser::paragraphWord(ParaProps &para, Word word, bool hasParam, int param)
{
    const int value = std::clamp(hasParam ? param : 0, -31680, 31680);
    switch (word) {
    case Word::Li:
        para.left = value;
        return true;
    case Word::Ri:
        para.right = value;
        return true;
    case Word::Fi:
        para.first = value;
        return true;
    case Word::Sb:
        para.before = std::max(0, value);
        return true;
    case Word::Sa:
        para.after = std::max(0, value);
        return true;
    case Word::Sl:
        para.lineSpacing = value;
        return true;
    case Word::SlMult:
        para.lineMultiple = !hasParam || param != 0;
        return true;
    case Word::Tqr:
        para.pendingTab = QTextOption::RightTab;
        return true;
    case Word::Tqc:
        para.pendingTab = QTextOption::CenterTab;
        return true;
    case Word::Tqdec:
        para.pendingTab = QTextOption::DelimiterTab;
        return true;
    case Word::Tx:
        if (para.tabs.size() < 64) {
            para.tabs.push_back(TabStop{std::max(0, value), para.pendingTab});
        }
        para.pendingTab = 0;
        return true;
    case Word::Keep_:
        para.keepTogether = !hasParam || param != 0;
        return true;
    case Word::KeepN:
        para.keepNext = !hasParam || param != 0;
        return true;
    case Word::PageBb:
        para.pageBreakBefore = !hasParam || param != 0;
        return true;
    case Word::Intbl:
        if (para.tableDepth == 0) {
            para.tableDepth = 1;
        }
        return true;
    case Word::Itap:
        para.tableDepth = std::clamp(hasParam ? param : 1, 0, 1000);
        return true;
    default:
        return false;
    }
}

void Parser::pictureWord(Word word, QByteArrayView name, bool hasParam, int param)
{
    Picture &p = pictures[std::size_t(m_picture)];
    const int value = std::clamp(hasParam ? param : 0, 0, 1'000'000);
    switch (word) {
    case Word::Blip:
        p.kind = name.toByteArray();
        return;
    case Word::PicW:
        p.width = value;
        return;
    case Word::PicH:
        p.height = value;
        return;
    case Word::PicWGoal:
        p.goalWidth = value;
        return;
    case Word::PicHGoal:
        p.goalHeight = value;
        return;
    case Word::PicScaleX:
        p.scaleX = std::clamp(value, 1, 10000);
        return;
    case Word::PicScaleY:
        p.scaleY = std::clamp(value, 1, 10000);
        return;
    case Word::Skip:
        setDestination(Dest::Skip);
        return;
    default:
        return;
    }
}

void Parser::listWord(Word word, bool hasParam, int param)
{
    switch (word) {
    case Word::List:
        if (state().dest == Dest::ListTable && lists.size() < 4096) {
            lists.emplace_back();
        }
        return;
    case Word::ListLevel:
        if (!lists.empty() && lists.back().levels.size() < 9) {
            lists.back().levels.emplace_back();
        }
        return;
    case Word::LevelNfc:
        if (!lists.empty() && !lists.back().levels.empty()) {
            lists.back().levels.back().nfc = hasParam ? param : 0;
        }
        return;
    case Word::LevelStartAt:
        if (!lists.empty() && !lists.back().levels.empty()) {
            lists.back().levels.back().start = std::clamp(hasParam ? param : 1, 0, 1'000'000);
        }
        return;
    case Word::ListId:
        if (state().dest == Dest::ListOverrides) {
            m_overrideListId = param;
        } else if (!lists.empty()) {
            lists.back().id = param;
        }
        return;
    case Word::Ls:
        if (state().dest == Dest::ListOverrides && hasParam && listOverrides.size() < 4096) {
            listOverrides[param] = m_overrideListId;
        }
        return;
    case Word::Skip:
        setDestination(Dest::Skip);
        return;
    default:
        return;
    }
}

void Parser::pnWord(Word word, bool hasParam, int param)
{
    switch (word) {
    case Word::PnLvlBlt:
        m_pnList = -1;
        m_pn.nfc = 23;
        return;
    case Word::PnLvlBody:
        m_pnList = -2;
        return;
    case Word::PnLvl:
        m_pnList = -3;
        m_pnLevel = std::clamp(hasParam ? param - 1 : 0, 0, 8);
        return;
    case Word::PnDec:
        m_pn.nfc = 0;
        return;
    case Word::PnUcRm:
        m_pn.nfc = 1;
        return;
    case Word::PnLcRm:
        m_pn.nfc = 2;
        return;
    case Word::PnUcLtr:
        m_pn.nfc = 3;
        return;
    case Word::PnLcLtr:
        m_pn.nfc = 4;
        return;
    case Word::PnStart:
        m_pn.start = std::clamp(hasParam ? param : 1, 0, 1'000'000);
        return;
    case Word::Skip:
        setDestination(Dest::Skip);
        return;
    default:
        return;
    }
}

void Parser::addLost(const QString &part)
{
    if (!part.isEmpty() && !lostParts.contains(part)) {
        lostParts << part;
    }
}

bool isDrawable(const QByteArray &kind)
{
    return kind == "pngblip" || kind == "jpegblip";
}

void Parser::closeSpecial(const GroupState &closing)
{
    if (m_excess > 0) {
        return;
    }
    GroupState &parent = m_states.back();
    switch (closing.dest) {
    case Dest::Pict:
        finishPicture();
        return;
    case Dest::ShpPict:
        if (m_shpPicture >= 0) {
            Picture &p = pictures[std::size_t(m_shpPicture)];
            p.rawStart = closing.start;
            p.rawEnd = m_pos;
            emitPicture(m_shpPicture);
        }
        m_shpPicture = -1;
        return;
    case Dest::NonShpPict: {
        if (m_nonShpPicture < 0) {
            return;
        }
        const int index = m_nonShpPicture;
        m_nonShpPicture = -1;
        // The picture for older readers right after a picture shown already: the same picture.
        const Paragraph &para = paragraphs.back();
        if (!para.runs.empty() && para.runs.back().picture >= 0) {
            Picture &shown = pictures[std::size_t(para.runs.back().picture)];
            if (shown.rawEnd <= closing.start &&
                QByteArrayView(m_data)
                    .sliced(shown.rawEnd, closing.start - shown.rawEnd)
                    .trimmed()
                    .isEmpty()) {
                shown.rawEnd = m_pos;
                Picture &other = pictures[std::size_t(index)];
                if (!isDrawable(shown.kind) && isDrawable(other.kind)) {
                    const qsizetype start = shown.rawStart;
                    const qsizetype end = shown.rawEnd;
                    shown = std::move(other);
                    shown.rawStart = start;
                    shown.rawEnd = end;
                }
                pictures[std::size_t(index)].data.clear();
                return;
            }
        }
        Picture &p = pictures[std::size_t(index)];
        p.rawStart = closing.start;
        p.rawEnd = m_pos;
        emitPicture(index);
        return;
    }
    case Dest::FieldInst:
        finishFieldInstruction();
        return;
    case Dest::PnText:
        if (parent.dest == Dest::Body) {
            parent.para.pnList = m_pnList;
            parent.para.pnLevel = m_pnList == -3 ? m_pnLevel : 0;
            ListDef &def = oldLists[m_pnList];
            if (def.levels.size() <= std::size_t(parent.para.pnLevel)) {
                def.levels.resize(std::size_t(parent.para.pnLevel) + 1);
            }
            def.levels[std::size_t(parent.para.pnLevel)] = m_pn;
        }
        return;
    case Dest::Kept:
        // A damaged part would make the written file damaged too.
        if (damaged) {
            addLost(QStringLiteral("页眉页脚或文档信息"));
        } else if (kept.size() < (64 << 20)) {
            kept += QByteArrayView(m_data).sliced(closing.start, m_pos - closing.start);
            kept += "\r\n";
        }
        return;
    default:
        return;
    }
}

void Parser::finishPicture()
{
    const int index = m_picture;
    m_picture = -1;
    if (index < 0) {
        return;
    }
    Picture &p = pictures[std::size_t(index)];
    p.rawEnd = m_pos;
    p.keepRaw = !damaged;
    p.data = m_pictBinary.isEmpty() ? QByteArray::fromHex(m_bytes) : m_pictBinary;
    m_bytes.clear();
    m_pictBinary.clear();
    switch (m_states.back().dest) {
    case Dest::Body:
        emitPicture(index);
        break;
    case Dest::ShpPict:
        m_shpPicture = index;
        break;
    case Dest::NonShpPict:
        m_nonShpPicture = index;
        break;
    default:
        p.data.clear();
        break;
    }
}

void Parser::emitPicture(int index)
{
    const GroupState &s = state();
    if (s.chars.hidden) {
        return;
    }
    Paragraph &p = paragraphs.back();
    p.props = s.para;
    p.runs.push_back(Run{s.chars.western(), QString(), index});
}

void Parser::finishFieldInstruction()
{
    if (m_fields.empty()) {
        return;
    }
    Field &f = m_fields.back();
    // HYPERLINK "target" [\l "bookmark"] [switches]
    const QString inst = f.instruction.trimmed();
    if (!inst.startsWith(u"HYPERLINK", Qt::CaseInsensitive)) {
        return;
    }
    QStringList args;
    qsizetype i = 9;
    while (i < inst.size() && args.size() < 16) {
        while (i < inst.size() && inst[i].isSpace()) {
            ++i;
        }
        if (i >= inst.size()) {
            break;
        }
        QString arg;
        if (inst[i] == u'"') {
            ++i;
            while (i < inst.size() && inst[i] != u'"') {
                if (inst[i] == u'\\' && i + 1 < inst.size()) {
                    ++i; // a field escapes backslashes and quotes with a backslash
                }
                arg += inst[i++];
            }
            ++i;
        } else {
            while (i < inst.size() && !inst[i].isSpace()) {
                arg += inst[i++];
            }
        }
        args << arg;
    }
    QString target;
    QString bookmark;
    for (qsizetype k = 0; k < args.size(); ++k) {
        const QString &a = args[k];
        if (a.compare(u"\\l", Qt::CaseInsensitive) == 0 && k + 1 < args.size()) {
            bookmark = args[++k];
        } else if (a.startsWith(u'\\')) {
            if (a.size() == 2 && QStringView(u"otmOTM").contains(a[1]) && k + 1 < args.size()) {
                ++k; // a switch with an argument
            }
        } else if (target.isEmpty()) {
            target = a;
        }
    }
    // Control characters cannot stand in an address and are never written; without them two
    // links that are written alike read back alike.
    const auto control = [](QChar c) {
        return c.unicode() < 0x20 || droppedFromBody(c.unicode());
    };
    target.removeIf(control);
    bookmark.removeIf(control);
    if (!bookmark.isEmpty()) {
        target += u'#' + bookmark;
    }
    if (!target.isEmpty() && links.size() < 100000) {
        f.link = int(links.size());
        links << target;
    }
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

// Turns the parsed document into text document structures once the tables are known.
class Builder
{
public:
    Builder(const Parser &parser, QTextDocument *doc)
        : m_parser(parser)
        , m_doc(doc)
    {}

    QTextCharFormat charFormat(const CharProps &props);
    // False when the progress callback asked to stop.
    bool insert(QTextCursor &cursor, bool replaceFirstBlockFormat, const Progress &progress);

private:
    std::optional<QColor> colour(int index) const;
    QTextBlockFormat blockFormat(const ParaProps &p) const;
    bool insertFlow(QTextCursor &cursor, const std::vector<Item> &items, bool fresh,
                    bool setFirstFormat, int depth);
    void insertParagraph(QTextCursor &cursor, const Paragraph &p, bool fresh, bool setFormat);
    void insertTable(QTextCursor &cursor, const Table &t, int depth);
    void insertPicture(QTextCursor &cursor, const Picture &p, const QTextCharFormat &format);
    QTextList *listFor(const ParaProps &p, QTextBlock block);
    const ListLevel *levelDef(int list, int level) const;
    QString newImageName();

    const Parser &m_parser;
    QTextDocument *m_doc;
    std::unordered_map<CharProps, QTextCharFormat, CharPropsHash> m_cache;
    std::map<int, std::array<QTextList *, 9>> m_lists;
    Progress m_progress;
    qint64 m_done = 0;
    bool m_cancelled = false;
    bool m_cellStart = false; // the cursor stands at the start of a table cell
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
        f.setProperty(parts::familyKey, font->second.name);
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
    if (props.link >= 0 && props.link < m_parser.links.size()) {
        f.setAnchor(true);
        f.setAnchorHref(m_parser.links[props.link]);
    }
    if (props.spacing != 0) {
        f.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        f.setFontLetterSpacing(pixels(props.spacing));
    }
    m_cache.emplace(props, f);
    return f;
}

QTextBlockFormat Builder::blockFormat(const ParaProps &p) const
{
    QTextBlockFormat f;
    switch (p.align) {
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
    // A list item's indent comes from its list.
    const bool listItem = levelDef(p.list, p.level) || levelDef(p.pnList, p.pnLevel);
    if (!listItem) {
        if (p.left != 0) {
            f.setLeftMargin(pixels(p.left));
        }
        if (p.first != 0) {
            f.setTextIndent(pixels(p.first));
        }
    }
    if (p.right != 0) {
        f.setRightMargin(pixels(p.right));
    }
    if (p.before != 0) {
        f.setTopMargin(pixels(p.before));
    }
    if (p.after != 0) {
        f.setBottomMargin(pixels(p.after));
    }
    if (p.lineSpacing > 0 && p.lineMultiple) {
        f.setLineHeight(p.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    } else if (p.lineSpacing > 0) {
        f.setLineHeight(pixels(p.lineSpacing), QTextBlockFormat::MinimumHeight);
    } else if (p.lineSpacing < 0) {
        f.setLineHeight(pixels(-p.lineSpacing), QTextBlockFormat::FixedHeight);
    }
    if (!p.tabs.empty()) {
        QList<QTextOption::Tab> tabs;
        for (const TabStop &t : p.tabs) {
            tabs << QTextOption::Tab(pixels(t.position), QTextOption::TabType(t.kind),
                                     t.kind == QTextOption::DelimiterTab ? QChar(u'.') : QChar());
        }
        f.setTabPositions(tabs);
    }
    if (p.keepTogether) {
        f.setNonBreakableLines(true);
    }
    if (p.keepNext) {
        f.setProperty(parts::keepWithNext, true);
    }
    if (p.pageBreakBefore) {
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    }
    return f;
}

const ListLevel *Builder::levelDef(int list, int level) const
{
    if (list < 0) {
        const auto it = m_parser.oldLists.find(list);
        if (it == m_parser.oldLists.end() || std::size_t(level) >= it->second.levels.size()) {
            return nullptr;
        }
        return &it->second.levels[std::size_t(level)];
    }
    if (list == 0) {
        return nullptr;
    }
    const auto o = m_parser.listOverrides.find(list);
    if (o == m_parser.listOverrides.end()) {
        return nullptr;
    }
    for (const ListDef &def : m_parser.lists) {
        if (def.id == o->second) {
            return std::size_t(level) < def.levels.size() ? &def.levels[std::size_t(level)]
                                                          : nullptr;
        }
    }
    return nullptr;
}

QTextList *Builder::listFor(const ParaProps &p, QTextBlock block)
{
    int list = p.list;
    int level = p.level;
    const ListLevel *def = levelDef(list, level);
    if (!def) {
        list = p.pnList;
        level = p.pnLevel;
        def = levelDef(list, level);
    }
    if (!def) {
        return nullptr;
    }
    auto &levels = m_lists.try_emplace(list).first->second;
    // A higher level item restarts the numbering of the levels below it.
    for (std::size_t l = std::size_t(level) + 1; l < levels.size(); ++l) {
        levels[l] = nullptr;
    }
    QTextList *&current = levels[std::size_t(level)];
    if (!current) {
        QTextListFormat f;
        f.setIndent(level + 1);
        f.setProperty(parts::listNumberFormat, def->nfc);
        f.setProperty(parts::listStart, def->start);
        switch (def->nfc) {
        case 1:
            f.setStyle(QTextListFormat::ListUpperRoman);
            break;
        case 2:
            f.setStyle(QTextListFormat::ListLowerRoman);
            break;
        case 3:
            f.setStyle(QTextListFormat::ListUpperAlpha);
            break;
        case 4:
            f.setStyle(QTextListFormat::ListLowerAlpha);
            break;
        case 23: {
            // The bullet character decides the shape: a small circle or a square, else a disc.
            const QString text = def->text;
            const bool circle = text.contains(u'o') || text.contains(QChar(0x25CB)) ||
                                text.contains(QChar(0x25E6)) || text.contains(QChar(0xF06F));
            const bool square = text.contains(QChar(0x25AA)) || text.contains(QChar(0x25A0)) ||
                                text.contains(QChar(0xF0A7)) || text.contains(QChar(0xF0A8));
            f.setStyle(circle   ? QTextListFormat::ListCircle
                       : square ? QTextListFormat::ListSquare
                                : QTextListFormat::ListDisc);
            break;
        }
        default:
            // Decimal, and the numberings Qt has no style for (Chinese counting among them).
            f.setStyle(QTextListFormat::ListDecimal);
            break;
        }
        if (def->nfc != 23 && !def->text.isEmpty()) {
            // \leveltext: a length, then text where codes below 9 stand for level numbers; the
            // text around this level's own number becomes the prefix and suffix.
            const QString text = def->text.mid(1).remove(u';');
            const qsizetype own = text.indexOf(QChar(char16_t(level)));
            if (own >= 0) {
                qsizetype start = own;
                while (start > 0 && text[start - 1].unicode() >= 9) {
                    --start;
                }
                qsizetype end = own + 1;
                while (end < text.size() && text[end].unicode() >= 9) {
                    ++end;
                }
                f.setNumberPrefix(text.mid(start, own - start));
                f.setNumberSuffix(text.mid(own + 1, end - own - 1));
            }
        }
        QTextCursor c(block);
        current = c.createList(f);
        return current;
    }
    current->add(block);
    return current;
}

QString Builder::newImageName()
{
    static std::atomic<int> serial{0};
    return QStringLiteral("rtfpicture:%1").arg(++serial);
}

void Builder::insertPicture(QTextCursor &cursor, const Picture &p, const QTextCharFormat &format)
{
    QImage image;
    if (isDrawable(p.kind) && !p.data.isEmpty()) {
        image = QImage::fromData(p.data);
    }
    qreal width = p.goalWidth > 0 ? pixels(p.goalWidth) : 0;
    qreal height = p.goalHeight > 0 ? pixels(p.goalHeight) : 0;
    if (width <= 0 || height <= 0) {
        // Without a goal size: pixels for bitmaps, hundredths of a millimetre for metafiles.
        const bool metafile = !isDrawable(p.kind) && p.kind != "dibitmap" && p.kind != "wbitmap";
        const qreal unit = metafile ? 96.0 / 2540.0 : 1.0;
        width = !image.isNull() ? image.width() : std::max(1.0, p.width * unit);
        height = !image.isNull() ? image.height() : std::max(1.0, p.height * unit);
    }
    width = std::clamp(width * p.scaleX / 100.0, 1.0, 20000.0);
    height = std::clamp(height * p.scaleY / 100.0, 1.0, 20000.0);
    if (image.isNull()) {
        // A picture Qt cannot draw: a framed placeholder of its size.
        image = QImage(std::clamp(int(width), 1, 400), std::clamp(int(height), 1, 400),
                       QImage::Format_RGB32);
        image.fill(QColor(0xEE, 0xEE, 0xEE));
        QPainter painter(&image);
        painter.setPen(QColor(0x99, 0x99, 0x99));
        painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
        painter.drawLine(image.rect().topLeft(), image.rect().bottomRight());
        painter.drawLine(image.rect().bottomLeft(), image.rect().topRight());
    }
    const QString name = newImageName();
    m_doc->addResource(QTextDocument::ImageResource, QUrl(name), image);
    if (p.keepRaw && !m_parser.damaged) {
        m_doc->addResource(
            QTextDocument::UserResource, parts::keptPicture(name),
            QByteArray(m_parser.source().constData() + p.rawStart, p.rawEnd - p.rawStart));
    }
    QTextImageFormat f;
    f.merge(format);
    f.setName(name);
    f.setWidth(width);
    f.setHeight(height);
    cursor.insertImage(f);
}

void Builder::insertParagraph(QTextCursor &cursor, const Paragraph &p, bool fresh, bool setFormat)
{
    const CharProps &endProps = p.runs.empty() ? p.endProps : p.runs.back().props;
    const QTextBlockFormat bf = blockFormat(p.props);
    if (!fresh) {
        cursor.insertBlock(bf, charFormat(endProps));
    } else if (setFormat) {
        cursor.setBlockFormat(bf);
        if (m_cellStart) {
            // The character format of a cell's first paragraph mark is the cell's format.
            cursor.mergeBlockCharFormat(charFormat(endProps));
        } else {
            cursor.setBlockCharFormat(charFormat(endProps));
        }
    }
    m_cellStart = false;
    if (setFormat) {
        listFor(p.props, cursor.block());
    }
    for (const Run &r : p.runs) {
        if (r.picture >= 0) {
            insertPicture(cursor, m_parser.pictures[std::size_t(r.picture)], charFormat(r.props));
        } else {
            cursor.insertText(r.text, charFormat(r.props));
        }
    }
}

bool Builder::insertFlow(QTextCursor &cursor, const std::vector<Item> &items, bool fresh,
                         bool setFirstFormat, int depth)
{
    bool setFormat = setFirstFormat;
    for (const Item &item : items) {
        if (m_cancelled) {
            return false;
        }
        if (item.paragraph >= 0) {
            if (m_progress && ++m_done % 4096 == 0 &&
                !m_progress(m_done, qint64(m_parser.paragraphs.size()))) {
                m_cancelled = true;
                return false;
            }
            insertParagraph(cursor, m_parser.paragraphs[std::size_t(item.paragraph)], fresh,
                            setFormat);
        } else {
            m_cellStart = false;
            insertTable(cursor, m_parser.tables[std::size_t(item.table)], depth);
        }
        // After a table the cursor stands in the empty paragraph that follows it.
        fresh = item.table >= 0;
        setFormat = true;
    }
    return !m_cancelled;
}

void Builder::insertTable(QTextCursor &cursor, const Table &t, int depth)
{
    if (t.rows.empty()) {
        return;
    }
    // The columns are the cell edges of all rows together.
    std::vector<std::vector<std::pair<int, int>>> spans(t.rows.size()); // [row] -> (left, right)
    std::set<int> edges;
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        int x = t.rows[r].left;
        edges.insert(x);
        for (const Cell &c : t.rows[r].cells) {
            const int right = c.def.right > x ? c.def.right : x + 1440;
            spans[r].emplace_back(x, right);
            edges.insert(right);
            x = right;
        }
    }
    const bool byEdges = edges.size() <= 64;
    std::vector<int> columns(edges.begin(), edges.end());
    auto column = [&](int x) {
        return int(std::lower_bound(columns.begin(), columns.end(), x) - columns.begin());
    };
    int columnCount = 0;
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        columnCount =
            std::max(columnCount, byEdges ? column(spans[r].empty() ? 0 : spans[r].back().second)
                                          : int(t.rows[r].cells.size()));
    }
    columnCount = std::clamp(columnCount, 1, 64);
    const int rowCount = int(std::min<std::size_t>(t.rows.size(), 100000));

    QTextTableFormat tf;
    tf.setBorderCollapse(true);
    tf.setBorder(0);
    tf.setCellSpacing(0);
    tf.setCellPadding(0);
    if (t.rows.front().left > 0) {
        tf.setLeftMargin(pixels(t.rows.front().left));
    }
    if (byEdges) {
        QList<QTextLength> widths;
        for (int c = 0; c < columnCount && c + 1 < int(columns.size()); ++c) {
            widths << QTextLength(QTextLength::FixedLength, pixels(columns[c + 1] - columns[c]));
        }
        tf.setColumnWidthConstraints(widths);
    }
    QTextTable *table = cursor.insertTable(rowCount, columnCount, tf);

    // Where each cell goes, and which cells merge into which.
    struct Place
    {
        int row, column, columns;
        const Cell *cell;
        const Place *owner = nullptr; // the cell this one merges into
    };
    std::vector<std::vector<Place>> places(static_cast<std::size_t>(rowCount));
    std::vector<Place *> above(std::size_t(columnCount), nullptr); // vertical merge owners
    for (int r = 0; r < rowCount; ++r) {
        places[std::size_t(r)].reserve(t.rows[std::size_t(r)].cells.size());
        int next = 0;
        for (std::size_t i = 0; i < t.rows[std::size_t(r)].cells.size(); ++i) {
            const Cell &cell = t.rows[std::size_t(r)].cells[i];
            int first = byEdges ? column(spans[std::size_t(r)][i].first) : next;
            int last = byEdges ? column(spans[std::size_t(r)][i].second) : next + 1;
            first = std::max(first, next);
            if (first >= columnCount) {
                break;
            }
            last = std::clamp(last, first + 1, columnCount);
            next = last;
            auto &row = places[std::size_t(r)];
            if (cell.def.mergeNext && !row.empty() && !row.back().owner) {
                // Horizontal merge: the previous cell grows over this one.
                Place &prev = row.back();
                prev.columns = last - prev.column;
                row.push_back(Place{r, first, last - first, &cell, &prev});
                continue;
            }
            row.push_back(Place{r, first, last - first, &cell});
        }
    }
    // Vertical merges: a continuation cell joins the cell above it that starts the merge.
    std::vector<int> rowSpans;
    std::map<const Place *, int> spanOf;
    for (int r = 0; r < rowCount; ++r) {
        for (Place &p : places[std::size_t(r)]) {
            if (p.owner) {
                continue;
            }
            Place *&up = above[std::size_t(p.column)];
            if (p.cell->def.vmergeNext && up && up->columns == p.columns) {
                p.owner = up;
                ++spanOf[up];
                continue;
            }
            up = p.cell->def.vmergeFirst ? &p : nullptr;
            spanOf[&p] = 1;
            for (int c = p.column + 1; c < p.column + p.columns; ++c) {
                above[std::size_t(c)] = nullptr;
            }
        }
    }
    // Cell formats first: merging keeps them, setting a format afterwards would undo the merge.
    for (int r = 0; r < rowCount; ++r) {
        for (const Place &p : places[std::size_t(r)]) {
            if (p.owner) {
                continue;
            }
            QTextTableCell cell = table->cellAt(p.row, p.column);
            const CellDef &d = p.cell->def;
            QTextTableCellFormat cf = cell.format().toTableCellFormat();
            if (const auto c = colour(d.shading)) {
                cf.setBackground(*c);
            }
            const qreal pad = pixels(t.rows[std::size_t(r)].gap);
            cf.setLeftPadding(pad);
            cf.setRightPadding(pad);
            if (d.valign == 1) {
                cf.setVerticalAlignment(QTextCharFormat::AlignMiddle);
            } else if (d.valign == 2) {
                cf.setVerticalAlignment(QTextCharFormat::AlignBottom);
            }
            for (int side = 0; side < 4; ++side) {
                const Border &b = d.borders[side];
                const qreal w = b.width >= 0 ? std::max(1.0, pixels(b.width)) : 0;
                const auto style = QTextFrameFormat::BorderStyle(b.width >= 0 ? b.style : 0);
                const QBrush brush(colour(b.colour).value_or(Qt::black));
                switch (side) {
                case 0:
                    cf.setTopBorder(w);
                    cf.setTopBorderStyle(style);
                    cf.setTopBorderBrush(brush);
                    break;
                case 1:
                    cf.setLeftBorder(w);
                    cf.setLeftBorderStyle(style);
                    cf.setLeftBorderBrush(brush);
                    break;
                case 2:
                    cf.setBottomBorder(w);
                    cf.setBottomBorderStyle(style);
                    cf.setBottomBorderBrush(brush);
                    break;
                default:
                    cf.setRightBorder(w);
                    cf.setRightBorderStyle(style);
                    cf.setRightBorderBrush(brush);
                    break;
                }
            }
            cell.setFormat(cf);
        }
    }
    for (auto &[p, span] : spanOf) {
        if (span > 1 || p->columns > 1) {
            table->mergeCells(p->row, p->column, span, p->columns);
        }
    }
    auto hasContent = [this](const Cell &c) {
        if (c.items.size() != 1 || c.items.front().paragraph < 0) {
            return !c.items.empty();
        }
        return !m_parser.paragraphs[std::size_t(c.items.front().paragraph)].runs.empty();
    };
    for (int r = 0; r < rowCount; ++r) {
        for (const Place &p : places[std::size_t(r)]) {
            const Place *owner = &p;
            while (owner->owner) {
                owner = owner->owner;
            }
            if (owner != &p && !hasContent(*p.cell)) {
                continue;
            }
            QTextTableCell cell = table->cellAt(owner->row, owner->column);
            QTextCursor in = owner == &p ? cell.firstCursorPosition() : cell.lastCursorPosition();
            m_cellStart = owner == &p;
            if (!insertFlow(in, p.cell->items, owner == &p, true, depth + 1)) {
                return;
            }
        }
    }
    cursor = table->lastCursorPosition();
    cursor.setPosition(table->lastPosition() + 1);
}

bool Builder::insert(QTextCursor &cursor, bool replaceFirstBlockFormat, const Progress &progress)
{
    m_progress = progress;
    return insertFlow(cursor, m_parser.body, true, replaceFirstBlockFormat, 0);
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
    into->setProperty(parts::keptGroups, parser.kept);
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
    result.paragraphs = into->blockCount();
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
