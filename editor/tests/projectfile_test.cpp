#include "fieldreader.h"
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
    EXPECT_NE(bytes.find("http://a.example.org\r\n\"\r\n[sound edits]\r\n"
                         "slot=1 start=120 end=1320.5 fade-in=0 fade-out=20 gain=-6.3 matched length=603000\r\n"
                         "slot=3 start=0 fade-in=0.001 fade-out=0 gain=24 length=0\r\n\"\r\n"),
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

// A reader of the slots and links alone (a count of 0 or less reads pairs
// to the end, a pair cut off by the end is dropped) finds exactly the
// project's slots and links, whatever follows them, for every link count.
TEST_F(ProjectFileTest, theSectionsAfterTheLinksAreInvisibleToAReaderOfTheLinksAlone)
{
    const auto readAsLinksAlone = [](const std::string &text, Project &read) {
        // Fields as that reader takes them: blanks skipped; a quoted field
        // runs to the next quote, over line ends too, and on to the next
        // comma or line end; any other to the next comma or line end.
        std::size_t at = 0;
        const auto field = [&]() -> std::optional<std::string> {
            while (at < text.size() && text[at] == ' ')
                ++at;
            if (at >= text.size())
                return std::nullopt;
            std::string value;
            if (text[at] == '"') {
                const std::size_t close = text.find('"', at + 1);
                value = text.substr(at + 1, close == std::string::npos ? std::string::npos : close - at - 1);
                at = close == std::string::npos ? text.size() : close + 1;
            }
            const std::size_t end = std::min(text.find(',', at), text.find("\r\n", at));
            if (value.empty())
                value = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
            at = end == std::string::npos ? text.size() : end + (text[end] == ',' ? 1 : 2);
            return value;
        };
        for (std::string &slot : read.slots)
            slot = field().value_or("");
        const long long count = vesk::parseWholeNumber(field().value_or("")).value_or(0);
        for (long long j = 0; j < count || count <= 0; ++j) {
            std::optional<std::string> name = field(), address = name ? field() : std::nullopt;
            if (!address)
                break;
            read.links.push_back({*name, *address});
        }
    };
    for (std::size_t links = 0; links <= 2; ++links) {
        Project project;
        project.slots[0] = "/s/song.mp3";
        project.slots[1] = "/s/boom.wav";
        for (std::size_t j = 0; j < links; ++j)
            project.links.push_back({"Site " + std::to_string(j), "http://site" + std::to_string(j) + ".example.org"});
        project.edits[0] = {120000, 1320500, 0, 20000, -6.3, true, 603000000};
        project.edits[1] = {0, std::nullopt, 1, 0, 24, false, 0};
        project.description.emplace();
        project.description->theme.themename = "The \"Best\", ever";
        if (links == 1)
            project.edits = {}; // the description alone after the links
        ASSERT_TRUE(vesk::saveProject(path("p.vsk"), project).ok());
        Project read;
        readAsLinksAlone(readBytes(path("p.vsk")), read);
        EXPECT_EQ(read.slots, project.slots) << links;
        EXPECT_EQ(read.links, project.links) << links;
        const auto loaded = vesk::loadProject(path("p.vsk"));
        ASSERT_TRUE(loaded.ok()) << loaded.error();
        EXPECT_EQ(loaded->edits, project.edits) << links;
        EXPECT_EQ(loaded->links, project.links) << links;
        EXPECT_EQ(loaded->description, project.description) << links;
    }
}

TEST_F(ProjectFileTest, thePackageDescriptionReadsBackExactlyAndOnlyAProjectWithOneWritesIt)
{
    Project project;
    project.slots[0] = "/s/a.wav";
    project.edits[0].gain = 3;
    std::vector<std::string> without;
    ASSERT_TRUE(vesk::projectFileLines(project, without).ok());

    vesk::PackageDescription &description = project.description.emplace();
    description.theme
        = {"Ann, Lee", "a@example.org", " http://x.example.org", "12", "Blue", "Black", "100% \"Ocean\"\r\nWaves"};
    description.picture = "/p/ocean=1.jpg";
    description.folder = "C:\\Themes\\Ocean";
    std::vector<std::string> with;
    ASSERT_TRUE(vesk::projectFileLines(project, with).ok());
    // The description stands inside the sections' quotes, after the edits.
    ASSERT_EQ(with.size(), without.size() + 10);
    EXPECT_TRUE(std::equal(without.begin(), without.end() - 1, with.begin()));
    EXPECT_EQ(with[without.size() - 1], "[package]");
    EXPECT_EQ(with[without.size() + 6], "themename=100%25 %22Ocean%22%0D%0AWaves");
    EXPECT_EQ(with.back(), "\"");

    ASSERT_TRUE(vesk::saveProject(path("d.vsk"), project).ok());
    std::vector<std::string> notes;
    const auto loaded = vesk::loadProject(path("d.vsk"), &notes);
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    EXPECT_EQ(loaded->description, project.description);
    EXPECT_EQ(loaded->edits, project.edits);
    EXPECT_TRUE(notes.empty());
}

TEST_F(ProjectFileTest, aDamagedPackageLineIsToldByItsLineAndTheRestLoads)
{
    const std::string head = "/s/a.wav\r\n" + repeatLine("none", 46) + " 0 \r\n\"\r\n[package]\r\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"colour=Blue", "line 52: the package line \"colour=Blue\" cannot be read (\"colour\" is no value"},
        {"themename", "line 52: the package line \"themename\" cannot be read (it has no \"=\")"},
        {"themename=50%", "it holds a % that stands for nothing"},
        {"themename=%41", "it holds a % that stands for nothing"},
        {"email=b@example.org", "line 52: the package's email is given twice; the second was left out."},
    };
    for (const auto &[line, note] : cases) {
        writeBytes(path("d.vsk"), head + "email=a@example.org\r\n" + line + "\r\nfont=12\r\n\"\r\n");
        std::vector<std::string> notes;
        const auto loaded = vesk::loadProject(path("d.vsk"), &notes);
        ASSERT_TRUE(loaded.ok() && loaded->description) << line;
        EXPECT_EQ(loaded->description->theme.email, "a@example.org") << line;
        EXPECT_EQ(loaded->description->theme.font, "12") << "the lines after a damaged one load: " << line;
        EXPECT_EQ(loaded->description->theme.themename, "") << line;
        ASSERT_EQ(notes.size(), 1u) << line;
        EXPECT_NE(notes[0].find(note), std::string::npos) << notes[0];
    }
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
