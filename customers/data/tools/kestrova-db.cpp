// Creates Kestrova's database file and fills it with demonstration rows:
//   kestrova-db create PATH                 both tables, empty (rows already there stay)
//   kestrova-db demo PATH CLIENTS PLANS     appends made-up clients and plans
//   kestrova-db demo PATH CLIENTS PLANS --if-empty
//                                           the same, only when both tables are empty
// With the interchange library: import, export and convert (see its usage text).

#include "customers/data/demodata.h"
#include "customers/data/schema.h"
#ifdef DIALVANE_INTERCHANGE
#include "customers/interchange/tools/interchangecommands.h"
#endif

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: kestrova-db create PATH\n"
               "       kestrova-db demo PATH CLIENTS PLANS [--if-empty]\n",
               stderr);
    return 2;
}

int failed(const QString &why)
{
    std::fprintf(stderr, "kestrova-db: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
#ifdef DIALVANE_INTERCHANGE
    if (const auto code = kestrova::interchange::runInterchangeCommand(args))
        return *code;
#endif
    if (args.size() == 2 && args[0] == u"create") {
        QString error;
        if (!kestrova::createDatabaseFile(args[1], &error))
            return failed(error);
        return 0;
    }
    const bool ifEmpty = args.size() == 5 && args[4] == u"--if-empty";
    if ((args.size() == 4 || ifEmpty) && args[0] == u"demo") {
        bool clientsOk = false;
        bool plansOk = false;
        kestrova::DemoOptions options;
        options.clients = args[2].toInt(&clientsOk);
        options.plans = args[3].toInt(&plansOk);
        if (!clientsOk || !plansOk || options.clients < 0 || options.plans < 0)
            return usage();
        options.onlyIntoEmptyTables = ifEmpty;
        QString error;
        int added = 0;
        if (!kestrova::seedDemoData(args[1], options, &error, &added))
            return failed(error);
        if (added == 0 && ifEmpty) {
            std::printf("%s already holds rows; nothing added\n", qPrintable(args[1]));
            return 0;
        }
        std::printf("%d clients and %d plans added to %s\n", options.clients, options.plans,
                    qPrintable(args[1]));
        return 0;
    }
    return usage();
}
