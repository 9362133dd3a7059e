#pragma once

#include <string>
#include <utility>

namespace vesk {

// What an operation on files came to: nothing when it worked, otherwise one
// sentence that names the file and the reason, ready to show to the player.
class Status
{
public:
    static Status success() { return Status(); }
    static Status failure(std::string why) { return Status(std::move(why)); }

    bool ok() const { return m_error.empty(); }
    const std::string &error() const { return m_error; }

private:
    Status() = default;
    explicit Status(std::string why) : m_error(std::move(why)) {}

    std::string m_error;
};

} // namespace vesk
