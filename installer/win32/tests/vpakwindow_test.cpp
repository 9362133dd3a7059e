// Drives the real vpak.exe as a player would, but with window messages: it
// is started from a package folder, found by its caption, its controls by
// their IDs, and its message boxes are read and answered.
#include "fileops.h"
#include "installerlayout.h"
#include "installprocedure.h"
#include "layout.h"
#include "listen.h"
#include "onefile.h"
#include "packagesums.h"
#include "sha256.h"
#include "tempdir.h"
#include "win32driver.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

// An older theme.cfg: its name in the single-byte Windows code page.
const char *const kTheme = "Ann <b>Example</b>\r\nann@example.org\r\nhttp://ann.example.org\r\n14\r\n"
                           "Yellow\r\nPurple\r\nNight & Day B\xF6se\r\n";

const vesk::ControlRow &vpakRow(const char *name)
{
    for (const vesk::ControlRow &row : vpak::installerControls()) {
        if (std::string(row.name) == name)
            return row;
    }
    throw std::logic_error(name);
}

class VpakWindowTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_package = m_dir / "package";
        fs::create_directories(m_package);
        fs::copy_file(VPAK_EXE, m_package / "install.exe");
        fs::copy_file(PICTURE_JPG, m_package / "bgimage.jpg");
        writeBytes((m_package / "theme.cfg").string(), kTheme);
        writeBytes((m_package / "bomb1.wa2").string(), "RIFF new bomb");
    }
    void TearDown() override
    {
        m_program.stop(); // before its folder goes
        TempDirTest::TearDown();
    }

    // Starts install.exe from the package and waits for its window.
    HWND start()
    {
        if (!m_program.start((m_package / "install.exe").string(), "", m_dir.string()))
            return nullptr;
        HWND window = driver::waitForWindow(nullptr, vpak::kWindowCaption);
        // Its first messages handled: the controls are made and filled.
        if (window && !driver::waitFor([window] {
                DWORD_PTR result = 0;
                return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
            }))
            return nullptr;
        return window;
    }
    HWND control(HWND window, const char *name) { return GetDlgItem(window, vpak::controlId(name)); }
    static std::string text(HWND control) { return driver::text(control); }
    void press(HWND window, const char *button) { driver::press(control(window, button)); }
    static std::string answerBox(int answer = IDOK) { return driver::answerBox(vpak::kMessageCaption, answer); }
    bool hasEnded(DWORD milliseconds) const { return m_program.hasEnded(milliseconds); }

    driver::Program m_program;
    fs::path m_package;
};

} // namespace

TEST_F(VpakWindowTest, showsTheThemeAsPlainTextOverItsPicture)
{
    HWND window = start();
    ASSERT_TRUE(window);
    EXPECT_EQ(text(control(window, "makerNameLabel")), "Ann <b>Example</b>");
    EXPECT_EQ(text(control(window, "makerEmailLabel")), "ann@example.org");
    EXPECT_EQ(text(control(window, "makerWebPageLabel")), "http://ann.example.org");
    EXPECT_EQ(text(control(window, "themeNameLabel")), "Night & Day B\xC3\xB6se");
    EXPECT_EQ(text(control(window, "restoreButton")), "Restore Original Sounds");
    // The layout's size (438 x 397 at 96 dpi) at the display's DPI.
    const int dpi = driver::shownDpi(window);
    EXPECT_EQ(dpi, driver::askedDpi());
    const auto at = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, at(438));
    EXPECT_EQ(client.bottom, at(397));
    RECT label;
    GetWindowRect(control(window, "themeNameLabel"), &label);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&label), 2);
    EXPECT_EQ(label.left, vesk::pixelsAt(vpakRow("themeNameLabel").left, dpi));
    EXPECT_EQ(label.top, vesk::pixelsAt(vpakRow("themeNameLabel").top, dpi));

    // What the screen shows: the picture (120 x 80 at 96 dpi, blue) at the
    // top left, the background colour (Purple) beside it where no control lies.
    POINT picture{at(4), at(70)}, background{at(200), at(40)};
    ClientToScreen(window, &picture);
    ClientToScreen(window, &background);
    const auto shown = [](POINT point) {
        HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, point.x, point.y);
        ReleaseDC(nullptr, screen);
        return colour;
    };
    // Once it is painted.
    driver::waitFor([&] { return shown(background) == RGB(128, 0, 160); });
    const COLORREF inPicture = shown(picture);
    const COLORREF beside = shown(background);
    EXPECT_LT(GetRValue(inPicture) + GetGValue(inPicture), 60);
    EXPECT_GT(GetBValue(inPicture), 200);
    EXPECT_EQ(beside, RGB(128, 0, 160));
}

