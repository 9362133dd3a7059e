#pragma once

// The base of the editor's dialogs in plain Win32.
#include "dialogs.h"
#include "editorlayout.h"

#include <functional>
#include <string>

namespace win32dialog {

inline std::function<int(const char *)> idsOf(vesk::EditorWindow window)
{
    return [window](const char *name) { return vesk::controlId(window, name); };
}

inline constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
inline constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// What every dialog of the editor has: its controls by name and its font.
class Dialog : public win32::Window
{
protected:
    Dialog(HINSTANCE instance, int dpi, vesk::EditorWindow kind)
        : m_instance(instance), m_dpi(dpi), m_kind(kind), m_font(editorFont(dpi))
    {}
    ~Dialog() override { DeleteObject(m_font); }

    HWND control(const char *name) const { return m_controls.at(name); }
    std::string text(const char *name) const { return win32::textOf(control(name)); }

    void show(const char *caption, int width, int height, HWND owner)
    {
        if (create(m_instance, className(), caption, kDialogStyle, kDialogExStyle, width, height, m_dpi, owner))
            win32::runModal(hwnd(), owner);
    }
    virtual const char *className() const = 0;

    HINSTANCE m_instance;
    int m_dpi;
    vesk::EditorWindow m_kind;
    HFONT m_font;
    win32::Controls m_controls;
};

// How long a sound a window started plays, as far as Escape knows: a timer
// of the window's that runs as long as the sound lasts.
class PlayingTimer
{
public:
    void start(HWND window, int milliseconds)
    {
        m_playing = true;
        SetTimer(window, kTimer, static_cast<UINT>(milliseconds), nullptr);
    }
    // Ends it; false when nothing played.
    bool stop(HWND window)
    {
        if (!m_playing)
            return false;
        m_playing = false;
        KillTimer(window, kTimer);
        return true;
    }
    // WM_TIMER for `id`: the sound has ended.
    void elapsed(HWND window, WPARAM id)
    {
        if (id == kTimer)
            stop(window);
    }
    bool playing() const { return m_playing; }

private:
    static constexpr UINT_PTR kTimer = 1;
    bool m_playing = false;
};

} // namespace win32dialog
