#pragma once

#include "slotcatalogue.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vesk {
struct Project;
}

namespace platform {
class CommonDialog;
class Dialogs;
class SoundOutput;
} // namespace platform

class frmsettings;

// The editor's main window. The 47 slot values are the captions of the
// label array Label1, elements 1 to 47; the selected slot is the text of the
// hidden box id1.
class frmmain : public QMainWindow
{
    Q_OBJECT

public:
    frmmain(const QString &programDirectory, platform::Dialogs &dialogs, platform::SoundOutput &sound,
            QWidget *parent = nullptr);
    ~frmmain() override;

    // Element k of the label array; object names run "Label1(0)" to "Label1(47)".
    static QString slotLabelName(int index);
    QString slotValue(int index) const;
    void setSlotValue(int index, const QString &value);
    vesk::SlotValues slotValues() const; // in the local 8-bit form the files use

    // The settings window, made hidden when it does not exist yet.
    frmsettings *settingsWindow();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildSoundsTab(QWidget *page, QPoint origin);
    void buildLinksTab(QWidget *page, QPoint origin);

    void Form_Load();
    void Form_Unload();
    void slotButton_Click(int index); // Command5_Click ... Command53_Click
    void Command2_Click();            // Add File
    void Command3_Click();            // Remove File
    void Command1_Click();            // Play
    void Command4_Click();            // Stop
    void Command39_Click(); // Add link
    void Command40_Click(); // Remove link
    void List1_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileConvert_Click();
    void mnuFileCreatepackage_Click();
    void mnuFileExit_Click();
    void mnuOptionsSettings_Click();
    void mnuHelpAbout_Click();

    std::optional<int> selectedSlot() const;
    QLabel *slotLabel(int index) const;
    vesk::Project currentProject() const;
    void showProject(const vesk::Project &project);
    void selectLastLink();
    void report(const std::string &failure);

    const QString m_programDirectory;
    platform::Dialogs &m_dialogs;
    platform::SoundOutput &m_sound;
    std::unique_ptr<platform::CommonDialog> CommonDialog1;
    QPointer<frmsettings> m_settings;

    QLineEdit *filename1 = nullptr;
    QLineEdit *id1 = nullptr;
    QLineEdit *none1 = nullptr;
    QListWidget *List1 = nullptr;
    QListWidget *List2 = nullptr;
    QLineEdit *name1 = nullptr;
    QLineEdit *url1 = nullptr;
    QLineEdit *char1 = nullptr;
};
