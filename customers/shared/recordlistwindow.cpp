#include "recordlistwindow.h"

#include "opendatabase.h"
#include "recordlistmodel.h"
#include "recordlistview.h"
#include "settings.h"
#include "toolbaricons.h"
#include "viewmodebuttons.h"

#include "customers/data/changenotifier.h"
#include "customers/data/clsdatabase.h"
#include "customers/data/columns.h"
#include "platform/messagebox.h"
#include "platform/twips.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace kestrova {

RecordListWindow::RecordListWindow(std::unique_ptr<clsDataBase> database, QSize designTwips,
                                   QWidget *parent)
    : QWidget(parent)
    , m_db(std::move(database))
    , m_designTwips(designTwips)
{
    m_changeNotice = new QLabel(changeNoticeText(), this);
    m_changeNotice->setObjectName(QStringLiteral("lblChangeNotice"));
    // An information bar: it must be seen, but it is no error.
    m_changeNotice->setStyleSheet(QStringLiteral(
        "QLabel { background: #fff4c2; color: #3d3000; border-bottom: 1px solid #d9c36a;"
        " padding: 3px 8px; }"));
    m_changeNotice->hide();
}

RecordListWindow::~RecordListWindow() = default;

QSize RecordListWindow::sizeHint() const
{
    const int menu = m_menuBar ? m_menuBar->sizeHint().height() : 0;
    return {platform::twips(m_designTwips.width()), platform::twips(m_designTwips.height()) + menu};
}

QString RecordListWindow::rowCountText(int rows)
{
    return QStringLiteral("共 %1 条").arg(rows);
}

QString RecordListWindow::changeNoticeText()
{
    return QStringLiteral("其他用户修改了数据，按“刷新”查看");
}

bool RecordListWindow::changeNoticeShown() const
{
    return !m_changeNotice->isHidden();
}

void RecordListWindow::tableChangedElsewhere()
{
    if (!m_changeNotice->isHidden())
        return;
    m_changeNotice->show();
    m_changeNotice->raise();
    relayout();
}

void RecordListWindow::clearChangeNotice()
{
    if (m_changeNotice->isHidden())
        return;
    m_changeNotice->hide();
    relayout();
}

int RecordListWindow::placeChangeNotice(int y, int width)
{
    if (m_changeNotice->isHidden())
        return 0;
    const int height = m_changeNotice->sizeHint().height();
    m_changeNotice->setGeometry(0, y, width, height);
    return height;
}

bool RecordListWindow::openWindowTable(const QString &table, const QString &tableName,
                                       const QString &list)
{
    m_table = table;
    const bool opened = openTable(*m_db, table, this);
    if (m_db->Location().isServer()) {
        auto *notifier = new ChangeNotifier(m_db->Location(), this);
        connect(notifier, &ChangeNotifier::externalChange, this, [this](const QString &changed) {
            if (changed == m_table)
                tableChangedElsewhere();
        });
    }
    if (!opened) {
        // A server says why; a missing file needs no more words.
        QString reason;
        if (m_db->ErrorKind() != DataError::General) {
            try {
                reason = m_db->Error().text();
            } catch (const DataError &) {
            }
        }
        platform::messageBox(this,
                             QStringLiteral("无法打开数据库“%1”中的%2，%3将是空的。")
                                     .arg(m_db->DataPath(), tableName, list) +
                                 (reason.isEmpty() ? QString() : u'\n' + reason),
                             QString::fromUtf16(kProgramTitle), QMessageBox::Warning);
    }
    return opened;
}

bool RecordListWindow::reopenTable()
{
    if (m_db->IsOpened() || m_table.isEmpty())
        return m_db->IsOpened();
    if (openTable(*m_db, m_table, this))
        return true;
    try {
        reportError(QStringLiteral("数据库仍无法打开"), m_db->Error().text());
    } catch (const DataError &) {
    }
    return false;
}

bool RecordListWindow::removeFilter(const QString &list)
{
    try {
        m_db->CancelFilter();
    } catch (const DataError &error) {
        if (error.kind() == DataError::ConnectionLost) {
            reportError(list + QStringLiteral("无法刷新"), error.text());
            return false;
        }
    }
    return true;
}

void RecordListWindow::reportError(const QString &what, const QString &reason)
{
    platform::messageBox(this, what + QStringLiteral("：") + reason,
                         QString::fromUtf16(kProgramTitle), QMessageBox::Warning);
}

