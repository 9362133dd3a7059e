#include "applytheme.h"
#include "filelock.h"
#include "fileops.h"
#include "gamebackup.h"
#include "links.h"
#include "posixhelpers.h"
#include "tempdir.h"
#include "themefiles.h"
#include "wavecheck.h"
#ifndef _WIN32
#include "soundfiles.h"
#endif

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

class ApplyThemeTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        fs::create_directories(m_dir / "game");
        fs::create_directories(m_dir / "waves");
        m_slots.fill(vesk::kNoSound);
    }
    std::string game(const std::string &name = {}) const
    {
        return name.empty() ? path(m_game) : path(m_game + "/" + name);
    }
    // A wave file whose bytes say which it is.
    std::string wave(const std::string &name)
    {
        const std::string file = path("waves/" + name);
        writeBytes(file, plainWave("RIFF\x01\x00\r\n\x1a" + name));
        return file;
    }
    vesk::ApplyResult apply(const std::vector<vesk::Link> &links = {})
    {
        return vesk::applyTheme(game(), vesk::planSounds(m_slots), links, "\"");
    }

    vesk::SlotValues m_slots;
    std::string m_game = "game";
};

const char *const kMakerLine = "\"Halvick Soft\",\"http://halvick.example.org\"\r\n";

} // namespace

TEST_F(ApplyThemeTest, copiesBytesUnchangedUnderTheGamesOwnNames)
{
    m_slots[26] = wave("alarm.wav");  // slot 27
    m_slots[15] = wave("portal.wav"); // slot 16
    m_slots[30] = wave("win.wav");    // slot 31
    const vesk::ApplyResult result = apply();
    ASSERT_TRUE(result.status.ok()) << result.status.error();
    EXPECT_EQ(result.copied, 3);
    EXPECT_EQ(readBytes(game("Alarm.wa2")), readBytes(path("waves/alarm.wav")));
    EXPECT_EQ(readBytes(game("wrppnt.wa2")), readBytes(path("waves/portal.wav")));
    EXPECT_EQ(readBytes(game("victoryl.wa2")), readBytes(path("waves/win.wav")));
    EXPECT_FALSE(fs::exists(game("victory.wa2")));
}

TEST_F(ApplyThemeTest, replacesEarlierFilesAndKeepsThoseOfEmptySlots)
{
    writeBytes(game("bomb1.wa2"), "old bomb");
    writeBytes(game("gun1.wa2"), "old gun");
    m_slots[0] = wave("new.wav");
    ASSERT_TRUE(apply().status.ok());
    EXPECT_EQ(readBytes(game("bomb1.wa2")), readBytes(path("waves/new.wav")));
    EXPECT_EQ(readBytes(game("gun1.wa2")), "old gun");
}

// A failure at any step leaves the game directory, backup included, exactly as it was.
TEST_F(ApplyThemeTest, failureAtAnyStepLeavesTheGameDirectoryAsItWas)
{
    writeBytes(game("bomb1.wa2"), "the game's bomb");
    writeBytes(game("links.txt"), "earlier links");
    const auto snapshot = [this] {
        std::map<std::string, std::string> files;
        for (const auto &entry : fs::recursive_directory_iterator(m_dir / "game"))
            files[entry.path().string()] = entry.is_regular_file() ? readBytes(entry.path().string()) : "<dir>";
        return files;
    };
    const auto before = snapshot();
    for (int k = 1; k <= 10; ++k)
        m_slots[static_cast<size_t>(k - 1)] = wave("w" + std::to_string(k) + ".wav");

    // A source that went missing: named with its slot, and nothing written.
    fs::remove(m_slots[4]);
    vesk::ApplyResult result = apply({{"a", "b"}});
    EXPECT_EQ(result.failedSlot, 5);
    EXPECT_NE(result.status.error().find("slot 5 (Mines, Level 2)"), std::string::npos) << result.status.error();
    EXPECT_NE(result.status.error().find(m_slots[4]), std::string::npos) << result.status.error();
    EXPECT_EQ(snapshot(), before);

    // A game file's name taken by a folder.
    wave("w5.wav");
    fs::create_directory(game("mine1.wa2"));
    const auto withFolder = snapshot();
    result = apply({{"a", "b"}});
    EXPECT_NE(result.status.error().find("mine1.wa2"), std::string::npos) << result.status.error();
    EXPECT_EQ(snapshot(), withFolder);
    fs::remove(game("mine1.wa2"));

    // The last file fails after every sound was renamed into place (the
    // backup of an earlier apply already holds links.txt, so it gets that far).
    ASSERT_TRUE(apply().status.ok());
    fs::remove(game("links.txt"));
    fs::create_directories(game("links.txt/inside"));
    const auto withLinksFolder = snapshot();
    result = apply({{"a", "b"}});
    EXPECT_FALSE(result.status.ok());
    EXPECT_NE(result.status.error().find("links.txt"), std::string::npos) << result.status.error();
    EXPECT_EQ(snapshot(), withLinksFolder);
}

