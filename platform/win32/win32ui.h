#pragma once

// What the plain Win32 programs (vpak.exe and vesk.exe) share: windows and
// their controls from a window's table, tab pages, the directory, drive and
// file lists with the directory picker, pictures, modal windows, and
// waiting on a process with the window painting and the wait cursor up.
#include "layout.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace win32 {

// Twips to pixels at the screen's `dpi`.
int scaled(int twips, int dpi);

// The DPI windows of this program open at (the system's), and the one a
// window is shown at now (its screen's, where Windows tells each apart).
int startDpi();
int windowDpi(HWND window);

// The focus mark and the mnemonics' underlines shown from the start, for
// players who work the window with the keyboard alone (Windows otherwise
// hides them until a key is pressed).
void showKeyboardCues(HWND window);

// Lays a window out again at another DPI, for WM_DPICHANGED: each of its
// controls keeps its place relative to the others and its font its size
// in points. Every step counts from where the controls first were, so that
// moving between screens back and forth does not wander.
class DpiLayout
{
public:
    DpiLayout() = default;
    DpiLayout(const DpiLayout &) = delete;
    DpiLayout &operator=(const DpiLayout &) = delete;
    ~DpiLayout();
    // `frame` is the window's new place (WM_DPICHANGED's).
    void rescale(HWND window, int fromDpi, int toDpi, const RECT &frame);

private:
    struct Placement
    {
        RECT rect;
        int dpi;
        bool hasFont;
        LOGFONTA font;
    };
    HFONT fontFor(LOGFONTA font);
    std::map<HWND, Placement> m_placed;
    std::vector<std::pair<LOGFONTA, HFONT>> m_fonts; // made here, deleted with the layout
};

std::string textOf(HWND control);

using Controls = std::map<std::string, HWND>;

// The controls of a table on `parent`, each with the ID `idOf` gives its name
// and the given font, added to `made` by name. A control in a frame is
// placed relative to the frame; `origin` is where the table's corner lies
// on `parent`, in pixels. Rows of no size are made hidden.
void buildControls(Controls &made, HWND parent, HINSTANCE instance, const std::vector<vesk::ControlRow> &table,
                   const std::function<int(const char *)> &idOf, int dpi, HFONT font, POINT origin = {0, 0});
Controls buildControls(HWND parent, HINSTANCE instance, const std::vector<vesk::ControlRow> &table,
                       const std::function<int(const char *)> &idOf, int dpi, HFONT font);

// The keyboard walks the controls in this order; controls on different
// pages keep the order among those of their own page.
void setFocusOrder(const Controls &controls, const std::vector<const char *> &order);
// Lays a new window of a client area of `twips` out at `toDpi` (its
// screen's) from `fromDpi` (the one it was made at), or at the largest
// smaller DPI at which it fits its screen's work area whole, centred there.
// Returns the DPI it is laid out at.
int placeOnScreen(HWND window, DpiLayout &layout, int fromDpi, int toDpi, SIZE twips);

// A box of fixed width made wide enough for its whole text in its own font
// (its left edge stays, its right stays within its parent).
void fitWidthToText(HWND box);

// A font of the given family and size at the screen's `dpi`.
HFONT makeFont(const char *family, double points, int dpi, bool bold = false);

// A window with its own window procedure: a class derived from this one
// handles its messages in `handle`. Destroyed with its window.
class Window
{
public:
    Window() = default;
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;
    virtual ~Window();
    HWND hwnd() const { return m_hwnd; }

protected:
    // A fixed-size window with a client area of the given twips, centred
    // on the screen (or on `owner`'s screen).
    bool create(HINSTANCE instance, const char *className, const char *caption, DWORD style, DWORD exStyle,
                int clientWidth, int clientHeight, int dpi, HWND owner, HMENU menu = nullptr);
    // The default: WM_DPICHANGED lays the controls out again.
    virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // The DPI the window is laid out for now.
    int dpi() const { return m_dpi; }
    // Called for WM_NCDESTROY, when the window is gone.
    virtual void destroyed() {}

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_hwnd = nullptr;
    int m_dpi = 96;
    DpiLayout m_layout;
};

// Shows `window` modally over `owner` and returns when it is destroyed:
// the owner takes no input meanwhile.
void runModal(HWND window, HWND owner);

