#include "gamebackup.h"
#include "soundanalysis.h"
#include "soundconvert.h"
#include "soundediting.h"
#include "tempdir.h"
#include "wavewriter.h"

#include <cmath>
#include <filesystem>

namespace {

class LoudnessMatchTest : public TempDirTest
{
protected:
    // A 1-kHz tone of `seconds` at `amplitude` of full scale, 44.1 kHz mono.
    std::string tone(const std::string &name, double amplitude, double seconds = 1)
    {
        vesk::WaveWriter out(path(name), {44100, 1, 16});
        std::vector<std::int16_t> samples(static_cast<size_t>(seconds * 44100));
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int16_t>(
                std::lrint(amplitude * 32767 * std::sin(2 * 3.14159265358979323846 * 1000 * double(i) / 44100.0)));
        EXPECT_TRUE(out.write(samples.data(), samples.size()).ok());
        EXPECT_TRUE(out.finish().ok());
        return path(name);
    }
    vesk::SoundEditing editing(int slot, const std::string &file, const std::optional<std::string> &game)
    {
        return vesk::SoundEditing(slot, file, *vesk::analyseSound(file), std::nullopt, {}, game);
    }
};

double dB(double amplitude)
{
    return 20 * std::log10(amplitude);
}

} // namespace

// The gain that brings a sound to the game's loudness, held back where its
// true peak would pass -1 dBTP, for long and short sounds; the game's own
// sound for the slot, else the middle of its sounds.
TEST_F(LoudnessMatchTest, theGainMatchesTheGamesSoundAndKeepsThePeakUnderOneDecibel)
{
    const std::string game = path("game");
    std::filesystem::create_directory(game);
    const std::string bomb = vesk::slotInfo(1).gameFile; // slot 1's sound of the game
    struct Case
    {
        const char *what;
        double amplitude, seconds, gameAmplitude;
        int slot;    // 2: the game has no sound of its own for it
        double gain; // dB
        bool lowered;
    };
    const std::vector<Case> cases = {
        {"louder than the game's", 0.5, 1, 0.125, 1, dB(0.25), false},
        {"quieter", 0.05, 1, 0.5, 1, 20, false},
        {"held back by its peak", 0.25, 1, 0.95, 1, -1.1 - dB(0.25), true},
        {"shorter than a block", 0.5, 0.2, 0.125, 1, dB(0.25), false},
        {"no game sound for the slot: the middle of the game's", 0.5, 1, 0.125, 2, dB(0.25), false},
    };
    for (const Case &c : cases) {
        tone("game/" + bomb, c.gameAmplitude);
        vesk::SoundEditing sound = editing(c.slot, tone("ours.wav", c.amplitude, c.seconds), game);
        ASSERT_FALSE(sound.matchUnavailable()) << c.what;
        const std::string said = sound.match();
        EXPECT_TRUE(sound.edit().matched) << c.what << ": " << said;
        EXPECT_NEAR(sound.edit().gain, c.gain, 0.05) << c.what << ": " << said;
        EXPECT_EQ(said.find("held back") != std::string::npos, c.lowered) << said;

        // The game gets it at that loudness, its true peak under -1 dBTP.
        ASSERT_TRUE(vesk::convertSound(sound.path(), path("out.wav"), sound.kept()).ok()) << c.what;
        const vesk::Result<vesk::SoundAnalysis> heard = vesk::analyseSound(path("out.wav"));
        const vesk::Result<vesk::SoundAnalysis> theirs = vesk::analyseSound(path("game/" + bomb));
        ASSERT_TRUE(heard.ok() && theirs.ok()) << c.what;
        EXPECT_LE(*heard->loudness.truePeak, -1.0) << c.what;
        if (!c.lowered) {
            EXPECT_NEAR(*heard->loudness.integrated, *theirs->loudness.integrated, 0.1) << c.what;
        }
    }
}

TEST_F(LoudnessMatchTest, whatCannotBeMatchedSaysWhy)
{
    const std::string empty = path("empty");
    std::filesystem::create_directory(empty);
    EXPECT_EQ(editing(1, tone("a.wav", 0.5), std::nullopt).matchUnavailable(),
              "Choose your Kestrova directory in Options Settings to match its loudness.");
    EXPECT_EQ(editing(1, tone("a.wav", 0.5), empty).matchUnavailable(),
              "The Kestrova directory holds no sound of the game to match.");
    tone("empty/" + std::string(vesk::slotInfo(1).gameFile), 0.5);
    vesk::SoundEditing silent = editing(1, tone("silent.wav", 0), empty);
    EXPECT_EQ(silent.match(), "Cannot match: the sound is silent.");
    EXPECT_FALSE(silent.edit().matched);
}

// Times are fitted to the sound; what cannot be kept is refused with why.
TEST_F(LoudnessMatchTest, theWindowsTimesAreFittedOrRefused)
{
    vesk::SoundEditing sound = editing(1, tone("a.wav", 0.5), std::nullopt);
    sound.setEnd(5000000, false);
    EXPECT_FALSE(sound.edit().end) << "past the end: to the end";
    sound.setEnd(600000, false);
    EXPECT_EQ(sound.edit().fadeOut, vesk::SoundEditing::kDefaultFadeOut) << "a cut end fades out";
    sound.setStart(700000, false);
    EXPECT_EQ(sound.refusal(), "The start must come before the end.");
    sound.setStart(595000, false);
    EXPECT_EQ(sound.refusal(), "What is left must last at least 10 ms.");
    // Snapped, a cut falls where the tone crosses zero: every half of 1 ms.
    sound.setStart(100200, true);
    EXPECT_NEAR(static_cast<double>(sound.edit().start), 100000, 23) << sound.edit().start;
    EXPECT_FALSE(sound.refusal());
    sound.reset();
    EXPECT_TRUE(sound.kept().empty());
}

// What the player types into a box: a value held to the sound is said so;
// the value the box shows already, passed through with Tab, changes nothing
// (a cut placed exactly is not snapped again).
TEST_F(LoudnessMatchTest, typedValuesAreHeldToTheSoundAndSaidOrLeftAsTheyAre)
{
    using Field = vesk::SoundEditing::Field;
    vesk::SoundEditing sound = editing(1, tone("a.wav", 0.5), std::nullopt); // 1000 ms
    const struct
    {
        Field field;
        const char *typed, *note, *shown;
    } rows[] = {
        {Field::End, "1500", "The sound lasts 1000 ms: the end was put at its end.", "1000"},
        {Field::Start, "2000", "The start must come before the end.", "1000"},
        {Field::Start, "0", "", "0"},
        {Field::FadeIn, "1200", "The sound lasts 1000 ms: the fade-in was made as long.", "1000"},
        {Field::FadeOut, "5000", "The sound lasts 1000 ms: the fade-out was made as long.", "1000"},
        {Field::Gain, "25", "The gain goes from \u221224 to +24 dB: it was set to +24.0 dB.", "24.00"},
        {Field::Gain, "-6.5", "", "-6.50"},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(sound.enter(row.field, row.typed, false), row.note) << row.typed;
        EXPECT_EQ(sound.fieldText(row.field), row.shown) << row.typed;
    }
    // An end placed to the microsecond stays there when its box is left as
    // it shows it, though snapping is on.
    sound.setEnd(513699, false);
    const vesk::SoundEdit placed = sound.edit();
    EXPECT_EQ(sound.enter(Field::End, " " + sound.fieldText(Field::End) + " ", true), "");
    EXPECT_EQ(sound.edit(), placed);
}
