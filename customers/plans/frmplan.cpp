#include "frmplan.h"

#include "customers/shared/recordlistmodel.h"
#include "customers/shared/recordlistview.h"
#include "customers/shared/settings.h"
#include "customers/shared/toolbaricons.h"
#include "frmplaninfo.h"
#include "monthcalendar.h"

#include "customers/data/clsdatabase.h"
#include "customers/data/clsplan.h"
#include "customers/data/columns.h"
#include "platform/messagebox.h"
#include "platform/shortdate.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace kestrova {

namespace {

// Sizes of the layout, in twips.
constexpr int kMinimumWidth = 3000;
constexpr int kTitleHeight = 300;
constexpr int kGripWidth = 40;
constexpr int kListGap = 40;     // from the grip's left edge to the list
constexpr int kListMargin = 140; // the list's width leaves this much of the window's width
constexpr int kPanelMinimum = 1500;
constexpr int kBarMinimum = 500;
constexpr int kSliceMilliseconds = 30;

const QString &programTitle()
{
    static const QString title = QString::fromUtf16(kProgramTitle);
    return title;
}

int toTwips(int pixels)
{
    return pixels * platform::kTwipsPerPixel;
}

int toPixels(double twips)
{
    return platform::twips(static_cast<int>(twips));
}

frmPlan::DialogRunner &dialogRunner()
{
    static frmPlan::DialogRunner runner;
    return runner;
}

int &sliceRows()
{
    static int rows = 0;
    return rows;
}

QString todayText()
{
    return platform::shortDate(QDate::currentDate());
}

} // namespace

frmPlan::frmPlan(const QString &dataPath, QWidget *parent)
    : RecordListWindow(dataPath.isEmpty() ? std::make_unique<clsDataBase>()
                                          : std::make_unique<clsDataBase>(dataPath),
                       QSize(kDesignWidth, kDesignHeight), parent)
    , m_dataPath(dataPath)
{
    setObjectName(QStringLiteral("frmPlan"));
    setWindowTitle(QStringLiteral("工作计划"));
    setMinimumWidth(platform::twips(kMinimumWidth));

    // Window load: the changed flag forces the first load to build the reminder table.
    m_dataChanged = true;
    m_reminders.clear();

    buildMenus();
    buildToolbar();
    buildTitles();
    buildPlanPanel();
    buildSplitter();
    createList(QStringLiteral("lstvwPlanInfo"));
    connect(m_list, &RecordListView::rowClicked, this, [this](int row) { m_currentRow = row; });
    connect(m_list, &RecordListView::rowDoubleClicked, this, [this] {
        if (m_list->selectedRow() > 0)
            OpenPlanInfo(m_list->selectedRow(), frmPlanInfo::View);
    });
    connect(m_list, &RecordListView::mouseReleased, this,
            [this](Qt::MouseButton button, const QPoint &globalPos) {
                popupListMenu(button, globalPos, [this] { return menus().mnuPlan.data(); });
            });
    picSplitter->raise();

    tmrSetBold = new QTimer(this);
    tmrSetBold->setObjectName(QStringLiteral("tmrSetBold"));
    tmrSetBold->setInterval(200);
    connect(tmrSetBold, &QTimer::timeout, this, [this] { SetBoldDays(false); });
    m_sliceTimer.setInterval(0);
    connect(&m_sliceTimer, &QTimer::timeout, this, &frmPlan::readSlice);

    openWindowTable(QString::fromUtf16(kPlanTable), QStringLiteral("工作计划表"),
                    QStringLiteral("计划列表"));

    InitPlanColumns();
    m_splitterX = std::max(toTwips(picPlan->sizeHint().width()), 3000);
    resize(sizeHint());
    SizeControls(m_splitterX);
    tmrSetBold->start();
    LoadPlanList();
}

frmPlan::~frmPlan()
{
    unload();
}

