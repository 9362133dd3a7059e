#include "packagebuild.h"

#include "gamebackup.h"
#include "paths.h"
#include "settingslocation.h"
#include "textfile.h"
#include "themefiles.h"

#include <algorithm>

#include <filesystem>

namespace vesk {

namespace fs = std::filesystem;

namespace {

Status copyInto(const std::string &source, const std::string &target, const std::string &what)
{
    std::error_code ec;
    if (source.empty())
        return Status::failure(ErrorCode::NotFound, what + " has no file chosen");
    // Building again into the same folder may name the folder's own copy.
    if (fs::equivalent(fsPath(source), fsPath(target), ec))
        return Status::success();
    // Only a regular file is copied: a FIFO would stall the copy, a device never end it.
    if (fs::exists(fsPath(source), ec) && !fs::is_regular_file(fsPath(source), ec))
        return Status::failure(ErrorCode::NotAFile, "cannot read " + what + " " + source + ": it is not a file");
    copyFileReplacing(source, target, ec);
    if (!ec)
        return Status::success();
    if (!fs::exists(fsPath(source)))
        return Status::failure(codeOf(ec), "cannot read " + what + " " + source + ": " + reasonText(ec));
    return Status::failure(codeOf(ec), "cannot copy " + what + " " + source + " to " + target + ": " + reasonText(ec));
}

} // namespace

std::optional<std::string> installerBesideEditor(const std::string &editorDirectory)
{
    std::error_code ec;
    const std::string candidates[] = {joinPath(editorDirectory, kWindowsInstaller),
                                      joinPath(installedDataDirectory(editorDirectory), kWindowsInstaller),
                                      joinPath(editorDirectory, kInstallerProgram)};
    for (const std::string &path : candidates) {
        if (fs::is_regular_file(fsPath(path), ec))
            return path;
    }
    return std::nullopt;
}

Status checkPackagePlace(const PackageInput &input)
{
    const std::string &dir = input.packageDirectory;
    std::error_code ec;
    if (input.gameDirectory && fs::equivalent(fsPath(dir), fsPath(*input.gameDirectory), ec))
        return Status::failure(ErrorCode::Invalid, dir
                                                       + " is the game directory; a package built there would "
                                                         "overwrite the game's own sounds. Choose an empty folder");
    if (entryKind(joinPath(dir, kBackupFolder)) != EntryKind::Missing)
        return Status::failure(ErrorCode::Invalid, dir + " holds " + kBackupFolder
                                                       + ", so it is a game directory; a package built there would "
                                                         "overwrite the game's own sounds. Choose an empty folder");
    return Status::success();
}

std::vector<StrayFile> strayFiles(const PackageInput &input)
{
    std::vector<StrayFile> stray;
    const bool builtBefore = readThemeDescription(joinPath(input.packageDirectory, "theme.cfg")).ok();
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(fsPath(input.packageDirectory), ec)) {
        std::error_code fileError;
        if (!entry.is_regular_file(fileError))
            continue;
        const std::string name = entry.path().filename().string();
        const auto same = [&name](const char *known) { return sameFileName(name, known); };
        if (std::any_of(kPackageOwnFiles.begin(), kPackageOwnFiles.end(), same) || same(kInstallBatch))
            continue;
        bool written = false, sound = false;
        for (int k = 1; k <= kSlotCount; ++k) {
            if (same(slotInfo(k).gameFile)) {
                sound = true;
                written = !isEmptySlot(input.slots[static_cast<size_t>(k - 1)]);
            }
        }
        if (!written)
            stray.push_back({name, sound && builtBefore});
    }
    std::sort(stray.begin(), stray.end(), [](const StrayFile &a, const StrayFile &b) { return a.name < b.name; });
    return stray;
}

PackageResult buildPackage(const PackageInput &input, const std::vector<SlotPlan> &plan)
{
    NoProgress unwatched;
    return buildPackage(input, plan, unwatched);
}

PackageResult buildPackage(const PackageInput &input, const std::vector<SlotPlan> &plan, Progress &progress)
{
    PackageResult result;
    const auto fail = [&result](Status why, std::optional<int> slot = std::nullopt) {
        result.status = std::move(why);
        result.failedSlot = slot;
        return result;
    };
    const std::string &dir = input.packageDirectory;
    if (dir.empty())
        return fail(Status::failure("no package directory was chosen"));
    Status step = checkPackagePlace(input);
    if (!step.ok())
        return fail(step);
    const auto target = [&dir](int slot) { return joinPath(dir, slotInfo(slot).gameFile); };
    const Prepared prepared = prepareSounds(plan, target, false, progress);
    if (!prepared.status.ok())
        return fail(prepared.status, prepared.failedSlot);
    // What is not moved into place below is not left behind.
    struct Leftovers
    {
        const Prepared &prepared;
        ~Leftovers() { discard(prepared); }
    } leftovers{prepared};

    step = writeThemeDescription(joinPath(dir, "theme.cfg"), input.theme);
    if (!step.ok())
        return fail(step);

    if (input.picture.empty())
        return fail(Status::failure("no background picture was chosen"));
    step = copyInto(input.picture, joinPath(dir, "bgimage.jpg"), "the background picture");
    if (!step.ok())
        return fail(step);

    const std::optional<std::string> installer = installerBesideEditor(input.editorDirectory);
    if (!installer)
        return fail(
            Status::failure(ErrorCode::NotFound, std::string(kWindowsInstaller) + " not found beside the editor ("
                                                     + joinPath(input.editorDirectory, kWindowsInstaller) + ")"));
    const std::string installCopy = joinPath(dir, "install.exe");
    std::error_code ec;
    step = copyInto(*installer, installCopy, "the installer");
    if (!step.ok())
        return fail(step);
#ifndef _WIN32
    // A copy over an older install.exe keeps that file's mode; the package
    // must start wherever it is unpacked.
    fs::permissions(fsPath(installCopy),
                    fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec | fs::perms::owner_read,
                    fs::perm_options::add, ec);
#endif

    for (const SlotPlan &entry : plan) {
        const std::string place = target(entry.slot);
        if (entry.step == SlotPlan::Step::Copy) {
            step = copyInto(entry.source, place, "the sound of " + slotDescription(entry.slot));
        } else if (entry.step == SlotPlan::Step::Convert) {
            const auto sound = std::find_if(prepared.sounds.begin(), prepared.sounds.end(),
                                            [&entry](const PreparedSound &s) { return s.slot == entry.slot; });
            std::error_code moded = giveNewFileMode(sound->file, place);
            if (!moded)
                fs::rename(fsPath(sound->file), fsPath(place), moded);
            step = moded ? Status::failure(codeOf(moded), "cannot move the converted sound of "
                                                              + slotDescription(entry.slot) + " into place as " + place
                                                              + ": " + reasonText(moded))
                         : Status::success();
        }
        if (!step.ok())
            return fail(step, entry.slot);
    }
    result.summary = conversionSummary(plan, prepared);
    return result;
}

} // namespace vesk
