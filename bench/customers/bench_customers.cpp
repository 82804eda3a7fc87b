// Prints how long the customer cursor takes on 32 767 and on 1 000 000 client rows, on the
// embedded file and on a database server: opening the table, counting it and reading every
// column of every row the way the list windows do; a "客户名称 LIKE '*华*'" filter with its
// count; and the first rows of the client window (open, count, first block). Each figure
// stands beside the engine's own floor: the sqlite3 C API on the file, COPY ... TO STDOUT (and
// plain queries) through libpq on the server. The server is DIALVANE_BENCH_SERVER (a URL) or,
// when that is not set, a private cluster started for the run.

#include "bench/common/benchfigures.h"
#include "customers/data/clsdatabase.h"
#include "customers/data/columns.h"
#include "customers/data/databasecopy.h"
#include "customers/data/databaselocation.h"
#include "customers/data/demodata.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#ifdef DIALVANE_HAVE_SQLITE3
#include <sqlite3.h>
#endif
#ifdef DIALVANE_HAVE_LIBPQ
#include <libpq-fe.h>
#endif

#include <cstdio>
#include <functional>
#include <vector>

using kestrova::clsDataBase;
using kestrova::DatabaseLocation;

namespace {

using bench::median;
using bench::timedMs;

volatile qint64 g_sink = 0; // keeps the reads from being optimised away

// One engine's floor: the same work without the cursor; empty when it cannot be measured.
struct Floor
{
    std::function<qint64()> fullRead;    // rows read
    std::function<qint64()> filterCount; // rows matching
    std::function<qint64()> firstRows;   // rows read
    QString missing;                     // why there is none
};

void printFigure(const QString &name, const std::vector<double> &ours,
                 const std::vector<double> &floor, const QString &missing)
{
    if (floor.empty())
        bench::printFigureWithoutReference(name, median(ours), missing);
    else
        bench::printFigure(name, median(ours), median(floor));
}

int cursorScan(const QString &where)
{
    clsDataBase db(where);
    if (!db.OpenDB(QStringLiteral("客户")))
        qFatal("cannot open %s: %s", qPrintable(where), qPrintable(db.Error().text()));
    const int n = db.GetRecordCount();
    const QStringList &captions = kestrova::clientCaptions();
    qint64 sink = 0;
    for (int row = 0; row < n; ++row) {
        for (const QString &caption : captions)
            sink += db.GetRecord(caption).size();
        db.MoveNext();
    }
    g_sink = g_sink + sink;
    return n;
}

int cursorFilterCount(clsDataBase &db)
{
    db.FilterString(QStringLiteral("客户名称 LIKE '*华*'"));
    const int count = db.GetRecordCount();
    db.CancelFilter();
    return count;
}

// What the client window does before it shows its first rows: open, count, read one block.
int cursorFirstRows(const QString &where)
{
    clsDataBase db(where);
    if (!db.OpenDB(QStringLiteral("客户")))
        qFatal("cannot open %s", qPrintable(where));
    db.GetRecordCount();
    const QList<QStringList> rows = db.ReadRows(1, clsDataBase::kBlockRows);
    g_sink = g_sink + rows.size();
    return int(rows.size());
}

#ifdef DIALVANE_HAVE_SQLITE3
qint64 sqliteScalar(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    qint64 value = -1;
    if (sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return value;
}

qint64 sqliteRows(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    const int columns = sqlite3_column_count(statement);
    qint64 rows = 0;
    qint64 sink = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < columns; ++c)
            sink += sqlite3_column_text(statement, c) ? sqlite3_column_bytes(statement, c) : 0;
    }
    sqlite3_finalize(statement);
    g_sink = g_sink + sink;
    return rows;
}

