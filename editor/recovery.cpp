#include "recovery.h"

#include "displaytext.h"
#include "files.h"
#include "paths.h"
#include "recentprojects.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace vesk {

namespace {

constexpr const char *kHeading = "VESK recovery";
constexpr int kVersion = 1;
// The most editors that keep recovery files at once.
constexpr int kSlots = 32;

std::string slotFile(const std::string &settingsFile, int slot, const char *extension)
{
    return besideSettings(settingsFile, "vesk-recovery-" + std::to_string(slot) + extension);
}

} // namespace

std::vector<std::string> recoveryFileLines(const RecoveredTheme &theme)
{
    std::vector<std::string> lines = {std::string(kHeading) + " " + std::to_string(kVersion),
                                      std::to_string(static_cast<long long>(theme.written)), theme.projectPath};
    std::vector<std::string> project;
    if (projectFileLines(theme.project, project).ok())
        lines.insert(lines.end(), project.begin(), project.end());
    return lines;
}

Result<RecoveredTheme> readRecoveryFile(const std::string &path)
{
    const Result<std::string> text = readFile(path, kProjectFileLimit + 64 * 1024, Overflow::Refuse);
    if (!text)
        return Status::failure(text.code(), "The recovery file " + path + " cannot be read: " + text.error());
    const auto damaged = [&](const std::string &why) {
        return Status::failure(ErrorCode::BadFormat, "The recovery file " + path + " is left aside: " + why + ".");
    };
    if (text->empty())
        return damaged("it is empty");
    std::size_t at = 0;
    const auto line = [&]() -> std::optional<std::string> {
        const std::size_t end = text->find('\n', at);
        if (end == std::string::npos)
            return std::nullopt;
        std::string read = text->substr(at, end - at);
        if (!read.empty() && read.back() == '\r')
            read.pop_back();
        at = end + 1;
        return read;
    };
    const std::string heading = std::string(kHeading) + " ";
    const std::optional<std::string> first = line();
    if (!first || first->rfind(heading, 0) != 0)
        return damaged("it is no recovery file of VESK");
    if (*first != heading + std::to_string(kVersion))
        return damaged("it was written by another version of VESK (" + first->substr(heading.size()) + ")");
    const std::optional<std::string> written = line(), project = line();
    RecoveredTheme theme;
    try {
        std::size_t used = 0;
        theme.written = static_cast<std::time_t>(std::stoll(written.value_or(std::string()), &used));
        if (used != written->size())
            return damaged("its time is no number");
    } catch (const std::exception &) {
        return damaged("its time is no number");
    }
    if (!project)
        return damaged("it ends early");
    theme.projectPath = *project;
    Result<Project> parsed = parseProject(text->substr(at));
    if (!parsed)
        return damaged("its theme is damaged: " + parsed.error());
    theme.project = std::move(parsed).value();
    return theme;
}

std::string recoveryQuestion(const RecoveredTheme &theme)
{
    char time[16] = "";
    if (const std::tm *local = std::localtime(&theme.written))
        std::strftime(time, sizeof time, "%H:%M", local);
    const std::string to = theme.projectPath.empty()
                               ? "a new theme"
                               : displayText(theme.projectPath.substr(fileNameStart(theme.projectPath)));
    return "VESK did not close properly. Recover the unsaved changes to " + to + " from " + time + "?";
}

Recovery::Recovery(std::string settingsFile) : m_settingsFile(std::move(settingsFile)) {}

Recovery::~Recovery()
{
    if (m_writing.valid())
        m_writing.wait();
}

Result<std::optional<std::string>> Recovery::start()
{
    if (m_settingsFile.empty())
        return std::optional<std::string>();
    // The newest file no running editor owns, else the first free place.
    std::vector<std::pair<std::filesystem::file_time_type, int>> found;
    for (int slot = 1; slot <= kSlots; ++slot) {
        std::error_code ec;
        const auto time = std::filesystem::last_write_time(fsPath(slotFile(m_settingsFile, slot, ".cfg")), ec);
        if (!ec)
            found.emplace_back(time, slot);
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    for (const auto &[time, slot] : found) {
        if ((m_lock = OwnerLock::tryLock(slotFile(m_settingsFile, slot, ".lock")))) {
            m_file = slotFile(m_settingsFile, slot, ".cfg");
            return std::optional<std::string>(m_file);
        }
    }
    for (int slot = 1; slot <= kSlots; ++slot) {
        std::error_code ec;
        if (std::filesystem::exists(fsPath(slotFile(m_settingsFile, slot, ".cfg")), ec))
            continue;
        if ((m_lock = OwnerLock::tryLock(slotFile(m_settingsFile, slot, ".lock")))) {
            m_file = slotFile(m_settingsFile, slot, ".cfg");
            return std::optional<std::string>();
        }
    }
    return Status::failure(ErrorCode::Io,
                           "Unsaved changes cannot be kept for recovery: no file can be made beside " + m_settingsFile);
}

Status Recovery::collect()
{
    if (!m_writing.valid())
        return Status::success();
    Status status = m_writing.get();
    if (status.ok())
        m_written = true;
    return status;
}

Status Recovery::keep(const Project &project, const std::string &projectPath, bool changed, unsigned long long revision)
{
    if (m_file.empty())
        return Status::success();
    if (m_writing.valid() && m_writing.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return Status::success(); // the next call takes it up
    Status done = collect();
    if (m_revision == revision)
        return done;
    m_revision = revision;
    if (!changed) {
        remove();
        return done;
    }
    // The lines are made here, the file is written off the window's thread.
    RecoveredTheme theme{projectPath, std::time(nullptr), project};
    m_writing = std::async(std::launch::async, [file = m_file, lines = recoveryFileLines(theme)] {
        return writeTextFileAtomically(file, lines);
    });
    return done;
}

void Recovery::remove()
{
    if (m_keepFound && !m_written)
        return;
    std::error_code ec;
    std::filesystem::remove(fsPath(m_file), ec);
}

void Recovery::discard()
{
    if (m_file.empty())
        return;
    // A write that failed leaves nothing to keep; the file goes either way.
    if (m_writing.valid())
        static_cast<void>(collect());
    remove();
    const std::string lock = m_file.substr(0, m_file.size() - 4) + ".lock";
    m_lock.reset();
    std::error_code ec;
    std::filesystem::remove(fsPath(lock), ec);
    m_file.clear();
}

} // namespace vesk
