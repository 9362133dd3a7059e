#pragma once

#include <memory>
#include <string>

namespace vesk {

// A file held open and locked for as long as the object lives, so that other
// processes see that this one owns what the file stands for. The system lets
// it go when the process ends, however it ends.
class OwnerLock
{
public:
    virtual ~OwnerLock() = default;
    // The lock of `path` (created when missing), or none when another process
    // holds it or the file cannot be made.
    static std::unique_ptr<OwnerLock> tryLock(const std::string &path);
};

} // namespace vesk
