#include "customerstest.h"

#include "customers/data/clsdatabase.h"
#include "customers/data/clsplan.h"
#include "platform/shortdate.h"

#include <memory>

using namespace kestrova;
using namespace Qt::StringLiterals;

class TestPlan : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_guard = std::make_unique<FailedReadGuard>(); }
    void cleanup()
    {
        QCOMPARE(m_guard->messages, QStringList());
        m_guard.reset();
    }
    void captionArray();
    void tableColumns();
    void indexesOutsideTheRecord_data();
    void indexesOutsideTheRecord();
    void writesByIndex_data();
    void writesByIndex();
    void propertiesAddressTheirColumns();
    void calendarPlanRemindsOnItsDayOnly();
    void refusedDateKeepsColumn();
    void opensTheRowItWasReadFrom();

private:
    std::unique_ptr<FailedReadGuard> m_guard;
};

void TestPlan::captionArray()
{
    QCOMPARE(planCaptions().join(u','),
             u"编号,事项,客户编号,开始时间,完成时间,需要提醒,开始提醒,结束提醒,实施人员,工作方案,"
             "完成标志,重要程度,责任人,登记日期,备注,审核标志"_s);
    QCOMPARE(PlanColumnCount, 16);
}

void TestPlan::tableColumns()
{
    TestDatabaseFile file;
    clsDataBase db(file.path());
    QVERIFY(db.OpenDB(u"工作计划"_s));
    QStringList names;
    QString types;
    for (const ColumnInfo &column : db.Columns()) {
        names.append(column.name);
        types += QChar(u"KNTDB"[static_cast<int>(column.type)]);
    }
    QCOMPARE(names, planCaptions());
    QCOMPARE(types, u"KTTDDTDDTTTTTDTT"_s);
}

void TestPlan::indexesOutsideTheRecord_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("16") << 16;
}

void TestPlan::indexesOutsideTheRecord()
{
    QFETCH(int, index);
    clsPlan plan;
    for (int i = 0; i < PlanColumnCount; ++i)
        plan.setMyProperty(i, u"v%1"_s.arg(i));
    QVERIFY(!plan.setMyProperty(index, u"x"_s));
    QCOMPARE(plan.MyProperty(index), QString());
    for (int i = 0; i < PlanColumnCount; ++i)
        QCOMPARE(plan.MyProperty(i), u"v%1"_s.arg(i));
}

void TestPlan::writesByIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored");

    const QString today = platform::shortDate(QDate::currentDate());
    QTest::newRow("empty register date is today") << 13 << QString() << today;
    QTest::newRow("register date unchecked") << 13 << u"下周"_s << u"下周"_s;
    QTest::newRow("empty audit flag") << 15 << QString() << u"未审核"_s;
    QTest::newRow("audit flag False kept as text") << 15 << u"False"_s << u"False"_s;
    QTest::newRow("audit flag") << 15 << u"已审核"_s << u"已审核"_s;
    QTest::newRow("empty reminder start") << 6 << QString() << QString();
    QTest::newRow("text unchanged") << 1 << u"  回访 "_s << u"  回访 "_s;
}

void TestPlan::writesByIndex()
{
    QFETCH(int, index);
    QFETCH(QString, value);
    QFETCH(QString, stored);
    clsPlan plan;
    plan.setMyProperty(index, u"start"_s);
    QVERIFY(plan.setMyProperty(index, value));
    QCOMPARE(plan.MyProperty(index), stored);
}

void TestPlan::propertiesAddressTheirColumns()
{
    using Getter = QString (clsPlan::*)() const;
    using Setter = void (clsPlan::*)(const QString &);
    const QList<QPair<Getter, Setter>> properties = {
        {&clsPlan::ID, &clsPlan::setID},
        {&clsPlan::Item, &clsPlan::setItem},
        {&clsPlan::Client, &clsPlan::setClient},
        {&clsPlan::StartDate, &clsPlan::setStartDate},
        {&clsPlan::FinishDate, &clsPlan::setFinishDate},
        {&clsPlan::RemindMe, &clsPlan::setRemindMe},
        {&clsPlan::StartRemind, &clsPlan::setStartRemind},
        {&clsPlan::EndRemind, &clsPlan::setEndRemind},
        {&clsPlan::OperatePerson, &clsPlan::setOperatePerson},
        {&clsPlan::Project, &clsPlan::setProject},
        {&clsPlan::FinishSign, &clsPlan::setFinishSign},
        {&clsPlan::Important, &clsPlan::setImportant},
        {&clsPlan::DutyPerson, &clsPlan::setDutyPerson},
        {&clsPlan::RegisterDate, &clsPlan::setRegisterDate},
        {&clsPlan::Remark, &clsPlan::setRemark},
        {&clsPlan::Auditing, &clsPlan::setAuditing},
    };
    QCOMPARE(properties.size(), PlanColumnCount);
    for (int index = 0; index < properties.size(); ++index) {
        clsPlan plan;
        (plan.*properties[index].second)(u"值"_s);
        for (int other = 0; other < PlanColumnCount; ++other)
            QCOMPARE(plan.MyProperty(other), other == index ? u"值"_s : QString());
        plan.setMyProperty(index, u"另一个"_s);
        QCOMPARE((plan.*properties[index].first)(), u"另一个"_s);
    }
}

