// Any bytes as a project file: parsing ends, and whatever it accepts is saved
// in a form that parses back to the same project, its sound edits and its
// package's description too.
#include "projectfile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const vesk::Result<vesk::Project> parsed = vesk::parseProject(text);
    if (!parsed)
        return 0;
    const vesk::Project &project = *parsed;

    std::vector<std::string> lines;
    if (!vesk::projectFileLines(project, lines).ok())
        return 0; // a value no form carries; saving refuses it
    std::string file;
    for (const std::string &line : lines)
        file += line + "\r\n";
    const vesk::Result<vesk::Project> again = vesk::parseProject(file);
    if (!again || again->slots != project.slots || !(again->links == project.links) || again->edits != project.edits
        || again->description != project.description)
        std::abort();
    return 0;
}
