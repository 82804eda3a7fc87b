#include "interchangetest.h"

#include "customers/data/demodata.h"
#include "customers/interchange/contentlines.h"
#include "platform/shortdate.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QTemporaryDir>

using namespace interchangetest;
using namespace kestrova;

// Parses the files with Python's own readers and prints what they understood as JSON.
static const char kParser[] = R"py(
import json, sys, icalendar, vobject
out = {"events": [], "cards": []}
cal = icalendar.Calendar.from_ical(open(sys.argv[1], "rb").read())
for e in cal.walk("VEVENT"):
    alarms = [a for a in e.walk("VALARM")]
    out["events"].append({"uid": str(e["UID"]), "summary": str(e["SUMMARY"]),
        "description": str(e.get("DESCRIPTION", "")),
        "start": e.decoded("DTSTART").isoformat(), "end": e.decoded("DTEND").isoformat(),
        "alarm": alarms[0]["TRIGGER"].to_ical().decode() if alarms else ""})
for c in vobject.readComponents(open(sys.argv[2], encoding="utf-8").read()):
    tels = {t.params.get("TYPE", [""])[-1]: t.value for t in c.contents.get("tel", [])}
    a = c.adr.value if "adr" in c.contents else None
    out["cards"].append({"uid": c.uid.value, "fn": c.fn.value, "org": c.org.value[0],
        "version": c.version.value, "tel": tels.get("voice", ""), "fax": tels.get("fax", ""),
        "email": c.email.value if "email" in c.contents else "",
        "adr": [a.street, a.city, a.region, a.code, a.country] if a else [],
        "note": c.note.value if "note" in c.contents else ""})
print(json.dumps(out, ensure_ascii=False))
)py";

class tst_CalendarCard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void foldKeepsCharactersWhole_data();
    void foldKeepsCharactersWhole();
    void parsersReadEveryPlanAndClient();

private:
    QJsonObject parse(const QString &ics, const QString &vcf);
    QTemporaryDir m_dir;
    QString m_db;
};

void tst_CalendarCard::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_db = m_dir.filePath(u"khdata.mdb"_qs);
    DemoOptions demo;
    demo.clients = 15;
    demo.plans = 25;
    QVERIFY(seedDemoData(m_db, demo));
    // A plan whose texts need escaping and folding, and a client with only a name.
    QString error;
    QVERIFY2(writeRows(m_db,
                       {{tableName(Target::Plans),
                         {u"事项"_qs, u"客户编号"_qs, u"开始时间"_qs, u"完成时间"_qs,
                          u"需要提醒"_qs, u"开始提醒"_qs, u"工作方案"_qs},
                         QList<ColumnType>(7, ColumnType::Text),
                         {{u"报价; 样品, 合同\\附件"_qs, u"2"_qs, u"2024-02-28"_qs,
                           u"2024-02-29"_qs, u"是"_qs, u"2024-02-26"_qs,
                           QString(u"第一步\n第二步："_qs + QString(60, u'长'))}}},
                        {tableName(Target::Clients),
                         {u"客户名称"_qs},
                         {ColumnType::Text},
                         {{u"只有名字"_qs}}}},
                       {}, &error),
             qPrintable(error));
}

void tst_CalendarCard::foldKeepsCharactersWhole_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("ascii") << QString(200, u'x');
    QTest::newRow("chinese") << QString(100, u'汉');
    QTest::newRow("mixed") << u"a汉bc汉"_qs.repeated(30);
    QTest::newRow("four-octet") << u"x😀"_qs.repeated(40);
}

void tst_CalendarCard::foldKeepsCharactersWhole()
{
    QFETCH(QString, value);
    interchange::ContentLines lines;
    lines.add(u"DESCRIPTION"_qs, value);
    const QByteArray bytes = lines.bytes();
    QByteArray unfolded;
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        QVERIFY(line.endsWith('\r'));
        const QByteArray body = line.chopped(1);
        QVERIFY2(body.size() <= 75, body.constData());
        QStringDecoder decoder(QStringDecoder::Utf8);
        decoder.decode(body);
        QVERIFY2(!decoder.hasError(), "a character was split between two lines");
        unfolded += unfolded.isEmpty() ? body : body.mid(1);
    }
    QCOMPARE(QString::fromUtf8(unfolded), u"DESCRIPTION:"_qs + value);
}

QJsonObject tst_CalendarCard::parse(const QString &ics, const QString &vcf)
{
    QByteArray output;
    const int code =
        run(u"/usr/bin/python3"_qs, {u"-c"_qs, QString::fromUtf8(kParser), ics, vcf}, &output);
    if (code != 0)
        qWarning() << output;
    return QJsonDocument::fromJson(output).object();
}

