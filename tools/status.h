#pragma once

#include <string>
#include <system_error>
#include <utility>
#include <variant>

namespace vesk {

// What kind of failure a step met, for callers that act on it; the player
// only ever sees the message.
enum class ErrorCode {
    None,
    NotFound,   // no such file or directory
    Permission, // permission denied, read-only file system
    NotAFile,   // a directory, device or FIFO where a file must be
    TooLarge,   // larger than the reader takes
    BadFormat,  // the bytes are not what the file must hold
    Exists,     // the name is taken
    NoSpace,    // the disk is full
    Invalid,    // the input cannot be used (an empty or relative path, an unstorable value)
    Io,         // any other failure of the system
    Cancelled,  // the player cancelled long work
};

// The code for a failure the system reported.
ErrorCode codeOf(const std::error_code &ec);
ErrorCode codeFromErrno(int err);

// What an operation on files came to: nothing when it worked, otherwise a
// code and one sentence that names the file and the reason, ready to show to
// the player. Neither a Status nor a Result may be dropped unread: a failure
// nobody looked at is a failure reported as a success.
class [[nodiscard]] Status
{
public:
    static Status success() { return Status(); }
    static Status failure(ErrorCode code, std::string why) { return Status(code, std::move(why)); }
    static Status failure(std::string why) { return Status(ErrorCode::Invalid, std::move(why)); }

    bool ok() const { return m_code == ErrorCode::None; }
    ErrorCode code() const { return m_code; }
    const std::string &error() const { return m_error; }

private:
    Status() = default;
    Status(ErrorCode code, std::string why) : m_code(code), m_error(std::move(why)) {}

    ErrorCode m_code = ErrorCode::None;
    std::string m_error;
};

// A failure's text ("cannot read x: permission denied") as a sentence for a
// message box: capital first letter, full stop at the end.
std::string sentence(std::string text);

// A value, or the Status of the failure that kept it from being made.
template<typename T>
class [[nodiscard]] Result
{
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Status failure) : m_state(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return std::get<T>(m_state); }
    T &value() & { return std::get<T>(m_state); }
    T &&value() && { return std::get<T>(std::move(m_state)); }
    const T &operator*() const & { return value(); }
    T &operator*() & { return value(); }
    const T *operator->() const { return &value(); }

    Status status() const { return ok() ? Status::success() : std::get<Status>(m_state); }
    ErrorCode code() const { return ok() ? ErrorCode::None : std::get<Status>(m_state).code(); }
    const std::string &error() const
    {
        static const std::string none;
        return ok() ? none : std::get<Status>(m_state).error();
    }

private:
    std::variant<T, Status> m_state;
};

// "permission denied", "no such file or directory": the reason in the form the
// messages embed it.
std::string reasonText(const std::error_code &ec);
std::string reasonFromErrno(int err);

// "cannot read PATH: REASON" with the code that goes with the reason.
Status cannotRead(const std::string &path, const std::error_code &ec);
// "cannot write PATH: REASON", from errno (0 counts as an I/O error) or the
// system's code.
Status cannotWrite(const std::string &path, int err);
Status cannotWrite(const std::string &path, const std::error_code &ec);

} // namespace vesk
