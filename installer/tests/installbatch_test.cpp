#include "files.h"
#include "installbatch.h"
#include "paths.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

class InstallBatchTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        fs::create_directories(m_dir / "package");
        fs::create_directories(m_dir / "game");
    }

    static void write(const fs::path &file, const std::string &bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string read(const fs::path &file)
    {
        return vesk::readFile(file.string(), vesk::kProjectFileLimit, vesk::Overflow::Refuse).value();
    }
    static std::set<std::string> names(const fs::path &dir)
    {
        std::set<std::string> found;
        for (const auto &entry : fs::directory_iterator(dir))
            found.insert(entry.path().filename().string());
        return found;
    }
    // A package as the editor builds it, with its 1.bat for `target`.
    void makePackage(const fs::path &target)
    {
        write(m_dir / "package" / "install.exe", "installer");
        write(m_dir / "package" / "bgimage.jpg", "picture");
        write(m_dir / "package" / "theme.cfg", "theme");
        write(m_dir / "package" / "bomb1.wa2", "new bomb");
        write(m_dir / "package" / "Alarm.wa2", "new alarm");
        ASSERT_TRUE(vpak::writeBatchFile((m_dir / "package" / "1.bat").string(), target.string()).ok());
    }
    vesk::Status run()
    {
        return vpak::runBatchFile((m_dir / "package" / "1.bat").string(), (m_dir / "package").string());
    }
};

using Names = std::set<std::string>;
const std::string S(1, vesk::kSeparator);

} // namespace

// The lines of 1.bat
TEST_F(InstallBatchTest, plainTargetGivesTheFiveLinesExactly)
{
    const std::string target = "D:" + S + "Game";
    const std::string file = (m_dir / "1.bat").string();
    ASSERT_TRUE(vpak::writeBatchFile(file, target).ok());
    EXPECT_EQ(read(file), "copy *.* " + target
                              + "\r\n"
                                "del "
                              + target + S
                              + "install.exe\r\n"
                                "del "
                              + target + S
                              + "bgimage.jpg\r\n"
                                "del "
                              + target + S
                              + "theme.cfg\r\n"
                                "del "
                              + target + S + "SHA256SUMS\r\n");
}

TEST_F(InstallBatchTest, targetEndingInTheSeparatorGetsItDoubled)
{
    const auto lines = vpak::batchLines("D:" + S);
    EXPECT_EQ(lines[0], "copy *.* D:" + S);
    EXPECT_EQ(lines[1], "del D:" + S + S + "install.exe");
}

TEST_F(InstallBatchTest, targetWithABlankIsQuoted)
{
    const std::string target = "C:" + S + "Program Files" + S + "Kestrova";
    const auto lines = vpak::batchLines(target);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "copy *.* \"" + target + "\"");
    EXPECT_EQ(lines[4], "del \"" + target + S + "SHA256SUMS\"");
}

TEST_F(InstallBatchTest, targetWithOperatorCharactersOrALeadingQuoteIsQuoted)
{
    for (const std::string &target : {"C:" + S + "A&B", "C:" + S + "x|y", "C:" + S + "(1)", std::string("\"odd\"")}) {
        const auto lines = vpak::batchLines(target);
        EXPECT_EQ(lines[0], "copy *.* \"" + target + "\"") << target;
    }
}

// The command interpreter reads 1.bat in the console's code page: a target
// beyond ASCII comes in through the environment, whole.
TEST_F(InstallBatchTest, targetBeyondAsciiStandsAsTheVariableAndReadsBackWhole)
{
    const std::string target = "C:" + S + "Spiele \xC3\xBC 100%";
    const auto lines = vpak::batchLines(target);
    EXPECT_EQ(lines[0], "copy *.* \"%VESK_TARGET%\"");
    EXPECT_EQ(lines[3], "del \"%VESK_TARGET%" + S + "theme.cfg\"");
    ASSERT_TRUE(vpak::setBatchTarget(target).ok());
    EXPECT_EQ(vpak::batchPath(lines[0].substr(9)), target);
    EXPECT_EQ(vpak::batchPath("\"%NO_SUCH_VESK_VARIABLE%x\""), "x");
}

