#pragma once

#include "ownerlock.h"
#include "projectfile.h"
#include "status.h"

#include <ctime>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

// What a recovery file holds: the unsaved theme, the project it belongs to
// (none for a new theme) and when it was written.
struct RecoveredTheme
{
    std::string projectPath;
    std::time_t written = 0;
    Project project;
};

std::vector<std::string> recoveryFileLines(const RecoveredTheme &theme);
// The theme a recovery file holds, or why it holds none (empty, damaged,
// foreign or written by another version), naming the file.
Result<RecoveredTheme> readRecoveryFile(const std::string &path);
// "VESK did not close properly. Recover the unsaved changes to Ocean.vsk
// from 21:14?", "to a new theme" where the theme had no project.
std::string recoveryQuestion(const RecoveredTheme &theme);

// The editor's recovery file in the settings location: each running editor
// owns one (its lock held open), so that two at once never take each other's,
// and a file whose editor ended without removing it is found at the next
// start.
class Recovery
{
public:
    // No settings file: nothing is kept.
    explicit Recovery(std::string settingsFile = std::string());
    ~Recovery(); // waits for a write under way
    Recovery(const Recovery &) = delete;
    Recovery &operator=(const Recovery &) = delete;

    // At start: this editor takes a recovery file no running editor owns,
    // the newest, and returns its name; otherwise a free one. A settings
    // location where no lock can be made is a failure, said once.
    Result<std::optional<std::string>> start();
    // The file found at start is kept as it is (the player declined it)
    // until this editor writes its own over it.
    void keepFound() { m_keepFound = true; }

    // The theme as it is now: written in the background when it changed
    // since the last call (`revision`), the file removed when nothing is
    // unsaved. A failure of an earlier write is returned once.
    Status keep(const Project &project, const std::string &projectPath, bool changed, unsigned long long revision);
    // Closing: the file goes, unless it is a declined one never replaced.
    void discard();

    const std::string &file() const { return m_file; }

private:
    Status collect(); // the last write's result, once it is done
    void remove();

    std::string m_settingsFile;
    std::string m_file;
    std::unique_ptr<OwnerLock> m_lock;
    std::future<Status> m_writing;
    std::optional<unsigned long long> m_revision;
    bool m_keepFound = false;
    bool m_written = false;
};

} // namespace vesk
