// The summary a sound's pictures are drawn from, held against the samples
// it summarises: each column's lowest and highest sample exactly and its RMS
// closely, however the sound arrives and whether or not its length is known.
#include "waveform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

TEST(WaveformTest, eachColumnSummarisesItsFramesExactly)
{
    const struct
    {
        std::size_t frames;
        int channels;
    } sounds[] = {{1, 1}, {37, 2}, {5000, 1}, {25000, 1}, {22050, 2}, {50000, 2}, {70001, 2}, {123457, 3}, {400000, 2}};
    for (const auto &sound : sounds) {
        const auto channels = static_cast<std::size_t>(sound.channels);
        std::vector<float> samples(sound.frames * channels);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<float>(std::sin(0.37 * static_cast<double>(i))
                                            * std::fmod(static_cast<double>(i) * 0.001, 1.0));
        for (const std::uint64_t stated : {std::uint64_t{0}, std::uint64_t{sound.frames}}) {
            const std::string name = std::to_string(sound.frames) + " frames, stated " + std::to_string(stated);
            vesk::WaveformBuilder builder(sound.channels, stated);
            // In blocks of odd sizes, so that no block boundary is assumed.
            for (std::size_t at = 0; at < sound.frames;) {
                const std::size_t take = std::min(sound.frames - at, 1 + at % 4099);
                builder.add(samples.data() + at * channels, take);
                at += take;
            }
            const vesk::Waveform waveform = builder.result();
            const std::size_t columns = waveform.columns.size();
            ASSERT_EQ(columns, (sound.frames + waveform.framesPerColumn - 1) / waveform.framesPerColumn) << name;
            EXPECT_LE(columns, 2 * vesk::WaveformBuilder::kColumns) << name;
            if (sound.frames >= 2 * vesk::WaveformBuilder::kColumns) {
                EXPECT_GE(columns, vesk::WaveformBuilder::kColumns) << name;
            }
            for (std::size_t k = 0; k < columns; ++k) {
                const std::size_t from = k * waveform.framesPerColumn * channels;
                const std::size_t to = std::min(samples.size(), from + waveform.framesPerColumn * channels);
                const auto [low, high] = std::minmax_element(samples.begin() + long(from), samples.begin() + long(to));
                double squares = 0;
                for (std::size_t i = from; i < to; ++i)
                    squares += double(samples[i]) * samples[i];
                const vesk::Waveform::Column &column = waveform.columns[k];
                ASSERT_EQ(column.minimum, *low) << name << ", column " << k;
                ASSERT_EQ(column.maximum, *high) << name << ", column " << k;
                ASSERT_NEAR(column.rms, std::sqrt(squares / double(to - from)), 1e-5) << name << ", column " << k;
            }
        }
    }
}
