#include "nativereader.h"

#include "sqlconnection.h"

#include <sqlite3.h>

namespace kestrova {

namespace {

bool bind(sqlite3_stmt *statement, int index, const QVariant &value)
{
    if (value.isNull())
        return sqlite3_bind_null(statement, index) == SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Bool:
        return sqlite3_bind_int64(statement, index, value.toLongLong()) == SQLITE_OK;
    case QMetaType::Double:
        return sqlite3_bind_double(statement, index, value.toDouble()) == SQLITE_OK;
    default: {
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text(statement, index, text.constData(), int(text.size()),
                                 SQLITE_TRANSIENT) == SQLITE_OK;
    }
    }
}

bool bindAll(sqlite3_stmt *statement, const QVariantList &values, int firstIndex)
{
    for (int i = 0; i < values.size(); ++i) {
        if (!bind(statement, firstIndex + i, values[i]))
            return false;
    }
    return true;
}

QString columnText(sqlite3_stmt *statement, int index, ColumnType type)
{
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return displayText(QVariant(qlonglong(sqlite3_column_int64(statement, index))), type);
    case SQLITE_FLOAT:
        return displayText(QVariant(sqlite3_column_double(statement, index)), type);
    default:
        break;
    }
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(statement, index));
    const int size = sqlite3_column_bytes(statement, index);
    if (type == ColumnType::Text) {
        // Leading blanks are dropped before decoding; the rest is taken as it is.
        int skip = 0;
        while (skip < size && bytes[skip] == ' ')
            ++skip;
        return QString::fromUtf8(bytes + skip, size - skip);
    }
    return displayText(QVariant(QString::fromUtf8(bytes, size)), type);
}

} // namespace

NativeReader::NativeReader(const QString &path)
{
    const QByteArray file = path.toUtf8();
    // One thread uses the connection, so it needs no mutex of its own.
    if (sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(m_db);
        m_db = nullptr;
        return;
    }
    sqlite3_busy_timeout(m_db, SqlConnection::kBusyTimeoutMs);
    // Reading pages through a memory map spares a system call and a copy per page.
    sqlite3_exec(m_db, "PRAGMA mmap_size=268435456", nullptr, nullptr, nullptr);
}

NativeReader::~NativeReader()
{
    finalizeBlock();
    sqlite3_close(m_db);
}

void NativeReader::finalizeBlock()
{
    sqlite3_finalize(m_block);
    m_block = nullptr;
}

std::optional<QVector<qint64>> NativeReader::keys(const QString &sql, const QVariantList &values)
{
    if (!m_db)
        return std::nullopt;
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &statement, nullptr) !=
            SQLITE_OK ||
        !bindAll(statement, values, 1)) {
        sqlite3_finalize(statement);
        return std::nullopt;
    }
    QVector<qint64> keys;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW)
        keys.append(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    if (step != SQLITE_DONE)
        return std::nullopt;
    return keys;
}

bool NativeReader::prepareBlock(const QString &sql, const QVariantList &values,
                                const QList<ColumnInfo> &columns)
{
    finalizeBlock();
    if (!m_db)
        return false;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v3(m_db, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT,
                           &m_block, nullptr) != SQLITE_OK ||
        !bindAll(m_block, values, 3)) {
        finalizeBlock();
        return false;
    }
    m_columns = columns;
    return true;
}

bool NativeReader::readBlock(qint64 lo, qint64 hi, const std::function<QString *(qint64 key)> &slot)
{
    if (!m_block)
        return false;
    sqlite3_reset(m_block);
    sqlite3_bind_int64(m_block, 1, lo);
    sqlite3_bind_int64(m_block, 2, hi);
    const int columns = int(m_columns.size());
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(m_block)) == SQLITE_ROW) {
        QString *texts = slot(sqlite3_column_int64(m_block, 0));
        if (!texts)
            continue;
        for (int c = 0; c < columns; ++c)
            texts[c] = columnText(m_block, c + 1, m_columns[c].type);
    }
    // Ends the read transaction, so the next block sees later commits.
    sqlite3_reset(m_block);
    return step == SQLITE_DONE;
}

} // namespace kestrova
