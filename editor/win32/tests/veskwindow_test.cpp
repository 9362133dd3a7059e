// Drives the real vesk.exe as a player would, with window messages: it is
// started from a program folder with its vesk.cfg, its dialogs and message
// boxes are answered, and what it writes is read back byte for byte.
#include "editorlayout.h"
#include "editorprocedures.h"
#include "installerlayout.h"
#include "slotlayout.h"
#include "soundbrowser.h"
#include "tempdir.h"
#include "wavecheck.h"
#include "win32driver.h"

#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace fs = std::filesystem;

namespace {

using vesk::EditorWindow;

constexpr const char *kCaption = "VESK";

// A plain PCM wave of a sine tone, 16-bit mono at 22,050 Hz.
std::string toneWave(double seconds, double amplitude = 0.5)
{
    constexpr unsigned kRate = 22050;
    const auto samples = static_cast<unsigned>(seconds * kRate);
    const auto put = [](std::string &out, unsigned value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    std::string wave = "RIFF";
    put(wave, 36 + samples * 2, 4);
    wave += "WAVEfmt ";
    put(wave, 16, 4);
    put(wave, 1, 2);
    put(wave, 1, 2);
    put(wave, kRate, 4);
    put(wave, kRate * 2, 4);
    put(wave, 2, 2);
    put(wave, 16, 2);
    wave += "data";
    put(wave, samples * 2, 4);
    for (unsigned i = 0; i < samples; ++i)
        put(wave,
            static_cast<unsigned>(static_cast<int>(amplitude * 32767 * std::sin(i * 2 * 3.14159265 * 440 / kRate)))
                & 0xFFFF,
            2);
    return wave;
}

// What the default sound input hears (under the tests, the sound server's
// own output), in blocks of a tenth of a second, each as its level: the
// root mean square as a share of full scale.
class Recording
{
public:
    static constexpr unsigned kRate = 22050, kBlock = kRate / 10, kBlocks = 50;

    bool start()
    {
        WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, kRate, kRate * 2, 2, 16, 0};
        if (waveInOpen(&m_in, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
            return false;
        m_samples.assign(static_cast<size_t>(kBlock) * kBlocks, 0);
        m_headers.resize(kBlocks);
        for (unsigned b = 0; b < kBlocks; ++b) {
            m_headers[b].lpData = reinterpret_cast<LPSTR>(&m_samples[b * kBlock]);
            m_headers[b].dwBufferLength = kBlock * 2;
            waveInPrepareHeader(m_in, &m_headers[b], sizeof(WAVEHDR));
            waveInAddBuffer(m_in, &m_headers[b], sizeof(WAVEHDR));
        }
        return waveInStart(m_in) == MMSYSERR_NOERROR;
    }
    ~Recording()
    {
        if (!m_in)
            return;
        waveInReset(m_in);
        for (WAVEHDR &header : m_headers)
            waveInUnprepareHeader(m_in, &header, sizeof header);
        waveInClose(m_in);
    }
    // The levels of the blocks recorded so far.
    std::vector<double> levels() const
    {
        std::vector<double> result;
        for (unsigned b = 0; b < kBlocks && (m_headers[b].dwFlags & WHDR_DONE); ++b) {
            double sum = 0;
            for (unsigned i = 0; i < kBlock; ++i)
                sum += double(m_samples[b * kBlock + i]) * m_samples[b * kBlock + i];
            result.push_back(std::sqrt(sum / kBlock) / 32768);
        }
        return result;
    }

private:
    HWAVEIN m_in = nullptr;
    std::vector<short> m_samples;
    std::vector<WAVEHDR> m_headers;
};

class VeskWindowTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_program = fs::u8path(path("program"));
        fs::create_directories(m_program);
        fs::copy_file(VESK_EXE, m_program / "vesk.exe");
        fs::copy_file(VPAK_EXE, m_program / "vpak.exe");
        useGame("My Kestrova Game");
    }
    void TearDown() override
    {
        m_vesk.stop(); // before their folders go
        m_vpak.stop();
        TempDirTest::TearDown();
    }

    // The game directory vesk.cfg names, holding the game's own bomb.
    void useGame(const std::string &name)
    {
        m_game = path(name);
        fs::create_directories(fs::u8path(m_game));
        writeBytes(m_game + "\\BOMB1.WA2", "the game's bomb");
        writeBytes((m_program / "vesk.cfg").string(), m_game + "\r\n");
    }
    // A wave file by its UTF-8 name, made with its folder.
    std::string wave(const std::string &name, const std::string &bytes)
    {
        const fs::path file = fs::u8path(path(name));
        fs::create_directories(file.parent_path());
        writeBytes(path(name), bytes);
        return path(name);
    }
    static std::string read(const std::string &utf8Path) { return readBytes(utf8Path); }
    // One of the sounds of every kind the sound tests convert, as the file
    // dialog spells its path.
    static std::string soundFile(const char *name)
    {
        std::string file = std::string(VESK_SOUND_DATA) + "/" + name;
        std::replace(file.begin(), file.end(), '/', '\\');
        return file;
    }

    // Starts vesk.exe; `atStart` answers what it asks before its window opens.
    HWND start(const std::string &arguments = "", const std::function<void()> &atStart = {})
    {
        // An editor of a case before was ended by the test, not by a crash:
        // what it kept for recovery goes, unless the test is of recovery.
        m_vesk.stop();
        if (!m_recovers)
            for (const fs::directory_entry &entry : fs::directory_iterator(m_program))
                if (entry.path().filename().string().rfind("vesk-recovery-", 0) == 0)
                    fs::remove(entry.path());
        if (!m_vesk.start((m_program / "vesk.exe").string(), arguments, dir()))
            return nullptr;
        if (atStart)
            atStart();
        m_main = driver::waitForWindow("VeskMain", vesk::kMainCaption);
        return m_main;
    }
    // Closes the editor as its title bar would; true when it ended.
    bool close()
    {
        PostMessageA(m_main, WM_CLOSE, 0, 0);
        return m_vesk.hasEnded(10000);
    }

    HWND control(const char *name) const
    {
        return driver::descendant(m_main, vesk::controlId(EditorWindow::Main, name));
    }
    HWND slotLabel(int index) const { return driver::descendant(m_main, vesk::kSlotLabelIdBase + index); }
    HWND slotButton(int index) const { return control(vesk::slotCatalogue()[static_cast<size_t>(index - 1)].button); }
    void menu(const char *item) const { driver::choose(m_main, vesk::menuItemId(item)); }
    static std::string box(int answer = IDOK) { return driver::answerBox(kCaption, answer); }

    // Add File for a slot, as the player chooses the file; the name the
    // dialog offered.
    std::string addFile(int slot, const std::string &file)
    {
        driver::click(slotButton(slot));
        driver::press(control("addFileButton"));
        const std::string offered = driver::answerFileDialog("Open", file);
        EXPECT_TRUE(driver::waitFor([&] { return driver::text(slotLabel(slot)) == file; })) << file;
        return offered;
    }
    void save(const std::string &file)
    {
        menu("saveItem");
        driver::answerFileDialog("Save As", file);
        // The dialog itself makes the file, empty, to test that it can, and
        // removes it again; the editor's save then renames a whole project
        // into place, never an empty one.
        EXPECT_TRUE(driver::waitFor([&] {
            std::error_code ec;
            return fs::file_size(fs::u8path(file), ec) > 0 && !ec;
        })) << file;
    }

    // Three seconds of a tone played, then stopped part way.
    void playAndStop(const std::string &tone);

    fs::path m_program;
    std::string m_game;
    driver::Program m_vesk, m_vpak;
    bool m_recovers = false; // start() leaves the recovery files
    HWND m_main = nullptr;
};

// Without vesk.cfg the editor asks for the game directory once; Settings
// takes only a full path and keeps it in vesk.cfg beside vesk.exe, the
// folder being writable.
TEST_F(VeskWindowTest, settingsKeepTheGameDirectoryBesideTheProgram)
{
    fs::remove(m_program / "vesk.cfg");
    std::string asked;
    ASSERT_TRUE(start("", [&] { asked = box(); }));
    EXPECT_EQ(asked, vesk::kNoGameDirectory);
    for (const std::string &typed : {std::string("Kestrova"), m_game}) {
        menu("settingsItem");
        HWND settings = driver::waitForWindow("VeskSettings", nullptr);
        ASSERT_TRUE(settings);
        EXPECT_EQ(driver::text(settings), "") << "no caption";
        const auto settingsControl = [&](const char *name) {
            return driver::descendant(settings, vesk::controlId(EditorWindow::Settings, name));
        };
        driver::setText(settingsControl("pathBox"), typed);
        driver::press(settingsControl("okButton"));
        if (typed == m_game)
            break;
        EXPECT_NE(box().find("Please choose the full path of your Kestrova directory"), std::string::npos);
        EXPECT_FALSE(fs::exists(m_program / "vesk.cfg"));
        driver::press(settingsControl("cancelButton"));
        driver::waitUntilGone(settings);
    }
    // Written in place, so that it may be seen empty for a moment.
    EXPECT_TRUE(driver::waitFor([&] { return readBytes((m_program / "vesk.cfg").string()) == m_game + "\r\n"; }))
        << readBytes((m_program / "vesk.cfg").string());
}

// Escape closes the settings window and the About box, as their Cancel
// and OK buttons do.
TEST_F(VeskWindowTest, escapeClosesTheSettingsWindowAndTheAboutBox)
{
    ASSERT_TRUE(start());
    const struct
    {
        const char *menuItem, *className;
        EditorWindow kind;
        const char *focused;
    } cases[] = {{"settingsItem", "VeskSettings", EditorWindow::Settings, "newDirectoryBox"},
                 {"aboutItem", "VeskAbout", EditorWindow::About, "webPageBox"}};
    for (const auto &c : cases) {
        menu(c.menuItem);
        HWND window = driver::waitForWindow(c.className, nullptr);
        ASSERT_TRUE(window) << c.className;
        driver::pressKey(driver::descendant(window, vesk::controlId(c.kind, c.focused)), VK_ESCAPE);
        driver::waitUntilGone(window);
        EXPECT_FALSE(IsWindow(window)) << c.className;
    }
}

// Make Directory says why Windows refuses a name; Return in the theme's name,
// on a tab without the OK button, builds the package as OK does.
TEST_F(VeskWindowTest, makeDirectorySaysWhyAndReturnBuildsThePackage)
{
    ASSERT_TRUE(start());
    menu("settingsItem");
    HWND settings = driver::waitForWindow("VeskSettings", nullptr);
    ASSERT_TRUE(settings);
    const auto settingsControl
        = [&](const char *name) { return driver::descendant(settings, vesk::controlId(EditorWindow::Settings, name)); };
    driver::setText(settingsControl("pathBox"), m_game);
    driver::setText(settingsControl("newDirectoryBox"), "a?b");
    driver::press(settingsControl("makeDirectoryButton"));
    const std::string refused = box();
    EXPECT_EQ(refused.rfind("Cannot make the folder " + m_game + "\\a?b: ", 0), 0u) << refused;
    driver::press(settingsControl("cancelButton"));
    driver::waitUntilGone(settings);

    addFile(1, wave("bomb.wav", toneWave(0.1)));
    const std::string package = path("package");
    fs::create_directories(fs::u8path(package));
    menu("createPackageItem");
    HWND window = driver::waitForWindow("VeskPackage", vesk::kPackageCaption);
    ASSERT_TRUE(window);
    const auto packageControl
        = [&](const char *name) { return driver::descendant(window, vesk::controlId(EditorWindow::Package, name)); };
    driver::setText(packageControl("picturePathBox"), PICTURE_JPG);
    driver::setText(packageControl("pathBox"), package);
    driver::setText(packageControl("themeNameBox"), "Ocean");
    driver::pressKey(driver::descendant(window, vesk::kPackageTabsId), VK_RIGHT); // to "Package"
    EXPECT_TRUE(driver::waitFor([&] { return IsWindowVisible(packageControl("themeNameBox")) != FALSE; }));
    driver::pressKey(packageControl("themeNameBox"), VK_RETURN);
    const std::string said = box();
    EXPECT_EQ(said.rfind("Theme package created in " + package + ".", 0), 0u) << said;
    driver::waitUntilGone(window);
}

// Names beyond ASCII arrive with every byte, in the project and back.
TEST_F(VeskWindowTest, addFileSaveAndReopenKeepEveryByte)
{
    const struct
    {
        const char *wave, *project;
    } cases[] = {{"sounds\\bomb.wav", "theme.vsk"}, {u8"Spiele ü\\café.wav", u8"Spiele ü\\thème.vsk"}};
    for (const auto &c : cases) {
        ASSERT_TRUE(start()) << c.wave;
        const std::string file = wave(c.wave, toneWave(0.1));
        addFile(6, file);
        EXPECT_EQ(driver::text(slotLabel(6)), file);
        EXPECT_EQ(driver::text(control("fileNameBox")), file);
        driver::setText(control("linkNameBox"), u8"Café Kestrova");
        driver::click(control("addLinkButton"));
        save(path(c.project));
        const std::string saved = read(path(c.project));
        EXPECT_NE(saved.find(file), std::string::npos) << c.project;
        ASSERT_TRUE(close()) << "saved: no question";

        ASSERT_TRUE(start());
        menu("openItem");
        driver::answerFileDialog("Open", path(c.project));
        EXPECT_TRUE(driver::waitFor([&] { return driver::text(slotLabel(6)) == file; }));
        EXPECT_EQ(SendMessageA(control("linkList"), LB_GETCOUNT, 0, 0), 1);
        save(path(c.project) + ".again");
        EXPECT_EQ(read(path(c.project) + ".again"), saved) << c.project;
        ASSERT_TRUE(close());
    }
}

TEST_F(VeskWindowTest, convertBacksUpAndRestorePutsBackWhileAFailingConvertChangesNothing)
{
    useGame(u8"Spiele ü");
    const std::string file = wave(u8"café.wav", toneWave(0.1));
    ASSERT_TRUE(start());
    addFile(1, file);

    // The wave is gone by the time of Convert: the message names it, and
    // nothing in the game directory changes.
    fs::rename(fs::u8path(file), fs::u8path(file + ".away"));
    const auto before = snapshot(m_game);
    menu("convertItem");
    EXPECT_NE(box().find(file), std::string::npos);
    EXPECT_EQ(snapshot(m_game), before);

    fs::rename(fs::u8path(file + ".away"), fs::u8path(file));
    driver::run(m_main, vesk::menuItemId("convertItem"));
    EXPECT_EQ(read(m_game + "\\BOMB1.WA2"), toneWave(0.1)) << "under the game's own spelling";
    EXPECT_EQ(read(m_game + "\\vesk-originals\\BOMB1.WA2"), "the game's bomb");
    EXPECT_TRUE(fs::exists(fs::u8path(m_game + "\\links.txt")));

    menu("restoreItem");
    EXPECT_NE(box(IDYES).find("Put the game's own sounds back"), std::string::npos);
    EXPECT_FALSE(box().empty()) << "the summary";
    EXPECT_EQ(read(m_game + "\\BOMB1.WA2"), "the game's bomb");
    EXPECT_FALSE(fs::exists(fs::u8path(m_game + "\\vesk-originals")));
    EXPECT_FALSE(fs::exists(fs::u8path(m_game + "\\links.txt")));
}

// A theme as players make them: a wave the game plays is copied, an MP3 and
// a 24-bit wave are converted, a file that is no sound is asked about and
// left out, and the summary names what was converted.
TEST_F(VeskWindowTest, convertTurnsEverySoundIntoThePlainWaveTheGamePlays)
{
    const std::string plain = wave("plain.wav", toneWave(0.1));
    const std::string mp3 = soundFile("tone.mp3");
    const std::string studio = soundFile("pcm24.wav");
    const std::string words = soundFile("text.mp3");
    ASSERT_TRUE(start());
    addFile(1, plain);
    addFile(2, mp3);
    addFile(3, studio);
    addFile(4, words);
    const auto before = snapshot(m_game);

    menu("convertItem");
    EXPECT_NE(box(IDNO).find("slot 4 (Mines, Level 1) " + words + ": not a sound file"), std::string::npos);
    EXPECT_EQ(snapshot(m_game), before) << "No cancels";

    menu("convertItem");
    EXPECT_NE(box(IDYES).find(words), std::string::npos);
    const std::string summary = box();
    if (summary.find("2 sounds were converted to 16-bit PCM") == std::string::npos && vesk::waveProblem(mp3))
        GTEST_SKIP() << "this system does not decode MP3: " << summary;
    EXPECT_EQ(summary, "2 sounds were converted to 16-bit PCM:\nslot 2 (Bombs, Level 2): " + mp3
                           + "\nslot 3 (Bombs, Level 3): " + studio);
    EXPECT_EQ(read(m_game + "\\BOMB1.WA2"), toneWave(0.1));
    for (const char *converted : {"\\bomb2.wa2", "\\bomb3.wa2"})
        EXPECT_FALSE(vesk::waveProblem(m_game + converted)) << converted;
    EXPECT_FALSE(fs::exists(fs::u8path(m_game + "\\mine1.wa2")));

    menu("restoreItem");
    box(IDYES);
    box();
    EXPECT_EQ(snapshot(m_game), before);
}

// Each slot's row draws its sound, and the line above File Name says what
// is wrong with the selected one, or its figures.
TEST_F(VeskWindowTest, eachSlotShowsItsSoundAndWhatIsWrongWithIt)
{
    writeBytes(m_game + "\\BOMB1.WA2", toneWave(0.5));
    const std::string song = wave("song.wav", toneWave(5.0)), mp3 = soundFile("tone.mp3");
    const std::string words = soundFile("text.mp3");
    ASSERT_TRUE(start());
    addFile(1, song);
    addFile(2, mp3);
    addFile(3, words);
    const struct
    {
        int slot;
        std::string line; // the start of it
    } rows[] = {
        {1, "Much longer than the game's own sound: 5.0 s, the game's is 0.5 s."},
        {2, "MP3, 44,100 Hz stereo, 1.0 s, "},
        {3, "This sound cannot be used: not a sound file."},
        {4, ""},
    };
    for (const auto &row : rows) {
        driver::click(slotButton(row.slot));
        EXPECT_TRUE(driver::waitFor([&] { return driver::text(control("soundInfo")).rfind(row.line, 0) == 0; }))
            << row.slot << ": " << driver::text(control("soundInfo"));
        if (row.line.empty()) {
            EXPECT_EQ(driver::text(control("soundInfo")), "");
        }
    }
    // The row keeps the path as its text, however it is drawn.
    EXPECT_EQ(driver::text(slotLabel(1)), song);
}

// The sound window worked as a player works it, opened by a double-click on
// the row: the end marker dragged (exactly, with Shift), times typed, the
// game's loudness matched and Return for OK; the project keeps the edit and
// Convert gives the game that sound. Escape drops what was changed.
TEST_F(VeskWindowTest, theSoundWindowShapesTheSoundTheGameGets)
{
    writeBytes(m_game + "\\BOMB1.WA2", toneWave(0.5, 0.1));
    const std::string song = wave("song.wav", toneWave(2.0));
    ASSERT_TRUE(start());
    addFile(1, song);
    const auto openWindow = [&] {
        HWND window = driver::waitForWindow("VeskSound", vesk::soundWindowCaption(1).c_str());
        EXPECT_TRUE(window);
        return window;
    };
    PostMessageA(slotLabel(1), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
    HWND window = openWindow();
    ASSERT_TRUE(window);
    const auto part
        = [&](const char *name) { return driver::descendant(window, vesk::controlId(EditorWindow::Sound, name)); };
    const auto shows = [&](const char *name, const std::string &text) {
        return driver::waitFor([&] { return driver::text(part(name)) == text; });
    };
    EXPECT_TRUE(shows("endBox", "2000"));
    RECT picture;
    GetClientRect(part("soundPicture"), &picture);
    // The song is the longer of the two, so it fills the picture's width.
    driver::drag(part("soundPicture"), picture.right - 1, picture.right / 2, picture.bottom / 2, MK_SHIFT);
    const std::string end
        = vesk::millisecondsText(static_cast<vesk::Micros>(std::llround(picture.right / 2 * 2e6 / picture.right)));
    EXPECT_TRUE(shows("endBox", end)) << driver::text(part("endBox"));
    EXPECT_TRUE(shows("fadeOutBox", "10")) << "a cut end fades out";

    const struct
    {
        const char *box, *typed, *shown, *note;
    } entries[] = {
        {"fadeInBox", "20", "20", ""},
        {"startBox", "soon", "0", "A time is a number of milliseconds, such as 120 or 1320.5."},
        {"startBox", "1990", nullptr, "The start must come before the end."}, // snapped: near 1990
        {"startBox", "0", "0", ""},
    };
    for (const auto &entry : entries) {
        driver::type(part(entry.box), entry.typed);
        driver::pressKey(part(entry.box), VK_TAB);
        if (entry.shown) {
            EXPECT_TRUE(shows(entry.box, entry.shown)) << entry.typed << ": " << driver::text(part(entry.box));
        }
        EXPECT_TRUE(shows("noteLabel", entry.note)) << entry.typed << ": " << driver::text(part("noteLabel"));
    }
    driver::click(part("matchButton"));
    // The song is five times the game's bomb, so about 14 dB comes off.
    EXPECT_NEAR(std::atof(driver::text(part("gainBox")).c_str()), -13.98, 0.1) << driver::text(part("noteLabel"));
    driver::type(part("gainBox"), "-6");
    driver::pressKey(part("gainBox"), VK_RETURN);
    driver::waitUntilGone(window);
    EXPECT_FALSE(IsWindow(window)) << "Return is OK";

    // Escape drops what the window changed.
    menu("editSoundItem");
    window = openWindow();
    ASSERT_TRUE(window);
    driver::type(part("gainBox"), "3");
    driver::pressKey(part("gainBox"), VK_ESCAPE);
    driver::waitUntilGone(window);

    const std::string project = path("shaped.vsk");
    save(project);
    EXPECT_NE(read(project).find("[sound edits]\r\nslot=1 start=0 end=" + end
                                 + " fade-in=20 fade-out=10 gain=-6 length=2000\r\n"),
              std::string::npos)
        << read(project);
    menu("convertItem");
    const std::string summary = box();
    EXPECT_NE(summary.find("\nslot 1 (Bombs, Level 1): " + song
                           + ", trimmed to 1.0 s, faded in 20 ms, faded out 10 ms, gain \u22126.0 dB"),
              std::string::npos)
        << summary;
    const std::optional<double> seconds = vesk::waveSeconds(m_game + "\\BOMB1.WA2");
    ASSERT_TRUE(seconds);
    EXPECT_NEAR(*seconds, std::atof(end.c_str()) / 1000, 1.0 / 22050);
}

TEST_F(VeskWindowTest, exitAsksAboutUnsavedChanges)
{
    const struct
    {
        int answer;
        bool ends, saves;
    } cases[] = {{IDYES, true, true}, {IDNO, true, false}, {IDCANCEL, false, false}};
    for (const auto &c : cases) {
        const std::string project = path("answer" + std::to_string(c.answer) + ".vsk");
        ASSERT_TRUE(start());
        driver::click(control("addLinkButton")); // a link: a change
        menu("exitItem");
        EXPECT_EQ(box(c.answer), "Save the changes to this theme before closing?");
        if (c.saves)
            driver::answerFileDialog("Save As", project);
        EXPECT_EQ(m_vesk.hasEnded(c.ends ? 10000 : 1000), c.ends) << c.answer;
        EXPECT_EQ(fs::exists(project), c.saves) << c.answer;
        m_vesk.stop();
    }
}

// The package carries the vpak.exe beside vesk.exe as install.exe, and that
// installer puts the theme into a game directory, whatever the names; so does
// the one file beside the package folder, started on its own.
TEST_F(VeskWindowTest, packageBuiltByTheEditorIsInstalledByItsOwnInstaller)
{
    const struct
    {
        const char *wave, *package, *game;
        bool oneFile;
    } cases[] = {{"bomb.wav", "package", "My Kestrova Game", false},
                 {u8"Spiele ü\\café.wav", u8"Spiele ü\\Paket", u8"Spiele ü\\Kestrova Spiel", true}};
    for (const auto &c : cases) {
        useGame(c.game);
        const std::string file = wave(c.wave, toneWave(0.1));
        const std::string package = path(c.package);
        fs::create_directories(fs::u8path(package));
        ASSERT_TRUE(start()) << c.game;
        addFile(1, file);
        menu("createPackageItem");
        HWND window = driver::waitForWindow("VeskPackage", vesk::kPackageCaption);
        ASSERT_TRUE(window);
        const auto packageControl = [&](const char *name) {
            return driver::descendant(window, vesk::controlId(EditorWindow::Package, name));
        };
        driver::setText(packageControl("themeNameBox"), u8"Nuit d'été");
        driver::setText(packageControl("picturePathBox"), PICTURE_JPG); // as the picture list sets it
        driver::setText(packageControl("pathBox"), package);
        driver::press(packageControl("okButton"));
        const std::string said = box(), told = "Theme package created in " + package
                                               + ". To send it as one file: " + package + ".exe (";
        EXPECT_EQ(said.substr(0, told.size()), told);
        EXPECT_EQ(said.substr(said.size() - 5), " MB).") << said;
        driver::waitUntilGone(window);
        EXPECT_EQ(read(package + "\\install.exe"), readBytes(VPAK_EXE));
        EXPECT_EQ(read(package + "\\bomb1.wa2"), toneWave(0.1));
        EXPECT_EQ(read(package + "\\bgimage.jpg"), readBytes(PICTURE_JPG));
        m_vesk.stop();

        const std::string installer = c.oneFile ? package + ".exe" : package + "\\install.exe";
        ASSERT_TRUE(m_vpak.start(fs::u8path(installer).string(), "", dir()));
        HWND shown = driver::waitForWindow(nullptr, vpak::kWindowCaption);
        ASSERT_TRUE(shown);
        EXPECT_EQ(driver::text(GetDlgItem(shown, vpak::controlId("themeNameLabel"))), u8"Nuit d'été");
        driver::setText(GetDlgItem(shown, vpak::controlId("pathBox")), m_game);
        driver::press(GetDlgItem(shown, vpak::controlId("installButton")));
        EXPECT_EQ(driver::answerBox(vpak::kMessageCaption), "Install Completed") << c.game;
        EXPECT_EQ(read(m_game + "\\BOMB1.WA2"), toneWave(0.1)) << c.game;
        EXPECT_EQ(read(m_game + "\\vesk-originals\\BOMB1.WA2"), "the game's bomb");
        m_vpak.stop();
    }
}

// Play starts the file filename1 names and Stop ends it: a tone of three
// seconds is heard, then silence from the Stop on. An MP3 is heard as the
// wave it converts to.
TEST_F(VeskWindowTest, playIsHeardAndStopSilencesIt)
{
    playAndStop(wave("tone.wav", toneWave(3.0)));
}

TEST_F(VeskWindowTest, anMp3IsHeardAsTheWaveItConvertsTo)
{
    playAndStop(soundFile("long.mp3"));
}

void VeskWindowTest::playAndStop(const std::string &tone)
{
    const std::string kind = fs::u8path(tone).filename().u8string();
    ASSERT_TRUE(start());
    addFile(1, tone);
    Recording heard;
    const bool recording = heard.start();
    driver::click(control("playButton"));
    if (!recording) {
        // No sound server here: Play and Stop must still return, silently.
        driver::click(control("stopButton"));
        EXPECT_TRUE(IsWindowEnabled(m_main));
        EXPECT_FALSE(FindWindowA("#32770", kCaption));
        if (std::getenv("VESK_REQUIRE_AUDIO"))
            FAIL() << "no sound input to record what is played, and the run requires one";
        GTEST_SKIP() << "no sound input to record what is played";
    }
    const auto loud = [](const std::vector<double> &levels) {
        return std::count_if(levels.begin(), levels.end(), [](double level) { return level > 0.2; });
    };
    ASSERT_TRUE(driver::waitFor([&] { return loud(heard.levels()) >= 5; })) << "the tone is heard: " << kind;
    driver::click(control("stopButton"));
    ASSERT_TRUE(driver::waitFor([&] { return heard.levels().size() == Recording::kBlocks; }));
    const std::vector<double> levels = heard.levels();
    EXPECT_LT(loud(levels), 20) << "Stop ends the tone before its three seconds";
    for (size_t b = levels.size() - 10; b < levels.size(); ++b)
        EXPECT_LT(levels[b], 0.01) << "block " << b << " after Stop";
}

// The Qt build is held to the same rectangles (mainwindow_test). Run at 96
// and at 144 dpi: the window and every button grow as one.
TEST_F(VeskWindowTest, slotButtonsLieWhereTheTablesPlaceThem)
{
    ASSERT_TRUE(start());
    const int dpi = driver::shownDpi(m_main);
    EXPECT_EQ(dpi, driver::askedDpi());
    RECT client;
    GetClientRect(m_main, &client);
    EXPECT_EQ(client.right, vesk::pixelsAt(vesk::kMainClientWidth, dpi));
    EXPECT_EQ(client.bottom, vesk::pixelsAt(vesk::kMainClientHeight, dpi));
    RECT tabs;
    GetWindowRect(driver::descendant(m_main, vesk::kSlotTabsId), &tabs);
    for (const auto &[name, expected] : expectedSlotButtons(dpi)) {
        RECT button;
        GetWindowRect(control(name.c_str()), &button);
        const PixelRect shown{button.left - tabs.left, button.top - tabs.top, button.right - button.left,
                              button.bottom - button.top};
        EXPECT_TRUE(shown == expected) << name << " at " << shown.left << "," << shown.top;
    }
}

} // namespace

namespace {

// Keys held and let go as the player presses them, to the window in front.
void pressShortcut(HWND window, std::initializer_list<BYTE> keys)
{
    SetForegroundWindow(window);
    for (const BYTE key : keys)
        keybd_event(key, 0, 0, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        keybd_event(*key, 0, KEYEVENTF_KEYUP, 0);
}

} // namespace

// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z walk the history (the menu's captions are
// shared and tested with the procedures: another process cannot read them
// under Wine); an editor ended from outside 4 s after a change offers it back at
// the next start, and Yes brings it as an unsaved change.
TEST_F(VeskWindowTest, undoAndRedoByKeysAndAKilledEditorsChangeRecovered)
{
    ASSERT_TRUE(start());
    const std::string file = wave("bomb.wav", toneWave(0.1));
    addFile(3, file);
    const struct
    {
        std::initializer_list<BYTE> keys;
        std::string slot3;
    } steps[] = {
        {{VK_CONTROL, 'Z'}, "none"},
        {{VK_CONTROL, 'Y'}, file},
        {{VK_CONTROL, 'Z'}, "none"},
        {{VK_CONTROL, VK_SHIFT, 'Z'}, file},
    };
    for (const auto &step : steps) {
        pressShortcut(m_main, step.keys);
        EXPECT_TRUE(driver::waitFor([&] { return driver::text(slotLabel(3)) == step.slot3; })) << step.slot3;
    }
    Sleep(4000);
    m_vesk.stop(); // TerminateProcess, as a crash ends it
    m_recovers = true;

    std::string asked;
    ASSERT_TRUE(start("", [&] { asked = box(IDYES); }));
    EXPECT_EQ(asked.rfind("VESK did not close properly. Recover the unsaved changes to a new theme from ", 0), 0u)
        << asked;
    EXPECT_TRUE(driver::waitFor([&] { return driver::text(slotLabel(3)) == file; }));
    PostMessageA(m_main, WM_CLOSE, 0, 0);
    EXPECT_EQ(box(IDNO), "Save the changes to this theme before closing?");
    EXPECT_TRUE(m_vesk.hasEnded(10000));
    EXPECT_FALSE(fs::exists(m_program / "vesk-recovery-1.cfg")); // not saved, on purpose: gone
}

// The sound browser opens on the folder of the theme's sounds; Down selects
// and plays, Return with "Then the next slot" fills the slots in their order
// on screen; a row dragged onto a slot's button goes there; Escape closes it
// when nothing plays.
TEST_F(VeskWindowTest, soundBrowserFillsSlotsWithTheArrowKeysAndReturn)
{
    ASSERT_TRUE(start());
    std::vector<std::string> waves;
    for (const char *name : {"sounds\\c.wav", "sounds\\A.wav", "sounds\\b.wav"})
        waves.push_back(wave(name, toneWave(0.2)));
    writeBytes(path("sounds\\notes.txt"), "not listed");
    addFile(1, waves[0]);
    menu("browseSoundsItem");
    HWND browser = driver::waitForWindow("VeskSoundBrowser", vesk::kSoundBrowserCaption);
    ASSERT_TRUE(browser);
    HWND list = driver::descendant(browser, vesk::ids::kSoundList);
    ASSERT_TRUE(driver::waitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }));
    driver::click(driver::descendant(browser, vesk::controlId(EditorWindow::Browser, "nextSlotBox")));
    const std::vector<std::string> sorted = {waves[1], waves[2], waves[0]};
    int slot = 1;
    for (const std::string &expected : sorted) {
        driver::pressKey(list, VK_DOWN);
        driver::pressKey(list, VK_RETURN);
        EXPECT_TRUE(driver::waitFor([&] { return driver::text(slotLabel(slot)) == expected; })) << slot;
        slot = vesk::nextSlotOnScreen(slot);
    }
    // The first row dragged onto the next slot's button: the mouse pressed
    // on the row, moved past the drag distance, then let go over the button.
    RECT header{}, shown{};
    GetWindowRect(GetWindow(list, GW_CHILD), &header);
    const int rowY = header.bottom - header.top + 4;
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, rowY));
    PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, rowY + 30));
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    ASSERT_TRUE(driver::waitFor([&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(browser, nullptr), &thread) && thread.hwndCapture == browser;
    }));
    GetWindowRect(slotButton(slot), &shown);
    const POINT over{(shown.left + shown.right) / 2, (shown.top + shown.bottom) / 2};
    SetWindowPos(browser, nullptr, over.x + 50, over.y + 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(GetAncestor(WindowFromPoint(over), GA_ROOT), m_main); // not under the browser
    SetCursorPos(over.x, over.y);
    PostMessageA(browser, WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(driver::waitFor([&] { return driver::text(slotLabel(slot)) == waves[1]; }));
    driver::pressKey(list, VK_ESCAPE); // stops the last sound
    driver::pressKey(list, VK_ESCAPE);
    driver::waitUntilGone(browser);
    EXPECT_FALSE(IsWindow(browser));
}

// A package given on the command line opens as a theme of copies in the
// folder the player names; the package window then shows its description,
// and its OK keeps what it holds in the project.
TEST_F(VeskWindowTest, aPackageOpensAsAThemeAndItsDescriptionFillsThePackageWindow)
{
    const std::string ocean = path("Ocean");
    fs::create_directories(fs::u8path(ocean));
    std::ofstream(fs::u8path(ocean + "\\theme.cfg"), std::ios::binary)
        << "Ann\r\nann@example.org\r\nhttp://\r\n12\r\nBlue\r\nBlack\r\nOcean\r\n";
    std::ofstream(fs::u8path(ocean + "\\gun2.wa2"), std::ios::binary) << toneWave(0.1);
    ASSERT_TRUE(start("\"" + ocean + "\""));
    const std::string copies = path("copies");
    EXPECT_EQ(driver::answerFileDialog("Save As", copies), "Ocean sounds"); // in the package's folder
    EXPECT_TRUE(driver::waitFor([&] { return driver::text(slotLabel(8)) == copies + "\\Guns, Level 2.wav"; }));

    menu("createPackageItem");
    HWND window = driver::waitForWindow("VeskPackage", vesk::kPackageCaption);
    ASSERT_TRUE(window);
    const auto packageControl
        = [&](const char *name) { return driver::descendant(window, vesk::controlId(EditorWindow::Package, name)); };
    EXPECT_EQ(driver::text(packageControl("creatorNameBox")), "Ann");
    EXPECT_EQ(driver::text(packageControl("fontSizeBox")), "12");
    EXPECT_EQ(driver::text(packageControl("themeNameBox")), "Ocean");

    // OK keeps what the window holds in the project, and builds.
    const std::string built = path("built");
    fs::create_directories(fs::u8path(built));
    driver::setText(packageControl("themeNameBox"), "Ocean Deep");
    driver::setText(packageControl("picturePathBox"), PICTURE_JPG);
    driver::setText(packageControl("pathBox"), built);
    driver::press(packageControl("okButton"));
    const std::string said = box();
    EXPECT_EQ(said.rfind("Theme package created in " + built + ".", 0), 0u) << said;
    driver::waitUntilGone(window);
    save(path("deep.vsk"));
    const std::string project = read(path("deep.vsk"));
    EXPECT_NE(project.find("\r\n[package]\r\nname=Ann\r\n"), std::string::npos) << project;
    EXPECT_NE(project.find("\r\nthemename=Ocean Deep\r\n"), std::string::npos) << project;
    EXPECT_NE(project.find("\r\nfolder=" + built + "\r\n"), std::string::npos) << project;
}

// Take Sounds from Packages: two packages added as columns, a cell chosen
// with the mouse and the arrow keys and used with Return; OK copies it out
// into the folder named and puts it in its slot.
TEST_F(VeskWindowTest, takeSoundsPutsTheCellChosenByKeysInItsSlot)
{
    for (const char *package : {"Ocean", "Forest"}) {
        const std::string folder = path(package);
        fs::create_directories(fs::u8path(folder));
        std::ofstream(fs::u8path(folder + "\\theme.cfg"), std::ios::binary) << "Ann\r\n\r\n\r\n12\r\nBlue\r\nBlack\r\n"
                                                                            << package << "\r\n";
        std::ofstream(fs::u8path(folder + "\\bomb1.wa2"), std::ios::binary) << toneWave(0.1) << package;
    }
    ASSERT_TRUE(start());
    menu("takeSoundsItem");
    HWND window = driver::waitForWindow("VeskPackageMix", vesk::kPackageMixCaption);
    ASSERT_TRUE(window);
    const auto mixControl
        = [&](const char *name) { return driver::descendant(window, vesk::controlId(EditorWindow::PackageMix, name)); };
    HWND grid = mixControl("soundGrid");
    for (const char *package : {"Ocean", "Forest"}) {
        driver::press(mixControl("addPackageButton"));
        driver::answerFileDialog("Open", path(package) + "\\theme.cfg");
    }
    EXPECT_TRUE(driver::waitFor([&] { return SendMessageA(GetWindow(grid, GW_CHILD), HDM_GETITEMCOUNT, 0, 0) == 4; }));
    // A click on Ocean's bomb (the first row, the third column), then Right.
    RECT header{};
    GetWindowRect(GetWindow(grid, GW_CHILD), &header);
    const int x = MulDiv(150 + 190 + 60, driver::shownDpi(window), 96), y = header.bottom - header.top + 4;
    PostMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    driver::pressKey(grid, VK_RIGHT); // Forest's bomb
    driver::pressKey(grid, VK_RETURN);
    driver::press(mixControl("okButton"));
    EXPECT_EQ(driver::answerFileDialog("Save As", path("mixed")), "Forest sounds");
    driver::waitUntilGone(window);
    const std::string copy = path("mixed") + "\\Bombs, Level 1.wav";
    EXPECT_TRUE(driver::waitFor([&] { return driver::text(slotLabel(1)) == copy; }));
    EXPECT_EQ(read(copy), read(path("Forest") + "\\bomb1.wa2"));
}
