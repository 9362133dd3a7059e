#include "win32ui.h"

#include "displaytext.h"
#include "paths.h"
#include "textfile.h"

#include <wincodec.h>

#include <cstring>

namespace win32 {

int scaled(int twips, int dpi)
{
    return MulDiv(vesk::pixels(twips), dpi, 96);
}

std::string textOf(HWND control)
{
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::map<std::string, HWND> buildControls(HWND parent, HINSTANCE instance, const std::vector<vesk::ControlRow> &table,
                                          const std::function<int(const char *)> &idOf, int dpi, HFONT font)
{
    std::map<std::string, HWND> made;
    for (const vesk::ControlRow &row : table) {
        const char *className = "STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        int height = scaled(row.height, dpi);
        switch (row.kind) {
        case vesk::Kind::Label:
            style |= SS_LEFT | SS_NOPREFIX; // the text exactly as it is, never markup or mnemonics
            break;
        case vesk::Kind::Button:
            className = "BUTTON";
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case vesk::Kind::TextBox:
            className = "EDIT";
            style |= ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
            break;
        case vesk::Kind::DriveList:
            className = "COMBOBOX";
            style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
            height += 200; // the open list
            break;
        case vesk::Kind::DirList:
        case vesk::Kind::FileList:
        case vesk::Kind::ListBox:
            className = "LISTBOX";
            style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
            break;
        default:
            break;
        }
        HWND control
            = CreateWindowExA(0, className, row.text ? row.text : "", style, scaled(row.left, dpi),
                              scaled(row.top, dpi), scaled(row.width, dpi), height, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(idOf(row.name))), instance, nullptr);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        made[row.name] = control;
    }
    return made;
}

void setFocusOrder(const std::map<std::string, HWND> &controls, const std::vector<const char *> &order)
{
    HWND previous = HWND_TOP;
    for (const char *name : order) {
        const HWND control = controls.at(name);
        SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control;
    }
}

HBITMAP loadPicture(const std::string &path, SIZE &size)
{
    constexpr long long kMaxPixels = 40'000'000;
    const vesk::Result<std::string> bytes = vesk::readFile(path, 64u << 20, vesk::Overflow::Refuse);
    if (!bytes || bytes->empty() || vesk::isCutShortJpeg(*bytes))
        return nullptr;
    IWICImagingFactory *factory = nullptr;
    IWICStream *stream = nullptr;
    IWICBitmapDecoder *decoder = nullptr;
    IWICBitmapFrameDecode *frame = nullptr;
    IWICBitmapSource *converted = nullptr;
    HBITMAP bitmap = nullptr;
    UINT width = 0, height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)))
        && SUCCEEDED(factory->CreateStream(&stream))
        && SUCCEEDED(stream->InitializeFromMemory(reinterpret_cast<BYTE *>(const_cast<char *>(bytes->data())),
                                                  static_cast<DWORD>(bytes->size())))
        && SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder))
        && SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height)) && width > 0
        && height > 0 && static_cast<long long>(width) * height <= kMaxPixels
        && SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame, &converted))) {
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
    for (IUnknown *object : std::initializer_list<IUnknown *>{converted, frame, decoder, stream, factory}) {
        if (object)
            object->Release();
    }
    return bitmap;
}

bool DirectoryList::open(const std::string &path)
{
    char full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return false;
    std::string directory(full, length);
    if (directory.size() > 3 && directory.back() == '\\')
        directory.pop_back();
    const DWORD attributes = GetFileAttributesA(directory.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const std::string base = directory.back() == '\\' ? directory.substr(0, directory.size() - 1) : directory;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(vesk::joinPath(base, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    std::vector<std::string> children;
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
            children.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);

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

std::string DirectoryList::pathOfRow(LRESULT row) const
{
    return row >= 0 && static_cast<size_t>(row) < m_paths.size() ? m_paths[static_cast<size_t>(row)] : std::string();
}

DriveList::DriveList(HWND combo) : m_combo(combo)
{
    char buffer[512];
    const DWORD length = GetLogicalDriveStringsA(sizeof buffer, buffer);
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    int index = 0;
    for (const char *drive = buffer; drive < buffer + length && *drive; drive += std::strlen(drive) + 1, ++index) {
        SendMessageA(m_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive));
        if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, drive, 2, cwd, 2) == CSTR_EQUAL)
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

void DriveList::revert() const
{
    SendMessageA(m_combo, CB_SETCURSEL, static_cast<WPARAM>(m_current), 0);
}

namespace {
bool g_waiting = false;
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
