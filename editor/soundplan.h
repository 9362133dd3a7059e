#pragma once

#include "progress.h"
#include "slotcatalogue.h"
#include "slotmeasurements.h"
#include "soundconvert.h"
#include "soundedit.h"
#include "soundformat.h"
#include "status.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

// What becomes of one slot's sound when a theme goes into the game or into a
// package, decided once, before anything is written: Convert, the package
// build, their question, progress and summary all read the same plan.
struct SlotPlan
{
    enum class Step {
        Copy,     // a wave the game plays, not edited: byte for byte
        Convert,  // any other sound, or an edited one: made a plain PCM wave of `format`
        LeaveOut, // it cannot be used (`reason`): the step does without it
    };
    int slot = 0;
    std::string source;
    Step step = Step::Copy;
    SoundFormat format;
    std::string reason; // in a few words: "not a sound file", "damaged after 2.1 s"
    SoundEdit edit;     // the player's, fitted to the sound's length
    double seconds = 0; // how long the game's sound will be, as far as the file says; 0 when not known
    // How long the game's own sound for the slot is, as measured; nothing
    // where it has none (or it was not measured: see judgeSounds).
    std::optional<double> gameSeconds;
};

// The plan of every slot that has a file, in slot order. A file that cannot
// be read at all is left to the step, which refuses the whole step naming it
// (as it does for a file that goes missing after the plan was made); one
// the system cannot decode is left out, which the player is asked about
// first.
std::vector<SlotPlan> planSounds(const SlotValues &slots, const std::array<SoundEdit, kSlotCount> &edits = {});

// How long the sound file `path` lasts as its header or decoder states it;
// nothing when it cannot be read or does not say.
std::optional<double> statedSeconds(const std::string &path);

// The plan held against every sound as measured in the background (all of
// them waited for, with `keepWaiting` called meanwhile as
// SoundAnalyses::await calls it), so that a step speaks of the sounds as the
// main window's rows show them: a sound that cannot be used, damaged part way
// included, is left out with its reason; each length is the one its row
// shows, beside the game's own sound in `gameDirectory`. False when the
// player cancelled the wait.
bool judgeSounds(std::vector<SlotPlan> &plan, SlotMeasurements &measurements,
                 const std::optional<std::string> &gameDirectory, const std::function<bool()> &keepWaiting);

// The question before a step about the sounds that stay much longer than
// the game's own for their slots (the rule of the main window's marks);
// nothing when none is.
std::optional<std::string> longSoundQuestion(const std::vector<SlotPlan> &plan);

// The question before a step about the slots it leaves out, each named with
// its file and the reason; nothing when every file can be used.
std::optional<std::string> leaveOutQuestion(const std::vector<SlotPlan> &plan);

// A sound put into a new file, waiting to be renamed into its place.
struct PreparedSound
{
    int slot = 0;
    std::string file;                     // the new file
    std::optional<Conversion> conversion; // when it was converted
};

struct Prepared
{
    std::vector<PreparedSound> sounds; // in slot order
    Status status = Status::success();
    std::optional<int> failedSlot;
};

// Every sound of the plan whose step is Convert (and, with `withCopies`, Copy)
// put into a new file beside `target(slot)`, its place, under a fresh name
// (".NAME.new" and a number), side by side on every core, with progress. On a failure or a
// cancel nothing of it is left behind; the failure names the slot and its
// file ("slot 12 (Guns, Level 3) PATH: damaged after 2.1 s", ErrorCode
// BadFormat) or what could not be written.
Prepared prepareSounds(const std::vector<SlotPlan> &plan, const std::function<std::string(int slot)> &target,
                       bool withCopies, Progress &progress);
void discard(const Prepared &prepared);

// After a step: "2 sounds were converted to 16-bit PCM: slot 1 (Bombs, Level 1)
// PATH, …", what was made of the edited ones ("trimmed to 1.2 s", "matched
// to the game: −6.3 dB") and which were made quieter to fit; nothing when
// none was converted.
std::optional<std::string> conversionSummary(const std::vector<SlotPlan> &plan, const Prepared &prepared);

} // namespace vesk
