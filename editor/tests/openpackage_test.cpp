#include "onefile.h"
#include "openpackage.h"
#include "packagemix.h"
#include "packagesums.h"
#include "paths.h"
#include "tempdir.h"

#include <fstream>
#include <functional>

namespace {

using vesk::PackageKind;

// A package folder "Ocean" (slots 1 and 47, theme.cfg, picture, sums), and
// a game directory with the game's bomb; Ocean.exe is made of the folder
// with this test's own program as the installer. Temporary folders go into a folder of
// the test's own, so that what is left there can be seen.
class OpenPackageTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        for (const char *folder : {"tmp", "Ocean", "game"})
            std::filesystem::create_directories(m_dir / folder);
        m_temporary.emplace(path("tmp"));
        writeOceanPackage(path("Ocean"), path("game"));
        writeBytes(path("game/Kestrova.exe"), "MZ game");
        std::vector<vesk::FileSum> sums;
        for (const char *name : kOceanFiles)
            sums.push_back({name, vesk::sha256Of(readBytes(path("Ocean/") + name))});
        writeBytes(path("Ocean/SHA256SUMS"), vesk::sumsText(sums));
    }
    void TearDown() override
    {
        m_temporary.reset();
        TempDirTest::TearDown();
    }

    // Ocean.exe, made of the folder as it is (a large file: the tests that
    // need it make it).
    void makeOneFile()
    {
        auto writer = vesk::OneFileWriter::start(path("Ocean.exe"), vesk::programFile());
        ASSERT_TRUE(writer) << writer.error();
        for (const char *name : kOceanFiles)
            ASSERT_TRUE((*writer)->add(name, path("Ocean/") + name));
        ASSERT_TRUE((*writer)->add("SHA256SUMS", path("Ocean/SHA256SUMS")));
        ASSERT_TRUE((*writer)->finish().ok());
    }

    // What the test's folder holds; a one file by its size alone, as it is
    // large and never written to.
    std::map<std::string, std::string> state() const
    {
        std::map<std::string, std::string> entries;
        for (const auto &entry : std::filesystem::recursive_directory_iterator(m_dir)) {
            const std::string name = entry.path().lexically_relative(m_dir).u8string();
            entries[name] = !entry.is_regular_file()             ? "<entry>"
                            : entry.path().extension() == ".exe" ? std::to_string(entry.file_size())
                                                                 : readBytes(entry.path().u8string());
        }
        return entries;
    }

    vesk::Result<vesk::OpenedPackage> open(const std::string &given)
    {
        const auto place = vesk::packageAt(path(given));
        if (!place)
            return place.status();
        return vesk::OpenedPackage::open(*place, m_unwatched);
    }

    vesk::NoProgress m_unwatched;
    std::optional<TemporaryFolderSwap> m_temporary;
};

// Every way of naming a package opens it, checked, as a project of copies
// named by slot beside it; a one file's unpacked folder goes with it.
TEST_F(OpenPackageTest, everyKindOpensAsAProjectOfCopiesNamedBySlot)
{
    const struct
    {
        std::string given;
        PackageKind kind;
        std::string proposed; // beside the test's folder
        std::string bomb;     // the bytes slot 1 gets
        bool described;
    } cases[] = {
        {"Ocean", PackageKind::Folder, "Ocean sounds", plainWave(std::string(3000, 'b')), true},
        {"Ocean/", PackageKind::Folder, "Ocean sounds", plainWave(std::string(3000, 'b')), true},
        {"Ocean/theme.cfg", PackageKind::Folder, "Ocean sounds", plainWave(std::string(3000, 'b')), true},
        {"Ocean/warp.wa2", PackageKind::Folder, "Ocean sounds", plainWave(std::string(3000, 'b')), true},
        {"Ocean.exe", PackageKind::OneFile, "Ocean sounds", plainWave(std::string(3000, 'b')), true},
        {"game", PackageKind::Game, "Kestrova sounds", "the game's bomb", false},
        {"game/Kestrova.exe", PackageKind::Game, "Kestrova sounds", "the game's bomb", false},
    };
    makeOneFile();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.given);
        const std::string folder = path("copies");
        std::optional<vesk::Project> project;
        {
            const vesk::Result<vesk::OpenedPackage> package = open(c.given);
            ASSERT_TRUE(package) << package.error();
            EXPECT_EQ(package->place().kind, c.kind);
            EXPECT_EQ(vesk::proposedSoundsFolder(*package), path(c.proposed));
            auto copied = vesk::copyOutPackage(*package, folder, m_unwatched);
            ASSERT_TRUE(copied) << copied.error();
            project = std::move(copied).value();
        }
        EXPECT_TRUE(std::filesystem::is_empty(m_dir / "tmp")) << "a one file's unpacked folder goes with it";
        EXPECT_EQ(project->slots[0], vesk::joinPath(folder, "Bombs, Level 1.wav"));
        EXPECT_EQ(readBytes(project->slots[0]), c.bomb);
        EXPECT_EQ(project->slots[46] != vesk::kNoSound, c.described) << "the package's warp";
        EXPECT_EQ(project->slots[1], vesk::kNoSound);
        EXPECT_TRUE(project->links.empty());
        ASSERT_EQ(project->description.has_value(), c.described);
        if (c.described) {
            EXPECT_EQ(project->description->theme.themename, "Ocean");
            EXPECT_EQ(project->description->theme.bgcolor, "White");
            EXPECT_EQ(readBytes(project->description->picture), "\xff\xd8\xff picture");
        }
        std::filesystem::remove_all(m_dir / "copies");
    }
}

