#include "soundplan.h"

#include "applytheme.h"
#include "displaytext.h"
#include "fileops.h"
#include "files.h"
#include "gamebackup.h"
#include "paths.h"
#include "slotsound.h"
#include "sounddecoder.h"
#include "wavecheck.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

namespace vesk {

namespace fs = std::filesystem;

std::optional<double> statedSeconds(const std::string &path)
{
    if (const std::optional<double> wave = waveSeconds(path))
        return wave;
    Result<std::unique_ptr<SoundDecoder>> decoder = SoundDecoder::open(path);
    if (!decoder || !(*decoder)->frames() || (*decoder)->format().rate <= 0)
        return std::nullopt;
    return static_cast<double>((*decoder)->frames()) / (*decoder)->format().rate;
}

std::vector<SlotPlan> planSounds(const SlotValues &slots, const std::array<SoundEdit, kSlotCount> &edits)
{
    std::vector<SlotPlan> plan;
    for (int k = 1; k <= kSlotCount; ++k) {
        const std::string &source = slots[static_cast<size_t>(k - 1)];
        if (isEmptySlot(source))
            continue;
        SlotPlan entry;
        entry.slot = k;
        entry.source = source;
        const SoundEdit &edit = edits[static_cast<size_t>(k - 1)];
        // A wave the game plays and the player did not edit is read no
        // further; a file that cannot be read at all is left to the step.
        entry.seconds = waveSeconds(source).value_or(0);
        if ((waveProblem(source) || !edit.empty()) && checkSlotFile(k, source).ok()) {
            Result<std::unique_ptr<SoundDecoder>> decoder = SoundDecoder::open(source);
            if (decoder) {
                const SoundDecoder &sound = **decoder;
                entry.step = SlotPlan::Step::Convert;
                entry.format = convertedFormat(sound.format());
                const Micros length = framesToMicros(sound.frames(), sound.format().rate);
                entry.edit = clampedEdit(edit, length);
                entry.seconds = length ? static_cast<double>(entry.edit.end.value_or(length) - entry.edit.start)
                                             / kMicrosPerSecond
                                       : 0;
            } else {
                entry.step = SlotPlan::Step::LeaveOut;
                entry.reason = decoder.error();
            }
        }
        plan.push_back(std::move(entry));
    }
    return plan;
}

bool judgeSounds(std::vector<SlotPlan> &plan, SlotMeasurements &measurements,
                 const std::optional<std::string> &gameDirectory, const std::function<bool()> &keepWaiting)
{
    std::vector<std::string> wanted;
    std::vector<std::optional<std::string>> gameFiles;
    for (const SlotPlan &entry : plan) {
        wanted.push_back(entry.source);
        gameFiles.push_back(gameDirectory ? gamesOwnFile(*gameDirectory, slotInfo(entry.slot).gameFile) : std::nullopt);
        if (gameFiles.back())
            wanted.push_back(*gameFiles.back());
    }
    measurements.add(wanted);
    for (std::size_t i = 0; i < plan.size(); ++i) {
        SlotPlan &entry = plan[i];
        if (entry.step == SlotPlan::Step::LeaveOut)
            continue;
        const SoundAnalyses::Entry sound = measurements.await(entry.source, keepWaiting);
        if (!sound)
            return false;
        if (!sound->ok()) {
            // A file that cannot be read at all is left to the step.
            if (sound->code() == ErrorCode::BadFormat) {
                entry.step = SlotPlan::Step::LeaveOut;
                entry.reason = sound->error();
            }
            continue;
        }
        entry.seconds = editedSeconds(**sound, entry.edit);
        if (gameFiles[i]) {
            const SoundAnalyses::Entry game = measurements.await(*gameFiles[i], keepWaiting);
            if (!game)
                return false;
            if (game->ok())
                entry.gameSeconds = (*game)->seconds();
        }
    }
    return true;
}

std::optional<std::string> longSoundQuestion(const std::vector<SlotPlan> &plan)
{
    std::string lines;
    for (const SlotPlan &entry : plan) {
        if (entry.step == SlotPlan::Step::LeaveOut || !muchLonger(entry.seconds, entry.gameSeconds))
            continue;
        lines += (lines.empty() ? "" : "; ") + slotDescription(entry.slot) + " " + entry.source + ": "
                 + lengthText(entry.seconds)
                 + (entry.gameSeconds ? ", the game's is " + lengthText(*entry.gameSeconds)
                                      : std::string(", the game has none"));
    }
    if (lines.empty())
        return std::nullopt;
    return "These sounds are much longer than the game's own: " + lines
           + ". Go on with them as they are? (No cancels.)";
}

std::optional<std::string> leaveOutQuestion(const std::vector<SlotPlan> &plan)
{
    std::string lines;
    for (const SlotPlan &entry : plan) {
        if (entry.step == SlotPlan::Step::LeaveOut)
            lines += slotDescription(entry.slot) + " " + entry.source + ": " + entry.reason + "\n";
    }
    if (lines.empty())
        return std::nullopt;
    return "These files cannot be used as sounds of the game:\n" + lines
           + "Leave these slots out and go on? (No cancels.)";
}

namespace {

// Work done side by side, watched from the thread that started it: each job
// has its share done and its state, which that thread reads to report
// progress and to pass on a cancel.
class Jobs
{
public:
    explicit Jobs(std::size_t count) : m_shares(new std::atomic<int>[count]), m_count(count)
    {
        for (std::size_t i = 0; i < count; ++i)
            m_shares[i] = -1;
    }

