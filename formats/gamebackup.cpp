#include "gamebackup.h"

#include "fileops.h"
#include "files.h"
#include "paths.h"
#include "texttools.h"
#include "themefiles.h"

#include <algorithm>
#include <set>

namespace vesk {

namespace {

std::string folderOf(const std::string &gameDirectory)
{
    return joinPath(gameDirectory, kBackupFolder);
}

// Names compare as Windows compares them: without regard to letter case.
std::string folded(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return name;
}

// The added list is small: one line a game file. Anything larger is no list
// of ours and is refused rather than read.
Result<std::vector<std::string>> readAddedList(const std::string &folder, bool &present)
{
    const std::string path = joinPath(folder, kAddedList);
    present = entryKind(path) != EntryKind::Missing;
    std::vector<std::string> names;
    if (!present)
        return names;
    Result<std::string> read = readFile(path, kSmallFileLimit, Overflow::Refuse);
    if (!read)
        return read.status();
    for (const std::string_view line : textLines(*read)) {
        if (!line.empty())
            names.emplace_back(line);
    }
    return names;
}

Status failure(const std::string &what, const std::string &path, const std::error_code &ec)
{
    return Status::failure(codeOf(ec), "cannot " + what + " " + path + ": " + reasonText(ec));
}

// A second name for `from` at `to`: a link where the file system allows it,
// else a copy.
std::error_code keepAs(const std::string &from, const std::string &to, Keeping keeping)
{
    if (keeping == Keeping::LinkOrCopy) {
        const std::error_code linked = linkFile(from, to);
        if (!linked || linked == std::errc::file_exists)
            return linked;
    }
    return copyToNewFile(from, to);
}

} // namespace

Result<BackupRecord> recordBeforeReplacing(const std::string &gameDirectory, const std::vector<std::string> &names,
                                           Keeping keeping)
{
    // A file the running game holds open cannot be moved aside: that is
    // found before anything is written.
    for (const std::string &name : names) {
        const std::string path = joinPath(gameDirectory, name);
        if (const std::error_code held = probeReplaceable(path))
            return Status::failure(codeOf(held), "cannot replace " + path + ": " + reasonText(held));
    }
    BackupRecord record;
    record.gameDirectory = gameDirectory;
    const std::string folder = folderOf(gameDirectory);
    std::error_code ec;
    if (!isFolder(folder)) {
        if (!makeDirectory(folder, ec))
            return failure("create", folder, ec);
        record.createdFolder = true;
    }
    const auto abandon = [&record](Status why) {
        // Best effort: what this recording made is removed again.
        (void)undoRecord(record);
        return why;
    };
    Result<std::vector<std::string>> added = readAddedList(folder, record.hadAddedList);
    if (!added)
        return abandon(added.status());
    record.previousAdded = *added;
    std::set<std::string> known;
    for (const std::string &name : *added)
        known.insert(folded(name));
    for (const std::string &name : namesIn(folder))
        known.insert(folded(name));

    const std::vector<std::string> present = namesIn(gameDirectory);
    std::vector<std::string> addedNow = *added;
    for (const std::string &name : names) {
        if (known.count(folded(name)))
            continue;
        known.insert(folded(name));
        const std::string *spelling = spellingAmong(present, name);
        if (!spelling) {
            addedNow.push_back(name);
            continue;
        }
        const std::string original = joinPath(gameDirectory, *spelling);
        const std::string kept = joinPath(folder, *spelling);
        if (const std::error_code kept_ec = keepAs(original, kept, keeping))
            return abandon(Status::failure(codeOf(kept_ec), "cannot keep a copy of " + original + " in " + folder + ": "
                                                                + reasonText(kept_ec)));
        record.copied.push_back(*spelling);
    }
    if (addedNow.size() != added->size()) {
        const Status written = writeTextFileAtomically(joinPath(folder, kAddedList), addedNow);
        if (!written.ok())
            return abandon(written);
    }
    return record;
}

Status undoRecord(const BackupRecord &record)
{
    const std::string folder = folderOf(record.gameDirectory);
    std::error_code ec;
    if (record.createdFolder) {
        removeTree(folder, ec);
        return ec ? failure("remove", folder, ec) : Status::success();
    }
    Status first = Status::success();
    for (const std::string &name : record.copied) {
        removeEntry(joinPath(folder, name), ec);
        if (ec && first.ok())
            first = failure("remove", joinPath(folder, name), ec);
    }
    const std::string list = joinPath(folder, kAddedList);
    if (!record.hadAddedList) {
        removeEntry(list, ec);
        if (ec && first.ok())
            first = failure("remove", list, ec);
    } else {
        const Status restored = writeTextFileAtomically(list, record.previousAdded);
        if (!restored.ok() && first.ok())
            first = restored;
    }
    return first;
}

std::optional<std::string> gamesOwnFile(const std::string &gameDirectory, const std::string &name)
{
    const std::string folder = folderOf(gameDirectory);
    const std::vector<std::string> keptNames = namesIn(folder), names = namesIn(gameDirectory);
    if (const std::string *kept = spellingAmong(keptNames, name))
        return joinPath(folder, *kept);
    const std::string *present = spellingAmong(names, name);
    if (!present)
        return std::nullopt;
    bool listed = false;
    const Result<std::vector<std::string>> added = readAddedList(folder, listed);
    if (!added)
        return std::nullopt; // whose the file is cannot be told
    const std::string key = folded(name);
    if (std::any_of(added->begin(), added->end(), [&](const std::string &entry) { return folded(entry) == key; }))
        return std::nullopt;
    return joinPath(gameDirectory, *present);
}

bool hasBackup(const std::string &gameDirectory)
{
    std::error_code ec;
    const std::string folder = folderOf(gameDirectory);
    return isFolder(folder) && !listDirectory(folder, ec).empty();
}

std::string restoreQuestion(const std::string &gameDirectory)
{
    return "Put the game's own sounds back into " + gameDirectory + " and remove every file a theme added there?";
}

std::string restoreSummary(const RestoreCount &count)
{
    const auto files = [](size_t n) { return std::to_string(n) + (n == 1 ? " file" : " files"); };
    std::string text = "The game's own sounds are back: " + files(static_cast<size_t>(count.putBack)) + " put back, "
                       + files(static_cast<size_t>(count.removed)) + " removed.";
    if (count.skippedLines > 0)
        text += " " + std::to_string(count.skippedLines) + (count.skippedLines == 1 ? " line" : " lines") + " of "
                + kAddedList + " named no file a theme adds and " + (count.skippedLines == 1 ? "was" : "were")
                + " left alone.";
    if (!count.skippedEntries.empty()) {
        text += std::string(" Left in ") + kBackupFolder + ", as no files: ";
        for (size_t i = 0; i < count.skippedEntries.size(); ++i)
            text += (i ? ", " : "") + count.skippedEntries[i];
        text += ".";
    }
    return text;
}

bool isRestorableName(const std::string &name)
{
    if (!isPlainName(name) || sameFileName(storedName(name), kBackupFolder))
        return false;
    return !isProgramFile(name) || sameFileName(storedName(name), kInstallBatch);
}

namespace {

// An original made ready to go back: a second name beside its place, so
// that nothing in the game directory moves until everything is ready.
struct ReadyOriginal
{
    std::string kept;   // in the backup folder
    std::string target; // its name in the game directory
    std::string staged; // the second name beside it; empty: already in place
};

// What Restore will do: the originals made ready, the files a theme added
// that go.
struct RestorePlan
{
    std::vector<ReadyOriginal> ready;
    std::vector<std::string> removals;

