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

COLORREF colourOf(const vesk::Rgb &rgb)
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}

// The installer's window: the theme as theme.cfg shows it over its picture,
// the game directory to install into, and the install's hold on the window.
class InstallerWindow final : public win32::Window, private vpak::InstallerUi
{
public:
    InstallerWindow(std::string programDirectory, vpak::ThemeLook look)
        : m_programDirectory(std::move(programDirectory)), m_look(std::move(look))
    {
        m_background
            = m_look.background ? CreateSolidBrush(colourOf(*m_look.background)) : GetSysColorBrush(COLOR_BTNFACE);
    }
    ~InstallerWindow() override
    {
        if (hwnd())
            DestroyWindow(hwnd());
        if (m_picture)
            DeleteObject(m_picture);
        if (m_look.background)
            DeleteObject(m_background);
        for (HFONT font : {m_captionFont, m_valueFont}) {
            if (font)
                DeleteObject(font);
        }
    }

    // A fixed border and a minimize box; the client area is the layout's.
    bool create(HINSTANCE instance, int startDpi)
    {
        m_instance = instance;
        m_picture = win32::loadPicture(picturePath(), m_pictureSize, startDpi);
        if (!win32::Window::create(instance, "VpakWindow", vpak::kWindowCaption,
                                   WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, vpak::kClientWidth,
                                   vpak::kClientHeight, startDpi, nullptr))
            return false;
        if (dpi() != startDpi)
            pictureAt();
        return true;
    }

