// Feeds arbitrary text to the filter criteria parser and compiler. Beyond not crashing:
// the canonical text of every accepted criteria parses back to the same tree, and every
// compiled condition is SQL the engine accepts, with exactly one bound value per ?, run
// against both tables.

#include "customers/data/criteria.h"
#include "customers/data/sqlconnection.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

using namespace kestrova;

namespace {

QList<ColumnInfo> columnsOf(const QStringList &captions, const QList<ColumnType> &types)
{
    QList<ColumnInfo> columns;
    for (int i = 0; i < captions.size(); ++i)
        columns.append({captions[i], types[i]});
    columns.append({QStringLiteral("折扣"), ColumnType::Number});
    return columns;
}

const QList<ColumnInfo> &clientColumns()
{
    static const QList<ColumnInfo> columns = [] {
        QList<ColumnType> types(ClientColumnCount, ColumnType::Text);
        types[ClientID] = ColumnType::Key;
        types[ClientRegisterDate] = ColumnType::Date;
        types[ClientAuditing] = ColumnType::Boolean;
        return columnsOf(clientCaptions(), types);
    }();
    return columns;
}

const QList<ColumnInfo> &planColumns()
{
    static const QList<ColumnInfo> columns = [] {
        QList<ColumnType> types(PlanColumnCount, ColumnType::Text);
        types[PlanID] = ColumnType::Key;
        for (int c :
             {PlanStartDate, PlanFinishDate, PlanStartRemind, PlanEndRemind, PlanRegisterDate})
            types[c] = ColumnType::Date;
        return columnsOf(planCaptions(), types);
    }();
    return columns;
}

sqlite3 *database()
{
    static sqlite3 *db = [] {
        sqlite3 *handle = nullptr;
        if (sqlite3_open(":memory:", &handle) != SQLITE_OK)
            std::abort();
        const auto create = [handle](const QString &table, const QList<ColumnInfo> &columns) {
            QStringList definitions;
            for (const ColumnInfo &column : columns) {
                const char *type = column.type == ColumnType::Key       ? "INTEGER PRIMARY KEY"
                                   : column.type == ColumnType::Date    ? "DATE"
                                   : column.type == ColumnType::Boolean ? "BOOLEAN"
                                   : column.type == ColumnType::Number  ? "REAL"
                                                                        : "TEXT";
                definitions.append(quoteIdentifier(column.name) + u' ' + QString::fromLatin1(type));
            }
            const QByteArray sql = QStringLiteral("CREATE TABLE %1 (%2); INSERT INTO %1 DEFAULT "
                                                  "VALUES;")
                                       .arg(quoteIdentifier(table), definitions.join(u", "))
                                       .toUtf8();
            if (sqlite3_exec(handle, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
                std::abort();
        };
        create(QString::fromUtf16(kClientTable), clientColumns());
        create(QString::fromUtf16(kPlanTable), planColumns());
        return handle;
    }();
    return db;
}

void check(bool condition, const char *what, const QString &detail)
{
    if (!condition) {
        std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
        std::abort();
    }
}

void run(const QString &table, const criteria::SqlCondition &condition)
{
    check(condition.sql.count(u'?') == condition.values.size(), "placeholders and values differ",
          condition.sql);
    const QByteArray sql =
        (u"SELECT rowid FROM " + quoteIdentifier(table) + u" WHERE " + condition.sql).toUtf8();
    sqlite3_stmt *statement = nullptr;
    const int prepared =
        sqlite3_prepare_v2(database(), sql.constData(), int(sql.size()), &statement, nullptr);
    check(prepared == SQLITE_OK, "the engine refused the compiled condition",
          QString::fromUtf8(sql) + u" -> " + QString::fromUtf8(sqlite3_errmsg(database())));
    for (int i = 0; i < condition.values.size(); ++i) {
        const QVariant &value = condition.values[i];
        if (value.typeId() == QMetaType::Double) {
            sqlite3_bind_double(statement, i + 1, value.toDouble());
        } else if (value.typeId() == QMetaType::QString) {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()),
                              SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_int64(statement, i + 1, value.toLongLong());
        }
    }
    int step = SQLITE_ROW;
    while (step == SQLITE_ROW)
        step = sqlite3_step(statement);
    check(step == SQLITE_DONE, "running the condition failed",
          QString::fromUtf8(sql) + u" -> " + QString::fromUtf8(sqlite3_errmsg(database())));
    sqlite3_finalize(statement);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const criteria::ParseResult parsed = criteria::parse(text);
    if (!parsed.ok()) {
        check(!parsed.error.isEmpty() && parsed.errorOffset >= 0 &&
                  parsed.errorOffset <= text.size(),
              "a refusal without reason or place", text);
        return 0;
    }
    const QString canonical = criteria::toText(*parsed.root);
    const criteria::ParseResult again = criteria::parse(canonical);
    check(again.ok() && *again.root == *parsed.root, "the canonical text does not parse back",
          text + u" -> " + canonical);

    const criteria::CompileResult client = criteria::compile(*parsed.root, clientColumns());
    if (client.condition)
        run(QString::fromUtf16(kClientTable), *client.condition);
    const criteria::CompileResult plan = criteria::compile(*parsed.root, planColumns());
    if (plan.condition)
        run(QString::fromUtf16(kPlanTable), *plan.condition);
    return 0;
}
