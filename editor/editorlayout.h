#pragma once

#include "layout.h"
#include "maker.h"
#include "slotcatalogue.h"
#include "version.h"

#include <array>
#include <string>
#include <vector>

namespace vesk {

// The editor's windows as every build draws them: captions, client sizes
// (twips) and control tables, with the object names the windows are known
// by. The Qt windows and the Win32 ones are built from these.

// The main window
inline constexpr const char *kMainCaption = "Kestrova Theme Editor (VESK)";
inline constexpr int kMainClientWidth = 9180, kMainClientHeight = 7815;
inline constexpr int kMainTabs[4] = {0, 0, 8895, 7815};     // mainTabs: Sounds, Pictures, Links
inline constexpr int kSlotTabs[4] = {120, 360, 8655, 6495}; // slotTabs, on the Sounds page
inline constexpr int kSlotLabelLeft = 1200, kSlotLabelWidth = 7095, kSlotLabelHeight = 255;
inline constexpr std::array<ControlRow, 7> kMainSoundsControls = {{
    {Kind::Frame, "fileNameFrame", nullptr, 120, 7080, 6255, 615, "File Name"},
    {Kind::TextBox, "fileNameBox", "fileNameFrame", 120, 240, 6015, 285, ""},
    {Kind::Button, "removeFileButton", nullptr, 6480, 6930, 1095, 375, "Remove File"},
    {Kind::Button, "stopButton", nullptr, 7680, 6930, 1095, 375, "Stop"},
    {Kind::Button, "addFileButton", nullptr, 6480, 7320, 1095, 375, "Add File"},
    {Kind::Button, "playButton", nullptr, 7680, 7320, 1095, 375, "Play"},
    // The selected slot's sound in figures, between the slot tabs and File Name.
    {Kind::Label, "soundInfo", nullptr, 120, 6855, 6255, 225, ""},
}};
const std::vector<ControlRow> &mainSoundsControls(); // the Sounds page below the slot tabs
inline constexpr std::array<ControlRow, 8> kMainLinksControls = {{
    {Kind::ListBox, "linkList", nullptr, 240, 480, 3375, 7080, nullptr},
    {Kind::Label, "linkNameLabel", nullptr, 3720, 480, 495, 255, "Name"},
    {Kind::TextBox, "linkNameBox", nullptr, 3720, 720, 5055, 285, ""},
    {Kind::Label, "linkAddressLabel", nullptr, 3720, 1080, 255, 255, "Url"},
    {Kind::TextBox, "linkAddressBox", nullptr, 3720, 1320, 5055, 285, "http://"},
    {Kind::Button, "addLinkButton", nullptr, 6480, 1680, 1095, 375, "Add"},
    {Kind::Button, "removeLinkButton", nullptr, 7680, 1680, 1095, 375, "Remove"},
    {Kind::ListBox, "addressList", nullptr, 0, 0, 0, 0, nullptr},
}};
const std::vector<ControlRow> &mainLinksControls();
// One slot tab's frames and slot buttons, from the slot catalogue.
std::vector<ControlRow> slotTabControls(InnerTab tab);

// The menu items' numbers in the Win32 window, in the menus' order.
namespace ids {
enum MenuItemId : int {
    kOpen = 2000,
    kOpenPackage,
    kSave,
    kRecentProjects,
    kFileSeparator1,
    kConvert,
    kCreatePackage,
    kRestore,
    kFileSeparator2,
    kExit,
    kUndo,
    kRedo,
    kEditSound,
    kMatchLoudness,
    kBrowseSounds,
    kTakeSounds,
    kSettings,
    kAbout,
};
} // namespace ids

struct MenuItem
{
    const char *name;
    const char *caption;                // "-" for a separator
    const char *shortcut;               // "Ctrl+O", or null
    int id;                             // in the Win32 window
    const char *alsoShortcut = nullptr; // a second one, "Ctrl+Shift+Z"
};
struct Menu
{
    const char *name;
    const char *caption;
    std::vector<MenuItem> items;
};
const std::vector<Menu> &mainMenus();

// The filters of Add File's dialog, as description|pattern pairs: every kind
// of sound the editor converts, then waves alone.
inline constexpr const char *kSoundFilter
    = "Sound Files "
      "(*.wav;*.mp3;*.ogg;*.oga;*.opus;*.flac;*.aif;*.aiff)|*.wav;*.mp3;*.ogg;*.oga;*.opus;*.flac;*.aif;*.aiff"
      "|Wave Files *.wav|*.wav";

// Open Package's dialog: a package folder's theme.cfg, a one-file package, or
// any file of the game directory (its program, a sound).
inline constexpr const char *kPackageFilter
    = "Theme Packages (theme.cfg;*.exe;*.wa2)|theme.cfg;*.exe;*.wa2|All Files (*.*)|*.*";
// The dialog that names the folder a package's sounds are copied into.
inline constexpr const char *kFolderFilter = "Folders|*.";

// The settings window, captioned with nothing
inline constexpr int kSettingsClientWidth = 4335, kSettingsClientHeight = 5475;
inline constexpr std::array<ControlRow, 10> kSettingsControls = {{
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
}};
const std::vector<ControlRow> &settingsControls();
const std::vector<const char *> &settingsFocusOrder();
inline constexpr PickerControls kSettingsPicker{"driveList", "directoryList", "pathBox", "newDirectoryBox",
                                                "makeDirectoryButton"};

// The about box, captioned with nothing
inline constexpr int kAboutClientWidth = 4680, kAboutClientHeight = 1905;
inline constexpr std::array<ControlRow, 5> kAboutControls = {{
    {Kind::Label, "makerLabel", nullptr, 1200, 0, 2175, 495, kMakerName},
    {Kind::TextBox, "webPageBox", nullptr, 1200, 600, 2055, 285, kMakerWebPage},
    {Kind::TextBox, "emailBox", nullptr, 1380, 960, 1695, 285, kMakerEmail},
    {Kind::Label, "versionLabel", nullptr, 1800, 1320, 975, 255, "Version " VESK_VERSION},
    {Kind::Button, "okButton", nullptr, 1800, 1560, 855, 255, "OK"},
}};
const std::vector<ControlRow> &aboutControls();
const std::vector<const char *> &aboutFocusOrder();

// The package window: three tabs
inline constexpr const char *kPackageCaption = "Create Theme Package";
inline constexpr int kPackageClientWidth = 8400, kPackageClientHeight = 6060;
inline constexpr int kPackageTabs[4] = {0, 0, 8415, 6015};
inline constexpr std::array<ControlRow, 13> kPackageOptionsControls = {{
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
}};
const std::vector<ControlRow> &packageOptionsControls();
inline constexpr std::array<ControlRow, 9> kPackagePackageControls = {{
    {Kind::Frame, "themeFrame", nullptr, 120, 360, 8175, 975, "Package Settings"},
    {Kind::Label, "themeNameLabel", "themeFrame", 120, 240, 2175, 255, "Name of Theme"},
    {Kind::TextBox, "themeNameBox", "themeFrame", 120, 480, 7935, 285, ""},
    {Kind::Frame, "pictureFrame", nullptr, 120, 1440, 8175, 4335, "Background Picture"},
    {Kind::DriveList, "pictureDriveList", "pictureFrame", 120, 240, 4215, 315, nullptr},
    {Kind::DirList, "pictureDirectoryList", "pictureFrame", 120, 600, 4215, 1890, nullptr},
    {Kind::FileList, "pictureFileList", "pictureFrame", 120, 2520, 4215, 1650, nullptr},
    {Kind::Picture, "picturePreview", "pictureFrame", 4440, 240, 3615, 3975, nullptr},
    {Kind::TextBox, "picturePathBox", "pictureFrame", 4440, 2640, 3615, 285, ""},
}};
const std::vector<ControlRow> &packagePackageControls();
inline constexpr std::array<ControlRow, 10> kPackageReadyControls = {{
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
}};
const std::vector<ControlRow> &packageReadyControls();
const std::vector<const char *> &packageFocusOrder();
inline constexpr PickerControls kPackagePicker{"driveList", "directoryList", "pathBox", "newDirectoryBox",
                                               "makeDirectoryButton"};

// The sound window: one slot's sound, the game's own under it on the same
// scale, and what the player makes of it.
std::string soundWindowCaption(int slot); // "Sound of slot 1 (Bombs, Level 1)"
inline constexpr int kSoundWindowClientWidth = 9000, kSoundWindowClientHeight = 6075;
inline constexpr std::array<ControlRow, 21> kSoundWindowControls = {{
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
}};
const std::vector<ControlRow> &soundWindowControls();
const std::vector<const char *> &soundWindowFocusOrder();

// The sound browser: a folder's sounds, each judged against the selected
// slot's game sound, played as they are selected.
inline constexpr const char *kSoundBrowserCaption = "Sound Browser";
inline constexpr int kSoundBrowserClientWidth = 9600, kSoundBrowserClientHeight = 6900;
inline constexpr std::array<ControlRow, 11> kSoundBrowserControls = {{
    {Kind::Label, "targetLabel", nullptr, 120, 120, 9360, 255, ""},
    {Kind::Label, "folderLabel", nullptr, 120, 495, 735, 255, "Folder:"},
    {Kind::TextBox, "folderBox", nullptr, 855, 465, 7305, 315, ""},
    {Kind::Button, "chooseFolderButton", nullptr, 8280, 435, 1200, 375, "Choose..."},
    {Kind::CheckBox, "subfoldersBox", nullptr, 120, 930, 2400, 255, "Include subfolders"},
    {Kind::Label, "filterLabel", nullptr, 2640, 930, 615, 255, "Filter:"},
    {Kind::TextBox, "filterBox", nullptr, 3255, 900, 3000, 315, ""},
    {Kind::Table, "soundList", nullptr, 120, 1350, 9360, 4920, nullptr},
    {Kind::CheckBox, "playOnSelectBox", nullptr, 120, 6450, 2000, 255, "Play on select"},
    {Kind::CheckBox, "nextSlotBox", nullptr, 2280, 6450, 2400, 255, "Then the next slot"},
    {Kind::Button, "useButton", nullptr, 8145, 6390, 1335, 375, "Use for Slot"},
}};
const std::vector<ControlRow> &soundBrowserControls();
// The sound list's columns, in order.
inline constexpr std::array<const char *, 6> kSoundBrowserColumns
    = {"Name", "Length", "Loudness", "True Peak", "Waveform", "Against the Game"};

// Take Sounds from Packages: the slots in rows, the theme and each package
// added in columns; a chosen cell is heard, and Use takes it for its slot.
inline constexpr const char *kPackageMixCaption = "Take Sounds from Packages";
inline constexpr int kPackageMixClientWidth = 11400, kPackageMixClientHeight = 6900;
inline constexpr std::array<ControlRow, 7> kPackageMixControls = {{
    {Kind::Label, "hintLabel", nullptr, 120, 120, 11160, 255,
     "Select a sound to hear it. Use (Return) takes it for its slot; OK puts what you took in the theme."},
    {Kind::Grid, "soundGrid", nullptr, 120, 480, 11160, 5760, nullptr},
    {Kind::Button, "addPackageButton", nullptr, 120, 6390, 1695, 375, "Add Package..."},
    {Kind::Button, "useButton", nullptr, 1935, 6390, 1095, 375, "Use"},
    {Kind::Button, "useColumnButton", nullptr, 3150, 6390, 1335, 375, "Use Column"},
    {Kind::Button, "okButton", nullptr, 8985, 6390, 1095, 375, "OK"},
    {Kind::Button, "cancelButton", nullptr, 10185, 6390, 1095, 375, "Cancel"},
}};
const std::vector<ControlRow> &packageMixControls();

// The Win32 windows know their controls by number: 100 plus a control's row
// in its window's table, and where a window has several tables, a hundred
// apart (the main window's Sounds page from 100, its slot tabs from 200 and
// its Links page from 400; the package window's tabs from 100, 200 and 300);
// the slot labels from 1000 (1001 for slot 1); the menu items from 2000; the
// tab strips apart. 0 for no such name. The numbers of the tables' controls
// are known when the program is compiled, so that the handlers are chosen by
// constants.
enum class EditorWindow {
    Main,
    Settings,
    About,
    Package,
    Sound,
    Browser,
    PackageMix,
};
int controlId(EditorWindow window, const std::string &name);
inline constexpr int kMainSoundsBase = 100, kSlotTabsBase = 200, kMainLinksBase = 400;
inline constexpr int kSlotLabelIdBase = 1000;
inline constexpr int kMainTabsId = 90, kSlotTabsId = 91, kPackageTabsId = 92;
constexpr int mainControlId(const char *name)
{
    const int onSounds = rowControlId(kMainSoundsControls, name, kMainSoundsBase);
    return onSounds ? onSounds : rowControlId(kMainLinksControls, name, kMainLinksBase);
}
constexpr int packageControlId(const char *name)
{
    const int options = rowControlId(kPackageOptionsControls, name, 100);
    const int package = rowControlId(kPackagePackageControls, name, 200);
    return options ? options : package ? package : rowControlId(kPackageReadyControls, name, 300);
}
namespace ids {
// The main window's.
inline constexpr int kAddFile
    = knownId(mainControlId("addFileButton")),
    kRemoveFile = knownId(mainControlId("removeFileButton")), kPlay = knownId(mainControlId("playButton")),
    kStop = knownId(mainControlId("stopButton")), kAddLink = knownId(mainControlId("addLinkButton")),
    kRemoveLink = knownId(mainControlId("removeLinkButton")), kLinkList = knownId(mainControlId("linkList"));
// The settings window's and the about box's.
inline constexpr int kSettingsOk = knownId(rowControlId(kSettingsControls, "okButton")),
                     kSettingsCancel = knownId(rowControlId(kSettingsControls, "cancelButton")),
                     kAboutOk = knownId(rowControlId(kAboutControls, "okButton"));
// The package window's.
inline constexpr int kPictureDrives = knownId(packageControlId("pictureDriveList")),
                     kPictureDirectories = knownId(packageControlId("pictureDirectoryList")),
                     kPictureFiles = knownId(packageControlId("pictureFileList")),
                     kPackageOk = knownId(packageControlId("okButton")),
                     kPackageCancel = knownId(packageControlId("cancelButton"));
// The sound window's.
inline constexpr int kMatch = knownId(rowControlId(kSoundWindowControls, "matchButton")),
                     kSoundPlay = knownId(rowControlId(kSoundWindowControls, "playButton")),
                     kSoundStop = knownId(rowControlId(kSoundWindowControls, "stopButton")),
                     kReset = knownId(rowControlId(kSoundWindowControls, "resetButton")),
                     kSoundOk = knownId(rowControlId(kSoundWindowControls, "okButton")),
                     kSoundCancel = knownId(rowControlId(kSoundWindowControls, "cancelButton"));
// The sound browser's.
inline constexpr int kChooseFolder = knownId(rowControlId(kSoundBrowserControls, "chooseFolderButton")),
                     kFolderBox = knownId(rowControlId(kSoundBrowserControls, "folderBox")),
                     kSubfolders = knownId(rowControlId(kSoundBrowserControls, "subfoldersBox")),
                     kFilterBox = knownId(rowControlId(kSoundBrowserControls, "filterBox")),
                     kSoundList = knownId(rowControlId(kSoundBrowserControls, "soundList")),
                     kPlayOnSelect = knownId(rowControlId(kSoundBrowserControls, "playOnSelectBox")),
                     kUseForSlot = knownId(rowControlId(kSoundBrowserControls, "useButton"));
// Take Sounds from Packages'.
inline constexpr int kAddPackage = knownId(rowControlId(kPackageMixControls, "addPackageButton")),
                     kSoundGrid = knownId(rowControlId(kPackageMixControls, "soundGrid")),
                     kUseCell = knownId(rowControlId(kPackageMixControls, "useButton")),
                     kUseColumn = knownId(rowControlId(kPackageMixControls, "useColumnButton")),
                     kMixOk = knownId(rowControlId(kPackageMixControls, "okButton")),
                     kMixCancel = knownId(rowControlId(kPackageMixControls, "cancelButton"));
} // namespace ids
int menuItemId(const std::string &name);

} // namespace vesk
