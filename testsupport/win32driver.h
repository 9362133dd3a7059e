#pragma once

// Drives a real Win32 program as a player would, but with window messages:
// it is started from a folder, its windows are found by caption or class,
// its controls by their IDs, and its message boxes and file dialogs are read
// and answered. Actions that open a modal window are posted, never sent, so
// that the driver is free to answer it.
#include "paths.h"

#include <windows.h>

#include <cstdlib>

#include <functional>
#include <string>

namespace driver {

inline constexpr int kPolls = 400, kPollMs = 50; // 20 s for anything to appear

inline std::string text(HWND control)
{
    char buffer[4096] = {};
    SendMessageA(control, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

// Row `row` of a list box in another program, in UTF-8 (read wide: the
// narrow call comes back from there as UTF-16).
inline std::string listRow(HWND list, int row)
{
    wchar_t wide[1024] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(wide));
    char narrow[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

inline void setText(HWND control, const std::string &value)
{
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

// A control anywhere below `window` (on a tab page, in a frame), by its ID.
inline HWND descendant(HWND window, int id)
{
    struct Search
    {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto *s = reinterpret_cast<Search *>(data);
            if (GetDlgCtrlID(child) != s->id)
                return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A click that opens nothing modal, handled before this returns.
inline void click(HWND button)
{
    SendMessageA(button, BM_CLICK, 0, 0);
}
// A click that may open a modal window: posted, not waited for.
inline void press(HWND button)
{
    PostMessageA(button, BM_CLICK, 0, 0);
}
// A key pressed and let go over `control`, through the window's own
// message loop (where the dialog keys Tab, Enter and Escape are handled).
inline void pressKey(HWND control, WPARAM key)
{
    PostMessageA(control, WM_KEYDOWN, key, 1);
    PostMessageA(control, WM_KEYUP, key, 0xC0000001);
}
// The left button pressed at (x, y) of `control`, moved to (toX, y) and
// let go there, with `keys` held (MK_SHIFT), all posted.
inline void drag(HWND control, int x, int toX, int y, WPARAM keys = 0)
{
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, y));
    PostMessageA(control, WM_MOUSEMOVE, MK_LBUTTON | keys, MAKELPARAM((x + toX) / 2, y));
    PostMessageA(control, WM_LBUTTONUP, keys, MAKELPARAM(toX, y));
}
// Typed into a box as a player types: a click into it, everything in it
// selected, then the keys, in the order the program will see them.
inline void type(HWND box, const std::string &text)
{
    drag(box, 2, 2, 2);
    PostMessageA(box, EM_SETSEL, 0, -1);
    for (const char c : text)
        PostMessageA(box, WM_CHAR, static_cast<unsigned char>(c), 1);
}
// A menu item by its ID, posted.
inline void choose(HWND window, int item)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(item, 0), 0);
}

// A menu item that opens nothing modal, handled before this returns.
inline void run(HWND window, int item)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_COMMAND, MAKEWPARAM(item, 0), 0, SMTO_NORMAL, kPolls * kPollMs, &result);
}

// True once `done` holds; false when it did not within the wait.
// The DPI a window of the program is shown at, and the one the run asks
// for (VESK_TEST_DPI, the prefix's display; 96 without it).
inline int shownDpi(HWND window)
{
    return static_cast<int>(GetDpiForWindow(window));
}
inline int askedDpi()
{
    const char *asked = std::getenv("VESK_TEST_DPI");
    return asked ? std::atoi(asked) : 96;
}

inline bool waitFor(const std::function<bool()> &done)
{
    for (int poll = 0; poll < kPolls; ++poll) {
        if (done())
            return true;
        Sleep(kPollMs);
    }
    return done();
}

// The visible top-level window of this class and caption (either may be
// null), once it is there; null after the wait.
inline HWND waitForWindow(const char *className, const char *caption)
{
    for (int poll = 0; poll < kPolls; ++poll) {
        HWND window = FindWindowA(className, caption);
        if (window && IsWindowVisible(window))
            return window;
        Sleep(kPollMs);
    }
    return nullptr;
}

inline void waitUntilGone(HWND window)
{
    for (int poll = 0; poll < kPolls && IsWindow(window); ++poll)
        Sleep(kPollMs);
}

// The next message box with this caption: its text, answered with `answer`
// (IDOK, IDYES, IDNO, IDCANCEL); empty when none came.
inline std::string answerBox(const char *caption, int answer = IDOK)
{
    HWND box = waitForWindow("#32770", caption);
    if (!box)
        return {};
    const std::string shown = text(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    waitUntilGone(box);
    return shown;
}

// The open or save dialog now showing: the file name it offers, after
// `path` was typed into its name box and OK pressed (or Cancel, for an
// empty path).
inline std::string answerFileDialog(const char *caption, const std::string &path)
{
    HWND dialog = waitForWindow("#32770", caption);
    if (!dialog)
        return "<no dialog>";
    HWND name = GetDlgItem(dialog, 0x47c); // cmb13, the name box
    if (!name)
        name = GetDlgItem(dialog, 0x480); // edt1, in older templates
    const std::string offered = text(name);
    if (path.empty()) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else {
        setText(name, path);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }
    waitUntilGone(dialog);
    return offered;
}

// A program started as a player starts it, ended when the test ends.
class Program
{
public:
    Program() = default;
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;
    ~Program() { stop(); }

    bool start(const std::string &exe, const std::string &arguments, const std::string &workingDirectory)
    {
        stop();
        // From a folder past 260 characters by its short name, as Explorer
        // starts it.
        const vesk::Result<std::string> program = vesk::shortPath(exe);
        if (!program)
            return false;
        std::string commandLine = "\"" + *program + "\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              workingDirectory.c_str(), &startup, &m_process);
    }
    bool hasEnded(DWORD milliseconds) const
    {
        return m_process.hProcess && WaitForSingleObject(m_process.hProcess, milliseconds) == WAIT_OBJECT_0;
    }
    void stop()
    {
        if (!m_process.hProcess)
            return;
        if (!hasEnded(0)) {
            TerminateProcess(m_process.hProcess, 0);
            WaitForSingleObject(m_process.hProcess, 5000);
        }
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
        m_process = {};
    }

private:
    PROCESS_INFORMATION m_process{};
};

} // namespace driver
