#include "widepath.h"

#include <windows.h>

namespace vesk {

std::wstring wideText(const std::string &utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
    return text;
}

std::string utf8Text(const wchar_t *wide, size_t length)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), text.data(), bytes, nullptr, nullptr);
    return text;
}

std::string utf8Text(const std::wstring &wide)
{
    return utf8Text(wide.data(), wide.size());
}

std::wstring fullWidePath(const std::wstring &path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return {};
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return {};
    full.resize(length);
    return full;
}

std::wstring systemPath(const std::string &path)
{
    // The limit of the plain form for a new folder, which leaves room for an
    // 8.3 file name inside it.
    constexpr size_t kPlainLimit = MAX_PATH - 12;
    std::wstring text = wideText(path);
    if (text.size() < kPlainLimit || text.rfind(L"\\\\?\\", 0) == 0)
        return text;
    // The extended form is taken as it stands: no '/' for '\', no "." or
    // "..", no working directory. The full path does all three.
    const std::wstring full = fullWidePath(text);
    if (full.empty())
        return text;
    if (full.rfind(L"\\\\.\\", 0) == 0) // a device
        return full;
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

} // namespace vesk
