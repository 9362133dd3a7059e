#pragma once

#include "layout.h"
#include "progress.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vpak {

// The Listen window: the package's sounds by slot, each with its length, to
// hear before the theme is installed.
inline constexpr const char *kListenButton = "Listen\xE2\x80\xA6"; // the installer window's button
inline constexpr const char *kListenCaption = "Listen";
inline constexpr int kListenClientWidth = 5415, kListenClientHeight = 3255; // twips
inline constexpr std::array<vesk::ControlRow, 3> kListenControls = {{
    {vesk::Kind::ListBox, "soundList", nullptr, 120, 120, 3975, 3015, nullptr},
    {vesk::Kind::Button, "playButton", nullptr, 4200, 120, 1095, 375, "Play"},
    {vesk::Kind::Button, "stopButton", nullptr, 4200, 600, 1095, 375, "Stop"},
}};
const std::vector<vesk::ControlRow> &listenControls(); // the same rows
// A control's number in the Win32 Listen window: 100 plus its row; 0 for a
// name not in the table.
constexpr int listenControlId(const char *name)
{
    return vesk::rowControlId(kListenControls, name);
}
// The controls the Win32 Listen window answers.
enum ListenControlId : int {
    kSoundListId = vesk::knownId(listenControlId("soundList")),
    kPlayButtonId = vesk::knownId(listenControlId("playButton")),
    kStopButtonId = vesk::knownId(listenControlId("stopButton")),
};

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
