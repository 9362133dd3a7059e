#include "projectfile.h"

#include "fieldreader.h"
#include "files.h"
#include "texttools.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vesk {

namespace {

Status uncarriable(const std::string &value)
{
    return Status::failure("the value \"" + value
                           + "\" cannot be stored in a project file: it needs quotes and holds a double quote or"
                             " a line break itself");
}

std::string gainText(double gain)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", gain);
    std::string written = text;
    while (written.back() == '0')
        written.pop_back();
    if (written.back() == '.')
        written.pop_back();
    return written == "-0" ? "0" : written;
}

// The description's values by their names in the file, in its order.
constexpr int kDescriptionValues = ThemeDescription::kFieldCount + 2;
template<typename Description, typename Value>
std::array<std::pair<const char *, Value *>, kDescriptionValues> descriptionValues(Description &description)
{
    std::array<std::pair<const char *, Value *>, kDescriptionValues> values;
    const auto fields = description.theme.fields();
    for (size_t i = 0; i < fields.size(); ++i)
        values[i] = {ThemeDescription::fieldNames()[i], fields[i]};
    values[kDescriptionValues - 2] = {"picture", &description.picture};
    values[kDescriptionValues - 1] = {"folder", &description.folder};
    return values;
}

std::string escapedValue(const std::string &value)
{
    std::string written;
    for (const char c : value) {
        switch (c) {
        case '%':
            written += "%25";
            break;
        case '"':
            written += "%22";
            break;
        case '\r':
            written += "%0D";
            break;
        case '\n':
            written += "%0A";
            break;
        default:
            written += c;
        }
    }
    return written;
}

std::optional<std::string> unescapedValue(std::string_view value)
{
    std::string read;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            read += value[i];
            continue;
        }
        std::string code(value.substr(i + 1, 2));
        for (char &c : code)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        static const std::pair<const char *, char> escapes[] = {{"25", '%'}, {"22", '"'}, {"0D", '\r'}, {"0A", '\n'}};
        const auto escape = std::find_if(std::begin(escapes), std::end(escapes),
                                         [&code](const auto &known) { return code == known.first; });
        if (escape == std::end(escapes))
            return std::nullopt;
        read += escape->second;
        i += 2;
    }
    return read;
}

// What follows the links: the sound edits and the description, each read
// from its heading on. A line of either that cannot be read is left out and
// told; the rest loads.
void readSections(std::string_view rest, size_t firstLine, Project &project, std::vector<std::string> *notes)
{
    const auto note = [notes](size_t line, const std::string &text) {
        if (notes)
            notes->push_back("line " + std::to_string(line) + ": " + text);
    };
    enum class Section {
        None,
        Edits,
        Package
    } section = Section::None;
    std::array<bool, kSlotCount> seen{};
    std::array<bool, kDescriptionValues> given{};
    size_t number = firstLine - 1;
    for (const std::string_view line : textLines(rest)) {
        ++number;
        if (line.empty() || (line.size() == 1 && line[0] == kSectionsQuote))
            continue; // where the sections begin and end
        if (line == kSoundEditsLine || line == kPackageLine) {
            section = line == kSoundEditsLine ? Section::Edits : Section::Package;
            if (section == Section::Package && !project.description)
                project.description.emplace();
            continue;
        }
        if (section == Section::None)
            continue;
        if (section == Section::Package) {
            const size_t equals = line.find('=');
            const std::string_view key = line.substr(0, equals);
            const auto values = descriptionValues<PackageDescription, std::string>(*project.description);
            const auto value
                = std::find_if(values.begin(), values.end(), [&key](const auto &known) { return key == known.first; });
            const std::optional<std::string> text
                = equals == std::string_view::npos ? std::nullopt : unescapedValue(line.substr(equals + 1));
            const std::string quoted = "the package line \"" + std::string(line) + "\"";
            const std::string why = value == values.end() ? "\"" + std::string(key) + "\" is no value of a package"
                                    : equals == std::string_view::npos ? std::string("it has no \"=\"")
                                    : !text ? std::string("it holds a % that stands for nothing")
                                            : std::string();
            if (!why.empty())
                note(number, quoted + " cannot be read (" + why + "), so it was left out.");
            else if (given[static_cast<size_t>(value - values.begin())])
                note(number, "the package's " + std::string(key) + " is given twice; the second was left out.");
            else {
                *value->second = *text;
                given[static_cast<size_t>(value - values.begin())] = true;
            }
            continue;
        }
        int slot = 0;
        Result<SoundEdit> edit = parseSoundEditLine(line, slot);
        if (!edit) {
            note(number, "the sound edit \"" + std::string(line) + "\" cannot be read (" + edit.error()
                             + "), so it was left out.");
        } else if (seen[static_cast<size_t>(slot - 1)]) {
            note(number, "slot " + std::to_string(slot) + " is edited twice; the second edit was left out.");
        } else if (isEmptySlot(project.slots[static_cast<size_t>(slot - 1)])) {
            seen[static_cast<size_t>(slot - 1)] = true;
            note(number, slotDescription(slot) + " holds no sound, so its edit was left out.");
        } else {
            seen[static_cast<size_t>(slot - 1)] = true;
            // An edit that changes nothing is no edit, whatever it says of itself.
            project.edits[static_cast<size_t>(slot - 1)] = edit->empty() ? SoundEdit() : *edit;
        }
    }
}

} // namespace

