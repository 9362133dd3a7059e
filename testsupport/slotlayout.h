#pragma once

// Where each slot button must lie, in pixels at `dpi` from the corner of
// the slot tabs, by the window tables: the frame's offset and the
// button's, each rounded on its own. Both builds' layout tests hold their
// windows to it.
#include "editorlayout.h"

#include <map>
#include <string>

struct PixelRect
{
    int left, top, width, height;
    bool operator==(const PixelRect &o) const
    {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

inline std::map<std::string, PixelRect> expectedSlotButtons(int dpi = 96)
{
    const auto px = [dpi](int twips) { return vesk::pixelsAt(twips, dpi); };
    std::map<std::string, PixelRect> rects;
    for (const vesk::TabInfo &tab : vesk::innerTabs()) {
        std::map<std::string, vesk::ControlRow> frames;
        for (const vesk::ControlRow &row : vesk::slotTabControls(tab.tab)) {
            if (row.kind == vesk::Kind::Frame) {
                frames.emplace(row.name, row);
                continue;
            }
            const vesk::ControlRow &frame = frames.at(row.parent);
            rects[row.name]
                = {px(frame.left) + px(row.left), px(frame.top) + px(row.top), px(row.width), px(row.height)};
        }
    }
    return rects;
}
