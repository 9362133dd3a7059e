// vesk.exe: the theme editor in plain Win32, for the players who run the game
// on Windows. Its windows are drawn from the same tables and work through
// the same procedures as the Qt editor's.
#include "mainwindow.h"
#include "paths.h"
#include "settingslocation.h"
#include "widepath.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

// The command line's arguments after the program, as UTF-8 bytes.
std::vector<std::string> arguments()
{
    std::vector<std::string> result;
    int count = 0;
    LPWSTR *words = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; words && i < count; ++i) {
        result.push_back(vesk::utf8Text(words[i], std::wcslen(words[i])));
    }
    LocalFree(words);
    return result;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const std::string programDirectory = vesk::programDirectory();
    MainWindow window(instance, programDirectory, vesk::settingsFileFor(programDirectory, std::string()));
    if (!window.open(show))
        return 1;
    // A project dropped on the program, or opened from Explorer.
    if (const std::vector<std::string> files = arguments(); files.size() == 1)
        window.openFromCommandLine(files.front());

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (window.translateShortcut(msg))
            continue;
        if (HWND browser = window.browserWindow(); browser && IsDialogMessageA(browser, &msg))
            continue;
        if (!IsDialogMessageA(window.hwnd(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    CoUninitialize();
    return 0;
}
