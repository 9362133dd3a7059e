#include "packagebuild.h"

#include "fileops.h"
#include "files.h"
#include "gamebackup.h"
#include "onefile.h"
#include "packagesums.h"
#include "paths.h"
#include "settingslocation.h"
#include "themefiles.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace vesk {

namespace fs = std::filesystem;

namespace {

Status copyInto(const std::string &source, const std::string &target, const std::string &what)
{
    std::error_code ec;
    if (source.empty())
        return Status::failure(ErrorCode::NotFound, what + " has no file chosen");
    // Building again into the same folder may name the folder's own copy.
    if (sameFile(source, target, ec))
        return Status::success();
    // Only a regular file is copied: a FIFO would stall the copy, a device never end it.
    const EntryKind kind = fileStatus(source, ec).kind;
    if (kind != EntryKind::Missing && kind != EntryKind::File)
        return Status::failure(ErrorCode::NotAFile, "cannot read " + what + " " + source + ": it is not a file");
    copyFileReplacing(source, target, ec);
    if (!ec)
        return Status::success();
    std::error_code ignored;
    if (fileStatus(source, ignored).kind == EntryKind::Missing)
        return Status::failure(codeOf(ec), "cannot read " + what + " " + source + ": " + reasonText(ec));
    return Status::failure(codeOf(ec), "cannot copy " + what + " " + source + " to " + target + ": " + reasonText(ec));
}

} // namespace

std::optional<std::string> oneFilePlace(const std::string &packageDirectory)
{
    fs::path folder = fsPath(packageDirectory);
    while (!folder.empty() && !folder.has_filename() && folder.has_relative_path())
        folder = folder.parent_path();
    const std::string name = folder.filename().u8string();
    // A share (\\server\share) is the root of its own file system.
    const std::string text = folder.u8string();
    const bool share = kSeparator == '\\' && text.size() > 2 && (text[0] == '\\' || text[0] == '/')
                       && text[1] == text[0]
                       && text.find_first_of("\\/", text.find_first_of("\\/", 2) + 1) == std::string::npos;
    if (name.empty() || name == "." || name == ".." || !folder.has_parent_path() || folder.parent_path() == folder
        || share)
        return std::nullopt;
    return joinPath(folder.parent_path().u8string(), name + ".exe");
}

// The one file beside a package folder, written while the folder's files are
// summed. Where it cannot be made, or fails on the way, the package folder
// is still built and the result says why there is no one file.
class OneFileDraft
{
public:
    OneFileDraft(const std::string &dir, const std::string &installer, PackageResult &result) : m_result(result)
    {
        const std::optional<std::string> place = oneFilePlace(dir);
        if (!place) {
            result.oneFileProblem = dir + " has no parent folder to hold it";
            return;
        }
        if (entryKind(*place) != EntryKind::Missing && !hasOneFileTrailer(*place)) {
            result.oneFileProblem = *place + " already exists and is no one-file theme package, so it was left alone";
            return;
        }
        const Result<std::string> made
            = createUniqueFile(fsPath(*place).parent_path().u8string(), fsPath(*place).filename().u8string() + ".");
        if (!made) {
            result.oneFileProblem = made.error();
            return;
        }
        m_temporary = *made;
        Result<std::unique_ptr<OneFileWriter>> started = OneFileWriter::start(m_temporary, installer);
        if (!started) {
            drop(started.error());
            return;
        }
        m_writer = std::move(*started);
        m_place = *place;
    }
    ~OneFileDraft() { drop(std::string()); }
    OneFileDraft(const OneFileDraft &) = delete;
    OneFileDraft &operator=(const OneFileDraft &) = delete;

    OneFileWriter *writer() const { return m_writer.get(); }

    // No one file after all; an empty `why` keeps the reason given before.
    void drop(const std::string &why)
    {
        m_writer.reset();
        if (!m_temporary.empty()) {
            std::error_code ignored;
            removeEntry(m_temporary, ignored);
            m_temporary.clear();
        }
        if (!why.empty())
            m_result.oneFileProblem = why;
    }

    // The sums added last; the file made a program and put in its place.
    void finish(const std::string &sums)
    {
        if (!m_writer)
            return;
        const Result<Sha256Digest> added = m_writer->addBytes(kSumsFile, sums);
        Status finished = added ? m_writer->finish() : added.status();
        const std::uint64_t size = m_writer->size();
        if (finished.ok())
            finished = makeProgram(m_temporary, m_place);
        if (finished.ok()) {
            std::error_code renamed;
            renameEntry(m_temporary, m_place, renamed);
            if (renamed)
                finished = cannotWrite(m_place, renamed);
        }
        if (!finished.ok()) {
            drop(finished.error());
            return;
        }
        m_writer.reset();
        m_temporary.clear();
        m_result.oneFile = m_place;
        m_result.oneFileSize = size;
    }

private:
    // A one-file package starts where it is saved: it is a program.
    static Status makeProgram(const std::string &file, const std::string &shownAs)
    {
        std::error_code ec;
        fs::permissions(fsPath(file),
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::owner_exec | fs::perms::group_read
                            | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec,
                        ec);
        return ec ? cannotWrite(shownAs, ec) : Status::success();
    }

