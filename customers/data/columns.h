#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace kestrova {

// The program's title; message boxes of the customer program carry it.
inline constexpr char16_t kProgramTitle[] = u"Kestrova";

// The database file in the program's folder and its two tables.
inline constexpr char16_t kDataFileName[] = u"khdata.mdb";
inline constexpr char16_t kClientTable[] = u"客户";
inline constexpr char16_t kPlanTable[] = u"工作计划";

// Column indexes of the client table; the same index addresses the caption array, the record,
// the list row and the dialog's control tags.
enum ClientColumn : int {
    ClientID,
    ClientName,
    ClientCorporation,
    ClientProperty,
    ClientKind,
    ClientSource,
    ClientPhone,
    ClientFax,
    ClientMail,
    ClientURL,
    ClientIndustry,
    ClientCredit,
    ClientBank,
    ClientAccount,
    ClientTaxNumber,
    ClientImportant,
    ClientArea,
    ClientCountry,
    ClientProvince,
    ClientCity,
    ClientAddress,
    ClientPostalcode,
    ClientSurvey,
    ClientDutyPerson,
    ClientRegisterDate,
    ClientRemark,
    ClientAuditing,
    ClientColumnCount
};

// Column indexes of the plan table.
enum PlanColumn : int {
    PlanID,
    PlanItem,
    PlanClient,
    PlanStartDate,
    PlanFinishDate,
    PlanRemindMe,
    PlanStartRemind,
    PlanEndRemind,
    PlanOperatePerson,
    PlanProject,
    PlanFinishSign,
    PlanImportant,
    PlanDutyPerson,
    PlanRegisterDate,
    PlanRemark,
    PlanAuditing,
    PlanColumnCount
};

// The caption arrays: the column names of the two tables in index order. They are the list
// headers and the column names the windows read and write; nothing changes them.
const QStringList &clientCaptions();
const QStringList &planCaptions();

// How a column's values are stored and compared.
enum class ColumnType {
    Key,     // the row number the database assigns; never written by the program
    Number,  // integer or decimal
    Text,    // compared without regard to ASCII case
    Date,    // stored as yyyy-MM-dd, shown as the short date
    Boolean, // stored as 0 / 1, shown as True / False
};

struct ColumnInfo
{
    QString name;
    ColumnType type = ColumnType::Text;
};

// Conversions between the program's texts and column values, shared by the cursor, the filter
// engine and the records.

// The words and numbers that count as booleans: true / false, yes / no, on / off in any case,
// and any number (non-zero is true). Blanks around are ignored. Anything else is no boolean.
std::optional<bool> parseBoolean(QStringView text);

// "True" or "False".
QString booleanText(bool value);

// A number as written in a criteria or a cell: decimal digits with an optional sign, fraction
// and exponent, blanks around ignored. Integers stay integers (qlonglong), others are double.
std::optional<QVariant> parseNumber(QStringView text);

// The shortest decimal text of a number value (integer or double).
QString numberText(const QVariant &number);

// A stored value as the cursor shows it: null is empty, a date its short date, a boolean
// True / False, a number its shortest decimal; leading blanks removed.
QString displayText(const QVariant &stored, ColumnType type);

// The type a column's declared SQL type stands for ("DATE", "boolean", "integer" ...); an
// integer primary key or identity is the key.
ColumnType columnTypeFromDeclaration(const QString &declared, bool primaryKey);

// Whether a stored value is a number (booleans count: the engine stores them as 0 and 1).
bool isNumeric(const QVariant &value);

} // namespace kestrova
