// vpak.exe: the installer's window in plain Win32, for the players who run
// the game on Windows. It draws the same table, reads theme.cfg the same way
// and installs with the same procedure as the Qt window.
#include "displaytext.h"
#include "files.h"
#include "gamebackup.h"
#include "installerlayout.h"
#include "installprocedure.h"
#include "listenwindow.h"
#include "packagesource.h"
#include "paths.h"
#include "progresswindow.h"
#include "themedescription.h"
#include "themefiles.h"
#include "win32ui.h"

#include <windows.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using vpak::controlId;

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
    std::unique_ptr<win32::DirectoryPicker> picker;
    int dpi = 96;
    win32::DpiLayout layout;
    HANDLE batchProcess = nullptr; // a batch still running after the first wait
};

Window g;

HWND item(const char *name)
{
    return GetDlgItem(g.hwnd, controlId(name));
}

COLORREF colourOf(const vesk::Rgb &rgb)
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}

int scaled(int twips)
{
    return win32::scaled(twips, g.dpi);
}

std::string textOf(HWND control)
{
    return win32::textOf(control);
}

void showRestoreState()
{
    EnableWindow(item("restoreButton"), vesk::hasBackup(textOf(item("pathBox"))));
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
        if (!wait(static_cast<DWORD>(limit.count())))
            return BatchEnd::StillRunning;
        return BatchEnd::Finished;
    }
    void waitForBatchEnd() override
    {
        if (g.batchProcess)
            wait(INFINITE);
    }
    std::unique_ptr<vesk::Progress> startProgress(const std::string &title) override
    {
        return std::make_unique<win32::ProgressWindow>(GetModuleHandleW(nullptr), g.hwnd, title, g.dpi);
    }

private:
    // Waits on the process handle while the window keeps painting; no second
    // click meanwhile, and the wait cursor stays however the mouse moves.
    static bool wait(DWORD limit)
    {
        const bool ended = win32::waitForProcess(g.hwnd, g.batchProcess, limit);
        if (ended) {
            CloseHandle(g.batchProcess);
            g.batchProcess = nullptr;
        }
        return ended;
    }
};

// Listen: the package's own sounds, once they are checked against its
// SHA256SUMS as the install checks them.
void listen()
{
    bool cancelled = false;
    std::optional<std::string> refused;
    {
        win32::ProgressWindow progress(GetModuleHandleW(nullptr), g.hwnd, vpak::kListenCaption, g.dpi);
        refused = vpak::listenRefusal(g.programDirectory, progress, cancelled);
    }
    if (refused)
        MessageBoxA(g.hwnd, refused->c_str(), vpak::kMessageCaption, MB_OK);
    if (refused || cancelled)
        return;
    ListenWindow window(GetModuleHandleW(nullptr), g.dpi, vpak::packageSounds(g.programDirectory));
    window.run(g.hwnd);
}

void command(int id, int notification)
{
    if (!g.picker) // the controls are still being made
        return;
    if (g.picker->command(GetDlgItem(g.hwnd, id), notification)) {
        if (id == controlId("driveList") || id == controlId("directoryList"))
            showRestoreState();
    } else if (id == controlId("pathBox") && notification == EN_CHANGE) {
        showRestoreState();
    } else if (id == controlId("installButton")) {
        Win32Ui ui;
        if (vpak::install(g.programDirectory, textOf(item("pathBox")), ui))
            DestroyWindow(g.hwnd);
        else
            showRestoreState();
    } else if (id == controlId("restoreButton")) {
        Win32Ui ui;
        vpak::restore(textOf(item("pathBox")), ui);
        showRestoreState();
    } else if (id == controlId("cancelButton")) {
        DestroyWindow(g.hwnd);
    } else if (id == controlId("listenButton")) {
        listen();
    }
}

