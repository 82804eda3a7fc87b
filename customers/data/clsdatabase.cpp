#include "clsdatabase.h"

#include "engine.h"
#include "schema.h"
#include "sqlconnection.h"

#include "platform/messagebox.h"
#include "platform/shortdate.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace kestrova {

void setSqliteNativeReads(bool enabled);

namespace {

clsDataBase::FatalHandler &fatalHandler()
{
    static clsDataBase::FatalHandler handler;
    return handler;
}

} // namespace

clsDataBase::clsDataBase()
    : clsDataBase(DatabaseLocation::localFile())
{}

clsDataBase::clsDataBase(const QString &dataPath)
    : clsDataBase(DatabaseLocation::parse(dataPath))
{}

clsDataBase::clsDataBase(const DatabaseLocation &location)
    : m_location(location)
{}

clsDataBase::~clsDataBase()
{
    release();
}

clsDataBase::FatalHandler clsDataBase::setFatalHandler(FatalHandler handler)
{
    FatalHandler previous = std::move(fatalHandler());
    fatalHandler() = std::move(handler);
    return previous;
}

void clsDataBase::setNativeReads(bool enabled)
{
    setSqliteNativeReads(enabled);
}

void clsDataBase::release()
{
    m_pending.reset();
    m_blockQuery.reset();
    m_nativeBlock = false;
    m_engine.reset();
    m_opened = false;
    m_lost = false;
    m_columns.clear();
    m_columnIndex.clear();
    m_keys.clear();
    m_keysDone = false;
    m_count = 0;
    m_position = 0;
    m_filter.reset();
    m_filterText.clear();
    dropCache();
}

void clsDataBase::fail(const QString &text, DataError::Kind kind) const
{
    m_lastError = text;
    m_lastErrorKind = kind;
}

void clsDataBase::throwError(const QString &text, DataError::Kind kind) const
{
    fail(text, kind);
    throw DataError(text, kind);
}

// A failed statement: a lost server is reported as such, and the next command reconnects.
void clsDataBase::throwQueryError(const QSqlQuery &query)
{
    const QSqlError error = query.lastError();
    if (m_engine && m_engine->connectionLost(error)) {
        m_lost = true;
        throwError(QString::fromUtf16(kServerUnreachable) + u' ' + m_location.displayText() +
                       u": " + error.text().trimmed(),
                   DataError::ConnectionLost);
    }
    throwError(error.text());
}

void clsDataBase::exec(QSqlQuery &query)
{
    if (!query.exec())
        throwQueryError(query);
}

void clsDataBase::requireOpen()
{
    if (!m_opened)
        throwError(QStringLiteral("the table is not open"));
}

// Before a command that reads or writes: a lost server is connected again first. Moving the
// cursor needs no server, so a window can still move and show what it has read.
void clsDataBase::ensureConnected()
{
    requireOpen();
    if (m_lost && !reconnect())
        throwError(m_lastError, DataError::ConnectionLost);
}

// After a lost connection: connects again and re-takes the keyset, keeping the current row
// and a pending row (which was never written).
bool clsDataBase::reconnect()
{
    QString error;
    m_blockQuery.reset();
    m_nativeBlock = false;
    if (!m_engine->reconnect(&error)) {
        fail(QString::fromUtf16(kServerUnreachable) + u' ' + m_location.displayText() + u": " +
                 error.trimmed(),
             DataError::ConnectionLost);
        return false;
    }
    m_lost = false;
    m_lostReported = false;
    const qint64 key = KeyAt(m_position + 1);
    const int index = m_position;
    try {
        requery(m_filter);
    } catch (const DataError &) {
        return false;
    }
    restorePosition(key, index);
    return true;
}

