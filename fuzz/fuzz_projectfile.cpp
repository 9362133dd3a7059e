// Any bytes as a project file: parsing ends, and whatever it accepts is saved
// in a form that parses back to the same project.
#include "projectfile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vesk::Project project;
    const std::string text(reinterpret_cast<const char *>(data), size);
    if (!vesk::parseProject(text, project).ok())
        return 0;

    std::vector<std::string> lines;
    if (!vesk::projectFileLines(project, lines).ok())
        return 0; // a value no form carries; saving refuses it
    std::string file;
    for (const std::string &line : lines)
        file += line + "\r\n";
    vesk::Project again;
    if (!vesk::parseProject(file, again).ok() || again.slots != project.slots || !(again.links == project.links))
        std::abort();
    return 0;
}
