#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

struct Rgb
{
    unsigned char red, green, blue;
};

// Which names an element of the installer's window understands. The caption
// labels and the creator's name and address know the seven names that the
// editor offers; the web page, the theme name and the background know all ten.
enum class ColourNames {
    Seven,
    Ten
};

// The colour for a name, compared exactly and case-sensitively; nothing when
// the group does not know the name.
std::optional<Rgb> colourByName(const std::string &name, ColourNames group);

// The seven names the editor offers, in alphabetical order.
std::vector<std::string> editorColourNames();

} // namespace vesk
