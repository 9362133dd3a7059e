#include "themedescription.h"

#include "fieldreader.h"
#include "textfile.h"

#include <vector>

namespace vesk {

const std::array<const char *, ThemeDescription::kFieldCount> &ThemeDescription::fieldNames()
{
    static const std::array<const char *, kFieldCount> names = {
        "name", "email", "webpage", "font", "fontcolor", "bgcolor", "themename"};
    return names;
}

std::array<const std::string *, ThemeDescription::kFieldCount> ThemeDescription::fields() const
{
    return {&name, &email, &webpage, &font, &fontcolor, &bgcolor, &themename};
}

Status writeThemeDescription(const std::string &path, const ThemeDescription &theme)
{
    std::vector<std::string> lines;
    const auto values = theme.fields();
    for (int i = 0; i < ThemeDescription::kFieldCount; ++i) {
        auto encoded = encodeField(*values[i]);
        if (!encoded)
            return Status::failure(std::string("the ") + ThemeDescription::fieldNames()[i] + " \"" + *values[i]
                                   + "\" cannot be stored in theme.cfg: it needs quotes and holds a double quote"
                                     " or a line break itself");
        lines.push_back(std::move(*encoded));
    }
    return writeTextFile(path, lines);
}

ThemeReading readThemeDescription(const std::string &path)
{
    const auto text = readWholeFile(path);
    if (!text)
        return ThemeReading();
    return parseThemeDescription(*text);
}

ThemeReading parseThemeDescription(std::string_view text)
{
    ThemeReading reading;
    reading.opened = true;
    FieldReader reader(text);
    for (int i = 0; i < ThemeDescription::kFieldCount; ++i) {
        auto field = reader.next();
        if (!field)
            break;
        if (i == 3) {
            // An empty line is the number 0, which the installer then holds
            // to its smallest size; any other text must be a number.
            const bool blank = field->find_first_not_of(" \t") == std::string::npos;
            reading.fontSize = blank ? std::optional<double>(0.0) : parseNumber(*field);
            if (!reading.fontSize)
                break;
        }
        reading.fields[i] = std::move(*field);
        reading.fieldsRead = i + 1;
    }
    return reading;
}

} // namespace vesk
