#pragma once

#include <cstddef>
#include <cstdint>

#include "shelf.h"
#include <vector>

namespace vesk {

// A sound drawn small: for each column, the lowest and the highest sample
// and the RMS of every channel's samples in it, full scale 1. A column
// stands for `framesPerColumn` frames (the last one for fewer).
struct Waveform
{
    struct Column
    {
        float minimum = 0, maximum = 0, rms = 0;
    };
    std::vector<Column> columns;
    std::uint64_t framesPerColumn = 1;

    // The columns' summary over frames [from, to), at `width` pictures
    // columns: what a picture of that width draws.
    std::vector<Column> resample(std::uint64_t from, std::uint64_t to, std::size_t width) const;
};

// Builds a Waveform while the sound streams by, not knowing its length: it
// keeps between kColumns and twice as many columns, merging pairs as it
// grows, so that its memory never depends on the sound's length.
class WaveformBuilder
{
public:
    static constexpr std::size_t kColumns = 2048;

    // A sound whose file states its length (`statedFrames`, 0 where it does
    // not) starts with columns as wide as its summary would end with: the
    // summary is the same, but its start is not built a few frames at a
    // time. A sound that ends early keeps those wider columns.
    explicit WaveformBuilder(int channels, std::uint64_t statedFrames = 0);
    void add(const float *samples, std::size_t frames);
    Waveform result() const;

    // One column as it is built.
    struct Bucket
    {
        float minimum, maximum;
        double squares;
        std::uint64_t samples;
    };

private:
    void halve();

    std::size_t m_channels;
    std::uint64_t m_span = 1;
    std::uint64_t m_inBucket = 0;
    ShelvedVector<Bucket> m_buckets;
};

} // namespace vesk
