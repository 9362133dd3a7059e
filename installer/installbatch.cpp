#include "installbatch.h"

#include "paths.h"
#include "textfile.h"

#include <algorithm>
#include <cstdlib>
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

} // namespace

std::string batchPath(std::string argument)
{
    if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
        argument = argument.substr(1, argument.size() - 2);
    std::string path;
    for (size_t i = 0; i < argument.size(); ++i) {
        const size_t close = argument[i] == '%' ? argument.find('%', i + 1) : std::string::npos;
        if (close == std::string::npos) {
            path += argument[i];
        } else if (close == i + 1) {
            path += '%';
            i = close;
        } else {
            // A variable of the environment, as the interpreter expands it:
            // an unknown one is empty.
            const char *value = std::getenv(argument.substr(i + 1, close - i - 1).c_str());
            path += value ? value : "";
            i = close;
        }
    }
    return path;
}

namespace {

bool beyondAscii(const std::string &text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool startsWith(const std::string &line, const std::string &prefix)
{
    return line.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

std::vector<std::string> batchLines(const std::string &target)
{
    if (beyondAscii(target)) {
        const std::string variable = std::string("%") + kTargetVariable + "%";
        std::vector<std::string> lines = {kCopy + '"' + variable + '"'};
        for (const char *own : kPackageOwnFiles)
            lines.push_back(kDelete + '"' + vesk::joinPath(variable, own) + '"');
        return lines;
    }
    std::vector<std::string> lines = {kCopy + batchArgument(target)};
    for (const char *own : kPackageOwnFiles)
        lines.push_back(kDelete + batchArgument(vesk::joinPath(target, own)));
    return lines;
}

vesk::Status setBatchTarget(const std::string &target)
{
    if (!vesk::setEnvironmentVariable(kTargetVariable, target))
        return Status::failure(vesk::ErrorCode::Io, "cannot hand the directory " + target + " to 1.bat");
    return Status::success();
}

Status checkTarget(const std::string &target, const std::string &packageDirectory)
{
    if (target.empty())
        return Status::failure("choose the game directory to install the theme into");
    if (target.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return Status::failure("the path holds a line break, which 1.bat cannot carry; choose another directory");
    // 1.bat runs in the package, not where the installer was started, so a
    // relative target would mean another place to it (even the package).
    if (!vesk::isAbsolutePath(target))
        return Status::failure("\"" + target
                               + "\" is not a full path; please choose the full path of your Kestrova directory");
    if (Status length = vesk::checkDirectoryPathLength(target); !length.ok())
        return length;
    std::error_code ec;
    if (!fs::is_directory(vesk::fsPath(target), ec))
        return Status::failure("the directory " + target + " does not exist; choose the game directory");
    if (fs::equivalent(vesk::fsPath(target), vesk::fsPath(packageDirectory), ec))
        return Status::failure(target + " is the theme package itself; choose the game directory");
    return vesk::checkNotSystemFolder(target);
}

namespace {

bool isPackageOwnFile(const std::string &name)
{
    return std::any_of(kPackageOwnFiles.begin(), kPackageOwnFiles.end(),
                       [&name](const char *own) { return vesk::sameFileName(name, own); });
}

// The package's plain files, links not followed: only these are installed.
std::vector<std::string> plainFilesOf(const std::string &directory)
{
    std::vector<std::string> names;
    for (const std::string &name : vesk::namesIn(directory)) {
        if (vesk::entryKind(vesk::joinPath(directory, name)) == vesk::EntryKind::File)
            names.push_back(name);
    }
    return names;
}

// The target's file for a name: its existing spelling, else the name.
std::string spelledIn(const std::vector<std::string> &targetNames, const std::string &name)
{
    const std::string *spelling = vesk::spellingAmong(targetNames, name);
    return spelling ? *spelling : name;
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
    if (!fs::is_directory(vesk::fsPath(packageDirectory), ec))
        return vesk::cannotRead(packageDirectory, ec ? ec : std::make_error_code(std::errc::not_a_directory));
    const std::vector<std::string> targetNames = vesk::namesIn(target);
    for (const std::string &name : plainFilesOf(packageDirectory)) {
        if (isPackageOwnFile(name))
            continue;
        const fs::path file = vesk::fsPath(vesk::joinPath(packageDirectory, name));
        const std::string installed = vesk::joinPath(target, spelledIn(targetNames, name));
        const auto same = sameBytes(file, vesk::fsPath(installed));
        if (!same)
            return Status::failure(vesk::ErrorCode::NotFound, name + " did not arrive in " + target);
        if (!*same)
            return Status::failure(vesk::ErrorCode::Io, installed + " does not hold the package's bytes");
    }
    return Status::success();
}

std::vector<std::string> filesTheInstallTouches(const std::string &packageDirectory, const std::string &target)
{
    const std::vector<std::string> targetNames = vesk::namesIn(target);
    std::vector<std::string> names;
    for (const std::string &name : plainFilesOf(packageDirectory)) {
        if (!isPackageOwnFile(name) && !vesk::sameFileName(name, vesk::kInstallBatch))
            names.push_back(spelledIn(targetNames, name));
    }
    names.push_back(spelledIn(targetNames, vesk::kInstallBatch));
    for (const char *own : kPackageOwnFiles) {
        if (const std::string *spelling = vesk::spellingAmong(targetNames, own))
            names.push_back(*spelling);
    }
    return names;
}

Status writeBatchFile(const std::string &batchFile, const std::string &target)
{
    return vesk::writeTextFile(batchFile, batchLines(target));
}

Status runBatchFile(const std::string &batchFile, const std::string &workingDirectory)
{
    const vesk::Result<std::string> text = vesk::readFile(batchFile, vesk::kSmallFileLimit, vesk::Overflow::Refuse);
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
            // Names are matched as Windows matches them: a copy of bomb1.wa2
            // replaces the target's BOMB1.WA2.
            const std::string target = batchPath(line.substr(kCopy.size()));
            const std::vector<std::string> targetNames = vesk::namesIn(target);
            for (const std::string &name : plainFilesOf(workingDirectory)) {
                std::error_code fileError;
                const std::string source = vesk::joinPath(workingDirectory, name);
                vesk::copyFileReplacing(source, vesk::joinPath(target, spelledIn(targetNames, name)), fileError);
                if (fileError && firstFailure.empty())
                    firstFailure = "cannot copy " + source + ": " + vesk::reasonText(fileError);
            }
        } else if (startsWith(line, kDelete)) {
            const fs::path doomed = vesk::fsPath(batchPath(line.substr(kDelete.size())));
            const std::string folder = doomed.parent_path().string();
            fs::remove(
                vesk::fsPath(vesk::joinPath(folder, spelledIn(vesk::namesIn(folder), doomed.filename().string()))), ec);
        }
        if (ec && firstFailure.empty())
            firstFailure = line + ": " + vesk::reasonText(ec);
    }
    // Like the command interpreter, the batch goes on past a failing line.
    return firstFailure.empty() ? Status::success() : Status::failure(firstFailure);
}

} // namespace vpak
