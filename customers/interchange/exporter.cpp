#include "exporter.h"

#include "contentlines.h"
#include "valueparsing.h"

#include "customers/data/clsdatabase.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSaveFile>

namespace kestrova::interchange {

namespace {

QString icalDate(QDate date)
{
    return date.toString(QStringLiteral("yyyyMMdd"));
}

// A duration of whole days, signed, as RFC 5545 writes it.
QString dayDuration(qint64 days)
{
    if (days == 0)
        return QStringLiteral("PT0S");
    return (days < 0 ? QStringLiteral("-P") : QStringLiteral("P")) +
           QString::number(days < 0 ? -days : days) + u'D';
}

bool wantsReminder(const QString &flag)
{
    return flag.trimmed() == u"是" || parseBoolean(flag).value_or(false);
}

} // namespace

bool readTableData(const QString &dbPath, Target target, const QString &criteria, TableData *data,
                   QString *error)
{
    const DatabaseLocation location = DatabaseLocation::parse(dbPath);
    clsDataBase database(location);
    if (!openTargetTable(database, location, target, error))
        return false;
    try {
        if (!criteria.isEmpty())
            database.FilterString(criteria);
        data->header.clear();
        for (const ColumnInfo &column : database.Columns())
            data->header.append(column.name);
        data->rows = database.ReadRows(1, database.RecordCount());
    } catch (const DataError &e) {
        *error = e.text();
        return false;
    }
    return true;
}

QString databaseIdentity(const QString &dbPath)
{
    const DatabaseLocation location = DatabaseLocation::parse(dbPath);
    const QFileInfo info(location.path());
    const QString where = location.isServer() ? location.toString()
                          : info.exists()     ? info.canonicalFilePath()
                                              : dbPath;
    return QString::fromLatin1(
        QCryptographicHash::hash(where.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

QByteArray plansToICalendar(const TableData &plans, const QHash<QString, QString> &clientNames,
                            const QString &identity, const QDateTime &stamp, int *skipped)
{
    const QStringList &captions = planCaptions();
    QList<int> at;
    for (const QString &caption : captions)
        at.append(static_cast<int>(plans.header.indexOf(caption)));
    auto cell = [&at](const QStringList &row, int column) {
        return at[column] >= 0 ? row.value(at[column]) : QString();
    };
    ContentLines out;
    out.add(QStringLiteral("BEGIN"), QStringLiteral("VCALENDAR"));
    out.add(QStringLiteral("VERSION"), QStringLiteral("2.0"));
    out.add(QStringLiteral("PRODID"), QStringLiteral("-//Dialvane//Kestrova//ZH"));
    out.add(QStringLiteral("CALSCALE"), QStringLiteral("GREGORIAN"));
    const QString stampText = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    int left = 0;
    for (const QStringList &row : plans.rows) {
        QDate start = parseImportDate(cell(row, PlanStartDate));
        QDate finish = parseImportDate(cell(row, PlanFinishDate));
        if (!start.isValid())
            start = finish.isValid() ? finish : parseImportDate(cell(row, PlanStartRemind));
        if (!start.isValid())
            start = parseImportDate(cell(row, PlanRegisterDate));
        if (!start.isValid()) {
            ++left;
            continue;
        }
        if (!finish.isValid() || finish < start)
            finish = start;
        const QString id = cell(row, PlanID);
        const QString clientId = cell(row, PlanClient);
        const QString clientName = clientNames.value(clientId.trimmed());
        QString summary = cell(row, PlanItem);
        if (!clientName.isEmpty() && !summary.contains(clientName))
            summary += QStringLiteral("（%1）").arg(clientName);
        QStringList description;
        if (!clientName.isEmpty())
            description.append(QStringLiteral("客户：") + clientName);
        for (int column : {PlanProject, PlanRemark, PlanOperatePerson, PlanDutyPerson,
                           PlanImportant, PlanFinishSign}) {
            const QString value = cell(row, column);
            if (!value.isEmpty())
                description.append(captions[column] + u'：' + value);
        }
        out.add(QStringLiteral("BEGIN"), QStringLiteral("VEVENT"));
        out.add(QStringLiteral("UID"),
                QStringLiteral("kestrova-plan-%1-%2@dialvane").arg(id.trimmed(), identity));
        out.add(QStringLiteral("DTSTAMP"), stampText);
        out.add(QStringLiteral("DTSTART;VALUE=DATE"), icalDate(start));
        // The end of an all-day event is the day after its last day.
        out.add(QStringLiteral("DTEND;VALUE=DATE"), icalDate(finish.addDays(1)));
        out.addText(QStringLiteral("SUMMARY"), summary);
        if (!description.isEmpty())
            out.addText(QStringLiteral("DESCRIPTION"), description.join(u'\n'));
        if (cell(row, PlanFinishSign).trimmed() == u"完成")
            out.add(QStringLiteral("STATUS"), QStringLiteral("CONFIRMED"));
        const QDate remind = parseImportDate(cell(row, PlanStartRemind));
        if (wantsReminder(cell(row, PlanRemindMe)) && remind.isValid()) {
            out.add(QStringLiteral("BEGIN"), QStringLiteral("VALARM"));
            out.add(QStringLiteral("ACTION"), QStringLiteral("DISPLAY"));
            out.add(QStringLiteral("TRIGGER;RELATED=START"), dayDuration(start.daysTo(remind)));
            out.addText(QStringLiteral("DESCRIPTION"), summary);
            out.add(QStringLiteral("END"), QStringLiteral("VALARM"));
        }
        out.add(QStringLiteral("END"), QStringLiteral("VEVENT"));
    }
    out.add(QStringLiteral("END"), QStringLiteral("VCALENDAR"));
    if (skipped)
        *skipped = left;
    return out.bytes();
}

QByteArray clientsToVCard(const TableData &clients, const QString &identity)
{
    const QStringList &captions = clientCaptions();
    QList<int> at;
    for (const QString &caption : captions)
        at.append(static_cast<int>(clients.header.indexOf(caption)));
    auto cell = [&at](const QStringList &row, int column) {
        return at[column] >= 0 ? row.value(at[column]) : QString();
    };
    ContentLines out;
    for (const QStringList &row : clients.rows) {
        const QString name = cell(row, ClientName);
        out.add(QStringLiteral("BEGIN"), QStringLiteral("VCARD"));
        out.add(QStringLiteral("VERSION"), QStringLiteral("4.0"));
        out.add(QStringLiteral("UID"), QStringLiteral("urn:kestrova:client-%1-%2")
                                           .arg(cell(row, ClientID).trimmed(), identity));
        out.add(QStringLiteral("KIND"), QStringLiteral("org"));
        out.addText(QStringLiteral("FN"), name);
        out.add(QStringLiteral("ORG"), escapeText(name));
        if (const QString v = cell(row, ClientPhone); !v.isEmpty())
            out.addText(QStringLiteral("TEL;VALUE=text;TYPE=work,voice"), v);
        if (const QString v = cell(row, ClientFax); !v.isEmpty())
            out.addText(QStringLiteral("TEL;VALUE=text;TYPE=work,fax"), v);
        if (const QString v = cell(row, ClientMail); !v.isEmpty())
            out.addText(QStringLiteral("EMAIL;TYPE=work"), v);
        if (QString v = cell(row, ClientURL).trimmed(); !v.isEmpty()) {
            // A URL value is a URI; offices write bare host names.
            if (!v.contains(u':'))
                v.prepend(QStringLiteral("http://"));
            out.add(QStringLiteral("URL"), v);
        }
        const QStringList address = {cell(row, ClientAddress), cell(row, ClientCity),
                                     cell(row, ClientProvince), cell(row, ClientPostalcode),
                                     cell(row, ClientCountry)};
        if (std::any_of(address.begin(), address.end(),
                        [](const QString &a) { return !a.isEmpty(); }))
            out.add(QStringLiteral("ADR;TYPE=work"),
                    structuredValue({QString(), QString(), address[0], address[1], address[2],
                                     address[3], address[4]}));
        QStringList note;
        if (const QString v = cell(row, ClientCorporation); !v.isEmpty())
            note.append(captions[ClientCorporation] + u'：' + v);
        if (const QString v = cell(row, ClientRemark); !v.isEmpty())
            note.append(v);
        if (!note.isEmpty())
            out.addText(QStringLiteral("NOTE"), note.join(u'\n'));
        out.add(QStringLiteral("END"), QStringLiteral("VCARD"));
    }
    return out.bytes();
}

bool exportTable(const QString &dbPath, Target target, ExportFormat format, const QString &criteria,
                 const CsvWriteOptions &csv, const QString &outPath, int *written, QString *error)
{
    if ((format == ExportFormat::ICalendar && target != Target::Plans) ||
        (format == ExportFormat::VCard && target != Target::Clients)) {
        *error = QStringLiteral("iCalendar 只用于工作计划，vCard 只用于客户。");
        return false;
    }
    TableData data;
    if (!readTableData(dbPath, target, criteria, &data, error))
        return false;
    QByteArray bytes;
    int count = static_cast<int>(data.rows.size());
    switch (format) {
    case ExportFormat::Csv:
        bytes = writeCsv(data.header, data.rows, csv);
        break;
    case ExportFormat::VCard:
        bytes = clientsToVCard(data, databaseIdentity(dbPath));
        break;
    case ExportFormat::ICalendar: {
        TableData clients;
        if (!readTableData(dbPath, Target::Clients, QString(), &clients, error))
            return false;
        QHash<QString, QString> names;
        for (const QStringList &row : clients.rows)
            names.insert(row.value(ClientID), row.value(ClientName));
        int skipped = 0;
        bytes = plansToICalendar(data, names, databaseIdentity(dbPath),
                                 QDateTime::currentDateTimeUtc(), &skipped);
        count -= skipped;
        break;
    }
    }
    QSaveFile file(outPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("不能写入 %1：%2").arg(outPath, file.errorString());
        return false;
    }
    if (written)
        *written = count;
    return true;
}

} // namespace kestrova::interchange
