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

// The same for a few samples, not worth a call to the above: four lanes
// keep the processor's pipes full.
inline void summariseNarrow(const float *from, std::size_t count, WaveformBuilder::Bucket &bucket)
{
    float low[4] = {bucket.minimum, bucket.minimum, bucket.minimum, bucket.minimum};
    float high[4] = {bucket.maximum, bucket.maximum, bucket.maximum, bucket.maximum};
    float squares[4] = {};
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4)
        for (std::size_t lane = 0; lane < 4; ++lane) {
            low[lane] = std::min(low[lane], from[i + lane]);
            high[lane] = std::max(high[lane], from[i + lane]);
            squares[lane] += from[i + lane] * from[i + lane];
        }
    for (; i < count; ++i) {
        low[0] = std::min(low[0], from[i]);
        high[0] = std::max(high[0], from[i]);
        squares[0] += from[i] * from[i];
    }
    bucket.minimum = std::min(std::min(low[0], low[1]), std::min(low[2], low[3]));
    bucket.maximum = std::max(std::max(high[0], high[1]), std::max(high[2], high[3]));
    bucket.squares += static_cast<double>((squares[0] + squares[1]) + (squares[2] + squares[3]));
}

// The same for a width the compiler knows, which it then unrolls.
template<std::size_t kCount>
inline void summariseNarrow(const float *from, WaveformBuilder::Bucket &bucket)
{
    static_assert(kCount % 4 == 0, "in whole lanes");
    float low[4] = {from[0], from[1], from[2], from[3]}, high[4] = {from[0], from[1], from[2], from[3]};
    float squares[4] = {};
    for (std::size_t i = 0; i < kCount; i += 4)
        for (std::size_t lane = 0; lane < 4; ++lane) {
            low[lane] = std::min(low[lane], from[i + lane]);
            high[lane] = std::max(high[lane], from[i + lane]);
            squares[lane] += from[i + lane] * from[i + lane];
        }
    bucket.minimum = std::min(std::min(low[0], low[1]), std::min(low[2], low[3]));
    bucket.maximum = std::max(std::max(high[0], high[1]), std::max(high[2], high[3]));
    bucket.squares = static_cast<double>((squares[0] + squares[1]) + (squares[2] + squares[3]));
}

} // namespace

WaveformBuilder::WaveformBuilder(int channels, std::uint64_t statedFrames)
    : m_channels(static_cast<std::size_t>(std::max(1, channels)))
{
    while (m_span * (2 * kColumns) < statedFrames)
        m_span *= 2;
    m_buckets->reserve(2 * kColumns);
}

void WaveformBuilder::add(const float *samples, std::size_t frames)
{
    for (std::size_t f = 0; f < frames;) {
        const std::size_t width = static_cast<std::size_t>(m_span) * m_channels;
        if (m_inBucket == 0 && width < 4 * vectors::kFloats && m_buckets->size() < 2 * kColumns) {
            // Whole narrow columns, the summary of a short sound, in one go.
            const std::size_t whole
                = std::min(static_cast<std::size_t>((frames - f) / m_span), 2 * kColumns - m_buckets->size());
            const float *from = samples + f * m_channels;
            // Written where they stay: a column put together beside and
            // copied in whole makes the processor wait for its parts.
            const std::size_t first = m_buckets->size();
            m_buckets->resize(first + whole);
            Bucket *into = m_buckets->data() + first;
            const auto columns = [&](auto summary) {
                for (std::size_t k = 0; k < whole; ++k, from += width) {
                    summary(from, into[k]);
                    into[k].samples = width;
                }
            };
            // The usual widths known to the compiler.
            switch (width) {
            case 8:
                columns(summariseNarrow<8>);
                break;
            case 16:
                columns(summariseNarrow<16>);
                break;
            case 32:
                columns(summariseNarrow<32>);
                break;
            default:
                columns([width](const float *at, Bucket &bucket) {
                    bucket.minimum = bucket.maximum = at[0];
                    summariseNarrow(at, width, bucket);
                });
            }
            f += whole * m_span;
            if (whole > 0)
                continue;
        }
        if (m_inBucket == 0) {
            if (m_buckets->size() == 2 * kColumns)
                halve();
            m_buckets->push_back({samples[f * m_channels], samples[f * m_channels], 0, 0});
        }
        Bucket &bucket = m_buckets->back();
        const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(frames - f, m_span - m_inBucket));
        const float *from = samples + f * m_channels;
        const std::size_t count = take * m_channels;
        if (count >= 4 * vectors::kFloats)
            summarise(from, count, bucket);
        else
            summariseNarrow(from, count, bucket);
        bucket.samples += take * m_channels;
        f += take;
        m_inBucket += take;
        if (m_inBucket == m_span)
            m_inBucket = 0;
    }
}

void WaveformBuilder::halve()
{
    const std::size_t pairs = m_buckets->size() / 2;
    for (std::size_t i = 0; i < pairs; ++i) {
        const Bucket &a = (*m_buckets)[2 * i], &b = (*m_buckets)[2 * i + 1];
        (*m_buckets)[i] = {std::min(a.minimum, b.minimum), std::max(a.maximum, b.maximum), a.squares + b.squares,
                           a.samples + b.samples};
    }
    m_buckets->resize(pairs);
    m_span *= 2;
}

Waveform WaveformBuilder::result() const
{
    Waveform waveform;
    waveform.framesPerColumn = m_span;
    waveform.columns.reserve(m_buckets->size());
    for (const Bucket &bucket : *m_buckets)
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
