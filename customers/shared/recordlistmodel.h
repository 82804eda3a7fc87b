#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

namespace kestrova {

// The rows of a list window as they were loaded from its cursor: list row r (1-based) is cursor
// row r under the filter in force when the list was loaded. One column per header; column 0 is
// the item text, the others the sub-items. Each row's texts are packed into one string, so a
// table of 100 000 clients stays a few tens of megabytes.
class RecordListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit RecordListModel(QObject *parent = nullptr);
    explicit RecordListModel(const QStringList &headers, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The list's columns; setting them empties the list.
    void setHeaders(const QStringList &headers);
    const QStringList &headers() const { return m_headers; }
    // The text of a cell, rows and columns from 0; empty outside the list.
    QString text(int row, int column) const;
    // All texts of a row in header order.
    QStringList rowTexts(int row) const;

    void clear();
    // Appends rows whose texts are in header order.
    void appendRows(const QList<QStringList> &rows);
    void removeListRow(int row);

private:
    QString packRow(const QStringList &texts) const;
    QStringView field(const QString &packed, int column) const;

    QStringList m_headers;
    QVector<QString> m_rows;
};

} // namespace kestrova
