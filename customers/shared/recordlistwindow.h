#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QToolBar;

namespace kestrova {

class clsDataBase;
class RecordListView;
class ViewModeButtons;

// What the client window and the plan window have in common: a database cursor on one table, a
// menu bar with "文件(&F)" → "关闭(&C)", the toolbar `tbToolBar` with its four view-mode keys, the
// list control, the commands that are refused while a load runs, the row count ("共 N 条") and
// the notice that another desk changed the table.
class RecordListWindow : public QWidget
{
    Q_OBJECT

public:
    ~RecordListWindow() override;

    int ViewMode() const;
    void SetViewMode(int mode);
    // The designed client area below the window's menu bar.
    QSize sizeHint() const override;

    // The text the row count shows for a number of rows.
    static QString rowCountText(int rows);
    // The notice shown when another desk changed the window's table.
    static QString changeNoticeText();
    bool changeNoticeShown() const;

    // Tells the user what a failed command `what` ran into (for a lost server the data layer's
    // message, "无法连接数据库服务器 …").
    void reportError(const QString &what, const QString &reason);

public slots:
    // Another desk changed the table: the notice shows until the next "刷新".
    virtual void tableChangedElsewhere();

signals:
    // A load has finished and the whole list is there.
    void listLoaded();

protected:
    RecordListWindow(std::unique_ptr<clsDataBase> database, QSize designTwips,
                     QWidget *parent = nullptr);

    // Opens the window's table, asking for a server password when needed, and listens for
    // other desks' changes to it. When the table cannot be opened the user is told why and
    // that `list` stays empty; the next "刷新" tries again.
    bool openWindowTable(const QString &table, const QString &tableName, const QString &list);
    // Opens the table again when it could not be opened (a server that was down); whether it
    // is open now.
    bool reopenTable();
    // Removes the table filter before a reload. False, after telling the user, when the server
    // cannot be reached: the list then stays as it is. Other failures are left to the reload,
    // which reports a damaged table the way every failed read does.
    bool removeFilter(const QString &list);
    // The menu bar with its "文件(&F)" menu holding "关闭(&C)".
    QMenuBar *buildMenuBar();
    // The empty toolbar `tbToolBar`.
    void buildToolbar();
    // A toolbar key: the QAction named `key`, shown by the picture `iconKey`. A key without a
    // tool tip has no text either, since a tool button shows its text as the tip otherwise.
    QAction *addToolButton(const QString &key, const QString &toolTip, const QString &iconKey);
    // The same, for a key that is refused while a load runs.
    QAction *addDataButton(const QString &key, const QString &toolTip, const QString &iconKey);
    void addViewModeButtons();
    void addDataCommand(QAction *command);
    void addDataCommand(QWidget *command);
    void setCommandsEnabled(bool enabled);
    // The list control, named `objectName`.
    RecordListView *createList(const QString &objectName);
    // The "共 N 条" label, made once with the given parent.
    QLabel *rowCountLabel(QWidget *parent);
    void showRowCount(int rows);
    // Places the change notice across `width` at `y` when it is shown; returns its height or 0.
    int placeChangeNotice(int y, int width);
    void clearChangeNotice();
    // Pops a menu up over the list on a right click when the list has rows and the window takes
    // commands.
    void popupListMenu(Qt::MouseButton button, const QPoint &globalPos,
                       const std::function<QMenu *()> &menu);
    // Closes the document window that holds this window, or the window itself.
    void closeWindow();

    // A toolbar key other than a view-mode key was pressed.
    virtual void toolbarButtonClicked(QAction *button) = 0;
    // Whether a command may run now.
    virtual bool ready() const = 0;
    // Lays the controls out again (the change notice came or went).
    virtual void relayout() = 0;

    std::unique_ptr<clsDataBase> m_db;
    QMenuBar *m_menuBar = nullptr;
    QAction *mnuFileClose = nullptr;
    QToolBar *tbToolBar = nullptr;
    RecordListView *m_list = nullptr;

private:
    void updateViewButtons();

    QString m_table;
    QSize m_designTwips;
    ViewModeButtons *m_viewButtons = nullptr;
    QLabel *m_rowCount = nullptr;
    QLabel *m_changeNotice = nullptr;
    QList<QAction *> m_dataActions; // refused while a load runs
    QList<QWidget *> m_dataWidgets;
};

// The texts of every column of a list row into a record: `set(k, text)` for k from 0 to
// `columns` - 1. False when the row lies outside the list.
bool copyListRow(const RecordListView *list, int row, int columns,
                 const std::function<void(int, const QString &)> &set);
// Writes `columns` values (`value(k)` into the column named `captions[k]`) to the cursor's current
// or pending row and commits. An edit of a row the user was shown as `seen` (its texts in caption
// order) is refused when another desk changed or deleted the row since. On a refusal the pending
// row is dropped and the user told "`what`：reason"; returns false then.
bool saveRecord(RecordListWindow *window, clsDataBase &database, const QStringList &captions,
                int columns, const std::function<QString(int)> &value, const QString &what,
                const QStringList &seen = {});

} // namespace kestrova
