#include "wavecheck.h"

#include "textfile.h"

#include <cstdint>

namespace vesk {

namespace {

std::uint32_t littleEndian32(const std::string &bytes, size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]))
           | static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8
           | static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16
           | static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

} // namespace

bool isWaveFile(const std::string &path)
{
    // The "fmt " chunk comes first in practice; a long header is no wave of ours.
    const Result<std::string> head = readFile(path, 64 * 1024, Overflow::Cut);
    if (!head || head->size() < 12 || head->compare(0, 4, "RIFF") != 0 || head->compare(8, 4, "WAVE") != 0)
        return false;
    const std::string &bytes = *head;
    for (size_t chunk = 12; chunk + 8 <= bytes.size();) {
        const std::uint32_t size = littleEndian32(bytes, chunk + 4);
        if (bytes.compare(chunk, 4, "fmt ") == 0)
            return size >= 16 && chunk + 8 + 16 <= bytes.size();
        // Chunks are padded to an even length.
        chunk += 8 + static_cast<size_t>(size) + (size & 1u);
    }
    return false;
}

} // namespace vesk
