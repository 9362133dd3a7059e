#include "gamebackup.h"

#include "fieldreader.h"
#include "paths.h"
#include "textfile.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

namespace vesk {

namespace fs = std::filesystem;

namespace {

std::string folderOf(const std::string &gameDirectory)
{
    return joinPath(gameDirectory, kBackupFolder);
}

// Names compare as Windows compares them: without regard to letter case.
std::string folded(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return name;
}

Result<std::vector<std::string>> readAddedList(const std::string &folder, bool &present)
{
    const std::string path = joinPath(folder, kAddedList);
    std::error_code ec;
    present = fs::exists(fs::path(path), ec);
    std::vector<std::string> names;
    if (!present)
        return names;
    Result<std::string> read = readFile(path, kProjectFileLimit, Overflow::Refuse);
    if (!read)
        return read.status();
    std::istringstream lines(*read);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            names.push_back(line);
    }
    return names;
}

Status copyFailure(const std::string &from, const std::string &to, const std::error_code &ec)
{
    return Status::failure(codeOf(ec), "cannot copy " + from + " to " + to + ": " + reasonText(ec));
}

} // namespace

Result<BackupRecord> recordBeforeReplacing(const std::string &gameDirectory, const std::vector<std::string> &names)
{
    BackupRecord record;
    record.gameDirectory = gameDirectory;
    const std::string folder = folderOf(gameDirectory);
    std::error_code ec;
    if (!fs::is_directory(fs::path(folder), ec)) {
        if (!fs::create_directory(fs::path(folder), ec))
            return Status::failure(codeOf(ec), "cannot create " + folder + ": " + reasonText(ec));
        record.createdFolder = true;
    }
    Result<std::vector<std::string>> added = readAddedList(folder, record.hadAddedList);
    if (!added) {
        undoRecord(record);
        return added.status();
    }
    record.previousAdded = *added;
    std::set<std::string> known;
    for (const std::string &name : *added)
        known.insert(folded(name));
    for (const auto &entry : fs::directory_iterator(fs::path(folder), ec))
        known.insert(folded(entry.path().filename().string()));

    std::vector<std::string> addedNow = *added;
    for (const std::string &name : names) {
        if (known.count(folded(name)))
            continue;
        known.insert(folded(name));
        const std::string original = joinPath(gameDirectory, name);
        if (!fs::exists(fs::path(original), ec)) {
            addedNow.push_back(name);
            continue;
        }
        const std::string kept = joinPath(folder, name);
        fs::copy_file(fs::path(original), fs::path(kept), ec);
        if (ec) {
            const Status failed = copyFailure(original, kept, ec);
            undoRecord(record);
            return failed;
        }
        record.copied.push_back(name);
    }
    if (addedNow.size() != added->size()) {
        const Status written = writeTextFileAtomically(joinPath(folder, kAddedList), addedNow);
        if (!written.ok()) {
            undoRecord(record);
            return written;
        }
    }
    return record;
}

Status undoRecord(const BackupRecord &record)
{
    const std::string folder = folderOf(record.gameDirectory);
    std::error_code ec;
    if (record.createdFolder) {
        fs::remove_all(fs::path(folder), ec);
        return ec ? Status::failure(codeOf(ec), "cannot remove " + folder + ": " + reasonText(ec)) : Status::success();
    }
    Status first = Status::success();
    for (const std::string &name : record.copied) {
        fs::remove(fs::path(joinPath(folder, name)), ec);
        if (ec && first.ok())
            first = Status::failure(codeOf(ec), "cannot remove " + joinPath(folder, name) + ": " + reasonText(ec));
    }
    const std::string list = joinPath(folder, kAddedList);
    if (!record.hadAddedList) {
        fs::remove(fs::path(list), ec);
    } else {
        const Status restored = writeTextFileAtomically(list, record.previousAdded);
        if (!restored.ok() && first.ok())
            first = restored;
    }
    return first;
}

bool hasBackup(const std::string &gameDirectory)
{
    std::error_code ec;
    const fs::path folder(folderOf(gameDirectory));
    return fs::is_directory(folder, ec) && fs::directory_iterator(folder, ec) != fs::directory_iterator();
}

std::string restoreSummary(const RestoreCount &count)
{
    const auto files = [](int n) { return std::to_string(n) + (n == 1 ? " file" : " files"); };
    return "The game's own sounds are back: " + files(count.putBack) + " put back, " + files(count.removed)
           + " removed.";
}

Result<RestoreCount> restoreOriginals(const std::string &gameDirectory)
{
    const std::string folder = folderOf(gameDirectory);
    RestoreCount count;
    bool present = false;
    Result<std::vector<std::string>> added = readAddedList(folder, present);
    if (!added)
        return added.status();
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(fs::path(folder), ec)) {
        const std::string name = entry.path().filename().string();
        if (name == kAddedList)
            continue;
        const std::string target = joinPath(gameDirectory, name);
        std::error_code copyError;
        copyFileReplacing(entry.path().string(), target, copyError);
        if (copyError)
            return copyFailure(entry.path().string(), target, copyError);
        ++count.putBack;
    }
    if (ec)
        return cannotRead(folder, ec);
    for (const std::string &name : *added) {
        const std::string target = joinPath(gameDirectory, name);
        const bool removed = fs::remove(fs::path(target), ec);
        if (ec)
            return Status::failure(codeOf(ec), "cannot remove " + target + ": " + reasonText(ec));
        count.removed += removed ? 1 : 0;
    }
    fs::remove_all(fs::path(folder), ec);
    if (ec)
        return Status::failure(codeOf(ec), "cannot remove " + folder + ": " + reasonText(ec));
    return count;
}

ReplaceJournal::~ReplaceJournal()
{
    // Neither committed nor rolled back: a failure path forgot it; be safe.
    if (!m_entries.empty())
        rollBack();
}

Status ReplaceJournal::moveAside(const std::string &name)
{
    return keep(name, true);
}

Status ReplaceJournal::copyAside(const std::string &name)
{
    return keep(name, false);
}

Status ReplaceJournal::keep(const std::string &name, bool move)
{
    const std::string path = joinPath(m_directory, name);
    std::error_code ec;
    if (!fs::exists(fs::path(path), ec)) {
        m_entries.push_back({name, std::string()});
        return Status::success();
    }
    const Result<std::string> aside = createUniqueFile(m_directory, "." + name + ".old");
    if (!aside)
        return aside.status();
    if (move)
        fs::rename(fs::path(path), fs::path(*aside), ec);
    else
        copyFileReplacing(path, *aside, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(fs::path(*aside), ignored);
        return copyFailure(path, *aside, ec);
    }
    m_entries.push_back({name, *aside});
    return Status::success();
}

Status ReplaceJournal::rollBack()
{
    Status first = Status::success();
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry) {
        const std::string path = joinPath(m_directory, entry->name);
        std::error_code ec;
        if (entry->aside.empty())
            fs::remove(fs::path(path), ec);
        else
            fs::rename(fs::path(entry->aside), fs::path(path), ec);
        if (ec && first.ok())
            first = Status::failure(codeOf(ec), "cannot put back " + path + ": " + reasonText(ec));
    }
    m_entries.clear();
    return first;
}

void ReplaceJournal::commit()
{
    for (const Entry &entry : m_entries) {
        std::error_code ignored;
        if (!entry.aside.empty())
            fs::remove(fs::path(entry.aside), ignored);
    }
    m_entries.clear();
}

} // namespace vesk
