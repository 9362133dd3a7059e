#pragma once

#include "soundformat.h"
#include "status.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vesk {

// A sound file of any kind the system decodes, read from the start in
// blocks. Each system has its own (libsndfile on Linux; Windows' own
// decoders there).
class SoundDecoder
{
public:
    virtual ~SoundDecoder() = default;

    // Opens `path`. The failure gives the reason in a few words ("not a
    // sound file", "an empty file", "the file is missing"), for the caller to
    // put after the file's name. An MP3 reads as its header states it (see
    // mp3header.h), whatever the system's decoder makes of it.
    static Result<std::unique_ptr<SoundDecoder>> open(const std::string &path);

    virtual SoundFormat format() const = 0;
    // How many frames the file says it holds; 0 when it does not say.
    virtual std::uint64_t frames() const = 0;
    // Whether that count is exact, as a FLAC's is: any frame fewer is damage.
    virtual bool exactLength() const { return false; }
    // Up to `frames` frames of interleaved samples into `samples`, full
    // scale being -1 to 1 (a floating-point source may go beyond it); 0 at
    // the end. A failure gives the reason in a few words.
    virtual Result<std::size_t> read(float *samples, std::size_t frames) = 0;
};

// One decoded block: `frames` frames of interleaved samples, `last` for the
// end of the sound (that block may be empty). A failure it returns ends the
// reading with that failure.
using DecodedBlock = std::function<Status(const float *samples, std::size_t frames, bool last)>;

// Reads `decoder` to its end, block by block, and gives the frames it read.
// A sound that fails part way, or that ends well short of the length its
// file states (a decoder may stop at damage without a word), is
// ErrorCode::BadFormat "damaged after N s"; one with no samples at all is
// "no sound data". Where `enough` holds after a block, the reading stops
// there: the rest of the sound is not wanted, nor judged.
Result<std::uint64_t> decodeAll(SoundDecoder &decoder, const DecodedBlock &block,
                                const std::function<bool()> &enough = {});

// The kind of sound a file is by its first bytes, in the words the player
// knows: "MP3", "FLAC", "Wave", "Ogg Vorbis", "Opus", "AIFF"; "sound" when
// none of them.
std::string soundKind(const std::string &path);

// "damaged after 1.4 s": where a sound of `rate` ends after `frames` frames.
std::string damagedAfter(std::uint64_t frames, int rate);

// Each system's own decoders, which SoundDecoder::open() tries once the
// file is known to be a regular file that is not empty. The failure is "not
// a sound file" or the like.
Result<std::unique_ptr<SoundDecoder>> openSystemDecoder(const std::string &path);

// A sample-rate converter for interleaved float samples of one stream.
class Resampler
{
public:
    virtual ~Resampler() = default;

    static Result<std::unique_ptr<Resampler>> make(int fromRate, int toRate, int channels);

    // Takes `frames` frames and appends to `out` what is ready; `frames` 0
    // with `last` drains what is left at the end of the stream.
    virtual Status process(const float *in, std::size_t frames, bool last, std::vector<float> &out) = 0;
};

} // namespace vesk
