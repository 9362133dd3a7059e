#include "wavecheck.h"
#include "fileops.h"
#include "paths.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>

namespace vesk {

namespace {

std::uint32_t littleEndian(const char *bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

// The format tags a wave may carry, and what the player is told of each.
std::string formatName(std::uint32_t tag)
{
    switch (tag) {
    case 0x0002:
        return "MS ADPCM";
    case 0x0003:
        return "floating-point samples";
    case 0x0006:
        return "A-law";
    case 0x0007:
        return "mu-law";
    case 0x0011:
        return "IMA ADPCM";
    case 0x0050:
        return "MPEG audio";
    case 0x0055:
        return "MP3";
    default:
        return "format " + std::to_string(tag);
    }
}

constexpr std::uint32_t kPcm = 0x0001;
constexpr std::uint32_t kExtensible = 0xFFFE;

// What the chunks say of a plain PCM wave.
struct WaveFacts
{
    std::uint32_t tag = 0, channels = 0, rate = 0, bits = 0, blockAlign = 0;
    std::uint64_t dataSize = 0; // as the data chunk states it
};

// Why the file is no wave the game plays; nothing when it is one, and then
// `facts` holds its format and the size of its sound data.
std::optional<std::string> readWave(const std::string &path, WaveFacts &facts)
{
    std::error_code ec;
    // Only a regular file is opened: a FIFO would hang the check.
    const EntryKind kind = fileStatus(path, ec).kind;
    if (kind != EntryKind::File)
        return std::string(kind != EntryKind::Missing ? "not a file" : "the file is missing");
    // A theme's plan checks every slot's file: the plain C file is the
    // quickest to open.
    const FilePtr file(openFile(path, "rb"));
    const std::uintmax_t size = fileSize(path, ec);
    // The chunk headers of most waves lie in the first few KiB, read at once.
    char start[4096];
    if (file)
        std::setvbuf(file.get(), nullptr, _IONBF, 0); // no buffer of its own besides
    const std::size_t started = file ? std::fread(start, 1, sizeof start, file.get()) : 0;
    const auto readAt = [&](std::uint64_t at, char *into, std::size_t count) {
        if (at + count <= started) {
            std::copy_n(start + at, count, into);
            return true;
        }
        return std::fseek(file.get(), static_cast<long>(at), SEEK_SET) == 0
               && std::fread(into, 1, count, file.get()) == count;
    };
    char header[12];
    if (!file || ec || !readAt(0, header, sizeof header) || std::string(header, 4) != "RIFF"
        || std::string(header + 8, 4) != "WAVE")
        return std::string("not a RIFF wave file");

    std::optional<std::string> formatProblem;
    bool haveFormat = false;
    std::optional<std::uint64_t> dataSize;
    bool dataCut = false;
    for (std::uint64_t at = 12; at + 8 <= size && !(haveFormat && dataSize);) {
        char chunk[8];
        if (at > static_cast<std::uint64_t>(std::numeric_limits<long>::max()) || !readAt(at, chunk, sizeof chunk))
            break;
        const std::string id(chunk, 4);
        const std::uint64_t length = littleEndian(chunk + 4, 4);
        const std::uint64_t body = at + 8;
        if (id == "fmt " && !haveFormat) {
            char format[26] = {};
            const std::uint64_t wanted = std::min<std::uint64_t>(length, sizeof format);
            if (length < 16 || !readAt(body, format, static_cast<std::size_t>(wanted)))
                return std::string("a damaged format chunk");
            haveFormat = true;
            std::uint32_t tag = littleEndian(format, 2);
            const std::uint32_t channels = littleEndian(format + 2, 2);
            const std::uint32_t rate = littleEndian(format + 4, 4);
            const std::uint32_t bits = littleEndian(format + 14, 2);
            // WAVE_FORMAT_EXTENSIBLE names the real format in the first two
            // bytes of its subformat GUID.
            if (tag == kExtensible && length >= 26)
                tag = littleEndian(format + 24, 2);
            if (tag != kPcm)
                formatProblem = formatName(tag) + ", not plain PCM";
            else if (bits != 8 && bits != 16)
                formatProblem = std::to_string(bits) + "-bit samples";
            else if (channels < 1 || channels > 2)
                formatProblem = std::to_string(channels) + " channels";
            else if (rate < 8000 || rate > 48000)
                formatProblem = std::to_string(rate) + " samples a second";
            facts.tag = tag;
            facts.channels = channels;
            facts.rate = rate;
            facts.bits = bits;
            facts.blockAlign = littleEndian(format + 12, 2);
        } else if (id == "data" && !dataSize) {
            dataSize = length;
            facts.dataSize = length;
            dataCut = body + length > size;
        }
        // Chunks are padded to an even length.
        at = body + length + (length & 1u);
    }
    if (!haveFormat)
        return std::string("no format chunk");
    if (formatProblem)
        return formatProblem;
    if (!dataSize || *dataSize == 0)
        return std::string("no sound data");
    if (dataCut)
        return std::string("the sound data is cut short");
    return std::nullopt;
}

} // namespace

std::optional<std::string> waveProblem(const std::string &path)
{
    WaveFacts facts;
    return readWave(path, facts);
}

std::optional<std::uint64_t> waveStatedFrames(const std::string &path)
{
    WaveFacts facts;
    static_cast<void>(readWave(path, facts));
    // Kinds whose every frame takes the same bytes.
    constexpr std::uint32_t kFloat = 0x0003, kALaw = 0x0006, kMuLaw = 0x0007;
    const bool fixed = facts.tag == kPcm || facts.tag == kFloat || facts.tag == kALaw || facts.tag == kMuLaw;
    // A wave written to a pipe cannot go back to give its size: its writer
    // puts 0 or about the largest there is, which states nothing.
    constexpr std::uint64_t kUnknownSize = 0x7FFFF000;
    if (!fixed || facts.blockAlign == 0 || facts.dataSize == 0 || facts.dataSize >= kUnknownSize)
        return std::nullopt;
    return facts.dataSize / facts.blockAlign;
}

std::optional<WaveHeader> waveHeader(const std::string &path)
{
    WaveFacts facts;
    static_cast<void>(readWave(path, facts));
    if (facts.tag == 0 && facts.rate == 0 && facts.channels == 0)
        return std::nullopt;
    return WaveHeader{facts.rate, facts.channels};
}

std::optional<double> waveSeconds(const std::string &path)
{
    WaveFacts facts;
    if (readWave(path, facts))
        return std::nullopt;
    const std::uint64_t frame = std::uint64_t{facts.channels} * facts.bits / 8;
    return static_cast<double>(facts.dataSize / frame) / facts.rate;
}

} // namespace vesk
