#include "customerstest.h"

#include "customers/data/clsplan.h"
#include "customers/data/columns.h"
#include "customers/plans/frmplan.h"
#include "customers/plans/frmplaninfo.h"
#include "customers/plans/monthcalendar.h"
#include "customers/shared/recordlistmodel.h"
#include "customers/shared/recordlistview.h"
#include "platform/shortdate.h"
#include "platform/twips.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>

#include <memory>

using namespace kestrova;
using namespace Qt::StringLiterals;

namespace {

QDate d(const char *iso)
{
    return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

QString iso(QDate date)
{
    return date.toString(Qt::ISODate);
}

QDate today()
{
    return QDate::currentDate();
}

// Adds a plan row the way the database stores it (dates as yyyy-MM-dd); returns its "编号".
qint64 addPlan(const RawDatabase &raw, const QString &item, const QVariant &startRemind,
               const QVariant &endRemind, const QString &remindMe = u"是"_s)
{
    raw.exec(u"INSERT INTO \"工作计划\" (\"事项\", \"需要提醒\", \"开始提醒\", \"结束提醒\", "
             "\"完成标志\", \"审核标志\") VALUES (?, ?, ?, ?, ?, ?)"_s,
             {item, remindMe, startRemind, endRemind, u"未完成"_s, u"未审核"_s});
    return raw.scalar(u"SELECT max(\"编号\") FROM \"工作计划\""_s).toLongLong();
}

QString inputText(const QWidget *input)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(input))
        return line->text();
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(input))
        return text->toPlainText();
    if (const auto *picker = qobject_cast<const QDateEdit *>(input))
        return platform::shortDate(picker->date());
    if (const auto *combo = qobject_cast<const QComboBox *>(input))
        return combo->currentText();
    return {};
}

QStringList listNumbers(const frmPlan &window)
{
    QStringList numbers;
    const RecordListModel *model = window.lstvwPlanInfo()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        numbers.append(model->text(row, PlanID));
    return numbers;
}

QStringList todayEntries(const frmPlan &window)
{
    QStringList entries;
    for (int i = 0; i < window.lstDoToday()->count(); ++i) {
        const QListWidgetItem *entry = window.lstDoToday()->item(i);
        entries.append(entry->text() + u'#' + entry->data(Qt::UserRole).toString());
    }
    return entries;
}

QStringList isoDays(const QList<QDate> &days)
{
    QStringList texts;
    for (const QDate &day : days)
        texts.append(iso(day));
    return texts;
}

struct Message
{
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// What one run of the plan dialog showed.
struct DialogRun
{
    int style = -1;
    QHash<QString, QString> shown; // input name -> text when it opened
};

} // namespace

class TestFrmPlan : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadsPlansAndTodayList();
    void calendarCellsMatchTheGrid();
    void boldDays_data();
    void boldDays();
    void boldDaysFollowChanges();
    void changeElsewhere();
    void timerTickDuringLoad();
    void dayPlans_data();
    void dayPlans();
    void noPlanOnDate_data();
    void noPlanOnDate();
    void deleteSecondRowOfDayList();
    void editRowOfDayList();
    void rowOfPlanDeletedElsewhere();
    void opensTheRowsPlan();
    void formatListRow_data();
    void formatListRow();
    void saveSkipsRefusedColumns();
    void newPlanFromList();
    void emptyListToolbar();
    void todayListAfterEditAndDelete();
    void todayEntryOfDeletedPlan();
    void calendarMenu_data();
    void calendarMenu();
    void calendarMenuItems();
    void doubleClickOnDate_data();
    void doubleClickOnDate();
    void planMenu();
    void menuProviderFromProgram();
    void splitter_data();
    void splitter();
    void toolbarAndViewModes();
    void viewModeSetting_data();
    void viewModeSetting();
    void tableCannotBeOpened();

private:
    void useDialog(std::function<void(frmPlanInfo &)> act);
    static void click(frmPlanInfo &dialog, const char16_t *button);
    static void type(frmPlanInfo &dialog, const char16_t *input, const QString &text);
    static QAction *toolButton(const frmPlan &window, const QString &key);

    std::unique_ptr<TestDatabaseFile> m_file;
    std::unique_ptr<RawDatabase> m_raw;
    QList<Message> m_messages;
    QList<QMessageBox::StandardButton> m_answers;
    QStringList m_fatal;
    QList<DialogRun> m_dialogs;
    std::function<void(frmPlanInfo &)> m_act;
};

void TestFrmPlan::init()
{
    m_file = std::make_unique<TestDatabaseFile>();
    m_raw = std::make_unique<RawDatabase>(m_file->path());
    m_messages.clear();
    m_answers.clear();
    m_fatal.clear();
    m_dialogs.clear();
    m_act = {};
    QSettings(u"Kestrova"_s, u"Kestrova"_s).remove(u"Settings"_s);
    platform::setMessagePresenter([this](const platform::MessageRequest &request) {
        m_messages.append({request.text, request.title, request.icon, request.buttons});
        return m_answers.isEmpty() ? QMessageBox::Ok : m_answers.takeFirst();
    });
    clsDataBase::setFatalHandler([this](const QString &message) { m_fatal.append(message); });
    frmPlan::setDialogRunner([this](frmPlanInfo &dialog) {
        DialogRun run;
        run.style = dialog.Style();
        for (QWidget *input : dialog.inputs())
            run.shown.insert(input->objectName(), inputText(input));
        m_dialogs.append(run);
        if (m_act)
            m_act(dialog);
    });
    frmPlan::setLoadSliceRows(0);
}

void TestFrmPlan::cleanup()
{
    QCOMPARE(m_fatal, QStringList());
    frmPlan::setDialogRunner({});
    platform::setMessagePresenter({});
    clsDataBase::setFatalHandler({});
    frmPlan::setLoadSliceRows(0);
    m_raw.reset();
    m_file.reset();
}

void TestFrmPlan::useDialog(std::function<void(frmPlanInfo &)> act)
{
    m_act = std::move(act);
}

void TestFrmPlan::click(frmPlanInfo &dialog, const char16_t *button)
{
    QTest::mouseClick(dialog.findChild<QPushButton *>(QString::fromUtf16(button)), Qt::LeftButton);
}

