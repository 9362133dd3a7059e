#include "themefiles.h"

#include <algorithm>
#include <filesystem>

namespace vesk {

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool endsWith(const std::string &name, const char *suffix)
{
    const std::string tail(suffix);
    return name.size() >= tail.size() && sameFileName(name.substr(name.size() - tail.size()), tail);
}

} // namespace

bool sameFileName(const std::string &a, const std::string &b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool isThemeFile(const std::string &name)
{
    const auto matches = [&name](const char *known) { return sameFileName(name, known); };
    return std::any_of(kGameSoundFiles.begin(), kGameSoundFiles.end(), matches)
           || std::any_of(kPackageOwnFiles.begin(), kPackageOwnFiles.end(), matches) || matches(kInstallBatch);
}

bool isProgramFile(const std::string &name)
{
    static const char *const kExtensions[]
        = {".exe", ".dll", ".com", ".bat", ".cmd", ".scr", ".pif", ".vbs", ".vbe", ".js",
           ".jse", ".wsf", ".wsh", ".ps1", ".msi", ".lnk", ".cpl", ".sys", ".ocx", ".drv"};
    return std::any_of(std::begin(kExtensions), std::end(kExtensions),
                       [&name](const char *extension) { return endsWith(name, extension); });
}

PackageContents inspectPackage(const std::string &packageDirectory)
{
    namespace fs = std::filesystem;
    PackageContents contents;
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(fs::path(packageDirectory), ec)) {
        std::error_code fileError;
        if (!entry.is_regular_file(fileError))
            continue;
        const std::string name = entry.path().filename().string();
        const bool own = sameFileName(name, "install.exe") || sameFileName(name, kInstallBatch);
        if (isProgramFile(name) && !own)
            contents.programs.push_back(name);
        else if (!isThemeFile(name))
            contents.others.push_back(name);
    }
    std::sort(contents.programs.begin(), contents.programs.end());
    std::sort(contents.others.begin(), contents.others.end());
    return contents;
}

} // namespace vesk