    // Runs job(i, share) for every i on as many threads as there are cores;
    // `report(at, done)` is called on this thread between, with the first
    // job under way; it returns false to cancel.
    void run(const std::function<void(std::size_t, const ProgressShare &)> &job,
             const std::function<bool(std::size_t at, double done)> &report)
    {
        const std::size_t threads = std::min<std::size_t>(m_count, std::max(1u, std::thread::hardware_concurrency()));
        // A player may cancel before anything starts.
        if (!report(0, 0.0))
            m_cancelled = true;
        std::vector<std::thread> workers;
        for (std::size_t t = 0; t < threads; ++t) {
            workers.emplace_back([this, &job] {
                for (std::size_t i; (i = m_next++) < m_count;) {
                    m_shares[i] = 0;
                    job(i, [this, i](double share) {
                        m_shares[i] = static_cast<int>(share * 1000);
                        return !m_cancelled;
                    });
                    m_shares[i] = 1000;
                    std::lock_guard<std::mutex> lock(m_mutex);
                    ++m_finished;
                    m_changed.notify_all();
                }
            });
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        while (m_finished < m_count) {
            m_changed.wait_for(lock, std::chrono::milliseconds(40));
            lock.unlock();
            std::size_t at = m_count;
            double done = 0;
            for (std::size_t i = 0; i < m_count; ++i) {
                const int share = m_shares[i];
                if (share >= 0 && share < 1000 && at == m_count)
                    at = i;
                done += share > 0 ? share / 1000.0 : 0.0;
            }
            if (!m_cancelled && !report(at, done / static_cast<double>(m_count)))
                m_cancelled = true;
            lock.lock();
        }
        lock.unlock();
        for (std::thread &worker : workers)
            worker.join();
    }
    void cancel() { m_cancelled = true; }

private:
    std::unique_ptr<std::atomic<int>[]> m_shares; // per mille, -1 before it starts
    std::size_t m_count;
    std::atomic<std::size_t> m_next{0};
    std::atomic<bool> m_cancelled{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_finished = 0;
};

} // namespace

Prepared prepareSounds(const std::vector<SlotPlan> &plan, const std::function<std::string(int slot)> &target,
                       bool withCopies, Progress &progress)
{
    std::vector<const SlotPlan *> work;
    for (const SlotPlan &entry : plan) {
        if (entry.step == SlotPlan::Step::Convert || (withCopies && entry.step == SlotPlan::Step::Copy))
            work.push_back(&entry);
    }
    Prepared prepared;
    if (work.empty())
        return prepared;
    prepared.sounds.resize(work.size());
    std::vector<Status> outcomes(work.size(), Status::success());
    Jobs jobs(work.size());
    jobs.run(
        [&](std::size_t i, const ProgressShare &share) {
            const SlotPlan &entry = *work[i];
            PreparedSound &sound = prepared.sounds[i];
            sound.slot = entry.slot;
            if (!share(0.0)) {
                outcomes[i] = Status::failure(ErrorCode::Cancelled, "cancelled");
                return;
            }
            const std::string place = target(entry.slot);
            const fs::path placePath = fsPath(place);
            const std::string folder = placePath.parent_path().string();
            const std::string stem = "." + placePath.filename().string() + ".new";
            if (entry.step == SlotPlan::Step::Copy) {
                // Copied straight to a fresh name: no file is made first
                // and then truncated, which would make the file system
                // flush it on close.
                Result<std::string> made = makeUnderFreshName(folder, stem, [&entry](const std::string &candidate) {
                    return copyToNewFile(entry.source, candidate);
                });
                if (made)
                    sound.file = std::move(made).value();
                else
                    outcomes[i]
                        = Status::failure(made.code(), slotDescription(entry.slot) + " could not be copied from "
                                                           + entry.source + " to " + place + ": " + made.error());
                return;
            }
            Result<std::string> made = createUniqueFile(folder, stem);
            if (!made) {
                outcomes[i] = made.status();
                jobs.cancel();
                return;
            }
            sound.file = std::move(made).value();
            Result<Conversion> converted = convertSound(entry.source, sound.file, entry.edit, share);
            if (converted)
                sound.conversion = std::move(converted).value();
            else if (converted.code() == ErrorCode::BadFormat)
                outcomes[i] = Status::failure(ErrorCode::BadFormat, slotDescription(entry.slot) + " " + entry.source
                                                                        + ": " + converted.error());
            else if (converted.code() == ErrorCode::Cancelled)
                outcomes[i] = converted.status();
            else
                outcomes[i]
                    = Status::failure(converted.code(), slotDescription(entry.slot) + " could not be converted from "
                                                            + entry.source + " to " + place + ": " + converted.error());
            // All or nothing: one failure ends the others too.
            if (!outcomes[i].ok())
                jobs.cancel();
        },
        [&](std::size_t at, double done) {
            return progress.advance(at < work.size() ? work[at]->source : std::string(), done);
        });

    // The first failure in slot order that is not the others' cancel.
    for (const bool cancels : {false, true}) {
        for (std::size_t i = 0; i < work.size() && prepared.status.ok(); ++i) {
            if (!outcomes[i].ok() && (cancels || outcomes[i].code() != ErrorCode::Cancelled)) {
                prepared.status = outcomes[i];
                prepared.failedSlot = work[i]->slot;
            }
        }
    }
    if (!prepared.status.ok()) {
        discard(prepared);
        prepared.sounds.clear();
    }
    return prepared;
}

void discard(const Prepared &prepared)
{
    for (const PreparedSound &sound : prepared.sounds) {
        std::error_code ignored;
        if (!sound.file.empty())
            removeEntry(sound.file, ignored);
    }
}

std::optional<std::string> conversionSummary(const std::vector<SlotPlan> &plan, const Prepared &prepared)
{
    // One line a slot, its name first, then its file and what was made of it.
    std::string lines;
    int count = 0;
    for (const PreparedSound &sound : prepared.sounds) {
        if (!sound.conversion)
            continue;
        ++count;
        const auto entry
            = std::find_if(plan.begin(), plan.end(), [&](const SlotPlan &e) { return e.slot == sound.slot; });
        lines += "\n" + slotDescription(sound.slot) + ": " + (entry != plan.end() ? entry->source : "");
        if (entry != plan.end() && !entry->edit.empty())
            lines += ", " + editText(entry->edit, sound.conversion->seconds);
        if (sound.conversion->scaledDown)
            lines += ", made quieter to fit, as it went beyond full scale";
    }
    if (!count)
        return std::nullopt;
    return std::to_string(count) + (count == 1 ? " sound was" : " sounds were") + " converted to 16-bit PCM:" + lines;
}

} // namespace vesk
