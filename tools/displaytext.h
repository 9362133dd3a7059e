#pragma once

#include <cstddef>
#include <string>

namespace vesk {

// Text values of the files (theme.cfg, projects) as UTF-8 for display: a
// value that is valid UTF-8 is shown as it is; any other comes from an older
// file written in the single-byte Windows code page and is read as
// Windows-1252, the same in every build. Never written back: the bytes stay
// as they were read.
std::string displayText(const std::string &bytes);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(const std::string &bytes);

// A path for a line of a message that must fit the screen: `bytes` as they
// are when they make at most `most` characters, else their start and end
// around "…", cut between characters, never inside one.
std::string shortenedInMiddle(const std::string &bytes, std::size_t most);

// A sound's length as the player reads it: "20 ms", "2.1 s", "10 min 3 s",
// "1 h 5 min".
std::string lengthText(double seconds);

// Whether the bytes are a JPEG whose last scan has no end marker after it: a
// file cut short in transfer. Both installers show such a picture as none.
bool isCutShortJpeg(const std::string &bytes);

} // namespace vesk
