#pragma once

#include "paths.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include "widepath.h"

#include <windows.h>
#endif

// While it lives, the system's folder for temporary files (TMPDIR, TMP and
// TEMP) is `folder`, for this program and the programs it starts.
class TemporaryFolderSwap
{
public:
    explicit TemporaryFolderSwap(const std::string &folder)
    {
        for (const char *variable : kVariables) {
            const char *value = std::getenv(variable);
            m_saved.emplace_back(value ? std::optional<std::string>(value) : std::nullopt);
            static_cast<void>(vesk::setEnvironmentVariable(variable, folder));
        }
    }
    ~TemporaryFolderSwap()
    {
        for (size_t k = 0; k < m_saved.size(); ++k) {
            static_cast<void>(m_saved[k] ? vesk::setEnvironmentVariable(kVariables[k], *m_saved[k])
                                         : vesk::clearEnvironmentVariable(kVariables[k]));
        }
    }
    TemporaryFolderSwap(const TemporaryFolderSwap &) = delete;
    TemporaryFolderSwap &operator=(const TemporaryFolderSwap &) = delete;

private:
    static constexpr const char *kVariables[] = {"TMPDIR", "TMP", "TEMP"};
    std::vector<std::optional<std::string>> m_saved;
};

// A fresh directory for each test, removed afterwards, with the few file
// helpers every logic test needs.
class TempDirTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::filesystem::temp_directory_path()
                / (std::string("vesk-") + info->test_suite_name() + "-" + info->name());
        removeAll();
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { removeAll(); }

    // Names are bytes, UTF-8 on Windows as in the programs.
    std::string path(const std::string &name) const
    {
#ifdef _WIN32
        return (m_dir / std::filesystem::u8path(name)).string();
#else
        return (m_dir / name).string();
#endif
    }
    std::string dir() const
    {
        return m_dir.string();
    }

    // By UTF-8 names, opened through the wide calls on Windows, of any length.
    static void writeBytes(const std::string &file, const std::string &bytes)
    {
        std::ofstream(vesk::fsPath(file), std::ios::binary) << bytes;
    }
    // A time of last writing of its own, `seconds` after an old one: two
    // writings within one tick of the file system's clock can get the same.
    static void setModified(const std::string &file, int seconds)
    {
        std::filesystem::last_write_time(vesk::fsPath(file), std::filesystem::file_time_type::clock::now()
                                                                 - std::chrono::hours(48)
                                                                 + std::chrono::seconds(seconds));
    }
    static std::string readBytes(const std::string &file)
    {
        std::ifstream in(vesk::fsPath(file), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // A wave the game plays as it is (8-bit PCM mono, 11,025 Hz) whose
    // samples are `samples`, so that its bytes say which it is.
    static std::string plainWave(const std::string &samples)
    {
        return wave(1, 1, 11025, 8, samples);
    }

    // The files of a small theme package, "Ocean", in `folder` (which must
    // be there): theme.cfg, a picture, an installer, a bomb and a warp; and
    // the game's own bomb in `game`.
    static constexpr const char *kOceanFiles[] = {"theme.cfg", "bgimage.jpg", "install.exe", "bomb1.wa2", "warp.wa2"};
    static void writeOceanPackage(const std::string &folder, const std::string &game)
    {
        writeBytes(folder + "/theme.cfg", "Ann\r\nann@example.org\r\nhttp://\r\n10\r\nBlack\r\nWhite\r\nOcean\r\n");
        writeBytes(folder + "/bgimage.jpg", "\xff\xd8\xff picture");
        writeBytes(folder + "/install.exe", "MZ installer");
        writeBytes(folder + "/bomb1.wa2", plainWave(std::string(3000, 'b')));
        writeBytes(folder + "/warp.wa2", plainWave("warp"));
        writeBytes(game + "/bomb1.wa2", "the game's bomb");
    }

    // A wave of any header, with `samples` as its data chunk (padded to an
    // even length, as RIFF wants).
    static std::string wave(unsigned tag, unsigned channels, unsigned rate, unsigned bits, const std::string &samples)
    {
        const auto le = [](std::uint64_t v, int bytes) {
            std::string out;
            for (int i = 0; i < bytes; ++i)
                out += static_cast<char>(v >> (8 * i) & 0xFF);
            return out;
        };
        const std::uint64_t block = std::uint64_t{channels} * bits / 8;
        const std::string body = "WAVEfmt " + le(16, 4) + le(tag, 2) + le(channels, 2) + le(rate, 4)
                                 + le(rate * block, 4) + le(block, 2) + le(bits, 2) + "data" + le(samples.size(), 4)
                                 + samples + (samples.size() % 2 ? std::string(1, '\0') : std::string());
        return "RIFF" + le(body.size(), 4) + body;
    }

    // Every entry below a folder, hidden ones included, with the bytes of
    // each file: two snapshots are equal when nothing changed there.
    static std::map<std::string, std::string> snapshot(const std::string &folder)
    {
        namespace fs = std::filesystem;
#ifdef _WIN32
        const fs::path root = fs::u8path(folder);
#else
        const fs::path root(folder);
#endif
        std::map<std::string, std::string> entries;
        for (const auto &entry : fs::recursive_directory_iterator(root)) {
            const std::string name = entry.path().lexically_relative(root).u8string();
            entries[name] = entry.is_symlink()        ? "<link>"
                            : entry.is_regular_file() ? readBytes(entry.path().u8string())
                            : entry.is_directory()    ? "<folder>"
                                                      : "<other>";
        }
        return entries;
    }

    std::filesystem::path m_dir;

private:
    // A test may have locked a folder; unlock it so that it can go.
#ifdef _WIN32
    // By the system's wide calls: the standard library's listing lists
    // another folder for a path past 260 characters, so that remove_all
    // left such trees behind for the next run.
    static void removeTree(const std::wstring &folder)
    {
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName, entry = folder + L"\\" + name;
                if (name == L"." || name == L"..")
                    continue;
                SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW(entry.c_str());
                else if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                    RemoveDirectoryW(entry.c_str()); // the link, not what it points at
                else
                    removeTree(entry);
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
    void removeAll()
    {
        removeTree(L"\\\\?\\" + vesk::fullWidePath(m_dir.wstring()));
    }
#else
    void removeAll()
    {
        namespace fs = std::filesystem;
        std::error_code ec;
        if (fs::exists(m_dir, ec)) {
            fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ec);
            for (auto it = fs::recursive_directory_iterator(m_dir, ec); !ec && it != fs::recursive_directory_iterator();
                 it.increment(ec)) {
                if (it->is_directory(ec))
                    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
            }
        }
        fs::remove_all(m_dir, ec);
    }
#endif
};
