#include "files.h"
#include "settingsfile.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class SettingsFileTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_file = vesk::settingsFilePath(dir());
    }
    void writeRaw(const std::string &bytes) { writeBytes(m_file, bytes); }

    std::string m_file;
};

} // namespace

TEST_F(SettingsFileTest, writesThePathAndCrLfOnly)
{
    ASSERT_TRUE(vesk::writeGameDirectory(m_file, "/games/kestrova").ok());
    EXPECT_EQ(vesk::readFile(m_file, 100, vesk::Overflow::Refuse).value(), "/games/kestrova\r\n");
    ASSERT_TRUE(vesk::writeGameDirectory(m_file, "").ok());
    EXPECT_EQ(vesk::readFile(m_file, 100, vesk::Overflow::Refuse).value(), "\r\n");
}

TEST_F(SettingsFileTest, readsOnlyTheFirstField)
{
    const std::string games = m_dir.string();
    writeRaw(games + "\r\nsecond line\r\n");
    EXPECT_EQ(vesk::readGameDirectory(m_file), games);
    writeRaw("  " + games + ",cut here\r\n");
    EXPECT_EQ(vesk::readGameDirectory(m_file), games) << "unquoted files load as they always did";
}

TEST_F(SettingsFileTest, missingEmptyOrRelativeGivesNothing)
{
    EXPECT_FALSE(vesk::readGameDirectory(m_file));
    for (const char *bytes : {"", "\r\n", "games\r\n", "\" /leading/blank\"\r\n"}) {
        writeRaw(bytes);
        EXPECT_FALSE(vesk::readGameDirectory(m_file)) << bytes;
    }
    fs::remove(m_file);
    fs::create_directory(m_file);
    EXPECT_FALSE(vesk::readGameDirectory(m_file)) << "a directory is no settings file";
}

TEST_F(SettingsFileTest, pathWithACommaRoundTrips)
{
    for (const std::string &path : {(m_dir / "Kestrova, the sequel").string()}) {
        ASSERT_TRUE(vesk::writeGameDirectory(m_file, path).ok());
        EXPECT_EQ(vesk::readGameDirectory(m_file), path);
    }
}
