#include "editorlayout.h"

#include "maker.h"
#include "slotcatalogue.h"
#include "version.h"

#include <algorithm>
#include <string_view>

namespace vesk {

const std::vector<ControlRow> &mainSoundsControls()
{
    static const std::vector<ControlRow> controls = {
        {Kind::Frame, "fileNameFrame", nullptr, 120, 7080, 6255, 615, "File Name"},
        {Kind::TextBox, "fileNameBox", "fileNameFrame", 120, 240, 6015, 285, ""},
        {Kind::Button, "removeFileButton", nullptr, 6480, 6930, 1095, 375, "Remove File"},
        {Kind::Button, "stopButton", nullptr, 7680, 6930, 1095, 375, "Stop"},
        {Kind::Button, "addFileButton", nullptr, 6480, 7320, 1095, 375, "Add File"},
        {Kind::Button, "playButton", nullptr, 7680, 7320, 1095, 375, "Play"},
        // The selected slot's sound in figures, between the slot tabs and File Name.
        {Kind::Label, "soundInfo", nullptr, 120, 6855, 6255, 225, ""},
    };
    return controls;
}

const std::vector<ControlRow> &mainLinksControls()
{
    static const std::vector<ControlRow> controls = {
        {Kind::ListBox, "linkList", nullptr, 240, 480, 3375, 7080, nullptr},
        {Kind::Label, "linkNameLabel", nullptr, 3720, 480, 495, 255, "Name"},
        {Kind::TextBox, "linkNameBox", nullptr, 3720, 720, 5055, 285, ""},
        {Kind::Label, "linkAddressLabel", nullptr, 3720, 1080, 255, 255, "Url"},
        {Kind::TextBox, "linkAddressBox", nullptr, 3720, 1320, 5055, 285, "http://"},
        {Kind::Button, "addLinkButton", nullptr, 6480, 1680, 1095, 375, "Add"},
        {Kind::Button, "removeLinkButton", nullptr, 7680, 1680, 1095, 375, "Remove"},
        {Kind::ListBox, "addressList", nullptr, 0, 0, 0, 0, nullptr},
    };
    return controls;
}

const std::vector<ControlRow> &settingsControls()
{
    static const std::vector<ControlRow> controls = {
        {Kind::Frame, "gameDirectoryFrame", nullptr, 0, 0, 4335, 4935, "Kestrova Directory?"},
        {Kind::DriveList, "driveList", "gameDirectoryFrame", 120, 360, 4095, 315, nullptr},
        {Kind::DirList, "directoryList", "gameDirectoryFrame", 120, 840, 4095, 2790, nullptr},
        {Kind::Label, "pathLabel", "gameDirectoryFrame", 120, 3720, 2175, 255, "File Path:"},
        {Kind::TextBox, "pathBox", "gameDirectoryFrame", 120, 3960, 4095, 285, ""},
        {Kind::Label, "newDirectoryLabel", "gameDirectoryFrame", 120, 4320, 1815, 255, "Directory Name:"},
        {Kind::TextBox, "newDirectoryBox", "gameDirectoryFrame", 120, 4560, 2175, 285, ""},
        {Kind::Button, "makeDirectoryButton", "gameDirectoryFrame", 2520, 4440, 1695, 375, "Make Directory"},
        {Kind::Button, "okButton", nullptr, 2040, 5040, 1095, 375, "OK"},
        {Kind::Button, "cancelButton", nullptr, 3240, 5040, 1095, 375, "Cancel"},
    };
    return controls;
}

const std::vector<ControlRow> &aboutControls()
{
    static const std::vector<ControlRow> controls = {
        {Kind::Label, "makerLabel", nullptr, 1200, 0, 2175, 495, kMakerName},
        {Kind::TextBox, "webPageBox", nullptr, 1200, 600, 2055, 285, kMakerWebPage},
        {Kind::TextBox, "emailBox", nullptr, 1380, 960, 1695, 285, kMakerEmail},
        {Kind::Label, "versionLabel", nullptr, 1800, 1320, 975, 255, "Version " VESK_VERSION},
        {Kind::Button, "okButton", nullptr, 1800, 1560, 855, 255, "OK"},
    };
    return controls;
}

const std::vector<ControlRow> &packageOptionsControls()
{
    static const std::vector<ControlRow> controls = {
        {Kind::Frame, "creatorFrame", nullptr, 120, 480, 8175, 2775, "Creater"},
        {Kind::Label, "creatorNameLabel", "creatorFrame", 120, 240, 495, 255, "Name"},
        {Kind::TextBox, "creatorNameBox", "creatorFrame", 120, 480, 7935, 285, ""},
        {Kind::Label, "emailLabel", "creatorFrame", 120, 840, 1335, 255, "Email Address"},
        {Kind::TextBox, "emailBox", "creatorFrame", 120, 1080, 7935, 285, ""},
        {Kind::Label, "webPageLabel", "creatorFrame", 120, 1440, 975, 255, "Webpage"},
        {Kind::TextBox, "webPageBox", "creatorFrame", 120, 1680, 7935, 285, "http://"},
        {Kind::Label, "fontLabel", "creatorFrame", 120, 2040, 375, 255, "Font"},
        {Kind::ComboBox, "fontSizeBox", "creatorFrame", 120, 2280, 615, 315, "10"},
        {Kind::Label, "fontColourLabel", "creatorFrame", 960, 2040, 1215, 255, "Font Color"},
        {Kind::ComboBox, "fontColourBox", "creatorFrame", 960, 2280, 1215, 315, "Black"},
        {Kind::Label, "backgroundColourLabel", "creatorFrame", 2400, 2040, 1335, 255, "Background Color"},
        {Kind::ComboBox, "backgroundColourBox", "creatorFrame", 2400, 2280, 1455, 315, "White"},
    };
    return controls;
}

const std::vector<ControlRow> &packagePackageControls()
{
    static const std::vector<ControlRow> controls = {
        {Kind::Frame, "themeFrame", nullptr, 120, 360, 8175, 975, "Package Settings"},
        {Kind::Label, "themeNameLabel", "themeFrame", 120, 240, 2175, 255, "Name of Theme"},
        {Kind::TextBox, "themeNameBox", "themeFrame", 120, 480, 7935, 285, ""},
        {Kind::Frame, "pictureFrame", nullptr, 120, 1440, 8175, 4335, "Background Picture"},
        {Kind::DriveList, "pictureDriveList", "pictureFrame", 120, 240, 4215, 315, nullptr},
        {Kind::DirList, "pictureDirectoryList", "pictureFrame", 120, 600, 4215, 1890, nullptr},
        {Kind::FileList, "pictureFileList", "pictureFrame", 120, 2520, 4215, 1650, nullptr},
        {Kind::Picture, "picturePreview", "pictureFrame", 4440, 240, 3615, 3975, nullptr},
        {Kind::TextBox, "picturePathBox", "pictureFrame", 4440, 2640, 3615, 285, ""},
    };
    return controls;
}

const std::vector<ControlRow> &packageReadyControls()
{
    static const std::vector<ControlRow> controls = {
        {Kind::Frame, "targetFrame", nullptr, 120, 480, 8175, 4935, "Directory To Store Theme?"},
        {Kind::DriveList, "driveList", "targetFrame", 120, 360, 7935, 315, nullptr},
        {Kind::DirList, "directoryList", "targetFrame", 120, 840, 7935, 2790, nullptr},
        {Kind::Label, "pathLabel", "targetFrame", 120, 3720, 2175, 255, "File Path:"},
        {Kind::TextBox, "pathBox", "targetFrame", 120, 3960, 7935, 285, ""},
        {Kind::Label, "newDirectoryLabel", "targetFrame", 120, 4320, 1815, 255, "Directory Name:"},
        {Kind::TextBox, "newDirectoryBox", "targetFrame", 120, 4560, 6135, 285, ""},
        {Kind::Button, "makeDirectoryButton", "targetFrame", 6360, 4440, 1695, 375, "Make Directory"},
        {Kind::Button, "okButton", nullptr, 5880, 5520, 1095, 375, "OK"},
        {Kind::Button, "cancelButton", nullptr, 7080, 5520, 1215, 375, "Cancel"},
    };
    return controls;
}

std::vector<ControlRow> slotTabControls(InnerTab tab)
{
    // Frames and rows come from the slot catalogue: a frame for each group
    // of the tab, a button for each slot in it.
    std::vector<ControlRow> table;
    for (const FrameInfo &frame : frameCatalogue()) {
        if (frame.tab != tab)
            continue;
        table.push_back({Kind::Frame, frame.name, nullptr, 120, frame.top, 8415, frameHeight(frameRowCount(frame.name)),
                         frame.caption});
        for (const SlotInfo &slot : slotCatalogue()) {
            if (std::string_view(slot.frame) == frame.name)
                table.push_back(
                    {Kind::Button, slot.button, frame.name, 120, kSlotRowHeight * slot.row, 975, 255, slot.caption});
        }
    }
    return table;
}

const std::vector<Menu> &mainMenus()
{
    static const std::vector<Menu> menus = {
        {"fileMenu",
         "&File",
         {{"openItem", "&Open", "Ctrl+O"},
          {"saveItem", "&Save", "Ctrl+S"},
          {"fileSeparator1", "-", nullptr},
          {"convertItem", "&Convert To Wa2 + Bm2", nullptr},
          {"createPackageItem", "Create Theme &Package", nullptr},
          {"restoreItem", "&Restore Original Sounds", nullptr},
          {"fileSeparator2", "-", nullptr},
          {"exitItem", "E&xit", "Ctrl+Q"}}},
        {"soundMenu",
         "S&ound",
         {{"editSoundItem", "&Edit Sound...", "Ctrl+E"},
          {"matchLoudnessItem", "&Match Loudness to the Game", nullptr}}},
        {"optionsMenu", "&Options", {{"settingsItem", "&Settings", nullptr}}},
        {"helpMenu", "&Help", {{"aboutItem", "&About", nullptr}}},
    };
    return menus;
}

std::string soundWindowCaption(int slot)
{
    return "Sound of " + slotDescription(slot);
}

const std::vector<ControlRow> &soundWindowControls()
{
    static const std::vector<ControlRow> controls = {
        {Kind::Label, "soundFigures", nullptr, 120, 120, 8760, 255, ""},
        {Kind::Picture, "soundPicture", nullptr, 120, 420, 8760, 2100, nullptr},
        {Kind::Label, "gameFigures", nullptr, 120, 2640, 8760, 255, ""},
        {Kind::Picture, "gamePicture", nullptr, 120, 2940, 8760, 1200, nullptr},
        {Kind::Label, "startLabel", nullptr, 120, 4320, 1455, 255, "Start (ms)"},
        {Kind::TextBox, "startBox", nullptr, 120, 4575, 1455, 315, ""},
        {Kind::Label, "endLabel", nullptr, 1695, 4320, 1455, 255, "End (ms)"},
        {Kind::TextBox, "endBox", nullptr, 1695, 4575, 1455, 315, ""},
        {Kind::Label, "fadeInLabel", nullptr, 3270, 4320, 1455, 255, "Fade in (ms)"},
        {Kind::TextBox, "fadeInBox", nullptr, 3270, 4575, 1455, 315, ""},
        {Kind::Label, "fadeOutLabel", nullptr, 4845, 4320, 1455, 255, "Fade out (ms)"},
        {Kind::TextBox, "fadeOutBox", nullptr, 4845, 4575, 1455, 315, ""},
        {Kind::Label, "gainLabel", nullptr, 6420, 4320, 1455, 255, "Gain (dB)"},
        {Kind::TextBox, "gainBox", nullptr, 6420, 4575, 1455, 315, ""},
        {Kind::Button, "matchButton", nullptr, 120, 5040, 3015, 375, "Match the game's loudness"},
        {Kind::Label, "noteLabel", nullptr, 3255, 5040, 5625, 480, ""},
        {Kind::Button, "playButton", nullptr, 120, 5580, 1095, 375, "Play"},
        {Kind::Button, "stopButton", nullptr, 1320, 5580, 1095, 375, "Stop"},
        {Kind::Button, "resetButton", nullptr, 2520, 5580, 1095, 375, "Reset"},
        {Kind::Button, "okButton", nullptr, 6585, 5580, 1095, 375, "OK"},
        {Kind::Button, "cancelButton", nullptr, 7785, 5580, 1095, 375, "Cancel"},
    };
    return controls;
}

const std::vector<const char *> &soundWindowFocusOrder()
{
    static const std::vector<const char *> order
        = {"startBox",   "endBox",     "fadeInBox",   "fadeOutBox", "gainBox",     "matchButton",
           "playButton", "stopButton", "resetButton", "okButton",   "cancelButton"};
    return order;
}

const std::vector<const char *> &settingsFocusOrder()
{
    static const std::vector<const char *> order = {
        "driveList", "directoryList", "pathBox", "newDirectoryBox", "makeDirectoryButton", "okButton", "cancelButton"};
    return order;
}

const std::vector<const char *> &aboutFocusOrder()
{
    static const std::vector<const char *> order = {"webPageBox", "emailBox", "okButton"};
    return order;
}

const std::vector<const char *> &packageFocusOrder()
{
    static const std::vector<const char *> order
        = {"creatorNameBox",      "emailBox",     "webPageBox", "fontSizeBox",          "fontColourBox",
           "backgroundColourBox", "themeNameBox", "driveList",  "directoryList",        "makeDirectoryButton",
           "newDirectoryBox",     "cancelButton", "okButton",   "pictureDirectoryList", "pictureDriveList",
           "pictureFileList"};
    return order;
}

namespace {

std::vector<std::string> namesOf(std::initializer_list<std::vector<ControlRow>> tables)
{
    std::vector<std::string> names;
    for (const std::vector<ControlRow> &table : tables) {
        for (const ControlRow &row : table)
            names.emplace_back(row.name);
    }
    return names;
}

int placeAmong(const std::vector<std::string> &names, const std::string &name, int base)
{
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? 0 : base + static_cast<int>(found - names.begin());
}

} // namespace

int controlId(EditorWindow window, const std::string &name)
{
    constexpr int kBase = 100;
    static const std::vector<std::string> main
        = namesOf({mainSoundsControls(), slotTabControls(InnerTab::Bombs), slotTabControls(InnerTab::ShipDevices),
                   slotTabControls(InnerTab::System), slotTabControls(InnerTab::Guns), mainLinksControls()});
    static const std::vector<std::string> settings = namesOf({settingsControls()});
    static const std::vector<std::string> about = namesOf({aboutControls()});
    static const std::vector<std::string> package
        = namesOf({packageOptionsControls(), packagePackageControls(), packageReadyControls()});
    switch (window) {
    case EditorWindow::Main:
        return placeAmong(main, name, kBase);
    case EditorWindow::Settings:
        return placeAmong(settings, name, kBase);
    case EditorWindow::About:
        return placeAmong(about, name, kBase);
    case EditorWindow::Package:
        return placeAmong(package, name, kBase);
    case EditorWindow::Sound:
        return rowControlId(soundWindowControls(), name.c_str());
    }
    return 0;
}

int menuItemId(const std::string &name)
{
    constexpr int kBase = 2000;
    static const std::vector<std::string> items = [] {
        std::vector<std::string> names;
        for (const Menu &menu : mainMenus()) {
            for (const MenuItem &item : menu.items)
                names.emplace_back(item.name);
        }
        return names;
    }();
    return placeAmong(items, name, kBase);
}

} // namespace vesk
