#include "installerlayout.h"

#include "listen.h"

#include <algorithm>

namespace vpak {

using vesk::Kind;

const std::vector<vesk::ControlRow> &installerControls()
{
    static const std::vector<vesk::ControlRow> controls = {
        {Kind::Label, "themeNameLabel", nullptr, 120, 0, 6375, 495, "Label1"},
        {Kind::Label, "createdByLabel", nullptr, 120, 720, 4575, 255, "Created By:"},
        {Kind::Label, "makerNameLabel", nullptr, 120, 960, 6375, 495, "Label1"},
        {Kind::Label, "emailLabel", nullptr, 120, 1560, 495, 255, "Email:"},
        {Kind::Label, "makerEmailLabel", nullptr, 120, 1800, 6375, 495, "Label1"},
        {Kind::Label, "webPageLabel", nullptr, 120, 2280, 1095, 255, "Webpage:"},
        {Kind::Label, "makerWebPageLabel", nullptr, 120, 2520, 6375, 495, "Label1"},
        {Kind::Label, "gameDirectoryLabel", nullptr, 120, 3120, 1455, 255, "Kestrova Directory"},
        {Kind::DriveList, "driveList", nullptr, 0, 3360, 4335, 315, nullptr},
        {Kind::TextBox, "newDirectoryBox", nullptr, 4440, 3360, 2055, 285, ""},
        {Kind::DirList, "directoryList", nullptr, 0, 3720, 4335, 1890, nullptr},
        {Kind::Button, "makeDirectoryButton", nullptr, 4440, 3720, 2055, 375, "Make Directory"},
        {Kind::Button, "installButton", nullptr, 4440, 5040, 2055, 375, "Install Theme"},
        {Kind::Button, "restoreButton", nullptr, 4440, 4560, 2055, 375, "Restore Original Sounds"},
        {Kind::Button, "cancelButton", nullptr, 4440, 5520, 2055, 375, "Cancel"},
        {Kind::TextBox, "pathBox", nullptr, 0, 5640, 4335, 285, ""},
        // Between Make Directory and Restore, clear of the theme's texts.
        {Kind::Button, "listenButton", nullptr, 4440, 4140, 2055, 375, kListenButton},
    };
    return controls;
}

int controlId(const char *name)
{
    return vesk::rowControlId(installerControls(), name);
}

const std::vector<const char *> &installerFocusOrder()
{
    static const std::vector<const char *> order
        = {"driveList",    "directoryList", "pathBox",       "newDirectoryBox", "makeDirectoryButton",
           "listenButton", "restoreButton", "installButton", "cancelButton"};
    return order;
}

ThemeLook themeLook(const vesk::ThemeReading &reading)
{
    using vesk::ThemeReading;
    const vesk::ThemeDescription &theme = reading.theme;
    const auto readAs = [&reading](int line, const std::string &value) {
        return reading.fieldsRead >= line ? std::optional<std::string>(value) : std::nullopt;
    };
    std::optional<vesk::Rgb> caption, accent;
    ThemeLook look;
    if (reading.fieldsRead >= ThemeReading::kFontLine)
        look.fontSize = std::clamp(*reading.fontSize, kSmallestFont, kLargestFont);
    if (reading.fieldsRead >= ThemeReading::kFontColourLine) {
        caption = vesk::colourByName(theme.fontcolor, vesk::ColourNames::Seven);
        accent = vesk::colourByName(theme.fontcolor, vesk::ColourNames::Ten);
    }
    if (reading.fieldsRead >= ThemeReading::kBackgroundLine)
        look.background = vesk::colourByName(theme.bgcolor, vesk::ColourNames::Ten);
    look.labels = {
        {"themeNameLabel", readAs(ThemeReading::kThemeNameLine, theme.themename), accent.value_or(vesk::Rgb{0, 0, 0})},
        {"createdByLabel", std::nullopt, caption},
        {"makerNameLabel", readAs(1, theme.name), caption},
        {"emailLabel", std::nullopt, caption},
        {"makerEmailLabel", readAs(2, theme.email), caption},
        {"webPageLabel", std::nullopt, caption},
        {"makerWebPageLabel", readAs(3, theme.webpage), accent},
        {"gameDirectoryLabel", std::nullopt, caption},
    };
    return look;
}

} // namespace vpak
