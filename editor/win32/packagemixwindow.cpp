#include "packagemixwindow.h"

#include "prompts.h"
#include "soundbrowser.h"
#include "widepath.h"

#include <algorithm>

namespace {

// Posted by the measuring threads.
constexpr UINT kMeasured = WM_APP + 1;
constexpr int kTitleWidth = 150, kCellWidth = 190; // at 96 dpi

void setCellText(HWND list, int row, int column, const std::string &text)
{
    std::wstring wide = vesk::wideText(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

} // namespace

PackageMixWindow::PackageMixWindow(HINSTANCE instance, int dpi, Editor editor, const vesk::SlotValues &theme)
    : Dialog(instance, dpi, vesk::EditorWindow::PackageMix), m_editor(std::move(editor)),
      m_mix(std::make_unique<vesk::PackageMix>(theme)), m_rows(vesk::slotsOnScreen()),
      m_analyses(std::make_unique<vesk::SoundAnalyses>([this] {
          if (!m_arrivedPending.exchange(true))
              if (HWND window = m_window.load())
                  PostMessageA(window, kMeasured, 0, 0);
      }))
{}

PackageMixWindow::~PackageMixWindow()
{
    m_window = nullptr;
    m_analyses.reset(); // its threads end before the rest goes
}

void PackageMixWindow::run(HWND owner)
{
    show(vesk::kPackageMixCaption, vesk::kPackageMixClientWidth, vesk::kPackageMixClientHeight, owner);
}

void PackageMixWindow::build()
{
    m_window = hwnd();
    win32::buildControls(m_controls, hwnd(), m_instance, vesk::packageMixControls(), win32dialog::idsOf(m_kind), m_dpi,
                         m_font);
    HWND list = control("soundGrid");
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    std::wstring title = L"Slot";
    column.pszText = title.data();
    column.cx = MulDiv(kTitleWidth, m_dpi, 96);
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (int row = 0; row < vesk::kSlotCount; ++row) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        std::wstring name = vesk::wideText(vesk::slotName(m_rows[static_cast<size_t>(row)]));
        item.pszText = name.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    showCells();
    measure();
    moveTo(0, 0);
    SetFocus(list);
}

LRESULT PackageMixWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        build();
        return 0;
    case WM_COMMAND:
        command(LOWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return notified(*reinterpret_cast<NMHDR *>(lParam));
    case DM_GETDEFID: // Return uses the chosen cell, or presses the button that has the focus
        if (HWND focus = GetFocus();
            focus && focus != control("soundGrid") && (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
            return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
        return MAKELRESULT(vesk::ids::kUseCell, DC_HASDEFID);
    case kMeasured:
        m_arrivedPending = false;
        showCells();
        return 0;
    case WM_TIMER:
        m_playing.elapsed(hwnd(), wParam);
        return 0;
    case WM_CLOSE:
        stop();
        DestroyWindow(hwnd());
        return 0;
    default:
        return Dialog::handle(message, wParam, lParam);
    }
}

void PackageMixWindow::command(int id)
{
    namespace ids = vesk::ids;
    switch (id) {
    case ids::kAddPackage:
        addPackage();
        break;
    case ids::kUseCell:
        useCurrent();
        break;
    case ids::kUseColumn:
        m_mix->useColumn(static_cast<size_t>(m_column));
        showCells();
        break;
    case ids::kMixOk:
        stop();
        if (m_editor.take(*m_mix))
            DestroyWindow(hwnd());
        break;
    case IDCANCEL: // Escape: a playing sound stops, else the window closes
        if (m_playing.playing()) {
            stop();
            break;
        }
        [[fallthrough]];
    case ids::kMixCancel:
        stop();
        DestroyWindow(hwnd());
        break;
    default:
        break;
    }
}

void PackageMixWindow::addPackage()
{
    static const std::string filter = [] {
        std::string pairs = std::string(vesk::kPackageFilter) + '|';
        std::replace(pairs.begin(), pairs.end(), '|', '\0');
        return pairs;
    }();
    char name[32768] = {};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwnd();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name;
    dialog.nMaxFile = sizeof name;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameA(&dialog))
        return;
    Win32Prompts prompts(hwnd());
    const vesk::Status added = m_mix->add(name, *prompts.startProgress(vesk::kPackageMixCaption));
    if (!added.ok()) {
        if (added.code() != vesk::ErrorCode::Cancelled)
            prompts.message(added.error(), false);
        return;
    }
    showCells();
    measure();
}

// Every sound of the grid measured, the game's own first, then row by row.
void PackageMixWindow::measure()
{
    m_analyses->request(vesk::mixSoundsToMeasure(*m_mix, m_editor.gameFile));
}

void PackageMixWindow::showCells()
{
    HWND list = control("soundGrid");
    for (; m_shownColumns < static_cast<int>(m_mix->columns()); ++m_shownColumns) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        std::wstring title = vesk::wideText(m_mix->title(static_cast<size_t>(m_shownColumns)));
        column.pszText = title.data();
        column.cx = MulDiv(kCellWidth, m_dpi, 96);
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(m_shownColumns + 1),
                     reinterpret_cast<LPARAM>(&column));
    }
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (int row = 0; row < vesk::kSlotCount; ++row) {
        const int slot = m_rows[static_cast<size_t>(row)];
        setCellText(list, row, 0, vesk::mixRowTitle(*m_mix, slot));
        const std::optional<std::string> gameFile = m_editor.gameFile(slot);
        const vesk::SoundAnalyses::Entry game = gameFile ? m_analyses->stored(*gameFile) : nullptr;
        const vesk::SoundAnalysis *gameSound = game && game->ok() ? &**game : nullptr;
        for (size_t column = 0; column < m_mix->columns(); ++column) {
            const std::optional<std::string> sound = m_mix->sound(slot, column);
            const vesk::SoundAnalyses::Entry figures = sound ? m_analyses->stored(*sound) : nullptr;
            setCellText(list, row, static_cast<int>(column) + 1,
                        vesk::mixCellText(*m_mix, slot, column, figures.get(), gameSound));
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, FALSE);
}

int PackageMixWindow::selectedRow() const
{
    return ListView_GetNextItem(control("soundGrid"), -1, LVNI_SELECTED);
}

// The chosen cell moved (by the keys or the mouse): it is drawn, and heard.
void PackageMixWindow::moveTo(int row, int column)
{
    HWND list = control("soundGrid");
    m_column = std::clamp(column, 0, static_cast<int>(m_mix->columns()) - 1);
    if (row != selectedRow()) {
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, row, FALSE);
    }
    InvalidateRect(list, nullptr, FALSE);
    stop();
    playCurrent();
}

