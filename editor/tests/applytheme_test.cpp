#include "applytheme.h"
#include "links.h"
#include "tempdir.h"

#include <filesystem>

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
    std::string game(const std::string &name = {}) const { return name.empty() ? path("game") : path("game/" + name); }
    // A wave file whose bytes say which it is.
    std::string wave(const std::string &name)
    {
        const std::string file = path("waves/" + name);
        writeBytes(file, "RIFF\x01\x00\r\n\x1a" + name);
        return file;
    }
    vesk::ApplyResult apply(const std::vector<vesk::Link> &links = {})
    {
        return vesk::applyTheme(game(), m_slots, links, "\"");
    }

    vesk::SlotValues m_slots;
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

TEST_F(ApplyThemeTest, missingWaveStopsAtItsSlotAndLeavesLinksAlone)
{
    for (int k = 1; k <= 10; ++k)
        m_slots[static_cast<size_t>(k - 1)] = wave("w" + std::to_string(k) + ".wav");
    fs::remove(m_slots[4]);
    writeBytes(game("links.txt"), "earlier links");

    const vesk::ApplyResult result = apply({{"a", "b"}});
    EXPECT_FALSE(result.status.ok());
    EXPECT_EQ(result.failedSlot, 5);
    EXPECT_EQ(result.copied, 4);
    EXPECT_NE(result.status.error().find("slot 5"), std::string::npos) << result.status.error();
    EXPECT_NE(result.status.error().find(m_slots[4]), std::string::npos) << result.status.error();
    EXPECT_NE(result.status.error().find("4 sound files were copied"), std::string::npos);
    for (int k = 1; k <= 10; ++k)
        EXPECT_EQ(fs::exists(game(vesk::slotInfo(k).gameFile)), k < 5) << k;
    EXPECT_EQ(readBytes(game("links.txt")), "earlier links");
}

TEST_F(ApplyThemeTest, gameFileThatIsADirectoryFailsThatSlot)
{
    fs::create_directory(game("bomb2.wa2"));
    m_slots[1] = wave("b.wav");
    const vesk::ApplyResult result = apply();
    EXPECT_FALSE(result.status.ok());
    EXPECT_EQ(result.failedSlot, 2);
}

TEST_F(ApplyThemeTest, emptyOrMissingGameDirectoryIsRefusedBeforeAnyCopy)
{
    m_slots[0] = wave("a.wav");
    for (const std::string &target : {std::string(), path("no-such-game")}) {
        const vesk::ApplyResult result = vesk::applyTheme(target, m_slots, {}, "\"");
        EXPECT_FALSE(result.status.ok());
        EXPECT_EQ(result.copied, 0);
        EXPECT_FALSE(result.failedSlot);
    }
    EXPECT_FALSE(fs::exists(fs::path("/bomb1.wa2"))) << "an empty directory must not mean the root";
}

// links.txt
TEST_F(ApplyThemeTest, allSlotsNoneStillWritesTheMakerLine)
{
    ASSERT_TRUE(apply().status.ok());
    EXPECT_EQ(readBytes(game("links.txt")), kMakerLine);
    EXPECT_EQ(std::distance(fs::directory_iterator(game()), fs::directory_iterator()), 1);
}

TEST_F(ApplyThemeTest, linksAreQuotedAndWrittenWithoutEscaping)
{
    ASSERT_TRUE(apply({{"Home", "http://a.example.org"}, {"Smith, \"J\"", ""}}).status.ok());
    EXPECT_EQ(readBytes(game("links.txt")), std::string(kMakerLine)
                                                + "\"Home\",\"http://a.example.org\"\r\n"
                                                  "\"Smith, \"J\"\",\"\"\r\n");
}
