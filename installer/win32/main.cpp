// vpak.exe: the installer's window in plain Win32, for the players who run
// the game on Windows. It draws the same table, reads theme.cfg the same way
// and installs with the same procedure as the Qt window.
#include "displaytext.h"
#include "gamebackup.h"
#include "installerwindow.h"
#include "paths.h"
#include "textfile.h"
#include "themedescription.h"
#include "themefiles.h"

#include <windows.h>

#include <wincodec.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using vpak::controlId;

constexpr UINT kWaitMessage = WM_APP + 1;

struct Window
{
    HWND hwnd = nullptr;
    std::string programDirectory;
    vpak::ThemeLook look;
    HBITMAP picture = nullptr;
    SIZE pictureSize{};
    HBRUSH background = nullptr;
    HFONT captionFont = nullptr;
    HFONT valueFont = nullptr;
    std::map<int, COLORREF> textColours; // by control ID
    std::vector<std::string> dirPaths;   // what each row of Dir1 opens
    std::string openDirectory;
    int currentDrive = 0;
    int dpi = 96;
    bool waiting = false;          // the wait cursor stays while a batch runs
    HANDLE batchProcess = nullptr; // a batch still running after the first wait
};

Window g;

int scaled(int twips)
{
    return MulDiv(vesk::pixels(twips), g.dpi, 96);
}

HWND item(const char *name)
{
    return GetDlgItem(g.hwnd, controlId(name));
}

std::string textOf(HWND control)
{
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

COLORREF colourOf(const vesk::Rgb &rgb)
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}

// bgimage.jpg, read like every other file (a regular file of bounded size)
// and decoded by the Windows Imaging Component; none when it is no picture,
// or one too large to decode.
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

// The directory list: the open directory's ancestors, then its
// subdirectories, indented by depth as the Qt list shows them.
bool openDirectory(const std::string &path)
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
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(
        vesk::joinPath(directory.back() == '\\' ? directory.substr(0, directory.size() - 1) : directory, "*").c_str(),
        &found);
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
    HWND list = item("Dir1");
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    g.dirPaths.clear();
    size_t depth = 0;
    for (const std::string &ancestor : chain) {
        const std::string shown = depth == 0 ? ancestor : ancestor.substr(ancestor.find_last_of('\\') + 1);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((std::string(depth * 2, ' ') + shown).c_str()));
        g.dirPaths.push_back(ancestor);
        ++depth;
    }
    const std::string base = directory.back() == '\\' ? directory.substr(0, directory.size() - 1) : directory;
    for (const std::string &child : children) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((std::string(depth * 2, ' ') + child).c_str()));
        g.dirPaths.push_back(vesk::joinPath(base, child));
    }
    SendMessageA(list, LB_SETCURSEL, chain.size() - 1, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    g.openDirectory = directory;
    SetWindowTextA(item("filepath1"), directory.c_str()); // Dir1_Change
    return true;
}

void fillDrives()
{
    HWND drives = item("Drive1");
    char buffer[512];
    const DWORD length = GetLogicalDriveStringsA(sizeof buffer, buffer);
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    int index = 0;
    for (const char *drive = buffer; drive < buffer + length && *drive; drive += std::strlen(drive) + 1, ++index) {
        SendMessageA(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive));
        if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, drive, 2, cwd, 2) == CSTR_EQUAL)
            g.currentDrive = index;
    }
    SendMessageA(drives, CB_SETCURSEL, static_cast<WPARAM>(g.currentDrive), 0);
}

// Drive1_Change: the drive's current directory, or back to the drive before
// with a notice when it cannot be read.
void driveChanged()
{
    HWND drives = item("Drive1");
    const int chosen = static_cast<int>(SendMessageA(drives, CB_GETCURSEL, 0, 0));
    char name[8] = {};
    SendMessageA(drives, CB_GETLBTEXT, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(name));
    if (openDirectory(std::string(name, 2))) {
        g.currentDrive = chosen;
        return;
    }
    SendMessageA(drives, CB_SETCURSEL, static_cast<WPARAM>(g.currentDrive), 0);
    MessageBoxA(g.hwnd, ("The drive " + std::string(name) + " cannot be read.").c_str(), vpak::kMessageCaption, MB_OK);
}

