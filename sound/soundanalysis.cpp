#include "soundanalysis.h"

#include "sounddecoder.h"

#include <memory>

namespace vesk {

Result<SoundAnalysis> analyseSound(const std::string &path, const std::function<bool()> &keepGoing)
{
    Result<std::unique_ptr<SoundDecoder>> opened = SoundDecoder::open(path);
    if (!opened)
        return opened.status();
    SoundDecoder &decoder = **opened;
    SoundAnalysis analysis;
    analysis.kind = soundKind(path);
    analysis.format = decoder.format();
    LoudnessMeter meter(analysis.format.rate, analysis.format.channels);
    WaveformBuilder waveform(analysis.format.channels, decoder.frames());
    const Result<std::uint64_t> frames = decodeAll(decoder, [&](const float *samples, std::size_t count, bool) {
        if (keepGoing && !keepGoing())
            return Status::failure(ErrorCode::Cancelled, "cancelled");
        meter.add(samples, count);
        waveform.add(samples, count);
        return Status::success();
    });
    if (!frames)
        return frames.status();
    analysis.frames = *frames;
    analysis.loudness = meter.result();
    analysis.waveform = waveform.result();
    return analysis;
}

std::uint64_t nearestZeroCrossing(const std::string &path, std::uint64_t frame, std::uint64_t reach)
{
    Result<std::unique_ptr<SoundDecoder>> opened = SoundDecoder::open(path);
    if (!opened)
        return frame;
    const auto channels = static_cast<std::size_t>((*opened)->format().channels);
    const std::uint64_t from = frame > reach ? frame - reach : 0, to = frame + reach;
    std::uint64_t at = 0, best = frame, bestDistance = UINT64_MAX;
    float previous = 0;
    bool havePrevious = false;
    // Where the file cannot be read as far, what was found stands.
    static_cast<void>(decodeAll(**opened, [&](const float *samples, std::size_t count, bool) {
        for (std::size_t f = 0; f < count; ++f, ++at) {
            if (at < from)
                continue;
            if (at > to)
                return Status::failure(ErrorCode::Cancelled, "far enough");
            float sum = 0;
            for (std::size_t c = 0; c < channels; ++c)
                sum += samples[f * channels + c];
            // The frame where the sign turns, or a frame of silence.
            if (sum == 0 || (havePrevious && (previous < 0) != (sum < 0))) {
                const std::uint64_t distance = at > frame ? at - frame : frame - at;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = at;
                }
            }
            previous = sum;
            havePrevious = true;
        }
        return Status::success();
    }));
    return best;
}

} // namespace vesk
