#pragma once

#include "customers/shared/recordlistwindow.h"

#include <memory>

class QComboBox;
class QLineEdit;
class QProgressBar;

namespace kestrova {

class clsClient;
class frmMenu;
class RecordListLoader;
class RecordListModel;

// The client window: every row of "客户" as one row of a 27-column list, a toolbar, a find bar
// and a class filter that narrow the rows through the table filter, and the client dialog for
// single clients. List row r is row r of the window's cursor under the filter in force when the
// list was loaded. Loading runs in slices from the event loop; while it runs the window's
// commands are refused, so none acts on a half-loaded list.
class frmClient : public RecordListWindow
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
    // The pop-up menu holder, made on first use.
    frmMenu *menuHolder();
    // The criteria the list is filtered by (empty: every row), for exporting what is shown.
    QString currentFilter() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void toolbarButtonClicked(QAction *button) override;
    // Whether a command may run now: the table is open and no load is under way.
    bool ready() const override;
    void relayout() override { SizeControls(); }

private:
    void buildMenus();
    void buildToolbar();
    void buildFindBar();
    void loadProgress(int done, int total);
    void loadFinished();
    void listRowDoubleClicked();

    RecordListModel *m_model = nullptr;
    RecordListLoader *m_loader = nullptr;
    QAction *mnuViewToolbar = nullptr;
    QAction *mnuViewStatusBar = nullptr;
    QWidget *picFind = nullptr;
    QComboBox *cmbTitleItems = nullptr;
    QComboBox *cmbCondition = nullptr;
    QLineEdit *txtFilte = nullptr;
    QToolBar *TbrFind = nullptr;
    QComboBox *cmbClass = nullptr;
    QToolBar *tbClass = nullptr;
    QProgressBar *m_progress = nullptr;
    frmMenu *m_menu = nullptr;
    int m_currentRow = 0;
    qint64 m_selectAfterLoad = -1; // key of a client to select when the load ends
    QStringList m_seen; // the texts of the client being edited, as the user was shown them
    bool m_dataChanged = false;
};

} // namespace kestrova
