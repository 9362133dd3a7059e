#include "files.h"
#include "projectfile.h"
#include "tempdir.h"

#include <algorithm>

using vesk::Project;

namespace {

using ProjectFileTest = TempDirTest;

std::string repeatLine(const std::string &line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line + "\r\n";
    return text;
}

size_t lineCount(const std::string &bytes)
{
    return static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

} // namespace

// Writing
TEST_F(ProjectFileTest, freshProjectIs47NonesAndAZeroCount)
{
    ASSERT_TRUE(vesk::saveProject(path("fresh.vsk"), Project()).ok());
    EXPECT_EQ(readBytes(path("fresh.vsk")), repeatLine("none", 47) + " 0 \r\n");
}

TEST_F(ProjectFileTest, threeLinksGiveFiftyFourLinesAndReadBackExactly)
{
    Project project;
    project.slots[0] = "/sounds/bomb.wav";
    project.slots[46] = "";
    project.links = {{"Home", "http://a.example.org"}, {"", "http://"}, {"Forum", ""}};
    ASSERT_TRUE(vesk::saveProject(path("three.vsk"), project).ok());
    const std::string bytes = readBytes(path("three.vsk"));
    EXPECT_EQ(lineCount(bytes), 54u);
    EXPECT_NE(bytes.find("\r\n 3 \r\nHome\r\nhttp://a.example.org\r\n"), std::string::npos);

    Project read;
    read.links = {{"stale", "stale"}};
    auto loaded = vesk::loadProject(path("three.vsk"));
    ASSERT_TRUE(loaded.ok());
    read = loaded.value();
    EXPECT_EQ(read.slots, project.slots);
    EXPECT_EQ(read.links, project.links) << "Open replaces the links, it does not append";
}

TEST_F(ProjectFileTest, commaAndLeadingBlankValuesAreQuotedAndRoundTrip)
{
    Project project;
    project.slots[4] = "/sounds/boom, loud.wav";
    project.links = {{" Smith, J", "http://x.example.org/?a=1,2"}};
    ASSERT_TRUE(vesk::saveProject(path("comma.vsk"), project).ok());
    const std::string bytes = readBytes(path("comma.vsk"));
    EXPECT_NE(bytes.find("\r\n\"/sounds/boom, loud.wav\"\r\n"), std::string::npos);

    Project read;
    auto loaded = vesk::loadProject(path("comma.vsk"));
    ASSERT_TRUE(loaded.ok());
    read = loaded.value();
    EXPECT_EQ(read.slots, project.slots);
    EXPECT_EQ(read.links, project.links);
}

TEST_F(ProjectFileTest, uncarriableValueIsRefusedAndNothingIsWritten)
{
    writeBytes(path("keep.vsk"), "old");
    Project project;
    project.links = {{"\"Best\" sounds, ever", "http://"}};
    const vesk::Status status = vesk::saveProject(path("keep.vsk"), project);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().find("\"Best\" sounds, ever"), std::string::npos) << status.error();
    EXPECT_EQ(readBytes(path("keep.vsk")), "old");
}

TEST_F(ProjectFileTest, failedSaveLeavesTheOldFileByteForByte)
{
    // The folder is gone between choosing the name and saving.
    EXPECT_EQ(vesk::saveProject(path("gone/keep.vsk"), Project()).code(), vesk::ErrorCode::NotFound);
    writeBytes(path("keep.vsk"), "old project bytes");
    Project unstorable;
    unstorable.slots[0] = "line\nbreak";
    EXPECT_FALSE(vesk::saveProject(path("keep.vsk"), unstorable).ok());
    EXPECT_EQ(readBytes(path("keep.vsk")), "old project bytes");
}

// Reading what older editors wrote
TEST_F(ProjectFileTest, handWrittenFileWithoutQuotesLoads)
{
    std::string text = "C:\\Sounds\\bomb.wav\r\n" + repeatLine("none", 46) + " 1 \r\nHome\r\nhttp://example.org\r\n";
    writeBytes(path("old.vsk"), text);
    Project read;
    auto loaded = vesk::loadProject(path("old.vsk"));
    ASSERT_TRUE(loaded.ok());
    read = loaded.value();
    EXPECT_EQ(read.slots[0], "C:\\Sounds\\bomb.wav");
    EXPECT_EQ(read.links, (std::vector<vesk::Link>{{"Home", "http://example.org"}}));
}

TEST_F(ProjectFileTest, zeroOrNegativeCountMeansNoLinks)
{
    for (const char *count : {" 0 ", "-1"}) {
        writeBytes(path("p.vsk"), repeatLine("none", 47) + count + "\r\nextra\r\nlines\r\n");
        Project read;
        read.links = {{"stale", "stale"}};
        auto loaded = vesk::loadProject(path("p.vsk"));
        ASSERT_TRUE(loaded.ok()) << count;
        read = loaded.value();
        EXPECT_TRUE(read.links.empty()) << count;
    }
}

// Refusals leave the target untouched
TEST_F(ProjectFileTest, incompleteFilesAreRefusedWithTheReason)
{
    struct Case
    {
        std::string bytes;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {repeatLine("none", 10), "10 of the 47 sound slots"},
        {repeatLine("none", 47), "ends before the number of links"},
        {repeatLine("none", 47) + "abc\r\n", "\"abc\", is not a whole number"},
        {repeatLine("none", 47) + " 2 \r\nname\r\nhttp://\r\nlone name\r\n", "1 of the 2 links"},
        {"", "0 of the 47"},
    };
    for (const Case &c : cases) {
        writeBytes(path("bad.vsk"), c.bytes);
        Project read;
        read.slots[0] = "untouched";
        const auto status = vesk::loadProject(path("bad.vsk"));
        ASSERT_FALSE(status.ok()) << c.reason;
        EXPECT_NE(status.error().find(c.reason), std::string::npos) << status.error();
        EXPECT_NE(status.error().find(path("bad.vsk")), std::string::npos) << status.error();
        EXPECT_EQ(read.slots[0], "untouched");
    }
}

