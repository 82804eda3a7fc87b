// The client window on real database files: loading, toolbar, find bar, class filter, view
// modes, the client dialog flows, the pop-up menu and the window's layout.

#include "tst_app_fixture.h"

#include "customers/app/frmclient.h"
#include "customers/app/frmclientinfo.h"
#include "customers/app/frmmenu.h"
#include "customers/app/recordlistloader.h"
#include "customers/shared/recordlistmodel.h"
#include "customers/shared/recordlistview.h"
#include "platform/shortdate.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QTreeView>

using namespace kestrova;
using namespace Qt::StringLiterals;

namespace {

QAction *toolButton(frmClient *window, const QString &key)
{
    return window->findChild<QToolBar *>(u"tbToolBar"_s)->findChild<QAction *>(key);
}

QAction *findButton(frmClient *window)
{
    return window->findChild<QToolBar *>(u"TbrFind"_s)->findChild<QAction *>(u"查找"_s);
}

QAction *classButton(frmClient *window)
{
    return window->findChild<QToolBar *>(u"tbClass"_s)->findChild<QAction *>(u"分类"_s);
}

// The texts of one column of the list, top to bottom.
QStringList listColumn(frmClient *window, int column)
{
    const RecordListModel *model = window->lstvwClientInfo()->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->text(row, column));
    return texts;
}

QStringList listNames(frmClient *window)
{
    return listColumn(window, ClientName);
}

// What the find bar's row count says.
QString rowCount(frmClient *window)
{
    return window->findChild<QLabel *>(u"lblRecordCount"_s)->text();
}

bool waitLoaded(frmClient *window)
{
    return QTest::qWaitFor([window] { return !window->IsLoading(); }, 60000);
}

// Clicks a row (1-based) of the list as the user would.
void clickRow(frmClient *window, int row, Qt::MouseButton button = Qt::LeftButton)
{
    QAbstractItemView *view = window->lstvwClientInfo()->currentView();
    const QModelIndex index = view->model()->index(row - 1, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), button, {}, view->visualRect(index).center());
}

void doubleClickRow(frmClient *window, int row)
{
    QAbstractItemView *view = window->lstvwClientInfo()->currentView();
    const QModelIndex index = view->model()->index(row - 1, 0);
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

QWidget *field(QDialog *dialog, const QString &name)
{
    return dialog->findChild<QWidget *>(name);
}

void setText(QDialog *dialog, const QString &name, const QString &text)
{
    if (auto *line = dialog->findChild<QLineEdit *>(name))
        line->setText(text);
    else if (auto *combo = dialog->findChild<QComboBox *>(name))
        combo->setEditText(text);
}

QString textOf(QDialog *dialog, const QString &name)
{
    if (auto *line = dialog->findChild<QLineEdit *>(name))
        return line->text();
    if (auto *combo = dialog->findChild<QComboBox *>(name))
        return combo->currentText();
    return u"<no field>"_s;
}

void press(QDialog *dialog, const char *name)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
}

} // namespace

class TestClientWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadsEveryRow();
    void tableCannotBeOpened();
    void toolbarButtons();
    void placeholderButtons();
    void emptyListCommands();
    void viewModeButtons_data();
    void viewModeButtons();
    void viewModeFromSetting_data();
    void viewModeFromSetting();
    void find_data();
    void find();
    void findIncomplete_data();
    void findIncomplete();
    void findRefusedKeepsFilter();
    void classFilter();
    void damagedTableOnRefresh_data();
    void damagedTableOnRefresh();
    void deleteKeepsCurrentRow();
    void newClientConfirmed();
    void newClientNotSaved_data();
    void newClientNotSaved();
    void viewEditConfirm();
    void otherDeskChangedTheRow_data();
    void otherDeskChangedTheRow();
    void auditFlag_data();
    void auditFlag();
    void popupMenuOnEmptyList();
    void popupMenu();
    void halfLoadedListRefusesCommands();
    void closeDuringLoad();
    void beyond32767Rows();
    void layout();
    void closeStoresViewMode();

private:
    // Opens a client window on the test database and waits for its list.
    frmClient *open();

    std::unique_ptr<AppRecorder> m_recorder;
    std::unique_ptr<AppDatabase> m_database;
    std::unique_ptr<frmClient> m_window;
};

void TestClientWindow::init()
{
    clearSettings();
    m_recorder = std::make_unique<AppRecorder>();
    m_database = std::make_unique<AppDatabase>();
}

void TestClientWindow::cleanup()
{
    m_window.reset();
    QCOMPARE(m_recorder->fatal, QStringList());
    m_database.reset();
    m_recorder.reset();
}

frmClient *TestClientWindow::open()
{
    m_window = std::make_unique<frmClient>();
    gfrmClient = m_window.get();
    m_window->show();
    if (!waitLoaded(m_window.get()))
        return nullptr;
    return m_window.get();
}

void TestClientWindow::loadsEveryRow()
{
    m_database->addNamed(
        {u"华东机械"_s},
        {{u"登记日期"_s, u"2024-05-06"_s}, {u"审核标志"_s, 1}, {u"性质"_s, u"老客户"_s}});
    m_database->addNamed({u"北方电子"_s, u"南方化工"_s}, {{u"审核标志"_s, 0}});
    frmClient *window = open();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), u"Kestrova"_s);
    RecordListView *list = window->lstvwClientInfo();
    QCOMPARE(list->rowCount(), 3);
    QCOMPARE(list->model()->headers(), clientCaptions());
    QCOMPARE(listNames(window), (QStringList{u"华东机械"_s, u"北方电子"_s, u"南方化工"_s}));
    QCOMPARE(listColumn(window, ClientID), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    QCOMPARE(list->model()->text(0, ClientRegisterDate), u"2024-5-6"_s);
    QCOMPARE(listColumn(window, ClientAuditing), (QStringList{u"True"_s, u"False"_s, u"False"_s}));
    QCOMPARE(list->model()->text(0, ClientProperty), u"老客户"_s);
    QCOMPARE(list->model()->text(1, ClientPhone), QString());
    // Rows are texts only: no pictures in any view mode.
    QVERIFY(!list->model()->data(list->model()->index(0, ClientID), Qt::DecorationRole).isValid());
    QCOMPARE(window->CurrentRow(), 1);
    QCOMPARE(list->selectedRow(), 1);
    QVERIFY(!window->DataChanged());
    QVERIFY(m_recorder->messages.isEmpty());
}