    PackageResult &m_result;
    std::unique_ptr<OneFileWriter> m_writer;
    std::string m_temporary, m_place;
};

// Once the files are in place only the one file may be cancelled.
class Uncancelled final : public Progress
{
public:
    explicit Uncancelled(Progress &whole) : m_whole(whole) {}
    bool advance(const std::string &file, double done) override
    {
        static_cast<void>(m_whole.advance(file, done));
        return true;
    }

private:
    Progress &m_whole;
};

// The package folder's checksums, and its one file written on the way.
Status sealPackage(const std::string &dir, const std::vector<std::string> &names, const std::string &installer,
                   Progress &progress, PackageResult &result)
{
    double total = 0;
    for (const std::string &name : names) {
        std::error_code unknown; // a file that cannot be measured counts as empty here
        total += static_cast<double>(fileSize(joinPath(dir, name), unknown));
    }
    OneFileDraft oneFile(dir, installer, result);
    Uncancelled uncancelled(progress);
    std::vector<FileSum> sums;
    double before = 0;
    for (const std::string &name : names) {
        const std::string path = joinPath(dir, name);
        std::error_code unknown;
        const double size = static_cast<double>(fileSize(path, unknown));
        const double from = total > 0 ? before / total : 0, share = total > 0 ? size / total : 0;
        HashProgress cancellable{progress, path, from, share};
        HashProgress steady{uncancelled, path, from, share};
        Result<Sha256Digest> digest
            = oneFile.writer() ? oneFile.writer()->add(name, path, &cancellable) : sha256OfFile(path, &steady);
        if (!digest && oneFile.writer() && entryKind(path) == EntryKind::File) {
            // A cancel, or a one file that cannot take more (a full disk
            // there), ends only the one file: the folder still gets its
            // checksums, so that it never keeps those of an earlier build.
            oneFile.drop(digest.code() == ErrorCode::Cancelled ? "it was cancelled" : digest.error());
            digest = sha256OfFile(path, &steady);
        }
        if (!digest)
            return digest.status();
        // The installer checks the package, not itself: one put in its place
        // (the Linux installer copied in as install.exe) leaves it whole.
        if (!sameFileName(name, kPackageProgram))
            sums.push_back({name, *digest});
        before += size;
    }
    const std::string text = sumsText(sums);
    const Status wrote = writeFile(joinPath(dir, kSumsFile), text);
    if (!wrote.ok())
        return wrote;
    oneFile.finish(text);
    return Status::success();
}

std::optional<std::string> installerBesideEditor(const std::string &editorDirectory)
{
    std::error_code ec;
    const std::string candidates[] = {joinPath(editorDirectory, kWindowsInstaller),
                                      joinPath(installedDataDirectory(editorDirectory), kWindowsInstaller),
                                      joinPath(editorDirectory, kInstallerProgram)};
    for (const std::string &path : candidates) {
        if (isFile(path))
            return path;
    }
    return std::nullopt;
}

namespace {

// theme.cfg's values in the order of its lines, then the picture.
constexpr std::array<const char *, ThemeDescription::kFieldCount + 1> kDescriptionBoxes
    = {"creatorNameBox",      "emailBox",     "webPageBox",    "fontSizeBox", "fontColourBox",
       "backgroundColourBox", "themeNameBox", "picturePathBox"};

} // namespace

std::vector<std::pair<const char *, std::string>> descriptionBoxes(const PackageDescription &description)
{
    std::vector<std::pair<const char *, std::string>> boxes;
    const auto values = description.theme.fields();
    for (size_t i = 0; i < values.size(); ++i)
        boxes.emplace_back(kDescriptionBoxes[i], *values[i]);
    boxes.emplace_back(kDescriptionBoxes.back(), description.picture);
    return boxes;
}

PackageDescription packageDescription(const PackageFields &field, std::string folder)
{
    PackageDescription description;
    const auto values = description.theme.fields();
    for (size_t i = 0; i < values.size(); ++i)
        *values[i] = field(kDescriptionBoxes[i]);
    description.picture = field(kDescriptionBoxes.back());
    description.folder = std::move(folder);
    return description;
}

