// Feeds arbitrary bytes to the CSV reader. Beyond not crashing: every row it returns is as
// wide as the header, and what it read, written back out and read again, gives the same cells.

#include "customers/interchange/csvformat.h"

#include <cstdlib>

using namespace kestrova::interchange;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const CsvReadResult read = readCsv(bytes);
    if (!read.error.isEmpty())
        return 0;
    for (const QStringList &row : read.table.rows) {
        if (row.size() != read.table.headers.size())
            std::abort();
    }
    if (!read.header || read.table.rows.isEmpty())
        return 0;
    CsvReadOptions same;
    same.encoding = TextEncoding::Utf8;
    same.separator = u',';
    same.header = true;
    const CsvReadResult again = readCsv(writeCsv(read.table.headers, read.table.rows), same);
    // Blank rows vanish on the way, and a trailing record of one empty field is no record.
    if (again.error.isEmpty() && again.table.rows.size() == read.table.rows.size() &&
        again.table.rows != read.table.rows)
        std::abort();
    return 0;
}
