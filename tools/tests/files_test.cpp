#include "fileops.h"
#include "files.h"
#include "paths.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "posixhelpers.h"

namespace fs = std::filesystem;

namespace {

class FilesTest : public TempDirTest
{};

std::string bytesOf(const std::string &path)
{
    return vesk::readFile(path, vesk::kProjectFileLimit, vesk::Overflow::Refuse).value();
}

} // namespace

TEST_F(FilesTest, writesEveryLineWithCrLfAndBytesUnchanged)
{
    const std::string file = path("out.txt");
    ASSERT_TRUE(vesk::writeTextFile(file, {"none", "", " 2 ", "caf\xe9"}).ok());
    EXPECT_EQ(bytesOf(file), "none\r\n\r\n 2 \r\ncaf\xe9\r\n");
}

TEST_F(FilesTest, truncatesALongerOldFile)
{
    const std::string file = path("out.txt");
    std::ofstream(file) << std::string(1000, 'x');
    ASSERT_TRUE(vesk::writeTextFile(file, {"a"}).ok());
    EXPECT_EQ(bytesOf(file), "a\r\n");
}

TEST_F(FilesTest, failureNamesTheFileAndTheReason)
{
    const std::string file = path("missing-dir") + "/out.txt";
    const vesk::Status status = vesk::writeTextFile(file, {"a"});
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().find(file), std::string::npos);
    EXPECT_NE(status.error().find("no such file or directory"), std::string::npos) << status.error();
}

TEST_F(FilesTest, atomicWriteReplacesTheFileWholly)
{
    const std::string file = path("project.vsk");
    std::ofstream(file) << "old";
    ASSERT_TRUE(vesk::writeTextFileAtomically(file, {"new"}).ok());
    EXPECT_EQ(bytesOf(file), "new\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1) << "no temporary left";
}

TEST_F(FilesTest, failedAtomicWriteLeavesTheOldFileIntact)
{
#ifdef _WIN32
    GTEST_SKIP() << "folders on Windows have no write bit";
#else
    if (vesk::posix::runningAsRoot())
        GTEST_SKIP() << "root writes into read-only directories";
#endif
    const std::string file = path("project.vsk");
    std::ofstream(file) << "old bytes";
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    const vesk::Status status = vesk::writeTextFileAtomically(file, {"new"});
    fs::permissions(m_dir, fs::perms::owner_all);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().find("permission denied"), std::string::npos) << status.error();
    EXPECT_EQ(bytesOf(file), "old bytes");
}

#ifndef _WIN32
using vesk::posix::inChild;

