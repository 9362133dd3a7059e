#include "loudnessmatch.h"

#include "gamebackup.h"
#include "slotsound.h"
#include "sounddecoder.h"

#include <algorithm>
#include <memory>

namespace vesk {

Result<Loudness> measureEdited(const std::string &path, const SoundEdit &edit, const std::function<bool()> &keepGoing)
{
    Result<std::unique_ptr<SoundDecoder>> opened = SoundDecoder::open(path);
    if (!opened)
        return opened.status();
    SoundDecoder &decoder = **opened;
    const SoundFormat format = decoder.format();
    SoundEdit unscaled = clampedEdit(edit, framesToMicros(decoder.frames(), format.rate));
    unscaled.gain = 0;
    EditedStream stream(unscaled, format.rate, format.channels);
    LoudnessMeter meter(format.rate, format.channels);
    std::vector<float> kept;
    const Result<std::uint64_t> decoded = decodeAll(decoder, [&](const float *samples, std::size_t frames, bool last) {
        if (keepGoing && !keepGoing())
            return Status::failure(ErrorCode::Cancelled, "cancelled");
        kept.clear();
        stream.process(samples, frames, last, kept);
        meter.add(kept.data(), kept.size() / static_cast<std::size_t>(format.channels));
        return Status::success();
    });
    if (!decoded)
        return decoded.status();
    return meter.result();
}

namespace {

// A little under the limit: resampling and dither in the conversion may
// lift the true peak by some hundredths of a dB.
constexpr double kPeakAim = kMatchedPeak - 0.1;

} // namespace

std::optional<GainMatch> matchGain(const Loudness &measured, double target)
{
    // A sound under one block has its one block as its loudness.
    if (!measured.integrated)
        return std::nullopt;
    GainMatch match;
    double gain = target - *measured.integrated;
    if (measured.truePeak && *measured.truePeak + gain > kPeakAim) {
        gain = kPeakAim - *measured.truePeak;
        match.lowered = true;
    }
    match.limited = gain > kGainRange || gain < -kGainRange;
    match.gain = roundedGain(gain);
    // Rounding must not lift the peak past its limit.
    if (match.lowered && measured.truePeak && *measured.truePeak + match.gain > kPeakAim)
        match.gain = roundedGain(match.gain - 0.01);
    return match;
}

GameLoudness::GameLoudness(std::optional<std::string> gameDirectory, Measure measure)
    : m_gameDirectory(std::move(gameDirectory)), m_measure(std::move(measure)), m_slots(kSlotCount)
{
    if (!m_measure)
        m_measure = [](const std::string &file) {
            const Result<Loudness> loudness = measureEdited(file, {});
            return loudness ? loudness->integrated : std::nullopt;
        };
}

std::vector<std::string> GameLoudness::files() const
{
    std::vector<std::string> files;
    for (int k = 1; k <= kSlotCount && m_gameDirectory; ++k)
        if (std::optional<std::string> file = gamesOwnFile(*m_gameDirectory, slotInfo(k).gameFile))
            files.push_back(std::move(*file));
    return files;
}

std::optional<double> GameLoudness::measured(int slot)
{
    std::optional<std::optional<double>> &known = m_slots[static_cast<std::size_t>(slot - 1)];
    if (!known) {
        known.emplace();
        if (const std::optional<std::string> file = gamesOwnFile(*m_gameDirectory, slotInfo(slot).gameFile))
            *known = m_measure(*file);
    }
    return *known;
}

MatchTarget GameLoudness::target(int slot)
{
    MatchTarget target;
    if (!m_gameDirectory) {
        target.why = "no Kestrova directory is chosen in Options Settings";
        return target;
    }
    if ((target.lufs = measured(slot)))
        return target;
    if (!m_median) {
        std::vector<double> all;
        for (int k = 1; k <= kSlotCount; ++k)
            if (const std::optional<double> lufs = measured(k))
                all.push_back(*lufs);
        m_median.emplace();
        if (!all.empty()) {
            std::sort(all.begin(), all.end());
            const std::size_t middle = all.size() / 2;
            *m_median = all.size() % 2 ? all[middle] : (all[middle - 1] + all[middle]) / 2;
        }
    }
    target.lufs = *m_median;
    target.median = true;
    if (!target.lufs)
        target.why = "the Kestrova directory " + *m_gameDirectory + " holds no sound of the game to compare with";
    return target;
}

std::string matchText(const GainMatch &match, const MatchTarget &target)
{
    std::string text = gainText(match.gain) + ", to " + levelText(target.lufs.value_or(0)) + " LUFS"
                       + (target.median ? " (the middle of the game's sounds)" : "");
    if (match.limited)
        text += ", as far as the gain goes";
    else if (match.lowered)
        text += ", held back to keep the peak at " + levelText(kMatchedPeak) + " dBTP";
    return text;
}

} // namespace vesk
