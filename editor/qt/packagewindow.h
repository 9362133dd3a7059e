#pragma once

#include "packagebuild.h"
#include "projectfile.h"
#include "slotcatalogue.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;

namespace platform {
class Dialogs;
class DirectoryPicker;
class DirList;
class DriveList;
class FileList;
} // namespace platform

// The package window: who made the theme, how the installer shows it, its
// background picture and the directory to build the package in. "OK" builds
// the package from these and the main window's slots.
class PackageWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PackageWindow)

public:
    PackageWindow(QWidget *owner, const QString &editorDirectory, platform::Dialogs &dialogs,
                  std::function<vesk::Project()> project, std::optional<std::string> gameDirectory = std::nullopt);

private:
    void Form_Load();
    void Drive2_Change();
    void Dir2_Change();
    void File1_Click();
    void Command2_Click(); // Cancel
    void Command3_Click(); // OK: build the package

    const QString m_editorDirectory;
    platform::Dialogs &m_dialogs;
    const std::function<vesk::Project()> m_project;   // the theme as it is when OK builds it
    const std::optional<std::string> m_gameDirectory; // no package is built there
    std::string m_picture;                            // the picture chosen in File1, as bytes

    QLineEdit *name1, *email1, *webpage1, *themename1;
    QComboBox *font1, *fontcolor1, *bgcolor1;
    platform::DirectoryPicker *m_packagePicker; // Drive1, Dir1, filepath1, dirname1, Command1
    platform::DriveList *Drive2;
    platform::DirList *Dir2;
    platform::FileList *File1;
    QLabel *Image1;
    QLineEdit *filepath2;
};