frmPlan::DialogRunner frmPlan::setDialogRunner(DialogRunner runner)
{
    DialogRunner previous = std::move(dialogRunner());
    dialogRunner() = std::move(runner);
    return previous;
}

int frmPlan::setLoadSliceRows(int rows)
{
    const int previous = sliceRows();
    sliceRows() = std::max(0, rows);
    return previous;
}

void frmPlan::setMenuProvider(MenuProvider provider)
{
    m_menuProvider = std::move(provider);
}

PlanMenus frmPlan::menus()
{
    if (!m_menus.mnuPlan || !m_menus.mnuCalendar) {
        if (m_menuProvider) {
            m_menus = m_menuProvider(this);
        } else {
            auto *holder = new QWidget(this);
            holder->setObjectName(QStringLiteral("planMenuHolder"));
            holder->hide();
            const QPointer<frmPlan> self(this);
            m_menus = buildPlanMenus(holder, [self] { return self.data(); });
        }
    }
    return m_menus;
}

void frmPlan::buildMenus()
{
    buildMenuBar();
}

void frmPlan::buildToolbar()
{
    RecordListWindow::buildToolbar();
    addDataButton(QStringLiteral("新建"), QStringLiteral("新建"), QStringLiteral("New"));
    addDataButton(QStringLiteral("修改"), QStringLiteral("修改"), QStringLiteral("Edit"));
    addDataButton(QStringLiteral("删除"), QStringLiteral("删除"), QStringLiteral("Delete"));
    addDataButton(QStringLiteral("属性"), QStringLiteral("属性"), QStringLiteral("Properties"));
    tbToolBar->addSeparator();
    addDataButton(QStringLiteral("刷新"), QStringLiteral("刷新"), QStringLiteral("Reflash"));
    addToolButton(QStringLiteral("预览"), QStringLiteral("工作计划预览"), QStringLiteral("View"));
    tbToolBar->addSeparator();
    addViewModeButtons();
}

