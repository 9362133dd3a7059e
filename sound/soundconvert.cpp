#include "soundconvert.h"

#include "sounddecoder.h"
#include "soundedit.h"
#include "wavewriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace vesk {

namespace {

constexpr double kFullScale = 32768.0;
// The loudest a scaled-down sound may be, leaving room for the dither.
constexpr double kScaledPeak = 32766.0;

// How much of each source channel goes to the left and to the right when
// more than two are mixed down, by the channel order of wave files (front
// left, front right, centre, low frequency, back left, back right, side
// left, side right). The low-frequency channel is left out; each side is
// scaled so that the mix never goes beyond the loudest source.
struct StereoMix
{
    std::vector<float> left, right;
};

StereoMix stereoMix(int channels)
{
    enum Role {
        L,
        R,
        C,
        Lfe,
        BL,
        BR,
        SL,
        SR,
        BC
    };
    static const std::vector<std::vector<Role>> layouts = {
        {},
        {},
        {},
        {L, R, C},
        {L, R, BL, BR},
        {L, R, C, BL, BR},
        {L, R, C, Lfe, BL, BR},
        {L, R, C, Lfe, BC, SL, SR},
        {L, R, C, Lfe, BL, BR, SL, SR},
    };
    constexpr float kSide = 0.70710678f;
    StereoMix mix;
    const auto count = static_cast<std::size_t>(channels);
    mix.left.assign(count, 0.0f);
    mix.right.assign(count, 0.0f);
    for (std::size_t c = 0; c < count; ++c) {
        // Beyond the known layouts, channels alternate left and right.
        const Role role = count < layouts.size() ? layouts[count][c] : (c % 2 ? R : L);
        switch (role) {
        case L:
            mix.left[c] = 1.0f;
            break;
        case R:
            mix.right[c] = 1.0f;
            break;
        case BL:
        case SL:
            mix.left[c] = kSide;
            break;
        case BR:
        case SR:
            mix.right[c] = kSide;
            break;
        case C:
        case BC:
            mix.left[c] = mix.right[c] = kSide;
            break;
        case Lfe:
            break;
        }
    }
    for (std::vector<float> *side : {&mix.left, &mix.right}) {
        float sum = 0;
        for (float w : *side)
            sum += w;
        for (float &w : *side)
            w /= sum;
    }
    return mix;
}

void mixDown(const StereoMix &mix, const float *in, std::size_t frames, std::vector<float> &out)
{
    const std::size_t channels = mix.left.size();
    out.resize(frames * 2);
    for (std::size_t f = 0; f < frames; ++f) {
        const float *frame = in + f * channels;
        float left = 0, right = 0;
        for (std::size_t c = 0; c < channels; ++c) {
            left += mix.left[c] * frame[c];
            right += mix.right[c] * frame[c];
        }
        out[2 * f] = left;
        out[2 * f + 1] = right;
    }
}

// 16-bit samples from float ones, with TPDF dither (the difference of two
// uniform values, one step either way at most) where the conversion calls
// for it and a sample falls between two steps. The seed is fixed, so that a sound converts to the same bytes each
// time.
class Quantizer
{
public:
    Quantizer(bool dither, double gain) : m_dither(dither), m_gain(gain * kFullScale) {}

    void run(const float *in, std::size_t count, std::vector<std::int16_t> &out)
    {
        out.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            double value = in[i] * m_gain;
            m_peak = std::max(m_peak, std::fabs(value));
            // A sample on the 16-bit grid already (any 16-bit or 8-bit
            // source at its own level, and digital silence) loses nothing.
            if (m_dither && value != std::nearbyint(value)) {
                const std::uint32_t bits = static_cast<std::uint32_t>(m_random());
                value += (static_cast<double>(bits & 0x7FFF) - static_cast<double>(bits >> 15 & 0x7FFF)) / 32768.0;
            }
            out[i] = static_cast<std::int16_t>(std::clamp(std::lrint(value), -32768L, 32767L));
        }
    }
    // The loudest sample before dither, in steps of 16 bits.
    double peak() const { return m_peak; }

private:
    bool m_dither;
    double m_gain;
    double m_peak = 0;
    std::minstd_rand m_random{0x5EED};
};

struct Pass
{
    double seconds = 0;
    double peak = 0;
};

