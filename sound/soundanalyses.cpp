#include "soundanalyses.h"

#include "fileops.h"

#include <algorithm>
#include <atomic>

namespace vesk {

namespace {

// Results kept for files no longer asked for, beyond those asked for now.
constexpr std::size_t kKeptResults = 256;

} // namespace

SoundAnalyses::SoundAnalyses(std::function<void()> arrived, unsigned threads) : m_arrived(std::move(arrived))
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

std::optional<SoundAnalyses::Key> SoundAnalyses::keyOf(const std::string &path)
{
    std::error_code ec;
    const FileStatus status = fileStatus(path, ec);
    if (ec)
        return std::nullopt;
    return Key{status.size, status.modified};
}

void SoundAnalyses::request(const std::vector<std::string> &paths)
{
    std::vector<Job> wanted;
    for (const std::string &path : paths) {
        if (std::any_of(wanted.begin(), wanted.end(), [&](const Job &job) { return job.path == path; }))
            continue;
        // A file that cannot be looked at is analysed all the same, for
        // the reason the analysis gives.
        wanted.push_back({path, keyOf(path).value_or(Key{}), nullptr});
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto isWanted = [&](const std::string &path, const Key &key) {
            return std::any_of(wanted.begin(), wanted.end(),
                               [&](const Job &job) { return job.path == path && job.key == key; });
        };
        for (Job &job : m_running)
            if (!isWanted(job.path, job.key))
                *job.cancelled = true;
        m_queue.clear();
        for (Job &job : wanted) {
            const auto done = m_done.find(job.path);
            const bool known = done != m_done.end() && done->second.key == job.key;
            const bool running = std::any_of(m_running.begin(), m_running.end(), [&](const Job &r) {
                return r.path == job.path && r.key == job.key && !*r.cancelled;
            });
            if (!known && !running) {
                job.cancelled = std::make_shared<std::atomic<bool>>(false);
                m_queue.push_back(std::move(job));
            }
        }
        // What is no longer asked for goes, beyond a few hundred results.
        for (auto it = m_done.begin(); it != m_done.end() && m_done.size() > kKeptResults + wanted.size();)
            it = isWanted(it->first, it->second.key) ? std::next(it) : m_done.erase(it);
    }
    m_wake.notify_all();
}

SoundAnalyses::Entry SoundAnalyses::find(const std::string &path) const
{
    const std::optional<Key> key = keyOf(path);
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto done = m_done.find(path);
    if (done == m_done.end() || !(done->second.key == key.value_or(Key{})))
        return nullptr;
    return done->second.entry;
}

bool SoundAnalyses::busy() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_queue.empty() || !m_running.empty();
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
        const std::shared_ptr<std::atomic<bool>> cancelled = job.cancelled;
        auto result = std::make_shared<const Result<SoundAnalysis>>(
            analyseSound(job.path, [&cancelled] { return !*cancelled; }));
        lock.lock();
        m_running.erase(
            std::find_if(m_running.begin(), m_running.end(), [&](const Job &r) { return r.cancelled == cancelled; }));
        if (*cancelled || result->code() == ErrorCode::Cancelled)
            continue;
        m_done[job.path] = Done{job.key, std::move(result)};
        lock.unlock();
        if (m_arrived)
            m_arrived();
        lock.lock();
    }
}

} // namespace vesk
