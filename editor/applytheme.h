#pragma once

#include "links.h"
#include "progress.h"
#include "slotcatalogue.h"
#include "soundplan.h"
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
    // What became of the sounds that were converted, for the summary.
    std::optional<std::string> summary;
};

// Whether a slot's file can be applied at all: it exists and is a regular
// file that can be opened for reading. The failure names the slot, the file
// and the reason.
Status checkSlotFile(int index, const std::string &path);

// The checks that come before anything is written: the game directory exists
// and can be written, every file the plan uses is readable. A failure names
// the slot where one is at fault.
ApplyResult checkApply(const std::string &gameDirectory, const std::vector<SlotPlan> &plan);

// Puts a theme into the game as one step, by its plan: a wave the game plays
// is copied byte for byte over the game's own file for its slot, any other
// sound is converted into a plain PCM wave there, a slot left out is left
// alone, and links.txt is written. First everything is checked (see
// checkApply); then the game's files are backed up (see gamebackup.h); then
// every file is made under a temporary name in the game directory, side by
// side with progress, and renamed into place. Any failure, and a cancel
// (ErrorCode::Cancelled), puts the game directory and its backup back
// exactly as they were; a failure names the file and the reason.
ApplyResult applyTheme(const std::string &gameDirectory, const std::vector<SlotPlan> &plan,
                       const std::vector<Link> &links, const std::string &quote, Progress &progress);
ApplyResult applyTheme(const std::string &gameDirectory, const std::vector<SlotPlan> &plan,
                       const std::vector<Link> &links, const std::string &quote);

} // namespace vesk
