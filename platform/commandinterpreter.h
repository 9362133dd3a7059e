#pragma once

#include "status.h"

#include <string>

namespace platform {

// Starts a batch file as a process of its own: hidden, not waited for, and
// outliving the program that started it.
class CommandInterpreter
{
public:
    virtual ~CommandInterpreter() = default;
    // A failure names the batch file and the reason when the process cannot
    // be started.
    virtual vesk::Status start(const std::string &batchFile, const std::string &workingDirectory) = 0;
};

// On Windows the system's cmd.exe. Elsewhere there is no such interpreter, so
// the running program starts a second copy of itself with kRunBatchArgument
// and the batch file; its main() must hand that to the batch runner before it
// opens any window.
class SystemCommandInterpreter final : public CommandInterpreter
{
public:
    vesk::Status start(const std::string &batchFile, const std::string &workingDirectory) override;
};

inline constexpr const char *kRunBatchArgument = "--run-batch";

} // namespace platform