QMenuBar *RecordListWindow::buildMenuBar()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    m_menuBar->setNativeMenuBar(false);
    QMenu *mnuFile = m_menuBar->addMenu(QStringLiteral("文件(&F)"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileClose = mnuFile->addAction(QStringLiteral("关闭(&C)"));
    mnuFileClose->setObjectName(QStringLiteral("mnuFileClose"));
    connect(mnuFileClose, &QAction::triggered, this, &RecordListWindow::closeWindow);
    return m_menuBar;
}

void RecordListWindow::buildToolbar()
{
    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setIconSize(QSize(24, 24));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
}

QAction *RecordListWindow::addToolButton(const QString &key, const QString &toolTip,
                                         const QString &iconKey)
{
    auto *button = new QAction(toolbarIcon(iconKey), toolTip, tbToolBar);
    button->setObjectName(key);
    tbToolBar->addAction(button);
    connect(button, &QAction::triggered, this, [this, button] {
        if (!button->isCheckable())
            toolbarButtonClicked(button);
    });
    return button;
}

QAction *RecordListWindow::addDataButton(const QString &key, const QString &toolTip,
                                         const QString &iconKey)
{
    QAction *button = addToolButton(key, toolTip, iconKey);
    addDataCommand(button);
    return button;
}

void RecordListWindow::addViewModeButtons()
{
    m_viewButtons = new ViewModeButtons(
        [this](const QString &key, const QString &toolTip, const QString &iconKey) {
            return addToolButton(key, toolTip, iconKey);
        },
        this);
    connect(m_viewButtons, &QActionGroup::triggered, this,
            [this](QAction *button) { SetViewMode(button->data().toInt()); });
}

void RecordListWindow::addDataCommand(QAction *command)
{
    m_dataActions.append(command);
}

void RecordListWindow::addDataCommand(QWidget *command)
{
    m_dataWidgets.append(command);
}

void RecordListWindow::setCommandsEnabled(bool enabled)
{
    for (QAction *command : std::as_const(m_dataActions))
        command->setEnabled(enabled);
    for (QWidget *command : std::as_const(m_dataWidgets))
        command->setEnabled(enabled);
}

RecordListView *RecordListWindow::createList(const QString &objectName)
{
    m_list = new RecordListView(this);
    m_list->setObjectName(objectName);
    connect(m_list, &RecordListView::viewModeChanged, this, &RecordListWindow::updateViewButtons);
    return m_list;
}

QLabel *RecordListWindow::rowCountLabel(QWidget *parent)
{
    if (!m_rowCount) {
        m_rowCount = new QLabel(parent);
        m_rowCount->setObjectName(QStringLiteral("lblRecordCount"));
        m_rowCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return m_rowCount;
}

void RecordListWindow::showRowCount(int rows)
{
    if (m_rowCount)
        m_rowCount->setText(rowCountText(rows));
}

int RecordListWindow::ViewMode() const
{
    return m_list->viewMode();
}

void RecordListWindow::SetViewMode(int mode)
{
    m_list->setViewMode(mode);
    updateViewButtons();
}

void RecordListWindow::updateViewButtons()
{
    if (m_viewButtons)
        m_viewButtons->showMode(m_list->viewMode());
}

void RecordListWindow::popupListMenu(Qt::MouseButton button, const QPoint &globalPos,
                                     const std::function<QMenu *()> &menu)
{
    if (button != Qt::RightButton || m_list->rowCount() == 0 || !ready())
        return;
    if (QMenu *popup = menu())
        popup->popup(globalPos);
}

void RecordListWindow::closeWindow()
{
    for (QWidget *ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(ancestor)) {
            sub->close();
            return;
        }
    }
    close();
}

bool copyListRow(const RecordListView *list, int row, int columns,
                 const std::function<void(int, const QString &)> &set)
{
    const RecordListModel *model = list->model();
    if (!model || row < 1 || row > model->rowCount())
        return false;
    for (int k = 0; k < columns; ++k)
        set(k, model->text(row - 1, k));
    return true;
}

namespace {

// Refuses the edit of the current row when another desk changed or deleted it since the user
// was shown `seen` (its texts in caption order); the cursor stays on the row.
void checkUnchanged(clsDataBase &database, const QStringList &captions, const QStringList &seen)
{
    const qint64 key = database.KeyAt(database.AbsolutePosition());
    database.Requery(); // reads the row afresh
    const int position = key < 0 ? 0 : database.PositionOfKey(key);
    if (position < 1 || !database.MoveToKey(key))
        throw DataError(QStringLiteral("another user deleted the row meanwhile"),
                        DataError::Deleted);
    const QStringList now = database.RowTexts(position);
    for (int k = 0; k < seen.size() && k < captions.size(); ++k) {
        const int column = database.ColumnIndex(captions[k]);
        if (column >= 0 && now.value(column) != seen[k])
            throw DataError(QStringLiteral("another user changed the row meanwhile"),
                            DataError::Conflict);
    }
}

} // namespace

bool saveRecord(RecordListWindow *window, clsDataBase &database, const QStringList &captions,
                int columns, const std::function<QString(int)> &value, const QString &what,
                const QStringList &seen)
{
    try {
        if (!seen.isEmpty())
            checkUnchanged(database, captions, seen);
        for (int index = 0; index < columns; ++index)
            database.SetRecord(captions[index], value(index));
        database.Update();
        return true;
    } catch (const DataError &error) {
        database.CancelUpdate();
        QString reason = error.text();
        if (error.kind() == DataError::Conflict)
            reason = QStringLiteral("其他用户已修改了这条记录，请按“刷新”查看后再修改");
        else if (error.kind() == DataError::Deleted)
            reason = QStringLiteral("其他用户已删除了这条记录");
        window->reportError(what, reason);
        return false;
    }
}

} // namespace kestrova