void TestClientWindow::tableCannotBeOpened()
{
    QTemporaryDir folder;
    const QString missing = folder.filePath(u"khdata.mdb"_s);
    setDataFilePath(missing);
    frmClient window;
    QCOMPARE(m_recorder->texts(),
             QStringList{u"无法打开数据库“%1”中的客户表，客户列表将是空的。"_s.arg(missing)});
    QVERIFY(!window.IsLoading());
    QCOMPARE(window.lstvwClientInfo()->rowCount(), 0);
    int dialogs = 0;
    ModalHandler<frmClientInfo> any([&dialogs](frmClientInfo *dialog) {
        ++dialogs;
        dialog->reject();
    });
    toolButton(&window, u"新建"_s)->trigger();
    window.FindClients();
    QTest::qWait(30);
    QCOMPARE(dialogs, 0);
    QCOMPARE(m_recorder->messages.size(), 1);
    // No file was made in its place.
    QVERIFY(!QFile::exists(missing));
}

void TestClientWindow::toolbarButtons()
{
    frmClient *window = open();
    QVERIFY(window);
    QStringList keys;
    QStringList tips;
    for (QAction *button : window->findChild<QToolBar *>(u"tbToolBar"_s)->actions()) {
        if (button->isSeparator())
            continue;
        keys.append(button->objectName());
        tips.append(button->toolTip());
        QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
    }
    QCOMPARE(keys, (QStringList{u"向前"_s, u"返回"_s, u"新建"_s, u"修改"_s, u"删除"_s, u"属性"_s,
                                u"刷新"_s, u"查找"_s, u"大图标"_s, u"小图标"_s, u"列表"_s,
                                u"详细资料"_s}));
    QCOMPARE(tips, (QStringList{u"向前"_s, u"返回"_s, u"新建"_s, QString(), u"删除"_s, u"属性"_s,
                                QString(), u"查找"_s, u"大图标"_s, u"小图标"_s, u"列表"_s,
                                u"详细资料"_s}));
    QCOMPARE(findButton(window)->text(), u"查找"_s);
    QCOMPARE(classButton(window)->text(), u"分类"_s);
    auto *condition = window->findChild<QComboBox *>(u"cmbCondition"_s);
    QStringList conditions;
    for (int i = 0; i < condition->count(); ++i)
        conditions.append(condition->itemText(i));
    QCOMPARE(conditions, (QStringList{u"等于"_s, u"小于"_s, u"大于"_s, u"小于等于"_s, u"大于等于"_s,
                                      u"包含"_s}));
    QCOMPARE(condition->currentText(), u"等于"_s);
    auto *titles = window->findChild<QComboBox *>(u"cmbTitleItems"_s);
    QCOMPARE(titles->count(), 27);
    QCOMPARE(titles->currentText(), u"编号"_s);
    QVERIFY(!titles->isEditable());
    auto *classes = window->findChild<QComboBox *>(u"cmbClass"_s);
    QStringList classTexts;
    for (int i = 0; i < classes->count(); ++i)
        classTexts.append(classes->itemText(i));
    QCOMPARE(classTexts, (QStringList{u"显示全部"_s, u"丢失的客户"_s, u"老客户"_s, u"潜在客户"_s,
                                      u"新客户"_s, u"新经销商"_s}));
}

void TestClientWindow::placeholderButtons()
{
    m_database->addNamed({u"甲"_s});
    frmClient *window = open();
    QVERIFY(window);
    toolButton(window, u"向前"_s)->trigger();
    toolButton(window, u"返回"_s)->trigger();
    toolButton(window, u"查找"_s)->trigger();
    QCOMPARE(m_recorder->texts(),
             (QStringList{u"添加 '向前' 按钮代码。"_s, u"添加 '返回' 按钮代码。"_s}));
    QCOMPARE(m_recorder->messages.first().title, u"Kestrova"_s);
    QCOMPARE(m_recorder->messages.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(window->lstvwClientInfo()->rowCount(), 1);
}

void TestClientWindow::emptyListCommands()
{
    frmClient *window = open();
    QVERIFY(window);
    QCOMPARE(window->CurrentRow(), 0);
    QCOMPARE(window->lstvwClientInfo()->rowCount(), 0);

    {
        int views = 0;
        ModalHandler<frmClientInfo> refuse([&views](frmClientInfo *dialog) {
            ++views;
            dialog->reject();
        });
        for (const QString &key : {u"修改"_s, u"删除"_s, u"属性"_s, u"刷新"_s})
            toolButton(window, key)->trigger();
        QTest::qWait(30);
        QCOMPARE(views, 0);
    }

    // "新建" still opens the dialog for a new client.
    QString registered;
    QString audit;
    ModalHandler<frmClientInfo> add([&](frmClientInfo *dialog) {
        QCOMPARE(dialog->Style(), int(StyleNew));
        QVERIFY(dialog->fieldsEnabled());
        registered = platform::shortDate(dialog->findChild<QDateEdit *>(u"DTPField"_s)->date());
        audit = textOf(dialog, u"cmbField_6"_s);
        setText(dialog, u"txtField_1"_s, u"第一个客户"_s);
        press(dialog, "cmdOk");
    });
    toolButton(window, u"新建"_s)->trigger();
    QCOMPARE(add.seen, 1);
    QCOMPARE(registered, platform::shortDate(QDate::currentDate()));
    QCOMPARE(audit, u"False"_s);
    QVERIFY(waitLoaded(window));
    QCOMPARE(m_database->names(), QStringList{u"第一个客户"_s});
    QCOMPARE(listNames(window), QStringList{u"第一个客户"_s});
    QCOMPARE(window->CurrentRow(), 1);
    QVERIFY(m_recorder->messages.isEmpty());
}

void TestClientWindow::viewModeButtons_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("mode");
    QTest::newRow("small icons") << u"小图标"_s << 1;
    QTest::newRow("list") << u"列表"_s << 2;
    QTest::newRow("details") << u"详细资料"_s << 3;
    QTest::newRow("large icons") << u"大图标"_s << 0;
}

