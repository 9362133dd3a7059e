#pragma once

#include <string>

namespace vesk {

// Whether a file is a RIFF WAVE file with a "fmt " chunk, the kind the game
// plays. A file that cannot be read is none.
bool isWaveFile(const std::string &path);

} // namespace vesk
