#pragma once

#include <QWidget>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QProgressBar;
class QToolBar;

namespace kestrova {

class clsClient;
class clsDataBase;
class frmMenu;
class RecordListLoader;
class RecordListModel;
class RecordListView;
class ViewModeButtons;

// The client window: every row of "客户" as one row of a 27-column list, a toolbar, a find bar
// and a class filter that narrow the rows through the table filter, and the client dialog for
// single clients. List row r is row r of the window's cursor under the filter in force when the
// list was loaded. Loading runs in slices from the event loop; while it runs the window's
// commands are refused, so none acts on a half-loaded list.
class frmClient : public QWidget
{
    Q_OBJECT

public:
    explicit frmClient(QWidget *parent = nullptr);
    ~frmClient() override;

    // True when the table changed and the list must be reloaded.
    bool DataChanged() const { return m_dataChanged; }
    void setDataChanged(bool changed) { m_dataChanged = changed; }

    void SizeControls();
    // Views (0), edits (1) or adds (2) a client with the client dialog; a negative row means
    // the current row. Rows outside the list do nothing, except for adding.
    void OpenClientInfo(int row, int style);
    // Deletes a client at once, without asking; a negative row means the current row.
    void DeleteClient(int row);

    // The list view mode from the settings and the 27 headers from the caption array.
    void InitClientColumns();
    void InitFindBar();
    // Empties the list and reloads it from the cursor (finishing from the event loop).
    void LoadClientList();
    // A new record holding the texts of a list row; null for rows outside the list.
    std::unique_ptr<clsClient> FormatListViewItemToTClient(int row) const;
    // Writes the record into the cursor's current or pending row and commits. False, after
    // telling the user, when the database refused the commit.
    bool SaveTClientToDataBase(clsClient &client);
    // The client dialog, modal, in the given style on the record.
    void ShowClientInfo(int style, clsClient &client);
    // "刷新": no filter, all rows.
    void ShowAllClients();
    // The find bar's "查找".
    void FindClients();
    // The class filter's "分类".
    void ShowClassClients();

    // The row the toolbar commands act on: 1 after a load with rows, 0 without, the clicked row.
    int CurrentRow() const { return m_currentRow; }
    bool IsLoading() const;
    RecordListView *lstvwClientInfo() const { return m_list; }
    RecordListLoader *listLoader() const { return m_loader; }
    int ViewMode() const;
    void SetViewMode(int mode);
    // The pop-up menu holder, made on first use.
    frmMenu *menuHolder();
    // The criteria the list is filtered by (empty: every row), for exporting what is shown.
    QString currentFilter() const;

signals:
    // A load has finished and the whole list is there.
    void listLoaded();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    QSize sizeHint() const override;

private:
    void buildMenus();
    void buildToolbar();
    void buildFindBar();
    QAction *addToolButton(const QString &key, const QString &toolTip, const QString &iconKey);
    void toolbarButtonClicked(QAction *button);
    void loadProgress(int done, int total);
    void loadFinished();
    void setCommandsEnabled(bool enabled);
    void listMouseReleased(Qt::MouseButton button, const QPoint &globalPos);
    void listRowDoubleClicked();
    void updateViewButtons();
    void closeWindow();
    // CancelFilter, leaving a failure to the list load that follows.
    void removeFilter();
    // Whether a command may run now: the table is open and no load is under way.
    bool ready() const;

    std::unique_ptr<clsDataBase> m_db;
    RecordListModel *m_model = nullptr;
    RecordListLoader *m_loader = nullptr;
    RecordListView *m_list = nullptr;
    QMenuBar *m_menuBar = nullptr;
    QAction *mnuFileClose = nullptr;
    QAction *mnuViewToolbar = nullptr;
    QAction *mnuViewStatusBar = nullptr;
    QToolBar *tbToolBar = nullptr;
    ViewModeButtons *m_viewButtons = nullptr;
    QWidget *picFind = nullptr;
    QComboBox *cmbTitleItems = nullptr;
    QComboBox *cmbCondition = nullptr;
    QLineEdit *txtFilte = nullptr;
    QToolBar *TbrFind = nullptr;
    QComboBox *cmbClass = nullptr;
    QToolBar *tbClass = nullptr;
    QProgressBar *m_progress = nullptr;
    frmMenu *m_menu = nullptr;
    QList<QAction *> m_dataCommands; // refused while a load runs
    int m_currentRow = 0;
    bool m_dataChanged = false;
};

} // namespace kestrova
