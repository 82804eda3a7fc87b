#pragma once

#include <QWidget>

class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QStackedLayout;
class QTreeView;

namespace kestrova {

class RecordListModel;

// The list control of the list windows: one model in four view modes, 0 large icons, 1 small
// icons, 2 list (the item texts) and 3 details (one column per header). Rows are addressed from
// 1; both views share one selection.
class RecordListView : public QWidget
{
    Q_OBJECT

public:
    enum Mode { LargeIcons = 0, SmallIcons = 1, List = 2, Details = 3 };

    explicit RecordListView(QWidget *parent = nullptr);

    void setModel(RecordListModel *model);
    RecordListModel *model() const { return m_model; }

    int viewMode() const { return m_mode; }
    // Modes outside 0 to 3 are ignored.
    void setViewMode(int mode);

    int rowCount() const;
    // The selected row, or 0 when none is selected.
    int selectedRow() const;
    // Selects a row and brings it into view; 0 clears the selection.
    void selectRow(int row);

    QListView *iconView() const { return m_icons; }
    QTreeView *detailsView() const { return m_details; }
    QAbstractItemView *currentView() const;

signals:
    // The user selected a row, by mouse or keyboard.
    void rowClicked(int row);
    void rowDoubleClicked(int row);
    // A mouse button was released over the list; the position is global.
    void mouseReleased(Qt::MouseButton button, const QPoint &globalPos);
    void viewModeChanged(int mode);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void currentRowChanged();
    void applyMode();

    RecordListModel *m_model = nullptr;
    QItemSelectionModel *m_selection = nullptr;
    QListView *m_icons = nullptr;
    QTreeView *m_details = nullptr;
    QStackedLayout *m_stack = nullptr;
    int m_mode = LargeIcons;
    int m_quiet = 0; // selection changes that the program, not the user, makes
};

} // namespace kestrova