void frmPlan::buildTitles()
{
    picTitles = new QWidget(this);
    picTitles->setObjectName(QStringLiteral("picTitles"));
    lblTitle0 = new QLabel(QStringLiteral(" 工作计划："), picTitles);
    lblTitle0->setObjectName(QStringLiteral("lblTitle_0"));
    lblTitle1 = new QLabel(QStringLiteral(" 工作计划列表："), picTitles);
    lblTitle1->setObjectName(QStringLiteral("lblTitle_1"));
    for (QLabel *title : {lblTitle0, lblTitle1}) {
        title->setFrameShape(QFrame::Panel);
        title->setFrameShadow(QFrame::Raised);
        title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    rowCountLabel(picTitles);
    m_progress = new QProgressBar(picTitles);
    m_progress->setObjectName(QStringLiteral("prgLoad"));
    m_progress->setFormat(QStringLiteral("正在读取 %v / %m"));
    m_progress->hide();
}

void frmPlan::buildPlanPanel()
{
    picPlan = new QWidget(this);
    picPlan->setObjectName(QStringLiteral("picPlan"));
    auto *layout = new QVBoxLayout(picPlan);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(6);

    Frame1 = new QGroupBox(QStringLiteral("日历"), picPlan);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *calendarLayout = new QVBoxLayout(Frame1);
    calendarLayout->setContentsMargins(4, 4, 4, 4);
    m_calendar = new MonthCalendar(Frame1);
    m_calendar->setObjectName(QStringLiteral("mvwPlan"));
    calendarLayout->addWidget(m_calendar);
    connect(m_calendar, &MonthCalendar::dateDoubleClicked, this, &frmPlan::ShowDayPlans);
    connect(m_calendar, &MonthCalendar::rightButtonReleased, this, &frmPlan::calendarMouseReleased);
    connect(m_calendar, &QCalendarWidget::currentPageChanged, this, [this] { SetBoldDays(false); });

    const auto button = [this](const char16_t *name, const char16_t *caption) {
        auto *command = new QPushButton(QString::fromUtf16(caption), picPlan);
        command->setObjectName(QString::fromUtf16(name));
        command->setAutoDefault(false);
        addDataCommand(command);
        return command;
    };
    cmdNewPlan = button(u"cmdNewPlan", u"新建该天计划");
    cmdViewOne = button(u"cmdViewOne", u"显示该天计划");
    cmdViewAll = button(u"cmdViewAll", u"显示全部计划");
    connect(cmdNewPlan, &QPushButton::clicked, this,
            [this] { NewDayPlan(m_calendar->selectedDate()); });
    connect(cmdViewOne, &QPushButton::clicked, this,
            [this] { ShowDayPlans(m_calendar->selectedDate()); });
    connect(cmdViewAll, &QPushButton::clicked, this, &frmPlan::ShowAllPlans);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    for (QPushButton *command : {cmdNewPlan, cmdViewOne, cmdViewAll})
        buttons->addWidget(command);

    Frame2 = new QGroupBox(QStringLiteral("提醒"), picPlan);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto *todayLayout = new QVBoxLayout(Frame2);
    todayLayout->setContentsMargins(6, 4, 6, 6);
    todayLayout->setSpacing(4);
    auto *label = new QLabel(QStringLiteral("今天要完成的事："), Frame2);
    label->setObjectName(QStringLiteral("Label1"));
    m_today = new QListWidget(Frame2);
    m_today->setObjectName(QStringLiteral("lstDoToday"));
    cmdDetails = new QPushButton(QStringLiteral("显示详细信息"), Frame2);
    cmdDetails->setObjectName(QStringLiteral("cmdDetails"));
    cmdDetails->setAutoDefault(false);
    addDataCommand(cmdDetails);
    connect(cmdDetails, &QPushButton::clicked, this,
            [this] { ShowTodayPlan(m_today->currentItem()); });
    connect(m_today, &QListWidget::itemDoubleClicked, this, &frmPlan::ShowTodayPlan);
    todayLayout->addWidget(label);
    todayLayout->addWidget(m_today, 1);
    todayLayout->addWidget(cmdDetails, 0, Qt::AlignRight);

    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    layout->addWidget(Frame2, 1);
}

void frmPlan::buildSplitter()
{
    imgSplitter = new QFrame(this);
    imgSplitter->setObjectName(QStringLiteral("imgSplitter"));
    imgSplitter->setCursor(Qt::SplitHCursor);
    imgSplitter->installEventFilter(this);
    picSplitter = new QFrame(this);
    picSplitter->setObjectName(QStringLiteral("picSplitter"));
    picSplitter->setAutoFillBackground(true);
    QPalette bar = picSplitter->palette();
    bar.setColor(QPalette::Window, QColor(0x40, 0x40, 0x40));
    picSplitter->setPalette(bar);
    picSplitter->hide();
}

int frmPlan::innerTop() const
{
    return m_menuBar ? m_menuBar->sizeHint().height() : 0;
}

int frmPlan::innerHeightTwips() const
{
    return toTwips(height() - innerTop());
}

int frmPlan::windowWidthTwips() const
{
    // The width of the whole window, frame included, as the layout's margins expect.
    if (const auto *sub = qobject_cast<const QMdiSubWindow *>(parentWidget()))
        return toTwips(sub->width());
    return toTwips(width());
}

void frmPlan::SizeControls(double x)
{
    if (!m_list)
        return;
    const int top = innerTop();
    m_menuBar->setGeometry(0, 0, width(), top);
    const int windowWidth = windowWidthTwips();
    if (x < kPanelMinimum)
        x = kPanelMinimum;
    if (x > windowWidth - kPanelMinimum)
        x = windowWidth - kPanelMinimum;
    m_splitterX = static_cast<int>(x);

    const int toolbarHeight = tbToolBar->isVisibleTo(this) ? tbToolBar->sizeHint().height() : 0;
    if (toolbarHeight > 0)
        tbToolBar->setGeometry(0, top, width(), toolbarHeight);
    const double panelWidth = x;
    const double listLeft = x + kListGap;
    const double listWidth = windowWidth - (panelWidth + kListMargin);
    const int titleTop = toTwips(toolbarHeight);
    picTitles->setGeometry(0, top + toolbarHeight, width(), toPixels(kTitleHeight));
    lblTitle0->setGeometry(0, 0, std::max(0, toPixels(panelWidth)), toPixels(kTitleHeight));
    lblTitle1->setGeometry(toPixels(listLeft + 20), 0, std::max(0, toPixels(listWidth - 40)),
                           toPixels(kTitleHeight));
    const int progressWidth = std::min(180, std::max(0, toPixels(listWidth - 40) / 2));
    m_progress->setGeometry(lblTitle1->geometry().right() - progressWidth, 1, progressWidth,
                            toPixels(kTitleHeight) - 2);
    rowCountLabel(picTitles)->setGeometry(m_progress->geometry().adjusted(0, 0, -6, 0));

    const double panelTop = titleTop + kTitleHeight;
    const double panelHeight = innerHeightTwips() - (titleTop + kTitleHeight);
    const int notice = placeChangeNotice(top + toPixels(panelTop), width());
    const int y = top + toPixels(panelTop) + notice;
    const int h = std::max(0, toPixels(panelHeight) - notice);
    picPlan->setGeometry(0, y, std::max(0, toPixels(panelWidth)), h);
    m_list->setGeometry(toPixels(listLeft), y, std::max(0, toPixels(listWidth)), h);
    imgSplitter->setGeometry(toPixels(x), y, toPixels(kGripWidth), h);
}

void frmPlan::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    SizeControls(m_splitterX);
}

