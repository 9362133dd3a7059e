#pragma once

#include "soundedit.h"
#include "soundformat.h"
#include "status.h"

#include <functional>
#include <string>

namespace vesk {

// What a conversion made of a sound.
struct Conversion
{
    SoundFormat from;
    SoundFormat to;
    double seconds = 0;      // the converted sound's length
    bool scaledDown = false; // it went beyond full scale and was made quieter to fit
};

// Tells the share of the work done (0 to 1); false cancels it.
using ProgressShare = std::function<bool(double)>;

// Turns the sound file `source`, of any kind SoundDecoder reads, into a plain
// PCM wave of convertedFormat() in `target` (created, or emptied if it
// exists). More than two channels are mixed down to stereo, another rate is
// resampled, and a source of more than 16 bits is reduced with TPDF dither.
// Nothing clips: a sound that would is converted again, scaled down to fit.
// The sound streams through in blocks, so that a long one never sits in
// memory whole. An `edit` is put to it in the same pass (see EditedStream),
// before any resampling, and the result dithered once at the end.
//
// A failure to decode is ErrorCode::BadFormat with the reason in a few words
// ("not a sound file", "damaged after 2.1 s"), for the caller to put after
// the file's name; one to write gives only the reason, for the caller to
// name the file it stands for; a cancel is
// ErrorCode::Cancelled. After any failure `target` holds no sound, for the
// caller to remove.
Result<Conversion> convertSound(const std::string &source, const std::string &target, const SoundEdit &edit = {},
                                const ProgressShare &progress = {});

} // namespace vesk
