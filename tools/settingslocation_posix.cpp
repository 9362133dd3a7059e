#include "settingslocation.h"

#include "paths.h"

#include <cstdlib>
#include <filesystem>

namespace vesk {

bool runsInstalled(const std::string &programDirectory)
{
    std::error_code ec;
    return std::filesystem::is_directory(fsPath(installedDataDirectory(programDirectory)), ec);
}

std::string settingsFileFor(const std::string &programDirectory, const std::string &userConfigDirectory)
{
    return joinPath(runsInstalled(programDirectory) ? userConfigDirectory : programDirectory, "vesk.cfg");
}

std::string cacheDirectory()
{
    const char *cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/')
        return joinPath(cache, "vesk");
    const char *home = std::getenv("HOME");
    if (home && home[0] == '/')
        return joinPath(joinPath(home, ".cache"), "vesk");
    return joinPath(std::filesystem::temp_directory_path().string(), "vesk");
}

} // namespace vesk
