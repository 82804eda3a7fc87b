#pragma once

#include "customers/data/databaselocation.h"

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

// The customer database: "khdata.mdb" in the program's folder. Tests point it at their own file
// or server address; an empty path restores the program's folder.
QString dataFilePath();
void setDataFilePath(const QString &path);
// Where the windows open their database: the "Database/Url" setting, or dataFilePath() when the
// setting is empty.
DatabaseLocation dataLocation();
// Whether the database file exists; a database server is checked when the windows open it.
bool CheckDBFile();
// Opens both customer tables at a location and closes them again, asking for a server
// password when needed; an empty text when that worked, otherwise what went wrong.
QString testDatabaseLocation(const DatabaseLocation &location, QWidget *parent = nullptr);

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
