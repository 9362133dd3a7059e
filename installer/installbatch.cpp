#include "installbatch.h"

#include "paths.h"
#include "textfile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace vpak {

namespace fs = std::filesystem;
using vesk::Status;

namespace {

const std::string kCopy = "copy *.* ";
const std::string kDelete = "del ";

std::string quotedIfNeeded(const std::string &path)
{
    const bool needsQuotes
        = path.find_first_of(" \t&|<>^(),;=") != std::string::npos || (!path.empty() && path.front() == '"');
    return needsQuotes ? '"' + path + '"' : path;
}

// The command interpreter expands %NAME% in a batch file even within quotes;
// only "%%" stands for a literal "%".
std::string percentsDoubled(const std::string &text)
{
    std::string doubled;
    for (char c : text) {
        doubled += c;
        if (c == '%')
            doubled += '%';
    }
    return doubled;
}

// A path argument of 1.bat, as the command interpreter would take it.
std::string batchArgument(const std::string &path)
{
    return percentsDoubled(quotedIfNeeded(path));
}

std::string pathOfArgument(std::string argument)
{
    if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
        argument = argument.substr(1, argument.size() - 2);
    std::string path;
    for (size_t i = 0; i < argument.size(); ++i) {
        path += argument[i];
        if (argument[i] == '%' && i + 1 < argument.size() && argument[i + 1] == '%')
            ++i;
    }
    return path;
}

bool startsWith(const std::string &line, const std::string &prefix)
{
    return line.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

std::vector<std::string> batchLines(const std::string &target)
{
    std::vector<std::string> lines = {kCopy + batchArgument(target)};
    for (const char *own : kPackageOwnFiles)
        lines.push_back(kDelete + batchArgument(vesk::joinPath(target, own)));
    return lines;
}

Status checkTarget(const std::string &target, const std::string &packageDirectory)
{
    if (target.empty())
        return Status::failure("choose the game directory to install the theme into");
    if (target.find_first_of("\r\n") != std::string::npos)
        return Status::failure("the path holds a line break, which 1.bat cannot carry; choose another directory");
    // 1.bat runs in the package, not where the installer was started, so a
    // relative target would mean another place to it (even the package).
    if (!vesk::isAbsolutePath(target))
        return Status::failure("\"" + target
                               + "\" is not a full path; please choose the full path of your Kestrova directory");
    std::error_code ec;
    if (!fs::is_directory(fs::path(target), ec))
        return Status::failure("the directory " + target + " does not exist; choose the game directory");
    if (fs::equivalent(fs::path(target), fs::path(packageDirectory), ec))
        return Status::failure(target + " is the theme package itself; choose the game directory");
    return Status::success();
}

namespace {

bool isPackageOwnFile(const std::string &name)
{
    return std::any_of(kPackageOwnFiles.begin(), kPackageOwnFiles.end(),
                       [&name](const char *own) { return vesk::sameFileName(name, own); });
}

// Whether two files hold the same bytes; nothing when `copy` cannot be read.
std::optional<bool> sameBytes(const fs::path &original, const fs::path &copy)
{
    std::ifstream a(original, std::ios::binary), b(copy, std::ios::binary);
    if (!b)
        return std::nullopt;
    std::error_code ec;
    if (fs::file_size(original, ec) != fs::file_size(copy, ec))
        return false;
    char x[65536], y[65536];
    while (a && b) {
        a.read(x, sizeof x);
        b.read(y, sizeof y);
        if (a.gcount() != b.gcount() || std::memcmp(x, y, static_cast<size_t>(a.gcount())) != 0)
            return false;
    }
    return true;
}

} // namespace

Status checkInstalled(const std::string &packageDirectory, const std::string &target)
{
    std::error_code ec;
    std::vector<fs::path> files;
    for (const auto &entry : fs::directory_iterator(fs::path(packageDirectory), ec)) {
        std::error_code fileError;
        if (entry.is_regular_file(fileError) && !isPackageOwnFile(entry.path().filename().string()))
            files.push_back(entry.path());
    }
    if (ec)
        return vesk::cannotRead(packageDirectory, ec);
    std::sort(files.begin(), files.end());
    for (const fs::path &file : files) {
        const std::string name = file.filename().string();
        const std::string installed = vesk::joinPath(target, name);
        const auto same = sameBytes(file, fs::path(installed));
        if (!same)
            return Status::failure(vesk::ErrorCode::NotFound, name + " did not arrive in " + target);
        if (!*same)
            return Status::failure(vesk::ErrorCode::Io, installed + " does not hold the package's bytes");
    }
    return Status::success();
}

std::vector<std::string> filesTheInstallTouches(const std::string &packageDirectory, const std::string &target)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(fs::path(packageDirectory), ec)) {
        std::error_code fileError;
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(fileError) && !isPackageOwnFile(name) && !vesk::sameFileName(name, "1.bat"))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    names.push_back("1.bat");
    for (const char *own : kPackageOwnFiles) {
        if (fs::exists(fs::path(vesk::joinPath(target, own)), ec))
            names.push_back(own);
    }
    return names;
}

Status writeBatchFile(const std::string &batchPath, const std::string &target)
{
    return vesk::writeTextFile(batchPath, batchLines(target));
}

Status runBatchFile(const std::string &batchPath, const std::string &workingDirectory)
{
    const vesk::Result<std::string> text = vesk::readFile(batchPath, vesk::kSmallFileLimit, vesk::Overflow::Refuse);
    if (!text)
        return text.status();

    std::istringstream lines(*text);
    std::string line;
    std::string firstFailure;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::error_code ec;
        if (startsWith(line, kCopy)) {
            const fs::path target(pathOfArgument(line.substr(kCopy.size())));
            for (const auto &entry : fs::directory_iterator(fs::path(workingDirectory), ec)) {
                std::error_code fileError;
                if (!entry.is_regular_file(fileError))
                    continue;
                vesk::copyFileReplacing(entry.path().string(), (target / entry.path().filename()).string(), fileError);
                if (fileError && firstFailure.empty())
                    firstFailure = "cannot copy " + entry.path().string() + ": " + vesk::reasonText(fileError);
            }
        } else if (startsWith(line, kDelete)) {
            fs::remove(fs::path(pathOfArgument(line.substr(kDelete.size()))), ec);
        }
        if (ec && firstFailure.empty())
            firstFailure = line + ": " + vesk::reasonText(ec);
    }
    // Like the command interpreter, the batch goes on past a failing line.
    return firstFailure.empty() ? Status::success() : Status::failure(firstFailure);
}

} // namespace vpak