    void run(int show)
    {
        ShowWindow(hwnd(), show);
        UpdateWindow(hwnd());
        SetFocus(item(vpak::kDriveListId));
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageA(hwnd(), &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_CREATE:
            createControls();
            {
                std::error_code ec;
                m_picker->open(std::filesystem::current_path(ec).u8string());
            }
            showRestoreState();
            // A package without sounds has nothing to listen to.
            EnableWindow(item(vpak::kListenButtonId), !vpak::packageSounds(m_programDirectory).empty());
            return 0;
        case WM_ERASEBKGND:
            paintBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_DPICHANGED:
            // The controls follow, and the picture is made again at the new size.
            win32::Window::handle(message, wParam, lParam);
            pictureAt();
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            const auto colour = m_textColours.find(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            if (colour != m_textColours.end())
                SetTextColor(dc, colour->second);
            // Labels are transparent over the background colour and picture.
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_SETCURSOR:
            return win32::keepWaitCursor() ? TRUE : DefWindowProcA(hwnd(), message, wParam, lParam);
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return win32::Window::handle(message, wParam, lParam);
        }
    }

    HWND item(int id) const { return GetDlgItem(hwnd(), id); }

    void showRestoreState()
    {
        EnableWindow(item(vpak::kRestoreButtonId), vesk::hasBackup(win32::textOf(item(vpak::kPathBoxId))));
    }

    void createControls()
    {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        m_captionFont = CreateFontIndirectA(&metrics.lfMessageFont);
        m_valueFont = win32::makeFont(vpak::kValueFont, m_look.fontSize.value_or(vpak::kDesignFontSize), dpi());

        win32::Controls made = win32::buildControls(hwnd(), m_instance, vpak::installerControls(), vpak::controlId,
                                                    dpi(), m_captionFont);
        m_picker = std::make_unique<win32::DirectoryPicker>(made, vpak::kInstallerPicker, vpak::kMessageCaption);
        for (const char *name : vpak::kValueLabels)
            SendMessageA(made[name], WM_SETFONT, reinterpret_cast<WPARAM>(m_valueFont), FALSE);
        // The keyboard walks the controls in the table's focus order.
        win32::setFocusOrder(made, vpak::installerFocusOrder());

        // What theme.cfg asks for.
        m_textColours[vpak::kThemeNameLabelId] = RGB(0, 0, 0);
        for (const vpak::LabelLook &shown : m_look.labels) {
            if (shown.text)
                SetWindowTextA(made[shown.label], vesk::displayText(*shown.text).c_str());
            if (shown.colour)
                m_textColours[vpak::controlId(shown.label)] = colourOf(*shown.colour);
        }
    }

    void command(int id, int notification)
    {
        if (!m_picker) // the controls are still being made
            return;
        if (m_picker->command(GetDlgItem(hwnd(), id), notification)) {
            if (id == vpak::kDriveListId || id == vpak::kDirectoryListId)
                showRestoreState();
            return;
        }
        switch (id) {
        case vpak::kPathBoxId:
            if (notification == EN_CHANGE)
                showRestoreState();
            break;
        case vpak::kInstallButtonId:
            if (vpak::install(m_programDirectory, win32::textOf(item(vpak::kPathBoxId)), *this))
                DestroyWindow(hwnd());
            else
                showRestoreState();
            break;
        case vpak::kRestoreButtonId:
            vpak::restore(win32::textOf(item(vpak::kPathBoxId)), *this);
            showRestoreState();
            break;
        case vpak::kCancelButtonId:
            DestroyWindow(hwnd());
            break;
        case vpak::kListenButtonId:
            listen();
            break;
        default:
            break;
        }
    }

    // Listen: the package's own sounds, once they are checked against its
    // SHA256SUMS as the install checks them.
    void listen()
    {
        bool cancelled = false;
        std::optional<std::string> refused;
        {
            win32::ProgressWindow progress(m_instance, hwnd(), vpak::kListenCaption, dpi());
            refused = vpak::listenRefusal(m_programDirectory, progress, cancelled);
        }
        if (refused)
            message(*refused);
        if (refused || cancelled)
            return;
        ListenWindow window(m_instance, dpi(), vpak::packageSounds(m_programDirectory));
        window.run(hwnd());
    }

    std::string picturePath() const { return vesk::joinPath(m_programDirectory, vesk::kPackagePicture); }

    // The picture at the window's DPI.
    void pictureAt()
    {
        if (m_picture) {
            DeleteObject(m_picture);
            m_picture = win32::loadPicture(picturePath(), m_pictureSize, dpi());
        }
        InvalidateRect(hwnd(), nullptr, TRUE);
    }

    void paintBackground(HDC dc) const
    {
        RECT client;
        GetClientRect(hwnd(), &client);
        FillRect(dc, &client, m_background);
        // At its own size from the top left corner: neither stretched nor tiled.
        if (m_picture) {
            HDC source = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(source, m_picture);
            BitBlt(dc, 0, 0, m_pictureSize.cx, m_pictureSize.cy, source, 0, 0, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
        }
    }

    // InstallerUi
    void message(const std::string &text) override { MessageBoxA(hwnd(), text.c_str(), vpak::kMessageCaption, MB_OK); }
    bool ask(const std::string &text) override
    {
        return MessageBoxA(hwnd(), text.c_str(), vpak::kMessageCaption, MB_YESNO) == IDYES;
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
        m_batchProcess = process.hProcess;
        if (!waitForBatch(static_cast<DWORD>(limit.count())))
            return BatchEnd::StillRunning;
        return BatchEnd::Finished;
    }
    void waitForBatchEnd() override
    {
        if (m_batchProcess)
            waitForBatch(INFINITE);
    }
    std::unique_ptr<vesk::Progress> startProgress(const std::string &title) override
    {
        return std::make_unique<win32::ProgressWindow>(m_instance, hwnd(), title, dpi());
    }

    // Waits on the batch while the window keeps painting; no second click
    // meanwhile, and the wait cursor stays however the mouse moves.
    bool waitForBatch(DWORD limit)
    {
        const bool ended = win32::waitForProcess(hwnd(), m_batchProcess, limit);
        if (ended) {
            CloseHandle(m_batchProcess);
            m_batchProcess = nullptr;
        }
        return ended;
    }

    const std::string m_programDirectory;
    const vpak::ThemeLook m_look;
    HINSTANCE m_instance = nullptr;
    HBITMAP m_picture = nullptr;
    SIZE m_pictureSize{};
    HBRUSH m_background = nullptr;
    HFONT m_captionFont = nullptr;
    HFONT m_valueFont = nullptr;
    std::map<int, COLORREF> m_textColours; // by control ID
    std::unique_ptr<win32::DirectoryPicker> m_picker;
    HANDLE m_batchProcess = nullptr; // a batch still running after the first wait
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int startDpi = win32::startDpi();

    // Started as a one-file package, the installer first checks and unpacks
    // its payload; the folder goes again when this function returns.
    std::optional<vpak::PackageSource> package;
    {
        // The checking window is gone before anything is said of the package.
        vesk::Result<vpak::PackageSource> opened = [&] {
            win32::ProgressWindow progress(instance, nullptr, vpak::kWindowCaption, startDpi,
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
    vpak::ThemeLook look;
    const vesk::Result<vesk::ThemeReading> reading
        = vesk::readThemeDescription(vesk::joinPath(package->directory(), vesk::kThemeDescription));
    if (reading)
        look = vpak::themeLook(*reading);
    int result = 1;
    {
        InstallerWindow window(package->directory(), std::move(look));
        if (window.create(instance, startDpi)) {
            window.run(show);
            result = 0;
        }
    }
    CoUninitialize();
    return result;
}