Floor sqliteFloor(const QString &path)
{
    const auto withDb = [path](const std::function<qint64(sqlite3 *)> &work) {
        return [path, work]() {
            sqlite3 *db = nullptr;
            sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
            const qint64 result = work(db);
            sqlite3_close(db);
            return result;
        };
    };
    Floor floor;
    floor.fullRead = withDb([](sqlite3 *db) {
        sqliteScalar(db, "SELECT count(*) FROM \"客户\"");
        return sqliteRows(db, "SELECT * FROM \"客户\"");
    });
    floor.filterCount = withDb([](sqlite3 *db) {
        return sqliteScalar(db, "SELECT count(*) FROM \"客户\" WHERE \"客户名称\" LIKE '%华%'");
    });
    floor.firstRows = withDb([](sqlite3 *db) {
        sqliteScalar(db, "SELECT count(*) FROM \"客户\"");
        return sqliteRows(db, "SELECT * FROM \"客户\" ORDER BY rowid LIMIT 256");
    });
    return floor;
}
#else
Floor sqliteFloor(const QString &)
{
    return {{}, {}, {}, QStringLiteral("not installed (libsqlite3-dev)")};
}
#endif

#ifdef DIALVANE_HAVE_LIBPQ
QByteArray conninfo(const DatabaseLocation &where)
{
    QByteArray info = "dbname='" + where.database().toUtf8() + '\'';
    if (!where.host().isEmpty())
        info += " host='" + where.host().toUtf8() + '\'';
    if (where.port() > 0)
        info += " port=" + QByteArray::number(where.port());
    if (!where.user().isEmpty())
        info += " user='" + where.user().toUtf8() + '\'';
    return info;
}

qint64 pgScalar(PGconn *db, const char *sql)
{
    PGresult *result = PQexec(db, sql);
    const qint64 value = PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0
                             ? QByteArray(PQgetvalue(result, 0, 0)).toLongLong()
                             : -1;
    PQclear(result);
    return value;
}

Floor serverFloor(const DatabaseLocation &where)
{
    const QByteArray info = conninfo(where);
    const auto withDb = [info](const std::function<qint64(PGconn *)> &work) {
        return [info, work]() {
            PGconn *db = PQconnectdb(info.constData());
            if (PQstatus(db) != CONNECTION_OK)
                qFatal("libpq cannot connect: %s", PQerrorMessage(db));
            const qint64 result = work(db);
            PQfinish(db);
            return result;
        };
    };
    Floor floor;
    floor.fullRead = withDb([](PGconn *db) {
        pgScalar(db, "SELECT count(*) FROM \"客户\"");
        PGresult *start = PQexec(db, "COPY (SELECT * FROM \"客户\") TO STDOUT");
        PQclear(start);
        qint64 rows = 0;
        qint64 sink = 0;
        char *line = nullptr;
        int size = 0;
        while ((size = PQgetCopyData(db, &line, 0)) > 0) {
            ++rows;
            sink += size;
            PQfreemem(line);
        }
        PQclear(PQgetResult(db));
        g_sink = g_sink + sink;
        return rows;
    });
    floor.filterCount = withDb([](PGconn *db) {
        return pgScalar(db, "SELECT count(*) FROM \"客户\" WHERE \"客户名称\" ILIKE '%华%'");
    });
    floor.firstRows = withDb([](PGconn *db) {
        pgScalar(db, "SELECT count(*) FROM \"客户\"");
        PGresult *result = PQexec(db, "SELECT * FROM \"客户\" ORDER BY \"编号\" LIMIT 256");
        const qint64 rows = PQntuples(result);
        PQclear(result);
        return rows;
    });
    return floor;
}
#else
Floor serverFloor(const DatabaseLocation &)
{
    return {{}, {}, {}, QStringLiteral("not installed (libpq-dev)")};
}
#endif

