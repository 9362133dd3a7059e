#include "texttools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

// Both builds' directory and file lists show names in this one order:
// letters regardless of the case of A to Z, bytes beyond ASCII as they are,
// names the same but for case by their bytes.
TEST(ListingOrder, foldsTheCaseOfAsciiAloneAndIsWhole)
{
    const std::vector<std::vector<std::string>> cases = {
        {"Alpha", "beta", "Gamma"},
        {"a", "A1", "ab"},
        {"README", "ReadMe", "readme"},
        {"_x", "Zeta", "\xc3\x89t\xc3\xa9", "\xc3\xa9t\xc3\xa9"}, // "_" before the letters, as in bytes; É before é
        {"bomb1.wa2", "BOMB10.WA2", "bomb2.wa2"},
    };
    for (const std::vector<std::string> &listed : cases) {
        std::vector<std::string> names(listed.rbegin(), listed.rend());
        std::sort(names.begin(), names.end(), vesk::listedBefore);
        EXPECT_EQ(names, listed);
    }
}

// Every text the programs read by lines, written on Windows or elsewhere.
TEST(TextLines, endInLfOrCrLfAndAnUnfinishedLastLineCounts)
{
    using Lines = std::vector<std::string_view>;
    const struct
    {
        std::string_view text;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"\r\n\nc\r", {"", "", "c"}},
        {"a\rb\n", {"a\rb"}}, // a CR alone ends no line
    };
    for (const auto &c : cases)
        EXPECT_EQ(vesk::textLines(c.text), c.lines) << c.text;
}
