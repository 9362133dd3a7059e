#include "editorlayout.h"
#include "slotcatalogue.h"
#include "texttools.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using vesk::slotInfo;

TEST(SlotCatalogue, indexesRunFromOneToFortySevenInOrder)
{
    int expected = 1;
    for (const vesk::SlotInfo &slot : vesk::slotCatalogue())
        EXPECT_EQ(slot.index, expected++);
}

TEST(SlotCatalogue, buttonsAndGameFilesAreUnique)
{
    std::set<std::string> buttons, files;
    for (const vesk::SlotInfo &slot : vesk::slotCatalogue()) {
        EXPECT_TRUE(buttons.insert(slot.button).second) << slot.button;
        EXPECT_TRUE(files.insert(slot.gameFile).second) << slot.gameFile;
    }
}

// Screen order is not index order.
TEST(SlotCatalogue, rowsOfBombsAndMinesEndWithTheLaterSlots)
{
    EXPECT_EQ(slotInfo(35).row, 4);
    EXPECT_STREQ(slotInfo(35).frame, "bombsFrame");
    EXPECT_EQ(slotInfo(36).row, 4);
    EXPECT_STREQ(slotInfo(36).frame, "minesFrame");
    EXPECT_EQ(slotInfo(15).row, 6);
    EXPECT_EQ(slotInfo(24).row, 7) << "Rocket 2 sits between Rocket 1 and Portal";
    EXPECT_EQ(slotInfo(16).row, 8);
}

// Each slot's button is named by its slot, whatever its place on screen.
TEST(SlotCatalogue, buttonsAreNamedByTheirSlot)
{
    for (const vesk::SlotInfo &slot : vesk::slotCatalogue())
        EXPECT_EQ(slot.button, "slotButton" + std::to_string(slot.index));
    EXPECT_STREQ(slotInfo(32).caption, "Explode 0");
    EXPECT_EQ(slotInfo(32).row, 1);
    EXPECT_STREQ(slotInfo(34).gameFile, "explode2.wa2");
}

TEST(SlotCatalogue, gameFilesThatDoNotFollowTheirCaptions)
{
    EXPECT_STREQ(slotInfo(16).gameFile, "wrppnt.wa2");
    EXPECT_STREQ(slotInfo(21).gameFile, "off.wa2");
    EXPECT_STREQ(slotInfo(27).gameFile, "Alarm.wa2");
    EXPECT_STREQ(slotInfo(28).gameFile, "flag.wa2");
    EXPECT_STREQ(slotInfo(30).gameFile, "victory.wa2");
    EXPECT_STREQ(slotInfo(31).gameFile, "victoryl.wa2");
    EXPECT_STREQ(slotInfo(1).gameFile, "bomb1.wa2");
    EXPECT_STREQ(slotInfo(47).gameFile, "warp.wa2");
}

TEST(SlotCatalogue, framesHoldTheirSlotsAndFitAboveTheNextFrame)
{
    // Every row of every frame holds exactly one slot.
    int rows = 0;
    for (const vesk::FrameInfo &frame : vesk::frameCatalogue())
        rows += vesk::frameRowCount(frame.name);
    EXPECT_EQ(rows, vesk::kSlotCount);
    EXPECT_EQ(vesk::frameRowCount("itemsFrame"), 8);
    EXPECT_EQ(vesk::frameRowCount("explosionsFrame"), 3);

    const auto &frames = vesk::frameCatalogue();
    for (size_t i = 0; i + 1 < frames.size(); ++i) {
        if (frames[i].tab != frames[i + 1].tab)
            continue;
        const int bottom = frames[i].top + 375 + 240 * vesk::frameRowCount(frames[i].name);
        EXPECT_LE(bottom, frames[i + 1].top) << frames[i].name << " runs into " << frames[i + 1].name;
    }
}

TEST(SlotCatalogue, onlyTheExactWordNoneIsAnEmptySlot)
{
    EXPECT_TRUE(vesk::isEmptySlot("none"));
    EXPECT_FALSE(vesk::isEmptySlot("None"));
    EXPECT_FALSE(vesk::isEmptySlot(""));
    EXPECT_FALSE(vesk::isEmptySlot("none "));
}

// Alt and a letter opens one menu, and within a menu one item, in both
// builds: no letter is taken twice, but for the two package items, whose
// captions were given as they are (P then moves between them).
TEST(MenuTable, everyAccessKeyIsTakenOnce)
{
    const auto key = [](const std::string &caption) {
        const std::size_t at = caption.find('&');
        return at == std::string::npos || at + 1 == caption.size() ? '\0' : vesk::asciiLower(caption[at + 1]);
    };
    std::set<char> menus;
    for (const vesk::Menu &menu : vesk::mainMenus()) {
        EXPECT_TRUE(menus.insert(key(menu.caption)).second) << menu.caption;
        std::set<char> items;
        for (const vesk::MenuItem &item : menu.items) {
            if (std::string(item.caption) != "-" && std::string(item.caption) != "Create Theme &Package") {
                EXPECT_TRUE(items.insert(key(item.caption)).second) << menu.caption << ": " << item.caption;
            }
        }
    }
}
