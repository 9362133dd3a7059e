#include "paths.h"
#include "textfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class TextFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("vesk-textfile-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed())
                                             + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_dir, ec);
    }
    std::string path(const std::string &name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

std::string bytesOf(const std::string &path)
{
    return *vesk::readWholeFile(path);
}

} // namespace

TEST_F(TextFileTest, writesEveryLineWithCrLfAndBytesUnchanged)
{
    const std::string file = path("out.txt");
    ASSERT_TRUE(vesk::writeTextFile(file, {"none", "", " 2 ", "caf\xe9"}).ok());
    EXPECT_EQ(bytesOf(file), "none\r\n\r\n 2 \r\ncaf\xe9\r\n");
}

TEST_F(TextFileTest, truncatesALongerOldFile)
{
    const std::string file = path("out.txt");
    std::ofstream(file) << std::string(1000, 'x');
    ASSERT_TRUE(vesk::writeTextFile(file, {"a"}).ok());
    EXPECT_EQ(bytesOf(file), "a\r\n");
}

TEST_F(TextFileTest, failureNamesTheFileAndTheReason)
{
    const std::string file = path("missing-dir") + "/out.txt";
    const vesk::Status status = vesk::writeTextFile(file, {"a"});
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().find(file), std::string::npos);
    EXPECT_NE(status.error().find("no such file or directory"), std::string::npos) << status.error();
}

TEST_F(TextFileTest, atomicWriteReplacesTheFileWholly)
{
    const std::string file = path("project.vsk");
    std::ofstream(file) << "old";
    ASSERT_TRUE(vesk::writeTextFileAtomically(file, {"new"}).ok());
    EXPECT_EQ(bytesOf(file), "new\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1) << "no temporary left";
}

TEST_F(TextFileTest, failedAtomicWriteLeavesTheOldFileIntact)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only directories";
    const std::string file = path("project.vsk");
    std::ofstream(file) << "old bytes";
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    const vesk::Status status = vesk::writeTextFileAtomically(file, {"new"});
    fs::permissions(m_dir, fs::perms::owner_all);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().find("permission denied"), std::string::npos) << status.error();
    EXPECT_EQ(bytesOf(file), "old bytes");
}

TEST_F(TextFileTest, atomicWriteThatCannotCompleteKeepsTheOldFile)
{
    // The staging name is taken by a directory, so not a byte can be
    // written; this holds for every user, root included.
    const std::string file = path("project.vsk");
    std::ofstream(file) << "old bytes";
    fs::create_directory(file + ".saving");
    EXPECT_FALSE(vesk::writeTextFileAtomically(file, {"new"}).ok());
    EXPECT_EQ(bytesOf(file), "old bytes");
}

TEST_F(TextFileTest, readingADirectoryIsAFailureWithAReason)
{
    std::string error;
    EXPECT_FALSE(vesk::readWholeFile(m_dir.string(), &error));
    EXPECT_NE(error.find(m_dir.string()), std::string::npos);
}

TEST(Paths, joinPathAddsOneSeparatorEvenAfterARoot)
{
    const std::string sep(1, vesk::kSeparator);
    EXPECT_EQ(vesk::joinPath("game", "bomb1.wa2"), "game" + sep + "bomb1.wa2");
    EXPECT_EQ(vesk::joinPath(sep, "theme.cfg"), sep + sep + "theme.cfg");
}

TEST(Paths, programDirectoryIsTheExecutablesFolderNotTheWorkingDirectory)
{
    const fs::path before = fs::current_path();
    fs::current_path(fs::temp_directory_path());
    const std::string dir = vesk::programDirectory();
    fs::current_path(before);
    EXPECT_TRUE(fs::exists(fs::path(dir) / "common_tests")) << dir;
}
