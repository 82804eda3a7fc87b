#include "criteria.h"

#include "sqlconnection.h"

#include "platform/shortdate.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

namespace kestrova::criteria {

namespace {

// Any white space separates, the ideographic blank of Chinese input methods included; it is
// the same set trimmed() removes, so a value never differs from its trimmed form.
bool isBlank(QChar c)
{
    return c.isSpace();
}

// Characters that end a bare column name or an unquoted value.
bool endsBareWord(QChar c)
{
    return isBlank(c) || c == u'=' || c == u'<' || c == u'>' || c == u'(' || c == u')' ||
           c == u'\'' || c == u'#';
}

class Parser
{
public:
    explicit Parser(QStringView text)
        : m_text(text)
    {}

    ParseResult run()
    {
        ParseResult result;
        skipBlanks();
        if (atEnd()) {
            fail(u"the criteria is empty");
        } else {
            Node root = parseOr(0);
            skipBlanks();
            if (!m_failed && !atEnd())
                fail(u"AND or OR expected");
            if (!m_failed)
                result.root = std::move(root);
        }
        if (m_failed) {
            result.error = m_error;
            result.errorOffset = m_errorOffset;
        }
        return result;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text.at(m_pos); }

    void skipBlanks()
    {
        while (!atEnd() && isBlank(m_text.at(m_pos)))
            ++m_pos;
    }

    void fail(QStringView why)
    {
        if (m_failed)
            return;
        m_failed = true;
        m_error = why.toString();
        m_errorOffset = m_pos;
    }

    // Whether `word` (ASCII, any case) stands at the position as a whole word.
    bool atWord(QLatin1StringView word) const
    {
        if (m_text.size() - m_pos < word.size())
            return false;
        if (m_text.sliced(m_pos, word.size()).compare(word, Qt::CaseInsensitive) != 0)
            return false;
        const qsizetype after = m_pos + word.size();
        return after >= m_text.size() || isBlank(m_text.at(after)) || m_text.at(after) == u'(' ||
               m_text.at(after) == u'\'' || m_text.at(after) == u'#';
    }

    static Node join(Node::Kind kind, std::vector<Node> parts)
    {
        if (parts.size() == 1)
            return std::move(parts.front());
        Node node;
        node.kind = kind;
        // A group of the same kind merges in: a OR (b OR c) is a OR b OR c.
        for (Node &part : parts) {
            if (part.kind == kind) {
                for (Node &child : part.children)
                    node.children.push_back(std::move(child));
            } else {
                node.children.push_back(std::move(part));
            }
        }
        return node;
    }

    Node parseOr(int depth)
    {
        std::vector<Node> parts;
        parts.push_back(parseAnd(depth));
        while (!m_failed) {
            skipBlanks();
            if (!atWord(QLatin1StringView("OR")))
                break;
            m_pos += 2;
            parts.push_back(parseAnd(depth));
        }
        return join(Node::Kind::Or, std::move(parts));
    }

    Node parseAnd(int depth)
    {
        std::vector<Node> parts;
        parts.push_back(parsePrimary(depth));
        while (!m_failed) {
            skipBlanks();
            if (!atWord(QLatin1StringView("AND")))
                break;
            m_pos += 3;
            parts.push_back(parsePrimary(depth));
        }
        return join(Node::Kind::And, std::move(parts));
    }

    Node parsePrimary(int depth)
    {
        skipBlanks();
        if (peek() == u'(') {
            if (depth >= kMaxDepth) {
                fail(u"the criteria is nested too deeply");
                return {};
            }
            ++m_pos;
            Node inner = parseOr(depth + 1);
            skipBlanks();
            if (!m_failed && peek() != u')')
                fail(u"\")\" expected");
            ++m_pos;
            return inner;
        }
        Node node;
        node.clause = parseClause();
        return node;
    }

    Clause parseClause()
    {
        Clause clause;
        clause.column = parseColumn();
        if (m_failed)
            return clause;
        skipBlanks();
        if (!parseOperator(clause.op))
            return clause;
        skipBlanks();
        parseValue(clause);
        return clause;
    }

