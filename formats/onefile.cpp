#include "onefile.h"

#include "fileops.h"
#include "files.h"
#include "paths.h"
#include "themefiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace vesk {

namespace {

constexpr std::size_t kBlock = 1 << 20;
constexpr std::size_t kMaxNameLength = 255;

// Why the open just tried (with errno cleared before it) failed, as the
// system said; an I/O error where it said nothing.
std::error_code openError()
{
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

std::uint64_t number(const char *bytes, int width)
{
    std::uint64_t value = 0;
    for (int k = width - 1; k >= 0; --k)
        value = value << 8 | static_cast<unsigned char>(bytes[k]);
    return value;
}

void append(std::string &to, std::uint64_t value, int width)
{
    for (int k = 0; k < width; ++k)
        to += static_cast<char>(value >> (8 * k) & 0xff);
}

// Opens `path` to read; `error` says why it did not, as the system said.
FilePtr openInput(const std::string &path, std::error_code &error)
{
    errno = 0;
    FilePtr file(openFile(path, "rb"));
    if (!file)
        error = openError();
    return file;
}

class FileSource final : public ByteSource
{
public:
    explicit FileSource(const std::string &path) : m_file(openInput(path, m_openError))
    {
        std::error_code ec;
        m_size = fileSize(path, ec);
        if (ec)
            m_size = 0;
    }
    bool isOpen() const { return m_file != nullptr; }
    // Why it did not open.
    const std::error_code &error() const { return m_openError; }
    std::uint64_t size() const override { return m_size; }
    bool read(std::uint64_t offset, char *into, std::size_t length) override
    {
        if (offset > m_size || length > m_size - offset)
            return false;
        return seekFile(m_file.get(), offset) && readOn(into, length);
    }
    // The next `length` bytes after the last read.
    bool readOn(char *into, std::size_t length) { return std::fread(into, 1, length, m_file.get()) == length; }

private:
    std::error_code m_openError;
    FilePtr m_file;
    std::uint64_t m_size = 0;
};

Status damaged(const std::string &reason)
{
    return Status::failure(ErrorCode::BadFormat, reason);
}

// Why a name may not stand in a one-file package, or nothing.
std::optional<std::string> nameProblem(const std::string &name)
{
    const bool control
        = std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    if (name.size() > kMaxNameLength || control || !isPlainName(name) || storedName(name) != name || !isThemeFile(name)
        || sameFileName(name, kInstallBatch))
        return "its index names " + name + ", which is no file of a theme";
    return std::nullopt;
}

// The index's bytes taken apart and checked against the file's layout.
Result<OneFileIndex> parseIndex(std::string_view bytes, std::uint64_t payloadOffset, std::uint64_t indexOffset)
{
    const Status broken = damaged("its index is damaged");
    if (bytes.size() < 8)
        return broken;
    const std::uint64_t count = number(bytes.data(), 8);
    if (count > kMaxOneFileEntries)
        return damaged("its index lists " + std::to_string(count) + " files, more than a theme has");
    OneFileIndex index;
    index.payloadOffset = payloadOffset;
    std::size_t at = 8;
    std::uint64_t offset = payloadOffset;
    for (std::uint64_t k = 0; k < count; ++k) {
        if (bytes.size() - at < 2)
            return broken;
        const std::size_t nameLength = number(bytes.data() + at, 2);
        at += 2;
        if (bytes.size() - at < nameLength + 8 + 32)
            return broken;
        OneFileEntry entry;
        entry.name.assign(bytes.data() + at, nameLength);
        at += nameLength;
        entry.size = number(bytes.data() + at, 8);
        at += 8;
        std::memcpy(entry.digest.data(), bytes.data() + at, 32);
        at += 32;
        if (const auto problem = nameProblem(entry.name))
            return damaged(*problem);
        for (const OneFileEntry &earlier : index.entries) {
            if (sameFileName(earlier.name, entry.name))
                return damaged("its index names " + entry.name + " twice");
        }
        if (entry.size > indexOffset - offset)
            return damaged("its index gives " + entry.name + " more bytes than the file holds");
        entry.offset = offset;
        offset += entry.size;
        index.entries.push_back(std::move(entry));
    }
    if (at != bytes.size())
        return broken;
    if (offset != indexOffset)
        return damaged("its files do not fill its payload");
    return index;
}

bool endsInTag(ByteSource &source)
{
    char tag[kTrailerTag.size()];
    return source.size() >= kTrailerSize && source.read(source.size() - sizeof tag, tag, sizeof tag)
           && std::string_view(tag, sizeof tag) == kTrailerTag;
}

} // namespace

bool MemorySource::read(std::uint64_t offset, char *into, std::size_t length)
{
    if (offset > m_bytes.size() || length > m_bytes.size() - offset)
        return false;
    std::memcpy(into, m_bytes.data() + offset, length);
    return true;
}

std::string encodeIndex(const std::vector<OneFileEntry> &entries)
{
    std::string bytes;
    append(bytes, entries.size(), 8);
    for (const OneFileEntry &entry : entries) {
        append(bytes, entry.name.size(), 2);
        bytes += entry.name;
        append(bytes, entry.size, 8);
        bytes.append(reinterpret_cast<const char *>(entry.digest.data()), entry.digest.size());
    }
    return bytes;
}

std::string encodeTrailer(std::uint64_t payloadOffset, std::uint64_t indexOffset, std::string_view index)
{
    std::string bytes;
    append(bytes, kOneFileVersion, 4);
    append(bytes, 0, 4);
    append(bytes, payloadOffset, 8);
    append(bytes, indexOffset, 8);
    append(bytes, index.size(), 8);
    const Sha256Digest digest = sha256Of(index);
    bytes.append(reinterpret_cast<const char *>(digest.data()), digest.size());
    bytes += kTrailerTag;
    return bytes;
}

// Where a program's bytes end, by the furthest of the parts its headers
// name: what a one file's payload follows.
class ProgramExtent
{
public:
    void reach(std::uint64_t offset, std::uint64_t length)
    {
        if (length > 0 && offset + length > m_end && offset <= std::numeric_limits<std::uint64_t>::max() - length)
            m_end = offset + length;
    }
    std::uint64_t end() const { return m_end; }

private:
    std::uint64_t m_end = 0;
};

// The fields of a Windows program's headers that tell where its parts lie.
namespace pe {
constexpr std::uint64_t kHeaderOffset = 0x3c; // of the "PE\0\0" header, in the MZ header
constexpr std::size_t kCoffSize = 24;         // the signature and the COFF header
constexpr std::uint64_t kSectionCount = 6, kSymbolTable = 12, kSymbolCount = 16, kOptionalSize = 20;
constexpr std::uint64_t kWideMagic = 0x20b;                        // PE32+
constexpr std::uint64_t kDirectories = 96, kWideDirectories = 112; // in the optional header
constexpr std::uint64_t kDirectorySize = 8, kCertificateDirectory = 4;
constexpr std::size_t kSectionSize = 40;
constexpr std::uint64_t kRawSize = 16, kRawOffset = 20; // in a section header
constexpr std::uint64_t kSymbolSize = 18;
} // namespace pe

// A Windows program: its sections, its certificates and (in a build not
// stripped) its symbols and their names.
std::optional<std::uint64_t> windowsProgramEnd(ByteSource &source, const char *head)
{
    ProgramExtent extent;
    const std::uint64_t header = number(head + pe::kHeaderOffset, 4);
    char coff[pe::kCoffSize];
    if (!source.read(header, coff, sizeof coff) || std::memcmp(coff, "PE\0\0", 4) != 0)
        return std::nullopt;
    const std::uint64_t sections = number(coff + pe::kSectionCount, 2);
    const std::uint64_t symbols = number(coff + pe::kSymbolTable, 4), symbolCount = number(coff + pe::kSymbolCount, 4);
    const std::uint64_t optionalSize = number(coff + pe::kOptionalSize, 2);
    const std::uint64_t optional = header + pe::kCoffSize;
    char magic[2];
    if (!source.read(optional, magic, 2))
        return std::nullopt;
    const std::uint64_t directories = number(magic, 2) == pe::kWideMagic ? pe::kWideDirectories : pe::kDirectories;
    char certificates[pe::kDirectorySize];
    if (optionalSize >= directories + (pe::kCertificateDirectory + 1) * pe::kDirectorySize
        && source.read(optional + directories + pe::kCertificateDirectory * pe::kDirectorySize, certificates,
                       sizeof certificates))
        extent.reach(number(certificates, 4), number(certificates + 4, 4));
    const std::uint64_t table = optional + optionalSize;
    extent.reach(table, sections * pe::kSectionSize);
    for (std::uint64_t k = 0; k < sections; ++k) {
        char section[pe::kSectionSize];
        if (!source.read(table + pe::kSectionSize * k, section, sizeof section))
            return std::nullopt;
        extent.reach(number(section + pe::kRawOffset, 4), number(section + pe::kRawSize, 4));
    }
    if (symbols != 0) {
        char names[4];
        const std::uint64_t namesAt = symbols + pe::kSymbolSize * symbolCount;
        if (!source.read(namesAt, names, 4))
            return std::nullopt;
        extent.reach(namesAt, std::max<std::uint64_t>(4, number(names, 4)));
    }
    return extent.end();
}

// The fields of a 64-bit ELF program's headers that tell where its parts lie.
namespace elf {
constexpr std::size_t kHeaderSize = 64;
constexpr std::uint64_t kSegmentTable = 0x20, kSectionTable = 0x28;
constexpr std::uint64_t kSegmentEntrySize = 0x36, kSegmentCount = 0x38;
constexpr std::uint64_t kSectionEntrySize = 0x3a, kSectionCount = 0x3c;
constexpr std::size_t kEntrySize = 40; // the least of a segment's or section's entry that is read
constexpr std::uint64_t kSegmentOffset = 8, kSegmentFileSize = 32;
constexpr std::uint64_t kSectionType = 4, kSectionOffset = 24, kSectionSize = 32;
constexpr std::uint64_t kNoBits = 8; // a section that takes no room in the file
} // namespace elf

// A 64-bit Linux program: its segments, its sections and their tables.
std::optional<std::uint64_t> linuxProgramEnd(ByteSource &source, const char *head)
{
    ProgramExtent extent;
    const std::uint64_t segments = number(head + elf::kSegmentTable, 8);
    const std::uint64_t sections = number(head + elf::kSectionTable, 8);
    const std::uint64_t segmentSize = number(head + elf::kSegmentEntrySize, 2);
    const std::uint64_t segmentCount = number(head + elf::kSegmentCount, 2);
    const std::uint64_t sectionSize = number(head + elf::kSectionEntrySize, 2);
    const std::uint64_t sectionCount = number(head + elf::kSectionCount, 2);
    if (segmentSize < elf::kEntrySize || (sectionCount > 0 && sectionSize < elf::kEntrySize))
        return std::nullopt;
    extent.reach(0, elf::kHeaderSize);
    extent.reach(segments, segmentCount * segmentSize);
    extent.reach(sections, sectionCount * sectionSize);
    for (std::uint64_t k = 0; k < segmentCount; ++k) {
        char segment[elf::kEntrySize];
        if (!source.read(segments + k * segmentSize, segment, sizeof segment))
            return std::nullopt;
        extent.reach(number(segment + elf::kSegmentOffset, 8), number(segment + elf::kSegmentFileSize, 8));
    }
    for (std::uint64_t k = 0; k < sectionCount; ++k) {
        char section[elf::kEntrySize];
        if (!source.read(sections + k * sectionSize, section, sizeof section))
            return std::nullopt;
        if (number(section + elf::kSectionType, 4) != elf::kNoBits)
            extent.reach(number(section + elf::kSectionOffset, 8), number(section + elf::kSectionSize, 8));
    }
    return extent.end();
}

std::optional<std::uint64_t> programEnd(ByteSource &source)
{
    char head[elf::kHeaderSize];
    if (!source.read(0, head, sizeof head))
        return std::nullopt;
    if (std::memcmp(head, "MZ", 2) == 0)
        return windowsProgramEnd(source, head);
    if (std::memcmp(head,
                    "\x7f"
                    "ELF\x02\x01",
                    6)
        == 0)
        return linuxProgramEnd(source, head);
    return std::nullopt;
}

Result<std::optional<OneFileIndex>> readOneFileIndex(ByteSource &source)
{
    const std::uint64_t size = source.size();
    char trailer[kTrailerSize];
    if (!endsInTag(source) || !source.read(size - kTrailerSize, trailer, kTrailerSize)) {
        // A download cut short has lost its trailer but still runs on past
        // the program (or ends within it).
        const std::optional<std::uint64_t> end = programEnd(source);
        if (end && *end != size)
            return Status(damaged("it is cut short"));
        return std::optional<OneFileIndex>();
    }
    const std::uint64_t version = number(trailer, 4);
    if (version != kOneFileVersion)
        return Status(damaged("it was made by a newer editor (format " + std::to_string(version) + ")"));
    const std::uint64_t payloadOffset = number(trailer + 8, 8);
    const std::uint64_t indexOffset = number(trailer + 16, 8);
    const std::uint64_t indexLength = number(trailer + 24, 8);
    const std::uint64_t indexRoom = size - kTrailerSize;
    if (indexLength > kMaxIndexSize || indexLength > indexRoom || indexOffset != indexRoom - indexLength
        || payloadOffset > indexOffset)
        return Status(damaged("its trailer does not fit the file"));
    std::string bytes(indexLength, '\0');
    if (!source.read(indexOffset, bytes.data(), bytes.size()))
        return Status(damaged("its index cannot be read"));
    if (std::memcmp(sha256Of(bytes).data(), trailer + 32, 32) != 0)
        return Status(damaged("its index does not match its checksum"));
    Result<OneFileIndex> index = parseIndex(bytes, payloadOffset, indexOffset);
    if (!index)
        return index.status();
    return std::optional<OneFileIndex>(std::move(*index));
}

Result<std::optional<OneFileIndex>> readOneFileIndex(const std::string &path)
{
    if (entryKind(path) != EntryKind::File)
        return Status::failure(ErrorCode::NotAFile, "cannot read " + path + ": it is not a file");
    FileSource source(path);
    if (!source.isOpen())
        return cannotRead(path, source.error());
    return readOneFileIndex(source);
}

bool hasOneFileTrailer(const std::string &path)
{
    if (entryKind(path) != EntryKind::File)
        return false;
    FileSource source(path);
    return source.isOpen() && endsInTag(source);
}

Status extractOneFile(const std::string &path, const OneFileIndex &index, const std::string &folder, Progress &progress)
{
    FileSource source(path);
    if (!source.isOpen())
        return cannotRead(path, source.error());
    std::uint64_t total = 0;
    for (const OneFileEntry &entry : index.entries)
        total += entry.size;
    std::vector<char> block(kBlock);
    std::uint64_t done = 0;
    bool positioned = false;
    for (const OneFileEntry &entry : index.entries) {
        const std::string target = joinPath(folder, entry.name);
        errno = 0;
        FilePtr out(openFile(target, "wb"));
        if (!out)
            return cannotWrite(target, errno);
        std::setvbuf(out.get(), nullptr, _IONBF, 0);
        Sha256 hash;
        for (std::uint64_t left = entry.size; left > 0;) {
            const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
            const bool read
                = positioned ? source.readOn(block.data(), part) : source.read(entry.offset, block.data(), part);
            positioned = true;
            if (!read)
                return damaged("it is cut short");
            hash.add(block.data(), part);
            errno = 0;
            if (std::fwrite(block.data(), 1, part, out.get()) != part)
                return cannotWrite(target, errno);
            left -= part;
            done += part;
            if (!progress.advance(entry.name, total ? static_cast<double>(done) / static_cast<double>(total) : 1))
                return Status::failure(ErrorCode::Cancelled, "cancelled");
        }
        errno = 0;
        if (std::fclose(out.release()) != 0)
            return cannotWrite(target, errno);
        if (hash.finish() != entry.digest)
            return damaged(entry.name + " does not match its checksum");
    }
    return Status::success();
}

Result<std::unique_ptr<OneFileWriter>> OneFileWriter::start(const std::string &path, const std::string &program)
{
    errno = 0;
    std::FILE *file = openFile(path, "wb");
    if (!file)
        return cannotWrite(path, errno);
    std::setvbuf(file, nullptr, _IONBF, 0);
    std::unique_ptr<OneFileWriter> writer(new OneFileWriter(path, file));
    std::error_code why;
    const FilePtr in = openInput(program, why);
    if (!in)
        return cannotRead(program, why);
    std::vector<char> block(kBlock);
    for (std::size_t got = 1; got > 0;) {
        got = std::fread(block.data(), 1, block.size(), in.get());
        if (const Status wrote = writer->write(block.data(), got); !wrote.ok())
            return wrote;
    }
    if (std::ferror(in.get()))
        return cannotRead(program, std::make_error_code(std::errc::io_error));
    writer->m_payloadOffset = writer->m_written;
    return writer;
}

OneFileWriter::~OneFileWriter()
{
    if (m_file)
        std::fclose(m_file);
}

Status OneFileWriter::write(const char *bytes, std::size_t length)
{
    errno = 0;
    if (length > 0 && std::fwrite(bytes, 1, length, m_file) != length)
        return cannotWrite(m_path, errno);
    m_written += length;
    return Status::success();
}

Result<Sha256Digest> OneFileWriter::add(const std::string &name, const std::string &source, HashProgress *progress)
{
    if (entryKind(source) != EntryKind::File)
        return Status::failure(ErrorCode::NotAFile, "cannot read " + source + ": it is not a file");
    std::error_code why;
    const FilePtr in = openInput(source, why);
    if (!in)
        return cannotRead(source, why);
    std::error_code ec;
    const double size = static_cast<double>(fileSize(source, ec));
    OneFileEntry entry{name, m_written, 0, {}};
    Sha256 hash;
    std::vector<char> block(kBlock);
    for (std::size_t got = 1; got > 0;) {
        got = std::fread(block.data(), 1, block.size(), in.get());
        hash.add(block.data(), got);
        if (const Status wrote = write(block.data(), got); !wrote.ok())
            return wrote;
        entry.size += got;
        if (progress
            && !progress->progress.advance(
                progress->shownAs,
                progress->doneBefore + progress->share * (size > 0 ? static_cast<double>(entry.size) / size : 1)))
            return Status::failure(ErrorCode::Cancelled, "cancelled");
    }
    if (std::ferror(in.get()))
        return cannotRead(source, std::make_error_code(std::errc::io_error));
    entry.digest = hash.finish();
    m_entries.push_back(entry);
    return entry.digest;
}

Result<Sha256Digest> OneFileWriter::addBytes(const std::string &name, std::string_view bytes)
{
    OneFileEntry entry{name, m_written, bytes.size(), sha256Of(bytes)};
    if (const Status wrote = write(bytes.data(), bytes.size()); !wrote.ok())
        return wrote;
    m_entries.push_back(entry);
    return entry.digest;
}

Status OneFileWriter::finish()
{
    const std::string index = encodeIndex(m_entries);
    const std::uint64_t indexOffset = m_written;
    const std::string trailer = encodeTrailer(m_payloadOffset, indexOffset, index);
    Status wrote = write(index.data(), index.size());
    if (wrote.ok())
        wrote = write(trailer.data(), trailer.size());
    errno = 0;
    const int closed = std::fclose(m_file);
    m_file = nullptr;
    if (wrote.ok() && closed != 0)
        return cannotWrite(m_path, errno);
    return wrote;
}

} // namespace vesk
