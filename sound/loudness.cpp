#include "loudness.h"

#include "vectors.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vesk {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The K-weighting filter's two stages as analogue prototypes, so that they
// can be made for any rate by the bilinear transform; at 48 kHz they give
// BS.1770's own coefficients.
constexpr double kShelfFrequency = 1681.974450955533, kShelfGain = 3.999843853973347, kShelfQ = 0.7071752369554196;
constexpr double kHighPassFrequency = 38.13547087602444, kHighPassQ = 0.5003270373238773;

// Loudness of a mean weighted square, and the gates of BS.1770-4.
constexpr double kOffset = -0.691;
constexpr double kAbsoluteGate = -70.0, kRelativeGate = -10.0;

// The true-peak interpolator: a windowed sinc of 49 taps at four times the
// rate, in four phases of twelve taps (BS.1770-4, Annex 2, gives one such
// filter as its example; this one has less ripple in the pass band, which a
// pure tone would read as a higher peak). Phase 0 is the samples themselves
// and is left to the sample peak. The sinc is symmetric about its centre, so
// phase 3 is phase 1 backwards and phase 2 is its own mirror: a point's
// twelve samples are folded into six sums and six differences, phases 1 and
// 3 become E + O and E - O (the larger of the two in size is |E| + |O|), and
// phase 2 is a sum over the six sums alone. That halves the multiplications.
struct Interpolator
{
    float even[6] = {}, odd[6] = {}, middle[6] = {};
    float gain = 0; // the most any phase can make of samples of level 1
    Interpolator()
    {
        constexpr int kLength = 49, kFactor = 4, kCentre = (kLength - 1) / 2;
        // tap(p, t): phase p's weight of the t-th of the twelve samples.
        const auto tap = [](int p, int t) {
            const int j = p + kFactor * (11 - t);
            const double x = kPi * (j - kCentre) / kFactor;
            const double window = 0.5 * (1 - std::cos(2 * kPi * j / (kLength - 1)));
            return window * std::sin(x) / x;
        };
        for (int t = 0; t < 6; ++t) {
            even[t] = static_cast<float>((tap(1, t) + tap(1, 11 - t)) / 2);
            odd[t] = static_cast<float>((tap(1, t) - tap(1, 11 - t)) / 2);
            middle[t] = static_cast<float>(tap(2, t));
        }
        for (int p = 1; p < kFactor; ++p) {
            double sum = 0;
            for (int t = 0; t < 12; ++t)
                sum += std::fabs(tap(p, t));
            gain = std::max(gain, static_cast<float>(sum));
        }
        gain *= 1.001f; // above what float rounding could add
    }
};
const Interpolator kInterpolator;
constexpr std::size_t kHistory = 11;
// From this rate on the samples are as dense as 4 x 48 kHz already.
constexpr int kOversampledRate = 192000;

using vectors::Doubles2;
using vectors::Floats;
using vectors::kFloats;

// Two channels' K-weighting in direct form I, side by side in one vector:
// per frame one multiply-add of each stage waits for the frame before, the
// rest of the work overlaps it. Adds each channel's sum of weighted squares
// to `energy`, and copies each channel's samples to a line of its own
// (`first`, `second`) on the way. With `kOne`, the second channel is none.
template<bool kOne>
[[gnu::always_inline]] inline void weighPair(const float *in, std::size_t stride, std::size_t frames, const Biquad &s,
                                             const Biquad &h, double *state, Doubles2 &energy, float *first,
                                             float *second)
{
    Doubles2 x1 = {state[0], state[1]}, x2 = {state[2], state[3]}, s1 = {state[4], state[5]}, s2 = {state[6], state[7]},
             w1 = {state[8], state[9]}, w2 = {state[10], state[11]}, sum = {0, 0};
    for (std::size_t f = 0; f < frames; ++f, in += stride) {
        const float left = in[0], right = kOne ? 0.0f : in[1];
        first[f] = left;
        if (!kOne)
            second[f] = right;
        const Doubles2 x = {left, right};
        const Doubles2 shelved = s.b0 * x + s.b1 * x1 + s.b2 * x2 - s.a2 * s2 - s.a1 * s1;
        // The high pass's numerator is 1, -2, 1.
        const Doubles2 weighted = (shelved + s2) - 2 * s1 - h.a2 * w2 - h.a1 * w1;
        sum += weighted * weighted;
        x2 = x1;
        x1 = x;
        s2 = s1;
        s1 = shelved;
        w2 = w1;
        w1 = weighted;
    }
    const Doubles2 *const saved[] = {&x1, &x2, &s1, &s2, &w1, &w2};
    for (int i = 0; i < 6; ++i) {
        state[2 * i] = (*saved[i])[0];
        state[2 * i + 1] = (*saved[i])[1];
    }
    energy += sum;
}