void TestFrmPlan::type(frmPlanInfo &dialog, const char16_t *input, const QString &text)
{
    auto *widget = dialog.findChild<QWidget *>(QString::fromUtf16(input));
    if (auto *line = qobject_cast<QLineEdit *>(widget))
        line->setText(text);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget))
        plain->setPlainText(text);
}

QAction *TestFrmPlan::toolButton(const frmPlan &window, const QString &key)
{
    return window.findChild<QToolBar *>(u"tbToolBar"_s)->findChild<QAction *>(key);
}

void TestFrmPlan::loadsPlansAndTodayList()
{
    const QDate t = today();
    addPlan(*m_raw, u"电话回访"_s, iso(t.addDays(-1)), iso(t.addDays(1)));
    addPlan(*m_raw, u"寄送样品"_s, iso(t), iso(t), u"否"_s);
    addPlan(*m_raw, u"签订合同"_s, iso(t.addDays(3)), iso(t.addDays(5)));
    // End before start: the window takes it as its start day, which lies after today.
    addPlan(*m_raw, u"催收货款"_s, iso(t.addDays(1)), iso(t.addDays(-2)));
    m_raw->exec(u"UPDATE \"工作计划\" SET \"完成标志\" = '完成' WHERE \"编号\" = 1"_s);

    frmPlan window(m_file->path());
    QCOMPARE(window.windowTitle(), u"工作计划"_s);
    QVERIFY(!window.IsLoading());
    QVERIFY(!window.DataChanged());
    QCOMPARE(listNumbers(window), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    const RecordListModel *model = window.lstvwPlanInfo()->model();
    QCOMPARE(model->headers(), planCaptions());
    QCOMPARE(model->text(0, PlanItem), u"电话回访"_s);
    QCOMPARE(model->text(0, PlanStartRemind), platform::shortDate(t.addDays(-1)));
    QCOMPARE(model->text(1, PlanRemindMe), u"否"_s);
    QCOMPARE(window.CurrentRow(), 1);
    QCOMPARE(window.lstvwPlanInfo()->selectedRow(), 1);
    // Finished plans and plans that need no reminder are due all the same.
    QCOMPARE(todayEntries(window), (QStringList{u"电话回访#1"_s, u"寄送样品#2"_s}));
    QCOMPARE(window.lstDoToday()->currentRow(), 0);

    QCOMPARE(window.reminders().upperBound(), 4);
    QCOMPARE(window.reminders().at(4).start, t.addDays(1));
    QCOMPARE(window.reminders().at(4).end, t.addDays(1));
    QCOMPARE(window.boldMonth(), monthKey(t.year(), t.month()));
    const MonthCalendar *calendar = window.mvwPlan();
    for (int k = 1; k <= MonthCalendar::kCells; ++k) {
        const QDate day = calendar->visibleCell(k);
        const qint64 offset = t.daysTo(day);
        const bool covered = (offset >= -1 && offset <= 1) || (offset >= 3 && offset <= 5);
        QVERIFY2(calendar->isBold(day) == covered, qPrintable(iso(day)));
    }
}

void TestFrmPlan::calendarCellsMatchTheGrid()
{
    frmPlan window(m_file->path());
    MonthCalendar *calendar = window.mvwPlan();
    QTableView *grid = calendar->dayGrid();
    QVERIFY(grid);
    // The highlighted cell is the selected day.
    QCOMPARE(grid->selectionModel()->currentIndex().data().toInt(), today().day());
    QCOMPARE(calendar->selectedDate(), today());
    // Months whose 1st falls on each day of the week, the grid's first day included.
    for (const QDate &month : {d("2024-09-01"), d("2024-05-01"), d("2024-02-01"), d("2026-02-01"),
                               d("2024-06-01"), d("2023-12-01")}) {
        calendar->setCurrentPage(month.year(), month.month());
        for (int k = 1; k <= MonthCalendar::kCells; ++k) {
            const QModelIndex index = grid->indexAt(calendar->cellRect(k).center());
            QCOMPARE(index.data().toInt(), calendar->visibleCell(k).day());
        }
        QVERIFY(calendar->visibleCell(1) < month);
        QVERIFY(calendar->visibleCell(MonthCalendar::kCells) > month.addMonths(1).addDays(-1));
    }
}

void TestFrmPlan::boldDays_data()
{
    QTest::addColumn<QStringList>("periods"); // "start|end|需要提醒"
    QTest::addColumn<QDate>("shown");
    QTest::addColumn<QStringList>("expected");

    const QStringList acrossMonths = {u"2024-05-30|2024-06-02|是"_s};
    const QStringList fourDays = {u"2024-05-30"_s, u"2024-05-31"_s, u"2024-06-01"_s,
                                  u"2024-06-02"_s};
    QTest::newRow("period over the month end, May shown")
        << acrossMonths << d("2024-05-01") << fourDays;
    QTest::newRow("period over the month end, June shown")
        << acrossMonths << d("2024-06-01") << fourDays;
    QTest::newRow("end before start") << QStringList{u"2024-05-10|2024-05-03|是"_s}
                                      << d("2024-05-01") << QStringList{u"2024-05-10"_s};
    QStringList february;
    for (QDate day = d("2024-01-28"); day <= d("2024-03-09"); day = day.addDays(1))
        february.append(iso(day));
    QTest::newRow("January to March with February shown")
        << QStringList{u"2024-01-15|2024-03-10|是"_s} << d("2024-02-01") << february;
    QTest::newRow("no reminder wanted, still bold")
        << QStringList{u"2024-05-06|2024-05-07|否"_s} << d("2024-05-01")
        << QStringList{u"2024-05-06"_s, u"2024-05-07"_s};
    QTest::newRow("two plans, one outside the grid")
        << QStringList{u"2024-05-06|2024-05-06|是"_s, u"2024-07-20|2024-07-22|是"_s}
        << d("2024-05-01") << QStringList{u"2024-05-06"_s};
    QTest::newRow("reminder values no dates")
        << QStringList{u"|2024-05-07|是"_s, u"|2024-05-08|是"_s} << d("2024-05-01")
        << QStringList();
}

void TestFrmPlan::boldDays()
{
    QFETCH(QStringList, periods);
    QFETCH(QDate, shown);
    for (const QString &period : periods) {
        const QStringList parts = period.split(u'|');
        addPlan(*m_raw, u"计划"_s, parts[0].isEmpty() ? QVariant() : QVariant(parts[0]), parts[1],
                parts[2]);
    }
    frmPlan window(m_file->path());
    window.mvwPlan()->setCurrentPage(shown.year(), shown.month());
    QCOMPARE(window.boldMonth(), monthKey(shown.year(), shown.month()));
    QTEST(isoDays(window.mvwPlan()->boldDates()), "expected");
    // The timer's next tick finds the month done and changes nothing.
    window.SetBoldDays(false);
    QTEST(isoDays(window.mvwPlan()->boldDates()), "expected");
}

void TestFrmPlan::boldDaysFollowChanges()
{
    addPlan(*m_raw, u"上门拜访"_s, u"2024-05-06"_s, u"2024-05-08"_s);
    addPlan(*m_raw, u"产品演示"_s, u"2024-05-20"_s, u"2024-05-20"_s);
    frmPlan window(m_file->path());
    window.mvwPlan()->setCurrentPage(2024, 5);
    QCOMPARE(isoDays(window.mvwPlan()->boldDates()),
             (QStringList{u"2024-05-06"_s, u"2024-05-07"_s, u"2024-05-08"_s, u"2024-05-20"_s}));

    window.DeletePlan(1);
    QCOMPARE(listNumbers(window), QStringList{u"2"_s});
    QCOMPARE(isoDays(window.mvwPlan()->boldDates()), QStringList{u"2024-05-20"_s});

    useDialog([](frmPlanInfo &dialog) { click(dialog, u"cmdOk"); });
    window.NewDayPlan(d("2024-05-15"));
    QCOMPARE(isoDays(window.mvwPlan()->boldDates()),
             (QStringList{u"2024-05-15"_s, u"2024-05-20"_s}));

    window.DeletePlan(1);
    window.DeletePlan(1);
    QCOMPARE(m_raw->count(u"工作计划"_s), 0);
    QCOMPARE(window.reminders().upperBound(), 0);
    QCOMPARE(window.mvwPlan()->boldDates(), QList<QDate>());
    QCOMPARE(window.FindPlanOnDate(d("2024-05-20"), 1), -1);
    QCOMPARE(m_messages.size(), 0);
}

// Another desk adds a plan due today: the notice shows, the calendar and the today list follow at
// once, the list waits for "刷新", which also clears the notice.
void TestFrmPlan::changeElsewhere()
{
    const QDate t = today();
    addPlan(*m_raw, u"电话回访"_s, iso(t), iso(t));
    frmPlan window(m_file->path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *notice = window.findChild<QLabel *>(u"lblChangeNotice"_s);
    QVERIFY(!notice->isVisible());
    const QRect listBefore = window.lstvwPlanInfo()->geometry();

    addPlan(*m_raw, u"签订合同"_s, iso(t.addDays(2)), iso(t.addDays(2)));
    addPlan(*m_raw, u"寄送样品"_s, iso(t), iso(t));
    window.tableChangedElsewhere();
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), u"其他用户修改了数据，按“刷新”查看"_s);
    QCOMPARE(window.lstvwPlanInfo()->y(), listBefore.y() + notice->height());
    QCOMPARE(todayEntries(window), (QStringList{u"电话回访#1"_s, u"寄送样品#3"_s}));
    window.mvwPlan()->setCurrentPage(t.addDays(2).year(), t.addDays(2).month());
    window.SetBoldDays(false);
    QVERIFY(window.mvwPlan()->isBold(t.addDays(2)));
    QCOMPARE(listNumbers(window), QStringList{u"1"_s});

    toolButton(window, u"刷新"_s)->trigger();
    QVERIFY(!notice->isVisible());
    QCOMPARE(window.lstvwPlanInfo()->geometry(), listBefore);
    QCOMPARE(listNumbers(window), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    QCOMPARE(m_messages.size(), 0);
}

void TestFrmPlan::timerTickDuringLoad()
{
    for (int i = 0; i < 6; ++i)
        addPlan(*m_raw, u"计划%1"_s.arg(i), u"2024-05-1%1"_s.arg(i), u"2024-05-1%1"_s.arg(i));
    frmPlan window(m_file->path());
    window.mvwPlan()->setCurrentPage(2024, 5);
    window.SetViewMode(RecordListView::Details);

    for (int day = 10; day <= 12; ++day)
        addPlan(*m_raw, u"六月计划"_s, u"2024-06-%1"_s.arg(day), u"2024-06-%1"_s.arg(day));
    frmPlan::setLoadSliceRows(1);
    window.setDataChanged(true);
    window.ShowAllPlans();
    QVERIFY(window.IsLoading());
    QVERIFY(window.findChild<QProgressBar *>(u"prgLoad"_s)->isVisibleTo(&window));

    // Commands that arrive meanwhile are refused, never run on the half-loaded list.
    QVERIFY(!toolButton(window, u"删除"_s)->isEnabled());
    QVERIFY(!window.findChild<QPushButton *>(u"cmdNewPlan"_s)->isEnabled());
    window.DeletePlan(1);
    window.OpenPlanInfo(1, frmPlanInfo::View);
    window.ShowDayPlans(d("2024-05-10"));
    QCOMPARE(m_raw->count(u"工作计划"_s), 9);
    QCOMPARE(m_dialogs.size(), 0);

    // A tick while the table is half rebuilt bolds June from the plans known so far ...
    window.mvwPlan()->setCurrentPage(2024, 6);
    QCOMPARE(window.boldMonth(), u"2024-6"_s);
    QVERIFY(window.IsLoading());
    // ... and the finished load still shows every plan's days.
    QTRY_VERIFY(!window.IsLoading());
    QCOMPARE(listNumbers(window).size(), 9);
    QCOMPARE(isoDays(window.mvwPlan()->boldDates()),
             (QStringList{u"2024-06-10"_s, u"2024-06-11"_s, u"2024-06-12"_s}));
    QVERIFY(!window.findChild<QProgressBar *>(u"prgLoad"_s)->isVisibleTo(&window));
    QVERIFY(toolButton(window, u"删除"_s)->isEnabled());
    QCOMPARE(m_messages.size(), 0);
}

void TestFrmPlan::dayPlans_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("two plans on one date") << d("2024-05-20") << QStringList{u"2"_s, u"4"_s};
    QTest::newRow("three plans") << d("2024-05-05") << QStringList{u"1"_s, u"3"_s, u"4"_s};
    QTest::newRow("reversed period on its start day") << d("2024-06-09") << QStringList{u"6"_s};
}

