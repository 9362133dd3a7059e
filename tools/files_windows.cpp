#include "systemfiles.h"

#include "fileops.h"
#include "files.h"
#include "paths.h"
#include "widepath.h"

#include <cerrno>
#include <random>

#include <io.h>
#include <windows.h>

namespace vesk {

namespace fs = std::filesystem;

FilePtr createUniqueBeside(const fs::path &target, std::string &name, int &err)
{
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fsPath(".");
    const std::string stem = (folder / fsPath("." + target.filename().string() + ".")).string();
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem + std::to_string(random() % 1000000000u) + ".tmp";
        // CREATE_NEW fails on a name that is taken.
        HANDLE handle = CreateFileW(systemPath(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), 0);
            return FilePtr(fd >= 0 ? _fdopen(fd, "wb") : nullptr);
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            err = error == ERROR_ACCESS_DENIED ? EACCES : error == ERROR_PATH_NOT_FOUND ? ENOENT : EIO;
            return nullptr;
        }
    }
    err = EEXIST;
    return nullptr;
}

bool mayWrite(const fs::path &file)
{
    const DWORD attributes = GetFileAttributesW(systemPath(file.u8string()).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY);
}

std::error_code giveNewFileMode(const std::string &path, const std::string &replaced)
{
    std::error_code ec;
    // Windows' one permission bit of a file is its read-only mark.
    const DWORD model = GetFileAttributesW(systemPath(replaced).c_str());
    const std::wstring file = systemPath(path);
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::error_code(static_cast<int>(GetLastError()), std::system_category());
    const DWORD readOnly = model != INVALID_FILE_ATTRIBUTES ? (model & FILE_ATTRIBUTE_READONLY) : 0;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != readOnly
        && !SetFileAttributesW(file.c_str(), (attributes & ~FILE_ATTRIBUTE_READONLY) | readOnly))
        ec = std::error_code(static_cast<int>(GetLastError()), std::system_category());
    return ec;
}

Result<FilePtr> openRegularFile(const std::string &path)
{
    std::error_code ec;
    const EntryKind kind = fileStatus(path, ec).kind;
    if (ec || kind == EntryKind::Missing)
        return cannotRead(path, ec ? ec : std::make_error_code(std::errc::no_such_file_or_directory));
    if (kind != EntryKind::File)
        return notAFile(path);
    errno = 0;
    FilePtr file(openFile(path, "rb"));
    if (!file)
        return cannotReadFromErrno(path, errno);
    return Result<FilePtr>(std::move(file));
}

std::optional<std::string> systemReasonText(const std::error_code &ec)
{
    if (ec.category() != std::system_category())
        return std::nullopt;
    if (ec.value() == ERROR_DISK_FULL || ec.value() == ERROR_HANDLE_DISK_FULL)
        return "no space left on device";
    // A file another program holds open, most often the running game.
    if (ec.value() == ERROR_SHARING_VIOLATION || ec.value() == ERROR_LOCK_VIOLATION)
        return "another program holds it open: close the game and try again";
    return std::nullopt;
}

} // namespace vesk
