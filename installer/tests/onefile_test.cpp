#include "filelock.h"
#include "files.h"
#include "installbatch.h"
#include "installprocedure.h"
#include "onefile.h"
#include "packagesource.h"
#include "packagesums.h"
#include "paths.h"
#include "tempdir.h"

#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

namespace {

using vesk::OneFileEntry;

// A package folder "Ocean" and Ocean.exe made of it, with this test's own
// program (a real Windows or Linux program) as the installer. Temporary
// folders go into a folder of the test's own, so that what is left there
// can be seen.
class OneFileTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        std::filesystem::create_directories(m_dir / "tmp");
        std::filesystem::create_directories(m_dir / "Ocean");
        std::filesystem::create_directories(m_dir / "game");
        m_temporary.emplace(path("tmp"));
        m_program = vesk::programFile();
        writeOceanPackage(path("Ocean"), path("game"));

        auto writer = vesk::OneFileWriter::start(path("Ocean.exe"), m_program);
        ASSERT_TRUE(writer) << writer.error();
        std::vector<vesk::FileSum> sums;
        for (const char *name : kOceanFiles) {
            const auto digest = (*writer)->add(name, path("Ocean/") + name);
            ASSERT_TRUE(digest) << digest.error();
            sums.push_back({name, *digest});
        }
        writeBytes(path("Ocean/SHA256SUMS"), vesk::sumsText(sums));
        ASSERT_TRUE((*writer)->addBytes("SHA256SUMS", vesk::sumsText(sums)));
        ASSERT_TRUE((*writer)->finish().ok());
        m_built = readBytes(path("Ocean.exe"));
        auto index = vesk::readOneFileIndex(path("Ocean.exe"));
        ASSERT_TRUE(index && *index) << index.error();
        m_index = **index;
    }
    void TearDown() override
    {
        m_temporary.reset();
        TempDirTest::TearDown();
    }

    // The message a one-file package of these bytes gets, or "" when it
    // opens.
    std::string opened(const std::string &bytes)
    {
        writeBytes(path("damaged.exe"), bytes);
        vesk::NoProgress unwatched;
        auto source = vpak::PackageSource::open(path("damaged.exe"), std::nullopt, unwatched);
        return source ? std::string() : source.error();
    }
    const OneFileEntry &entry(const std::string &name) const
    {
        for (const OneFileEntry &e : m_index.entries) {
            if (e.name == name)
                return e;
        }
        throw std::runtime_error(name);
    }
    std::uint64_t indexOffset() const { return m_built.size() - vesk::kTrailerSize - indexBytes().size(); }
    std::string indexBytes() const { return vesk::encodeIndex(m_index.entries); }
    // The built file with another index (and its own valid trailer).
    std::string withIndex(const std::string &index) const
    {
        return m_built.substr(0, indexOffset()) + index
               + vesk::encodeTrailer(m_index.payloadOffset, indexOffset(), index);
    }
    std::string withEntries(const std::function<void(std::vector<OneFileEntry> &)> &change) const
    {
        std::vector<OneFileEntry> entries = m_index.entries;
        change(entries);
        return withIndex(vesk::encodeIndex(entries));
    }

    std::optional<TemporaryFolderSwap> m_temporary;
    std::string m_program;
    std::string m_built;
    vesk::OneFileIndex m_index;
};

TEST_F(OneFileTest, unpacksToTheFolderItWasMadeOfAndRemovesItAtTheEnd)
{
    vesk::NoProgress unwatched;
    std::string unpacked;
    {
        auto source = vpak::PackageSource::open(path("Ocean.exe"), std::nullopt, unwatched);
        ASSERT_TRUE(source) << source.error();
        ASSERT_TRUE(source->unpacked());
        unpacked = source->directory();
        EXPECT_EQ(snapshot(unpacked), snapshot(path("Ocean")));
        EXPECT_TRUE(vesk::checkPackageSums(unpacked, unwatched).ok());
    }
    EXPECT_FALSE(std::filesystem::exists(vesk::fsPath(unpacked)));
    EXPECT_TRUE(snapshot(path("tmp")).empty());
}

TEST_F(OneFileTest, aPlainInstallerRunsFromItsFolderAndIsNoOneFilePackage)
{
    vesk::NoProgress unwatched;
    auto source = vpak::PackageSource::open(m_program, dir(), unwatched);
    ASSERT_TRUE(source) << source.error();
    EXPECT_FALSE(source->unpacked());
    EXPECT_EQ(source->directory(), dir());
    EXPECT_EQ(opened(readBytes(m_program)), "damaged.exe is not a theme package made into one file.");
}

