#pragma once

#include "status.h"

#include <optional>
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
//
// A kept copy is a second name (a hard link) of the game's file wherever the
// file system allows it, else a copy: a theme never writes into a game file,
// it puts a new file in its place, so the link keeps the old bytes. Game
// files keep the spelling they have: a theme's "bomb1.wa2" replaces and keeps
// a game's "BOMB1.WA2".
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
    std::vector<std::string> copied;        // names kept in the folder by this recording
};

enum class Keeping {
    LinkOrCopy, // a hard link where the file system allows it, else a copy
    CopyOnly,   // always a copy (as on a file system without links)
};

// Before a theme writes `names` into the game directory: every one the game
// has (in any spelling) is backed up unless it already is or a theme added
// it; every one it lacks goes on the added list. A failure names the file and
// the reason, and leaves the backup as it was.
Result<BackupRecord> recordBeforeReplacing(const std::string &gameDirectory, const std::vector<std::string> &names,
                                           Keeping keeping = Keeping::LinkOrCopy);

// Takes one recording back out of the backup.
Status undoRecord(const BackupRecord &record);

// The game's own file `name` (a game sound's name, in any spelling): its copy
// in the backup where there is one, else the game directory's file unless a
// theme added it; nothing when neither is there.
std::optional<std::string> gamesOwnFile(const std::string &gameDirectory, const std::string &name);

// Whether the game directory holds a backup to restore.
bool hasBackup(const std::string &gameDirectory);

struct RestoreCount
{
    int putBack = 0;                         // originals put back
    int removed = 0;                         // files a theme had added, removed
    int skippedLines = 0;                    // lines of the added list that name no file a theme adds
    std::vector<std::string> skippedEntries; // entries of the backup folder that are no files
};

// Restore's question, the same in the editor and the installer.
std::string restoreQuestion(const std::string &gameDirectory);

// "The game's own sounds are back: 3 files put back, 2 files removed." and
// what was left alone.
std::string restoreSummary(const RestoreCount &count);

// Whether Restore may put back or remove a file of this name: a plain name
// (no folder part, no device), not the backup folder, and no program, 1.bat
// aside (every install leaves it behind).
bool isRestorableName(const std::string &name);

// Puts every backed-up file back under its name and removes every file a
// theme added, all or nothing: everything is checked and made ready first,
// and a failure part way puts every file back as it was. Lines of the added
// list that are no restorable name, and entries of the folder that are no
// regular files, are left alone and counted. Afterwards the folder is gone
// (or holds only what was left alone). A failure names the file and the
// reason and leaves the folder for another try.
Result<RestoreCount> restoreOriginals(const std::string &gameDirectory);

// The game files a theme write replaces, moved aside first, so that a failure
// part way can put every one of them back as it was: the old file where there
// was one, no file where there was none.
class ReplaceJournal
{
public:
    explicit ReplaceJournal(std::string directory) : m_directory(std::move(directory)) {}
    ReplaceJournal(const ReplaceJournal &) = delete;
    ReplaceJournal &operator=(const ReplaceJournal &) = delete;
    ~ReplaceJournal();

    // Before `name` is replaced or removed: the present file is renamed to a
    // hidden name beside it.
    Status moveAside(const std::string &name);

    // Every name back as it was, in reverse order. Goes on past a failing
    // name; the failure names every file that could not be put back.
    Status rollBack();
    // The replacements stay; the files moved aside go.
    void commit();

private:
    struct Entry
    {
        std::string name;
        std::string aside; // empty: there was no file
    };

    std::string m_directory;
    std::vector<Entry> m_entries;
};

// After a failed apply or install: every file moved aside goes back, and then
// the backup is left as it was before. When a file cannot be put back the
// backup stays as it is, so that Restore can still give the game's own files
// back, and the failure names the files and says so.
Status putBack(ReplaceJournal &journal, const BackupRecord &record);

} // namespace vesk
