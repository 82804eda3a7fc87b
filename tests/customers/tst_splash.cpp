// Start-up, the login form and the change-password dialog, on real files in a private working
// folder.

#include "tst_app_fixture.h"

#include "customers/app/form1.h"
#include "customers/app/frmsplash.h"
#include "customers/app/mdifrmmain.h"
#include "customers/app/mdlmain.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace kestrova;
using namespace Qt::StringLiterals;

namespace {

QLineEdit *box(QWidget *form, const char *name)
{
    return form->findChild<QLineEdit *>(QLatin1String(name));
}

QPushButton *button(QWidget *form, const char *name)
{
    return form->findChild<QPushButton *>(QLatin1String(name));
}

// Types the password into the login form and presses "确认".
void tryLogin(frmSplash *splash, const QString &password)
{
    box(splash, "Text1")->setText(password);
    QTest::mouseClick(button(splash, "Command1"), Qt::LeftButton);
}

// Sets a new password through the change-password dialog.
void changePassword(const QString &first, const QString &second)
{
    Form1 dialog;
    dialog.show();
    box(&dialog, "Text1")->setText(first);
    box(&dialog, "Text2")->setText(second);
    QTest::mouseClick(button(&dialog, "Command1"), Qt::LeftButton);
}

} // namespace

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startWithoutDatabase();
    void loginForm();
    void rightPassword();
    void wrongThreeTimesThenFourthPress_data();
    void wrongThreeTimesThenFourthPress();
    void wrongThenRight();
    void fileReadAtEveryPress();
    void emptyFileKeepsPreviousPassword();
    void missingPasswordFile();
    void cancelEndsProgram();
    void oldFiles_data();
    void oldFiles();
    void changedPasswordLogsIn_data();
    void changedPasswordLogsIn();
    void differingPasswords();
    void unwritablePasswordFile();
    void passwordDialogCancel();

private:
    std::unique_ptr<AppRecorder> m_recorder;
    std::unique_ptr<WorkFolder> m_work;
    std::unique_ptr<AppDatabase> m_database;
};

void TestSplash::init()
{
    clearSettings();
    m_recorder = std::make_unique<AppRecorder>();
    m_work = std::make_unique<WorkFolder>();
    m_database = std::make_unique<AppDatabase>();
    m_work->write(u"5566.jpg"_s, "580417\r\n");
}

void TestSplash::cleanup()
{
    m_database.reset();
    m_work.reset();
    m_recorder.reset();
}

void TestSplash::startWithoutDatabase()
{
    setDataFilePath(m_work->filePath(u"khdata.mdb"_s));
    mdlMain program;
    QVERIFY(!program.Main());
    QCOMPARE(m_recorder->messages.size(), 1);
    const platform::MessageRequest &message = m_recorder->messages.first();
    QCOMPARE(message.text, u"文件已经损坏,请您重新安装"_s);
    QCOMPARE(message.title, u"Kestrova"_s);
    QCOMPARE(message.icon, QMessageBox::NoIcon);
    QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(m_recorder->endCodes, QList<int>{1});
    QVERIFY(!program.splash()->isVisible());
    QVERIFY(!program.mainWindow());
}

void TestSplash::loginForm()
{
    mdlMain program;
    QVERIFY(program.Main());
    frmSplash *splash = program.splash();
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->windowTitle(), QString());
    QCOMPARE(splash->findChild<QLabel *>(u"lblVersion"_s)->text(), u"Version 1.0.0"_s);
    QCOMPARE(splash->findChild<QLabel *>(u"lblProductName"_s)->text(), u"Kestrova"_s);
    QCOMPARE(splash->findChild<QLabel *>(u"Label1"_s)->text(),
             u"密码初始为：580417,请登陆后修改."_s);
    QCOMPARE(button(splash, "Command1")->text(), u"确认"_s);
    QCOMPARE(button(splash, "Command2")->text(), u"取消"_s);
    QCOMPARE(box(splash, "Text1")->echoMode(), QLineEdit::Password);
    QCOMPARE(box(splash, "Text1")->text(), QString());
    QCOMPARE(splash->palette().color(QPalette::Window), QColor(224, 224, 224));
    QVERIFY(splash->findChild<QWidget *>(u"fraMainFrame"_s));
    QCOMPARE(splash->attempts(), 0);
    QVERIFY(m_recorder->messages.isEmpty());
}

void TestSplash::rightPassword()
{
    mdlMain program;
    QVERIFY(program.Main());
    tryLogin(program.splash(), u"580417"_s);
    QVERIFY(m_recorder->messages.isEmpty());
    QVERIFY(program.mainWindow());
    QVERIFY(program.mainWindow()->isVisible());
    QCOMPARE(program.mainWindow()->windowTitle(), u"Kestrova"_s);
    QVERIFY(!program.splash()->isVisible());
    QVERIFY(m_recorder->endCodes.isEmpty());
}

