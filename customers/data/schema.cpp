#include "schema.h"

#include "engine.h"

namespace kestrova {

QList<ColumnInfo> expectedColumns(const QString &table)
{
    QList<ColumnInfo> columns;
    const auto build = [&](const QStringList &captions, std::initializer_list<int> dates,
                           int boolean) {
        for (int i = 0; i < captions.size(); ++i) {
            ColumnType type = ColumnType::Text;
            if (i == 0)
                type = ColumnType::Key;
            else if (std::find(dates.begin(), dates.end(), i) != dates.end())
                type = ColumnType::Date;
            else if (i == boolean)
                type = ColumnType::Boolean;
            columns.append({captions[i], type});
        }
    };
    if (table == QString::fromUtf16(kClientTable))
        build(clientCaptions(), {ClientRegisterDate}, ClientAuditing);
    else if (table == QString::fromUtf16(kPlanTable))
        build(planCaptions(),
              {PlanStartDate, PlanFinishDate, PlanStartRemind, PlanEndRemind, PlanRegisterDate},
              -1);
    return columns;
}

QString createTableSql(const QString &table, const ColumnTypeNames &types)
{
    QStringList lines;
    for (const ColumnInfo &column : expectedColumns(table)) {
        QString type;
        switch (column.type) {
        case ColumnType::Key:
            type = types.key;
            break;
        case ColumnType::Date:
            type = types.date;
            break;
        case ColumnType::Boolean:
            type = types.boolean;
            break;
        case ColumnType::Number:
        case ColumnType::Text:
            type = types.text;
            break;
        }
        lines.append(u"    \"" + column.name + u"\" " + type);
    }
    return u"CREATE TABLE \"" + table + u"\" (\n" + lines.join(u",\n") + u"\n)";
}

namespace {

QString typeName(ColumnType type)
{
    switch (type) {
    case ColumnType::Key:
        return QStringLiteral("编号");
    case ColumnType::Number:
        return QStringLiteral("数字");
    case ColumnType::Text:
        return QStringLiteral("文本");
    case ColumnType::Date:
        return QStringLiteral("日期");
    case ColumnType::Boolean:
        return QStringLiteral("是/否");
    }
    return {};
}

// Why a table's columns are not Kestrova's, or empty when they are.
QString columnMismatch(const QString &table, const QList<ColumnInfo> &found)
{
    const QList<ColumnInfo> wanted = expectedColumns(table);
    for (qsizetype i = 0; i < std::max(wanted.size(), found.size()); ++i) {
        if (i >= found.size())
            return QStringLiteral("表“%1”缺少列“%2”").arg(table, wanted[i].name);
        if (i >= wanted.size())
            return QStringLiteral("表“%1”多出列“%2”").arg(table, found[i].name);
        if (found[i].name != wanted[i].name)
            return QStringLiteral("表“%1”的第 %2 列是“%3”，应为“%4”")
                .arg(table)
                .arg(i + 1)
                .arg(found[i].name, wanted[i].name);
        if (found[i].type != wanted[i].type)
            return QStringLiteral("表“%1”的列“%2”类型是%3，应为%4")
                .arg(table, found[i].name, typeName(found[i].type), typeName(wanted[i].type));
    }
    return {};
}

} // namespace

SchemaCheck checkSchema(Engine &engine)
{
    SchemaCheck check;
    QString error;
    const auto tables = engine.tableNames(&error);
    if (!tables) {
        check.message = error;
        return check;
    }
    check.tables = *tables;
    const QString where = engine.location().displayText();
    const QStringList ours = {QString::fromUtf16(kClientTable), QString::fromUtf16(kPlanTable)};
    if (tables->isEmpty()) {
        check.state = SchemaCheck::Empty;
        check.missing = ours;
        return check;
    }
    QStringList others;
    for (const QString &table : *tables) {
        if (!ours.contains(table))
            others.append(table);
    }
    for (const QString &table : ours) {
        if (!tables->contains(table)) {
            check.missing.append(table);
            continue;
        }
        QList<ColumnInfo> columns;
        if (!engine.loadColumns(table, &columns, &error)) {
            check.message = error;
            return check;
        }
        check.columns.insert(table, columns);
        const QString mismatch = columnMismatch(table, columns);
        if (!mismatch.isEmpty()) {
            check.state = SchemaCheck::Foreign;
            check.message =
                QStringLiteral("%1 不是 Kestrova 的客户数据库：%2").arg(where, mismatch);
            return check;
        }
    }
    if (check.missing.isEmpty()) {
        check.state = SchemaCheck::Kestrova;
    } else if (check.missing.size() == 1 && others.isEmpty()) {
        check.state = SchemaCheck::Incomplete;
    } else {
        check.state = SchemaCheck::Foreign;
        check.message = QStringLiteral("%1 不是 Kestrova 的客户数据库：它含有其他表（%2）")
                            .arg(where, others.join(QStringLiteral("、")));
    }
    return check;
}

bool createDatabase(const DatabaseLocation &location, QString *error)
{
    QString ignored;
    QString &why = error ? *error : ignored;
    auto engine = Engine::open(location, Engine::OpenMode::CreateIfMissing, &why);
    if (!engine)
        return false;
    const SchemaCheck check = checkSchema(*engine);
    switch (check.state) {
    case SchemaCheck::Foreign:
    case SchemaCheck::Failed:
        why = check.message;
        return false;
    case SchemaCheck::Kestrova: // a server's change notices are brought up to date
    case SchemaCheck::Empty:
    case SchemaCheck::Incomplete:
        break;
    }
    return engine->prepareForWrites(&why) && engine->createTables(check.missing, &why);
}

bool createDatabaseFile(const QString &path, QString *error)
{
    return createDatabase(DatabaseLocation::file(path), error);
}

} // namespace kestrova
