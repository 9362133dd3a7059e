#include "files.h"

#include "fileops.h"
#include "paths.h"
#include "systemfiles.h"
#include "texttools.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace vesk {

namespace fs = std::filesystem;

namespace {

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

} // namespace

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
    return writeFileAtomically(path, joinLines(lines));
}

Status writeFileAtomically(const std::string &path, const std::string &bytes)
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
    if ((err = writeAndClose(std::move(file), bytes)) != 0) {
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

Status notAFile(const std::string &path)
{
    return Status::failure(ErrorCode::NotAFile, "cannot read " + path + ": it is not a file");
}

Status cannotReadFromErrno(const std::string &path, int err)
{
    return cannotRead(path, std::error_code(err != 0 ? err : EIO, std::generic_category()));
}

Result<std::string> readFile(const std::string &path, std::size_t limit, Overflow overflow)
{
    Result<FilePtr> opened = openRegularFile(path);
    if (!opened)
        return opened.status();
    FilePtr file = std::move(opened).value();
    std::string bytes;
    char buffer[65536];
    while (bytes.size() <= limit) {
        const size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    if (std::ferror(file.get()))
        return cannotReadFromErrno(path, errno);
    if (bytes.size() > limit) {
        if (overflow == Overflow::Refuse)
            return Status::failure(ErrorCode::TooLarge,
                                   "cannot read " + path + ": it is larger than " + sizeText(limit));
        bytes.resize(limit);
    }
    return bytes;
}

} // namespace vesk
