#include "mainwindow.h"

#include "dialogs.h"
#include "displaytext.h"
#include "editorlayout.h"
#include "files.h"
#include "openpackage.h"
#include "packagemixwindow.h"
#include "paths.h"
#include "settingsfile.h"
#include "settingslocation.h"
#include "slotsound.h"
#include "soundbrowser.h"
#include "themefiles.h"
#include "waveformpicture.h"
#include "widepath.h"

#include <algorithm>
#include <cmath>

#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <string_view>
#include <vector>

namespace {

using vesk::EditorWindow;

// Posted by the measuring threads: a sound was measured.
constexpr UINT kSoundMeasured = WM_APP + 1;
// The recent projects' items, and Clear List after them; the timer that
// keeps the unsaved theme for recovery.
constexpr int kRecentItemBase = 2200, kClearRecentItem = kRecentItemBase + vesk::RecentProjects::kCount;
constexpr UINT_PTR kRecoveryTimer = 1;
// Posted by the sound browser as its window goes.
constexpr UINT kBrowserClosed = WM_APP + 2;
constexpr int kPictureWidth = 64, kGap = 6; // at 96 dpi

int idOf(const char *name)
{
    return vesk::controlId(EditorWindow::Main, name);
}

// "Ctrl+O" or "Ctrl+Shift+Z" as an accelerator for menu item `id`.
ACCEL shortcut(const char *keys, int id)
{
    const std::string_view text(keys);
    const BYTE shift = text.find("Shift+") != std::string_view::npos ? FSHIFT : 0;
    return {static_cast<BYTE>(FVIRTKEY | FCONTROL | shift), static_cast<WORD>(text.back()), static_cast<WORD>(id)};
}

// A menu item's caption as the system draws it, with its shortcut.
void setItemCaption(HMENU menu, int id, const std::string &caption, bool enabled)
{
    std::wstring text = vesk::wideText(caption);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING | MIIM_STATE;
    item.dwTypeData = text.data();
    item.fState = enabled ? MFS_ENABLED : MFS_GRAYED;
    SetMenuItemInfoW(menu, static_cast<UINT>(id), FALSE, &item);
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance, std::string programDirectory, std::string settingsFile)
    : m_instance(instance), m_programDirectory(std::move(programDirectory)), m_settingsFile(std::move(settingsFile))
{
    m_dpi = win32::startDpi();
    m_font = editorFont(m_dpi);
    m_measurements = std::make_unique<vesk::SlotMeasurements>([this] {
        if (HWND window = m_measuredWindow.load())
            PostMessageA(window, kSoundMeasured, 0, 0);
    });
}

MainWindow::~MainWindow()
{
    if (m_shortcuts)
        DestroyAcceleratorTable(m_shortcuts);
    DeleteObject(m_font);
}

bool MainWindow::open(int show)
{
    readSettings();
    HMENU menus = CreateMenu();
    std::vector<ACCEL> shortcuts;
    for (const vesk::Menu &menu : vesk::mainMenus()) {
        HMENU items = CreatePopupMenu();
        for (const vesk::MenuItem &item : menu.items) {
            if (std::string_view(item.caption) == "-") {
                AppendMenuA(items, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            const int id = vesk::menuItemId(item.name);
            if (id == vesk::ids::kRecentProjects) {
                m_recentMenu = CreatePopupMenu();
                AppendMenuA(items, MF_POPUP, reinterpret_cast<UINT_PTR>(m_recentMenu), item.caption);
                continue;
            }
            const std::string caption = item.shortcut ? std::string(item.caption) + "\t" + item.shortcut : item.caption;
            AppendMenuA(items, MF_STRING, static_cast<UINT_PTR>(id), caption.c_str());
            for (const char *keys : {item.shortcut, item.alsoShortcut})
                if (keys)
                    shortcuts.push_back(shortcut(keys, id));
        }
        AppendMenuA(menus, MF_POPUP, reinterpret_cast<UINT_PTR>(items), menu.caption);
    }
    m_shortcuts = CreateAcceleratorTableA(shortcuts.data(), static_cast<int>(shortcuts.size()));
    m_menus = menus;
    showHistory();
    // A fixed border, a minimize box and no maximize box.
    if (!create(m_instance, "VeskMain", vesk::kMainCaption,
                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                vesk::kMainClientWidth, vesk::kMainClientHeight, m_dpi, nullptr, menus))
        return false;
    m_prompts.setOwner(hwnd());
    DragAcceptFiles(hwnd(), TRUE);
    ShowWindow(hwnd(), show);
    UpdateWindow(hwnd());
    m_editor.recentProjects = vesk::RecentProjects(vesk::recentProjectsFile(m_settingsFile));
    vesk::readRecentProjects(m_editor, *this);
    m_recovery = std::make_unique<vesk::Recovery>(m_settingsFile);
    vesk::offerRecovery(m_editor, *this, *m_recovery);
    SetTimer(hwnd(), kRecoveryTimer, 1000, nullptr);
    return true;
}

void MainWindow::showHistory()
{
    if (!m_menus)
        return;
    setItemCaption(m_menus, vesk::ids::kUndo, vesk::undoCaption(m_editor.theme) + "\tCtrl+Z",
                   m_editor.theme.undoable() != nullptr);
    setItemCaption(m_menus, vesk::ids::kRedo, vesk::redoCaption(m_editor.theme) + "\tCtrl+Y",
                   m_editor.theme.redoable() != nullptr);
}

void MainWindow::showPage(Page page)
{
    if (page == Page::Links) {
        m_tabs->show(2);
        return;
    }
    m_tabs->show(0);
    const vesk::InnerTab tab = vesk::slotInfo(m_editor.selectedSlot).tab;
    for (size_t t = 0; t < vesk::innerTabs().size(); ++t)
        if (vesk::innerTabs()[t].tab == tab)
            m_slotTabs->show(t);
    measureSounds();
}

void MainWindow::showRecentProjects()
{
    while (GetMenuItemCount(m_recentMenu) > 0)
        DeleteMenu(m_recentMenu, 0, MF_BYPOSITION);
    const std::vector<std::string> &paths = m_editor.recentProjects.paths();
    for (size_t i = 0; i < paths.size(); ++i)
        AppendMenuW(m_recentMenu, MF_STRING, static_cast<UINT_PTR>(kRecentItemBase + static_cast<int>(i)),
                    vesk::wideText(vesk::recentItemCaption(i + 1, paths[i])).c_str());
    if (!paths.empty())
        AppendMenuA(m_recentMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m_recentMenu, MF_STRING | (paths.empty() ? MF_GRAYED : 0), kClearRecentItem, "Clear List");
}

// Menus have no tooltips: the figures line shows a recent project's full
// path while its item is picked.
void MainWindow::showMenuStatus(int id)
{
    const size_t position = static_cast<size_t>(id - kRecentItemBase);
    if (id >= kRecentItemBase && position < m_editor.recentProjects.paths().size()) {
        SetWindowTextW(control("soundInfo"), vesk::wideText(m_editor.recentProjects.paths()[position]).c_str());
        m_statusShown = true;
    } else if (m_statusShown) {
        m_statusShown = false;
        showMeasurements();
    }
}

// Start-up: the game directory in force is the one the settings file names;
// without one the player is told where to choose it, before the window opens.
void MainWindow::readSettings()
{
    m_editor.gameDirectory = vesk::readGameDirectory(m_settingsFile);
    if (!m_editor.gameDirectory)
        MessageBoxA(nullptr, vesk::kNoGameDirectory, Win32Prompts::kCaption, MB_OK);
}

bool MainWindow::translateShortcut(MSG &msg) const
{
    // Ctrl+Z in a box the player types into takes back the typing there, as
    // in every Windows program; elsewhere it is Edit > Undo.
    if (msg.message == WM_KEYDOWN && msg.wParam == 'Z' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0) {
        char className[8] = {};
        HWND focus = GetFocus();
        if (focus && GetClassNameA(focus, className, sizeof className) && lstrcmpiA(className, "Edit") == 0
            && !(GetWindowLongPtrA(focus, GWL_STYLE) & ES_READONLY))
            return false;
    }
    return hwnd() && m_shortcuts && TranslateAcceleratorA(hwnd(), m_shortcuts, &msg);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        m_measuredWindow = hwnd();
        m_tabs = std::make_unique<win32::TabPages>(hwnd(), m_instance, vesk::kMainTabs,
                                                   std::vector<const char *>{"Sounds", "Pictures", "Links"},
                                                   vesk::kMainTabsId, m_dpi, m_font);
        buildSoundsPage(m_tabs->page(0), m_tabs->origin());
        win32::buildControls(m_controls, m_tabs->page(2), m_instance, vesk::mainLinksControls(), idOf, m_dpi, m_font,
                             m_tabs->origin());
        m_built = true;
        return 0;
    }
    case WM_NOTIFY: {
        const auto &header = *reinterpret_cast<const NMHDR *>(lParam);
        // The shown slot tab's sounds are measured first.
        if (m_tabs && !m_tabs->notified(header) && m_slotTabs && m_slotTabs->notified(header))
            measureSounds();
        return 0;
    }
    case WM_DRAWITEM: {
        const auto &item = *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (m_slotOfControl.count(static_cast<int>(item.CtlID)) && item.CtlID >= vesk::kSlotLabelIdBase) {
            drawSlotRow(item);
            return TRUE;
        }
        return win32::Window::handle(message, wParam, lParam);
    }
    case kSoundMeasured:
        showMeasurements();
        return 0;
    case kBrowserClosed:
        if (m_browser && !m_browser->hwnd())
            m_browser.reset();
        return 0;
    case WM_COMMAND:
        if (lParam == 0)
            menuCommand(LOWORD(wParam));
        else if (m_built) // none of the controls' own notes while they are made
            command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DROPFILES:
        drop(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_SETCURSOR:
        return win32::keepWaitCursor() ? TRUE : DefWindowProcA(hwnd(), message, wParam, lParam);
    case WM_CLOSE:
        // Closing ends the editor; unsaved changes are asked about first.
        if (vesk::mayDiscardChanges(m_editor, *this, vesk::Leaving::Closing)) {
            if (m_recovery)
                m_recovery->discard();
            DestroyWindow(hwnd());
        }
        return 0;
    case WM_TIMER:
        if (wParam == kRecoveryTimer && m_recovery)
            vesk::keepRecovery(m_editor, *this, *m_recovery);
        return 0;
    case WM_INITMENUPOPUP:
        if (reinterpret_cast<HMENU>(wParam) == m_recentMenu)
            showRecentProjects();
        return 0;
    case WM_MENUSELECT:
        showMenuStatus(HIWORD(wParam) & MF_POPUP ? 0 : LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        m_measuredWindow = nullptr;
        m_player.play(std::string());
        PostQuitMessage(0);
        return 0;
    default:
        return win32::Window::handle(message, wParam, lParam);
    }
}

void MainWindow::buildSoundsPage(HWND page, POINT origin)
{
    std::vector<const char *> captions;
    for (const vesk::TabInfo &tab : vesk::innerTabs())
        captions.push_back(tab.caption);
    m_slotTabs = std::make_unique<win32::TabPages>(page, m_instance, vesk::kSlotTabs, captions, vesk::kSlotTabsId,
                                                   m_dpi, m_font, origin);
    for (size_t t = 0; t < captions.size(); ++t) {
        HWND slotPage = m_slotTabs->page(t);
        win32::buildControls(m_controls, slotPage, m_instance, vesk::slotTabControls(vesk::innerTabs()[t].tab), idOf,
                             m_dpi, m_font, m_slotTabs->origin());
        // Each slot's label beside its button, in the button's frame.
        for (const vesk::SlotInfo &slot : vesk::slotCatalogue()) {
            if (slot.tab != vesk::innerTabs()[t].tab)
                continue;
            int frameTop = 0;
            for (const vesk::FrameInfo &frame : vesk::frameCatalogue()) {
                if (std::string_view(frame.name) == slot.frame)
                    frameTop = frame.top;
            }
            const int id = vesk::kSlotLabelIdBase + slot.index;
            m_slotLabels[slot.index] = CreateWindowExA(
                0, "STATIC", vesk::kNoSound, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | SS_NOPREFIX | SS_NOTIFY,
                m_slotTabs->origin().x + win32::scaled(120, m_dpi) + win32::scaled(vesk::kSlotLabelLeft, m_dpi),
                m_slotTabs->origin().y + win32::scaled(frameTop, m_dpi)
                    + win32::scaled(vesk::kSlotRowHeight * slot.row, m_dpi),
                win32::scaled(vesk::kSlotLabelWidth, m_dpi), win32::scaled(vesk::kSlotLabelHeight, m_dpi), slotPage,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_instance, nullptr);
            SendMessageA(m_slotLabels[slot.index], WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
            m_slotOfControl[id] = slot.index;
            m_slotOfControl[idOf(slot.button)] = slot.index;
        }
    }
    win32::buildControls(m_controls, page, m_instance, vesk::mainSoundsControls(), idOf, m_dpi, m_font, origin);
}

void MainWindow::command(int id, int notification)
{
    if (const auto slot = m_slotOfControl.find(id); slot != m_slotOfControl.end()) {
        if (id < vesk::kSlotLabelIdBase) {
            vesk::selectSlot(m_editor, *this, slot->second);
        } else if (notification == STN_DBLCLK) { // on the row: its sound opens
            vesk::selectSlot(m_editor, *this, slot->second);
            editSound();
        }
        return;
    }
    namespace ids = vesk::ids;
    switch (id) {
    case ids::kAddFile:
        vesk::addFile(m_editor, *this);
        break;
    case ids::kRemoveFile:
        vesk::removeFile(m_editor, *this);
        break;
    case ids::kPlay:
        vesk::play(m_editor, *this);
        break;
    case ids::kStop:
        vesk::stop(*this);
        break;
    case ids::kAddLink:
        vesk::addLink(m_editor, *this,
                      {win32::textOf(control("linkNameBox")), win32::textOf(control("linkAddressBox"))});
        break;
    case ids::kRemoveLink:
        vesk::removeLink(m_editor, *this);
        break;
    case ids::kLinkList:
        if (notification == LBN_SELCHANGE) {
            const LRESULT row = SendMessageA(control("linkList"), LB_GETCURSEL, 0, 0);
            if (row != LB_ERR)
                vesk::selectLink(m_editor, *this, static_cast<size_t>(row));
        }
        break;
    default:
        break;
    }
}

void MainWindow::menuCommand(int id)
{
    namespace ids = vesk::ids;
    switch (id) {
    case ids::kOpen:
        vesk::openProjectFromDialog(m_editor, *this);
        break;
    case ids::kOpenPackage:
        vesk::openPackageFromDialog(m_editor, *this);
        break;
    case ids::kSave:
        vesk::saveProject(m_editor, *this);
        break;
    case ids::kConvert:
        vesk::convert(m_editor, *this, m_measurements.get());
        break;
    case ids::kCreatePackage:
        showPackage(m_instance, hwnd(), dpi(), m_editor, m_programDirectory, m_measurements.get(),
                    [this](const vesk::PackageDescription &description) {
                        vesk::keepPackageDescription(m_editor, *this, description);
                    });
        break;
    case ids::kRestore:
        vesk::restore(m_editor, *this);
        break;
    case ids::kExit:
        PostMessageA(hwnd(), WM_CLOSE, 0, 0);
        break;
    case ids::kMatchLoudness:
        vesk::matchThemeLoudness(m_editor, *this, *m_measurements);
        break;
    case ids::kEditSound:
        editSound();
        break;
    case ids::kSettings:
        showSettings(m_instance, hwnd(), dpi(), m_editor.gameDirectory, m_settingsFile);
        measureSounds(); // against the game directory in force now
        if (m_browser)
            m_browser->showTarget();
        break;
    case ids::kAbout:
        showAbout(m_instance, hwnd(), dpi());
        break;
    case ids::kUndo:
        vesk::undo(m_editor, *this);
        break;
    case ids::kTakeSounds: {
        PackageMixWindow::Editor editor;
        editor.gameFile = [this](int slot) { return vesk::gameSoundOf(m_editor, slot); };
        editor.play = [this](const std::string &path) { vesk::playBrowsed(m_editor, *this, path); };
        editor.take
            = [this](const vesk::PackageMix &mix) { return vesk::takeSoundsFromPackages(m_editor, *this, mix); };
        PackageMixWindow(m_instance, dpi(), std::move(editor), m_editor.theme.slots()).run(hwnd());
        break;
    }
    case ids::kBrowseSounds:
        browseSounds();
        break;
    case ids::kRedo:
        vesk::redo(m_editor, *this);
        break;
    case kClearRecentItem:
        vesk::clearRecentProjects(m_editor, *this);
        break;
    default:
        if (id >= kRecentItemBase && id < kClearRecentItem)
            vesk::openRecentProject(m_editor, *this, static_cast<size_t>(id - kRecentItemBase));
        break;
    }
}

// The selected slot's sound in the sound window; OK keeps the edit.
void MainWindow::editSound()
{
    const int slot = m_editor.selectedSlot;
    std::optional<vesk::SoundEditing> editing = vesk::startSoundWindow(m_editor, *this, *m_measurements);
    if (!editing)
        return;
    const std::optional<vesk::SoundEdit> kept = showSoundWindow(
        m_instance, hwnd(), dpi(), std::move(*editing),
        [this](const std::string &path, const vesk::SoundEdit &edit) { vesk::playEdited(m_editor, *this, path, edit); },
        [this] { vesk::stop(*this); });
    if (kept)
        vesk::keepSoundEdit(m_editor, *this, slot, *kept);
}

// Sound > Browse Sounds: the one browser, made or brought forward.
void MainWindow::browseSounds()
{
    if (m_browser && m_browser->hwnd()) {
        ShowWindow(m_browser->hwnd(), SW_RESTORE);
        SetForegroundWindow(m_browser->hwnd());
        return;
    }
    BrowserWindow::Editor editor;
    editor.targetSlot = [this] { return m_editor.selectedSlot; };
    editor.gameFile = [this](int slot) { return vesk::gameSoundOf(m_editor, slot); };
    editor.play = [this](const std::string &path) { vesk::playBrowsed(m_editor, *this, path); };
    editor.use
        = [this](const std::string &path) { vesk::chooseSlotFile(m_editor, *this, m_editor.selectedSlot, path); };
    editor.nextSlot = [this] { vesk::selectNextSlot(m_editor, *this); };
    editor.closed = [window = hwnd()] { PostMessageA(window, kBrowserClosed, 0, 0); };
    editor.dropped = [this](const std::string &path, POINT at) { dropFile(path, at); };
    const std::string file = vesk::browserSettingsFile(m_settingsFile);
    char home[MAX_PATH] = {};
    const std::string folder = vesk::browserStartFolder(
        m_editor, vesk::readBrowserSettings(file).folder,
        GetEnvironmentVariableA("USERPROFILE", home, MAX_PATH) ? std::string(home) : m_programDirectory);
    m_browser = std::make_unique<BrowserWindow>(m_instance, m_dpi, std::move(editor), file,
                                                vesk::joinPath(vesk::cacheDirectory(), "sound-figures.cache"));
    if (!m_browser->open(hwnd(), folder))
        m_browser.reset();
}

void MainWindow::openFromCommandLine(const std::string &path)
{
    if (!vesk::isProjectFileName(path) && vesk::isPackagePath(path))
        vesk::openPackage(m_editor, *this, path);
    else
        vesk::openProject(m_editor, *this, path);
}

// A project or a package (a folder, a one-file package) dropped anywhere
// opens; any other file dropped on a slot's button or label becomes that
// slot's file, as "Add File" would make it.
void MainWindow::drop(HDROP files)
{
    std::string file;
    if (DragQueryFileA(files, 0xFFFFFFFF, nullptr, 0) == 1) {
        file.resize(DragQueryFileA(files, 0, nullptr, 0));
        DragQueryFileA(files, 0, file.data(), static_cast<UINT>(file.size() + 1));
    }
    POINT at{};
    DragQueryPoint(files, &at);
    DragFinish(files);
    ClientToScreen(hwnd(), &at);
    dropFile(file, at);
}

// One file let go at `at` (on the screen), from the file manager or from the
// sound browser.
void MainWindow::dropFile(const std::string &file, POINT at)
{
    if (file.empty())
        return;
    if (vesk::isProjectFileName(file)) {
        vesk::openProject(m_editor, *this, file);
        return;
    }
    if (vesk::isPackagePath(file)) {
        vesk::openPackage(m_editor, *this, file);
        return;
    }
    for (const auto &[id, slot] : m_slotOfControl) {
        HWND target = id >= vesk::kSlotLabelIdBase ? m_slotLabels[slot] : nullptr;
        if (!target) {
            const auto &info = vesk::slotCatalogue()[static_cast<size_t>(slot - 1)];
            target = control(info.button);
        }
        RECT rect;
        if (IsWindowVisible(target) && GetWindowRect(target, &rect) && PtInRect(&rect, at)) {
            vesk::chooseSlotFile(m_editor, *this, slot, file);
            return;
        }
    }
}

std::optional<std::string> MainWindow::chooseFile(Files kind, bool save)
{
    // The filters as the common dialog takes them: description, pattern.
    static const auto filter = [](const char *pairs) {
        std::string made = std::string(pairs) + '|';
        std::replace(made.begin(), made.end(), '|', '\0');
        return made;
    };
    static const std::string filters[] = {filter(vesk::kSoundFilter), filter("VESK Project File *.vsk|*.vsk"),
                                          filter(vesk::kPackageFilter), filter(vesk::kFolderFilter)};
    char name[32768] = {};
    m_fileName.copy(name, sizeof name - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwnd();
    dialog.lpstrFilter = filters[static_cast<int>(kind)].c_str();
    dialog.lpstrFile = name;
    dialog.nMaxFile = sizeof name;
    // No default extension: a name is used as typed. The working directory
    // stays where it is.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (save ? OFN_OVERWRITEPROMPT : 0);
    if (!(save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)))
        return std::nullopt;
    m_fileName = name;
    return m_fileName;
}

void MainWindow::playSound(const std::string &name)
{
    m_player.play(name);
}

void MainWindow::setBusy(bool busy)
{
    win32::showWaitCursor(busy);
}

void MainWindow::showTheme()
{
    for (int k = 1; k <= vesk::kSlotCount; ++k)
        SetWindowTextA(m_slotLabels[k], m_editor.theme.slot(k).c_str());
    measureSounds();
}

void MainWindow::showSlot(int index)
{
    SetWindowTextA(m_slotLabels[index], m_editor.theme.slot(index).c_str());
    measureSounds();
}

void MainWindow::showSelection()
{
    SetWindowTextA(control("fileNameBox"), m_editor.playName.c_str());
    showMeasurements();
    if (m_browser)
        m_browser->showTarget();
}

void MainWindow::measureSounds()
{
    const LRESULT shown = m_slotTabs ? SendMessageA(m_slotTabs->tabs(), TCM_GETCURSEL, 0, 0) : 0;
    m_measurements->measure(m_editor.theme.slots(), m_editor.gameDirectory,
                            vesk::innerTabs()[shown >= 0 && shown < 4 ? static_cast<size_t>(shown) : 0].tab);
    showMeasurements();
}

void MainWindow::showMeasurements()
{
    for (int k = 1; k <= vesk::kSlotCount; ++k)
        InvalidateRect(m_slotLabels[k], nullptr, TRUE);
    // Without tooltips, what is wrong with the selected sound comes first.
    if (m_controls.count("soundInfo"))
        SetWindowTextA(control("soundInfo"),
                       vesk::showsSelectedSlot(m_editor)
                           ? m_measurements->figures(m_editor.theme.project(), m_editor.selectedSlot, true).c_str()
                           : "");
}

// A slot's row: its value, shortened in the middle of the path where it
// must be, then for a sound its length and a small picture of it at its
// true level, full scale being the row's height.
void MainWindow::drawSlotRow(const DRAWITEMSTRUCT &item)
{
    const int slot = m_slotOfControl.at(static_cast<int>(item.CtlID));
    const vesk::SlotMeasurements::Row row = m_measurements->row(m_editor.theme.project(), slot);
    HDC dc = item.hDC;
    RECT area = item.rcItem;
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    const int picture = row.sound ? win32::scaled(kPictureWidth * 15, dpi()) : 0;
    const int gap = win32::scaled(kGap * 15, dpi());
    std::string length = row.length;
    if (!row.marks.empty())
        length = "(!) " + length;
    SIZE extent{};
    GetTextExtentPoint32A(dc, length.c_str(), static_cast<int>(length.size()), &extent);
    const int lengthWidth = length.empty() ? 0 : extent.cx + gap;
    RECT text = area;
    text.right -= picture + lengthWidth + (picture ? gap : 0);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    // The path's bytes are UTF-8: drawn through the wide call, as every
    // other control's text is set.
    const std::wstring value = vesk::wideText(m_editor.theme.slot(slot));
    DrawTextW(dc, value.data(), static_cast<int>(value.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    if (!length.empty()) {
        RECT at{text.right + gap, area.top, text.right + lengthWidth, area.bottom};
        SetTextColor(dc, row.marks.empty() ? GetSysColor(COLOR_BTNTEXT) : RGB(0xB0, 0x30, 0x00));
        DrawTextA(dc, length.c_str(), static_cast<int>(length.size()), &at,
                  DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
    if (!row.sound || !row.sound->ok())
        return;
    const vesk::SoundAnalysis &sound = **row.sound;
    RECT box{area.right - picture, area.top, area.right, area.bottom};
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    drawWaveform(dc, box, sound.waveform.resample(row.from, row.to, static_cast<std::size_t>(picture)),
                 [&](int) { return row.scale; });
}

void MainWindow::showLink(size_t row)
{
    const vesk::Link &link = m_editor.theme.links().at(row);
    SendMessageA(control("linkList"), LB_SETCURSEL, row, 0);
    SendMessageA(control("addressList"), LB_SETCURSEL, row, 0);
    SetWindowTextA(control("linkNameBox"), vesk::displayText(link.name).c_str());
    SetWindowTextA(control("linkAddressBox"), vesk::displayText(link.address).c_str());
}

void MainWindow::listLink(const vesk::Link &link)
{
    SendMessageA(control("linkList"), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(vesk::displayText(link.name).c_str()));
    SendMessageA(control("addressList"), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(vesk::displayText(link.address).c_str()));
}

void MainWindow::linksChanging(const LinkChange &) {}

void MainWindow::linksChanged(const LinkChange &change)
{
    switch (change.kind) {
    case LinkChange::Kind::All:
        for (const char *list : {"linkList", "addressList"})
            SendMessageA(control(list), LB_RESETCONTENT, 0, 0);
        for (const vesk::Link &link : m_editor.theme.links())
            listLink(link);
        break;
    case LinkChange::Kind::Appended:
        listLink(m_editor.theme.links().at(change.row));
        break;
    case LinkChange::Kind::Erased:
        for (const char *list : {"linkList", "addressList"}) {
            SendMessageA(control(list), LB_DELETESTRING, change.row, 0);
            SendMessageA(control(list), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        }
        break;
    }
}
