#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// What a program's command line asks for, read before any window opens.
struct StartOptions
{
    std::optional<int> exitNow; // --help, --version or a wrong option: end with this code
    QStringList files;          // the positional arguments
    QString runBatch;           // vpak: the batch file to carry out in place of a window
};

struct ProgramInfo
{
    const char *name;        // "vesk"
    const char *description; // one sentence for --help
    const char *positional;  // "FILE.vsk", or null for none
    const char *positionalHelp;
    bool runsBatches; // takes the hidden --run-batch FILE
};

// --help and --version print to standard output and end with 0; an unknown
// option or a surplus argument prints one line to standard error and ends
// with 2. None of them needs a display.
StartOptions readCommandLine(int argc, char *argv[], const ProgramInfo &program);

// Whether the windows can be shown: the platform Qt was asked for needs no
// display (offscreen, used by the tests), or an X or Wayland display can be
// opened. Otherwise one line on standard error, such as "vesk: cannot open a
// display (DISPLAY is not set): start it from a desktop session", and false.
bool displayAvailable(const char *programName);
// Once the application has its own connection to the display: the one that
// found it open is closed.
void displayOpened();

} // namespace platform
