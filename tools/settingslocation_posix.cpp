#include "settingslocation.h"

#include "paths.h"

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

} // namespace vesk
