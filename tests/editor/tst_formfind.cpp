#include "editor/form1.h"
#include "editor/formfind.h"
#include "platform/messagebox.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

#include <memory>

using pennote::Formfind;

namespace {

template<typename T> T *child(QWidget *dialog, const char *name)
{
    return dialog->findChild<T *>(QLatin1String(name));
}

} // namespace

class tst_formfind : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void findText_data();
    void findText();
    void controls_data();
    void controls();
    void tabOrder();
    void matchCase_data();
    void matchCase();
    void emptySearchText();
    void stepsThroughAndRoundAgain();
    void replaceStaysDisabledAfterFailure();
    void replace_data();
    void replace();
    void findAndReplaceAlternately();
    void findsInLaterParagraphs();
    void shortenedDocumentStartsOver();
    void closingDiscardsState_data();
    void closingDiscardsState();

private:
    struct Fixture
    {
        QTextEdit document;
        std::unique_ptr<Formfind> dialog;
    };
    std::unique_ptr<Fixture> open(const QString &text);
    void clickFind(Formfind *dialog) { child<QPushButton>(dialog, "Command1")->click(); }
    void clickReplace(Formfind *dialog) { child<QPushButton>(dialog, "Command2")->click(); }
    static QString selection(const QTextEdit &document)
    {
        const QTextCursor cursor = document.textCursor();
        return QStringLiteral("%1+%2")
            .arg(cursor.selectionStart())
            .arg(cursor.selectionEnd() - cursor.selectionStart());
    }

    QList<platform::MessageRequest> m_messages;
};

void tst_formfind::init()
{
    m_messages.clear();
    platform::setMessagePresenter([this](const platform::MessageRequest &request) {
        m_messages << request;
        return QMessageBox::Ok;
    });
}

void tst_formfind::cleanup()
{
    platform::setMessagePresenter({});
}

std::unique_ptr<tst_formfind::Fixture> tst_formfind::open(const QString &text)
{
    auto fixture = std::make_unique<Fixture>();
    fixture->document.setPlainText(text);
    fixture->dialog = std::make_unique<Formfind>(&fixture->document);
    // The test owns the dialog; closing must not delete it under the test's hands.
    fixture->dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    fixture->dialog->show();
    return fixture;
}

void tst_formfind::findText_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("found");

    QTest::newRow("first") << 1 << "abc abc"
                           << "abc" << true << 1;
    QTest::newRow("from the second") << 2 << "abc abc"
                                     << "abc" << true << 5;
    QTest::newRow("at the start position") << 5 << "abc abc"
                                           << "abc" << true << 5;
    QTest::newRow("past the last") << 6 << "abc abc"
                                   << "abc" << true << 0;
    QTest::newRow("case differs, exact") << 1 << "ABC abc"
                                         << "abc" << true << 5;
    QTest::newRow("case differs, loose") << 1 << "ABC abc"
                                         << "abc" << false << 1;
    QTest::newRow("Chinese") << 1 << "张三 电话 8620"
                             << "电话" << true << 4;
    QTest::newRow("empty text") << 1 << ""
                                << "abc" << true << 0;
    QTest::newRow("empty in empty") << 1 << ""
                                    << "" << true << 0;
    QTest::newRow("empty what") << 3 << "abcdef"
                                << "" << true << 3;
    QTest::newRow("empty what at the last character") << 6 << "abcdef"
                                                      << "" << true << 6;
    QTest::newRow("empty what past the end") << 7 << "abcdef"
                                             << "" << true << 0;
    QTest::newRow("longer than the text") << 1 << "ab"
                                          << "abc" << true << 0;
    QTest::newRow("start beyond the text") << 9 << "abc"
                                           << "c" << true << 0;
}

void tst_formfind::findText()
{
    QFETCH(int, start);
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(bool, matchCase);
    QFETCH(int, found);
    QCOMPARE(
        pennote::findText(start, text, what, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive),
        found);
}

