#include "settingslocation.h"

#include "paths.h"
#include "textfile.h"

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
    char appData[MAX_PATH * 4];
    if (SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData) != S_OK)
        return joinPath(programDirectory, "vesk.cfg");
    return joinPath(joinPath(appData, "vesk"), "vesk.cfg");
}

} // namespace vesk
