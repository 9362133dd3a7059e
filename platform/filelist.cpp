#include "filelist.h"

#include <QDir>

namespace platform {

FileList::FileList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this] { Q_EMIT clicked(); });
}

void FileList::setPath(const QString &path)
{
    m_path = path;
    refresh();
}

void FileList::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    refresh();
}

QString FileList::fileName() const
{
    const QListWidgetItem *item = currentItem();
    return item ? item->text() : QString();
}

void FileList::refresh()
{
    clear();
    if (m_path.isEmpty())
        return;
    QDir dir(m_path);
    // Name filters of QDir ignore letter case unless told otherwise.
    addItems(dir.entryList({m_pattern}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase));
}

} // namespace platform
