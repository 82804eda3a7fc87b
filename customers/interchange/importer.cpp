#include "importer.h"

#include "jetfile.h"
#include "valueparsing.h"

#include "customers/data/clsdatabase.h"
#include "customers/data/engine.h"
#include "customers/data/sqlconnection.h"
#include "platform/shortdate.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace kestrova::interchange {

namespace {

int findHeader(const QStringList &headers, const QString &name)
{
    const QString wanted = name.trimmed();
    for (qsizetype i = 0; i < headers.size(); ++i) {
        if (headers.at(i).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

QString requiredColumn(Target target)
{
    return target == Target::Clients ? clientCaptions().at(ClientName)
                                     : planCaptions().at(PlanItem);
}

std::optional<bool> parseImportBoolean(const QString &text)
{
    static const QStringList yes = {QStringLiteral("是"), QStringLiteral("真"),
                                    QStringLiteral("已审核"), QStringLiteral("√")};
    static const QStringList no = {QStringLiteral("否"), QStringLiteral("假"),
                                   QStringLiteral("未审核")};
    const QString t = text.trimmed();
    if (yes.contains(t))
        return true;
    if (no.contains(t))
        return false;
    return parseBoolean(t);
}

// A typed source value as the text a text column keeps.
QString sourceText(const QString &cell, SourceKind kind)
{
    switch (kind) {
    case SourceKind::Date: {
        const QDateTime when = QDateTime::fromString(cell, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!when.isValid())
            return cell;
        return when.time() == QTime(0, 0) ? platform::shortDate(when.date())
                                          : platform::shortDateTime(when);
    }
    case SourceKind::Number:
        if (const auto number = parseNumber(cell))
            return numberText(*number);
        return cell;
    case SourceKind::Boolean:
        if (const auto value = parseBoolean(cell))
            return booleanText(*value);
        return cell;
    default:
        return cell;
    }
}

// The value a column gets when the file leaves it empty; the record classes give new rows
// the same.
QVariant emptyValue(Target target, const QString &column, ColumnType type)
{
    const QStringList &captions = targetCaptions(target);
    const int index = static_cast<int>(captions.indexOf(column));
    const bool registerDate = (target == Target::Clients && index == ClientRegisterDate) ||
                              (target == Target::Plans && index == PlanRegisterDate);
    if (registerDate && type == ColumnType::Date)
        return QDate::currentDate().toString(Qt::ISODate);
    if (registerDate)
        return platform::shortDate(QDate::currentDate());
    if (target == Target::Clients && index == ClientAuditing)
        return type == ColumnType::Boolean ? QVariant(0) : QVariant(booleanText(false));
    if (target == Target::Plans && index == PlanAuditing)
        return QStringLiteral("未审核");
    return {};
}

} // namespace

QString tableName(Target target)
{
    return QString::fromUtf16(target == Target::Clients ? kClientTable : kPlanTable);
}

const QStringList &targetCaptions(Target target)
{
    return target == Target::Clients ? clientCaptions() : planCaptions();
}

std::optional<Target> targetFromName(const QString &name)
{
    if (name == tableName(Target::Clients) || name == u"clients")
        return Target::Clients;
    if (name == tableName(Target::Plans) || name == u"plans")
        return Target::Plans;
    return std::nullopt;
}

int Mapping::mapped() const
{
    return static_cast<int>(
        std::count_if(sourceOfTarget.begin(), sourceOfTarget.end(), [](int s) { return s >= 0; }));
}

Mapping automaticMapping(const QStringList &sourceHeaders, Target target, bool withKeys)
{
    Mapping mapping;
    const QStringList &captions = targetCaptions(target);
    for (qsizetype t = 0; t < captions.size(); ++t)
        mapping.sourceOfTarget.append(t == 0 && !withKeys ? -1
                                                          : findHeader(sourceHeaders, captions[t]));
    return mapping;
}

std::optional<Mapping> applyColumnMap(Mapping mapping, const QString &pairs,
                                      const QStringList &sourceHeaders, Target target,
                                      QString *error)
{
    const QStringList &captions = targetCaptions(target);
    for (const QString &pair : pairs.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        if (eq <= 0) {
            *error = QStringLiteral("列对应“%1”应写成 源列=目标列。").arg(pair);
            return std::nullopt;
        }
        const QString sourceName = pair.left(eq).trimmed();
        const QString targetName = pair.mid(eq + 1).trimmed();
        const int source = findHeader(sourceHeaders, sourceName);
        if (source < 0) {
            *error = QStringLiteral("文件里没有列“%1”。").arg(sourceName);
            return std::nullopt;
        }
        for (int &s : mapping.sourceOfTarget) {
            if (s == source)
                s = -1;
        }
        if (targetName.isEmpty())
            continue;
        const int t = static_cast<int>(captions.indexOf(targetName));
        if (t < 0) {
            *error = QStringLiteral("表 %1 没有列“%2”。").arg(tableName(target), targetName);
            return std::nullopt;
        }
        mapping.sourceOfTarget[t] = source;
    }
    return mapping;
}

Target likelyTarget(const QStringList &sourceHeaders)
{
    return automaticMapping(sourceHeaders, Target::Plans).mapped() >
                   automaticMapping(sourceHeaders, Target::Clients).mapped()
               ? Target::Plans
               : Target::Clients;
}

int maxTextLength(const QString &column)
{
    static const QStringList memo = {QStringLiteral("概况"), QStringLiteral("备注"),
                                     QStringLiteral("工作方案")};
    return memo.contains(column) ? 65535 : 255;
}

Conversion convertRows(const SourceTable &source, const Mapping &mapping, Target target,
                       const QList<ColumnInfo> &columnTypes, const QSet<qint64> &existingKeys)
{
    Conversion out;
    const QStringList &captions = targetCaptions(target);
    const QString required = requiredColumn(target);
    if (mapping.sourceOfTarget.value(static_cast<int>(captions.indexOf(required)), -1) < 0) {
        out.error = QStringLiteral("缺少列“%1”：文件里没有这一列，也没有指定哪一列导入到它。")
                        .arg(required);
        return out;
    }
    struct Plan
    {
        QString name;
        ColumnType type;
        int source;
    };
    QList<Plan> plans;
    for (qsizetype t = 0; t < captions.size(); ++t) {
        const int s = mapping.sourceOfTarget.value(static_cast<int>(t), -1);
        ColumnType type = ColumnType::Text;
        for (const ColumnInfo &info : columnTypes) {
            if (info.name == captions[t])
                type = info.type;
        }
        const bool filledWhenEmpty = emptyValue(target, captions[t], type).isValid();
        if (s < 0 && !filledWhenEmpty)
            continue;
        plans.append({captions[t], type, s});
        out.columns.append(captions[t]);
        out.types.append(type);
    }
    QSet<qint64> keysSeen = existingKeys;
    for (qsizetype r = 0; r < source.rows.size(); ++r) {
        const QStringList &row = source.rows[r];
        const int rowNumber = source.rowNumbers.value(r, static_cast<int>(r) + 1);
        bool empty = true;
        for (const Plan &plan : plans) {
            if (plan.source >= 0 && !row.value(plan.source).trimmed().isEmpty())
                empty = false;
        }
        if (empty) {
            ++out.emptyRows;
            continue;
        }
        QVariantList values;
        bool rowOk = true;
        auto problem = [&](const Plan &plan, const QString &value, const QString &why) {
            out.problems.append({rowNumber, plan.name, value, why});
            rowOk = false;
        };
        for (const Plan &plan : plans) {
            const QString cell = plan.source >= 0 ? row.value(plan.source) : QString();
            const SourceKind kind =
                plan.source >= 0 ? source.kinds.value(plan.source) : SourceKind::Text;
            const QString trimmed = cell.trimmed();
            if (kind == SourceKind::Binary && !cell.isEmpty()) {
                problem(plan, cell, QStringLiteral("二进制数据不能导入到文字列"));
                values.append(QVariant());
                continue;
            }
            if (trimmed.isEmpty()) {
                if (plan.name == required)
                    problem(plan, cell, QStringLiteral("不能为空"));
                values.append(emptyValue(target, plan.name, plan.type));
                continue;
            }
            switch (plan.type) {
            case ColumnType::Key: {
                const auto number = parseNumber(trimmed);
                const qint64 key =
                    number && number->typeId() == QMetaType::LongLong ? number->toLongLong() : 0;
                if (key <= 0) {
                    problem(plan, cell, QStringLiteral("编号应是正整数"));
                } else if (keysSeen.contains(key)) {
                    problem(plan, cell,
                            existingKeys.contains(key)
                                ? QStringLiteral("数据库里已有这个编号")
                                : QStringLiteral("文件里这个编号出现了不止一次"));
                } else {
                    keysSeen.insert(key);
                }
                values.append(key);
                break;
            }
            case ColumnType::Date: {
                const QDate date = parseImportDate(trimmed);
                if (!date.isValid())
                    problem(
                        plan, cell,
                        QStringLiteral("不是日期（可写作 2024-3-5、2024/03/05 或 2024年3月5日）"));
                values.append(date.toString(Qt::ISODate));
                break;
            }
            case ColumnType::Boolean: {
                const auto value = parseImportBoolean(trimmed);
                if (!value)
                    problem(plan, cell,
                            QStringLiteral("不是是/否值（可写作 是、否、True、False、1、0）"));
                values.append(value.value_or(false) ? 1 : 0);
                break;
            }
            case ColumnType::Number: {
                const auto number = parseNumber(trimmed);
                if (!number)
                    problem(plan, cell, QStringLiteral("不是数字"));
                values.append(number.value_or(QVariant()));
                break;
            }
            case ColumnType::Text: {
                const QString text = sourceText(cell, kind);
                const int limit = maxTextLength(plan.name);
                if (text.size() > limit)
                    problem(plan, cell.left(40) + QStringLiteral("…"),
                            QStringLiteral("太长：有 %1 个字符，这一列最多 %2 个")
                                .arg(text.size())
                                .arg(limit));
                values.append(text);
                break;
            }
            }
        }
        if (rowOk)
            out.rows.append(values);
        else
            ++out.failedRows;
    }
    return out;
}

TableRows tableRows(Target target, const Conversion &conversion)
{
    return {tableName(target), conversion.columns, conversion.types, conversion.rows};
}

bool writeRows(const QString &dbPath, const QList<TableRows> &tables, const WriteProgress &progress,
               QString *error)
{
    const DatabaseLocation location = DatabaseLocation::parse(dbPath);
    QString why;
    auto engine =
        location.isValid() ? Engine::open(location, Engine::OpenMode::ExistingOnly, &why) : nullptr;
    if (!engine || !engine->prepareForWrites(&why)) {
        *error = QStringLiteral("不能打开数据库 %1：%2")
                     .arg(location.displayText(), location.isValid() ? why : location.errorText());
        return false;
    }
    QSqlDatabase db = engine->database();
    int total = 0;
    for (const TableRows &t : tables)
        total += static_cast<int>(t.rows.size());
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    int done = 0;
    auto fail = [&](const QString &text) {
        db.rollback();
        *error = text;
        return false;
    };
    for (const TableRows &t : tables) {
        if (t.rows.isEmpty())
            continue;
        QStringList names;
        QStringList marks;
        bool keyed = false;
        for (qsizetype c = 0; c < t.columns.size(); ++c) {
            names.append(quoteIdentifier(t.columns[c]));
            marks.append(QStringLiteral("?"));
            keyed = keyed || t.types.value(c) == ColumnType::Key;
        }
        QSqlQuery insert(db);
        // Table and column names come from the fixed caption arrays, never from the file.
        if (!insert.prepare(u"INSERT INTO " + quoteIdentifier(t.table) + u" (" + names.join(u", ") +
                            u") VALUES (" + marks.join(u", ") + u')'))
            return fail(insert.lastError().text());
        for (const QVariantList &row : t.rows) {
            for (qsizetype i = 0; i < row.size(); ++i)
                insert.bindValue(static_cast<int>(i),
                                 engine->bindValue(row.at(i), t.types.value(i, ColumnType::Text)));
            if (!insert.exec())
                return fail(
                    QStringLiteral("写入表 %1 失败：%2").arg(t.table, insert.lastError().text()));
            ++done;
            if (progress && (done % 50 == 0 || done == total) && !progress(done, total))
                return fail(QStringLiteral("导入已取消，没有写入任何行。"));
        }
        if (keyed && !engine->afterKeyedInsert(t.table, &why))
            return fail(why);
    }
    if (!db.commit())
        return fail(db.lastError().text());
    return true;
}

bool openTargetTable(clsDataBase &database, const DatabaseLocation &location, Target target,
                     QString *error)
{
    if ((!location.isServer() && !QFileInfo::exists(location.path())) ||
        !database.OpenDB(tableName(target))) {
        *error = QStringLiteral("不能打开数据库 %1 的表 %2。")
                     .arg(location.displayText(), tableName(target));
        return false;
    }
    return true;
}

bool readTargetInfo(const QString &dbPath, Target target, QList<ColumnInfo> *columns,
                    QSet<qint64> *keys, QString *error)
{
    const DatabaseLocation location = DatabaseLocation::parse(dbPath);
    clsDataBase database(location);
    if (!openTargetTable(database, location, target, error))
        return false;
    *columns = database.Columns();
    if (keys) {
        keys->clear();
        for (int p = 1; p <= database.RecordCount(); ++p)
            keys->insert(database.KeyAt(p));
    }
    database.CloseDB();
    return true;
}

SourceResult readSource(const SourceRequest &request)
{
    SourceResult result;
    QFile file(request.file);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("不能打开文件 %1：%2").arg(request.file, file.errorString());
        return result;
    }
    const QByteArray head = file.peek(64);
    if (JetFile::looksLikeJet(head)) {
        file.close();
        result.isJet = true;
        JetFile jet;
        if (!jet.open(request.file, &result.error))
            return result;
        result.jetVersion = jet.version();
        result.jetTables = jet.tables();
        QString table = request.jetTable;
        if (table.isEmpty() && result.jetTables.size() == 1)
            table = result.jetTables.first();
        if (table.isEmpty() && request.into && result.jetTables.contains(tableName(*request.into)))
            table = tableName(*request.into);
        if (result.jetTables.isEmpty()) {
            result.error = QStringLiteral("Access 数据库 %1 里没有表。")
                               .arg(QFileInfo(request.file).fileName());
            return result;
        }
        if (table.isEmpty()) {
            result.error = QStringLiteral("Access 数据库里有几张表（%1），请指定导入哪一张。")
                               .arg(result.jetTables.join(QStringLiteral("、")));
            return result;
        }
        result.chosenTable = table;
        if (auto rows = jet.readTable(table, &result.error))
            result.table = std::move(*rows);
        return result;
    }
    if (head.startsWith("SQLite format 3")) {
        result.error = QStringLiteral("%1 是 SQLite 数据库，不是 CSV 或 Access 文件。")
                           .arg(QFileInfo(request.file).fileName());
        return result;
    }
    CsvReadResult csv = readCsv(file.readAll(), request.csv);
    if (!csv.error.isEmpty()) {
        result.error = csv.error;
        return result;
    }
    result.csvHeader = csv.header;
    result.table = std::move(csv.table);
    return result;
}

QStringList problemLines(const QList<Problem> &problems, int limit)
{
    QStringList lines;
    for (const Problem &p : problems) {
        if (lines.size() == limit) {
            lines.append(QStringLiteral("……还有 %1 处").arg(problems.size() - limit));
            break;
        }
        lines.append(QStringLiteral("第 %1 行，列 %2，值“%3”：%4")
                         .arg(p.row)
                         .arg(p.column, p.value, p.reason));
    }
    return lines;
}

} // namespace kestrova::interchange