void TestFrmPlan::dayPlans()
{
    addPlan(*m_raw, u"一"_s, u"2024-05-01"_s, u"2024-05-10"_s);
    addPlan(*m_raw, u"二"_s, u"2024-05-20"_s, u"2024-05-20"_s);
    addPlan(*m_raw, u"三"_s, u"2024-05-05"_s, u"2024-05-06"_s);
    addPlan(*m_raw, u"四"_s, u"2024-04-01"_s, u"2024-05-31"_s);
    addPlan(*m_raw, u"五"_s, u"2024-06-01"_s, u"2024-06-01"_s);
    addPlan(*m_raw, u"六"_s, u"2024-06-09"_s, u"2024-06-02"_s);
    frmPlan window(m_file->path());
    QFETCH(QDate, date);
    window.ShowDayPlans(date);
    QTEST(listNumbers(window), "expected");
    QCOMPARE(window.CurrentRow(), 1);
    QCOMPARE(m_messages.size(), 0);
    QCOMPARE(m_dialogs.size(), 0);
    const auto *count = window.findChild<QLabel *>(u"lblRecordCount"_s);
    QCOMPARE(count->text(), u"共 %1 条"_s.arg(listNumbers(window).size()));

    toolButton(window, u"刷新"_s)->trigger();
    QCOMPARE(listNumbers(window).size(), 6);
    QCOMPARE(count->text(), u"共 6 条"_s);
}

