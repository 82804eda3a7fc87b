#include "customers/data/criteria.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace kestrova;
using namespace kestrova::criteria;
using namespace Qt::StringLiterals;

namespace {

QList<ColumnInfo> clientColumns()
{
    QList<ColumnInfo> columns;
    for (const QString &caption : clientCaptions())
        columns.append({caption, ColumnType::Text});
    columns[ClientID].type = ColumnType::Key;
    columns[ClientRegisterDate].type = ColumnType::Date;
    columns[ClientAuditing].type = ColumnType::Boolean;
    columns.append({u"折扣"_s, ColumnType::Number});
    return columns;
}

} // namespace

class TestCriteria : public QObject
{
    Q_OBJECT

private slots:
    void parsesToCanonicalText_data();
    void parsesToCanonicalText();
    void canonicalTextParsesBack();
    void refusesMalformed_data();
    void refusesMalformed();
    void nestingLimit();
    void compiles_data();
    void compiles();
    void refusesUnconvertible_data();
    void refusesUnconvertible();
    void likePatterns_data();
    void likePatterns();
};

void TestCriteria::parsesToCanonicalText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("canonical");

    QTest::newRow("find bar contains") << u"客户名称 LIKE '*华*'"_s << u"客户名称 LIKE '*华*'"_s;
    QTest::newRow("class filter") << u"性质 = '老客户'"_s << u"性质 = '老客户'"_s;
    QTest::newRow("quoted number") << u"编号 = '5'"_s << u"编号 = '5'"_s;
    QTest::newRow("unquoted number") << u"编号 = 15"_s << u"编号 = 15"_s;
    QTest::newRow("today list") << u"开始提醒 <= 2024-5-6 AND 结束提醒 >= 2024-5-6"_s
                                << u"开始提醒 <= #2024-5-6# AND 结束提醒 >= #2024-5-6#"_s;
    QTest::newRow("day plans") << u"编号 = '12' OR 编号 = 15 OR 编号 = 31"_s
                               << u"编号 = '12' OR 编号 = 15 OR 编号 = 31"_s;
    QTest::newRow("all operators")
        << u"a = 1 AND b > 2 AND c < 3 AND d >= 4 AND e <= 5 AND f <> 6 AND g LIKE 'x'"_s
        << u"a = 1 AND b > 2 AND c < 3 AND d >= 4 AND e <= 5 AND f <> 6 AND g LIKE 'x'"_s;
    QTest::newRow("AND binds tighter")
        << u"a = 1 OR b = 2 AND c = 3"_s << u"a = 1 OR (b = 2 AND c = 3)"_s;
    QTest::newRow("AND binds tighter, left")
        << u"a = 1 AND b = 2 OR c = 3"_s << u"(a = 1 AND b = 2) OR c = 3"_s;
    QTest::newRow("parentheses") << u"(a = 1 OR b = 2) AND c = 3"_s
                                 << u"(a = 1 OR b = 2) AND c = 3"_s;
    QTest::newRow("redundant parentheses merge")
        << u"a = 1 OR (b = 2 OR (c = 3))"_s << u"a = 1 OR b = 2 OR c = 3"_s;
    QTest::newRow("lower-case keywords")
        << u"a = 1 and b like 'x' Or c = 2"_s << u"(a = 1 AND b LIKE 'x') OR c = 2"_s;
    QTest::newRow("no blanks around symbols") << u"编号=5"_s << u"编号 = 5"_s;
    QTest::newRow("many blanks") << u"  编号   >=\t'5'   OR  编号<3 "_s
                                 << u"编号 >= '5' OR 编号 < 3"_s;
    QTest::newRow("doubled apostrophe") << u"客户名称 = 'O''Neil'"_s << u"客户名称 = 'O''Neil'"_s;
    QTest::newRow("empty text") << u"备注 = ''"_s << u"备注 = ''"_s;
    QTest::newRow("keyword inside quotes")
        << u"备注 = ' AND x = 1 OR '"_s << u"备注 = ' AND x = 1 OR '"_s;
    QTest::newRow("bracketed column") << u"[客户 名称] = 'x'"_s << u"[客户 名称] = 'x'"_s;
    QTest::newRow("bracketed keyword column") << u"[or] = 1"_s << u"[or] = 1"_s;
    QTest::newRow("slash date") << u"登记日期 > 2024/12/31"_s << u"登记日期 > #2024/12/31#"_s;
    QTest::newRow("hash date") << u"登记日期 > #2024-1-2#"_s << u"登记日期 > #2024-1-2#"_s;
    QTest::newRow("signed decimal") << u"折扣 > -0.5"_s << u"折扣 > -0.5"_s;
    QTest::newRow("exponent") << u"折扣 < 1e3"_s << u"折扣 < 1e3"_s;
    QTest::newRow("LIKE right before the quote") << u"名称 LIKE'a*'"_s << u"名称 LIKE 'a*'"_s;
}

