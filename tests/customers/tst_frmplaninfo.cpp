#include "customerstest.h"

#include "customers/data/clsplan.h"
#include "customers/plans/frmplaninfo.h"
#include "platform/shortdate.h"
#include "platform/twips.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

using namespace kestrova;
using namespace Qt::StringLiterals;

namespace {

// The text a dialog input shows, whatever its kind.
QString inputText(const QWidget *input)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(input))
        return line->text();
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(input))
        return text->toPlainText();
    if (const auto *picker = qobject_cast<const QDateEdit *>(input))
        return platform::shortDate(picker->date());
    if (const auto *combo = qobject_cast<const QComboBox *>(input))
        return combo->currentText();
    return u"?"_s;
}

void setInputText(QWidget *input, const QString &value)
{
    if (auto *line = qobject_cast<QLineEdit *>(input))
        line->setText(value);
    else if (auto *text = qobject_cast<QPlainTextEdit *>(input))
        text->setPlainText(value);
    else if (auto *picker = qobject_cast<QDateEdit *>(input))
        picker->setDate(platform::parseShortDate(value));
    else if (auto *combo = qobject_cast<QComboBox *>(input))
        combo->setCurrentText(value);
}

// A plan with a value in every column, dates in the short form the dialog writes.
clsPlan fullPlan()
{
    clsPlan plan;
    const QStringList values = {u"8"_s,         u"上门拜访"_s,     u"2"_s,         u"2024-5-6"_s,
                                u"2024-5-20"_s, u"否"_s,           u"2024-5-18"_s, u"2024-5-19"_s,
                                u"王明"_s,      u"携带样品演示"_s, u"未完成"_s,    u"重要"_s,
                                u"李娜"_s,      u"2024-5-1"_s,     u"备注一"_s,    u"已审核"_s};
    for (int k = 0; k < PlanColumnCount; ++k)
        plan.setMyProperty(k, values[k]);
    return plan;
}

} // namespace

class TestFrmPlanInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_guard = std::make_unique<FailedReadGuard>(); }
    void cleanup()
    {
        QCOMPARE(m_guard->messages, QStringList());
        m_guard.reset();
    }
    void layoutFollowsTheDesign_data();
    void layoutFollowsTheDesign();
    void narrowBoxesShowTheirArrow_data();
    void narrowBoxesShowTheirArrow();
    void labelsNameTheirInputs_data();
    void labelsNameTheirInputs();
    void viewStyleThenEdit();
    void styles_data();
    void styles();
    void showInfoFillsEveryInput_data();
    void showInfoFillsEveryInput();
    void emptyColumnsLeaveInputsAtToday();
    void showInfoWithoutRecord();
    void clientBox_data();
    void clientBox();
    void confirmWritesEveryInput();
    void confirmWithoutChangesRaisesTheFlag();
    void oldDatesKept_data();
    void oldDatesKept();
    void closeLeavesTheRecord();
    void newPlanShowsItsPresets();

private:
    std::unique_ptr<TestDatabaseFile> m_file;
    std::unique_ptr<FailedReadGuard> m_guard;
};

void TestFrmPlanInfo::initTestCase()
{
    m_file = std::make_unique<TestDatabaseFile>();
    RawDatabase raw(m_file->path());
    QVERIFY(raw.addClients({u"华信文化传媒有限公司"_s, u"宏达电子科技"_s, u"鑫源化工"_s}));
}

void TestFrmPlanInfo::layoutFollowsTheDesign_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QRect>("twips");

    const auto row = [](const char16_t *name, const char16_t *tag, int x, int y, int w, int h) {
        QTest::newRow(QString::fromUtf16(name).toLatin1().constData())
            << QString::fromUtf16(name) << QString::fromUtf16(tag) << QRect(x, y, w, h);
    };
    row(u"cmbField_2", u"工作计划名称", 1200, 240, 6015, 300);
    row(u"txtField_1", u"1", 1200, 600, 6015, 975);
    row(u"cmbField_3", u"11", 1200, 1680, 855, 300);
    row(u"DTPField_0", u"3", 3000, 1680, 1575, 300);
    row(u"DTPField_1", u"4", 5640, 1680, 1575, 300);
    row(u"cmbField_0", u"5", 1215, 2040, 855, 300);
    row(u"DTPField_4", u"6", 3000, 2040, 1575, 300);
    row(u"DTPField_3", u"7", 5640, 2040, 1575, 300);
    row(u"txtField_2", u"8", 1200, 2400, 6015, 270);
    row(u"txtField_3", u"9", 1200, 2760, 6015, 975);
    row(u"cmbField_4", u"10", 1200, 3840, 855, 300);
    row(u"txtField_4", u"12", 3000, 3840, 4215, 270);
    row(u"txtField_0", u"14", 1200, 4200, 6015, 975);
    row(u"cmbField_1", u"15", 1200, 5280, 855, 300);
    row(u"DTPField_2", u"13", 3000, 5280, 4215, 300);
    row(u"cmdOk", u"", 4320, 5760, 1215, 375);
    row(u"cmdEdit", u"", 4320, 5760, 1215, 375);
    row(u"cmdClose", u"", 5760, 5760, 1215, 375);
}

