#include "win32ui.h"

#include "comptr_windows.h"

#include "displaytext.h"
#include "fileops.h"
#include "files.h"
#include "paths.h"
#include "texttools.h"
#include "widepath.h"

#include <wincodec.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace win32 {

int scaled(int twips, int dpi)
{
    return MulDiv(vesk::pixels(twips), dpi, 96);
}

int startDpi()
{
    using SystemDpi = UINT(WINAPI *)();
    // Windows 10 (1607) and later; before it, the screen's.
    if (auto system = reinterpret_cast<SystemDpi>(
            reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForSystem"))))
        return static_cast<int>(system());
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void showKeyboardCues(HWND window)
{
    SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
}

int windowDpi(HWND window)
{
    using WindowDpi = UINT(WINAPI *)(HWND);
    if (auto forWindow = reinterpret_cast<WindowDpi>(
            reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")))) {
        if (const UINT dpi = forWindow(window))
            return static_cast<int>(dpi);
    }
    return startDpi();
}

DpiLayout::~DpiLayout()
{
    for (const auto &made : m_fonts)
        DeleteObject(made.second);
}

HFONT DpiLayout::fontFor(LOGFONTA font)
{
    for (const auto &made : m_fonts) {
        if (std::memcmp(&made.first, &font, sizeof font) == 0)
            return made.second;
    }
    HFONT created = CreateFontIndirectA(&font);
    m_fonts.emplace_back(font, created);
    return created;
}

void DpiLayout::rescale(HWND window, int fromDpi, int toDpi, const RECT &frame)
{
    if (fromDpi == toDpi || fromDpi <= 0 || toDpi <= 0)
        return;
    std::vector<HWND> children;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND> *>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    // Each child as it was first met: its rectangle on its parent (a combo
    // box with its list) and its font.
    for (HWND child : children) {
        if (m_placed.count(child))
            continue;
        Placement placed{};
        GetWindowRect(child, &placed.rect);
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, WC_COMBOBOXA) == 0) {
            RECT dropped{};
            SendMessageA(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
            placed.rect.bottom = std::max(placed.rect.bottom, placed.rect.top + (dropped.bottom - dropped.top));
        }
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT *>(&placed.rect), 2);
        placed.dpi = fromDpi;
        if (auto font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)))
            placed.hasFont = GetObjectA(font, sizeof placed.font, &placed.font) == sizeof placed.font;
        m_placed.emplace(child, placed);
    }
    for (HWND child : children) {
        const Placement &placed = m_placed.at(child);
        const auto at = [&](LONG value) { return MulDiv(value, toDpi, placed.dpi); };
        const int left = at(placed.rect.left), top = at(placed.rect.top);
        SetWindowPos(child, nullptr, left, top, at(placed.rect.right) - left, at(placed.rect.bottom) - top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (placed.hasFont) {
            LOGFONTA font = placed.font;
            font.lfHeight = MulDiv(font.lfHeight, toDpi, placed.dpi);
            font.lfWidth = MulDiv(font.lfWidth, toDpi, placed.dpi);
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(font)), FALSE);
        }
    }
    SetWindowPos(window, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int placeOnScreen(HWND window, DpiLayout &layout, int fromDpi, int toDpi, SIZE twips)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT &area = monitor.rcWork;
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
    const BOOL menu = GetMenu(window) != nullptr;
    const auto frameAt = [&](int dpi) {
        RECT frame{0, 0, scaled(twips.cx, dpi), scaled(twips.cy, dpi)};
        AdjustWindowRectEx(&frame, style, menu, exStyle);
        return SIZE{frame.right - frame.left, frame.bottom - frame.top};
    };
    const auto fits = [&](int dpi) {
        const SIZE size = frameAt(dpi);
        return size.cx <= area.right - area.left && size.cy <= area.bottom - area.top;
    };
    int dpi = toDpi;
    while (dpi > 48 && !fits(dpi))
        --dpi;
    if (dpi == fromDpi)
        return dpi;
    const SIZE size = frameAt(dpi);
    const LONG left = area.left + std::max<LONG>(0, (area.right - area.left - size.cx) / 2);
    const LONG top = area.top + std::max<LONG>(0, (area.bottom - area.top - size.cy) / 2);
    const RECT frame{left, top, left + size.cx, top + size.cy};
    layout.rescale(window, fromDpi, dpi, frame);
    return dpi;
}