void showRestoreState()
{
    EnableWindow(item("Command4"), vesk::hasBackup(textOf(item("filepath1"))));
}

// The install's hold on this window.
class Win32Ui final : public vpak::InstallerUi
{
public:
    void message(const std::string &text) override { MessageBoxA(g.hwnd, text.c_str(), vpak::kMessageCaption, MB_OK); }
    bool ask(const std::string &text) override
    {
        return MessageBoxA(g.hwnd, text.c_str(), vpak::kMessageCaption, MB_YESNO) == IDYES;
    }
    vesk::Result<BatchEnd> runBatch(const std::string &batchFile, const std::string &packageDirectory,
                                    std::chrono::milliseconds limit) override
    {
        // cmd.exe from the system folder, never one a package might carry.
        char system[MAX_PATH];
        const UINT length = GetSystemDirectoryA(system, MAX_PATH);
        const std::string interpreter
            = vesk::joinPath(std::string(system, length < MAX_PATH ? length : 0), vesk::kBatchInterpreter);
        std::string commandLine = vesk::batchCommandLine();
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                            packageDirectory.c_str(), &startup, &process)) {
            const std::error_code ec(static_cast<int>(GetLastError()), std::system_category());
            return vesk::Status::failure(vesk::ErrorCode::Io,
                                         "cannot start " + batchFile + ": " + vesk::reasonText(ec));
        }
        CloseHandle(process.hThread);
        g.batchProcess = process.hProcess;
        if (!wait(static_cast<ULONGLONG>(limit.count())))
            return BatchEnd::StillRunning;
        return BatchEnd::Finished;
    }
    void waitForBatchEnd() override
    {
        if (g.batchProcess)
            wait(INFINITE);
    }

private:
    // Waits on the process handle while the window keeps painting; no second
    // click meanwhile, and the wait cursor stays however the mouse moves.
    static bool wait(ULONGLONG limit)
    {
        EnableWindow(g.hwnd, FALSE);
        g.waiting = true;
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        const ULONGLONG deadline = limit == INFINITE ? ~0ULL : GetTickCount64() + limit;
        bool ended = false;
        while (GetTickCount64() < deadline) {
            const ULONGLONG left = deadline - GetTickCount64();
            const DWORD woke = MsgWaitForMultipleObjects(
                1, &g.batchProcess, FALSE, left > INFINITE - 1 ? INFINITE - 1 : static_cast<DWORD>(left), QS_ALLINPUT);
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
        g.waiting = false;
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        EnableWindow(g.hwnd, TRUE);
        if (ended) {
            CloseHandle(g.batchProcess);
            g.batchProcess = nullptr;
        }
        return ended;
    }
};

void command(int id, int notification)
{
    if (id == controlId("Drive1") && notification == CBN_SELCHANGE) {
        driveChanged();
    } else if (id == controlId("Dir1") && notification == LBN_DBLCLK) {
        const LRESULT row = SendMessageA(item("Dir1"), LB_GETCURSEL, 0, 0);
        if (row >= 0 && static_cast<size_t>(row) < g.dirPaths.size())
            openDirectory(g.dirPaths[static_cast<size_t>(row)]);
    } else if (id == controlId("Dir1") && notification == LBN_SELCHANGE) {
        // Dir1_Click: the open directory, not the entry under the click.
        SetWindowTextA(item("filepath1"), g.openDirectory.c_str());
    } else if (id == controlId("filepath1") && notification == EN_CHANGE) {
        showRestoreState();
    } else if (id == controlId("Command1")) {
        const std::string name = textOf(item("dirname1"));
        if (!name.empty() && CreateDirectoryA(vesk::joinPath(textOf(item("filepath1")), name).c_str(), nullptr))
            openDirectory(g.openDirectory);
    } else if (id == controlId("Command2")) {
        Win32Ui ui;
        if (vpak::install(g.programDirectory, textOf(item("filepath1")), ui))
            DestroyWindow(g.hwnd);
        else
            showRestoreState();
    } else if (id == controlId("Command4")) {
        Win32Ui ui;
        vpak::restore(textOf(item("filepath1")), ui);
        showRestoreState();
    } else if (id == controlId("Command3")) {
        DestroyWindow(g.hwnd);
    }
}