void TestFrmPlanInfo::narrowBoxesShowTheirArrow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    for (const char *name : {"cmbField_3", "cmbField_0", "cmbField_4", "cmbField_1"}) {
        QTest::addRow("%s enabled", name) << QString::fromLatin1(name) << true;
        QTest::addRow("%s disabled", name) << QString::fromLatin1(name) << false;
    }
}

// At 855 twips the box keeps its size and still draws a dark arrow at its right end, while the
// rest of the empty box stays light.
void TestFrmPlanInfo::narrowBoxesShowTheirArrow()
{
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    frmPlanInfo dialog(m_file->path());
    dialog.setStyle(enabled ? frmPlanInfo::Edit : frmPlanInfo::View);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *box = dialog.findChild<QComboBox *>(name);
    QVERIFY(box);
    QCOMPARE(box->isEnabled(), enabled);
    QCOMPARE(box->width(), platform::twips(855));
    const QImage picture = box->grab().toImage();
    const qreal scale = picture.devicePixelRatio();
    const auto darkPixels = [&](int fromX, int toX) {
        int dark = 0;
        for (int y = 2; y < box->height() - 2; ++y) {
            for (int x = fromX; x < toX; ++x) {
                if (qGray(picture.pixel(int(x * scale), int(y * scale))) < 110)
                    ++dark;
            }
        }
        return dark;
    };
    QVERIFY2(darkPixels(box->width() - 14, box->width() - 2) >= 6, "no arrow drawn");
    QCOMPARE(darkPixels(3, box->width() - 16), 0);
}

void TestFrmPlanInfo::layoutFollowsTheDesign()
{
    QFETCH(QString, name);
    QFETCH(QString, tag);
    QFETCH(QRect, twips);
    frmPlanInfo dialog(m_file->path());
    QCOMPARE(dialog.windowTitle(), u"工作计划信息"_s);
    QCOMPARE(dialog.size(), QSize(platform::twips(8100), platform::twips(6450)));
    auto *control = dialog.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(),
             platform::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    QCOMPARE(control->property("tag").toString(), tag);
}

void TestFrmPlanInfo::labelsNameTheirInputs_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("caption");

    QTest::newRow("client") << u"cmbField_2"_s << u"客户名称"_s;
    const frmPlanInfo dialog(m_file->path());
    for (QWidget *input : dialog.inputs()) {
        bool numeric = false;
        const int column = input->property("tag").toString().toInt(&numeric);
        if (numeric)
            QTest::newRow(input->objectName().toLatin1().constData())
                << input->objectName() << planCaptions().at(column);
    }
}

void TestFrmPlanInfo::labelsNameTheirInputs()
{
    QFETCH(QString, input);
    QFETCH(QString, caption);
    frmPlanInfo dialog(m_file->path());
    const QWidget *field = dialog.findChild<QWidget *>(input);
    QVERIFY(field);
    // The label that names an input stands just left of it, on its first line.
    const QLabel *named = nullptr;
    for (const QLabel *label : dialog.findChildren<QLabel *>()) {
        if (!label->objectName().startsWith(u"lblTitle_"_s))
            continue;
        const QRect at = label->geometry();
        if (at.right() < field->x() && field->x() - at.right() <= 8 &&
            qAbs(at.top() - field->y()) <= 4)
            named = label;
    }
    QVERIFY(named);
    QCOMPARE(named->text(), caption);
    QVERIFY(named->isEnabled());
}

