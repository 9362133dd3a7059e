#pragma once

#include "status.h"

#include <cstdint>
#include <string>

namespace vesk {

// What Play plays, which is what the game will play: a wave the game plays
// as it is, any other sound converted first, into a private folder of this
// run's that goes with this object.
class PlayableSounds
{
public:
    PlayableSounds() = default;
    ~PlayableSounds();
    PlayableSounds(const PlayableSounds &) = delete;
    PlayableSounds &operator=(const PlayableSounds &) = delete;

    // The file to play for `path`: itself, or its conversion (made once while
    // the file stays as it is). The failure gives the reason in a few words.
    Result<std::string> playable(const std::string &path);

private:
    std::string m_folder;
    std::string m_source;
    std::int64_t m_time = 0;
    std::uintmax_t m_size = 0;
    std::string m_converted;
};

} // namespace vesk
