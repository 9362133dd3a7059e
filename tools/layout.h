#pragma once

#include <cstddef>
#include <vector>

namespace vesk {

// Window layouts are drawn in twips; fifteen of them make one pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int pixels(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

enum class Kind {
    Label,
    Button,
    TextBox,
    Frame,
    ListBox,
    ComboBox,
    DriveList,
    DirList,
    FileList,
    Picture,
    CheckBox, // checked or not by the window
    Table,    // rows of columns the window fills
    Grid,     // rows of columns whose cells are chosen one at a time
};

// The controls of a window's table that choose a directory together: a
// drive list steering a directory list, a path box following the open
// directory, a name box and "Make Directory", by their names.
struct PickerControls
{
    const char *driveList;
    const char *dirList;
    const char *pathBox;
    const char *nameBox;
    const char *makeDirectory;
};

// One row of a window's control table. `parent` names a frame built earlier
// in the same table, or is null for a control that sits on the root itself.
struct ControlRow
{
    Kind kind;
    const char *name;
    const char *parent;
    int left, top, width, height;
    const char *text;
};

constexpr bool sameName(const char *a, const char *b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// A control's number in a Win32 window: `base` (100 unless the window has
// several tables) plus its row in the table; 0 for a name not in it. Known
// when the program is compiled wherever the table is, so that a window's
// handlers are chosen by constants.
template<typename Table>
constexpr int rowControlId(const Table &table, const char *name, int base = 100)
{
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (sameName(table[row].name, name))
            return base + static_cast<int>(row);
    }
    return 0;
}

// The number of a control a window's code answers: a name missing from its
// table (a control renamed without its handler) stops the build.
constexpr int knownId(int id)
{
    return id != 0 ? id : throw "a handled control is missing from its window's table";
}

// A constant table as the builders take it, made once.
template<const auto &Table>
const std::vector<ControlRow> &rowsOf()
{
    static const std::vector<ControlRow> rows(Table.begin(), Table.end());
    return rows;
}

// The same at `dpi` (96 as the base), rounded to the nearest pixel.
constexpr int pixelsAt(int twips, int dpi)
{
    return (pixels(twips) * dpi + 48) / 96;
}

} // namespace vesk
