#include "ownerlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vesk {

namespace {

class PosixLock final : public OwnerLock
{
public:
    explicit PosixLock(int descriptor) : m_descriptor(descriptor) {}
    ~PosixLock() override { ::close(m_descriptor); }

private:
    int m_descriptor;
};

} // namespace

std::unique_ptr<OwnerLock> OwnerLock::tryLock(const std::string &path)
{
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return nullptr;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        return nullptr;
    }
    return std::make_unique<PosixLock>(descriptor);
}

} // namespace vesk
