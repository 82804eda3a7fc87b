#include "clsclient.h"

#include "platform/shortdate.h"

namespace kestrova {

QDate clsClient::RegisterDate() const
{
    return platform::parseShortDate(m_values[ClientRegisterDate]);
}

void clsClient::setRegisterDate(QDate dtRegisterDate)
{
    m_values[ClientRegisterDate] = platform::shortDate(dtRegisterDate);
}

bool clsClient::Auditing(bool *ok) const
{
    const auto value = parseBoolean(m_values[ClientAuditing]);
    if (ok)
        *ok = value.has_value();
    return value.value_or(false);
}

void clsClient::setAuditing(bool boolAuditing)
{
    m_values[ClientAuditing] = booleanText(boolAuditing);
}

QString clsClient::MyProperty(int nIndex) const
{
    if (nIndex < 0 || nIndex >= ClientColumnCount)
        return {};
    return m_values[nIndex];
}

bool clsClient::setMyProperty(int nIndex, const QString &strValue)
{
    if (nIndex < 0 || nIndex >= ClientColumnCount)
        return false;
    if (nIndex == ClientRegisterDate) {
        const QDate date =
            strValue.isEmpty() ? QDate::currentDate() : platform::parseShortDate(strValue);
        if (!date.isValid())
            return false;
        setRegisterDate(date);
        return true;
    }
    if (nIndex == ClientAuditing) {
        const auto value = parseBoolean(strValue.isEmpty() ? QStringLiteral("False") : strValue);
        if (!value)
            return false;
        setAuditing(*value);
        return true;
    }
    m_values[nIndex] = strValue;
    return true;
}

} // namespace kestrova