void TestClientWindow::viewModeButtons()
{
    QFETCH(QString, key);
    QFETCH(int, mode);
    m_database->addNamed({u"甲"_s, u"乙"_s});
    storeSetting(u"ViewMode"_s, mode == 0 ? u"3"_s : u"0"_s);
    frmClient *window = open();
    QVERIFY(window);
    toolButton(window, key)->trigger();
    QCOMPARE(window->ViewMode(), mode);
    RecordListView *list = window->lstvwClientInfo();
    QCOMPARE(list->currentView() == list->detailsView(), mode == 3);
    QVERIFY(list->currentView()->isVisible());
    if (mode == 0)
        QCOMPARE(list->iconView()->viewMode(), QListView::IconMode);
    if (mode == 1 || mode == 2)
        QCOMPARE(list->iconView()->viewMode(), QListView::ListMode);
    // Exactly the matching view button is pressed.
    QStringList pressed;
    for (const QString &view : {u"大图标"_s, u"小图标"_s, u"列表"_s, u"详细资料"_s}) {
        if (toolButton(window, view)->isChecked())
            pressed.append(view);
    }
    QCOMPARE(pressed, QStringList{key});
    // The selection survives the change of view.
    QCOMPARE(list->selectedRow(), 1);
    window->close();
    QCOMPARE(storedSetting(u"ViewMode"_s), QString::number(mode));
}

void TestClientWindow::viewModeFromSetting_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("pressed");
    QTest::newRow("first start") << QString() << 0 << u"大图标"_s;
    QTest::newRow("details") << u"3"_s << 3 << u"详细资料"_s;
    QTest::newRow("list") << u"2"_s << 2 << u"列表"_s;
    QTest::newRow("unknown mode") << u"9"_s << 0 << u"大图标"_s;
}

void TestClientWindow::viewModeFromSetting()
{
    QFETCH(QString, stored);
    QFETCH(int, mode);
    QFETCH(QString, pressed);
    if (!stored.isNull())
        storeSetting(u"ViewMode"_s, stored);
    frmClient *window = open();
    QVERIFY(window);
    QCOMPARE(window->ViewMode(), mode);
    QVERIFY(toolButton(window, pressed)->isChecked());
}

void TestClientWindow::find_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("names");
    const QStringList all = {u"华东机械"_s, u"北方电子"_s, u"中华化工"_s, u"O'Neil贸易"_s,
                             u"南方能源"_s};
    QTest::newRow("equal number") << u"编号"_s << u"等于"_s << u"3"_s << QStringList{all[2]};
    QTest::newRow("less") << u"编号"_s << u"小于"_s << u"3"_s << all.mid(0, 2);
    QTest::newRow("greater") << u"编号"_s << u"大于"_s << u"3"_s << all.mid(3);
    QTest::newRow("less or equal") << u"编号"_s << u"小于等于"_s << u"2"_s << all.mid(0, 2);
    QTest::newRow("greater or equal") << u"编号"_s << u"大于等于"_s << u"4"_s << all.mid(3);
    QTest::newRow("contains") << u"客户名称"_s << u"包含"_s << u"华"_s
                              << QStringList{all[0], all[2]};
    QTest::newRow("contains apostrophe")
        << u"客户名称"_s << u"包含"_s << u"O'Neil"_s << QStringList{all[3]};
    QTest::newRow("equal text") << u"客户名称"_s << u"等于"_s << u"北方电子"_s
                                << QStringList{all[1]};
    QTest::newRow("date compares as date")
        << u"登记日期"_s << u"大于"_s << u"2024-3-1"_s << QStringList{all[3], all[4]};
    QTest::newRow("numbers compare as numbers")
        << u"编号"_s << u"大于等于"_s << u"10"_s << QStringList();
    QTest::newRow("no match") << u"客户名称"_s << u"包含"_s << u"西"_s << QStringList();
}

