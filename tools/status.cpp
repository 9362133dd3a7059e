#include "status.h"

#include "systemfiles.h"

#include <cctype>
#include <cerrno>

namespace vesk {

ErrorCode codeFromErrno(int err)
{
    switch (err) {
    case 0:
        return ErrorCode::None;
    case ENOENT:
    case ENOTDIR:
        return ErrorCode::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorCode::Permission;
    case EISDIR:
        return ErrorCode::NotAFile;
    case EEXIST:
        return ErrorCode::Exists;
    case ENOSPC:
        return ErrorCode::NoSpace;
    case EFBIG:
        return ErrorCode::TooLarge;
    default:
        return ErrorCode::Io;
    }
}

ErrorCode codeOf(const std::error_code &ec)
{
    if (!ec)
        return ErrorCode::None;
    const std::error_condition condition = ec.default_error_condition();
    if (condition.category() == std::generic_category())
        return codeFromErrno(condition.value());
    return ErrorCode::Io;
}

std::string sentence(std::string text)
{
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (text.empty() || text.back() != '.')
        text += '.';
    return text;
}

std::string reasonText(const std::error_code &ec)
{
    // One wording on every system for the reason a player can act on.
    if (ec.default_error_condition() == std::errc::no_space_on_device)
        return "no space left on device";
    if (std::optional<std::string> worded = systemReasonText(ec))
        return *worded;
    std::string text = ec.message();
    // Windows' own texts end in a full stop and a line break.
    while (!text.empty() && (text.back() == '.' || std::isspace(static_cast<unsigned char>(text.back()))))
        text.pop_back();
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::string reasonFromErrno(int err)
{
    if (err == 0)
        err = EIO;
    return reasonText(std::error_code(err, std::generic_category()));
}

Status cannotWrite(const std::string &path, int err)
{
    if (err == 0)
        err = EIO;
    return Status::failure(codeFromErrno(err), "cannot write " + path + ": " + reasonFromErrno(err));
}

Status cannotWrite(const std::string &path, const std::error_code &ec)
{
    return Status::failure(codeOf(ec), "cannot write " + path + ": " + reasonText(ec));
}

Status cannotRead(const std::string &path, const std::error_code &ec)
{
    return Status::failure(codeOf(ec), "cannot read " + path + ": " + reasonText(ec));
}

} // namespace vesk
