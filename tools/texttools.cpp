#include "texttools.h"

#include <algorithm>

namespace vesk {

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && sameIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

bool listedBefore(std::string_view a, std::string_view b)
{
    const auto byte = [](char c) { return static_cast<unsigned char>(asciiLower(c)); };
    const bool folded = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                     [&](char x, char y) { return byte(x) < byte(y); });
    if (folded || std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), [&](char x, char y) {
            return byte(x) < byte(y);
        }))
        return folded;
    // The same but for case: the bytes decide, so that the order is whole.
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

std::string grouped(long long value)
{
    std::string digits = std::to_string(value);
    const std::ptrdiff_t sign = value < 0 ? 1 : 0;
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > sign; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string sizeText(std::size_t bytes)
{
    constexpr std::size_t KiB = 1024, MiB = 1024 * 1024;
    if (bytes >= MiB && bytes % MiB == 0)
        return std::to_string(bytes / MiB) + " MiB";
    if (bytes >= KiB && bytes % KiB == 0)
        return std::to_string(bytes / KiB) + " KiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

std::vector<std::string_view> textLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
    }
    return lines;
}

} // namespace vesk
