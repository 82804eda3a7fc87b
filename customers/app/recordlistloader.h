#pragma once

#include <QObject>
#include <QTimer>
#include <QVector>

namespace kestrova {

class clsDataBase;
class RecordListModel;

// Fills a list model from its window's cursor in slices. The first slice is read at once, so the
// first rows show as soon as the window does; the rest follow slice by slice from the event
// loop, so the window stays responsive, repaints and shows progress while a long table loads.
// The window refuses its commands while isLoading() is true, so none acts on a half-loaded list.
class RecordListLoader : public QObject
{
    Q_OBJECT

public:
    RecordListLoader(clsDataBase *database, RecordListModel *model, QObject *parent = nullptr);

    // Empties the list, counts the rows (which puts the cursor on the first row) and starts
    // reading them; a load in progress is abandoned. Columns are read by the list's header
    // texts, which must be column names of the table.
    void start();
    // Stops a load; the rows read so far stay.
    void cancel();

    bool isLoading() const { return m_loading; }
    // Caps the rows one slice reads (0, the default, means only the time limit applies); a
    // lower cap makes the window hand control back more often.
    void setMaxSliceRows(int rows) { m_maxSliceRows = rows; }
    int total() const { return m_total; }
    // Why the last load stopped early (the server was lost); empty when it read every row.
    QString failure() const { return m_failure; }
    int loaded() const { return m_done; }

    // Rows read per query; several blocks make one slice.
    static constexpr int kBlockRows = 256;
    // How long one slice may keep the event loop waiting.
    static constexpr int kSliceMilliseconds = 30;

signals:
    void progress(int done, int total);
    // The whole list is there (also after an empty or a failed load).
    void finished();

private:
    void readSlice();
    void finish();

    clsDataBase *m_database = nullptr;
    RecordListModel *m_model = nullptr;
    QTimer m_timer;
    QVector<int> m_columnMap; // table column of each list column
    QString m_failure;
    int m_total = 0;
    int m_done = 0;
    int m_maxSliceRows = 0;
    bool m_loading = false;
};

} // namespace kestrova
