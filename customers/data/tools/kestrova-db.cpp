// Kestrova's database tool:
//   kestrova-db create DATABASE               both tables, empty (rows already there stay);
//                                             another program's database is refused untouched
//   kestrova-db check DATABASE                the schema and the rows of each table
//   kestrova-db copy FROM TO [--replace]      every row, keys kept, in one transaction
//   kestrova-db demo PATH CLIENTS PLANS [--if-empty]
//                                             appends made-up clients and plans to a file
//   kestrova-db import DATABASE FILE …, export DATABASE clients|plans …, convert PATH
//                                             (with the interchange library; see usage)
// DATABASE is a file path or a postgresql:// URL.

#include "dbtool.h"

#include "customers/data/databasecopy.h"
#include "customers/data/demodata.h"
#include "customers/data/schema.h"
#ifdef DIALVANE_INTERCHANGE
#include "customers/interchange/tools/interchangecommands.h"
#endif

#include <QCoreApplication>

#include <cstdio>

namespace {

using namespace kestrova;
using namespace kestrova::tool;

// A DATABASE argument; an unusable URL is reported and gives nullopt.
std::optional<DatabaseLocation> location(const QString &text)
{
    const DatabaseLocation parsed = DatabaseLocation::parse(text);
    if (!parsed.isValid()) {
        failed(parsed.errorText());
        return std::nullopt;
    }
    return parsed;
}

int create(const QStringList &args)
{
    const auto where = args.size() == 1 ? location(args[0]) : std::nullopt;
    if (!where)
        return args.size() == 1 ? 1 : usage();
    QString error;
    if (!createDatabase(*where, &error))
        return failed(error);
    return 0;
}

int check(const QStringList &args)
{
    const auto where = args.size() == 1 ? location(args[0]) : std::nullopt;
    if (!where)
        return args.size() == 1 ? 1 : usage();
    QString error;
    const auto summary = inspectDatabase(*where, &error);
    if (!summary)
        return failed(error);
    for (const auto &[table, rows] : summary->rowCounts)
        std::printf("%s: %lld rows\n", qPrintable(table), static_cast<long long>(rows));
    if (!summary->kestrova)
        return failed(summary->problem);
    std::printf("%s: schema ok\n", qPrintable(where->displayText()));
    return 0;
}

int copy(const QStringList &args)
{
    QStringList rest = args;
    CopyOptions options;
    options.replace = rest.removeAll(QStringLiteral("--replace")) > 0;
    if (rest.size() != 2)
        return usage();
    const auto from = location(rest[0]);
    const auto to = location(rest[1]);
    if (!from || !to)
        return 1;
    options.progress = [](qint64 done, qint64 total) {
        progress(QStringLiteral("copying"), done, total);
    };
    QString error;
    if (!copyDatabase(*from, *to, options, &error))
        return failed(error);
    std::printf("copied %s to %s\n", qPrintable(from->displayText()),
                qPrintable(to->displayText()));
    return 0;
}

int demo(const QStringList &args)
{
    const bool ifEmpty = args.size() == 4 && args[3] == u"--if-empty";
    if (args.size() != 3 && !ifEmpty)
        return usage();
    bool clientsOk = false;
    bool plansOk = false;
    DemoOptions options;
    options.clients = args[1].toInt(&clientsOk);
    options.plans = args[2].toInt(&plansOk);
    if (!clientsOk || !plansOk || options.clients < 0 || options.plans < 0)
        return usage();
    options.onlyIntoEmptyTables = ifEmpty;
    QString error;
    int added = 0;
    if (!seedDemoData(args[0], options, &error, &added))
        return failed(error);
    if (added == 0 && ifEmpty) {
        std::printf("%s already holds rows; nothing added\n", qPrintable(args[0]));
        return 0;
    }
    std::printf("%d clients and %d plans added to %s\n", options.clients, options.plans,
                qPrintable(args[0]));
    return 0;
}

const DbToolCommand createCommand{"create", "kestrova-db create DATABASE", &create};
const DbToolCommand checkCommand{"check", "kestrova-db check DATABASE", &check};
const DbToolCommand copyCommand{"copy", "kestrova-db copy FROM TO [--replace]", &copy};
const DbToolCommand demoCommand{"demo", "kestrova-db demo PATH CLIENTS PLANS [--if-empty]", &demo};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
#ifdef DIALVANE_INTERCHANGE
    // An old Access database where the database should be is offered for conversion first.
    if (const auto code = kestrova::interchange::offerOldDatabase(args))
        return *code;
#endif
    return kestrova::tool::run(args);
}