void TestFrmPlan::noPlanOnDate_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("cancel") << QMessageBox::Cancel;
    QTest::newRow("ok") << QMessageBox::Ok;
}

void TestFrmPlan::noPlanOnDate()
{
    QFETCH(QMessageBox::StandardButton, answer);
    addPlan(*m_raw, u"一"_s, u"2024-05-01"_s, u"2024-05-10"_s);
    frmPlan window(m_file->path());
    window.mvwPlan()->setCurrentPage(2024, 5);
    m_answers.append(answer);
    useDialog([](frmPlanInfo &dialog) {
        type(dialog, u"txtField_1", u"新的一天"_s);
        click(dialog, u"cmdOk");
    });
    window.ShowDayPlans(d("2024-05-11"));

    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].text, u"该日期没有任何计划,是否要创建一个新计划"_s);
    QCOMPARE(m_messages[0].title, u"Kestrova"_s);
    QCOMPARE(m_messages[0].icon, QMessageBox::Question);
    QCOMPARE(m_messages[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) {
        QCOMPARE(m_dialogs.size(), 0);
        QCOMPARE(m_raw->count(u"工作计划"_s), 1);
        QCOMPARE(listNumbers(window), QStringList{u"1"_s});
        return;
    }
    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(m_dialogs[0].style, int(frmPlanInfo::New));
    QCOMPARE(m_dialogs[0].shown.value(u"DTPField_4"_s), u"2024-5-11"_s);
    QCOMPARE(m_dialogs[0].shown.value(u"DTPField_3"_s), u"2024-5-11"_s);
    QCOMPARE(m_dialogs[0].shown.value(u"cmbField_1"_s), u"False"_s);
    QCOMPARE(
        m_raw->column(u"SELECT \"事项\" || '|' || \"开始提醒\" || '|' || \"结束提醒\" || '|' || "
                      "\"审核标志\" || '|' || \"登记日期\" FROM \"工作计划\" WHERE \"编号\" = 2"_s),
        QStringList{u"新的一天|2024-05-11|2024-05-11|False|"_s + iso(today())});
    QCOMPARE(listNumbers(window), (QStringList{u"1"_s, u"2"_s}));
    QVERIFY(window.mvwPlan()->isBold(d("2024-05-11")));
    QCOMPARE(window.FindPlanOnDate(d("2024-05-11"), 1), 2);
}

void TestFrmPlan::deleteSecondRowOfDayList()
{
    for (int i = 1; i <= 5; ++i) {
        const QString day = i % 2 == 0 ? u"2024-05-20"_s : u"2024-05-0%1"_s.arg(i);
        addPlan(*m_raw, u"计划%1"_s.arg(i), day, day);
    }
    frmPlan window(m_file->path());
    window.ShowDayPlans(d("2024-05-20"));
    QCOMPARE(listNumbers(window), (QStringList{u"2"_s, u"4"_s}));
    window.DeletePlan(2);
    QCOMPARE(m_raw->column(u"SELECT \"编号\" FROM \"工作计划\" ORDER BY 1"_s),
             (QStringList{u"1"_s, u"2"_s, u"3"_s, u"5"_s}));
    QCOMPARE(listNumbers(window), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"5"_s}));
}

void TestFrmPlan::editRowOfDayList()
{
    for (int i = 1; i <= 5; ++i) {
        const QString day = i % 2 == 0 ? u"2024-05-20"_s : u"2024-05-0%1"_s.arg(i);
        addPlan(*m_raw, u"计划%1"_s.arg(i), day, day);
    }
    frmPlan window(m_file->path());
    window.ShowDayPlans(d("2024-05-20"));
    useDialog([](frmPlanInfo &dialog) {
        type(dialog, u"txtField_1", u"改过的计划"_s);
        click(dialog, u"cmdOk");
    });
    window.OpenPlanInfo(2, frmPlanInfo::Edit);
    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(m_dialogs[0].style, int(frmPlanInfo::Edit));
    QCOMPARE(m_dialogs[0].shown.value(u"txtField_1"_s), u"计划4"_s);
    QCOMPARE(m_raw->column(u"SELECT \"事项\" FROM \"工作计划\" ORDER BY \"编号\""_s),
             (QStringList{u"计划1"_s, u"计划2"_s, u"计划3"_s, u"改过的计划"_s, u"计划5"_s}));
    QCOMPARE(listNumbers(window).size(), 5);
}

