#include "ownerlock.h"

#include "widepath.h"

#include <windows.h>

namespace vesk {

namespace {

class WindowsLock final : public OwnerLock
{
public:
    explicit WindowsLock(HANDLE file) : m_file(file) {}
    ~WindowsLock() override { CloseHandle(m_file); }

private:
    HANDLE m_file;
};

} // namespace

// Opened without sharing: no other process can open the file while it is held.
std::unique_ptr<OwnerLock> OwnerLock::tryLock(const std::string &path)
{
    HANDLE file = CreateFileW(systemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<WindowsLock>(file);
}

} // namespace vesk