HFONT valueFontOfSize(double points)
{
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(static_cast<int>(points * 10 + 0.5), GetDeviceCaps(screen, LOGPIXELSY), 720);
    ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, vpak::kValueFont);
}

void createControls(HINSTANCE instance)
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    g.captionFont = CreateFontIndirectA(&metrics.lfMessageFont);
    g.valueFont = valueFontOfSize(g.look.fontSize.value_or(vpak::kDesignFontSize));

    std::map<std::string, HWND> made;
    for (const vesk::ControlRow &row : vpak::installerControls()) {
        const char *className = "STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        int height = scaled(row.height);
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
            height = scaled(row.height) + 200; // the open list
            break;
        case vesk::Kind::DirList:
            className = "LISTBOX";
            style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
            break;
        default:
            break;
        }
        HWND control = CreateWindowExA(
            0, className, row.text ? row.text : "", style, scaled(row.left), scaled(row.top), scaled(row.width), height,
            g.hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(row.name))), instance, nullptr);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g.captionFont), FALSE);
        made[row.name] = control;
    }
    for (const char *name : vpak::kValueLabels)
        SendMessageA(made[name], WM_SETFONT, reinterpret_cast<WPARAM>(g.valueFont), FALSE);

    // The keyboard walks the controls in the table's focus order.
    HWND previous = HWND_TOP;
    for (const char *name : vpak::installerFocusOrder()) {
        SetWindowPos(made[name], previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = made[name];
    }

    // What theme.cfg asks for.
    const std::pair<const char *, const std::optional<std::string> *> texts[] = {{"Label1", &g.look.name},
                                                                                 {"Label2", &g.look.email},
                                                                                 {"Label3", &g.look.webpage},
                                                                                 {"Label7", &g.look.themename}};
    for (const auto &[name, text] : texts) {
        if (*text)
            SetWindowTextA(made[name], vesk::displayText(**text).c_str());
    }
    g.textColours[controlId("Label7")] = RGB(0, 0, 0);
    if (g.look.captionColour) {
        for (const char *name : {"Label1", "Label2", "Label4", "Label5", "Label6", "Label8"})
            g.textColours[controlId(name)] = colourOf(*g.look.captionColour);
    }
    if (g.look.accentColour) {
        for (const char *name : {"Label3", "Label7"})
            g.textColours[controlId(name)] = colourOf(*g.look.accentColour);
    }
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        g.hwnd = hwnd;
        createControls(reinterpret_cast<CREATESTRUCTA *>(lParam)->hInstance);
        fillDrives();
        {
            char cwd[MAX_PATH];
            GetCurrentDirectoryA(MAX_PATH, cwd);
            openDirectory(cwd);
        }
        showRestoreState();
        return 0;
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, g.background);
        // At its own size from the top left corner: neither stretched nor tiled.
        if (g.picture) {
            HDC source = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(source, g.picture);
            BitBlt(dc, 0, 0, g.pictureSize.cx, g.pictureSize.cy, source, 0, 0, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
        }
        return 1;
    }
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        const auto colour = g.textColours.find(id);
        if (colour != g.textColours.end())
            SetTextColor(dc, colour->second);
        // Labels are transparent over the background colour and picture.
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_SETCURSOR:
        if (g.waiting) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    g.programDirectory = vesk::programDirectory();
    const vesk::Result<vesk::ThemeReading> reading
        = vesk::readThemeDescription(vesk::joinPath(g.programDirectory, "theme.cfg"));
    if (reading)
        g.look = vpak::themeLook(*reading);
    g.background = g.look.background ? CreateSolidBrush(colourOf(*g.look.background)) : GetSysColorBrush(COLOR_BTNFACE);
    g.picture = loadPicture(vesk::joinPath(g.programDirectory, "bgimage.jpg"), g.pictureSize);
    HDC screen = GetDC(nullptr);
    g.dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = "VpakWindow";
    RegisterClassExA(&windowClass);

    // A fixed border and a minimize box; the client area is the layout's.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, scaled(vpak::kClientWidth), scaled(vpak::kClientHeight)};
    AdjustWindowRect(&frame, style, FALSE);
    HWND hwnd
        = CreateWindowExA(0, "VpakWindow", vpak::kWindowCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                          frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!hwnd)
        return 1;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    SetFocus(item("Drive1"));

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    CoUninitialize();
    return 0;
}
