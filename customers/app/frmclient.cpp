#include "frmclient.h"

#include "appstate.h"
#include "customers/shared/recordlistmodel.h"
#include "customers/shared/recordlistview.h"
#include "customers/shared/settings.h"
#include "customers/shared/toolbaricons.h"
#include "frmclientinfo.h"
#include "frmmenu.h"
#include "recordlistloader.h"

#include "customers/data/clsclient.h"
#include "customers/data/clsdatabase.h"
#include "platform/messagebox.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QToolBar>

namespace kestrova {

namespace {

// Designed client area and the narrowest the window may get, in twips.
constexpr int kDesignWidth = 10650;
constexpr int kDesignHeight = 8235;
constexpr int kMinimumWidth = 3000;

const QString &programTitle()
{
    static const QString title = QString::fromUtf16(kProgramTitle);
    return title;
}

struct Condition
{
    const char16_t *text;
    const char16_t *op;
};

// The find bar's conditions in their list order and the operators they stand for.
constexpr Condition kConditions[] = {
    {u"等于", u"="},      {u"小于", u"<"},      {u"大于", u">"},
    {u"小于等于", u"<="}, {u"大于等于", u">="}, {u"包含", u"LIKE"},
};

} // namespace

frmClient::frmClient(QWidget *parent)
    : RecordListWindow(std::make_unique<clsDataBase>(dataLocation()),
                       QSize(kDesignWidth, kDesignHeight), parent)
{
    setObjectName(QStringLiteral("frmClient"));
    setWindowTitle(programTitle());
    setWindowIcon(toolbarIcon(QStringLiteral("Kestrova")));
    setMinimumWidth(platform::twips(kMinimumWidth));

    m_dataChanged = true;
    openWindowTable(QString::fromUtf16(kClientTable), QStringLiteral("客户表"),
                    QStringLiteral("客户列表"));
    buildMenus();
    buildToolbar();
    buildFindBar();
    createList(QStringLiteral("lstvwClientInfo"));
    connect(m_list, &RecordListView::rowClicked, this, [this](int row) { m_currentRow = row; });
    connect(m_list, &RecordListView::rowDoubleClicked, this, &frmClient::listRowDoubleClicked);
    connect(m_list, &RecordListView::mouseReleased, this,
            [this](Qt::MouseButton button, const QPoint &globalPos) {
                popupListMenu(button, globalPos, [this] { return menuHolder()->mnuClient(); });
            });

    InitClientColumns();
    InitFindBar();
    resize(sizeHint());
    LoadClientList();
}

frmClient::~frmClient()
{
    if (m_loader)
        m_loader->cancel();
}

void frmClient::buildMenus()
{
    buildMenuBar();
    QMenu *mnuView = m_menuBar->addMenu(QStringLiteral("视图(&V)"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuViewToolbar = mnuView->addAction(QStringLiteral("工具栏(&T)"));
    mnuViewToolbar->setObjectName(QStringLiteral("mnuViewToolbar"));
    mnuViewToolbar->setCheckable(true);
    mnuViewToolbar->setChecked(true);
    connect(mnuViewToolbar, &QAction::toggled, this, [this](bool checked) {
        tbToolBar->setVisible(checked);
        SizeControls();
    });
    mnuViewStatusBar = mnuView->addAction(QStringLiteral("状态栏(&B)"));
    mnuViewStatusBar->setObjectName(QStringLiteral("mnuViewStatusBar"));
    mnuViewStatusBar->setCheckable(true);
    mnuViewStatusBar->setChecked(true);
    // The window has no status bar of its own; the item keeps its mark and does nothing.
    connect(mnuViewStatusBar, &QAction::triggered, this,
            [this] { mnuViewStatusBar->setChecked(true); });
}

void frmClient::buildToolbar()
{
    RecordListWindow::buildToolbar();
    addToolButton(QStringLiteral("向前"), QStringLiteral("向前"), QStringLiteral("Back"));
    addToolButton(QStringLiteral("返回"), QStringLiteral("返回"), QStringLiteral("Forward"));
    tbToolBar->addSeparator();
    addDataButton(QStringLiteral("新建"), QStringLiteral("新建"), QStringLiteral("New"));
    addDataButton(QStringLiteral("修改"), {}, QStringLiteral("Edit"));
    addDataButton(QStringLiteral("删除"), QStringLiteral("删除"), QStringLiteral("Delete"));
    addDataButton(QStringLiteral("属性"), QStringLiteral("属性"), QStringLiteral("Properties"));
    tbToolBar->addSeparator();
    addDataButton(QStringLiteral("刷新"), {}, QStringLiteral("Reflash"));
    addToolButton(QStringLiteral("查找"), QStringLiteral("查找"), QStringLiteral("Find"));
    tbToolBar->addSeparator();
    addViewModeButtons();
}

void frmClient::buildFindBar()
{
    picFind = new QWidget(this);
    picFind->setObjectName(QStringLiteral("picFind"));
    auto *layout = new QHBoxLayout(picFind);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->setSpacing(4);

    const auto label = [this](const QString &text) {
        auto *caption = new QLabel(text, picFind);
        return caption;
    };
    cmbTitleItems = new QComboBox(picFind);
    cmbTitleItems->setObjectName(QStringLiteral("cmbTitleItems"));
    cmbTitleItems->setMinimumContentsLength(6);
    cmbCondition = new QComboBox(picFind);
    cmbCondition->setObjectName(QStringLiteral("cmbCondition"));
    for (const Condition &condition : kConditions)
        cmbCondition->addItem(QString::fromUtf16(condition.text));
    txtFilte = new QLineEdit(picFind);
    txtFilte->setObjectName(QStringLiteral("txtFilte"));
    txtFilte->setMinimumWidth(80);
    connect(txtFilte, &QLineEdit::returnPressed, this, &frmClient::FindClients);

    TbrFind = new QToolBar(picFind);
    TbrFind->setObjectName(QStringLiteral("TbrFind"));
    TbrFind->setIconSize(QSize(16, 16));
    TbrFind->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction *find = TbrFind->addAction(toolbarIcon(QStringLiteral("Find")), QStringLiteral("查找"));
    find->setObjectName(QStringLiteral("查找"));
    connect(find, &QAction::triggered, this, &frmClient::FindClients);
    addDataCommand(find);

    cmbClass = new QComboBox(picFind);
    cmbClass->setObjectName(QStringLiteral("cmbClass"));
    cmbClass->addItems({QStringLiteral("显示全部"), QStringLiteral("丢失的客户"),
                        QStringLiteral("老客户"), QStringLiteral("潜在客户"),
                        QStringLiteral("新客户"), QStringLiteral("新经销商")});
    tbClass = new QToolBar(picFind);
    tbClass->setObjectName(QStringLiteral("tbClass"));
    tbClass->setIconSize(QSize(16, 16));
    tbClass->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction *classify =
        tbClass->addAction(toolbarIcon(QStringLiteral("Class")), QStringLiteral("分类"));
    classify->setObjectName(QStringLiteral("分类"));
    connect(classify, &QAction::triggered, this, &frmClient::ShowClassClients);
    addDataCommand(classify);

    // Shown over the foot of the list while a long load runs.
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgLoad"));
    m_progress->setFormat(QStringLiteral("正在读取 %v / %m"));
    m_progress->setAlignment(Qt::AlignCenter);
    m_progress->hide();

    layout->addWidget(label(QStringLiteral("选择字段")));
    layout->addWidget(cmbTitleItems);
    layout->addWidget(label(QStringLiteral("查找条件")));
    layout->addWidget(cmbCondition);
    layout->addWidget(label(QStringLiteral("查找内容")));
    layout->addWidget(txtFilte, 1);
    layout->addWidget(TbrFind);
    // Beside the find key, so the answer to a find is in view at the window's first width.
    layout->addWidget(rowCountLabel(picFind));
    layout->addSpacing(10);
    layout->addWidget(cmbClass);
    layout->addWidget(tbClass);
    layout->addStretch();
}

void frmClient::InitClientColumns()
{
    SetViewMode(ViewModeSetting());
    if (!m_model) {
        m_model = new RecordListModel(clientCaptions(), this);
        m_list->setModel(m_model);
        m_loader = new RecordListLoader(m_db.get(), m_model, this);
        connect(m_loader, &RecordListLoader::progress, this, &frmClient::loadProgress);
        connect(m_loader, &RecordListLoader::finished, this, &frmClient::loadFinished);
    }
}

void frmClient::InitFindBar()
{
    cmbTitleItems->clear();
    cmbTitleItems->addItems(clientCaptions());
    cmbTitleItems->setCurrentIndex(0);
    cmbCondition->setCurrentIndex(0);
}

void frmClient::SizeControls()
{
    if (!m_list)
        return;
    const int w = width();
    int y = 0;
    const int menuHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, w, menuHeight);
    y += menuHeight;
    // Hidden, the toolbar gives its place to the find bar, and the list follows below that.
    if (tbToolBar->isVisibleTo(this)) {
        const int toolbarHeight = tbToolBar->sizeHint().height();
        tbToolBar->setGeometry(0, y, w, toolbarHeight);
        y += toolbarHeight;
    }
    const int findHeight = picFind->sizeHint().height();
    picFind->setGeometry(0, y, w, findHeight);
    y += findHeight;
    y += placeChangeNotice(y, w);
    m_list->setGeometry(0, y, w, std::max(0, height() - y));
    const int barWidth = std::min(w - 12, 300);
    const int barHeight = m_progress->sizeHint().height();
    m_progress->setGeometry((w - barWidth) / 2, height() - barHeight - 24, barWidth, barHeight);
}

void frmClient::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    SizeControls();
}

bool frmClient::IsLoading() const
{
    return m_loader && m_loader->isLoading();
}

bool frmClient::ready() const
{
    return m_db->IsOpened() && !IsLoading();
}

void frmClient::LoadClientList()
{
    m_currentRow = 0;
    setCommandsEnabled(false);
    m_progress->setRange(0, 0);
    m_loader->start();
}

void frmClient::loadProgress(int done, int total)
{
    if (done >= total)
        return;
    m_progress->setRange(0, total);
    m_progress->setValue(done);
    m_progress->show();
    m_progress->raise();
}

void frmClient::loadFinished()
{
    m_progress->hide();
    if (m_list->rowCount() > 0) {
        const int added = m_selectAfterLoad >= 0 ? m_db->PositionOfKey(m_selectAfterLoad) : 0;
        m_currentRow = added > 0 && added <= m_list->rowCount() ? added : 1;
        m_list->selectRow(m_currentRow);
    } else {
        m_currentRow = 0;
    }
    m_selectAfterLoad = -1;
    m_dataChanged = false;
    showRowCount(m_list->rowCount());
    setCommandsEnabled(true);
    if (!m_loader->failure().isEmpty())
        reportError(QStringLiteral("客户列表没有读完"), m_loader->failure());
    emit listLoaded();
}

std::unique_ptr<clsClient> frmClient::FormatListViewItemToTClient(int row) const
{
    auto client = std::make_unique<clsClient>();
    if (!copyListRow(m_list, row, ClientColumnCount,
                     [&client](int k, const QString &text) { client->setMyProperty(k, text); }))
        return nullptr;
    return client;
}

bool frmClient::SaveTClientToDataBase(clsClient &client)
{
    return saveRecord(
        this, *m_db, clientCaptions(), ClientColumnCount,
        [&client](int k) { return client.MyProperty(k); }, QStringLiteral("客户资料没有保存"),
        m_db->CurrentEditMode() == clsDataBase::EditAdd ? QStringList() : m_seen);
}

void frmClient::ShowClientInfo(int style, clsClient &client)
{
    frmClientInfo dialog(this);
    dialog.setStyle(style);
    dialog.setTClient(&client);
    dialog.exec();
}

void frmClient::OpenClientInfo(int row, int style)
{
    if (!ready())
        return;
    if (row < 0)
        row = m_currentRow;
    std::unique_ptr<clsClient> client;
    try {
        if (style != StyleNew) {
            if (m_list->rowCount() == 0 || row < 1 || row > m_list->rowCount())
                return;
            client = FormatListViewItemToTClient(row);
            m_seen = m_model->rowTexts(row - 1);
            m_db->Move(row);
        } else {
            client = std::make_unique<clsClient>();
            m_db->AddNew();
            client->setRegisterDate(QDate::currentDate());
            client->setAuditing(false);
        }
    } catch (const DataError &error) {
        reportError(QStringLiteral("客户资料无法打开"), error.text());
        return;
    }
    ShowClientInfo(style, *client);
    bool saved = false;
    if (client->IsChangedDate()) {
        saved = SaveTClientToDataBase(*client);
        m_seen.clear();
        client->setIsChangedDate(false);
        if (saved)
            m_dataChanged = true;
    }
    // A new row the dialog did not save is dropped, whatever an earlier delete left in the
    // changed flag: a pending row must never be committed empty by the next cursor move.
    if (style == StyleNew && !saved)
        m_db->CancelUpdate();
    // A client just added is selected once the list is there, so the next command acts on it.
    m_selectAfterLoad = style == StyleNew && saved ? m_db->LastAddedKey() : -1;
    if (m_dataChanged)
        LoadClientList();
}

void frmClient::DeleteClient(int row)
{
    if (!ready())
        return;
    if (row < 0)
        row = m_currentRow;
    const int count = m_list->rowCount();
    if (count == 0 || row < 1 || row > count)
        return;
    try {
        m_db->Move(row);
        m_db->Delete();
    } catch (const DataError &error) {
        reportError(QStringLiteral("客户资料没有删除"), error.text());
        return;
    }
    m_dataChanged = true;
    m_model->removeListRow(row - 1);
    // The current row stays where it was; the row that moved into its place is selected.
    m_list->selectRow(m_currentRow <= m_list->rowCount() ? m_currentRow : 0);
}

void frmClient::ShowAllClients()
{
    if (IsLoading() || !reopenTable() || !removeFilter(QStringLiteral("客户列表")))
        return;
    clearChangeNotice();
    LoadClientList();
}

void frmClient::FindClients()
{
    if (!ready())
        return;
    const QString value = txtFilte->text();
    const QString column = cmbTitleItems->currentText();
    const QString condition = cmbCondition->currentText();
    if (value.isEmpty() || column.isEmpty() || condition.isEmpty()) {
        platform::messageBox(this, QStringLiteral("条件不完全，请正确输入"), programTitle(),
                             QMessageBox::NoIcon);
        return;
    }
    QString op;
    QString filter = value;
    for (const Condition &known : kConditions) {
        if (condition == QString::fromUtf16(known.text))
            op = QString::fromUtf16(known.op);
    }
    if (op == u"LIKE")
        filter = u'*' + value + u'*';
    m_db->FilterField(column, filter, op);
    LoadClientList();
}

void frmClient::ShowClassClients()
{
    if (!ready())
        return;
    if (cmbClass->currentIndex() <= 0) {
        if (!removeFilter(QStringLiteral("客户列表")))
            return;
    } else {
        m_db->FilterField(clientCaptions()[ClientProperty], cmbClass->currentText(),
                          QStringLiteral("="));
    }
    LoadClientList();
}

void frmClient::toolbarButtonClicked(QAction *button)
{
    const QString key = button->objectName();
    if (key == u"向前") {
        platform::messageBox(this, QStringLiteral("添加 '向前' 按钮代码。"), programTitle(),
                             QMessageBox::NoIcon);
    } else if (key == u"返回") {
        platform::messageBox(this, QStringLiteral("添加 '返回' 按钮代码。"), programTitle(),
                             QMessageBox::NoIcon);
    } else if (key == u"新建") {
        OpenClientInfo(m_currentRow, StyleNew);
    } else if (key == u"修改") {
        OpenClientInfo(m_currentRow, StyleEdit);
    } else if (key == u"删除") {
        DeleteClient(m_currentRow);
    } else if (key == u"属性") {
        OpenClientInfo(m_currentRow, StyleView);
    } else if (key == u"刷新") {
        ShowAllClients();
    }
    // "查找" on the main toolbar has no action; the find bar has its own.
}

frmMenu *frmClient::menuHolder()
{
    if (!m_menu)
        m_menu = new frmMenu(this);
    return m_menu;
}

void frmClient::listRowDoubleClicked()
{
    const int row = m_list->selectedRow();
    if (row > 0 && ready())
        OpenClientInfo(row, StyleView);
}

void frmClient::closeEvent(QCloseEvent *event)
{
    m_loader->cancel();
    SaveViewModeSetting(ViewMode());
    m_db->CloseDB();
    event->accept();
}

QString frmClient::currentFilter() const
{
    return m_db->Filter();
}

} // namespace kestrova
