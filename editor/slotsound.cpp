#include "slotsound.h"

#include <cmath>
#include <cstdio>

namespace vesk {

namespace {

constexpr const char *kMinus = "\xE2\x88\x92"; // U+2212

std::string format(const char *pattern, double value)
{
    char text[48];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// "44,100"
std::string grouped(long value)
{
    std::string digits = std::to_string(value);
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string channelsText(int channels)
{
    switch (channels) {
    case 1:
        return "mono";
    case 2:
        return "stereo";
    case 6:
        return "5.1";
    default:
        return std::to_string(channels) + " channels";
    }
}

std::string loudnessText(double lufs)
{
    return levelText(lufs) + " LUFS";
}

} // namespace

std::string levelText(double value)
{
    const std::string text = format("%.1f", std::fabs(value));
    return (value < 0 && text != "0.0" ? kMinus : "") + text;
}

std::string soundInfo(const SoundAnalysis &sound)
{
    std::string info = sound.kind + ", " + grouped(sound.format.rate) + " Hz " + channelsText(sound.format.channels)
                       + ", " + lengthText(sound.seconds());
    if (!sound.loudness.integrated)
        return info + ", silent";
    info += ", " + loudnessText(*sound.loudness.integrated);
    if (sound.loudness.truePeak)
        info += ", peak " + levelText(*sound.loudness.truePeak) + " dBTP";
    return info;
}

std::vector<std::string> soundMarks(const Result<SoundAnalysis> &sound, const SoundAnalysis *game)
{
    if (!sound)
        return {"This sound cannot be used: " + sound.error() + "."};
    std::vector<std::string> marks;
    const double seconds = sound->seconds();
    if (game && seconds > kLongSeconds && seconds > kLongFactor * game->seconds())
        marks.push_back("Much longer than the game's own sound: " + lengthText(seconds) + ", the game's is "
                        + lengthText(game->seconds()) + ".");
    else if (!game && seconds > kLongWithoutGame)
        marks.push_back("Much longer than a sound of the game: " + lengthText(seconds) + ".");
    const std::optional<double> ours = sound->loudness.integrated;
    const std::optional<double> theirs = game ? game->loudness.integrated : std::nullopt;
    if (ours && theirs && std::fabs(*ours - *theirs) > kLoudnessApart)
        marks.push_back(std::string(*ours > *theirs ? "Much louder" : "Much quieter") + " than the game's own sound: "
                        + loudnessText(*ours) + ", the game's is " + loudnessText(*theirs) + ".");
    return marks;
}

} // namespace vesk