void TestClientWindow::find()
{
    QFETCH(QString, column);
    QFETCH(QString, condition);
    QFETCH(QString, value);
    QFETCH(QStringList, names);
    const QStringList dates = {u"2024-01-05"_s, u"2024-02-10"_s, u"2024-03-01"_s, u"2024-03-02"_s,
                               u"2024-12-31"_s};
    const QStringList all = {u"华东机械"_s, u"北方电子"_s, u"中华化工"_s, u"O'Neil贸易"_s,
                             u"南方能源"_s};
    for (int i = 0; i < all.size(); ++i)
        m_database->addNamed({all[i]}, {{u"登记日期"_s, dates[i]}});
    frmClient *window = open();
    QVERIFY(window);
    window->findChild<QComboBox *>(u"cmbTitleItems"_s)->setCurrentText(column);
    window->findChild<QComboBox *>(u"cmbCondition"_s)->setCurrentText(condition);
    window->findChild<QLineEdit *>(u"txtFilte"_s)->setText(value);
    findButton(window)->trigger();
    QVERIFY(waitLoaded(window));
    QCOMPARE(listNames(window), names);
    QCOMPARE(window->CurrentRow(), names.isEmpty() ? 0 : 1);
    QCOMPARE(rowCount(window), u"共 %1 条"_s.arg(names.size()));
    QVERIFY(m_recorder->messages.isEmpty());
    // "刷新" removes the filter again.
    toolButton(window, u"刷新"_s)->trigger();
    QVERIFY(waitLoaded(window));
    QCOMPARE(listNames(window), all);
    QCOMPARE(rowCount(window), u"共 5 条"_s);
}

void TestClientWindow::findIncomplete_data()
{
    QTest::addColumn<int>("missing");
    QTest::newRow("value") << 0;
    QTest::newRow("column") << 1;
    QTest::newRow("condition") << 2;
}

void TestClientWindow::findIncomplete()
{
    QFETCH(int, missing);
    m_database->addNamed({u"华东机械"_s, u"北方电子"_s, u"中华化工"_s});
    frmClient *window = open();
    QVERIFY(window);
    auto *titles = window->findChild<QComboBox *>(u"cmbTitleItems"_s);
    auto *condition = window->findChild<QComboBox *>(u"cmbCondition"_s);
    auto *value = window->findChild<QLineEdit *>(u"txtFilte"_s);
    titles->setCurrentText(u"客户名称"_s);
    condition->setCurrentText(u"包含"_s);
    value->setText(u"华"_s);
    findButton(window)->trigger();
    QVERIFY(waitLoaded(window));
    QCOMPARE(listNames(window), (QStringList{u"华东机械"_s, u"中华化工"_s}));

    if (missing == 0)
        value->clear();
    else if (missing == 1)
        titles->setCurrentIndex(-1);
    else
        condition->setCurrentIndex(-1);
    findButton(window)->trigger();
    QCOMPARE(m_recorder->messages.size(), 1);
    const platform::MessageRequest &message = m_recorder->messages.first();
    QCOMPARE(message.text, u"条件不完全，请正确输入"_s);
    QCOMPARE(message.title, u"Kestrova"_s);
    QCOMPARE(message.icon, QMessageBox::NoIcon);
    QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(!window->IsLoading());
    QCOMPARE(listNames(window), (QStringList{u"华东机械"_s, u"中华化工"_s}));
}

void TestClientWindow::findRefusedKeepsFilter()
{
    m_database->addNamed({u"华东机械"_s, u"北方电子"_s, u"中华化工"_s});
    frmClient *window = open();
    QVERIFY(window);
    window->findChild<QComboBox *>(u"cmbTitleItems"_s)->setCurrentText(u"客户名称"_s);
    window->findChild<QComboBox *>(u"cmbCondition"_s)->setCurrentText(u"包含"_s);
    window->findChild<QLineEdit *>(u"txtFilte"_s)->setText(u"华"_s);
    findButton(window)->trigger();
    QVERIFY(waitLoaded(window));
    // A text the date column cannot take: nothing applied, nothing said, the list reloaded
    // under the filter that was in force.
    window->findChild<QComboBox *>(u"cmbTitleItems"_s)->setCurrentText(u"登记日期"_s);
    window->findChild<QComboBox *>(u"cmbCondition"_s)->setCurrentText(u"等于"_s);
    window->findChild<QLineEdit *>(u"txtFilte"_s)->setText(u"下周"_s);
    findButton(window)->trigger();
    QVERIFY(waitLoaded(window));
    QCOMPARE(listNames(window), (QStringList{u"华东机械"_s, u"中华化工"_s}));
    QVERIFY(m_recorder->messages.isEmpty());
}

void TestClientWindow::classFilter()
{
    m_database->addNamed({u"甲"_s, u"丁"_s}, {{u"性质"_s, u"老客户"_s}});
    m_database->addNamed({u"乙"_s}, {{u"性质"_s, u"老客户们"_s}});
    m_database->addNamed({u"丙"_s}, {{u"性质"_s, u"新客户"_s}});
    m_database->addNamed({u"戊"_s});
    frmClient *window = open();
    QVERIFY(window);
    auto *classes = window->findChild<QComboBox *>(u"cmbClass"_s);
    classes->setCurrentText(u"老客户"_s);
    classButton(window)->trigger();
    QVERIFY(waitLoaded(window));
    QCOMPARE(listNames(window), (QStringList{u"甲"_s, u"丁"_s}));

    // The find bar's filter replaces the class filter and the other way round.
    window->findChild<QComboBox *>(u"cmbTitleItems"_s)->setCurrentText(u"客户名称"_s);
    window->findChild<QLineEdit *>(u"txtFilte"_s)->setText(u"丙"_s);
    findButton(window)->trigger();
    QVERIFY(waitLoaded(window));
    QCOMPARE(listNames(window), QStringList{u"丙"_s});
    classes->setCurrentText(u"新客户"_s);
    classButton(window)->trigger();
    QVERIFY(waitLoaded(window));
    QCOMPARE(listNames(window), QStringList{u"丙"_s});

    classes->setCurrentText(u"显示全部"_s);
    classButton(window)->trigger();
    QVERIFY(waitLoaded(window));
    QCOMPARE(listNames(window), (QStringList{u"甲"_s, u"丁"_s, u"乙"_s, u"丙"_s, u"戊"_s}));
    QVERIFY(m_recorder->messages.isEmpty());
}