TEST_F(ProjectFileTest, binaryGarbageIsRefused)
{
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 131 + 7) % 256);
    writeBytes(path("garbage.vsk"), garbage);
    Project read;
    EXPECT_FALSE(vesk::loadProject(path("garbage.vsk")).ok());
}

TEST_F(ProjectFileTest, missingFileOrDirectoryIsRefusedWithTheReason)
{
    Project read;
    const auto status = vesk::loadProject(path("absent.vsk"));
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().find("no such file"), std::string::npos) << status.error();
    EXPECT_EQ(vesk::loadProject(dir()).code(), vesk::ErrorCode::NotAFile);
}

TEST_F(ProjectFileTest, onlyRegularFilesUpTo64MiBAreOpened)
{
    // Sparse, so the test writes next to nothing.
    writeBytes(path("huge.vsk"), "none");
    std::filesystem::resize_file(path("huge.vsk"), vesk::kProjectFileLimit + 1);
    const auto huge = vesk::loadProject(path("huge.vsk"));
    EXPECT_EQ(huge.code(), vesk::ErrorCode::TooLarge);
    EXPECT_NE(huge.error().find(path("huge.vsk")), std::string::npos) << huge.error();
#ifndef _WIN32
    std::filesystem::create_symlink("/dev/zero", path("zero.vsk"));
    EXPECT_EQ(vesk::loadProject(path("zero.vsk")).code(), vesk::ErrorCode::NotAFile);
#endif
}

// Sound edits
TEST_F(ProjectFileTest, soundEditsFollowTheLinksAndReadBackExactly)
{
    Project project;
    project.slots[0] = "/s/song.mp3";
    project.slots[2] = "/s/boom.wav";
    project.links = {{"Home", "http://a.example.org"}};
    project.edits[0] = {120000, 1320500, 0, 20000, -6.3, true, 603000000};
    project.edits[2] = {0, std::nullopt, 1, 0, 24, false, 0};
    ASSERT_TRUE(vesk::saveProject(path("e.vsk"), project).ok());
    const std::string bytes = readBytes(path("e.vsk"));
    EXPECT_NE(bytes.find("http://a.example.org\r\n[sound edits]\r\n"
                         "slot=1 start=120 end=1320.5 fade-in=0 fade-out=20 gain=-6.3 matched length=603000\r\n"
                         "slot=3 start=0 fade-in=0.001 fade-out=0 gain=24 length=0\r\n"),
              std::string::npos)
        << bytes;
    std::vector<std::string> notes;
    const auto loaded = vesk::loadProject(path("e.vsk"), &notes);
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    EXPECT_EQ(loaded->edits, project.edits);
    EXPECT_TRUE(notes.empty());

    // A reader of the links alone stops before the edits: what it reads is
    // what a project without edits holds, and that is written as ever.
    Project plain = project;
    plain.edits = {};
    std::vector<std::string> lines;
    ASSERT_TRUE(vesk::projectFileLines(plain, lines).ok());
    EXPECT_EQ(lines.back(), "http://a.example.org");
}

TEST_F(ProjectFileTest, aDamagedEditLineIsToldByItsLineAndTheRestLoads)
{
    const std::string head = "/s/a.wav\r\n/s/b.wav\r\n" + repeatLine("none", 45) + " 0 \r\n[sound edits]\r\n";
    struct Case
    {
        std::string line;
        std::string note; // empty: it loads
    };
    const std::vector<Case> cases = {
        {"slot=2 start=5 gain=1.5", ""},
        {"slot=2 start=-5", "line 50: the sound edit \"slot=2 start=-5\" cannot be read (the start -5 is not a time"},
        {"slot=2 start=1.2345", "is not a time in milliseconds"},
        {"slot=2 gain=25", "is not a number of dB from -24 to 24"},
        {"slot=2 gain=1e400", "is not a number of dB"},
        {"slot=48 gain=1", "there is no slot 48"},
        {"start=3", "it names no slot"},
        {"slot=2 start=100 end=105", "its end is not 10 ms after its start"},
        {"slot=2 volume=3", "\"volume\" is no part of an edit"},
        {"slot=2 gain=1 gain=2", "gives \"gain\" twice"},
        {"slot=2 matched=1", "\"matched\" takes no value"},
        {"slot=5 gain=2", "line 50: slot 5 (Mines, Level 2) holds no sound, so its edit was left out."},
    };
    for (const Case &c : cases) {
        writeBytes(path("d.vsk"), head + c.line + "\r\nslot=1 gain=-2\r\n");
        std::vector<std::string> notes;
        const auto loaded = vesk::loadProject(path("d.vsk"), &notes);
        ASSERT_TRUE(loaded.ok()) << c.line;
        EXPECT_EQ(loaded->edits[0].gain, -2) << "the lines after a damaged one load: " << c.line;
        if (c.note.empty()) {
            EXPECT_TRUE(notes.empty()) << c.line;
            continue;
        }
        ASSERT_EQ(notes.size(), 1u) << c.line;
        EXPECT_NE(notes[0].find(c.note), std::string::npos) << notes[0];
        EXPECT_TRUE(loaded->edits[1].empty()) << c.line;
    }
}