// One run through the source into `out`, at `gain`.
Result<Pass> convertOnce(const std::string &source, const SoundEdit &edit, WaveWriter &out, double gain,
                         const ProgressShare &progress)
{
    Result<std::unique_ptr<SoundDecoder>> opened = SoundDecoder::open(source);
    if (!opened)
        return opened.status();
    SoundDecoder &decoder = **opened;
    const SoundFormat from = decoder.format();
    const SoundFormat to = convertedFormat(from);
    std::unique_ptr<Resampler> resampler;
    if (from.rate != to.rate) {
        Result<std::unique_ptr<Resampler>> made = Resampler::make(from.rate, to.rate, to.channels);
        if (!made)
            return made.status();
        resampler = std::move(made).value();
    }
    const StereoMix mix = from.channels > 2 ? stereoMix(from.channels) : StereoMix();
    // An edit's fades and gain take samples off the 16-bit grid: they are
    // dithered once, here at the end.
    Quantizer quantizer(needsDither(from, to) || !edit.empty(), gain);
    std::optional<EditedStream> edited;
    if (!edit.empty())
        edited.emplace(edit, from.rate, to.channels);

    const auto width = static_cast<std::size_t>(to.channels); // after any mix-down
    std::vector<float> mixed, kept, resampled;
    std::vector<std::int16_t> samples;
    std::uint64_t read = 0, passed = 0, written = 0;
    const double total = static_cast<double>(decoder.frames());
    const auto block = [&](const float *decoded, std::size_t frames, bool last) {
        read += frames;
        if (progress && !progress(total > 0 ? std::min(1.0, static_cast<double>(read) / total) : 0.0))
            return Status::failure(ErrorCode::Cancelled, "cancelled");
        if (from.channels > 2) {
            mixDown(mix, decoded, frames, mixed);
            decoded = mixed.data();
        }
        if (edited) {
            kept.clear();
            edited->process(decoded, frames, last, kept);
            last = last || edited->ended(); // the rest is cut away: no more blocks come
            decoded = kept.data();
            frames = kept.size() / width;
        }
        passed += frames;
        if (resampler) {
            resampled.clear();
            if (Status step = resampler->process(decoded, frames, false, resampled); !step.ok())
                return step;
            if (last) {
                // Some resamplers keep their filter's tail however they are
                // drained: silence pushes it out, and the sound is cut to
                // its length at the new rate, to the frame.
                const std::vector<float> silence(static_cast<std::size_t>(from.rate / 20 + 1) * width, 0.0f);
                if (Status step = resampler->process(silence.data(), silence.size() / width, true, resampled);
                    !step.ok())
                    return step;
                const auto length = static_cast<std::uint64_t>(
                    std::llround(static_cast<double>(passed) * to.rate / static_cast<double>(from.rate)));
                const std::uint64_t keep = length > written ? length - written : 0;
                resampled.resize(std::min<std::size_t>(resampled.size(), static_cast<std::size_t>(keep) * width));
            }
            decoded = resampled.data();
            frames = resampled.size() / width;
        }
        quantizer.run(decoded, frames * static_cast<std::size_t>(to.channels), samples);
        written += frames;
        return out.write(samples.data(), samples.size());
    };
    if (progress && !progress(0.0))
        return Status::failure(ErrorCode::Cancelled, "cancelled");
    const Result<std::uint64_t> decoded = decodeAll(decoder, block, [&] { return edited && edited->ended(); });
    if (!decoded)
        return decoded.status();
    return Pass{static_cast<double>(written) / to.rate, quantizer.peak()};
}

} // namespace

Result<Conversion> convertSound(const std::string &source, const std::string &target, const SoundEdit &edit,
                                const ProgressShare &progress)
{
    Conversion conversion;
    {
        Result<std::unique_ptr<SoundDecoder>> opened = SoundDecoder::open(source);
        if (!opened)
            return opened.status();
        conversion.from = (*opened)->format();
        conversion.to = convertedFormat(conversion.from);
    }
    WaveWriter out(target, conversion.to);
    if (Status opened = out.status(); !opened.ok())
        return opened;
    Result<Pass> pass = convertOnce(source, edit, out, 1.0, progress);
    // Too loud for 16 bits (a floating-point source beyond full scale, or the
    // overshoot of resampling): once more, scaled to fit.
    if (pass && pass->peak > kScaledPeak) {
        conversion.scaledDown = true;
        const double gain = kScaledPeak / pass->peak;
        Status again = out.restart();
        pass = again.ok() ? convertOnce(source, edit, out, gain, progress) : Result<Pass>(again);
    }
    if (!pass)
        return pass.status();
    if (Status done = out.finish(); !done.ok())
        return done;
    conversion.seconds = pass->seconds;
    return conversion;
}

} // namespace vesk
