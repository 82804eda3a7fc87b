#pragma once

#include "csvformat.h"
#include "importer.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace kestrova::interchange {

// Rows of one table as the windows show them (display texts, captions as column names).
struct TableData
{
    QStringList header;
    QList<QStringList> rows;
};

// Reads the table under `criteria` (the window's filter; empty = every row).
bool readTableData(const QString &dbPath, Target target, const QString &criteria, TableData *data,
                   QString *error);

// A name for the database that stays the same from one export to the next, so calendar and
// address-book entries keep their identifiers: a digest of the database's location.
QString databaseIdentity(const QString &dbPath);

// Plans as an iCalendar file: one all-day VEVENT per plan, a VALARM for plans that want a
// reminder. `clientNames` maps a client's 编号 to its name. Plans without any date are left
// out and counted in `skipped`.
QByteArray plansToICalendar(const TableData &plans, const QHash<QString, QString> &clientNames,
                            const QString &identity, const QDateTime &stamp,
                            int *skipped = nullptr);

// Clients as vCard 4.0 entries, one per client.
QByteArray clientsToVCard(const TableData &clients, const QString &identity);

enum class ExportFormat { Csv, ICalendar, VCard };

// Reads and writes in one go (the tool and the export dialog): clients to CSV or vCard, plans
// to CSV or iCalendar. The file is replaced atomically.
bool exportTable(const QString &dbPath, Target target, ExportFormat format, const QString &criteria,
                 const CsvWriteOptions &csv, const QString &outPath, int *written, QString *error);

} // namespace kestrova::interchange
