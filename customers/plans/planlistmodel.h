#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

namespace kestrova {

// The plan list's rows as they were loaded: list row r (1-based) is cursor row r under the
// filter in force when the list was loaded; column 0 is the item text ("编号"), the others the
// sub-items. Each row keeps its texts in one string with the field offsets beside it, so a full
// table of 32 767 plans stays small.
class PlanListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit PlanListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The list's columns; the texts are the column names the rows are read by.
    void setHeaders(const QStringList &headers);
    const QStringList &headers() const { return m_headers; }

    // A cell's text, rows and columns from 0; empty outside the list.
    QString text(int row, int column) const;

    void clear();
    // Appends rows whose texts are in header order.
    void appendRows(const QList<QStringList> &rows);

private:
    struct Row
    {
        QString texts;
        QVector<int> ends; // end offset of each field in `texts`
    };

    QStringList m_headers;
    QVector<Row> m_rows;
};

} // namespace kestrova
