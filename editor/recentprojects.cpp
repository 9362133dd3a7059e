#include "recentprojects.h"

#include "displaytext.h"
#include "files.h"
#include "paths.h"

#include <algorithm>

namespace vesk {

namespace {

constexpr const char *kHeading = "VESK recent projects";
constexpr int kVersion = 1;

} // namespace

std::string besideSettings(const std::string &settingsFile, const std::string &name)
{
    return settingsFile.substr(0, fileNameStart(settingsFile)) + name;
}

std::string recentProjectsFile(const std::string &settingsFile)
{
    return besideSettings(settingsFile, "vesk-recent.cfg");
}

std::string recentItemCaption(std::size_t position, const std::string &path)
{
    std::string caption = "&" + std::to_string(position) + " ";
    for (const char c : displayText(path.substr(fileNameStart(path)))) {
        caption += c;
        if (c == '&')
            caption += '&';
    }
    return caption;
}

std::optional<std::string> RecentProjects::read()
{
    m_paths.clear();
    if (m_file.empty() || !std::filesystem::exists(fsPath(m_file)))
        return std::nullopt;
    const Result<std::string> text = readFile(m_file, kSmallFileLimit, Overflow::Refuse);
    if (!text)
        return "The list of recent projects " + m_file + " cannot be read: " + text.error();
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text->size();) {
        std::size_t end = text->find('\n', at);
        if (end == std::string::npos)
            end = text->size();
        std::string line = text->substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        at = end + 1;
    }
    const std::string heading = std::string(kHeading) + " ";
    std::string why;
    if (lines.empty() || lines[0].rfind(heading, 0) != 0)
        why = "it is no list of recent projects";
    else if (lines[0] != heading + std::to_string(kVersion))
        why = "it was written by another version of VESK (" + lines[0].substr(heading.size()) + ")";
    else if (lines.size() > kCount + 1)
        why = "it holds more than " + std::to_string(kCount) + " projects";
    else if (std::any_of(lines.begin() + 1, lines.end(),
                         [](const std::string &line) { return line.empty() || line.find('\0') != std::string::npos; }))
        why = "it holds an empty name";
    if (!why.empty())
        return "The list of recent projects " + m_file + " is left aside: " + why + ".";
    m_paths.assign(lines.begin() + 1, lines.end());
    return std::nullopt;
}

Status RecentProjects::add(const std::string &path)
{
    // A name the list cannot hold on a line of its own stays off it.
    if (path.empty() || path.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return Status::success();
    m_paths.erase(std::remove(m_paths.begin(), m_paths.end(), path), m_paths.end());
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > kCount)
        m_paths.resize(kCount);
    return write();
}

Status RecentProjects::remove(const std::string &path)
{
    m_paths.erase(std::remove(m_paths.begin(), m_paths.end(), path), m_paths.end());
    return write();
}

Status RecentProjects::clear()
{
    m_paths.clear();
    return write();
}

Status RecentProjects::write() const
{
    if (m_file.empty())
        return Status::success();
    std::vector<std::string> lines = {std::string(kHeading) + " " + std::to_string(kVersion)};
    lines.insert(lines.end(), m_paths.begin(), m_paths.end());
    return writeTextFileAtomically(m_file, lines);
}

} // namespace vesk
