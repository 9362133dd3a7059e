#include "editorlayout.h"

#include "maker.h"
#include "slotcatalogue.h"
#include "version.h"

#include <algorithm>
#include <string_view>

namespace vesk {

const std::vector<ControlRow> &mainSoundsControls()
{
    return rowsOf<kMainSoundsControls>();
}

const std::vector<ControlRow> &mainLinksControls()
{
    return rowsOf<kMainLinksControls>();
}

const std::vector<ControlRow> &settingsControls()
{
    return rowsOf<kSettingsControls>();
}

const std::vector<ControlRow> &aboutControls()
{
    return rowsOf<kAboutControls>();
}

const std::vector<ControlRow> &packageOptionsControls()
{
    return rowsOf<kPackageOptionsControls>();
}

const std::vector<ControlRow> &packagePackageControls()
{
    return rowsOf<kPackagePackageControls>();
}

const std::vector<ControlRow> &packageReadyControls()
{
    return rowsOf<kPackageReadyControls>();
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
         {{"openItem", "&Open", "Ctrl+O", ids::kOpen},
          {"openPackageItem", "Open &Package...", nullptr, ids::kOpenPackage},
          {"saveItem", "&Save", "Ctrl+S", ids::kSave},
          {"recentProjectsItem", "Recen&t Projects", nullptr, ids::kRecentProjects},
          {"fileSeparator1", "-", nullptr, ids::kFileSeparator1},
          {"convertItem", "&Convert To Wa2 + Bm2", nullptr, ids::kConvert},
          {"createPackageItem", "Create Theme &Package", nullptr, ids::kCreatePackage},
          {"restoreItem", "&Restore Original Sounds", nullptr, ids::kRestore},
          {"fileSeparator2", "-", nullptr, ids::kFileSeparator2},
          {"exitItem", "E&xit", "Ctrl+Q", ids::kExit}}},
        {"editMenu",
         "&Edit",
         {{"undoItem", "&Undo", "Ctrl+Z", ids::kUndo}, {"redoItem", "&Redo", "Ctrl+Y", ids::kRedo, "Ctrl+Shift+Z"}}},
        {"soundMenu",
         "&Sound",
         {{"editSoundItem", "&Edit Sound...", "Ctrl+E", ids::kEditSound},
          {"matchLoudnessItem", "&Match Loudness to the Game", nullptr, ids::kMatchLoudness},
          {"browseSoundsItem", "&Browse Sounds...", "Ctrl+B", ids::kBrowseSounds},
          {"takeSoundsItem", "&Take Sounds from Packages...", nullptr, ids::kTakeSounds}}},
        {"optionsMenu", "&Options", {{"settingsItem", "&Settings", nullptr, ids::kSettings}}},
        {"helpMenu", "&Help", {{"aboutItem", "&About", nullptr, ids::kAbout}}},
    };
    return menus;
}

std::string soundWindowCaption(int slot)
{
    return "Sound of " + slotDescription(slot);
}

const std::vector<ControlRow> &soundWindowControls()
{
    return rowsOf<kSoundWindowControls>();
}

const std::vector<ControlRow> &soundBrowserControls()
{
    return rowsOf<kSoundBrowserControls>();
}

const std::vector<ControlRow> &packageMixControls()
{
    return rowsOf<kPackageMixControls>();
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

int controlId(EditorWindow window, const std::string &name)
{
    const char *const n = name.c_str();
    switch (window) {
    case EditorWindow::Main: {
        if (const int id = rowControlId(kMainSoundsControls, n, kMainSoundsBase))
            return id;
        if (const int id = rowControlId(kMainLinksControls, n, kMainLinksBase))
            return id;
        // The slot tabs' frames and buttons, tab after tab.
        int id = kSlotTabsBase;
        for (const TabInfo &tab : innerTabs()) {
            for (const ControlRow &row : slotTabControls(tab.tab)) {
                if (name == row.name)
                    return id;
                ++id;
            }
        }
        return 0;
    }
    case EditorWindow::Settings:
        return rowControlId(kSettingsControls, n);
    case EditorWindow::About:
        return rowControlId(kAboutControls, n);
    case EditorWindow::Package:
        return packageControlId(n);
    case EditorWindow::Sound:
        return rowControlId(kSoundWindowControls, n);
    case EditorWindow::Browser:
        return rowControlId(kSoundBrowserControls, n);
    case EditorWindow::PackageMix:
        return rowControlId(kPackageMixControls, n);
    }
    return 0;
}

int menuItemId(const std::string &name)
{
    for (const Menu &menu : mainMenus()) {
        for (const MenuItem &item : menu.items) {
            if (name == item.name)
                return item.id;
        }
    }
    return 0;
}

} // namespace vesk