// A tab control with a page for each caption: each page a child window laid
// over the control's display area that passes its controls' messages on to
// its parent. The first page is shown.
class TabPages
{
public:
    // `twips` from `origin` on the parent, in pixels.
    TabPages(HWND parent, HINSTANCE instance, const int (&twips)[4], const std::vector<const char *> &captions, int id,
             int dpi, HFONT font, POINT origin = {0, 0});
    HWND tabs() const { return m_tabs; }
    HWND page(size_t index) const { return m_pages.at(index); }
    // Where the tab control's corner lies on a page: the tables place
    // controls from there.
    POINT origin() const { return m_origin; }
    // For the parent's WM_NOTIFY: shows the page picked; true when it was this strip's.
    bool notified(const NMHDR &header);
    void show(size_t index);

private:
    HWND m_tabs;
    std::vector<HWND> m_pages;
    POINT m_origin{};
};

// A picture file, read like every other file (a regular file of bounded
// size) and decoded by the Windows Imaging Component; none when it is no
// picture, a JPEG cut short, or too large to decode.
// At a `dpi` above or below 96 the picture is scaled to match, smoothly.
HBITMAP loadPicture(const std::string &path, SIZE &size, int dpi = 96);
// The same, scaled to fit `box` with its proportions kept.
HBITMAP loadPictureToFit(const std::string &path, SIZE box);

// A directory list: the open directory's ancestors, then its
// subdirectories, indented by depth as the Qt list shows them.
class DirectoryList
{
public:
    explicit DirectoryList(HWND list) : m_list(list) {}
    // False, with the list as it was, when `path` is no directory that can be read.
    bool open(const std::string &path);
    const std::string &openDirectory() const { return m_open; }
    // The directory the selected row stands for; empty for none.
    std::string selectedPath() const;

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
    // The root of the drive picked ("C:").
    std::string picked() const;
    // A drive was picked: `open` opens its current directory; when it
    // cannot, the list goes back to the drive before and a box captioned
    // `caption` says so.
    void steer(const std::function<bool(const std::string &)> &open, const std::string &caption);

private:
    int current() const;
    HWND m_combo;
    int m_current = 0;
};

// A file list: the open directory's files that match a pattern ("*.jpg"),
// by name.
class FileList
{
public:
    FileList(HWND list, std::string pattern) : m_list(list), m_pattern(std::move(pattern)) {}
    void open(const std::string &directory);
    // The file the selected row names; empty for none.
    std::string selectedPath() const;

private:
    HWND m_list;
    std::string m_pattern;
    std::string m_directory;
    std::vector<std::string> m_names;
};

// Choosing a directory as every window of both programs does: a drive list
// that steers a directory list, a path box that follows the open directory,
// and "Make Directory", which creates the name typed in the name box inside
// the path shown. The window's table builds the controls; the picker works them.
using PickerControls = vesk::PickerControls;
class DirectoryPicker
{
public:
    // `caption` captions the message that a drive cannot be read.
    DirectoryPicker(const Controls &controls, const PickerControls &names, std::string caption);
    // Opens `directory`; one that cannot be opened gives way to the current
    // directory of the drive shown. The path box shows what was opened.
    void open(const std::string &directory);
    // The text of the path box: the open directory, or what was typed.
    std::string path() const { return textOf(m_path); }
    const std::string &openDirectory() const { return m_dirList.openDirectory(); }
    // A WM_COMMAND from one of the picker's controls; true when it was.
    bool command(HWND control, int notification);

private:
    bool openDirectoryOf(const std::string &path);
    HWND m_drive, m_dir, m_path, m_name, m_make;
    DirectoryList m_dirList;
    DriveList m_driveList;
    std::string m_caption;
};

// Waits for a process, up to `limitMs` (INFINITE: to its end), with
// `window` disabled, its messages handled and the wait cursor kept; true
// when the process ended.
bool waitForProcess(HWND window, HANDLE process, DWORD limitMs);
// The wait cursor on or off, held through WM_SETCURSOR (keepWaitCursor).
void showWaitCursor(bool on);
// For WM_SETCURSOR: true (the wait cursor set) while a wait is under way.
bool keepWaitCursor();

} // namespace win32
