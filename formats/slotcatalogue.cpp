#include "slotcatalogue.h"

#include "themefiles.h"

#include <algorithm>
#include <cstring>

namespace vesk {

namespace {

using T = InnerTab;

constexpr std::array<SlotInfo, kSlotCount> kSlots = {{
    {1, T::Bombs, "bombsFrame", 1, "slotButton1", "Level 1", kGameSoundFiles[0]},
    {2, T::Bombs, "bombsFrame", 2, "slotButton2", "Level 2", kGameSoundFiles[1]},
    {3, T::Bombs, "bombsFrame", 3, "slotButton3", "Level 3", kGameSoundFiles[2]},
    {4, T::Bombs, "minesFrame", 1, "slotButton4", "Level 1", kGameSoundFiles[3]},
    {5, T::Bombs, "minesFrame", 2, "slotButton5", "Level 2", kGameSoundFiles[4]},
    {6, T::Bombs, "minesFrame", 3, "slotButton6", "Level 3", kGameSoundFiles[5]},
    {7, T::Guns, "gunsFrame", 1, "slotButton7", "Level 1", kGameSoundFiles[6]},
    {8, T::Guns, "gunsFrame", 2, "slotButton8", "Level 2", kGameSoundFiles[7]},
    {9, T::Guns, "gunsFrame", 3, "slotButton9", "Level 3", kGameSoundFiles[8]},
    {10, T::ShipDevices, "itemsFrame", 1, "slotButton10", "Burst", kGameSoundFiles[9]},
    {11, T::ShipDevices, "itemsFrame", 2, "slotButton11", "Repel", kGameSoundFiles[10]},
    {12, T::ShipDevices, "itemsFrame", 3, "slotButton12", "Decoy", kGameSoundFiles[11]},
    {13, T::ShipDevices, "itemsFrame", 4, "slotButton13", "Thor", kGameSoundFiles[12]},
    {14, T::ShipDevices, "itemsFrame", 5, "slotButton14", "Brick", kGameSoundFiles[13]},
    {15, T::ShipDevices, "itemsFrame", 6, "slotButton15", "Rocket 1", kGameSoundFiles[14]},
    {16, T::ShipDevices, "itemsFrame", 8, "slotButton16", "Portal", kGameSoundFiles[15]},
    {17, T::ShipDevices, "devicesFrame", 1, "slotButton17", "Stealth", kGameSoundFiles[16]},
    {18, T::ShipDevices, "devicesFrame", 2, "slotButton18", "Cloak", kGameSoundFiles[17]},
    {19, T::ShipDevices, "devicesFrame", 3, "slotButton19", "X-Radar", kGameSoundFiles[18]},
    {20, T::ShipDevices, "devicesFrame", 4, "slotButton20", "Anti-Warp", kGameSoundFiles[19]},
    {21, T::ShipDevices, "devicesFrame", 5, "slotButton21", "Turn Off", kGameSoundFiles[20]},
    {22, T::Guns, "multiFireFrame", 1, "slotButton22", "On", kGameSoundFiles[21]},
    {23, T::Guns, "multiFireFrame", 2, "slotButton23", "Off", kGameSoundFiles[22]},
    {24, T::ShipDevices, "itemsFrame", 7, "slotButton24", "Rocket 2", kGameSoundFiles[23]},
    {25, T::ShipDevices, "engineFrame", 1, "slotButton25", "Rev", kGameSoundFiles[24]},
    {26, T::ShipDevices, "engineFrame", 2, "slotButton26", "Hum", kGameSoundFiles[25]},
    {27, T::System, "chatFrame", 1, "slotButton27", "Alarm", kGameSoundFiles[26]},
    {28, T::System, "flagsFrame", 1, "slotButton28", "Flags", kGameSoundFiles[27]},
    {29, T::ShipDevices, "engineFrame", 3, "slotButton29", "Thrust", kGameSoundFiles[28]},
    {30, T::System, "victoryFrame", 1, "slotButton30", "Points", kGameSoundFiles[29]},
    {31, T::System, "victoryFrame", 2, "slotButton31", "Victory", kGameSoundFiles[30]},
    {32, T::System, "explosionsFrame", 1, "slotButton32", "Explode 0", kGameSoundFiles[31]},
    {33, T::System, "explosionsFrame", 2, "slotButton33", "Explode 1", kGameSoundFiles[32]},
    {34, T::System, "explosionsFrame", 3, "slotButton34", "Explode 2", kGameSoundFiles[33]},
    {35, T::Bombs, "bombsFrame", 4, "slotButton35", "Level 4", kGameSoundFiles[34]},
    {36, T::Bombs, "minesFrame", 4, "slotButton36", "Level 4", kGameSoundFiles[35]},
    {37, T::Bombs, "empBombsFrame", 1, "slotButton37", "Level 1", kGameSoundFiles[36]},
    {38, T::Bombs, "empBombsFrame", 2, "slotButton38", "Level 2", kGameSoundFiles[37]},
    {39, T::Bombs, "empBombsFrame", 3, "slotButton39", "Level 3", kGameSoundFiles[38]},
    {40, T::Bombs, "empBombsFrame", 4, "slotButton40", "Level 4", kGameSoundFiles[39]},
    {41, T::System, "bounceFrame", 1, "slotButton41", "Bounce", kGameSoundFiles[40]},
    {42, T::Bombs, "empMinesFrame", 1, "slotButton42", "Level 1", kGameSoundFiles[41]},
    {43, T::Bombs, "empMinesFrame", 2, "slotButton43", "Level 2", kGameSoundFiles[42]},
    {44, T::Bombs, "empMinesFrame", 3, "slotButton44", "Level 3", kGameSoundFiles[43]},
    {45, T::Bombs, "empMinesFrame", 4, "slotButton45", "Level 4", kGameSoundFiles[44]},
    {46, T::System, "prizeFrame", 1, "slotButton46", "Prize", kGameSoundFiles[45]},
    {47, T::System, "warpFrame", 1, "slotButton47", "Warp", kGameSoundFiles[46]},
}};

constexpr std::array<FrameInfo, 16> kFrames = {{
    {"bombsFrame", "Bombs", T::Bombs, 480},
    {"empBombsFrame", "Emp Bombs", T::Bombs, 1920},
    {"minesFrame", "Mines", T::Bombs, 3360},
    {"empMinesFrame", "Emp Mines", T::Bombs, 4800},
    {"itemsFrame", "Items", T::ShipDevices, 480},
    {"devicesFrame", "Devices", T::ShipDevices, 2880},
    {"engineFrame", "Engine", T::ShipDevices, 4560},
    {"chatFrame", "Chat", T::System, 480},
    {"flagsFrame", "Flags", T::System, 1200},
    {"victoryFrame", "Victory", T::System, 1920},
    {"explosionsFrame", "Explosions", T::System, 2880},
    {"warpFrame", "Warp", T::System, 4080},
    {"bounceFrame", "Bounce", T::System, 4800},
    {"prizeFrame", "Prize", T::System, 5520},
    {"gunsFrame", "Guns", T::Guns, 480},
    {"multiFireFrame", "Multi-Fire", T::Guns, 1680},
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
