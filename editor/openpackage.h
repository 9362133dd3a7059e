#pragma once

#include "progress.h"
#include "projectfile.h"
#include "sha256.h"
#include "slotcatalogue.h"
#include "status.h"

#include <array>
#include <optional>
#include <string>

namespace vesk {

// Where a theme comes from when it is opened as a project: a package folder,
// a package made into one file, or the game directory with its sounds as
// they are now (the game's own, or a theme installed over them).
enum class PackageKind {
    Folder,
    OneFile,
    Game,
};

struct PackagePlace
{
    PackageKind kind = PackageKind::Folder;
    std::string path; // the folder, or the one file
};

// What a path chosen or dropped is: a folder holding theme.cfg or
// SHA256SUMS, or that file itself, is a package folder; a file that ends in
// a one-file package's trailer is a one file; a folder holding the game's
// sounds, or a file in one (the game's program, one of its sounds), is the
// game directory. Anything else is refused, the reason named.
Result<PackagePlace> packageAt(const std::string &path);

// Whether a dropped or given path is for Open Package rather than a sound or
// a project: a folder, a theme.cfg, or a one-file package.
bool isPackagePath(const std::string &path);

// A package checked as the installer checks it (its sums, only plain files
// and no programs; a one file's index and every file's checksum, unpacked
// into a private folder that goes with this), and what it holds: each
// slot's sound, its description and picture.
class OpenedPackage
{
public:
    // The failure is the message to show: the installer's words for a
    // damaged package ("Ocean.exe is damaged (...). Ask for the package
    // again."), or a cancel (ErrorCode::Cancelled).
    static Result<OpenedPackage> open(const PackagePlace &place, Progress &progress);
    ~OpenedPackage();
    OpenedPackage(OpenedPackage &&other) noexcept;
    OpenedPackage &operator=(OpenedPackage &&) = delete;
    OpenedPackage(const OpenedPackage &) = delete;
    OpenedPackage &operator=(const OpenedPackage &) = delete;

    const PackagePlace &place() const { return m_place; }
    // The sound of slot `index` (1 to 47) where it lies now; none where the
    // package leaves the slot as the game has it.
    const std::optional<std::string> &sound(int index) const;
    // Its checksum where the package gives one (SHA256SUMS, the one file's
    // index), checked when the package was opened.
    const std::optional<Sha256Digest> &digest(int index) const;
    const std::optional<std::string> &picture() const { return m_picture; }
    // The values of its theme.cfg; none for the game directory.
    const std::optional<ThemeDescription> &description() const { return m_description; }
    // How the theme is called: its theme name, else the folder's or file's
    // own name ("Kestrova" for the game directory).
    std::string name() const;

private:
    OpenedPackage(PackagePlace place, std::string unpacked) : m_place(std::move(place)), m_unpacked(std::move(unpacked))
    {}
    void readFolder(const std::string &folder);
    void takeDigests(const std::vector<std::pair<std::string, Sha256Digest>> &sums);

    PackagePlace m_place;
    std::string m_unpacked; // the one file's private folder, removed with this
    std::array<std::optional<std::string>, kSlotCount> m_sounds;
    std::array<std::optional<Sha256Digest>, kSlotCount> m_digests;
    std::optional<std::string> m_picture;
    std::optional<ThemeDescription> m_description;
};

// Where the copies go unless the player chooses otherwise: a new folder
// "THEME NAME sounds" beside the package folder, the one file or the game
// directory, its name made one that Windows takes.
std::string proposedSoundsFolder(const OpenedPackage &package);

// The project Save offers once the copies are in `folder`: THEME NAME.vsk there.
std::string proposedProjectFile(const OpenedPackage &package, const std::string &folder);

// What a copy's name is: the slot as the player knows it ("Bombs, Level 1.wav");
// the picture keeps its package name.
std::string slotSoundName(int index);

// The names of what lies in `folder` already; empty for a new folder.
std::vector<std::string> entriesIn(const std::string &folder);

// Copies files into `folder` (made where it is missing) under the names
// given, replacing files of those names. All or nothing: on a failure or a
// cancel (ErrorCode::Cancelled) the folder is as it was, and the failure
// names the file and the reason.
struct FileCopy
{
    std::string from, name;
};
Status copyInto(const std::vector<FileCopy> &copies, const std::string &folder, Progress &progress);

// The package as a project: every sound (and the picture) copied into
// `folder`, made where it is missing, replacing files of the same names;
// each slot refers to its copy, links none, the description the package's.
// All or nothing: on a failure or a cancel (ErrorCode::Cancelled) the
// folder is as it was, and the failure names the file and the reason.
Result<Project> copyOutPackage(const OpenedPackage &package, const std::string &folder, Progress &progress);

} // namespace vesk
