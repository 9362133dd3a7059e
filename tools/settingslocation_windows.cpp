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

} // namespace vesk
