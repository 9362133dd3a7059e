#pragma once

#include <QString>

namespace platform {

// Starts a batch file as a process of its own: hidden, not waited for, and
// outliving the program that started it.
class CommandInterpreter
{
public:
    virtual ~CommandInterpreter() = default;
    // False, with the reason in *error, when the process cannot be started.
    virtual bool start(const QString &batchFile, const QString &workingDirectory, QString *error) = 0;
};

// On Windows the system's cmd.exe. Elsewhere there is no such interpreter, so
// the running program starts a second copy of itself with kRunBatchArgument
// and the batch file; its main() must hand that to the batch runner before it
// opens any window.
class SystemCommandInterpreter : public CommandInterpreter
{
public:
    bool start(const QString &batchFile, const QString &workingDirectory, QString *error) override;
};

inline constexpr const char *kRunBatchArgument = "--run-batch";

} // namespace platform
