#include "fileops.h"
#include "widepath.h"

#include <windows.h>

namespace vesk {

namespace {

std::error_code lastError()
{
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

bool isMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME
           || error == ERROR_BAD_NETPATH || error == ERROR_BAD_PATHNAME;
}

EntryKind kindOf(DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return EntryKind::Other;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return EntryKind::Folder;
    return (attributes & FILE_ATTRIBUTE_DEVICE) ? EntryKind::Other : EntryKind::File;
}

std::int64_t ticks(const FILETIME &time)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

std::uintmax_t sizeOf(DWORD high, DWORD low)
{
    return (static_cast<std::uintmax_t>(high) << 32) | low;
}

// The file a path leads to, opened for nothing but its facts: no holder's
// sharing stands in the way, and links are followed.
HANDLE openForFacts(const std::string &path)
{
    return CreateFileW(systemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

} // namespace

std::vector<DirectoryEntry> listDirectory(const std::string &directory, std::error_code &ec)
{
    ec.clear();
    std::vector<DirectoryEntry> entries;
    if (directory.empty()) {
        ec = std::make_error_code(std::errc::no_such_file_or_directory);
        return entries;
    }
    std::wstring pattern = systemPath(directory);
    if (pattern.empty() || (pattern.back() != L'\\' && pattern.back() != L'/'))
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        // A drive's root holds no "." entry: with nothing else it is empty.
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            ec = std::error_code(static_cast<int>(error), std::system_category());
        else if (!isFolder(directory))
            ec = std::make_error_code(std::errc::no_such_file_or_directory);
        return entries;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            entries.push_back({utf8Text(name), kindOf(found.dwFileAttributes)});
    } while (FindNextFileW(search, &found));
    const DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES)
        ec = std::error_code(static_cast<int>(error), std::system_category());
    return entries;
}

FileStatus fileStatus(const std::string &path, std::error_code &ec)
{
    ec.clear();
    FileStatus status;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(systemPath(path).c_str(), GetFileExInfoStandard, &data)) {
        if (!isMissing(GetLastError()))
            ec = lastError();
        return status;
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link: what it leads to, if anything.
        const HANDLE file = openForFacts(path);
        BY_HANDLE_FILE_INFORMATION information;
        const bool known = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &information);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        if (!known)
            return status;
        data.dwFileAttributes = information.dwFileAttributes & ~FILE_ATTRIBUTE_REPARSE_POINT;
        data.nFileSizeHigh = information.nFileSizeHigh;
        data.nFileSizeLow = information.nFileSizeLow;
        data.ftLastWriteTime = information.ftLastWriteTime;
    }
    status.kind = kindOf(data.dwFileAttributes);
    if (status.kind == EntryKind::File) {
        status.size = sizeOf(data.nFileSizeHigh, data.nFileSizeLow);
        status.modified = ticks(data.ftLastWriteTime);
    }
    return status;
}

std::uintmax_t fileSize(const std::string &path, std::error_code &ec)
{
    const FileStatus status = fileStatus(path, ec);
    if (!ec && status.kind != EntryKind::File)
        ec = std::make_error_code(status.kind == EntryKind::Missing  ? std::errc::no_such_file_or_directory
                                  : status.kind == EntryKind::Folder ? std::errc::is_a_directory
                                                                     : std::errc::not_supported);
    return ec ? static_cast<std::uintmax_t>(-1) : status.size;
}

bool sameFile(const std::string &a, const std::string &b, std::error_code &ec)
{
    ec.clear();
    BY_HANDLE_FILE_INFORMATION facts[2];
    const std::string *paths[2] = {&a, &b};
    for (int i = 0; i < 2; ++i) {
        const HANDLE file = openForFacts(*paths[i]);
        if (file == INVALID_HANDLE_VALUE) {
            ec = lastError();
            return false;
        }
        const bool known = GetFileInformationByHandle(file, &facts[i]);
        if (!known)
            ec = lastError();
        CloseHandle(file);
        if (!known)
            return false;
    }
    return facts[0].dwVolumeSerialNumber == facts[1].dwVolumeSerialNumber
           && facts[0].nFileIndexHigh == facts[1].nFileIndexHigh && facts[0].nFileIndexLow == facts[1].nFileIndexLow;
}

bool makeDirectory(const std::string &path, std::error_code &ec)
{
    ec.clear();
    if (CreateDirectoryW(systemPath(path).c_str(), nullptr))
        return true;
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS)
        ec = std::error_code(static_cast<int>(error), std::system_category());
    else if (!isFolder(path))
        ec = std::make_error_code(std::errc::file_exists);
    return false;
}

void makeDirectories(const std::string &path, std::error_code &ec)
{
    ec.clear();
    std::string folder = path;
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    if (folder.empty() || isFolder(folder))
        return;
    const size_t cut = folder.find_last_of("\\/");
    // Up to the drive ("C:") or the share; the root itself is never made.
    if (cut != std::string::npos && cut > 0 && folder[cut - 1] != ':' && folder.find_first_not_of("\\/") < cut) {
        makeDirectories(folder.substr(0, cut), ec);
        if (ec)
            return;
    }
    makeDirectory(folder, ec);
}

bool removeEntry(const std::string &path, std::error_code &ec)
{
    ec.clear();
    const std::wstring wide = systemPath(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!isMissing(GetLastError()))
            ec = lastError();
        return false;
    }
    // A link to a folder is removed as a folder, and only the link goes.
    const bool removed
        = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(wide.c_str()) : DeleteFileW(wide.c_str());
    if (!removed)
        ec = lastError();
    return removed;
}

void removeTree(const std::string &path, std::error_code &ec)
{
    ec.clear();
    const EntryKind kind = entryKind(path);
    if (kind == EntryKind::Folder) {
        for (const DirectoryEntry &entry : listDirectory(path, ec)) {
            std::error_code inner;
            const std::string child = joinPath(path, entry.name);
            if (entry.kind == EntryKind::Folder)
                removeTree(child, inner);
            else
                removeEntry(child, inner);
            if (inner && !ec)
                ec = inner;
        }
    }
    std::error_code own;
    removeEntry(path, own);
    if (own && !ec)
        ec = own;
}

void renameEntry(const std::string &from, const std::string &to, std::error_code &ec)
{
    ec.clear();
    // As elsewhere, a folder never takes a file's place, nor a file a folder's
    // (the system's move would put a folder over a file).
    const EntryKind target = entryKind(to);
    if (target != EntryKind::Missing) {
        const bool folder = entryKind(from) == EntryKind::Folder;
        if (folder != (target == EntryKind::Folder)) {
            ec = std::make_error_code(folder ? std::errc::not_a_directory : std::errc::is_a_directory);
            return;
        }
    }
    if (!MoveFileExW(systemPath(from).c_str(), systemPath(to).c_str(), MOVEFILE_REPLACE_EXISTING))
        ec = lastError();
}

} // namespace vesk