bool frmPlan::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == imgSplitter) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() != Qt::LeftButton)
                break;
            const QRect grip = imgSplitter->geometry();
            m_splitterBar = toTwips(grip.left());
            picSplitter->setGeometry(grip.left(), grip.top(), toPixels(toTwips(grip.width()) / 2),
                                     toPixels(toTwips(grip.height()) - 20));
            picSplitter->show();
            picSplitter->raise();
            m_splitterMoving = true;
            return true;
        }
        case QEvent::MouseMove: {
            if (!m_splitterMoving)
                break;
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const int position = toTwips(imgSplitter->x()) + toTwips(qRound(mouse->position().x()));
            const int windowWidth = windowWidthTwips();
            if (position < kBarMinimum)
                m_splitterBar = kBarMinimum;
            else if (position > windowWidth - kBarMinimum)
                m_splitterBar = windowWidth - kBarMinimum;
            else
                m_splitterBar = position;
            picSplitter->move(toPixels(m_splitterBar), picSplitter->y());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            if (!m_splitterMoving)
                break;
            SizeControls(m_splitterBar);
            picSplitter->hide();
            m_splitterMoving = false;
            return true;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmPlan::closeEvent(QCloseEvent *event)
{
    unload();
    event->accept();
}

void frmPlan::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_sliceTimer.stop();
    m_loading = false;
    if (tmrSetBold)
        tmrSetBold->stop();
    if (m_list)
        SaveViewModeSetting(m_list->viewMode());
    m_db->CloseDB();
}

void frmPlan::InitPlanColumns()
{
    SetViewMode(ViewModeSetting());
    if (!m_model) {
        m_model = new RecordListModel(this);
        m_list->setModel(m_model);
    }
    m_model->setHeaders(planCaptions());
}

bool frmPlan::ready() const
{
    return !m_unloaded && !m_loading && !m_inDialog && m_db->IsOpened();
}

