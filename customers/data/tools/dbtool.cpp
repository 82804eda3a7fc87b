#include "dbtool.h"

#include <QList>

#include <cstdio>
#include <unistd.h>

namespace kestrova::tool {

namespace {

struct Entry
{
    QString name;
    QString usage;
    CommandRun run;
};

QList<Entry> &registry()
{
    static QList<Entry> entries;
    return entries;
}

} // namespace

DbToolCommand::DbToolCommand(const char *name, const char *usage, CommandRun run)
{
    registry().append({QString::fromUtf8(name), QString::fromUtf8(usage), std::move(run)});
}

int usage()
{
    QStringList lines;
    for (const Entry &entry : registry())
        lines.append(entry.usage);
    lines.sort();
    std::fputs("usage:\n", stderr);
    for (const QString &line : lines)
        std::fprintf(stderr, "  %s\n", qPrintable(line));
    std::fputs("DATABASE is a file path or postgresql://user@host:port/database\n", stderr);
    return 2;
}

int failed(const QString &why)
{
    std::fprintf(stderr, "kestrova-db: %s\n", qPrintable(why));
    return 1;
}

void progress(const QString &what, qint64 done, qint64 total)
{
    // In place on a terminal; a log gets the last line only.
    const bool terminal = isatty(fileno(stderr));
    if (!terminal && done < total)
        return;
    std::fprintf(stderr, "%s%s: %lld / %lld rows%s", terminal ? "\r" : "", qPrintable(what),
                 static_cast<long long>(done), static_cast<long long>(total),
                 done >= total ? "\n" : "");
    std::fflush(stderr);
}

int run(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return usage();
    for (const Entry &entry : registry()) {
        if (entry.name == arguments.first())
            return entry.run(arguments.mid(1));
    }
    return usage();
}

} // namespace kestrova::tool