void TestClientWindow::damagedTableOnRefresh_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("刷新") << u"刷新"_s;
    QTest::newRow("分类 显示全部") << u"分类"_s;
}

// The table vanishing behind the window's back is a damaged database: the command reports it
// the way every failed read does instead of bringing the program down with an uncaught error.
void TestClientWindow::damagedTableOnRefresh()
{
    QFETCH(QString, command);
    m_database->addNamed({u"甲"_s, u"乙"_s});
    frmClient *window = open();
    QVERIFY(window);
    QVERIFY(m_database->raw.exec(u"DROP TABLE \"客户\""_s));
    if (command == u"刷新")
        toolButton(window, command)->trigger();
    else
        classButton(window)->trigger();
    QTRY_COMPARE(m_recorder->fatal, QStringList{u"数据库已破坏，请修复后使用"_s});
    QCOMPARE(m_recorder->texts(), QStringList{u"数据库已破坏，请修复后使用"_s});
    m_recorder->fatal.clear();
}

void TestClientWindow::deleteKeepsCurrentRow()
{
    m_database->addNamed({u"一"_s, u"二"_s, u"三"_s, u"四"_s, u"五"_s});
    frmClient *window = open();
    QVERIFY(window);
    window->SetViewMode(3);
    clickRow(window, 3);
    QCOMPARE(window->CurrentRow(), 3);
    toolButton(window, u"删除"_s)->trigger();
    QCOMPARE(m_database->names(), (QStringList{u"一"_s, u"二"_s, u"四"_s, u"五"_s}));
    QCOMPARE(listNames(window), (QStringList{u"一"_s, u"二"_s, u"四"_s, u"五"_s}));
    QCOMPARE(window->CurrentRow(), 3);
    QCOMPARE(window->lstvwClientInfo()->selectedRow(), 3);
    QVERIFY(window->DataChanged());
    // The row that moved up into place 3 goes next.
    toolButton(window, u"删除"_s)->trigger();
    QCOMPARE(m_database->names(), (QStringList{u"一"_s, u"二"_s, u"五"_s}));
    QCOMPARE(listNames(window), (QStringList{u"一"_s, u"二"_s, u"五"_s}));

    // Deleting the last row leaves the current row beyond the list: "删除" then does nothing.
    toolButton(window, u"删除"_s)->trigger();
    QCOMPARE(listNames(window), (QStringList{u"一"_s, u"二"_s}));
    QCOMPARE(window->CurrentRow(), 3);
    toolButton(window, u"删除"_s)->trigger();
    QCOMPARE(m_database->names(), (QStringList{u"一"_s, u"二"_s}));
    QCOMPARE(listNames(window), (QStringList{u"一"_s, u"二"_s}));
    QVERIFY(m_recorder->messages.isEmpty());
}

void TestClientWindow::newClientConfirmed()
{
    m_database->addNamed({u"甲"_s, u"乙"_s});
    frmClient *window = open();
    QVERIFY(window);
    ModalHandler<frmClientInfo> add([](frmClientInfo *dialog) {
        QCOMPARE(textOf(dialog, u"txtField_0"_s), QString());
        setText(dialog, u"txtField_1"_s, u"丙"_s);
        setText(dialog, u"cmbField_0"_s, u"潜在客户"_s);
        setText(dialog, u"txtField_6"_s, u"021-5555"_s);
        setText(dialog, u"cmbField_6"_s, QString()); // cleared audit flag
        press(dialog, "cmdOk");
    });
    toolButton(window, u"新建"_s)->trigger();
    QCOMPARE(add.seen, 1);
    QVERIFY(waitLoaded(window));
    QCOMPARE(m_database->names(), (QStringList{u"甲"_s, u"乙"_s, u"丙"_s}));
    const QStringList stored = m_database->raw.column(
        u"SELECT \"编号\" || '|' || \"性质\" || '|' || \"电话\" || '|' || \"登记日期\" || '|' || "
        "\"审核标志\" FROM \"客户\" WHERE \"客户名称\" = '丙'"_s);
    QCOMPARE(stored, QStringList{u"3|潜在客户|021-5555|"_s +
                                 QDate::currentDate().toString(Qt::ISODate) + u"|0"_s});
    QCOMPARE(listNames(window), (QStringList{u"甲"_s, u"乙"_s, u"丙"_s}));
    QCOMPARE(window->lstvwClientInfo()->model()->text(2, ClientAuditing), u"False"_s);
    QCOMPARE(window->lstvwClientInfo()->model()->text(2, ClientID), u"3"_s);
    // The new client is the current and the selected row.
    QCOMPARE(window->CurrentRow(), 3);
    QCOMPARE(window->lstvwClientInfo()->selectedRow(), 3);
    QVERIFY(!window->DataChanged());
}

void TestClientWindow::newClientNotSaved_data()
{
    QTest::addColumn<bool>("closeButton");
    QTest::addColumn<bool>("deleteFirst");
    QTest::newRow("closed with 关闭") << true << false;
    QTest::newRow("closed by the frame") << false << false;
    QTest::newRow("closed by the frame after a delete") << false << true;
    QTest::newRow("closed with 关闭 after a delete") << true << true;
}

