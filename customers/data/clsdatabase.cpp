#include "clsdatabase.h"

#include "sqlconnection.h"
#ifdef DIALVANE_NATIVE_SQLITE
#include "nativereader.h"
#endif

#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/shortdate.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cstdlib>

namespace kestrova {

namespace {

bool g_nativeReads = true;

clsDataBase::FatalHandler &fatalHandler()
{
    static clsDataBase::FatalHandler handler;
    return handler;
}

ColumnType typeFromDeclaration(const QString &declared, bool primaryKey)
{
    const QString type = declared.toUpper();
    if (primaryKey && type.contains(u"INT"))
        return ColumnType::Key;
    if (type.contains(u"DATE") || type.contains(u"TIME"))
        return ColumnType::Date;
    if (type.contains(u"BOOL") || type == u"BIT" || type == u"YESNO")
        return ColumnType::Boolean;
    if (type.contains(u"INT") || type.contains(u"REAL") || type.contains(u"NUM") ||
        type.contains(u"DEC") || type.contains(u"DOUB") || type.contains(u"FLOA"))
        return ColumnType::Number;
    return ColumnType::Text;
}

} // namespace

clsDataBase::clsDataBase()
    : clsDataBase(QDir(platform::installFolder()).filePath(QString::fromUtf16(kDataFileName)))
{}

clsDataBase::clsDataBase(const QString &dataPath)
    : m_dataPath(dataPath)
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
    g_nativeReads = enabled;
}

void clsDataBase::release()
{
    m_pending.reset();
    m_blockQuery.reset();
    m_native.reset();
    m_nativeBlock = false;
    m_connection.reset();
    m_opened = false;
    m_columns.clear();
    m_columnIndex.clear();
    m_keys.clear();
    m_position = 0;
    m_filter.reset();
    m_filterText.clear();
    dropCache();
}

void clsDataBase::fail(const QString &text) const
{
    m_lastError = text;
}

void clsDataBase::throwError(const QString &text) const
{
    fail(text);
    throw DataError(text);
}

void clsDataBase::requireOpen() const
{
    if (!m_opened)
        throwError(QStringLiteral("the table is not open"));
}

bool clsDataBase::OpenDB(const QString &strDataTable)
{
    release();
    m_connection = std::make_unique<SqlConnection>(m_dataPath);
    if (!m_connection->isOpen()) {
        fail(m_connection->errorText());
        release();
        return false;
    }
    QSqlQuery query(m_connection->database());
    query.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                 "name = ? COLLATE NOCASE"));
    query.addBindValue(strDataTable);
    if (!query.exec() || !query.next()) {
        fail(query.lastError().isValid() ? query.lastError().text()
                                         : QStringLiteral("no table \"%1\"").arg(strDataTable));
        release();
        return false;
    }
    m_table = query.value(0).toString();
    query.finish();
#ifdef DIALVANE_NATIVE_SQLITE
    if (g_nativeReads) {
        m_native = std::make_unique<NativeReader>(m_dataPath);
        if (!m_native->isOpen())
            m_native.reset();
    }
#endif
    QString error;
    if (!loadColumns(&error)) {
        fail(error);
        release();
        return false;
    }
    m_opened = true;
    try {
        requery(std::nullopt);
    } catch (const DataError &) {
        release();
        return false;
    }
    return true;
}