void tst_formfind::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");

    QTest::newRow("Label1") << "Label1"
                            << "查找" << QRect(8, 24, 33, 17);
    QTest::newRow("Text1") << "Text1"
                           << "" << QRect(48, 16, 225, 25);
    QTest::newRow("Label2") << "Label2"
                            << "替换" << QRect(8, 64, 33, 17);
    QTest::newRow("Text2") << "Text2"
                           << "" << QRect(48, 64, 225, 25);
    QTest::newRow("Command1") << "Command1"
                              << "查找" << QRect(288, 16, 49, 25);
    QTest::newRow("Command2") << "Command2"
                              << "替换" << QRect(288, 40, 49, 25);
    QTest::newRow("Command3") << "Command3"
                              << "取消" << QRect(288, 64, 49, 25);
    QTest::newRow("Check1") << "Check1"
                            << "区分大小写" << QRect(48, 96, 89, 25);
}

void tst_formfind::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);

    auto fixture = open(QString());
    Formfind *dialog = fixture->dialog.get();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("查找"));
    QCOMPARE(dialog->objectName(), QStringLiteral("Formfind"));
    QCOMPARE(dialog->size(), QSize(351, 122));
    QWidget *control = dialog->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    QString text;
    if (auto *label = qobject_cast<QLabel *>(control))
        text = label->text();
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        text = edit->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        text = button->text();
    QCOMPARE(text, caption);
    QVERIFY(child<QPushButton>(dialog, "Command2")->isEnabled());
    QVERIFY(!child<QCheckBox>(dialog, "Check1")->isChecked());
    QCOMPARE(dialog->lastMatch(), 0);
}

void tst_formfind::tabOrder()
{
    auto fixture = open(QString());
    QStringList chain;
    QWidget *widget = child<QLineEdit>(fixture->dialog.get(), "Text1");
    for (int i = 0; i < 6; ++i) {
        chain << widget->objectName();
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
    }
    QCOMPARE(chain, (QStringList{"Text1", "Text2", "Command1", "Command2", "Command3", "Check1"}));
    QCOMPARE(widget->objectName(), QStringLiteral("Text1"));
}

void tst_formfind::matchCase_data()
{
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("selected");
    // "区分大小写" set means the case must match.
    QTest::newRow("box cleared: any case") << false << "0+3";
    QTest::newRow("box set: exact") << true << "4+3";
}

void tst_formfind::matchCase()
{
    QFETCH(bool, matchCase);
    QFETCH(QString, selected);

    auto fixture = open(QStringLiteral("ABC abc"));
    Formfind *dialog = fixture->dialog.get();
    child<QLineEdit>(dialog, "Text1")->setText(QStringLiteral("abc"));
    child<QCheckBox>(dialog, "Check1")->setChecked(matchCase);
    clickFind(dialog);
    QCOMPARE(selection(fixture->document), selected);
    QVERIFY(m_messages.isEmpty());
}

void tst_formfind::emptySearchText()
{
    auto fixture = open(QStringLiteral("abc"));
    Formfind *dialog = fixture->dialog.get();
    QTextCursor away = fixture->document.textCursor();
    away.setPosition(2);
    fixture->document.setTextCursor(away);
    child<QPushButton>(dialog, "Command2")->setEnabled(false);
    clickFind(dialog);
    QCOMPARE(selection(fixture->document), QStringLiteral("0+0"));
    QVERIFY(child<QPushButton>(dialog, "Command2")->isEnabled());
    QCOMPARE(dialog->lastMatch(), 1);
    clickFind(dialog);
    QCOMPARE(selection(fixture->document), QStringLiteral("1+0"));
    QVERIFY(m_messages.isEmpty());
}

