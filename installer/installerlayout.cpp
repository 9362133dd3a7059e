#include "installerlayout.h"

#include <algorithm>

namespace vpak {

using vesk::Kind;

const std::vector<vesk::ControlRow> &installerControls()
{
    return vesk::rowsOf<kInstallerControls>();
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
