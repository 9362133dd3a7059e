#include "browserwindow.h"

#include "displaytext.h"
#include "paths.h"
#include "slotsound.h"
#include "waveformpicture.h"
#include "widepath.h"

#include <algorithm>
#include <filesystem>

#include <commctrl.h>
#include <shlobj.h>

namespace {

// Posted by the listing's and the measuring threads.
constexpr UINT kListed = WM_APP + 1, kMeasured = WM_APP + 2;
enum Column {
    Name,
    Length,
    Loudness,
    TruePeak,
    Picture,
    Verdict
};
constexpr int kColumnWidths[] = {190, 60, 80, 72, 70, 150}; // at 96 dpi

} // namespace

BrowserWindow::BrowserWindow(HINSTANCE instance, int dpi, Editor editor, std::string settingsFile,
                             const std::string &cacheFile)
    : Dialog(instance, dpi, vesk::EditorWindow::Browser), m_editor(std::move(editor)),
      m_settingsFile(std::move(settingsFile)), m_generation(std::make_shared<std::atomic<unsigned>>(0)),
      m_cache(std::make_unique<vesk::AnalysisCache>(cacheFile)), m_analyses(std::make_unique<vesk::SoundAnalyses>(
                                                                     [this] {
                                                                         if (!m_arrivedPending.exchange(true))
                                                                             if (HWND window = m_window.load())
                                                                                 PostMessageA(window, kMeasured, 0, 0);
                                                                     },
                                                                     0, m_cache->analyse()))
{
    m_cache->load();
}

BrowserWindow::~BrowserWindow()
{
    m_window = nullptr;
    ++*m_generation;
    if (m_listing.valid())
        m_listing.wait();
    m_analyses.reset(); // its threads end before the rest goes
    // Where the cache cannot be kept, the figures are measured again next time.
    static_cast<void>(m_cache->save());
    if (hwnd())
        DestroyWindow(hwnd());
}

bool BrowserWindow::open(HWND owner, const std::string &folder)
{
    if (!create(m_instance, className(), vesk::kSoundBrowserCaption, win32dialog::kDialogStyle | WS_MINIMIZEBOX,
                WS_EX_CONTROLPARENT, vesk::kSoundBrowserClientWidth, vesk::kSoundBrowserClientHeight, m_dpi, owner))
        return false;
    m_window = hwnd();
    // Beside the main window.
    RECT main{}, mine{};
    GetWindowRect(owner, &main);
    GetWindowRect(hwnd(), &mine);
    SetWindowPos(hwnd(), nullptr, main.right + 8, main.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hwnd(), SW_SHOW);
    showTarget();
    openFolder(folder);
    SetFocus(control("soundList"));
    return true;
}

void BrowserWindow::build()
{
    win32::buildControls(m_controls, hwnd(), m_instance, vesk::soundBrowserControls(), win32dialog::idsOf(m_kind),
                         m_dpi, m_font);
    // The rows come from the window as they are drawn, however many there
    // are: a list of that kind is made so from the start.
    HWND table = control("soundList");
    RECT at{};
    GetWindowRect(table, &at);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT *>(&at), 2);
    const LONG_PTR style = GetWindowLongPtrA(table, GWL_STYLE) | LVS_OWNERDATA;
    DestroyWindow(table);
    HWND list = CreateWindowExW(
        0, WC_LISTVIEWW, L"", static_cast<DWORD>(style), at.left, at.top, at.right - at.left, at.bottom - at.top,
        hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(vesk::ids::kSoundList)), m_instance, nullptr);
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    m_controls["soundList"] = list;
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (int c = 0; c < static_cast<int>(vesk::kSoundBrowserColumns.size()); ++c) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char *>(vesk::kSoundBrowserColumns[static_cast<size_t>(c)]);
        column.cx = MulDiv(kColumnWidths[c], m_dpi, 96);
        ListView_InsertColumn(list, c, &column);
    }
    const vesk::BrowserSettings settings = vesk::readBrowserSettings(m_settingsFile);
    SendMessageA(control("playOnSelectBox"), BM_SETCHECK, settings.playOnSelect ? BST_CHECKED : BST_UNCHECKED, 0);
}

