#pragma once

#include "progress.h"
#include "sha256.h"
#include "status.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// A one-file package is the installer program with a theme package appended:
// after the program's own bytes come the package's files one after another
// (the payload), then the index, then a trailer of fixed size that ends the
// file. Numbers are little-endian.
//   index:   file count (u64), then per file its name length (u16), the name,
//            its size (u64) and its SHA-256 (32 bytes), in payload order
//   trailer: format version (u32), 0 (u32), payload offset, index offset and
//            index length (u64 each), the SHA-256 of the index, "VPAKLOAD"
// The installer finds its payload from the trailer; a program without one
// is a plain installer.
inline constexpr std::size_t kTrailerSize = 72;
inline constexpr std::uint32_t kOneFileVersion = 1;
inline constexpr std::string_view kTrailerTag = "VPAKLOAD";
// A theme has 47 sounds and four files of its own; an index beyond these
// bounds is no index the editor wrote.
inline constexpr std::uint64_t kMaxOneFileEntries = 64;
inline constexpr std::uint64_t kMaxIndexSize = 64 * 1024;

struct OneFileEntry
{
    std::string name;
    std::uint64_t offset = 0; // from the start of the file
    std::uint64_t size = 0;
    Sha256Digest digest{};
};

struct OneFileIndex
{
    std::uint64_t payloadOffset = 0;
    std::vector<OneFileEntry> entries;
};

// Where the reader gets its bytes: a file, or memory for the fuzzer.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Exactly `length` bytes from `offset`, or false.
    virtual bool read(std::uint64_t offset, char *into, std::size_t length) = 0;
};

class MemorySource final : public ByteSource
{
public:
    explicit MemorySource(std::string_view bytes) : m_bytes(bytes) {}
    std::uint64_t size() const override { return m_bytes.size(); }
    bool read(std::uint64_t offset, char *into, std::size_t length) override;

private:
    std::string_view m_bytes;
};

// The index's bytes, and the trailer for an index at `indexOffset`, as the
// writer writes them (and the tests take them apart).
std::string encodeIndex(const std::vector<OneFileEntry> &entries);
std::string encodeTrailer(std::uint64_t payloadOffset, std::uint64_t indexOffset, std::string_view index);

// Where a Windows or Linux program's own bytes end, read from its headers;
// nothing for bytes of another kind.
std::optional<std::uint64_t> programEnd(ByteSource &source);

// The index of a one-file package, checked through: the trailer and the
// index's checksum; every entry a plain name of a theme file (no other
// program than install.exe, no 1.bat), none twice in any letter case; the
// sizes running from the payload's start exactly to the index. Nothing for
// a plain program. A file whose trailer is gone but that runs on past its
// program's end (a download cut short) is damaged. A failure is BadFormat,
// its text the reason ("it is cut short").
Result<std::optional<OneFileIndex>> readOneFileIndex(ByteSource &source);
Result<std::optional<OneFileIndex>> readOneFileIndex(const std::string &path);

// Whether the file ends in a one-file package's trailer, sound or damaged:
// only such a file is replaced by a new one-file package.
bool hasOneFileTrailer(const std::string &path);

// Writes each file of the index into `folder` (a fresh folder), hashing as it
// writes. A file whose bytes differ from its checksum ends it ("bomb3.wa2
// does not match its checksum"); so does a cancel (ErrorCode::Cancelled).
// What was written stays, for the caller to remove with the folder.
Status extractOneFile(const std::string &path, const OneFileIndex &index, const std::string &folder,
                      Progress &progress);

// Writes a one-file package: the program, then each file as it is added
// (hashed while it is copied), then on finish() the index and the trailer.
class OneFileWriter
{
public:
    // A new file at `path` (a name not in use) that begins with `program`'s bytes.
    static Result<std::unique_ptr<OneFileWriter>> start(const std::string &path, const std::string &program);
    ~OneFileWriter();
    OneFileWriter(const OneFileWriter &) = delete;
    OneFileWriter &operator=(const OneFileWriter &) = delete;

    // Appends the file at `source` under `name`; its checksum.
    Result<Sha256Digest> add(const std::string &name, const std::string &source, HashProgress *progress = nullptr);
    Result<Sha256Digest> addBytes(const std::string &name, std::string_view bytes);
    Status finish();
    std::uint64_t size() const { return m_written; }

private:
    OneFileWriter(std::string path, std::FILE *file) : m_path(std::move(path)), m_file(file) {}
    Status write(const char *bytes, std::size_t length);

    std::string m_path;
    std::FILE *m_file;
    std::uint64_t m_written = 0;
    std::uint64_t m_payloadOffset = 0;
    std::vector<OneFileEntry> m_entries;
};

} // namespace vesk
