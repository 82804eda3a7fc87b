#include "process.h"

#include "paths.h"
#include "site.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

#include <algorithm>
#include <array>
#include <utility>

namespace platform {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.sliced(begin, end - begin);
}

QStringView leftTrimBlanks(QStringView text)
{
    qsizetype begin = 0;
    while (begin < text.size() && isBlank(text.at(begin)))
        ++begin;
    return text.sliced(begin);
}

// The last component of a Windows or Unix path.
QStringView fileNameOf(QStringView path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.sliced(slash + 1);
}

bool endsWithExe(QStringView path)
{
    return path.endsWith(u".exe", Qt::CaseInsensitive);
}

bool isDrivePath(QStringView path)
{
    return path.size() >= 2 && path.at(1) == u':' && path.at(0).unicode() < 128 &&
           path.at(0).isLetter();
}

enum class Known { None, Companion, Browser, Help, Terminal, Editor, Monitor, Files };

struct KnownProgram
{
    QLatin1StringView stem; // lower case, without ".exe"
    Known what;
    QLatin1StringView builtName; // companions: the executable's name in the install folder
};

constexpr std::array kKnownPrograms{
    KnownProgram{QLatin1StringView("pennote"), Known::Companion, QLatin1StringView("pennote")},
    KnownProgram{QLatin1StringView("inkleaf"), Known::Companion, QLatin1StringView("inkleaf")},
    KnownProgram{QLatin1StringView("numseek"), Known::Companion, QLatin1StringView("numseek")},
    KnownProgram{QLatin1StringView("dialseek"), Known::Companion, QLatin1StringView("dialseek")},
    KnownProgram{QLatin1StringView("kestrova"), Known::Companion, QLatin1StringView("Kestrova")},
    KnownProgram{QLatin1StringView("iexplore"), Known::Browser, {}},
    KnownProgram{QLatin1StringView("hh"), Known::Help, {}},
    KnownProgram{QLatin1StringView("cmd"), Known::Terminal, {}},
    KnownProgram{QLatin1StringView("notepad"), Known::Editor, {}},
    KnownProgram{QLatin1StringView("taskmgr"), Known::Monitor, {}},
    KnownProgram{QLatin1StringView("explorer"), Known::Files, {}},
};

const KnownProgram *knownProgram(QStringView program)
{
    QStringView stem = fileNameOf(program);
    if (endsWithExe(stem))
        stem.chop(4);
    for (const KnownProgram &known : kKnownPrograms) {
        if (stem.compare(known.stem, Qt::CaseInsensitive) == 0)
            return &known;
    }
    return nullptr;
}

bool realFileExists(const QString &windowsPath)
{
    return QFileInfo(localPath(windowsPath)).isFile();
}

QString realFindExecutable(const QString &name)
{
    return QStandardPaths::findExecutable(name);
}

// The single argument of tools that take the whole rest of the line as one file name (Notepad,
// the help viewer and explorer do): the text inside leading quotes, else the trimmed rest.
QString wholeArgument(QStringView rest)
{
    const QStringView text = trimBlanks(rest);
    if (!text.startsWith(u'"'))
        return text.toString();
    const qsizetype close = text.indexOf(u'"', 1);
    return (close < 0 ? text.sliced(1) : text.sliced(1, close - 1)).toString();
}

