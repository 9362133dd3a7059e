#include "installerlayout.h"

#include "listen.h"

#include <algorithm>

namespace vpak {

using vesk::Kind;

const std::vector<vesk::ControlRow> &installerControls()
{
    static const std::vector<vesk::ControlRow> controls = {
        {Kind::Label, "Label7", nullptr, 120, 0, 6375, 495, "Label1"},
        {Kind::Label, "Label4", nullptr, 120, 720, 4575, 255, "Created By:"},
        {Kind::Label, "Label1", nullptr, 120, 960, 6375, 495, "Label1"},
        {Kind::Label, "Label5", nullptr, 120, 1560, 495, 255, "Email:"},
        {Kind::Label, "Label2", nullptr, 120, 1800, 6375, 495, "Label1"},
        {Kind::Label, "Label6", nullptr, 120, 2280, 1095, 255, "Webpage:"},
        {Kind::Label, "Label3", nullptr, 120, 2520, 6375, 495, "Label1"},
        {Kind::Label, "Label8", nullptr, 120, 3120, 1455, 255, "Kestrova Directory"},
        {Kind::DriveList, "Drive1", nullptr, 0, 3360, 4335, 315, nullptr},
        {Kind::TextBox, "dirname1", nullptr, 4440, 3360, 2055, 285, ""},
        {Kind::DirList, "Dir1", nullptr, 0, 3720, 4335, 1890, nullptr},
        {Kind::Button, "Command1", nullptr, 4440, 3720, 2055, 375, "Make Directory"},
        {Kind::Button, "Command2", nullptr, 4440, 5040, 2055, 375, "Install Theme"},
        {Kind::Button, "Command4", nullptr, 4440, 4560, 2055, 375, "Restore Original Sounds"},
        {Kind::Button, "Command3", nullptr, 4440, 5520, 2055, 375, "Cancel"},
        {Kind::TextBox, "filepath1", nullptr, 0, 5640, 4335, 285, ""},
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
        = {"Drive1", "Dir1", "filepath1", "dirname1", "Command1", "listenButton", "Command4", "Command2", "Command3"};
    return order;
}

ThemeLook themeLook(const vesk::ThemeReading &reading)
{
    using vesk::ThemeReading;
    ThemeLook look;
    const vesk::ThemeDescription &theme = reading.theme;
    if (reading.fieldsRead >= 1)
        look.name = theme.name;
    if (reading.fieldsRead >= 2)
        look.email = theme.email;
    if (reading.fieldsRead >= 3)
        look.webpage = theme.webpage;
    if (reading.fieldsRead < ThemeReading::kFontLine)
        return look;
    look.fontSize = std::clamp(*reading.fontSize, kSmallestFont, kLargestFont);
    if (reading.fieldsRead < ThemeReading::kFontColourLine)
        return look;
    look.captionColour = vesk::colourByName(theme.fontcolor, vesk::ColourNames::Seven);
    look.accentColour = vesk::colourByName(theme.fontcolor, vesk::ColourNames::Ten);
    if (reading.fieldsRead < ThemeReading::kBackgroundLine)
        return look;
    look.background = vesk::colourByName(theme.bgcolor, vesk::ColourNames::Ten);
    if (reading.fieldsRead >= ThemeReading::kThemeNameLine)
        look.themename = theme.themename;
    return look;
}

} // namespace vpak
