#pragma once

#include "status.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <system_error>

namespace vesk {

// The separator between a directory and a name on this platform.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// The file system's path for the bytes of a path. Paths travel as bytes: on
// Windows they are UTF-8, the programs' code page, which the standard
// library's own narrow conversion would take for another.
inline std::filesystem::path fsPath(const std::string &bytes)
{
#ifdef _WIN32
    return std::filesystem::u8path(bytes);
#else
    return std::filesystem::path(bytes);
#endif
}

// A file inside a directory: the directory text, one separator, the name. A
// directory that already ends in the separator (a drive root) gets a second
// one, which the file system accepts.
std::string joinPath(const std::string &directory, const std::string &name);
// The same as the player writes it, for a message: one separator at a root
// too (C:\Themes, where the path joined is C:\\Themes).
std::string shownPath(const std::string &directory, const std::string &name);
// Where the last part of a path (the file's own name) starts: after its last
// separator, '/' too on Windows; 0 where it has none.
std::size_t fileNameStart(const std::string &path);

// Whether a path names one place whatever the working directory is. On
// Windows a drive-relative "C:Game" or a rooted "\\Game" does not.
bool isAbsolutePath(const std::string &path);

// Opens a file as std::fopen does, whatever the length of its path (on
// Windows the C runtime's narrow open stops at 260 characters).
std::FILE *openFile(const std::string &path, const char *mode);
// The one owner of an open file: closed when it goes.
struct FileCloser
{
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;
// Moves a file openFile opened to `offset` bytes from its start, past 2 GiB
// too; false when it cannot.
bool seekFile(std::FILE *file, std::uint64_t offset);

// Copies a file's bytes over `to`, replacing a file of that name. (The
// standard library's own replacing copy refuses existing targets on Windows
// with some runtimes, so the system's copy is used there.)
bool copyFileReplacing(const std::string &from, const std::string &to, std::error_code &ec);

// Copies a file's bytes into a new file `to`, which must not exist yet (a
// name that is taken gives std::errc::file_exists), with the permission bits
// a plain create gives. A copy that fails part way is removed again, and the
// error is the system's own reason (a full disk is "no space left on
// device").
std::error_code copyToNewFile(const std::string &from, const std::string &to);

// A new folder of this user's alone (no one else may read it) under the
// system's folder for temporary files, named STEM and a random part. The
// failure names the reason.
Result<std::string> makePrivateFolder(const std::string &stem);

// Whether the file at `path` (where there is one) can be moved or replaced
// now: on Windows a file another program holds open without sharing, such as
// a sound of the running game, cannot (a sharing violation). Always so on
// other systems.
std::error_code probeReplaceable(const std::string &path);

// A second name `to` for the file `from` on the same file system: the same
// bytes, no copy. Fails across file systems, on FAT and where the system
// refuses it.
std::error_code linkFile(const std::string &from, const std::string &to);

// Makes a new file under a fresh name "DIRECTORY/STEM<number>": `make` is
// called with candidate names until one is not taken (it must fail with
// std::errc::file_exists for a name in use). The failure carries only the
// reason, for the caller to word.
Result<std::string> makeUnderFreshName(const std::string &directory, const std::string &stem,
                                       const std::function<std::error_code(const std::string &)> &make);

// Whether the command interpreter that runs 1.bat can work with this path,
// as its working directory or as a file it copies: Windows' cmd.exe takes no
// path of 260 characters or more. The failure names the path and the reason.
Status checkCommandInterpreterPath(const std::string &path);

// The existing folder or file `path` as the programs that take no path of
// 260 characters or more can take it (the command interpreter; the start of
// a program): on Windows a longer path becomes its short form (the 8.3 names
// the file system keeps beside the long ones), where that is short enough.
// Else the failure of checkCommandInterpreterPath. The path itself on other
// systems.
Result<std::string> shortPath(const std::string &path);

// Sets a variable of this program's environment, which the programs it
// starts inherit.
bool setEnvironmentVariable(const std::string &name, const std::string &value);
bool clearEnvironmentVariable(const std::string &name);

// Whether a path lies in the system's folder for programs, where Windows lets
// only an administrator write. Never so on other systems.
bool isUnderProgramFiles(const std::string &path);

// What a directory entry is, its links not followed: on Windows an entry with
// a reparse point (a link or a junction) is Other.
enum class EntryKind {
    Missing,
    File,   // a regular file
    Folder, // a directory
    Other,  // a symbolic link, FIFO, socket or device
};
EntryKind entryKind(const std::string &path);

// Sounds go only into a game directory: never into the root of a drive or
// file system, nor into the system's own folders (/bin, /boot, /dev, /etc,
// /lib*, /proc, /sbin, /sys, /usr, /var and everything below them; on
// Windows the Windows folder and below, and the Program Files folders
// themselves). The failure names the folder and why.
Status checkNotSystemFolder(const std::string &directory);

// The folder that holds the running program's own file, whatever the working
// directory is.
std::string programDirectory();
// The running program's own file.
std::string programFile();

} // namespace vesk