void TestClientWindow::newClientNotSaved()
{
    QFETCH(bool, closeButton);
    QFETCH(bool, deleteFirst);
    m_database->addNamed({u"甲"_s, u"乙"_s, u"丙"_s});
    frmClient *window = open();
    QVERIFY(window);
    if (deleteFirst)
        toolButton(window, u"删除"_s)->trigger();
    const QStringList before = m_database->names();
    ModalHandler<frmClientInfo> add([closeButton](frmClientInfo *dialog) {
        setText(dialog, u"txtField_1"_s, u"不要"_s);
        if (closeButton)
            press(dialog, "cmdClose");
        else
            dialog->close();
    });
    toolButton(window, u"新建"_s)->trigger();
    QCOMPARE(add.seen, 1);
    if (closeButton)
        QVERIFY(!window->DataChanged());
    QVERIFY(waitLoaded(window));
    // Whatever the list does next, the pending row is gone for good.
    toolButton(window, u"刷新"_s)->trigger();
    QVERIFY(waitLoaded(window));
    QCOMPARE(m_database->names(), before);
    QCOMPARE(m_database->raw.count(u"客户"_s), before.size());
    QCOMPARE(listNames(window), before);
}

void TestClientWindow::viewEditConfirm()
{
    m_database->addNamed({u"甲"_s, u"乙"_s, u"丙"_s}, {{u"电话"_s, u"010-1"_s}});
    frmClient *window = open();
    QVERIFY(window);
    window->SetViewMode(3);
    bool disabledInView = false;
    bool okHiddenInView = false;
    QString shownName;
    ModalHandler<frmClientInfo> edit([&](frmClientInfo *dialog) {
        QCOMPARE(dialog->Style(), int(StyleView));
        shownName = textOf(dialog, u"txtField_1"_s);
        disabledInView = !field(dialog, u"txtField_6"_s)->isEnabled();
        okHiddenInView = !dialog->findChild<QPushButton *>(u"cmdOk"_s)->isVisible();
        press(dialog, "cmdEdit");
        QVERIFY(field(dialog, u"txtField_6"_s)->isEnabled());
        setText(dialog, u"txtField_6"_s, u"010-2222"_s);
        press(dialog, "cmdOk");
    });
    doubleClickRow(window, 2);
    QCOMPARE(edit.seen, 1);
    QCOMPARE(shownName, u"乙"_s);
    QVERIFY(disabledInView);
    QVERIFY(okHiddenInView);
    QVERIFY(waitLoaded(window));
    QCOMPARE(m_database->raw.column(u"SELECT \"电话\" FROM \"客户\" ORDER BY \"编号\""_s),
             (QStringList{u"010-1"_s, u"010-2222"_s, u"010-1"_s}));
    QCOMPARE(listColumn(window, ClientPhone), (QStringList{u"010-1"_s, u"010-2222"_s, u"010-1"_s}));
    QCOMPARE(listNames(window), (QStringList{u"甲"_s, u"乙"_s, u"丙"_s}));
}

void TestClientWindow::otherDeskChangedTheRow_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("phones");
    QTest::newRow("changed")
        << u"UPDATE \"客户\" SET \"电话\" = '9' WHERE \"编号\" = 1"_s
        << u"客户资料没有保存：其他用户已修改了这条记录，请按“刷新”查看后再修改"_s
        << QStringList{u"9"_s, u"010-1"_s};
    QTest::newRow("deleted") << u"DELETE FROM \"客户\" WHERE \"编号\" = 1"_s
                             << u"客户资料没有保存：其他用户已删除了这条记录"_s
                             << QStringList{u"010-1"_s};
}

// An edit of a row another desk changed or deleted meanwhile is refused, never written over.
void TestClientWindow::otherDeskChangedTheRow()
{
    QFETCH(QString, statement);
    QFETCH(QString, message);
    m_database->addNamed({u"甲"_s, u"乙"_s}, {{u"电话"_s, u"010-1"_s}});
    frmClient *window = open();
    QVERIFY(window);
    ModalHandler<frmClientInfo> edit([&](frmClientInfo *dialog) {
        QVERIFY(m_database->raw.exec(statement));
        setText(dialog, u"txtField_6"_s, u"010-2222"_s);
        press(dialog, "cmdOk");
    });
    toolButton(window, u"修改"_s)->trigger();
    QCOMPARE(edit.seen, 1);
    QVERIFY(waitLoaded(window));
    QCOMPARE(m_recorder->texts(), QStringList{message});
    QTEST(m_database->raw.column(u"SELECT \"电话\" FROM \"客户\" ORDER BY \"编号\""_s), "phones");
}

void TestClientWindow::auditFlag_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("true") << u"true"_s << u"1"_s << u"True"_s;
    QTest::newRow("false") << u"false"_s << u"0"_s << u"False"_s;
    QTest::newRow("empty") << QString() << u"0"_s << u"False"_s;
    QTest::newRow("minus one") << u"-1"_s << u"1"_s << u"True"_s;
    QTest::newRow("invalid") << u"审核过了"_s << u"1"_s << u"True"_s;
}

void TestClientWindow::auditFlag()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    m_database->addNamed({u"甲"_s}, {{u"审核标志"_s, 1}, {u"备注"_s, u"原来"_s}});
    frmClient *window = open();
    QVERIFY(window);
    bool stayedOpen = false;
    ModalHandler<frmClientInfo> edit([&](frmClientInfo *dialog) {
        QCOMPARE(textOf(dialog, u"cmbField_6"_s), u"True"_s);
        setText(dialog, u"cmbField_6"_s, typed);
        setText(dialog, u"txtField_3"_s, u"改过"_s);
        press(dialog, "cmdOk");
        stayedOpen = dialog->isVisible();
        if (stayedOpen) {
            QCOMPARE(textOf(dialog, u"cmbField_6"_s), typed);
            press(dialog, "cmdClose");
        }
    });
    toolButton(window, u"修改"_s)->trigger();
    QCOMPARE(edit.seen, 1);
    QVERIFY(waitLoaded(window));
    const bool invalid = QTest::currentDataTag() == QLatin1String("invalid");
    QCOMPARE(stayedOpen, invalid);
    QCOMPARE(m_recorder->messages.size(), invalid ? 1 : 0);
    if (invalid) {
        QCOMPARE(m_recorder->messages.first().text,
                 u"“审核标志”只能填写 true（已审核）或 false（未审核），请改正后再按“确定”。"_s);
        QCOMPARE(m_recorder->messages.first().icon, QMessageBox::Warning);
    }
    QCOMPARE(m_database->raw.scalar(u"SELECT \"审核标志\" FROM \"客户\""_s), stored);
    QCOMPARE(m_database->raw.scalar(u"SELECT \"备注\" FROM \"客户\""_s),
             invalid ? u"原来"_s : u"改过"_s);
    QCOMPARE(listColumn(window, ClientAuditing), QStringList{shown});
}