void tst_formfind::stepsThroughAndRoundAgain()
{
    auto fixture = open(QStringLiteral("abc xyz abc"));
    Formfind *dialog = fixture->dialog.get();
    auto *replace = child<QPushButton>(dialog, "Command2");
    child<QLineEdit>(dialog, "Text1")->setText(QStringLiteral("abc"));

    clickFind(dialog);
    QCOMPARE(selection(fixture->document), QStringLiteral("0+3"));
    QCOMPARE(dialog->lastMatch(), 1);
    clickFind(dialog);
    QCOMPARE(selection(fixture->document), QStringLiteral("8+3"));
    QCOMPARE(dialog->lastMatch(), 9);
    QVERIFY(m_messages.isEmpty());

    clickFind(dialog);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, QStringLiteral("未找到指定字符串"));
    QCOMPARE(m_messages.first().icon, QMessageBox::Information);
    QCOMPARE(m_messages.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(!replace->isEnabled());
    QCOMPARE(dialog->lastMatch(), 0);
    QCOMPARE(selection(fixture->document), QStringLiteral("8+3"));
    QCOMPARE(fixture->document.toPlainText(), QStringLiteral("abc xyz abc"));

    clickFind(dialog);
    QCOMPARE(selection(fixture->document), QStringLiteral("0+3"));
    QVERIFY(replace->isEnabled());
    QCOMPARE(m_messages.size(), 1);
}

void tst_formfind::replaceStaysDisabledAfterFailure()
{
    auto fixture = open(QStringLiteral("abc"));
    Formfind *dialog = fixture->dialog.get();
    auto *replace = child<QPushButton>(dialog, "Command2");
    auto *what = child<QLineEdit>(dialog, "Text1");
    what->setText(QStringLiteral("zzz"));
    clickFind(dialog);
    QVERIFY(!replace->isEnabled());
    what->setText(QStringLiteral("qqq"));
    clickFind(dialog);
    QVERIFY(!replace->isEnabled());
    child<QLineEdit>(dialog, "Text2")->setText(QStringLiteral("x"));
    QCOMPARE(m_messages.size(), 2);
    what->setText(QStringLiteral("b"));
    clickFind(dialog);
    QVERIFY(replace->isEnabled());
    QCOMPARE(selection(fixture->document), QStringLiteral("1+1"));
}

void tst_formfind::replace_data()
{
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("caret");

    // The document is "张三 电话 8620".
    QTest::newRow("selection") << 3 << 5 << "手机"
                               << "张三 手机 8620" << 5;
    QTest::newRow("selection backwards") << 5 << 3 << "传真号"
                                         << "张三 传真号 8620" << 6;
    QTest::newRow("empty replacement deletes") << 2 << 5 << ""
                                               << "张三 8620" << 2;
    QTest::newRow("no selection inserts") << 2 << 2 << "先生"
                                          << "张三先生 电话 8620" << 4;
    QTest::newRow("at the end") << 10 << 10 << "!"
                                << "张三 电话 8620!" << 11;
}

void tst_formfind::replace()
{
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, replacement);
    QFETCH(QString, result);
    QFETCH(int, caret);

    auto fixture = open(QStringLiteral("张三 电话 8620"));
    QTextCursor cursor = fixture->document.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    fixture->document.setTextCursor(cursor);
    child<QLineEdit>(fixture->dialog.get(), "Text2")->setText(replacement);
    clickReplace(fixture->dialog.get());
    QCOMPARE(fixture->document.toPlainText(), result);
    QCOMPARE(selection(fixture->document), QStringLiteral("%1+0").arg(caret));
    QVERIFY(m_messages.isEmpty());
}

void tst_formfind::findAndReplaceAlternately()
{
    auto fixture = open(QStringLiteral("a-a-A"));
    Formfind *dialog = fixture->dialog.get();
    child<QLineEdit>(dialog, "Text1")->setText(QStringLiteral("a"));
    child<QLineEdit>(dialog, "Text2")->setText(QStringLiteral("aa"));
    for (int round = 0; round < 3; ++round) {
        clickFind(dialog);
        clickReplace(dialog);
    }
    // Each find continues one character after the replaced occurrence, so a replacement that
    // holds the searched text is found again from its second letter.
    QCOMPARE(fixture->document.toPlainText(), QStringLiteral("aaaa-a-A"));
    QVERIFY(m_messages.isEmpty());

    auto second = open(QStringLiteral("a-a-A"));
    child<QLineEdit>(second->dialog.get(), "Text1")->setText(QStringLiteral("a"));
    child<QLineEdit>(second->dialog.get(), "Text2")->setText(QStringLiteral("b"));
    for (int round = 0; round < 3; ++round) {
        clickFind(second->dialog.get());
        clickReplace(second->dialog.get());
    }
    QCOMPARE(second->document.toPlainText(), QStringLiteral("b-b-b"));
}

