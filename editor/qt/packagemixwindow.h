#pragma once

#include "packagemix.h"
#include "soundanalyses.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QTableWidget;
class QTimer;

namespace platform {
class Dialogs;
}

// Take Sounds from Packages: the theme's slots in rows, the theme itself and
// each package added in columns, every cell with its sound's figures against
// the game's. Selecting a cell plays it; Use takes it for its slot, Use
// Column the whole column; OK hands the choices to the editor, which puts
// them in the theme as one change.
class PackageMixWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PackageMixWindow)

public:
    // What the window asks of the main window.
    struct Editor
    {
        std::function<std::optional<std::string>(int slot)> gameFile; // the game's sound for a slot
        std::function<void(const std::string &path)> play;            // as Play plays it; "" stops
        std::function<bool(const vesk::PackageMix &mix)> take;        // OK: true when the window may close
    };
    PackageMixWindow(QWidget *owner, platform::Dialogs &dialogs, Editor editor, const vesk::SlotValues &theme);
    ~PackageMixWindow() override;

    // Adds a package as a column; false, with the reason said, when it is none.
    bool addPackage(const std::string &path);
    const vesk::PackageMix &mix() const { return *m_mix; }
    QTableWidget *grid() const { return m_grid; }
    // Every cell's figures shown (for tests and the bench).
    bool measured() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

public Q_SLOTS:
    void reject() override;

private:
    void showCells();
    void measure();
    void onCellChosen();
    void playCurrent();
    void stop();
    void useCurrent();
    void useColumn();
    void onAddPackage();
    void onOk();
    int slotOfRow(int row) const { return m_rows.at(static_cast<size_t>(row)); }

    platform::Dialogs &m_dialogs;
    Editor m_editor;
    std::unique_ptr<vesk::PackageMix> m_mix;
    std::vector<int> m_rows; // the slot of each row, as on screen
    QTableWidget *m_grid = nullptr;
    QTimer *m_playing = nullptr; // runs while a sound plays
    std::atomic<bool> m_arrivedPending{false};
    // Last, so that its threads are gone before what they report to.
    std::unique_ptr<vesk::SoundAnalyses> m_analyses;
};