void TestClientWindow::popupMenuOnEmptyList()
{
    frmClient *window = open();
    QVERIFY(window);
    window->SetViewMode(3);
    QAbstractItemView *view = window->lstvwClientInfo()->currentView();
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    QVERIFY(!window->findChild<frmMenu *>() ||
            !window->findChild<frmMenu *>()->mnuClient()->isVisible());
    // "新建资料" needs a row even for a new record.
    int dialogs = 0;
    ModalHandler<frmClientInfo> any([&dialogs](frmClientInfo *dialog) {
        ++dialogs;
        dialog->reject();
    });
    window->menuHolder()->mnuClientNew_Click();
    window->menuHolder()->mnuClientDetails_Click();
    window->menuHolder()->mnuClientDel_Click();
    QTest::qWait(30);
    QCOMPARE(dialogs, 0);
    QCOMPARE(m_database->raw.count(u"客户"_s), 0);
}

void TestClientWindow::popupMenu()
{
    QStringList names;
    for (int i = 1; i <= 40; ++i)
        names.append(u"客户%1"_s.arg(i));
    m_database->addNamed(names);
    frmClient *window = open();
    QVERIFY(window);
    window->SetViewMode(3);
    clickRow(window, 2, Qt::RightButton);
    frmMenu *holder = window->findChild<frmMenu *>();
    QVERIFY(holder);
    QVERIFY(!holder->isVisible());
    QMenu *menu = holder->mnuClient();
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->title(), u"Kestrova"_s);
    QStringList items;
    for (QAction *item : menu->actions()) {
        if (!item->isSeparator())
            items.append(item->objectName() + u'=' + item->text());
    }
    QCOMPARE(items,
             (QStringList{u"mnuClientDetails=详细资料(&I)..."_s, u"mnuClientNew=新建资料(&N)..."_s,
                          u"mnuClientDel=删除资料(&D)"_s, u"mnuClientExport=导出(&E)..."_s}));
    menu->close();

    // Deleting removes the selected row at once, from the table and from the list.
    QCOMPARE(window->lstvwClientInfo()->selectedRow(), 2);
    holder->findChild<QAction *>(u"mnuClientDel"_s)->trigger();
    QCOMPARE(m_database->raw.count(u"客户"_s), 39);
    QVERIFY(!m_database->names().contains(u"客户2"_s));
    QCOMPARE(window->lstvwClientInfo()->rowCount(), 39);
    QCOMPARE(window->lstvwClientInfo()->model()->text(1, ClientName), u"客户3"_s);

    // Details of row 35 show the 35th row of the list.
    clickRow(window, 35);
    QString shown;
    int style = -1;
    ModalHandler<frmClientInfo> view([&](frmClientInfo *dialog) {
        shown = textOf(dialog, u"txtField_1"_s);
        style = dialog->Style();
        press(dialog, "cmdClose");
    });
    holder->findChild<QAction *>(u"mnuClientDetails"_s)->trigger();
    QCOMPARE(view.seen, 1);
    QCOMPARE(shown, u"客户36"_s);
    QCOMPARE(style, int(StyleView));
    QVERIFY(m_recorder->messages.isEmpty());
}

void TestClientWindow::halfLoadedListRefusesCommands()
{
    m_database->addMany(2000);
    frmClient *window = open();
    QVERIFY(window);
    window->SetViewMode(3);
    window->listLoader()->setMaxSliceRows(100);
    toolButton(window, u"刷新"_s)->trigger();
    QVERIFY(window->IsLoading());
    QCOMPARE(window->lstvwClientInfo()->rowCount(), 100);
    auto *progress = window->findChild<QProgressBar *>(u"prgLoad"_s);
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->maximum(), 2000);
    QCOMPARE(progress->value(), 100);

    int dialogs = 0;
    ModalHandler<frmClientInfo> any([&dialogs](frmClientInfo *dialog) {
        ++dialogs;
        dialog->reject();
    });
    for (const QString &key : {u"新建"_s, u"修改"_s, u"删除"_s, u"属性"_s, u"刷新"_s}) {
        QVERIFY2(!toolButton(window, key)->isEnabled(), qPrintable(key));
        toolButton(window, key)->trigger();
    }
    QVERIFY(!findButton(window)->isEnabled());
    QVERIFY(!classButton(window)->isEnabled());
    window->DeleteClient(1);
    window->OpenClientInfo(1, StyleView);
    window->OpenClientInfo(1, StyleNew);
    window->findChild<QLineEdit *>(u"txtFilte"_s)->setText(u"1"_s);
    window->FindClients();
    window->ShowClassClients();
    window->ShowAllClients();
    doubleClickRow(window, 1);
    clickRow(window, 2, Qt::RightButton);
    window->menuHolder()->mnuClientDel_Click();
    QVERIFY(!window->menuHolder()->mnuClient()->isVisible());
    QCOMPARE(dialogs, 0);

    // Rows keep arriving while the event loop runs, and the window answers meanwhile.
    QTRY_VERIFY(window->lstvwClientInfo()->rowCount() > 100);
    QVERIFY(waitLoaded(window));
    QCOMPARE(window->lstvwClientInfo()->rowCount(), 2000);
    QCOMPARE(m_database->raw.count(u"客户"_s), 2000);
    QCOMPARE(window->lstvwClientInfo()->model()->text(1999, ClientName), u"客户2000"_s);
    QVERIFY(!progress->isVisible());
    QVERIFY(toolButton(window, u"删除"_s)->isEnabled());
    QCOMPARE(window->CurrentRow(), 1);
    QCOMPARE(dialogs, 0);
    QVERIFY(m_recorder->messages.isEmpty());
}

