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
    WaveformBuilder waveform(analysis.format.channels);
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

} // namespace vesk