// Also in a game directory whose path is longer than Windows' 260 characters.
TEST_F(ApplyThemeTest, twoThemesThenRestoreGiveBackTheGamesOwnFiles)
{
    std::string longGame = "long";
    while (path(longGame).size() <= 300)
        longGame += "/" + std::string(60, 'g');
    for (const std::string &name : {std::string("game"), longGame}) {
        m_game = name;
        std::error_code ec;
        vesk::makeDirectories(game(), ec);
        ASSERT_FALSE(ec) << ec.message();
        writeBytes(game("bomb1.wa2"), "the game's bomb");
        writeBytes(game("readme.txt"), "the game's readme");
        m_slots.fill(vesk::kNoSound);
        m_slots[0] = wave("a-bomb.wav");
        m_slots[1] = wave("a-bomb2.wav");
        ASSERT_TRUE(apply({{"A", "http://a"}}).status.ok()) << name;
        m_slots[0] = wave("b-bomb.wav");
        m_slots[1] = vesk::kNoSound;
        m_slots[2] = wave("b-bomb3.wav");
        const vesk::ApplyResult second = apply();
        ASSERT_TRUE(second.status.ok()) << second.status.error();
        EXPECT_EQ(readBytes(game("bomb1.wa2")), readBytes(path("waves/b-bomb.wav")));
        EXPECT_EQ(readBytes(game("vesk-originals/bomb1.wa2")), "the game's bomb") << "theme B keeps the first backup";
        EXPECT_EQ(vesk::entryKind(game("vesk-originals/bomb2.wa2")), vesk::EntryKind::Missing)
            << "theme A's own sound is no original";

        ASSERT_TRUE(vesk::hasBackup(game()));
        const auto restored = vesk::restoreOriginals(game());
        ASSERT_TRUE(restored.ok()) << restored.error();
        EXPECT_EQ(restored->putBack, 1);
        EXPECT_EQ(restored->removed, 3); // bomb2, bomb3 and links.txt; nothing of the game's
        std::set<std::string> left;
        for (const vesk::DirectoryEntry &entry : vesk::listDirectory(game(), ec))
            left.insert(entry.name);
        EXPECT_EQ(left, (std::set<std::string>{"bomb1.wa2", "readme.txt"})) << name;
        EXPECT_EQ(readBytes(game("bomb1.wa2")), "the game's bomb");
        EXPECT_FALSE(vesk::hasBackup(game()));
    }
}

TEST_F(ApplyThemeTest, emptyOrMissingGameDirectoryIsRefusedBeforeAnyCopy)
{
    m_slots[0] = wave("a.wav");
    for (const std::string &target : {std::string(), path("no-such-game")}) {
        const vesk::ApplyResult result = vesk::applyTheme(target, vesk::planSounds(m_slots), {}, "\"");
        EXPECT_FALSE(result.status.ok());
        EXPECT_EQ(result.copied, 0);
        EXPECT_FALSE(result.failedSlot);
    }
    EXPECT_FALSE(fs::exists(fs::path("/bomb1.wa2"))) << "an empty directory must not mean the root";
#ifndef _WIN32
    // Nor does a theme go into the root or a folder of the system.
    for (const std::string target : {"/", "/usr", "/etc/"}) {
        const vesk::ApplyResult result = vesk::applyTheme(target, vesk::planSounds(m_slots), {}, "\"");
        EXPECT_NE(result.status.error().find("not a game directory"), std::string::npos) << result.status.error();
    }
    EXPECT_FALSE(fs::exists(fs::path("/bomb1.wa2")));
    EXPECT_FALSE(fs::exists(fs::path("/vesk-originals")));
#endif
}

TEST_F(ApplyThemeTest, upperCaseGameFilesAreReplacedAndKeptUnderTheirOwnNames)
{
    writeBytes(game("BOMB1.WA2"), "the game's bomb");
    writeBytes(game("LINKS.TXT"), "the game's links");
#ifndef _WIN32 // two spellings side by side: the first in byte order is the game's
    writeBytes(game("Bomb1.wa2"), "a second spelling");
#endif
    m_slots[0] = wave("new.wav");
    const vesk::ApplyResult result = apply();
    ASSERT_TRUE(result.status.ok()) << result.status.error();
    std::vector<std::string> names = vesk::namesIn(game());
    EXPECT_EQ(std::count(names.begin(), names.end(), "bomb1.wa2"), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), "links.txt"), 0);
    EXPECT_EQ(readBytes(game("BOMB1.WA2")), readBytes(path("waves/new.wav")));
    EXPECT_EQ(readBytes(game("LINKS.TXT")), kMakerLine);
    EXPECT_EQ(readBytes(game("vesk-originals/BOMB1.WA2")), "the game's bomb");
    EXPECT_FALSE(fs::exists(game("vesk-originals/added.txt"))) << "nothing was added";
