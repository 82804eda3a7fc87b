#include "planlistmodel.h"

namespace kestrova {

PlanListModel::PlanListModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int PlanListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PlanListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant PlanListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return text(index.row(), index.column());
}

QVariant PlanListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_headers.size())
        return {};
    return m_headers[section];
}

Qt::ItemFlags PlanListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

void PlanListModel::setHeaders(const QStringList &headers)
{
    beginResetModel();
    m_headers = headers;
    m_rows.clear();
    endResetModel();
}

QString PlanListModel::text(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0)
        return {};
    const Row &r = m_rows[row];
    if (column >= r.ends.size())
        return {};
    const int begin = column == 0 ? 0 : r.ends[column - 1];
    return r.texts.mid(begin, r.ends[column] - begin);
}

void PlanListModel::clear()
{
    if (m_rows.isEmpty())
        return;
    beginResetModel();
    m_rows.clear();
    m_rows.squeeze();
    endResetModel();
}

void PlanListModel::appendRows(const QList<QStringList> &rows)
{
    if (rows.isEmpty())
        return;
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    m_rows.reserve(first + rows.size());
    for (const QStringList &texts : rows) {
        Row row;
        row.ends.reserve(texts.size());
        for (const QString &text : texts) {
            row.texts += text;
            row.ends.append(static_cast<int>(row.texts.size()));
        }
        row.texts.squeeze();
        m_rows.append(std::move(row));
    }
    endInsertRows();
}

} // namespace kestrova
