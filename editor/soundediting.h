#pragma once

#include "loudnessmatch.h"
#include "projectfile.h"
#include "slotmeasurements.h"
#include "soundanalysis.h"
#include "soundedit.h"

#include <functional>
#include <optional>
#include <string>

namespace vesk {

// The sound window's state, shared by both builds: one slot's sound, the
// game's own for the slot beside it, and the edit being made. Times the
// player gives are fitted to the sound; what cannot be kept is refused
// with its reason, and OK keeps only an edit that can be.
class SoundEditing
{
public:
    // `measureGame` measures the game's sounds for Match (see GameLoudness).
    SoundEditing(int slot, std::string path, SoundAnalysis sound, std::optional<SoundAnalysis> game,
                 const SoundEdit &edit, std::optional<std::string> gameDirectory,
                 GameLoudness::Measure measureGame = {});

    int slot() const { return m_slot; }
    const std::string &path() const { return m_path; }
    const SoundAnalysis &sound() const { return m_sound; }
    const std::optional<SoundAnalysis> &game() const { return m_game; }
    const SoundEdit &edit() const { return m_edit; }
    Micros length() const { return m_length; }
    // What the pictures show of time, the same for both: the longer sound.
    Micros span() const;
    // How far the fades bring the sound down at `time` (0 to 1), the gain aside.
    double envelope(Micros time) const;
    // The edit's end: the sound's own where it is not trimmed.
    Micros end() const { return m_edit.end.value_or(m_length); }

    // Within the sound. With `snap`, at the nearest zero crossing (within
    // kSnapReach), so that the cut does not click. An end set for the first
    // time brings a short fade-out, unless the player set one.
    void setStart(Micros time, bool snap);
    void setEnd(Micros time, bool snap);
    void setFadeIn(Micros time);
    void setFadeOut(Micros time);
    void setGain(double decibels);
    // The sound as its file is.
    void reset();

    // The pictures' one time scale, `width` pixels wide for span().
    Micros timeAt(int x, int width) const;
    int xOf(Micros time, int width) const;
    // The markers on the picture: a press takes the nearer one, and a move
    // puts it at `time` (at a zero crossing with `snap`).
    enum class Marker {
        None,
        Start,
        End
    };
    Marker nearerMarker(Micros time) const;
    void moveMarker(Marker marker, Micros time, bool snap);

    // The window's boxes: times in milliseconds, the gain in dB.
    enum class Field {
        Start,
        End,
        FadeIn,
        FadeOut,
        Gain
    };
    // What a box shows of the edit now ("1320.5", "-6.30").
    std::string fieldText(Field field) const;
    // A value the player typed into a box, cuts snapped to a zero crossing
    // with `snap`. The note for the window: why the text was not taken, or
    // why the edit cannot be kept as it now is; empty when all is well.
    std::string enter(Field field, const std::string &text, bool snap);

    // Why the edit cannot be kept: "The start must come before the end." or
    // "What is left must last at least 10 ms."; nothing when it can.
    std::optional<std::string> refusal() const;
    // The edit as OK keeps it, knowing the sound's length.
    SoundEdit kept() const;

    // Why matching cannot be done here, for the disabled button; nothing
    // when it can.
    std::optional<std::string> matchUnavailable() const { return m_matchUnavailable; }
    // Sets the gain to the game's loudness; what it did, or why it could not.
    std::string match();

    // "MP3, 44,100 Hz stereo, 2.1 s, −14.2 LUFS, peak −0.3 dBTP" of the sound
    // and of the game's ("The game has no sound of its own for this slot.").
    std::string soundFigures() const;
    std::string gameFigures() const;

    static constexpr Micros kSnapReach = 5000, kDefaultFadeOut = 10000;

private:
    Micros snapped(Micros time, bool snap) const;

    int m_slot;
    std::string m_path;
    SoundAnalysis m_sound;
    std::optional<SoundAnalysis> m_game;
    SoundEdit m_edit;
    Micros m_length;
    bool m_fadeOutSet = false;
    GameLoudness m_gameLoudness;
    std::optional<std::string> m_matchUnavailable;
};

// The sound window's state for slot `slot` of `project`: its sound as
// measured in the background (waited for where it is not yet, with
// `keepWaiting` as SoundAnalyses::await calls it), the game's own beside it.
// The failure says why there is nothing to edit, or that the player
// cancelled the wait (ErrorCode::Cancelled).
Result<SoundEditing> startEditing(const Project &project, int slot, SlotMeasurements &measurements,
                                  const std::optional<std::string> &gameDirectory,
                                  const std::function<bool()> &keepWaiting = {});

} // namespace vesk
