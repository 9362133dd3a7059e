#pragma once

#include <string>

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

// The folder that holds the running program's own file, whatever the working
// directory is.
std::string programDirectory();

} // namespace vesk
