#include "waveform.h"

#include <algorithm>
#include <cmath>

namespace vesk {

WaveformBuilder::WaveformBuilder(int channels) : m_channels(static_cast<std::size_t>(std::max(1, channels)))
{
    m_buckets.reserve(2 * kColumns);
}

void WaveformBuilder::add(const float *samples, std::size_t frames)
{
    for (std::size_t f = 0; f < frames;) {
        if (m_inBucket == 0) {
            if (m_buckets.size() == 2 * kColumns)
                halve();
            m_buckets.push_back({samples[f * m_channels], samples[f * m_channels], 0, 0});
        }
        Bucket &bucket = m_buckets.back();
        const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(frames - f, m_span - m_inBucket));
        const float *from = samples + f * m_channels, *to = from + take * m_channels;
        float low = bucket.minimum, high = bucket.maximum;
        double squares = 0;
        for (const float *s = from; s != to; ++s) {
            low = std::min(low, *s);
            high = std::max(high, *s);
            squares += static_cast<double>(*s) * *s;
        }
        bucket.minimum = low;
        bucket.maximum = high;
        bucket.squares += squares;
        bucket.samples += take * m_channels;
        f += take;
        m_inBucket += take;
        if (m_inBucket == m_span)
            m_inBucket = 0;
    }
}

void WaveformBuilder::halve()
{
    const std::size_t pairs = m_buckets.size() / 2;
    for (std::size_t i = 0; i < pairs; ++i) {
        const Bucket &a = m_buckets[2 * i], &b = m_buckets[2 * i + 1];
        m_buckets[i] = {std::min(a.minimum, b.minimum), std::max(a.maximum, b.maximum), a.squares + b.squares,
                        a.samples + b.samples};
    }
    m_buckets.resize(pairs);
    m_span *= 2;
}

Waveform WaveformBuilder::result() const
{
    Waveform waveform;
    waveform.framesPerColumn = m_span;
    waveform.columns.reserve(m_buckets.size());
    for (const Bucket &bucket : m_buckets)
        waveform.columns.push_back(
            {bucket.minimum, bucket.maximum,
             bucket.samples ? static_cast<float>(std::sqrt(bucket.squares / static_cast<double>(bucket.samples)))
                            : 0.0f});
    return waveform;
}

std::vector<Waveform::Column> Waveform::resample(std::uint64_t from, std::uint64_t to, std::size_t width) const
{
    std::vector<Column> out(width);
    if (columns.empty() || width == 0 || to <= from)
        return out;
    const double span = static_cast<double>(to - from) / static_cast<double>(width);
    for (std::size_t x = 0; x < width; ++x) {
        const double start = static_cast<double>(from) + span * static_cast<double>(x);
        auto first = static_cast<std::size_t>(start / static_cast<double>(framesPerColumn));
        auto last = static_cast<std::size_t>((start + span) / static_cast<double>(framesPerColumn));
        first = std::min(first, columns.size() - 1);
        last = std::clamp(last, first + 1, columns.size());
        Column column{columns[first].minimum, columns[first].maximum, 0};
        double squares = 0;
        for (std::size_t i = first; i < last; ++i) {
            column.minimum = std::min(column.minimum, columns[i].minimum);
            column.maximum = std::max(column.maximum, columns[i].maximum);
            squares += static_cast<double>(columns[i].rms) * columns[i].rms;
        }
        column.rms = static_cast<float>(std::sqrt(squares / static_cast<double>(last - first)));
        out[x] = column;
    }
    return out;
}

} // namespace vesk
