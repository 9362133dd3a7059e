#pragma once

#include "layout.h"
#include "progress.h"

#include <optional>
#include <string>
#include <vector>

namespace vpak {

// The Listen window: the package's sounds by slot, each with its length, to
// hear before the theme is installed.
inline constexpr const char *kListenButton = "Listen\xE2\x80\xA6"; // the installer window's button
inline constexpr const char *kListenCaption = "Listen";
inline constexpr int kListenClientWidth = 5415, kListenClientHeight = 3255; // twips
const std::vector<vesk::ControlRow> &listenControls();                      // soundList, playButton, stopButton
// A control's number in the Win32 Listen window: 100 plus its row.
int listenControlId(const char *name);

struct PackageSound
{
    int slot = 0;
    std::string file;
    std::optional<double> seconds; // for a wave the game plays
};

// The package's game sounds (in any spelling of their names), in slot order.
std::vector<PackageSound> packageSounds(const std::string &packageDirectory);

// One row of the list: "Bombs, Level 1 (0.5 s)".
std::string listenRow(const PackageSound &sound);

// Before the Listen window opens, the package's files are checked against
// its SHA256SUMS as the install checks them: nothing of a package that is not
// the one its maker built is played. The message to show when it may not
// open; nothing when it may (or when the player cancelled, `cancelled`).
std::optional<std::string> listenRefusal(const std::string &packageDirectory, vesk::Progress &progress,
                                         bool &cancelled);

} // namespace vpak