std::string textOf(HWND control)
{
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void buildControls(Controls &made, HWND parent, HINSTANCE instance, const std::vector<vesk::ControlRow> &table,
                   const std::function<int(const char *)> &idOf, int dpi, HFONT font, POINT origin)
{
    std::map<std::string, POINT> frames; // a frame's corner on `parent`, for the controls it holds
    for (const vesk::ControlRow &row : table) {
        const char *className = "STATIC";
        DWORD style = WS_CHILD;
        if (row.width > 0 || row.height > 0)
            style |= WS_VISIBLE;
        int height = scaled(row.height, dpi);
        switch (row.kind) {
        case vesk::Kind::Label:
            style |= SS_LEFT | SS_NOPREFIX; // the text exactly as it is, never markup or mnemonics
            break;
        case vesk::Kind::Button:
            className = "BUTTON";
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case vesk::Kind::Frame:
            className = "BUTTON";
            style |= BS_GROUPBOX;
            break;
        case vesk::Kind::TextBox:
            className = "EDIT";
            style |= ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
            break;
        case vesk::Kind::ComboBox:
            className = "COMBOBOX";
            style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
            height += 200; // the open list
            break;
        case vesk::Kind::DriveList:
            className = "COMBOBOX";
            style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
            height += 200;
            break;
        case vesk::Kind::DirList:
        case vesk::Kind::FileList:
        case vesk::Kind::ListBox:
            className = "LISTBOX";
            style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
            break;
        case vesk::Kind::Picture:
            style |= SS_BITMAP | SS_CENTERIMAGE;
            break;
        case vesk::Kind::CheckBox:
            className = "BUTTON";
            style |= BS_AUTOCHECKBOX | WS_TABSTOP;
            break;
        case vesk::Kind::Table:
        case vesk::Kind::Grid: // its window marks the chosen cell of the selected row
            className = WC_LISTVIEWA;
            style |= LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP;
            break;
        }
        // Each offset rounds to whole pixels on its own, as the Qt build does.
        POINT at{origin.x + scaled(row.left, dpi), origin.y + scaled(row.top, dpi)};
        if (row.parent) {
            const POINT frame = frames.at(row.parent);
            at = {frame.x + scaled(row.left, dpi), frame.y + scaled(row.top, dpi)};
        }
        if (row.kind == vesk::Kind::Frame)
            frames[row.name] = at;
        const bool picture = row.kind == vesk::Kind::Picture;
        HWND control = CreateWindowExA(
            0, className, row.text && !picture ? row.text : "", style, at.x, at.y, scaled(row.width, dpi), height,
            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(idOf(row.name))), instance, nullptr);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (row.kind == vesk::Kind::ComboBox && row.text)
            SetWindowTextA(control, row.text); // the box's text; its list is the window's to fill
        made[row.name] = control;
    }
}

Controls buildControls(HWND parent, HINSTANCE instance, const std::vector<vesk::ControlRow> &table,
                       const std::function<int(const char *)> &idOf, int dpi, HFONT font)
{
    Controls made;
    buildControls(made, parent, instance, table, idOf, dpi, font);
    return made;
}

