#pragma once

#include "status.h"

#include <string>
#include <vector>

namespace vesk {

// The game's own files, kept so that a theme can be taken back out.
//
// The folder kBackupFolder inside the game directory holds the game's copy of
// every file a theme replaced, taken the first time a theme replaced it and
// never overwritten later, and kAddedList: the names of the files a theme put
// into the game directory where the game had none, one per line with CR LF.
// A name on that list is never backed up, so a second theme cannot keep the
// first theme's sound as "the original".
inline constexpr const char *kBackupFolder = "vesk-originals";
inline constexpr const char *kAddedList = "added.txt";

// What one recording added to the backup, so that a failed apply or install
// can leave the backup exactly as it found it.
struct BackupRecord
{
    std::string gameDirectory;
    bool createdFolder = false;
    bool hadAddedList = false;
    std::vector<std::string> previousAdded; // the list before the recording
    std::vector<std::string> copied;        // names copied into the folder by this recording
};

// Before a theme writes `names` into the game directory: every one the game
// has is backed up unless it already is or a theme added it; every one it
// lacks goes on the added list. A failure names the file and the reason, and
// leaves the backup as it was.
Result<BackupRecord> recordBeforeReplacing(const std::string &gameDirectory, const std::vector<std::string> &names);

// Takes one recording back out of the backup.
Status undoRecord(const BackupRecord &record);

// Whether the game directory holds a backup to restore.
bool hasBackup(const std::string &gameDirectory);

struct RestoreCount
{
    int putBack = 0; // originals copied back
    int removed = 0; // files a theme had added, removed
};

// "The game's own sounds are back: 3 files put back, 2 files removed."
std::string restoreSummary(const RestoreCount &count);

// Puts every backed-up file back, removes every file on the added list and
// then the backup folder, so that the next theme takes a fresh backup. A
// failure names the file and the reason and leaves the folder for another try.
Result<RestoreCount> restoreOriginals(const std::string &gameDirectory);

// The game files a theme write replaces, moved or copied aside first, so that
// a failure part way can put every one of them back as it was: the old bytes
// where there was a file, no file where there was none.
class ReplaceJournal
{
public:
    explicit ReplaceJournal(std::string directory) : m_directory(std::move(directory)) {}
    ReplaceJournal(const ReplaceJournal &) = delete;
    ReplaceJournal &operator=(const ReplaceJournal &) = delete;
    ~ReplaceJournal();

    // Before `name` is replaced by a rename: the present file is renamed aside.
    Status moveAside(const std::string &name);
    // Before `name` is overwritten by someone else: the present file is copied aside.
    Status copyAside(const std::string &name);

    // Every name back as it was, in reverse order. Goes on past a failing
    // name and reports the first.
    Status rollBack();
    // The replacements stay; the kept copies go.
    void commit();

private:
    struct Entry
    {
        std::string name;
        std::string aside; // empty: there was no file
    };
    Status keep(const std::string &name, bool move);

    std::string m_directory;
    std::vector<Entry> m_entries;
};

} // namespace vesk
