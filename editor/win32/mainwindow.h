#pragma once

#include "browserwindow.h"
#include "editorprocedures.h"
#include "prompts.h"
#include "slotmeasurements.h"
#include "soundplayer.h"
#include "win32ui.h"

#include <atomic>
#include <map>
#include <memory>
#include <string>

// The main window in plain Win32: the menus, the slot tabs with their buttons and
// labels, the file name box, Add File, Remove File, Play and Stop, and the
// link list. Its procedures are the editor's own (editorprocedures.h).
class MainWindow final : public win32::Window, private vesk::EditorUi
{
public:
    MainWindow(HINSTANCE instance, std::string programDirectory, std::string settingsFile);
    ~MainWindow() override;

    bool open(int show);
    // "vesk.exe FILE.vsk": the file is opened as "&Open" opens it.
    void openFromCommandLine(const std::string &path);
    // For the message loop: the menus' shortcuts.
    bool translateShortcut(MSG &msg) const;
    // The sound browser's window, for the message loop's dialog keys; none
    // when it is not open.
    HWND browserWindow() const { return m_browser ? m_browser->hwnd() : nullptr; }

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void readSettings();
    void buildMenus();
    void buildSoundsPage(HWND page, POINT origin);
    void command(int id, int notification);
    void menuCommand(int id);
    void drop(HDROP files);
    void dropFile(const std::string &file, POINT at);
    void editSound();
    void browseSounds();
    HWND control(const char *name) const { return m_controls.at(name); }

    // vesk::EditorUi
    void message(const std::string &text, bool captioned) override { m_prompts.message(text, captioned); }
    Answer ask(const std::string &text, bool withCancel) override { return m_prompts.ask(text, withCancel); }
    std::unique_ptr<vesk::Progress> startProgress(const std::string &title) override
    {
        return m_prompts.startProgress(title);
    }
    std::optional<std::string> openFile(Files kind) override { return chooseFile(kind, false); }
    std::optional<std::string> saveFile(Files kind) override { return chooseFile(kind, true); }
    void offerFileName(const std::string &path) override { m_fileName = path; }
    void setBusy(bool busy) override;
    void playSound(const std::string &name) override;
    void showTheme() override;
    void showSlot(int index) override;
    void showSelection() override;
    void showLink(size_t row) override;
    void linksChanging(const LinkChange &change) override;
    void linksChanged(const LinkChange &change) override;
    void showHistory() override;
    void showPage(Page page) override;

    void showRecentProjects();   // the submenu, as it opens
    void showMenuStatus(int id); // a recent project's full path while its item is picked

    // The sounds measured in the background, the shown slot tab's first;
    // each row and the figures line follow them.
    void measureSounds();
    void showMeasurements();
    void drawSlotRow(const DRAWITEMSTRUCT &item);

    std::optional<std::string> chooseFile(Files kind, bool save);
    void listLink(const vesk::Link &link); // at the end of linkList and addressList

    HINSTANCE m_instance;
    const std::string m_programDirectory;
    const std::string m_settingsFile;
    int m_dpi = 96;
    HFONT m_font = nullptr;
    HACCEL m_shortcuts = nullptr;
    HMENU m_menus = nullptr, m_recentMenu = nullptr;
    bool m_statusShown = false; // soundInfo shows a menu item's path
    std::unique_ptr<vesk::Recovery> m_recovery;
    std::unique_ptr<BrowserWindow> m_browser;
    Win32Prompts m_prompts;
    std::string m_fileName; // the file dialog's, kept from one use to the next
    win32::SoundPlayer m_player;
    vesk::Editor m_editor;
    win32::Controls m_controls;
    bool m_built = false;               // all the controls made
    std::map<int, int> m_slotOfControl; // a slot button's or label's ID: its slot
    HWND m_slotLabels[vesk::kSlotCount + 1] = {};
    std::unique_ptr<win32::TabPages> m_tabs, m_slotTabs;
    // Where the measuring threads post that a sound was measured; read on
    // theirs, so kept apart from the window's own handle.
    std::atomic<HWND> m_measuredWindow{nullptr};
    // Last, so that its threads are gone before the window they post to.
    std::unique_ptr<vesk::SlotMeasurements> m_measurements;
};