void createControls(HINSTANCE instance)
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    g.captionFont = CreateFontIndirectA(&metrics.lfMessageFont);
    g.valueFont = win32::makeFont(vpak::kValueFont, g.look.fontSize.value_or(vpak::kDesignFontSize), g.dpi);

    win32::Controls made
        = win32::buildControls(g.hwnd, instance, vpak::installerControls(), vpak::controlId, g.dpi, g.captionFont);
    g.picker = std::make_unique<win32::DirectoryPicker>(made, vpak::kInstallerPicker, vpak::kMessageCaption);
    for (const char *name : vpak::kValueLabels)
        SendMessageA(made[name], WM_SETFONT, reinterpret_cast<WPARAM>(g.valueFont), FALSE);

    // The keyboard walks the controls in the table's focus order.
    win32::setFocusOrder(made, vpak::installerFocusOrder());

    // What theme.cfg asks for.
    g.textColours[controlId("themeNameLabel")] = RGB(0, 0, 0);
    for (const vpak::LabelLook &shown : g.look.labels) {
        if (shown.text)
            SetWindowTextA(made[shown.label], vesk::displayText(*shown.text).c_str());
        if (shown.colour)
            g.textColours[controlId(shown.label)] = colourOf(*shown.colour);
    }
}

std::string picturePath()
{
    return vesk::joinPath(g.programDirectory, "bgimage.jpg");
}

// The window is laid out at another DPI: the picture is made again at
// the new size.
void pictureAt(int dpi)
{
    g.dpi = dpi;
    if (g.picture) {
        DeleteObject(g.picture);
        g.picture = win32::loadPicture(picturePath(), g.pictureSize, g.dpi);
    }
    InvalidateRect(g.hwnd, nullptr, TRUE);
}

// The window moved to a screen of another DPI: the controls follow.
void dpiChanged(int dpi, const RECT &frame)
{
    g.layout.rescale(g.hwnd, g.dpi, dpi, frame);
    pictureAt(dpi);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        g.hwnd = hwnd;
        createControls(reinterpret_cast<CREATESTRUCTA *>(lParam)->hInstance);
        {
            std::error_code ec;
            g.picker->open(std::filesystem::current_path(ec).u8string());
        }
        showRestoreState();
        // A package without sounds has nothing to listen to.
        EnableWindow(item("listenButton"), !vpak::packageSounds(g.programDirectory).empty());
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
    case WM_DPICHANGED:
        dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
        return 0;
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
        return win32::keepWaitCursor() ? TRUE : DefWindowProcA(hwnd, message, wParam, lParam);
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
    g.dpi = win32::startDpi();

    // Started as a one-file package, the installer first checks and unpacks
    // its payload; the folder goes again when this function returns.
    std::optional<vpak::PackageSource> package;
    {
        // The checking window is gone before anything is said of the package.
        vesk::Result<vpak::PackageSource> opened = [&] {
            win32::ProgressWindow progress(instance, nullptr, vpak::kWindowCaption, g.dpi,
                                           vpak::checkingText(vesk::programFile()));
            return vpak::PackageSource::open(vesk::programFile(), vesk::programDirectory(), progress);
        }();
        if (!opened) {
            if (opened.code() != vesk::ErrorCode::Cancelled)
                MessageBoxA(nullptr, opened.error().c_str(), vpak::kMessageCaption, MB_OK | MB_ICONERROR);
            CoUninitialize();
            return 1;
        }
        package.emplace(std::move(*opened));
    }
    g.programDirectory = package->directory();
    const vesk::Result<vesk::ThemeReading> reading
        = vesk::readThemeDescription(vesk::joinPath(g.programDirectory, "theme.cfg"));
    if (reading)
        g.look = vpak::themeLook(*reading);
    g.background = g.look.background ? CreateSolidBrush(colourOf(*g.look.background)) : GetSysColorBrush(COLOR_BTNFACE);
    g.picture = win32::loadPicture(picturePath(), g.pictureSize, g.dpi);

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
    win32::showKeyboardCues(hwnd);
    const int placed = win32::placeOnScreen(hwnd, g.layout, g.dpi, win32::windowDpi(hwnd),
                                            {vpak::kClientWidth, vpak::kClientHeight});
    if (placed != g.dpi)
        pictureAt(placed);
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    SetFocus(item("driveList"));

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
