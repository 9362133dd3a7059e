#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// Times of an edit, in microseconds of the sound as its file holds it.
using Micros = std::int64_t;
inline constexpr Micros kMicrosPerSecond = 1000000;

// What the player made of a slot's sound: its ends cut, faded in and out,
// made louder or quieter. Only the ends are cut; the middle stays whole.
struct SoundEdit
{
    Micros start = 0;
    std::optional<Micros> end; // nothing: to the sound's end
    Micros fadeIn = 0, fadeOut = 0;
    double gain = 0;      // dB, kGainRange either way, in hundredths
    bool matched = false; // the gain was set to match the game's loudness
    // The sound's length when it was edited, for telling that its file
    // changed since; 0 when not known.
    Micros length = 0;

    bool empty() const { return start == 0 && !end && fadeIn == 0 && fadeOut == 0 && gain == 0; }
    bool operator==(const SoundEdit &other) const
    {
        return start == other.start && end == other.end && fadeIn == other.fadeIn && fadeOut == other.fadeOut
               && gain == other.gain && matched == other.matched && length == other.length;
    }
    bool operator!=(const SoundEdit &other) const { return !(*this == other); }
};

inline constexpr double kGainRange = 24;
// The shortest sound an edit may leave.
inline constexpr Micros kShortestEdit = 10000;

// A gain in dB as an edit keeps it: within kGainRange, in hundredths.
double roundedGain(double decibels);

// The edit fitted to a sound of `length`: ends past it come back to it, and
// at least kShortestEdit is left where the sound is as long.
SoundEdit clampedEdit(SoundEdit edit, Micros length);

// Whether `edit` cuts or fades a sound of `length`; its gain aside.
bool cutsOrFades(const SoundEdit &edit, Micros length);

// A time as the player reads and types it: milliseconds to the
// microsecond, "120" or "1320.5"; nothing for any other text.
std::string millisecondsText(Micros time);
std::optional<Micros> parseMilliseconds(std::string_view text);

// Where an edit falls on a sound of `rate`, in frames.
Micros framesToMicros(std::uint64_t frames, int rate);
std::uint64_t microsToFrames(Micros time, int rate);

// An edit put to a sound as it streams by, block by block, at the sound's
// own rate: the frames before the start and after the end are dropped, the
// fades are linear ramps, the gain a factor. A sound whose length is not
// known beforehand is faded out all the same: the last frames are held back
// until the sound ends.
class EditedStream
{
public:
    EditedStream(const SoundEdit &edit, int rate, int channels);

    // The frames of `samples` that the edited sound keeps, into `out`;
    // `last` gives out what was held back.
    void process(const float *samples, std::size_t frames, bool last, std::vector<float> &out);
    // Whether the edit's end is reached: nothing more will be kept.
    bool ended() const { return m_end && m_read >= *m_end; }

private:
    void emit(const float *samples, std::size_t frames, std::uint64_t at, std::vector<float> &out);
    // Holds back `frames` more frames, giving out the oldest beyond the last
    // m_fadeOut; and gives out all that is held, in their order.
    void hold(const float *samples, std::size_t frames, std::vector<float> &out);
    void release(std::size_t frames, std::vector<float> &out);

    std::size_t m_channels;
    std::uint64_t m_start, m_fadeIn, m_fadeOut;
    std::optional<std::uint64_t> m_end;
    float m_gain;
    std::uint64_t m_read = 0;    // frames of the source seen
    std::uint64_t m_emitted = 0; // frames given out
    // The last frames kept, for the fade-out: a ring of frames whose oldest
    // is at m_heldFrom, grown as they come up to m_fadeOut frames.
    std::vector<float> m_held;
    std::size_t m_heldFrom = 0, m_heldCount = 0;
};

} // namespace vesk