void TestSplash::wrongThreeTimesThenFourthPress_data()
{
    QTest::addColumn<QString>("fourth");
    QTest::newRow("wrong again") << u"000000"_s;
    // The fourth press does not compare at all, so even the right password ends the program.
    QTest::newRow("right at last") << u"580417"_s;
}

void TestSplash::wrongThreeTimesThenFourthPress()
{
    QFETCH(QString, fourth);
    mdlMain program;
    QVERIFY(program.Main());
    frmSplash *splash = program.splash();
    m_recorder->answers = {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Ok};
    for (int press = 1; press <= 3; ++press) {
        tryLogin(splash, u"58041"_s + QString::number(press));
        QCOMPARE(m_recorder->messages.size(), press);
        const platform::MessageRequest &message = m_recorder->messages.last();
        QCOMPARE(message.text, u"用户密码输入错误!请再输一次!"_s);
        QCOMPARE(message.title, u"警告"_s);
        QCOMPARE(message.icon, QMessageBox::Critical);
        QCOMPARE(message.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        // Whatever the answer, the form stays with the text as typed.
        QVERIFY(splash->isVisible());
        QCOMPARE(box(splash, "Text1")->text(), u"58041"_s + QString::number(press));
    }
    tryLogin(splash, fourth);
    QCOMPARE(m_recorder->messages.size(), 3);
    QVERIFY(!splash->isVisible());
    QVERIFY(!program.mainWindow());
    QCOMPARE(m_recorder->endCodes, QList<int>{0});
}

void TestSplash::wrongThenRight()
{
    mdlMain program;
    QVERIFY(program.Main());
    tryLogin(program.splash(), u"580418"_s);
    tryLogin(program.splash(), u"580417 "_s); // a trailing blank is part of what was typed
    tryLogin(program.splash(), u"580417"_s);
    QCOMPARE(m_recorder->messages.size(), 2);
    QVERIFY(program.mainWindow());
    QVERIFY(m_recorder->endCodes.isEmpty());
}

void TestSplash::fileReadAtEveryPress()
{
    mdlMain program;
    QVERIFY(program.Main());
    tryLogin(program.splash(), u"secret"_s);
    QCOMPARE(m_recorder->messages.size(), 1);
    m_work->write(u"5566.jpg"_s, "secret\r\n");
    tryLogin(program.splash(), u"secret"_s);
    QCOMPARE(m_recorder->messages.size(), 1);
    QVERIFY(program.mainWindow());
}

void TestSplash::emptyFileKeepsPreviousPassword()
{
    mdlMain program;
    QVERIFY(program.Main());
    m_work->write(u"5566.jpg"_s, "first\r\n");
    tryLogin(program.splash(), u"wrong"_s);
    QCOMPARE(m_recorder->messages.size(), 1);
    m_work->write(u"5566.jpg"_s, QByteArray());
    // The empty file leaves the password read at the previous press.
    tryLogin(program.splash(), QString());
    QCOMPARE(m_recorder->messages.size(), 2);
    tryLogin(program.splash(), u"first"_s);
    QCOMPARE(m_recorder->messages.size(), 2);
    QVERIFY(program.mainWindow());
}

void TestSplash::missingPasswordFile()
{
    QVERIFY(QFile::remove(m_work->filePath(u"5566.jpg"_s)));
    mdlMain program;
    QVERIFY(program.Main());
    for (int press = 1; press <= 5; ++press)
        tryLogin(program.splash(), QString());
    QCOMPARE(m_recorder->messages.size(), 5);
    QCOMPARE(
        m_recorder->messages.first().text,
        u"找不到密码文件“5566.jpg”或无法读取它，无法登录。请把它放回程序的工作文件夹后再试。"_s);
    QCOMPARE(m_recorder->messages.first().title, u"警告"_s);
    // Presses without a file to compare with do not count towards the three attempts.
    QCOMPARE(program.splash()->attempts(), 0);
    QVERIFY(program.splash()->isVisible());
    m_work->write(u"5566.jpg"_s, "580417\r\n");
    tryLogin(program.splash(), u"580417"_s);
    QVERIFY(program.mainWindow());
}

void TestSplash::cancelEndsProgram()
{
    mdlMain program;
    QVERIFY(program.Main());
    QTest::mouseClick(button(program.splash(), "Command2"), Qt::LeftButton);
    QVERIFY(!program.splash()->isVisible());
    QCOMPARE(m_recorder->endCodes, QList<int>{0});
    QVERIFY(!program.mainWindow());
    QVERIFY(m_recorder->messages.isEmpty());
}

void TestSplash::oldFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<QString>("refused");
    // Files written by the original program: the password as typed, then a line break.
    QTest::newRow("leading blank lost") << QByteArray(" abc\r\n") << u"abc"_s << u" abc"_s;
    QTest::newRow("comma splits") << QByteArray("ab,cd\r\n") << u"cd"_s << u"ab,cd"_s;
    QTest::newRow("empty password") << QByteArray("\r\n") << QString() << u" "_s;
    QTest::newRow("case matters") << QByteArray("AbC\r\n") << u"AbC"_s << u"abc"_s;
    QTest::newRow("gbk") << QByteArray("\xC3\xDC\xC2\xEB\r\n") << u"密码"_s << u"密"_s;
}

