#include "directorypicker.h"

#include "controls.h"
#include "dialogs.h"
#include "dirlist.h"
#include "drivelist.h"
#include "localtext.h"

#include <QLineEdit>
#include <QPushButton>

namespace platform {

DirectoryPicker::DirectoryPicker(QWidget *window, const PickerControls &names, Dialogs &dialogs)
    : QObject(window), m_window(window), m_dialogs(dialogs),
      m_drive(control<DriveList>(window, QString::fromLatin1(names.driveList))),
      m_dir(control<DirList>(window, QString::fromLatin1(names.dirList))),
      m_path(control<QLineEdit>(window, QString::fromLatin1(names.pathBox))),
      m_name(control<QLineEdit>(window, QString::fromLatin1(names.nameBox))),
      m_make(control<QPushButton>(window, QString::fromLatin1(names.makeDirectory)))
{
    connect(m_drive, &DriveList::changed, this, &DirectoryPicker::onDriveChanged);
    connect(m_dir, &DirList::changed, this, &DirectoryPicker::onDirectoryChanged);
    connect(m_dir, &DirList::clicked, this, &DirectoryPicker::onDirectoryClicked);
    connect(m_make, &QPushButton::clicked, this, &DirectoryPicker::onMakeDirectory);
}

void DirectoryPicker::open(const QString &directory)
{
    if (!m_dir->setPath(directory))
        m_dir->setPath(m_drive->currentDirectory());
    m_path->setText(m_dir->path());
}

void DirectoryPicker::openLocal(const std::string &directory)
{
    if (!m_dir->setLocalPath(directory))
        m_dir->setPath(m_drive->currentDirectory());
    m_path->setText(m_dir->path());
}

QString DirectoryPicker::path() const
{
    return m_path->text();
}

std::string DirectoryPicker::localPath() const
{
    return m_path->text() == m_dir->path() ? m_dir->localPath() : toLocal(m_path->text());
}

void DirectoryPicker::onDriveChanged()
{
    m_drive->steer(m_dir, m_dialogs);
}

void DirectoryPicker::onDirectoryChanged()
{
    m_path->setText(m_dir->path());
}

void DirectoryPicker::onDirectoryClicked()
{
    // The open directory, not the entry under the click: a single click only
    // resets what was typed.
    m_path->setText(m_dir->path());
}

void DirectoryPicker::onMakeDirectory()
{
    const vesk::Status made = m_dir->makeDirectory(localPath(), toLocal(m_name->text()));
    if (!made.ok())
        m_dialogs.message(m_window, fromLocal(vesk::sentence(made.error())), QString());
}

} // namespace platform
