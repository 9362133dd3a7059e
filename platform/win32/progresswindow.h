#pragma once

#include "progress.h"

#include <windows.h>

#include <string>

namespace win32 {

// The progress of long work over `owner`: a window with the file at hand, a
// progress bar and Cancel, shown once the work has run half a second. The
// owner takes no input while the work runs; until the window shows, only
// painting and the system's own messages are handled.
class ProgressWindow final : public vesk::Progress
{
public:
    // `label` says what the work is until it names a file.
    ProgressWindow(HINSTANCE instance, HWND owner, std::string title, int dpi, std::string label = {});
    ~ProgressWindow() override;
    ProgressWindow(const ProgressWindow &) = delete;
    ProgressWindow &operator=(const ProgressWindow &) = delete;

    bool advance(const std::string &file, double done) override;

    // The window's controls, for the tests' driver.
    static constexpr int kLabelId = 100, kBarId = 101, kCancelId = IDCANCEL;

private:
    void show();
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE m_instance;
    HWND m_owner;
    std::string m_title;
    int m_dpi;
    bool m_ownerWasEnabled = false;
    DWORD m_started;
    HWND m_window = nullptr;
    HFONT m_font = nullptr;
    std::string m_label;
    std::string m_file;
    bool m_cancelled = false;
};

} // namespace win32