void TestPlan::calendarPlanRemindsOnItsDayOnly()
{
    TestDatabaseFile file;
    clsDataBase db(file.path());
    QVERIFY(db.OpenDB(u"工作计划"_s));
    // A new plan for a day picked on the calendar, as the plan window presets it.
    const QString day = u"2024-10-1"_s;
    const auto save = [&](const QString &item, const QString &remind) {
        clsPlan plan;
        plan.setStartRemind(day);
        plan.setEndRemind(day);
        plan.setRegisterDate(platform::shortDate(QDate::currentDate()));
        plan.setAuditing(u"False"_s);
        plan.setItem(item);
        plan.setRemindMe(remind);
        db.AddNew();
        for (int i = 0; i < PlanColumnCount; ++i)
            db.SetRecord(planCaptions()[i], plan.MyProperty(i));
        db.Update();
    };
    save(u"上门拜访"_s, u"是"_s);
    save(u"电话回访"_s, u"否"_s);

    const auto dueOn = [&](const QString &date) {
        db.FilterString(u"开始提醒 <= %1 AND 结束提醒 >= %1"_s.arg(date));
        QStringList items;
        const int n = db.GetRecordCount();
        for (int i = 0; i < n; ++i) {
            items.append(db.GetRecord(u"事项"_s));
            db.MoveNext();
        }
        db.CancelFilter();
        return items;
    };
    QCOMPARE(dueOn(day), (QStringList{u"上门拜访"_s, u"电话回访"_s}));
    QCOMPARE(dueOn(u"2024-9-30"_s), QStringList());
    QCOMPARE(dueOn(u"2024-10-2"_s), QStringList());
    db.MoveLast();
    QCOMPARE(db.GetRecord(u"审核标志"_s), u"False"_s);
    QCOMPARE(db.GetRecord(u"开始提醒"_s), day);
}

void TestPlan::refusedDateKeepsColumn()
{
    TestDatabaseFile file;
    RawDatabase raw(file.path());
    QVERIFY(raw.exec(
        u"INSERT INTO \"工作计划\" (\"事项\", \"完成时间\") VALUES ('a', '2024-05-06')"_s));
    clsDataBase db(file.path());
    QVERIFY(db.OpenDB(u"工作计划"_s));
    clsPlan plan;
    for (int i = 0; i < PlanColumnCount; ++i)
        plan.setMyProperty(i, db.GetRecord(planCaptions()[i]));
    plan.setFinishDate(u"下个月"_s);
    plan.setItem(u"b"_s);
    for (int i = 0; i < PlanColumnCount; ++i)
        db.SetRecord(planCaptions()[i], plan.MyProperty(i));
    db.Update();
    QCOMPARE(
        raw.scalar(
            u"SELECT \"事项\" || ' ' || \"完成时间\" || ' ' || \"审核标志\" FROM \"工作计划\""_s),
        u"b 2024-05-06 未审核"_s);
}

void TestPlan::opensTheRowItWasReadFrom()
{
    TestDatabaseFile file;
    RawDatabase raw(file.path());
    for (int i = 1; i <= 30; ++i) {
        QVERIFY(raw.exec(u"INSERT INTO \"工作计划\" (\"事项\", \"客户编号\") VALUES (?, ?)"_s,
                         {u"计划%1"_s.arg(i), QString::number(100 + i)}));
    }
    clsDataBase db(file.path());
    QVERIFY(db.OpenDB(u"工作计划"_s));
    QCOMPARE(db.GetRecordCount(), 30);
    db.Move(25);
    QCOMPARE(db.GetRecord(u"事项"_s), u"计划25"_s);
    QCOMPARE(db.GetRecord(u"客户编号"_s), u"125"_s);
    QCOMPARE(db.GetRecord(u"编号"_s), u"25"_s);
}

QTEST_GUILESS_MAIN(TestPlan)
#include "tst_plan.moc"
