#pragma once

#include "analysiscache.h"
#include "soundanalyses.h"
#include "soundbrowser.h"

#include <QDialog>
#include <QElapsedTimer>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform {
class Dialogs;
}

// The sound browser: a folder's sound files, one row each with its length,
// loudness, true peak, a small picture and what it is against the game's
// sound of the main window's selected slot. Selecting a row plays it as the
// game will get it; Return, a double-click or "Use for Slot" puts it in the
// slot. Not modal: the main window works on beside it.
class SoundBrowserWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SoundBrowserWindow)

public:
    // What the browser asks of the main window.
    struct Editor
    {
        std::function<int()> targetSlot;
        std::function<std::optional<std::string>(int slot)> gameFile; // the game's sound for a slot
        std::function<void(const std::string &path)> play;            // as Play plays it; "" stops
        std::function<void(const std::string &path)> use;             // into the target slot, as Add File
        std::function<void()> nextSlot;                               // the main window selects the next
    };
    // `cacheFile` keeps the figures between runs.
    SoundBrowserWindow(QWidget *owner, platform::Dialogs &dialogs, Editor editor, const std::string &folder,
                       std::string settingsFile, const std::string &cacheFile);
    ~SoundBrowserWindow() override;

    // The folder listed; false, with the reason said, when it is none.
    bool openFolder(const std::string &folder);
    // The main window's selection changed: the target line and verdicts follow.
    void showTarget();
    // Every row's figures shown (for tests and the bench).
    bool measured() const;
    QTreeWidget *list() const { return m_list; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

public Q_SLOTS:
    void reject() override;

private:
    void listed(unsigned generation, std::vector<vesk::BrowsedFile> files);
    void makeRows();    // the rows still to be made, a slice at a time
    void showFigures(); // the rows measured since
    void showVerdicts();
    void continueVerdicts();  // from m_verdictsFrom, a slice at a time
    void measureShownFirst(); // the rows in view before the others
    void fill(size_t index, const vesk::SoundAnalyses::Entry &sound, bool judge, const vesk::SoundAnalysis *game);
    void figuresArrived();
    void onSelected();
    void playSelected();
    void useSelected();
    void stop();
    void filter();
    void keepSettings();
    const vesk::BrowsedFile *selectedFile() const;

    platform::Dialogs &m_dialogs;
    Editor m_editor;
    std::string m_settingsFile;
    QLabel *m_target = nullptr;
    QLineEdit *m_folder = nullptr, *m_filter = nullptr;
    QCheckBox *m_subfolders = nullptr, *m_playOnSelect = nullptr, *m_nextSlot = nullptr;
    QTreeWidget *m_list = nullptr;
    QTimer *m_playing = nullptr;       // runs while a sound plays
    QTimer *m_showLater = nullptr;     // the figures that arrive meanwhile, together
    QTimer *m_verdictsLater = nullptr; // the verdicts not yet judged anew
    QTimer *m_rowsLater = nullptr;     // the rows not yet made
    size_t m_verdictsFrom = 0;
    QElapsedTimer m_shown;                  // since figures were last shown
    std::vector<vesk::BrowsedFile> m_files; // the rows' files, by the row's index
    std::vector<QTreeWidgetItem *> m_items; // and their rows
    bool m_gameMeasured = false;            // the verdicts are against the game's figures
    std::vector<size_t> m_unmeasured;       // rows still without figures
    std::string m_listedFolder;
    std::shared_ptr<std::atomic<unsigned>> m_generation; // of the listing under way
    std::future<void> m_listing;
    unsigned m_shownGeneration = 0; // the listing the rows show
    std::atomic<bool> m_arrivedPending{false};
    QPoint m_dragStart;
    std::unique_ptr<vesk::AnalysisCache> m_cache;
    // Last, so that its threads are gone before what they report to.
    std::unique_ptr<vesk::SoundAnalyses> m_analyses;
};
