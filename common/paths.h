#pragma once

#include <string>
#include <system_error>

namespace vesk {

// The separator between a directory and a name on this platform.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// A file inside a directory: the directory text, one separator, the name. A
// directory that already ends in the separator (a drive root) gets a second
// one, which the file system accepts.
std::string joinPath(const std::string &directory, const std::string &name);

// Whether a path names one place whatever the working directory is. On
// Windows a drive-relative "C:Game" or a rooted "\\Game" does not.
bool isAbsolutePath(const std::string &path);

// Copies a file's bytes over `to`, replacing a file of that name. (The
// standard library's own replacing copy refuses existing targets on Windows
// with some runtimes, so the system's copy is used there.)
bool copyFileReplacing(const std::string &from, const std::string &to, std::error_code &ec);

// Whether a path lies in the system's folder for programs, where Windows lets
// only an administrator write. Never so on other systems.
bool isUnderProgramFiles(const std::string &path);

// The folder that holds the running program's own file, whatever the working
// directory is.
std::string programDirectory();

} // namespace vesk