void TestFrmPlan::rowOfPlanDeletedElsewhere()
{
    addPlan(*m_raw, u"一"_s, u"2024-05-01"_s, u"2024-05-01"_s);
    addPlan(*m_raw, u"二"_s, u"2024-05-02"_s, u"2024-05-02"_s);
    frmPlan window(m_file->path());
    m_raw->exec(u"DELETE FROM \"工作计划\" WHERE \"编号\" = 2"_s);
    window.OpenPlanInfo(2, frmPlanInfo::Edit);
    QCOMPARE(m_dialogs.size(), 0);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].text, u"该计划已经删除"_s);
    QCOMPARE(listNumbers(window), QStringList{u"1"_s});
    QCOMPARE(m_raw->column(u"SELECT \"事项\" FROM \"工作计划\""_s), QStringList{u"一"_s});
}

void TestFrmPlan::opensTheRowsPlan()
{
    for (int i = 1; i <= 30; ++i)
        addPlan(*m_raw, u"计划%1"_s.arg(i), u"2024-05-01"_s, u"2024-05-02"_s);
    frmPlan window(m_file->path());
    window.OpenPlanInfo(25, frmPlanInfo::View);
    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(m_dialogs[0].style, int(frmPlanInfo::View));
    QCOMPARE(m_dialogs[0].shown.value(u"txtField_1"_s), u"计划25"_s);
    // Rows outside the list open nothing.
    window.OpenPlanInfo(31, frmPlanInfo::View);
    window.OpenPlanInfo(0, frmPlanInfo::Edit);
    QCOMPARE(m_dialogs.size(), 1);
}

void TestFrmPlan::formatListRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected"); // empty: no record

    const QString t = platform::shortDate(today());
    QTest::newRow("below the list") << 0 << QStringList();
    QTest::newRow("past the list") << 3 << QStringList();
    QTest::newRow("every column filled")
        << 1 << QStringList{u"1"_s,        u"上门拜访"_s, u"7"_s,        u"2024-5-6"_s,
                            u"2024-5-9"_s, u"否"_s,       u"2024-5-6"_s, u"2024-5-8"_s,
                            u"王明"_s,     u"带样品"_s,   u"完成"_s,     u"重要"_s,
                            u"李娜"_s,     u"2024-5-1"_s, u"备注"_s,     u"已审核"_s};
    // Empty register date and audit flag take the record's own defaults.
    QTest::newRow("register date and audit flag empty")
        << 2 << QStringList{u"2"_s,      u"电话回访"_s, QString(),     QString(), QString(),
                            u"是"_s,     u"2024-5-7"_s, u"2024-5-7"_s, QString(), QString(),
                            u"未完成"_s, QString(),     QString(),     t,         QString(),
                            u"未审核"_s};
}

void TestFrmPlan::formatListRow()
{
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    m_raw->exec(u"INSERT INTO \"工作计划\" VALUES (1, '上门拜访', '7', '2024-05-06', '2024-05-09', "
                "'否', '2024-05-06', '2024-05-08', '王明', '带样品', '完成', '重要', '李娜', "
                "'2024-05-01', '备注', '已审核')"_s);
    addPlan(*m_raw, u"电话回访"_s, u"2024-05-07"_s, u"2024-05-07"_s);
    m_raw->exec(u"UPDATE \"工作计划\" SET \"审核标志\" = NULL WHERE \"编号\" = 2"_s);
    frmPlan window(m_file->path());
    const std::unique_ptr<clsPlan> plan = window.FormatListViewItemToTplan(row);
    if (expected.isEmpty()) {
        QVERIFY(!plan);
        return;
    }
    QVERIFY(plan);
    QStringList values;
    for (int k = 0; k < PlanColumnCount; ++k)
        values.append(plan->MyProperty(k));
    QCOMPARE(values, expected);
    QVERIFY(!plan->IsChangedDate());
}

void TestFrmPlan::saveSkipsRefusedColumns()
{
    addPlan(*m_raw, u"一"_s, u"2024-05-01"_s, u"2024-05-03"_s);
    addPlan(*m_raw, u"二"_s, u"2024-05-02"_s, u"2024-05-02"_s);
    frmPlan window(m_file->path());
    window.OpenPlanInfo(2, frmPlanInfo::View); // puts the cursor on the second plan
    std::unique_ptr<clsPlan> plan = window.FormatListViewItemToTplan(2);
    QVERIFY(plan);
    plan->setID(u"77"_s);              // the key is the database's own
    plan->setStartRemind(u"下周一"_s); // no date: the column keeps its value
    plan->setItem(u"改过的二"_s);
    plan->setEndRemind(u"2024-5-9"_s);
    QVERIFY(window.SaveTPlanToDataBase(*plan));
    QCOMPARE(m_raw->column(u"SELECT \"编号\" || '|' || \"事项\" || '|' || \"开始提醒\" || '|' || "
                           "\"结束提醒\" FROM \"工作计划\" ORDER BY 1"_s),
             (QStringList{u"1|一|2024-05-01|2024-05-03"_s, u"2|改过的二|2024-05-02|2024-05-09"_s}));
    QCOMPARE(m_messages.size(), 0);
}

void TestFrmPlan::newPlanFromList()
{
    addPlan(*m_raw, u"一"_s, u"2024-05-01"_s, u"2024-05-01"_s);
    frmPlan window(m_file->path());
    QCOMPARE(todayEntries(window), QStringList());
    useDialog([](frmPlanInfo &dialog) {
        type(dialog, u"txtField_1", u"新计划"_s);
        click(dialog, u"cmdOk");
    });
    toolButton(window, u"新建"_s)->trigger();
    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(m_dialogs[0].style, int(frmPlanInfo::New));
    const QString t = platform::shortDate(today());
    QCOMPARE(m_dialogs[0].shown.value(u"DTPField_2"_s), t);
    QCOMPARE(m_dialogs[0].shown.value(u"cmbField_1"_s), u"False"_s);
    QCOMPARE(m_dialogs[0].shown.value(u"DTPField_4"_s), t);
    QCOMPARE(listNumbers(window), (QStringList{u"1"_s, u"2"_s}));
    // Its reminder period starts and ends today, so it is due today.
    QCOMPARE(todayEntries(window), QStringList{u"新计划#2"_s});
    QCOMPARE(m_raw->scalar(u"SELECT \"开始时间\" || '|' || \"审核标志\" FROM \"工作计划\" "
                           "WHERE \"编号\" = 2"_s),
             iso(today()) + u"|False"_s);
}

