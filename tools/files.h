#pragma once

#include "paths.h"
#include "status.h"

#include <cstddef>
#include <string>
#include <system_error>
#include <vector>

namespace vesk {

// Every text file of both programs holds its lines as single bytes exactly as
// given, with CR LF after each line, the last one included.

// Creates or truncates the file and writes the lines. A failure names the
// file, or `shownAs` where a temporary file is written in place of it.
Status writeTextFile(const std::string &path, const std::vector<std::string> &lines,
                     const std::string &shownAs = std::string());

// The same for bytes as they are.
Status writeFile(const std::string &path, const std::string &bytes, const std::string &shownAs = std::string());

// Writes the lines to a fresh file of a unique name beside the target and
// renames it over the target only when every byte is out, so that a failure
// never destroys the previous file. A symbolic link is followed and stays; an
// existing file keeps its permission bits; a file the user may not write is
// refused exactly as a plain write would refuse it.
Status writeTextFileAtomically(const std::string &path, const std::vector<std::string> &lines);
// The same for bytes as they are.
Status writeFileAtomically(const std::string &path, const std::string &bytes);

// A new, empty file in `directory` under a unique name that begins with
// `stem`, created exclusively so that it never takes a name in use.
Result<std::string> createUniqueFile(const std::string &directory, const std::string &stem);

// Whether files can be created in `directory`: a probe file of a unique name
// is created there and removed again. The failure names the directory and
// the reason.
Status probeWritable(const std::string &directory);

// A file made under a temporary name and renamed over `replaced` gets the
// permission bits of the file it replaces, or where there is none, those a
// plain create would give it (0666 less the user's mask).
std::error_code giveNewFileMode(const std::string &path, const std::string &replaced);

// The small files read field by field (vesk.cfg, theme.cfg) are read no
// further than this: what lies beyond counts as the end of the file.
inline constexpr std::size_t kSmallFileLimit = 64 * 1024;
// A project file larger than this is refused; 100,000 links take about 6 MiB.
inline constexpr std::size_t kProjectFileLimit = 64 * 1024 * 1024;

enum class Overflow {
    Cut,    // the first `limit` bytes are the file
    Refuse, // a larger file is a failure (ErrorCode::TooLarge)
};

// The bytes of a regular file. A directory, device or FIFO is "not a file"
// (ErrorCode::NotAFile) and is never opened for reading, so that it can
// neither hang nor flood the caller.
Result<std::string> readFile(const std::string &path, std::size_t limit, Overflow overflow);

} // namespace vesk