bool clsDataBase::OpenDB(const QString &strDataTable)
{
    release();
    QString error;
    DataError::Kind kind = DataError::General;
    m_engine = Engine::open(m_location, Engine::OpenMode::ExistingOnly, &error, &kind);
    if (!m_engine) {
        fail(error, kind);
        release();
        return false;
    }
    // Nothing is written before the database is known to be Kestrova's.
    const SchemaCheck check = checkSchema(*m_engine);
    if (check.state == SchemaCheck::Foreign || check.state == SchemaCheck::Failed) {
        fail(check.message,
             check.state == SchemaCheck::Foreign ? DataError::ForeignSchema : DataError::General);
        release();
        return false;
    }
    QString table;
    for (const QString &name : check.tables) {
        if (name.compare(strDataTable, Qt::CaseInsensitive) == 0)
            table = name;
    }
    if (table.isEmpty()) {
        fail(QStringLiteral("no table \"%1\"").arg(strDataTable));
        release();
        return false;
    }
    m_table = table;
    // Kestrova's tables were read by the check; another table is read here.
    const auto checked = check.columns.constFind(m_table);
    if (checked != check.columns.constEnd())
        m_columns = *checked;
    else if (!m_engine->loadColumns(m_table, &m_columns, &error))
        m_columns.clear();
    if (m_columns.isEmpty() || !m_engine->prepareForWrites(&error)) {
        fail(error.isEmpty() ? QStringLiteral("the table has no columns") : error);
        release();
        return false;
    }
    m_sharedFile = m_engine->sharedFileWarning();
    m_key = m_engine->keyExpression();
    QStringList select = {m_key};
    for (int i = 0; i < m_columns.size(); ++i) {
        m_columnIndex.insert(m_columns[i].name, i);
        select.append(quoteIdentifier(m_columns[i].name));
    }
    m_selectList = select.join(QStringLiteral(", "));
    m_opened = true;
    try {
        requery(std::nullopt);
    } catch (const DataError &) {
        release();
        return false;
    }
    return true;
}

void clsDataBase::CloseDB()
{
    release();
}

int clsDataBase::ColumnIndex(const QString &name) const
{
    const auto exact = m_columnIndex.constFind(name);
    if (exact != m_columnIndex.constEnd())
        return *exact;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void clsDataBase::dropCache()
{
    m_cacheFirst = -1;
    m_cacheRows = 0;
}

// Takes the keyset under `filter`: counts its rows and notes its highest key; the keys
// themselves are read as positions need them. Rows other instances add later stay out until
// the next keyset. Throws DataError when the engine refuses; the previous keyset then stays.
void clsDataBase::requery(const std::optional<criteria::SqlCondition> &filter)
{
    QString where;
    QVariantList values;
    if (filter) {
        where = u" WHERE " + filter->sql;
        values = filter->values;
    }
    const QString table = quoteIdentifier(m_table);
    QSqlQuery count(m_engine->database());
    count.setForwardOnly(true);
    // Without a filter the count and the highest key are two quick lookups (an engine counts
    // a whole table from its smallest index); with one, a single pass finds both.
    const QString countSql =
        filter ? QString(u"SELECT count(*), max(" + m_key + u") FROM " + table + where)
               : QString(u"SELECT (SELECT count(*) FROM " + table + u"), (SELECT max(" + m_key +
                         u") FROM " + table + u')');
    if (!count.prepare(countSql))
        throwQueryError(count);
    for (const QVariant &value : values)
        count.addBindValue(value);
    exec(count);
    if (!count.next())
        throwQueryError(count);
    const int rows = count.value(0).toInt();
    const qint64 maxKey = count.value(1).toLongLong();
    count.finish();

    QString blockSql =
        u"SELECT " + m_selectList + u" FROM " + table + u" WHERE " + m_key + u" BETWEEN ? AND ?";
    if (filter)
        blockSql += u" AND (" + filter->sql + u')';
    blockSql += u" ORDER BY " + m_key;
    m_nativeBlock = m_engine->prepareBlock(blockSql, values, m_columns);

    m_filter = filter;
    m_count = rows;
    m_maxKey = maxKey;
    m_keys.clear();
    m_keysDone = rows == 0;
    // Prepared through Qt SQL only when the engine's own bulk read is not there.
    m_blockQuery.reset();
    m_blockSql = blockSql;
    m_blockValues = values;
    m_position = 0;
    dropCache();
    // The first block's keys come at once: a small table's keyset is then whole as taken.
    if (!loadKeys(kBlockRows, std::numeric_limits<qint64>::max()))
        throwError(QStringLiteral("the keys of the table cannot be read"));
}

// Reads the next keys of the keyset: `wanted` more, or (wanted 0) all up to the key `upTo`.
// False when the engine failed.
bool clsDataBase::loadKeys(int wanted, qint64 upTo) const
{
    if (m_keysDone)
        return true;
    QString sql =
        u"SELECT " + m_key + u" FROM " + quoteIdentifier(m_table) + u" WHERE " + m_key + u" <= ?";
    QVariantList values = {std::min(m_maxKey, upTo)};
    if (!m_keys.isEmpty()) {
        sql += u" AND " + m_key + u" > ?";
        values.append(m_keys.last());
    }
    if (m_filter) {
        sql += u" AND (" + m_filter->sql + u')';
        values += m_filter->values;
    }
    sql += u" ORDER BY " + m_key;
    if (wanted > 0) {
        sql += QStringLiteral(" LIMIT ?");
        values.append(wanted);
    }
    std::optional<QVector<qint64>> keys = m_engine->fastKeys(sql, values);
    if (!keys) {
        QSqlQuery query(m_engine->database());
        query.setForwardOnly(true);
        if (!query.prepare(sql))
            return false;
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec())
            return false;
        keys.emplace();
        while (query.next())
            keys->append(query.value(0).toLongLong());
        if (query.lastError().isValid())
            return false;
    }
    m_keys += *keys;
    const bool reachedEnd = !m_keys.isEmpty() && m_keys.last() >= m_maxKey;
    if (reachedEnd || (wanted > 0 && keys->size() < wanted) || (wanted == 0 && upTo >= m_maxKey))
        m_keysDone = true;
    // Rows other instances deleted since the count leave no key: the cursor ends where the
    // keys do.
    if (m_keysDone)
        m_count = static_cast<int>(m_keys.size());
    return true;
}

