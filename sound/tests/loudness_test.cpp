// The meter on the reference signals of EBU Tech 3341, made here: loudness
// within 0.1 LU and true peak within +0.2/-0.4 dB, as that document asks,
// on every system.
#include "loudness.h"
#include "testsignals.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

vesk::Loudness measure(const TestSignal &signal)
{
    vesk::LoudnessMeter meter(signal.rate, signal.channels);
    const std::vector<float> samples = signal.samples();
    // In blocks of odd sizes, so that no block boundary is assumed.
    const std::size_t frames = samples.size() / static_cast<std::size_t>(signal.channels);
    for (std::size_t at = 0; at < frames;) {
        const std::size_t take = std::min<std::size_t>(frames - at, 1000 + at % 3001);
        meter.add(samples.data() + at * static_cast<std::size_t>(signal.channels), take);
        at += take;
    }
    return meter.result();
}

} // namespace

TEST(LoudnessTest, meetsTheEbuReferenceCases)
{
    const int r = 48000;
    // Case 6's five channels: L and R at -28 dBFS, C at -24, the surround ones at -30.
    const auto surround = [](std::uint64_t f, int c) {
        return sine(1000, c < 2 ? -28 : c == 2 ? -24 : -30, 48000)(f, c);
    };
    const struct
    {
        TestSignal signal;
        double loudness;
    } loudnessCases[] = {
        {{"1: -23 dBFS", r, 2, 20, sine(1000, -23, r)}, -23},
        {{"2: -33 dBFS", r, 2, 20, sine(1000, -33, r)}, -33},
        {{"3: the relative gate", r, 2, 80, steps({{10, -36}, {60, -23}, {10, -36}}, r)}, -23},
        {{"4: both gates", r, 2, 100, steps({{10, -72}, {10, -36}, {60, -23}, {10, -36}, {10, -72}}, r)}, -23},
        {{"5: steps", r, 2, 60.1, steps({{20, -26}, {20.1, -20}, {20, -26}}, r)}, -23},
        {{"6: five channels", r, 5, 20, surround}, -23},
    };
    for (const auto &row : loudnessCases) {
        const vesk::Loudness measured = measure(row.signal);
        ASSERT_TRUE(measured.integrated) << row.signal.name;
        EXPECT_NEAR(*measured.integrated, row.loudness, 0.1) << row.signal.name;
    }
    // Cases 15 to 19: sines whose peaks fall between the samples. Each is a
    // steady tone, so it ends in a short fade: a tone cut off rings at its
    // end, into the silence after it, which the meter measures too.
    const auto steady = [](std::function<double(std::uint64_t, int)> tone, int rate, double seconds) {
        const double fade = 0.01 * rate, frames = seconds * rate;
        return [=](std::uint64_t f, int c) {
            const double left = frames - static_cast<double>(f);
            return left >= fade ? tone(f, c) : tone(f, c) * 0.5 * (1 - std::cos(kPi * left / fade));
        };
    };
    const struct
    {
        TestSignal signal;
        double truePeak;
    } peakCases[] = {
        {{"15: fs/4, 0 degrees", r, 2, 1, steady(sine(r / 4.0, -6.02, r), r, 1)}, -6.0},
        {{"16: fs/4, 45 degrees", r, 2, 1, steady(sine(r / 4.0, -6.02, r, 45), r, 1)}, -6.0},
        {{"17: fs/6, 60 degrees", r, 2, 1, steady(sine(r / 6.0, -6.02, r, 60), r, 1)}, -6.0},
        {{"18: fs/8, 67.5 degrees", r, 2, 1, steady(sine(r / 8.0, -6.02, r, 67.5), r, 1)}, -6.0},
        {{"19: fs/4 at +3 dBTP, 45 degrees", r, 2, 1, steady(sine(r / 4.0, 3.01, r, 45), r, 1)}, 3.0},
    };
    for (const auto &row : peakCases) {
        const vesk::Loudness measured = measure(row.signal);
        ASSERT_TRUE(measured.truePeak) << row.signal.name;
        EXPECT_LE(*measured.truePeak, row.truePeak + 0.2) << row.signal.name;
        EXPECT_GE(*measured.truePeak, row.truePeak - 0.4) << row.signal.name;
    }
}