void benchmark(const QString &engine, const QString &where, int rows, int runs, const Floor &floor)
{
    std::vector<double> ours;
    std::vector<double> reference;
    for (int run = 0; run < runs; ++run) {
        ours.push_back(timedMs([&] {
            if (cursorScan(where) != rows)
                qFatal("the cursor has a different row count");
        }));
        if (floor.fullRead)
            reference.push_back(timedMs([&] {
                if (floor.fullRead() != rows)
                    qFatal("the floor read a different row count");
            }));
    }
    printFigure(
        QStringLiteral("%1: open, count and read all 27 columns of %2 rows").arg(engine).arg(rows),
        ours, reference, floor.missing);

    ours.clear();
    reference.clear();
    clsDataBase db(where);
    db.OpenDB(QStringLiteral("客户"));
    int ourCount = 0;
    qint64 floorCount = 0;
    for (int run = 0; run < runs; ++run) {
        ours.push_back(timedMs([&] { ourCount = cursorFilterCount(db); }));
        if (floor.filterCount)
            reference.push_back(timedMs([&] { floorCount = floor.filterCount(); }));
    }
    if (floor.filterCount && floorCount != ourCount)
        qFatal("the filter counts differ: %d and %lld", ourCount, floorCount);
    printFigure(QStringLiteral("%1: filter 客户名称 LIKE '*华*' and count on %2 rows (%3 match)")
                    .arg(engine)
                    .arg(rows)
                    .arg(ourCount),
                ours, reference, floor.missing);

    ours.clear();
    reference.clear();
    for (int run = 0; run < std::max(runs, 5); ++run) {
        ours.push_back(timedMs([&] { cursorFirstRows(where); }));
        if (floor.firstRows)
            reference.push_back(timedMs([&] { floor.firstRows(); }));
    }
    printFigure(
        QStringLiteral("%1: first rows of the client window (open, count, %2 rows) at %3 rows")
            .arg(engine)
            .arg(clsDataBase::kBlockRows)
            .arg(rows),
        ours, reference, floor.missing);
}

// The server to measure on: DIALVANE_BENCH_SERVER, or a private cluster started with the
// test fixture's script (stopped again when `cluster` ends). Empty when there is none.
QString serverUrl(QTemporaryDir &cluster)
{
    const QString given = qEnvironmentVariable("DIALVANE_BENCH_SERVER");
    if (!given.isEmpty())
        return given;
    const QString script = QStringLiteral(DIALVANE_SOURCE_DIR "/tests/customers/pgcluster.sh");
    QProcess start;
    start.start(QStringLiteral("sh"), {script, QStringLiteral("start"), cluster.path()});
    if (!start.waitForFinished(120000) || start.exitCode() != 0)
        return {};
    QFile url(cluster.filePath(QStringLiteral("url")));
    return url.open(QIODevice::ReadOnly) ? QString::fromUtf8(url.readAll()).trimmed() : QString();
}

void stopCluster(QTemporaryDir &cluster)
{
    if (!qEnvironmentVariableIsEmpty("DIALVANE_BENCH_SERVER"))
        return;
    QProcess::execute(QStringLiteral("sh"),
                      {QStringLiteral(DIALVANE_SOURCE_DIR "/tests/customers/pgcluster.sh"),
                       QStringLiteral("stop"), cluster.path()});
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
    QTemporaryDir cluster;
    const QString server = serverUrl(cluster);
    if (server.isEmpty())
        std::printf("server: no PostgreSQL server (package postgresql); file figures only\n");
    for (int rows : sizes) {
        if (rows <= 0)
            continue;
        const int runs = rows > 100000 ? 3 : 7;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("khdata.mdb"));
        kestrova::DemoOptions options;
        options.clients = rows;
        QString error;
        if (!kestrova::seedDemoData(path, options, &error))
            qFatal("cannot seed the database: %s", qPrintable(error));
        benchmark(QStringLiteral("file"), path, rows, runs, sqliteFloor(path));
        if (server.isEmpty())
            continue;
        kestrova::CopyOptions copy;
        copy.replace = true;
        if (!kestrova::copyDatabase(DatabaseLocation::file(path), DatabaseLocation::parse(server),
                                    copy, &error))
            qFatal("cannot copy to the server: %s", qPrintable(error));
        benchmark(QStringLiteral("server"), server, rows, runs,
                  serverFloor(DatabaseLocation::parse(server)));
    }
    stopCluster(cluster);
    return 0;
}
