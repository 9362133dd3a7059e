#pragma once

#include "projectfile.h"
#include "slotcatalogue.h"
#include "soundanalyses.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

// Every slot's sound measured in the background for the main window's rows,
// beside the game's own sound for the same slot, and what the rows and the
// figures line show of them. Both builds' windows read it the same way.
class SlotMeasurements
{
public:
    // `arrived` comes on a worker thread whenever a sound is measured.
    explicit SlotMeasurements(std::function<void()> arrived);

    // The theme's sounds and the game's own measured anew, the slots of
    // `shownTab` first: what is no longer wanted is dropped.
    void measure(const SlotValues &slots, const std::optional<std::string> &gameDirectory, InnerTab shownTab);
    bool busy() const { return m_analyses.busy(); }

    struct Row
    {
        SoundAnalyses::Entry sound;     // nothing: no sound, or not measured yet
        std::vector<std::string> marks; // what is wrong with it
        std::string length;             // "2.1 s" as the slot's edit leaves it; "" when not known
        std::uint64_t from = 0, to = 0; // the frames of the sound the game gets, for its picture
        double scale = 1;               // and its level there: the edit's gain as a factor
    };

    // Files measured first of all, and one waited for as it is now (see
    // SoundAnalyses::add and await).
    void add(const std::vector<std::string> &paths) { m_analyses.add(paths); }
    SoundAnalyses::Entry await(const std::string &path, const std::function<bool()> &keepWaiting = {})
    {
        return m_analyses.await(path, keepWaiting);
    }
    // The loudness of `path` as `edit` leaves it, its gain aside: the
    // figures measured in the background where the edit cuts and fades
    // nothing, else that sound measured apart from the caller's thread.
    // `keepWaiting` as for await(); false from it is ErrorCode::Cancelled.
    Result<Loudness> editedLoudness(const std::string &path, const SoundEdit &edit,
                                    const std::function<bool()> &keepWaiting = {});

    // Slot `index`'s sound as the project's edit makes it.
    Row row(const Project &project, int index) const;
    // The figures line of slot `index`: its figures, or why it cannot be
    // used; with `marksFirst`, what is wrong with it before its figures.
    std::string figures(const Project &project, int index, bool marksFirst = false) const;

private:
    SoundAnalyses m_analyses;
    std::array<std::optional<std::string>, kSlotCount> m_gameSounds; // what each slot is compared with
};

} // namespace vesk
