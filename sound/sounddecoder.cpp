#include "sounddecoder.h"

#include "fileops.h"
#include "mp3header.h"
#include "paths.h"
#include "shelf.h"
#include "texttools.h"
#include "wavecheck.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace vesk {

namespace {

// The first bytes of a file, fewer where it is shorter.
std::string firstBytes(const std::string &path, std::size_t count)
{
    std::string bytes(count, '\0');
    const FilePtr file(openFile(path, "rb"));
    if (!file)
        return std::string();
    bytes.resize(std::fread(&bytes[0], 1, count, file.get()));
    return bytes;
}

bool at(const std::string &bytes, std::size_t offset, const char *magic)
{
    const std::size_t length = std::strlen(magic);
    return bytes.size() >= offset + length && bytes.compare(offset, length, magic) == 0;
}

// A sound of the length its header states, which a decoder may not give: an
// MP3's only where a header gives one (a decoder's estimate from the file's
// size is none), without the encoder's delay and padding where LAME's tag
// names them and the decoder kept them; a wave's as its data chunk says,
// though the file holds less.
class StatedLength final : public SoundDecoder
{
public:
    StatedLength(std::unique_ptr<SoundDecoder> decoder, std::uint64_t frames, std::uint64_t skip, std::uint64_t left,
                 bool exact = false)
        : m_decoder(std::move(decoder)), m_frames(frames), m_skip(skip), m_left(left), m_exact(exact)
    {}
    SoundFormat format() const override { return m_decoder->format(); }
    std::uint64_t frames() const override { return m_frames; }
    bool exactLength() const override { return m_exact; }
    Result<std::size_t> read(float *samples, std::size_t frames) override
    {
        while (m_skip > 0) {
            const Result<std::size_t> skipped
                = m_decoder->read(samples, static_cast<std::size_t>(std::min<std::uint64_t>(frames, m_skip)));
            if (!skipped || *skipped == 0)
                return skipped;
            m_skip -= *skipped;
        }
        const Result<std::size_t> got
            = m_decoder->read(samples, static_cast<std::size_t>(std::min<std::uint64_t>(frames, m_left)));
        if (got)
            m_left -= *got;
        return got;
    }

private:
    std::unique_ptr<SoundDecoder> m_decoder;
    std::uint64_t m_frames, m_skip, m_left;
    bool m_exact;
};

// The frames a FLAC's STREAMINFO states, the first block of every FLAC: 36
// bits after its rate, channels and sample size; nothing where it is not
// there or says 0 (not known).
std::optional<std::uint64_t> flacStatedFrames(const std::string &path)
{
    const std::string head = firstBytes(path, 26);
    if (head.size() < 26 || !at(head, 0, "fLaC") || (static_cast<unsigned char>(head[4]) & 0x7F) != 0)
        return std::nullopt;
    std::uint64_t frames = static_cast<unsigned char>(head[21]) & 0x0Fu;
    for (std::size_t i = 22; i < 26; ++i)
        frames = frames << 8 | static_cast<unsigned char>(head[i]);
    return frames ? std::optional<std::uint64_t>(frames) : std::nullopt;
}

std::unique_ptr<SoundDecoder> statedMp3(const std::string &path, std::unique_ptr<SoundDecoder> decoder)
{
    constexpr std::uint64_t kAll = std::numeric_limits<std::uint64_t>::max();
    const std::optional<Mp3Header> header = readMp3Header(path);
    if (!header)
        return std::make_unique<StatedLength>(std::move(decoder), 0, 0, kAll);
    if (!header->delay)
        return std::make_unique<StatedLength>(std::move(decoder), header->samples, 0, kAll);
    // A decoder that trims by itself gives that length, within a frame.
    const std::uint64_t length = header->length(), given = decoder->frames();
    if (given + 1152 > length && given < length + 1152)
        return std::make_unique<StatedLength>(std::move(decoder), length, 0, kAll);
    return std::make_unique<StatedLength>(std::move(decoder), length,
                                          static_cast<std::uint64_t>(*header->delay + kMp3DecoderDelay), length);
}

} // namespace

std::string soundKind(const std::string &path)
{
    const std::string head = firstBytes(path, 64);
    if (at(head, 0, "RIFF") && at(head, 8, "WAVE"))
        return "Wave";
    if (at(head, 0, "FORM") && (at(head, 8, "AIFF") || at(head, 8, "AIFC")))
        return "AIFF";
    if (at(head, 0, "fLaC"))
        return "FLAC";
    if (at(head, 0, "OggS")) {
        // The first page's packet: "OpusHead", "\x01vorbis" or a FLAC mapping.
        if (at(head, 28, "OpusHead"))
            return "Opus";
        if (at(head, 29, "vorbis"))
            return "Ogg Vorbis";
        if (at(head, 29, "FLAC"))
            return "FLAC";
        return "Ogg";
    }
    // An ID3v2 tag, or an MPEG audio frame's sync bits (layer III).
    if (at(head, 0, "ID3")
        || (head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF
            && (static_cast<unsigned char>(head[1]) & 0xE6) == 0xE2))
        return "MP3";
    return "sound";
}

