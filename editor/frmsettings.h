#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace platform {
class Dialogs;
class DirList;
class DriveList;
} // namespace platform

// The settings window: the game directory, picked with the drive and
// directory lists and remembered in vesk.cfg. Its path box text1 is the game
// directory in force; every way of closing the window destroys it.
class frmsettings : public QDialog
{
    Q_OBJECT

public:
    frmsettings(const QString &programDirectory, platform::Dialogs &dialogs, QWidget *owner);

    QLineEdit *text1 = nullptr;

private:
    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void Dir1_Click();
    void Command3_Click(); // Make Directory
    void Command1_Click(); // OK
    void Command2_Click(); // Cancel

    const QString m_programDirectory;
    platform::Dialogs &m_dialogs;
    platform::DriveList *Drive1 = nullptr;
    platform::DirList *Dir1 = nullptr;
    QLineEdit *dirname1 = nullptr;
};