// Reads keys until the one at `index` is there (or every key is). False when the engine
// failed.
bool clsDataBase::ensureKeys(int index) const
{
    while (index >= m_keys.size() && !m_keysDone) {
        const int wanted = std::max(kKeyBlock, index + 1 - int(m_keys.size()));
        if (!loadKeys(wanted, std::numeric_limits<qint64>::max()))
            return false;
    }
    return true;
}

bool clsDataBase::ensureKeysThrough(qint64 key) const
{
    if (m_keysDone || (!m_keys.isEmpty() && m_keys.last() >= key))
        return true;
    return loadKeys(0, key);
}

void clsDataBase::applyFilter(const criteria::SqlCondition &condition, const QString &text)
{
    requery(condition);
    m_filterText = text;
}

std::optional<QVector<QVariant>> clsDataBase::readRawRow(qint64 key)
{
    QSqlQuery query(m_engine->database());
    query.setForwardOnly(true);
    query.prepare(u"SELECT " + m_selectList + u" FROM " + quoteIdentifier(m_table) + u" WHERE " +
                  m_key + u" = ?");
    query.addBindValue(key);
    exec(query);
    if (!query.next()) {
        if (query.lastError().isValid())
            throwQueryError(query);
        return std::nullopt;
    }
    QVector<QVariant> values;
    values.reserve(m_columns.size());
    for (int c = 0; c < m_columns.size(); ++c)
        values.append(query.value(c + 1));
    return values;
}

