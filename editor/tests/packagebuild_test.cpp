#include "gamebackup.h"
#include "onefile.h"
#include "packagebuild.h"
#include "packagesums.h"
#include "tempdir.h"
#include "wavecheck.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>

namespace fs = std::filesystem;

namespace {

class PackageBuildTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        fs::create_directories(m_dir / "editor");
        fs::create_directories(m_dir / "package");
        writeBytes(path("editor/") + vesk::kInstallerProgram, "\x7f"
                                                              "ELF installer");
        fs::permissions(m_dir / "editor" / vesk::kInstallerProgram, fs::perms::owner_all);
        writeBytes(path("picture.jpg"), "\xff\xd8\xff jpeg bytes");
        m_input.theme.webpage = "http://";
        m_input.theme.font = "10";
        m_input.theme.fontcolor = "Black";
        m_input.theme.bgcolor = "White";
        m_input.picture = path("picture.jpg");
        m_input.packageDirectory = path("package");
        m_input.editorDirectory = path("editor");
        m_input.slots.fill(vesk::kNoSound);
    }
    std::set<std::string> packageFiles() const
    {
        std::set<std::string> names;
        for (const auto &entry : fs::directory_iterator(m_dir / "package"))
            names.insert(entry.path().filename().string());
        return names;
    }
    std::string wave(const std::string &name)
    {
        writeBytes(path(name), plainWave("RIFF " + name));
        return path(name);
    }

    vesk::Status build() const { return vesk::buildPackage(m_input, vesk::planSounds(m_input.slots)).status; }

    vesk::PackageInput m_input;
};

using Names = std::set<std::string>;

} // namespace

TEST_F(PackageBuildTest, allSlotsNoneGivesTheFourFilesOnly)
{
    ASSERT_TRUE(build().ok());
    EXPECT_EQ(packageFiles(), (Names{"theme.cfg", "bgimage.jpg", "install.exe", "SHA256SUMS"}));
    EXPECT_EQ(readBytes(path("package/theme.cfg")), "\r\n\r\nhttp://\r\n10\r\nBlack\r\nWhite\r\n\r\n");
    EXPECT_EQ(readBytes(path("package/bgimage.jpg")), readBytes(path("picture.jpg")));
    EXPECT_EQ(readBytes(path("package/install.exe")), readBytes(path("editor/") + vesk::kInstallerProgram));
#ifndef _WIN32
    EXPECT_NE(fs::status(m_dir / "package" / "install.exe").permissions() & fs::perms::owner_exec, fs::perms::none);
#endif
}

TEST_F(PackageBuildTest, sameWaveInSeveralSlotsIsCopiedUnderEachName)
{
    const std::string shared = wave("shared.wav");
    m_input.slots[0] = shared;  // bomb1
    m_input.slots[26] = shared; // Alarm
    m_input.slots[46] = shared; // warp
    ASSERT_TRUE(build().ok());
    for (const char *name : {"bomb1.wa2", "Alarm.wa2", "warp.wa2"})
        EXPECT_EQ(readBytes(path("package/") + name), readBytes(shared)) << name;
    EXPECT_EQ(packageFiles().size(), 7u);
}

// What a build needs besides its sounds is checked before anything is
// written: no picture, or no installer, leaves the folder as it was.
TEST_F(PackageBuildTest, noPictureOrNoInstallerIsNamedAndNothingIsWritten)
{
    m_input.slots[0] = wave("a.wav");
    const struct
    {
        const char *what;
        std::function<void()> lack;
        const char *said;
    } cases[] = {
        {"no picture", [&] { m_input.picture.clear(); }, "no background picture was chosen"},
        {"no installer", [&] { fs::remove(m_dir / "editor" / vesk::kInstallerProgram); },
         "vpak.exe not found beside the editor"},
    };
    const vesk::PackageInput whole = m_input;
    for (const auto &c : cases) {
        m_input = whole;
        c.lack();
        const vesk::Status status = build();
        ASSERT_FALSE(status.ok()) << c.what;
        EXPECT_NE(status.error().find(c.said), std::string::npos) << status.error();
        EXPECT_EQ(packageFiles(), Names{}) << c.what;
    }
}

TEST_F(PackageBuildTest, missingWaveStopsAtItsSlot)
{
    for (int k = 1; k <= 6; ++k)
        m_input.slots[static_cast<size_t>(k - 1)] = wave("w" + std::to_string(k) + ".wav");
    fs::remove(m_input.slots[3]);
    const vesk::Status status = build();
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().find("cannot read"), std::string::npos) << status.error();
    EXPECT_NE(status.error().find(m_input.slots[3]), std::string::npos) << status.error();
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(fs::exists(m_dir / "package" / vesk::slotInfo(k).gameFile), k < 4) << k;
}

