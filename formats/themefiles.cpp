#include "themefiles.h"

#include "fileops.h"
#include "paths.h"
#include "texttools.h"

#include <algorithm>

namespace vesk {

bool sameFileName(const std::string &a, const std::string &b)
{
    return sameIgnoringAsciiCase(a, b);
}

std::string storedName(const std::string &name)
{
    const size_t end = name.find_last_not_of(". ");
    // "." and ".." are no names of files.
    if (name == "." || name == "..")
        return name;
    return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

bool isPlainName(const std::string &name)
{
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\:") != std::string::npos
        || name.find('\0') != std::string::npos)
        return false;
    // CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 are devices in every
    // folder, whatever follows the first dot.
    std::string stem = storedName(name).substr(0, storedName(name).find('.'));
    stem = stem.substr(0, stem.find_last_not_of(' ') + 1);
    for (const char *device : {"con", "prn", "aux", "nul", "conin$", "conout$"}) {
        if (sameFileName(stem, device))
            return false;
    }
    if (stem.size() == 4 && (sameFileName(stem.substr(0, 3), "com") || sameFileName(stem.substr(0, 3), "lpt"))
        && stem[3] >= '1' && stem[3] <= '9')
        return false;
    return !storedName(name).empty();
}

const std::string *spellingAmong(const std::vector<std::string> &entries, const std::string &name)
{
    if (std::binary_search(entries.begin(), entries.end(), name))
        return &*std::lower_bound(entries.begin(), entries.end(), name);
    for (const std::string &entry : entries) {
        if (sameFileName(entry, name))
            return &entry;
    }
    return nullptr;
}

std::vector<std::string> namesIn(const std::string &directory)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const DirectoryEntry &entry : listDirectory(directory, ec))
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

bool holdsGameSounds(const std::string &directory)
{
    const std::vector<std::string> names = namesIn(directory);
    return std::any_of(kGameSoundFiles.begin(), kGameSoundFiles.end(),
                       [&names](const char *sound) { return spellingAmong(names, sound) != nullptr; });
}

std::string notAGameDirectoryQuestion(const std::string &directory)
{
    return directory + " holds none of Kestrova's sound files. Is it really the game directory?";
}

bool isThemeFile(const std::string &rawName)
{
    const std::string name = storedName(rawName);
    const auto matches = [&name](const char *known) { return sameFileName(name, known); };
    return std::any_of(kGameSoundFiles.begin(), kGameSoundFiles.end(), matches)
           || std::any_of(kPackageOwnFiles.begin(), kPackageOwnFiles.end(), matches) || matches(kInstallBatch);
}

bool isProgramFile(const std::string &rawName)
{
    const std::string name = storedName(rawName);
    static const char *const kExtensions[]
        = {".exe", ".dll", ".com", ".bat", ".cmd", ".scr", ".pif", ".vbs", ".vbe", ".js",
           ".jse", ".wsf", ".wsh", ".ps1", ".msi", ".lnk", ".cpl", ".sys", ".ocx", ".drv"};
    return std::any_of(std::begin(kExtensions), std::end(kExtensions),
                       [&name](const char *extension) { return endsWithIgnoringAsciiCase(name, extension); });
}

PackageContents inspectPackage(const std::string &packageDirectory)
{
    PackageContents contents;
    std::error_code ec;
    for (const DirectoryEntry &entry : listDirectory(packageDirectory, ec)) {
        const std::string &name = entry.name;
        const EntryKind kind = entry.kind;
        // A folder in the way of 1.bat is left to the batch's own write,
        // which names it; a link there would be written through.
        if (kind == EntryKind::Other
            || (kind == EntryKind::Folder && isThemeFile(name) && !sameFileName(name, kInstallBatch)))
            contents.notFiles.push_back(name);
        if (kind != EntryKind::File)
            continue;
        const bool own
            = sameFileName(storedName(name), kPackageProgram) || sameFileName(storedName(name), kInstallBatch);
        if (isProgramFile(name) && !own)
            contents.programs.push_back(name);
        else if (!isThemeFile(name))
            contents.others.push_back(name);
    }
    std::sort(contents.programs.begin(), contents.programs.end());
    std::sort(contents.others.begin(), contents.others.end());
    std::sort(contents.notFiles.begin(), contents.notFiles.end());
    return contents;
}

std::string listedNames(const std::vector<std::string> &names)
{
    constexpr size_t kShown = 10;
    std::string text;
    for (size_t i = 0; i < names.size() && i < kShown; ++i)
        text += (text.empty() ? "" : ", ") + names[i];
    if (names.size() > kShown)
        text += " and " + std::to_string(names.size() - kShown) + " more";
    return text;
}

std::optional<std::string> refusedContents(const PackageContents &contents, const std::string &done)
{
    if (!contents.notFiles.empty())
        return "This package holds entries that are not plain files, such as links to files elsewhere: "
               + listedNames(contents.notFiles) + ". It will not be " + done + ".";
    if (!contents.programs.empty())
        return "This package holds program files, which a theme never needs and which could harm your computer: "
               + listedNames(contents.programs) + ". It will not be " + done + ".";
    return std::nullopt;
}

} // namespace vesk