void TestCriteria::parsesToCanonicalText()
{
    QFETCH(QString, text);
    QFETCH(QString, canonical);
    const ParseResult result = parse(text);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(toText(*result.root), canonical);
}

void TestCriteria::canonicalTextParsesBack()
{
    const QStringList texts = {
        u"a = 1 OR b = 2 AND (c = 3 OR d LIKE '*''*')"_s,
        u"[x y] <> #2024-2-29# AND ([and] = '' OR z = -1.5e-3)"_s,
        u"((a = 1))"_s,
    };
    for (const QString &text : texts) {
        const ParseResult first = parse(text);
        QVERIFY2(first.ok(), qPrintable(text));
        const ParseResult second = parse(toText(*first.root));
        QVERIFY2(second.ok(), qPrintable(toText(*first.root)));
        QVERIFY2(*first.root == *second.root, qPrintable(text));
    }
}

void TestCriteria::refusesMalformed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");

    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("blank") << u"   "_s << 3;
    QTest::newRow("column only") << u"编号"_s << 2;
    QTest::newRow("no value") << u"编号 ="_s << 4;
    QTest::newRow("double operator") << u"编号 == 5"_s << 4;
    QTest::newRow("unknown operator") << u"编号 != 5"_s << 3;
    QTest::newRow("LIKE glued to value") << u"名称 LIKEx"_s << 3;
    QTest::newRow("unquoted word") << u"名称 = 华信"_s << 5;
    QTest::newRow("unterminated quote") << u"名称 = '华信"_s << 8;
    QTest::newRow("impossible date") << u"日期 = 2023-2-29"_s << 5;
    QTest::newRow("bad hash date") << u"日期 = #tomorrow#"_s << 5;
    QTest::newRow("unterminated hash") << u"日期 = #2024-1-1"_s << 5;
    QTest::newRow("dangling AND") << u"a = 1 AND"_s << 9;
    QTest::newRow("double OR") << u"a = 1 OR OR b = 2"_s << 9;
    QTest::newRow("missing AND") << u"a = 1 b = 2"_s << 6;
    QTest::newRow("unbalanced open") << u"(a = 1"_s << 6;
    QTest::newRow("unbalanced close") << u"a = 1)"_s << 5;
    QTest::newRow("empty group") << u"()"_s << 1;
    QTest::newRow("injection") << u"1' OR '1'='1"_s << 1;
    QTest::newRow("statement") << u"x; DROP TABLE 客户"_s << 3;
    QTest::newRow("trailing statement") << u"a = 1; DROP TABLE 客户"_s << 4;
    QTest::newRow("comment") << u"a = 1 -- x"_s << 6;
    QTest::newRow("empty brackets") << u"[] = 1"_s << 0;
    QTest::newRow("unterminated bracket") << u"[a = 1"_s << 0;
}

void TestCriteria::refusesMalformed()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    const ParseResult result = parse(text);
    QVERIFY(!result.ok());
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(result.errorOffset, offset);
}

void TestCriteria::nestingLimit()
{
    const auto nested = [](int depth) -> QString {
        return QString(depth, u'(') + u"a = 1"_s + QString(depth, u')');
    };
    QVERIFY(parse(nested(kMaxDepth)).ok());
    QVERIFY(!parse(nested(kMaxDepth + 1)).ok());
    QVERIFY(!parse(QString(100000, u'(')).ok());
}

