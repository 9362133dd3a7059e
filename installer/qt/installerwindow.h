#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class CommandInterpreter;
class Dialogs;
class DirectoryPicker;
class SoundOutput;
} // namespace platform

// The installer's only window: the theme's description over its background
// picture, a picker for the game directory, and the install itself.
class InstallerWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InstallerWindow)

public:
    // Listen plays through `sound`, or the system's sound service when none is given.
    InstallerWindow(const QString &programDirectory, platform::Dialogs &dialogs,
                    platform::CommandInterpreter &interpreter, QWidget *parent = nullptr,
                    platform::SoundOutput *sound = nullptr);
    ~InstallerWindow() override;

    // The picture drawn under the controls; null when there is none.
    const QImage &backgroundPicture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void showPackage();
    void readDescription();
    void onInstall(); // Install Theme
    void onCancel();  // Cancel
    void onRestore(); // Restore Original Sounds
    void listen();
    void showRestoreState();

    const QString m_programDirectory;
    platform::Dialogs &m_dialogs;
    platform::CommandInterpreter &m_interpreter;
    QImage m_picture;

    platform::DirectoryPicker *m_picker; // driveList, directoryList, pathBox, newDirectoryBox, makeDirectoryButton
    QPushButton *restoreButton;
    QPushButton *m_listen;
    std::unique_ptr<platform::SoundOutput> m_ownSound;
    platform::SoundOutput *m_sound;
};
