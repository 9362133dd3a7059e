#include "soundformat.h"

namespace vesk {

SoundFormat convertedFormat(const SoundFormat &source)
{
    SoundFormat target;
    target.bits = 16;
    target.channels = source.channels <= 2 ? source.channels : 2;
    if (source.rate >= kLowestRate && source.rate <= kHighestRate)
        target.rate = source.rate;
    else
        target.rate = source.rate < kLowestRate ? 22050 : 44100;
    return target;
}

bool needsDither(const SoundFormat &source, const SoundFormat &target)
{
    const bool exact = source.bits > 0 && source.bits <= 16;
    return !exact || source.rate != target.rate || source.channels != target.channels;
}

} // namespace vesk
