#pragma once

#include "status.h"

#include <optional>
#include <string>

namespace vesk {

// vesk.cfg, beside the editor's program file, remembers the game directory as
// the first field of its one line.

std::string settingsFilePath(const std::string &programDirectory);

// The first field, or nothing when the file is missing, unreadable or no
// regular file, or when the field is empty or no absolute path: a relative
// one would change its meaning with the working directory.
std::optional<std::string> readGameDirectory(const std::string &path);

// One line: the directory as typed, within quotes when it holds a comma or
// begins with a blank or a quote, so that it reads back whole.
Status writeGameDirectory(const std::string &path, const std::string &directory);

} // namespace vesk
