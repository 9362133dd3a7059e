#include "applytheme.h"

#include "paths.h"
#include "textfile.h"

#include <filesystem>

namespace vesk {

namespace fs = std::filesystem;

ApplyResult applyTheme(const std::string &gameDirectory, const SlotValues &slots, const std::vector<Link> &links,
                       const std::string &quote)
{
    ApplyResult result;
    std::error_code ec;
    if (gameDirectory.empty()) {
        result.status = Status::failure("no game directory is chosen yet");
        return result;
    }
    if (!fs::is_directory(fs::path(gameDirectory), ec)) {
        result.status = Status::failure("the game directory " + gameDirectory + " does not exist");
        return result;
    }

    for (int k = 1; k <= kSlotCount; ++k) {
        const std::string &source = slots[static_cast<size_t>(k - 1)];
        if (isEmptySlot(source))
            continue;
        const std::string target = joinPath(gameDirectory, slotInfo(k).gameFile);
        // Only a regular file is copied: a FIFO would stall the copy, a device never end it.
        const bool noFile = fs::exists(fs::path(source), ec) && !fs::is_regular_file(fs::path(source), ec);
        if (!noFile)
            fs::copy_file(fs::path(source), fs::path(target), fs::copy_options::overwrite_existing, ec);
        if (noFile || ec) {
            result.failedSlot = k;
            result.status = Status::failure(noFile ? ErrorCode::NotAFile : codeOf(ec),
                                            slotDescription(k) + " could not be copied from "
                                                + (source.empty() ? "an empty path" : source) + " to " + target + ": "
                                                + (noFile ? std::string("it is not a file") : reasonText(ec)) + "; "
                                                + std::to_string(result.copied)
                                                + " sound files were copied before it, and links.txt was not written");
            return result;
        }
        ++result.copied;
    }

    result.status = writeLinksFile(joinPath(gameDirectory, "links.txt"), links, quote);
    return result;
}

} // namespace vesk
