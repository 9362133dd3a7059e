#pragma once

// The bridge from the programs' UTF-8 bytes to the system's wide calls on
// Windows, where every file call is made with UTF-16 text.
#ifdef _WIN32

#include <string>

namespace vesk {

std::wstring wideText(const std::string &utf8);
std::string utf8Text(const wchar_t *wide, size_t length);
std::string utf8Text(const std::wstring &wide);

// The full path of `path` as the system makes it ("/" as "\\", "." and ".."
// resolved, the working directory before a relative one); empty where the
// system finds none.
std::wstring fullWidePath(const std::wstring &path);

// A path for the system's wide file calls. A path too long for the plain
// form (a folder may not be made at 248 characters, nor a file opened at
// 260) is made absolute and given the extended form, "\\?\C:\..." or
// "\\?\UNC\server\share\...", which the calls take up to 32,767 characters
// whatever the system's long-path setting is. The C runtime's stat takes no
// '?' in a path, so paths for the standard library stay plain (fsPath).
std::wstring systemPath(const std::string &path);

} // namespace vesk

#endif
