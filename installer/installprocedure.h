#pragma once

#include "progress.h"
#include "status.h"

#include <chrono>
#include <memory>
#include <string>

namespace vpak {

// The title of the install's progress window.
inline constexpr const char *kInstallTitle = "Install Theme";
// How long the install batch is waited for before the player is told it has
// not finished.
inline constexpr std::chrono::milliseconds kInstallTimeLimit{120'000};

// What the install needs of the window it runs in.
class InstallerUi
{
public:
    enum class BatchEnd {
        Finished,
        StillRunning
    };

    virtual ~InstallerUi() = default;
    // A message box with OK, captioned "Lanternkit".
    virtual void message(const std::string &text) = 0;
    // A question with Yes and No, captioned "Lanternkit"; true for Yes.
    virtual bool ask(const std::string &text) = 0;
    // Runs 1.bat in the package folder and waits up to `limit`, keeping the
    // window painting.
    virtual vesk::Result<BatchEnd> runBatch(const std::string &batchFile, const std::string &packageDirectory,
                                            std::chrono::milliseconds limit)
        = 0;
    // After a batch that was still running: waits until it has ended,
    // keeping the window painting and taking no second install meanwhile.
    virtual void waitForBatchEnd() = 0;
    // Long work of the install (checking and moving a big package's files)
    // watched in a window of its own, with Cancel; none where nobody
    // watches.
    virtual std::unique_ptr<vesk::Progress> startProgress(const std::string &title)
    {
        (void)title;
        return std::make_unique<vesk::NoProgress>();
    }
};

// Install Theme, in this order: the target (absolute, existing, not the
// package, no system folder, writable); the package's contents; its files
// against its SHA256SUMS, where it has one; a question
// when the target holds no game sound; the backup of what the install
// replaces, every such file moved aside; 1.bat written, started and waited
// for (to its end, however long it takes); the file check, and on a failure
// the target put back. True when the install completed and was
// reported as "Install Completed": the window then closes.
bool install(const std::string &packageDirectory, const std::string &target, InstallerUi &ui);

// Restore Original Sounds: asks, puts the game's own files back and reports.
void restore(const std::string &target, InstallerUi &ui);

} // namespace vpak