void TestFrmPlanInfo::viewStyleThenEdit()
{
    clsPlan plan = fullPlan();
    frmPlanInfo dialog(m_file->path());
    dialog.setStyle(frmPlanInfo::View);
    dialog.setTPlan(&plan);
    QCOMPARE(dialog.inputs().size(), 15);
    for (QWidget *input : dialog.inputs())
        QVERIFY2(!input->isEnabled(), qPrintable(input->objectName()));
    auto *ok = dialog.findChild<QPushButton *>(u"cmdOk"_s);
    auto *edit = dialog.findChild<QPushButton *>(u"cmdEdit"_s);
    auto *close = dialog.findChild<QPushButton *>(u"cmdClose"_s);
    QCOMPARE(edit->text(), u"修改"_s);
    QCOMPARE(close->text(), u"关闭"_s);
    QVERIFY(ok->isHidden());
    QVERIFY(!edit->isHidden());
    QVERIFY(!close->isHidden());

    QTest::mouseClick(edit, Qt::LeftButton);
    QCOMPARE(dialog.Style(), 1);
    QCOMPARE(ok->text(), u"确定"_s);
    QVERIFY(!ok->isHidden());
    QVERIFY(edit->isHidden());
    for (QWidget *input : dialog.inputs())
        QVERIFY2(input->isEnabled(), qPrintable(input->objectName()));
    QVERIFY(!plan.IsChangedDate());
}

void TestFrmPlanInfo::styles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("okShown");

    QTest::newRow("edit") << 1 << true << true;
    QTest::newRow("new") << 2 << true << true;
    // An unknown style changes nothing: the inputs stay as designed, disabled.
    QTest::newRow("unknown") << 7 << false << true;
}

void TestFrmPlanInfo::styles()
{
    QFETCH(int, style);
    QFETCH(bool, enabled);
    QFETCH(bool, okShown);
    frmPlanInfo dialog(m_file->path());
    dialog.setStyle(style);
    QCOMPARE(dialog.Style(), style);
    for (QWidget *input : dialog.inputs())
        QCOMPARE(input->isEnabled(), enabled);
    QCOMPARE(!dialog.findChild<QPushButton *>(u"cmdOk"_s)->isHidden(), okShown);
    QCOMPARE(dialog.findChild<QPushButton *>(u"cmdEdit"_s)->isHidden(), okShown);
}

void TestFrmPlanInfo::showInfoFillsEveryInput_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("client box") << u"cmbField_2"_s << u"宏达电子科技"_s;
    QTest::newRow("item") << u"txtField_1"_s << u"上门拜访"_s;
    QTest::newRow("importance") << u"cmbField_3"_s << u"重要"_s;
    QTest::newRow("start") << u"DTPField_0"_s << u"2024-5-6"_s;
    QTest::newRow("finish") << u"DTPField_1"_s << u"2024-5-20"_s;
    QTest::newRow("remind me") << u"cmbField_0"_s << u"否"_s;
    QTest::newRow("remind from") << u"DTPField_4"_s << u"2024-5-18"_s;
    QTest::newRow("remind until") << u"DTPField_3"_s << u"2024-5-19"_s;
    QTest::newRow("operator") << u"txtField_2"_s << u"王明"_s;
    QTest::newRow("project") << u"txtField_3"_s << u"携带样品演示"_s;
    QTest::newRow("finished") << u"cmbField_4"_s << u"未完成"_s;
    QTest::newRow("responsible") << u"txtField_4"_s << u"李娜"_s;
    QTest::newRow("remark") << u"txtField_0"_s << u"备注一"_s;
    QTest::newRow("audited") << u"cmbField_1"_s << u"已审核"_s;
    QTest::newRow("registered") << u"DTPField_2"_s << u"2024-5-1"_s;
}

void TestFrmPlanInfo::showInfoFillsEveryInput()
{
    QFETCH(QString, name);
    clsPlan plan = fullPlan();
    frmPlanInfo dialog(m_file->path());
    dialog.setStyle(frmPlanInfo::View);
    dialog.setTPlan(&plan);
    QTEST(inputText(dialog.findChild<QWidget *>(name)), "expected");
}

void TestFrmPlanInfo::emptyColumnsLeaveInputsAtToday()
{
    clsPlan plan;
    plan.setItem(u"电话回访"_s);
    frmPlanInfo dialog(m_file->path());
    dialog.setStyle(frmPlanInfo::Edit);
    dialog.setTPlan(&plan);
    const QString today = platform::shortDate(QDate::currentDate());
    for (QWidget *input : dialog.inputs()) {
        if (qobject_cast<QDateEdit *>(input))
            QCOMPARE(inputText(input), today);
    }
    QCOMPARE(inputText(dialog.findChild<QWidget *>(u"txtField_1"_s)), u"电话回访"_s);
    QCOMPARE(inputText(dialog.findChild<QWidget *>(u"txtField_3"_s)), QString());
    // The choice boxes start empty rather than claiming a choice nobody made.
    for (const char16_t *name : {u"cmbField_0", u"cmbField_1", u"cmbField_3", u"cmbField_4"})
        QCOMPARE(inputText(dialog.findChild<QWidget *>(QString::fromUtf16(name))), QString());
    QCOMPARE(dialog.findChild<QComboBox *>(u"cmbField_2"_s)->currentIndex(), -1);
}

