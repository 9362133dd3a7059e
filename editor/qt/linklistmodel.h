#pragma once

#include "editorprocedures.h"
#include "theme.h"

#include <QAbstractTableModel>

// The theme's links as the link list shows them: column 0 the names (linkList),
// column 1 the addresses (the hidden addressList), both views of this one model.
// The editor's procedures change the links and tell it before and after, so
// that the views follow.
class LinkListModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkListModel)

public:
    enum Column {
        Name = 0,
        Address = 1,
    };

    LinkListModel(const vesk::Theme &theme, QObject *parent) : QAbstractTableModel(parent), m_theme(theme) {}

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // The text shown; Qt::UserRole on a name holds its address.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void aboutToChange(const vesk::EditorUi::LinkChange &change);
    void changed(const vesk::EditorUi::LinkChange &change);

private:
    const vesk::Theme &m_theme;
};