void frmPlan::LoadPlanList()
{
    if (m_loading || m_unloaded)
        return;
    m_sliceTimer.stop();
    m_model->clear();
    m_load = Load{};
    m_loading = true;
    setCommandsEnabled(false);
    m_progress->hide();
    if (!m_db->IsOpened()) {
        m_load.rebuildReminders = m_dataChanged;
        finishLoad();
        return;
    }
    try {
        m_load.total = m_db->GetRecordCount();
    } catch (const DataError &error) {
        if (error.kind() == DataError::ConnectionLost)
            m_load.failure = error.text();
        finishLoad();
        return;
    }
    // The reminder table follows the rows only when the table changed; an emptied table
    // empties it too, so no day stays bold for plans that are gone.
    m_load.rebuildReminders = m_dataChanged;
    if (m_load.rebuildReminders)
        m_load.reminders.reserve(m_load.total);
    for (const QString &header : m_model->headers()) {
        const int column = m_db->ColumnIndex(header);
        if (column < 0 && m_load.total > 0)
            m_db->GetRecord(header); // reports the damaged table and ends the program
        m_load.columnMap.append(column);
    }
    const QStringList &captions = planCaptions();
    m_load.startColumn = m_db->ColumnIndex(captions[PlanStartRemind]);
    m_load.endColumn = m_db->ColumnIndex(captions[PlanEndRemind]);
    m_load.keyColumn = m_db->ColumnIndex(captions[PlanID]);
    readSlice();
    if (m_loading)
        m_sliceTimer.start();
}

void frmPlan::readSlice()
{
    if (!m_loading)
        return;
    QElapsedTimer clock;
    clock.start();
    const int limit = sliceRows();
    try {
        while (m_load.done < m_load.total) {
            const int want =
                limit > 0 ? std::min(limit, clsDataBase::kBlockRows) : clsDataBase::kBlockRows;
            const QList<QStringList> rows = m_db->ReadRows(m_load.done + 1, want);
            if (rows.isEmpty()) {
                m_load.total = m_load.done;
                break;
            }
            QList<QStringList> listRows;
            listRows.reserve(rows.size());
            for (const QStringList &row : rows) {
                QStringList texts;
                texts.reserve(m_load.columnMap.size());
                for (const int column : std::as_const(m_load.columnMap))
                    texts.append(column >= 0 ? row.value(column) : QString());
                listRows.append(std::move(texts));
                if (m_load.rebuildReminders) {
                    m_load.reminders.append(ReminderEntry::fromTexts(row.value(m_load.startColumn),
                                                                     row.value(m_load.endColumn),
                                                                     row.value(m_load.keyColumn)));
                }
            }
            m_model->appendRows(listRows);
            m_load.done += static_cast<int>(rows.size());
            if (limit > 0 || clock.elapsed() >= kSliceMilliseconds)
                break;
        }
    } catch (const DataError &error) {
        if (error.kind() == DataError::ConnectionLost) {
            // The rows read so far stay; the next command reconnects.
            m_load.failure = error.text();
        } else {
            // Read the failing row the ordinary way, which reports the damage and ends the
            // program.
            m_db->Move(m_load.done + 1);
            m_db->GetRecordAt(0);
        }
        m_load.total = m_load.done;
    }
    if (m_load.done >= m_load.total) {
        finishLoad();
        return;
    }
    m_progress->setRange(0, m_load.total);
    m_progress->setValue(m_load.done);
    m_progress->show();
}

void frmPlan::finishLoad()
{
    m_sliceTimer.stop();
    m_progress->hide();
    // A load the server broke off keeps the reminder table it had.
    const QString failure = m_load.failure;
    if (m_load.rebuildReminders && failure.isEmpty())
        m_reminders = std::move(m_load.reminders);
    m_load = Load{};
    if (m_list->rowCount() > 0) {
        m_list->selectRow(1);
        m_currentRow = 1;
    }
    LoadTodayList();
    // Unless the whole table was read, the next load rebuilds the reminder table again.
    m_dataChanged = m_dataChanged && !failure.isEmpty();
    m_loading = false;
    showRowCount(m_list->rowCount());
    setCommandsEnabled(true);
    // A tick during the load saw the previous table; the days now follow the complete one.
    SetBoldDays(true);
    if (m_followChanges)
        followTableChanges();
    if (!failure.isEmpty())
        reportError(QStringLiteral("计划列表没有读完"), failure);
    emit listLoaded();
}