LRESULT BrowserWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        build();
        return 0;
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFYFORMAT: // the list's texts come as wide text
        return NFR_UNICODE;
    case WM_NOTIFY:
        return notified(*reinterpret_cast<NMHDR *>(lParam));
    case DM_GETDEFID: {
        // Return in the folder box opens the folder; elsewhere it puts the
        // selected sound in the slot.
        const bool inFolder = GetFocus() == control("folderBox");
        return MAKELRESULT(inFolder ? vesk::ids::kFolderBox : vesk::ids::kUseForSlot, DC_HASDEFID);
    }
    case kListed:
        listed(static_cast<unsigned>(wParam));
        return 0;
    case kMeasured:
        m_arrivedPending = false;
        showFigures();
        return 0;
    case WM_TIMER:
        m_playing.elapsed(hwnd(), wParam);
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (m_dragged.empty())
            return Dialog::handle(message, wParam, lParam);
        drag(message);
        return 0;
    case WM_CLOSE:
        stop();
        keepSettings();
        DestroyWindow(hwnd());
        return 0;
    default:
        return Dialog::handle(message, wParam, lParam);
    }
}

// The drag of a row under way: the cursor says whether it may be let go
// where it is (over the main window); letting go there hands the file over.
// Losing the mouse (Escape, another window) ends it with nothing done.
void BrowserWindow::drag(UINT message)
{
    POINT at{};
    GetCursorPos(&at);
    const HWND under = WindowFromPoint(at);
    const HWND owner = GetWindow(hwnd(), GW_OWNER);
    const bool overOwner = under && owner && GetAncestor(under, GA_ROOT) == owner;
    if (message == WM_MOUSEMOVE) {
        SetCursor(LoadCursor(nullptr, overOwner ? IDC_HAND : IDC_NO));
        return;
    }
    const std::string file = std::move(m_dragged);
    m_dragged.clear();
    if (message == WM_LBUTTONUP) {
        ReleaseCapture();
        if (overOwner && m_editor.dropped)
            m_editor.dropped(file, at);
    }
}

void BrowserWindow::destroyed()
{
    m_window = nullptr;
    if (m_editor.closed)
        m_editor.closed();
}

void BrowserWindow::command(int id, int notification)
{
    namespace ids = vesk::ids;
    switch (id) {
    case ids::kFolderBox:
        if (notification == BN_CLICKED) // Return in it
            openFolder(text("folderBox"));
        break;
    case ids::kChooseFolder: {
        BROWSEINFOW browse{};
        browse.hwndOwner = hwnd();
        browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
        if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse)) {
            wchar_t folder[MAX_PATH] = {};
            if (SHGetPathFromIDListW(chosen, folder))
                openFolder(vesk::utf8Text(folder, wcslen(folder)));
            CoTaskMemFree(chosen);
        }
        break;
    }
    case ids::kSubfolders:
        if (notification == BN_CLICKED)
            openFolder(m_listedFolder);
        break;
    case ids::kFilterBox:
        if (notification == EN_CHANGE)
            showRows();
        break;
    case ids::kPlayOnSelect:
        if (notification == BN_CLICKED)
            keepSettings();
        break;
    case ids::kUseForSlot:
        useSelected();
        break;
    case IDCANCEL: // Escape: a drag or a playing sound stops, else the window closes
        if (!m_dragged.empty()) {
            m_dragged.clear();
            ReleaseCapture();
        } else if (m_playing.playing())
            stop();
        else
            PostMessageA(hwnd(), WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

bool BrowserWindow::openFolder(const std::string &folder)
{
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(vesk::fsPath(folder), ec)) {
        MessageBoxW(hwnd(), vesk::wideText(vesk::displayText(folder) + " is no folder.").c_str(), L"VESK", MB_OK);
        SetWindowTextW(control("folderBox"), vesk::wideText(m_listedFolder).c_str());
        return false;
    }
    m_listedFolder = folder;
    SetWindowTextW(control("folderBox"), vesk::wideText(folder).c_str());
    stop();
    m_files.clear();
    m_rows.clear();
    m_unmeasured.clear();
    ListView_SetItemCountEx(control("soundList"), 0, 0);
    m_analyses->request({});
    const unsigned generation = ++*m_generation;
    if (m_listing.valid())
        m_listing.wait();
    const bool subfolders = SendMessageA(control("subfoldersBox"), BM_GETCHECK, 0, 0) == BST_CHECKED;
    m_listing = std::async(std::launch::async, [this, generation, folder, subfolders, counter = m_generation] {
        std::vector<vesk::BrowsedFile> files
            = vesk::listSounds(folder, subfolders, [&] { return counter->load() == generation; });
        {
            const std::lock_guard<std::mutex> lock(m_handOver);
            m_handed = std::move(files);
            m_handedGeneration = generation;
        }
        if (HWND window = m_window.load())
            PostMessageA(window, kListed, generation, 0);
    });
    keepSettings();
    return true;
}

