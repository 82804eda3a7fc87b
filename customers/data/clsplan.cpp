#include "clsplan.h"

#include "platform/shortdate.h"

#include <QDate>

namespace kestrova {

QString clsPlan::MyProperty(int nIndex) const
{
    if (nIndex < 0 || nIndex >= PlanColumnCount)
        return {};
    return m_values[nIndex];
}

bool clsPlan::setMyProperty(int nIndex, const QString &strValue)
{
    if (nIndex < 0 || nIndex >= PlanColumnCount)
        return false;
    if (nIndex == PlanRegisterDate && strValue.isEmpty())
        setRegisterDate(platform::shortDate(QDate::currentDate()));
    else if (nIndex == PlanAuditing && strValue.isEmpty())
        setAuditing(QStringLiteral("未审核"));
    else
        m_values[nIndex] = strValue;
    return true;
}

} // namespace kestrova
