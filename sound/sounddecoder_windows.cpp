#include "sounddecoder.h"

namespace vesk {

Result<std::unique_ptr<SoundDecoder>> SoundDecoder::open(const std::string &)
{
    return Status::failure(ErrorCode::BadFormat, "not a sound file this system decodes");
}

Result<std::unique_ptr<Resampler>> Resampler::make(int, int, int)
{
    return Status::failure(ErrorCode::Io, "cannot convert the sample rate on this system");
}

} // namespace vesk