void TestFrmPlanInfo::showInfoWithoutRecord()
{
    frmPlanInfo dialog(m_file->path());
    QVERIFY(!dialog.ShowInfo());
    QCOMPARE(dialog.findChild<QComboBox *>(u"cmbField_2"_s)->count(), 0);
}

void TestFrmPlanInfo::clientBox_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<int>("pick");
    QTest::addColumn<int>("expectedIndex");
    QTest::addColumn<QString>("expectedClient");

    QTest::newRow("the plan's client selected, kept") << u"2"_s << -2 << 1 << u"2"_s;
    QTest::newRow("another client chosen") << u"2"_s << 2 << 2 << u"3"_s;
    QTest::newRow("no such client, none selected, kept") << u"99"_s << -2 << -1 << u"99"_s;
    QTest::newRow("no such client, one chosen") << u"99"_s << 0 << 0 << u"1"_s;
    QTest::newRow("no client yet") << QString() << -2 << -1 << QString();
}

void TestFrmPlanInfo::clientBox()
{
    QFETCH(QString, client);
    QFETCH(int, pick);
    clsPlan plan;
    plan.setClient(client);
    frmPlanInfo dialog(m_file->path());
    dialog.setStyle(frmPlanInfo::Edit);
    dialog.setTPlan(&plan);
    auto *box = dialog.findChild<QComboBox *>(u"cmbField_2"_s);
    QVERIFY(!box->isEditable());
    QCOMPARE(box->count(), 3);
    QStringList entries;
    for (int i = 0; i < box->count(); ++i)
        entries.append(box->itemText(i) + u'=' + box->itemData(i).toString());
    QCOMPARE(entries,
             (QStringList{u"华信文化传媒有限公司=1"_s, u"宏达电子科技=2"_s, u"鑫源化工=3"_s}));
    if (pick >= 0)
        box->setCurrentIndex(pick);
    QTEST(box->currentIndex(), "expectedIndex");
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdOk"_s), Qt::LeftButton);
    QTEST(plan.Client(), "expectedClient");
    QVERIFY(plan.IsChangedDate());
}

void TestFrmPlanInfo::confirmWritesEveryInput()
{
    clsPlan plan;
    plan.setRegisterDate(u"2024-5-1"_s);
    plan.setAuditing(u"False"_s);
    frmPlanInfo dialog(m_file->path());
    dialog.setStyle(frmPlanInfo::New);
    dialog.setTPlan(&plan);
    const QHash<QString, QString> typed = {
        {u"txtField_1"_s, u"签订合同"_s},     {u"cmbField_3"_s, u"很重要"_s},
        {u"DTPField_0"_s, u"2024-6-3"_s},     {u"DTPField_1"_s, u"2024-6-28"_s},
        {u"cmbField_0"_s, u"是"_s},           {u"DTPField_4"_s, u"2024-6-27"_s},
        {u"DTPField_3"_s, u"2024-6-28"_s},    {u"txtField_2"_s, u"张伟"_s},
        {u"txtField_3"_s, u"整理合同条款"_s}, {u"cmbField_4"_s, u"完成"_s},
        {u"txtField_4"_s, u"陈静"_s},         {u"txtField_0"_s, u"加急"_s},
        {u"cmbField_1"_s, u"自定义"_s},       {u"DTPField_2"_s, u"2024-6-1"_s},
    };
    for (auto it = typed.cbegin(); it != typed.cend(); ++it)
        setInputText(dialog.findChild<QWidget *>(it.key()), it.value());
    dialog.findChild<QComboBox *>(u"cmbField_2"_s)->setCurrentIndex(2);
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdOk"_s), Qt::LeftButton);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(plan.IsChangedDate());
    QStringList values;
    for (int k = 0; k < PlanColumnCount; ++k)
        values.append(plan.MyProperty(k));
    QCOMPARE(values,
             (QStringList{QString(), u"签订合同"_s, u"3"_s, u"2024-6-3"_s, u"2024-6-28"_s, u"是"_s,
                          u"2024-6-27"_s, u"2024-6-28"_s, u"张伟"_s, u"整理合同条款"_s, u"完成"_s,
                          u"很重要"_s, u"陈静"_s, u"2024-6-1"_s, u"加急"_s, u"自定义"_s}));
}

