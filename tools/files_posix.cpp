#include "systemfiles.h"

#include "files.h"
#include "paths.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vesk {

namespace fs = std::filesystem;

namespace {

// The permission bits a new file gets from the user's file-creation mask.
fs::perms permissionsForNewFile()
{
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<fs::perms>(0666 & ~mask);
}

} // namespace

FilePtr createUniqueBeside(const fs::path &target, std::string &name, int &err)
{
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fsPath(".");
    const std::string stem = (folder / fsPath("." + target.filename().string() + ".")).string();
    std::string pattern = stem + "XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        err = errno;
        return nullptr;
    }
    name = pattern;
    return FilePtr(fdopen(fd, "wb"));
}

bool mayWrite(const fs::path &file)
{
    return access(file.c_str(), W_OK) == 0 || errno != EACCES;
}

std::error_code giveNewFileMode(const std::string &path, const std::string &replaced)
{
    std::error_code ec;
    const fs::file_status existing = fs::status(fsPath(replaced), ec);
    fs::permissions(fsPath(path), fs::exists(existing) ? existing.permissions() : permissionsForNewFile(),
                    fs::perm_options::replace, ec);
    return ec;
}

Result<FilePtr> openRegularFile(const std::string &path)
{
    // Opened without blocking, so that a FIFO cannot stall us before we see
    // what it is.
    errno = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return cannotReadFromErrno(path, errno);
    struct stat info
    {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return notAFile(path);
    }
    FilePtr file(fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        return cannotReadFromErrno(path, errno);
    }
    return Result<FilePtr>(std::move(file));
}

std::optional<std::string> systemReasonText(const std::error_code &)
{
    return std::nullopt;
}

} // namespace vesk
