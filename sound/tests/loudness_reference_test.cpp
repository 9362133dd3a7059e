// The meter against libebur128, the field's reference, over sounds of every
// rate and channel count players have: integrated and highest momentary
// loudness within 0.1 LU, true peak within 0.2 dB.
#include "loudness.h"
#include "testsignals.h"

#include <ebur128.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

struct Reference
{
    std::optional<double> integrated, momentaryMax, truePeak;
};

std::optional<double> finite(double value)
{
    return std::isfinite(value) && value > -70 ? std::optional<double>(value) : std::nullopt;
}

// Where channel `c` of a wave file of `channels` stands, for libebur128 to
// weigh: the layouts of WAVE_FORMAT_EXTENSIBLE's default masks.
int position(unsigned c, unsigned channels)
{
    static const std::vector<std::vector<int>> layouts = {
        {},
        {},
        {},
        {EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER},
        {EBUR128_LEFT, EBUR128_RIGHT, EBUR128_Mp110, EBUR128_Mm110},
        {EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER, EBUR128_Mp110, EBUR128_Mm110},
        {EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER, EBUR128_UNUSED, EBUR128_Mp110, EBUR128_Mm110},
        {EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER, EBUR128_UNUSED, EBUR128_Mp180, EBUR128_Mp090, EBUR128_Mm090},
        {EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER, EBUR128_UNUSED, EBUR128_Mp135, EBUR128_Mm135, EBUR128_Mp090,
         EBUR128_Mm090},
    };
    return channels >= 3 && channels < layouts.size() ? layouts[channels][c] : (c % 2 ? EBUR128_RIGHT : EBUR128_LEFT);
}

// libebur128 fed in 100-ms steps, as the meter's blocks fall; a sound under
// one block is measured as one window of its own length.
Reference reference(const TestSignal &signal, const std::vector<float> &samples)
{
    const auto channels = static_cast<unsigned>(signal.channels);
    ebur128_state *state = ebur128_init(channels, static_cast<unsigned long>(signal.rate),
                                        EBUR128_MODE_I | EBUR128_MODE_M | EBUR128_MODE_TRUE_PEAK);
    const auto millis = static_cast<unsigned long>(signal.seconds * 1000 + 0.5);
    for (unsigned c = 0; c < channels; ++c)
        ebur128_set_channel(state, c, position(c, channels));
    const std::size_t frames = samples.size() / channels;
    const std::size_t step = static_cast<std::size_t>(signal.rate + 5) / 10;
    Reference result;
    double loudest = -HUGE_VAL;
    for (std::size_t at = 0, fed = 0; at < frames; at += step, ++fed) {
        ebur128_add_frames_float(state, samples.data() + at * channels, std::min(step, frames - at));
        double momentary = -HUGE_VAL;
        if (fed >= 3 && frames - at >= step && ebur128_loudness_momentary(state, &momentary) == EBUR128_SUCCESS)
            loudest = std::max(loudest, momentary);
    }
    double value = -HUGE_VAL;
    if (frames < 4 * step) {
        ebur128_loudness_window(state, millis, &value);
        result.integrated = result.momentaryMax = finite(value);
    } else {
        ebur128_loudness_global(state, &value);
        result.integrated = finite(value);
        result.momentaryMax = finite(loudest);
    }
    // The sound is followed by silence, as when it is played: the
    // interpolator's last points are read out.
    const std::vector<float> silence(64 * channels, 0.0f);
    ebur128_add_frames_float(state, silence.data(), 64);
    double peak = 0;
    for (unsigned c = 0; c < channels; ++c) {
        double channelPeak = 0;
        ebur128_true_peak(state, c, &channelPeak);
        peak = std::max(peak, channelPeak);
    }
    result.truePeak = vesk::decibels(peak);
    ebur128_destroy(&state);
    return result;
}

void expectNear(const std::optional<double> &ours, const std::optional<double> &theirs, double within,
                const std::string &what)
{
    ASSERT_EQ(ours.has_value(), theirs.has_value()) << what;
    if (ours) {
        EXPECT_NEAR(*ours, *theirs, within) << what;
    }
}

} // namespace

TEST(LoudnessReferenceTest, agreesWithLibebur128)
{
    // Speech-like: noise bursts of changing level, with pauses the gates drop.
    const auto bursts = [](int rate, int channels) {
        auto hiss = noise(-18, channels);
        return [=](std::uint64_t f, int c) {
            const double t = static_cast<double>(f) / rate;
            const int syllable = static_cast<int>(t / 0.25);
            const bool on = std::fmod(t, 0.25) < 0.15 && syllable % 7 != 6;
            return on ? hiss(f, c) * (0.3 + 0.7 * (syllable % 3) / 2.0) : 0.0;
        };
    };
    const auto mixed = [](int rate) {
        return [=](std::uint64_t f, int c) { return sine(220.0 * (c + 1), -20 - 2 * c, rate)(f, c); };
    };
    const TestSignal signals[] = {
        {"1 kHz, 48 kHz stereo", 48000, 2, 5, sine(1000, -20, 48000)},
        {"100 Hz, 44.1 kHz mono", 44100, 1, 3, sine(100, -12, 44100)},
        {"10 kHz, 44.1 kHz stereo", 44100, 2, 3, sine(10000, -6, 44100, 30)},
        {"noise, 44.1 kHz stereo", 44100, 2, 5, noise(-15, 2)},
        {"noise, 48 kHz mono", 48000, 1, 4, noise(-25, 1)},
        {"bursts, 22.05 kHz mono", 22050, 1, 6, bursts(22050, 1)},
        {"bursts, 44.1 kHz stereo", 44100, 2, 8, bursts(44100, 2)},
        {"500 Hz, 8 kHz mono", 8000, 1, 2, sine(500, -10, 8000)},
        {"3 kHz, 11.025 kHz mono", 11025, 1, 2.05, sine(3000, -10, 11025)},
        {"1 kHz, 96 kHz stereo", 96000, 2, 2, sine(1000, -18, 96000)},
        {"5 kHz, 192 kHz stereo", 192000, 2, 1.5, sine(5000, -9, 192000)},
        {"tones, 48 kHz 5.1", 48000, 6, 3, mixed(48000)},
        {"tones, 44.1 kHz quad", 44100, 4, 3, mixed(44100)},
        {"tones, 48 kHz 6.1", 48000, 7, 3, mixed(48000)},
        {"tones, 48 kHz 7.1", 48000, 8, 3, mixed(48000)},
        {"a click of 0.3 s, 44.1 kHz", 44100, 2, 0.3, noise(-10, 2)},
        {"a click of 0.1 s, 22.05 kHz", 22050, 1, 0.1, sine(2000, -3, 22050)},
        {"silence, 44.1 kHz", 44100, 2, 2, [](std::uint64_t, int) { return 0.0; }},
    };
    for (const TestSignal &signal : signals) {
        const std::vector<float> samples = signal.samples();
        vesk::LoudnessMeter meter(signal.rate, signal.channels);
        meter.add(samples.data(), samples.size() / static_cast<std::size_t>(signal.channels));
        const vesk::Loudness ours = meter.result();
        const Reference theirs = reference(signal, samples);
        expectNear(ours.integrated, theirs.integrated, 0.1, signal.name + ": integrated");
        expectNear(ours.momentaryMax, theirs.momentaryMax, 0.1, signal.name + ": momentary");
        expectNear(ours.truePeak, theirs.truePeak, 0.2, signal.name + ": true peak");
    }
}
