#include "files.h"
#include "gamebackup.h"
#include "paths.h"
#include "tempdir.h"
#include "themefiles.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

class GameBackupTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        fs::create_directories(m_dir / "game" / "saves");
        for (const char *name : {"bomb1.wa2", "gun1.wa2", "kestrova.exe", "saves/slot1.sav"})
            writeBytes(game(name), std::string("game's ") + name);
        writeBytes(path("outside.txt"), "not the game's");
    }
    std::string game(const std::string &name = {}) const { return name.empty() ? path("game") : path("game/" + name); }
    std::string kept(const std::string &name) const { return game(std::string(vesk::kBackupFolder) + "/" + name); }

    // A theme in place: its own bomb1.wa2 and gun1.wa2 and an added links.txt,
    // the game's own files kept.
    void applyTheme(vesk::Keeping keeping = vesk::Keeping::LinkOrCopy)
    {
        const auto record = vesk::recordBeforeReplacing(game(), {"bomb1.wa2", "gun1.wa2", "links.txt"}, keeping);
        ASSERT_TRUE(record.ok()) << record.error();
        vesk::ReplaceJournal journal(game());
        for (const char *name : {"bomb1.wa2", "gun1.wa2", "links.txt"}) {
            ASSERT_TRUE(journal.moveAside(name).ok());
            writeBytes(game(name), std::string("theme's ") + name);
        }
        journal.commit();
    }
    std::set<std::string> gameNames() const
    {
        std::set<std::string> names;
        for (const auto &entry : fs::directory_iterator(m_dir / "game"))
            names.insert(entry.path().filename().string());
        return names;
    }
};

} // namespace

TEST_F(GameBackupTest, backupIsALinkOrACopyAndEitherGivesTheGamesFilesBack)
{
    for (const vesk::Keeping keeping : {vesk::Keeping::LinkOrCopy, vesk::Keeping::CopyOnly}) {
        applyTheme(keeping);
        EXPECT_EQ(readBytes(kept("bomb1.wa2")), "game's bomb1.wa2");
        const auto restored = vesk::restoreOriginals(game());
        ASSERT_TRUE(restored.ok()) << restored.error();
        EXPECT_EQ(restored->putBack, 2);
        EXPECT_EQ(restored->removed, 1);
        EXPECT_EQ(readBytes(game("bomb1.wa2")), "game's bomb1.wa2");
        EXPECT_EQ(readBytes(game("gun1.wa2")), "game's gun1.wa2");
        EXPECT_EQ(gameNames(), (std::set<std::string>{"bomb1.wa2", "gun1.wa2", "kestrova.exe", "saves"}));
    }
}

TEST_F(GameBackupTest, restoreRemovesOnlyPlainNamesATheme_mayAdd)
{
    applyTheme();
    writeBytes(game("1.bat"), "left by an install");
    writeBytes(game("readme.txt"), "agreed to by the player");
    // Lines that name no file a theme adds are left alone, and counted.
    const std::vector<std::string> unsafe = {"../outside.txt",
                                             "kestrova.exe",
                                             "saves/slot1.sav",
                                             "saves\\slot1.sav",
                                             "vesk-originals",
                                             "VESK-ORIGINALS",
                                             "..",
                                             "CON",
                                             "lpt1.txt",
                                             "C:outside.txt",
                                             "kestrova.exe.",
                                             "kestrova.exe "};
    std::vector<std::string> lines = unsafe;
    for (const char *fine : {"links.txt", "1.bat", "readme.txt"})
        lines.push_back(fine);
    ASSERT_TRUE(vesk::writeTextFile(kept("added.txt"), lines).ok());

    const auto restored = vesk::restoreOriginals(game());
    ASSERT_TRUE(restored.ok()) << restored.error();
    EXPECT_EQ(restored->removed, 3);
    EXPECT_EQ(restored->skippedLines, static_cast<int>(unsafe.size()));
    EXPECT_NE(vesk::restoreSummary(*restored).find("12 lines of added.txt named no file a theme adds"),
              std::string::npos)
        << vesk::restoreSummary(*restored);
    EXPECT_EQ(readBytes(path("outside.txt")), "not the game's");
    EXPECT_EQ(readBytes(game("kestrova.exe")), "game's kestrova.exe");
    EXPECT_EQ(readBytes(game("saves/slot1.sav")), "game's saves/slot1.sav");
    EXPECT_EQ(gameNames(), (std::set<std::string>{"bomb1.wa2", "gun1.wa2", "kestrova.exe", "saves"}));
}

TEST_F(GameBackupTest, strayEntriesOfTheBackupAreNamedAndTheRestIsPutBackWhole)
{
    applyTheme();
    fs::create_directories(kept("aaa_subdir"));
#ifdef _WIN32
    fs::create_directories(kept("ab_link.wa2")); // Wine makes no links
#else
    fs::create_symlink(path("outside.txt"), kept("ab_link.wa2"));
#endif
    const auto restored = vesk::restoreOriginals(game());
    ASSERT_TRUE(restored.ok()) << restored.error();
    EXPECT_EQ(restored->putBack, 2);
    EXPECT_EQ(restored->skippedEntries, (std::vector<std::string>{"aaa_subdir", "ab_link.wa2"}));
    EXPECT_NE(vesk::restoreSummary(*restored).find("Left in vesk-originals, as no files: aaa_subdir, ab_link.wa2."),
              std::string::npos);
    EXPECT_EQ(readBytes(game("bomb1.wa2")), "game's bomb1.wa2");
    EXPECT_FALSE(fs::exists(game("ab_link.wa2")));
    EXPECT_EQ(readBytes(path("outside.txt")), "not the game's");
}

