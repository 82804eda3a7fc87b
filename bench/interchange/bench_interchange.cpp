// Export and import of 10 000 clients and plans: CSV both ways, the calendar and the address
// book. The reference is the sqlite3 shell writing and loading the same table as CSV (without
// our conversions and checks), when it is installed.

#include "../common/benchfigures.h"

#include "customers/data/demodata.h"
#include "customers/data/schema.h"
#include "customers/interchange/exporter.h"
#include "customers/interchange/importer.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace kestrova::interchange;

namespace {

constexpr int kRows = 10000;
constexpr int kRuns = 3;

bool sqliteShell(const QStringList &args, const QByteArray &input = {})
{
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), args);
    if (!shell.waitForStarted())
        return false;
    shell.write(input);
    shell.closeWriteChannel();
    return shell.waitForFinished(120000) && shell.exitCode() == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("khdata.mdb"));
    kestrova::DemoOptions demo;
    demo.clients = kRows;
    demo.plans = kRows;
    if (!kestrova::seedDemoData(db, demo))
        return 1;
    const bool haveShell = !QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty();
    const QString csv = dir.filePath(QStringLiteral("clients.csv"));
    QString error;

    std::vector<double> ours, theirs;
    for (int run = 0; run < kRuns; ++run) {
        ours.push_back(bench::timedMs([&] {
            exportTable(db, Target::Clients, ExportFormat::Csv, {}, {}, csv, nullptr, &error);
        }));
        if (haveShell)
            theirs.push_back(bench::timedMs([&] {
                sqliteShell({QStringLiteral("-csv"), QStringLiteral("-header"), db,
                             QStringLiteral("SELECT * FROM \"客户\"")});
            }));
    }
    const QString exportName = QStringLiteral("csv export, %1 clients").arg(kRows);
    if (haveShell)
        bench::printFigure(exportName, bench::median(ours), bench::median(theirs));
    else
        bench::printFigureWithoutReference(exportName, bench::median(ours),
                                           "sqlite3 shell not installed");

    ours.clear();
    theirs.clear();
    for (int run = 0; run < kRuns; ++run) {
        const QString target = dir.filePath(QStringLiteral("import%1.mdb").arg(run));
        kestrova::createDatabaseFile(target);
        ours.push_back(bench::timedMs([&] {
            const SourceResult source = readSource({csv, {}, Target::Clients, {}});
            QList<kestrova::ColumnInfo> types;
            QSet<qint64> keys;
            readTargetInfo(target, Target::Clients, &types, &keys, &error);
            const Conversion conversion =
                convertRows(source.table, automaticMapping(source.table.headers, Target::Clients),
                            Target::Clients, types, keys);
            writeRows(target, {tableRows(Target::Clients, conversion)}, {}, &error);
        }));
        if (haveShell) {
            const QString plain = dir.filePath(QStringLiteral("plain%1.db").arg(run));
            theirs.push_back(bench::timedMs(
                [&] { sqliteShell({plain}, ".import --csv " + QFile::encodeName(csv) + " t\n"); }));
        }
    }
    const QString importName = QStringLiteral("csv import, %1 clients").arg(kRows);
    if (haveShell)
        bench::printFigure(importName, bench::median(ours), bench::median(theirs));
    else
        bench::printFigureWithoutReference(importName, bench::median(ours),
                                           "sqlite3 shell not installed");

    for (const auto &[name, target, format] :
         {std::tuple{QStringLiteral("ics export, %1 plans").arg(kRows), Target::Plans,
                     ExportFormat::ICalendar},
          std::tuple{QStringLiteral("vcf export, %1 clients").arg(kRows), Target::Clients,
                     ExportFormat::VCard}}) {
        ours.clear();
        for (int run = 0; run < kRuns; ++run)
            ours.push_back(bench::timedMs([&] {
                exportTable(db, target, format, {}, {}, dir.filePath(QStringLiteral("out")),
                            nullptr, &error);
            }));
        bench::printFigureWithoutReference(name, bench::median(ours), "no peer writer installed");
    }
    return 0;
}