// Refusals
TEST_F(InstallBatchTest, percentIsDoubledAndTheRunnerReadsItBack)
{
    // Quoting does not stop cmd.exe expanding %x%; doubling does.
    EXPECT_EQ(vpak::batchLines("C:" + S + "100%x%")[0], "copy *.* C:" + S + "100%%x%%");
    EXPECT_EQ(vpak::batchLines("C:" + S + "a & %PATH%")[3], "del \"C:" + S + "a & %%PATH%%" + S + "theme.cfg\"");
    EXPECT_EQ(vesk::batchCommandLine(), "cmd.exe /c 1.bat");

    const fs::path target = m_dir / "game" / "100% sure";
    fs::create_directories(target);
    makePackage(target);
    ASSERT_TRUE(run().ok());
    EXPECT_EQ(names(target), (Names{"1.bat", "Alarm.wa2", "bomb1.wa2"}));
}

TEST_F(InstallBatchTest, refusesEmptyMissingAndPackageTargets)
{
    const std::string package = (m_dir / "package").string();
    EXPECT_FALSE(vpak::checkTarget("", package).ok());
    const vesk::Status missing = vpak::checkTarget((m_dir / "nowhere").string(), package);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("does not exist"), std::string::npos);
    const vesk::Status itself = vpak::checkTarget(package + S + ".", package);
    ASSERT_FALSE(itself.ok());
    EXPECT_NE(itself.error().find("package itself"), std::string::npos);
    EXPECT_TRUE(vpak::checkTarget((m_dir / "game").string(), package).ok());
    // Relative targets would be read from the package, where 1.bat runs.
    const fs::path startedIn = fs::current_path();
    fs::current_path(m_dir);
#ifdef _WIN32
    const char *relative[] = {".", "game", "C:game", "\\game"};
#else
    const char *relative[] = {".", "game"};
#endif
    for (const char *target : relative)
        EXPECT_NE(vpak::checkTarget(target, package).error().find("full path"), std::string::npos) << target;
    fs::current_path(startedIn);
    // A line break would add lines of its own to 1.bat.
    // (Windows allows no line break in a name, so the path need not exist.)
    const vesk::Status split = vpak::checkTarget((m_dir / "game\ncopy").string(), package);
    ASSERT_FALSE(split.ok());
    EXPECT_NE(split.error().find("line break"), std::string::npos);
}

// The runner used where there is no command interpreter
TEST_F(InstallBatchTest, runnerCopiesTheSoundsAndRemovesThePackagesOwnFiles)
{
    makePackage(m_dir / "game");
    ASSERT_TRUE(run().ok());
    EXPECT_EQ(names(m_dir / "game"), (Names{"1.bat", "Alarm.wa2", "bomb1.wa2"}));
    EXPECT_EQ(read(m_dir / "game" / "bomb1.wa2"), "new bomb");
    EXPECT_EQ(names(m_dir / "package").count("theme.cfg"), 1u) << "the package keeps its files";
}

TEST_F(InstallBatchTest, runnerReplacesFilesOfTheSameNameAndKeepsOthers)
{
    write(m_dir / "game" / "bomb1.wa2", "old bomb");
    write(m_dir / "game" / "gun1.wa2", "old gun");
    makePackage(m_dir / "game");
    const vesk::Status ran = run();
    ASSERT_TRUE(ran.ok()) << ran.error();
    EXPECT_EQ(read(m_dir / "game" / "bomb1.wa2"), "new bomb");
    EXPECT_EQ(read(m_dir / "game" / "gun1.wa2"), "old gun");
}

TEST_F(InstallBatchTest, runnerTakesAWeirdTargetLiterally)
{
#ifdef _WIN32
    const fs::path target = m_dir / "game" / "Kes'trova $HOME; rm -rf x & 100%";
#else
    const fs::path target = m_dir / "game" / "Kes\"trova $HOME; rm -rf x";
#endif
    fs::create_directories(target);
    makePackage(target);
    ASSERT_TRUE(run().ok());
    EXPECT_EQ(names(target), (Names{"1.bat", "Alarm.wa2", "bomb1.wa2"}));
    EXPECT_EQ(names(m_dir / "game").size(), 1u) << "nothing landed beside the target";
}

TEST_F(InstallBatchTest, runnerOfAMissingBatchSaysSo)
{
    EXPECT_FALSE(run().ok());
}