    QString parseColumn()
    {
        if (peek() == u'[') {
            const qsizetype close = m_text.indexOf(u']', m_pos + 1);
            if (close < 0) {
                fail(u"\"]\" expected");
                return {};
            }
            const QString name = m_text.sliced(m_pos + 1, close - m_pos - 1).toString();
            if (name.trimmed().isEmpty()) {
                fail(u"column name expected");
                return {};
            }
            m_pos = close + 1;
            return name;
        }
        const qsizetype start = m_pos;
        while (!atEnd() && !endsBareWord(peek()) && peek() != u'[' && peek() != u']')
            ++m_pos;
        const QStringView name = m_text.sliced(start, m_pos - start);
        bool keyword = false;
        for (const char *word : {"AND", "OR", "LIKE"})
            keyword = keyword || name.compare(QLatin1StringView(word), Qt::CaseInsensitive) == 0;
        if (name.isEmpty() || keyword) {
            m_pos = start;
            fail(u"column name expected");
            return {};
        }
        return name.toString();
    }

    bool parseOperator(Operator &op)
    {
        const auto take = [this](QLatin1StringView symbol) {
            if (m_text.sliced(m_pos).startsWith(symbol)) {
                m_pos += symbol.size();
                return true;
            }
            return false;
        };
        if (take(QLatin1StringView("<=")))
            op = Operator::LessEqual;
        else if (take(QLatin1StringView(">=")))
            op = Operator::GreaterEqual;
        else if (take(QLatin1StringView("<>")))
            op = Operator::NotEqual;
        else if (take(QLatin1StringView("=")))
            op = Operator::Equal;
        else if (take(QLatin1StringView("<")))
            op = Operator::Less;
        else if (take(QLatin1StringView(">")))
            op = Operator::Greater;
        else if (atWord(QLatin1StringView("LIKE"))) {
            m_pos += 4;
            op = Operator::Like;
        } else {
            fail(u"operator expected (=, <, >, <=, >=, <> or LIKE)");
            return false;
        }
        return true;
    }