void BrowserWindow::listed(unsigned generation)
{
    {
        const std::lock_guard<std::mutex> lock(m_handOver);
        if (generation != *m_generation || m_handedGeneration != generation)
            return;
        m_files = std::move(m_handed);
    }
    m_shownGeneration = generation;
    std::vector<std::string> paths;
    if (const std::optional<std::string> game = m_editor.gameFile(m_editor.targetSlot()))
        paths.push_back(*game);
    for (size_t i = 0; i < m_files.size(); ++i) {
        if (m_files[i].problem.empty()) {
            m_unmeasured.push_back(i);
            paths.push_back(m_files[i].path);
        }
    }
    m_analyses->request(paths);
    showRows();
}

std::string BrowserWindow::cell(size_t file, int column) const
{
    const vesk::BrowsedFile &browsed = m_files[file];
    if (column == Name)
        return vesk::displayText(browsed.name);
    if (!browsed.problem.empty())
        return column == Verdict ? "cannot be used: " + browsed.problem : std::string();
    const vesk::SoundAnalyses::Entry sound = m_analyses->find(browsed.path);
    if (!sound)
        return {};
    if (!sound->ok())
        return column == Verdict ? "cannot be used: " + sound->error() : std::string();
    const vesk::SoundAnalysis &figures = **sound;
    const auto level = [](const std::optional<double> &value, const char *unit) {
        return value ? vesk::levelText(*value) + " " + unit : std::string("silent");
    };
    switch (column) {
    case Length:
        return vesk::lengthText(figures.seconds());
    case Loudness:
        return level(figures.loudness.integrated, "LUFS");
    case TruePeak:
        return level(figures.loudness.truePeak, "dBTP");
    case Verdict: {
        const std::optional<std::string> gameFile = m_editor.gameFile(m_editor.targetSlot());
        const vesk::SoundAnalyses::Entry game = gameFile ? m_analyses->find(*gameFile) : nullptr;
        if (gameFile && !game)
            return {};
        return vesk::soundVerdict(*sound, game && game->ok() ? &game->value() : nullptr);
    }
    default:
        return {};
    }
}

