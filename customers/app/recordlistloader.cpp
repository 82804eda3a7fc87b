#include "recordlistloader.h"

#include "customers/shared/recordlistmodel.h"

#include "customers/data/clsdatabase.h"

#include <QElapsedTimer>

namespace kestrova {

RecordListLoader::RecordListLoader(clsDataBase *database, RecordListModel *model, QObject *parent)
    : QObject(parent)
    , m_database(database)
    , m_model(model)
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &RecordListLoader::readSlice);
}

void RecordListLoader::start()
{
    cancel();
    m_model->clear();
    m_total = 0;
    m_done = 0;
    if (!m_database->IsOpened()) {
        finish();
        return;
    }
    try {
        m_total = m_database->GetRecordCount();
    } catch (const DataError &) {
        finish();
        return;
    }
    m_columnMap.clear();
    for (const QString &header : m_model->headers()) {
        const int column = m_database->ColumnIndex(header);
        if (column < 0 && m_total > 0)
            m_database->GetRecord(header); // reports the damaged table and ends the program
        m_columnMap.append(column);
    }
    m_loading = true;
    // The first slice is one block, so the window shows its first rows at once.
    const int cap = m_maxSliceRows;
    m_maxSliceRows = cap > 0 ? std::min(cap, kBlockRows) : kBlockRows;
    readSlice();
    m_maxSliceRows = cap;
    if (m_loading)
        m_timer.start();
}

void RecordListLoader::cancel()
{
    m_timer.stop();
    m_loading = false;
}

void RecordListLoader::readSlice()
{
    if (!m_loading)
        return;
    QElapsedTimer slice;
    slice.start();
    const int sliceEnd = m_maxSliceRows > 0 ? m_done + m_maxSliceRows : m_total;
    try {
        while (m_done < m_total) {
            const int count = std::min(kBlockRows, std::max(1, sliceEnd - m_done));
            const QList<QStringList> rows = m_database->ReadRows(m_done + 1, count);
            if (rows.isEmpty()) {
                m_total = m_done;
                break;
            }
            QList<QStringList> listRows;
            listRows.reserve(rows.size());
            for (const QStringList &row : rows) {
                QStringList texts;
                texts.reserve(m_columnMap.size());
                for (const int column : std::as_const(m_columnMap))
                    texts.append(column >= 0 && column < row.size() ? row[column] : QString());
                listRows.append(std::move(texts));
            }
            m_model->appendRows(listRows);
            m_done += static_cast<int>(rows.size());
            if (slice.elapsed() >= kSliceMilliseconds || m_done >= sliceEnd)
                break;
        }
    } catch (const DataError &error) {
        // Read the failing row the ordinary way, which reports the damage and ends the program
        // or, when the server went away, tells the user so; the rows read so far stay.
        if (error.kind() != DataError::ConnectionLost)
            m_database->Move(m_done + 1);
        m_database->GetRecordAt(0);
        m_total = m_done;
    }
    emit progress(m_done, m_total);
    if (m_done >= m_total)
        finish();
}

void RecordListLoader::finish()
{
    m_timer.stop();
    m_loading = false;
    emit finished();
}

} // namespace kestrova
