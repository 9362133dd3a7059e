#include "slotmeasurements.h"

#include "gamebackup.h"
#include "loudnessmatch.h"
#include "slotsound.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <future>

namespace vesk {

SlotMeasurements::SlotMeasurements(std::function<void()> arrived) : m_analyses(std::move(arrived)) {}

void SlotMeasurements::measure(const SlotValues &slots, const std::optional<std::string> &gameDirectory,
                               InnerTab shownTab)
{
    std::vector<int> order;
    for (const SlotInfo &slot : slotCatalogue())
        if (slot.tab == shownTab)
            order.push_back(slot.index);
    for (int k = 1; k <= kSlotCount; ++k)
        if (std::find(order.begin(), order.end(), k) == order.end())
            order.push_back(k);
    std::vector<std::string> paths;
    for (int k : order)
        if (!isEmptySlot(slots[static_cast<size_t>(k - 1)]))
            paths.push_back(slots[static_cast<size_t>(k - 1)]);
    // The game's own sounds after the theme's, in the same order.
    for (int k : order) {
        std::optional<std::string> &game = m_gameSounds[static_cast<size_t>(k - 1)];
        game.reset();
        if (gameDirectory && !isEmptySlot(slots[static_cast<size_t>(k - 1)]))
            game = gamesOwnFile(*gameDirectory, slotInfo(k).gameFile);
        if (game)
            paths.push_back(*game);
    }
    m_analyses.request(paths);
}

Result<Loudness> SlotMeasurements::editedLoudness(const std::string &path, const SoundEdit &edit,
                                                  const std::function<bool()> &keepWaiting)
{
    const Status cancelled = Status::failure(ErrorCode::Cancelled, "cancelled");
    const SoundAnalyses::Entry sound = m_analyses.await(path, keepWaiting);
    if (!sound)
        return cancelled;
    if (!sound->ok())
        return sound->status();
    const SoundAnalysis &analysis = **sound;
    if (!cutsOrFades(edit, framesToMicros(analysis.frames, analysis.format.rate)))
        return analysis.loudness;
    std::atomic<bool> stop{false};
    std::future<Result<Loudness>> measured
        = std::async(std::launch::async, [&] { return measureEdited(path, edit, [&] { return !stop; }); });
    while (measured.wait_for(std::chrono::milliseconds(30)) != std::future_status::ready)
        if (!stop && keepWaiting && !keepWaiting())
            stop = true;
    return stop ? Result<Loudness>(cancelled) : measured.get();
}

SlotMeasurements::Row SlotMeasurements::row(const Project &project, int index) const
{
    const std::string &path = project.slots[static_cast<size_t>(index - 1)];
    const SoundEdit &edit = project.edits[static_cast<size_t>(index - 1)];
    Row row;
    if (isEmptySlot(path) || !(row.sound = m_analyses.find(path)))
        return row;
    const std::optional<std::string> &gameFile = m_gameSounds[static_cast<size_t>(index - 1)];
    const SoundAnalyses::Entry game = gameFile ? m_analyses.find(*gameFile) : nullptr;
    // Until the game's sound is measured, nothing is compared with it; a
    // sound that cannot be used is marked whatever the game's is.
    if (!row.sound->ok() || !gameFile || game)
        row.marks = soundMarks(*row.sound, game && game->ok() ? &game->value() : nullptr, edit);
    if (row.sound->ok()) {
        const SoundAnalysis &sound = **row.sound;
        row.length = lengthText(editedSeconds(sound, edit));
        const SoundEdit fitted = clampedEdit(edit, framesToMicros(sound.frames, sound.format.rate));
        row.from = std::min(sound.frames, microsToFrames(fitted.start, sound.format.rate));
        row.to = fitted.end ? std::min(sound.frames, microsToFrames(*fitted.end, sound.format.rate)) : sound.frames;
        row.scale = std::pow(10.0, fitted.gain / 20);
    }
    return row;
}

std::string SlotMeasurements::figures(const Project &project, int index, bool marksFirst) const
{
    const Row shown = row(project, index);
    if (!shown.sound)
        return std::string();
    if (!shown.sound->ok())
        return soundMarks(*shown.sound, nullptr).front();
    if (marksFirst && !shown.marks.empty())
        return shown.marks.front();
    const SoundEdit &edit = project.edits[static_cast<size_t>(index - 1)];
    const SoundAnalysis &sound = **shown.sound;
    if (edit.empty())
        return soundInfo(sound);
    // The figures are the file's, which the edit is not measured for: said so.
    return soundInfo(sound) + " as the file is; as edited: "
           + editText(clampedEdit(edit, framesToMicros(sound.frames, sound.format.rate)), editedSeconds(sound, edit));
}

} // namespace vesk