void TestClientWindow::closeDuringLoad()
{
    m_database->addMany(1000);
    storeSetting(u"ViewMode"_s, u"1"_s);
    frmClient *window = open();
    QVERIFY(window);
    window->listLoader()->setMaxSliceRows(50);
    toolButton(window, u"刷新"_s)->trigger();
    QVERIFY(window->IsLoading());
    toolButton(window, u"详细资料"_s)->trigger();
    window->close();
    QVERIFY(!window->IsLoading());
    const int rows = window->lstvwClientInfo()->rowCount();
    QTest::qWait(50);
    // Nothing more is read once the window has closed.
    QCOMPARE(window->lstvwClientInfo()->rowCount(), rows);
    QVERIFY(rows < 1000);
    QCOMPARE(storedSetting(u"ViewMode"_s), u"3"_s);
}

void TestClientWindow::beyond32767Rows()
{
    m_database->addMany(40000);
    frmClient *window = open();
    QVERIFY(window);
    QCOMPARE(window->lstvwClientInfo()->rowCount(), 40000);
    QCOMPARE(window->lstvwClientInfo()->model()->text(39999, ClientName), u"客户40000"_s);
    QCOMPARE(window->lstvwClientInfo()->model()->text(39999, ClientID), u"40000"_s);
    // Positions beyond 16 bits reach the right table row.
    window->SetViewMode(3);
    clickRow(window, 39000);
    QCOMPARE(window->CurrentRow(), 39000);
    toolButton(window, u"删除"_s)->trigger();
    QCOMPARE(
        m_database->raw.scalar(u"SELECT count(*) FROM \"客户\" WHERE \"客户名称\" = '客户39000'"_s),
        u"0"_s);
    QCOMPARE(m_database->raw.count(u"客户"_s), 39999);
    QCOMPARE(window->lstvwClientInfo()->model()->text(38999, ClientName), u"客户39001"_s);
}

void TestClientWindow::layout()
{
    frmClient *window = open();
    QVERIFY(window);
    // The narrowest the window gets is 3000 twips.
    window->resize(2000 / 15, 400);
    QCOMPARE(window->width(), 200);
    window->resize(600, 400);
    QCOMPARE(window->size(), QSize(600, 400));

    auto *menuBar = window->findChild<QMenuBar *>(u"menuBar"_s);
    auto *toolbar = window->findChild<QToolBar *>(u"tbToolBar"_s);
    auto *find = window->findChild<QWidget *>(u"picFind"_s);
    QWidget *list = window->lstvwClientInfo();
    QCOMPARE(menuBar->geometry().top(), 0);
    QCOMPARE(toolbar->geometry().top(), menuBar->geometry().bottom() + 1);
    QCOMPARE(find->geometry().top(), toolbar->geometry().bottom() + 1);
    QCOMPARE(list->geometry(),
             QRect(0, find->geometry().bottom() + 1, 600, 400 - find->geometry().bottom() - 1));

    QAction *toolbarItem = window->findChild<QAction *>(u"mnuViewToolbar"_s);
    QCOMPARE(toolbarItem->text(), u"工具栏(&T)"_s);
    QVERIFY(toolbarItem->isChecked());
    toolbarItem->trigger();
    QVERIFY(!toolbarItem->isChecked());
    QVERIFY(!toolbar->isVisible());
    QCOMPARE(find->geometry().top(), menuBar->geometry().bottom() + 1);
    QCOMPARE(list->geometry().top(), find->geometry().bottom() + 1);
    QCOMPARE(list->geometry().bottom(), 399);
    toolbarItem->trigger();
    QVERIFY(toolbar->isVisible());
    QCOMPARE(find->geometry().top(), toolbar->geometry().bottom() + 1);

    QAction *statusItem = window->findChild<QAction *>(u"mnuViewStatusBar"_s);
    QCOMPARE(statusItem->text(), u"状态栏(&B)"_s);
    QVERIFY(statusItem->isChecked());
    statusItem->trigger();
    QVERIFY(statusItem->isChecked());

    // A window squeezed to almost nothing keeps working.
    window->resize(300, 10);
    QCOMPARE(list->height(), 0);
}

void TestClientWindow::closeStoresViewMode()
{
    m_database->addNamed({u"甲"_s});
    frmClient *window = open();
    QVERIFY(window);
    toolButton(window, u"列表"_s)->trigger();
    QAction *close = window->findChild<QAction *>(u"mnuFileClose"_s);
    QCOMPARE(close->text(), u"关闭(&C)"_s);
    close->trigger();
    QVERIFY(!window->isVisible());
    QCOMPARE(storedSetting(u"ViewMode"_s), u"2"_s);
    // The database is closed with the window: commands do nothing any more.
    window->DeleteClient(1);
    QCOMPARE(m_database->raw.count(u"客户"_s), 1);
}

QTEST_MAIN(TestClientWindow)
#include "tst_clientwindow.moc"