void PackageMixWindow::playCurrent()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const std::optional<std::string> sound
        = m_mix->sound(m_rows[static_cast<size_t>(row)], static_cast<size_t>(m_column));
    if (!sound)
        return;
    m_editor.play(*sound);
    m_playing.start(hwnd(), vesk::playingMilliseconds(m_analyses->stored(*sound).get()));
}

void PackageMixWindow::stop()
{
    if (m_playing.stop(hwnd()))
        m_editor.play(std::string());
}

void PackageMixWindow::useCurrent()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_mix->use(m_rows[static_cast<size_t>(row)], static_cast<size_t>(m_column));
    showCells();
}

LRESULT PackageMixWindow::notified(NMHDR &header)
{
    if (header.idFrom != static_cast<UINT_PTR>(vesk::ids::kSoundGrid))
        return 0;
    switch (header.code) {
    case NM_CUSTOMDRAW:
        return customDraw(reinterpret_cast<NMLVCUSTOMDRAW &>(header));
    case LVN_ITEMCHANGED: {
        const auto &changed = reinterpret_cast<NMLISTVIEW &>(header);
        if ((changed.uNewState & LVIS_SELECTED) && !(changed.uOldState & LVIS_SELECTED)) {
            stop();
            playCurrent();
        }
        return 0;
    }
    case LVN_KEYDOWN: {
        const auto &key = reinterpret_cast<NMLVKEYDOWN &>(header);
        if (key.wVKey == VK_LEFT || key.wVKey == VK_RIGHT)
            moveTo(selectedRow(), m_column + (key.wVKey == VK_LEFT ? -1 : 1));
        else if (key.wVKey == VK_SPACE) {
            stop();
            playCurrent();
        }
        return 0;
    }
    case NM_CLICK:
    case NM_DBLCLK: {
        const auto &click = reinterpret_cast<NMITEMACTIVATE &>(header);
        if (click.iItem < 0)
            return 0;
        if (click.iSubItem > 0 && click.iSubItem - 1 != m_column)
            moveTo(click.iItem, click.iSubItem - 1);
        if (header.code == NM_DBLCLK)
            useCurrent();
        return 0;
    }
    default:
        return 0;
    }
}

// The selected row's chosen cell is drawn selected; the texts tick the sounds used.
LRESULT PackageMixWindow::customDraw(NMLVCUSTOMDRAW &draw)
{
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        // The list's own selection would paint the whole row: the window
        // paints the chosen cell, and the row's title, itself.
        draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const int row = static_cast<int>(draw.nmcd.dwItemSpec);
        const bool selected = row == selectedRow();
        const bool current = selected && draw.iSubItem - 1 == m_column;
        draw.clrText = GetSysColor(current ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        draw.clrTextBk = GetSysColor(current                          ? COLOR_HIGHLIGHT
                                     : selected && draw.iSubItem == 0 ? COLOR_BTNFACE
                                                                      : COLOR_WINDOW);
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}
