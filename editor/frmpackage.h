#pragma once

#include "slotcatalogue.h"

#include <QDialog>
#include <QString>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace platform {
class Dialogs;
class DirList;
class DriveList;
class FileList;
} // namespace platform

// The package window: who made the theme, how the installer shows it, its
// background picture and the directory to build the package in. "OK" builds
// the package from these and the main window's slots.
class frmpackage : public QDialog
{
    Q_OBJECT

public:
    frmpackage(QWidget *owner, const QString &editorDirectory, platform::Dialogs &dialogs,
               std::function<vesk::SlotValues()> slotValues);

private:
    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void Dir1_Click();
    void Command1_Click(); // Make Directory
    void Drive2_Change();
    void Dir2_Change();
    void File1_Click();
    void Command2_Click(); // Cancel
    void Command3_Click(); // OK: build the package

    const QString m_editorDirectory;
    platform::Dialogs &m_dialogs;
    const std::function<vesk::SlotValues()> m_slotValues;

    QLineEdit *name1, *email1, *webpage1, *themename1;
    QComboBox *font1, *fontcolor1, *bgcolor1;
    platform::DriveList *Drive1, *Drive2;
    platform::DirList *Dir1, *Dir2;
    platform::FileList *File1;
    QLabel *Image1;
    QLineEdit *filepath1, *filepath2, *dirname1;
};
