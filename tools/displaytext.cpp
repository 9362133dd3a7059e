#include "displaytext.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace vesk {

namespace {

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined keep
// their C1 code points, as Windows' own conversion gives them.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string &out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

bool isUtf8(const std::string &bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        const auto byte = [&bytes](size_t at) { return static_cast<unsigned char>(bytes[at]); };
        const unsigned char lead = byte(i);
        size_t length = 0;
        std::uint32_t code = 0, least = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, code = lead & 0x1Fu, least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, code = lead & 0x0Fu, least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, code = lead & 0x07u, least = 0x10000;
        } else {
            return false;
        }
        if (i + length > bytes.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                return false;
            code = code << 6 | (byte(i + k) & 0x3Fu);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string displayText(const std::string &bytes)
{
    if (isUtf8(bytes))
        return bytes;
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(text, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte);
    }
    return text;
}

bool isCutShortJpeg(const std::string &bytes)
{
    if (bytes.compare(0, 2, "\xFF\xD8") != 0)
        return false;
    // Within the coded data a 0xFF byte is always followed by 0x00 or a
    // restart marker, so a start-of-scan or end-of-image marker is real.
    const size_t scan = bytes.rfind("\xFF\xDA");
    return scan == std::string::npos || bytes.find("\xFF\xD9", scan) == std::string::npos;
}

std::string shortenedInMiddle(const std::string &bytes, std::size_t most)
{
    // Characters by their first bytes: a UTF-8 continuation byte is none.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    if (starts.size() <= most || most < 3)
        return bytes;
    const std::size_t keep = most - 1, head = keep / 2, tail = keep - head;
    return bytes.substr(0, starts[head]) + "\xE2\x80\xA6" + bytes.substr(starts[starts.size() - tail]);
}

std::string lengthText(double seconds)
{
    // Under what one decimal of a second shows: milliseconds.
    if (seconds < 0.05) {
        char text[32];
        std::snprintf(text, sizeof text, "%.0f ms", seconds * 1000);
        return text;
    }
    if (seconds < 59.95) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f s", seconds);
        return text;
    }
    const long whole = std::lround(seconds);
    if (whole < 3600)
        return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
    return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
}

} // namespace vesk