void tst_CalendarCard::parsersReadEveryPlanAndClient()
{
    const QString ics = m_dir.filePath(u"plans.ics"_qs);
    const QString vcf = m_dir.filePath(u"clients.vcf"_qs);
    QString error;
    QVERIFY2(
        exportTable(m_db, Target::Plans, ExportFormat::ICalendar, {}, {}, ics, nullptr, &error),
        qPrintable(error));
    QVERIFY2(exportTable(m_db, Target::Clients, ExportFormat::VCard, {}, {}, vcf, nullptr, &error),
             qPrintable(error));
    const QJsonObject parsed = parse(ics, vcf);
    const QJsonArray events = parsed[u"events"_qs].toArray();
    const QJsonArray cards = parsed[u"cards"_qs].toArray();

    const TableData plans = tableData(m_db, Target::Plans);
    const TableData clients = tableData(m_db, Target::Clients);
    QCOMPARE(events.size(), plans.rows.size());
    QCOMPARE(cards.size(), clients.rows.size());
    QSet<QString> uids;
    for (qsizetype i = 0; i < plans.rows.size(); ++i) {
        const QStringList &plan = plans.rows[i];
        const QJsonObject event = events[i].toObject();
        QVERIFY(event[u"summary"_qs].toString().startsWith(plan[PlanItem]));
        const QString client = clients.rows.value(plan[PlanClient].toInt() - 1).value(ClientName);
        QVERIFY2(event[u"summary"_qs].toString().contains(client), qPrintable(client));
        QVERIFY(event[u"description"_qs].toString().contains(plan[PlanProject]));
        const QDate start = platform::parseShortDate(plan[PlanStartDate]);
        const QDate finish = platform::parseShortDate(plan[PlanFinishDate]);
        QCOMPARE(event[u"start"_qs].toString(), start.toString(Qt::ISODate));
        QCOMPARE(event[u"end"_qs].toString(),
                 std::max(start, finish).addDays(1).toString(Qt::ISODate));
        const QDate remind = platform::parseShortDate(plan[PlanStartRemind]);
        const QString alarm = event[u"alarm"_qs].toString();
        if (plan[PlanRemindMe] == u"是" && remind.isValid()) {
            const qint64 days = start.daysTo(remind);
            QCOMPARE(alarm, days == 0 ? u"PT0S"_qs
                                      : (days < 0 ? u"-P"_qs : u"P"_qs) +
                                            QString::number(qAbs(days)) + u'D');
        } else {
            QCOMPARE(alarm, QString());
        }
        uids.insert(event[u"uid"_qs].toString());
    }
    QCOMPARE(uids.size(), plans.rows.size());
    const QJsonObject tricky = events.last().toObject();
    QCOMPARE(tricky[u"summary"_qs].toString(),
             u"报价; 样品, 合同\\附件（"_qs + clients.rows[1][ClientName] + u'）');
    QVERIFY(
        tricky[u"description"_qs].toString().contains(u"第一步\n第二步："_qs + QString(60, u'长')));

    for (qsizetype i = 0; i < clients.rows.size(); ++i) {
        const QStringList &client = clients.rows[i];
        const QJsonObject card = cards[i].toObject();
        QCOMPARE(card[u"version"_qs].toString(), u"4.0"_qs);
        QCOMPARE(card[u"fn"_qs].toString(), client[ClientName]);
        QCOMPARE(card[u"org"_qs].toString(), client[ClientName]);
        QCOMPARE(card[u"tel"_qs].toString(), client[ClientPhone]);
        QCOMPARE(card[u"fax"_qs].toString(), client[ClientFax]);
        QCOMPARE(card[u"email"_qs].toString(), client[ClientMail]);
        if (!client[ClientAddress].isEmpty()) {
            const QStringList adr = {client[ClientAddress], client[ClientCity],
                                     client[ClientProvince], client[ClientPostalcode],
                                     client[ClientCountry]};
            QCOMPARE(card[u"adr"_qs].toVariant().toStringList(), adr);
        }
        QVERIFY(card[u"note"_qs].toString().contains(client[ClientRemark]));
    }

    // A second export names every entry as the first did.
    QVERIFY(exportTable(m_db, Target::Plans, ExportFormat::ICalendar, {}, {}, ics + u'2', nullptr,
                        &error));
    QVERIFY(exportTable(m_db, Target::Clients, ExportFormat::VCard, {}, {}, vcf + u'2', nullptr,
                        &error));
    const QJsonObject again = parse(ics + u'2', vcf + u'2');
    for (const char *list : {"events", "cards"}) {
        const QJsonArray first = parsed[QLatin1String(list)].toArray();
        const QJsonArray second = again[QLatin1String(list)].toArray();
        QCOMPARE(second.size(), first.size());
        for (qsizetype i = 0; i < first.size(); ++i)
            QCOMPARE(second[i][u"uid"_qs].toString(), first[i][u"uid"_qs].toString());
    }
}

QTEST_GUILESS_MAIN(tst_CalendarCard)
#include "tst_calendarcard.moc"