// The K-weighted sums of squares of every channel of `frames` interleaved
// frames into `energies`, the filters' states carried in `states` (twelve
// doubles for each pair of channels); channel c's samples are copied to
// lines + c * width.
VESK_VECTOR_CLONES
void weigh(const float *samples, std::size_t channels, std::size_t frames, const Biquad &s, const Biquad &h,
           double *states, double *energies, float *lines, std::size_t width)
{
    for (std::size_t c = 0; c < channels; c += 2) {
        Doubles2 energy = {0, 0};
        float *first = lines + c * width;
        if (c + 1 < channels)
            weighPair<false>(samples + c, channels, frames, s, h, states + 6 * c, energy, first, first + width);
        else
            weighPair<true>(samples + c, channels, frames, s, h, states + 6 * c, energy, first, nullptr);
        energies[c] += energy[0];
        if (c + 1 < channels)
            energies[c + 1] += energy[1];
    }
}

// The largest sample of `count` in size.
VESK_VECTOR_CLONES
float samplePeak(const float *line, std::size_t count)
{
    Floats top{};
    std::size_t at = 0;
    for (; at + kFloats <= count; at += kFloats)
        top = vectors::maximum(top, vectors::magnitude(vectors::load(line + at)));
    float peak = vectors::largest(top);
    for (; at < count; ++at)
        peak = std::max(peak, std::fabs(line[at]));
    return peak;
}

// The largest interpolated point, in size, of points [from, to) of `line`,
// or `top` where none is larger. Point f lies between samples f + 5 and
// f + 6 and is made of samples f to f + 11; `line` holds kFloats samples
// more than the last point reads, so that whole vectors can be loaded.
VESK_VECTOR_CLONES
float interpolatedPeak(const float *line, std::size_t from, std::size_t to, float top)
{
    const Interpolator &k = kInterpolator;
    // A run of points whose samples, at the filter's greatest gain, cannot
    // beat the peak found so far is passed over: most of a sound once its
    // loudest part is behind.
    constexpr std::size_t kRun = 8 * kFloats;
    Floats lanes;
    for (std::size_t i = 0; i < kFloats; ++i)
        lanes[i] = static_cast<float>(i);
    for (std::size_t run = from; run < to; run += kRun) {
        const std::size_t end = std::min(to, run + kRun);
        Floats level{};
        for (std::size_t at = run; at < end + 11; at += kFloats)
            level = vectors::maximum(level, vectors::magnitude(vectors::load(line + at)));
        if (vectors::largest(level) * k.gain <= top)
            continue;
        Floats highest = vectors::splat(top);
        for (std::size_t f = run; f < end; f += kFloats) {
            Floats e{}, o{}, m{};
#pragma GCC unroll 6
            for (std::size_t t = 0; t < 6; ++t) {
                const Floats a = vectors::load(line + f + t), b = vectors::load(line + f + 11 - t);
                const Floats sum = a + b, difference = a - b;
                e += k.even[t] * sum;
                o += k.odd[t] * difference;
                m += k.middle[t] * sum;
            }
            Floats point = vectors::maximum(vectors::magnitude(e) + vectors::magnitude(o), vectors::magnitude(m));
            // Past the last point the vector read the spare samples.
            if (end - f < kFloats)
                point = lanes < static_cast<float>(end - f) ? point : Floats{};
            highest = vectors::maximum(highest, point);
        }
        top = vectors::largest(highest);
    }
    return top;
}

