#pragma once

#include "slotcatalogue.h"
#include "status.h"
#include "themedescription.h"

#include <string>

namespace vesk {

// The installer's file beside the editor; in a package it is always install.exe.
#ifdef _WIN32
inline constexpr const char *kInstallerProgram = "vpak.exe";
#else
inline constexpr const char *kInstallerProgram = "vpak";
#endif

struct PackageInput
{
    ThemeDescription theme;
    std::string picture;          // the chosen background picture, or empty
    std::string packageDirectory; // where the package is built
    std::string editorDirectory;  // where the installer program lies
    SlotValues slots;
};

// Builds a theme package in this order: theme.cfg, bgimage.jpg (a copy of the
// picture), install.exe (a copy of the installer), then one sound file per
// slot that is not "none", under the game's name for it. The first failing
// step ends the build: what was written before stays, and the failure says
// which step or file failed and why. Other files in the directory are left
// alone.
Status buildPackage(const PackageInput &input);

} // namespace vesk
