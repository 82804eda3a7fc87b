#include "columns.h"

#include "platform/shortdate.h"

#include <QLocale>

#include <cmath>

namespace kestrova {

const QStringList &clientCaptions()
{
    static const QStringList captions = {
        QStringLiteral("编号"),     QStringLiteral("客户名称"), QStringLiteral("法人代表"),
        QStringLiteral("性质"),     QStringLiteral("类型"),     QStringLiteral("来源"),
        QStringLiteral("电话"),     QStringLiteral("传真"),     QStringLiteral("邮件"),
        QStringLiteral("网址"),     QStringLiteral("行业"),     QStringLiteral("信誉等级"),
        QStringLiteral("开户银行"), QStringLiteral("帐号"),     QStringLiteral("税号"),
        QStringLiteral("重要程度"), QStringLiteral("地区"),     QStringLiteral("国家"),
        QStringLiteral("省份"),     QStringLiteral("城市"),     QStringLiteral("地址"),
        QStringLiteral("邮编"),     QStringLiteral("概况"),     QStringLiteral("责任人"),
        QStringLiteral("登记日期"), QStringLiteral("备注"),     QStringLiteral("审核标志"),
    };
    return captions;
}

const QStringList &planCaptions()
{
    static const QStringList captions = {
        QStringLiteral("编号"),     QStringLiteral("事项"),     QStringLiteral("客户编号"),
        QStringLiteral("开始时间"), QStringLiteral("完成时间"), QStringLiteral("需要提醒"),
        QStringLiteral("开始提醒"), QStringLiteral("结束提醒"), QStringLiteral("实施人员"),
        QStringLiteral("工作方案"), QStringLiteral("完成标志"), QStringLiteral("重要程度"),
        QStringLiteral("责任人"),   QStringLiteral("登记日期"), QStringLiteral("备注"),
        QStringLiteral("审核标志"),
    };
    return captions;
}

std::optional<bool> parseBoolean(QStringView text)
{
    const QStringView word = text.trimmed();
    const auto is = [word](const char *candidate) {
        return word.compare(QLatin1StringView(candidate), Qt::CaseInsensitive) == 0;
    };
    if (is("true") || is("yes") || is("on"))
        return true;
    if (is("false") || is("no") || is("off"))
        return false;
    if (const auto number = parseNumber(word))
        return number->toDouble() != 0.0;
    return std::nullopt;
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<QVariant> parseNumber(QStringView text)
{
    const QStringView number = text.trimmed();
    // Only plain ASCII decimal forms: no hexadecimal, no "inf" or "nan", no group separators.
    qsizetype pos = 0;
    const auto digitsAt = [&number](qsizetype &at) {
        const qsizetype start = at;
        while (at < number.size() && number.at(at) >= u'0' && number.at(at) <= u'9')
            ++at;
        return at - start;
    };
    if (pos < number.size() && (number.at(pos) == u'+' || number.at(pos) == u'-'))
        ++pos;
    const qsizetype intDigits = digitsAt(pos);
    qsizetype fracDigits = 0;
    bool integral = true;
    if (pos < number.size() && number.at(pos) == u'.') {
        ++pos;
        fracDigits = digitsAt(pos);
        integral = false;
    }
    if (intDigits + fracDigits == 0)
        return std::nullopt;
    if (pos < number.size() && (number.at(pos) == u'e' || number.at(pos) == u'E')) {
        ++pos;
        if (pos < number.size() && (number.at(pos) == u'+' || number.at(pos) == u'-'))
            ++pos;
        if (digitsAt(pos) == 0)
            return std::nullopt;
        integral = false;
    }
    if (pos != number.size())
        return std::nullopt;
    const QString ascii = number.toString();
    if (integral) {
        bool ok = false;
        const qlonglong value = ascii.toLongLong(&ok);
        if (ok)
            return QVariant(value);
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(ascii, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return QVariant(value);
}

QString numberText(const QVariant &number)
{
    if (number.typeId() == QMetaType::Double || number.typeId() == QMetaType::Float) {
        const double value = number.toDouble();
        if (value == std::floor(value) && std::abs(value) < 1e15)
            return QString::number(static_cast<qlonglong>(value));
        return QString::number(value, 'g', QLocale::FloatingPointShortest);
    }
    return QString::number(number.toLongLong());
}

namespace {

QString withoutLeadingBlanks(QString text)
{
    qsizetype blanks = 0;
    while (blanks < text.size() && text.at(blanks) == u' ')
        ++blanks;
    if (blanks > 0)
        text.remove(0, blanks);
    return text;
}

} // namespace

ColumnType columnTypeFromDeclaration(const QString &declared, bool primaryKey)
{
    const QString type = declared.toUpper();
    if (primaryKey && type.contains(u"INT"))
        return ColumnType::Key;
    if (type.contains(u"DATE") || type.contains(u"TIME"))
        return ColumnType::Date;
    if (type.contains(u"BOOL") || type == u"BIT" || type == u"YESNO")
        return ColumnType::Boolean;
    if (type.contains(u"INT") || type.contains(u"REAL") || type.contains(u"NUM") ||
        type.contains(u"DEC") || type.contains(u"DOUB") || type.contains(u"FLOA"))
        return ColumnType::Number;
    return ColumnType::Text;
}

bool isNumeric(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

QString displayText(const QVariant &stored, ColumnType type)
{
    if (stored.isNull())
        return {};
    switch (type) {
    case ColumnType::Text:
        return withoutLeadingBlanks(stored.toString());
    case ColumnType::Date: {
        const QString text = stored.toString();
        const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
        return date.isValid() ? platform::shortDate(date) : withoutLeadingBlanks(text);
    }
    case ColumnType::Boolean:
        if (isNumeric(stored))
            return booleanText(stored.toDouble() != 0.0);
        if (const auto value = parseBoolean(stored.toString()))
            return booleanText(*value);
        return withoutLeadingBlanks(stored.toString());
    case ColumnType::Key:
    case ColumnType::Number:
        if (isNumeric(stored))
            return numberText(stored);
        return withoutLeadingBlanks(stored.toString());
    }
    return {};
}

} // namespace kestrova
