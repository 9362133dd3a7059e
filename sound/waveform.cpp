#include "waveform.h"

#include "vectors.h"

#include <algorithm>
#include <cmath>

namespace vesk {

namespace {

using vectors::Floats;
using vectors::kFloats;

// The lowest and highest of `count` samples and the sum of their squares,
// added to what `bucket` holds.
VESK_VECTOR_CLONES
void summarise(const float *from, std::size_t count, WaveformBuilder::Bucket &bucket)
{
    Floats low = vectors::splat(bucket.minimum), high = vectors::splat(bucket.maximum);
    double squares = 0;
    std::size_t at = 0;
    // Squares are summed in floats a thousand vectors at a time, then in a
    // double, so that a long column loses nothing that shows.
    while (at + kFloats <= count) {
        Floats sum{};
        for (const std::size_t end = std::min(count - count % kFloats, at + 1024 * kFloats); at < end; at += kFloats) {
            const Floats v = vectors::load(from + at);
            low = vectors::minimum(low, v);
            high = vectors::maximum(high, v);
            sum += v * v;
        }
        squares += static_cast<double>(vectors::total(sum));
    }
    bucket.minimum = vectors::smallest(low);
    bucket.maximum = vectors::largest(high);
    for (; at < count; ++at) {
        bucket.minimum = std::min(bucket.minimum, from[at]);
        bucket.maximum = std::max(bucket.maximum, from[at]);
        squares += static_cast<double>(from[at]) * from[at];
    }
    bucket.squares += squares;
}

} // namespace

WaveformBuilder::WaveformBuilder(int channels, std::uint64_t statedFrames)
    : m_channels(static_cast<std::size_t>(std::max(1, channels)))
{
    while (m_span * 2 * (2 * kColumns) <= statedFrames)
        m_span *= 2;
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
        const float *from = samples + f * m_channels;
        const std::size_t count = take * m_channels;
        if (count >= vectors::kFloats) {
            summarise(from, count, bucket);
        } else {
            // Narrow columns, at the start of a sound, are not worth a call.
            float low = bucket.minimum, high = bucket.maximum, squares = 0;
            for (std::size_t i = 0; i < count; ++i) {
                low = std::min(low, from[i]);
                high = std::max(high, from[i]);
                squares += from[i] * from[i];
            }
            bucket.minimum = low;
            bucket.maximum = high;
            bucket.squares += static_cast<double>(squares);
        }
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
