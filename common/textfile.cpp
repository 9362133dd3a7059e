#include "textfile.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace vesk {

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

// The reason when the bytes could not all be written, nothing when they were.
std::optional<std::string> writeBytes(const std::string &path, const std::string &bytes)
{
    errno = 0;
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return reasonFromErrno(errno);
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return reasonFromErrno(errno);
    // fclose flushes; a full disk often shows only here.
    if (std::fclose(file.release()) != 0)
        return reasonFromErrno(errno);
    return std::nullopt;
}

Status cannotWrite(const std::string &path, const std::string &reason)
{
    return Status::failure("cannot write " + path + ": " + reason);
}

} // namespace

std::string reasonText(const std::error_code &ec)
{
    std::string text = ec.message();
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

Status writeTextFile(const std::string &path, const std::vector<std::string> &lines)
{
    if (auto reason = writeBytes(path, joinLines(lines)))
        return cannotWrite(path, *reason);
    return Status::success();
}

Status writeTextFileAtomically(const std::string &path, const std::vector<std::string> &lines)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(fs::path(path), ec))
        return cannotWrite(path, reasonFromErrno(EISDIR));

    const std::string temporary = path + ".saving";
    if (auto reason = writeBytes(temporary, joinLines(lines))) {
        fs::remove(fs::path(temporary), ec);
        return cannotWrite(path, *reason);
    }
    fs::rename(fs::path(temporary), fs::path(path), ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(fs::path(temporary), ignored);
        return cannotWrite(path, reasonText(ec));
    }
    return Status::success();
}

std::optional<std::string> readWholeFile(const std::string &path, std::string *error)
{
    auto fail = [&](int err) -> std::optional<std::string> {
        if (error)
            *error = "cannot read " + path + ": " + reasonFromErrno(err);
        return std::nullopt;
    };

    std::error_code ec;
    if (std::filesystem::is_directory(std::filesystem::path(path), ec))
        return fail(EISDIR);

    errno = 0;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return fail(errno);

    std::string bytes;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.append(buffer, got);
    if (std::ferror(file.get()))
        return fail(errno);
    return bytes;
}

} // namespace vesk
