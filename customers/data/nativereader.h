#pragma once

#include "columns.h"

#include <QList>
#include <QString>
#include <QVariantList>
#include <QVector>

#include <functional>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace kestrova {

// A read-only connection of its own through the sqlite3 C API, for the cursor's bulk reads
// (keysets and row blocks). Qt SQL hands every value over as a QVariant converted from UTF-16,
// which makes reading a large table several times slower than the engine; this reads UTF-8
// straight into the display texts. Writes, schema and everything else stay with Qt SQL, and
// the cursor falls back to Qt SQL whenever this reader is missing or fails. It never holds a
// read transaction between calls, so it sees every commit of every connection.
class NativeReader
{
public:
    explicit NativeReader(const QString &path);
    ~NativeReader();
    NativeReader(const NativeReader &) = delete;
    NativeReader &operator=(const NativeReader &) = delete;

    bool isOpen() const { return m_db != nullptr; }

    // The first column (a key) of every row of the query; empty on failure.
    std::optional<QVector<qint64>> keys(const QString &sql, const QVariantList &values);

    // Prepares the block query: its first two parameters are the key bounds, `values` bind the
    // rest. Its columns are the key and then `columns` in order.
    bool prepareBlock(const QString &sql, const QVariantList &values,
                      const QList<ColumnInfo> &columns);

    // Runs the block query for keys lo..hi. For every row, `slot(key)` names where its texts
    // go (nullptr skips the row). False when the engine fails.
    bool readBlock(qint64 lo, qint64 hi, const std::function<QString *(qint64 key)> &slot);

private:
    void finalizeBlock();

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_block = nullptr;
    QList<ColumnInfo> m_columns;
};

} // namespace kestrova
