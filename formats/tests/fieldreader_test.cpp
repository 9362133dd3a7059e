#include "fieldreader.h"

#include <gtest/gtest.h>

#include <vector>

using vesk::FieldReader;

namespace {

// Every field until the reader reports the end.
std::vector<std::string> allFields(std::string_view text)
{
    FieldReader reader(text);
    std::vector<std::string> fields;
    while (auto field = reader.next())
        fields.push_back(*field);
    return fields;
}

using Fields = std::vector<std::string>;

} // namespace

// Unquoted fields
TEST(FieldReader, splitsAtCommasAndLineEnds)
{
    EXPECT_EQ(allFields("a,b\r\nc\r\n"), (Fields{"a", "b", "c"}));
}

TEST(FieldReader, acceptsLoneCrAndLoneLfAsLineEnds)
{
    EXPECT_EQ(allFields("a\rb\nc\r\nd"), (Fields{"a", "b", "c", "d"}));
}

TEST(FieldReader, skipsLeadingBlanksButKeepsTrailingOnes)
{
    EXPECT_EQ(allFields("   a b  \r\n\tc\r\n"), (Fields{"a b  ", "c"}));
}

// Empty fields
TEST(FieldReader, emptyLinesAndEmptySlotsBetweenSeparatorsAreFields)
{
    EXPECT_EQ(allFields("\r\n\r\na,,b,\r\n"), (Fields{"", "", "a", "", "b", ""}));
}

TEST(FieldReader, blankLineIsOneEmptyField)
{
    EXPECT_EQ(allFields("   \r\nx\r\n"), (Fields{"", "x"}));
}

// Quoted fields
TEST(FieldReader, quotedFieldKeepsCommasAndLosesItsQuotes)
{
    EXPECT_EQ(allFields("\"Smith, J\",next\r\n"), (Fields{"Smith, J", "next"}));
}

TEST(FieldReader, textAfterClosingQuoteIsDroppedUpToTheSeparator)
{
    EXPECT_EQ(allFields("\"abc\"def,g\r\n\"x\"  \r\ny\r\n"), (Fields{"abc", "g", "x", "y"}));
}

TEST(FieldReader, quotedFieldWithoutClosingQuoteEndsAtItsLine)
{
    EXPECT_EQ(allFields("\"open,still\r\nnext\r\n"), (Fields{"open,still", "next"}));
}

TEST(FieldReader, quotedEmptyFieldIsEmpty)
{
    EXPECT_EQ(allFields("\"\"\r\n"), (Fields{""}));
}

// End of file
TEST(FieldReader, endOfFileBeforeAFieldBeginsIsAFailure)
{
    FieldReader empty("");
    EXPECT_FALSE(empty.next());

    FieldReader blanksOnly("   ");
    EXPECT_FALSE(blanksOnly.next());

    FieldReader one("last");
    EXPECT_EQ(one.next(), "last");
    EXPECT_FALSE(one.next());

    FieldReader terminated("last\r\n");
    EXPECT_EQ(terminated.next(), "last");
    EXPECT_FALSE(terminated.next());
}

TEST(FieldReader, keepsNulAndHighBytesInsideFields)
{
    const std::string text("a\0b,\xe9t\xe9\r\n", 9);
    EXPECT_EQ(allFields(text), (Fields{std::string("a\0b", 3), "\xe9t\xe9"}));
}

// Numbers
TEST(ParseWholeNumber, readsTheCountLineBetweenBlanks)
{
    EXPECT_EQ(vesk::parseWholeNumber(" 2 "), 2);
    EXPECT_EQ(vesk::parseWholeNumber(" 0 "), 0);
    EXPECT_EQ(vesk::parseWholeNumber("-1"), -1);
    EXPECT_EQ(vesk::parseWholeNumber("007"), 7);
}

TEST(ParseWholeNumber, refusesWhatIsNoWholeNumber)
{
    for (const char *text : {"", "  ", "abc", "1.5", "2x", "- 1", "99999999999999999999999"})
        EXPECT_FALSE(vesk::parseWholeNumber(text)) << text;
}

TEST(ParseNumber, acceptsFractionsAndRefusesUnits)
{
    EXPECT_EQ(vesk::parseNumber("10"), 10.0);
    EXPECT_EQ(vesk::parseNumber("19.5"), 19.5);
    EXPECT_EQ(vesk::parseNumber(" 8 "), 8.0);
    EXPECT_FALSE(vesk::parseNumber("12pt"));
    EXPECT_FALSE(vesk::parseNumber(""));
    EXPECT_FALSE(vesk::parseNumber("http://x"));
}

// Encoding for the reader
TEST(EncodeField, leavesPlainValuesAlone)
{
    EXPECT_EQ(vesk::encodeField("C:\\Games\\Kestrova"), "C:\\Games\\Kestrova");
    EXPECT_EQ(vesk::encodeField(""), "");
    EXPECT_EQ(vesk::encodeField("say \"hi\""), "say \"hi\"");
}

TEST(EncodeField, quotesWhatTheReaderWouldSplitOrTrim)
{
    EXPECT_EQ(vesk::encodeField("Smith, J"), "\"Smith, J\"");
    EXPECT_EQ(vesk::encodeField(" lead"), "\" lead\"");
    EXPECT_EQ(vesk::encodeField("\"quoted"), std::nullopt);
    EXPECT_EQ(vesk::encodeField("a,\"b\""), std::nullopt);
    EXPECT_EQ(vesk::encodeField("two\r\nlines"), std::nullopt);
}

TEST(EncodeField, everyCarriedValueReadsBackWhole)
{
    for (const std::string value : {"a,b", " x", "\ty", "plain", "", "/home/a b/c,d.wav", "x\"y"}) {
        const auto encoded = vesk::encodeField(value);
        ASSERT_TRUE(encoded) << value;
        const std::string file = *encoded + "\r\nafter\r\n";
        FieldReader reader(file);
        EXPECT_EQ(reader.next(), value);
        EXPECT_EQ(reader.next(), "after");
    }
}
