#pragma once

// Small tools for the bytes of names and lines, one home for all.
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// A to Z as a to z; every other byte as it is.
char asciiLower(char c);
// The same bytes but for the letter case of A to Z.
bool sameIgnoringAsciiCase(std::string_view a, std::string_view b);
bool startsWith(std::string_view text, std::string_view prefix);
bool endsWith(std::string_view text, std::string_view suffix);
bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix);

// The order the directory and file lists show names in, in both builds:
// by their bytes with A to Z taken as a to z, then by their bytes.
bool listedBefore(std::string_view a, std::string_view b);

// "44,100", "2,000,000,000": a whole number with its thousands marked.
std::string grouped(long long value);

// "64 KiB", "64 MiB", "100 bytes": a size in the unit that fits it.
std::string sizeText(std::size_t bytes);

// The lines of a text, each without its LF or CR LF; a last line without
// one counts, an empty end does not. They point into `text`.
std::vector<std::string_view> textLines(std::string_view text);

} // namespace vesk
