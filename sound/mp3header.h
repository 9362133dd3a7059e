#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vesk {

// What an MP3's first frame says of the whole stream: its Xing, Info or
// VBRI header gives the frame count; LAME's tag also the encoder's delay and
// padding, the silence it added at the start and the end. An MP3 without
// such a header states no length (a decoder can only estimate it from the
// file's size).
struct Mp3Header
{
    int rate = 0;
    std::uint64_t samples = 0;    // frames x samples per frame, delay and padding included
    std::optional<int> delay;     // LAME's, without the decoder's own 529
    std::optional<int> padding;   // LAME's
    std::uint64_t length() const; // the sound as it was encoded
};

// The header of the MP3 file `path` (behind its ID3v2 tag); nothing when
// it is no MP3 or has no such header.
std::optional<Mp3Header> readMp3Header(const std::string &path);

// The decoder's delay that LAME's tag leaves out, in samples.
inline constexpr int kMp3DecoderDelay = 529;

} // namespace vesk
