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
    int copied = 0;                // sound files put into the game directory
    std::optional<int> failedSlot; // the slot whose file failed
    Status status = Status::success();
};

// Whether a slot's file can be applied at all: it exists and is a regular
// file that can be opened for reading. The failure names the slot, the file
// and the reason.
Status checkSlotFile(int index, const std::string &path);

// The checks that come before anything is written: the game directory exists
// and can be written, every chosen file is readable. A failure names the slot
// where one is at fault.
ApplyResult checkApply(const std::string &gameDirectory, const SlotValues &slots);

// Puts a theme into the game as one step: every slot that is not "none" is
// copied byte for byte over the game's own file for it, and links.txt is
// written. First everything is checked (the game directory exists and can be
// written, every chosen file is readable); then the game's files are backed
// up (see gamebackup.h); then every file is staged under a temporary name in
// the game directory and renamed into place. Any failure puts the game
// directory and its backup back exactly as they were and names the file and
// the reason.
ApplyResult applyTheme(const std::string &gameDirectory, const SlotValues &slots, const std::vector<Link> &links,
                       const std::string &quote);

} // namespace vesk
