#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vesk {

// Reads a text file as a stream of fields rather than lines, the way every
// file of both programs is read back:
// - blanks (spaces, tabs) in front of a field are skipped;
// - a field that begins with a double quote runs to the next double quote on
//   its line and loses the quotes; whatever follows the closing quote up to
//   the next comma or line end is dropped;
// - any other field runs to the next comma or line end (CR, LF or CR LF),
//   which is consumed;
// - an empty line, or nothing between two separators, is an empty field;
// - the end of the text before a field begins is a failure.
class FieldReader
{
public:
    explicit FieldReader(std::string_view text) : m_text(text) {}

    // The next field, or nothing at the end of the text.
    std::optional<std::string> next();
    // Where the next field would begin: what is read so far.
    size_t position() const { return m_pos; }

private:
    bool atLineEnd() const;
    void consumeSeparator();

    std::string_view m_text;
    size_t m_pos = 0;
};

// A count line such as " 2 ": a whole number between optional blanks.
std::optional<long long> parseWholeNumber(std::string_view field);

// A number in decimal notation, a fraction allowed ("10", "19.5"). Text after
// the digits, such as a unit ("12pt"), makes it no number.
std::optional<double> parseNumber(std::string_view field);

// How a value is written so that FieldReader gives it back whole: unchanged
// when it can be, within double quotes when it holds a comma or begins with a
// blank or a double quote. Nothing when no form carries it: a value that needs
// quotes and holds a double quote itself, or one that holds a line end.
std::optional<std::string> encodeField(const std::string &value);

} // namespace vesk
