#include "databasecopy.h"

#include "engine.h"
#include "schema.h"
#include "sqlconnection.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>

namespace kestrova {

namespace {

const QStringList &tables()
{
    static const QStringList names = {QString::fromUtf16(kClientTable),
                                      QString::fromUtf16(kPlanTable)};
    return names;
}

std::optional<qint64> countRows(Engine &engine, const QString &table, QString *error)
{
    QSqlQuery query(engine.database());
    if (!query.exec(u"SELECT count(*) FROM " + quoteIdentifier(table)) || !query.next()) {
        *error = query.lastError().text();
        return std::nullopt;
    }
    return query.value(0).toLongLong();
}

// A value as one engine read it, in the neutral storage form: dates as ISO text, booleans as
// 0 / 1, keys and numbers as numbers, texts as texts.
QVariant neutral(const QVariant &value, ColumnType type)
{
    if (value.isNull())
        return QVariant();
    switch (type) {
    case ColumnType::Date:
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().toString(Qt::ISODate);
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().date().toString(Qt::ISODate);
        return value.toString();
    case ColumnType::Boolean:
        if (isNumeric(value))
            return QVariant(value.toDouble() != 0.0 ? 1 : 0);
        if (const auto flag = parseBoolean(value.toString()))
            return QVariant(*flag ? 1 : 0);
        return value;
    default:
        return value;
    }
}

constexpr int kBatchRows = 200;

bool copyTable(Engine &source, Engine &target, const QString &table, qint64 &done, qint64 total,
               const CopyOptions &options, QString *error)
{
    const QList<ColumnInfo> columns = expectedColumns(table);
    QStringList names;
    for (const ColumnInfo &column : columns)
        names.append(quoteIdentifier(column.name));
    QSqlQuery read(source.database());
    read.setForwardOnly(true);
    if (!read.exec(u"SELECT " + names.join(u", ") + u" FROM " + quoteIdentifier(table) +
                   u" ORDER BY " + quoteIdentifier(columns[0].name))) {
        *error = read.lastError().text();
        return false;
    }
    const QString row = u'(' + QStringList(columns.size(), QStringLiteral("?")).join(u", ") + u')';
    const QString insertHead =
        u"INSERT INTO " + quoteIdentifier(table) + u" (" + names.join(u", ") + u") VALUES ";
    QSqlQuery insert(target.database());
    QString preparedFor;
    QVariantList batch;
    int batchRows = 0;
    const auto flush = [&]() {
        if (batchRows == 0)
            return true;
        const QString sql = insertHead + QStringList(batchRows, row).join(u", ");
        if (sql != preparedFor) {
            if (!insert.prepare(sql)) {
                *error = insert.lastError().text();
                return false;
            }
            preparedFor = sql;
        }
        for (int i = 0; i < batch.size(); ++i)
            insert.bindValue(i, batch[i]);
        if (!insert.exec()) {
            *error = insert.lastError().text();
            return false;
        }
        done += batchRows;
        if (options.progress)
            options.progress(done, total);
        batch.clear();
        batchRows = 0;
        return true;
    };
    while (read.next()) {
        for (int c = 0; c < columns.size(); ++c)
            batch.append(
                target.bindValue(neutral(read.value(c), columns[c].type), columns[c].type));
        if (++batchRows == kBatchRows && !flush())
            return false;
    }
    if (read.lastError().isValid()) {
        *error = read.lastError().text();
        return false;
    }
    return flush() && target.afterKeyedInsert(table, error);
}

} // namespace

std::optional<DatabaseSummary> inspectDatabase(const DatabaseLocation &location, QString *error,
                                               DataError::Kind *kind)
{
    QString ignored;
    QString &why = error ? *error : ignored;
    auto engine = Engine::open(location, Engine::OpenMode::ExistingOnly, &why, kind);
    if (!engine)
        return std::nullopt;
    const SchemaCheck check = checkSchema(*engine);
    if (check.state == SchemaCheck::Failed) {
        why = check.message;
        return std::nullopt;
    }
    DatabaseSummary summary;
    summary.kestrova = check.state == SchemaCheck::Kestrova;
    switch (check.state) {
    case SchemaCheck::Empty:
        summary.problem = QStringLiteral("%1 没有 Kestrova 的表").arg(location.displayText());
        break;
    case SchemaCheck::Incomplete:
        summary.problem =
            QStringLiteral("%1 缺少表“%2”").arg(location.displayText(), check.missing.join(u'、'));
        break;
    default:
        summary.problem = check.message;
    }
    if (check.state == SchemaCheck::Foreign)
        return summary;
    for (const QString &table : tables()) {
        if (check.missing.contains(table))
            continue;
        const auto rows = countRows(*engine, table, &why);
        if (!rows)
            return std::nullopt;
        summary.rowCounts.append({table, *rows});
    }
    return summary;
}

bool copyDatabase(const DatabaseLocation &from, const DatabaseLocation &to,
                  const CopyOptions &options, QString *error)
{
    QString ignored;
    QString &why = error ? *error : ignored;
    if (from.toString() == to.toString()) {
        why = QStringLiteral("the source and the target are the same database");
        return false;
    }
    auto source = Engine::open(from, Engine::OpenMode::ExistingOnly, &why);
    if (!source)
        return false;
    const SchemaCheck sourceCheck = checkSchema(*source);
    if (sourceCheck.state != SchemaCheck::Kestrova) {
        why = sourceCheck.message.isEmpty()
                  ? QStringLiteral("%1 holds no Kestrova database").arg(from.displayText())
                  : sourceCheck.message;
        return false;
    }
    auto target = Engine::open(to, Engine::OpenMode::CreateIfMissing, &why);
    if (!target)
        return false;
    const SchemaCheck targetCheck = checkSchema(*target);
    if (targetCheck.state == SchemaCheck::Foreign || targetCheck.state == SchemaCheck::Failed) {
        why = targetCheck.message;
        return false;
    }
    if (!target->prepareForWrites(&why))
        return false;
    if (!targetCheck.missing.isEmpty() && !target->createTables(targetCheck.missing, &why))
        return false;

    qint64 total = 0;
    for (const QString &table : tables()) {
        const auto sourceRows = countRows(*source, table, &why);
        const auto targetRows = countRows(*target, table, &why);
        if (!sourceRows || !targetRows)
            return false;
        if (*targetRows > 0 && !options.replace) {
            why = QStringLiteral("%1 already holds rows (table \"%2\"); use --replace to "
                                 "overwrite them")
                      .arg(to.displayText(), table);
            return false;
        }
        total += *sourceRows;
    }

    QSqlDatabase db = target->database();
    // The source is read in one snapshot, so the copy is consistent while others write.
    QSqlDatabase sourceDb = source->database();
    if (!sourceDb.transaction() || !db.transaction()) {
        why = db.lastError().text();
        return false;
    }
    qint64 done = 0;
    bool ok = true;
    for (const QString &table : tables()) {
        if (options.replace) {
            QSqlQuery wipe(db);
            if (!wipe.exec(u"DELETE FROM " + quoteIdentifier(table))) {
                why = wipe.lastError().text();
                ok = false;
                break;
            }
        }
        if (!copyTable(*source, *target, table, done, total, options, &why)) {
            ok = false;
            break;
        }
    }
    sourceDb.rollback();
    if (!ok) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        why = db.lastError().text();
        return false;
    }
    return true;
}

} // namespace kestrova
