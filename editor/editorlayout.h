#pragma once

#include "layout.h"
#include "slotcatalogue.h"

#include <string>
#include <vector>

namespace vesk {

// The editor's windows as every build draws them: captions, client sizes
// (twips) and control tables, with the object names the windows are known
// by. The Qt windows and the Win32 ones are built from these.

// The main window
inline constexpr const char *kMainCaption = "Kestrova Theme Editor (VESK)";
inline constexpr int kMainClientWidth = 9180, kMainClientHeight = 7815;
inline constexpr int kMainTabs[4] = {0, 0, 8895, 7815};     // SSTab1: Sounds, Pictures, Links
inline constexpr int kSlotTabs[4] = {120, 360, 8655, 6495}; // SSTab2, on the Sounds page
inline constexpr int kSlotLabelLeft = 1200, kSlotLabelWidth = 7095, kSlotLabelHeight = 255;
const std::vector<ControlRow> &mainSoundsControls(); // the Sounds page below the slot tabs
const std::vector<ControlRow> &mainLinksControls();
// One slot tab's frames and slot buttons, from the slot catalogue.
std::vector<ControlRow> slotTabControls(InnerTab tab);

struct MenuItem
{
    const char *name;
    const char *caption;  // "-" for a separator
    const char *shortcut; // "Ctrl+O", or null
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

// The settings window, captioned with nothing
inline constexpr int kSettingsClientWidth = 4335, kSettingsClientHeight = 5475;
const std::vector<ControlRow> &settingsControls();
const std::vector<const char *> &settingsFocusOrder();
inline constexpr PickerControls kSettingsPicker{"driveList", "directoryList", "pathBox", "newDirectoryBox",
                                                "makeDirectoryButton"};

// The about box, captioned with nothing
inline constexpr int kAboutClientWidth = 4680, kAboutClientHeight = 1905;
const std::vector<ControlRow> &aboutControls();
const std::vector<const char *> &aboutFocusOrder();

// The package window: three tabs
inline constexpr const char *kPackageCaption = "Create Theme Package";
inline constexpr int kPackageClientWidth = 8400, kPackageClientHeight = 6060;
inline constexpr int kPackageTabs[4] = {0, 0, 8415, 6015};
const std::vector<ControlRow> &packageOptionsControls();
const std::vector<ControlRow> &packagePackageControls();
const std::vector<ControlRow> &packageReadyControls();
const std::vector<const char *> &packageFocusOrder();
inline constexpr PickerControls kPackagePicker{"driveList", "directoryList", "pathBox", "newDirectoryBox",
                                               "makeDirectoryButton"};

// The sound window: one slot's sound, the game's own under it on the same
// scale, and what the player makes of it.
std::string soundWindowCaption(int slot); // "Sound of slot 1 (Bombs, Level 1)"
inline constexpr int kSoundWindowClientWidth = 9000, kSoundWindowClientHeight = 6075;
const std::vector<ControlRow> &soundWindowControls();
const std::vector<const char *> &soundWindowFocusOrder();

// The Win32 windows know their controls by number: a control's place among
// its window's tables (the main window's: the Sounds page, the four slot
// tabs, the Links page), from 100 on; the slot labels from 1000 (1001 for
// slot 1); the menu items from 2000; the tab strips apart. 0 for no such name.
enum class EditorWindow {
    Main,
    Settings,
    About,
    Package,
    Sound,
};
int controlId(EditorWindow window, const std::string &name);
inline constexpr int kSlotLabelIdBase = 1000;
inline constexpr int kMainTabsId = 90, kSlotTabsId = 91, kPackageTabsId = 92;
int menuItemId(const std::string &name);

} // namespace vesk