// The texts of the row at index `index` of the keyset, or nullptr when another instance has
// deleted it. Reads the whole block around it when it is not cached.
const QString *clsDataBase::cachedRow(int index)
{
    const int columns = static_cast<int>(m_columns.size());
    if (m_cacheFirst < 0 || index < m_cacheFirst || index >= m_cacheFirst + m_cacheRows) {
        dropCache();
        const int first = index / kBlockRows * kBlockRows;
        if (!ensureKeys(first + kBlockRows - 1)) {
            QSqlQuery probe(m_engine->database());
            if (m_engine->connectionLost(probe.lastError())) {
                m_lost = true;
                throwError(QString::fromUtf16(kServerUnreachable) + u' ' + m_location.displayText(),
                           DataError::ConnectionLost);
            }
            throwError(QStringLiteral("the keys of the table cannot be read"));
        }
        if (index >= m_keys.size())
            return nullptr; // deleted by another instance before its key was read
        const int rows = std::min(kBlockRows, static_cast<int>(m_keys.size()) - first);
        m_cacheTexts.resize(qsizetype(rows) * columns);
        m_cachePresent.fill(false, rows);
        // Rows come in key order, as the keyset is; a row that matches the filter only since
        // the keyset was taken has no slot and is skipped.
        int slot = 0;
        const auto slotFor = [&](qint64 key) -> QString * {
            while (slot < rows && m_keys[first + slot] < key)
                ++slot;
            if (slot >= rows || m_keys[first + slot] != key)
                return nullptr;
            m_cachePresent[slot] = true;
            return m_cacheTexts.data() + qsizetype(slot) * columns;
        };
        bool read = false;
        if (m_nativeBlock)
            read = m_engine->readBlock(m_keys[first], m_keys[first + rows - 1], slotFor);
        if (!read) {
            slot = 0;
            m_cachePresent.fill(false, rows);
            if (!m_blockQuery) {
                m_blockQuery = std::make_unique<QSqlQuery>(m_engine->database());
                m_blockQuery->setForwardOnly(true);
                if (!m_blockQuery->prepare(m_blockSql))
                    throwQueryError(*m_blockQuery);
                // The filter's values follow the two bounds and stay bound for every block.
                for (int i = 0; i < m_blockValues.size(); ++i)
                    m_blockQuery->bindValue(i + 2, m_blockValues[i]);
            }
            QSqlQuery &query = *m_blockQuery;
            query.bindValue(0, m_keys[first]);
            query.bindValue(1, m_keys[first + rows - 1]);
            exec(query);
            while (query.next()) {
                QString *texts = slotFor(query.value(0).toLongLong());
                if (!texts)
                    continue;
                for (int c = 0; c < columns; ++c)
                    texts[c] = displayText(query.value(c + 1), m_columns[c].type);
            }
            const bool failed = query.lastError().isValid();
            if (failed)
                throwQueryError(query);
            query.finish();
        }
        // Rows another instance changed so they no longer match the filter still belong to
        // this keyset; read them by key.
        for (int s = 0; s < rows; ++s) {
            if (m_cachePresent[s])
                continue;
            if (const auto raw = readRawRow(m_keys[first + s])) {
                QString *texts = m_cacheTexts.data() + qsizetype(s) * columns;
                for (int c = 0; c < columns; ++c)
                    texts[c] = displayText(raw->at(c), m_columns[c].type);
                m_cachePresent[s] = true;
            }
        }
        m_cacheFirst = first;
        m_cacheRows = rows;
    }
    const int slot = index - m_cacheFirst;
    return m_cachePresent[slot] ? m_cacheTexts.constData() + qsizetype(slot) * columns : nullptr;
}

