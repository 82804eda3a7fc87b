#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace platform {

// How the started program's window appears; the values are the Windows show-window codes the
// programs pass, so they can be handed to CreateProcess unchanged.
enum class WindowMode {
    Hide = 0,
    NormalFocus = 1,
    MinimizedFocus = 2,
    MaximizedFocus = 3,
    NormalNoFocus = 4,
    MinimizedNoFocus = 6,
};

// What a command line asks for once it has been translated to this machine.
enum class LaunchKind {
    Nothing,  // nothing to start (empty command line, help viewer without a file)
    Program,  // run `program` with `arguments`, detached
    OpenUrl,  // hand `url` to the desktop's browser
    OpenFile, // hand the local file or folder `path` to the desktop's handler
};

struct LaunchRequest
{
    LaunchKind kind = LaunchKind::Nothing;
    QString program; // an absolute path, or a bare name left for the search path
    QStringList arguments;
    QUrl url;
    QString path;
    WindowMode mode = WindowMode::NormalFocus;
    QString commandLine; // as the caller wrote it, for Windows and for messages

    bool operator==(const LaunchRequest &) const = default;
};

// Splits Windows argument text the way the C runtime builds argv: blanks (space, tab) separate
// arguments; double quotes group; 2n backslashes before a quote give n backslashes and the quote
// delimits, 2n+1 give n backslashes and a literal quote; other backslashes are literal; inside
// quotes a doubled quote gives one literal quote and closes the quoted part.
QStringList splitWindowsArguments(QStringView text);

// Splits a whole command line like CommandLineToArgvW: the program token first (up to the
// closing quote when it starts with one, else up to the first blank; backslashes are literal
// there), then the arguments as above.
QStringList splitWindowsCommandLine(const QString &commandLine);

// Whether a Windows path names an existing file. Injected so that resolving stays deterministic.
using FileExists = std::function<bool(const QString &windowsPath)>;
// Finds an executable on the search path: its absolute path, or empty when there is none.
using FindExecutable = std::function<QString(const QString &name)>;

// The program of a command line and the raw text after it.
struct ProgramSplit
{
    QString program;
    QString rest; // leading blanks removed, otherwise untouched
};

// Finds the program the way CreateProcess does. A quoted program ends at the closing quote. An
// unquoted one may contain blanks: every prefix ending at a blank (and the whole line) is a
// candidate, shortest first; the first that names an existing file wins (a candidate without an
// extension is also tried with ".exe", and one ending in ".exe" also without it, since programs
// built here have none). When none exists, the first candidate that names a program this layer
// knows wins, and otherwise the first blank-free token is the program.
ProgramSplit splitProgram(const QString &commandLine, const FileExists &fileExists);

// The machine the command line is resolved against. Empty members mean the real machine:
// files via localPath(), executables via QStandardPaths::findExecutable().
struct ResolveEnvironment
{
    FileExists fileExists;
    FindExecutable findExecutable;
};

// Translates a fixed Windows command line to what starts here. Known programs, matched without
// case by file name with or without ".exe" and in any folder:
//   pennote, inkleaf, numseek, dialseek, Kestrova  -> that executable in installFolder()
//   IEXPLORE url                                   -> OpenUrl (the site's home without a url)
//   hh file                                        -> OpenFile of localPath(file)
//   cmd                                            -> a terminal emulator
//   Notepad [file]                                 -> a text editor (nano in a terminal at worst)
//   taskmgr                                        -> a system monitor (top in a terminal at worst)
//   explorer [folder]                              -> OpenFile of the folder, else of home
// Any other "X:\..." program runs from localPath(); bare names are looked up on the search path.
// On Windows the command line stays as it is.
LaunchRequest resolveCommandLine(const QString &commandLine, WindowMode mode,
                                 const ResolveEnvironment &environment = {});

// Carries out a request; returns whether something was started.
using Launcher = std::function<bool(const LaunchRequest &)>;

// Installs a launcher (tests record requests instead of starting programs) and returns the
// previous one; an empty launcher restores the real one.
Launcher setLauncher(Launcher launcher);

// The real launcher: detached processes, and QDesktopServices for addresses and files. Returns
// false, without starting anything, when the program or file is missing; never waits.
bool launch(const LaunchRequest &request);

// Starts a command line without waiting and without keeping a handle. Returns false when nothing
// could be started; the caller carries on either way.
bool startProcess(const QString &commandLine, WindowMode mode);

} // namespace platform
