#pragma once

#include <QDate>
#include <QString>

namespace kestrova {

// Made-up but realistic Chinese clients and work plans for demonstrations and benchmarks.
// The same seed gives the same rows; dates are spread around `today`, so reminder periods
// cover the days around it.
struct DemoOptions
{
    int clients = 0;
    int plans = 0;
    quint32 seed = 20040417;
    QDate today = QDate::currentDate();
    bool onlyIntoEmptyTables = false; // add nothing when either table holds rows
};

// Creates the file and tables when missing and appends the rows in one transaction. Plans
// name existing clients by their "编号" (no client when the table has none). `added` tells
// whether rows were added (1) or left out because the tables were not empty (0).
bool seedDemoData(const QString &path, const DemoOptions &options, QString *error = nullptr,
                  int *added = nullptr);

} // namespace kestrova
