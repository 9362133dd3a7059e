#pragma once

#include "soundedit.h"
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

    // The file to play for `path` as `edit` makes it: itself, or its
    // conversion (made once while the file and the edit stay as they are).
    // The failure gives the reason in a few words.
    Result<std::string> playable(const std::string &path, const SoundEdit &edit = {});

private:
    std::string m_folder;
    std::string m_source;
    SoundEdit m_edit;
    std::int64_t m_time = 0;
    std::uintmax_t m_size = 0;
    std::string m_converted;
};

} // namespace vesk
