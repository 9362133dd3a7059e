#pragma once

#include "status.h"

#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace vesk {

// Every text file of both programs holds its lines as single bytes exactly as
// given, with CR LF after each line, the last one included.

// Creates or truncates the file and writes the lines.
Status writeTextFile(const std::string &path, const std::vector<std::string> &lines);

// Writes the lines beside the target first and renames them over it only when
// every byte is out, so that a failure never destroys the previous file.
Status writeTextFileAtomically(const std::string &path, const std::vector<std::string> &lines);

// The whole file as bytes, or nothing with the reason in *error.
std::optional<std::string> readWholeFile(const std::string &path, std::string *error = nullptr);

// "permission denied", "no such file or directory": the reason in the form the
// messages embed it.
std::string reasonText(const std::error_code &ec);
std::string reasonFromErrno(int err);

} // namespace vesk
