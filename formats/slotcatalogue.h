#pragma once

#include <array>
#include <string>

namespace vesk {

// The game's 47 replaceable sounds. Index order (1 to 47) is the order every
// file walks the slots in; it is not the order in which they sit on screen.

constexpr int kSlotCount = 47;

// The value of a slot with no wave file. Anything else, an empty text
// included, is the path of one.
inline constexpr const char *kNoSound = "none";
inline bool isEmptySlot(const std::string &value)
{
    return value == kNoSound;
}

// The values of slots 1 to 47, element 0 holding slot 1.
using SlotValues = std::array<std::string, kSlotCount>;

enum class InnerTab {
    Bombs,
    ShipDevices,
    System,
    Guns
};

struct SlotInfo
{
    int index;
    InnerTab tab;
    const char *frame;    // control name of the frame that holds the slot
    int row;              // from the top of the frame, starting at 1
    const char *button;   // control name of the slot's button
    const char *caption;  // the button's caption
    const char *gameFile; // the game's own file that the slot replaces
};

struct FrameInfo
{
    const char *name;
    const char *caption;
    InnerTab tab;
    int top; // in twips, on its inner tab
};

struct TabInfo
{
    InnerTab tab;
    const char *caption;
};

const std::array<SlotInfo, kSlotCount> &slotCatalogue();
const SlotInfo &slotInfo(int index);               // index 1 to 47
const std::array<FrameInfo, 16> &frameCatalogue(); // in tab order, top to bottom
const std::array<TabInfo, 4> &innerTabs();         // in strip order
int frameRowCount(const char *frame);

// Slot rows are 240 twips apart inside their frame, the first one 240 twips
// below its top edge.
constexpr int kSlotRowHeight = 240;
constexpr int frameHeight(int rows)
{
    return 375 + kSlotRowHeight * rows;
}

// A slot as the player knows it: "Mines, Level 2".
std::string slotName(int index);
// How every message names a slot: "slot 5 (Mines, Level 2)".
std::string slotDescription(int index);

} // namespace vesk
