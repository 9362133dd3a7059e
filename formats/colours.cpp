#include "colours.h"

#include <algorithm>

namespace vesk {

namespace {

struct NamedColour
{
    const char *name;
    Rgb rgb;
    bool inSeven;
};

// The order is the order in which the installer compares the names.
constexpr std::array<NamedColour, 10> kColours = {{
    {"Green", {0, 255, 0}, true},
    {"White", {255, 255, 255}, true},
    {"Black", {0, 0, 0}, true},
    {"Blue", {0, 0, 255}, true},
    {"Yellow", {255, 255, 0}, true},
    {"Pink", {255, 160, 200}, false},
    {"Red", {255, 0, 0}, true},
    {"Orange", {255, 140, 0}, false},
    {"Brown", {139, 69, 19}, true},
    {"Purple", {128, 0, 160}, false},
}};

} // namespace

std::optional<Rgb> colourByName(const std::string &name, ColourNames group)
{
    for (const auto &colour : kColours) {
        if (name == colour.name && (group == ColourNames::Ten || colour.inSeven))
            return colour.rgb;
    }
    return std::nullopt;
}

std::vector<std::string> editorColourNames()
{
    std::vector<std::string> names;
    for (const auto &colour : kColours) {
        if (colour.inSeven)
            names.emplace_back(colour.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace vesk