std::optional<QVariant> clsDataBase::storageValue(const QVariant &data, ColumnType type) const
{
    switch (type) {
    case ColumnType::Key:
        return std::nullopt;
    case ColumnType::Text: {
        const QString text = data.toString();
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case ColumnType::Date: {
        QDate date;
        if (data.typeId() == QMetaType::QDate)
            date = data.toDate();
        else if (data.typeId() == QMetaType::QDateTime)
            date = data.toDateTime().date();
        else if (data.isNull() || data.toString().trimmed().isEmpty())
            return QVariant();
        else
            date = platform::parseShortDate(data.toString());
        if (!date.isValid())
            return std::nullopt;
        return QVariant(date.toString(Qt::ISODate));
    }
    case ColumnType::Boolean: {
        if (isNumeric(data))
            return QVariant(data.toDouble() != 0.0 ? 1 : 0);
        const auto value = parseBoolean(data.toString());
        if (!value)
            return std::nullopt;
        return QVariant(*value ? 1 : 0);
    }
    case ColumnType::Number: {
        if (data.isNull() || data.toString().trimmed().isEmpty())
            return QVariant();
        if (isNumeric(data) && data.typeId() != QMetaType::Bool)
            return data;
        return parseNumber(data.toString());
    }
    }
    return std::nullopt;
}

// A read the lost server failed: the user is told once per loss, the program goes on, and
// the next command reconnects.
QString clsDataBase::serverLost()
{
    if (!m_lostReported) {
        m_lostReported = true;
        platform::messageBox(nullptr, m_lastError, QString::fromUtf16(kProgramTitle),
                             QMessageBox::Warning, QMessageBox::Ok);
    }
    return {};
}

QString clsDataBase::fatalRead()
{
    platform::messageBox(nullptr, QStringLiteral("数据库已破坏，请修复后使用"),
                         QString::fromUtf16(kProgramTitle), QMessageBox::Warning, QMessageBox::Ok);
    if (const FatalHandler &handler = fatalHandler())
        handler(QStringLiteral("数据库已破坏，请修复后使用"));
    else
        std::_Exit(EXIT_FAILURE);
    return {};
}

QString clsDataBase::GetRecord(const QString &strTitle)
{
    const int column = m_opened ? ColumnIndex(strTitle) : -1;
    if (column < 0) {
        fail(QStringLiteral("no column \"%1\"").arg(strTitle));
        return fatalRead();
    }
    return GetRecordAt(column);
}

QString clsDataBase::GetRecordAt(int column)
{
    if (!m_opened || column < 0 || column >= m_columns.size()) {
        fail(QStringLiteral("no column %1").arg(column));
        return fatalRead();
    }
    if (m_pending) {
        if (m_pending->assigned[column] || m_pending->isNew)
            return displayText(m_pending->values[column], m_columns[column].type);
    }
    if (m_lost && !reconnect())
        return serverLost();
    if (m_position < 0 || m_position >= m_count) {
        fail(QStringLiteral("there is no current row"));
        return fatalRead();
    }
    try {
        const QString *texts = cachedRow(m_position);
        return texts ? texts[column] : QString();
    } catch (const DataError &error) {
        if (error.kind() == DataError::ConnectionLost)
            return serverLost();
        return fatalRead();
    }
}

QStringList clsDataBase::RowTexts(int position)
{
    ensureConnected();
    if (position < 1 || position > m_count)
        throwError(QStringLiteral("no row at position %1").arg(position));
    const QString *texts = cachedRow(position - 1);
    QStringList row;
    row.reserve(m_columns.size());
    for (int c = 0; c < m_columns.size(); ++c)
        row.append(texts ? texts[c] : QString());
    return row;
}

QList<QStringList> clsDataBase::ReadRows(int first, int count, const Progress &progress)
{
    ensureConnected();
    QList<QStringList> rows;
    first = std::max(first, 1);
    const int last = std::min(m_count, first + std::max(count, 0) - 1);
    const int total = std::max(0, last - first + 1);
    rows.reserve(total);
    for (int position = first; position <= std::min(last, m_count); ++position) {
        rows.append(RowTexts(position));
        const int done = position - first + 1;
        if ((done % kBlockRows == 0 || done == total) && progress && !progress(done, total))
            break;
    }
    return rows;
}

void clsDataBase::SetRecord(const QString &strTitle, const QVariant &varData)
{
    if (!m_opened)
        return fail(QStringLiteral("the table is not open"));
    const int column = ColumnIndex(strTitle);
    if (column < 0)
        return fail(QStringLiteral("no column \"%1\"").arg(strTitle));
    const auto value = storageValue(varData, m_columns[column].type);
    if (!value)
        return fail(QStringLiteral("column \"%1\" refuses \"%2\"")
                        .arg(m_columns[column].name, varData.toString()));
    if (!m_pending) {
        const qint64 key = KeyAt(m_position + 1);
        if (key < 0)
            return fail(QStringLiteral("there is no current row"));
        std::optional<QVector<QVariant>> original;
        try {
            if (m_lost && !reconnect())
                return;
            original = readRawRow(key);
        } catch (const DataError &) {
            return;
        }
        if (!original)
            return fail(QStringLiteral("the row has been deleted"), DataError::Deleted);
        Pending edit;
        edit.key = key;
        edit.savedPosition = m_position;
        edit.values = *original;
        edit.original = *original;
        edit.assigned.fill(false, m_columns.size());
        m_pending = std::move(edit);
    }
    m_pending->values[column] = *value;
    m_pending->assigned[column] = true;
}

// Writes the pending row in one statement. Throws DataError, leaving the row pending.
void clsDataBase::commitPending()
{
    if (!m_pending)
        return;
    const Pending &pending = *m_pending;
    QStringList names;
    QVariantList values;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (pending.assigned[c]) {
            names.append(quoteIdentifier(m_columns[c].name));
            values.append(m_engine->bindValue(pending.values[c], m_columns[c].type));
        }
    }
    QSqlQuery query(m_engine->database());
    const QString table = quoteIdentifier(m_table);
    if (pending.isNew) {
        if (names.isEmpty()) {
            query.prepare(u"INSERT INTO " + table + u" DEFAULT VALUES");
        } else {
            const QString marks = QStringList(names.size(), QStringLiteral("?")).join(u", ");
            query.prepare(u"INSERT INTO " + table + u" (" + names.join(u", ") + u") VALUES (" +
                          marks + u')');
        }
        for (const QVariant &value : values)
            query.addBindValue(value);
        exec(query);
    } else {
        if (names.isEmpty()) {
            m_pending.reset();
            return;
        }
        // Optimistic locking: the row is written only when the columns being changed still
        // hold what they held when the edit began.
        QStringList assignments;
        QStringList checks;
        for (const QString &name : names) {
            assignments.append(name + u" = ?");
            checks.append(name + u' ' + m_engine->nullSafeEqual() + u" ?");
        }
        query.prepare(u"UPDATE " + table + u" SET " + assignments.join(u", ") + u" WHERE " + m_key +
                      u" = ? AND " + checks.join(u" AND "));
        for (const QVariant &value : values)
            query.addBindValue(value);
        query.addBindValue(pending.key);
        for (int c = 0; c < m_columns.size(); ++c) {
            if (pending.assigned[c])
                query.addBindValue(m_engine->bindValue(pending.original[c], m_columns[c].type));
        }
        exec(query);
        if (query.numRowsAffected() != 1) {
            if (readRawRow(pending.key))
                throwError(QStringLiteral("another user changed the row meanwhile"),
                           DataError::Conflict);
            throwError(QStringLiteral("another user deleted the row meanwhile"),
                       DataError::Deleted);
        }
    }
    m_pending.reset();
}

