#include "installbatch.h"

#include "fileops.h"
#include "files.h"
#include "paths.h"
#include "texttools.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

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
    std::error_code ec;
    if (!vesk::isFolder(target))
        return Status::failure("the directory " + target + " does not exist; choose the game directory");
    if (vesk::sameFile(target, packageDirectory, ec))
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
    std::error_code ec;
    for (const vesk::DirectoryEntry &entry : vesk::listDirectory(directory, ec)) {
        if (entry.kind == vesk::EntryKind::File)
            names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The target's file for a name: its existing spelling, else the name.
std::string spelledIn(const std::vector<std::string> &targetNames, const std::string &name)
{
    const std::string *spelling = vesk::spellingAmong(targetNames, name);
    return spelling ? *spelling : name;
}

enum class Compared {
    Same,
    Differs,
    Unreadable, // the copy
    Cancelled,
};

// Whether two files hold the same bytes, compared a block at a time; `read`
// hears of every block and may cancel.
Compared compareBytes(const std::string &original, const std::string &copy,
                      const std::function<bool(std::size_t)> &read)
{
    const vesk::FilePtr a(vesk::openFile(original, "rb")), b(vesk::openFile(copy, "rb"));
    if (!b)
        return Compared::Unreadable;
    std::error_code ec;
    if (!a || vesk::fileSize(original, ec) != vesk::fileSize(copy, ec))
        return Compared::Differs;
    std::vector<char> x(1 << 20), y(x.size());
    for (;;) {
        const size_t got = std::fread(x.data(), 1, x.size(), a.get());
        if (std::fread(y.data(), 1, y.size(), b.get()) != got || std::memcmp(x.data(), y.data(), got) != 0)
            return Compared::Differs;
        if (!read(got))
            return Compared::Cancelled;
        if (got < x.size())
            return std::ferror(a.get()) || std::ferror(b.get()) ? Compared::Differs : Compared::Same;
    }
}

} // namespace

Status checkInstalled(const std::string &packageDirectory, const std::string &target, vesk::Progress &progress)
{
    if (!vesk::isFolder(packageDirectory))
        return vesk::cannotRead(packageDirectory, std::make_error_code(std::errc::not_a_directory));
    const std::vector<std::string> targetNames = vesk::namesIn(target);
    std::vector<std::string> names;
    double total = 0;
    for (const std::string &name : plainFilesOf(packageDirectory)) {
        std::error_code ec;
        if (!isPackageOwnFile(name)) {
            names.push_back(name);
            total += static_cast<double>(vesk::fileSize(vesk::joinPath(packageDirectory, name), ec)) + 1;
        }
    }
    double done = 0;
    for (const std::string &name : names) {
        const std::string installed = vesk::joinPath(target, spelledIn(targetNames, name));
        const Compared same = compareBytes(vesk::joinPath(packageDirectory, name), installed, [&](std::size_t bytes) {
            done += static_cast<double>(bytes);
            return progress.advance(installed, total > 0 ? done / total : 1);
        });
        done += 1;
        if (same == Compared::Unreadable)
            return Status::failure(vesk::ErrorCode::NotFound, name + " did not arrive in " + target);
        if (same == Compared::Differs)
            return Status::failure(vesk::ErrorCode::Io, installed + " does not hold the package's bytes");
        if (same == Compared::Cancelled)
            return Status::failure(vesk::ErrorCode::Cancelled, "cancelled");
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

    std::string firstFailure;
    for (const std::string_view read : vesk::textLines(*text)) {
        const std::string line(read);
        std::error_code ec;
        if (vesk::startsWith(line, kCopy)) {
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
        } else if (vesk::startsWith(line, kDelete)) {
            const fs::path doomed = vesk::fsPath(batchPath(line.substr(kDelete.size())));
            const std::string folder = doomed.parent_path().string();
            vesk::removeEntry(vesk::joinPath(folder, spelledIn(vesk::namesIn(folder), doomed.filename().string())), ec);
        }
        if (ec && firstFailure.empty())
            firstFailure = line + ": " + vesk::reasonText(ec);
    }
    // Like the command interpreter, the batch goes on past a failing line.
    return firstFailure.empty() ? Status::success() : Status::failure(firstFailure);
}

} // namespace vpak
