#pragma once

#include "slotcatalogue.h"

class QWidget;

namespace platform {
class Dialogs;
}

// A chosen file that is no RIFF WAVE file may not play in the game. Before
// Convert and before a package build the player sees every such slot in one
// question (caption "VESK", Yes / No). True when there is none, or Yes.
bool mayUseNonWaveFiles(QWidget *parent, platform::Dialogs &dialogs, const vesk::SlotValues &slots);
