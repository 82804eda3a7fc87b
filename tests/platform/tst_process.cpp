#include "platform/paths.h"
#include "platform/process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

using namespace Qt::StringLiterals;
using platform::LaunchKind;
using platform::LaunchRequest;
using platform::WindowMode;

namespace platform {
// Readable failure messages for the enums QCOMPARE sees.
char *toString(LaunchKind kind)
{
    static const char *const names[] = {"Nothing", "Program", "OpenUrl", "OpenFile"};
    return qstrdup(names[static_cast<int>(kind)]);
}
char *toString(WindowMode mode)
{
    return qstrdup(QByteArray::number(static_cast<int>(mode)).constData());
}
} // namespace platform

namespace {

// Windows paths the fake machine holds, compared without case as Windows does.
platform::FileExists filesAre(const QStringList &existing)
{
    return [existing](const QString &path) {
        return existing.contains(path, Qt::CaseInsensitive);
    };
}

// A search path holding exactly `names`, all in /usr/bin.
platform::FindExecutable pathHas(const QStringList &names)
{
    return [names](const QString &name) {
        return names.contains(name) ? u"/usr/bin/"_s + name : QString();
    };
}

} // namespace

class TestProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void splitsArguments_data();
    void splitsArguments();
    void splitsCommandLine_data();
    void splitsCommandLine();
    void findsProgram_data();
    void findsProgram();
    void resolves_data();
    void resolves();
    void launcherSeesOneRequestPerCall();
    void setLauncherReturnsPrevious();
    void realLauncherRefusesWhatIsMissing_data();
    void realLauncherRefusesWhatIsMissing();
    void realLauncherStartsMappedProgram();

private:
    QString install() const { return QCoreApplication::applicationDirPath(); }
    QString driveC() const { return m_root.path() + u"/data/dialvane/drive_c"_s; }
    QString home() const { return m_root.path() + u"/home"_s; }

    QTemporaryDir m_root;
};

void TestProcess::initTestCase()
{
    QVERIFY(m_root.isValid());
    QVERIFY(QDir().mkpath(home()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_root.path() + u"/data"_s));
    qputenv("HOME", QFile::encodeName(home()));
    qputenv("DIALVANE_SITE", "http://dir.example:8080/");
}

void TestProcess::cleanup()
{
    platform::setLauncher({});
}

