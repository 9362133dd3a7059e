#pragma once

#include "listen.h"

#include <QDialog>

#include <vector>

class QListView;

namespace platform {
class Dialogs;
class SoundOutput;
} // namespace platform

// The package's sounds by slot, each with its length, to hear one by one:
// Play (or Return, or a double click) plays the selected one from its start,
// Stop silences it, Escape closes the window, and closing it stops the sound.
class ListenWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListenWindow)

public:
    ListenWindow(QWidget *parent, std::vector<vpak::PackageSound> sounds, platform::SoundOutput &sound,
                 platform::Dialogs &dialogs);
    ~ListenWindow() override;

private:
    void play();

    std::vector<vpak::PackageSound> m_sounds;
    platform::SoundOutput &m_sound;
    platform::Dialogs &m_dialogs; // says why nothing can be played
    QListView *m_list;
};
