#pragma once

#include "columns.h"

#include <QList>
#include <QString>
#include <QVariantList>

#include <optional>
#include <vector>

// The filter criteria the windows narrow a table with: clauses of a column name, an operator
// and a value, joined by AND and OR (AND binds tighter; parentheses group). Values are quoted
// text ('华', with '' for an apostrophe), unquoted numbers (15, -2.5) or unquoted short dates
// (2024-5-6, also #2024-5-6#). In a LIKE value "*" (or "%") matches any run of characters.
// The criteria is parsed into a tree and compiled to an SQL condition whose values are all
// bound parameters: no text of the criteria ever becomes SQL.
namespace kestrova::criteria {

enum class Operator { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, Like };

enum class ValueKind {
    Quoted, // 'text'; `value` holds the text with '' already turned into '
    Number, // as written
    Date,   // as written, without the # marks
};

struct Clause
{
    QString column;
    Operator op = Operator::Equal;
    ValueKind kind = ValueKind::Quoted;
    QString value;

    bool operator==(const Clause &) const = default;
};

struct Node
{
    enum class Kind { Clause, And, Or };
    Kind kind = Kind::Clause;
    Clause clause;              // for Kind::Clause
    std::vector<Node> children; // for And / Or: two or more, none of the same kind

    bool operator==(const Node &) const = default;
};

struct ParseResult
{
    std::optional<Node> root;
    QString error;              // why the text is malformed, when root is empty
    qsizetype errorOffset = -1; // where, in characters

    bool ok() const { return root.has_value(); }
};

// An OR of more "column = value" clauses on one column than this binds their values as one
// array (JSON on SQLite, an array literal on PostgreSQL); fewer are bound one parameter each.
inline constexpr int kMaxInlineInValues = 32;

// Nesting deeper than this is refused as malformed.
inline constexpr int kMaxDepth = 64;

ParseResult parse(QStringView text);

// The canonical text of a tree; parsing it gives the same tree back.
QString toText(const Node &node);

QString operatorText(Operator op);

// The SQL the condition is written in. The criteria language is the same for both.
enum class Dialect { SQLite, PostgreSQL };

struct SqlCondition
{
    QString sql;         // an SQL boolean expression with one ? per value
    QVariantList values; // in order of the ?
};

struct CompileResult
{
    std::optional<SqlCondition> condition;
    QString error; // an unknown column, or a value that does not convert to the column's type
};

// Compiles against a table's columns (matched without regard to ASCII case). Each value is
// converted to its column's type, so dates compare as dates and numbers as numbers.
CompileResult compile(const Node &root, const QList<ColumnInfo> &columns,
                      Dialect dialect = Dialect::SQLite);

// Both steps at once; the error of whichever failed.
CompileResult compile(QStringView text, const QList<ColumnInfo> &columns,
                      Dialect dialect = Dialect::SQLite);

// A LIKE value in SQL's form: * and % match any run, _ and \ are literal (escape character \).
QString likePattern(QStringView value);

} // namespace kestrova::criteria
