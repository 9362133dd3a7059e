#include "themedescription.h"

#include "fieldreader.h"
#include "files.h"

#include <vector>

namespace vesk {

const std::array<const char *, ThemeDescription::kFieldCount> &ThemeDescription::fieldNames()
{
    static const std::array<const char *, kFieldCount> names
        = {"name", "email", "webpage", "font", "fontcolor", "bgcolor", "themename"};
    return names;
}

std::array<const std::string *, ThemeDescription::kFieldCount> ThemeDescription::fields() const
{
    return {&name, &email, &webpage, &font, &fontcolor, &bgcolor, &themename};
}

std::array<std::string *, ThemeDescription::kFieldCount> ThemeDescription::fields()
{
    return {&name, &email, &webpage, &font, &fontcolor, &bgcolor, &themename};
}

Status writeThemeDescription(const std::string &path, const ThemeDescription &theme)
{
    std::vector<std::string> lines;
    const auto values = theme.fields();
    for (size_t i = 0; i < values.size(); ++i) {
        auto encoded = encodeField(*values[i]);
        if (!encoded)
            return Status::failure(std::string("the ") + ThemeDescription::fieldNames()[i] + " \"" + *values[i]
                                   + "\" cannot be stored in theme.cfg: it needs quotes and holds a double quote"
                                     " or a line break itself");
        lines.push_back(std::move(*encoded));
    }
    return writeTextFile(path, lines);
}

Result<ThemeReading> readThemeDescription(const std::string &path)
{
    const Result<std::string> text = readFile(path, kSmallFileLimit, Overflow::Cut);
    if (!text)
        return text.status();
    return parseThemeDescription(*text);
}

ThemeReading parseThemeDescription(std::string_view text)
{
    ThemeReading reading;
    const auto members = reading.theme.fields();
    FieldReader reader(text);
    for (int line = 1; line <= ThemeDescription::kFieldCount; ++line) {
        auto field = reader.next();
        if (!field)
            break;
        if (line == ThemeReading::kFontLine) {
            // An empty line is the number 0, which the installer then holds
            // to its smallest size; any other text must be a number.
            const bool blank = field->find_first_not_of(" \t") == std::string::npos;
            reading.fontSize = blank ? std::optional<double>(0.0) : parseNumber(*field);
            if (!reading.fontSize)
                break;
        }
        *members[static_cast<size_t>(line - 1)] = std::move(*field);
        reading.fieldsRead = line;
    }
    return reading;
}

} // namespace vesk
