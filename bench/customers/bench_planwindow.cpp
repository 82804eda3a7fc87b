// Prints how long the plan window takes to load 32 767 plans, beside a plain read of the same
// rows through Qt SQL, and how long the calendar's bolding takes when the calendar moves to
// another month, beside a plain check of every visible day against every reminder period; and
// how long the plans of the busiest day take to list, beside one plain query for their keys.

#include "bench/common/benchfigures.h"
#include "customers/data/clsdatabase.h"
#include "customers/data/demodata.h"
#include "customers/plans/frmplan.h"
#include "customers/plans/monthcalendar.h"
#include "customers/shared/recordlistview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::printFigure;

constexpr int kPlans = 32767;
constexpr int kRuns = 5;

// From construction until the list, the reminder table, the today list and the bold days are
// complete.
double loadWindowMs(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    kestrova::frmPlan window(path);
    if (window.IsLoading()) {
        QEventLoop loop;
        QObject::connect(&window, &kestrova::frmPlan::listLoaded, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    if (window.lstvwPlanInfo()->rowCount() != kPlans)
        std::printf("warning: the window listed %d plans\n", window.lstvwPlanInfo()->rowCount());
    return ms;
}

// Every column of every row read as text, the least a list of the table must do.
double plainReadMs(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    int rows = 0;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.exec(QStringLiteral("SELECT * FROM \"工作计划\" ORDER BY rowid"));
        QList<QStringList> table;
        while (query.next()) {
            QStringList texts;
            for (int c = 0; c < 16; ++c)
                texts.append(query.value(c).toString());
            table.append(texts);
            ++rows;
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return rows > 0 ? timer.nsecsElapsed() / 1e6 : 0;
}

// The straightforward bolding: each of the 42 visible days checked against every period.
QList<QDate> plainCoveredDays(const kestrova::ReminderTable &table,
                              const kestrova::MonthCalendar &calendar)
{
    QList<QDate> days;
    for (int k = 1; k <= kestrova::MonthCalendar::kCells; ++k) {
        const QDate day = calendar.visibleCell(k);
        for (int i = 1; i <= table.upperBound(); ++i) {
            if (table.at(i).covers(day)) {
                days.append(day);
                break;
            }
        }
    }
    return days;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("khdata.mdb"));
    kestrova::DemoOptions options;
    options.clients = 500;
    options.plans = kPlans;
    QString error;
    if (!kestrova::seedDemoData(path, options, &error)) {
        std::printf("cannot create the demo database: %s\n", qPrintable(error));
        return 1;
    }

    std::vector<double> ours;
    std::vector<double> reference;
    for (int run = 0; run < kRuns; ++run) {
        ours.push_back(loadWindowMs(path));
        reference.push_back(plainReadMs(path));
    }
    printFigure("plan window load, 32767 plans", median(ours), median(reference), "ms");

    kestrova::frmPlan window(path);
    while (window.IsLoading())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    kestrova::MonthCalendar *calendar = window.mvwPlan();
    ours.clear();
    reference.clear();
    QDate month = QDate::currentDate().addMonths(-12);
    for (int step = 0; step < 25; ++step, month = month.addMonths(1)) {
        calendar->setCurrentPage(month.year(), month.month());
        QElapsedTimer timer;
        timer.start();
        window.SetBoldDays(true);
        ours.push_back(timer.nsecsElapsed() / 1e3);
        timer.restart();
        calendar->setBoldDates(plainCoveredDays(window.reminders(), *calendar));
        reference.push_back(timer.nsecsElapsed() / 1e3);
    }
    window.SetBoldDays(true);
    printFigure("SetBoldDays on a month change, 32767 plans", median(ours), median(reference),
                "us");

    // The day with the most plans: its criteria is one "编号 = n" clause per plan.
    const kestrova::ReminderTable &table = window.reminders();
    QDate busiest;
    int most = 0;
    for (QDate day = QDate::currentDate().addYears(-2); day < QDate::currentDate().addYears(2);
         day = day.addDays(1)) {
        int count = 0;
        for (int i = table.FindPlanOnDate(day, 1); i >= 1; i = table.FindPlanOnDate(day, i + 1))
            ++count;
        if (count > most) {
            most = count;
            busiest = day;
        }
    }
    const QString criteria = table.dayPlansCriteria(busiest);
    ours.clear();
    reference.clear();
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        kestrova::clsDataBase db(path);
        db.OpenDB(QStringLiteral("工作计划"));
        db.FilterString(criteria);
        const int listed = db.GetRecordCount();
        ours.push_back(timer.nsecsElapsed() / 1e6);
        if (listed != most)
            std::printf("warning: the filter found %d of %d plans\n", listed, most);
        db.CloseDB();

        timer.restart();
        {
            QSqlDatabase raw =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(path);
            raw.open();
            QString keys;
            for (int i = table.FindPlanOnDate(busiest, 1); i >= 1;
                 i = table.FindPlanOnDate(busiest, i + 1))
                keys += (keys.isEmpty() ? QString() : QStringLiteral(",")) + table.at(i).number;
            QSqlQuery query(raw);
            query.exec(QStringLiteral("SELECT rowid FROM \"工作计划\" WHERE \"编号\" IN (") + keys +
                       QStringLiteral(") ORDER BY rowid"));
            while (query.next()) {
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        reference.push_back(timer.nsecsElapsed() / 1e6);
    }
    printFigure(qPrintable(QStringLiteral("filter on the busiest day's %1 plans").arg(most)),
                median(ours), median(reference), "ms");
    return 0;
}
