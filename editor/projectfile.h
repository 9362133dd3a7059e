#pragma once

#include "links.h"
#include "slotcatalogue.h"
#include "status.h"

#include <string>
#include <vector>

namespace vesk {

// A theme project (*.vsk): the 47 slot values, one per line in index order,
// then the number of links as a space, its digits and a space, then each
// link's name and address on lines of their own. Every line ends in CR LF.
struct Project
{
    SlotValues slots;
    std::vector<Link> links;

    Project() { slots.fill(kNoSound); }
};

// The lines of the file. A value that the reader would split or trim is
// quoted; a value that no form carries fails, naming the value.
Status projectFileLines(const Project &project, std::vector<std::string> &lines);

// Writes the whole file beside the target and renames it over the target
// only when it is complete, so that a failed save keeps the old file.
Status saveProject(const std::string &path, const Project &project);

// Reads and checks the whole file. `project` is set only when the file is a
// complete project: 47 slot fields, a whole-number count and as many link
// pairs as it announces. A count of 0 or less means no links.
// A file over kProjectFileLimit, or one that is no regular file, is refused.
Result<Project> loadProject(const std::string &path);
Result<Project> parseProject(const std::string &text);

} // namespace vesk
