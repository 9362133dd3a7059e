#pragma once

#include "progress.h"
#include "sha256.h"
#include "status.h"
#include "themefiles.h"

#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// SHA256SUMS, which every package the editor builds carries: a line per file
// of 64 lowercase hex digits, two blanks and the name, as sha256sum writes it
// (and "sha256sum -c" checks it).
struct FileSum
{
    std::string name;
    Sha256Digest digest{};
};

std::string sumsText(const std::vector<FileSum> &sums);

// The lines of a SHA256SUMS; a line that is not one ("*" before the name
// marks binary mode and is allowed), or a name that is no plain file name of
// the folder, is refused with its line number.
Result<std::vector<FileSum>> parseSums(std::string_view text);

// Every file the package's SHA256SUMS names is there and holds the bytes it
// names. The failure (BadFormat, or NotFound for a file that is missing)
// names the file; a folder without SHA256SUMS passes.
Status checkPackageSums(const std::string &packageDirectory, Progress &progress);

// The message for a package found damaged, naming it and the reason:
// "Ocean.exe is damaged (REASON). Ask for the package again."
std::string damagedMessage(const std::string &file, const std::string &reason);

} // namespace vesk
