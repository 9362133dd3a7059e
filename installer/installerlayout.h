#pragma once

#include "colours.h"
#include "layout.h"
#include "listen.h"
#include "themedescription.h"

#include <array>
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

inline constexpr std::array<vesk::ControlRow, 17> kInstallerControls = {{
    {vesk::Kind::Label, "themeNameLabel", nullptr, 120, 0, 6375, 495, "Label1"},
    {vesk::Kind::Label, "createdByLabel", nullptr, 120, 720, 4575, 255, "Created By:"},
    {vesk::Kind::Label, "makerNameLabel", nullptr, 120, 960, 6375, 495, "Label1"},
    {vesk::Kind::Label, "emailLabel", nullptr, 120, 1560, 495, 255, "Email:"},
    {vesk::Kind::Label, "makerEmailLabel", nullptr, 120, 1800, 6375, 495, "Label1"},
    {vesk::Kind::Label, "webPageLabel", nullptr, 120, 2280, 1095, 255, "Webpage:"},
    {vesk::Kind::Label, "makerWebPageLabel", nullptr, 120, 2520, 6375, 495, "Label1"},
    {vesk::Kind::Label, "gameDirectoryLabel", nullptr, 120, 3120, 1455, 255, "Kestrova Directory"},
    {vesk::Kind::DriveList, "driveList", nullptr, 0, 3360, 4335, 315, nullptr},
    {vesk::Kind::TextBox, "newDirectoryBox", nullptr, 4440, 3360, 2055, 285, ""},
    {vesk::Kind::DirList, "directoryList", nullptr, 0, 3720, 4335, 1890, nullptr},
    {vesk::Kind::Button, "makeDirectoryButton", nullptr, 4440, 3720, 2055, 375, "Make Directory"},
    {vesk::Kind::Button, "installButton", nullptr, 4440, 5040, 2055, 375, "Install Theme"},
    {vesk::Kind::Button, "restoreButton", nullptr, 4440, 4560, 2055, 375, "Restore Original Sounds"},
    {vesk::Kind::Button, "cancelButton", nullptr, 4440, 5520, 2055, 375, "Cancel"},
    {vesk::Kind::TextBox, "pathBox", nullptr, 0, 5640, 4335, 285, ""},
    // Between Make Directory and Restore, clear of the theme's texts.
    {vesk::Kind::Button, "listenButton", nullptr, 4440, 4140, 2055, 375, kListenButton},
}};
const std::vector<vesk::ControlRow> &installerControls(); // the same rows
inline constexpr const char *kValueLabels[]
    = {"themeNameLabel", "makerNameLabel", "makerEmailLabel", "makerWebPageLabel"};
// A control's number in the Win32 window (its ID, by which tests find it):
// 100 plus its row in the table; 0 for a name not in the table.
constexpr int controlId(const char *name)
{
    return vesk::rowControlId(kInstallerControls, name);
}
// The controls vpak.exe answers.
enum InstallerControlId : int {
    kDriveListId = vesk::knownId(controlId("driveList")),
    kDirectoryListId = vesk::knownId(controlId("directoryList")),
    kPathBoxId = vesk::knownId(controlId("pathBox")),
    kInstallButtonId = vesk::knownId(controlId("installButton")),
    kRestoreButtonId = vesk::knownId(controlId("restoreButton")),
    kCancelButtonId = vesk::knownId(controlId("cancelButton")),
    kListenButtonId = vesk::knownId(controlId("listenButton")),
    kThemeNameLabelId = vesk::knownId(controlId("themeNameLabel")),
};
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
