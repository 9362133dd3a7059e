#include "dirlist.h"

#include "localtext.h"
#include "paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace platform {

namespace {
constexpr int kPathRole = Qt::UserRole;
}

QString nativeDirectory(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(path).absolutePath()));
}

DirList::DirList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, &DirList::open);
    connect(this, &QListWidget::itemClicked, this, [this] { Q_EMIT clicked(); });
}

bool DirList::setPath(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.isDir() || !info.isReadable() || !QDir(path).isReadable())
        return false;
    const QString native = nativeDirectory(path);
    const bool moved = native != m_path;
    m_path = native;
    refresh();
    if (moved)
        Q_EMIT changed();
    return true;
}

void DirList::refresh()
{
    clear();
    if (m_path.isEmpty())
        return;

    // The chain from the root down to the open directory.
    QStringList chain;
    for (QDir dir(m_path);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }

    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int depth = 0;
    for (const QString &ancestor : chain) {
        const QString name
            = QDir(ancestor).isRoot() ? QDir::toNativeSeparators(ancestor) : QFileInfo(ancestor).fileName();
        auto *item = new QListWidgetItem(openIcon, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(kPathRole, ancestor);
        ++depth;
    }
    const QStringList children
        = QDir(m_path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &child : children) {
        auto *item = new QListWidgetItem(closedIcon, QString(depth * 2, QLatin1Char(' ')) + child, this);
        item->setData(kPathRole, QDir(m_path).filePath(child));
    }
    setCurrentRow(static_cast<int>(chain.size()) - 1);
}

void DirList::makeDirectory(const QString &parent, const QString &name)
{
    if (name.isEmpty())
        return;
    const QString path = fromLocal(vesk::joinPath(toLocal(parent), toLocal(name)));
    if (QDir().mkdir(path))
        refresh();
}

void DirList::open(QListWidgetItem *item)
{
    if (item)
        setPath(item->data(kPathRole).toString());
}

} // namespace platform
