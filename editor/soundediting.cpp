#include "soundediting.h"

#include "gamebackup.h"
#include "slotcatalogue.h"
#include "slotsound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

namespace vesk {

SoundEditing::SoundEditing(int slot, std::string path, SoundAnalysis sound, std::optional<SoundAnalysis> game,
                           const SoundEdit &edit, std::optional<std::string> gameDirectory,
                           GameLoudness::Measure measureGame)
    : m_slot(slot), m_path(std::move(path)), m_sound(std::move(sound)), m_game(std::move(game)),
      m_length(framesToMicros(m_sound.frames, m_sound.format.rate)),
      m_gameLoudness(gameDirectory, std::move(measureGame))
{
    m_edit = clampedEdit(edit, m_length);
    m_fadeOutSet = m_edit.fadeOut > 0;
    if (!gameDirectory) {
        m_matchUnavailable = "Choose your Kestrova directory in Options Settings to match its loudness.";
    } else {
        bool any = false;
        for (int k = 1; k <= kSlotCount && !any; ++k)
            any = gamesOwnFile(*gameDirectory, slotInfo(k).gameFile).has_value();
        if (!any)
            m_matchUnavailable = "The Kestrova directory holds no sound of the game to match.";
    }
}

Micros SoundEditing::span() const
{
    return std::max(m_length, m_game ? framesToMicros(m_game->frames, m_game->format.rate) : 0);
}

double SoundEditing::envelope(Micros time) const
{
    double level = 1;
    if (m_edit.fadeIn > 0 && time < m_edit.start + m_edit.fadeIn)
        level = static_cast<double>(time - m_edit.start) / static_cast<double>(m_edit.fadeIn);
    if (m_edit.fadeOut > 0 && time > end() - m_edit.fadeOut)
        level = std::min(level, static_cast<double>(end() - time) / static_cast<double>(m_edit.fadeOut));
    return std::clamp(level, 0.0, 1.0);
}

Micros SoundEditing::timeAt(int x, int width) const
{
    width = std::max(1, width);
    return static_cast<Micros>(std::llround(std::clamp(x, 0, width) * static_cast<double>(span()) / width));
}

int SoundEditing::xOf(Micros time, int width) const
{
    const double whole = static_cast<double>(span());
    return whole > 0 ? static_cast<int>(std::lround(static_cast<double>(time) * width / whole)) : 0;
}

SoundEditing::Marker SoundEditing::nearerMarker(Micros time) const
{
    return std::llabs(time - m_edit.start) <= std::llabs(time - end()) ? Marker::Start : Marker::End;
}

void SoundEditing::moveMarker(Marker marker, Micros time, bool snap)
{
    if (marker == Marker::Start)
        setStart(time, snap);
    else if (marker == Marker::End)
        setEnd(time, snap);
}

std::string SoundEditing::fieldText(Field field) const
{
    switch (field) {
    case Field::Start:
        return millisecondsText(m_edit.start);
    case Field::End:
        return millisecondsText(end());
    case Field::FadeIn:
        return millisecondsText(m_edit.fadeIn);
    case Field::FadeOut:
        return millisecondsText(m_edit.fadeOut);
    case Field::Gain:
        break;
    }
    char gain[16];
    std::snprintf(gain, sizeof gain, "%.2f", m_edit.gain);
    return gain;
}

std::string SoundEditing::enter(Field field, const std::string &typed, bool snap)
{
    const auto first = typed.find_first_not_of(" \t"), last = typed.find_last_not_of(" \t");
    const std::string text = first == std::string::npos ? std::string() : typed.substr(first, last - first + 1);
    // What the box shows already is no new value: a cut placed exactly is
    // not snapped again as the focus passes through its box.
    if (text == fieldText(field))
        return refusal().value_or(std::string());
    // A value beyond what the sound allows is held to it, and said so.
    std::string held;
    if (field == Field::Gain) {
        char *stop = nullptr;
        const double gain = std::strtod(text.c_str(), &stop);
        if (text.empty() || *stop || !std::isfinite(gain))
            return "The gain must be a number of dB from \u221224 to +24.";
        setGain(gain);
        if (std::fabs(gain) > kGainRange)
            held = "The gain goes from \u221224 to +24 dB: it was set to " + gainText(m_edit.gain) + ".";
        return held.empty() ? refusal().value_or(std::string()) : held;
    }
    const std::optional<Micros> time = parseMilliseconds(text);
    if (!time)
        return "A time is a number of milliseconds, such as 120 or 1320.5.";
    const std::string length = millisecondsText(m_length) + " ms";
    switch (field) {
    case Field::Start:
        setStart(*time, snap);
        if (*time > m_length)
            held = "The sound lasts " + length + ": the start was put at its end.";
        break;
    case Field::End:
        setEnd(*time, snap);
        if (*time > m_length)
            held = "The sound lasts " + length + ": the end was put at its end.";
        break;
    case Field::FadeIn:
        setFadeIn(*time);
        if (*time > m_length)
            held = "The sound lasts " + length + ": the fade-in was made as long.";
        break;
    default:
        setFadeOut(*time);
        if (*time > m_length)
            held = "The sound lasts " + length + ": the fade-out was made as long.";
        break;
    }
    return refusal().value_or(held);
}

Micros SoundEditing::snapped(Micros time, bool snap) const
{
    time = std::clamp<Micros>(time, 0, m_length);
    if (!snap || time == 0 || time == m_length)
        return time;
    const int rate = m_sound.format.rate;
    const std::uint64_t frame
        = nearestZeroCrossing(m_path, microsToFrames(time, rate), microsToFrames(kSnapReach, rate));
    return std::clamp<Micros>(framesToMicros(frame, rate), 0, m_length);
}

void SoundEditing::setStart(Micros time, bool snap)
{
    m_edit.start = snapped(time, snap);
}

void SoundEditing::setEnd(Micros time, bool snap)
{
    time = snapped(time, snap);
    const bool first = !m_edit.end;
    if (time >= m_length) {
        m_edit.end.reset();
        return;
    }
    m_edit.end = time;
    if (first && !m_fadeOutSet)
        m_edit.fadeOut = kDefaultFadeOut;
}

void SoundEditing::setFadeIn(Micros time)
{
    m_edit.fadeIn = std::clamp<Micros>(time, 0, m_length);
}

void SoundEditing::setFadeOut(Micros time)
{
    m_edit.fadeOut = std::clamp<Micros>(time, 0, m_length);
    m_fadeOutSet = true;
}

void SoundEditing::setGain(double decibels)
{
    const double gain = roundedGain(decibels);
    if (gain != m_edit.gain)
        m_edit.matched = false;
    m_edit.gain = gain;
}

void SoundEditing::reset()
{
    m_edit = SoundEdit();
    m_fadeOutSet = false;
}

std::optional<std::string> SoundEditing::refusal() const
{
    if (m_edit.start >= end())
        return "The start must come before the end.";
    if (end() - m_edit.start < kShortestEdit)
        return "What is left must last at least 10 ms.";
    return std::nullopt;
}

SoundEdit SoundEditing::kept() const
{
    SoundEdit edit = m_edit;
    edit.fadeIn = std::min(edit.fadeIn, end() - edit.start);
    edit.fadeOut = std::min(edit.fadeOut, end() - edit.start);
    edit.length = m_length;
    return edit;
}

std::string SoundEditing::match()
{
    if (m_matchUnavailable)
        return *m_matchUnavailable;
    if (const std::optional<std::string> refused = refusal())
        return *refused;
    const MatchTarget target = m_gameLoudness.target(m_slot);
    if (!target.lufs)
        return "Cannot match: " + target.why + ".";
    // The figures measured already, unless the edit cuts or fades the sound.
    const Result<Loudness> measured = cutsOrFades(m_edit, m_length) ? measureEdited(m_path, m_edit) : m_sound.loudness;
    if (!measured)
        return "Cannot match: " + measured.error() + ".";
    const std::optional<GainMatch> gain = matchGain(*measured, *target.lufs);
    if (!gain)
        return "Cannot match: the sound is silent.";
    m_edit.gain = gain->gain;
    m_edit.matched = true;
    return "Matched: " + matchText(*gain, target) + ".";
}

std::string SoundEditing::soundFigures() const
{
    return "This sound: " + soundInfo(m_sound);
}

std::string SoundEditing::gameFigures() const
{
    return m_game ? "The game's own: " + soundInfo(*m_game) : "The game has no sound of its own for this slot.";
}

Result<SoundEditing> startEditing(const Project &project, int slot, SlotMeasurements &measurements,
                                  const std::optional<std::string> &gameDirectory,
                                  const std::function<bool()> &keepWaiting)
{
    const std::string &path = project.slots[static_cast<size_t>(slot - 1)];
    if (isEmptySlot(path))
        return Status::failure(ErrorCode::NotFound, "There is no sound in " + slotDescription(slot) + " to edit.");
    const Status cancelled = Status::failure(ErrorCode::Cancelled, "cancelled");
    const std::optional<std::string> gameFile
        = gameDirectory ? gamesOwnFile(*gameDirectory, slotInfo(slot).gameFile) : std::nullopt;
    measurements.add(gameFile ? std::vector<std::string>{path, *gameFile} : std::vector<std::string>{path});
    const SoundAnalyses::Entry sound = measurements.await(path, keepWaiting);
    if (!sound)
        return cancelled;
    if (!sound->ok())
        return Status::failure(sound->code(), "The sound " + path + " cannot be edited: " + sound->error() + ".");
    std::optional<SoundAnalysis> game;
    if (gameFile) {
        const SoundAnalyses::Entry gameSound = measurements.await(*gameFile, keepWaiting);
        if (!gameSound)
            return cancelled;
        if (gameSound->ok())
            game = gameSound->value();
    }
    // Match in the window takes the game's figures from the same analyses,
    // all of them asked for at once on the first.
    GameLoudness::Measure measureGame
        = [&measurements, gameDirectory, asked = false](const std::string &file) mutable -> std::optional<double> {
        if (!std::exchange(asked, true))
            measurements.add(GameLoudness(gameDirectory).files());
        const SoundAnalyses::Entry measured = measurements.await(file);
        return measured && measured->ok() ? (*measured)->loudness.integrated : std::nullopt;
    };
    return SoundEditing(slot, path, sound->value(), std::move(game), project.edits[static_cast<size_t>(slot - 1)],
                        gameDirectory, std::move(measureGame));
}

} // namespace vesk
