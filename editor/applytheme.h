#pragma once

#include "links.h"
#include "slotcatalogue.h"
#include "status.h"

#include <optional>
#include <string>
#include <vector>

namespace vesk {

struct ApplyResult
{
    int copied = 0;                // sound files copied into the game directory
    std::optional<int> failedSlot; // the slot whose copy failed
    Status status = Status::success();
};

// Puts a theme into the game: every slot that is not "none" is copied, in
// index order, byte for byte over the game's own file for it; then links.txt
// is written. The first failing copy ends the run: what was copied stays, and
// links.txt is left as it was. A game directory that is empty or does not
// exist is refused before anything is copied.
ApplyResult applyTheme(const std::string &gameDirectory, const SlotValues &slots, const std::vector<Link> &links,
                       const std::string &quote);

} // namespace vesk
