#pragma once

#include "status.h"

#include <string>
#include <vector>

namespace vesk {

// A named web link of a theme. Neither part is checked: both may be empty.
struct Link
{
    std::string name;
    std::string address;

    bool operator==(const Link &other) const { return name == other.name && address == other.address; }
};

// What encloses each part of a link in links.txt: a double quote.
inline constexpr const char *kLinkQuote = "\"";

// links.txt in the game directory: the maker's line, then one line per link,
// each part enclosed in `quote` and the two joined by a comma. Nothing is
// escaped, as the game reads it.
std::vector<std::string> linksFileLines(const std::vector<Link> &links, const std::string &quote);
Status writeLinksFile(const std::string &path, const std::vector<Link> &links, const std::string &quote,
                      const std::string &shownAs = std::string());

} // namespace vesk
