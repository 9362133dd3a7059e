#include "loudness.h"

#include <algorithm>
#include <cmath>

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
// and is left to the sample peak. Stored by tap with the phases side by side
// and the taps reversed, so that one interpolated frame is one run over
// twelve samples.
// Four floats side by side, one for each phase: one vector instruction
// interpolates all four points of a sample period.
typedef float Phases __attribute__((vector_size(16)));

struct Interpolator
{
    Phases taps[12] = {};
    float gain = 0; // the most any phase can make of samples of level 1
    Interpolator()
    {
        constexpr int kLength = 49, kFactor = 4, kCentre = (kLength - 1) / 2;
        for (int p = 1; p < kFactor; ++p) {
            for (int k = 0; k < 12; ++k) {
                const int j = p + kFactor * k;
                const double x = kPi * (j - kCentre) / kFactor;
                const double window = 0.5 * (1 - std::cos(2 * kPi * j / (kLength - 1)));
                taps[11 - k][p] = static_cast<float>(window * std::sin(x) / x);
            }
        }
        for (int p = 1; p < kFactor; ++p) {
            float sum = 0;
            for (int t = 0; t < 12; ++t)
                sum += std::fabs(taps[t][p]);
            gain = std::max(gain, sum);
        }
        gain *= 1.0001f; // above what float rounding could add
    }
};
const Interpolator kInterpolator;
constexpr std::size_t kHistory = 11;
// From this rate on the samples are as dense as 4 x 48 kHz already.
constexpr int kOversampledRate = 192000;

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
    if (channels >= 6 && channel >= 4)
        return channels == 7 && channel == 4 ? 1.0 : 1.41; // 6.1 has a back centre
    return 1.0;
}

LoudnessMeter::LoudnessMeter(int rate, int channels)
    : m_channels(std::max(1, channels)), m_oversample(rate < kOversampledRate),
      m_state(static_cast<std::size_t>(std::max(1, channels))),
      m_stepFrames(static_cast<std::size_t>(std::max(1, (rate + 5) / 10)))
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
    const double k = std::tan(kPi * kHighPassFrequency / fs);
    const double a0 = 1 + k / kHighPassQ + k * k;
    m_highPass = {1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / kHighPassQ + k * k) / a0};
    for (int c = 0; c < m_channels; ++c)
        m_weights.push_back(channelWeight(c, m_channels));
}

void LoudnessMeter::add(const float *samples, std::size_t frames)
{
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
    const Biquad s = m_shelf, h = m_highPass;
    if (m_oversample)
        m_scratch.resize(kHistory + frames);
    for (std::size_t c = 0; c < stride; ++c) {
        ChannelState &state = m_state[c];
        double z0 = state.z[0], z1 = state.z[1], z2 = state.z[2], z3 = state.z[3];
        double energy = 0;
        float peak = state.peak;
        const float *in = samples + c;
        for (std::size_t f = 0; f < frames; ++f) {
            const float x = in[f * stride];
            peak = std::max(peak, std::fabs(x));
            // Two biquads in transposed direct form II.
            const double shelved = s.b0 * x + z0;
            z0 = s.b1 * x - s.a1 * shelved + z1;
            z1 = s.b2 * x - s.a2 * shelved;
            const double weighted = h.b0 * shelved + z2;
            z2 = h.b1 * shelved - h.a1 * weighted + z3;
            z3 = h.b2 * shelved - h.a2 * weighted;
            energy += weighted * weighted;
        }
        state.z[0] = z0;
        state.z[1] = z1;
        state.z[2] = z2;
        state.z[3] = z3;
        state.peak = peak;
        m_stepEnergy += m_weights[c] * energy;
        if (!m_oversample || frames == 0)
            continue;
        float *line = m_scratch.data();
        std::copy(state.history, state.history + kHistory, line);
        for (std::size_t f = 0; f < frames; ++f)
            line[kHistory + f] = in[f * stride];
        float top = state.truePeak;
        // Points whose filter reaches back before the first sample would
        // measure the step from silence into the sound, which is not in it.
        const std::size_t first = m_frames < kHistory ? std::min<std::size_t>(frames, kHistory - m_frames) : 0;
        // A run of points whose samples, at the filter's greatest gain,
        // cannot beat the peak found so far is passed over: most of a
        // sound once its loudest part is behind.
        constexpr std::size_t kRun = 32;
        for (std::size_t run = first; run < frames; run += kRun) {
            const std::size_t end = std::min(frames, run + kRun);
            float level = 0;
            for (std::size_t at = run; at < end + kHistory; ++at)
                level = std::max(level, std::fabs(line[at]));
            if (level * kInterpolator.gain <= top)
                continue;
            Phases highest = {top, top, top, top};
            for (std::size_t f = run; f < end; ++f) {
                Phases y = {0, 0, 0, 0};
                for (std::size_t t = 0; t <= kHistory; ++t)
                    y += kInterpolator.taps[t] * line[f + t];
                const Phases negative = -y;
                highest = highest > y ? highest : y;
                highest = highest > negative ? highest : negative;
            }
            top = std::max({highest[0], highest[1], highest[2], highest[3]});
        }
        state.truePeak = top;
        std::copy(line + frames, line + frames + kHistory, state.history);
    }
    m_inStep += frames;
    m_frames += frames;
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
    result.samplePeak = decibels(peak);
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