void setFocusOrder(const Controls &controls, const std::vector<const char *> &order)
{
    std::map<HWND, HWND> previous; // by parent
    for (const char *name : order) {
        const HWND control = controls.at(name);
        const HWND parent = GetParent(control);
        const auto before = previous.find(parent);
        SetWindowPos(control, before == previous.end() ? HWND_TOP : before->second, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous[parent] = control;
    }
}

void fitWidthToText(HWND box)
{
    const std::string text = textOf(box);
    HDC dc = GetDC(box);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    RECT frame, client, parent;
    GetWindowRect(box, &frame);
    GetClientRect(box, &client);
    GetClientRect(GetParent(box), &parent);
    MapWindowPoints(HWND_DESKTOP, GetParent(box), reinterpret_cast<POINT *>(&frame), 2);
    const LRESULT margins = SendMessageA(box, EM_GETMARGINS, 0, 0);
    // The caret needs a pixel or two beyond the last letter.
    const int wanted = extent.cx + LOWORD(margins) + HIWORD(margins) + 4 + (frame.right - frame.left - client.right);
    const int width = std::min<int>(wanted, parent.right - frame.left);
    if (width > frame.right - frame.left)
        SetWindowPos(box, nullptr, 0, 0, width, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT makeFont(const char *family, double points, int dpi, bool bold)
{
    const int height = -MulDiv(static_cast<int>(points * 10 + 0.5), dpi, 720);
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, family);
}

Window::~Window()
{
    if (m_hwnd) {
        SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

namespace {

// A window class of this program's, registered on first use.
void registerClass(HINSTANCE instance, const char *name, WNDPROC procedure, HICON icon)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExA(instance, name, &windowClass))
        return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = icon;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = name;
    RegisterClassExA(&windowClass);
}

} // namespace

bool Window::create(HINSTANCE instance, const char *className, const char *caption, DWORD style, DWORD exStyle,
                    int clientWidth, int clientHeight, int dpi, HWND owner, HMENU menu)
{
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(1)); // the program's own, where it has one
    registerClass(instance, className, windowProc, icon ? icon : LoadIcon(nullptr, IDI_APPLICATION));
    RECT frame{0, 0, scaled(clientWidth, dpi), scaled(clientHeight, dpi)};
    AdjustWindowRectEx(&frame, style, menu != nullptr, exStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT &area = monitor.rcWork;
    m_dpi = dpi;
    if (!CreateWindowExA(exStyle, className, caption, style, area.left + (area.right - area.left - width) / 2,
                         area.top + (area.bottom - area.top - height) / 2, width, height, owner, menu, instance, this))
        return false;
    showKeyboardCues(m_hwnd);
    if (m_hwnd)
        m_dpi = placeOnScreen(m_hwnd, m_layout, m_dpi, windowDpi(m_hwnd), {clientWidth, clientHeight});
    return true;
}

LRESULT Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORSTATIC) {
        // Labels and read-only boxes on the face colour, to their edges.
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    if (message == WM_DPICHANGED) {
        m_layout.rescale(m_hwnd, m_dpi, HIWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
        m_dpi = HIWORD(wParam);
        return 0;
    }
    return DefWindowProcA(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self = static_cast<Window *>(reinterpret_cast<CREATESTRUCTA *>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<Window *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        const LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
        self->destroyed();
        return result;
    }
    return self->handle(message, wParam, lParam);
}

void runModal(HWND window, HWND owner)
{
    if (owner)
        EnableWindow(owner, FALSE);
    ShowWindow(window, SW_SHOW);
    MSG msg{};
    while (IsWindow(window) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (owner) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    if (msg.message == WM_QUIT)
        PostQuitMessage(static_cast<int>(msg.wParam));
}

namespace {

// A tab page passes on what its controls tell it, as if they sat on its parent.
LRESULT CALLBACK pageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
        return SendMessageA(GetParent(hwnd), message, wParam, lParam);
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

constexpr const char *kPageClass = "Win32UiTabPage";

} // namespace

TabPages::TabPages(HWND parent, HINSTANCE instance, const int (&twips)[4], const std::vector<const char *> &captions,
                   int id, int dpi, HFONT font, POINT origin)
{
    registerClass(instance, kPageClass, pageProc, nullptr);
    const int left = origin.x + scaled(twips[0], dpi), top = origin.y + scaled(twips[1], dpi);
    const RECT area{left, top, left + scaled(twips[2], dpi), top + scaled(twips[3], dpi)};
    m_tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, area.left,
                             area.top, area.right - area.left, area.bottom - area.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageA(m_tabs, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (size_t i = 0; i < captions.size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char *>(captions[i]);
        SendMessageA(m_tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    RECT display{0, 0, area.right - area.left, area.bottom - area.top};
    SendMessageA(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    m_origin = {-display.left, -display.top};
    for (size_t i = 0; i < captions.size(); ++i) {
        // Above the strip in the order of siblings, so that it is drawn over it.
        HWND page = CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, "", WS_CHILD | WS_CLIPSIBLINGS,
                                    area.left + display.left, area.top + display.top, display.right - display.left,
                                    display.bottom - display.top, parent, nullptr, instance, nullptr);
        SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        m_pages.push_back(page);
    }
    show(0);
}

void TabPages::show(size_t index)
{
    SendMessageA(m_tabs, TCM_SETCURSEL, index, 0);
    for (size_t i = 0; i < m_pages.size(); ++i)
        ShowWindow(m_pages[i], i == index ? SW_SHOW : SW_HIDE);
}

bool TabPages::notified(const NMHDR &header)
{
    if (header.hwndFrom != m_tabs || header.code != static_cast<UINT>(TCN_SELCHANGE))
        return false;
    show(static_cast<size_t>(SendMessageA(m_tabs, TCM_GETCURSEL, 0, 0)));
    return true;
}

namespace {

constexpr long long kMaxPixels = 40'000'000; // what a picture may decode to

// A picture's size at `dpi`, kept within what can be decoded.
bool scaleSize(UINT &width, UINT &height, int dpi)
{
    width = std::max(1u, static_cast<UINT>(MulDiv(static_cast<int>(width), dpi, 96)));
    height = std::max(1u, static_cast<UINT>(MulDiv(static_cast<int>(height), dpi, 96)));
    return static_cast<long long>(width) * height <= kMaxPixels;
}

} // namespace

HBITMAP loadPicture(const std::string &path, SIZE &size, int dpi)
{
    const vesk::Result<std::string> bytes = vesk::readFile(path, 64u << 20, vesk::Overflow::Refuse);
    if (!bytes || bytes->empty() || vesk::isCutShortJpeg(*bytes))
        return nullptr;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapSource> converted;
    ComPtr<IWICBitmapScaler> scaler;
    HBITMAP bitmap = nullptr;
    UINT width = 0, height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWICImagingFactory),
                                   reinterpret_cast<void **>(factory.put())))
        && SUCCEEDED(factory->CreateStream(stream.put()))
        && SUCCEEDED(stream->InitializeFromMemory(reinterpret_cast<BYTE *>(const_cast<char *>(bytes->data())),
                                                  static_cast<DWORD>(bytes->size())))
        && SUCCEEDED(
            factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put()))
        && SUCCEEDED(decoder->GetFrame(0, frame.put())) && SUCCEEDED(frame->GetSize(&width, &height)) && width > 0
        && height > 0 && static_cast<long long>(width) * height <= kMaxPixels
        && (dpi == 96
            || (scaleSize(width, height, dpi) && SUCCEEDED(factory->CreateBitmapScaler(scaler.put()))
                && SUCCEEDED(scaler->Initialize(frame.get(), width, height, WICBitmapInterpolationModeFant))))
        && SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR,
                                            scaler ? static_cast<IWICBitmapSource *>(scaler.get()) : frame.get(),
                                            converted.put()))) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = static_cast<LONG>(width);
        info.bmiHeader.biHeight = -static_cast<LONG>(height); // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void *pixels = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        if (bitmap
            && FAILED(converted->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE *>(pixels)))) {
            DeleteObject(bitmap);
            bitmap = nullptr;
        }
        size = {static_cast<LONG>(width), static_cast<LONG>(height)};
    }
    return bitmap;
}