bool clsDataBase::loadColumns(QString *error)
{
    QSqlQuery query(m_connection->database());
    // The table name was read from the database's own catalogue just before.
    if (!query.exec(u"PRAGMA table_info(" + quoteIdentifier(m_table) + u')')) {
        *error = query.lastError().text();
        return false;
    }
    m_columns.clear();
    m_columnIndex.clear();
    QStringList select = {QStringLiteral("rowid")};
    while (query.next()) {
        ColumnInfo column;
        column.name = query.value(1).toString();
        column.type = typeFromDeclaration(query.value(2).toString(), query.value(5).toInt() == 1);
        m_columnIndex.insert(column.name, static_cast<int>(m_columns.size()));
        m_columns.append(column);
        select.append(quoteIdentifier(column.name));
    }
    if (m_columns.isEmpty()) {
        *error = QStringLiteral("the table has no columns");
        return false;
    }
    m_selectList = select.join(QStringLiteral(", "));
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

// Takes the keyset under `filter`. Throws DataError when the engine refuses; the previous
// keyset then stays.
void clsDataBase::requery(const std::optional<criteria::SqlCondition> &filter)
{
    QString where;
    QVariantList values;
    if (filter) {
        where = u" WHERE " + filter->sql;
        values = filter->values;
    }
    const QString keySql =
        u"SELECT rowid FROM " + quoteIdentifier(m_table) + where + u" ORDER BY rowid";
    QString blockSql = u"SELECT " + m_selectList + u" FROM " + quoteIdentifier(m_table) +
                       u" WHERE rowid BETWEEN ? AND ?";
    if (filter)
        blockSql += u" AND (" + filter->sql + u')';
    blockSql += u" ORDER BY rowid";

    std::optional<QVector<qint64>> keys;
#ifdef DIALVANE_NATIVE_SQLITE
    if (m_native)
        keys = m_native->keys(keySql, values);
#endif
    if (!keys) {
        QSqlQuery query(m_connection->database());
        query.setForwardOnly(true);
        if (!query.prepare(keySql))
            throwError(query.lastError().text());
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec())
            throwError(query.lastError().text());
        keys.emplace();
        while (query.next())
            keys->append(query.value(0).toLongLong());
        if (query.lastError().isValid())
            throwError(query.lastError().text());
    }

    auto blockQuery = std::make_unique<QSqlQuery>(m_connection->database());
    blockQuery->setForwardOnly(true);
    if (!blockQuery->prepare(blockSql))
        throwError(blockQuery->lastError().text());
    // The filter's values follow the two bounds of the block and stay bound for every block.
    for (int i = 0; i < values.size(); ++i)
        blockQuery->bindValue(i + 2, values[i]);
    m_nativeBlock = false;
#ifdef DIALVANE_NATIVE_SQLITE
    if (m_native)
        m_nativeBlock = m_native->prepareBlock(blockSql, values, m_columns);
#endif

    m_filter = filter;
    m_keys = std::move(*keys);
    m_blockQuery = std::move(blockQuery);
    m_position = 0;
    dropCache();
}

void clsDataBase::applyFilter(const criteria::SqlCondition &condition, const QString &text)
{
    requery(condition);
    m_filterText = text;
}

std::optional<QVector<QVariant>> clsDataBase::readRawRow(qint64 key)
{
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    query.prepare(u"SELECT " + m_selectList + u" FROM " + quoteIdentifier(m_table) +
                  u" WHERE rowid = ?");
    query.addBindValue(key);
    if (!query.exec())
        throwError(query.lastError().text());
    if (!query.next()) {
        if (query.lastError().isValid())
            throwError(query.lastError().text());
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
#ifdef DIALVANE_NATIVE_SQLITE
        if (m_nativeBlock)
            read = m_native->readBlock(m_keys[first], m_keys[first + rows - 1], slotFor);
#endif
        if (!read) {
            slot = 0;
            m_cachePresent.fill(false, rows);
            QSqlQuery &query = *m_blockQuery;
            query.bindValue(0, m_keys[first]);
            query.bindValue(1, m_keys[first + rows - 1]);
            if (!query.exec())
                throwError(query.lastError().text());
            while (query.next()) {
                QString *texts = slotFor(query.value(0).toLongLong());
                if (!texts)
                    continue;
                for (int c = 0; c < columns; ++c)
                    texts[c] = displayText(query.value(c + 1), m_columns[c].type);
            }
            const bool failed = query.lastError().isValid();
            query.finish();
            if (failed)
                throwError(query.lastError().text());
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
    if (m_position < 0 || m_position >= m_keys.size()) {
        fail(QStringLiteral("there is no current row"));
        return fatalRead();
    }
    try {
        const QString *texts = cachedRow(m_position);
        return texts ? texts[column] : QString();
    } catch (const DataError &) {
        return fatalRead();
    }
}

QStringList clsDataBase::RowTexts(int position)
{
    requireOpen();
    if (position < 1 || position > m_keys.size())
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
    requireOpen();
    QList<QStringList> rows;
    first = std::max(first, 1);
    const int last = std::min(static_cast<int>(m_keys.size()), first + std::max(count, 0) - 1);
    const int total = std::max(0, last - first + 1);
    rows.reserve(total);
    for (int position = first; position <= last; ++position) {
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
        if (m_position < 0 || m_position >= m_keys.size())
            return fail(QStringLiteral("there is no current row"));
        std::optional<QVector<QVariant>> original;
        try {
            original = readRawRow(m_keys[m_position]);
        } catch (const DataError &) {
            return;
        }
        if (!original)
            return fail(QStringLiteral("the row has been deleted"));
        Pending edit;
        edit.key = m_keys[m_position];
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
            values.append(pending.values[c]);
        }
    }
    QSqlQuery query(m_connection->database());
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
        if (!query.exec())
            throwError(query.lastError().text());
        m_lastAddedKey = query.lastInsertId().toLongLong();
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
            checks.append(name + u" IS ?");
        }
        query.prepare(u"UPDATE " + table + u" SET " + assignments.join(u", ") +
                      u" WHERE rowid = ? AND " + checks.join(u" AND "));
        for (const QVariant &value : values)
            query.addBindValue(value);
        query.addBindValue(pending.key);
        for (int c = 0; c < m_columns.size(); ++c) {
            if (pending.assigned[c])
                query.addBindValue(pending.original[c]);
        }
        if (!query.exec())
            throwError(query.lastError().text());
        if (query.numRowsAffected() != 1)
            throwError(readRawRow(pending.key)
                           ? QStringLiteral("another user changed the row meanwhile")
                           : QStringLiteral("another user deleted the row meanwhile"));
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
        m_position = std::clamp(fallbackIndex, 0, std::max(0, int(m_keys.size()) - 1));
}

