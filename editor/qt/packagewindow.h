#pragma once

#include "packagebuild.h"
#include "projectfile.h"
#include "slotcatalogue.h"
#include "slotmeasurements.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <string>

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
// background picture and the directory to build the package in. It opens
// with the project's description; "OK" keeps what it holds in the project
// and builds the package from these and the main window's slots.
class PackageWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PackageWindow)

public:
    PackageWindow(QWidget *owner, const QString &editorDirectory, platform::Dialogs &dialogs,
                  std::function<vesk::Project()> project, std::optional<std::string> gameDirectory = std::nullopt,
                  vesk::SlotMeasurements *measurements = nullptr,
                  std::function<void(const vesk::PackageDescription &)> keepDescription = {});

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void openStartDirectories();
    void showDescription(const vesk::PackageDescription &description);
    void showPicture();
    void onPictureDriveChanged();
    void onPictureDirectoryChanged();
    void onPictureChosen();
    void onCancel(); // Cancel
    void onOk();     // OK: build the package

    const QString m_editorDirectory;
    platform::Dialogs &m_dialogs;
    const std::function<vesk::Project()> m_project;   // the theme as it is when OK builds it
    const std::optional<std::string> m_gameDirectory; // no package is built there
    vesk::SlotMeasurements *const m_measurements;     // the theme's sounds as measured, when known
    const std::function<void(const vesk::PackageDescription &)> m_keepDescription; // OK's values into the project
    std::string m_picture; // the picture chosen in pictureFileList, as bytes

    platform::DirectoryPicker
        *m_packagePicker; // driveList, directoryList, pathBox, newDirectoryBox, makeDirectoryButton
    platform::DriveList *pictureDriveList;
    platform::DirList *pictureDirectoryList;
    platform::FileList *pictureFileList;
    QLabel *picturePreview;
    QLineEdit *picturePathBox;
};
