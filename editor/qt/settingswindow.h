#pragma once

#include <QDialog>
#include <QString>

#include <optional>
#include <string>

class QLineEdit;

namespace platform {
class Dialogs;
class DirectoryPicker;
} // namespace platform

// The settings window: the game directory, picked with the drive and
// directory lists and remembered in vesk.cfg. "OK" hands the choice to the
// editor; every way of closing the window destroys it.
class SettingsWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsWindow)

public:
    // `gameDirectory` is the editor's choice in force, shown in pathBox; "OK"
    // remembers the choice in `settingsFile`.
    SettingsWindow(const QString &settingsFile, const std::optional<std::string> &gameDirectory,
                   platform::Dialogs &dialogs, QWidget *owner);

    QLineEdit *pathBox = nullptr;

    // What "OK" stored, as bytes; set once gameDirectoryChosen was emitted.
    const std::string &chosenDirectory() const { return m_chosen; }

Q_SIGNALS:
    void gameDirectoryChosen();

private:
    void showDirectoryInForce();
    void onOk();     // OK
    void onCancel(); // Cancel
    std::string typedDirectory() const;

    const QString m_settingsFile;
    const std::optional<std::string> m_current;
    platform::Dialogs &m_dialogs;
    platform::DirectoryPicker *m_picker = nullptr;
    std::string m_chosen;
};
