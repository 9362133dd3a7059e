#pragma once

#include "dialog.h"
#include "soundbrowser.h"

#include "analysiscache.h"
#include "soundanalyses.h"
#include "soundbrowser.h"
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The sound browser in plain Win32, on the same table and logic as the Qt
// one: a folder's sound files with their figures, judged against the game's
// sound of the main window's selected slot, played as they are selected and
// put in the slot with Return, a double-click or "Use for Slot". Not modal.
class BrowserWindow final : public win32dialog::Dialog
{
public:
    struct Editor
    {
        std::function<int()> targetSlot;
        std::function<std::optional<std::string>(int slot)> gameFile;
        std::function<void(const std::string &path)> play; // "" stops
        std::function<void(const std::string &path)> use;
        std::function<void()> nextSlot;
        std::function<void()> closed; // the window is gone; its owner may let it go
        // A row dragged out and let go at a point of the screen over the owner.
        std::function<void(const std::string &path, POINT at)> dropped;
    };
    // `cacheFile` keeps the figures between runs.
    BrowserWindow(HINSTANCE instance, int dpi, Editor editor, std::string settingsFile, const std::string &cacheFile);
    ~BrowserWindow() override;

    bool open(HWND owner, const std::string &folder);
    bool openFolder(const std::string &folder);
    void showTarget();

private:
    const char *className() const override { return "VeskSoundBrowser"; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void destroyed() override;
    void build();
    void command(int id, int notification);
    LRESULT notified(NMHDR &header);
    LRESULT customDraw(NMLVCUSTOMDRAW &draw);
    void listed(unsigned generation);
    void showRows(); // the rows the filter lets through, in the order chosen
    void showFigures();
    void onSelected();
    void playSelected();
    void useSelected();
    void stop();
    void keepSettings();
    void drag(UINT message);
    const vesk::BrowsedFile *selectedFile() const;
    std::string cell(size_t file, int column) const;

    Editor m_editor;
    std::string m_settingsFile;
    std::string m_listedFolder;
    std::vector<vesk::BrowsedFile> m_files;
    std::vector<size_t> m_rows; // the files shown, in order
    std::vector<size_t> m_unmeasured;
    int m_sortColumn = 0;
    bool m_sortDown = false;
    win32dialog::PlayingTimer m_playing;
    std::string m_dragged; // the file of the row being dragged out, if any
    unsigned m_shownGeneration = 0;
    std::shared_ptr<std::atomic<unsigned>> m_generation;
    std::future<void> m_listing;
    std::atomic<HWND> m_window{nullptr}; // where the threads post
    std::atomic<bool> m_arrivedPending{false};
    std::mutex m_handOver; // the listing's thread hands its files over under it
    std::vector<vesk::BrowsedFile> m_handed;
    unsigned m_handedGeneration = 0;
    std::unique_ptr<vesk::AnalysisCache> m_cache;
    std::unique_ptr<vesk::SoundAnalyses> m_analyses; // last: its threads end first
};
