#pragma once

#include "displaytext.h"
#include "soundanalysis.h"
#include "soundedit.h"
#include "status.h"

#include <optional>
#include <string>
#include <vector>

namespace vesk {

// How a slot's sound is shown: its length, its one line of figures and the
// marks that say what is wrong with it, next to the game's own sound for the
// slot.

// "MP3, 44,100 Hz stereo, 2.1 s, −14.2 LUFS, peak −0.3 dBTP"; a silent
// sound says "silent" instead of its figures.
std::string soundInfo(const SoundAnalysis &sound);

// A level with one decimal and a true minus sign: "−14.2".
std::string levelText(double value);
// A gain with its sign and unit: "+3.5 dB", "−6.3 dB", "0.0 dB"; one under
// a twentieth of a dB with two decimals: "−0.01 dB".
std::string gainText(double decibels);

// The game's own sound is much shorter than one that lasts over 3 s and 4
// times as long; where the game has none for the slot, a sound over 10 s is
// long. Loudness apart by more than 6 LU is much louder or quieter.
inline constexpr double kLongSeconds = 3, kLongFactor = 4, kLongWithoutGame = 10, kLoudnessApart = 6;
// That rule: whether a sound of `seconds` is much longer than the game's own
// of `game` seconds (nothing: the game has none for the slot).
bool muchLonger(double seconds, std::optional<double> game);

// What is wrong with a slot's sound as `edit` makes it, one sentence each;
// none when nothing is. `game` is the game's own sound for the slot, when it
// can be compared. An edit made when the file was of another length says so.
std::vector<std::string> soundMarks(const Result<SoundAnalysis> &sound, const SoundAnalysis *game,
                                    const SoundEdit &edit = {});

// What an edit makes of a sound that then lasts `seconds`: "trimmed to
// 1.2 s, faded out 20 ms, matched to the game: −6.3 dB".
std::string editText(const SoundEdit &edit, double seconds);

// How long `sound` lasts as `edit` makes it (fitted to its length), in seconds.
double editedSeconds(const SoundAnalysis &sound, const SoundEdit &edit);
// Whether the sound's file is of another length than when it was edited.
bool changedSinceEdited(const SoundAnalysis &sound, const SoundEdit &edit);

} // namespace vesk
