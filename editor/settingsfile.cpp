#include "settingsfile.h"

#include "fieldreader.h"
#include "fileops.h"
#include "files.h"
#include "paths.h"

#include <filesystem>

namespace vesk {

std::string settingsFilePath(const std::string &programDirectory)
{
    return joinPath(programDirectory, "vesk.cfg");
}

std::optional<std::string> readGameDirectory(const std::string &path)
{
    const Result<std::string> text = readFile(path, kSmallFileLimit, Overflow::Cut);
    if (!text)
        return std::nullopt;
    auto field = FieldReader(*text).next();
    if (!field || !isAbsolutePath(*field))
        return std::nullopt;
    return field;
}

Status writeGameDirectory(const std::string &path, const std::string &directory)
{
    const auto encoded = encodeField(directory);
    if (!encoded)
        return Status::failure("cannot write " + path + ": the directory \"" + directory
                               + "\" holds a double quote or a line break that the file cannot carry");
    // The per-user folder may not exist yet.
    std::error_code ec;
    const std::string folder = fsPath(path).parent_path().u8string();
    if (!folder.empty())
        makeDirectories(folder, ec);
    return writeTextFile(path, {*encoded});
}

} // namespace vesk