// A cursor move or filter change with a row pending commits it first, keeping the current
// row; a new row nobody assigned anything to is simply dropped.
void clsDataBase::flushPending()
{
    if (!m_pending)
        return;
    const bool isNew = m_pending->isNew;
    const bool assigned = std::find(m_pending->assigned.cbegin(), m_pending->assigned.cend(),
                                    true) != m_pending->assigned.cend();
    const int saved = m_pending->savedPosition;
    const qint64 savedKey = KeyAt(saved + 1);
    if (isNew && !assigned) {
        m_pending.reset();
        m_position = saved;
        return;
    }
    ensureConnected();
    commitPending();
    requery(m_filter);
    restorePosition(savedKey, saved);
}

void clsDataBase::restorePosition(qint64 key, int fallbackIndex)
{
    const int position = key >= 0 ? PositionOfKey(key) : 0;
    if (position > 0)
        m_position = position - 1;
    else
        m_position = std::clamp(fallbackIndex, 0, std::max(0, m_count - 1));
}

void clsDataBase::Update()
{
    ensureConnected();
    commitPending();
    requery(m_filter);
}

void clsDataBase::AddNew()
{
    requireOpen();
    flushPending();
    Pending row;
    row.isNew = true;
    row.savedPosition = m_position;
    row.values.fill(QVariant(), m_columns.size());
    row.assigned.fill(false, m_columns.size());
    m_pending = std::move(row);
}

void clsDataBase::CancelUpdate()
{
    if (!m_pending)
        return;
    m_position = m_pending->savedPosition;
    m_pending.reset();
}

void clsDataBase::Delete()
{
    ensureConnected();
    if (m_pending && m_pending->isNew) {
        CancelUpdate();
        return;
    }
    m_pending.reset();
    const qint64 key = KeyAt(m_position + 1);
    if (key < 0)
        return;
    QSqlQuery query(m_engine->database());
    query.prepare(u"DELETE FROM " + quoteIdentifier(m_table) + u" WHERE " + m_key + u" = ?");
    query.addBindValue(key);
    exec(query);
    m_keys.remove(m_position);
    --m_count;
    dropCache();
    if (m_position >= m_count)
        m_position = std::max(0, m_count - 1);
}

int clsDataBase::GetRecordCount()
{
    MoveLast();
    const int count = m_count;
    dropCache();
    MoveFirst();
    return count;
}

void clsDataBase::Move(int lngPosition)
{
    requireOpen();
    if (lngPosition < 1)
        return;
    flushPending();
    m_position = lngPosition - 1;
    if (m_count > 0 && m_position >= m_count)
        m_position = m_count - 1;
}

void clsDataBase::MoveFirst()
{
    requireOpen();
    flushPending();
    if (m_count > 0)
        m_position = 0;
}

void clsDataBase::MoveLast()
{
    requireOpen();
    flushPending();
    if (m_count > 0)
        m_position = m_count - 1;
}