void frmPlan::LoadTodayList()
{
    m_today->clear();
    if (!m_db->IsOpened())
        return;
    const QStringList &captions = planCaptions();
    const QString today = todayText();
    const QString criteria = captions[PlanStartRemind] + QStringLiteral(" <= ") + today +
                             QStringLiteral(" AND ") + captions[PlanEndRemind] +
                             QStringLiteral(" >= ") + today;
    try {
        m_db->FilterString(criteria);
        const int count = m_db->GetRecordCount();
        const int itemColumn = m_db->ColumnIndex(captions[PlanItem]);
        const int keyColumn = m_db->ColumnIndex(captions[PlanID]);
        const QList<QStringList> rows = m_db->ReadRows(1, count);
        for (const QStringList &row : rows) {
            auto *entry = new QListWidgetItem(row.value(itemColumn));
            entry->setData(Qt::UserRole, row.value(keyColumn).toInt());
            m_today->addItem(entry);
        }
        if (m_today->count() > 0)
            m_today->setCurrentRow(0);
    } catch (const DataError &) {
        // The list stays as far as it got; the filter is removed below either way.
    }
    try {
        m_db->CancelFilter();
    } catch (const DataError &) {
    }
}

std::unique_ptr<clsPlan> frmPlan::FormatListViewItemToTplan(int row) const
{
    auto plan = std::make_unique<clsPlan>();
    if (!copyListRow(m_list, row, PlanColumnCount,
                     [&plan](int k, const QString &text) { plan->setMyProperty(k, text); }))
        return nullptr;
    return plan;
}

bool frmPlan::SaveTPlanToDataBase(clsPlan &TPlan)
{
    return saveRecord(
        this, *m_db, planCaptions(), PlanColumnCount,
        [&TPlan](int k) { return TPlan.MyProperty(k); }, QStringLiteral("工作计划没有保存"),
        m_db->CurrentEditMode() == clsDataBase::EditAdd ? QStringList() : m_seen);
}

bool frmPlan::moveToPlan(qint64 key)
{
    // The keyset is taken afresh, so a plan another copy of the program deleted is not found.
    m_db->Requery();
    if (m_db->MoveToKey(key))
        return true;
    if (m_db->Filter().isEmpty())
        return false;
    m_db->CancelFilter();
    return m_db->MoveToKey(key);
}

void frmPlan::OpenPlanInfo(int row, int style)
{
    if (!ready())
        return;
    if (row < 0)
        row = m_currentRow;
    std::unique_ptr<clsPlan> record;
    try {
        if (style != frmPlanInfo::New) {
            const int count = m_list->rowCount();
            if (count == 0 || row > count)
                return;
            record = FormatListViewItemToTplan(row);
            if (!record)
                return;
            m_seen = m_model->rowTexts(row - 1);
            bool numeric = false;
            const qint64 key = record->ID().toLongLong(&numeric);
            if (!numeric || !moveToPlan(key)) {
                platform::messageBox(this, QStringLiteral("该计划已经删除"), programTitle());
                m_dataChanged = true;
                LoadPlanList();
                return;
            }
        } else {
            record = std::make_unique<clsPlan>();
            m_db->AddNew();
            record->setRegisterDate(todayText());
            record->setAuditing(QStringLiteral("False"));
        }
    } catch (const DataError &error) {
        reportError(QStringLiteral("工作计划无法打开"), error.text());
        return;
    }
    ShowPlanInfo(*record, style);
}

