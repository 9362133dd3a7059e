#include "displaytext.h"

#include <gtest/gtest.h>

TEST(DisplayText, utf8StaysAndOlderSingleByteTextIsReadAsWindows1252)
{
    const struct
    {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"plain", "plain"},
        {"B\xC3\xB6se", "B\xC3\xB6se"},                           // UTF-8 already
        {"B\xF6se", "B\xC3\xB6se"},                               // Latin-1
        {"\x80 \x99 \x9F", "\xE2\x82\xAC \xE2\x84\xA2 \xC5\xB8"}, // the Windows-1252 range
        {"\x81", "\xC2\x81"},                                     // undefined there: its C1 code point
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                         // an overlong form is no UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},         // nor is a surrogate
        {"caf\xC3", "caf\xC3\x83"},                               // nor a sequence cut short
    };
    for (const auto &c : cases)
        EXPECT_EQ(vesk::displayText(c.bytes), c.shown) << c.bytes;
}

TEST(DisplayText, jpegWithoutEndAfterItsLastScanIsCutShort)
{
    const std::string head = "\xFF\xD8\xFF\xE0 header \xFF\xDA scan data \xFF\x00 more";
    EXPECT_FALSE(vesk::isCutShortJpeg(head + "\xFF\xD9"));
    EXPECT_FALSE(vesk::isCutShortJpeg(head + "\xFF\xD9 trailing bytes"));
    EXPECT_TRUE(vesk::isCutShortJpeg(head));
    EXPECT_TRUE(vesk::isCutShortJpeg("\xFF\xD8\xFF\xE0 header only"));
    EXPECT_FALSE(vesk::isCutShortJpeg("GIF89a")); // not a JPEG: the decoder judges
}

// A long path in a message line keeps its start and end, cut between
// characters, never inside one.
TEST(DisplayText, aLongPathIsShortenedInItsMiddle)
{
    const std::string music = "/home/ann/M\xC3\xBCsik/" + std::string(100, 'x') + "/\xE9\x9F\xB3.wav";
    const struct
    {
        std::string path;
        std::size_t most;
        std::string shown;
    } cases[] = {
        {"/s/a.wav", 72, "/s/a.wav"},
        {std::string(72, 'a'), 72, std::string(72, 'a')},
        {std::string(40, 'a') + std::string(40, 'b'), 11,
         "aaaaa\xE2\x80\xA6"
         "bbbbb"},
        {music, 21,
         "/home/ann/\xE2\x80\xA6"
         "xxxx/\xE9\x9F\xB3.wav"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(vesk::shortenedInMiddle(c.path, c.most), c.shown) << c.path;
}