Result<std::unique_ptr<SoundDecoder>> SoundDecoder::open(const std::string &path)
{
    std::error_code ec;
    const FileStatus status = fileStatus(path, ec);
    if (status.kind == EntryKind::Missing)
        return Status::failure(ErrorCode::NotFound, "the file is missing");
    // Only a regular file is opened: a FIFO would hang the decoder.
    if (status.kind != EntryKind::File)
        return Status::failure(ErrorCode::NotAFile, "not a file");
    if (fileSize(path, ec) == 0)
        return Status::failure(ErrorCode::BadFormat, "an empty file");
    // Checked before anything is sized from a header's numbers: a wave's
    // before any decoder of the system sees it (one may hang on such a
    // header), every kind's as its decoder reads it.
    const auto absurd = [](long long rate, long long channels) -> std::optional<Status> {
        if (rate < 1 || rate > kMostSourceRate)
            return Status::failure(ErrorCode::BadFormat, "not a sound the game can play (" + grouped(rate) + " Hz)");
        if (channels < 1 || channels > kMostSourceChannels)
            return Status::failure(ErrorCode::BadFormat,
                                   "not a sound the game can play (" + grouped(channels) + " channels)");
        return std::nullopt;
    };
    const std::string kind = soundKind(path);
    if (kind == "Wave")
        if (const std::optional<WaveHeader> header = waveHeader(path))
            if (std::optional<Status> refused = absurd(header->rate, header->channels))
                return *refused;
    Result<std::unique_ptr<SoundDecoder>> decoder = openSystemDecoder(path);
    if (!decoder)
        return decoder;
    const SoundFormat format = (*decoder)->format();
    if (std::optional<Status> refused = absurd(format.rate, format.channels))
        return *refused;
    if (kind == "MP3")
        return statedMp3(path, std::move(decoder).value());
    // A FLAC states its length to the frame: a decoder that reads past damage
    // gives fewer.
    if (kind == "FLAC")
        if (const std::optional<std::uint64_t> stated = flacStatedFrames(path))
            return std::unique_ptr<SoundDecoder>(std::make_unique<StatedLength>(
                std::move(decoder).value(), *stated, 0, std::numeric_limits<std::uint64_t>::max(), true));
    // A decoder counts a wave's frames by what the file holds: one cut short
    // would seem whole.
    if (kind == "Wave")
        if (const std::optional<std::uint64_t> stated = waveStatedFrames(path);
            stated && *stated > (*decoder)->frames())
            return std::unique_ptr<SoundDecoder>(std::make_unique<StatedLength>(
                std::move(decoder).value(), *stated, 0, std::numeric_limits<std::uint64_t>::max()));
    return decoder;
}

namespace {

// "after 1.4 s"
std::string after(std::uint64_t frames, int rate)
{
    char text[40];
    std::snprintf(text, sizeof text, "after %.1f s", rate > 0 ? static_cast<double>(frames) / rate : 0.0);
    return text;
}

} // namespace

std::string damagedAfter(std::uint64_t frames, int rate)
{
    return "damaged " + after(frames, rate);
}

namespace {

// Where the first sample that is no finite number lies among `count`
// (infinite or not a number: every bit of its exponent set); `count` when
// there is none. The first look is one that the compiler makes wide.
std::size_t firstNonFinite(const float *samples, std::size_t count)
{
    constexpr std::uint32_t kExponent = 0x7F800000;
    std::uint32_t any = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t bits;
        std::memcpy(&bits, samples + i, sizeof bits);
        any |= static_cast<std::uint32_t>((bits & kExponent) == kExponent);
    }
    if (!any)
        return count;
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(samples[i]))
            return i;
    return count;
}

} // namespace

Result<std::uint64_t> decodeAll(SoundDecoder &decoder, const DecodedBlock &block, const std::function<bool()> &enough)
{
    constexpr std::size_t kBlockFrames = 8192;
    const SoundFormat format = decoder.format();
    ShelvedVector<float> shelved;
    std::vector<float> &samples = *shelved;
    samples.resize(kBlockFrames * static_cast<std::size_t>(format.channels));
    std::uint64_t read = 0;
    for (bool last = false; !last;) {
        const Result<std::size_t> got = decoder.read(samples.data(), kBlockFrames);
        if (!got)
            return Status::failure(got.code(), got.error() + " " + after(read, format.rate));
        // A sample that is no number would poison every filter and gain
        // after it: the sound is damaged there, and only what came before
        // is handed on.
        const auto width = static_cast<std::size_t>(format.channels);
        const std::size_t bad = firstNonFinite(samples.data(), *got * width) / width;
        if (bad < *got) {
            if (Status step = block(samples.data(), bad, false); !step.ok())
                return step;
            return Status::failure(ErrorCode::BadFormat, damagedAfter(read + bad, format.rate));
        }
        last = *got == 0;
        read += *got;
        if (Status step = block(samples.data(), *got, last); !step.ok())
            return step;
        if (!last && enough && enough())
            return read;
    }
    if (read == 0)
        return Status::failure(ErrorCode::BadFormat, "no sound data");
    // What the file states may be off by a codec's frame or an estimate;
    // a sound that ends a tenth of a second and a thousandth of its length
    // early has lost its end.
    const std::uint64_t stated = decoder.frames();
    const std::uint64_t margin
        = decoder.exactLength() ? 0 : static_cast<std::uint64_t>(format.rate) / 10 + stated / 1000;
    if (stated > read + margin)
        return Status::failure(ErrorCode::BadFormat, damagedAfter(read, format.rate));
    return read;
}

} // namespace vesk
