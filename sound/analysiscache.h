#pragma once

#include "soundanalyses.h"
#include "soundanalysis.h"
#include "status.h"

#include <cstddef>
#include <cstdint>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace vesk {

// Sounds' figures kept on disk between runs, keyed by the file's path, size
// and time of last writing, so that a folder measured once shows its figures
// at once the next time. One file holds them all: read whole, written
// atomically, and kept under a size bound by dropping the figures used
// longest ago. A damaged, foreign or newer file is never trusted: it is left
// aside and written anew. The pictures are kept at the width of a row's.
class AnalysisCache
{
public:
    static constexpr std::size_t kDefaultLimit = 32 * 1024 * 1024;
    static constexpr std::size_t kPictureColumns = 256;

    explicit AnalysisCache(std::string file, std::size_t limit = kDefaultLimit);
    ~AnalysisCache();
    AnalysisCache(const AnalysisCache &) = delete;
    AnalysisCache &operator=(const AnalysisCache &) = delete;

    // Reads the file; false when it was missing, damaged, foreign or newer
    // (the cache is then empty).
    bool load();
    // What the cache holds of `path` as the file is now.
    std::optional<Result<SoundAnalysis>> find(const std::string &path);
    void store(const std::string &path, const Result<SoundAnalysis> &analysis);
    // Writes the file when something was stored since; the folder is made.
    Status save();
    // The same on a thread of its own, so that a window does not wait for
    // it; save() and the cache's end wait for it to finish.
    void saveInBackground();
    std::size_t size() const;

    // A measuring function for SoundAnalyses: the cache's figures where it
    // holds the file as it is, else the sound measured and kept.
    SoundAnalyses::Analyse analyse();

    // The bytes of the file and what they hold, for the file's own checks.
    struct Entry
    {
        std::uintmax_t size = 0;
        std::int64_t modified = 0;
        std::uint64_t used = 0; // the later, the more recently
        Result<SoundAnalysis> analysis = Status::failure("not measured");
    };
    static std::string encode(const std::map<std::string, Entry> &entries);
    static std::optional<std::map<std::string, Entry>> decode(const std::string &bytes);

private:
    Status write();

    std::string m_file;
    std::size_t m_limit;
    mutable std::mutex m_mutex;
    std::map<std::string, Entry> m_entries;
    std::uint64_t m_clock = 0;
    bool m_changed = false;
    std::future<Status> m_saving; // the save under way, if any
};

} // namespace vesk
