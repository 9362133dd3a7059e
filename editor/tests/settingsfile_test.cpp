#include "settingsfile.h"
#include "textfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class SettingsFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("vesk-settings-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_file = vesk::settingsFilePath(m_dir.string());
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void writeRaw(const std::string &bytes) { std::ofstream(m_file, std::ios::binary) << bytes; }

    fs::path m_dir;
    std::string m_file;
};

} // namespace

TEST_F(SettingsFileTest, writesThePathAndCrLfOnly)
{
    ASSERT_TRUE(vesk::writeGameDirectory(m_file, "/games/kestrova").ok());
    EXPECT_EQ(*vesk::readWholeFile(m_file), "/games/kestrova\r\n");
    ASSERT_TRUE(vesk::writeGameDirectory(m_file, "").ok());
    EXPECT_EQ(*vesk::readWholeFile(m_file), "\r\n");
}

TEST_F(SettingsFileTest, readsOnlyTheFirstField)
{
    writeRaw("C:\\Games\\Kestrova\r\nsecond line\r\n");
    EXPECT_EQ(vesk::readGameDirectory(m_file), "C:\\Games\\Kestrova");
    writeRaw("  C:\\Old,cut here\r\n");
    EXPECT_EQ(vesk::readGameDirectory(m_file), "C:\\Old") << "unquoted files load as they always did";
}

TEST_F(SettingsFileTest, missingOrEmptyFileGivesNothingButAnEmptyLineIsAValue)
{
    EXPECT_FALSE(vesk::readGameDirectory(m_file));
    writeRaw("");
    EXPECT_FALSE(vesk::readGameDirectory(m_file));
    writeRaw("\r\n");
    EXPECT_EQ(vesk::readGameDirectory(m_file), "");
}

TEST_F(SettingsFileTest, pathWithACommaOrLeadingBlankRoundTrips)
{
    for (const std::string path : {"/games/Kestrova, the sequel", " /leading/blank"}) {
        ASSERT_TRUE(vesk::writeGameDirectory(m_file, path).ok());
        EXPECT_EQ(vesk::readGameDirectory(m_file), path);
    }
}
