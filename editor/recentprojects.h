#pragma once

#include "status.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

// The projects opened or saved last, newest first, as the bytes of their
// paths, kept per user in a file of its own in the settings location. A
// list without a file (none given) is kept for the session only.
class RecentProjects
{
public:
    static constexpr std::size_t kCount = 8;

    RecentProjects() = default;
    explicit RecentProjects(std::string file) : m_file(std::move(file)) {}

    // Reads the file. A missing one is an empty list; a damaged, foreign or
    // newer one is left aside (the list stays empty, the file as it is) and
    // the reason is returned, naming the file.
    std::optional<std::string> read();

    const std::vector<std::string> &paths() const { return m_paths; }
    // Each writes the list at once, atomically; a failure names the file
    // and the reason, and the list still holds the change for the session.
    Status add(const std::string &path); // to the front, once
    Status remove(const std::string &path);
    Status clear();

private:
    Status write() const;

    std::string m_file;
    std::vector<std::string> m_paths;
};

// The list's file, beside the settings file.
std::string recentProjectsFile(const std::string &settingsFile);
// A file beside the settings file.
std::string besideSettings(const std::string &settingsFile, const std::string &name);

// "&1 Ocean.vsk": the number, then the file's name, decoded for display with
// any '&' doubled so that it is shown and not taken as an access key.
std::string recentItemCaption(std::size_t position, const std::string &path);

} // namespace vesk