HBITMAP loadPictureToFit(const std::string &path, SIZE box)
{
    SIZE size{};
    HBITMAP full = loadPicture(path, size);
    if (!full || box.cx <= 0 || box.cy <= 0)
        return full;
    // The larger side meets the box; the other keeps the proportions.
    const bool wide = static_cast<long long>(size.cx) * box.cy >= static_cast<long long>(size.cy) * box.cx;
    const SIZE fit = wide ? SIZE{box.cx, std::max<LONG>(1, MulDiv(size.cy, box.cx, size.cx))}
                          : SIZE{std::max<LONG>(1, MulDiv(size.cx, box.cy, size.cy)), box.cy};
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen), target = CreateCompatibleDC(screen);
    HBITMAP fitted = CreateCompatibleBitmap(screen, fit.cx, fit.cy);
    HGDIOBJ oldSource = SelectObject(source, full), oldTarget = SelectObject(target, fitted);
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, 0, 0, fit.cx, fit.cy, source, 0, 0, size.cx, size.cy, SRCCOPY);
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
    DeleteObject(full);
    return fitted;
}

bool DirectoryList::open(const std::string &path)
{
    const std::wstring full = vesk::fullWidePath(vesk::wideText(path));
    if (full.empty())
        return false;
    std::string directory = vesk::utf8Text(full);
    if (directory.size() > 3 && directory.back() == '\\')
        directory.pop_back();
    const DWORD attributes = GetFileAttributesW(vesk::systemPath(directory).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const std::string base = directory.back() == '\\' ? directory.substr(0, directory.size() - 1) : directory;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(vesk::systemPath(vesk::joinPath(base, "*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    std::vector<std::string> children;
    do {
        const std::string name = vesk::utf8Text(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
            children.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(children.begin(), children.end(), vesk::listedBefore);

    std::vector<std::string> chain; // from the root down
    for (std::string at = directory;;) {
        chain.insert(chain.begin(), at);
        const size_t cut = at.find_last_of('\\');
        if (at.size() <= 3 || cut == std::string::npos)
            break;
        at = cut <= 2 ? at.substr(0, 3) : at.substr(0, cut);
    }
    SendMessageA(m_list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(m_list, LB_RESETCONTENT, 0, 0);
    m_paths.clear();
    const auto add = [this](size_t depth, const std::string &shown, const std::string &opens) {
        SendMessageA(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((std::string(depth * 2, ' ') + shown).c_str()));
        m_paths.push_back(opens);
    };
    size_t depth = 0;
    for (const std::string &ancestor : chain) {
        add(depth, depth == 0 ? ancestor : ancestor.substr(ancestor.find_last_of('\\') + 1), ancestor);
        ++depth;
    }
    for (const std::string &child : children)
        add(depth, child, vesk::joinPath(base, child));
    SendMessageA(m_list, LB_SETCURSEL, chain.size() - 1, 0);
    SendMessageA(m_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_list, nullptr, TRUE);
    m_open = directory;
    return true;
}

std::string DirectoryList::selectedPath() const
{
    const LRESULT row = SendMessageA(m_list, LB_GETCURSEL, 0, 0);
    return row >= 0 && static_cast<size_t>(row) < m_paths.size() ? m_paths[static_cast<size_t>(row)] : std::string();
}

DriveList::DriveList(HWND combo) : m_combo(combo)
{
    char buffer[512];
    const DWORD length = GetLogicalDriveStringsA(sizeof buffer, buffer);
    std::error_code ec;
    const std::string cwd = std::filesystem::current_path(ec).u8string();
    int index = 0;
    for (const char *drive = buffer; drive < buffer + length && *drive; drive += std::strlen(drive) + 1, ++index) {
        SendMessageA(m_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive));
        if (cwd.size() >= 2
            && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, drive, 2, cwd.c_str(), 2) == CSTR_EQUAL)
            m_current = index;
    }
    SendMessageA(m_combo, CB_SETCURSEL, static_cast<WPARAM>(m_current), 0);
}

int DriveList::current() const
{
    return static_cast<int>(SendMessageA(m_combo, CB_GETCURSEL, 0, 0));
}

std::string DriveList::picked() const
{
    char name[8] = {};
    SendMessageA(m_combo, CB_GETLBTEXT, static_cast<WPARAM>(current()), reinterpret_cast<LPARAM>(name));
    return std::string(name, std::strlen(name) >= 2 ? 2 : std::strlen(name));
}

void DriveList::steer(const std::function<bool(const std::string &)> &open, const std::string &caption)
{
    const std::string drive = picked();
    if (open(drive)) {
        m_current = current();
        return;
    }
    SendMessageA(m_combo, CB_SETCURSEL, static_cast<WPARAM>(m_current), 0);
    MessageBoxA(GetAncestor(m_combo, GA_ROOT), ("The drive " + drive + "\\ cannot be read.").c_str(), caption.c_str(),
                MB_OK);
}

void FileList::open(const std::string &directory)
{
    m_directory = directory;
    m_names.clear();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(vesk::systemPath(vesk::joinPath(directory, m_pattern)).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                m_names.push_back(vesk::utf8Text(found.cFileName));
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(m_names.begin(), m_names.end(), vesk::listedBefore);
    SendMessageA(m_list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(m_list, LB_RESETCONTENT, 0, 0);
    for (const std::string &name : m_names)
        SendMessageA(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageA(m_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_list, nullptr, TRUE);
}

std::string FileList::selectedPath() const
{
    const LRESULT row = SendMessageA(m_list, LB_GETCURSEL, 0, 0);
    return row >= 0 && static_cast<size_t>(row) < m_names.size()
               ? vesk::joinPath(m_directory, m_names[static_cast<size_t>(row)])
               : std::string();
}

DirectoryPicker::DirectoryPicker(const Controls &controls, const PickerControls &names, std::string caption)
    : m_drive(controls.at(names.driveList)), m_dir(controls.at(names.dirList)), m_path(controls.at(names.pathBox)),
      m_name(controls.at(names.nameBox)), m_make(controls.at(names.makeDirectory)), m_dirList(m_dir),
      m_driveList(m_drive), m_caption(std::move(caption))
{}

bool DirectoryPicker::openDirectoryOf(const std::string &path)
{
    if (!m_dirList.open(path))
        return false;
    SetWindowTextA(m_path, m_dirList.openDirectory().c_str());
    return true;
}

void DirectoryPicker::open(const std::string &directory)
{
    if ((directory.empty() || !openDirectoryOf(directory)) && !openDirectoryOf(m_driveList.picked()))
        SetWindowTextA(m_path, directory.c_str());
}

bool DirectoryPicker::command(HWND control, int notification)
{
    if (control == m_drive && notification == CBN_SELCHANGE) {
        m_driveList.steer([this](const std::string &drive) { return openDirectoryOf(drive); }, m_caption);
    } else if (control == m_dir && notification == LBN_DBLCLK) {
        if (const std::string opens = m_dirList.selectedPath(); !opens.empty())
            openDirectoryOf(opens);
    } else if (control == m_dir && notification == LBN_SELCHANGE) {
        // The open directory, not the entry under the click: a single click
        // only resets what was typed.
        SetWindowTextA(m_path, m_dirList.openDirectory().c_str());
    } else if (control == m_make && notification == BN_CLICKED) {
        // One level, inside the path shown; a failure changes nothing and
        // says why.
        const std::string name = textOf(m_name);
        if (name.empty())
            return true;
        const vesk::Status made = vesk::makeFolderIn(path(), name);
        if (made.ok())
            m_dirList.open(m_dirList.openDirectory());
        else
            MessageBoxA(GetAncestor(m_make, GA_ROOT), vesk::sentence(made.error()).c_str(), m_caption.c_str(), MB_OK);
    } else {
        return false;
    }
    return true;
}

namespace {
bool g_waiting = false;
}

void showWaitCursor(bool on)
{
    g_waiting = on;
    SetCursor(LoadCursor(nullptr, on ? IDC_WAIT : IDC_ARROW));
}

bool keepWaitCursor()
{
    if (g_waiting)
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
    return g_waiting;
}

bool waitForProcess(HWND window, HANDLE process, DWORD limitMs)
{
    EnableWindow(window, FALSE);
    g_waiting = true;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const ULONGLONG deadline = limitMs == INFINITE ? ~0ULL : GetTickCount64() + limitMs;
    bool ended = false;
    while (GetTickCount64() < deadline) {
        const ULONGLONG left = deadline - GetTickCount64();
        const DWORD woke = MsgWaitForMultipleObjects(
            1, &process, FALSE, left > INFINITE - 1 ? INFINITE - 1 : static_cast<DWORD>(left), QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    g_waiting = false;
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    EnableWindow(window, TRUE);
    return ended;
}

} // namespace win32