void TestFrmPlan::emptyListToolbar()
{
    frmPlan window(m_file->path());
    QCOMPARE(window.lstvwPlanInfo()->rowCount(), 0);
    QCOMPARE(window.CurrentRow(), 0);
    for (const QString &key : {u"修改"_s, u"删除"_s, u"属性"_s, u"预览"_s})
        toolButton(window, key)->trigger();
    QCOMPARE(m_dialogs.size(), 0);

    // A new plan left with "关闭" adds no row, not even at the next cursor move.
    useDialog([](frmPlanInfo &dialog) { click(dialog, u"cmdClose"); });
    toolButton(window, u"新建"_s)->trigger();
    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(m_dialogs[0].style, int(frmPlanInfo::New));
    window.ShowAllPlans();
    window.ShowDayPlans(today());
    QCOMPARE(m_raw->count(u"工作计划"_s), 0);
    QCOMPARE(m_messages.size(), 1); // the question for a date without plans, answered OK
    QCOMPARE(m_dialogs.size(), 2);
    QCOMPARE(m_raw->count(u"工作计划"_s), 0);
}

void TestFrmPlan::todayListAfterEditAndDelete()
{
    const QDate t = today();
    addPlan(*m_raw, u"昨天的事"_s, iso(t.addDays(-3)), iso(t.addDays(-1)));
    addPlan(*m_raw, u"今天的事"_s, iso(t), iso(t.addDays(2)));
    addPlan(*m_raw, u"还有一件"_s, iso(t.addDays(-1)), iso(t));
    frmPlan window(m_file->path());
    QCOMPARE(todayEntries(window), (QStringList{u"今天的事#2"_s, u"还有一件#3"_s}));

    // View from the today list, switch to editing, change the item.
    useDialog([](frmPlanInfo &dialog) {
        click(dialog, u"cmdEdit");
        type(dialog, u"txtField_1", u"今天要做完的事"_s);
        click(dialog, u"cmdOk");
    });
    window.findChild<QPushButton *>(u"cmdDetails"_s)->click();
    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(m_dialogs[0].style, int(frmPlanInfo::View));
    QCOMPARE(m_dialogs[0].shown.value(u"txtField_1"_s), u"今天的事"_s);
    QCOMPARE(m_raw->scalar(u"SELECT \"事项\" FROM \"工作计划\" WHERE \"编号\" = 2"_s),
             u"今天要做完的事"_s);
    QCOMPARE(todayEntries(window), (QStringList{u"今天要做完的事#2"_s, u"还有一件#3"_s}));
    // The list shows the whole table again, not only the plan just edited.
    QCOMPARE(listNumbers(window), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    QCOMPARE(window.reminders().upperBound(), 3);
    QCOMPARE(window.FindPlanOnDate(t.addDays(-3), 1), 1);

    window.DeletePlan(3);
    QCOMPARE(todayEntries(window), QStringList{u"今天要做完的事#2"_s});
    QCOMPARE(m_messages.size(), 0);
}

void TestFrmPlan::todayEntryOfDeletedPlan()
{
    const QDate t = today();
    addPlan(*m_raw, u"今天的事"_s, iso(t), iso(t));
    addPlan(*m_raw, u"另一件"_s, iso(t), iso(t));
    frmPlan window(m_file->path());
    m_raw->exec(u"DELETE FROM \"工作计划\" WHERE \"编号\" = 1"_s);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // A double click: the press and release of the first click, then the second click.
    const QPoint entry = window.lstDoToday()->visualItemRect(window.lstDoToday()->item(0)).center();
    QTest::mouseClick(window.lstDoToday()->viewport(), Qt::LeftButton, {}, entry);
    QTest::mouseDClick(window.lstDoToday()->viewport(), Qt::LeftButton, {}, entry);
    QCOMPARE(m_dialogs.size(), 0);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].text, u"该计划已经删除"_s);
    QCOMPARE(m_messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(todayEntries(window), QStringList{u"另一件#2"_s});
    // The cursor is unfiltered again: every remaining plan can be opened.
    window.OpenPlanInfo(2, frmPlanInfo::View);
    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(m_dialogs[0].shown.value(u"txtField_1"_s), u"另一件"_s);
}

void TestFrmPlan::calendarMenu_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("bold date") << d("2024-05-20") << true;
    QTest::newRow("plain date") << d("2024-05-21") << false;
}

void TestFrmPlan::calendarMenu()
{
    QFETCH(QDate, date);
    addPlan(*m_raw, u"一"_s, u"2024-05-20"_s, u"2024-05-20"_s);
    frmPlan window(m_file->path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    MonthCalendar *calendar = window.mvwPlan();
    calendar->setCurrentPage(2024, 5);
    calendar->setSelectedDate(d("2024-05-02"));
    int cell = 0;
    for (int k = 1; k <= MonthCalendar::kCells; ++k) {
        if (calendar->visibleCell(k) == date)
            cell = k;
    }
    QVERIFY(cell > 0);
    QWidget *grid = calendar->dayGrid()->viewport();
    const QPoint at = calendar->cellRect(cell).center();
    QTest::mousePress(grid, Qt::RightButton, {}, at);
    QTest::mouseRelease(grid, Qt::RightButton, {}, at);

    QCOMPARE(calendar->selectedDate(), date);
    QMenu *menu = window.menus().mnuCalendar;
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->title(), u"日历"_s);
    QStringList items;
    for (const QAction *item : menu->actions())
        items.append(item->objectName() + u'=' + item->text());
    QCOMPARE(items, (QStringList{u"mnuCalendarViewOne=显示该天计划(&I)"_s,
                                 u"mnuCalendarViewAll=显示全部计划(&A)"_s,
                                 u"mnuCalendarNew=新建该天计划(&N)..."_s}));
    QTEST(menu->actions().at(0)->isEnabled(), "enabled");
    menu->hide();
}

