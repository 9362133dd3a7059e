#include "applytheme.h"

#include "gamebackup.h"
#include "paths.h"
#include "textfile.h"

#include <cstdio>
#include <filesystem>
#include <random>

namespace vesk {

namespace fs = std::filesystem;

namespace {

// A file written under a temporary name, waiting to be renamed into place.
struct Staged
{
    std::string name;      // the game's name for it
    std::string temporary; // where it waits
};

// A copy of `source` in `directory` under a fresh name beginning with `stem`;
// the copy refuses a name that is taken, so nothing is overwritten.
Result<std::string> copyToUniqueName(const std::string &source, const std::string &directory, const std::string &stem)
{
    static std::mt19937 random(std::random_device{}());
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = joinPath(directory, stem + std::to_string(random() % 1000000000u));
        if (fs::copy_file(fs::path(source), fs::path(candidate), fs::copy_options::none, ec))
            return candidate;
        if (ec != std::errc::file_exists)
            break;
    }
    return Status::failure(codeOf(ec), reasonText(ec));
}

void discard(const std::vector<Staged> &staged)
{
    for (const Staged &file : staged) {
        std::error_code ignored;
        fs::remove(fs::path(file.temporary), ignored);
    }
}

} // namespace

Status checkSlotFile(int index, const std::string &path)
{
    const std::string slot = slotDescription(index);
    if (path.empty())
        return Status::failure(ErrorCode::NotFound, slot + " has no file chosen");
    std::error_code ec;
    const fs::file_status status = fs::status(fs::path(path), ec);
    if (!fs::exists(status))
        return Status::failure(ErrorCode::NotFound, slot + ": " + path + " does not exist");
    if (!fs::is_regular_file(status))
        return Status::failure(ErrorCode::NotAFile, slot + ": " + path + " is not a file");
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return Status::failure(codeFromErrno(errno), slot + ": cannot read " + path + ": " + reasonFromErrno(errno));
    std::fclose(file);
    return Status::success();
}

ApplyResult checkApply(const std::string &gameDirectory, const SlotValues &slots)
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
    if (!fs::is_directory(fs::path(gameDirectory), ec))
        return fail(Status::failure(ErrorCode::NotFound, "the game directory " + gameDirectory + " does not exist"));
    if (Status writable = probeWritable(gameDirectory); !writable.ok())
        return fail(writable);
    for (int k = 1; k <= kSlotCount; ++k) {
        const std::string &source = slots[static_cast<size_t>(k - 1)];
        if (isEmptySlot(source))
            continue;
        if (Status readable = checkSlotFile(k, source); !readable.ok())
            return fail(readable, k);
    }
    return result;
}

ApplyResult applyTheme(const std::string &gameDirectory, const SlotValues &slots, const std::vector<Link> &links,
                       const std::string &quote)
{
    ApplyResult result = checkApply(gameDirectory, slots);
    if (!result.status.ok())
        return result;
    const auto fail = [&result](Status why, std::optional<int> slot) {
        result.failedSlot = slot;
        result.status = std::move(why);
        return result;
    };
    std::error_code ec;
    std::vector<int> chosen;
    for (int k = 1; k <= kSlotCount; ++k) {
        if (!isEmptySlot(slots[static_cast<size_t>(k - 1)]))
            chosen.push_back(k);
    }

    // 2. Back up what this apply replaces, and note what it adds.
    std::vector<std::string> names;
    for (int k : chosen)
        names.push_back(slotInfo(k).gameFile);
    names.push_back("links.txt");
    Result<BackupRecord> record = recordBeforeReplacing(gameDirectory, names);
    if (!record)
        return fail(record.status(), std::nullopt);

    // 3. Stage every file beside its place, then 4. rename each into place.
    std::vector<Staged> staged;
    ReplaceJournal journal(gameDirectory);
    const auto undo = [&](Status why, std::optional<int> slot) {
        discard(staged);
        journal.rollBack();
        undoRecord(*record);
        return fail(std::move(why), slot);
    };
    for (int k : chosen) {
        const std::string &source = slots[static_cast<size_t>(k - 1)];
        const std::string name = slotInfo(k).gameFile;
        // Copied straight to a fresh name: no file is made first and then
        // truncated, which would make the file system flush it on close.
        Result<std::string> temporary = copyToUniqueName(source, gameDirectory, "." + name + ".new");
        if (!temporary)
            return undo(Status::failure(temporary.code(), slotDescription(k) + " could not be copied from " + source
                                                              + " to " + joinPath(gameDirectory, name) + ": "
                                                              + temporary.error()),
                        k);
        staged.push_back({name, *temporary});
    }
    Result<std::string> linksFile = createUniqueFile(gameDirectory, ".links.txt.new");
    if (!linksFile)
        return undo(linksFile.status(), std::nullopt);
    staged.push_back({"links.txt", *linksFile});
    if (Status written = writeLinksFile(*linksFile, links, quote); !written.ok())
        return undo(Status::failure(written.code(), "cannot write " + joinPath(gameDirectory, "links.txt")),
                    std::nullopt);

    for (size_t i = 0; i < staged.size(); ++i) {
        const std::string target = joinPath(gameDirectory, staged[i].name);
        if (Status aside = journal.moveAside(staged[i].name); !aside.ok())
            return undo(aside, i < chosen.size() ? std::optional<int>(chosen[i]) : std::nullopt);
        fs::rename(fs::path(staged[i].temporary), fs::path(target), ec);
        if (ec)
            return undo(Status::failure(codeOf(ec), "cannot put " + target + " into place: " + reasonText(ec)),
                        i < chosen.size() ? std::optional<int>(chosen[i]) : std::nullopt);
    }
    journal.commit();
    result.copied = static_cast<int>(chosen.size());
    return result;
}

} // namespace vesk
