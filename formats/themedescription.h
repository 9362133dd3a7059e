#pragma once

#include "status.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vesk {

// The seven values of theme.cfg, in the order of its lines.
struct ThemeDescription
{
    std::string name;      // creator's name
    std::string email;     // creator's e-mail address
    std::string webpage;   // creator's web page
    std::string font;      // font size in points, as text
    std::string fontcolor; // text colour, by name
    std::string bgcolor;   // background colour, by name
    std::string themename; // name of the theme

    static constexpr int kFieldCount = 7;
    static const std::array<const char *, kFieldCount> &fieldNames();
    // The members in the order of the file's lines.
    std::array<const std::string *, kFieldCount> fields() const;
    std::array<std::string *, kFieldCount> fields();
};

// Writes the seven values as seven CR LF lines. A value that holds a comma or
// begins with a blank or a double quote is written within quotes so that it
// reads back whole. A value that no form carries is refused before the file is
// touched, and the failure names its field.
Status writeThemeDescription(const std::string &path, const ThemeDescription &theme);

// What the installer gets out of a theme.cfg. Reading stops at the first
// missing field, or at a font size that is no number; the fields before that
// point are good.
struct ThemeReading
{
    int fieldsRead = 0;             // 0 to 7; the members of the first fieldsRead lines hold values
    ThemeDescription theme;         // members past fieldsRead stay empty
    std::optional<double> fontSize; // set when fieldsRead >= 4

    // Field numbers as the installer takes them, counted from 1.
    static constexpr int kFontLine = 4;
    static constexpr int kFontColourLine = 5;
    static constexpr int kBackgroundLine = 6;
    static constexpr int kThemeNameLine = 7;
};

// A missing theme.cfg, or one that is no regular file or cannot be read,
// fails; the installer then shows no description at all. Only the first
// kSmallFileLimit bytes are read.
Result<ThemeReading> readThemeDescription(const std::string &path);
ThemeReading parseThemeDescription(std::string_view text); // the same, from the file's bytes

} // namespace vesk
