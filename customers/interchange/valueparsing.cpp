#include "valueparsing.h"

#include <QRegularExpression>

namespace kestrova::interchange {

QDate parseImportDate(const QString &text)
{
    static const QRegularExpression numeric(QStringLiteral(
        R"(^\s*(\d{4})([-/.])(\d{1,2})\2(\d{1,2})(?:[ T]\d{1,2}:\d{2}(?::\d{2}(?:\.\d+)?)?)?\s*$)"));
    static const QRegularExpression chinese(
        QStringLiteral(R"(^\s*(\d{4})\s*年\s*(\d{1,2})\s*月\s*(\d{1,2})\s*日\s*$)"));
    QRegularExpressionMatch match = numeric.match(text);
    if (match.hasMatch())
        return QDate(match.captured(1).toInt(), match.captured(3).toInt(),
                     match.captured(4).toInt());
    match = chinese.match(text);
    if (match.hasMatch())
        return QDate(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    return {};
}

} // namespace kestrova::interchange
