// The client dialog on its own: field binding by tag, styles, showing and writing back a
// record, the audit flag, and the three ways to leave it.

#include "tst_app_fixture.h"

#include "customers/app/frmclient.h"
#include "customers/app/frmclientinfo.h"
#include "customers/data/clsclient.h"
#include "platform/shortdate.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace kestrova;
using namespace Qt::StringLiterals;

namespace {

// The bound controls of the dialog by tag.
QMap<int, QWidget *> boundControls(frmClientInfo &dialog)
{
    QMap<int, QWidget *> controls;
    for (QWidget *control : dialog.findChildren<QWidget *>()) {
        const int tag = frmClientInfo::controlTag(control);
        if (tag >= 0 && !frmClientInfo::controlKind(control).isEmpty())
            controls.insert(tag, control);
    }
    return controls;
}

QString valueOf(QWidget *control)
{
    if (auto *line = qobject_cast<QLineEdit *>(control))
        return line->text();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
        return memo->toPlainText();
    if (auto *date = qobject_cast<QDateEdit *>(control))
        return platform::shortDate(date->date());
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    return u"<unknown>"_s;
}

void setValue(QWidget *control, const QString &value)
{
    if (auto *line = qobject_cast<QLineEdit *>(control))
        line->setText(value);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
        memo->setPlainText(value);
    else if (auto *date = qobject_cast<QDateEdit *>(control))
        date->setDate(platform::parseShortDate(value));
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setEditText(value);
}

QPushButton *button(frmClientInfo &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}

// A record with a distinct text in every column.
clsClient fullRecord()
{
    clsClient client;
    for (int i = 0; i < ClientColumnCount; ++i)
        client.setMyProperty(i, u"值%1"_s.arg(i));
    client.setMyProperty(ClientID, u"17"_s);
    client.setMyProperty(ClientRegisterDate, u"2023-11-9"_s);
    client.setMyProperty(ClientAuditing, u"True"_s);
    return client;
}

} // namespace

class TestClientInfo : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fields_data();
    void fields();
    void choices_data();
    void choices();
    void labels();
    void styles();
    void showInfo();
    void emptyValuesKeepLayout();
    void confirmWritesBack();
    void registerDateKept_data();
    void registerDateKept();
    void auditFlag_data();
    void auditFlag();
    void closeButtonClearsDataChanged();
    void frameKeepsDataChanged();

private:
    std::unique_ptr<AppRecorder> m_recorder;
};

void TestClientInfo::init()
{
    m_recorder = std::make_unique<AppRecorder>();
}

void TestClientInfo::cleanup()
{
    gfrmClient = nullptr;
    m_recorder.reset();
}

void TestClientInfo::fields_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    const QString t = u"TEXTBOX"_s;
    const QString c = u"COMBOBOX"_s;
    const QList<std::pair<QString, QString>> controls = {
        {u"txtField_0"_s, t},           {u"txtField_1"_s, t},  {u"txtField_2"_s, t},
        {u"cmbField_0"_s, c},           {u"cmbField_1"_s, c},  {u"cmbField_2"_s, c},
        {u"txtField_6"_s, t},           {u"txtField_7"_s, t},  {u"txtField_8"_s, t},
        {u"txtField_9"_s, t},           {u"cmbField_3"_s, c},  {u"cmbField_4"_s, c},
        {u"txtField_12"_s, t},          {u"txtField_13"_s, t}, {u"txtField_14"_s, t},
        {u"cmbField_5"_s, c},           {u"txtField_16"_s, t}, {u"txtField_17"_s, t},
        {u"txtField_18"_s, t},          {u"txtField_4"_s, t},  {u"txtField_15"_s, t},
        {u"txtField_11"_s, t},          {u"txtField_10"_s, t}, {u"txtField_5"_s, t},
        {u"DTPField"_s, u"DTPICKER"_s}, {u"txtField_3"_s, t},  {u"cmbField_6"_s, c},
    };
    for (int tag = 0; tag < controls.size(); ++tag)
        QTest::addRow("%d %s", tag, qPrintable(clientCaptions()[tag]))
            << tag << controls[tag].first << controls[tag].second;
}