void TestCriteria::compiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("values");

    QTest::newRow("text equality")
        << u"性质 = '老客户'"_s << u"\"性质\" = ? COLLATE NOCASE"_s << QVariantList{u"老客户"_s};
    QTest::newRow("contains") << u"客户名称 LIKE '*华*'"_s << u"\"客户名称\" LIKE ? ESCAPE '\\'"_s
                              << QVariantList{u"%华%"_s};
    QTest::newRow("key from quoted text")
        << u"编号 = '12'"_s << u"\"编号\" = ?"_s << QVariantList{12LL};
    QTest::newRow("key from number") << u"编号 >= 15"_s << u"\"编号\" >= ?"_s << QVariantList{15LL};
    QTest::newRow("decimal") << u"折扣 < '0.75'"_s << u"\"折扣\" < ?"_s << QVariantList{0.75};
    QTest::newRow("date unquoted")
        << u"登记日期 <= 2024-5-6"_s << u"\"登记日期\" <= ?"_s << QVariantList{u"2024-05-06"_s};
    QTest::newRow("date quoted") << u"登记日期 > '2024/10/1'"_s << u"\"登记日期\" > ?"_s
                                 << QVariantList{u"2024-10-01"_s};
    QTest::newRow("boolean word") << u"审核标志 = 'true'"_s << u"\"审核标志\" = ?"_s
                                  << QVariantList{1};
    QTest::newRow("boolean number")
        << u"审核标志 = -1"_s << u"\"审核标志\" = ?"_s << QVariantList{1};
    QTest::newRow("text column takes a number as text")
        << u"电话 = 88751261"_s << u"\"电话\" = ? COLLATE NOCASE"_s << QVariantList{u"88751261"_s};
    QTest::newRow("column case ignored") << u"KEY = 1"_s << QString() << QVariantList{};
    QTest::newRow("like on key") << u"编号 LIKE '1*'"_s
                                 << u"CAST(\"编号\" AS TEXT) LIKE ? ESCAPE '\\'"_s
                                 << QVariantList{u"1%"_s};
    QTest::newRow("like on boolean")
        << u"审核标志 LIKE 'T*'"_s
        << u"(CASE WHEN \"审核标志\" IS NULL THEN NULL WHEN \"审核标志\" <> 0 THEN 'True' ELSE "
           "'False' END) LIKE ? ESCAPE '\\'"_s
        << QVariantList{u"T%"_s};
    QTest::newRow("hostile value stays a value")
        << u"客户名称 = 'x''); DROP TABLE \"客户\"; --'"_s << u"\"客户名称\" = ? COLLATE NOCASE"_s
        << QVariantList{u"x'); DROP TABLE \"客户\"; --"_s};
    QTest::newRow("equalities on one column become one IN list")
        << u"编号 = '12' OR 编号 = 15 OR 编号 = 31"_s << u"\"编号\" IN (?, ?, ?)"_s
        << QVariantList{12LL, 15LL, 31LL};
    QTest::newRow("text IN list ignores case")
        << u"性质 = '老客户' OR 性质 = 'Vip'"_s << u"\"性质\" COLLATE NOCASE IN (?, ?)"_s
        << QVariantList{u"老客户"_s, u"Vip"_s};
    QTest::newRow("three ORs balanced")
        << u"编号 = 1 OR 电话 = '2' OR 客户名称 LIKE 'x'"_s
        << u"(\"编号\" = ? OR (\"电话\" = ? COLLATE NOCASE OR \"客户名称\" LIKE ? ESCAPE '\\'))"_s
        << QVariantList{1LL, u"2"_s, u"x"_s};
    QTest::newRow("equalities gathered per column, other clauses kept")
        << u"编号 = 1 OR 电话 = '5' OR 编号 = 2 OR 编号 > 9"_s
        << u"(\"编号\" IN (?, ?) OR (\"电话\" = ? COLLATE NOCASE OR \"编号\" > ?))"_s
        << QVariantList{1LL, 2LL, u"5"_s, 9LL};
    QStringList keys;
    QVariantList keyValues;
    for (int i = 1; i <= kMaxInlineInValues + 1; ++i) {
        keys.append(u"编号 = %1"_s.arg(i * 7));
        keyValues.append(qlonglong(i * 7));
    }
    QTest::newRow("a long list is one JSON value")
        << keys.join(u" OR "_s) << u"\"编号\" IN (SELECT value FROM json_each(?))"_s
        << QVariantList{QString::fromUtf8(QJsonDocument(QJsonArray::fromVariantList(keyValues))
                                              .toJson(QJsonDocument::Compact))};
    keys.removeLast();
    keyValues.removeLast();
    QTest::newRow("a list at the limit is bound value by value")
        << keys.join(u" OR "_s)
        << u"\"编号\" IN ("_s + QStringList(kMaxInlineInValues, u"?"_s).join(u", "_s) + u')'
        << keyValues;
    QTest::newRow("equalities under AND stay apart")
        << u"编号 = 1 AND 编号 = 2"_s << u"(\"编号\" = ? AND \"编号\" = ?)"_s
        << QVariantList{1LL, 2LL};
    QTest::newRow("AND inside OR") << u"编号 = 1 OR 编号 = 2 AND 电话 = '3'"_s
                                   << u"(\"编号\" = ? OR (\"编号\" = ? AND \"电话\" = ? COLLATE "
                                      "NOCASE))"_s
                                   << QVariantList{1LL, 2LL, u"3"_s};
}

