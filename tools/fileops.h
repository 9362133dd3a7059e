#pragma once

#include "paths.h"
#include "status.h"

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

// The file system by path bytes, for the operations the programs make on
// game directories, packages and sounds. On Windows each is one of the
// system's wide calls on systemPath, and so works past 260 characters, where
// the C runtime under the standard library's own operations lists another
// folder or refuses the path; elsewhere they are the standard library's.
namespace vesk {

// A folder's entries, "." and ".." left out; what each is, links not
// followed. The order is the file system's.
struct DirectoryEntry
{
    std::string name;
    EntryKind kind = EntryKind::Missing;
};
std::vector<DirectoryEntry> listDirectory(const std::string &directory, std::error_code &ec);

// What is at a path, links followed. A missing path is Missing with no
// error.
struct FileStatus
{
    EntryKind kind = EntryKind::Missing;
    std::uintmax_t size = 0;
    std::int64_t modified = 0; // the system's time of the last write, only for comparing
};
FileStatus fileStatus(const std::string &path, std::error_code &ec);
bool isFolder(const std::string &path);
bool isFile(const std::string &path);
// A file's size; -1 with the reason where it has none.
std::uintmax_t fileSize(const std::string &path, std::error_code &ec);
// Whether two paths lead to the same file or folder.
bool sameFile(const std::string &a, const std::string &b, std::error_code &ec);

// Makes one folder: false, with no error, where there is a folder already.
bool makeDirectory(const std::string &path, std::error_code &ec);
// Make Directory of the directory pickers: the folder `name`, one level
// inside `parent`. The failure names the folder and the reason the system
// gave ("a?b" is no name Windows takes); a folder there already is no failure.
Status makeFolderIn(const std::string &parent, const std::string &name);
// Makes a folder and the folders above it that are missing.
void makeDirectories(const std::string &path, std::error_code &ec);
// Removes a file, a link or an empty folder: false, with no error, where
// nothing is there.
bool removeEntry(const std::string &path, std::error_code &ec);
// Removes a folder and everything in it, links removed and never followed.
void removeTree(const std::string &path, std::error_code &ec);
// Gives an entry a new name in the same file system, replacing a file that
// has it.
void renameEntry(const std::string &from, const std::string &to, std::error_code &ec);

} // namespace vesk
