#include "textfile.h"
#include "fileops.h"
#include "paths.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#ifdef _WIN32
#include "widepath.h"

#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vesk {

namespace fs = std::filesystem;

ErrorCode codeFromErrno(int err)
{
    switch (err) {
    case 0:
        return ErrorCode::None;
    case ENOENT:
    case ENOTDIR:
        return ErrorCode::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorCode::Permission;
    case EISDIR:
        return ErrorCode::NotAFile;
    case EEXIST:
        return ErrorCode::Exists;
    case ENOSPC:
        return ErrorCode::NoSpace;
    case EFBIG:
        return ErrorCode::TooLarge;
    default:
        return ErrorCode::Io;
    }
}

ErrorCode codeOf(const std::error_code &ec)
{
    if (!ec)
        return ErrorCode::None;
    const std::error_condition condition = ec.default_error_condition();
    if (condition.category() == std::generic_category())
        return codeFromErrno(condition.value());
    return ErrorCode::Io;
}

namespace {

struct FileCloser
{
    void operator()(std::FILE *f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string joinLines(const std::vector<std::string> &lines)
{
    std::string bytes;
    size_t size = 0;
    for (const auto &line : lines)
        size += line.size() + 2;
    bytes.reserve(size);
    for (const auto &line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

// Writes all bytes and closes the file; the errno of the first failure, or 0.
int writeAndClose(FilePtr file, const std::string &bytes)
{
    errno = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return errno != 0 ? errno : EIO;
    // fclose flushes; a full disk often shows only here.
    if (std::fclose(file.release()) != 0)
        return errno != 0 ? errno : EIO;
    return 0;
}

// Where a save through a symbolic link must go: the file at the end of the
// chain of links, which need not exist yet.
fs::path followLinks(fs::path path)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(path, ec))
            break;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec)
            break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

// A new file beside `target` under a name nobody holds, created exclusively.
FilePtr createUniqueBeside(const fs::path &target, std::string &name, int &err)
{
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fsPath(".");
    const std::string stem = (folder / fsPath("." + target.filename().string() + ".")).string();
#ifdef _WIN32
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
#else
    std::string pattern = stem + "XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        err = errno;
        return nullptr;
    }
    name = pattern;
    return FilePtr(fdopen(fd, "wb"));
#endif
}

// The permission bits a new file gets from the user's file-creation mask.
#ifndef _WIN32
fs::perms permissionsForNewFile()
{
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<fs::perms>(0666 & ~mask);
}
#endif

bool mayWrite(const fs::path &file)
{
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(systemPath(file.u8string()).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY);
#else
    return access(file.c_str(), W_OK) == 0 || errno != EACCES;
#endif
}

} // namespace

std::string sizeText(std::size_t bytes)
{
    constexpr std::size_t KiB = 1024, MiB = 1024 * 1024;
    if (bytes >= MiB && bytes % MiB == 0)
        return std::to_string(bytes / MiB) + " MiB";
    if (bytes >= KiB && bytes % KiB == 0)
        return std::to_string(bytes / KiB) + " KiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

std::error_code giveNewFileMode(const std::string &path, const std::string &replaced)
{
    std::error_code ec;
#ifdef _WIN32
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
#else
    const fs::file_status existing = fs::status(fsPath(replaced), ec);
    fs::permissions(fsPath(path), fs::exists(existing) ? existing.permissions() : permissionsForNewFile(),
                    fs::perm_options::replace, ec);
#endif
    return ec;
}

std::string sentence(std::string text)
{
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (text.empty() || text.back() != '.')
        text += '.';
    return text;
}

std::string reasonText(const std::error_code &ec)
{
    // One wording on every system for the reason a player can act on.
    bool full = ec.default_error_condition() == std::errc::no_space_on_device;
#ifdef _WIN32
    full = full
           || (ec.category() == std::system_category()
               && (ec.value() == ERROR_DISK_FULL || ec.value() == ERROR_HANDLE_DISK_FULL));
#endif
    if (full)
        return "no space left on device";
#ifdef _WIN32
    // A file another program holds open, most often the running game.
    if (ec.category() == std::system_category()
        && (ec.value() == ERROR_SHARING_VIOLATION || ec.value() == ERROR_LOCK_VIOLATION))
        return "another program holds it open: close the game and try again";
#endif
    std::string text = ec.message();
    // Windows' own texts end in a full stop and a line break.
    while (!text.empty() && (text.back() == '.' || std::isspace(static_cast<unsigned char>(text.back()))))
        text.pop_back();
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::string reasonFromErrno(int err)
{
    if (err == 0)
        err = EIO;
    return reasonText(std::error_code(err, std::generic_category()));
}

Status cannotWrite(const std::string &path, int err)
{
    if (err == 0)
        err = EIO;
    return Status::failure(codeFromErrno(err), "cannot write " + path + ": " + reasonFromErrno(err));
}

Status cannotWrite(const std::string &path, const std::error_code &ec)
{
    return Status::failure(codeOf(ec), "cannot write " + path + ": " + reasonText(ec));
}

Status cannotRead(const std::string &path, const std::error_code &ec)
{
    return Status::failure(codeOf(ec), "cannot read " + path + ": " + reasonText(ec));
}

Status writeFile(const std::string &path, const std::string &bytes, const std::string &shownAs)
{
    const std::string &shown = shownAs.empty() ? path : shownAs;
    errno = 0;
    FilePtr file(openFile(path, "wb"));
    if (!file)
        return cannotWrite(shown, errno);
    if (const int err = writeAndClose(std::move(file), bytes))
        return cannotWrite(shown, err);
    return Status::success();
}

Status writeTextFile(const std::string &path, const std::vector<std::string> &lines, const std::string &shownAs)
{
    return writeFile(path, joinLines(lines), shownAs);
}

Status writeTextFileAtomically(const std::string &path, const std::vector<std::string> &lines)
{
    const fs::path target = followLinks(fsPath(path));
    std::error_code ec;
    const EntryKind existing = fileStatus(target.u8string(), ec).kind;
    if (existing == EntryKind::Folder)
        return cannotWrite(path, EISDIR);
    const bool replacing = existing != EntryKind::Missing;
    if (replacing && !mayWrite(target))
        return cannotWrite(path, EACCES);

    std::string temporary;
    int err = 0;
    FilePtr file = createUniqueBeside(target, temporary, err);
    if (!file)
        return cannotWrite(path, err);
    auto discard = [&temporary] {
        std::error_code ignored;
        removeEntry(temporary, ignored);
    };
    if ((err = writeAndClose(std::move(file), joinLines(lines))) != 0) {
        discard();
        return cannotWrite(path, err);
    }
    ec = giveNewFileMode(temporary, target.u8string());
    if (!ec)
        renameEntry(temporary, target.u8string(), ec);
    if (ec) {
        discard();
        return cannotWrite(path, ec);
    }
    return Status::success();
}

Result<std::string> createUniqueFile(const std::string &directory, const std::string &stem)
{
    std::string name;
    int err = 0;
    FilePtr file = createUniqueBeside(fsPath(directory) / fsPath(stem), name, err);
    if (!file)
        return Status::failure(codeFromErrno(err), "cannot write into " + directory + ": " + reasonFromErrno(err));
    return name;
}

Status probeWritable(const std::string &directory)
{
    std::string probe;
    int err = 0;
    FilePtr file = createUniqueBeside(fsPath(directory) / "vesk-probe", probe, err);
    if (!file)
        return Status::failure(codeFromErrno(err), "cannot write into " + directory + ": " + reasonFromErrno(err));
    file.reset();
    std::error_code ignored;
    removeEntry(probe, ignored);
    return Status::success();
}

Result<std::string> readFile(const std::string &path, std::size_t limit, Overflow overflow)
{
    const auto notAFile
        = [&path] { return Status::failure(ErrorCode::NotAFile, "cannot read " + path + ": it is not a file"); };
    const auto failed
        = [&path](int err) { return cannotRead(path, std::error_code(err != 0 ? err : EIO, std::generic_category())); };
#ifdef _WIN32
    std::error_code ec;
    const EntryKind kind = fileStatus(path, ec).kind;
    if (ec || kind == EntryKind::Missing)
        return cannotRead(path, ec ? ec : std::make_error_code(std::errc::no_such_file_or_directory));
    if (kind != EntryKind::File)
        return notAFile();
    errno = 0;
    FilePtr file(openFile(path, "rb"));
    if (!file)
        return failed(errno);
#else
    // Opened without blocking, so that a FIFO cannot stall us before we see
    // what it is.
    errno = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(errno);
    struct stat info
    {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return notAFile();
    }
    FilePtr file(fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        return failed(errno);
    }
#endif
    std::string bytes;
    char buffer[65536];
    while (bytes.size() <= limit) {
        const size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    if (std::ferror(file.get()))
        return failed(errno);
    if (bytes.size() > limit) {
        if (overflow == Overflow::Refuse)
            return Status::failure(ErrorCode::TooLarge,
                                   "cannot read " + path + ": it is larger than " + sizeText(limit));
        bytes.resize(limit);
    }
    return bytes;
}

} // namespace vesk
