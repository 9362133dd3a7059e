#include "listenwindow.h"

ListenWindow::ListenWindow(HINSTANCE instance, int dpi, std::vector<vpak::PackageSound> sounds)
    : m_instance(instance), m_startDpi(dpi), m_sounds(std::move(sounds))
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    m_font = CreateFontIndirectA(&metrics.lfMessageFont);
}

ListenWindow::~ListenWindow()
{
    DeleteObject(m_font);
}

void ListenWindow::run(HWND owner)
{
    if (create(m_instance, "VpakListen", vpak::kListenCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU,
               WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, vpak::kListenClientWidth, vpak::kListenClientHeight,
               m_startDpi, owner))
        win32::runModal(hwnd(), owner);
}

LRESULT ListenWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        m_controls = win32::buildControls(hwnd(), m_instance, vpak::listenControls(), vpak::listenControlId, m_startDpi,
                                          m_font);
        HWND list = m_controls.at("soundList");
        for (const vpak::PackageSound &sound : m_sounds)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(vpak::listenRow(sound).c_str()));
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        SetFocus(list);
        return 0;
    }
    case DM_GETDEFID:
        // Return plays, wherever the focus is.
        return MAKELRESULT(vpak::kPlayButtonId, DC_HASDEFID);
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == vpak::kPlayButtonId || (id == vpak::kSoundListId && HIWORD(wParam) == LBN_DBLCLK))
            play();
        else if (id == vpak::kStopButtonId)
            m_player.play(std::string());
        else if (id == IDCANCEL) // Escape
            DestroyWindow(hwnd());
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(hwnd());
        return 0;
    case WM_DESTROY:
        m_player.play(std::string());
        return 0;
    default:
        return win32::Window::handle(message, wParam, lParam);
    }
}

void ListenWindow::play()
{
    const LRESULT row = SendMessageA(m_controls.at("soundList"), LB_GETCURSEL, 0, 0);
    if (row >= 0 && static_cast<size_t>(row) < m_sounds.size())
        m_player.play(m_sounds[static_cast<size_t>(row)].file);
}
