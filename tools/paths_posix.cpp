#include "files.h"
#include "paths.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vesk {

std::FILE *openFile(const std::string &path, const char *mode)
{
    return std::fopen(path.c_str(), mode);
}

bool seekFile(std::FILE *file, std::uint64_t offset)
{
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

Result<std::string> shortPath(const std::string &path)
{
    return path;
}

Status checkCommandInterpreterPath(const std::string &)
{
    return Status::success();
}

EntryKind entryKind(const std::string &path)
{
    struct stat info
    {};
    if (lstat(path.c_str(), &info) != 0)
        return EntryKind::Missing;
    if (S_ISREG(info.st_mode))
        return EntryKind::File;
    return S_ISDIR(info.st_mode) ? EntryKind::Folder : EntryKind::Other;
}

Status checkNotSystemFolder(const std::string &directory)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    // Judged where the path really leads: a link to /usr is /usr.
    const fs::path real = fs::weakly_canonical(fs::path(directory), ec);
    const std::string path = ec ? directory : real.string();
    if (path == "/")
        return Status::failure(
            ErrorCode::Invalid,
            directory + " is the root of the file system, not a game directory; choose the game directory");
    const size_t end = path.find('/', 1);
    const std::string top = path.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    for (const char *system : {"bin", "boot", "dev", "etc", "proc", "sbin", "sys", "usr", "var"}) {
        if (top == system)
            return Status::failure(ErrorCode::Invalid, directory + " is a folder of the system (/" + top
                                                           + "), not a game directory; choose the game directory");
    }
    if (top.compare(0, 3, "lib") == 0)
        return Status::failure(ErrorCode::Invalid, directory + " is a folder of the system (/" + top
                                                       + "), not a game directory; choose the game directory");
    return Status::success();
}

namespace {

std::error_code lastError()
{
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// Every byte of `in` into `out`: in the kernel where it can, else through a
// buffer.
bool copyBytes(int in, int out)
{
    for (;;) {
        const ssize_t sent = sendfile(out, in, nullptr, 1 << 30);
        if (sent > 0)
            continue;
        if (sent == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            return false;
        break;
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno != EINTR)
                return false;
            done += put > 0 ? put : 0;
        }
    }
}

} // namespace

std::error_code copyToNewFile(const std::string &from, const std::string &to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return lastError();
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        const std::error_code ec = lastError();
        ::close(in);
        return ec;
    }
    std::error_code ec;
    if (!copyBytes(in, out))
        ec = lastError();
    // A full disk may show only when the file is closed.
    if (::close(out) != 0 && !ec)
        ec = lastError();
    ::close(in);
    if (ec)
        ::unlink(to.c_str());
    return ec;
}

Result<std::string> makePrivateFolder(const std::string &stem)
{
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / (stem + "XXXXXX")).string();
    if (ec)
        return Status::failure(codeOf(ec), "cannot find the folder for temporary files: " + reasonText(ec));
    // mkdtemp makes the folder with mode 0700.
    if (!::mkdtemp(pattern.data()))
        return Status::failure(codeFromErrno(errno), "cannot make a temporary folder in "
                                                         + std::filesystem::path(pattern).parent_path().string() + ": "
                                                         + reasonFromErrno(errno));
    return pattern;
}

bool setEnvironmentVariable(const std::string &name, const std::string &value)
{
    return ::setenv(name.c_str(), value.c_str(), 1) == 0;
}

std::error_code probeReplaceable(const std::string &)
{
    return {};
}

bool clearEnvironmentVariable(const std::string &name)
{
    return ::unsetenv(name.c_str()) == 0;
}

std::error_code linkFile(const std::string &from, const std::string &to)
{
    return ::link(from.c_str(), to.c_str()) == 0 ? std::error_code() : lastError();
}

} // namespace vesk
