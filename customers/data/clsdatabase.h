#pragma once

#include "columns.h"
#include "criteria.h"
#include "databaselocation.h"
#include "dataerror.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

class QSqlQuery;

namespace kestrova {

class Engine;

// The gateway between the customer program and its database: one keyset cursor over one
// table, on the embedded file or on a database server (DatabaseLocation; what differs between
// the two sits behind Engine). The cursor is the ordered list of row keys ("编号", table
// order) that match the filter, taken at OpenDB, at every filter change, at Update and at
// Requery: the rows are counted with one query and their keys read in blocks as positions
// need them, so opening a cursor over a million rows reads no million keys. Rows are read by
// key, in blocks. A new or edited row stays in memory until Update (one statement, so either
// the whole row is written or none of it) or CancelUpdate; moving the cursor or changing the
// filter commits it first, as the original engine's optimistic cursor did. Each instance has
// its own connection; several instances, desks and programs work side by side: an edit of a
// row another one changed meanwhile is refused, a row another one deleted reads as empty.
// A lost server makes the failing command throw DataError (kind ConnectionLost, text starting
// with kServerUnreachable) and leaves nothing half-written; the next command reconnects.
class clsDataBase
{
public:
    // The data file is "khdata.mdb" in the folder of the running program.
    clsDataBase();
    // An explicit location: a file path or a postgresql:// URL (DatabaseLocation::parse).
    explicit clsDataBase(const QString &dataPath);
    explicit clsDataBase(const DatabaseLocation &location);
    ~clsDataBase();
    clsDataBase(const clsDataBase &) = delete;
    clsDataBase &operator=(const clsDataBase &) = delete;

    // Opens the database and a cursor on the table, standing on the first row. False, silently,
    // when the file is missing or no database, the server cannot be reached, the table does
    // not exist, or the database is another program's (Error() says which; nothing is
    // written to a foreign database).
    bool OpenDB(const QString &strDataTable);
    // Closes cursor and connection; a pending row is dropped.
    void CloseDB();

    // The number of rows under the filter; leaves the cursor on the first row. Also drops the
    // row cache, so a reload that starts here shows values other instances committed.
    int GetRecordCount();
    // The column's value in the current row as text: null is empty, a date its short date,
    // a boolean True / False, a number its shortest decimal; leading blanks removed. A failed
    // read (unknown column, no current row, closed cursor, damaged file) shows
    // "数据库已破坏，请修复后使用" and ends the program through the fatal handler. A lost server
    // is no damage: its message (kServerUnreachable ...) shows once per loss and the value
    // reads empty; the next command reconnects.
    QString GetRecord(const QString &strTitle);
    // Assigns the column in the current or pending new row, converted to the column's type.
    // Anything refused (unknown column, an unconvertible value, the engine-assigned key, no
    // current row) is skipped silently; the rest of the row still commits.
    void SetRecord(const QString &strTitle, const QVariant &varData);
    // Commits the pending row, re-takes the keyset and stands on the first row. Throws
    // DataError when the commit fails (the row stays pending) or another instance changed or
    // deleted the edited row meanwhile.
    void Update();
    // Starts a pending new row, which becomes current until Update or CancelUpdate.
    void AddNew();
    // Deletes the current row (a pending new row is dropped instead); nothing on an empty
    // cursor. The cursor then stands on the row that followed, or the last row.
    void Delete();
    // Goes to the 1-based position; nothing for positions below 1, the last row beyond it.
    void Move(int lngPosition);
    void MoveFirst();
    void MoveLast();
    // Never past the last / before the first row while there are rows.
    void MoveNext();
    void MovePrevious();
    // Drops the pending new or edited row; a new row gives the cursor back where it stood.
    void CancelUpdate();
    // The latest failure of this instance, including the silent ones (a refused filter, a
    // failed OpenDB). Throws DataError when there has been none.
    DataError Error() const;
    // Past the last / before the first row; both true on an empty cursor, false when closed.
    bool IsEOF() const;
    bool IsBOF() const;
    // Filters on one column: the criteria strField, blank, strMode, blank, the value in single
    // quotes (apostrophes inside doubled). False, with nothing applied and nothing reported,
    // when the criteria is refused; the previous filter then stays in force.
    bool FilterField(const QString &strField, const QString &strFilter, const QString &strMode);
    // Filters on a full criteria text (an empty text removes the filter). Throws DataError on
    // a malformed or unconvertible criteria; the previous filter then stays in force.
    void FilterString(const QString &criteria);
    // Removes the filter: every row of the table is visible again, cursor on the first row.
    void CancelFilter();
    bool IsOpened() const { return m_opened; }

    // What list models and windows need beyond the record-cursor vocabulary.

    enum EditMode { EditNone, EditInProgress, EditAdd };