std::optional<double> loudnessOf(double meanSquare)
{
    if (!(meanSquare > 0))
        return std::nullopt;
    const double loudness = kOffset + 10 * std::log10(meanSquare);
    if (loudness < kAbsoluteGate)
        return std::nullopt;
    return loudness;
}

} // namespace

std::optional<double> decibels(double level)
{
    if (!(level > 0))
        return std::nullopt;
    return 20 * std::log10(level);
}

double LoudnessMeter::channelWeight(int channel, int channels)
{
    // Wave order: L R C LFE, then the surround pairs. Four and five
    // channels have no LFE (L R BL BR; L R C BL BR).
    if (channels == 4)
        return channel < 2 ? 1.0 : 1.41;
    if (channels == 5)
        return channel < 3 ? 1.0 : 1.41;
    if (channels >= 6 && channel == 3)
        return 0.0;
    // BS.1770-4 weighs a channel by where it stands: 1.41 from 60 to 120
    // degrees off the front (the surrounds of 5.1, the sides of 6.1 and
    // 7.1), 1.0 further back (6.1's back centre, 7.1's back pair).
    if (channels == 7 && channel == 4)
        return 1.0;
    if (channels == 8 && (channel == 4 || channel == 5))
        return 1.0;
    if (channels >= 6 && channel >= 4)
        return 1.41;
    return 1.0;
}

LoudnessMeter::LoudnessMeter(int rate, int channels)
    : m_channels(std::max(1, channels)), m_oversample(rate < kOversampledRate),
      m_state(static_cast<std::size_t>(std::max(1, channels))),
      m_filterStates(6 * static_cast<std::size_t>(std::max(1, channels) + 1)),
      m_energies(static_cast<std::size_t>(std::max(1, channels))),
      m_stepFrames(static_cast<std::size_t>(std::max<long long>(1, (static_cast<long long>(rate) + 5) / 10)))
{
    const double fs = std::max(1, rate);
    if (fs > 2 * kShelfFrequency) {
        const double k = std::tan(kPi * kShelfFrequency / fs);
        const double vh = std::pow(10.0, kShelfGain / 20), vb = std::pow(vh, 0.4996667741545416);
        const double a0 = 1 + k / kShelfQ + k * k;
        m_shelf = {(vh + vb * k / kShelfQ + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / kShelfQ + k * k) / a0,
                   2 * (k * k - 1) / a0, (1 - k / kShelfQ + k * k) / a0};
    } else {
        // The shelf lies above what such a rate carries.
        m_shelf = {1, 0, 0, 0, 0};
    }
    if (fs > 2 * kHighPassFrequency) {
        const double k = std::tan(kPi * kHighPassFrequency / fs);
        const double a0 = 1 + k / kHighPassQ + k * k;
        m_highPass = {1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / kHighPassQ + k * k) / a0};
    } else {
        // Such a rate carries nothing above the high pass's corner, and the
        // filter made for it would grow without bound: it weighs to silence.
        m_shelf = {0, 0, 0, 0, 0};
        m_highPass = {1, -2, 1, 0, 0};
    }
    for (int c = 0; c < m_channels; ++c)
        m_weights.push_back(channelWeight(c, m_channels));
    m_scratch.resize(m_state.size() * (kHistory + m_stepFrames + kFloats));
}

void LoudnessMeter::add(const float *samples, std::size_t frames)
{
    const vectors::DenormalsAsZero flushed;
    while (frames > 0) {
        const std::size_t take = std::min(frames, m_stepFrames - m_inStep);
        addToStep(samples, take);
        samples += take * static_cast<std::size_t>(m_channels);
        frames -= take;
        if (m_inStep == m_stepFrames)
            closeStep();
    }
}

