#pragma once

#include "columns.h"

#include <QString>

#include <array>

namespace kestrova {

// One work plan (a row of "工作计划") while it is viewed, edited or added: 16 texts in column
// order, handed to the plan dialog as its TPlan. Every column is plain text, stored unchanged.
class clsPlan
{
public:
    clsPlan() = default;

    QString ID() const { return m_values[PlanID]; }
    void setID(const QString &strID) { m_values[PlanID] = strID; }

    QString Item() const { return m_values[PlanItem]; }
    void setItem(const QString &strItem) { m_values[PlanItem] = strItem; }

    QString Client() const { return m_values[PlanClient]; }
    void setClient(const QString &strClient) { m_values[PlanClient] = strClient; }

    QString StartDate() const { return m_values[PlanStartDate]; }
    void setStartDate(const QString &strStartDate) { m_values[PlanStartDate] = strStartDate; }

    QString FinishDate() const { return m_values[PlanFinishDate]; }
    void setFinishDate(const QString &strFinishDate) { m_values[PlanFinishDate] = strFinishDate; }

    QString RemindMe() const { return m_values[PlanRemindMe]; }
    void setRemindMe(const QString &strRemindMe) { m_values[PlanRemindMe] = strRemindMe; }

    QString StartRemind() const { return m_values[PlanStartRemind]; }
    void setStartRemind(const QString &strStartRemind)
    {
        m_values[PlanStartRemind] = strStartRemind;
    }

    QString EndRemind() const { return m_values[PlanEndRemind]; }
    void setEndRemind(const QString &strEndRemind) { m_values[PlanEndRemind] = strEndRemind; }

    QString OperatePerson() const { return m_values[PlanOperatePerson]; }
    void setOperatePerson(const QString &strOperatePerson)
    {
        m_values[PlanOperatePerson] = strOperatePerson;
    }

    QString Project() const { return m_values[PlanProject]; }
    void setProject(const QString &strProject) { m_values[PlanProject] = strProject; }

    QString FinishSign() const { return m_values[PlanFinishSign]; }
    void setFinishSign(const QString &strFINISH_SIGN) { m_values[PlanFinishSign] = strFINISH_SIGN; }

    QString Important() const { return m_values[PlanImportant]; }
    void setImportant(const QString &strImportant) { m_values[PlanImportant] = strImportant; }

    QString DutyPerson() const { return m_values[PlanDutyPerson]; }
    void setDutyPerson(const QString &strDutyPerson) { m_values[PlanDutyPerson] = strDutyPerson; }

    QString RegisterDate() const { return m_values[PlanRegisterDate]; }
    void setRegisterDate(const QString &strRegisterDate)
    {
        m_values[PlanRegisterDate] = strRegisterDate;
    }

    QString Remark() const { return m_values[PlanRemark]; }
    void setRemark(const QString &strRemark) { m_values[PlanRemark] = strRemark; }

    QString Auditing() const { return m_values[PlanAuditing]; }
    void setAuditing(const QString &strAuditing) { m_values[PlanAuditing] = strAuditing; }

    // A column by index: indexes outside 0 to 15 read as the empty text.
    QString MyProperty(int nIndex) const;
    // Writes a column by index. Index 13 (register date): an empty text means today's short
    // date. Index 15 (audit flag): an empty text means "未审核". Others are stored unchanged.
    // Returns false, leaving the record unchanged, for an index outside 0 to 15.
    bool setMyProperty(int nIndex, const QString &strValue);

    // Raised by the plan dialog when the user confirmed a change.
    bool IsChangedDate() const { return m_changed; }
    void setIsChangedDate(bool changed) { m_changed = changed; }

private:
    std::array<QString, PlanColumnCount> m_values;
    bool m_changed = false;
};

} // namespace kestrova