// Listen lists the package's sounds by slot, with their lengths; Return
// plays the selected one and Escape closes the window.
TEST_F(VpakWindowTest, listenListsThePackagesSoundsAndEscapeClosesIt)
{
    writeBytes((m_package / "bomb1.wa2").string(), plainWave(std::string(5513, '\x90')));
    writeBytes((m_package / "WARP.WA2").string(), plainWave(std::string(13230, '\x70')));
    HWND window = start();
    ASSERT_TRUE(window);
    EXPECT_EQ(text(control(window, "listenButton")), "Listen\xE2\x80\xA6");
    EXPECT_TRUE(IsWindowEnabled(control(window, "listenButton")));
    press(window, "listenButton");
    HWND listen = driver::waitForWindow("VpakListen", vpak::kListenCaption);
    ASSERT_TRUE(listen);
    HWND list = GetDlgItem(listen, vpak::listenControlId("soundList"));
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    const std::vector<std::string> rows = {driver::listRow(list, 0), driver::listRow(list, 1)};
    EXPECT_EQ(rows, (std::vector<std::string>{"Bombs, Level 1 (0.5 s)", "Warp, Warp (1.2 s)"}));
    driver::pressKey(list, VK_RETURN);
    driver::pressKey(list, VK_ESCAPE);
    driver::waitUntilGone(listen);
    EXPECT_FALSE(IsWindow(listen));
    EXPECT_TRUE(IsWindow(window)) << "the installer stays";
}

