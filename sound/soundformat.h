#pragma once

namespace vesk {

// How a sound's samples come: so many frames a second of so many channels,
// each sample of `bits` bits (0: floating point, or a kind such as MP3 that
// has no fixed sample size).
struct SoundFormat
{
    int rate = 0;
    int channels = 0;
    int bits = 0;

    bool operator==(const SoundFormat &other) const
    {
        return rate == other.rate && channels == other.channels && bits == other.bits;
    }
};

// The rates the game plays.
inline constexpr int kLowestRate = 8000;
inline constexpr int kHighestRate = 48000;

// The most a sound may have of each and still be converted: anything beyond
// is no sound at all, only a header that says so.
inline constexpr int kMostSourceRate = 768000;
inline constexpr int kMostSourceChannels = 64;

// The plain PCM wave a sound of `source`'s format becomes: 16 bits; its
// channels if it has 1 or 2, else mixed down to stereo; its rate if the game
// plays it, else 44,100 Hz (22,050 Hz for a source below 8,000 Hz).
SoundFormat convertedFormat(const SoundFormat &source);

// Whether turning `source` into `target` needs dither: it loses resolution
// (a source of more than 16 bits, floating point or a lossy kind) or is
// calculated anew (resampled, mixed down). A source of 8 or 16 bits that
// keeps its rate and channels becomes the same values exactly.
bool needsDither(const SoundFormat &source, const SoundFormat &target);

} // namespace vesk
