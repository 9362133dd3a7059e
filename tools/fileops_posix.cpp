#include "fileops.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace vesk {

std::vector<DirectoryEntry> listDirectory(const std::string &directory, std::error_code &ec)
{
    std::vector<DirectoryEntry> entries;
    for (fs::directory_iterator it(fsPath(directory), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        entries.push_back({name, entryKind(joinPath(directory, name))});
    }
    return entries;
}

FileStatus fileStatus(const std::string &path, std::error_code &ec)
{
    const fs::file_status status = fs::status(fsPath(path), ec);
    FileStatus result;
    if (status.type() == fs::file_type::not_found) {
        ec.clear();
        return result;
    }
    if (ec)
        return result;
    result.kind = fs::is_regular_file(status) ? EntryKind::File
                  : fs::is_directory(status)  ? EntryKind::Folder
                                              : EntryKind::Other;
    if (result.kind == EntryKind::File) {
        result.size = fs::file_size(fsPath(path), ec);
        result.modified = fs::last_write_time(fsPath(path), ec).time_since_epoch().count();
    }
    return result;
}

std::uintmax_t fileSize(const std::string &path, std::error_code &ec)
{
    return fs::file_size(fsPath(path), ec);
}

bool sameFile(const std::string &a, const std::string &b, std::error_code &ec)
{
    return fs::equivalent(fsPath(a), fsPath(b), ec);
}

bool makeDirectory(const std::string &path, std::error_code &ec)
{
    return fs::create_directory(fsPath(path), ec);
}

void makeDirectories(const std::string &path, std::error_code &ec)
{
    fs::create_directories(fsPath(path), ec);
}

bool removeEntry(const std::string &path, std::error_code &ec)
{
    return fs::remove(fsPath(path), ec);
}

void removeTree(const std::string &path, std::error_code &ec)
{
    fs::remove_all(fsPath(path), ec);
}

void renameEntry(const std::string &from, const std::string &to, std::error_code &ec)
{
    fs::rename(fsPath(from), fsPath(to), ec);
}

} // namespace vesk
