#pragma once

// Shared by the interchange tests: real database files, real peer programs (LibreOffice,
// Python's calendar and address-book parsers) started as processes.

#include "customers/data/schema.h"
#include "customers/interchange/exporter.h"
#include "customers/interchange/importer.h"

#include <QDir>
#include <QProcess>
#include <QTest>

namespace interchangetest {

using namespace kestrova::interchange;

// Runs a program to its end; its exit code, or -1 when it did not start or end in time.
inline int run(const QString &program, const QStringList &args, QByteArray *output = nullptr,
               int timeoutMs = 120000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForStarted() || !process.waitForFinished(timeoutMs))
        return -1;
    if (output)
        *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// LibreOffice with a private profile below `work`, converting `input` into `outDir`.
inline bool soffice(const QString &work, const QStringList &filterArgs, const QString &input,
                    const QString &outDir)
{
    const QString profile = QUrl::fromLocalFile(work + QStringLiteral("/lo-profile")).toString();
    QStringList args = {QStringLiteral("-env:UserInstallation=") + profile,
                        QStringLiteral("--headless")};
    args << filterArgs << QStringLiteral("--outdir") << outDir << input;
    QByteArray output;
    const int code = run(QStringLiteral("soffice"), args, &output);
    if (code != 0)
        qWarning() << "soffice:" << output;
    return code == 0;
}

inline QString newDatabase(const QString &dir, const QString &name = QStringLiteral("khdata.mdb"))
{
    const QString path = dir + u'/' + name;
    QString error;
    if (!kestrova::createDatabaseFile(path, &error))
        qWarning() << error;
    return path;
}

// Reads `file` and imports it whole into `target`; the conversion tells what happened.
inline Conversion importInto(const QString &db, const QString &file, Target target,
                             const QString &columnMap = {}, const QString &jetTable = {},
                             QString *error = nullptr)
{
    QString why;
    SourceRequest request{file, jetTable, target, {}};
    const SourceResult source = readSource(request);
    Conversion conversion;
    if (!source.error.isEmpty()) {
        conversion.error = source.error;
        return conversion;
    }
    const auto mapping = applyColumnMap(automaticMapping(source.table.headers, target), columnMap,
                                        source.table.headers, target, &why);
    QList<kestrova::ColumnInfo> types;
    QSet<qint64> keys;
    if (!mapping || !readTargetInfo(db, target, &types, &keys, &why)) {
        conversion.error = why;
        return conversion;
    }
    conversion = convertRows(source.table, *mapping, target, types, keys);
    if (conversion.error.isEmpty() && conversion.problems.isEmpty() &&
        !writeRows(db, {tableRows(target, conversion)}, {}, &why))
        conversion.error = why;
    if (error)
        *error = why;
    return conversion;
}

inline TableData tableData(const QString &db, Target target)
{
    TableData data;
    QString error;
    if (!readTableData(db, target, QString(), &data, &error))
        qWarning() << error;
    return data;
}

} // namespace interchangetest