void LoudnessMeter::addToStep(const float *samples, std::size_t frames)
{
    const auto stride = static_cast<std::size_t>(m_channels);
    // Each channel's samples in a line of their own, behind the last ones
    // of the block before, which the interpolation reads too.
    const std::size_t width = kHistory + m_stepFrames + kFloats;
    for (std::size_t c = 0; c < stride; ++c)
        std::copy(m_state[c].history, m_state[c].history + kHistory, &m_scratch[c * width]);
    std::fill(m_energies.begin(), m_energies.end(), 0.0);
    weigh(samples, stride, frames, m_shelf, m_highPass, m_filterStates.data(), m_energies.data(), &m_scratch[kHistory],
          width);
    for (std::size_t c = 0; c < stride; ++c)
        m_stepEnergy += m_weights[c] * m_energies[c];
    for (std::size_t c = 0; c < stride && frames > 0; ++c) {
        ChannelState &state = m_state[c];
        const float *line = &m_scratch[c * width];
        state.peak = std::max(state.peak, samplePeak(line + kHistory, frames));
        if (m_oversample) {
            // Points whose filter reaches back before the first sample would
            // measure the step from silence into the sound, which is not in it.
            const std::size_t first = m_frames < kHistory ? std::min<std::size_t>(frames, kHistory - m_frames) : 0;
            state.truePeak = interpolatedPeak(line, first, frames, state.truePeak);
        }
        std::copy(line + frames, line + frames + kHistory, state.history);
    }
    m_inStep += frames;
    m_frames += frames;
}

float LoudnessMeter::closingPeak() const
{
    // The points between the last six samples read samples past the end,
    // which is silence: they are measured once the sound has ended. Points
    // that reach back before the first sample stay out, as in the stream.
    constexpr std::size_t kClosing = kHistory / 2;
    const std::size_t first = m_frames < kHistory ? kHistory - static_cast<std::size_t>(m_frames) : 0;
    float top = 0;
    if (first >= kClosing)
        return top;
    float line[2 * kHistory + 1 + kFloats] = {};
    for (const ChannelState &state : m_state) {
        std::copy(state.history, state.history + kHistory, line);
        top = interpolatedPeak(line, first, kClosing, top);
    }
    return top;
}

void LoudnessMeter::closeStep()
{
    m_wholeEnergy += m_stepEnergy;
    m_steps.push_back(m_stepEnergy);
    if (m_steps.size() == 4) {
        const double sum = m_steps[0] + m_steps[1] + m_steps[2] + m_steps[3];
        m_blocks.push_back(sum / static_cast<double>(4 * m_stepFrames));
        m_steps.erase(m_steps.begin());
    }
    m_stepEnergy = 0;
    m_inStep = 0;
}

Loudness LoudnessMeter::result() const
{
    Loudness result;
    float peak = 0, truePeak = 0;
    for (const ChannelState &state : m_state) {
        peak = std::max(peak, state.peak);
        truePeak = std::max({truePeak, state.peak, state.truePeak});
    }
    if (m_oversample)
        truePeak = std::max(truePeak, closingPeak());
    result.samplePeak = decibels(peak);
    // Samples near the largest float make points beyond it: the peak is at
    // least that.
    if (!std::isfinite(truePeak))
        truePeak = std::numeric_limits<float>::max();
    result.truePeak = decibels(m_oversample ? truePeak : peak);
    if (m_blocks.empty()) {
        // Shorter than one block: the whole sound is the block.
        result.shortSound = true;
        if (m_frames > 0)
            result.integrated = loudnessOf((m_wholeEnergy + m_stepEnergy) / static_cast<double>(m_frames));
        result.momentaryMax = result.integrated;
        return result;
    }
    double loudest = 0, aboveAbsolute = 0;
    std::size_t countAbsolute = 0;
    const double absoluteFloor = std::pow(10.0, (kAbsoluteGate - kOffset) / 10);
    for (double block : m_blocks) {
        loudest = std::max(loudest, block);
        if (block > absoluteFloor) {
            aboveAbsolute += block;
            ++countAbsolute;
        }
    }
    result.momentaryMax = loudnessOf(loudest);
    if (countAbsolute == 0)
        return result;
    const double relativeFloor
        = aboveAbsolute / static_cast<double>(countAbsolute) * std::pow(10.0, kRelativeGate / 10);
    double gated = 0;
    std::size_t countGated = 0;
    for (double block : m_blocks) {
        if (block > absoluteFloor && block > relativeFloor) {
            gated += block;
            ++countGated;
        }
    }
    if (countGated > 0)
        result.integrated = loudnessOf(gated / static_cast<double>(countGated));
    return result;
}

} // namespace vesk