void BrowserWindow::showRows()
{
    const std::string filter = vesk::displayText(text("filterBox"));
    const auto lowered = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
        return text;
    };
    const std::string wanted = lowered(filter);
    m_rows.clear();
    for (size_t i = 0; i < m_files.size(); ++i)
        if (wanted.empty() || lowered(vesk::displayText(m_files[i].name)).find(wanted) != std::string::npos)
            m_rows.push_back(i);
    // By the column clicked: its figure where it has one, else the name.
    const auto figure = [this](size_t file) -> std::optional<double> {
        const vesk::SoundAnalyses::Entry sound
            = m_files[file].problem.empty() ? m_analyses->stored(m_files[file].path) : nullptr;
        if (!sound || !sound->ok())
            return std::nullopt;
        switch (m_sortColumn) {
        case Length:
            return (*sound)->seconds();
        case Loudness:
            return (*sound)->loudness.integrated;
        case TruePeak:
            return (*sound)->loudness.truePeak;
        default:
            return std::nullopt;
        }
    };
    // Each row's key once, not once for every comparison.
    const bool byFigure = m_sortColumn == Length || m_sortColumn == Loudness || m_sortColumn == TruePeak;
    std::vector<std::optional<double>> figures(byFigure ? m_files.size() : 0);
    std::vector<std::string> texts(byFigure ? 0 : m_files.size());
    for (const size_t file : m_rows) {
        if (byFigure)
            figures[file] = figure(file);
        else
            texts[file] = lowered(cell(file, m_sortColumn));
    }
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](size_t a, size_t b) {
        if (byFigure) {
            const std::optional<double> &x = figures[a], &y = figures[b];
            if (x.has_value() != y.has_value())
                return x.has_value();
            if (x && *x != *y)
                return m_sortDown ? *x > *y : *x < *y;
            return false;
        }
        return m_sortDown ? texts[a] > texts[b] : texts[a] < texts[b];
    });
    HWND list = control("soundList");
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(list, static_cast<int>(m_rows.size()), 0);
    InvalidateRect(list, nullptr, FALSE);
}

void BrowserWindow::showFigures()
{
    std::vector<size_t> still = vesk::takeArrived(
        m_unmeasured, [this](size_t index) { return m_analyses->stored(m_files[index].path) != nullptr; });
    const bool filled = still.size() != m_unmeasured.size();
    m_unmeasured = std::move(still);
    if (filled && m_unmeasured.empty())
        m_cache->saveInBackground(); // every figure of the folder, for the next time
    showTarget();
}

void BrowserWindow::showTarget()
{
    if (!hwnd())
        return;
    const int slot = m_editor.targetSlot();
    const std::optional<std::string> gameFile = m_editor.gameFile(slot);
    vesk::SoundAnalyses::Entry game;
    if (gameFile && !(game = m_analyses->find(*gameFile)))
        m_analyses->add({*gameFile});
    SetWindowTextW(control("targetLabel"), vesk::wideText(vesk::browserTarget(slot, gameFile, game.get())).c_str());
    InvalidateRect(control("soundList"), nullptr, FALSE);
}

LRESULT BrowserWindow::notified(NMHDR &header)
{
    if (header.hwndFrom != control("soundList"))
        return 0;
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        auto &info = reinterpret_cast<NMLVDISPINFOW &>(header);
        if ((info.item.mask & LVIF_TEXT) && info.item.iItem >= 0
            && static_cast<size_t>(info.item.iItem) < m_rows.size()) {
            const std::wstring text
                = vesk::wideText(cell(m_rows[static_cast<size_t>(info.item.iItem)], info.item.iSubItem));
            lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
        }
        return 0;
    }
    case LVN_ITEMCHANGED: {
        const auto &change = reinterpret_cast<NMLISTVIEW &>(header);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED))
            onSelected();
        return 0;
    }
    case LVN_KEYDOWN: {
        const auto &key = reinterpret_cast<NMLVKEYDOWN &>(header);
        if (key.wVKey == VK_SPACE)
            playSelected();
        return 0;
    }
    case NM_DBLCLK:
        useSelected();
        return 0;
    case LVN_BEGINDRAG: {
        // A row dragged onto a slot's button or row in the main window goes
        // in that slot, as a file from the file manager does.
        const auto &begun = reinterpret_cast<NMLISTVIEW &>(header);
        if (begun.iItem < 0 || static_cast<size_t>(begun.iItem) >= m_rows.size())
            return 0;
        const vesk::BrowsedFile &file = m_files[m_rows[static_cast<size_t>(begun.iItem)]];
        if (!file.problem.empty())
            return 0;
        m_dragged = file.path;
        SetCapture(hwnd());
        drag(WM_MOUSEMOVE);
        return 0;
    }
    case LVN_ODCACHEHINT: {
        // The rows in view are measured before the others.
        const auto &hint = reinterpret_cast<NMLVCACHEHINT &>(header);
        std::vector<std::string> shown;
        for (int row = std::max(0, hint.iFrom); row <= hint.iTo && static_cast<size_t>(row) < m_rows.size(); ++row)
            if (m_files[m_rows[static_cast<size_t>(row)]].problem.empty())
                shown.push_back(m_files[m_rows[static_cast<size_t>(row)]].path);
        m_analyses->add(shown);
        return 0;
    }
    case LVN_COLUMNCLICK: {
        const int column = reinterpret_cast<NMLISTVIEW &>(header).iSubItem;
        m_sortDown = column == m_sortColumn && !m_sortDown;
        m_sortColumn = column;
        showRows();
        return 0;
    }
    case NM_CUSTOMDRAW:
        return customDraw(reinterpret_cast<NMLVCUSTOMDRAW &>(header));
    default:
        return 0;
    }
}