void TestProcess::splitsArguments_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("blanks only") << u" \t "_s << QStringList();
    QTest::newRow("spaces and tabs") << u"  a   b\tc  "_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("quoted") << uR"("abc" d e)"_s << QStringList{u"abc"_s, u"d"_s, u"e"_s};
    QTest::newRow("quotes inside an argument")
        << uR"(a\\\b d"e f"g h)"_s << QStringList{uR"(a\\\b)"_s, u"de fg"_s, u"h"_s};
    QTest::newRow("odd backslashes escape the quote")
        << uR"(a\\\"b c d)"_s << QStringList{uR"(a\"b)"_s, u"c"_s, u"d"_s};
    QTest::newRow("even backslashes then a delimiter")
        << uR"(a\\\\"b c" d e)"_s << QStringList{uR"(a\\b c)"_s, u"d"_s, u"e"_s};
    QTest::newRow("doubled quote closes")
        << uR"(a"b"" c d)"_s << QStringList{uR"(ab")"_s, u"c"_s, u"d"_s};
    QTest::newRow("two quotes") << uR"("a""b")"_s << QStringList{uR"(a"b)"_s};
    QTest::newRow("three quotes") << uR"("a"""b")"_s << QStringList{uR"(a"b)"_s};
    QTest::newRow("four quotes") << uR"("a""""b")"_s << QStringList{uR"(a"b)"_s};
    QTest::newRow("five quotes") << uR"("a"""""b")"_s << QStringList{uR"(a""b)"_s};
    QTest::newRow("empty argument") << uR"(a "" b)"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("unterminated quote")
        << uR"(x "open to the end)"_s << QStringList{u"x"_s, u"open to the end"_s};
    QTest::newRow("unquoted path with blanks")
        << uR"(C:\Program Files\Dialvane\help.chm)"_s
        << QStringList{uR"(C:\Program)"_s, uR"(Files\Dialvane\help.chm)"_s};
    QTest::newRow("quoted folder ending in backslash")
        << uR"("C:\My Dir\\" next)"_s << QStringList{uR"(C:\My Dir\)"_s, u"next"_s};
    QTest::newRow("trailing backslashes literal") << uR"(end\\)"_s << QStringList{uR"(end\\)"_s};
    QTest::newRow("Chinese") << u"打开 \"新 文件\""_s << QStringList{u"打开"_s, u"新 文件"_s};
}

void TestProcess::splitsArguments()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(platform::splitWindowsArguments(text), expected);
}

void TestProcess::splitsCommandLine_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("program only") << u"  notepad.exe"_s << QStringList{u"notepad.exe"_s};
    QTest::newRow("quoted program")
        << uR"("C:\Program Files\x.exe" a "b c")"_s
        << QStringList{uR"(C:\Program Files\x.exe)"_s, u"a"_s, u"b c"_s};
    QTest::newRow("program backslashes literal")
        << uR"("C:\dir\\" x)"_s << QStringList{uR"(C:\dir\\)"_s, u"x"_s};
    QTest::newRow("escaped quote in argument")
        << uR"(C:\dir\\x.exe "a\"b")"_s << QStringList{uR"(C:\dir\\x.exe)"_s, uR"(a"b)"_s};
    QTest::newRow("quotes inside program token")
        << uR"(pro"gram files"\x.exe y)"_s << QStringList{uR"(program files\x.exe)"_s, u"y"_s};
    QTest::newRow("unquoted blanks split")
        << uR"(hh.exe C:\Program Files\Dialvane\help.chm)"_s
        << QStringList{u"hh.exe"_s, uR"(C:\Program)"_s, uR"(Files\Dialvane\help.chm)"_s};
}

void TestProcess::splitsCommandLine()
{
    QFETCH(QString, commandLine);
    QFETCH(QStringList, expected);
    QCOMPARE(platform::splitWindowsCommandLine(commandLine), expected);
}

void TestProcess::findsProgram_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("rest");

    const QString pennote = uR"(C:\Program Files\Dialvane\pennote.exe)"_s;
    const QString tool = uR"(C:\Program Files\My Tool\run me.exe)"_s;

    QTest::newRow("empty") << QString() << QStringList() << QString() << QString();
    QTest::newRow("known companion") << pennote << QStringList() << pennote << QString();
    QTest::newRow("help viewer takes the path")
        << uR"(hh.exe C:\Program Files\Dialvane\help.chm)"_s << QStringList() << u"hh.exe"_s
        << uR"(C:\Program Files\Dialvane\help.chm)"_s;
    QTest::newRow("browser and address")
        << uR"(C:\Program Files\Internet Explorer\IEXPLORE.EXE http://127.0.0.1:8620/fbxx.html)"_s
        << QStringList() << uR"(C:\Program Files\Internet Explorer\IEXPLORE.EXE)"_s
        << u"http://127.0.0.1:8620/fbxx.html"_s;
    QTest::newRow("shorter existing file wins")
        << pennote << QStringList{uR"(C:\Program)"_s} << uR"(C:\Program)"_s
        << uR"(Files\Dialvane\pennote.exe)"_s;
    QTest::newRow("candidate tried with .exe")
        << pennote << QStringList{uR"(c:\program.exe)"_s} << uR"(C:\Program)"_s
        << uR"(Files\Dialvane\pennote.exe)"_s;
    QTest::newRow("existing file with blanks")
        << tool + u" now"_s << QStringList{tool} << tool << u"now"_s;
    QTest::newRow("existing file built without .exe")
        << tool + u" now"_s << QStringList{uR"(C:\Program Files\My Tool\run me)"_s} << tool
        << u"now"_s;
    QTest::newRow("nothing exists: first token")
        << tool + u" now"_s << QStringList() << uR"(C:\Program)"_s
        << uR"(Files\My Tool\run me.exe now)"_s;
    QTest::newRow("quoted program")
        << u"\"%1\"   now"_s.arg(tool) << QStringList() << tool << u"now"_s;
    QTest::newRow("unterminated quote")
        << uR"("C:\a b)"_s << QStringList() << uR"(C:\a b)"_s << QString();
    QTest::newRow("existing beats known")
        << uR"(C:\tools\cmd helper.exe -x)"_s << QStringList{uR"(C:\tools\cmd helper.exe)"_s}
        << uR"(C:\tools\cmd helper.exe)"_s << u"-x"_s;
    QTest::newRow("known beats first token") << uR"(C:\tools\cmd helper.exe -x)"_s << QStringList()
                                             << uR"(C:\tools\cmd)"_s << uR"(helper.exe -x)"_s;
    QTest::newRow("no candidate reaches past a quote")
        << uR"(C:\a b\x.exe "arg 1")"_s << QStringList{uR"(C:\a b\x.exe "arg)"_s} << uR"(C:\a)"_s
        << uR"(b\x.exe "arg 1")"_s;
    QTest::newRow("blanks around")
        << uR"(  C:\windows\Notepad.exe   C:\My Files\a.txt  )"_s << QStringList()
        << uR"(C:\windows\Notepad.exe)"_s << uR"(C:\My Files\a.txt)"_s;
}

void TestProcess::findsProgram()
{
    QFETCH(QString, commandLine);
    QFETCH(QStringList, existing);
    QFETCH(QString, program);
    QFETCH(QString, rest);
    const platform::ProgramSplit split = platform::splitProgram(commandLine, filesAre(existing));
    QCOMPARE(split.program, program);
    QCOMPARE(split.rest, rest);
}

void TestProcess::resolves_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<WindowMode>("mode");
    QTest::addColumn<QStringList>("existing"); // Windows files of the fake machine
    QTest::addColumn<QStringList>("path");     // programs on its search path
    QTest::addColumn<LaunchKind>("kind");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QString>("localPath");

    const QStringList none;
    const QStringList desktop{
        u"x-terminal-emulator"_s, u"xterm"_s, u"gedit"_s, u"kate"_s, u"gnome-system-monitor"_s,
        u"xfce4-taskmanager"_s};
    const auto program = [&](const char *tag, const QString &line, WindowMode mode,
                             const QStringList &path, const QString &exe,
                             const QStringList &arguments, const QStringList &existing = {}) {
        QTest::newRow(tag) << line << mode << existing << path << LaunchKind::Program << exe
                           << arguments << QUrl() << QString();
    };
    const auto url = [&](const char *tag, const QString &line, WindowMode mode, const QUrl &to) {
        QTest::newRow(tag) << line << mode << none << none << LaunchKind::OpenUrl << QString()
                           << QStringList() << to << QString();
    };
    const auto file = [&](const char *tag, const QString &line, WindowMode mode,
                          const QString &to) {
        QTest::newRow(tag) << line << mode << none << none << LaunchKind::OpenFile << QString()
                           << QStringList() << QUrl() << to;
    };
    const auto nothing = [&](const char *tag, const QString &line) {
        QTest::newRow(tag) << line << WindowMode::NormalFocus << none << none << LaunchKind::Nothing
                           << QString() << QStringList() << QUrl() << QString();
    };
    const QString ie = uR"(C:\Program Files\Internet Explorer\IEXPLORE.EXE)"_s;
    const QString notepad = uR"(C:\windows\Notepad.exe)"_s;
    const QString taskmgr = uR"(C:\windows\system32\taskmgr.exe)"_s;
    const QString cmd = uR"(C:\windows\system32\cmd.exe)"_s;

    // The command lines the programs use, as they write them.
    file("help", uR"(hh.exe C:\Program Files\Dialvane\help.chm)"_s, WindowMode::NormalFocus,
         install() + u"/help.chm"_s);
    QTest::newRow("help shipped as a page")
        << uR"(hh.exe C:\Program Files\Dialvane\help.chm)"_s << WindowMode::NormalFocus
        << QStringList{uR"(C:\Program Files\Dialvane\help.html)"_s} << none
        << LaunchKind::OpenFile << QString() << QStringList() << QUrl()
        << install() + u"/help.html"_s;
    program("editor companion", uR"(C:\Program Files\Dialvane\pennote.exe)"_s,
            WindowMode::NormalFocus, none, install() + u"/pennote"_s, {});
    program("print companion", uR"(C:\Program Files\Dialvane\inkleaf.exe)"_s,
            WindowMode::NormalFocus, none, install() + u"/inkleaf"_s, {});
    url("apply page", ie + u" http://127.0.0.1:8620/fbxx.html"_s, WindowMode::NormalFocus,
        QUrl(u"http://127.0.0.1:8620/fbxx.html"_s));
    url("correction page", ie + u" http://127.0.0.1:8620/dhcs.html"_s, WindowMode::NormalFocus,
        QUrl(u"http://127.0.0.1:8620/dhcs.html"_s));
    url("browser alone", uR"(C:\Program Files\Internet Explorer\IEXPLORE.exe)"_s,
        WindowMode::NormalFocus, QUrl(u"http://dir.example:8080/"_s));
    program("cmd", cmd, WindowMode::NormalNoFocus, desktop, u"/usr/bin/x-terminal-emulator"_s, {});
    program("notepad", notepad, WindowMode::NormalNoFocus, desktop, u"/usr/bin/gedit"_s, {});
    program("taskmgr", taskmgr, WindowMode::NormalNoFocus, desktop,
            u"/usr/bin/gnome-system-monitor"_s, {});
    file("explorer", uR"(C:\windows\explorer.exe)"_s, WindowMode::NormalNoFocus, home());

    // Fallbacks by what the desktop has.
    program("cmd with xterm only", cmd, WindowMode::NormalNoFocus, {u"xterm"_s},
            u"/usr/bin/xterm"_s, {});
    program("cmd without terminal", cmd, WindowMode::NormalNoFocus, none, u"x-terminal-emulator"_s,
            {});
    program("cmd switches dropped", cmd + u" /c dir"_s, WindowMode::NormalNoFocus, desktop,
            u"/usr/bin/x-terminal-emulator"_s, {});
    program("notepad in editor order", notepad, WindowMode::NormalNoFocus,
            {u"featherpad"_s, u"mousepad"_s}, u"/usr/bin/mousepad"_s, {});
    program("notepad with nano", notepad, WindowMode::NormalNoFocus,
            {u"xdg-open"_s, u"x-terminal-emulator"_s}, u"/usr/bin/x-terminal-emulator"_s,
            {u"-e"_s, u"nano"_s});
    program("notepad with a file", notepad + uR"( C:\My Files\a.txt)"_s, WindowMode::NormalNoFocus,
            desktop, u"/usr/bin/gedit"_s, {driveC() + u"/My Files/a.txt"_s});
    program("notepad file in nano", notepad + uR"( "C:\My Files\a.txt")"_s,
            WindowMode::NormalNoFocus, {u"xterm"_s}, u"/usr/bin/xterm"_s,
            {u"-e"_s, u"nano"_s, driveC() + u"/My Files/a.txt"_s});
    program("taskmgr on KDE", taskmgr, WindowMode::NormalNoFocus,
            {u"ksysguard"_s, u"xfce4-taskmanager"_s}, u"/usr/bin/ksysguard"_s, {});
    program("taskmgr with top", taskmgr, WindowMode::NormalNoFocus, {u"xterm"_s},
            u"/usr/bin/xterm"_s, {u"-e"_s, u"top"_s});

    // Known programs by name, in any case and folder.
    program("Kestrova in capitals", uR"(c:\program files\dialvane\KESTROVA.EXE)"_s,
            WindowMode::MaximizedFocus, none, install() + u"/Kestrova"_s, {});
    program("bare companion", u"numseek"_s, WindowMode::NormalFocus, none,
            install() + u"/numseek"_s, {});
    program("companion elsewhere", uR"(D:\elsewhere\dialseek.exe)"_s, WindowMode::NormalFocus, none,
            install() + u"/dialseek"_s, {});
    file("explorer on a folder", uR"(C:\windows\explorer.exe C:\Data Files)"_s,
         WindowMode::NormalFocus, driveC() + u"/Data Files"_s);
    file("explorer switch", uR"(explorer /select,C:\x.txt)"_s, WindowMode::NormalFocus, home());
    file("browser on a local page", ie + uR"( C:\windows\system32\windows.htm)"_s,
         WindowMode::NormalFocus, driveC() + u"/windows/system32/windows.htm"_s);
    url("browser switch and bare host", ie + u" -nohome www.example.com"_s, WindowMode::NormalFocus,
        QUrl(u"http://www.example.com"_s));
    file("help topic", uR"(HH "C:\Program Files\Dialvane\help.chm::/start.htm")"_s,
         WindowMode::NormalFocus, install() + u"/help.chm"_s);

    // Everything else.
    program("other drive program", uR"(C:\tools\run.exe a "b c")"_s, WindowMode::Hide, none,
            driveC() + u"/tools/run.exe"_s, {u"a"_s, u"b c"_s});
    program("built without .exe", uR"(C:\tools\run.exe a)"_s, WindowMode::Hide, none,
            driveC() + u"/tools/run"_s, {u"a"_s}, {uR"(C:\tools\run)"_s});
    program("on the search path", u"ping.exe -c 1 host"_s, WindowMode::MinimizedNoFocus,
            {u"ping"_s}, u"/usr/bin/ping"_s, {u"-c"_s, u"1"_s, u"host"_s});
    program("not on the search path", u"absent.exe x"_s, WindowMode::MinimizedFocus, none,
            u"absent.exe"_s, {u"x"_s});
    nothing("empty", QString());
    nothing("help without a file", u"hh.exe"_s);
}

void TestProcess::resolves()
{
    QFETCH(QString, commandLine);
    QFETCH(WindowMode, mode);
    QFETCH(QStringList, existing);
    QFETCH(QStringList, path);
    QFETCH(LaunchKind, kind);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QUrl, url);
    QFETCH(QString, localPath);

    const LaunchRequest request =
        platform::resolveCommandLine(commandLine, mode, {filesAre(existing), pathHas(path)});
    QCOMPARE(request.kind, kind);
    QCOMPARE(request.program, program);
    QCOMPARE(request.arguments, arguments);
    QCOMPARE(request.url, url);
    QCOMPARE(request.path, localPath);
    QCOMPARE(request.mode, mode);
    QCOMPARE(request.commandLine, commandLine);
}

void TestProcess::launcherSeesOneRequestPerCall()
{
    QList<LaunchRequest> seen;
    platform::setLauncher([&seen](const LaunchRequest &request) {
        seen.append(request);
        return request.kind == LaunchKind::Program; // refuse everything else
    });

    const QString pennote = uR"(C:\Program Files\Dialvane\pennote.exe)"_s;
    const QString help = uR"(hh.exe C:\Program Files\Dialvane\help.chm)"_s;
    QVERIFY(platform::startProcess(pennote, WindowMode::NormalFocus));
    QVERIFY(platform::startProcess(pennote, WindowMode::NormalFocus));
    QVERIFY(!platform::startProcess(help, WindowMode::NormalNoFocus));

    QCOMPARE(seen.size(), 3);
    QCOMPARE(seen.at(0).program, install() + u"/pennote"_s);
    QVERIFY(seen.at(0) == seen.at(1));
    QCOMPARE(seen.at(2).kind, LaunchKind::OpenFile);
    QCOMPARE(seen.at(2).path, install() + u"/help.chm"_s);
    QCOMPARE(seen.at(2).mode, WindowMode::NormalNoFocus);
    QCOMPARE(seen.at(2).commandLine, help);
}

void TestProcess::setLauncherReturnsPrevious()
{
    QStringList log;
    const platform::Launcher first = [&log](const LaunchRequest &request) {
        log.append(u"first "_s + request.commandLine);
        return true;
    };
    QVERIFY(!platform::setLauncher(first)); // the real one was in place
    platform::setLauncher([&log](const LaunchRequest &request) {
        log.append(u"second "_s + request.commandLine);
        return true;
    });
    QVERIFY(platform::startProcess(u"numseek"_s, WindowMode::NormalFocus));

    const platform::Launcher second = platform::setLauncher({});
    QVERIFY(second);
    QVERIFY(second(LaunchRequest{}));
    QCOMPARE(log, (QStringList{u"second numseek"_s, u"second "_s}));
    QVERIFY(!platform::setLauncher({}));
}

void TestProcess::realLauncherRefusesWhatIsMissing_data()
{
    QTest::addColumn<QString>("commandLine");

    QTest::newRow("missing companion") << uR"(C:\Program Files\Dialvane\no-such-tool.exe)"_s;
    QTest::newRow("missing help file") << uR"(hh.exe C:\Program Files\Dialvane\help.chm)"_s;
    QTest::newRow("missing drive program") << uR"(C:\windows\system32\absent.exe /x)"_s;
    QTest::newRow("file that is not a program") << uR"(C:\tools\readme.exe)"_s;
    QTest::newRow("missing folder") << uR"(C:\windows\explorer.exe C:\No Such Folder)"_s;
    QTest::newRow("not on the search path") << u"dialvane-absent-program.exe"_s;
    QTest::newRow("empty") << QString();
}

void TestProcess::realLauncherRefusesWhatIsMissing()
{
    QFETCH(QString, commandLine);
    QFile plain(driveC() + u"/tools/readme.exe"_s);
    QVERIFY(QDir().mkpath(driveC() + u"/tools"_s));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("not a program\n");
    plain.close();
    QVERIFY(plain.setPermissions(QFile::ReadOwner | QFile::WriteOwner));

    QVERIFY(!platform::startProcess(commandLine, WindowMode::NormalFocus));
}

void TestProcess::realLauncherStartsMappedProgram()
{
    // A program that records its arguments, built without ".exe" as programs here are.
    const QString script = driveC() + u"/Tools Dir/mark"_s;
    QVERIFY(QDir().mkpath(driveC() + u"/Tools Dir"_s));
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nprintf '%s|' \"$@\" > \"$0.part\" && mv \"$0.part\" \"$0.out\"\n");
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    QVERIFY(platform::startProcess(uR"(c:\tools dir\MARK.exe first "second arg" C:\x)"_s,
                                   WindowMode::NormalFocus));
    QFile out(script + u".out"_s);
    QTRY_VERIFY(out.exists());
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), QByteArray(R"(first|second arg|C:\x|)"));
}

QTEST_MAIN(TestProcess)
#include "tst_process.moc"
