#include "applytheme.h"

#include "fileops.h"
#include "files.h"
#include "gamebackup.h"
#include "paths.h"
#include "themefiles.h"

#include <cstdio>

namespace vesk {

namespace {

// A file written under a temporary name, waiting to be renamed into place.
struct Staged
{
    std::string name;      // the game's name for it, as the game directory spells it
    std::string temporary; // where it waits
};

void discard(const std::vector<Staged> &staged)
{
    for (const Staged &file : staged) {
        std::error_code ignored;
        removeEntry(file.temporary, ignored);
    }
}

} // namespace

Status checkSlotFile(int index, const std::string &path)
{
    const std::string slot = slotDescription(index);
    if (path.empty())
        return Status::failure(ErrorCode::NotFound, slot + " has no file chosen");
    std::error_code ec;
    const EntryKind kind = fileStatus(path, ec).kind;
    if (kind == EntryKind::Missing)
        return Status::failure(ErrorCode::NotFound, slot + ": " + path + " does not exist");
    if (kind != EntryKind::File)
        return Status::failure(ErrorCode::NotAFile, slot + ": " + path + " is not a file");
    if (!FilePtr(openFile(path, "rb")))
        return Status::failure(codeFromErrno(errno), slot + ": cannot read " + path + ": " + reasonFromErrno(errno));
    return Status::success();
}

ApplyResult checkApply(const std::string &gameDirectory, const std::vector<SlotPlan> &plan)
{
    ApplyResult result;
    const auto fail = [&result](Status why, std::optional<int> slot = std::nullopt) {
        result.failedSlot = slot;
        result.status = std::move(why);
        return result;
    };
    std::error_code ec;
    if (gameDirectory.empty())
        return fail(Status::failure("no game directory is chosen yet"));
    if (!isFolder(gameDirectory))
        return fail(Status::failure(ErrorCode::NotFound, "the game directory " + gameDirectory + " does not exist"));
    if (Status place = checkNotSystemFolder(gameDirectory); !place.ok())
        return fail(place);
    if (Status writable = probeWritable(gameDirectory); !writable.ok())
        return fail(writable);
    for (const SlotPlan &entry : plan) {
        if (entry.step == SlotPlan::Step::LeaveOut)
            continue;
        if (Status readable = checkSlotFile(entry.slot, entry.source); !readable.ok())
            return fail(readable, entry.slot);
    }
    return result;
}

ApplyResult applyTheme(const std::string &gameDirectory, const std::vector<SlotPlan> &plan,
                       const std::vector<Link> &links, const std::string &quote)
{
    NoProgress unwatched;
    return applyTheme(gameDirectory, plan, links, quote, unwatched);
}

ApplyResult applyTheme(const std::string &gameDirectory, const std::vector<SlotPlan> &plan,
                       const std::vector<Link> &links, const std::string &quote, Progress &progress)
{
    ApplyResult result = checkApply(gameDirectory, plan);
    if (!result.status.ok())
        return result;
    const auto fail = [&result](Status why, std::optional<int> slot) {
        result.failedSlot = slot;
        result.status = std::move(why);
        return result;
    };
    std::error_code ec;

    // 2. Back up what this apply replaces, and note what it adds. A game
    // file keeps the spelling the game directory has for it.
    const std::vector<std::string> present = namesIn(gameDirectory);
    const auto spelled = [&present](const std::string &name) {
        const std::string *spelling = spellingAmong(present, name);
        return spelling ? *spelling : name;
    };
    std::vector<int> chosen;
    std::vector<std::string> names;
    for (const SlotPlan &entry : plan) {
        if (entry.step == SlotPlan::Step::LeaveOut)
            continue;
        chosen.push_back(entry.slot);
        names.push_back(spelled(slotInfo(entry.slot).gameFile));
    }
    names.push_back(spelled("links.txt"));
    Result<BackupRecord> record = recordBeforeReplacing(gameDirectory, names);
    if (!record)
        return fail(record.status(), std::nullopt);

    // 3. Make every file beside its place, then 4. rename each into place.
    std::vector<Staged> staged;
    ReplaceJournal journal(gameDirectory);
    const auto undo = [&](Status why, std::optional<int> slot) {
        discard(staged);
        const Status back = putBack(journal, *record);
        return fail(back.ok() ? why : Status::failure(why.code(), why.error() + "; " + back.error()), slot);
    };
    const auto target = [&](int slot) { return joinPath(gameDirectory, spelled(slotInfo(slot).gameFile)); };
    const Prepared prepared = prepareSounds(plan, target, true, progress);
    for (size_t i = 0; i < prepared.sounds.size(); ++i)
        staged.push_back({names[i], prepared.sounds[i].file});
    if (!prepared.status.ok())
        return undo(prepared.status, prepared.failedSlot);
    for (size_t i = 0; i < prepared.sounds.size(); ++i) {
        if (const std::error_code moded = giveNewFileMode(staged[i].temporary, target(chosen[i])))
            return undo(Status::failure(codeOf(moded), slotDescription(chosen[i]) + " could not be put into "
                                                           + target(chosen[i]) + ": " + reasonText(moded)),
                        chosen[i]);
    }
    const std::string linksTarget = joinPath(gameDirectory, names.back());
    Result<std::string> linksFile = createUniqueFile(gameDirectory, "." + names.back() + ".new");
    if (!linksFile)
        return undo(linksFile.status(), std::nullopt);
    staged.push_back({names.back(), *linksFile});
    if (Status written = writeLinksFile(*linksFile, links, quote, linksTarget); !written.ok())
        return undo(written, std::nullopt);
    if (const std::error_code moded = giveNewFileMode(*linksFile, linksTarget))
        return undo(Status::failure(codeOf(moded), "cannot write " + linksTarget + ": " + reasonText(moded)),
                    std::nullopt);

    for (size_t i = 0; i < staged.size(); ++i) {
        const std::string place = joinPath(gameDirectory, staged[i].name);
        if (Status aside = journal.moveAside(staged[i].name); !aside.ok())
            return undo(aside, i < chosen.size() ? std::optional<int>(chosen[i]) : std::nullopt);
        renameEntry(staged[i].temporary, place, ec);
        if (ec)
            return undo(Status::failure(codeOf(ec), "cannot move the new " + staged[i].name + " into place in "
                                                        + gameDirectory + ": " + reasonText(ec)),
                        i < chosen.size() ? std::optional<int>(chosen[i]) : std::nullopt);
    }
    journal.commit();
    result.copied = static_cast<int>(chosen.size());
    result.summary = conversionSummary(plan, prepared);
    return result;
}

} // namespace vesk
