// Opens and saves a large plain-text RTF document (just under the largest pennote accepts unless a
// size in MB or a file is given) in the pennote window, the way a user would, and prints the times
// and the process's peak memory beside the file's size.
#include "bench/common/benchfigures.h"
#include "editor/commondialog.h"
#include "editor/documentfile.h"
#include "editor/form1.h"
#include "platform/messagebox.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cstdio>

namespace {

// The process's peak resident memory so far, in MB (Linux), else 0.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024;
    }
    return 0;
}

bool writePlainRtf(const QString &path, qint64 megabytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24\n");
    const QByteArray line = "The quick brown fox jumps over the lazy dog 0571-88886666 Marlowen "
                            "directory listing road\\par\n";
    const QByteArray chunk = line.repeated(10000);
    for (qint64 written = 0; written < megabytes * 1024 * 1024; written += chunk.size()) {
        if (file.write(chunk) != chunk.size())
            return false;
    }
    return file.write("}\n") == 2;
}

QAction *fileCommand(pennote::Form1 &window, const char *name)
{
    return window.menuBar()->findChild<QAction *>(QLatin1String(name));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QString source;
    const QString argument = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (!argument.isEmpty() && QFileInfo(argument).isFile()) {
        source = argument;
    } else {
        source = dir.filePath(QStringLiteral("big.rtf"));
        if (!writePlainRtf(source, argument.isEmpty() ? pennote::kMaxDocumentMegabytes - 10
                                                      : argument.toLongLong()))
            qFatal("cannot write %s", qPrintable(source));
    }
    const double fileMb = QFileInfo(source).size() / 1048576.0;
    const QString target = dir.filePath(QStringLiteral("saved.rtf"));

    QStringList messages;
    platform::setMessagePresenter([&](const platform::MessageRequest &request) {
        messages << request.text;
        return QMessageBox::Ok;
    });
    pennote::setDialogPresenter([&](pennote::DialogRequest &request) {
        request.fileName = request.kind == pennote::DialogKind::Open ? source : target;
        return true;
    });
    pennote::Form1 window;
    window.show();

    const double open = bench::timedMs([&] { fileCommand(window, "open")->trigger(); });
    const double openPeak = peakMegabytes();
    const qsizetype characters = window.document()->document()->characterCount();
    const double save = bench::timedMs([&] { fileCommand(window, "save")->trigger(); });
    const double savePeak = peakMegabytes();
    for (const QString &message : messages)
        std::printf("message: %s\n", qPrintable(message));
    std::printf("document: %.1f MB, %lld characters, saved %.1f MB\n", fileMb,
                static_cast<long long>(characters), QFileInfo(target).size() / 1048576.0);
    bench::printFigureWithoutReference(QStringLiteral("pennote open big plain-text rtf"), open,
                                       QStringLiteral("none"));
    bench::printFigureWithoutReference(QStringLiteral("pennote save big plain-text rtf"), save,
                                       QStringLiteral("none"));
    // The reference is the file itself: the ratio says how many times its size the editor needs.
    // The window lays out the rest of the document bit by bit afterwards, while the user works.
    bench::printFigure(QStringLiteral("pennote peak memory after open vs file size"), openPeak,
                       fileMb, "MB");
    bench::printFigure(QStringLiteral("pennote peak memory after save vs file size"), savePeak,
                       fileMb, "MB");
    return 0;
}