QString firstFound(const FindExecutable &find, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        const QString found = find(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

// Debian's alternative for "the" terminal, then the one nearly every desktop has. When neither
// is installed the name stays bare and the start fails, as a missing cmd.exe would.
QString terminal(const FindExecutable &find)
{
    const QString found = firstFound(find, {"x-terminal-emulator", "xterm"});
    return found.isEmpty() ? QStringLiteral("x-terminal-emulator") : found;
}

void setProgram(LaunchRequest &request, const QString &program, const QStringList &arguments)
{
    request.kind = LaunchKind::Program;
    request.program = program;
    request.arguments = arguments;
}

void setTerminalCommand(LaunchRequest &request, const FindExecutable &find,
                        const QStringList &command)
{
    setProgram(request, terminal(find), QStringList{QStringLiteral("-e")} + command);
}

void resolveBrowser(LaunchRequest &request, QStringView rest)
{
    QString target;
    for (const QString &argument : splitWindowsArguments(rest)) {
        if (!argument.startsWith(u'-')) { // browser switches such as -nohome
            target = argument;
            break;
        }
    }
    if (target.isEmpty()) {
        // The browser's home page; for this suite that is the directory site.
        request.kind = LaunchKind::OpenUrl;
        request.url = QUrl(siteBase() + u'/');
    } else if (isDrivePath(target)) {
        request.kind = LaunchKind::OpenFile;
        request.path = localPath(target);
    } else {
        request.kind = LaunchKind::OpenUrl;
        request.url = QUrl::fromUserInput(target);
    }
}

void resolveOther(LaunchRequest &request, const ProgramSplit &parts,
                  const ResolveEnvironment &environment)
{
    const QStringList arguments = splitWindowsArguments(parts.rest);
    QString program = parts.program;
    if (isDrivePath(program)) {
        // A Windows-only ".exe" suffix may be missing from the executable built here.
        if (endsWithExe(program) && !environment.fileExists(program) &&
            environment.fileExists(program.chopped(4)))
            program.chop(4);
        setProgram(request, localPath(program), arguments);
        return;
    }
    QString found = environment.findExecutable(program);
    if (found.isEmpty() && endsWithExe(program))
        found = environment.findExecutable(program.chopped(4));
    setProgram(request, found.isEmpty() ? program : found, arguments);
}

Launcher &installedLauncher()
{
    static Launcher current;
    return current;
}

} // namespace

QStringList splitWindowsArguments(QStringView text)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool inQuotes = false;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == u'\\') {
            qsizetype end = i;
            while (end < text.size() && text.at(end) == u'\\')
                ++end;
            const qsizetype count = end - i;
            inArgument = true;
            if (end < text.size() && text.at(end) == u'"') {
                current += QString(count / 2, u'\\');
                if (count % 2 == 1) {
                    current += u'"';
                    ++end;
                }
                // With an even count the quote is a delimiter, handled on the next round.
            } else {
                current += QString(count, u'\\');
            }
            i = end;
        } else if (c == u'"') {
            inArgument = true;
            if (inQuotes && i + 1 < text.size() && text.at(i + 1) == u'"') {
                current += u'"';
                inQuotes = false;
                i += 2;
            } else {
                inQuotes = !inQuotes;
                ++i;
            }
        } else if (isBlank(c) && !inQuotes) {
            if (inArgument) {
                arguments.append(current);
                current.clear();
                inArgument = false;
            }
            ++i;
        } else {
            current += c;
            inArgument = true;
            ++i;
        }
    }
    if (inArgument)
        arguments.append(current);
    return arguments;
}

QStringList splitWindowsCommandLine(const QString &commandLine)
{
    const QStringView line = leftTrimBlanks(commandLine);
    if (line.isEmpty())
        return {};
    // The program token: quotes toggle, backslashes are literal, a blank outside quotes ends it.
    QString program;
    bool inQuotes = false;
    qsizetype i = 0;
    for (; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'"')
            inQuotes = !inQuotes;
        else if (isBlank(c) && !inQuotes)
            break;
        else
            program += c;
    }
    return QStringList{program} + splitWindowsArguments(line.sliced(i));
}

ProgramSplit splitProgram(const QString &commandLine, const FileExists &fileExists)
{
    const QStringView line = trimBlanks(commandLine);
    if (line.isEmpty())
        return {};
    if (line.startsWith(u'"')) {
        const qsizetype close = line.indexOf(u'"', 1);
        if (close < 0)
            return {line.sliced(1).toString(), {}};
        return {line.sliced(1, close - 1).toString(),
                leftTrimBlanks(line.sliced(close + 1)).toString()};
    }

    // Candidates end at each run of blanks; none reaches past a quote, which no file name holds.
    const qsizetype quote = line.indexOf(u'"');
    const qsizetype limit = quote < 0 ? line.size() : quote;
    QList<QStringView> candidates;
    for (qsizetype i = 1; i < limit; ++i) {
        if (isBlank(line.at(i)) && !isBlank(line.at(i - 1)))
            candidates.append(line.first(i));
    }
    if (quote < 0)
        candidates.append(line);

    const auto splitAt = [line](QStringView program) {
        return ProgramSplit{program.toString(),
                            leftTrimBlanks(line.sliced(program.size())).toString()};
    };
    for (QStringView candidate : std::as_const(candidates)) {
        const QString path = candidate.toString();
        if (fileExists(path))
            return splitAt(candidate);
        if (!fileNameOf(candidate).contains(u'.') && fileExists(path + u".exe"))
            return splitAt(candidate);
        // Programs built here carry no ".exe"; the Windows name still finds them.
        if (endsWithExe(candidate) && fileExists(path.chopped(4)))
            return splitAt(candidate);
    }
    for (QStringView candidate : std::as_const(candidates)) {
        if (knownProgram(candidate))
            return splitAt(candidate);
    }
    qsizetype end = 0;
    while (end < line.size() && !isBlank(line.at(end)))
        ++end;
    return splitAt(line.first(end));
}

