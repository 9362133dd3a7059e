#pragma once

#include "listen.h"
#include "soundplayer.h"
#include "win32ui.h"

#include <vector>

// The Listen window of vpak.exe: the package's sounds by slot, each with its
// length. Play (or Return, or a double click) plays the selected one from
// its start, Stop silences it, Escape closes the window, and closing it
// stops the sound.
class ListenWindow final : public win32::Window
{
public:
    ListenWindow(HINSTANCE instance, int dpi, std::vector<vpak::PackageSound> sounds);
    ~ListenWindow() override;
    void run(HWND owner);

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void play();

    HINSTANCE m_instance;
    int m_startDpi;
    std::vector<vpak::PackageSound> m_sounds;
    HFONT m_font = nullptr;
    win32::Controls m_controls;
    win32::SoundPlayer m_player;
};