// The picture column: the sound at its true level.
LRESULT BrowserWindow::customDraw(NMLVCUSTOMDRAW &draw)
{
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        if (draw.iSubItem != Picture || draw.nmcd.dwItemSpec >= m_rows.size())
            return CDRF_DODEFAULT;
        const vesk::BrowsedFile &file = m_files[m_rows[draw.nmcd.dwItemSpec]];
        const vesk::SoundAnalyses::Entry sound = file.problem.empty() ? m_analyses->find(file.path) : nullptr;
        if (!sound || !sound->ok())
            return CDRF_DODEFAULT;
        RECT box{};
        ListView_GetSubItemRect(draw.nmcd.hdr.hwndFrom, static_cast<int>(draw.nmcd.dwItemSpec), Picture, LVIR_BOUNDS,
                                &box);
        InflateRect(&box, -2, -2);
        drawWaveform(draw.nmcd.hdc, box,
                     (*sound)->waveform.resample(0, (*sound)->frames, static_cast<size_t>(box.right - box.left)));
        return CDRF_SKIPDEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

const vesk::BrowsedFile *BrowserWindow::selectedFile() const
{
    const int row = ListView_GetNextItem(control("soundList"), -1, LVNI_SELECTED);
    return row >= 0 && static_cast<size_t>(row) < m_rows.size() ? &m_files[m_rows[static_cast<size_t>(row)]] : nullptr;
}

void BrowserWindow::onSelected()
{
    stop();
    if (SendMessageA(control("playOnSelectBox"), BM_GETCHECK, 0, 0) == BST_CHECKED)
        playSelected();
}

void BrowserWindow::playSelected()
{
    const vesk::BrowsedFile *file = selectedFile();
    if (!file || !file->problem.empty())
        return;
    m_editor.play(file->path);
    m_playing.start(hwnd(), vesk::playingMilliseconds(m_analyses->find(file->path).get()));
}

void BrowserWindow::stop()
{
    if (m_playing.stop(hwnd()))
        m_editor.play(std::string());
}

void BrowserWindow::useSelected()
{
    const vesk::BrowsedFile *file = selectedFile();
    if (!file || !file->problem.empty())
        return;
    const std::string path = file->path;
    stop();
    m_editor.use(path);
    if (SendMessageA(control("nextSlotBox"), BM_GETCHECK, 0, 0) == BST_CHECKED)
        m_editor.nextSlot();
    showTarget();
}

void BrowserWindow::keepSettings()
{
    vesk::BrowserSettings settings;
    if (!m_listedFolder.empty())
        settings.folder = m_listedFolder;
    settings.playOnSelect = SendMessageA(control("playOnSelectBox"), BM_GETCHECK, 0, 0) == BST_CHECKED;
    static_cast<void>(vesk::writeBrowserSettings(m_settingsFile, settings));
}
