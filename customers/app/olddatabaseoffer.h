#pragma once

#include <QString>

class QWidget;

namespace kestrova {

// When the database file is an Access database of the old program, asks whether to convert
// it and does so when the user agrees (the original stays beside it, unchanged). Returns
// whether a conversion took place; declining or a failed conversion leave the file as it was.
bool offerOldDatabaseConversion(const QString &dbPath, QWidget *parent = nullptr);

} // namespace kestrova
