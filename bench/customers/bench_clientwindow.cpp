// Prints how long the client window takes to show its first rows and to complete its list, and
// the process's peak memory, for 32 767 and 100 000 clients. The reference is a plain read of
// the same rows through Qt SQL into a list of texts, the least any list of the table must do.
//
// Each measurement runs in a child process of its own (the same program with arguments), so
// every peak memory figure belongs to that one job alone.

#include "bench/common/benchfigures.h"
#include "customers/app/appstate.h"
#include "customers/app/frmclient.h"
#include "customers/data/columns.h"
#include "customers/data/demodata.h"
#include "customers/shared/recordlistview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::printFigure;

constexpr int kRuns = 5;
constexpr int kFirstRows = 256;

// The process's peak resident memory in MiB.
double peakMemoryMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

struct Figures
{
    double firstMs = 0;
    double completeMs = 0;
};

// From the command that opens the window until it is on screen with its first rows, and until
// its list is complete.
Figures windowRun(int clients)
{
    Figures figures;
    QElapsedTimer timer;
    timer.start();
    kestrova::frmClient window;
    window.show();
    QCoreApplication::processEvents();
    figures.firstMs = timer.nsecsElapsed() / 1e6;
    if (window.IsLoading()) {
        QEventLoop loop;
        QObject::connect(&window, &kestrova::frmClient::listLoaded, &loop, &QEventLoop::quit);
        loop.exec();
    }
    figures.completeMs = timer.nsecsElapsed() / 1e6;
    if (window.lstvwClientInfo()->rowCount() != clients)
        std::fprintf(stderr, "warning: the window listed %d clients\n",
                     window.lstvwClientInfo()->rowCount());
    return figures;
}

// The first rows and then every row, each column as text.
Figures plainRun(const QString &path, int clients)
{
    Figures figures;
    QElapsedTimer timer;
    timer.start();
    int rows = 0;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.exec(QStringLiteral("SELECT * FROM \"客户\" ORDER BY rowid"));
        QList<QStringList> table;
        while (query.next()) {
            QStringList texts;
            texts.reserve(kestrova::ClientColumnCount);
            for (int c = 0; c < kestrova::ClientColumnCount; ++c)
                texts.append(query.value(c).toString());
            table.append(std::move(texts));
            if (++rows == kFirstRows)
                figures.firstMs = timer.nsecsElapsed() / 1e6;
        }
        figures.completeMs = timer.nsecsElapsed() / 1e6;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("plain"));
    if (rows != clients)
        std::fprintf(stderr, "warning: the plain read found %d clients\n", rows);
    return figures;
}

// Child: runs one kind of job kRuns times and prints "first complete peak" medians.
int child(const QString &kind, const QString &path, int clients)
{
    kestrova::setDataFilePath(path);
    std::vector<double> first;
    std::vector<double> complete;
    for (int run = 0; run < kRuns; ++run) {
        const Figures figures = kind == u"window" ? windowRun(clients) : plainRun(path, clients);
        first.push_back(figures.firstMs);
        complete.push_back(figures.completeMs);
    }
    std::printf("%.3f %.3f %.1f\n", median(first), median(complete), peakMemoryMiB());
    return 0;
}

std::vector<double> runChild(const QString &kind, const QString &path, int clients,
                             const QString &configHome)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), {kind, path, QString::number(clients)});
    process.waitForFinished(-1);
    const QList<QByteArray> fields = process.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 3)
        return {0, 0, 0};
    return {fields[0].toDouble(), fields[1].toDouble(), fields[2].toDouble()};
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4) {
        QApplication app(argc, argv);
        return child(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                     QString::fromLocal8Bit(argv[3]).toInt());
    }
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    for (const int clients : {32767, 100000}) {
        const QString path = folder.filePath(QStringLiteral("khdata-%1.mdb").arg(clients));
        kestrova::DemoOptions options;
        options.clients = clients;
        QString error;
        if (!kestrova::seedDemoData(path, options, &error)) {
            std::fprintf(stderr, "cannot create the demo database: %s\n", qPrintable(error));
            return 1;
        }
        const QString config = folder.filePath(QStringLiteral("config"));
        const std::vector<double> ours = runChild(QStringLiteral("window"), path, clients, config);
        const std::vector<double> plain = runChild(QStringLiteral("plain"), path, clients, config);
        const QString count = QString::number(clients);
        printFigure(u"client window first rows, "_qs + count + u" clients"_qs, ours[0], plain[0],
                    "ms");
        printFigure(u"client window complete list, "_qs + count + u" clients"_qs, ours[1], plain[1],
                    "ms");
        printFigure(u"client window peak memory, "_qs + count + u" clients"_qs, ours[2], plain[2],
                    "MiB");
    }
    return 0;
}