TEST(LoudnessTest, aShortSoundIsOneBlockAndSilenceHasNoNumber)
{
    const int r = 44100;
    // A 0.2-s tone at -23 dBFS reads as the same tone played long.
    const vesk::Loudness shortTone = measure({"short", r, 2, 0.2, sine(1000, -23, r)});
    EXPECT_TRUE(shortTone.shortSound);
    ASSERT_TRUE(shortTone.integrated);
    EXPECT_NEAR(*shortTone.integrated, -23, 0.1);
    EXPECT_EQ(shortTone.momentaryMax, shortTone.integrated);

    for (const double seconds : {0.0, 0.2, 3.0}) {
        const vesk::Loudness silent = measure({"silence", r, 1, seconds, [](std::uint64_t, int) { return 0.0; }});
        EXPECT_FALSE(silent.integrated) << seconds;
        EXPECT_FALSE(silent.momentaryMax) << seconds;
        EXPECT_FALSE(silent.truePeak) << seconds;
        EXPECT_FALSE(silent.samplePeak) << seconds;
    }
    // Below the absolute gate is silence too, though its peak is not.
    const vesk::Loudness faint = measure({"faint", r, 1, 3, sine(1000, -80, r)});
    EXPECT_FALSE(faint.integrated);
    ASSERT_TRUE(faint.samplePeak);
    EXPECT_NEAR(*faint.samplePeak, -80, 0.1);
}

// The meter's own edges: a peak in the sound's last samples, and silence
// after a sound, which rings the filters down towards numbers too small to
// compute at speed.
TEST(LoudnessTest, aPeakAtTheVeryEndIsMeasured)
{
    const int r = 48000;
    // fs/4 at 45 degrees: every sample is 3 dB below the true peak, which
    // lies between two samples; here only in the sound's last few.
    // From 5 frames of silence on, the last points reach back to the sound.
    for (const std::size_t silent : {std::size_t{5}, std::size_t{300}, std::size_t{48000}}) {
        for (const std::size_t burst : {std::size_t{3}, std::size_t{6}}) {
            const auto tone = sine(r / 4.0, -6.02, r, 45);
            const TestSignal signal{"burst", r, 1, static_cast<double>(silent + burst) / r,
                                    [=](std::uint64_t f, int c) { return f < silent ? 0.0 : tone(f, c); }};
            const vesk::Loudness measured = measure(signal);
            // The same sound with silence after it, where no point is cut off.
            TestSignal padded = signal;
            padded.seconds += 12.0 / r;
            const auto inner = signal.sample;
            const auto frames = static_cast<std::uint64_t>(silent + burst);
            padded.sample = [=](std::uint64_t f, int c) { return f < frames ? inner(f, c) : 0.0; };
            ASSERT_TRUE(measured.truePeak) << silent << " + " << burst;
            EXPECT_NEAR(*measured.truePeak, *measure(padded).truePeak, 0.01) << silent << " + " << burst;
            EXPECT_GT(*measured.truePeak, *measured.samplePeak + 1) << silent << " + " << burst;
        }
    }
}

TEST(LoudnessTest, samplesTooSmallForFullPrecisionCostNoMoreThanOthers)
{
    const int r = 48000;
    const auto seconds = [&](double level) {
        // Float samples far below hearing: 1e-30 is an ordinary float,
        // 1e-40 is one of the smallest, which processors handle slowly.
        const std::vector<float> samples(static_cast<std::size_t>(10 * r) * 2, static_cast<float>(level));
        double best = HUGE_VAL;
        for (int run = 0; run < 3; ++run) {
            vesk::LoudnessMeter meter(r, 2);
            const auto start = std::chrono::steady_clock::now();
            meter.add(samples.data(), samples.size() / 2);
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            EXPECT_FALSE(meter.result().integrated);
        }
        return best;
    };
    const double ordinary = seconds(1e-30), tiny = seconds(1e-40);
    EXPECT_LT(tiny, 3 * ordinary + 0.01) << "ordinary " << ordinary << " s, tiny " << tiny << " s";
}

// Float samples near the largest float still give finite figures, at any
// rate, also where the rate carries nothing the weighting passes.
TEST(LoudnessTest, samplesNearTheLargestFloatGiveFiniteFigures)
{
    std::vector<float> samples(2000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = (i % 3 ? -1 : 1) * 2.8e38f;
    for (const int rate : {22050, 3000, 77, 76, 50, 1}) {
        vesk::LoudnessMeter meter(rate, 1);
        meter.add(samples.data(), samples.size());
        const vesk::Loudness measured = meter.result();
        for (const std::optional<double> &figure : {measured.integrated, measured.momentaryMax}) {
            EXPECT_EQ(bool(figure), rate > 76) << rate;
            EXPECT_TRUE(!figure || std::isfinite(*figure)) << rate << ": " << *figure;
        }
        for (const std::optional<double> &figure : {measured.samplePeak, measured.truePeak}) {
            ASSERT_TRUE(figure) << rate;
            EXPECT_TRUE(std::isfinite(*figure)) << rate << ": " << *figure;
        }
    }
}
