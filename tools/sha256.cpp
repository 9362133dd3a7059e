#include "sha256.h"

#include "fileops.h"
#include "files.h"
#include "paths.h"

#include <cerrno>
#include <cstdio>
#include <vector>

namespace vesk {

Sha256Digest sha256Of(std::string_view bytes)
{
    Sha256 hash;
    hash.add(bytes.data(), bytes.size());
    return hash.finish();
}

std::string hexDigits(const Sha256Digest &digest)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * digest.size());
    for (unsigned char byte : digest) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

Result<Sha256Digest> sha256OfFile(const std::string &path, HashProgress *progress)
{
    // Only a regular file is read: a FIFO would stall the hash, a device never end it.
    const EntryKind kind = entryKind(path);
    if (kind == EntryKind::Missing)
        return cannotRead(path, std::make_error_code(std::errc::no_such_file_or_directory));
    if (kind != EntryKind::File)
        return Status::failure(ErrorCode::NotAFile, "cannot read " + path + ": it is not a file");
    errno = 0;
    const FilePtr opened(openFile(path, "rb"));
    std::FILE *file = opened.get();
    if (!file)
        return Status::failure(codeFromErrno(errno), "cannot read " + path + ": " + reasonFromErrno(errno));
    std::setvbuf(file, nullptr, _IONBF, 0);
    std::error_code ec;
    const double size = static_cast<double>(fileSize(path, ec));
    std::vector<char> block(1 << 20);
    Sha256 hash;
    double read = 0;
    for (;;) {
        const size_t got = std::fread(block.data(), 1, block.size(), file);
        hash.add(block.data(), got);
        read += static_cast<double>(got);
        if (got < block.size())
            break;
        if (progress
            && !progress->progress.advance(progress->shownAs,
                                           progress->doneBefore + progress->share * (size > 0 ? read / size : 1))) {
            return Status::failure(ErrorCode::Cancelled, "cancelled");
        }
    }
    const bool failed = std::ferror(file) != 0;
    const int err = errno;
    if (failed)
        return Status::failure(codeFromErrno(err), "cannot read " + path + ": " + reasonFromErrno(err));
    return hash.finish();
}

} // namespace vesk