#ifndef _WIN32
    EXPECT_EQ(readBytes(game("Bomb1.wa2")), "a second spelling");
#endif
    ASSERT_TRUE(vesk::restoreOriginals(game()).ok());
    EXPECT_EQ(readBytes(game("BOMB1.WA2")), "the game's bomb");
    EXPECT_EQ(readBytes(game("LINKS.TXT")), "the game's links");
}

#ifndef _WIN32
TEST_F(ApplyThemeTest, newFilesGetThePlainCreateModeAndReplacedOnesKeepTheirs)
{
    const auto mask = vesk::posix::setFileCreationMask(022);
    writeBytes(game("gun1.wa2"), "the game's gun");
    fs::permissions(game("gun1.wa2"), static_cast<fs::perms>(0640));
    m_slots[0] = wave("bomb.wav");
    m_slots[6] = wave("gun.wav");
    fs::permissions(m_slots[0], static_cast<fs::perms>(0700));
    ASSERT_TRUE(apply().status.ok());
    vesk::posix::setFileCreationMask(mask);
    const auto mode = [this](const char *name) { return static_cast<int>(fs::status(game(name)).permissions()); };
    EXPECT_EQ(mode("bomb1.wa2"), 0644);
    EXPECT_EQ(mode("links.txt"), 0644);
    EXPECT_EQ(mode("gun1.wa2"), 0640);
}

// A full disk: nothing left behind, however often it is tried, and the
// reason said plainly, without the name of any temporary file.
TEST_F(ApplyThemeTest, fullFileSystemLeavesTheGameAsItWasAndSaysSo)
{
    vesk::posix::TinyFileSystem small(game(), "256k");
    if (!small.mounted())
        GTEST_SKIP() << small.reason();
    writeBytes(game("bomb1.wa2"), "the game's bomb");
    for (int k = 1; k <= 5; ++k) {
        m_slots[static_cast<size_t>(k - 1)] = wave("big" + std::to_string(k) + ".wav");
        writeBytes(m_slots[static_cast<size_t>(k - 1)], plainWave(std::string(100 * 1024, 'x')));
    }
    const auto before = snapshot(game());
    for (int attempt = 0; attempt < 2; ++attempt) {
        const vesk::ApplyResult result = apply({{"a", "b"}});
        ASSERT_FALSE(result.status.ok());
        EXPECT_NE(result.status.error().find("no space left on device"), std::string::npos) << result.status.error();
        EXPECT_EQ(result.status.error().find(".new"), std::string::npos) << result.status.error();
        EXPECT_EQ(snapshot(game()), before);
    }
}
#endif

// links.txt
TEST_F(ApplyThemeTest, allSlotsNoneStillWritesTheMakerLine)
{
    ASSERT_TRUE(apply().status.ok());
    EXPECT_EQ(readBytes(game("links.txt")), kMakerLine);
    // links.txt and the backup folder that remembers it was added.
    EXPECT_EQ(std::distance(fs::directory_iterator(game()), fs::directory_iterator()), 2);
}

TEST_F(ApplyThemeTest, linksAreQuotedAndWrittenWithoutEscaping)
{
    ASSERT_TRUE(apply({{"Home", "http://a.example.org"}, {"Smith, \"J\"", ""}}).status.ok());
    EXPECT_EQ(readBytes(game("links.txt")), std::string(kMakerLine)
                                                + "\"Home\",\"http://a.example.org\"\r\n"
                                                  "\"Smith, \"J\"\",\"\"\r\n");
}

#ifndef _WIN32
// A theme as players make them: a wave the game plays, an MP3, a 24-bit wave
// and a file that is no sound.
class MixedThemeTest : public ApplyThemeTest
{
protected:
    void SetUp() override
    {
        ApplyThemeTest::SetUp();
        m_slots[0] = wave("plain.wav");
        m_slots[1] = path("waves/song.mp3");
        ASSERT_TRUE(makeSound(m_slots[1], {SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, 2.0}));
        m_slots[2] = path("waves/studio.wav");
        ASSERT_TRUE(makeSound(m_slots[2], {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 96000, 1, 1.0}));
        m_slots[3] = path("waves/lyrics.mp3");
        writeBytes(m_slots[3], "words, not sound");
        writeBytes(game("bomb2.wa2"), "the game's bomb 2");
    }
};

