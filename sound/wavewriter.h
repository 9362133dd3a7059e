#pragma once

#include "soundformat.h"
#include "status.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vesk {

// Writes a plain PCM wave of 16-bit samples, the kind the game plays:
// "RIFF", "WAVE", a 16-byte "fmt " chunk and "data", nothing else. The
// sizes go in when the sound is finished; until then the file is no wave.
class WaveWriter
{
public:
    // `path` is created, or emptied if it exists.
    WaveWriter(std::string path, SoundFormat format);
    ~WaveWriter();
    WaveWriter(const WaveWriter &) = delete;
    WaveWriter &operator=(const WaveWriter &) = delete;

    // Whether the file could be opened. Failures here give only the reason
    // ("no space left on device"), for the caller to name the file.
    Status status() const;
    // Interleaved samples, a whole number of frames.
    Status write(const std::int16_t *samples, std::size_t count);
    // Starts the sound again from nothing.
    Status restart();
    // The sizes written and the file closed.
    Status finish();

private:
    Status failed(int error);
    Status open();

    std::string m_path;
    SoundFormat m_format;
    std::FILE *m_file = nullptr;
    std::uint64_t m_bytes = 0;
    int m_error = 0;
    std::vector<unsigned char> m_buffer;
};

} // namespace vesk