void TestFrmPlan::calendarMenuItems()
{
    addPlan(*m_raw, u"一"_s, u"2024-05-20"_s, u"2024-05-20"_s);
    addPlan(*m_raw, u"二"_s, u"2024-05-01"_s, u"2024-05-01"_s);
    frmPlan window(m_file->path());
    window.mvwPlan()->setSelectedDate(d("2024-05-20"));
    QMenu *menu = window.menus().mnuCalendar;
    menu->findChild<QAction *>(u"mnuCalendarViewOne"_s)->trigger();
    QCOMPARE(listNumbers(window), QStringList{u"1"_s});
    menu->findChild<QAction *>(u"mnuCalendarViewAll"_s)->trigger();
    QCOMPARE(listNumbers(window), (QStringList{u"1"_s, u"2"_s}));
    menu->findChild<QAction *>(u"mnuCalendarNew"_s)->trigger();
    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(m_dialogs[0].style, int(frmPlanInfo::New));
    QCOMPARE(m_dialogs[0].shown.value(u"DTPField_4"_s), u"2024-5-20"_s);
    QCOMPARE(m_dialogs[0].shown.value(u"DTPField_3"_s), u"2024-5-20"_s);
    QCOMPARE(m_raw->count(u"工作计划"_s), 2);
}

void TestFrmPlan::doubleClickOnDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QStringList>("expected"); // empty: the question for a date without plans

    QTest::newRow("two plans") << d("2024-05-20") << QStringList{u"1"_s, u"3"_s};
    QTest::newRow("no plan") << d("2024-05-21") << QStringList();
}

void TestFrmPlan::doubleClickOnDate()
{
    QFETCH(QDate, date);
    QFETCH(QStringList, expected);
    addPlan(*m_raw, u"一"_s, u"2024-05-20"_s, u"2024-05-20"_s);
    addPlan(*m_raw, u"二"_s, u"2024-05-01"_s, u"2024-05-01"_s);
    addPlan(*m_raw, u"三"_s, u"2024-05-18"_s, u"2024-05-22"_s);
    m_raw->exec(u"UPDATE \"工作计划\" SET \"结束提醒\" = '2024-05-20' WHERE \"编号\" = 3"_s);
    frmPlan window(m_file->path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    MonthCalendar *calendar = window.mvwPlan();
    calendar->setCurrentPage(2024, 5);
    int cell = 0;
    for (int k = 1; k <= MonthCalendar::kCells; ++k) {
        if (calendar->visibleCell(k) == date)
            cell = k;
    }
    QVERIFY(cell > 0);
    QWidget *grid = calendar->dayGrid()->viewport();
    const QPoint at = calendar->cellRect(cell).center();
    m_answers.append(QMessageBox::Cancel);
    QTest::mouseClick(grid, Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid, Qt::LeftButton, {}, at);
    if (expected.isEmpty()) {
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text, u"该日期没有任何计划,是否要创建一个新计划"_s);
        QCOMPARE(listNumbers(window), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    } else {
        QCOMPARE(m_messages.size(), 0);
        QCOMPARE(listNumbers(window), expected);
    }
    QCOMPARE(m_dialogs.size(), 0);
}

void TestFrmPlan::planMenu()
{
    frmPlan window(m_file->path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.SetViewMode(RecordListView::Details);
    QTreeView *view = window.lstvwPlanInfo()->detailsView();
    // An empty list shows no menu.
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(!window.menus().mnuPlan->isVisible());

    addPlan(*m_raw, u"一"_s, u"2024-05-01"_s, u"2024-05-01"_s);
    addPlan(*m_raw, u"二"_s, u"2024-05-02"_s, u"2024-05-02"_s);
    addPlan(*m_raw, u"三"_s, u"2024-05-03"_s, u"2024-05-03"_s);
    window.ShowAllPlans();
    const QRect second = view->visualRect(window.lstvwPlanInfo()->model()->index(1, 1));
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, second.center());
    QMenu *menu = window.menus().mnuPlan;
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->title(), u"工作计划"_s);
    QCOMPARE(window.lstvwPlanInfo()->selectedRow(), 2);
    QCOMPARE(window.CurrentRow(), 2);
    menu->hide();

    menu->findChild<QAction *>(u"mnuPlanDetails"_s)->trigger();
    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(m_dialogs[0].style, int(frmPlanInfo::View));
    QCOMPARE(m_dialogs[0].shown.value(u"txtField_1"_s), u"二"_s);
    menu->findChild<QAction *>(u"mnuPlanNew"_s)->trigger();
    QCOMPARE(m_dialogs.size(), 2);
    QCOMPARE(m_dialogs[1].style, int(frmPlanInfo::New));

    window.lstvwPlanInfo()->selectRow(2);
    menu->findChild<QAction *>(u"mnuPlanDel"_s)->trigger();
    QCOMPARE(m_raw->column(u"SELECT \"事项\" FROM \"工作计划\""_s),
             (QStringList{u"一"_s, u"三"_s}));
    QCOMPARE(listNumbers(window), (QStringList{u"1"_s, u"3"_s}));

    // Double click views the row.
    const QPoint third = view->visualRect(window.lstvwPlanInfo()->model()->index(1, 1)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, third);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, third);
    QCOMPARE(m_dialogs.size(), 3);
    QCOMPARE(m_dialogs[2].shown.value(u"txtField_1"_s), u"三"_s);
}

void TestFrmPlan::menuProviderFromProgram()
{
    addPlan(*m_raw, u"一"_s, u"2024-05-01"_s, u"2024-05-01"_s);
    frmPlan target(m_file->path());
    frmPlan window(m_file->path());
    int asked = 0;
    // The program's menus act on its one plan window, whichever window popped them up.
    window.setMenuProvider([&asked, &target](frmPlan *owner) {
        ++asked;
        auto *holder = new QWidget(owner);
        return buildPlanMenus(holder, [&target] { return &target; });
    });
    QMenu *first = window.menus().mnuPlan;
    QCOMPARE(window.menus().mnuPlan, first);
    QCOMPARE(asked, 1);
    window.menus().mnuCalendar->findChild<QAction *>(u"mnuCalendarNew"_s)->trigger();
    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(m_dialogs[0].shown.value(u"DTPField_4"_s),
             platform::shortDate(target.mvwPlan()->selectedDate()));
    // A menu whose window is gone does nothing.
    QWidget holder;
    const PlanMenus orphan = buildPlanMenus(&holder, [] { return nullptr; });
    orphan.mnuPlan->findChild<QAction *>(u"mnuPlanDel"_s)->trigger();
    orphan.mnuCalendar->findChild<QAction *>(u"mnuCalendarViewAll"_s)->trigger();
    QCOMPARE(m_raw->count(u"工作计划"_s), 1);
}