PackageInput packageInput(const PackageFields &field, std::string packageDirectory, std::string editorDirectory,
                          const Project &project, const std::optional<std::string> &gameDirectory)
{
    PackageInput input;
    PackageDescription description = packageDescription(field, std::string());
    input.theme = std::move(description.theme);
    input.picture = std::move(description.picture);
    input.packageDirectory = std::move(packageDirectory);
    input.editorDirectory = std::move(editorDirectory);
    input.slots = project.slots;
    input.edits = project.edits;
    input.gameDirectory = gameDirectory;
    return input;
}

Status checkPackagePlace(const PackageInput &input)
{
    const std::string &dir = input.packageDirectory;
    std::error_code ec;
    if (input.gameDirectory && sameFile(dir, *input.gameDirectory, ec))
        return Status::failure(ErrorCode::Invalid, dir
                                                       + " is the game directory; a package built there would "
                                                         "overwrite the game's own sounds. Choose an empty folder");
    if (entryKind(joinPath(dir, kBackupFolder)) != EntryKind::Missing)
        return Status::failure(ErrorCode::Invalid, dir + " holds " + kBackupFolder
                                                       + ", so it is a game directory; a package built there would "
                                                         "overwrite the game's own sounds. Choose an empty folder");
    return Status::success();
}

Status checkPackageInput(const PackageInput &input)
{
    if (input.picture.empty())
        return Status::failure("no background picture was chosen");
    if (!installerBesideEditor(input.editorDirectory))
        return Status::failure(ErrorCode::NotFound, std::string(kWindowsInstaller) + " not found beside the editor ("
                                                        + joinPath(input.editorDirectory, kWindowsInstaller) + ")");
    return Status::success();
}

std::vector<StrayFile> strayFiles(const PackageInput &input)
{
    std::vector<StrayFile> stray;
    const bool builtBefore = readThemeDescription(joinPath(input.packageDirectory, kThemeDescription)).ok();
    std::error_code ec;
    for (const DirectoryEntry &entry : listDirectory(input.packageDirectory, ec)) {
        const std::string &name = entry.name;
        if (!isFile(joinPath(input.packageDirectory, name)))
            continue;
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
    if (step.ok())
        step = checkPackageInput(input);
    if (!step.ok())
        return fail(step);
    const auto target = [&dir](int slot) { return joinPath(dir, slotInfo(slot).gameFile); };
    // Converting takes the first part of the bar, the checksums the rest.
    const bool converting
        = std::any_of(plan.begin(), plan.end(), [](const SlotPlan &p) { return p.step == SlotPlan::Step::Convert; });
    PartProgress conversions(progress, 0, 0.6);
    const Prepared prepared = prepareSounds(plan, target, false, conversions);
    if (!prepared.status.ok())
        return fail(prepared.status, prepared.failedSlot);
    // What is not moved into place below is not left behind.
    struct Leftovers
    {
        const Prepared &prepared;
        ~Leftovers() { discard(prepared); }
    } leftovers{prepared};

    step = writeThemeDescription(joinPath(dir, kThemeDescription), input.theme);
    if (!step.ok())
        return fail(step);

    step = copyInto(input.picture, joinPath(dir, kPackagePicture), "the background picture");
    if (!step.ok())
        return fail(step);

    const std::optional<std::string> installer = installerBesideEditor(input.editorDirectory);
    if (!installer) // gone since it was checked
        return fail(
            Status::failure(ErrorCode::NotFound, std::string(kWindowsInstaller) + " not found beside the editor"));
    const std::string installCopy = joinPath(dir, kPackageProgram);
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

    std::vector<std::string> sealed = {kThemeDescription, kPackagePicture, kPackageProgram};
    for (const SlotPlan &entry : plan) {
        const std::string place = target(entry.slot);
        if (entry.step != SlotPlan::Step::LeaveOut)
            sealed.push_back(slotInfo(entry.slot).gameFile);
        if (entry.step == SlotPlan::Step::Copy) {
            step = copyInto(entry.source, place, "the sound of " + slotDescription(entry.slot));
        } else if (entry.step == SlotPlan::Step::Convert) {
            const auto sound = std::find_if(prepared.sounds.begin(), prepared.sounds.end(),
                                            [&entry](const PreparedSound &s) { return s.slot == entry.slot; });
            std::error_code moded = giveNewFileMode(sound->file, place);
            if (!moded)
                renameEntry(sound->file, place, moded);
            step = moded ? Status::failure(codeOf(moded), "cannot move the converted sound of "
                                                              + slotDescription(entry.slot) + " into place as " + place
                                                              + ": " + reasonText(moded))
                         : Status::success();
        }
        if (!step.ok())
            return fail(step, entry.slot);
    }
    PartProgress sealing(progress, converting ? 0.6 : 0, converting ? 0.4 : 1);
    step = sealPackage(dir, sealed, *installer, sealing, result);
    if (!step.ok())
        return fail(step);
    result.summary = conversionSummary(plan, prepared);
    return result;
}

} // namespace vesk
