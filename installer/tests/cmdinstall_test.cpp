// The install as Windows carries it out: 1.bat written by the installer's
// logic and run by the system's own cmd.exe, started the way the installer
// starts it, from the package folder.
#include "installbatch.h"
#include "paths.h"
#include "tempdir.h"

#include <windows.h>

#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

class CmdInstallTest : public TempDirTest
{
protected:
    // Builds a package in `packageName`, installs it into `target` with
    // cmd.exe and checks the outcome.
    void installAndCheck(const std::string &packageName, std::string target)
    {
        const fs::path package = vesk::fsPath(path(packageName));
        fs::create_directories(package);
        fs::create_directories(vesk::fsPath(target));
        for (const char *own : vpak::kPackageOwnFiles)
            writeBytes((package / own).string(), std::string("own ") + own);
        writeBytes((package / "bomb1.wa2").string(), std::string("RIFF bomb \x00\xff%PATH%", 19));
        writeBytes((package / "Alarm.wa2").string(), "RIFF alarm & more");
        writeBytes((target + "/bomb1.wa2"), "the game's bomb");
        ASSERT_TRUE(vpak::writeBatchFile((package / "1.bat").string(), target).ok());
        ASSERT_TRUE(vpak::setBatchTarget(target).ok());

        std::string commandLine = vesk::batchCommandLine();
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                   package.string().c_str(), &startup, &process))
            << GetLastError();
        ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);

        for (const char *sound : {"bomb1.wa2", "Alarm.wa2"})
            EXPECT_EQ(readBytes(vesk::joinPath(target, sound)), readBytes((package / sound).string())) << target;
        for (const char *own : vpak::kPackageOwnFiles)
            EXPECT_FALSE(fs::exists(vesk::fsPath(vesk::joinPath(target, own)))) << own << " in " << target;
        EXPECT_TRUE(fs::exists(vesk::fsPath(vesk::joinPath(target, "1.bat"))));
        // Nothing was written anywhere else: the root holds the package and
        // the games folder only, and the package only what it held.
        std::set<std::string> top, packed;
        for (const auto &entry : fs::directory_iterator(m_dir))
            top.insert(entry.path().filename().string());
        EXPECT_EQ(top, (std::set<std::string>{packageName, "games"}));
        for (const auto &entry : fs::directory_iterator(package))
            packed.insert(entry.path().filename().string());
        EXPECT_EQ(packed.size(), vpak::kPackageOwnFiles.size() + 3);
    }
};

} // namespace

TEST_F(CmdInstallTest, plainTarget)
{
    installAndCheck("package", dir() + "\\games\\Game");
}

TEST_F(CmdInstallTest, targetWithBlanks)
{
    installAndCheck("package", dir() + "\\games\\My Kestrova Game");
}

TEST_F(CmdInstallTest, targetWithEveryCharacterTheInterpreterTakesAsSpecial)
{
    installAndCheck("package", dir() + "\\games\\A & B (1) 100% %PATH% x^y; a,b wow!");
}

TEST_F(CmdInstallTest, targetEndingInTheSeparator)
{
    installAndCheck("package", dir() + "\\games\\Game\\");
}

TEST_F(CmdInstallTest, packageFolderWithBlanksAndAmpersand)
{
    installAndCheck("my package & co", dir() + "\\games\\Game");
}

// Names beyond ASCII arrive with every byte, the program and cmd.exe both
// taking them in UTF-8.
TEST_F(CmdInstallTest, packageAndTargetsBeyondAscii)
{
    for (const char *target : {u8"grü ß", u8"日本語", u8"emo🎮ji"})
        installAndCheck(u8"Spiele ü", dir() + "\\games\\" + target);
}
