#pragma once

#include "links.h"
#include "slotcatalogue.h"
#include "soundedit.h"
#include "status.h"
#include "themedescription.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// A theme project (*.vsk): the 47 slot values, one per line in index order,
// then the number of links as a space, its digits and a space, then each
// link's name and address on lines of their own. Every line ends in CR LF.
// The slots' sound edits follow, where there are any, under a line
// "[sound edits]", one slot a line:
//   slot=3 start=120 end=1320.5 fade-in=0 fade-out=20 gain=-6.3 matched length=603000
// times in milliseconds (to the microsecond), the gain in dB; "end" is left
// out when the sound plays to its end, "matched" when the gain was typed.
// A reader that knows no edits stops before them.
// The package's description follows, where the project has one, under a
// line "[package]", a value a line as "themename=Ocean Waves": the seven
// values of theme.cfg by their names there, then "picture" (the background
// picture's path) and "folder" (where the package was last built). A
// percent sign, a double quote and a line break in a value are written as
// %25, %22, %0D and %0A.
struct PackageDescription
{
    ThemeDescription theme;
    std::string picture;
    std::string folder;

    bool operator==(const PackageDescription &other) const;
    bool operator!=(const PackageDescription &other) const { return !(*this == other); }
};

struct Project
{
    SlotValues slots;
    std::vector<Link> links;
    std::array<SoundEdit, kSlotCount> edits;       // slot 1 first; empty() for none
    std::optional<PackageDescription> description; // none: the package window starts empty

    Project() { slots.fill(kNoSound); }
};

// The lines of the file. A value that the reader would split or trim is
// quoted; a value that no form carries fails, naming the value.
Status projectFileLines(const Project &project, std::vector<std::string> &lines);

// Writes the whole file beside the target and renames it over the target
// only when it is complete, so that a failed save keeps the old file.
// A file the editor opens as a project when it is dropped on the window:
// a name ending in ".vsk", in any letter case.
bool isProjectFileName(const std::string &path);

Status saveProject(const std::string &path, const Project &project);

// Reads and checks the whole file. `project` is set only when the file is a
// complete project: 47 slot fields, a whole-number count and as many link
// pairs as it announces. A count of 0 or less means no links.
// A file over kProjectFileLimit, or one that is no regular file, is refused.
// An edit line that cannot be read, or one naming a slot that holds no
// sound, is left out and told in `notes` ("line 52: ..."); the rest loads.
// So is a line of the description that cannot be read.
Result<Project> loadProject(const std::string &path, std::vector<std::string> *notes = nullptr);
Result<Project> parseProject(const std::string &text, std::vector<std::string> *notes = nullptr);

inline constexpr const char *kSoundEditsLine = "[sound edits]";
inline constexpr const char *kPackageLine = "[package]";
// A line of its own before the sections after the links and after them.
inline constexpr char kSectionsQuote = '"';
// One slot's edit line, and the edit a line gives (its slot in `slot`), or
// why it gives none.
std::string soundEditLine(int slot, const SoundEdit &edit);
Result<SoundEdit> parseSoundEditLine(std::string_view line, int &slot);

} // namespace vesk
