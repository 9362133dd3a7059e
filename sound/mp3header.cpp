#include "mp3header.h"

#include "paths.h"

#include <cstdio>

namespace vesk {

namespace {

unsigned byteAt(const std::string &bytes, std::size_t at)
{
    return static_cast<unsigned char>(bytes[at]);
}

std::uint32_t bigEndian(const std::string &bytes, std::size_t at, int count)
{
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | byteAt(bytes, at + static_cast<std::size_t>(i));
    return value;
}

} // namespace

std::uint64_t Mp3Header::length() const
{
    const std::uint64_t trimmed = static_cast<std::uint64_t>(delay.value_or(0) + padding.value_or(0));
    return samples > trimmed ? samples - trimmed : 0;
}

std::optional<Mp3Header> readMp3Header(const std::string &path)
{
    const FilePtr opened(openFile(path, "rb"));
    std::FILE *file = opened.get();
    if (!file)
        return std::nullopt;
    std::string bytes(10, '\0');
    bytes.resize(std::fread(&bytes[0], 1, bytes.size(), file));
    long tag = 0;
    // ID3v2: ten bytes, the size in four bytes of seven bits each, and a
    // footer of ten more where its flag says so.
    if (bytes.size() == 10 && bytes.compare(0, 3, "ID3") == 0) {
        tag = 10
              + static_cast<long>(std::size_t{byteAt(bytes, 6) & 0x7Fu} << 21
                                  | std::size_t{byteAt(bytes, 7) & 0x7Fu} << 14
                                  | std::size_t{byteAt(bytes, 8) & 0x7Fu} << 7 | std::size_t{byteAt(bytes, 9) & 0x7Fu});
        if (byteAt(bytes, 5) & 0x10)
            tag += 10;
    }
    // The first frame's header and what it carries fit in 256 bytes.
    bytes.assign(256, '\0');
    bytes.resize(std::fseek(file, tag, SEEK_SET) == 0 ? std::fread(&bytes[0], 1, bytes.size(), file) : 0);
    const std::size_t at = 0;
    if (bytes.size() < at + 4 || byteAt(bytes, at) != 0xFF || (byteAt(bytes, at + 1) & 0xE0) != 0xE0)
        return std::nullopt;
    const unsigned version = byteAt(bytes, at + 1) >> 3 & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const unsigned layer = byteAt(bytes, at + 1) >> 1 & 3;   // 1: layer III
    const unsigned rateIndex = byteAt(bytes, at + 2) >> 2 & 3;
    const bool mono = (byteAt(bytes, at + 3) >> 6 & 3) == 3;
    if (version == 1 || layer != 1 || rateIndex == 3)
        return std::nullopt;
    static const int rates[3] = {44100, 48000, 32000};
    Mp3Header header;
    header.rate = rates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    const std::uint64_t perFrame = version == 3 ? 1152 : 576;

    // Xing or Info stands behind the side information; VBRI 32 bytes in.
    const std::size_t side = version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    const std::size_t xing = at + 4 + side;
    if (bytes.size() >= xing + 12 && (bytes.compare(xing, 4, "Xing") == 0 || bytes.compare(xing, 4, "Info") == 0)) {
        const std::uint32_t flags = bigEndian(bytes, xing + 4, 4);
        if (!(flags & 1))
            return std::nullopt;
        header.samples = bigEndian(bytes, xing + 8, 4) * perFrame;
        // LAME's tag follows the frame count, the byte count, the table of
        // contents and the quality; its delay and padding are 12 bits each.
        std::size_t lame = xing + 12;
        lame += (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
        if (bytes.size() >= lame + 24 && bytes.compare(lame, 4, "LAME") == 0) {
            const std::uint32_t gap = bigEndian(bytes, lame + 21, 3);
            header.delay = static_cast<int>(gap >> 12);
            header.padding = static_cast<int>(gap & 0xFFF);
        }
        return header;
    }
    const std::size_t vbri = at + 4 + 32;
    if (bytes.size() >= vbri + 18 && bytes.compare(vbri, 4, "VBRI") == 0) {
        header.samples = bigEndian(bytes, vbri + 14, 4) * perFrame;
        return header;
    }
    return std::nullopt;
}

} // namespace vesk