void TestFrmPlan::splitter_data()
{
    QTest::addColumn<int>("target"); // twips from the window's left edge
    QTest::addColumn<int>("bar");    // where the drag bar stops
    QTest::addColumn<int>("panel");  // the left panel's width afterwards

    const int width = frmPlan::kDesignWidth;
    QTest::newRow("far left") << 100 << 500 << 1500;
    QTest::newRow("near the left limit") << 1200 << 1200 << 1500;
    QTest::newRow("middle") << 4500 << 4500 << 4500;
    QTest::newRow("far right") << width - 100 << width - 500 << width - 1500;
}

void TestFrmPlan::splitter()
{
    QFETCH(int, target);
    QFETCH(int, bar);
    QFETCH(int, panel);
    frmPlan window(m_file->path());
    window.resize(platform::twips(frmPlan::kDesignWidth), window.height());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *grip = window.findChild<QWidget *>(u"imgSplitter"_s);
    auto *dragBar = window.findChild<QWidget *>(u"picSplitter"_s);
    auto *left = window.findChild<QWidget *>(u"picPlan"_s);
    QVERIFY(dragBar->isHidden());

    QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(1, 10));
    QVERIFY(!dragBar->isHidden());
    QCOMPARE(dragBar->x(), grip->x());
    QCOMPARE(dragBar->y(), grip->y());
    QCOMPARE(dragBar->width(), platform::twips(platform::kTwipsPerPixel * grip->width() / 2));
    QTest::mouseMove(grip, QPoint(platform::twips(target) - grip->x(), 10));
    QCOMPARE(dragBar->x(), platform::twips(bar));
    QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(platform::twips(target) - grip->x(), 10));

    QVERIFY(dragBar->isHidden());
    QCOMPARE(left->width(), platform::twips(panel));
    QCOMPARE(grip->x(), platform::twips(panel));
    QCOMPARE(window.lstvwPlanInfo()->x(), platform::twips(panel + 40));
    QCOMPARE(window.lstvwPlanInfo()->width(),
             platform::twips(platform::kTwipsPerPixel * window.width() - (panel + 140)));
    QCOMPARE(window.lstvwPlanInfo()->y(), left->y());
    QCOMPARE(window.lstvwPlanInfo()->height(), left->height());
}

void TestFrmPlan::toolbarAndViewModes()
{
    frmPlan window(m_file->path());
    auto *toolbar = window.findChild<QToolBar *>(u"tbToolBar"_s);
    QStringList buttons;
    for (const QAction *button : toolbar->actions()) {
        if (!button->isSeparator())
            buttons.append(button->objectName() + u'=' + button->toolTip());
    }
    QCOMPARE(buttons, (QStringList{u"新建=新建"_s, u"修改=修改"_s, u"删除=删除"_s, u"属性=属性"_s,
                                   u"刷新=刷新"_s, u"预览=工作计划预览"_s, u"大图标=大图标"_s,
                                   u"小图标=小图标"_s, u"列表=列表"_s, u"详细资料=详细资料"_s}));
    const QStringList views = {u"大图标"_s, u"小图标"_s, u"列表"_s, u"详细资料"_s};
    for (int mode = 3; mode >= 0; --mode) {
        toolButton(window, views[mode])->trigger();
        QCOMPARE(window.ViewMode(), mode);
        for (int other = 0; other < 4; ++other)
            QCOMPARE(toolButton(window, views[other])->isChecked(), other == mode);
        QCOMPARE(window.lstvwPlanInfo()->currentView() == window.lstvwPlanInfo()->detailsView(),
                 mode == 3);
    }
}

void TestFrmPlan::viewModeSetting_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("mode");
    QTest::newRow("absent") << QVariant() << 0;
    QTest::newRow("details") << QVariant(u"3"_s) << 3;
    QTest::newRow("leading number") << QVariant(u"2abc"_s) << 2;
    QTest::newRow("out of range") << QVariant(u"9"_s) << 0;
}

void TestFrmPlan::viewModeSetting()
{
    QFETCH(QVariant, stored);
    QFETCH(int, mode);
    if (stored.isValid())
        QSettings(u"Kestrova"_s, u"Kestrova"_s).setValue(u"Settings/ViewMode"_s, stored);
    {
        frmPlan window(m_file->path());
        QCOMPARE(window.ViewMode(), mode);
        const QStringList views = {u"大图标"_s, u"小图标"_s, u"列表"_s, u"详细资料"_s};
        QVERIFY(toolButton(window, views[mode])->isChecked());
        window.SetViewMode(1);
        window.close();
    }
    QCOMPARE(QSettings(u"Kestrova"_s, u"Kestrova"_s).value(u"Settings/ViewMode"_s).toString(),
             u"1"_s);
}

void TestFrmPlan::tableCannotBeOpened()
{
    frmPlan window(m_file->folder() + u"/missing/khdata.mdb"_s);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].text, u"无法打开数据库“"_s + m_file->folder() +
                                     u"/missing/khdata.mdb”中的工作计划表，计划列表将是空的。"_s);
    QCOMPARE(m_messages[0].icon, QMessageBox::Warning);
    QCOMPARE(window.lstvwPlanInfo()->rowCount(), 0);
    toolButton(window, u"新建"_s)->trigger();
    window.NewDayPlan(today());
    window.ShowDayPlans(today());
    QCOMPARE(m_dialogs.size(), 0);
    QCOMPARE(m_messages.size(), 1);
}

QTEST_MAIN(TestFrmPlan)
#include "tst_frmplan.moc"
