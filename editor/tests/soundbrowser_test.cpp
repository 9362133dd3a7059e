// The sound browser's logic: what a folder lists, what each sound is against
// the game's, the slots in their order on screen and what is kept per user.
#include "editorprocedures.h"
#include "paths.h"
#include "posixhelpers.h"
#include "soundbrowser.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

class SoundBrowserTest : public TempDirTest
{};

// Every kind the editor converts, by its ending in any case; subfolders only
// when asked, links to folders never followed; a name of a sound that is
// no file is listed with the reason; names sort without regard to case.
TEST_F(SoundBrowserTest, listingTakesTheSoundKindsAndNamesWhatCannotBeUsed)
{
    for (const char *name : {"b.WAV", "A.mp3", "c.txt", "d.flac", "e.Ogg", "f.oga", "g.opus", "h.aif", "i.AIFF",
                             "sub/j.wav", "sub/deeper/k.mp3", "sub/notes.doc"}) {
        std::filesystem::create_directories(std::filesystem::path(path(name)).parent_path());
        writeBytes(path(name), "x");
    }
    std::filesystem::create_directory(path("folder.wav"));
#ifndef _WIN32
    std::filesystem::create_directory_symlink(dir(), path("sub/loop"));
    ASSERT_TRUE(vesk::posix::makeFifo(path("pipe.wav")));
#endif
    const auto names = [&](bool subfolders) {
        std::vector<std::string> listed;
        for (const vesk::BrowsedFile &file : vesk::listSounds(dir(), subfolders))
            listed.push_back(file.name + (file.problem.empty() ? "" : ": " + file.problem));
        return listed;
    };
    std::vector<std::string> top = {"A.mp3", "b.WAV", "d.flac", "e.Ogg", "f.oga", "g.opus", "h.aif", "i.AIFF"};
#ifndef _WIN32
    top.push_back("pipe.wav: not a file");
#endif
    EXPECT_EQ(names(false), top);
    std::vector<std::string> all = top;
    const std::string sep(1, vesk::kSeparator);
    all.push_back("sub" + sep + "deeper" + sep + "k.mp3");
    all.push_back("sub" + sep + "j.wav");
    std::sort(all.begin(), all.end(), [](const std::string &a, const std::string &b) {
        std::string x = a, y = b;
        for (char &c : x)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (char &c : y)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return x < y;
    });
    EXPECT_EQ(names(true), all);
    // A listing asked to stop ends at once.
    EXPECT_TRUE(vesk::listSounds(dir(), true, [] { return false; }).empty());
    const std::vector<vesk::BrowsedFile> missing = vesk::listSounds(path("nowhere"), false);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0].problem.rfind("cannot be read: ", 0), 0u) << missing[0].problem;
}

// A sound against the game's, by the rules of the rows' marks.
TEST(SoundVerdict, followsTheRowsRules)
{
    const auto sound = [](double seconds, std::optional<double> lufs) {
        vesk::SoundAnalysis analysis;
        analysis.format.rate = 1000;
        analysis.frames = static_cast<std::uint64_t>(seconds * 1000);
        analysis.loudness.integrated = lufs;
        return analysis;
    };
    const struct
    {
        vesk::SoundAnalysis ours;
        std::optional<vesk::SoundAnalysis> game;
        std::string verdict;
    } cases[] = {
        {sound(0.5, -20), sound(0.6, -22), "fits"},
        {sound(603, -20), sound(1.2, -20), "long: 10 min 3 s, the game's is 1.2 s"},
        {sound(2.9, -20), sound(0.1, -20), "fits"}, // not over 3 s
        {sound(12, -20), std::nullopt, "long: 12.0 s, over 10.0 s"},
        {sound(0.5, -14), sound(0.5, -23), "9 LU louder than the game's"},
        {sound(0.5, -30), sound(0.5, -23.5), "7 LU quieter than the game's"},
        {sound(20, -10), sound(1, -20), "long: 20.0 s, the game's is 1.0 s; 10 LU louder than the game's"},
        {sound(0.5, std::nullopt), sound(0.5, -20), "fits"}, // silence is no louder
    };
    for (const auto &c : cases)
        EXPECT_EQ(vesk::soundVerdict(c.ours, c.game ? &*c.game : nullptr), c.verdict);
    EXPECT_EQ(vesk::soundVerdict(vesk::Status::failure(vesk::ErrorCode::BadFormat, "not a sound file"), nullptr),
              "cannot be used: not a sound file");
    const vesk::Result<vesk::SoundAnalysis> game = sound(0.6, -35.94);
    EXPECT_EQ(vesk::browserTarget(1, std::string("BOMB1.WA2"), &game),
              "For slot 1 (Bombs, Level 1): the game's sound is 0.6 s, \u221235.9 LUFS");
    EXPECT_EQ(vesk::browserTarget(1, std::nullopt, nullptr),
              "For slot 1 (Bombs, Level 1): the game has no sound of its own for this slot");
}

// "Then the next slot" walks every slot once, in the order they stand.
TEST(NextSlot, walksEverySlotOnceInScreenOrder)
{
    std::set<int> seen;
    int slot = 1;
    for (int step = 0; step < vesk::kSlotCount; ++step) {
        EXPECT_TRUE(seen.insert(slot).second) << slot;
        slot = vesk::nextSlotOnScreen(slot);
    }
    EXPECT_EQ(slot, 1);
    EXPECT_EQ(vesk::nextSlotOnScreen(1), 2);
}

// Where the browser opens, and what it keeps per user.
TEST_F(SoundBrowserTest, opensWhereTheThemesSoundsAreAndKeepsItsFolder)
{
    std::filesystem::create_directories(path("first"));
    std::filesystem::create_directories(path("selected"));
    vesk::Editor editor;
    EXPECT_EQ(vesk::browserStartFolder(editor, std::nullopt, "/home"), "/home");
    EXPECT_EQ(vesk::browserStartFolder(editor, path("first"), "/home"), path("first"));
    editor.theme.setSlot(3, path("first") + vesk::kSeparator + "a.wav");
    editor.theme.setSlot(9, path("selected") + vesk::kSeparator + "b.wav");
    EXPECT_EQ(vesk::browserStartFolder(editor, path("gone"), "/home"), path("first"));
    editor.selectedSlot = 9;
    EXPECT_EQ(vesk::browserStartFolder(editor, std::nullopt, "/home"), path("selected"));

    const std::string file = vesk::browserSettingsFile(path("vesk.cfg"));
    EXPECT_EQ(file, path("vesk-browser.cfg"));
    EXPECT_TRUE(vesk::readBrowserSettings(file).playOnSelect);
    ASSERT_TRUE(vesk::writeBrowserSettings(file, {path("selected"), false}).ok());
    const vesk::BrowserSettings read = vesk::readBrowserSettings(file);
    EXPECT_EQ(read.folder, path("selected"));
    EXPECT_FALSE(read.playOnSelect);
    for (const char *damaged :
         {"", "VESK sound browser 2\r\n/a\r\nplay on select\r\n", "VESK sound browser 1\r\n/a\r\n"}) {
        writeBytes(file, damaged);
        EXPECT_FALSE(vesk::readBrowserSettings(file).folder) << damaged;
        EXPECT_TRUE(vesk::readBrowserSettings(file).playOnSelect) << damaged;
    }
}

} // namespace
