// Loads and saves a generated RTF document of about 5 MB (20 000 paragraphs of mixed Chinese and
// Latin text with fonts, sizes, bold/italic/underline, colours and alignment) and sets the figures
// beside LibreOffice and pandoc converting the same file from RTF to RTF (load and save); then the
// same for a document of about 10 MB with tables and PNG pictures, beside LibreOffice. The
// reference tools' start-up, measured on a one-line file, is taken off their figures.
#include "bench/common/benchfigures.h"
#include "editor/rtf/rtfreader.h"
#include "editor/rtf/rtfwriter.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace {

using bench::median;
using bench::timedMs;

constexpr int paragraphs = 20000;
constexpr int runs = 5;
constexpr int referenceRuns = 3;

void printFigure(const char *name, double ours, std::optional<double> reference,
                 const char *missing)
{
    if (reference)
        bench::printFigure(QString::fromUtf8(name), ours, *reference);
    else
        bench::printFigureWithoutReference(QString::fromUtf8(name), ours,
                                           QString::fromUtf8(missing));
}

void buildDocument(QTextDocument &doc)
{
    QRandomGenerator random(5);
    const QStringList families{QStringLiteral("宋体"), QStringLiteral("黑体"),
                               QStringLiteral("Arial"), QStringLiteral("Times New Roman")};
    const QString chinese =
        QStringLiteral("马洛文电话黄页查询号码姓名地址杭州市西湖区备注周一至五营业时间");
    const QStringList latin{QStringLiteral("Marlowen"),      QStringLiteral("directory"),
                            QStringLiteral("0571-88886666"), QStringLiteral("listing"),
                            QStringLiteral("Tel."),          QStringLiteral("Fax"),
                            QStringLiteral("Road")};
    const QColor colours[] = {Qt::black, Qt::red, Qt::blue, QColor(0, 128, 0), QColor(128, 0, 128)};
    const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                    Qt::AlignJustify};
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QTextCursor c(&doc);
    c.beginEditBlock();
    for (int p = 0; p < paragraphs; ++p) {
        QTextBlockFormat block;
        block.setAlignment(aligns[random.bounded(4)]);
        if (p == 0) {
            c.setBlockFormat(block);
        } else {
            c.insertBlock(block);
        }
        for (int r = random.bounded(2, 5); r > 0; --r) {
            QString text;
            for (int k = random.bounded(4, 9); k > 0; --k) {
                if (random.bounded(2)) {
                    text += chinese[random.bounded(int(chinese.size()))];
                } else {
                    text += latin[random.bounded(int(latin.size()))] + u' ';
                }
            }
            QTextCharFormat f;
            f.setFontFamilies({families[random.bounded(int(families.size()))]});
            f.setFontPointSize(9 + random.bounded(8) * 1.5);
            f.setFontWeight(random.bounded(3) == 0 ? QFont::Bold : QFont::Normal);
            f.setFontItalic(random.bounded(4) == 0);
            f.setFontUnderline(random.bounded(5) == 0);
            f.setForeground(colours[random.bounded(5)]);
            c.insertText(text, f);
        }
    }
    c.endEditBlock();
}

// About 10 MB of RTF as a word processor writes it: sections of a heading, a paragraph, a table of
// listings with shaded header cells and a PNG picture (noise, so it does not compress away).
QByteArray richDocument()
{
    QRandomGenerator random(7);
    QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fswiss Arial;}"
                     "{\\f1\\fnil\\fcharset134 SimSun;}}{\\colortbl;\\red0\\green0\\blue0;"
                     "\\red217\\green217\\blue217;}\\paperw11906\\paperh16838\\margl1440"
                     "\\margr1440\\margt1440\\margb1440\n";
    QByteArray picture;
    for (int section = 0; out.size() < 10 * 1024 * 1024; ++section) {
        out += "\\pard\\sb240\\sa120\\b\\fs32 Section " + QByteArray::number(section) +
               " \\u30005?\\u35805?\\b0\\fs24\\par\n\\pard Listings of the directory, "
               "\\i road\\i0  and \\ul number\\ulnone .\\par\n";
        for (int row = 0; row < 12; ++row) {
            out += "\\trowd\\trgaph108";
            for (int cell = 1; cell <= 4; ++cell) {
                if (row == 0)
                    out += "\\clcbpat2";
                out += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\cellx" +
                       QByteArray::number(cell * 2200);
            }
            for (int cell = 0; cell < 4; ++cell) {
                out += "\\pard\\intbl ";
                out += row == 0 ? QByteArray("\\b Name\\b0")
                                : "0571-" + QByteArray::number(random.bounded(10000000, 99999999));
                out += "\\cell ";
            }
            out += "\\row\n";
        }
        if (section % 4 == 0 || picture.isEmpty()) {
            QImage image(96, 64, QImage::Format_RGB32);
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    image.setPixel(x, y, random.generate());
            }
            QBuffer png;
            png.open(QIODevice::WriteOnly);
            image.save(&png, "PNG");
            picture = "{\\pict\\pngblip\\picw96\\pich64\\picwgoal1440\\pichgoal960\n" +
                      png.data().toHex() + "}";
        }
        out += "\\pard " + picture + "\\par\n";
    }
    return out + "}";
}

