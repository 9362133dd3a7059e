#pragma once

#include "progress.h"
#include "projectfile.h"
#include "slotcatalogue.h"
#include "soundplan.h"
#include "status.h"
#include "themedescription.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

// The installer's files beside the editor; in a package it is always
// install.exe. The Windows installer is what players of the game can start;
// a Linux build of the editor falls back to its own installer.
inline constexpr const char *kWindowsInstaller = "vpak.exe";
#ifdef _WIN32
inline constexpr const char *kInstallerProgram = "vpak.exe";
#else
inline constexpr const char *kInstallerProgram = "vpak";
#endif

// The installer a package built now gets: the Windows one beside the editor
// (a build tree, a Windows folder) or in an installed layout's share/vesk,
// or else (where there is one) the editor's own platform's beside it;
// nothing when none is there.
std::optional<std::string> installerBesideEditor(const std::string &editorDirectory);

struct PackageInput
{
    ThemeDescription theme;
    std::string picture;          // the chosen background picture, or empty
    std::string packageDirectory; // where the package is built
    std::string editorDirectory;  // where the installer program lies
    SlotValues slots;
    std::array<SoundEdit, kSlotCount> edits;  // the player's edits of the slots' sounds
    std::optional<std::string> gameDirectory; // the game directory in force, if one is chosen
};

// The package window's entries by their names in its table ("creatorNameBox",
// "themeNameBox", "picturePathBox"...), as the bytes they hold.
using PackageFields = std::function<std::string(const char *name)>;

// The package window's boxes by their names and what each shows of a
// description, and the description its boxes and package folder hold.
std::vector<std::pair<const char *, std::string>> descriptionBoxes(const PackageDescription &description);
PackageDescription packageDescription(const PackageFields &field, std::string folder);

// What the package window's OK builds: the theme described by its entries,
// the picture and folders chosen, and the project's slots and edits.
PackageInput packageInput(const PackageFields &field, std::string packageDirectory, std::string editorDirectory,
                          const Project &project, const std::optional<std::string> &gameDirectory);

// A package is never built into the game: not into the game directory in
// force (the same folder by identity, however it is spelled), nor into any
// folder that holds a game's backup. The failure says why.
Status checkPackagePlace(const PackageInput &input);
// What a build needs besides its folder, checked before anything is
// written: the background picture chosen, and the installer beside the
// editor. The failure says what is missing.
Status checkPackageInput(const PackageInput &input);

// A file already in the package directory that this build will not write
// again, and so would ship with the theme. A game sound of a slot that is now
// "none" is left from an earlier build when the folder's theme.cfg shows
// that a package was built there.
struct StrayFile
{
    std::string name;
    bool fromEarlierBuild = false;
};
// In name order. The build writes theme.cfg, bgimage.jpg, install.exe and the
// sounds of the slots that are set; 1.bat is replaced by every install, and
// folders are never copied by one.
std::vector<StrayFile> strayFiles(const PackageInput &input);

struct PackageResult
{
    Status status = Status::success();
    std::optional<int> failedSlot; // the slot whose sound failed
    // What became of the sounds that were converted, for the summary.
    std::optional<std::string> summary;
    // The one file to send, NAME.exe beside the folder, with its size; or
    // why none was made (the folder package stands either way).
    std::optional<std::string> oneFile;
    std::uint64_t oneFileSize = 0;
    std::optional<std::string> oneFileProblem;
};

// Where the one-file package of a folder goes: NAME.exe in its parent, NAME
// being the folder's own name; nothing for a folder without a parent.
std::optional<std::string> oneFilePlace(const std::string &packageDirectory);

// The checksums of the files `names` of the package folder, written into it
// as SHA256SUMS, and in the same pass over their bytes the one-file package
// beside the folder, with `installer` as its program (see buildPackage).
// Only a failure of SHA256SUMS fails; what became of the one file is in
// `result`. Once the files are in place only the one file can be cancelled.
Status sealPackage(const std::string &packageDirectory, const std::vector<std::string> &names,
                   const std::string &installer, Progress &progress, PackageResult &result);

// Builds a theme package, in a place checkPackagePlace allows, by the plan of
// its sounds. First the sounds that need it are converted, side by side with
// progress, under temporary names: a failure or a cancel
// (ErrorCode::Cancelled) there leaves the folder as it was. Then, in this
// order: theme.cfg, bgimage.jpg (a copy of the picture), install.exe (a copy
// of the installer), then one sound file per slot the plan does not leave
// out, under the game's name for it: a wave the game plays byte for byte,
// any other as converted; last SHA256SUMS, the checksums of all of these.
// From there the first failing step ends the build: what was written before
// stays, and the failure says which step or file failed and why. Other files
// in the directory are left alone. While the checksums are taken the same
// files go into the one-file package beside the folder, which replaces an
// earlier one-file package there but never any other file.
PackageResult buildPackage(const PackageInput &input, const std::vector<SlotPlan> &plan, Progress &progress);
PackageResult buildPackage(const PackageInput &input, const std::vector<SlotPlan> &plan);

} // namespace vesk
