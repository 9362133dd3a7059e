#include "slotcatalogue.h"

#include "themefiles.h"

#include <algorithm>
#include <cstring>

namespace vesk {

namespace {

using T = InnerTab;

constexpr std::array<SlotInfo, kSlotCount> kSlots = {{
    {1, T::Bombs, "Frame1", 1, "Command5", "Level 1", kGameSoundFiles[0]},
    {2, T::Bombs, "Frame1", 2, "Command6", "Level 2", kGameSoundFiles[1]},
    {3, T::Bombs, "Frame1", 3, "Command7", "Level 3", kGameSoundFiles[2]},
    {4, T::Bombs, "Frame3", 1, "Command8", "Level 1", kGameSoundFiles[3]},
    {5, T::Bombs, "Frame3", 2, "Command9", "Level 2", kGameSoundFiles[4]},
    {6, T::Bombs, "Frame3", 3, "Command10", "Level 3", kGameSoundFiles[5]},
    {7, T::Guns, "Frame4", 1, "Command11", "Level 1", kGameSoundFiles[6]},
    {8, T::Guns, "Frame4", 2, "Command12", "Level 2", kGameSoundFiles[7]},
    {9, T::Guns, "Frame4", 3, "Command13", "Level 3", kGameSoundFiles[8]},
    {10, T::ShipDevices, "Frame5", 1, "Command14", "Burst", kGameSoundFiles[9]},
    {11, T::ShipDevices, "Frame5", 2, "Command15", "Repel", kGameSoundFiles[10]},
    {12, T::ShipDevices, "Frame5", 3, "Command16", "Decoy", kGameSoundFiles[11]},
    {13, T::ShipDevices, "Frame5", 4, "Command17", "Thor", kGameSoundFiles[12]},
    {14, T::ShipDevices, "Frame5", 5, "Command18", "Brick", kGameSoundFiles[13]},
    {15, T::ShipDevices, "Frame5", 6, "Command19", "Rocket 1", kGameSoundFiles[14]},
    {16, T::ShipDevices, "Frame5", 8, "Command20", "Portal", kGameSoundFiles[15]},
    {17, T::ShipDevices, "Frame6", 1, "Command21", "Stealth", kGameSoundFiles[16]},
    {18, T::ShipDevices, "Frame6", 2, "Command22", "Cloak", kGameSoundFiles[17]},
    {19, T::ShipDevices, "Frame6", 3, "Command23", "X-Radar", kGameSoundFiles[18]},
    {20, T::ShipDevices, "Frame6", 4, "Command24", "Anti-Warp", kGameSoundFiles[19]},
    {21, T::ShipDevices, "Frame6", 5, "Command25", "Turn Off", kGameSoundFiles[20]},
    {22, T::Guns, "Frame7", 1, "Command26", "On", kGameSoundFiles[21]},
    {23, T::Guns, "Frame7", 2, "Command27", "Off", kGameSoundFiles[22]},
    {24, T::ShipDevices, "Frame5", 7, "Command28", "Rocket 2", kGameSoundFiles[23]},
    {25, T::ShipDevices, "Frame8", 1, "Command29", "Rev", kGameSoundFiles[24]},
    {26, T::ShipDevices, "Frame8", 2, "Command30", "Hum", kGameSoundFiles[25]},
    {27, T::System, "Frame9", 1, "Command31", "Alarm", kGameSoundFiles[26]},
    {28, T::System, "Frame10", 1, "Command32", "Flags", kGameSoundFiles[27]},
    {29, T::ShipDevices, "Frame8", 3, "Command33", "Thrust", kGameSoundFiles[28]},
    {30, T::System, "Frame11", 1, "Command34", "Points", kGameSoundFiles[29]},
    {31, T::System, "Frame11", 2, "Command35", "Victory", kGameSoundFiles[30]},
    {32, T::System, "Frame12", 1, "Command38", "Explode 0", kGameSoundFiles[31]},
    {33, T::System, "Frame12", 2, "Command37", "Explode 1", kGameSoundFiles[32]},
    {34, T::System, "Frame12", 3, "Command36", "Explode 2", kGameSoundFiles[33]},
    {35, T::Bombs, "Frame1", 4, "Command41", "Level 4", kGameSoundFiles[34]},
    {36, T::Bombs, "Frame3", 4, "Command42", "Level 4", kGameSoundFiles[35]},
    {37, T::Bombs, "Frame13", 1, "Command43", "Level 1", kGameSoundFiles[36]},
    {38, T::Bombs, "Frame13", 2, "Command44", "Level 2", kGameSoundFiles[37]},
    {39, T::Bombs, "Frame13", 3, "Command45", "Level 3", kGameSoundFiles[38]},
    {40, T::Bombs, "Frame13", 4, "Command46", "Level 4", kGameSoundFiles[39]},
    {41, T::System, "Frame14", 1, "Command47", "Bounce", kGameSoundFiles[40]},
    {42, T::Bombs, "Frame15", 1, "Command48", "Level 1", kGameSoundFiles[41]},
    {43, T::Bombs, "Frame15", 2, "Command49", "Level 2", kGameSoundFiles[42]},
    {44, T::Bombs, "Frame15", 3, "Command50", "Level 3", kGameSoundFiles[43]},
    {45, T::Bombs, "Frame15", 4, "Command51", "Level 4", kGameSoundFiles[44]},
    {46, T::System, "Frame16", 1, "Command52", "Prize", kGameSoundFiles[45]},
    {47, T::System, "Frame17", 1, "Command53", "Warp", kGameSoundFiles[46]},
}};

constexpr std::array<FrameInfo, 16> kFrames = {{
    {"Frame1", "Bombs", T::Bombs, 480},
    {"Frame13", "Emp Bombs", T::Bombs, 1920},
    {"Frame3", "Mines", T::Bombs, 3360},
    {"Frame15", "Emp Mines", T::Bombs, 4800},
    {"Frame5", "Items", T::ShipDevices, 480},
    {"Frame6", "Devices", T::ShipDevices, 2880},
    {"Frame8", "Engine", T::ShipDevices, 4560},
    {"Frame9", "Chat", T::System, 480},
    {"Frame10", "Flags", T::System, 1200},
    {"Frame11", "Victory", T::System, 1920},
    {"Frame12", "Explosions", T::System, 2880},
    {"Frame17", "Warp", T::System, 4080},
    {"Frame14", "Bounce", T::System, 4800},
    {"Frame16", "Prize", T::System, 5520},
    {"Frame4", "Guns", T::Guns, 480},
    {"Frame7", "Multi-Fire", T::Guns, 1680},
}};

constexpr std::array<TabInfo, 4> kTabs = {{
    {T::Bombs, "Bombs"},
    {T::ShipDevices, "Ship Devices"},
    {T::System, "System"},
    {T::Guns, "Guns"},
}};

} // namespace

const std::array<SlotInfo, kSlotCount> &slotCatalogue()
{
    return kSlots;
}

const SlotInfo &slotInfo(int index)
{
    return kSlots.at(static_cast<size_t>(index - 1));
}

const std::array<FrameInfo, 16> &frameCatalogue()
{
    return kFrames;
}

const std::array<TabInfo, 4> &innerTabs()
{
    return kTabs;
}

int frameRowCount(const char *frame)
{
    int rows = 0;
    for (const SlotInfo &slot : kSlots) {
        if (std::strcmp(slot.frame, frame) == 0)
            rows = std::max(rows, slot.row);
    }
    return rows;
}

std::string slotName(int index)
{
    const SlotInfo &slot = slotInfo(index);
    const auto frame = std::find_if(kFrames.begin(), kFrames.end(),
                                    [&slot](const FrameInfo &f) { return std::strcmp(f.name, slot.frame) == 0; });
    return std::string(frame->caption) + ", " + slot.caption;
}

std::string slotDescription(int index)
{
    return "slot " + std::to_string(index) + " (" + slotName(index) + ")";
}

} // namespace vesk
