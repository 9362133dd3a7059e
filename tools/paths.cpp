#include "paths.h"

#include "files.h"

#include <filesystem>
#include <random>
#include <vector>

#ifdef _WIN32
#include "widepath.h"

#include <windows.h>

#include <shlobj.h>
#else
#include <unistd.h>
#endif

namespace vesk {

std::string joinPath(const std::string &directory, const std::string &name)
{
    std::string path;
    path.reserve(directory.size() + 1 + name.size());
    path += directory;
    path += kSeparator;
    path += name;
    return path;
}

std::size_t fileNameStart(const std::string &path)
{
    const std::size_t last = path.find_last_of(kSeparator == '/' ? "/" : "\\/");
    return last == std::string::npos ? 0 : last + 1;
}

std::string shownPath(const std::string &directory, const std::string &name)
{
    const bool ends = !directory.empty() && (directory.back() == kSeparator || directory.back() == '/');
    return ends ? directory + name : joinPath(directory, name);
}

bool isAbsolutePath(const std::string &path)
{
    return !path.empty() && fsPath(path).is_absolute();
}

bool copyFileReplacing(const std::string &from, const std::string &to, std::error_code &ec)
{
#ifdef _WIN32
    if (CopyFileW(systemPath(from).c_str(), systemPath(to).c_str(), FALSE)) {
        ec.clear();
        return true;
    }
    ec = std::error_code(static_cast<int>(GetLastError()), std::system_category());
    return false;
#else
    return std::filesystem::copy_file(fsPath(from), fsPath(to), std::filesystem::copy_options::overwrite_existing, ec);
#endif
}

Result<std::string> makeUnderFreshName(const std::string &directory, const std::string &stem,
                                       const std::function<std::error_code(const std::string &)> &make)
{
    static std::mt19937 random(std::random_device{}());
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = joinPath(directory, stem + std::to_string(random() % 1000000000u));
        ec = make(candidate);
        if (!ec)
            return candidate;
        if (ec != std::errc::file_exists)
            break;
    }
    return Status::failure(codeOf(ec), reasonText(ec));
}

bool isUnderProgramFiles(const std::string &path)
{
#ifdef _WIN32
    for (const int folderId : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86}) {
        wchar_t folder[MAX_PATH];
        if (SHGetFolderPathW(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK)
            continue;
        const std::string prefix = utf8Text(folder);
        if (path.size() >= prefix.size() && _strnicmp(path.c_str(), prefix.c_str(), prefix.size()) == 0
            && (path.size() == prefix.size() || path[prefix.size()] == '\\'))
            return true;
    }
    return false;
#else
    (void)path;
    return false;
#endif
}

std::string programFile()
{
#ifdef _WIN32
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return utf8Text(buffer.data(), length);
#else
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    return length > 0 ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
#endif
}

std::string programDirectory()
{
    const std::string file = programFile();
    const size_t cut = file.find_last_of(kSeparator);
    if (cut == std::string::npos)
        return std::filesystem::current_path().string();
    // A program in a root directory keeps the root's own separator.
    return file.substr(0, cut == 0 || (cut > 0 && file[cut - 1] == ':') ? cut + 1 : cut);
}

} // namespace vesk