TEST_F(PackageBuildTest, leftoversOfAnEarlierBuildStayAndThemeCfgIsRewritten)
{
    writeBytes(path("package/gun1.wa2"), "earlier gun");
    writeBytes(path("package/theme.cfg"), std::string(500, 'x'));
    writeBytes(path("package/install.exe"), "old installer");
    fs::permissions(m_dir / "package" / "install.exe", fs::perms::owner_read | fs::perms::owner_write);
    const vesk::Status built = build();
    ASSERT_TRUE(built.ok()) << built.error();
    EXPECT_EQ(readBytes(path("package/gun1.wa2")), "earlier gun");
    EXPECT_EQ(readBytes(path("package/theme.cfg")).size(), 33u);
#ifndef _WIN32
    EXPECT_NE(fs::status(m_dir / "package" / "install.exe").permissions() & fs::perms::owner_exec, fs::perms::none);
#endif
}

TEST_F(PackageBuildTest, missingPackageDirectoryFailsAtThemeCfg)
{
    m_input.packageDirectory = path("gone");
    const vesk::Status status = build();
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().find("theme.cfg"), std::string::npos) << status.error();
}

TEST_F(PackageBuildTest, quotelessCommaNameIsQuotedInThemeCfg)
{
    m_input.theme.name = "Smith, J";
    ASSERT_TRUE(build().ok());
    EXPECT_EQ(readBytes(path("package/theme.cfg")).substr(0, 12), "\"Smith, J\"\r\n");
}

TEST_F(PackageBuildTest, buildNeverWritesIntoAnUnnamedPlaceAndNamesSlotsPlainly)
{
    // No package directory: refused before anything is written.
    m_input.packageDirectory.clear();
    EXPECT_NE(build().error().find("no package directory"), std::string::npos);

    // Building again into the same folder may take the folder's own picture.
    m_input.packageDirectory = path("package");
    ASSERT_TRUE(build().ok());
    m_input.picture = path("package/bgimage.jpg");
    ASSERT_TRUE(build().ok());
    EXPECT_EQ(readBytes(path("package/bgimage.jpg")), readBytes(path("picture.jpg")));

    // A slot with an empty path says so, naming the slot as every message does.
    m_input.slots[4] = "";
    const std::string error = build().error();
    EXPECT_NE(error.find("slot 5 (Mines, Level 2) has no file chosen"), std::string::npos) << error;
    m_input.slots[4] = vesk::kNoSound;

    // Never into the game: the game directory in force, however it is
    // spelled, or any folder holding a game's backup. The game's own sound
    // stays as it was.
    fs::create_directories(m_dir / "game");
    writeBytes(path("game/bomb1.wa2"), "the game's own");
    m_input.slots[0] = wave("wave1.wav");
    m_input.gameDirectory = path("game");
    for (const std::string &place : {path("game"), path("game") + "/.", path("package/../game")}) {
        m_input.packageDirectory = place;
        EXPECT_NE(build().error().find("is the game directory"), std::string::npos) << place;
    }
    m_input.gameDirectory.reset();
    fs::create_directories(m_dir / "game" / vesk::kBackupFolder);
    EXPECT_NE(build().error().find("holds vesk-originals"), std::string::npos);
    EXPECT_EQ(readBytes(path("game/bomb1.wa2")), "the game's own");
    EXPECT_FALSE(fs::exists(m_dir / "game" / "theme.cfg"));
}

TEST_F(PackageBuildTest, onlyAnEarlierBuildLeavesSoundsBehind)
{
    // The game's sounds in a folder are no leftovers; a build's theme.cfg
    // beside them makes them so.
    writeBytes(path("package/gun1.wa2"), "a sound");
    ASSERT_EQ(vesk::strayFiles(m_input).size(), 1u);
    EXPECT_FALSE(vesk::strayFiles(m_input)[0].fromEarlierBuild);
    writeBytes(path("package/theme.cfg"), "Earlier\r\n");
    EXPECT_TRUE(vesk::strayFiles(m_input)[0].fromEarlierBuild);
}

TEST_F(PackageBuildTest, installedEditorPacksTheWindowsInstallerFromShare)
{
    // PREFIX/bin/vesk finds PREFIX/share/vesk/vpak.exe, a file without execute bits.
    fs::create_directories(m_dir / "prefix" / "bin");
    fs::create_directories(m_dir / "prefix" / "share" / "vesk");
    writeBytes(path("prefix/share/vesk/vpak.exe"), "MZ windows installer");
    m_input.editorDirectory = path("prefix/bin");
    ASSERT_TRUE(build().ok());
    EXPECT_EQ(readBytes(path("package/install.exe")), "MZ windows installer");
}

