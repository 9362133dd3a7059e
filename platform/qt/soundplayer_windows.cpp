#include "soundplayer.h"

#include <mmsystem.h>
#include <windows.h>

namespace platform {

SoundPlayer::SoundPlayer() = default;

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::play(const std::string &name)
{
    // Module handle 1 and SND_ASYNC alone: the name is looked up as a system
    // sound first, then as a file; an empty name stops what plays.
    PlaySoundA(name.c_str(), reinterpret_cast<HMODULE>(1), SND_ASYNC);
}

} // namespace platform
