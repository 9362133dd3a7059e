#include "settingslocation.h"

#include "files.h"
#include "paths.h"
#include "widepath.h"

#include <windows.h>

#include <shlobj.h>

namespace vesk {

bool runsInstalled(const std::string &programDirectory)
{
    return !probeWritable(programDirectory).ok();
}

std::string settingsFileFor(const std::string &programDirectory, const std::string &userConfigDirectory)
{
    if (!runsInstalled(programDirectory))
        return joinPath(programDirectory, "vesk.cfg");
    if (!userConfigDirectory.empty())
        return joinPath(userConfigDirectory, "vesk.cfg");
    wchar_t appData[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData) != S_OK)
        return joinPath(programDirectory, "vesk.cfg");
    return joinPath(joinPath(utf8Text(appData), "vesk"), "vesk.cfg");
}

std::string cacheDirectory()
{
    wchar_t local[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local) == S_OK)
        return joinPath(utf8Text(local, wcslen(local)), "vesk");
    wchar_t temporary[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
    return joinPath(utf8Text(temporary, length), "vesk");
}

} // namespace vesk
