// Prints how long the customer cursor takes on 32 767 and on 1 000 000 client rows: opening the
// table, counting it and reading every column of every row the way the list windows do, and a
// "客户名称 LIKE '*华*'" filter with its count; each beside the same work done through the
// sqlite3 C API directly.

#include "bench/common/benchfigures.h"
#include "customers/data/clsdatabase.h"
#include "customers/data/columns.h"
#include "customers/data/demodata.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#ifdef DIALVANE_HAVE_SQLITE3
#include <sqlite3.h>
#endif

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using kestrova::clsDataBase;

namespace {

using bench::median;
using bench::timedMs;

volatile qint64 g_sink = 0; // keeps the reads from being optimised away

void printFigure(const QString &name, double ours, double reference, bool haveReference)
{
    if (haveReference)
        bench::printFigure(name, ours, reference);
    else
        bench::printFigureWithoutReference(name, ours,
                                           QStringLiteral("not installed (libsqlite3-dev)"));
}

void cursorScan(const QString &path, int expectedRows)
{
    clsDataBase db(path);
    if (!db.OpenDB(QStringLiteral("客户")))
        qFatal("cannot open %s", qPrintable(path));
    const int n = db.GetRecordCount();
    if (n != expectedRows)
        qFatal("expected %d rows, the cursor has %d", expectedRows, n);
    const QStringList &captions = kestrova::clientCaptions();
    qint64 sink = 0;
    for (int row = 0; row < n; ++row) {
        for (const QString &caption : captions)
            sink += db.GetRecord(caption).size();
        db.MoveNext();
    }
    g_sink = g_sink + sink;
}

int cursorFilterCount(clsDataBase &db)
{
    db.FilterString(QStringLiteral("客户名称 LIKE '*华*'"));
    const int count = db.GetRecordCount();
    db.CancelFilter();
    return count;
}

#ifdef DIALVANE_HAVE_SQLITE3
sqlite3 *openDirect(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        qFatal("sqlite3 cannot open %s", qPrintable(path));
    return db;
}

qint64 directScalar(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    qint64 value = -1;
    if (sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return value;
}

void directScan(const QString &path, int expectedRows)
{
    sqlite3 *db = openDirect(path);
    if (directScalar(db, "SELECT count(*) FROM \"客户\"") != expectedRows)
        qFatal("the direct count differs");
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM \"客户\"", -1, &statement, nullptr);
    const int columns = sqlite3_column_count(statement);
    qint64 sink = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            const unsigned char *text = sqlite3_column_text(statement, c);
            sink += text ? sqlite3_column_bytes(statement, c) : 0;
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    g_sink = g_sink + sink;
}

qint64 directFilterCount(sqlite3 *db)
{
    return directScalar(db, "SELECT count(*) FROM \"客户\" WHERE \"客户名称\" LIKE '%华%'");
}
#endif

void benchmark(int rows, int runs)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("khdata.mdb"));
    kestrova::DemoOptions options;
    options.clients = rows;
    QString error;
    if (!kestrova::seedDemoData(path, options, &error))
        qFatal("cannot seed the database: %s", qPrintable(error));
#ifdef DIALVANE_HAVE_SQLITE3
    const bool haveReference = true;
#else
    const bool haveReference = false;
#endif

    std::vector<double> ours;
    std::vector<double> reference;
    for (int run = 0; run < runs; ++run) {
        ours.push_back(timedMs([&] { cursorScan(path, rows); }));
#ifdef DIALVANE_HAVE_SQLITE3
        reference.push_back(timedMs([&] { directScan(path, rows); }));
#endif
    }
    printFigure(QStringLiteral("open, count and read all 27 columns of %1 rows").arg(rows),
                median(ours), haveReference ? median(reference) : 0, haveReference);

    ours.clear();
    reference.clear();
    clsDataBase db(path);
    db.OpenDB(QStringLiteral("客户"));
    int ourCount = 0;
    for (int run = 0; run < runs; ++run)
        ours.push_back(timedMs([&] { ourCount = cursorFilterCount(db); }));
#ifdef DIALVANE_HAVE_SQLITE3
    sqlite3 *direct = openDirect(path);
    qint64 directCount = 0;
    for (int run = 0; run < runs; ++run)
        reference.push_back(timedMs([&] { directCount = directFilterCount(direct); }));
    sqlite3_close(direct);
    if (directCount != ourCount)
        qFatal("the filter counts differ: %d and %lld", ourCount, directCount);
#endif
    printFigure(QStringLiteral("filter 客户名称 LIKE '*华*' and count on %1 rows (%2 match)")
                    .arg(rows)
                    .arg(ourCount),
                median(ours), haveReference ? median(reference) : 0, haveReference);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Row counts may be given on the command line; by default both sizes run.
    QList<int> sizes;
    for (const QString &argument : app.arguments().mid(1))
        sizes.append(argument.toInt());
    if (sizes.isEmpty())
        sizes = {32767, 1000000};
    for (int rows : sizes) {
        if (rows > 0)
            benchmark(rows, rows > 100000 ? 3 : 7);
    }
    return 0;
}
