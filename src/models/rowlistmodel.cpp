#include "rowlistmodel.h"

using namespace Qt::StringLiterals;

RowListModel::RowListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

int RowListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant RowListModel::data(const QModelIndex &index, int role) const
{
    if (role != RowRole || !index.isValid() || index.row() >= m_rows.size())
        return {};
    return m_rows.at(index.row());
}

QHash<int, QByteArray> RowListModel::roleNames() const { return { { RowRole, "row" } }; }

void RowListModel::setRows(const QVariant &rows)
{
    const int before = count();
    beginResetModel();
    m_rows = rows.typeId() == QMetaType::QVariantList ? rows.toList() : QVariantList();
    endResetModel();
    if (count() != before)
        emit countChanged();
}

QVariantMap RowListModel::get(int index) const
{
    return index >= 0 && index < m_rows.size() ? m_rows.at(index).toMap() : QVariantMap();
}
