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

void LinkListModel::aboutToChange(const vesk::EditorUi::LinkChange &change)
{
    using Kind = vesk::EditorUi::LinkChange::Kind;
    const int row = static_cast<int>(change.row);
    switch (change.kind) {
    case Kind::All:
        beginResetModel();
        break;
    case Kind::Appended:
        beginInsertRows(QModelIndex(), row, row);
        break;
    case Kind::Erased:
        beginRemoveRows(QModelIndex(), row, row);
        break;
    }
}

void LinkListModel::changed(const vesk::EditorUi::LinkChange &change)
{
    using Kind = vesk::EditorUi::LinkChange::Kind;
    switch (change.kind) {
    case Kind::All:
        endResetModel();
        break;
    case Kind::Appended:
        endInsertRows();
        break;
    case Kind::Erased:
        endRemoveRows();
        break;
    }
}