void frmPlan::runPlanDialog(clsPlan &record, int style)
{
    m_inDialog = true;
    {
        frmPlanInfo dialog(m_dataPath, this);
        dialog.setStyle(style);
        dialog.setTPlan(&record);
        if (dialogRunner())
            dialogRunner()(dialog);
        else
            dialog.exec();
    }
    m_inDialog = false;
    bool saved = false;
    if (record.IsChangedDate()) {
        saved = SaveTPlanToDataBase(record);
        m_seen.clear();
        record.setIsChangedDate(false);
        if (saved)
            m_dataChanged = true;
    }
    // A new row the dialog did not save is dropped, so no cursor move commits it empty.
    if (style == frmPlanInfo::New && !saved)
        m_db->CancelUpdate();
}

void frmPlan::refreshAfterDialog()
{
    if (m_dataChanged)
        LoadPlanList();
    else if (m_followChanges)
        followTableChanges();
    SetBoldDays(true);
}

void frmPlan::tableChangedElsewhere()
{
    RecordListWindow::tableChangedElsewhere();
    m_followChanges = true;
    // During a load or a dialog the change is followed when they end.
    if (ready())
        followTableChanges();
}

void frmPlan::followTableChanges()
{
    m_followChanges = false;
    if (m_unloaded || !m_db->IsOpened())
        return;
    const QStringList &captions = planCaptions();
    ReminderTable reminders;
    try {
        // After every load the cursor stands on the whole table, as it does here.
        m_db->CancelFilter();
        const int start = m_db->ColumnIndex(captions[PlanStartRemind]);
        const int end = m_db->ColumnIndex(captions[PlanEndRemind]);
        const int key = m_db->ColumnIndex(captions[PlanID]);
        const QList<QStringList> rows = m_db->ReadRows(1, m_db->GetRecordCount());
        reminders.reserve(static_cast<int>(rows.size()));
        for (const QStringList &row : rows)
            reminders.append(
                ReminderEntry::fromTexts(row.value(start), row.value(end), row.value(key)));
    } catch (const DataError &) {
        // The table cannot be read now; the next command tells the user.
        return;
    }
    m_reminders = std::move(reminders);
    LoadTodayList();
    SetBoldDays(true);
}

void frmPlan::ShowPlanInfo(clsPlan &record, int style)
{
    if (m_inDialog || m_unloaded)
        return;
    runPlanDialog(record, style);
    if (!m_unloaded)
        refreshAfterDialog();
}

void frmPlan::DeletePlan(int row)
{
    if (!ready())
        return;
    if (row < 0)
        row = m_currentRow;
    const int count = m_list->rowCount();
    if (count > 0 && row >= 1 && row <= count) {
        bool numeric = false;
        const qint64 key = m_model->text(row - 1, PlanID).toLongLong(&numeric);
        try {
            // A plan that is already gone needs no delete; the reload shows the table as it is.
            if (numeric && moveToPlan(key))
                m_db->Delete();
        } catch (const DataError &error) {
            reportError(QStringLiteral("工作计划没有删除"), error.text());
            return;
        }
        m_dataChanged = true;
        LoadPlanList();
    }
    SetBoldDays(true);
}

void frmPlan::ShowAllPlans()
{
    if (m_unloaded || m_loading || m_inDialog || !reopenTable() ||
        !removeFilter(QStringLiteral("计划列表")))
        return;
    // Another desk's change reaches the reminder table with the reload.
    if (changeNoticeShown())
        m_dataChanged = true;
    clearChangeNotice();
    LoadPlanList();
}

int frmPlan::FindPlanOnDate(QDate date, int from) const
{
    return m_reminders.FindPlanOnDate(date, from);
}