    // The second names given up again.
    void discard() const
    {
        for (const ReadyOriginal &file : ready) {
            std::error_code ignored;
            if (!file.staged.empty())
                removeEntry(file.staged, ignored);
        }
    }
};

// Every original of the backup folder made ready; the entries that are no
// originals counted as left alone.
Status stageOriginals(const std::string &folder, const std::string &gameDirectory,
                      const std::vector<std::string> &gameNames, RestorePlan &plan, RestoreCount &count,
                      std::set<std::string> &restored)
{
    for (const std::string &name : namesIn(folder)) {
        if (name == kAddedList)
            continue;
        const std::string kept = joinPath(folder, name);
        if (!isRestorableName(name) || entryKind(kept) != EntryKind::File) {
            count.skippedEntries.push_back(name);
            continue;
        }
        const std::string *spelling = spellingAmong(gameNames, name);
        ReadyOriginal file{kept, joinPath(gameDirectory, spelling ? *spelling : name), std::string()};
        restored.insert(folded(name));
        std::error_code ec;
        if (spelling && sameFile(kept, file.target, ec)) {
            plan.ready.push_back(file); // the game's own file never left its place
            continue;
        }
        const Result<std::string> staged
            = makeUnderFreshName(gameDirectory, "." + name + ".back", [&kept](const std::string &candidate) {
                  return keepAs(kept, candidate, Keeping::LinkOrCopy);
              });
        if (!staged)
            return Status::failure(staged.code(), "cannot put back " + file.target + ": " + staged.error());
        file.staged = *staged;
        plan.ready.push_back(file);
    }
    return Status::success();
}

// The files the added list names that a theme put into the game directory
// and no original replaces.
std::vector<std::string> addedFilesToRemove(const std::vector<std::string> &added, const std::string &gameDirectory,
                                            const std::vector<std::string> &gameNames,
                                            const std::set<std::string> &restored, RestoreCount &count)
{
    std::vector<std::string> removals;
    for (const std::string &name : added) {
        const std::string *spelling = spellingAmong(gameNames, name);
        if (!isRestorableName(name) || restored.count(folded(name))) {
            ++count.skippedLines;
        } else if (spelling && entryKind(joinPath(gameDirectory, *spelling)) == EntryKind::File) {
            removals.push_back(*spelling);
        }
    }
    return removals;
}

// Every change, each undone again when a later one fails.
Status applyRestore(const std::string &gameDirectory, RestorePlan &plan, RestoreCount &count)
{
    ReplaceJournal journal(gameDirectory);
    const auto fail = [&](Status why) {
        plan.discard();
        const Status back = journal.rollBack();
        return back.ok() ? why : Status::failure(why.code(), why.error() + "; " + back.error());
    };
    for (ReadyOriginal &file : plan.ready) {
        if (file.staged.empty()) {
            ++count.putBack;
            continue;
        }
        const std::string name = file.target.substr(gameDirectory.size() + 1);
        if (Status aside = journal.moveAside(name); !aside.ok())
            return fail(aside);
        std::error_code ec;
        renameEntry(file.staged, file.target, ec);
        if (ec)
            return fail(failure("put back", file.target, ec));
        file.staged.clear();
        ++count.putBack;
    }
    for (const std::string &name : plan.removals) {
        if (Status aside = journal.moveAside(name); !aside.ok())
            return fail(
                Status::failure(aside.code(), "cannot remove " + joinPath(gameDirectory, name) + ": " + aside.error()));
        ++count.removed;
    }
    journal.commit();
    return Status::success();
}

} // namespace

Result<RestoreCount> restoreOriginals(const std::string &gameDirectory)
{
    const std::string folder = folderOf(gameDirectory);
    RestoreCount count;
    bool present = false;
    const Result<std::vector<std::string>> added = readAddedList(folder, present);
    if (!added)
        return added.status();

    const std::vector<std::string> gameNames = namesIn(gameDirectory);
    RestorePlan plan;
    std::set<std::string> restored;
    if (Status staged = stageOriginals(folder, gameDirectory, gameNames, plan, count, restored); !staged.ok()) {
        plan.discard();
        return staged;
    }
    plan.removals = addedFilesToRemove(*added, gameDirectory, gameNames, restored, count);
    if (Status applied = applyRestore(gameDirectory, plan, count); !applied.ok())
        return applied;

    // The backup has served; what was left alone stays in the folder.
    for (const ReadyOriginal &file : plan.ready) {
        std::error_code ignored;
        removeEntry(file.kept, ignored);
    }
    std::error_code ec;
    removeEntry(joinPath(folder, kAddedList), ec);
    if (count.skippedEntries.empty())
        removeEntry(folder, ec);
    return count;
}

ReplaceJournal::~ReplaceJournal()
{
    // Neither committed nor rolled back: a failure path forgot it; be safe.
    if (!m_entries.empty())
        (void)rollBack();
}

Status ReplaceJournal::moveAside(const std::string &name)
{
    const std::string path = joinPath(m_directory, name);
    if (entryKind(path) == EntryKind::Missing) {
        m_entries.push_back({name, std::string()});
        return Status::success();
    }
    const Result<std::string> aside = createUniqueFile(m_directory, "." + name + ".old");
    if (!aside)
        return aside.status();
    std::error_code ec;
    renameEntry(path, *aside, ec);
    if (ec) {
        std::error_code ignored;
        removeEntry(*aside, ignored);
        return failure("move", path, ec);
    }
    m_entries.push_back({name, *aside});
    return Status::success();
}

Status ReplaceJournal::rollBack()
{
    std::string failed;
    ErrorCode code = ErrorCode::None;
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry) {
        const std::string path = joinPath(m_directory, entry->name);
        std::error_code ec;
        if (entry->aside.empty())
            removeEntry(path, ec);
        else
            renameEntry(entry->aside, path, ec);
        if (ec) {
            failed += (failed.empty() ? "" : ", ") + path + " (" + reasonText(ec) + ")";
            code = code == ErrorCode::None ? codeOf(ec) : code;
        }
    }
    m_entries.clear();
    if (failed.empty())
        return Status::success();
    return Status::failure(code, "these files could not be put back: " + failed);
}

void ReplaceJournal::commit()
{
    for (const Entry &entry : m_entries) {
        std::error_code ignored;
        if (!entry.aside.empty())
            removeEntry(entry.aside, ignored);
    }
    m_entries.clear();
}

Status putBack(ReplaceJournal &journal, const BackupRecord &record)
{
    const Status back = journal.rollBack();
    if (!back.ok())
        return Status::failure(back.code(), back.error() + "; " + joinPath(record.gameDirectory, kBackupFolder)
                                                + " still holds the game's own files for Restore Original Sounds");
    return undoRecord(record);
}

} // namespace vesk
