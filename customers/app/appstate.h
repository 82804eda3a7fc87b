#pragma once

#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

namespace kestrova {

class frmClient;

// The program's version; the login form shows it as "Version 1.0.0".
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;

// The one client window and the one plan window the main window's View menu opened. They turn
// null when the window closes, so the next View command builds a fresh, freshly loaded one.
extern QPointer<frmClient> gfrmClient;
extern QPointer<QWidget> gfrmPlan;

// The customer database: "khdata.mdb" in the program's folder. Tests point it at their own file;
// an empty path restores the program's folder.
QString dataFilePath();
void setDataFilePath(const QString &path);
// Whether the database file exists.
bool CheckDBFile();
// Opens both customer tables at an address (empty: the local file) and closes them again;
// an empty text when that worked, otherwise what went wrong.
QString testDatabaseLocation(const QString &url);

// Builds the plan window for the View menu. The plan window lives in its own library, which
// registers itself here; until one is registered the menu item is disabled.
using PlanWindowFactory = std::function<QWidget *()>;
void setPlanWindowFactory(PlanWindowFactory factory);
const PlanWindowFactory &planWindowFactory();

// Where "the program ends" lands: start-up without a database, a cancelled or failed login.
// The default leaves the event loop with the exit code; tests record the call instead.
using ProgramEnder = std::function<void(int exitCode)>;
void endProgram(int exitCode);
// Installs an ender and returns the previous one; an empty ender restores the default.
ProgramEnder setProgramEnder(ProgramEnder ender);

} // namespace kestrova
