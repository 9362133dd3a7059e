#include "colours.h"
#include "files.h"
#include "tempdir.h"
#include "themedescription.h"
#include "themefiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class ThemeDescriptionTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_file = path("theme.cfg");
    }
    void writeRaw(const std::string &bytes) { writeBytes(m_file, bytes); }

    std::string m_file;
};

vesk::ThemeDescription editorDefaults()
{
    vesk::ThemeDescription theme;
    theme.webpage = "http://";
    theme.font = "10";
    theme.fontcolor = "Black";
    theme.bgcolor = "White";
    return theme;
}

} // namespace

// Writing
TEST_F(ThemeDescriptionTest, editorDefaultsAreThe33ByteFile)
{
    ASSERT_TRUE(vesk::writeThemeDescription(m_file, editorDefaults()).ok());
    const std::string bytes = vesk::readFile(m_file, vesk::kSmallFileLimit, vesk::Overflow::Refuse).value();
    EXPECT_EQ(bytes, "\r\n\r\nhttp://\r\n10\r\nBlack\r\nWhite\r\n\r\n");
    EXPECT_EQ(bytes.size(), 33u);
}

TEST_F(ThemeDescriptionTest, commaValueIsQuotedAndReadsBackWholeWithoutShiftingLaterFields)
{
    vesk::ThemeDescription theme = editorDefaults();
    theme.name = "Smith, J";
    theme.themename = "Night, Day";
    ASSERT_TRUE(vesk::writeThemeDescription(m_file, theme).ok());
    const vesk::ThemeReading reading = vesk::readThemeDescription(m_file).value();
    ASSERT_EQ(reading.fieldsRead, 7);
    EXPECT_EQ(reading.theme.name, "Smith, J");
    EXPECT_EQ(reading.theme.webpage, "http://");
    EXPECT_EQ(reading.fontSize, 10.0);
    EXPECT_EQ(reading.theme.themename, "Night, Day");
}

TEST_F(ThemeDescriptionTest, uncarriableValueIsRefusedNamingItsFieldAndNothingIsWritten)
{
    writeRaw("old");
    vesk::ThemeDescription theme = editorDefaults();
    theme.email = "\"me\"@example.org, work";
    const vesk::Status status = vesk::writeThemeDescription(m_file, theme);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().find("email"), std::string::npos) << status.error();
    EXPECT_EQ(vesk::readFile(m_file, vesk::kSmallFileLimit, vesk::Overflow::Refuse).value(), "old");
}

// Reading
TEST_F(ThemeDescriptionTest, emptyLinesAreFields)
{
    writeRaw("\r\n\r\n\r\n14\r\nRed\r\nBlue\r\nTheme\r\n");
    const vesk::ThemeReading reading = vesk::readThemeDescription(m_file).value();
    EXPECT_EQ(reading.fieldsRead, 7);
    EXPECT_EQ(reading.fontSize, 14.0);
    EXPECT_EQ(reading.theme.themename, "Theme");
}

TEST_F(ThemeDescriptionTest, emptySizeLineIsTheNumberZero)
{
    writeRaw("a\r\nb\r\nc\r\n\r\nRed\r\n");
    const vesk::ThemeReading reading = vesk::readThemeDescription(m_file).value();
    EXPECT_EQ(reading.fieldsRead, 5);
    EXPECT_EQ(reading.fontSize, 0.0);
}

TEST_F(ThemeDescriptionTest, threeLinesGiveThreeFieldsAndThenStop)
{
    writeRaw("Ann\r\nann@example.org\r\nhttp://ann.example.org\r\n");
    const vesk::ThemeReading reading = vesk::readThemeDescription(m_file).value();
    EXPECT_EQ(reading.fieldsRead, 3);
    EXPECT_EQ(reading.theme.webpage, "http://ann.example.org");
    EXPECT_FALSE(reading.fontSize);
}

TEST_F(ThemeDescriptionTest, extraLinesAreIgnored)
{
    writeRaw("a\r\nb\r\nc\r\n9.5\r\nGreen\r\nPink\r\nt\r\nmore\r\nlines\r\n");
    const vesk::ThemeReading reading = vesk::readThemeDescription(m_file).value();
    EXPECT_EQ(reading.fieldsRead, 7);
    EXPECT_EQ(reading.fontSize, 9.5);
    EXPECT_EQ(reading.theme.themename, "t");
}

TEST_F(ThemeDescriptionTest, sizeWithAUnitStopsTheReadingAtTheFont)
{
    writeRaw("a\r\nb\r\nc\r\n12pt\r\nRed\r\nBlue\r\nt\r\n");
    const vesk::ThemeReading reading = vesk::readThemeDescription(m_file).value();
    EXPECT_EQ(reading.fieldsRead, 3);
    EXPECT_FALSE(reading.fontSize);
}

TEST_F(ThemeDescriptionTest, unquotedCommaShiftsFieldsAsOldFilesDid)
{
    writeRaw("Smith, J\r\nj@example.org\r\nhttp://\r\n10\r\nBlack\r\nWhite\r\n\r\n");
    const vesk::ThemeReading reading = vesk::readThemeDescription(m_file).value();
    EXPECT_EQ(reading.theme.name, "Smith");
    EXPECT_EQ(reading.theme.email, "J");
    EXPECT_EQ(reading.fieldsRead, 3) << "the web page lands in the size and is no number";
}

TEST_F(ThemeDescriptionTest, missingFileIsNotOpened)
{
    const auto reading = vesk::readThemeDescription(m_file + ".absent");
    EXPECT_EQ(reading.code(), vesk::ErrorCode::NotFound);
}

// Colour names
TEST(Colours, namesMatchExactlyAndByGroup)
{
    EXPECT_TRUE(vesk::colourByName("Brown", vesk::ColourNames::Seven));
    EXPECT_FALSE(vesk::colourByName("Pink", vesk::ColourNames::Seven));
    EXPECT_TRUE(vesk::colourByName("Pink", vesk::ColourNames::Ten));
    EXPECT_FALSE(vesk::colourByName("black", vesk::ColourNames::Ten));
    EXPECT_FALSE(vesk::colourByName("Black ", vesk::ColourNames::Ten));
    const vesk::Rgb red = *vesk::colourByName("Red", vesk::ColourNames::Ten);
    EXPECT_EQ(red.red, 255);
    EXPECT_EQ(red.green, 0);
}

TEST(Colours, editorOffersTheSevenNamesSorted)
{
    EXPECT_EQ(vesk::editorColourNames(),
              (std::vector<std::string>{"Black", "Blue", "Brown", "Green", "Red", "White", "Yellow"}));
}

// What a package may hold
TEST(ThemeFiles, namesCompareAsWindowsComparesThem)
{
    EXPECT_TRUE(vesk::isThemeFile("BOMB1.WA2"));
    EXPECT_TRUE(vesk::isThemeFile("Install.Exe"));
    EXPECT_FALSE(vesk::isThemeFile("bomb1.wav"));
    EXPECT_TRUE(vesk::isProgramFile("EVIL.DLL"));
    EXPECT_TRUE(vesk::isProgramFile("a.tar.ps1"));
    EXPECT_FALSE(vesk::isProgramFile("dll"));
    EXPECT_FALSE(vesk::isProgramFile("notes.js.txt"));
}