void TestFrmPlanInfo::oldDatesKept_data()
{
    QTest::addColumn<QString>("picker");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("date");

    QTest::newRow("start, 1700") << u"DTPField_0"_s << int(PlanStartDate) << u"1700-3-5"_s;
    QTest::newRow("finish, 1601") << u"DTPField_1"_s << int(PlanFinishDate) << u"1601-1-1"_s;
    QTest::newRow("remind from, 100") << u"DTPField_4"_s << int(PlanStartRemind) << u"0100-1-1"_s;
    QTest::newRow("remind until, 9999") << u"DTPField_3"_s << int(PlanEndRemind) << u"9999-12-31"_s;
    QTest::newRow("registered, 1752") << u"DTPField_2"_s << int(PlanRegisterDate) << u"1752-9-13"_s;
}

void TestFrmPlanInfo::oldDatesKept()
{
    // A date the picker could not show would be written back changed when another field is
    // edited.
    QFETCH(QString, picker);
    QFETCH(int, column);
    QFETCH(QString, date);
    clsPlan plan = fullPlan();
    plan.setMyProperty(column, date);
    frmPlanInfo dialog(m_file->path());
    dialog.setStyle(frmPlanInfo::Edit);
    dialog.setTPlan(&plan);
    QCOMPARE(inputText(dialog.findChild<QWidget *>(picker)), date);
    setInputText(dialog.findChild<QWidget *>(u"txtField_1"_s), u"改过的事项"_s);
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdOk"_s), Qt::LeftButton);
    QCOMPARE(plan.MyProperty(column), date);
    QCOMPARE(plan.MyProperty(PlanItem), u"改过的事项"_s);
}

void TestFrmPlanInfo::confirmWithoutChangesRaisesTheFlag()
{
    clsPlan plan = fullPlan();
    const clsPlan before = plan;
    frmPlanInfo dialog(m_file->path());
    dialog.setStyle(frmPlanInfo::View);
    dialog.setTPlan(&plan);
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdEdit"_s), Qt::LeftButton);
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdOk"_s), Qt::LeftButton);
    QVERIFY(plan.IsChangedDate());
    for (int k = 0; k < PlanColumnCount; ++k)
        QCOMPARE(plan.MyProperty(k), before.MyProperty(k));
}

void TestFrmPlanInfo::closeLeavesTheRecord()
{
    clsPlan plan = fullPlan();
    frmPlanInfo dialog(m_file->path());
    dialog.setStyle(frmPlanInfo::Edit);
    dialog.setTPlan(&plan);
    setInputText(dialog.findChild<QWidget *>(u"txtField_1"_s), u"改过的事项"_s);
    dialog.findChild<QComboBox *>(u"cmbField_2"_s)->setCurrentIndex(0);
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdClose"_s), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!plan.IsChangedDate());
    QCOMPARE(plan.Item(), u"上门拜访"_s);
    QCOMPARE(plan.Client(), u"2"_s);
}

void TestFrmPlanInfo::newPlanShowsItsPresets()
{
    // What the plan window presets for a plan added from a calendar date.
    const QString today = platform::shortDate(QDate::currentDate());
    clsPlan plan;
    plan.setStartRemind(u"2024-7-9"_s);
    plan.setEndRemind(u"2024-7-9"_s);
    plan.setRegisterDate(today);
    plan.setAuditing(u"False"_s);
    frmPlanInfo dialog(m_file->path());
    dialog.setStyle(frmPlanInfo::New);
    dialog.setTPlan(&plan);
    QCOMPARE(inputText(dialog.findChild<QWidget *>(u"cmbField_1"_s)), u"False"_s);
    QCOMPARE(inputText(dialog.findChild<QWidget *>(u"DTPField_2"_s)), today);
    QCOMPARE(inputText(dialog.findChild<QWidget *>(u"DTPField_4"_s)), u"2024-7-9"_s);
    QCOMPARE(inputText(dialog.findChild<QWidget *>(u"DTPField_3"_s)), u"2024-7-9"_s);
    QCOMPARE(inputText(dialog.findChild<QWidget *>(u"DTPField_0"_s)), today);
    QCOMPARE(inputText(dialog.findChild<QWidget *>(u"DTPField_1"_s)), today);

    QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdOk"_s), Qt::LeftButton);
    QCOMPARE(plan.StartDate(), today);
    QCOMPARE(plan.FinishDate(), today);
    QCOMPARE(plan.StartRemind(), u"2024-7-9"_s);
    QCOMPARE(plan.Auditing(), u"False"_s);
    QCOMPARE(plan.Client(), QString());
}

QTEST_MAIN(TestFrmPlanInfo)
#include "tst_frmplaninfo.moc"
