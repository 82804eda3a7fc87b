#include "recordlistmodel.h"

namespace kestrova {

// A packed row starts with two characters per column holding the 32-bit end offset of that
// column's text in the body, followed by the body: all texts one after the other.

RecordListModel::RecordListModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

RecordListModel::RecordListModel(const QStringList &headers, QObject *parent)
    : QAbstractTableModel(parent)
    , m_headers(headers)
{}

int RecordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int RecordListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_headers.size())
        return {};
    // Rows carry texts only, no pictures.
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    return field(m_rows[index.row()], index.column()).toString();
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_headers.size())
        return m_headers[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RecordListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void RecordListModel::setHeaders(const QStringList &headers)
{
    beginResetModel();
    m_headers = headers;
    m_rows.clear();
    endResetModel();
}

QString RecordListModel::text(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_headers.size())
        return {};
    return field(m_rows[row], column).toString();
}

QStringList RecordListModel::rowTexts(int row) const
{
    QStringList texts;
    if (row < 0 || row >= m_rows.size())
        return texts;
    texts.reserve(m_headers.size());
    for (int c = 0; c < m_headers.size(); ++c)
        texts.append(field(m_rows[row], c).toString());
    return texts;
}

void RecordListModel::clear()
{
    if (m_rows.isEmpty())
        return;
    beginResetModel();
    m_rows.clear();
    m_rows.squeeze();
    endResetModel();
}

void RecordListModel::appendRows(const QList<QStringList> &rows)
{
    if (rows.isEmpty())
        return;
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    for (const QStringList &row : rows)
        m_rows.append(packRow(row));
    endInsertRows();
}

void RecordListModel::removeListRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows({}, row, row);
    m_rows.remove(row);
    endRemoveRows();
}

QString RecordListModel::packRow(const QStringList &texts) const
{
    const qsizetype columns = m_headers.size();
    qsizetype length = 2 * columns;
    for (qsizetype c = 0; c < columns && c < texts.size(); ++c)
        length += texts[c].size();
    QString packed(length, Qt::Uninitialized);
    QChar *offsets = packed.data();
    QChar *body = offsets + 2 * columns;
    quint32 end = 0;
    for (qsizetype c = 0; c < columns; ++c) {
        if (c < texts.size()) {
            const QString &t = texts[c];
            std::copy(t.cbegin(), t.cend(), body + end);
            end += static_cast<quint32>(t.size());
        }
        offsets[2 * c] = QChar(static_cast<char16_t>(end & 0xFFFF));
        offsets[2 * c + 1] = QChar(static_cast<char16_t>(end >> 16));
    }
    return packed;
}

QStringView RecordListModel::field(const QString &packed, int column) const
{
    const auto endOf = [&packed](int c) {
        return quint32(packed[2 * c].unicode()) | (quint32(packed[2 * c + 1].unicode()) << 16);
    };
    const quint32 start = column == 0 ? 0 : endOf(column - 1);
    const quint32 end = endOf(column);
    return QStringView(packed).mid(2 * m_headers.size() + start, end - start);
}

} // namespace kestrova
