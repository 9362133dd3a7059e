#pragma once

#include "editorprocedures.h"
#include "win32ui.h"

#include <memory>
#include <optional>
#include <string>

// The editor's dialogs in plain Win32, built from the same tables as the Qt
// ones. Each is shown modally over its owner and ends with its window.

// frmsettings: OK makes the chosen directory the game directory in force and
// writes it to the settings file.
void showSettings(HINSTANCE instance, HWND owner, int dpi, std::optional<std::string> &gameDirectory,
                  const std::string &settingsFile);

// frmabout.
void showAbout(HINSTANCE instance, HWND owner, int dpi);

// frmpackage: OK builds the package from what it holds and the editor's slots.
void showPackage(HINSTANCE instance, HWND owner, int dpi, const vesk::Editor &editor,
                 const std::string &editorDirectory);

// The 8-point face of every window of the editor.
HFONT editorFont(int dpi);