void tst_formfind::findsInLaterParagraphs()
{
    auto fixture = open(QStringLiteral("第一行\n张三\n第三行 张三"));
    Formfind *dialog = fixture->dialog.get();
    child<QLineEdit>(dialog, "Text1")->setText(QStringLiteral("张三"));
    clickFind(dialog);
    QCOMPARE(selection(fixture->document), QStringLiteral("4+2"));
    QCOMPARE(fixture->document.textCursor().selectedText(), QStringLiteral("张三"));
    clickFind(dialog);
    QCOMPARE(selection(fixture->document), QStringLiteral("11+2"));
    QCOMPARE(fixture->document.textCursor().selectedText(), QStringLiteral("张三"));
}

void tst_formfind::shortenedDocumentStartsOver()
{
    auto fixture = open(QStringLiteral("xx xx xx"));
    Formfind *dialog = fixture->dialog.get();
    child<QLineEdit>(dialog, "Text1")->setText(QStringLiteral("xx"));
    clickFind(dialog);
    clickFind(dialog);
    clickFind(dialog);
    QCOMPARE(dialog->lastMatch(), 7);
    fixture->document.setPlainText(QStringLiteral("xx"));
    clickFind(dialog);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(fixture->document.toPlainText(), QStringLiteral("xx"));
    clickFind(dialog);
    QCOMPARE(selection(fixture->document), QStringLiteral("0+2"));
}

void tst_formfind::closingDiscardsState_data()
{
    QTest::addColumn<bool>("byCancelButton");
    QTest::newRow("取消") << true;
    QTest::newRow("window closed") << false;
}

void tst_formfind::closingDiscardsState()
{
    QFETCH(bool, byCancelButton);

    pennote::Form1 window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *document = window.findChild<QTextEdit *>(QStringLiteral("RichTextBox1"));
    document->setPlainText(QStringLiteral("abc ABC abc"));
    window.findChild<QToolBar *>(QStringLiteral("Toolbar1"))
        ->findChild<QAction *>(QStringLiteral("find"))
        ->trigger();
    QPointer<Formfind> dialog = window.findDialog();
    QVERIFY(dialog);
    child<QLineEdit>(dialog, "Text1")->setText(QStringLiteral("abc"));
    child<QLineEdit>(dialog, "Text2")->setText(QStringLiteral("x"));
    child<QCheckBox>(dialog, "Check1")->setChecked(true);
    clickFind(dialog);
    clickFind(dialog);
    QCOMPARE(dialog->lastMatch(), 9);
    child<QLineEdit>(dialog, "Text1")->setText(QStringLiteral("zzz"));
    clickFind(dialog);
    QVERIFY(!child<QPushButton>(dialog, "Command2")->isEnabled());

    if (byCancelButton)
        child<QPushButton>(dialog, "Command3")->click();
    else
        dialog->close();
    QTRY_VERIFY(!dialog);

    QAction *find = nullptr;
    for (QMenu *menu : window.findChildren<QMenu *>()) {
        if (auto *item = menu->findChild<QAction *>(QStringLiteral("find")))
            find = item;
    }
    QVERIFY(find);
    find->trigger();
    dialog = window.findDialog();
    QVERIFY(dialog);
    QCOMPARE(child<QLineEdit>(dialog, "Text1")->text(), QString());
    QCOMPARE(child<QLineEdit>(dialog, "Text2")->text(), QString());
    QVERIFY(!child<QCheckBox>(dialog, "Check1")->isChecked());
    QVERIFY(child<QPushButton>(dialog, "Command2")->isEnabled());
    QCOMPARE(dialog->lastMatch(), 0);
    child<QLineEdit>(dialog, "Text1")->setText(QStringLiteral("abc"));
    clickFind(dialog);
    // From the first character again, and without "区分大小写" any case matches.
    QCOMPARE(selection(*document), QStringLiteral("0+3"));
    clickFind(dialog);
    QCOMPARE(selection(*document), QStringLiteral("4+3"));
}

QTEST_MAIN(tst_formfind)
#include "tst_formfind.moc"
