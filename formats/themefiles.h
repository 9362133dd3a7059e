#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

// What a theme package may hold, shared by the editor's package build and
// both installers. Names compare without regard to letter case, as Windows
// compares them.

inline constexpr int kGameSoundCount = 47;

// The game's own file for each sound slot, slot 1 first.
inline constexpr std::array<const char *, kGameSoundCount> kGameSoundFiles = {
    "bomb1.wa2",   "bomb2.wa2",    "bomb3.wa2",    "mine1.wa2",    "mine2.wa2",    "mine3.wa2",    "gun1.wa2",
    "gun2.wa2",    "gun3.wa2",     "burst.wa2",    "repel.wa2",    "decoy.wa2",    "thor.wa2",     "brick.wa2",
    "rocket1.wa2", "wrppnt.wa2",   "stealth.wa2",  "cloak.wa2",    "xradar.wa2",   "antiwarp.wa2", "off.wa2",
    "multion.wa2", "multioff.wa2", "rocket2.wa2",  "rev.wa2",      "hum.wa2",      "Alarm.wa2",    "flag.wa2",
    "thrust.wa2",  "victory.wa2",  "victoryl.wa2", "explode0.wa2", "explode1.wa2", "explode2.wa2", "bomb4.wa2",
    "mine4.wa2",   "ebomb1.wa2",   "ebomb2.wa2",   "ebomb3.wa2",   "ebomb4.wa2",   "bounce.wa2",   "emine1.wa2",
    "emine2.wa2",  "emine3.wa2",   "emine4.wa2",   "prize.wa2",    "warp.wa2",
};

// The package's own files besides the sounds; the install removes them from
// the game directory again. SHA256SUMS holds the checksums of the others.
inline constexpr const char *kPackageProgram = "install.exe";
inline constexpr const char *kPackagePicture = "bgimage.jpg";
inline constexpr const char *kThemeDescription = "theme.cfg";
inline constexpr const char *kSumsFile = "SHA256SUMS";
inline constexpr std::array<const char *, 4> kPackageOwnFiles
    = {kPackageProgram, kPackagePicture, kThemeDescription, kSumsFile};
inline constexpr const char *kInstallBatch = "1.bat";

// How 1.bat is started on Windows: cmd.exe runs it from the package folder,
// its working directory, so that no path stands on the command line, where
// cmd.exe would expand %NAME% even within quotes.
inline constexpr const char *kBatchInterpreter = "cmd.exe";
inline constexpr const char *kBatchInterpreterArguments = "/c 1.bat";
inline std::string batchCommandLine()
{
    return std::string(kBatchInterpreter) + " " + kBatchInterpreterArguments;
}

bool sameFileName(const std::string &a, const std::string &b);

// A name as Windows stores it: trailing dots and blanks dropped, so that
// "x.exe." and "x.exe " are the program "x.exe".
std::string storedName(const std::string &name);

// Whether `name` is one plain file name inside a folder: no folder part
// ("/", "\\", "..", a drive), and no device name such as CON or LPT1, which
// Windows takes for the device in every folder.
bool isPlainName(const std::string &name);

// How `name` is spelled among `entries` (the names of one folder, in byte
// order), where names compare without regard to letter case: the exact
// spelling when present, else the first match in byte order; nothing when
// the folder holds no such file.
const std::string *spellingAmong(const std::vector<std::string> &entries, const std::string &name);

// The names in a folder, in byte order; empty when it cannot be read.
std::vector<std::string> namesIn(const std::string &directory);

// Whether the folder holds any of the game's sound files, in any spelling.
bool holdsGameSounds(const std::string &directory);

// The question before a theme goes into a folder that holds no game sound.
std::string notAGameDirectoryQuestion(const std::string &directory);

// A game sound, one of the package's own files, or 1.bat, judged by the name
// Windows would store.
bool isThemeFile(const std::string &name);

// Whether Windows would run or load the file as a program: .exe, .dll, .com,
// .bat, .cmd, .scr, .pif, .vbs, .vbe, .js, .jse, .wsf, .wsh, .ps1, .msi, .lnk,
// .cpl, .sys, .ocx or .drv, judged by the name Windows would store.
bool isProgramFile(const std::string &name);

// The regular files of a package beyond a theme, in name order: program
// files other than install.exe and 1.bat, and every other file outside the
// theme list; and the entries that are no regular file: every link, FIFO or
// device, and a folder named like a theme file. Other subfolders are left
// out: the install does not copy them.
struct PackageContents
{
    std::vector<std::string> programs;
    std::vector<std::string> others;
    std::vector<std::string> notFiles;
};
PackageContents inspectPackage(const std::string &packageDirectory);

// A package from a stranger may carry programs beside its sounds, which the
// game directory would then run or load, or entries that are no plain files
// (a link would bring in whatever it points at): such a package is refused
// outright, and this says why ("... It will not be installed.", `done` being
// "installed"); nothing for a package without them.
std::optional<std::string> refusedContents(const PackageContents &contents, const std::string &done);

// Names for a message box: a list of thousands names the first few, so that
// the box still fits the screen ("a, b and 3 more").
std::string listedNames(const std::vector<std::string> &names);

} // namespace vesk