void clsDataBase::Update()
{
    requireOpen();
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
    requireOpen();
    if (m_pending && m_pending->isNew) {
        CancelUpdate();
        return;
    }
    m_pending.reset();
    if (m_keys.isEmpty() || m_position < 0 || m_position >= m_keys.size())
        return;
    QSqlQuery query(m_connection->database());
    query.prepare(u"DELETE FROM " + quoteIdentifier(m_table) + u" WHERE rowid = ?");
    query.addBindValue(m_keys[m_position]);
    if (!query.exec())
        throwError(query.lastError().text());
    m_keys.remove(m_position);
    dropCache();
    if (m_position >= m_keys.size())
        m_position = std::max(0, int(m_keys.size()) - 1);
}

int clsDataBase::GetRecordCount()
{
    MoveLast();
    const int count = static_cast<int>(m_keys.size());
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
    if (!m_keys.isEmpty() && m_position >= m_keys.size())
        m_position = static_cast<int>(m_keys.size()) - 1;
}

void clsDataBase::MoveFirst()
{
    requireOpen();
    flushPending();
    if (!m_keys.isEmpty())
        m_position = 0;
}

void clsDataBase::MoveLast()
{
    requireOpen();
    flushPending();
    if (!m_keys.isEmpty())
        m_position = static_cast<int>(m_keys.size()) - 1;
}

void clsDataBase::MoveNext()
{
    requireOpen();
    flushPending();
    if (!IsEOF())
        ++m_position;
    if (!m_keys.isEmpty() && m_position >= m_keys.size())
        m_position = static_cast<int>(m_keys.size()) - 1;
}

void clsDataBase::MovePrevious()
{
    requireOpen();
    flushPending();
    if (!IsBOF())
        --m_position;
    if (!m_keys.isEmpty() && m_position < 0)
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
    requireOpen();
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
    return DataError(m_lastError);
}

bool clsDataBase::IsEOF() const
{
    if (!m_opened)
        return false;
    if (m_pending && m_pending->isNew)
        return false;
    return m_keys.isEmpty() || m_position >= m_keys.size();
}

bool clsDataBase::IsBOF() const
{
    if (!m_opened)
        return false;
    if (m_pending && m_pending->isNew)
        return false;
    return m_keys.isEmpty() || m_position < 0;
}

int clsDataBase::AbsolutePosition() const
{
    if (!m_opened || (m_pending && m_pending->isNew))
        return 0;
    return m_position >= 0 && m_position < m_keys.size() ? m_position + 1 : 0;
}

clsDataBase::EditMode clsDataBase::CurrentEditMode() const
{
    if (!m_pending)
        return EditNone;
    return m_pending->isNew ? EditAdd : EditInProgress;
}

qint64 clsDataBase::KeyAt(int position) const
{
    return position >= 1 && position <= m_keys.size() ? m_keys[position - 1] : -1;
}

int clsDataBase::PositionOfKey(qint64 key) const
{
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
    const criteria::CompileResult compiled = criteria::compile(*parsed.root, m_columns);
    if (!compiled.condition) {
        fail(compiled.error);
        return false;
    }
    try {
        flushPending();
        applyFilter(*compiled.condition, criteria::toText(*parsed.root));
    } catch (const DataError &) {
        return false;
    }
    return true;
}

void clsDataBase::FilterString(const QString &criteria)
{
    requireOpen();
    if (criteria.trimmed().isEmpty()) {
        CancelFilter();
        return;
    }
    const criteria::ParseResult parsed = criteria::parse(criteria);
    if (!parsed.ok())
        throwError(QStringLiteral("%1 (at character %2 of the criteria)")
                       .arg(parsed.error)
                       .arg(parsed.errorOffset + 1));
    const criteria::CompileResult compiled = criteria::compile(*parsed.root, m_columns);
    if (!compiled.condition)
        throwError(compiled.error);
    flushPending();
    applyFilter(*compiled.condition, criteria::toText(*parsed.root));
}

void clsDataBase::CancelFilter()
{
    requireOpen();
    flushPending();
    requery(std::nullopt);
    m_filterText.clear();
}

} // namespace kestrova