    void parseValue(Clause &clause)
    {
        if (peek() == u'\'') {
            ++m_pos;
            QString value;
            for (;;) {
                if (atEnd()) {
                    fail(u"closing quote expected");
                    return;
                }
                const QChar c = m_text.at(m_pos++);
                if (c == u'\'') {
                    if (peek() != u'\'')
                        break;
                    ++m_pos;
                }
                value += c;
            }
            clause.kind = ValueKind::Quoted;
            clause.value = value;
            return;
        }
        if (peek() == u'#') {
            const qsizetype close = m_text.indexOf(u'#', m_pos + 1);
            if (close < 0) {
                fail(u"closing # expected");
                return;
            }
            const QStringView date = m_text.sliced(m_pos + 1, close - m_pos - 1);
            if (!platform::parseShortDate(date).isValid()) {
                fail(u"date expected between the # marks");
                return;
            }
            clause.kind = ValueKind::Date;
            clause.value = date.trimmed().toString();
            m_pos = close + 1;
            return;
        }
        const qsizetype start = m_pos;
        while (!atEnd() && !endsBareWord(peek()))
            ++m_pos;
        const QStringView word = m_text.sliced(start, m_pos - start);
        if (word.isEmpty()) {
            fail(u"value expected");
            return;
        }
        clause.value = word.toString();
        if (platform::parseShortDate(word).isValid()) {
            clause.kind = ValueKind::Date;
        } else if (parseNumber(word)) {
            clause.kind = ValueKind::Number;
        } else {
            m_pos = start;
            fail(u"a value must be quoted text, a number or a date");
        }
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    bool m_failed = false;
    QString m_error;
    qsizetype m_errorOffset = -1;
};

QString columnText(const QString &name)
{
    bool bare = !name.isEmpty();
    for (const QChar c : name) {
        if (endsBareWord(c) || c == u'[' || c == u']')
            bare = false;
    }
    // A bare name that reads like a keyword would be taken for one.
    for (const char *keyword : {"AND", "OR", "LIKE"}) {
        if (name.compare(QLatin1StringView(keyword), Qt::CaseInsensitive) == 0)
            bare = false;
    }
    return bare ? name : u'[' + name + u']';
}

void appendText(const Node &node, QString &out, bool parenthesise)
{
    if (node.kind == Node::Kind::Clause) {
        const Clause &clause = node.clause;
        out += columnText(clause.column) + u' ' + operatorText(clause.op) + u' ';
        switch (clause.kind) {
        case ValueKind::Quoted: {
            QString quoted = clause.value;
            quoted.replace(u'\'', QStringLiteral("''"));
            out += u'\'' + quoted + u'\'';
            break;
        }
        case ValueKind::Number:
            out += clause.value;
            break;
        case ValueKind::Date:
            out += u'#' + clause.value + u'#';
            break;
        }
        return;
    }
    if (parenthesise)
        out += u'(';
    const QString separator =
        node.kind == Node::Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
    for (size_t i = 0; i < node.children.size(); ++i) {
        if (i > 0)
            out += separator;
        // Inside AND an OR group needs parentheses; an AND inside OR would parse back the
        // same without them, but a nested group of the other kind keeps them for clarity.
        appendText(node.children[i], out, node.children[i].kind != Node::Kind::Clause);
    }
    if (parenthesise)
        out += u')';
}

const ColumnInfo *findColumn(const QList<ColumnInfo> &columns, const QString &name)
{
    const QString wanted = name.trimmed();
    for (const ColumnInfo &column : columns) {
        if (column.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return &column;
    }
    return nullptr;
}

class Compiler
{
public:
    Compiler(const QList<ColumnInfo> &columns, Dialect dialect)
        : m_columns(columns)
        , m_pg(dialect == Dialect::PostgreSQL)
    {}

    bool emitNode(const Node &node, QString &sql)
    {
        if (node.kind == Node::Kind::Clause)
            return emitClause(node.clause, sql);
        std::vector<Term> terms;
        if (node.kind == Node::Kind::Or)
            terms = gatherEqualities(node);
        else
            for (const Node &child : node.children)
                terms.push_back({&child, {}});
        return emitGroup(node.kind, terms, 0, terms.size(), sql);
    }

    SqlCondition condition;
    QString error;

private:
    // One operand of an AND or OR: a child node, or (in an OR) every "column = value" clause
    // on one column, which becomes one IN list.
    struct Term
    {
        const Node *node = nullptr;
        std::vector<const Clause *> equalities;
    };

    // The children of an OR with the equalities on each column gathered, in order of first
    // appearance. A list of thousands of "编号 = n" clauses then costs one index lookup per
    // value instead of a tree of thousands of comparisons.
    std::vector<Term> gatherEqualities(const Node &node) const
    {
        std::vector<Term> terms;
        QHash<const ColumnInfo *, size_t> termOfColumn;
        for (const Node &child : node.children) {
            const ColumnInfo *column =
                child.kind == Node::Kind::Clause && child.clause.op == Operator::Equal
                    ? findColumn(m_columns, child.clause.column)
                    : nullptr;
            if (!column) {
                terms.push_back({&child, {}});
                continue;
            }
            const auto found = termOfColumn.constFind(column);
            if (found != termOfColumn.constEnd()) {
                terms[*found].equalities.push_back(&child.clause);
            } else {
                termOfColumn.insert(column, terms.size());
                terms.push_back({nullptr, {&child.clause}});
            }
        }
        return terms;
    }

    bool emitTerm(const Term &term, QString &sql)
    {
        if (term.node)
            return emitNode(*term.node, sql);
        if (term.equalities.size() == 1)
            return emitClause(*term.equalities.front(), sql);
        const ColumnInfo *column = findColumn(m_columns, term.equalities.front()->column);
        sql += compared(*column);
        if (!m_pg && column->type == ColumnType::Text)
            sql += QStringLiteral(" COLLATE NOCASE");
        QVariantList values;
        values.reserve(qsizetype(term.equalities.size()));
        for (const Clause *clause : term.equalities) {
            std::optional<QVariant> value = convertValue(*column, *clause);
            if (!value)
                return false;
            values.append(std::move(*value));
        }
        if (values.size() > kMaxInlineInValues && m_pg) {
            // One bound array literal instead of thousands of parameters.
            sql += u" = ANY(CAST(? AS " + arrayType(column->type) + u"))";
            condition.values.append(arrayLiteral(values, column->type == ColumnType::Text));
            return true;
        }
        if (values.size() > kMaxInlineInValues) {
            // One bound JSON array instead of thousands of parameters, which the engine and
            // the SQL driver handle in quadratic time.
            sql += QStringLiteral(" IN (SELECT value FROM json_each(?))");
            condition.values.append(QString::fromUtf8(
                QJsonDocument(QJsonArray::fromVariantList(values)).toJson(QJsonDocument::Compact)));
            return true;
        }
        sql += QStringLiteral(" IN (");
        const QString mark = m_pg ? placeholder(*column) : QStringLiteral("?");
        for (qsizetype i = 0; i < values.size(); ++i)
            sql += i == 0 ? mark : u", " + mark;
        sql += u')';
        condition.values.append(values);
        return true;
    }

    // Terms lo..hi-1 as a balanced tree of parenthesised pairs, so a long chain of ORs
    // stays well within the engine's limit on expression depth.
    bool emitGroup(Node::Kind kind, const std::vector<Term> &terms, size_t lo, size_t hi,
                   QString &sql)
    {
        if (hi - lo == 1)
            return emitTerm(terms[lo], sql);
        const size_t mid = lo + (hi - lo) / 2;
        sql += u'(';
        if (!emitGroup(kind, terms, lo, mid, sql))
            return false;
        sql += kind == Node::Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
        if (!emitGroup(kind, terms, mid, hi, sql))
            return false;
        sql += u')';
        return true;
    }

    bool refuse(const QString &why)
    {
        error = why;
        return false;
    }

    bool emitClause(const Clause &clause, QString &sql)
    {
        const ColumnInfo *column = findColumn(m_columns, clause.column);
        if (!column)
            return refuse(QStringLiteral("unknown column \"%1\"").arg(clause.column));
        const QString name = quoteIdentifier(column->name);
        const QString op = operatorText(clause.op);

        if (clause.op == Operator::Like) {
            // LIKE compares the text a cell shows.
            QString shown;
            switch (column->type) {
            case ColumnType::Key:
            case ColumnType::Number:
                shown = u"CAST(" + name + u" AS TEXT)";
                break;
            case ColumnType::Date:
                if (m_pg) {
                    shown = u"to_char(" + name + u", 'YYYY-FMMM-FMDD')";
                    break;
                }
                shown = u"(substr(" + name + u", 1, 4) || '-' || CAST(substr(" + name +
                        u", 6, 2) AS INTEGER) || '-' || CAST(substr(" + name +
                        u", 9, 2) AS INTEGER))";
                break;
            case ColumnType::Boolean:
                shown = u"(CASE WHEN " + name + u" IS NULL THEN NULL WHEN " + compared(*column) +
                        u" <> 0 THEN 'True' ELSE 'False' END)";
                break;
            case ColumnType::Text:
                shown = name;
                break;
            }
            // SQLite's LIKE ignores ASCII case; PostgreSQL's ILIKE is its counterpart.
            sql += shown + (m_pg ? QStringLiteral(" ILIKE ? ESCAPE '\\'")
                                 : QStringLiteral(" LIKE ? ESCAPE '\\'"));
            condition.values.append(likePattern(clause.value));
            return true;
        }

        std::optional<QVariant> value = convertValue(*column, clause);
        if (!value)
            return false;
        sql += compared(*column) + u' ' + op + u' ' + placeholder(*column);
        condition.values.append(std::move(*value));
        return true;
    }

    // A clause's value in its column's type (dates as ISO text, booleans as 0 or 1); empty,
    // with the reason in `error`, when it does not convert.
    std::optional<QVariant> convertValue(const ColumnInfo &column, const Clause &clause)
    {
        switch (column.type) {
        case ColumnType::Key:
        case ColumnType::Number: {
            const auto number =
                clause.kind == ValueKind::Date ? std::nullopt : parseNumber(clause.value);
            if (!number)
                return refuseValue(QStringLiteral("\"%1\" is no number for column \"%2\"")
                                       .arg(clause.value, column.name));
            return QVariant(*number);
        }
        case ColumnType::Date: {
            const QDate date =
                clause.kind == ValueKind::Number ? QDate() : platform::parseShortDate(clause.value);
            if (!date.isValid())
                return refuseValue(QStringLiteral("\"%1\" is no date for column \"%2\"")
                                       .arg(clause.value, column.name));
            return QVariant(date.toString(Qt::ISODate));
        }
        case ColumnType::Boolean: {
            const auto value =
                clause.kind == ValueKind::Date ? std::nullopt : parseBoolean(clause.value);
            if (!value)
                return refuseValue(QStringLiteral("\"%1\" is no boolean for column \"%2\"")
                                       .arg(clause.value, column.name));
            return QVariant(*value ? 1 : 0);
        }
        case ColumnType::Text:
            return QVariant(clause.value);
        }
        return refuseValue(QStringLiteral("unknown column type"));
    }

    std::optional<QVariant> refuseValue(const QString &why)
    {
        error = why;
        return std::nullopt;
    }

    // The column as compared: text without regard to case, and on PostgreSQL booleans as
    // numbers, as SQLite stores them.
    QString compared(const ColumnInfo &column) const
    {
        const QString name = quoteIdentifier(column.name);
        if (!m_pg)
            return name;
        if (column.type == ColumnType::Text)
            return u"lower(" + name + u')';
        if (column.type == ColumnType::Boolean)
            return u"CAST(" + name + u" AS INTEGER)";
        return name;
    }

    // The placeholder of a value compared with the column.
    QString placeholder(const ColumnInfo &column) const
    {
        if (!m_pg) {
            return column.type == ColumnType::Text ? QStringLiteral("? COLLATE NOCASE")
                                                   : QStringLiteral("?");
        }
        switch (column.type) {
        case ColumnType::Text:
            return QStringLiteral("lower(CAST(? AS TEXT))");
        case ColumnType::Date:
            return QStringLiteral("CAST(? AS DATE)");
        case ColumnType::Boolean:
            return QStringLiteral("CAST(? AS INTEGER)");
        case ColumnType::Key:
        case ColumnType::Number:
            return QStringLiteral("CAST(? AS NUMERIC)");
        }
        return QStringLiteral("?");
    }

    // PostgreSQL's array type for a column's values, for "= ANY(?)".
    static QString arrayType(ColumnType type)
    {
        switch (type) {
        case ColumnType::Date:
            return QStringLiteral("DATE[]");
        case ColumnType::Key:
        case ColumnType::Number:
            return QStringLiteral("NUMERIC[]");
        case ColumnType::Boolean:
            return QStringLiteral("INTEGER[]");
        case ColumnType::Text:
            break;
        }
        return QStringLiteral("TEXT[]");
    }

    // An array literal {"a","b"}: every element quoted, " and \ escaped.
    static QString arrayLiteral(const QVariantList &values, bool lowerCase)
    {
        QString literal = QStringLiteral("{");
        for (qsizetype i = 0; i < values.size(); ++i) {
            QString text = values[i].typeId() == QMetaType::Double
                               ? QString::number(values[i].toDouble(), 'g', 17)
                               : values[i].toString();
            if (lowerCase)
                text = text.toLower();
            text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
            if (i > 0)
                literal += u',';
            literal += u'"' + text + u'"';
        }
        return literal + u'}';
    }

    const QList<ColumnInfo> &m_columns;
    bool m_pg = false;
};

} // namespace

ParseResult parse(QStringView text)
{
    return Parser(text).run();
}

QString operatorText(Operator op)
{
    switch (op) {
    case Operator::Equal:
        return QStringLiteral("=");
    case Operator::NotEqual:
        return QStringLiteral("<>");
    case Operator::Less:
        return QStringLiteral("<");
    case Operator::Greater:
        return QStringLiteral(">");
    case Operator::LessEqual:
        return QStringLiteral("<=");
    case Operator::GreaterEqual:
        return QStringLiteral(">=");
    case Operator::Like:
        return QStringLiteral("LIKE");
    }
    return {};
}

QString toText(const Node &node)
{
    QString text;
    appendText(node, text, false);
    return text;
}

CompileResult compile(const Node &root, const QList<ColumnInfo> &columns, Dialect dialect)
{
    Compiler compiler(columns, dialect);
    CompileResult result;
    QString sql;
    if (compiler.emitNode(root, sql)) {
        compiler.condition.sql = sql;
        result.condition = std::move(compiler.condition);
    } else {
        result.error = compiler.error;
    }
    return result;
}

CompileResult compile(QStringView text, const QList<ColumnInfo> &columns, Dialect dialect)
{
    const ParseResult parsed = parse(text);
    if (!parsed.ok()) {
        CompileResult result;
        result.error =
            QStringLiteral("%1 (at character %2)").arg(parsed.error).arg(parsed.errorOffset + 1);
        return result;
    }
    return compile(*parsed.root, columns, dialect);
}

QString likePattern(QStringView value)
{
    QString pattern;
    pattern.reserve(value.size());
    for (const QChar c : value) {
        if (c == u'*' || c == u'%')
            pattern += u'%';
        else if (c == u'_' || c == u'\\')
            pattern += u'\\' + QString(c);
        else
            pattern += c;
    }
    return pattern;
}

} // namespace kestrova::criteria
