#pragma once

// What the plain Win32 programs (vpak.exe, and the editor to come) share:
// controls from a window's table, the directory and drive lists, pictures,
// and waiting on a process with the window painting and the wait cursor up.
#include "layout.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace win32 {

// Twips to pixels at the screen's `dpi`.
int scaled(int twips, int dpi);

std::string textOf(HWND control);

// The controls of a table on `parent`, each with the ID `idOf` gives its name
// and the given font; by name.
std::map<std::string, HWND> buildControls(HWND parent, HINSTANCE instance, const std::vector<vesk::ControlRow> &table,
                                          const std::function<int(const char *)> &idOf, int dpi, HFONT font);

// The keyboard walks the controls in this order.
void setFocusOrder(const std::map<std::string, HWND> &controls, const std::vector<const char *> &order);

// A picture file, read like every other file (a regular file of bounded
// size) and decoded by the Windows Imaging Component; none when it is no
// picture, a JPEG cut short, or too large to decode.
HBITMAP loadPicture(const std::string &path, SIZE &size);

// A directory list: the open directory's ancestors, then its
// subdirectories, indented by depth as the Qt list shows them.
class DirectoryList
{
public:
    explicit DirectoryList(HWND list) : m_list(list) {}
    // False, with the list as it was, when `path` is no directory that can be read.
    bool open(const std::string &path);
    const std::string &openDirectory() const { return m_open; }
    // The directory a row stands for; empty for no row.
    std::string pathOfRow(LRESULT row) const;

private:
    HWND m_list;
    std::vector<std::string> m_paths; // by row
    std::string m_open;
};

// A drive list: the machine's drives, starting at the working directory's.
class DriveList
{
public:
    explicit DriveList(HWND combo);
    // The root of the drive picked ("C:"), and back to the drive before when
    // the caller could not open it.
    std::string picked() const;
    void accept() { m_current = current(); }
    void revert() const;

private:
    int current() const;
    HWND m_combo;
    int m_current = 0;
};

// Waits for a process, up to `limitMs` (INFINITE: to its end), with
// `window` disabled, its messages handled and the wait cursor kept; true
// when the process ended.
bool waitForProcess(HWND window, HANDLE process, DWORD limitMs);
// For WM_SETCURSOR: true (the wait cursor set) while a wait is under way.
bool keepWaitCursor();

} // namespace win32