// What is refused is named with its reason, in the installer's words for a
// damaged package, and nothing is written anywhere.
TEST_F(OpenPackageTest, noPackageOrADamagedOneIsRefusedWithItsReasonAndNothingWritten)
{
    const struct
    {
        const char *name;
        std::function<void()> damage;
        std::string given, reason;
    } cases[] = {
        {"a sound altered", [this] { writeBytes(path("Ocean/warp.wa2"), plainWave("worp")); }, "Ocean",
         "The theme package is damaged (warp.wa2 "},
        {"a sound missing", [this] { std::filesystem::remove(path("Ocean/warp.wa2")); }, "Ocean/theme.cfg",
         "The theme package is damaged ("},
        {"a sum for a file outside it",
         [this] { writeBytes(path("Ocean/SHA256SUMS"), std::string(64, '0') + "  ../bomb1.wa2\n"); }, "Ocean",
         "The theme package is damaged (SHA256SUMS line 1 names ../bomb1.wa2, which is no file of the package)"},
        {"a program in it", [this] { writeBytes(path("Ocean/help.dll"), "MZ"); }, "Ocean",
         "This package holds program files, which a theme never needs and which could harm your computer: help.dll."
         " It will not be opened."},
        {"a one file cut short",
         [this] {
             makeOneFile();
             std::filesystem::resize_file(path("Ocean.exe"), std::filesystem::file_size(path("Ocean.exe")) - 100);
         },
         "Ocean.exe", "Ocean.exe is damaged (it is cut short). Ask for the package again."},
        {"a one file with a sound altered",
         [this] {
             makeOneFile();
             const auto index = vesk::readOneFileIndex(path("Ocean.exe"));
             ASSERT_TRUE(index && *index);
             std::fstream file(path("Ocean.exe"), std::ios::in | std::ios::out | std::ios::binary);
             file.seekp(static_cast<std::streamoff>((*index)->entries[3].offset + 100));
             file.put('x');
         },
         "Ocean.exe", "Ocean.exe is damaged (bomb1.wa2 does not match its checksum)"},
        {"a folder of neither", [this] { std::filesystem::create_directories(m_dir / "empty"); }, "empty",
         "is no theme package: it holds no theme.cfg and none of Kestrova's sound files"},
        {"a file of neither", [this] { writeBytes(path("notes.txt"), "x"); }, "notes.txt",
         "is no theme package: choose the theme.cfg of a package folder"},
        {"nothing there", [] {}, "gone", "does not exist"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        c.damage();
        const auto before = state();
        const auto package = open(c.given);
        ASSERT_FALSE(package);
        EXPECT_NE(package.error().find(c.reason), std::string::npos) << package.error();
        EXPECT_EQ(state(), before);
        TearDown(); // every case on a sound package
        SetUp();
    }
}

// The copies go in whole or not at all, into a new folder or one that is
// there (whose other files stay), whatever ends the copying.
TEST_F(OpenPackageTest, theCopiesGoInWholeOrNotAtAll)
{
    const auto package = open("Ocean");
    ASSERT_TRUE(package) << package.error();
    struct Cancelling final : vesk::Progress
    {
        int left;
        explicit Cancelling(int steps) : left(steps) {}
        bool advance(const std::string &, double) override { return left-- > 0; }
    };
    for (const bool there : {false, true}) {
        SCOPED_TRACE(there ? "into a folder that is there" : "into a new folder");
        const std::string folder = path("copies");
        std::filesystem::remove_all(vesk::fsPath(folder));
        if (there) {
            std::filesystem::create_directories(vesk::fsPath(folder));
            writeBytes(vesk::joinPath(folder, "Bombs, Level 1.wav"), "older bomb");
            writeBytes(vesk::joinPath(folder, "notes.txt"), "mine");
        }
        const auto before = state();
        Cancelling cancelling(1);
        const auto cancelled = vesk::copyOutPackage(*package, folder, cancelling);
        ASSERT_FALSE(cancelled);
        EXPECT_EQ(cancelled.code(), vesk::ErrorCode::Cancelled);
        EXPECT_EQ(state(), before);

        // A sound gone after the check fails the copy part way.
        const std::string warp = readBytes(path("Ocean/warp.wa2"));
        std::filesystem::remove(path("Ocean/warp.wa2"));
        const auto failed = vesk::copyOutPackage(*package, folder, m_unwatched);
        ASSERT_FALSE(failed);
        EXPECT_NE(failed.error().find("warp.wa2"), std::string::npos) << failed.error();
        writeBytes(path("Ocean/warp.wa2"), warp);
        EXPECT_EQ(state(), before);

        const auto copied = vesk::copyOutPackage(*package, folder, m_unwatched);
        ASSERT_TRUE(copied) << copied.error();
        EXPECT_EQ(vesk::entriesIn(folder),
                  (there ? std::vector<std::string>{"Bombs, Level 1.wav", "Warp, Warp.wav", "bgimage.jpg", "notes.txt"}
                         : std::vector<std::string>{"Bombs, Level 1.wav", "Warp, Warp.wav", "bgimage.jpg"}));
        EXPECT_EQ(readBytes(vesk::joinPath(folder, "Bombs, Level 1.wav")), readBytes(path("Ocean/bomb1.wa2")));
    }
    writeBytes(path("a file"), "x");
    EXPECT_FALSE(vesk::copyOutPackage(*package, path("a file"), m_unwatched));
}

} // namespace