// Median wall time of converting `input` to RTF with a command line, in milliseconds.
std::optional<double> referenceMs(const QString &program, const QStringList &arguments)
{
    std::vector<double> times;
    for (int i = 0; i < referenceRuns; ++i) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(program, arguments);
        if (!process.waitForFinished(600000) || process.exitCode() != 0) {
            std::fprintf(stderr, "%s failed\n", qPrintable(program));
            return std::nullopt;
        }
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;

    QTextDocument source;
    buildDocument(source);
    const QByteArray rtf = rtf::writeRtf(source);
    const QString big = dir.filePath(QStringLiteral("big.rtf"));
    const QString small = dir.filePath(QStringLiteral("small.rtf"));
    {
        QFile f(big);
        if (!f.open(QIODevice::WriteOnly) || f.write(rtf) != rtf.size()) {
            qFatal("cannot write %s", qPrintable(big));
        }
        QFile s(small);
        if (!s.open(QIODevice::WriteOnly) || s.write("{\\rtf1\\ansi x\\par}") < 0) {
            qFatal("cannot write %s", qPrintable(small));
        }
    }
    std::printf("document: %.2f MB, %d paragraphs\n", rtf.size() / 1048576.0, paragraphs);

    std::vector<double> loads;
    std::vector<double> saves;
    for (int i = 0; i < runs; ++i) {
        QTextDocument doc;
        doc.setDefaultFont(source.defaultFont()); // so the saved bytes can be compared
        loads.push_back(timedMs([&] {
            if (!rtf::readRtf(rtf, &doc).ok) {
                qFatal("the generated document did not read");
            }
        }));
        QByteArray out;
        saves.push_back(timedMs([&] { out = rtf::writeRtf(doc); }));
        if (out != rtf) {
            QFile dump(QDir::temp().filePath(QStringLiteral("bench_rtf-resaved.rtf")));
            if (dump.open(QIODevice::WriteOnly)) {
                dump.write(out);
            }
            qFatal("the document did not survive loading and saving (see %s)",
                   qPrintable(dump.fileName()));
        }
    }
    const double load = median(loads);
    const double save = median(saves);
    // The reference tools only convert whole files, so the split is information, not a figure.
    std::printf("pennote: load %.1f ms, save %.1f ms (median of %d)\n", load, save, runs);

    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    // LibreOffice converting a file from RTF to RTF with a private profile, less its start-up.
    auto libreOfficeMs = [&](const QString &input) -> std::optional<double> {
        if (soffice.isEmpty()) {
            return std::nullopt;
        }
        const QString profile =
            u"-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("lo-profile")).toString();
        auto convert = [&](const QString &file) {
            return referenceMs(soffice, {profile, QStringLiteral("--headless"),
                                         QStringLiteral("--norestore"),
                                         QStringLiteral("--convert-to"), QStringLiteral("rtf"),
                                         QStringLiteral("--outdir"), dir.filePath("lo-out"), file});
        };
        convert(small); // creates the profile
        const auto startUp = convert(small);
        const auto whole = convert(input);
        if (!startUp || !whole) {
            return std::nullopt;
        }
        return *whole - *startUp;
    };
    printFigure("rtf load+save vs LibreOffice rtf->rtf", load + save, libreOfficeMs(big),
                "LibreOffice not installed (libreoffice-writer-nogui)");

    const QString pandoc = QStandardPaths::findExecutable(QStringLiteral("pandoc"));
    std::optional<double> pandocMs;
    if (!pandoc.isEmpty()) {
        auto convert = [&](const QString &input) {
            return referenceMs(pandoc,
                               {QStringLiteral("-f"), QStringLiteral("rtf"), QStringLiteral("-t"),
                                QStringLiteral("rtf"), QStringLiteral("-s"), input});
        };
        const auto startUp = convert(small);
        const auto whole = convert(big);
        if (startUp && whole) {
            pandocMs = *whole - *startUp;
        }
    }
    printFigure("rtf load+save vs pandoc rtf->rtf", load + save, pandocMs,
                "pandoc not installed (apt package pandoc)");

    const QByteArray rich = richDocument();
    const QString richFile = dir.filePath(QStringLiteral("rich.rtf"));
    {
        QFile f(richFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(rich) != rich.size()) {
            qFatal("cannot write %s", qPrintable(richFile));
        }
    }
    std::vector<double> richRuns;
    int tables = 0;
    int pictures = 0;
    for (int i = 0; i < referenceRuns; ++i) {
        QTextDocument doc;
        QByteArray out;
        richRuns.push_back(timedMs([&] {
            if (!rtf::readRtf(rich, &doc).ok) {
                qFatal("the document with tables and pictures did not read");
            }
            out = rtf::writeRtf(doc);
        }));
        tables = 0;
        for (QTextFrame *frame : doc.rootFrame()->childFrames()) {
            tables += qobject_cast<QTextTable *>(frame) != nullptr;
        }
        pictures = int(out.count("\\pngblip"));
    }
    std::printf("document: %.2f MB with %d tables and %d pictures after loading and saving\n",
                rich.size() / 1048576.0, tables, pictures);
    printFigure("rtf with tables and pictures load+save vs LibreOffice rtf->rtf", median(richRuns),
                libreOfficeMs(richFile), "LibreOffice not installed (libreoffice-writer-nogui)");
    return 0;
}
