#include "projectfile.h"

#include "fieldreader.h"
#include "textfile.h"

namespace vesk {

namespace {

Status uncarriable(const std::string &value)
{
    return Status::failure("the value \"" + value
                           + "\" cannot be stored in a project file: it needs quotes and holds a double quote or"
                             " a line break itself");
}

} // namespace

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

Result<Project> parseProject(const std::string &text)
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
    return read;
}

Result<Project> loadProject(const std::string &path)
{
    const Result<std::string> text = readFile(path, kProjectFileLimit, Overflow::Refuse);
    if (!text)
        return text.status();
    Result<Project> parsed = parseProject(*text);
    if (!parsed)
        return Status::failure(parsed.code(), path + " is not a complete theme project: " + parsed.error());
    return parsed;
}

} // namespace vesk