// A package that cannot be opened is refused for the reason the system
// gives, never one made up: here, every file the process may open is open.
TEST_F(OneFileTest, aPackageThatCannotBeOpenedIsRefusedForTheSystemsReason)
{
    // The sanitizers check a virtual call by reading through a pipe of their
    // own, which they cannot make once the files run out: the error texts'
    // call is made once before, so that it is checked already.
    (void)vesk::reasonText(std::error_code(EMFILE, std::generic_category()));
    std::vector<std::unique_ptr<std::FILE, int (*)(std::FILE *)>> held;
    int said = 0; // what the system says of the open that fails
    while (held.size() < 100000) {
        errno = 0;
        std::FILE *file = vesk::openFile(path("Ocean/warp.wa2"), "rb");
        said = errno;
        if (!file)
            break;
        held.emplace_back(file, &std::fclose);
    }
    if (held.size() == 100000)
        GTEST_SKIP() << "this system opens more files than the test tries";
    const auto index = vesk::readOneFileIndex(path("Ocean.exe"));
    held.clear();
    ASSERT_FALSE(index);
    EXPECT_EQ(index.error(), "cannot read " + path("Ocean.exe") + ": "
                                 + vesk::reasonText(std::error_code(said != 0 ? said : EIO, std::generic_category())));
#ifndef _WIN32
    EXPECT_EQ(said, EMFILE); // Wine's C runtime gives no reason at all
#endif
}

// Every damage is found before anything is unpacked, or ends the unpacking
// with its folder removed: nothing is left among the temporary files.
TEST_F(OneFileTest, aDamagedOneFileIsRefusedWithItsReasonAndLeavesNothing)
{
    const std::uint64_t bomb = entry("bomb1.wa2").offset;
    const std::uint64_t size = m_built.size();
    const auto flipped = [this](std::uint64_t at) {
        std::string bytes = m_built;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x10);
        return bytes;
    };
    const auto named = [this](const std::string &name) {
        return withEntries([&name](std::vector<OneFileEntry> &e) { e[4].name = name; });
    };
    std::string countOf2To32 = indexBytes();
    countOf2To32.replace(0, 8, std::string("\0\0\0\0\1\0\0\0", 8));
    std::string indexTooLarge = m_built;
    indexTooLarge.replace(size - vesk::kTrailerSize + 24, 8, std::string("\xff\xff\xff\0\0\0\0\0", 8));

    const struct
    {
        const char *what;
        std::string bytes;
        std::string reason;
    } cases[] = {
        {"cut in the payload", m_built.substr(0, bomb + 100), "it is cut short"},
        {"cut in the index", m_built.substr(0, indexOffset() + 20), "it is cut short"},
        {"cut in the trailer", m_built.substr(0, size - 30), "it is cut short"},
        {"a sound's byte flipped", flipped(bomb + 1000), "bomb1.wa2 does not match its checksum"},
        {"an index byte flipped", flipped(indexOffset() + 12), "its index does not match its checksum"},
        {"a trailer byte flipped", flipped(size - vesk::kTrailerSize + 17), "its trailer does not fit the file"},
        {"a newer format", flipped(size - vesk::kTrailerSize + 1), "it was made by a newer editor (format 4097)"},
        {"a parent folder", named("..\\x"), "its index names ..\\x, which is no file of a theme"},
        {"a drive", named("C:\\x"), "its index names C:\\x, which is no file of a theme"},
        {"the batch", named("1.bat"), "its index names 1.bat, which is no file of a theme"},
        {"a library", named("ddraw.dll"), "its index names ddraw.dll, which is no file of a theme"},
        {"one name twice", named("BOMB1.WA2"), "its index names BOMB1.WA2 twice"},
        {"a size running past the end",
         withEntries([](std::vector<OneFileEntry> &e) { e.back().size = std::uint64_t(1) << 62; }),
         "its index gives SHA256SUMS more bytes than the file holds"},
        {"sizes that overlap", withEntries([](std::vector<OneFileEntry> &e) { e[0].size += 8; }),
         "its index gives SHA256SUMS more bytes than the file holds"},
        {"sizes that fall short", withEntries([](std::vector<OneFileEntry> &e) { e[0].size -= 4; }),
         "its files do not fill its payload"},
        {"2^32 files", withIndex(countOf2To32), "its index lists 4294967296 files, more than a theme has"},
        {"an index larger than the file", indexTooLarge, "its trailer does not fit the file"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(opened(c.bytes), "damaged.exe is damaged (" + c.reason + "). Ask for the package again.") << c.what;
        EXPECT_TRUE(snapshot(path("tmp")).empty()) << c.what;
    }
}

// The installer's side of a folder package that carries SHA256SUMS.
class SumsInstallTest : public OneFileTest
{
protected:
    struct Ui final : vpak::InstallerUi
    {
        void message(const std::string &text) override { messages.push_back(text); }
        bool ask(const std::string &text) override
        {
            questions.push_back(text);
            return true;
        }
        vesk::Result<BatchEnd> runBatch(const std::string &batch, const std::string &directory,
                                        std::chrono::milliseconds) override
        {
            if (!runsBatch)
                return vesk::Status::failure("no batch in this test");
            const vesk::Status ran = vpak::runBatchFile(batch, directory);
            return ran.ok() ? vesk::Result<BatchEnd>(BatchEnd::Finished) : vesk::Result<BatchEnd>(ran);
        }
        void waitForBatchEnd() override {}
        // Counts the reports of the install's long work.
        struct Counted final : vesk::Progress
        {
            explicit Counted(int &count) : m_count(count) {}
            bool advance(const std::string &, double) override { return ++m_count > 0; }
            int &m_count;
        };
        std::unique_ptr<vesk::Progress> startProgress(const std::string &) override
        {
            return std::make_unique<Counted>(reports);
        }
        bool runsBatch = false;
        int reports = 0;
        std::vector<std::string> messages, questions;
    };
};