TEST_F(FilesTest, atomicWriteThatCannotCompleteKeepsTheOldFileAndLeavesNoTemporary)
{
    // A file-size limit makes the write fail halfway, for every user.
    const std::string file = path("project.vsk");
    std::ofstream(file) << "old bytes";
    const int code = inChild([&] {
        vesk::posix::limitFileSize(16);
        const vesk::Status status = vesk::writeTextFileAtomically(file, {std::string(100, 'x')});
        return status.ok() ? 0 : status.code() == vesk::ErrorCode::TooLarge ? 1 : 2;
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(bytesOf(file), "old bytes");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(FilesTest, atomicWriteHasNoSideEffectsOfItsOwn)
{
    // A file of the user's that looks like a staging file is left alone.
    const std::string file = path("theme.vsk");
    std::ofstream(file + ".saving") << "mine";
    ASSERT_TRUE(vesk::writeTextFileAtomically(file, {"new"}).ok());
    EXPECT_EQ(bytesOf(file + ".saving"), "mine");

    // Permission bits stay.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(vesk::writeTextFileAtomically(file, {"again"}).ok());
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A link stays a link, and its target gets the bytes.
    fs::create_directory(path("real"));
    fs::create_symlink("real/target.vsk", path("link.vsk"));
    ASSERT_TRUE(vesk::writeTextFileAtomically(path("link.vsk"), {"through"}).ok());
    EXPECT_TRUE(fs::is_symlink(path("link.vsk")));
    EXPECT_EQ(bytesOf(path("real/target.vsk")), "through\r\n");
}

TEST_F(FilesTest, readOnlyFileIsNotReplacedForAnOrdinaryUser)
{
    const std::string file = path("locked.vsk");
    std::ofstream(file) << "old";
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(m_dir, fs::perms::all); // the folder itself stays writable
    const int code = inChild([&] {
        if (vesk::posix::runningAsRoot() && !vesk::posix::becomeNobody())
            return 3;
        const vesk::Status status = vesk::writeTextFileAtomically(file, {"new"});
        return status.code() == vesk::ErrorCode::Permission
                       && status.error().find("permission denied") != std::string::npos
                   ? 1
                   : 2;
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(bytesOf(file), "old");
}
#endif

TEST_F(FilesTest, readingIsBoundedAndTakesOnlyRegularFiles)
{
    const std::string file = path("big.cfg");
    std::ofstream(file) << std::string(100, 'a');
    EXPECT_EQ(vesk::readFile(file, 10, vesk::Overflow::Cut).value(), std::string(10, 'a'));
    EXPECT_EQ(vesk::readFile(file, 10, vesk::Overflow::Refuse).code(), vesk::ErrorCode::TooLarge);
    EXPECT_EQ(vesk::readFile(file, 100, vesk::Overflow::Refuse).value().size(), 100u);
#ifndef _WIN32
    ASSERT_TRUE(vesk::posix::makeFifo(path("fifo")));
    EXPECT_EQ(vesk::readFile(path("fifo"), 10, vesk::Overflow::Cut).code(), vesk::ErrorCode::NotAFile);
    fs::create_symlink("/dev/zero", path("zero"));
    EXPECT_EQ(vesk::readFile(path("zero"), 10, vesk::Overflow::Cut).code(), vesk::ErrorCode::NotAFile);
#endif
}

TEST_F(FilesTest, readingADirectoryIsAFailureWithAReason)
{
    const auto read = vesk::readFile(m_dir.string(), 100, vesk::Overflow::Refuse);
    EXPECT_EQ(read.code(), vesk::ErrorCode::NotAFile);
    EXPECT_NE(read.error().find(m_dir.string()), std::string::npos);
}

TEST(Paths, joinPathAddsOneSeparatorEvenAfterARoot)
{
    const std::string sep(1, vesk::kSeparator);
    EXPECT_EQ(vesk::joinPath("game", "bomb1.wa2"), "game" + sep + "bomb1.wa2");
    EXPECT_EQ(vesk::joinPath(sep, "theme.cfg"), sep + sep + "theme.cfg");
    // As a message names it: as the player writes it.
    EXPECT_EQ(vesk::shownPath(sep, "theme.cfg"), sep + "theme.cfg");
    EXPECT_EQ(vesk::shownPath("game", "bomb1.wa2"), "game" + sep + "bomb1.wa2");
}

TEST(Paths, programDirectoryIsTheExecutablesFolderNotTheWorkingDirectory)
{
    const fs::path before = fs::current_path();
    fs::current_path(fs::temp_directory_path());
    const std::string dir = vesk::programDirectory();
    fs::current_path(before);
#ifdef _WIN32
    EXPECT_TRUE(fs::exists(fs::path(dir) / "tools_tests.exe")) << dir;
#else
    EXPECT_TRUE(fs::exists(fs::path(dir) / "tools_tests")) << dir;
#endif
}

// A path longer than the system takes (4,096 bytes on Linux) is refused
// with the reason, and the message names it whole rather than cut.
TEST_F(FilesTest, aPathLongerThanTheSystemTakesIsRefusedNamedWhole)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows names its own limit; its long paths are driven through the programs";
#else
    std::string file = path("");
    while (file.size() <= 4200)
        file += std::string(200, 'd') + "/";
    file += "theme.vsk";
    const vesk::Result<std::string> read = vesk::readFile(file, vesk::kProjectFileLimit, vesk::Overflow::Refuse);
    const std::string messages[] = {
        vesk::writeFile(file, "bytes").error(),
        vesk::writeTextFileAtomically(file, {"none"}).error(),
        read.error(),
    };
    for (const std::string &message : messages) {
        EXPECT_NE(message.find(file), std::string::npos) << message.substr(0, 80);
        EXPECT_NE(message.find(vesk::reasonFromErrno(ENAMETOOLONG)), std::string::npos)
            << message.substr(message.size() > 120 ? message.size() - 120 : 0);
    }
#endif
}

// A path over Windows' old limit of 260 characters is no special case for
// any file function (on Windows the plain narrow calls stop at it).
TEST_F(FilesTest, aPathOverTwoHundredSixtyCharactersWorksLikeAnyOther)
{
    std::string folder = path("");
    while (folder.size() <= 300)
        folder = vesk::joinPath(folder, std::string(60, 'f'));
    std::error_code ec;
    vesk::makeDirectories(folder, ec);
    ASSERT_FALSE(ec) << ec.message();
    const std::string file = vesk::joinPath(folder, "bomb1.wav"), copy = vesk::joinPath(folder, "bomb2.wav"),
                      link = vesk::joinPath(folder, "bomb3.wav");

    ASSERT_TRUE(vesk::writeFile(file, "bytes").ok());
    EXPECT_EQ(bytesOf(file), "bytes");
    EXPECT_EQ(vesk::entryKind(file), vesk::EntryKind::File);
    EXPECT_EQ(vesk::entryKind(folder), vesk::EntryKind::Folder);
    EXPECT_FALSE(vesk::copyToNewFile(file, copy));
    EXPECT_TRUE(vesk::copyFileReplacing(file, copy, ec)) << ec.message();
    EXPECT_FALSE(vesk::linkFile(file, link));
    EXPECT_EQ(bytesOf(link), "bytes");
    EXPECT_TRUE(vesk::sameFile(file, link, ec));
    EXPECT_FALSE(vesk::sameFile(file, copy, ec));
    EXPECT_FALSE(vesk::probeReplaceable(file));
    EXPECT_TRUE(vesk::probeWritable(folder).ok());
    ASSERT_TRUE(vesk::writeTextFileAtomically(file, {"none"}).ok());
    EXPECT_EQ(bytesOf(file), "none\r\n");
    std::FILE *opened = vesk::openFile(copy, "rb");
    EXPECT_NE(opened, nullptr);
    if (opened)
        std::fclose(opened);

    std::set<std::string> names;
    for (const vesk::DirectoryEntry &entry : vesk::listDirectory(folder, ec))
        names.insert(entry.name + (entry.kind == vesk::EntryKind::File ? "" : "?"));
    EXPECT_EQ(names, (std::set<std::string>{"bomb1.wav", "bomb2.wav", "bomb3.wav"}));
    EXPECT_EQ(vesk::fileStatus(copy, ec).size, 5u);
    vesk::renameEntry(copy, file, ec);
    EXPECT_FALSE(ec) << ec.message();
    EXPECT_EQ(bytesOf(file), "bytes");
    EXPECT_TRUE(vesk::removeEntry(link, ec));
    EXPECT_FALSE(vesk::removeEntry(link, ec));
    EXPECT_TRUE(vesk::isFolder(folder));
    vesk::removeTree(vesk::joinPath(path(""), std::string(60, 'f')), ec);
    EXPECT_FALSE(ec) << ec.message();
    EXPECT_EQ(vesk::entryKind(folder), vesk::EntryKind::Missing);
}