void TestClientInfo::fields()
{
    QFETCH(int, tag);
    QFETCH(QString, name);
    QFETCH(QString, kind);
    frmClientInfo dialog;
    const QMap<int, QWidget *> controls = boundControls(dialog);
    QCOMPARE(controls.size(), 27);
    QVERIFY(controls.contains(tag));
    QCOMPARE(controls[tag]->objectName(), name);
    QCOMPARE(frmClientInfo::controlKind(controls[tag]), kind);
    // Fields start disabled.
    QVERIFY(!controls[tag]->isEnabled());
}

void TestClientInfo::choices_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("性质") << u"cmbField_0"_s
                          << QStringList{u"丢失的客户"_s, u"老客户"_s, u"潜在客户"_s, u"新客户"_s,
                                         u"新经销商"_s};
    QTest::newRow("类型") << u"cmbField_1"_s
                          << QStringList{u"国有企业"_s, u"集体企业"_s, u"私营企业"_s, u"研究机构"_s,
                                         u"政府机关"_s};
    QTest::newRow("来源") << u"cmbField_2"_s << QStringList{u"展会"_s, u"朋友介绍"_s, u"广告"_s};
    QTest::newRow("行业") << u"cmbField_3"_s
                          << QStringList{u"出版"_s, u"电子"_s, u"广告"_s,   u"化工"_s, u"机械"_s,
                                         u"教育"_s, u"能源"_s, u"计算机"_s, u"其它"_s};
    QTest::newRow("信誉等级") << u"cmbField_4"_s << QStringList{u"A"_s, u"B"_s, u"C"_s};
    QTest::newRow("重要程度") << u"cmbField_5"_s
                              << QStringList{u"不重要"_s, u"普通"_s, u"重要"_s, u"很重要"_s};
    QTest::newRow("审核标志") << u"cmbField_6"_s << QStringList{u"true"_s, u"false"_s};
}

void TestClientInfo::choices()
{
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    frmClientInfo dialog;
    auto *combo = dialog.findChild<QComboBox *>(name);
    QVERIFY(combo);
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    QCOMPARE(texts, items);
    QVERIFY(combo->isEditable());
    QCOMPARE(combo->currentText(), QString());
}

void TestClientInfo::labels()
{
    frmClientInfo dialog;
    QCOMPARE(dialog.windowTitle(), u"客户信息"_s);
    QStringList titles;
    for (int i = 0; i < 27; ++i)
        titles.append(dialog.findChild<QLabel *>(u"lblTitle_%1"_s.arg(i))->text());
    QCOMPARE(titles, clientCaptions());
    QCOMPARE(dialog.findChild<QLabel *>(u"Label1"_s)->text(),
             u"提示:true为(已审核),false为(未审核)."_s);
    QCOMPARE(button(dialog, "cmdOk")->text(), u"确定"_s);
    QCOMPARE(button(dialog, "cmdEdit")->text(), u"修改"_s);
    QCOMPARE(button(dialog, "cmdClose")->text(), u"关闭"_s);
    QVERIFY(dialog.findChild<QPlainTextEdit *>(u"txtField_10"_s));
}

void TestClientInfo::styles()
{
    frmClientInfo dialog;
    dialog.show();
    const QMap<int, QWidget *> controls = boundControls(dialog);
    const auto enabledCount = [&controls] {
        int count = 0;
        for (QWidget *control : controls)
            count += control->isEnabled() ? 1 : 0;
        return count;
    };
    auto *id = dialog.findChild<QLineEdit *>(u"txtField_0"_s);

    dialog.setStyle(StyleView);
    QCOMPARE(enabledCount(), 0);
    QVERIFY(!button(dialog, "cmdOk")->isVisible());
    QVERIFY(button(dialog, "cmdEdit")->isVisible());

    // "修改" makes the fields editable in the open dialog, "编号" stays read-only.
    QTest::mouseClick(button(dialog, "cmdEdit"), Qt::LeftButton);
    QCOMPARE(dialog.Style(), int(StyleEdit));
    QCOMPARE(enabledCount(), 27);
    QVERIFY(id->isReadOnly());
    QVERIFY(button(dialog, "cmdOk")->isVisible());
    QVERIFY(!button(dialog, "cmdEdit")->isVisible());

    // Other numbers change nothing but the stored style.
    dialog.setStyle(5);
    QCOMPARE(dialog.Style(), 5);
    QCOMPARE(enabledCount(), 27);
    QVERIFY(button(dialog, "cmdOk")->isVisible());

    dialog.setStyle(StyleView);
    QCOMPARE(enabledCount(), 0);
    dialog.setStyle(StyleNew);
    QCOMPARE(enabledCount(), 27);
    QVERIFY(id->isReadOnly());
    QVERIFY(!button(dialog, "cmdEdit")->isVisible());
}

