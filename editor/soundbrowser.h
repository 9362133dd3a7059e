#pragma once

#include "soundanalysis.h"
#include "status.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

struct Editor;

// The sound browser's logic: the sound files of a folder, what each is
// against the sound of the slot it would replace, and where the browser
// opens. Both builds' windows show it the same way.

// A file of the listing: its path and its name as shown (below the folder
// when subfolders are listed), or a place that could not be listed, with
// the reason.
struct BrowsedFile
{
    std::string path;
    std::string name;
    std::string problem; // "" for a sound file to measure
};

// Whether a name is of a kind of sound the editor converts, by its ending.
bool isSoundFileName(const std::string &name);

// The sound files of `folder`, and of the folders below it with
// `subfolders`, sorted by name. Links to folders are not followed, so that
// a link that loops ends nothing; a folder that cannot be read, or a name
// of a sound that is no file (a FIFO), is listed with the reason. Stops,
// with what it has, when `keepGoing` says no.
std::vector<BrowsedFile> listSounds(const std::string &folder, bool subfolders,
                                    const std::function<bool()> &keepGoing = {});

// How long a browsed sound plays, as far as Escape knows, in milliseconds:
// its length where it is measured (10 s where not), at most 10 minutes,
// and a tenth of a second for the output to drain.
int playingMilliseconds(const Result<SoundAnalysis> *sound);

// The rows still waiting for their figures once those that arrived are
// taken up (`arrived` says whether a row's are in, and takes them). The
// figures come about in the order asked for, which is the rows': the look
// stops `lookAhead` rows past the first still waiting, and the rest are
// taken up as those arrive.
std::vector<std::size_t> takeArrived(const std::vector<std::size_t> &waiting,
                                     const std::function<bool(std::size_t row)> &arrived, std::size_t lookAhead = 64);

// "For slot 1 (Bombs, Level 1): the game's sound is 0.6 s, −35.9 LUFS";
// "... the game has no sound of its own for this slot"; while it is being
// measured, its name alone.
std::string browserTarget(int slot, const std::optional<std::string> &gameFile, const Result<SoundAnalysis> *game);

// A sound against the game's sound of the slot, by the rules of the rows'
// marks: "fits"; "long: 10 min 3 s, the game's is 1.2 s"; "9 LU louder than
// the game's"; "cannot be used: REASON".
std::string soundVerdict(const Result<SoundAnalysis> &sound, const SoundAnalysis *game);

// The slot after `slot` in the order the slots stand on screen: the tabs
// in turn, each frame's slots from the top; after the last, the first.
int nextSlotOnScreen(int slot);

// Where the browser opens: the folder of the selected slot's sound, else of
// the theme's first sound, else the last folder browsed, else `home`.
std::string browserStartFolder(const Editor &editor, const std::optional<std::string> &lastFolder,
                               const std::string &home);

// What the browser keeps per user beside the settings file: the last
// folder browsed and whether a selected sound plays. A missing, damaged or
// foreign file gives the defaults.
struct BrowserSettings
{
    std::optional<std::string> folder;
    bool playOnSelect = true;
};
std::string browserSettingsFile(const std::string &settingsFile);
BrowserSettings readBrowserSettings(const std::string &file);
Status writeBrowserSettings(const std::string &file, const BrowserSettings &settings);

} // namespace vesk
