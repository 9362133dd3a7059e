#pragma once

#include <cstddef>
#include <string>

namespace win32 {

// Plays a wave file in the background, from memory: the system's own open
// takes no path longer than 128 characters. A new sound replaces the one
// that plays; an empty name, or a file that is no sound, plays nothing,
// never the system's default sound.
class SoundPlayer
{
public:
    SoundPlayer() = default;
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer &) = delete;
    SoundPlayer &operator=(const SoundPlayer &) = delete;

    void play(const std::string &name);

private:
    std::string m_playing; // the bytes of the sound that plays
};

} // namespace win32