    // The path of the file, or the server URL (without a password).
    QString DataPath() const { return m_location.toString(); }
    const DatabaseLocation &Location() const { return m_location; }
    // The kind of the latest failure (ConnectionLost, Authentication, ForeignSchema ...).
    DataError::Kind ErrorKind() const { return m_lastErrorKind; }
    // The file lies on a network share and is opened with a rollback journal instead of WAL;
    // the program tells the user once that a database server is the safe way to share it.
    bool SharedFileWarning() const { return m_sharedFile; }
    QString TableName() const { return m_table; }
    const QList<ColumnInfo> &Columns() const { return m_columns; }
    // Index into Columns() of a column name (ASCII case ignored), or -1.
    int ColumnIndex(const QString &name) const;
    // The criteria in force in its canonical form; empty when there is no filter.
    QString Filter() const { return m_filterText; }
    // Rows under the filter, without moving the cursor.
    int RecordCount() const { return m_count; }
    // 1-based position of the current row; 0 on an empty cursor or a pending new row.
    int AbsolutePosition() const;
    EditMode CurrentEditMode() const;
    // The key ("编号") of the row at a 1-based position, or -1.
    qint64 KeyAt(int position) const;
    // The 1-based position of the row with that key under the filter, or 0.
    int PositionOfKey(qint64 key) const;
    // Moves to the row with that key; false (cursor unchanged) when it is not visible.
    bool MoveToKey(qint64 key);
    // The value of the column at that index in the current row, as GetRecord gives it.
    QString GetRecordAt(int column);
    // The texts of all columns of the row at a 1-based position, without moving the cursor.
    // A row another instance deleted meanwhile reads as empty texts. Throws DataError.
    QStringList RowTexts(int position);
    // Re-takes the keyset under the same filter (rows other instances added or deleted),
    // keeping the current row when it is still there.
    void Requery();

    // Called after every block of rows read; returning false stops the read.
    using Progress = std::function<bool(int done, int total)>;
    // The texts of `count` rows from a 1-based position, in blocks, reporting progress.
    // Stops early (returning fewer rows) when the progress callback asks to.
    QList<QStringList> ReadRows(int first, int count, const Progress &progress = {});

    // Ends the program after a failed read (the message has been shown). The default ends the
    // process at once; tests install one that records the call. Returns the previous handler.
    using FatalHandler = std::function<void(const QString &message)>;
    static FatalHandler setFatalHandler(FatalHandler handler);

    // Whether cursors read SQLite files in bulk through the sqlite3 C API (the default when it
    // was built in) or through Qt SQL alone; tests run both ways.
    static void setNativeReads(bool enabled);

    // Rows read per query when the cursor enters a block.
    static constexpr int kBlockRows = 256;
    // Keys read per query when positions beyond the keys read so far are needed.
    static constexpr int kKeyBlock = 4096;

private:
    struct Pending
    {
        bool isNew = false;
        qint64 key = -1;
        int savedPosition = 0;
        QVector<QVariant> values;   // storage form
        QVector<QVariant> original; // as read when the edit began, for the optimistic check
        QVector<bool> assigned;
    };

    void requireOpen();
    void ensureConnected();
    void fail(const QString &text, DataError::Kind kind = DataError::General) const;
    [[noreturn]] void throwError(const QString &text,
                                 DataError::Kind kind = DataError::General) const;
    [[noreturn]] void throwQueryError(const QSqlQuery &query);
    void exec(QSqlQuery &query);
    void release();
    bool reconnect();
    void requery(const std::optional<criteria::SqlCondition> &filter);
    bool ensureKeys(int index) const;
    bool ensureKeysThrough(qint64 key) const;
    bool loadKeys(int wanted, qint64 upTo) const;
    void applyFilter(const criteria::SqlCondition &condition, const QString &text);
    void dropCache();
    const QString *cachedRow(int index);
    std::optional<QVector<QVariant>> readRawRow(qint64 key);
    void commitPending();
    void flushPending();
    void restorePosition(qint64 key, int fallbackIndex);
    std::optional<QVariant> storageValue(const QVariant &data, ColumnType type) const;
    QString fatalRead();
    QString serverLost();

    DatabaseLocation m_location;
    std::unique_ptr<Engine> m_engine;
    std::unique_ptr<QSqlQuery> m_blockQuery; // prepared per filter; ends before the connection
    QString m_blockSql;                      // the key bounds, then the filter's values
    QVariantList m_blockValues;
    bool m_nativeBlock = false; // the engine has the block query prepared
    bool m_opened = false;
    bool m_lost = false; // the server went away; the next command reconnects
    bool m_lostReported = false;
    bool m_sharedFile = false;
    QString m_table;
    QList<ColumnInfo> m_columns;
    QHash<QString, int> m_columnIndex;
    QString m_key;        // the key expression of the engine
    QString m_selectList; // the key and every column, quoted

    std::optional<criteria::SqlCondition> m_filter;
    QString m_filterText;
    mutable int m_count = 0;         // rows under the filter (less once key reads find fewer)
    qint64 m_maxKey = 0;             // the highest key under the filter when it was counted
    mutable QVector<qint64> m_keys;  // the keys of the first rows, read as far as needed
    mutable bool m_keysDone = false; // every key is read
    int m_position = 0;              // 0-based index of the current row; m_count means past the end

    int m_cacheFirst = -1; // index of the first cached row, -1 when nothing is cached
    int m_cacheRows = 0;
    QVector<QString> m_cacheTexts; // m_cacheRows * column count
    QVector<bool> m_cachePresent;

    std::optional<Pending> m_pending;
    mutable QString m_lastError;
    mutable DataError::Kind m_lastErrorKind = DataError::General;
};

} // namespace kestrova
