#pragma once

#include "layout.h"

#include <QObject>
#include <QString>

#include <string>

class QLineEdit;
class QPushButton;
class QWidget;

namespace platform {

class Dialogs;
class DirList;
class DriveList;

using PickerControls = vesk::PickerControls;

// Choosing a directory the way every window of both programs does: a drive
// list that steers a directory list, a path box that follows the open
// directory, and "Make Directory", which creates the name typed in the name
// box inside the path shown. The controls are built by the window's own
// table; the picker wires them.
class DirectoryPicker final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DirectoryPicker)

public:
    DirectoryPicker(QWidget *window, const PickerControls &names, Dialogs &dialogs);

    // Opens `directory`; one that cannot be opened gives way to the working
    // directory, or to the root of the drive shown. The path box shows what
    // was opened.
    void open(const QString &directory);
    void openLocal(const std::string &directory);

    // The text of the path box: the open directory, or what was typed.
    QString path() const;
    // The same as bytes: the open directory's own bytes while the box shows
    // it, so that a name that is no text of the code page stays whole.
    std::string localPath() const;

    DriveList *driveList() const { return m_drive; }
    DirList *dirList() const { return m_dir; }
    QLineEdit *pathBox() const { return m_path; }
    QLineEdit *nameBox() const { return m_name; }
    QPushButton *makeDirectoryButton() const { return m_make; }

private:
    void onDriveChanged();
    void onDirectoryChanged();
    void onDirectoryClicked();
    void onMakeDirectory();

    QWidget *m_window;
    Dialogs &m_dialogs;
    DriveList *m_drive;
    DirList *m_dir;
    QLineEdit *m_path;
    QLineEdit *m_name;
    QPushButton *m_make;
};

} // namespace platform
