#pragma once

#include "paths.h"
#include "status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

// What the file tools (files.cpp) and the reasons' wording (status.cpp) ask
// of the system, in one file for each.
namespace vesk {

// A new file beside `target` under a name nobody holds, created exclusively;
// `name` is set to it. Null with `err` set (an errno value) on a failure.
FilePtr createUniqueBeside(const std::filesystem::path &target, std::string &name, int &err);

// Whether the user may write into an existing file.
bool mayWrite(const std::filesystem::path &file);

// A regular file opened for reading. A directory, device or FIFO is "not a
// file" and is never read, so that it can neither hang nor flood the caller.
Result<FilePtr> openRegularFile(const std::string &path);

// "cannot read PATH: it is not a file", and the same with errno's reason (0
// counts as an I/O error).
Status notAFile(const std::string &path);
Status cannotReadFromErrno(const std::string &path, int err);

// The system's own wording of a reason where it has a better one for the
// player than its message.
std::optional<std::string> systemReasonText(const std::error_code &ec);

} // namespace vesk
