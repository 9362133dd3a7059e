#pragma once

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

// A file held open the way a running game holds its sounds: on Windows
// without any sharing, so that no other program may read, move or replace it.
// Other systems have no such locks; there `held()` is false.
class HeldFile
{
public:
#ifdef _WIN32
    explicit HeldFile(const std::string &path)
        : m_handle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
    {}
    ~HeldFile()
    {
        release();
    }
    bool held() const
    {
        return m_handle != INVALID_HANDLE_VALUE;
    }
    void release()
    {
        if (held())
            CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
#else
    explicit HeldFile(const std::string &) {}
    bool held() const
    {
        return false;
    }
    void release() {}
#endif
    HeldFile(const HeldFile &) = delete;
    HeldFile &operator=(const HeldFile &) = delete;
};
