#include "slotsound.h"

#include "texttools.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace vesk {

namespace {

constexpr const char *kMinus = "\xE2\x88\x92"; // U+2212

std::string format(const char *pattern, double value)
{
    char text[48];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
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

std::string gainText(double decibels)
{
    // A gain too small for one decimal is not shown as none.
    std::string text = levelText(decibels);
    if (decibels != 0 && text == "0.0") {
        text = format("%.2f", std::fabs(decibels));
        if (decibels < 0)
            text = kMinus + text;
    }
    return (decibels > 0 ? "+" : "") + text + " dB";
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

std::string editText(const SoundEdit &edit, double seconds)
{
    std::vector<std::string> parts;
    if (edit.start > 0 || edit.end)
        parts.push_back("trimmed to " + lengthText(seconds));
    const auto milliseconds = [](Micros time) { return std::to_string((time + 500) / 1000) + " ms"; };
    if (edit.fadeIn > 0)
        parts.push_back("faded in " + milliseconds(edit.fadeIn));
    if (edit.fadeOut > 0)
        parts.push_back("faded out " + milliseconds(edit.fadeOut));
    if (edit.gain != 0 || edit.matched)
        parts.push_back((edit.matched ? "matched to the game: " : "gain ") + gainText(edit.gain));
    std::string text;
    for (const std::string &part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

bool muchLonger(double seconds, std::optional<double> game)
{
    return game ? seconds > kLongSeconds && seconds > kLongFactor * *game : seconds > kLongWithoutGame;
}

double editedSeconds(const SoundAnalysis &sound, const SoundEdit &edit)
{
    if (edit.empty())
        return sound.seconds();
    const Micros length = framesToMicros(sound.frames, sound.format.rate);
    const SoundEdit fitted = clampedEdit(edit, length);
    return static_cast<double>(fitted.end.value_or(length) - fitted.start) / kMicrosPerSecond;
}

bool changedSinceEdited(const SoundAnalysis &sound, const SoundEdit &edit)
{
    constexpr Micros kSameLength = 1000;
    const Micros length = framesToMicros(sound.frames, sound.format.rate);
    return !edit.empty() && edit.length > 0 && std::llabs(length - edit.length) > kSameLength;
}

std::vector<std::string> soundMarks(const Result<SoundAnalysis> &sound, const SoundAnalysis *game,
                                    const SoundEdit &edit)
{
    if (!sound)
        return {"This sound cannot be used: " + sound.error() + "."};
    std::vector<std::string> marks;
    if (changedSinceEdited(*sound, edit))
        marks.push_back("The file changed since it was edited: its edits are kept, fitted to its new length of "
                        + lengthText(sound->seconds()) + ".");
    const double seconds = editedSeconds(*sound, edit);
    if (muchLonger(seconds, game ? std::optional<double>(game->seconds()) : std::nullopt))
        marks.push_back(game ? "Much longer than the game's own sound: " + lengthText(seconds) + ", the game's is "
                                   + lengthText(game->seconds()) + "."
                             : "Much longer than a sound of the game: " + lengthText(seconds) + ", over "
                                   + lengthText(kLongWithoutGame) + ".");
    // The gain moves the loudness by as much; a trim is not measured again.
    const std::optional<double> ours
        = sound->loudness.integrated ? std::optional<double>(*sound->loudness.integrated + edit.gain) : std::nullopt;
    const std::optional<double> theirs = game ? game->loudness.integrated : std::nullopt;
    if (ours && theirs && std::fabs(*ours - *theirs) > kLoudnessApart)
        marks.push_back(std::string(*ours > *theirs ? "Much louder" : "Much quieter") + " than the game's own sound: "
                        + loudnessText(*ours) + ", the game's is " + loudnessText(*theirs) + ".");
    return marks;
}

} // namespace vesk
