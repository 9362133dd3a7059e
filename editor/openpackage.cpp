#include "openpackage.h"

#include "fileops.h"
#include "files.h"
#include "onefile.h"
#include "packagesums.h"
#include "paths.h"
#include "texttools.h"
#include "themedescription.h"
#include "themefiles.h"

#include <algorithm>

namespace vesk {

namespace {

std::string withoutTrailingSeparator(std::string path)
{
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

std::string ownName(const std::string &path)
{
    const std::string whole = withoutTrailingSeparator(path);
    return whole.substr(fileNameStart(whole));
}

std::string folderOf(const std::string &path)
{
    const size_t start = fileNameStart(path);
    if (start == 0)
        return ".";
    return path.substr(0, start > 1 ? start - 1 : start);
}

bool holdsPackageFiles(const std::vector<std::string> &names)
{
    return spellingAmong(names, kThemeDescription) || spellingAmong(names, kSumsFile);
}

Status notAPackage(const std::string &path)
{
    return Status::failure(ErrorCode::BadFormat,
                           path
                               + " is no theme package: choose the theme.cfg of a package folder, a package made"
                                 " into one file (NAME.exe), or the game directory");
}

// A name Windows takes for a folder: no character it refuses, no trailing
// dot or blank, no device name.
std::string windowsFolderName(std::string name)
{
    for (char &c : name) {
        if (static_cast<unsigned char>(c) < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            c = '_';
    }
    name = storedName(name);
    if (name.empty() || !isPlainName(name))
        name = "_" + name;
    return name;
}

} // namespace

Result<PackagePlace> packageAt(const std::string &path)
{
    const EntryKind kind = entryKind(path);
    if (kind == EntryKind::Missing)
        return Status::failure(ErrorCode::NotFound, path + " does not exist");
    if (kind == EntryKind::Folder) {
        const std::vector<std::string> names = namesIn(path);
        if (holdsPackageFiles(names))
            return PackagePlace{PackageKind::Folder, path};
        if (holdsGameSounds(path))
            return PackagePlace{PackageKind::Game, path};
        return Status::failure(ErrorCode::BadFormat, path
                                                         + " is no theme package: it holds no theme.cfg and none of"
                                                           " Kestrova's sound files");
    }
    if (kind != EntryKind::File)
        return notAPackage(path);
    const std::string folder = folderOf(path);
    if (sameFileName(storedName(ownName(path)), kThemeDescription))
        return PackagePlace{PackageKind::Folder, folder};
    const Result<std::optional<OneFileIndex>> index = readOneFileIndex(path);
    if (!index)
        return Status::failure(index.code(), index.code() == ErrorCode::BadFormat
                                                 ? damagedMessage(ownName(path), index.error())
                                                 : sentence(index.error()));
    if (*index)
        return PackagePlace{PackageKind::OneFile, path};
    // The game's program, or one of its sounds, stands for its directory;
    // a sound of a package folder for that package.
    if (holdsPackageFiles(namesIn(folder)))
        return PackagePlace{PackageKind::Folder, folder};
    if (holdsGameSounds(folder))
        return PackagePlace{PackageKind::Game, folder};
    return notAPackage(path);
}

bool isPackagePath(const std::string &path)
{
    const EntryKind kind = entryKind(path);
    return kind == EntryKind::Folder
           || (kind == EntryKind::File
               && (sameFileName(storedName(ownName(path)), kThemeDescription) || hasOneFileTrailer(path)));
}

Result<OpenedPackage> OpenedPackage::open(const PackagePlace &place, Progress &progress)
{
    const auto refused = [](const Status &why, const std::string &shown) {
        const bool damaged = why.code() == ErrorCode::BadFormat || why.code() == ErrorCode::NotFound;
        return Status::failure(why.code(), damaged ? damagedMessage(shown, why.error()) : sentence(why.error()));
    };
    if (place.kind == PackageKind::OneFile) {
        const Result<std::optional<OneFileIndex>> index = readOneFileIndex(place.path);
        if (!index || !*index)
            return refused(index ? Status::failure(ErrorCode::BadFormat, "it holds no package") : index.status(),
                           ownName(place.path));
        Result<std::string> folder = makePrivateFolder("vesk");
        if (!folder)
            return refused(folder.status(), ownName(place.path));
        OpenedPackage package(place, *folder);
        const Status unpacked = extractOneFile(place.path, **index, *folder, progress);
        if (!unpacked.ok())
            return refused(unpacked, ownName(place.path));
        package.readFolder(*folder);
        std::vector<std::pair<std::string, Sha256Digest>> sums;
        for (const OneFileEntry &entry : (*index)->entries)
            sums.emplace_back(entry.name, entry.digest);
        package.takeDigests(sums);
        return package;
    }
    OpenedPackage package(place, std::string());
    if (place.kind == PackageKind::Folder) {
        if (const std::optional<std::string> why = refusedContents(inspectPackage(place.path), "opened"))
            return Status::failure(ErrorCode::Invalid, *why);
        const Status checked = checkPackageSums(place.path, progress);
        if (!checked.ok())
            return refused(checked, "The theme package");
    }
    package.readFolder(place.path);
    // The sums were checked just now against the files' bytes.
    const std::vector<std::string> names = namesIn(place.path);
    if (const std::string *sumsName = spellingAmong(names, kSumsFile); sumsName && place.kind == PackageKind::Folder) {
        if (const Result<std::string> text
            = readFile(joinPath(place.path, *sumsName), kSmallFileLimit, Overflow::Refuse)) {
            if (const Result<std::vector<FileSum>> sums = parseSums(*text)) {
                std::vector<std::pair<std::string, Sha256Digest>> digests;
                for (const FileSum &sum : *sums)
                    digests.emplace_back(sum.name, sum.digest);
                package.takeDigests(digests);
            }
        }
    }
    if (place.kind == PackageKind::Game)
        package.m_description.reset();
    if (std::none_of(package.m_sounds.begin(), package.m_sounds.end(), [](const auto &s) { return s.has_value(); }))
        return Status::failure(ErrorCode::BadFormat, place.path + " holds none of Kestrova's sound files");
    return package;
}

void OpenedPackage::readFolder(const std::string &folder)
{
    std::error_code ec;
    std::vector<std::string> files;
    for (const DirectoryEntry &entry : listDirectory(folder, ec))
        if (entry.kind == EntryKind::File)
            files.push_back(entry.name);
    std::sort(files.begin(), files.end());
    for (int k = 1; k <= kSlotCount; ++k)
        if (const std::string *name = spellingAmong(files, kGameSoundFiles[static_cast<size_t>(k - 1)]))
            m_sounds[static_cast<size_t>(k - 1)] = joinPath(folder, *name);
    if (const std::string *name = spellingAmong(files, kPackagePicture))
        m_picture = joinPath(folder, *name);
    if (const std::string *name = spellingAmong(files, kThemeDescription)) {
        if (const Result<ThemeReading> read = readThemeDescription(joinPath(folder, *name)))
            m_description = read->theme;
    }
}

void OpenedPackage::takeDigests(const std::vector<std::pair<std::string, Sha256Digest>> &sums)
{
    for (int k = 1; k <= kSlotCount; ++k) {
        const std::optional<std::string> &sound = m_sounds[static_cast<size_t>(k - 1)];
        if (!sound)
            continue;
        const std::string name = sound->substr(fileNameStart(*sound));
        for (const auto &[file, digest] : sums)
            if (file == name)
                m_digests[static_cast<size_t>(k - 1)] = digest;
    }
}

OpenedPackage::~OpenedPackage()
{
    if (!m_unpacked.empty()) {
        std::error_code ec;
        removeTree(m_unpacked, ec);
    }
}

OpenedPackage::OpenedPackage(OpenedPackage &&other) noexcept
    : m_place(std::move(other.m_place)), m_unpacked(std::move(other.m_unpacked)), m_sounds(std::move(other.m_sounds)),
      m_digests(other.m_digests), m_picture(std::move(other.m_picture)), m_description(std::move(other.m_description))
{
    other.m_unpacked.clear();
}

const std::optional<std::string> &OpenedPackage::sound(int index) const
{
    return m_sounds.at(static_cast<size_t>(index - 1));
}

const std::optional<Sha256Digest> &OpenedPackage::digest(int index) const
{
    return m_digests.at(static_cast<size_t>(index - 1));
}

std::string OpenedPackage::name() const
{
    if (m_description) {
        const std::string &name = m_description->themename;
        const size_t first = name.find_first_not_of(' ');
        if (first != std::string::npos)
            return name.substr(first, name.find_last_not_of(' ') + 1 - first);
    }
    if (m_place.kind == PackageKind::Game)
        return "Kestrova";
    std::string own = ownName(m_place.path);
    if (m_place.kind == PackageKind::OneFile && endsWithIgnoringAsciiCase(own, ".exe"))
        own.resize(own.size() - 4);
    return own;
}

std::string proposedSoundsFolder(const OpenedPackage &package)
{
    const std::string beside = folderOf(withoutTrailingSeparator(package.place().path));
    return joinPath(beside, windowsFolderName(package.name() + " sounds"));
}

std::string proposedProjectFile(const OpenedPackage &package, const std::string &folder)
{
    return joinPath(folder, windowsFolderName(package.name() + ".vsk"));
}

std::string slotSoundName(int index)
{
    return slotName(index) + ".wav";
}

std::vector<std::string> entriesIn(const std::string &folder)
{
    std::error_code ec;
    std::vector<std::string> names;
    for (const DirectoryEntry &entry : listDirectory(folder, ec))
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

Status copyInto(const std::vector<FileCopy> &copies, const std::string &folder, Progress &progress)
{
    // A new folder is made and filled, and goes again on a failure. Into a
    // folder that is there the copies go first into a private folder inside
    // it, and are then renamed into place, each file they replace moved
    // aside first so that a failure can put it back.
    std::error_code ec;
    const EntryKind kind = entryKind(folder);
    if (kind != EntryKind::Missing && kind != EntryKind::Folder)
        return Status::failure(ErrorCode::Invalid, folder + " is no folder");
    const bool fresh = kind == EntryKind::Missing;
    std::string staging = folder;
    if (fresh) {
        makeDirectory(folder, ec);
        if (ec)
            return Status::failure("cannot make the folder " + folder + ": " + ec.message());
    } else {
        const Result<std::string> made = makeUnderFreshName(folder, ".vesk-copy", [](const std::string &candidate) {
            std::error_code why;
            return makeDirectory(candidate, why) || why ? why : std::make_error_code(std::errc::file_exists);
        });
        if (!made)
            return Status::failure("cannot copy the sounds into " + folder + ": " + made.error());
        staging = *made;
    }
    const auto undo = [&](const std::vector<std::string> &moved, const std::vector<std::string> &aside) {
        std::error_code ignored;
        for (const std::string &name : moved)
            removeEntry(joinPath(folder, name), ignored);
        for (const std::string &name : aside)
            renameEntry(joinPath(staging, name + ".old"), joinPath(folder, name), ignored);
        removeTree(fresh ? folder : staging, ignored);
    };

    for (size_t i = 0; i < copies.size(); ++i) {
        const FileCopy &copy = copies[i];
        if (!progress.advance(copy.name, static_cast<double>(i) / static_cast<double>(copies.size()))) {
            undo({}, {});
            return Status::failure(ErrorCode::Cancelled, "cancelled");
        }
        if (const std::error_code copied = copyToNewFile(copy.from, joinPath(staging, copy.name))) {
            undo({}, {});
            return Status::failure("cannot copy " + copy.from + " to " + joinPath(folder, copy.name) + ": "
                                   + copied.message());
        }
    }
    if (fresh)
        return Status::success();
    std::vector<std::string> moved, aside;
    for (const FileCopy &copy : copies) {
        const std::string target = joinPath(folder, copy.name);
        if (entryKind(target) != EntryKind::Missing) {
            renameEntry(target, joinPath(staging, copy.name + ".old"), ec);
            if (ec) {
                undo(moved, aside);
                return Status::failure("cannot replace " + target + ": " + ec.message());
            }
            aside.push_back(copy.name);
        }
        renameEntry(joinPath(staging, copy.name), target, ec);
        if (ec) {
            undo(moved, aside);
            return Status::failure("cannot copy " + copy.name + " into " + folder + ": " + ec.message());
        }
        moved.push_back(copy.name);
    }
    removeTree(staging, ec);
    return Status::success();
}

Result<Project> copyOutPackage(const OpenedPackage &package, const std::string &folder, Progress &progress)
{
    std::vector<FileCopy> copies;
    for (int k = 1; k <= kSlotCount; ++k)
        if (const std::optional<std::string> &sound = package.sound(k))
            copies.push_back({*sound, slotSoundName(k)});
    if (package.picture())
        copies.push_back({*package.picture(), kPackagePicture});
    if (const Status copied = copyInto(copies, folder, progress); !copied.ok())
        return copied;

    Project project;
    for (int k = 1; k <= kSlotCount; ++k)
        if (package.sound(k))
            project.slots[static_cast<size_t>(k - 1)] = joinPath(folder, slotSoundName(k));
    if (package.description()) {
        PackageDescription &description = project.description.emplace();
        description.theme = *package.description();
        if (package.picture())
            description.picture = joinPath(folder, kPackagePicture);
    }
    return project;
}

} // namespace vesk