void TestSplash::oldFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, accepted);
    QFETCH(QString, refused);
    m_work->write(u"5566.jpg"_s, file);
    mdlMain program;
    QVERIFY(program.Main());
    tryLogin(program.splash(), refused);
    QCOMPARE(m_recorder->texts(), QStringList{u"用户密码输入错误!请再输一次!"_s});
    tryLogin(program.splash(), accepted);
    QCOMPARE(m_recorder->messages.size(), 1);
    QVERIFY(program.mainWindow());
}

void TestSplash::changedPasswordLogsIn_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("plain") << u"k2024"_s;
    QTest::newRow("comma") << u"ab,cd"_s;
    QTest::newRow("leading blank") << u" abc"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("quote") << u"say \"hi\""_s;
    QTest::newRow("chinese") << u"客户,密码"_s;
}

void TestSplash::changedPasswordLogsIn()
{
    QFETCH(QString, password);
    changePassword(password, password);
    QVERIFY(m_recorder->messages.isEmpty());
    mdlMain program;
    QVERIFY(program.Main());
    tryLogin(program.splash(), u"580417"_s);
    QCOMPARE(m_recorder->messages.size(), 1);
    tryLogin(program.splash(), password);
    QCOMPARE(m_recorder->messages.size(), 1);
    QVERIFY(program.mainWindow());
}

void TestSplash::differingPasswords()
{
    Form1 dialog;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), u"修改密码"_s);
    QCOMPARE(dialog.findChild<QLabel *>(u"Label1"_s)->text(),
             u"说明:请输入新密码到下列框,按确认即可."_s);
    box(&dialog, "Text1")->setText(u"new1"_s);
    box(&dialog, "Text2")->setText(u"new2"_s);
    m_recorder->answers = {QMessageBox::Cancel};
    QTest::mouseClick(button(&dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(m_recorder->messages.size(), 1);
    const platform::MessageRequest &message = m_recorder->messages.first();
    QCOMPARE(message.text, u"密码输入错误!请重新输入!"_s);
    QCOMPARE(message.title, u"警告"_s);
    QCOMPARE(message.icon, QMessageBox::Critical);
    QCOMPARE(message.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QVERIFY(dialog.isVisible());
    QCOMPARE(m_work->read(u"5566.jpg"_s), QByteArray("580417\r\n"));

    box(&dialog, "Text2")->setText(u"new1"_s);
    QTest::mouseClick(button(&dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(m_recorder->messages.size(), 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(m_work->read(u"5566.jpg"_s), QByteArray("\"new1\"\r\n"));
}

void TestSplash::unwritablePasswordFile()
{
    // A folder in the file's place cannot be replaced by a file.
    QVERIFY(QFile::remove(m_work->filePath(u"5566.jpg"_s)));
    QVERIFY(QDir(m_work->filePath(QString())).mkdir(u"5566.jpg"_s));
    Form1 dialog;
    dialog.show();
    box(&dialog, "Text1")->setText(u"new"_s);
    box(&dialog, "Text2")->setText(u"new"_s);
    QTest::mouseClick(button(&dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(m_recorder->messages.size(), 1);
    QVERIFY(m_recorder->messages.first().text.startsWith(
        u"无法保存密码文件“5566.jpg”，密码没有修改。"_s));
    QVERIFY(dialog.isVisible());
}

void TestSplash::passwordDialogCancel()
{
    Form1 dialog;
    dialog.show();
    box(&dialog, "Text1")->setText(u"abc"_s);
    box(&dialog, "Text2")->setText(u"abc"_s);
    QTest::mouseClick(button(&dialog, "Command2"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(m_work->read(u"5566.jpg"_s), QByteArray("580417\r\n"));
    QVERIFY(m_recorder->messages.isEmpty());
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
