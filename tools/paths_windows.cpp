#include "files.h"
#include "paths.h"
#include "widepath.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <random>

namespace vesk {

std::FILE *openFile(const std::string &path, const char *mode)
{
    return _wfopen(systemPath(path).c_str(), wideText(mode).c_str());
}

bool seekFile(std::FILE *file, std::uint64_t offset)
{
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

Status checkCommandInterpreterPath(const std::string &path)
{
    const size_t length = wideText(path).size();
    if (length < MAX_PATH)
        return Status::success();
    return Status::failure(ErrorCode::Invalid,
                           path + ": the path is " + std::to_string(length)
                               + " characters long, and the Windows command interpreter, which installs the theme, "
                                 "takes at most "
                               + std::to_string(MAX_PATH - 1)
                               + "; move the package or choose a game directory with a shorter path");
}

Result<std::string> shortPath(const std::string &path)
{
    Status fits = checkCommandInterpreterPath(path);
    if (fits.ok())
        return path;
    const std::wstring full = systemPath(path);
    const DWORD needed = GetShortPathNameW(full.c_str(), nullptr, 0);
    std::wstring brief(needed, L'\0');
    const DWORD length = needed ? GetShortPathNameW(full.c_str(), brief.data(), needed) : 0;
    if (length == 0 || length >= needed)
        return fits;
    brief.resize(length);
    // The interpreter takes the plain form only.
    if (brief.rfind(L"\\\\?\\UNC\\", 0) == 0)
        brief = L"\\\\" + brief.substr(8);
    else if (brief.rfind(L"\\\\?\\", 0) == 0)
        brief = brief.substr(4);
    const std::string shorter = utf8Text(brief);
    if (checkCommandInterpreterPath(shorter).ok())
        return shorter;
    return fits;
}

EntryKind entryKind(const std::string &path)
{
    const DWORD attributes = GetFileAttributesW(systemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return EntryKind::Missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return EntryKind::Other;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return EntryKind::Folder;
    return (attributes & FILE_ATTRIBUTE_DEVICE) ? EntryKind::Other : EntryKind::File;
}

namespace {

// The full path without a trailing separator, "C:\" kept whole.
std::string fullPath(const std::string &path)
{
    const std::wstring wide = fullWidePath(wideText(path));
    std::string full = wide.empty() ? path : utf8Text(wide);
    while (full.size() > 3 && (full.back() == '\\' || full.back() == '/'))
        full.pop_back();
    return full;
}

bool samePath(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && _strnicmp(a.c_str(), b.c_str(), a.size()) == 0;
}

bool isBelow(const std::string &path, const std::string &folder)
{
    return path.size() > folder.size() && _strnicmp(path.c_str(), folder.c_str(), folder.size()) == 0
           && (path[folder.size()] == '\\' || folder.back() == '\\');
}

std::string knownFolder(int id)
{
    wchar_t folder[MAX_PATH];
    return SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK ? fullPath(utf8Text(folder))
                                                                                      : std::string();
}

} // namespace

namespace {

std::error_code lastError()
{
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

} // namespace

std::error_code copyToNewFile(const std::string &from, const std::string &to)
{
    const std::wstring target = systemPath(to);
    if (CopyFileW(systemPath(from).c_str(), target.c_str(), TRUE))
        return std::error_code();
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
        return std::make_error_code(std::errc::file_exists);
    DeleteFileW(target.c_str());
    return std::error_code(static_cast<int>(error), std::system_category());
}

Result<std::string> makePrivateFolder(const std::string &stem)
{
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return Status::failure(ErrorCode::Io, "cannot find the folder for temporary files");
    const std::string temporary = utf8Text(buffer, length);
    // A folder made in the user's own temporary folder inherits its access
    // list, which lets only that user (and the system) in.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[16];
        std::snprintf(name, sizeof name, "%08x", static_cast<unsigned>(random()));
        const std::string folder = temporary + stem + name;
        if (CreateDirectoryW(systemPath(folder).c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return Status::failure(ErrorCode::Io,
                                   "cannot make a temporary folder in " + temporary + ": " + reasonText(lastError()));
    }
    return Status::failure(ErrorCode::Exists, "cannot make a temporary folder in " + temporary);
}

bool setEnvironmentVariable(const std::string &name, const std::string &value)
{
    // Both the system's block, which started programs inherit, and the C
    // runtime's copy, which getenv reads.
    return SetEnvironmentVariableA(name.c_str(), value.c_str()) && _putenv_s(name.c_str(), value.c_str()) == 0;
}

std::error_code probeReplaceable(const std::string &path)
{
    // Asking for what a move needs, sharing everything: only a holder that
    // shares less stands in the way.
    const HANDLE file = CreateFileW(systemPath(path).c_str(), GENERIC_READ | DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return {};
    }
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return std::error_code(static_cast<int>(error), std::system_category());
    return {}; // missing, or refused for a reason the move itself reports
}

bool clearEnvironmentVariable(const std::string &name)
{
    // An empty value removes the C runtime's variable.
    return SetEnvironmentVariableA(name.c_str(), nullptr) && _putenv_s(name.c_str(), "") == 0;
}

std::error_code linkFile(const std::string &from, const std::string &to)
{
    return CreateHardLinkW(systemPath(to).c_str(), systemPath(from).c_str(), nullptr) ? std::error_code() : lastError();
}

Status checkNotSystemFolder(const std::string &directory)
{
    const std::string path = fullPath(directory);
    const std::wstring wide = wideText(path);
    std::wstring volume(wide.size() + 2, L'\0');
    if (GetVolumePathNameW(wide.c_str(), volume.data(), static_cast<DWORD>(volume.size()))
        && samePath(fullPath(utf8Text(volume.c_str())), path))
        return Status::failure(ErrorCode::Invalid,
                               directory + " is the root of a drive, not a game directory; choose the game directory");
    const std::string windows = knownFolder(CSIDL_WINDOWS);
    if (!windows.empty() && (samePath(path, windows) || isBelow(path, windows)))
        return Status::failure(ErrorCode::Invalid,
                               directory
                                   + " is a folder of Windows itself, not a game directory; choose the game directory");
    for (const int id : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86}) {
        const std::string programs = knownFolder(id);
        if (!programs.empty() && samePath(path, programs))
            return Status::failure(ErrorCode::Invalid, directory
                                                           + " is the folder of all programs, not a game directory; "
                                                             "choose the game's own folder inside it");
    }
    return Status::success();
}

} // namespace vesk
