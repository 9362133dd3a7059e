#pragma once

#include "loudness.h"
#include "slotcatalogue.h"
#include "soundedit.h"
#include "status.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

// Setting a sound's gain so that the game plays it as loud as its own.

// The loudness of `path` as `edit` leaves it, its gain aside: the trimmed
// and faded sound, measured in one pass. The failure gives the reason in a
// few words; `keepGoing` false cancels it (ErrorCode::Cancelled).
Result<Loudness> measureEdited(const std::string &path, const SoundEdit &edit,
                               const std::function<bool()> &keepGoing = {});

// The loudest true peak a matched sound may reach.
inline constexpr double kMatchedPeak = -1;

struct GainMatch
{
    double gain = 0;      // dB, as an edit keeps it
    bool lowered = false; // below the match, to keep the true peak at kMatchedPeak
    bool limited = false; // the match lies beyond the gain's range
};
// The gain that brings a sound of `measured` loudness to `target` LUFS,
// lowered as far as its true peak needs; nothing for a silent sound.
std::optional<GainMatch> matchGain(const Loudness &measured, double target);

// What the sounds of one slot are matched with: the game's own sound for
// the slot, else the middle of the game's sounds (the median of their
// loudness). Nothing, with the reason, where there is none.
struct MatchTarget
{
    std::optional<double> lufs;
    bool median = false;
    std::string why; // when there is no target
};

// The game's sounds of one game directory, each measured once when first
// asked for.
class GameLoudness
{
public:
    // The integrated loudness of a game file; nothing for none (silent, not
    // readable, or not waited for).
    using Measure = std::function<std::optional<double>(const std::string &file)>;

    // `measure` (measureEdited unless given) measures each file.
    explicit GameLoudness(std::optional<std::string> gameDirectory, Measure measure = {});
    // The game's own sound files there, each slot's where it has one.
    std::vector<std::string> files() const;

    MatchTarget target(int slot);

private:
    std::optional<double> measured(int slot);

    std::optional<std::string> m_gameDirectory;
    Measure m_measure;
    std::vector<std::optional<std::optional<double>>> m_slots; // outer: asked; inner: its loudness
    std::optional<std::optional<double>> m_median;
};

// "Matched to −23.0 LUFS, the game's own sound: +3.5 dB." and what held it
// back, for the sound window and the theme's report.
std::string matchText(const GainMatch &match, const MatchTarget &target);

} // namespace vesk
