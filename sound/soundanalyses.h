#pragma once

#include "soundanalysis.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vesk {

// Sounds analysed in the background, on every core, each once for as long as
// its file stays the same (its path, size and time of last writing). A window
// asks for the sounds it shows, the first it wants first, and reads the
// results when told that one arrived; whatever it no longer asks for is
// cancelled.
class SoundAnalyses
{
public:
    using Entry = std::shared_ptr<const Result<SoundAnalysis>>;

    using Analyse
        = std::function<Result<SoundAnalysis>(const std::string &path, const std::function<bool()> &keepGoing)>;

    // `arrived` is called on a worker thread each time an analysis is done,
    // for the window to take to its own thread. `threads` 0: one a core.
    // `analyse` measures one file (analyseSound unless given).
    explicit SoundAnalyses(std::function<void()> arrived, unsigned threads = 0, Analyse analyse = {});
    ~SoundAnalyses();
    SoundAnalyses(const SoundAnalyses &) = delete;
    SoundAnalyses &operator=(const SoundAnalyses &) = delete;

    // The files wanted now, in the order wanted; work on any other file
    // stops. Files already analysed as they are cost nothing.
    void request(const std::vector<std::string> &paths);
    // Asks for `paths` too, before anything queued (those already queued
    // move to the front), leaving what was asked for before as it is.
    void add(const std::vector<std::string> &paths);
    // The analysis of `path` as the file is now, asked for first of all and
    // waited for: `keepWaiting` is called every few hundredths of a second
    // meanwhile (a progress window answers the player there), and false
    // from it gives nothing.
    Entry await(const std::string &path, const std::function<bool()> &keepWaiting = {});

    // The latest analysis of `path`; nothing before the first is done. A
    // file changed since it was measured is measured again, first of all,
    // and its old figures are given until the new ones arrive.
    Entry find(const std::string &path) const;
    // The analysis of `path` as the file is now; nothing while it is not done.
    Entry findCurrent(const std::string &path) const;
    // What is kept of `path`, with no look at the file: for results just
    // arrived, which are as current as find() would make sure.
    Entry stored(const std::string &path) const;
    // Whether anything is queued or under way.
    bool busy() const;
    // Whether any file still waits for a thread.
    bool queued() const;

private:
    struct Key
    {
        std::uintmax_t size = 0;
        std::int64_t modified = 0;
        bool operator==(const Key &other) const { return size == other.size && modified == other.modified; }
    };
    struct Job
    {
        std::string path;
        std::optional<Key> key; // none where the thread is to look (request)
        std::shared_ptr<std::atomic<bool>> cancelled;
    };
    struct Done
    {
        Key key;
        Entry entry;
    };
    static Key keyOf(const std::string &path);
    // Whether `path` as `key` is queued (or queued to be looked at) or being
    // measured; under the lock.
    bool pending(const std::string &path, const Key &key) const;
    Result<SoundAnalysis> analyse(const Job &job) const;
    void work();

    std::function<void()> m_arrived;
    Analyse m_analyse;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_wake;
    std::condition_variable m_stored; // a result was kept
    mutable std::deque<Job> m_queue;  // a find() of a changed file adds to it
    std::vector<Job> m_running;
    std::map<std::string, Done> m_done;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace vesk