void frmPlan::ShowDayPlans(QDate date)
{
    if (!ready())
        return;
    const QString criteria = m_reminders.dayPlansCriteria(date);
    if (FindPlanOnDate(date, 1) < 1 || criteria.isEmpty()) {
        const auto answer = platform::messageBox(
            {this, QStringLiteral("该日期没有任何计划,是否要创建一个新计划"), programTitle(),
             QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel});
        if (answer == QMessageBox::Ok)
            NewDayPlan(date);
        return;
    }
    try {
        m_db->FilterString(criteria);
    } catch (const DataError &error) {
        reportError(QStringLiteral("该日期的计划无法列出"), error.text());
        return;
    }
    LoadPlanList();
}

void frmPlan::NewDayPlan(QDate date)
{
    if (!ready() || !date.isValid())
        return;
    clsPlan record;
    try {
        m_db->AddNew();
    } catch (const DataError &error) {
        reportError(QStringLiteral("工作计划无法新建"), error.text());
        return;
    }
    record.setStartRemind(platform::shortDate(date));
    record.setEndRemind(platform::shortDate(date));
    record.setRegisterDate(todayText());
    record.setAuditing(QStringLiteral("False"));
    ShowPlanInfo(record, frmPlanInfo::New);
}

void frmPlan::ShowTodayPlan(QListWidgetItem *entry)
{
    if (!ready() || !entry || entry->text().isEmpty())
        return;
    const QStringList &captions = planCaptions();
    clsPlan record;
    try {
        m_db->FilterString(captions[PlanID] + QStringLiteral(" = ") +
                           QString::number(entry->data(Qt::UserRole).toInt()));
        if (m_db->GetRecordCount() < 1) {
            platform::messageBox(this, QStringLiteral("该计划已经删除"), programTitle());
            delete entry;
            m_db->CancelFilter();
            return;
        }
        m_seen.clear();
        for (int k = 0; k < PlanColumnCount; ++k) {
            m_seen.append(m_db->GetRecord(captions[k]));
            record.setMyProperty(k, m_seen.constLast());
        }
    } catch (const DataError &error) {
        reportError(QStringLiteral("工作计划无法打开"), error.text());
        return;
    }
    runPlanDialog(record, frmPlanInfo::View);
    if (m_unloaded)
        return;
    // The reload after a change shows the whole table, not just this plan.
    try {
        m_db->CancelFilter();
    } catch (const DataError &) {
    }
    refreshAfterDialog();
}

void frmPlan::SetBoldDays(bool forced)
{
    if (m_unloaded)
        return;
    const QString key = monthKey(m_calendar->yearShown(), m_calendar->monthShown());
    if (!forced && key == m_boldMonth)
        return;
    m_calendar->setBoldDates(m_reminders.coveredDays(
        m_calendar->visibleCell(1), m_calendar->visibleCell(MonthCalendar::kCells)));
    m_boldMonth = key;
}

void frmPlan::toolbarButtonClicked(QAction *button)
{
    const QString key = button->objectName();
    if (key == u"新建")
        OpenPlanInfo(m_currentRow, frmPlanInfo::New);
    else if (key == u"修改")
        OpenPlanInfo(m_currentRow, frmPlanInfo::Edit);
    else if (key == u"删除")
        DeletePlan(m_currentRow);
    else if (key == u"属性")
        OpenPlanInfo(m_currentRow, frmPlanInfo::View);
    else if (key == u"刷新")
        ShowAllPlans();
}

void frmPlan::calendarMouseReleased(const QPoint &globalPos)
{
    if (!ready())
        return;
    QMenu *menu = menus().mnuCalendar;
    if (!menu)
        return;
    if (auto *viewOne = menu->findChild<QAction *>(QStringLiteral("mnuCalendarViewOne")))
        viewOne->setEnabled(m_calendar->isBold(m_calendar->selectedDate()));
    menu->popup(globalPos);
}

QString frmPlan::currentFilter() const
{
    return m_db->Filter();
}

} // namespace kestrova