void clsDataBase::MoveNext()
{
    requireOpen();
    flushPending();
    if (!IsEOF())
        ++m_position;
    if (m_count > 0 && m_position >= m_count)
        m_position = m_count - 1;
}

void clsDataBase::MovePrevious()
{
    requireOpen();
    flushPending();
    if (!IsBOF())
        --m_position;
    if (m_count > 0 && m_position < 0)
        m_position = 0;
}

bool clsDataBase::MoveToKey(qint64 key)
{
    requireOpen();
    flushPending();
    const int position = PositionOfKey(key);
    if (position < 1)
        return false;
    m_position = position - 1;
    return true;
}

void clsDataBase::Requery()
{
    ensureConnected();
    flushPending();
    const qint64 key = KeyAt(m_position + 1);
    const int index = m_position;
    requery(m_filter);
    restorePosition(key, index);
}

DataError clsDataBase::Error() const
{
    if (m_lastError.isEmpty())
        throw DataError(QStringLiteral("there has been no error"));
    return DataError(m_lastError, m_lastErrorKind);
}

bool clsDataBase::IsEOF() const
{
    if (!m_opened)
        return false;
    if (m_pending && m_pending->isNew)
        return false;
    return m_count == 0 || m_position >= m_count;
}

bool clsDataBase::IsBOF() const
{
    if (!m_opened)
        return false;
    if (m_pending && m_pending->isNew)
        return false;
    return m_count == 0 || m_position < 0;
}

int clsDataBase::AbsolutePosition() const
{
    if (!m_opened || (m_pending && m_pending->isNew))
        return 0;
    return m_position >= 0 && m_position < m_count ? m_position + 1 : 0;
}

clsDataBase::EditMode clsDataBase::CurrentEditMode() const
{
    if (!m_pending)
        return EditNone;
    return m_pending->isNew ? EditAdd : EditInProgress;
}

qint64 clsDataBase::KeyAt(int position) const
{
    if (!m_opened || position < 1 || position > m_count || !ensureKeys(position - 1))
        return -1;
    return position <= m_keys.size() ? m_keys[position - 1] : -1;
}

int clsDataBase::PositionOfKey(qint64 key) const
{
    if (!m_opened || !ensureKeysThrough(key))
        return 0;
    const auto it = std::lower_bound(m_keys.cbegin(), m_keys.cend(), key);
    return it != m_keys.cend() && *it == key ? static_cast<int>(it - m_keys.cbegin()) + 1 : 0;
}

bool clsDataBase::FilterField(const QString &strField, const QString &strFilter,
                              const QString &strMode)
{
    if (!m_opened) {
        fail(QStringLiteral("the table is not open"));
        return false;
    }
    QString value = strFilter;
    value.replace(u'\'', QStringLiteral("''"));
    const QString text = strField + u' ' + strMode + QStringLiteral(" '") + value + u'\'';
    const criteria::ParseResult parsed = criteria::parse(text);
    if (!parsed.ok()) {
        fail(parsed.error);
        return false;
    }
    const criteria::CompileResult compiled =
        criteria::compile(*parsed.root, m_columns, m_engine->dialect());
    if (!compiled.condition) {
        fail(compiled.error);
        return false;
    }
    try {
        ensureConnected();
        flushPending();
        applyFilter(*compiled.condition, criteria::toText(*parsed.root));
    } catch (const DataError &) {
        return false;
    }
    return true;
}

void clsDataBase::FilterString(const QString &criteria)
{
    ensureConnected();
    if (criteria.trimmed().isEmpty()) {
        CancelFilter();
        return;
    }
    const criteria::ParseResult parsed = criteria::parse(criteria);
    if (!parsed.ok())
        throwError(QStringLiteral("%1 (at character %2 of the criteria)")
                       .arg(parsed.error)
                       .arg(parsed.errorOffset + 1));
    const criteria::CompileResult compiled =
        criteria::compile(*parsed.root, m_columns, m_engine->dialect());
    if (!compiled.condition)
        throwError(compiled.error);
    flushPending();
    applyFilter(*compiled.condition, criteria::toText(*parsed.root));
}

void clsDataBase::CancelFilter()
{
    ensureConnected();
    flushPending();
    requery(std::nullopt);
    m_filterText.clear();
}

} // namespace kestrova
