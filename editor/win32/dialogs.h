#pragma once

#include "editorprocedures.h"
#include "soundediting.h"
#include "win32ui.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// The editor's dialogs in plain Win32, built from the same tables as the Qt
// ones. Each is shown modally over its owner and ends with its window.

// The settings window: OK makes the chosen directory the game directory in force and
// writes it to the settings file.
void showSettings(HINSTANCE instance, HWND owner, int dpi, std::optional<std::string> &gameDirectory,
                  const std::string &settingsFile);

// The about box.
void showAbout(HINSTANCE instance, HWND owner, int dpi);

// The package window: it opens with the project's description; OK keeps what
// it holds (`keepDescription`) and builds the package from it and the
// editor's slots.
void showPackage(HINSTANCE instance, HWND owner, int dpi, const vesk::Editor &editor,
                 const std::string &editorDirectory, vesk::SlotMeasurements *measurements,
                 std::function<void(const vesk::PackageDescription &)> keepDescription);

// The sound window: one slot's sound drawn large, the game's own under it,
// and the player's trim, fades and gain. The edit OK kept; nothing on Cancel
// or Escape. `play` plays a sound as an edit makes it.
using PlayEdited = std::function<void(const std::string &path, const vesk::SoundEdit &edit)>;
std::optional<vesk::SoundEdit> showSoundWindow(HINSTANCE instance, HWND owner, int dpi, vesk::SoundEditing editing,
                                               const PlayEdited &play, const std::function<void()> &stop);

// The 8-point face of every window of the editor.
HFONT editorFont(int dpi);
