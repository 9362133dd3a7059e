#include "waveformpicture.h"

#include <algorithm>
#include <cmath>

namespace {

// `colour` two thirds of the way to white.
COLORREF light(COLORREF colour)
{
    return RGB((GetRValue(colour) + 2 * 255) / 3, (GetGValue(colour) + 2 * 255) / 3, (GetBValue(colour) + 2 * 255) / 3);
}

} // namespace

void drawWaveform(HDC dc, const RECT &box, const std::vector<vesk::Waveform::Column> &columns,
                  const std::function<double(int x)> &level, const std::function<bool(int x)> &kept)
{
    const COLORREF strong = GetSysColor(COLOR_HIGHLIGHT), grey = GetSysColor(COLOR_BTNSHADOW);
    // By kept or not, then body or peaks.
    HPEN pens[2][2] = {{CreatePen(PS_SOLID, 1, grey), CreatePen(PS_SOLID, 1, light(grey))},
                       {CreatePen(PS_SOLID, 1, strong), CreatePen(PS_SOLID, 1, light(strong))}};
    const HGDIOBJ oldPen = SelectObject(dc, pens[1][0]);
    const double middle = (box.top + box.bottom) / 2.0, half = (box.bottom - box.top) / 2.0;
    const int width = std::min<int>(static_cast<int>(columns.size()), box.right - box.left);
    for (int x = 0; x < width; ++x) {
        const vesk::Waveform::Column &column = columns[static_cast<std::size_t>(x)];
        const double scale = level ? level(x) : 1.0;
        const auto y = [&](double value) {
            return static_cast<int>(std::lround(middle - std::clamp(value * scale, -1.0, 1.0) * half));
        };
        const bool shown = !kept || kept(x);
        SelectObject(dc, pens[shown][1]);
        MoveToEx(dc, box.left + x, y(column.maximum), nullptr);
        LineTo(dc, box.left + x, y(column.minimum) + 1);
        SelectObject(dc, pens[shown][0]);
        MoveToEx(dc, box.left + x, y(column.rms), nullptr);
        LineTo(dc, box.left + x, y(-column.rms) + 1);
    }
    SelectObject(dc, oldPen);
    for (auto &byKind : pens) {
        for (HPEN pen : byKind)
            DeleteObject(pen);
    }
}
