#include "soundplayer.h"

#include "files.h"

#include <windows.h>

#include <mmsystem.h>

namespace win32 {

namespace {

// A sound larger than this is not loaded to be played (a wave of CD quality
// plays for more than an hour and a half).
constexpr std::size_t kLargestPlayed = 1024u * 1024 * 1024;

} // namespace

SoundPlayer::~SoundPlayer()
{
    PlaySoundA(nullptr, nullptr, 0);
}

void SoundPlayer::play(const std::string &name)
{
    // The sound before is stopped before its bytes go.
    PlaySoundA(nullptr, nullptr, 0);
    m_playing.clear();
    if (name.empty())
        return;
    vesk::Result<std::string> bytes = vesk::readFile(name, kLargestPlayed, vesk::Overflow::Refuse);
    if (!bytes)
        return;
    m_playing = std::move(*bytes);
    PlaySoundA(m_playing.data(), nullptr, SND_ASYNC | SND_MEMORY | SND_NODEFAULT);
}

} // namespace win32