TEST_F(SumsInstallTest, aFolderThatIsNotWhatItsSumsSayIsRefusedBeforeTheGameIsTouched)
{
    const std::string bomb = path("Ocean/bomb1.wa2"), sums = path("Ocean/SHA256SUMS");
    const std::string sumsText = readBytes(sums);
    const struct
    {
        const char *what;
        std::function<void()> damage;
        std::string reason;
    } cases[] = {
        {"a sound altered", [&] { writeBytes(bomb, plainWave("another bomb")); },
         "bomb1.wa2 does not match its checksum"},
        {"a sound removed", [&] { std::filesystem::remove(vesk::fsPath(bomb)); },
         "bomb1.wa2, which SHA256SUMS names, is missing"},
        {"a file outside", [&] { writeBytes(sums, sumsText + std::string(64, '0') + "  ../game/bomb1.wa2\n"); },
         "SHA256SUMS line 6 names ../game/bomb1.wa2, which is no file of the package"},
    };
    const auto game = snapshot(path("game"));
    const std::string original = readBytes(bomb);
    for (const auto &c : cases) {
        c.damage();
        Ui ui;
        EXPECT_FALSE(vpak::install(path("Ocean"), path("game"), ui)) << c.what;
        EXPECT_EQ(ui.messages, std::vector<std::string>{"The theme package is damaged (" + c.reason
                                                        + "). Ask for the package again."})
            << c.what;
        EXPECT_EQ(snapshot(path("game")), game) << c.what;
        writeBytes(bomb, original);
        writeBytes(sums, sumsText);
    }
}

// Earlier editors listed the installer too; another put in its place (the
// Linux installer copied in as install.exe) is not taken for damage.
TEST_F(SumsInstallTest, anotherInstallerInPlaceOfTheListedOneLeavesThePackageWhole)
{
    ASSERT_NE(readBytes(path("Ocean/SHA256SUMS")).find("  install.exe"), std::string::npos);
    writeBytes(path("Ocean/install.exe"), "another installer");
    vesk::NoProgress quiet;
    EXPECT_TRUE(vesk::checkPackageSums(path("Ocean"), quiet).ok());
}

TEST_F(SumsInstallTest, aSoundTheGameHoldsOpenStopsTheInstallBeforeAnyChange)
{
    const auto game = snapshot(path("game"));
    HeldFile held(path("game/bomb1.wa2"));
    if (!held.held())
        GTEST_SKIP() << "no lock on this system keeps other programs out of a file";
    Ui ui;
    EXPECT_FALSE(vpak::install(path("Ocean"), path("game"), ui));
    held.release();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("bomb1.wa2"), std::string::npos) << ui.messages[0];
    EXPECT_NE(ui.messages[0].find("close the game and try again"), std::string::npos) << ui.messages[0];
    EXPECT_EQ(snapshot(path("game")), game);
}

// A big package, thousands of extra files and sounds of many MiB, is named
// briefly in its question and reports on its way (every file it moves, every
// MiB it checks), so that its window keeps answering.
TEST_F(SumsInstallTest, aBigPackageIsNamedBrieflyAndReportsOnItsWay)
{
#ifdef _WIN32
    constexpr int kExtra = 1000; // each file call is a round trip to Wine's server: 5,000 take 40 s
#else
    constexpr int kExtra = 5000;
#endif
    constexpr int kMiB = 16;
    for (int i = 0; i < kExtra; ++i)
        writeBytes(path("Ocean/extra" + std::to_string(i) + ".txt"), "x");
    writeBytes(path("Ocean/warp.wa2"), plainWave(std::string(kMiB << 20, 'w')));
    std::filesystem::remove(vesk::fsPath(path("Ocean/SHA256SUMS")));
    Ui ui;
    ui.runsBatch = true;
    ASSERT_TRUE(vpak::install(path("Ocean"), path("game"), ui)) << (ui.messages.empty() ? "" : ui.messages[0]);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_NE(ui.questions[0].find(": extra0.txt, extra1.txt, extra10.txt, "), std::string::npos);
    EXPECT_NE(ui.questions[0].find(".txt and " + std::to_string(kExtra - 10) + " more."), std::string::npos)
        << ui.questions[0].substr(0, 300);
    EXPECT_LT(ui.questions[0].size(), 500u);
    EXPECT_GE(ui.reports, kExtra + kMiB);
    EXPECT_EQ(readBytes(path("game/extra" + std::to_string(kExtra - 1) + ".txt")), "x");
    EXPECT_EQ(readBytes(path("game/warp.wa2")).size(), plainWave(std::string(kMiB << 20, 'w')).size());
}

} // namespace
