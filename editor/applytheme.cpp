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
        fs::copy_file(fs::path(source), fs::path(target), fs::copy_options::overwrite_existing, ec);
        if (ec) {
            result.failedSlot = k;
            result.status = Status::failure(codeOf(ec),
                                            slotDescription(k) + " could not be copied from "
                                                + (source.empty() ? "an empty path" : source) + " to " + target + ": "
                                                + reasonText(ec) + "; " + std::to_string(result.copied)
                                                + " sound files were copied before it, and links.txt was not written");
            return result;
        }
        ++result.copied;
    }

    result.status = writeLinksFile(joinPath(gameDirectory, "links.txt"), links, quote);
    return result;
}

} // namespace vesk