// The package gets the same sounds Convert would put into the game: the
// MP3 converted, the plain wave copied, what is no sound left out by the
// plan; the conversions come first, so a cancel leaves the folder as it was.
TEST_F(PackageBuildTest, soundsAreConvertedByThePlanAndACancelWritesNothing)
{
    m_input.slots[0] = wave("plain.wav");
    m_input.slots[1] = std::string(VESK_SOUND_DATA) + "/tone.mp3";
    m_input.slots[2] = std::string(VESK_SOUND_DATA) + "/text.mp3";
    const std::vector<vesk::SlotPlan> plan = vesk::planSounds(m_input.slots);
    ASSERT_EQ(plan[2].step, vesk::SlotPlan::Step::LeaveOut);

    struct Cancelling final : vesk::Progress
    {
        bool advance(const std::string &, double) override { return false; }
    } cancelling;
    EXPECT_EQ(vesk::buildPackage(m_input, plan, cancelling).status.code(), vesk::ErrorCode::Cancelled);
    EXPECT_EQ(packageFiles(), Names{});

    const vesk::PackageResult built = vesk::buildPackage(m_input, plan);
    ASSERT_TRUE(built.status.ok()) << built.status.error();
    EXPECT_EQ(packageFiles(),
              (Names{"theme.cfg", "bgimage.jpg", "install.exe", "bomb1.wa2", "bomb2.wa2", "SHA256SUMS"}));
    EXPECT_EQ(readBytes(path("package/bomb1.wa2")), readBytes(m_input.slots[0]));
    EXPECT_FALSE(vesk::waveProblem(path("package/bomb2.wa2")));
    EXPECT_EQ(built.summary.value_or(""),
              "1 sound was converted to 16-bit PCM:\nslot 2 (Bombs, Level 2): " + m_input.slots[1]);
}

// The folder carries its checksums, and beside it the same files make the one
// file to send, which replaces an earlier one but never another file.
TEST_F(PackageBuildTest, theFolderCarriesItsSumsAndBesideItTheOneFileToSend)
{
    m_input.slots[0] = wave("plain.wav");
    m_input.slots[1] = std::string(VESK_SOUND_DATA) + "/tone.mp3";
    vesk::PackageResult built = vesk::buildPackage(m_input, vesk::planSounds(m_input.slots));
    ASSERT_TRUE(built.status.ok()) << built.status.error();
    ASSERT_EQ(built.oneFile.value_or(""), path("package.exe")) << built.oneFileProblem.value_or("");
    EXPECT_EQ(built.oneFileSize, fs::file_size(m_dir / "package.exe"));
#ifndef _WIN32
    EXPECT_EQ(std::system(("cd '" + path("package") + "' && sha256sum --quiet --strict -c SHA256SUMS").c_str()), 0);
#endif
    // The installer is not among the sums: another put in its place (the
    // Linux installer copied in as install.exe) leaves the package whole.
    EXPECT_EQ(readBytes(path("package/SHA256SUMS")).find("install.exe"), std::string::npos);
    const std::string installer = readBytes(path("package/install.exe"));
    writeBytes(path("package/install.exe"), "another installer");
    vesk::NoProgress quiet;
    EXPECT_TRUE(vesk::checkPackageSums(path("package"), quiet).ok());
    writeBytes(path("package/install.exe"), installer);
    const auto index = vesk::readOneFileIndex(path("package.exe"));
    ASSERT_TRUE(index && *index) << index.error();
    fs::create_directories(m_dir / "unpacked");
    vesk::NoProgress unwatched;
    ASSERT_TRUE(vesk::extractOneFile(path("package.exe"), **index, path("unpacked"), unwatched).ok());
    EXPECT_EQ(snapshot(path("unpacked")), snapshot(path("package")));

    writeBytes(path("package.exe"), "MZ someone's program");
    built = vesk::buildPackage(m_input, vesk::planSounds(m_input.slots));
    ASSERT_TRUE(built.status.ok()) << built.status.error();
    EXPECT_FALSE(built.oneFile);
    EXPECT_EQ(built.oneFileProblem.value_or(""),
              path("package.exe") + " already exists and is no one-file theme package, so it was left alone");
    EXPECT_EQ(readBytes(path("package.exe")), "MZ someone's program");
    EXPECT_TRUE(fs::exists(m_dir / "package" / "SHA256SUMS"));
}

TEST(OneFilePlace, isTheFolderNameBesideTheFolderAndNothingForARoot)
{
#ifdef _WIN32
    const std::pair<const char *, const char *> cases[] = {{"C:\\Themes\\Ocean", "C:\\Themes\\Ocean.exe"},
                                                           {"C:\\Themes\\Ocean\\", "C:\\Themes\\Ocean.exe"},
                                                           {"C:\\", nullptr},
                                                           {"\\\\server\\share\\", nullptr}};
#else
    const std::pair<const char *, const char *> cases[]
        = {{"/home/ann/Ocean", "/home/ann/Ocean.exe"}, {"/home/ann/Ocean/", "/home/ann/Ocean.exe"}, {"/", nullptr}};
#endif
    for (const auto &[folder, place] : cases)
        EXPECT_EQ(vesk::oneFilePlace(folder).value_or("none"), place ? place : "none") << folder;
}