namespace {

// The theme beside packages: the same bytes shown once whichever column
// holds them first, a slot marked where the packages give it different
// sounds (or one leaves the game's), and OK's copies never replacing a file
// the theme may still refer to.
TEST_F(OpenPackageTest, packagesSideBySideShowTheSameBytesOnceAndCopyOnlyTheChoices)
{
    std::filesystem::create_directories(m_dir / "Forest");
    writeBytes(path("Forest/theme.cfg"), "Bo\r\n\r\n\r\n10\r\nBlack\r\nWhite\r\nForest\r\n");
    writeBytes(path("Forest/bomb1.wa2"), plainWave(std::string(3000, 'b'))); // Ocean's bytes
    writeBytes(path("Forest/warp.wa2"), plainWave("wind"));
    writeBytes(path("Forest/gun1.wa2"), plainWave("gun"));
    writeBytes(path("own.wav"), plainWave("warp")); // the theme's warp: Ocean's bytes
    vesk::SlotValues theme;
    theme.fill(vesk::kNoSound);
    theme[46] = path("own.wav");
    vesk::PackageMix mix(theme);
    ASSERT_TRUE(mix.add(path("Ocean"), m_unwatched).ok());
    ASSERT_TRUE(mix.add(path("Forest/theme.cfg"), m_unwatched).ok());
    EXPECT_EQ(mix.add(path("Ocean/theme.cfg"), m_unwatched).error(), "Ocean is added already.");
    ASSERT_EQ(mix.columns(), 3u);
    EXPECT_EQ(mix.title(0), "This Theme");
    EXPECT_EQ(mix.title(2), "Forest");

    const struct
    {
        int slot;
        std::optional<size_t> sameAs[3];
        bool differs;
    } cases[] = {
        {1, {std::nullopt, std::nullopt, 1}, false},           // one bomb in both packages
        {47, {std::nullopt, 0, std::nullopt}, true},           // Ocean's warp is the theme's
        {7, {std::nullopt, std::nullopt, std::nullopt}, true}, // a gun Ocean leaves as the game's
        {2, {std::nullopt, std::nullopt, std::nullopt}, false},
    };
    for (const auto &c : cases) {
        for (size_t column = 0; column < 3; ++column)
            EXPECT_EQ(mix.sameAs(c.slot, column), c.sameAs[column]) << c.slot << " " << column;
        EXPECT_EQ(mix.differs(c.slot), c.differs) << c.slot;
        EXPECT_EQ(vesk::mixRowTitle(mix, c.slot).find("\u2260") != std::string::npos, c.differs);
    }
    EXPECT_EQ(vesk::mixCellText(mix, 1, 2, nullptr, nullptr), "same as Ocean");
    EXPECT_EQ(vesk::mixCellText(mix, 7, 1, nullptr, nullptr), "(the game's own)");

    EXPECT_TRUE(mix.changedSlots().empty());
    mix.use(7, 1); // no sound there: no choice
    mix.useColumn(2);
    mix.use(1, 0);
    EXPECT_EQ(mix.changedSlots(), (std::vector<int>{7, 47}));
    EXPECT_EQ(mix.proposedFolder(), path("Forest sounds"));
    std::filesystem::create_directories(m_dir / "mixed");
    writeBytes(path("mixed/Guns, Level 1.wav"), "a sound the theme had");
    const auto copies = mix.copyChosen(path("mixed"), m_unwatched);
    ASSERT_TRUE(copies) << copies.error();
    const std::vector<std::pair<int, std::string>> expected
        = {{7, vesk::joinPath(path("mixed"), "Guns, Level 1 (2).wav")},
           {47, vesk::joinPath(path("mixed"), "Warp, Warp.wav")}};
    EXPECT_EQ(*copies, expected);
    EXPECT_EQ(readBytes(path("mixed/Guns, Level 1.wav")), "a sound the theme had");
    EXPECT_EQ(readBytes(expected[1].second), plainWave("wind"));

    for (int more = 0; more < 9; ++more) {
        const std::string folder = path("game" + std::to_string(more));
        std::filesystem::create_directories(vesk::fsPath(folder));
        writeBytes(folder + "/bomb1.wa2", "bomb");
        EXPECT_EQ(mix.add(folder, m_unwatched).error(), more < 8 ? "" : "At most 10 packages can be compared at once.");
    }
}

} // namespace
