#pragma once

#include "waveform.h"

#include <windows.h>

#include <functional>
#include <vector>

// A sound's picture at its true level, full scale being the box's height:
// one column per pixel from its summary, the peaks light and the body (RMS)
// strong. `level` scales column x (fades and gain, 1 without it); a column
// `kept` says is not is drawn grey, as a part cut away.
void drawWaveform(HDC dc, const RECT &box, const std::vector<vesk::Waveform::Column> &columns,
                  const std::function<double(int x)> &level = {}, const std::function<bool(int x)> &kept = {});