void TestClientInfo::showInfo()
{
    frmClientInfo dialog;
    QVERIFY(!dialog.ShowInfo());
    clsClient client = fullRecord();
    dialog.setStyle(StyleView);
    dialog.setTClient(&client);
    QCOMPARE(dialog.TClient(), &client);
    const QMap<int, QWidget *> controls = boundControls(dialog);
    for (int tag = 0; tag < ClientColumnCount; ++tag)
        QCOMPARE(valueOf(controls[tag]), client.MyProperty(tag));
    QCOMPARE(dialog.findChild<QDateEdit *>(u"DTPField"_s)->date(), QDate(2023, 11, 9));
}

void TestClientInfo::emptyValuesKeepLayout()
{
    frmClientInfo dialog;
    clsClient client;
    client.setMyProperty(ClientName, u"只有名字"_s);
    dialog.setStyle(StyleEdit);
    dialog.setTClient(&client);
    const QMap<int, QWidget *> controls = boundControls(dialog);
    QCOMPARE(valueOf(controls[ClientName]), u"只有名字"_s);
    QCOMPARE(valueOf(controls[ClientPhone]), QString());
    // The date picker starts at today's date.
    QCOMPARE(valueOf(controls[ClientRegisterDate]), platform::shortDate(QDate::currentDate()));
    QTest::mouseClick(button(dialog, "cmdOk"), Qt::LeftButton);
    QVERIFY(client.IsChangedDate());
    QCOMPARE(client.PHONE(), QString());
    QCOMPARE(client.MyProperty(ClientRegisterDate), platform::shortDate(QDate::currentDate()));
    QCOMPARE(client.MyProperty(ClientAuditing), u"False"_s);
}