TEST_F(GameBackupTest, restoreThatCannotFinishChangesNothing)
{
    applyTheme();
    // The place of the second original is taken by a folder, which cannot be
    // moved aside: bomb1.wa2 was put back already and goes back to the theme's.
    fs::remove(game("gun1.wa2"));
    fs::create_directories(game("gun1.wa2/inside"));
    const auto before = snapshot(game());
    const auto restored = vesk::restoreOriginals(game());
    ASSERT_FALSE(restored.ok());
    EXPECT_NE(restored.error().find(vesk::joinPath(game(), "gun1.wa2")), std::string::npos) << restored.error();
    EXPECT_EQ(snapshot(game()), before);
}

TEST_F(GameBackupTest, oversizedAddedListIsRefusedUnread)
{
    applyTheme();
    writeBytes(kept("added.txt"), std::string(100 * 1024, 'x'));
    const auto restored = vesk::restoreOriginals(game());
    ASSERT_FALSE(restored.ok());
    EXPECT_NE(restored.error().find("added.txt: it is larger than 64 KiB"), std::string::npos) << restored.error();
    EXPECT_EQ(readBytes(game("bomb1.wa2")), "theme's bomb1.wa2");
}

TEST_F(GameBackupTest, gameFilesKeepTheirSpelling)
{
    // Written afresh: Wine keeps a name's letters on a rename that changes only their case.
    fs::remove(game("bomb1.wa2"));
    writeBytes(game("BOMB1.WA2"), "game's bomb1.wa2");
#ifndef _WIN32 // where names differ in case only, both are left as they are
    writeBytes(game("Bomb1.wa2"), "a second spelling");
#endif
    const auto record = vesk::recordBeforeReplacing(game(), {"BOMB1.WA2"});
    ASSERT_TRUE(record.ok()) << record.error();
    EXPECT_EQ(readBytes(kept("BOMB1.WA2")), "game's bomb1.wa2");
    EXPECT_FALSE(fs::exists(kept("added.txt")));
    writeBytes(game("BOMB1.WA2.new"), "theme's");
    fs::rename(game("BOMB1.WA2.new"), game("BOMB1.WA2"));
    const auto restored = vesk::restoreOriginals(game());
    ASSERT_TRUE(restored.ok()) << restored.error();
    EXPECT_EQ(readBytes(game("BOMB1.WA2")), "game's bomb1.wa2");
    const std::vector<std::string> names = vesk::namesIn(game());
    EXPECT_EQ(std::count(names.begin(), names.end(), "BOMB1.WA2"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "bomb1.wa2"), 0);
#ifndef _WIN32
    EXPECT_EQ(readBytes(game("Bomb1.wa2")), "a second spelling");
#endif
}

TEST_F(GameBackupTest, failedPutBackKeepsTheBackupAndNamesTheFiles)
{
    const auto record = vesk::recordBeforeReplacing(game(), {"bomb1.wa2"});
    ASSERT_TRUE(record.ok());
    vesk::ReplaceJournal journal(game());
    ASSERT_TRUE(journal.moveAside("bomb1.wa2").ok());
    // What was moved aside is gone (a disk fault, another program).
    for (const auto &entry : fs::directory_iterator(m_dir / "game")) {
        if (entry.path().filename().string().find(".bomb1.wa2.old") != std::string::npos)
            fs::remove(entry.path());
    }
    const vesk::Status back = vesk::putBack(journal, *record);
    ASSERT_FALSE(back.ok());
    EXPECT_NE(back.error().find("could not be put back: " + vesk::joinPath(game(), "bomb1.wa2")), std::string::npos)
        << back.error();
    EXPECT_NE(back.error().find("vesk-originals still holds the game's own files"), std::string::npos);
    EXPECT_EQ(readBytes(kept("bomb1.wa2")), "game's bomb1.wa2");
}

TEST(GameFolders, systemFoldersAndRootsAreNoGameDirectory)
{
#ifdef _WIN32
    GTEST_SKIP() << "the Windows folders are checked under Wine by the installer's tests";
#else
    for (const char *refused : {"/", "/usr", "/usr/share/games/kestrova", "/etc", "/lib64", "/var/tmp/x", "/bin",
                                "/boot", "/dev/shm", "/proc/self", "/sbin", "/sys", "/usr/."})
        EXPECT_FALSE(vesk::checkNotSystemFolder(refused).ok()) << refused;
    for (const char *fine : {"/home/ann/Kestrova", "/opt/kestrova", "/tmp/game", "/srv/usr"})
        EXPECT_TRUE(vesk::checkNotSystemFolder(fine).ok()) << fine;
#endif
}

TEST(GameFolders, namesAreJudgedAsWindowsStoresThem)
{
    for (const char *program : {"x.exe", "x.exe.", "x.exe ", "x.EXE. . ", "evil.dll.."})
        EXPECT_TRUE(vesk::isProgramFile(program)) << program;
    EXPECT_TRUE(vesk::isThemeFile("bomb1.wa2."));
    for (const char *plain : {"readme.txt", "1.bat", "a..b", ".hidden"})
        EXPECT_TRUE(vesk::isPlainName(plain)) << plain;
    for (const char *unsafe : {"", ".", "..", "a/b", "a\\b", "C:x", "CON", "nul.txt", "com1", "LPT9.wa2", "aux "})
        EXPECT_FALSE(vesk::isPlainName(unsafe)) << unsafe;
}
