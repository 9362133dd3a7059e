#include "progresswindow.h"

#include "win32ui.h"

#include <commctrl.h>

namespace win32 {

namespace {
constexpr const char *kClassName = "VeskProgress";
constexpr int kSteps = 1000;
constexpr DWORD kShowAfter = 500; // milliseconds
} // namespace

ProgressWindow::ProgressWindow(HINSTANCE instance, HWND owner, std::string title, int dpi, std::string label)
    : m_instance(instance), m_owner(owner), m_title(std::move(title)), m_dpi(dpi), m_started(GetTickCount()),
      m_label(std::move(label))
{
    // The command that started the work cannot start it again meanwhile.
    if (m_owner)
        m_ownerWasEnabled = !EnableWindow(m_owner, FALSE);
}

ProgressWindow::~ProgressWindow()
{
    if (m_owner && m_ownerWasEnabled)
        EnableWindow(m_owner, TRUE);
    if (m_window)
        DestroyWindow(m_window);
    if (m_font)
        DeleteObject(m_font);
    if (m_owner)
        SetActiveWindow(m_owner);
}

void ProgressWindow::show()
{
    WNDCLASSA type{};
    type.lpfnWndProc = windowProc;
    type.hInstance = m_instance;
    type.hCursor = LoadCursor(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = kClassName;
    RegisterClassA(&type); // fails harmlessly once it is registered
    const int width = MulDiv(360, m_dpi, 96), height = MulDiv(110, m_dpi, 96);
    RECT frame{0, 0, width, height};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    RECT owner{};
    if (!m_owner || !GetWindowRect(m_owner, &owner))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &owner, 0);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    m_window = CreateWindowExA(
        WS_EX_DLGMODALFRAME, kClassName, m_title.c_str(), style, owner.left + (owner.right - owner.left - w) / 2,
        owner.top + (owner.bottom - owner.top - h) / 2, w, h, m_owner, nullptr, m_instance, this);
    if (!m_window)
        return;
    m_font = makeFont("MS Sans Serif", 8, m_dpi);
    const auto px = [this](int value) { return MulDiv(value, m_dpi, 96); };
    const std::string shown = m_file.empty() ? m_label : "Working on " + m_file;
    const HWND label = CreateWindowExA(
        0, "STATIC", shown.c_str(), WS_CHILD | WS_VISIBLE | SS_PATHELLIPSIS | SS_NOPREFIX, px(12), px(12),
        width - px(24), px(18), m_window, reinterpret_cast<HMENU>(kLabelId), m_instance, nullptr);
    const HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, px(12), px(36), width - px(24),
                                     px(18), m_window, reinterpret_cast<HMENU>(kBarId), m_instance, nullptr);
    const HWND cancel
        = CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, width - px(87),
                          px(70), px(75), px(26), m_window, reinterpret_cast<HMENU>(kCancelId), m_instance, nullptr);
    for (HWND control : {label, cancel})
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
    SendMessageA(bar, PBM_SETRANGE32, 0, kSteps);
    ShowWindow(m_window, SW_SHOW);
    SetFocus(cancel);
}

bool ProgressWindow::advance(const std::string &file, double done)
{
    if (!m_window && GetTickCount() - m_started >= kShowAfter)
        show();
    if (m_window) {
        if (!file.empty() && file != m_file) {
            m_file = file;
            SetDlgItemTextA(m_window, kLabelId, ("Working on " + file).c_str());
        }
        SendDlgItemMessageA(m_window, kBarId, PBM_SETPOS, static_cast<WPARAM>(done * kSteps), 0);
    } else {
        m_file = file;
    }
    // Input goes to the progress window alone once it shows; before, the
    // windows only paint.
    MSG message;
    const UINT only = m_window ? PM_REMOVE : PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE;
    while (PeekMessageA(&message, nullptr, 0, 0, only)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            m_cancelled = true;
            break;
        }
        if (m_window && IsDialogMessageA(m_window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return !m_cancelled;
}

LRESULT CALLBACK ProgressWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA *>(lParam)->lpCreateParams));
    auto *self = reinterpret_cast<ProgressWindow *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && ((message == WM_COMMAND && LOWORD(wParam) == kCancelId) || message == WM_CLOSE)) {
        self->m_cancelled = true;
        EnableWindow(GetDlgItem(hwnd, kCancelId), FALSE);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace win32
