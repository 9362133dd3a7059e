#pragma once

#include "dialog.h"
#include "packagemix.h"
#include "soundanalyses.h"

#include <commctrl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// Take Sounds from Packages in plain Win32, on the same table and logic as
// the Qt window: the slots in rows, the theme and each package added in
// columns. The selected row's chosen cell is drawn as selected; Up, Down,
// Left and Right move it and play its sound, Space plays it again, Return
// (or a double-click) uses it, Escape stops what plays and closes the
// window when nothing does. Modal: OK hands the choices to the editor.
class PackageMixWindow final : public win32dialog::Dialog
{
public:
    struct Editor
    {
        std::function<std::optional<std::string>(int slot)> gameFile;
        std::function<void(const std::string &path)> play;     // "" stops
        std::function<bool(const vesk::PackageMix &mix)> take; // OK: true when the window may close
    };
    PackageMixWindow(HINSTANCE instance, int dpi, Editor editor, const vesk::SlotValues &theme);
    ~PackageMixWindow() override;

    void run(HWND owner);

private:
    const char *className() const override { return "VeskPackageMix"; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void build();
    void command(int id);
    LRESULT notified(NMHDR &header);
    LRESULT customDraw(NMLVCUSTOMDRAW &draw);
    void addPackage();
    void showCells();
    void measure();
    int selectedRow() const;
    void moveTo(int row, int column);
    void playCurrent();
    void stop();
    void useCurrent();

    Editor m_editor;
    std::unique_ptr<vesk::PackageMix> m_mix;
    std::vector<int> m_rows; // the slot of each row, as on screen
    int m_column = 0;        // the chosen cell's column in the mix
    int m_shownColumns = 0;  // the mix's columns the list has
    win32dialog::PlayingTimer m_playing;
    std::atomic<HWND> m_window{nullptr}; // where the threads post
    std::atomic<bool> m_arrivedPending{false};
    // Last, so that its threads are gone before what they report to.
    std::unique_ptr<vesk::SoundAnalyses> m_analyses;
};
