#include "sounddecoder.h"

#include "paths.h"

#include <filesystem>

namespace vesk {

Result<std::unique_ptr<SoundDecoder>> SoundDecoder::open(const std::string &path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(fsPath(path), ec);
    if (!fs::exists(status))
        return Status::failure(ErrorCode::NotFound, "the file is missing");
    // Only a regular file is opened: a FIFO would hang the decoder.
    if (!fs::is_regular_file(status))
        return Status::failure(ErrorCode::NotAFile, "not a file");
    if (fs::file_size(fsPath(path), ec) == 0)
        return Status::failure(ErrorCode::BadFormat, "an empty file");
    return openSystemDecoder(path);
}

} // namespace vesk
