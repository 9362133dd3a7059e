#pragma once

#include "colours.h"
#include "layout.h"
#include "themedescription.h"

#include <optional>
#include <string>
#include <vector>

namespace vpak {

// The installer's window as both builds draw it: the Qt window of vpak and
// the plain Win32 window of vpak.exe.
inline constexpr const char *kWindowCaption = "VESK Theme Packager - Halvick Soft";
inline constexpr const char *kMessageCaption = "Lanternkit";
inline constexpr int kClientWidth = 6570; // twips
inline constexpr int kClientHeight = 5955;
// The value labels (the theme's name and its maker's name, email and web
// page) are drawn in this font; a size from theme.cfg that no label can take
// is held to the range.
inline constexpr const char *kValueFont = "MS Sans Serif";
inline constexpr double kDesignFontSize = 19.5;
inline constexpr double kSmallestFont = 6.0;
inline constexpr double kLargestFont = 30.0;

const std::vector<vesk::ControlRow> &installerControls();
inline constexpr const char *kValueLabels[]
    = {"themeNameLabel", "makerNameLabel", "makerEmailLabel", "makerWebPageLabel"};
// A control's number in the Win32 window (its ID, by which tests find it):
// 100 plus its row in the table; 0 for a name not in the table.
int controlId(const char *name);
// The keyboard's order through the controls, by name.
const std::vector<const char *> &installerFocusOrder();
inline constexpr vesk::PickerControls kInstallerPicker{"driveList", "directoryList", "pathBox", "newDirectoryBox",
                                                       "makeDirectoryButton"};

// What theme.cfg asks of one of the window's labels: its text (the value
// labels only) and its colour, none where the label keeps the design's.
struct LabelLook
{
    const char *label;
    std::optional<std::string> text;
    std::optional<vesk::Rgb> colour;
};

// What theme.cfg asks of the window. Each field takes effect as it is read;
// the first missing one, or a font size that is no number, ends the reading
// with the earlier ones in force. The theme's name is black until the file
// colours it.
struct ThemeLook
{
    std::vector<LabelLook> labels;  // every label of the window
    std::optional<double> fontSize; // the value labels, held to what a label can show
    std::optional<vesk::Rgb> background;
};
ThemeLook themeLook(const vesk::ThemeReading &reading);

} // namespace vpak