void TestClientInfo::confirmWritesBack()
{
    frmClientInfo dialog;
    clsClient client = fullRecord();
    dialog.setStyle(StyleEdit);
    dialog.setTClient(&client);
    dialog.show();
    const QMap<int, QWidget *> controls = boundControls(dialog);
    QStringList expected;
    for (int tag = 0; tag < ClientColumnCount; ++tag) {
        QString value = u"新%1"_s.arg(tag);
        if (tag == ClientID)
            value = client.ID(); // read-only
        else if (tag == ClientRegisterDate)
            value = u"2024-2-29"_s;
        else if (tag == ClientAuditing)
            value = u"false"_s;
        else if (tag == ClientSurvey)
            value = u"第一行\n第二行"_s;
        if (tag != ClientID)
            setValue(controls[tag], value);
        expected.append(tag == ClientAuditing ? u"False"_s : value);
    }
    QTest::mouseClick(button(dialog, "cmdOk"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(client.IsChangedDate());
    QStringList written;
    for (int tag = 0; tag < ClientColumnCount; ++tag)
        written.append(client.MyProperty(tag));
    QCOMPARE(written, expected);
    QVERIFY(m_recorder->messages.isEmpty());
}

void TestClientInfo::registerDateKept_data()
{
    QTest::addColumn<QString>("date");
    QTest::newRow("recent") << u"2023-11-9"_s;
    QTest::newRow("before 1752") << u"1700-3-5"_s;
    QTest::newRow("year 1601") << u"1601-1-1"_s;
    QTest::newRow("last day") << u"9999-12-31"_s;
}

// Editing other fields of a client never changes the date it was registered on, however old.
void TestClientInfo::registerDateKept()
{
    QFETCH(QString, date);
    frmClientInfo dialog;
    clsClient client = fullRecord();
    QVERIFY(client.setMyProperty(ClientRegisterDate, date));
    dialog.setStyle(StyleEdit);
    dialog.setTClient(&client);
    QCOMPARE(valueOf(boundControls(dialog)[ClientRegisterDate]), date);
    QTest::mouseClick(button(dialog, "cmdOk"), Qt::LeftButton);
    QVERIFY(client.IsChangedDate());
    QCOMPARE(client.MyProperty(ClientRegisterDate), date);
}

void TestClientInfo::auditFlag_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("true") << u"true"_s << u"True"_s;
    QTest::newRow("TRUE") << u"TRUE"_s << u"True"_s;
    QTest::newRow("false") << u"false"_s << u"False"_s;
    QTest::newRow("empty") << QString() << u"False"_s;
    QTest::newRow("-1") << u"-1"_s << u"True"_s;
    QTest::newRow("0") << u"0"_s << u"False"_s;
    QTest::newRow("word") << u"已审核"_s << QString();
    QTest::newRow("blank") << u" "_s << QString();
}

void TestClientInfo::auditFlag()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    frmClientInfo dialog;
    clsClient client = fullRecord();
    dialog.setStyle(StyleEdit);
    dialog.setTClient(&client);
    dialog.show();
    dialog.findChild<QComboBox *>(u"cmbField_6"_s)->setEditText(typed);
    dialog.findChild<QLineEdit *>(u"txtField_1"_s)->setText(u"改名"_s);
    QTest::mouseClick(button(dialog, "cmdOk"), Qt::LeftButton);
    if (stored.isNull()) {
        // No boolean: the user is told, the dialog stays with the text, nothing is written.
        QCOMPARE(
            m_recorder->texts(),
            QStringList{
                u"“审核标志”只能填写 true（已审核）或 false（未审核），请改正后再按“确定”。"_s});
        QCOMPARE(m_recorder->messages.first().title, u"客户信息"_s);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.findChild<QComboBox *>(u"cmbField_6"_s)->currentText(), typed);
        QVERIFY(!client.IsChangedDate());
        QCOMPARE(client.NAME(), u"值1"_s);
        QCOMPARE(client.MyProperty(ClientAuditing), u"True"_s);
    } else {
        QVERIFY(m_recorder->messages.isEmpty());
        QVERIFY(!dialog.isVisible());
        QVERIFY(client.IsChangedDate());
        QCOMPARE(client.MyProperty(ClientAuditing), stored);
        QCOMPARE(client.NAME(), u"改名"_s);
    }
}

void TestClientInfo::closeButtonClearsDataChanged()
{
    AppDatabase database;
    frmClient window;
    QTRY_VERIFY(!window.IsLoading());
    gfrmClient = &window;
    window.setDataChanged(true);
    frmClientInfo dialog;
    clsClient client = fullRecord();
    dialog.setStyle(StyleEdit);
    dialog.setTClient(&client);
    dialog.show();
    dialog.findChild<QLineEdit *>(u"txtField_1"_s)->setText(u"不保存"_s);
    QTest::mouseClick(button(dialog, "cmdClose"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!window.DataChanged());
    QVERIFY(!client.IsChangedDate());
    QCOMPARE(client.NAME(), u"值1"_s);
}

void TestClientInfo::frameKeepsDataChanged()
{
    AppDatabase database;
    frmClient window;
    QTRY_VERIFY(!window.IsLoading());
    gfrmClient = &window;
    window.setDataChanged(true);
    frmClientInfo dialog;
    clsClient client = fullRecord();
    dialog.setStyle(StyleEdit);
    dialog.setTClient(&client);
    dialog.show();
    dialog.findChild<QLineEdit *>(u"txtField_1"_s)->setText(u"不保存"_s);
    dialog.close();
    QVERIFY(!dialog.isVisible());
    QVERIFY(window.DataChanged());
    QVERIFY(!client.IsChangedDate());
    QCOMPARE(client.NAME(), u"值1"_s);
}

QTEST_MAIN(TestClientInfo)
#include "tst_clientinfo.moc"
