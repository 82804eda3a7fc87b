#pragma once

#include "planmenus.h"
#include "reminder.h"

#include "customers/shared/recordlistwindow.h"

#include <QDate>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class QFrame;
class QGroupBox;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;

namespace kestrova {

class clsPlan;
class frmPlanInfo;
class MonthCalendar;
class RecordListModel;

// The work-plan window: on the right the plan list, one row per row of "工作计划"; on the left a
// month calendar whose days inside a plan's reminder period are bold, buttons that act on the
// calendar's date and the list of what is due today; a splitter between the two sides. Plans
// are viewed, edited and added in the plan dialog. List row r is row r of the window's cursor
// under the filter in force when the list was loaded; view, edit and delete find a row's plan
// by its "编号", so they act on the plan the row shows whatever the cursor's filter.
//
// Loading runs in slices from the event loop: the window repaints, its timer ticks and it shows
// progress meanwhile, and it refuses its commands until the whole list, the reminder table and
// the bold days are in place.
class frmPlan : public RecordListWindow
{
    Q_OBJECT

public:
    // Makes the pop-up menus for a window when it first needs one; the menus' holder should be
    // a child of `owner`, so the menus end with the window.
    using MenuProvider = std::function<PlanMenus(frmPlan *owner)>;
    // Shows the plan dialog; the default runs it modally. Tests drive the real dialog instead.
    using DialogRunner = std::function<void(frmPlanInfo &dialog)>;

    // Opens the plan table of the database file `dataPath` (empty: the program's "khdata.mdb")
    // and loads the window.
    explicit frmPlan(const QString &dataPath = {}, QWidget *parent = nullptr);
    ~frmPlan() override;

    // Where the window gets mnuPlan and mnuCalendar; without a provider it builds its own menu
    // holder acting on this window.
    void setMenuProvider(MenuProvider provider);
    static DialogRunner setDialogRunner(DialogRunner runner);
    // Rows read per slice of a load; 0 (the default) reads for a few tens of milliseconds at a
    // time. Returns the previous value.
    static int setLoadSliceRows(int rows);

    bool DataChanged() const { return m_dataChanged; }
    void setDataChanged(bool changed) { m_dataChanged = changed; }

    // Lays the window out with the splitter at `x` twips from the left edge.
    void SizeControls(double x);
    void InitPlanColumns();
    // Empties the list and reloads it from the cursor; the reminder table is rebuilt when
    // DataChanged is set. Finishes from the event loop when the table is long.
    void LoadPlanList();
    void LoadTodayList();
    // A new record holding the texts of list row `row`; null for rows outside the list.
    std::unique_ptr<clsPlan> FormatListViewItemToTplan(int row) const;
    // Writes the record into the cursor's current or pending row and commits. False, after
    // telling the user, when the database refused the commit.
    bool SaveTPlanToDataBase(clsPlan &TPlan);
    // Views (0), edits (1) or adds (2) a plan; a negative row means the current row.
    void OpenPlanInfo(int row, int style);
    // The plan dialog on `record`, then the write-back and the reload.
    void ShowPlanInfo(clsPlan &record, int style);
    // Deletes the plan of a list row at once, without asking.
    void DeletePlan(int row);
    void ShowAllPlans();
    // Lists the plans whose reminder period holds `date`; offers a new plan when there is none.
    void ShowDayPlans(QDate date);
    // Adds a plan whose reminder period is `date` alone.
    void NewDayPlan(QDate date);
    // Views the today-list entry's plan; an entry whose plan is gone is removed.
    void ShowTodayPlan(QListWidgetItem *entry);
    // The first reminder entry from `from` on whose period holds `date`, or -1.
    int FindPlanOnDate(QDate date, int from) const;
    // Shows exactly the days of the calendar's visible grid that a reminder period covers.
    // Unless forced it does nothing while the calendar stays in the month last done.
    void SetBoldDays(bool forced);

    int CurrentRow() const { return m_currentRow; }
    bool IsLoading() const { return m_loading; }
    const ReminderTable &reminders() const { return m_reminders; }
    QString boldMonth() const { return m_boldMonth; }
    RecordListView *lstvwPlanInfo() const { return m_list; }
    MonthCalendar *mvwPlan() const { return m_calendar; }
    QListWidget *lstDoToday() const { return m_today; }
    // The window's pop-up menus, made on first use.
    PlanMenus menus();
    QString DataPath() const { return m_dataPath; }

    // Besides the notice, the bold days and the today list follow another desk's change at once.
    void tableChangedElsewhere() override;
    // The criteria the list is filtered by (empty: every row), for exporting what is shown.
    QString currentFilter() const;

    // Designed client area, in twips.
    static constexpr int kDesignWidth = 9630;
    static constexpr int kDesignHeight = 7725;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void toolbarButtonClicked(QAction *button) override;
    bool ready() const override;
    void relayout() override { SizeControls(m_splitterX); }

private:
    struct Load
    {
        int total = 0;
        int done = 0;
        bool rebuildReminders = false;
        ReminderTable reminders;
        QVector<int> columnMap; // table column of each list column
        int startColumn = -1;
        int endColumn = -1;
        int keyColumn = -1;
        QString failure; // the server was lost
    };

    void buildMenus();
    void buildToolbar();
    void buildTitles();
    void buildPlanPanel();
    void buildSplitter();
    void readSlice();
    void finishLoad();
    void calendarMouseReleased(const QPoint &globalPos);
    // Puts the cursor on the plan with that "编号", whatever the filter; false when it is gone.
    bool moveToPlan(qint64 key);
    // The dialog and the write-back of ShowPlanInfo; returns whether the table changed.
    void runPlanDialog(clsPlan &record, int style);
    void refreshAfterDialog();
    // Reads the reminder periods and today's plans of the whole table again, so the calendar
    // and the today list show another desk's change; the list waits for "刷新".
    void followTableChanges();
    void unload();
    int windowWidthTwips() const;
    int innerTop() const;
    int innerHeightTwips() const;

    QString m_dataPath;
    RecordListModel *m_model = nullptr;
    MonthCalendar *m_calendar = nullptr;
    QListWidget *m_today = nullptr;
    QWidget *picTitles = nullptr;
    QLabel *lblTitle0 = nullptr;
    QLabel *lblTitle1 = nullptr;
    QProgressBar *m_progress = nullptr;
    QWidget *picPlan = nullptr;
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QPushButton *cmdNewPlan = nullptr;
    QPushButton *cmdViewOne = nullptr;
    QPushButton *cmdViewAll = nullptr;
    QPushButton *cmdDetails = nullptr;
    QFrame *imgSplitter = nullptr;
    QFrame *picSplitter = nullptr;
    QTimer *tmrSetBold = nullptr;
    QTimer m_sliceTimer;

    MenuProvider m_menuProvider;
    PlanMenus m_menus;

    Load m_load;
    ReminderTable m_reminders;
    QString m_boldMonth;
    int m_currentRow = 0;
    bool m_dataChanged = false;
    bool m_loading = false;
    bool m_inDialog = false;
    bool m_unloaded = false;
    bool m_splitterMoving = false;
    QStringList m_seen;           // the texts of the plan being edited, as the user was shown them
    bool m_followChanges = false; // another desk changed the table during a load or a dialog
    int m_splitterX = 0;          // twips: the grip's left edge
    int m_splitterBar = 0;        // twips: the drag bar's left edge while dragging
};

} // namespace kestrova
