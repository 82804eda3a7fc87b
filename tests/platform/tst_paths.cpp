#include "platform/paths.h"
#include "platform/site.h"

#include <QCoreApplication>
#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class tst_Paths : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void mapping_data();
    void mapping();
    void existingFoldersMatchWithoutCase();
    void shippedFilesUnderTheUsersOwn();
    void siteBase_data();
    void siteBase();

private:
    std::unique_ptr<QTemporaryDir> m_data;
};

void tst_Paths::init()
{
    // A fresh data folder for every test: folders one test makes must not steer the next.
    m_data = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid());
    qputenv("XDG_DATA_HOME", m_data->path().toLocal8Bit());
}

void tst_Paths::mapping_data()
{
    QTest::addColumn<QString>("windowsPath");
    QTest::addColumn<QString>(
        "relative"); // below the drive root, or "@install/..." for the exe folder
    QTest::newRow("result page") << QStringLiteral("c:\\windows\\system32\\windows.htm")
                                 << QStringLiteral("drive_c/windows/system32/windows.htm");
    QTest::newRow("banner page") << QStringLiteral("C:\\windows\\system32\\login.html")
                                 << QStringLiteral("drive_c/windows/system32/login.html");
    QTest::newRow("other drive") << QStringLiteral("D:\\data\\x.txt")
                                 << QStringLiteral("drive_d/data/x.txt");
    QTest::newRow("install folder file") << QStringLiteral("C:\\Program Files\\Dialvane\\help.chm")
                                         << QStringLiteral("@install/help.chm");
    QTest::newRow("install folder in other case")
        << QStringLiteral("c:\\program files\\dialvane\\khdata.mdb")
        << QStringLiteral("@install/khdata.mdb");
    QTest::newRow("install folder itself")
        << QStringLiteral("C:\\Program Files\\Dialvane") << QStringLiteral("@install");
}

void tst_Paths::mapping()
{
    QFETCH(QString, windowsPath);
    QFETCH(QString, relative);
    QString expected;
    if (relative.startsWith(u"@install"))
        expected = QCoreApplication::applicationDirPath() + relative.mid(8);
    else
        expected = m_data->path() + u"/dialvane/" + relative;
    QCOMPARE(platform::localPath(windowsPath), expected);
}

void tst_Paths::existingFoldersMatchWithoutCase()
{
    const QString root = platform::driveRoot(u'C');
    QVERIFY(QDir().mkpath(root + u"/Windows/System32"));
    // Both spellings land in the one folder that exists.
    QCOMPARE(platform::localPath(QStringLiteral("c:\\windows\\system32\\windows.htm")),
             QString(root + u"/Windows/System32/windows.htm"));
    QCOMPARE(platform::localPath(QStringLiteral("C:\\WINDOWS\\SYSTEM32\\login.html")),
             QString(root + u"/Windows/System32/login.html"));
    // A part that does not exist yet keeps its spelling.
    QCOMPARE(platform::localPath(QStringLiteral("C:\\windows\\Fonts\\a.ttf")),
             QString(root + u"/Windows/Fonts/a.ttf"));
}

void tst_Paths::shippedFilesUnderTheUsersOwn()
{
    const QString shippedDir =
        QCoreApplication::applicationDirPath() + u"/drive_c/Windows/system32";
    QVERIFY(QDir().mkpath(shippedDir));
    auto removeShipped = qScopeGuard(
        [] { QDir(QCoreApplication::applicationDirPath() + u"/drive_c").removeRecursively(); });
    QFile shipped(shippedDir + u"/login.html");
    QVERIFY(shipped.open(QIODevice::WriteOnly));
    shipped.close();

    const QString banner = QStringLiteral("C:\\windows\\system32\\login.html");
    QCOMPARE(platform::localPath(banner), QString(shippedDir + u"/login.html"));
    // A file the product does not ship stays the user's.
    const QString user = platform::driveRoot(u'c');
    QCOMPARE(platform::localPath(QStringLiteral("c:\\windows\\system32\\windows.htm")),
             QString(user + u"/windows/system32/windows.htm"));

    // Once the user has a copy, it wins.
    QVERIFY(QDir().mkpath(user + u"/windows/system32"));
    QFile mine(user + u"/windows/system32/login.html");
    QVERIFY(mine.open(QIODevice::WriteOnly));
    mine.close();
    QCOMPARE(platform::localPath(banner), QString(user + u"/windows/system32/login.html"));
}

void tst_Paths::siteBase_data()
{
    QTest::addColumn<QByteArray>("env");
    QTest::addColumn<QString>("expected");
    QTest::newRow("override") << QByteArray("http://10.0.0.5:81")
                              << QStringLiteral("http://10.0.0.5:81");
    QTest::newRow("trailing slashes dropped")
        << QByteArray(" http://h:1// ") << QStringLiteral("http://h:1");
}

void tst_Paths::siteBase()
{
    QFETCH(QByteArray, env);
    QFETCH(QString, expected);
    qputenv("DIALVANE_SITE", env);
    QCOMPARE(platform::siteBase(), expected);
    qunsetenv("DIALVANE_SITE");
    QVERIFY(platform::siteBase().startsWith(u"http://"));
}

QTEST_GUILESS_MAIN(tst_Paths)
#include "tst_paths.moc"
