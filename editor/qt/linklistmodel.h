#pragma once

#include "theme.h"

#include <QAbstractTableModel>

#include <functional>

// The theme's links as the link list shows them: column 0 the names (linkList),
// column 1 the addresses (the hidden addressList), both views of this one model.
// Every change to the links goes through it, so that the views follow.
class LinkListModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkListModel)

public:
    enum Column {
        Name = 0,
        Address = 1,
    };

    LinkListModel(vesk::Theme &theme, QObject *parent) : QAbstractTableModel(parent), m_theme(theme) {}

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // The text shown; Qt::UserRole on a name holds its address.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void add(const vesk::Link &link);
    void remove(int row);
    // The theme's links changed wholesale (a project was opened).
    void replace(const std::function<void()> &change);

private:
    vesk::Theme &m_theme;
};
