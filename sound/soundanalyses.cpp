#include "soundanalyses.h"

#include "fileops.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <new>
#include <string_view>
#include <unordered_set>

namespace vesk {

namespace {

// Results kept for files no longer asked for, beyond those asked for now.
constexpr std::size_t kKeptResults = 256;

} // namespace

SoundAnalyses::SoundAnalyses(std::function<void()> arrived, unsigned threads, Analyse analyse)
    : m_arrived(std::move(arrived)), m_analyse(analyse ? std::move(analyse) : Analyse(analyseSound))
{
    const unsigned count = threads ? threads : std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < count; ++i)
        m_threads.emplace_back([this] { work(); });
}

SoundAnalyses::~SoundAnalyses()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
        for (Job &job : m_running)
            *job.cancelled = true;
    }
    m_wake.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

// A file that cannot be looked at has the empty key, and is analysed all
// the same, for the reason the analysis gives.
SoundAnalyses::Key SoundAnalyses::keyOf(const std::string &path)
{
    std::error_code ec;
    const FileStatus status = fileStatus(path, ec);
    if (ec)
        return Key{};
    return Key{status.size, status.modified};
}

bool SoundAnalyses::pending(const std::string &path, const Key &key) const
{
    // A queued job without a key looks at the file when it starts, so it
    // finds any change made until then; one started may have looked before.
    const auto queued
        = [&](const Job &job) { return job.path == path && (!job.key || *job.key == key) && !*job.cancelled; };
    const auto running
        = [&](const Job &job) { return job.path == path && job.key && *job.key == key && !*job.cancelled; };
    return std::any_of(m_queue.begin(), m_queue.end(), queued)
           || std::any_of(m_running.begin(), m_running.end(), running);
}

void SoundAnalyses::request(const std::vector<std::string> &paths)
{
    // The files are not looked at here: a folder of 100,000 sounds is asked
    // for at once, from the window's thread. One measured already is not
    // measured again until find() sees it changed; the others' threads look
    // at them, and a file measured as it is meanwhile is passed over.
    std::unordered_set<std::string_view> wanted;
    std::vector<std::string_view> inOrder;
    for (const std::string &path : paths)
        if (wanted.insert(path).second)
            inOrder.push_back(path);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::unordered_set<std::string_view> running;
        for (Job &job : m_running) {
            if (!wanted.count(job.path))
                *job.cancelled = true;
            else if (!*job.cancelled)
                running.insert(job.path);
        }
        m_queue.clear();
        for (const std::string_view path : inOrder)
            if (!running.count(path) && m_done.find(std::string(path)) == m_done.end())
                m_queue.push_back({std::string(path), std::nullopt, std::make_shared<std::atomic<bool>>(false)});
        // What is no longer asked for goes, beyond a few hundred results.
        for (auto it = m_done.begin(); it != m_done.end() && m_done.size() > kKeptResults + wanted.size();)
            it = wanted.count(it->first) ? std::next(it) : m_done.erase(it);
    }
    m_wake.notify_all();
}

void SoundAnalyses::add(const std::vector<std::string> &paths)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
            const Key key = keyOf(*path);
            // One already queued moves to the front.
            const auto queued = std::find_if(m_queue.begin(), m_queue.end(), [&](const Job &job) {
                return job.path == *path && (!job.key || *job.key == key) && !*job.cancelled;
            });
            if (queued != m_queue.end()) {
                Job job = std::move(*queued);
                m_queue.erase(queued);
                m_queue.push_front(std::move(job));
                continue;
            }
            const auto done = m_done.find(*path);
            if ((done == m_done.end() || !(done->second.key == key)) && !pending(*path, key))
                m_queue.push_front({*path, key, std::make_shared<std::atomic<bool>>(false)});
        }
    }
    m_wake.notify_all();
}

SoundAnalyses::Entry SoundAnalyses::await(const std::string &path, const std::function<bool()> &keepWaiting)
{
    constexpr auto kAnswerEvery = std::chrono::milliseconds(30);
    for (;;) {
        // Asked again each time: a request meanwhile may have dropped it.
        add({path});
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            const auto current = [&] {
                const auto done = m_done.find(path);
                return done != m_done.end() && done->second.key == keyOf(path) ? done->second.entry : nullptr;
            };
            if (m_stored.wait_for(lock, kAnswerEvery, [&] { return current() != nullptr; }))
                return current();
        }
        if (keepWaiting && !keepWaiting())
            return nullptr;
    }
}

SoundAnalyses::Entry SoundAnalyses::find(const std::string &path) const
{
    {
        // A file never measured costs no look at the disk.
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_done.find(path) == m_done.end())
            return nullptr;
    }
    const Key key = keyOf(path);
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto done = m_done.find(path);
    if (done == m_done.end())
        return nullptr;
    if (!(done->second.key == key) && !pending(path, key)) {
        m_queue.push_front({path, key, std::make_shared<std::atomic<bool>>(false)});
        m_wake.notify_one();
    }
    return done->second.entry;
}

SoundAnalyses::Entry SoundAnalyses::stored(const std::string &path) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto done = m_done.find(path);
    return done == m_done.end() ? nullptr : done->second.entry;
}

SoundAnalyses::Entry SoundAnalyses::findCurrent(const std::string &path) const
{
    const Key key = keyOf(path);
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto done = m_done.find(path);
    if (done == m_done.end() || !(done->second.key == key))
        return nullptr;
    return done->second.entry;
}

bool SoundAnalyses::busy() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_queue.empty() || !m_running.empty();
}

bool SoundAnalyses::queued() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_queue.empty();
}

Result<SoundAnalysis> SoundAnalyses::analyse(const Job &job) const
{
    // Whatever goes wrong in measuring one file is that file's failure,
    // never the end of the program.
    try {
        return m_analyse(job.path, [cancelled = job.cancelled] { return !*cancelled; });
    } catch (const std::bad_alloc &) {
        return Status::failure(ErrorCode::TooLarge, "not enough memory to measure it");
    } catch (const std::exception &error) {
        return Status::failure(ErrorCode::Io, std::string("cannot be measured: ") + error.what());
    } catch (...) {
        return Status::failure(ErrorCode::Io, "cannot be measured");
    }
}

void SoundAnalyses::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping)
            return;
        Job job = std::move(m_queue.front());
        m_queue.pop_front();
        m_running.push_back(job);
        lock.unlock();
        // The result belongs to the file as it was read: one written while
        // it was read is measured again.
        const Key read = keyOf(job.path);
        const auto finished = [&] {
            m_running.erase(std::find_if(m_running.begin(), m_running.end(),
                                         [&](const Job &r) { return r.cancelled == job.cancelled; }));
        };
        if (!job.key) {
            lock.lock();
            const auto done = m_done.find(job.path);
            if (done != m_done.end() && done->second.key == read) {
                finished(); // measured as it is already
                continue;
            }
            lock.unlock();
        }
        auto result = std::make_shared<const Result<SoundAnalysis>>(analyse(job));
        const Key after = keyOf(job.path);
        lock.lock();
        const bool wanted = !*job.cancelled && result->code() != ErrorCode::Cancelled;
        const bool stored = wanted && read == after;
        if (wanted && !stored && !pending(job.path, after))
            m_queue.push_front({job.path, after, job.cancelled});
        if (stored) {
            m_done[job.path] = Done{read, std::move(result)};
            m_stored.notify_all();
        }
        // The job counts as under way until the window is told: busy() is
        // never false before the last result's news has gone out.
        if (stored && m_arrived) {
            lock.unlock();
            m_arrived();
            lock.lock();
        }
        finished();
    }
}

} // namespace vesk
