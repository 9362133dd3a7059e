#include "linklistmodel.h"

#include "localtext.h"

int LinkListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_theme.links().size());
}

int LinkListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant LinkListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const vesk::Link &link = m_theme.links()[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return platform::fromText(index.column() == Name ? link.name : link.address);
    if (role == Qt::UserRole && index.column() == Name)
        return platform::fromText(link.address);
    return {};
}

void LinkListModel::add(const vesk::Link &link)
{
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_theme.addLink(link);
    endInsertRows();
}

void LinkListModel::remove(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    m_theme.removeLink(static_cast<size_t>(row));
    endRemoveRows();
}

void LinkListModel::replace(const std::function<void()> &change)
{
    beginResetModel();
    change();
    endResetModel();
}
