#pragma once

#include "columns.h"

#include <QDate>
#include <QString>

#include <array>

namespace kestrova {

// One client (a row of "客户") while it is viewed, edited or added: 27 texts in column order,
// handed to the client dialog as its TClient. Register date and audit flag are typed; every
// other column is text stored unchanged.
class clsClient
{
public:
    clsClient() = default;

    QString ID() const { return m_values[ClientID]; }
    void setID(const QString &strID) { m_values[ClientID] = strID; }

    QString NAME() const { return m_values[ClientName]; }
    void setNAME(const QString &strName) { m_values[ClientName] = strName; }

    QString CORPORATION() const { return m_values[ClientCorporation]; }
    void setCORPORATION(const QString &strCorporation)
    {
        m_values[ClientCorporation] = strCorporation;
    }

    QString PROPERTY() const { return m_values[ClientProperty]; }
    void setPROPERTY(const QString &strProperty) { m_values[ClientProperty] = strProperty; }

    QString KIND() const { return m_values[ClientKind]; }
    void setKIND(const QString &strKind) { m_values[ClientKind] = strKind; }

    QString SOURCE() const { return m_values[ClientSource]; }
    void setSOURCE(const QString &strSource) { m_values[ClientSource] = strSource; }

    QString PHONE() const { return m_values[ClientPhone]; }
    void setPHONE(const QString &strPhone) { m_values[ClientPhone] = strPhone; }

    QString FAX() const { return m_values[ClientFax]; }
    void setFAX(const QString &strFax) { m_values[ClientFax] = strFax; }

    QString MAIL() const { return m_values[ClientMail]; }
    void setMAIL(const QString &strMail) { m_values[ClientMail] = strMail; }

    QString URL() const { return m_values[ClientURL]; }
    void setURL(const QString &strURL) { m_values[ClientURL] = strURL; }

    QString INDUSTRY() const { return m_values[ClientIndustry]; }
    void setINDUSTRY(const QString &strIndustry) { m_values[ClientIndustry] = strIndustry; }

    QString CREDIT() const { return m_values[ClientCredit]; }
    void setCREDIT(const QString &strCredit) { m_values[ClientCredit] = strCredit; }

    QString BANK() const { return m_values[ClientBank]; }
    void setBANK(const QString &strBank) { m_values[ClientBank] = strBank; }

    QString ACCOUNT() const { return m_values[ClientAccount]; }
    void setACCOUNT(const QString &strAccount) { m_values[ClientAccount] = strAccount; }

    QString TaxNumber() const { return m_values[ClientTaxNumber]; }
    void setTaxNumber(const QString &strTaxNumber) { m_values[ClientTaxNumber] = strTaxNumber; }

    QString Important() const { return m_values[ClientImportant]; }
    void setImportant(const QString &strImportant) { m_values[ClientImportant] = strImportant; }

    QString AREA() const { return m_values[ClientArea]; }
    void setAREA(const QString &strArea) { m_values[ClientArea] = strArea; }

    QString COUNTRY() const { return m_values[ClientCountry]; }
    void setCOUNTRY(const QString &strCountry) { m_values[ClientCountry] = strCountry; }

    QString PROVINCE() const { return m_values[ClientProvince]; }
    void setPROVINCE(const QString &strProvince) { m_values[ClientProvince] = strProvince; }

    QString CITY() const { return m_values[ClientCity]; }
    void setCITY(const QString &strCity) { m_values[ClientCity] = strCity; }

    QString ADDRESS() const { return m_values[ClientAddress]; }
    void setADDRESS(const QString &strAddress) { m_values[ClientAddress] = strAddress; }

    QString POSTALCODE() const { return m_values[ClientPostalcode]; }
    void setPOSTALCODE(const QString &strPostalcode) { m_values[ClientPostalcode] = strPostalcode; }

    QString SURVEY() const { return m_values[ClientSurvey]; }
    void setSURVEY(const QString &strSurvey) { m_values[ClientSurvey] = strSurvey; }

    QString DutyPerson() const { return m_values[ClientDutyPerson]; }
    void setDutyPerson(const QString &strDutyPerson) { m_values[ClientDutyPerson] = strDutyPerson; }

    QString Remark() const { return m_values[ClientRemark]; }
    void setRemark(const QString &strRemark) { m_values[ClientRemark] = strRemark; }

    // The register date read back from its text; an invalid date when the text is empty or
    // no date.
    QDate RegisterDate() const;
    // Stores the date as its short date text.
    void setRegisterDate(QDate dtRegisterDate);
    // The audit flag read back from its text; false with *ok false when the text is empty or
    // no boolean.
    bool Auditing(bool *ok = nullptr) const;
    // Stores "True" or "False".
    void setAuditing(bool boolAuditing);

    // A column by index: indexes outside 0 to 26 read as the empty text.
    QString MyProperty(int nIndex) const;
    // Writes a column by index. Index 24 (register date): an empty text means today, other
    // texts must be dates and are stored in short date form. Index 26 (audit flag): an empty
    // text means False, other texts must be booleans (true / false in any case, or a number,
    // non-zero being true) and are stored as True / False. Others are stored unchanged.
    // Returns false, leaving the record unchanged, for an index outside 0 to 26 or a text
    // index 24 or 26 cannot convert.
    bool setMyProperty(int nIndex, const QString &strValue);

    // Raised by the client dialog when the user confirmed a change.
    bool IsChangedDate() const { return m_changed; }
    void setIsChangedDate(bool changed) { m_changed = changed; }

private:
    std::array<QString, ClientColumnCount> m_values;
    bool m_changed = false;
};

} // namespace kestrova
