#pragma once

#include "loudness.h"
#include "soundformat.h"
#include "status.h"
#include "waveform.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vesk {

// What a sound file is, measured in one pass over its decoded samples.
struct SoundAnalysis
{
    std::string kind;   // "MP3", "FLAC", "Wave", "Ogg Vorbis", "Opus", "AIFF" or "sound"
    SoundFormat format; // as the file holds it
    std::uint64_t frames = 0;
    Loudness loudness;
    Waveform waveform;

    double seconds() const { return format.rate > 0 ? static_cast<double>(frames) / format.rate : 0.0; }
};

// Decodes `path` once, through SoundDecoder, and measures it. The failure
// gives the reason in a few words, as the conversion does ("not a sound
// file", "damaged after 1.4 s"); `keepGoing` is asked between blocks, and
// false ends it as ErrorCode::Cancelled. Memory stays the same whatever the
// sound's length, but for a few bytes per 100 ms of the meter's.
Result<SoundAnalysis> analyseSound(const std::string &path, const std::function<bool()> &keepGoing = {});

// The frame nearest to `frame` within `reach` frames either way where the
// sound (its channels summed) crosses zero: a cut there does not click.
// `frame` itself when it crosses nowhere near, or the file cannot be read
// that far. It decodes from the start up to there.
std::uint64_t nearestZeroCrossing(const std::string &path, std::uint64_t frame, std::uint64_t reach);

} // namespace vesk