void TestCriteria::compiles()
{
    QFETCH(QString, text);
    QFETCH(QString, sql);
    QFETCH(QVariantList, values);
    QList<ColumnInfo> columns = clientColumns();
    if (sql.isEmpty()) { // the case-insensitive column lookup
        columns.append({u"Key"_s, ColumnType::Key});
        sql = u"\"Key\" = ?"_s;
        values = {1LL};
    }
    const CompileResult result = compile(text, columns);
    QVERIFY2(result.condition, qPrintable(result.error));
    QCOMPARE(result.condition->sql, sql);
    QCOMPARE(result.condition->values, values);
}

void TestCriteria::refusesUnconvertible_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("unknown column") << u"名称 = '华'"_s;
    QTest::newRow("text for key") << u"编号 = 'abc'"_s;
    QTest::newRow("date for key") << u"编号 = 2024-5-6"_s;
    QTest::newRow("blank for key") << u"编号 = ''"_s;
    QTest::newRow("number for date") << u"登记日期 = 20240506"_s;
    QTest::newRow("word for date") << u"登记日期 > '明天'"_s;
    QTest::newRow("word for boolean") << u"审核标志 = '已审核'"_s;
    QTest::newRow("date for boolean") << u"审核标志 = 2024-5-6"_s;
    QTest::newRow("malformed") << u"编号 ="_s;
    QTest::newRow("one bad clause of many") << u"编号 = 1 OR 登记日期 = 'x' OR 编号 = 2"_s;
}

void TestCriteria::refusesUnconvertible()
{
    QFETCH(QString, text);
    const CompileResult result = compile(text, clientColumns());
    QVERIFY(!result.condition);
    QVERIFY(!result.error.isEmpty());
}

void TestCriteria::likePatterns_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("star") << u"*华*"_s << u"%华%"_s;
    QTest::newRow("percent") << u"华%"_s << u"华%"_s;
    QTest::newRow("underscore literal") << u"a_b"_s << u"a\\_b"_s;
    QTest::newRow("backslash literal") << u"c:\\x"_s << u"c:\\\\x"_s;
    QTest::newRow("question mark literal") << u"a?"_s << u"a?"_s;
}

void TestCriteria::likePatterns()
{
    QFETCH(QString, value);
    QFETCH(QString, pattern);
    QCOMPARE(likePattern(value), pattern);
}

QTEST_APPLESS_MAIN(TestCriteria)
#include "tst_criteria.moc"
