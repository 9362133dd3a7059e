#include "sounddecoder.h"

#include "fileops.h"
#include "paths.h"

namespace vesk {

Result<std::unique_ptr<SoundDecoder>> SoundDecoder::open(const std::string &path)
{
    std::error_code ec;
    const FileStatus status = fileStatus(path, ec);
    if (status.kind == EntryKind::Missing)
        return Status::failure(ErrorCode::NotFound, "the file is missing");
    // Only a regular file is opened: a FIFO would hang the decoder.
    if (status.kind != EntryKind::File)
        return Status::failure(ErrorCode::NotAFile, "not a file");
    if (fileSize(path, ec) == 0)
        return Status::failure(ErrorCode::BadFormat, "an empty file");
    return openSystemDecoder(path);
}

} // namespace vesk