bool PackageDescription::operator==(const PackageDescription &other) const
{
    const auto mine = descriptionValues<const PackageDescription, const std::string>(*this);
    const auto theirs = descriptionValues<const PackageDescription, const std::string>(other);
    return std::equal(mine.begin(), mine.end(), theirs.begin(),
                      [](const auto &a, const auto &b) { return *a.second == *b.second; });
}

bool isProjectFileName(const std::string &path)
{
    return endsWithIgnoringAsciiCase(path, ".vsk");
}

std::string soundEditLine(int slot, const SoundEdit &edit)
{
    std::string line = "slot=" + std::to_string(slot) + " start=" + millisecondsText(edit.start);
    if (edit.end)
        line += " end=" + millisecondsText(*edit.end);
    line += " fade-in=" + millisecondsText(edit.fadeIn) + " fade-out=" + millisecondsText(edit.fadeOut)
            + " gain=" + gainText(edit.gain);
    if (edit.matched)
        line += " matched";
    return line + " length=" + millisecondsText(edit.length);
}

Result<SoundEdit> parseSoundEditLine(std::string_view line, int &slot)
{
    const auto bad = [](std::string why) { return Status::failure(ErrorCode::BadFormat, std::move(why)); };
    SoundEdit edit;
    slot = 0;
    std::array<bool, 8> had{};
    static const char *const keys[] = {"slot", "start", "end", "fade-in", "fade-out", "gain", "matched", "length"};
    while (!line.empty()) {
        const size_t space = line.find(' ');
        const std::string_view word = line.substr(0, space);
        line = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        if (word.empty())
            continue;
        const size_t equals = word.find('=');
        const std::string_view key = word.substr(0, equals);
        const std::string_view value = equals == std::string_view::npos ? std::string_view() : word.substr(equals + 1);
        size_t which = 0;
        while (which < 8 && key != keys[which])
            ++which;
        if (which == 8)
            return bad("\"" + std::string(key) + "\" is no part of an edit");
        if (had[which])
            return bad("it gives \"" + std::string(key) + "\" twice");
        had[which] = true;
        if ((which == 6) != (equals == std::string_view::npos))
            return bad(which == 6 ? "\"matched\" takes no value" : "\"" + std::string(key) + "\" has no value");
        if (which == 0) {
            const std::optional<long long> number = parseWholeNumber(value);
            if (!number || *number < 1 || *number > kSlotCount || value.find(' ') != std::string_view::npos)
                return bad("there is no slot " + std::string(value));
            slot = static_cast<int>(*number);
        } else if (which == 5) {
            const std::string text(value);
            char *stop = nullptr;
            const double gain = std::strtod(text.c_str(), &stop);
            if (text.empty() || *stop || !std::isfinite(gain) || std::fabs(gain) > kGainRange
                || text.find_first_not_of("+-.0123456789") != std::string::npos)
                return bad("the gain " + text + " is not a number of dB from -24 to 24");
            edit.gain = roundedGain(gain);
        } else if (which != 6) {
            const std::optional<Micros> time = parseMilliseconds(value);
            if (!time)
                return bad("the " + std::string(key) + " " + std::string(value) + " is not a time in milliseconds");
            Micros *const field[]
                = {nullptr, &edit.start, nullptr, &edit.fadeIn, &edit.fadeOut, nullptr, nullptr, &edit.length};
            if (which == 2)
                edit.end = *time;
            else
                *field[which] = *time;
        } else {
            edit.matched = true;
        }
    }
    if (!slot)
        return bad("it names no slot");
    if (edit.end && *edit.end < edit.start + kShortestEdit)
        return bad("its end is not 10 ms after its start");
    return edit;
}

