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
// The value labels (Label7, Label1, Label2, Label3) are drawn in this font;
// a size from theme.cfg that no label can take is held to the range.
inline constexpr const char *kValueFont = "MS Sans Serif";
inline constexpr double kDesignFontSize = 19.5;
inline constexpr double kSmallestFont = 6.0;
inline constexpr double kLargestFont = 30.0;

const std::vector<vesk::ControlRow> &installerControls();
inline constexpr const char *kValueLabels[] = {"Label7", "Label1", "Label2", "Label3"};
// A control's number in the Win32 window (its ID, by which tests find it):
// 100 plus its row in the table; 0 for a name not in the table.
int controlId(const char *name);
// The keyboard's order through the controls, by name.
const std::vector<const char *> &installerFocusOrder();
inline constexpr vesk::PickerControls kInstallerPicker{"Drive1", "Dir1", "filepath1", "dirname1", "Command1"};

// What theme.cfg asks of the window. Each field takes effect as it is read;
// the first missing one, or a font size that is no number, ends the reading
// with the earlier ones in force.
struct ThemeLook
{
    std::optional<std::string> name, email, webpage, themename; // Label1, Label2, Label3, Label7
    std::optional<double> fontSize;                             // the value labels, held to what a label can show
    std::optional<vesk::Rgb> captionColour;                     // Label1, Label2, Label4, Label5, Label6, Label8
    std::optional<vesk::Rgb> accentColour;                      // Label3, Label7
    std::optional<vesk::Rgb> background;
};
ThemeLook themeLook(const vesk::ThemeReading &reading);

} // namespace vpak
