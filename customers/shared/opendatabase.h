#pragma once

#include <QString>

class QWidget;

namespace kestrova {

class clsDataBase;

// Opens a table for a window. When the database server asks for a password that neither
// ~/.pgpass nor PGPASSWORD gave, the user is asked for it (at most three times); the answer is
// kept in memory for every connection of this run and never written anywhere. A database file on
// a network share is opened all the same, and the user is told once per run that a database
// server is the safe way to share it. False when the table could not be opened.
bool openTable(clsDataBase &database, const QString &table, QWidget *parent);

// The advice shown once when the database file lies on a network share.
QString sharedFileAdvice(const QString &path);

} // namespace kestrova