Status projectFileLines(const Project &project, std::vector<std::string> &lines)
{
    lines.clear();
    lines.reserve(kSlotCount + 1 + 2 * project.links.size());
    auto add = [&lines](const std::string &value) {
        auto encoded = encodeField(value);
        if (!encoded)
            return false;
        lines.push_back(std::move(*encoded));
        return true;
    };
    for (const std::string &value : project.slots) {
        if (!add(value))
            return uncarriable(value);
    }
    lines.push_back(" " + std::to_string(project.links.size()) + " ");
    for (const Link &link : project.links) {
        if (!add(link.name))
            return uncarriable(link.name);
        if (!add(link.address))
            return uncarriable(link.address);
    }
    // The sections after the links stand between two lines of a double
    // quote: one quoted field, which a reader of the slots and links alone
    // takes for the name of a link that never gets its address, and drops.
    // With no links announced, such a reader reads on to the end and would
    // otherwise take every line for a link.
    bool heading = false;
    for (int k = 1; k <= kSlotCount; ++k) {
        const SoundEdit &edit = project.edits[static_cast<size_t>(k - 1)];
        if (edit.empty() || isEmptySlot(project.slots[static_cast<size_t>(k - 1)]))
            continue;
        if (!heading) {
            lines.push_back(std::string(1, kSectionsQuote));
            lines.push_back(kSoundEditsLine);
        }
        heading = true;
        lines.push_back(soundEditLine(k, edit));
    }
    if (project.description) {
        if (!heading)
            lines.push_back(std::string(1, kSectionsQuote));
        heading = true;
        lines.push_back(kPackageLine);
        for (const auto &[key, value] :
             descriptionValues<const PackageDescription, const std::string>(*project.description))
            lines.push_back(key + ("=" + escapedValue(*value)));
    }
    if (heading)
        lines.push_back(std::string(1, kSectionsQuote));
    return Status::success();
}

Status saveProject(const std::string &path, const Project &project)
{
    std::vector<std::string> lines;
    Status built = projectFileLines(project, lines);
    if (!built.ok())
        return Status::failure("cannot save " + path + ": " + built.error());
    return writeTextFileAtomically(path, lines);
}

Result<Project> parseProject(const std::string &text, std::vector<std::string> *notes)
{
    const auto bad = [](std::string why) { return Status::failure(ErrorCode::BadFormat, std::move(why)); };
    Project read;
    FieldReader reader(text);
    for (int k = 0; k < kSlotCount; ++k) {
        auto field = reader.next();
        if (!field)
            return bad("it holds only " + std::to_string(k) + " of the " + std::to_string(kSlotCount) + " sound slots");
        read.slots[static_cast<size_t>(k)] = std::move(*field);
    }

    const auto countField = reader.next();
    if (!countField)
        return bad("it ends before the number of links");
    const auto count = parseWholeNumber(*countField);
    if (!count)
        return bad("the number of links, \"" + *countField + "\", is not a whole number");

    for (long long j = 0; j < *count; ++j) {
        auto name = reader.next();
        auto address = name ? reader.next() : std::nullopt;
        if (!address)
            return bad("it holds " + std::to_string(j) + " of the " + std::to_string(*count) + " links it announces");
        read.links.push_back({std::move(*name), std::move(*address)});
    }
    const size_t rest = reader.position();
    size_t line = 1;
    for (size_t at = 0; at < rest; ++at)
        line += text[at] == '\n';
    readSections(std::string_view(text).substr(rest), line, read, notes);
    return read;
}

Result<Project> loadProject(const std::string &path, std::vector<std::string> *notes)
{
    const Result<std::string> text = readFile(path, kProjectFileLimit, Overflow::Refuse);
    if (!text)
        return text.status();
    Result<Project> parsed = parseProject(*text, notes);
    if (!parsed)
        return Status::failure(parsed.code(), path + " is not a complete theme project: " + parsed.error());
    return parsed;
}

} // namespace vesk
