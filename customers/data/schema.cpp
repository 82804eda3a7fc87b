#include "schema.h"

#include "sqlconnection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace kestrova {

namespace {

// Declared types name what clsDataBase converts: DATE columns hold yyyy-MM-dd, BOOLEAN columns
// hold 0 or 1, TEXT columns hold the text as written.
constexpr char16_t kClientTableSql[] = uR"sql(
CREATE TABLE IF NOT EXISTS "客户" (
    "编号"     INTEGER PRIMARY KEY AUTOINCREMENT,
    "客户名称" TEXT,
    "法人代表" TEXT,
    "性质"     TEXT,
    "类型"     TEXT,
    "来源"     TEXT,
    "电话"     TEXT,
    "传真"     TEXT,
    "邮件"     TEXT,
    "网址"     TEXT,
    "行业"     TEXT,
    "信誉等级" TEXT,
    "开户银行" TEXT,
    "帐号"     TEXT,
    "税号"     TEXT,
    "重要程度" TEXT,
    "地区"     TEXT,
    "国家"     TEXT,
    "省份"     TEXT,
    "城市"     TEXT,
    "地址"     TEXT,
    "邮编"     TEXT,
    "概况"     TEXT,
    "责任人"   TEXT,
    "登记日期" DATE,
    "备注"     TEXT,
    "审核标志" BOOLEAN
))sql";

constexpr char16_t kPlanTableSql[] = uR"sql(
CREATE TABLE IF NOT EXISTS "工作计划" (
    "编号"     INTEGER PRIMARY KEY AUTOINCREMENT,
    "事项"     TEXT,
    "客户编号" TEXT,
    "开始时间" DATE,
    "完成时间" DATE,
    "需要提醒" TEXT,
    "开始提醒" DATE,
    "结束提醒" DATE,
    "实施人员" TEXT,
    "工作方案" TEXT,
    "完成标志" TEXT,
    "重要程度" TEXT,
    "责任人"   TEXT,
    "登记日期" DATE,
    "备注"     TEXT,
    "审核标志" TEXT
))sql";

} // namespace

bool createSchema(QSqlDatabase &database, QString *error)
{
    QSqlQuery query(database);
    for (const char16_t *sql : {kClientTableSql, kPlanTableSql}) {
        if (!query.exec(QString::fromUtf16(sql))) {
            if (error)
                *error = query.lastError().text();
            return false;
        }
    }
    return true;
}

bool createDatabaseFile(const QString &path, QString *error)
{
    SqlConnection connection(path, SqlConnection::CreateIfMissing);
    if (!connection.isOpen()) {
        if (error)
            *error = connection.errorText();
        return false;
    }
    QSqlDatabase database = connection.database();
    return createSchema(database, error);
}

} // namespace kestrova
