#pragma once

// The commands of kestrova-db. Each command lives in a source file of the tool and registers
// itself with a static DbToolCommand, so a new command is one new file in add_executable:
//
//     static const kestrova::tool::DbToolCommand command{
//         "export", "kestrova-db export DATABASE FILE", &runExport};

#include <QString>
#include <QStringList>

#include <functional>

namespace kestrova::tool {

// Runs with the arguments after the command name; returns the exit code (0 done, 1 failed,
// 2 bad arguments: usage()).
using CommandRun = std::function<int(const QStringList &arguments)>;

struct DbToolCommand
{
    DbToolCommand(const char *name, const char *usage, CommandRun run);
};

// Prints every command's usage line to stderr; returns 2.
int usage();
// Prints "kestrova-db: why" to stderr; returns 1.
int failed(const QString &why);
// A progress line on the terminal, rewritten in place ("copying: 1200 / 5000 rows").
void progress(const QString &what, qint64 done, qint64 total);

// Dispatches argv; what main() calls.
int run(const QStringList &arguments);

} // namespace kestrova::tool
