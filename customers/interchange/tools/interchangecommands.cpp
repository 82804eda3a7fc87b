#include "interchangecommands.h"

#include "customers/data/tools/dbtool.h"

#include "customers/interchange/exporter.h"
#include "customers/interchange/importer.h"
#include "customers/interchange/jetfile.h"
#include "customers/interchange/olddatabase.h"

#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace kestrova::interchange {

namespace {

using tool::failed;
using tool::usage;

// "--name value" pairs among the positional arguments; false on an unknown or valueless one.
bool options(const QStringList &args, const QStringList &known, QHash<QString, QString> *values,
             QStringList *positional)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i].startsWith(u"--")) {
            if (!known.contains(args[i]) || i + 1 >= args.size())
                return false;
            values->insert(args[i], args[i + 1]);
            ++i;
        } else {
            positional->append(args[i]);
        }
    }
    return true;
}

std::optional<TextEncoding> encodingOption(const QString &name)
{
    const QString n = name.toLower();
    if (n == u"utf-8" || n == u"utf8")
        return TextEncoding::Utf8;
    if (n == u"gbk")
        return TextEncoding::Gbk;
    return std::nullopt;
}

int convert(const QString &db)
{
    OldDatabaseReport report;
    QString error;
    if (!convertOldDatabase(db, &report, &error))
        return failed(error);
    std::printf("%s converted: %d clients, %d plans; the original is kept as %s\n", qPrintable(db),
                report.clients, report.plans, qPrintable(report.backupPath));
    return 0;
}

// Asks on the terminal; anything but yes, or no terminal, declines.
bool userAgrees(const QString &db)
{
    std::fprintf(stderr,
                 "%s is an Access database of the old program. Convert it (the original is kept "
                 "as %s)? [y/N] ",
                 qPrintable(db), qPrintable(jetBackupPath(db)));
    if (!isatty(STDIN_FILENO)) {
        std::fputs("\nnot a terminal: declined; run \"kestrova-db convert DB\" to convert\n",
                   stderr);
        return false;
    }
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    return answer == u"y" || answer == u"yes";
}

int runImport(const QStringList &args)
{
    QHash<QString, QString> opts;
    QStringList positional;
    if (!options(args, {"--table", "--into", "--map", "--encoding"}, &opts, &positional) ||
        positional.size() != 2)
        return usage();
    const QString db = positional[0];
    SourceRequest request;
    request.file = positional[1];
    request.jetTable = opts.value(QStringLiteral("--table"));
    if (opts.contains(QStringLiteral("--into"))) {
        request.into = targetFromName(opts.value(QStringLiteral("--into")));
        if (!request.into)
            return failed(QStringLiteral("--into takes 客户 or 工作计划"));
    }
    if (opts.contains(QStringLiteral("--encoding"))) {
        request.csv.encoding = encodingOption(opts.value(QStringLiteral("--encoding")));
        if (!request.csv.encoding)
            return usage();
    }
    const SourceResult source = readSource(request);
    if (!source.error.isEmpty())
        return failed(source.error);
    Target target = request.into                         ? *request.into
                    : targetFromName(source.chosenTable) ? *targetFromName(source.chosenTable)
                                                         : likelyTarget(source.table.headers);
    QString error;
    Mapping mapping = automaticMapping(source.table.headers, target);
    if (opts.contains(QStringLiteral("--map"))) {
        const auto explicitMapping = applyColumnMap(mapping, opts.value(QStringLiteral("--map")),
                                                    source.table.headers, target, &error);
        if (!explicitMapping)
            return failed(error);
        mapping = *explicitMapping;
    }
    QList<ColumnInfo> types;
    QSet<qint64> keys;
    if (!readTargetInfo(db, target, &types, &keys, &error))
        return failed(error);
    const Conversion conversion = convertRows(source.table, mapping, target, types, keys);
    if (!conversion.error.isEmpty())
        return failed(conversion.error + QStringLiteral(" Nothing was imported."));
    if (!conversion.problems.isEmpty()) {
        std::fprintf(stderr, "kestrova-db: %d rows cannot be imported; nothing was written:\n",
                     conversion.failedRows);
        for (const QString &line : problemLines(conversion.problems))
            std::fprintf(stderr, "  %s\n", qPrintable(line));
        return 1;
    }
    if (!writeRows(db, {tableRows(target, conversion)}, {}, &error))
        return failed(error + QStringLiteral(" Nothing was imported."));
    std::printf("%lld rows imported into %s\n", static_cast<long long>(conversion.rows.size()),
                qPrintable(tableName(target)));
    return 0;
}

int runExport(const QStringList &args)
{
    QHash<QString, QString> opts;
    QStringList positional;
    if (!options(args, {"--format", "--encoding", "--filter"}, &opts, &positional) ||
        positional.size() != 3)
        return usage();
    const auto target = targetFromName(positional[1]);
    if (!target)
        return usage();
    const QString format = opts.value(QStringLiteral("--format"), QStringLiteral("csv"));
    ExportFormat exportFormat = ExportFormat::Csv;
    if (format == u"ics")
        exportFormat = ExportFormat::ICalendar;
    else if (format == u"vcf")
        exportFormat = ExportFormat::VCard;
    else if (format != u"csv")
        return usage();
    CsvWriteOptions csv;
    if (opts.contains(QStringLiteral("--encoding"))) {
        const auto encoding = encodingOption(opts.value(QStringLiteral("--encoding")));
        if (!encoding)
            return usage();
        csv.encoding = *encoding;
    }
    int written = 0;
    QString error;
    if (!exportTable(positional[0], *target, exportFormat, opts.value(QStringLiteral("--filter")),
                     csv, positional[2], &written, &error))
        return failed(error);
    std::printf("%d rows written to %s\n", written, qPrintable(positional[2]));
    return 0;
}

int runConvert(const QStringList &args)
{
    return args.size() == 1 ? convert(args[0]) : usage();
}

const tool::DbToolCommand importCommand{
    "import",
    "kestrova-db import DATABASE FILE [--table T] [--into 客户|工作计划] "
    "[--map SOURCE=TARGET,...] [--encoding utf-8|gbk]",
    &runImport};
const tool::DbToolCommand exportCommand{
    "export",
    "kestrova-db export DATABASE clients|plans [--format csv|ics|vcf] [--encoding utf-8|gbk] "
    "[--filter CRITERIA] OUT",
    &runExport};
const tool::DbToolCommand convertCommand{
    "convert", "kestrova-db convert PATH (an old Access khdata.mdb)", &runConvert};

} // namespace

std::optional<int> offerOldDatabase(const QStringList &args)
{
    if (args.size() < 2 || args[0] == u"convert" || !JetFile::isJetFile(args[1]))
        return std::nullopt;
    if (!userAgrees(args[1]))
        return 1;
    if (const int code = convert(args[1]); code != 0)
        return code;
    return std::nullopt;
}

} // namespace kestrova::interchange