LaunchRequest resolveCommandLine(const QString &commandLine, WindowMode mode,
                                 const ResolveEnvironment &given)
{
    ResolveEnvironment environment = given;
    if (!environment.fileExists)
        environment.fileExists = realFileExists;
    if (!environment.findExecutable)
        environment.findExecutable = realFindExecutable;

    LaunchRequest request;
    request.mode = mode;
    request.commandLine = commandLine;
    const ProgramSplit parts = splitProgram(commandLine, environment.fileExists);
    if (parts.program.isEmpty())
        return request;

#ifdef Q_OS_WIN
    setProgram(request, parts.program, splitWindowsArguments(parts.rest));
    return request;
#else
    const FindExecutable &find = environment.findExecutable;
    const KnownProgram *known = knownProgram(parts.program);
    switch (known ? known->what : Known::None) {
    case Known::Companion:
        setProgram(request, installFolder() + u'/' + known->builtName,
                   splitWindowsArguments(parts.rest));
        break;
    case Known::Browser:
        resolveBrowser(request, parts.rest);
        break;
    case Known::Help: {
        QString file = wholeArgument(parts.rest);
        const qsizetype topic = file.indexOf(QLatin1StringView("::"));
        if (topic >= 0)
            file.truncate(topic); // "help.chm::/page.htm" names a page inside the file
        // The desktop cannot open compiled help; the help ships as a web page beside it.
        if (file.endsWith(QLatin1StringView(".chm"), Qt::CaseInsensitive) &&
            !environment.fileExists(file)) {
            const QString page = file.chopped(4) + QLatin1StringView(".html");
            if (environment.fileExists(page))
                file = page;
        }
        if (!file.isEmpty()) {
            request.kind = LaunchKind::OpenFile;
            request.path = localPath(file);
        }
        break;
    }
    case Known::Terminal:
        // cmd.exe's switches mean nothing to a Unix shell; an interactive terminal is the intent.
        setProgram(request, terminal(find), {});
        break;
    case Known::Editor: {
        const QString file = wholeArgument(parts.rest);
        const QStringList files = file.isEmpty() ? QStringList{} : QStringList{localPath(file)};
        const QString editor = firstFound(
            find, {"gnome-text-editor", "gedit", "kate", "mousepad", "xed", "pluma", "featherpad"});
        if (!editor.isEmpty())
            setProgram(request, editor, files);
        else
            setTerminalCommand(request, find, QStringList{QStringLiteral("nano")} + files);
        break;
    }
    case Known::Monitor: {
        const QString monitor =
            firstFound(find, {"gnome-system-monitor", "plasma-systemmonitor", "ksysguard",
                              "mate-system-monitor", "xfce4-taskmanager", "lxtask"});
        if (!monitor.isEmpty())
            setProgram(request, monitor, {});
        else
            setTerminalCommand(request, find, {QStringLiteral("top")});
        break;
    }
    case Known::Files: {
        const QString folder = wholeArgument(parts.rest);
        request.kind = LaunchKind::OpenFile;
        // Switches such as "/select,..." are not folders; the home folder is explorer's default.
        request.path =
            (folder.isEmpty() || folder.startsWith(u'/')) ? QDir::homePath() : localPath(folder);
        break;
    }
    case Known::None:
        resolveOther(request, parts, environment);
        break;
    }
    return request;
#endif
}

bool launch(const LaunchRequest &request)
{
#ifdef Q_OS_WIN
    if (request.kind != LaunchKind::Program || request.program.isEmpty())
        return false;
    QProcess process;
    process.setProgram(request.program);
    // The program gets its argument text exactly as written, as CreateProcess would pass it.
    process.setNativeArguments(splitProgram(request.commandLine, realFileExists).rest);
    const WORD show = static_cast<WORD>(request.mode);
    process.setCreateProcessArgumentsModifier([show](QProcess::CreateProcessArguments *arguments) {
        arguments->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        arguments->startupInfo->wShowWindow = show;
    });
    return process.startDetached();
#else
    // The window mode has no portable meaning for X11 or Wayland clients; programs open their
    // window as they normally do.
    const bool haveDesktop = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    switch (request.kind) {
    case LaunchKind::Nothing:
        return false;
    case LaunchKind::Program: {
        QString program = request.program;
        if (!program.contains(u'/'))
            program = QStandardPaths::findExecutable(program);
        const QFileInfo info(program);
        if (program.isEmpty() || !info.isFile() || !info.isExecutable())
            return false;
        return QProcess::startDetached(program, request.arguments);
    }
    case LaunchKind::OpenUrl:
        return haveDesktop && request.url.isValid() && QDesktopServices::openUrl(request.url);
    case LaunchKind::OpenFile:
        return haveDesktop && !request.path.isEmpty() && QFileInfo::exists(request.path) &&
               QDesktopServices::openUrl(QUrl::fromLocalFile(request.path));
    }
    return false;
#endif
}

Launcher setLauncher(Launcher launcher)
{
    return std::exchange(installedLauncher(), std::move(launcher));
}

bool startProcess(const QString &commandLine, WindowMode mode)
{
    const LaunchRequest request = resolveCommandLine(commandLine, mode);
    if (const Launcher &launcher = installedLauncher())
        return launcher(request);
    return launch(request);
}

} // namespace platform