struct Cancelling final : vesk::Progress
{
    bool advance(const std::string &, double) override { return false; }
};

TEST_F(MixedThemeTest, eachSlotIsCopiedConvertedOrLeftOutByItsPlan)
{
    const std::vector<vesk::SlotPlan> plan = vesk::planSounds(m_slots);
    ASSERT_EQ(plan.size(), 4u);
    using Step = vesk::SlotPlan::Step;
    EXPECT_EQ(plan[0].step, Step::Copy);
    EXPECT_EQ(plan[1].step, Step::Convert);
    EXPECT_EQ(plan[2].format, (vesk::SoundFormat{44100, 1, 16}));
    EXPECT_EQ(plan[3].step, Step::LeaveOut);
    EXPECT_EQ(vesk::leaveOutQuestion(plan).value_or(""),
              "These files cannot be used as sounds of the game:\nslot 4 (Mines, Level 1) " + m_slots[3]
                  + ": not a sound file\nLeave these slots out and go on? (No cancels.)");

    // A cancel part way, and a game file whose place is taken, change nothing.
    const auto before = snapshot(game());
    Cancelling cancelling;
    EXPECT_EQ(vesk::applyTheme(game(), plan, {}, "\"", cancelling).status.code(), vesk::ErrorCode::Cancelled);
    EXPECT_EQ(snapshot(game()), before);
    fs::create_directory(game("bomb3.wa2"));
    EXPECT_FALSE(vesk::applyTheme(game(), plan, {}, "\"").status.ok());
    fs::remove(game("bomb3.wa2"));
    EXPECT_EQ(snapshot(game()), before);

    const vesk::ApplyResult result = vesk::applyTheme(game(), plan, {}, "\"");
    ASSERT_TRUE(result.status.ok()) << result.status.error();
    EXPECT_EQ(readBytes(game("bomb1.wa2")), readBytes(m_slots[0]));
    for (const char *converted : {"bomb2.wa2", "bomb3.wa2"})
        EXPECT_FALSE(vesk::waveProblem(game(converted))) << converted;
    EXPECT_FALSE(fs::exists(game("mine1.wa2")));
    EXPECT_EQ(result.summary.value_or(""), "2 sounds were converted to 16-bit PCM:\nslot 2 (Bombs, Level 2): "
                                               + m_slots[1] + "\nslot 3 (Bombs, Level 3): " + m_slots[2]);
    ASSERT_TRUE(vesk::restoreOriginals(game()).ok());
    EXPECT_EQ(snapshot(game()), before);
}

TEST_F(MixedThemeTest, aSoundDamagedPartWayStopsTheStepWithNothingChanged)
{
    std::vector<vesk::SlotPlan> plan = vesk::planSounds(m_slots);
    // Decodable at the start, noise where the second half of its frames should be.
    const std::string flac = std::string(VESK_SOUND_DATA) + "/damaged.flac";
    plan[1].source = flac;
    const auto before = snapshot(game());
    const vesk::ApplyResult result = vesk::applyTheme(game(), plan, {}, "\"");
    if (result.status.ok())
        GTEST_SKIP() << "this libsndfile reads past the damage";
    EXPECT_EQ(result.failedSlot, 2);
    EXPECT_EQ(result.status.code(), vesk::ErrorCode::BadFormat) << result.status.error();
    EXPECT_EQ(result.status.error().rfind("slot 2 (Bombs, Level 2) " + flac + ": damaged after ", 0), 0u)
        << result.status.error();
    EXPECT_EQ(snapshot(game()), before);
}
#endif

// The running game holds its sounds open: Convert stops before anything
// changes, names the file and says to close the game.
TEST_F(ApplyThemeTest, aSoundTheGameHoldsOpenStopsConvertBeforeAnyChange)
{
    writeBytes(game("bomb1.wa2"), "the game's bomb");
    writeBytes(game("warp.wa2"), "the game's warp");
    m_slots[0] = wave("bomb.wav");
    m_slots[46] = wave("warp.wav");
    const auto before = snapshot(game());
    HeldFile held(game("warp.wa2"));
    if (!held.held())
        GTEST_SKIP() << "no lock on this system keeps other programs out of a file";
    const vesk::ApplyResult result = apply();
    held.release();
    EXPECT_FALSE(result.status.ok());
    EXPECT_NE(result.status.error().find("warp.wa2"), std::string::npos) << result.status.error();
    EXPECT_NE(result.status.error().find("close the game and try again"), std::string::npos) << result.status.error();
    EXPECT_EQ(snapshot(game()), before);
}
