#include "slotsound.h"

#include <gtest/gtest.h>

namespace {

// A sound of `seconds` at `lufs` (nothing: silent), 44.1 kHz stereo.
vesk::SoundAnalysis sound(double seconds, std::optional<double> lufs)
{
    vesk::SoundAnalysis analysis;
    analysis.kind = "MP3";
    analysis.format = {44100, 2, 0};
    analysis.frames = static_cast<std::uint64_t>(seconds * 44100);
    analysis.loudness.integrated = lufs;
    analysis.loudness.truePeak = lufs ? std::optional<double>(-0.3) : std::nullopt;
    return analysis;
}

} // namespace

TEST(SlotSoundTest, marksWhatIsMuchLongerLouderOrUnreadable)
{
    const vesk::SoundAnalysis click = sound(0.8, -20);
    const struct
    {
        const char *what;
        vesk::Result<vesk::SoundAnalysis> ours;
        std::optional<vesk::SoundAnalysis> game;
        std::vector<std::string> marks;
        vesk::SoundEdit edit = {};
    } rows[] = {
        {"like the game's", sound(1.0, -18), click, {}},
        {"a song for a click",
         sound(603, -14),
         click,
         {"Much longer than the game's own sound: 10 min 3 s, the game's is 0.8 s."}},
        {"four times, yet under 3 s", sound(2.9, -20), click, {}},
        {"over 3 s, under four times", sound(3.1, -20), sound(1.0, -20), {}},
        {"no game sound: 10 s at most", sound(9.9, -20), std::nullopt, {}},
        {"no game sound, over 10 s",
         sound(12, -20),
         std::nullopt,
         {"Much longer than a sound of the game: 12.0 s, over 10.0 s."}},
        {"6 LU apart", sound(1, -14), click, {}},
        {"louder",
         sound(1, -8.1),
         sound(1, -20.3),
         {"Much louder than the game's own sound: \xE2\x88\x92"
          "8.1 LUFS, the game's is \xE2\x88\x92"
          "20.3 LUFS."}},
        {"quieter",
         sound(1, -30),
         click,
         {"Much quieter than the game's own sound: \xE2\x88\x92"
          "30.0 LUFS, the game's is \xE2\x88\x92"
          "20.0 LUFS."}},
        {"silent beside a game sound", sound(1, std::nullopt), click, {}},
        {"beside a silent game sound", sound(1, -10), sound(1, std::nullopt), {}},
        {"no loudness without a game sound", sound(1, -3), std::nullopt, {}},
        {"unreadable",
         vesk::Status::failure(vesk::ErrorCode::BadFormat, "damaged after 1.4 s"),
         click,
         {"This sound cannot be used: damaged after 1.4 s."}},
        // The marks follow the edited sound.
        {"a song trimmed to 1.5 s", sound(603, -20), click, {}, {1000000, 2500000, 0, 0, 0, false, 603000000}},
        {"a loud sound turned down", sound(1, -8.1), click, {}, {0, std::nullopt, 0, 0, -10, true, 1000000}},
        {"a sound whose file changed",
         sound(1, -20),
         click,
         {"The file changed since it was edited: its edits are kept, fitted to its new length of 1.0 s."},
         {0, 5000000, 0, 0, 0, false, 6000000}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(vesk::soundMarks(row.ours, row.game ? &*row.game : nullptr, row.edit), row.marks) << row.what;
}

TEST(SlotSoundTest, saysTheFiguresAsAPlayerReadsThem)
{
    EXPECT_EQ(vesk::soundInfo(sound(2.1, -14.2)), "MP3, 44,100 Hz stereo, 2.1 s, \xE2\x88\x92"
                                                  "14.2 LUFS, peak \xE2\x88\x92"
                                                  "0.3 dBTP");
    EXPECT_EQ(vesk::soundInfo(sound(0.05, std::nullopt)), "MP3, 44,100 Hz stereo, 0.1 s, silent");
    const struct
    {
        double seconds;
        const char *text;
    } lengths[] = {{0.0, "0 ms"},    {0.02, "20 ms"},      {0.0496, "50 ms"},     {0.05, "0.1 s"},    {2.06, "2.1 s"},
                   {59.9, "59.9 s"}, {59.97, "1 min 0 s"}, {603.2, "10 min 3 s"}, {3900, "1 h 5 min"}};
    for (const auto &row : lengths)
        EXPECT_EQ(vesk::lengthText(row.seconds), row.text) << row.seconds;
    for (const auto &[gain, text] :
         {std::pair{-0.01, "\u22120.01 dB"}, {0.04, "+0.04 dB"}, {0.0, "0.0 dB"}, {-6.26, "\u22126.3 dB"}})
        EXPECT_EQ(vesk::gainText(gain), text) << gain;
}