TEST_F(VpakWindowTest, missingOrRelativeTargetIsRefusedAndTheWindowStays)
{
    HWND window = start();
    ASSERT_TRUE(window);
    // Relative, missing, the root of a drive, Windows' own folder, and one
    // too long for the command interpreter even by its short names.
    std::string tooLong = path("g");
    while (tooLong.size() < 600)
        tooLong += "\\g";
    std::error_code ec;
    vesk::makeDirectories(tooLong, ec);
    ASSERT_FALSE(ec) << ec.message();
    for (const std::string &target : {std::string("game"), std::string("C:\\no\\such\\kestrova"), std::string("Z:\\"),
                                      std::string("C:\\"), std::string("C:\\windows\\system32"), tooLong}) {
        SendMessageA(control(window, "pathBox"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
        press(window, "installButton");
        const std::string said = answerBox();
        EXPECT_FALSE(said.empty()) << target;
        EXPECT_EQ(said.find("Is it really"), std::string::npos) << said;
        EXPECT_TRUE(IsWindow(window)) << target;
        if (target == tooLong) {
            EXPECT_NE(said.find("shorter path"), std::string::npos) << said;
        }
    }
    EXPECT_FALSE(fs::exists(m_package / "1.bat"));
}

TEST_F(VpakWindowTest, packageCarryingAProgramIsRefused)
{
    writeBytes((m_package / "evil.dll").string(), "MZ");
    fs::create_directories(m_dir / "game");
    HWND window = start();
    ASSERT_TRUE(window);
    SendMessageA(control(window, "pathBox"), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>((m_dir / "game").string().c_str()));
    press(window, "installButton");
    EXPECT_NE(answerBox().find("evil.dll"), std::string::npos);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(fs::exists(m_package / "1.bat"));
    EXPECT_TRUE(fs::is_empty(m_dir / "game"));
}

// The game's own BOMB1.WA2 is replaced under its own spelling, and its
// backup survives the batch's copy over it. Names beyond ASCII arrive with
// every byte, through the ...A calls and std::filesystem alike, and a
// package and a game directory past 260 characters install too.
TEST_F(VpakWindowTest, installArrivesAndKeepsTheGamesFileWhateverTheNames)
{
    const struct
    {
        std::string package;
        std::string game;
    } cases[] = {
        {"package", "My Kestrova Game"},
        {u8"paquet é", u8"Spiele ü\\日本語 emo🎮ji"},
        {std::string(150, 'p') + "\\" + std::string(150, 'q'), std::string(150, 'k') + "\\" + std::string(150, 'l')}};
    std::error_code ec;
    for (const auto &c : cases) {
        const fs::path package = fs::u8path(path(c.package));
        if (package != m_package) {
            vesk::makeDirectories(package.parent_path().u8string(), ec);
            vesk::renameEntry(m_package.u8string(), package.u8string(), ec);
            ASSERT_FALSE(ec) << ec.message();
        }
        m_package = package;
        const fs::path game = fs::u8path(path(c.game));
        vesk::makeDirectories(game.u8string(), ec);
        ASSERT_FALSE(ec) << ec.message();
        writeBytes((game / "BOMB1.WA2").string(), "the game's bomb");
        HWND window = start();
        ASSERT_TRUE(window) << c.game;
        SendMessageA(control(window, "pathBox"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(game.string().c_str()));
        press(window, "installButton");
        EXPECT_EQ(answerBox(), "Install Completed") << c.game;
        EXPECT_TRUE(hasEnded(10000)) << "the window closes after the install";
        m_program.stop();
        std::set<std::string> names;
        for (const vesk::DirectoryEntry &entry : vesk::listDirectory(game.u8string(), ec))
            names.insert(entry.name);
        EXPECT_EQ(names, (std::set<std::string>{"1.bat", "BOMB1.WA2", "vesk-originals"})) << c.game;
        EXPECT_EQ(readBytes((game / "BOMB1.WA2").string()), "RIFF new bomb");
        EXPECT_EQ(readBytes((game / "vesk-originals" / "BOMB1.WA2").string()), "the game's bomb");
    }
}

TEST_F(VpakWindowTest, cancelWritesNothing)
{
    HWND window = start();
    ASSERT_TRUE(window);
    press(window, "cancelButton");
    EXPECT_TRUE(hasEnded(10000));
    size_t files = 0;
    for (const auto &entry : fs::recursive_directory_iterator(m_dir)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 5u) << "the package folder and its four files";
}

namespace {

// Ocean.exe made of the package folder, as the editor makes it, with the
// folder's SHA256SUMS.
void makeOneFile(const fs::path &package, const std::string &oneFile)
{
    auto writer = vesk::OneFileWriter::start(oneFile, VPAK_EXE);
    ASSERT_TRUE(writer) << writer.error();
    std::vector<vesk::FileSum> sums;
    for (const char *name : {"theme.cfg", "bgimage.jpg", "install.exe", "bomb1.wa2"}) {
        const auto digest = (*writer)->add(name, (package / name).string());
        ASSERT_TRUE(digest) << digest.error();
        sums.push_back({name, *digest});
    }
    std::ofstream(package / "SHA256SUMS", std::ios::binary) << vesk::sumsText(sums);
    ASSERT_TRUE((*writer)->addBytes("SHA256SUMS", vesk::sumsText(sums)));
    ASSERT_TRUE((*writer)->finish().ok());
}

} // namespace

// Started as one file, from a folder that holds nothing else, vpak.exe shows
// the theme it carries and installs it; its unpacked folder goes with it. A
// copy cut short says so and leaves no temporary file behind.
TEST_F(VpakWindowTest, aOneFilePackageShowsItsThemeInstallsAndLeavesNoTemporaryFiles)
{
    fs::create_directories(m_dir / "tmp");
    fs::create_directories(m_dir / "downloads");
    fs::create_directories(m_dir / "game");
    const TemporaryFolderSwap temporary(path("tmp"));
    const std::string ocean = path("downloads\\Ocean.exe");
    makeOneFile(m_package, ocean);
    writeBytes(path("game\\bomb1.wa2"), "the game's bomb");

    ASSERT_TRUE(m_program.start(ocean, "", path("downloads")));
    HWND window = driver::waitForWindow(nullptr, vpak::kWindowCaption);
    ASSERT_TRUE(window);
    EXPECT_EQ(text(control(window, "makerNameLabel")), "Ann <b>Example</b>");
    SendMessageA(control(window, "pathBox"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path("game").c_str()));
    press(window, "installButton");
    EXPECT_EQ(answerBox(), "Install Completed");
    EXPECT_TRUE(hasEnded(10000));
    EXPECT_EQ(readBytes(path("game\\bomb1.wa2")), "RIFF new bomb");
    EXPECT_FALSE(fs::exists(m_dir / "game" / "SHA256SUMS"));
    EXPECT_TRUE(snapshot(path("tmp")).empty());

    const std::string whole = readBytes(ocean);
    writeBytes(ocean, whole.substr(0, whole.size() - 1000));
    ASSERT_TRUE(m_program.start(ocean, "", path("downloads")));
    EXPECT_EQ(answerBox(), "Ocean.exe is damaged (it is cut short). Ask for the package again.");
    EXPECT_TRUE(hasEnded(10000));
    EXPECT_TRUE(snapshot(path("tmp")).empty());
}

TEST_F(VpakWindowTest, aFolderWhoseSoundDiffersFromItsSumsIsRefused)
{
    makeOneFile(m_package, path("Ocean.exe"));
    writeBytes((m_package / "bomb1.wa2").string(), "RIFF another bomb");
    fs::create_directories(m_dir / "game");
    HWND window = start();
    ASSERT_TRUE(window);
    SendMessageA(control(window, "pathBox"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path("game").c_str()));
    press(window, "installButton");
    EXPECT_EQ(answerBox(),
              "The theme package is damaged (bomb1.wa2 does not match its checksum). Ask for the package again.");
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(fs::is_empty(m_dir / "game"));
}

// Sounds of 64 MiB with their sums: while the install's progress window
// shows, the window answers within a second. (Wine without a window manager
// waits two seconds for one to let a closing window go: that wait, after
// the progress window has gone from the screen, is no fault of ours.)
TEST_F(VpakWindowTest, aBigPackageInstallsWithItsWindowAnswering)
{
    const std::string sound = plainWave(std::string(64 << 20, 'b'));
    std::vector<vesk::FileSum> sums;
    for (const char *name : {"bomb1.wa2", "bomb2.wa2", "bomb3.wa2", "mine1.wa2", "mine2.wa2", "mine3.wa2"}) {
        writeBytes((m_package / name).string(), sound);
        const auto digest = vesk::sha256OfFile((m_package / name).string());
        ASSERT_TRUE(digest) << digest.error();
        sums.push_back({name, *digest});
    }
    writeBytes((m_package / "SHA256SUMS").string(), vesk::sumsText(sums));
    fs::create_directories(m_dir / "game");
    writeBytes(path("game\\bomb1.wa2"), "the game's bomb");
    HWND window = start();
    ASSERT_TRUE(window);
    SendMessageA(control(window, "pathBox"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path("game").c_str()));
    press(window, "installButton");
    int answeredWhileShown = 0;
    for (int poll = 0; poll < 4 * driver::kPolls && !FindWindowA("#32770", vpak::kMessageCaption); ++poll) {
        const auto shown = [] {
            HWND progress = FindWindowA(nullptr, vpak::kInstallTitle);
            return progress && IsWindowVisible(progress);
        };
        const bool before = shown();
        DWORD_PTR result = 0;
        const bool answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result);
        if (before && shown()) {
            ASSERT_TRUE(answered) << "the window did not answer for a second while the install worked";
            ++answeredWhileShown;
        }
        Sleep(driver::kPollMs);
    }
    EXPECT_EQ(answerBox(), "Install Completed");
    EXPECT_GT(answeredWhileShown, 0) << "the long work shows its progress";
    EXPECT_EQ(readBytes(path("game\\mine3.wa2")).size(), sound.size());
}
