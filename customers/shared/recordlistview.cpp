#include "recordlistview.h"

#include "recordlistmodel.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QMouseEvent>
#include <QStackedLayout>
#include <QTreeView>

namespace kestrova {

namespace {

// Column width of the details mode: the list control's default, 1440 twips.
constexpr int kDefaultColumnWidth = 96;

// Holds a counter up for one scope, so that selection changes made meanwhile are not
// reported as the user's.
class QuietScope
{
public:
    explicit QuietScope(int &counter)
        : m_counter(counter)
    {
        ++m_counter;
    }
    ~QuietScope() { --m_counter; }
    QuietScope(const QuietScope &) = delete;
    QuietScope &operator=(const QuietScope &) = delete;

private:
    int &m_counter;
};

} // namespace

RecordListView::RecordListView(QWidget *parent)
    : QWidget(parent)
    , m_icons(new QListView(this))
    , m_details(new QTreeView(this))
    , m_stack(new QStackedLayout(this))
{
    m_icons->setObjectName(QStringLiteral("iconView"));
    m_icons->setUniformItemSizes(true);
    m_icons->setMovement(QListView::Static);
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setLayoutMode(QListView::Batched);
    m_icons->setBatchSize(2000);
    m_icons->setSelectionMode(QAbstractItemView::SingleSelection);
    m_icons->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_icons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_icons->setTextElideMode(Qt::ElideRight);

    m_details->setObjectName(QStringLiteral("detailsView"));
    m_details->setRootIsDecorated(false);
    m_details->setItemsExpandable(false);
    m_details->setUniformRowHeights(true);
    m_details->setAllColumnsShowFocus(true);
    m_details->setSelectionMode(QAbstractItemView::SingleSelection);
    m_details->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_details->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_details->header()->setDefaultSectionSize(kDefaultColumnWidth);
    m_details->header()->setStretchLastSection(false);
    m_details->header()->setSectionsMovable(false);

    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_icons);
    m_stack->addWidget(m_details);

    for (QAbstractItemView *view :
         {static_cast<QAbstractItemView *>(m_icons), static_cast<QAbstractItemView *>(m_details)}) {
        view->viewport()->installEventFilter(this);
        view->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
            if (index.isValid())
                emit rowDoubleClicked(index.row() + 1);
        });
    }
    applyMode();
}

void RecordListView::setModel(RecordListModel *model)
{
    QItemSelectionModel *old = m_selection;
    m_model = model;
    // Rows the program removes or resets move Qt's current index; that is no choice of the
    // user. Connected around the selection model's own handlers: raised before them, lowered
    // after them.
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { ++m_quiet; });
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { ++m_quiet; });
    m_icons->setModel(model);
    m_details->setModel(model);
    m_selection = new QItemSelectionModel(model, this);
    m_icons->setSelectionModel(m_selection);
    m_details->setSelectionModel(m_selection);
    delete old;
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { --m_quiet; });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { --m_quiet; });
    connect(m_selection, &QItemSelectionModel::currentRowChanged, this,
            &RecordListView::currentRowChanged);
}

void RecordListView::setViewMode(int mode)
{
    if (mode < LargeIcons || mode > Details)
        return;
    if (mode == m_mode)
        return;
    m_mode = mode;
    applyMode();
    emit viewModeChanged(m_mode);
}

void RecordListView::applyMode()
{
    switch (m_mode) {
    case LargeIcons:
        m_icons->setViewMode(QListView::IconMode);
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setWrapping(true);
        m_icons->setIconSize(QSize(32, 32));
        m_icons->setGridSize(QSize(76, 58));
        m_icons->setWordWrap(true);
        break;
    case SmallIcons:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setWrapping(true);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize(96, 20));
        m_icons->setWordWrap(false);
        break;
    case List:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setFlow(QListView::TopToBottom);
        m_icons->setWrapping(true);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize(96, 20));
        m_icons->setWordWrap(false);
        break;
    case Details:
        break;
    }
    m_stack->setCurrentWidget(m_mode == Details ? static_cast<QWidget *>(m_details) : m_icons);
    if (m_selection && m_selection->currentIndex().isValid())
        currentView()->scrollTo(m_selection->currentIndex());
}

QAbstractItemView *RecordListView::currentView() const
{
    return m_mode == Details ? static_cast<QAbstractItemView *>(m_details) : m_icons;
}

int RecordListView::rowCount() const
{
    return m_model ? m_model->rowCount() : 0;
}

int RecordListView::selectedRow() const
{
    if (!m_selection)
        return 0;
    const QModelIndexList rows = m_selection->selectedRows();
    if (!rows.isEmpty())
        return rows.first().row() + 1;
    // The icon views select single cells of column 0.
    const QModelIndexList cells = m_selection->selectedIndexes();
    return cells.isEmpty() ? 0 : cells.first().row() + 1;
}

void RecordListView::selectRow(int row)
{
    if (!m_selection || !m_model)
        return;
    QuietScope quiet(m_quiet);
    if (row < 1 || row > m_model->rowCount()) {
        m_selection->clear();
        return;
    }
    const QModelIndex index = m_model->index(row - 1, 0);
    m_selection->setCurrentIndex(index,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    currentView()->scrollTo(index);
}

void RecordListView::currentRowChanged()
{
    if (m_quiet > 0 || !m_selection)
        return;
    const QModelIndex current = m_selection->currentIndex();
    if (current.isValid())
        emit rowClicked(current.row() + 1);
}

bool RecordListView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        (watched == m_icons->viewport() || watched == m_details->viewport())) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        emit mouseReleased(mouse->button(), mouse->globalPosition().toPoint());
    } else if (event->type() == QEvent::ContextMenu &&
               (watched == m_icons || watched == m_details)) {
        // The menu key stands in for the right mouse button.
        const auto *menu = static_cast<QContextMenuEvent *>(event);
        if (menu->reason() == QContextMenuEvent::Keyboard) {
            QAbstractItemView *view = currentView();
            QPoint at = view->viewport()->rect().center();
            if (m_selection && m_selection->currentIndex().isValid())
                at = view->visualRect(m_selection->currentIndex()).center();
            emit mouseReleased(Qt::RightButton, view->viewport()->mapToGlobal(at));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kestrova
