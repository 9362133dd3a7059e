#include "drivelist.h"

#include "dialogs.h"
#include "dirlist.h"

#include <QDir>
#include <QStorageInfo>

namespace platform {

namespace {

QString volumeOf(const QString &path)
{
    return nativeDirectory(QStorageInfo(path).rootPath());
}

} // namespace

DriveList::DriveList(QWidget *parent) : QComboBox(parent)
{
    fill();
    connect(this, &QComboBox::activated, this, [this] { Q_EMIT changed(); });
}

void DriveList::fill()
{
    QStringList roots;
#ifdef _WIN32
    for (const QFileInfo &drive : QDir::drives())
        roots << nativeDirectory(drive.absolutePath());
#else
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid())
            roots << nativeDirectory(volume.rootPath());
    }
#endif
    const QString current = volumeOf(QDir::currentPath());
    if (!roots.contains(current))
        roots << current;
    roots.removeDuplicates();
    roots.sort(Qt::CaseInsensitive);
    addItems(roots);
    m_previous = findText(current);
    setCurrentIndex(m_previous);
}

QString DriveList::drive() const
{
    return currentText();
}

QString DriveList::currentDirectory() const
{
    const QString cwd = nativeDirectory(QDir::currentPath());
    return volumeOf(cwd) == drive() ? cwd : drive();
}

void DriveList::steer(DirList *dirList, Dialogs &dialogs)
{
    if (dirList->setPath(currentDirectory())) {
        m_previous = currentIndex();
        return;
    }
    const QString unreadable = drive();
    setCurrentIndex(m_previous);
    dialogs.message(window(), QStringLiteral("The drive %1 cannot be read.").arg(unreadable), QString());
}

} // namespace platform
