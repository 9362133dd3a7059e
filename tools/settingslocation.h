#pragma once

#include "paths.h"

#include <string>

namespace vesk {

// Where the editor keeps vesk.cfg, decided when it runs (no install prefix is
// compiled in):
// - on Windows beside vesk.exe when that folder can be written (a portable
//   folder), otherwise in %APPDATA%\vesk (Program Files);
// - elsewhere beside the program when it does not run from an installed
//   layout (a build tree or an unpacked folder, which has no ../share/vesk
//   beside its folder), otherwise in the user's configuration folder
//   (`userConfigDirectory`, such as ~/.config/vesk).
std::string settingsFileFor(const std::string &programDirectory, const std::string &userConfigDirectory);

// The user's folder for caches, the programs' own inside it: on Windows
// %LOCALAPPDATA%\vesk, elsewhere $XDG_CACHE_HOME/vesk, else ~/.cache/vesk;
// the system's temporary folder where none of them is known.
std::string cacheDirectory();

// Whether the program runs from an installed layout: PREFIX/bin beside
// PREFIX/share/vesk.
bool runsInstalled(const std::string &programDirectory);

// The Windows installer a package gets: beside the editor (a build tree, a
// Windows folder), else in the installed layout's share/vesk.
inline std::string installedDataDirectory(const std::string &programDirectory)
{
    return joinPath(joinPath(joinPath(programDirectory, ".."), "share"), "vesk");
}

} // namespace vesk
