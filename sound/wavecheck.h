#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vesk {

// The game plays plain PCM waves: 8 or 16 bits, 1 or 2 channels, 8,000 to
// 48,000 samples a second (WAVE_FORMAT_EXTENSIBLE with a PCM subformat
// counts). Why a file is none, in a few words ("IMA ADPCM, not plain PCM",
// "no sound data", "24-bit samples"); nothing when it is one. The RIFF chunks
// are walked in any order and of any size, without reading the sound data.
std::optional<std::string> waveProblem(const std::string &path);

// How long a wave the game plays lasts, from its header; nothing for any
// other file.
std::optional<double> waveSeconds(const std::string &path);

// How many frames a wave's data chunk says it holds, however much of it the
// file really holds; nothing for a file that is no wave, or of a kind whose
// frames differ in size (ADPCM).
std::optional<std::uint64_t> waveStatedFrames(const std::string &path);

// The rate and channels a wave's format chunk states, whatever its kind;
// nothing for a file that is no wave.
struct WaveHeader
{
    std::uint32_t rate = 0, channels = 0;
};
std::optional<WaveHeader> waveHeader(const std::string &path);

inline bool isWaveFile(const std::string &path)
{
    return !waveProblem(path);
}

} // namespace vesk
