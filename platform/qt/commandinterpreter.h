#pragma once

#include "status.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include <QProcess>

namespace platform {

// Runs a batch file as a process of its own, hidden, and waits for it while
// the windows keep painting. A batch still running when the wait ends is
// waited for again with waitForEnd().
class CommandInterpreter
{
public:
    enum class End {
        Finished,     // the batch process has ended
        StillRunning, // the limit passed first
    };

    virtual ~CommandInterpreter() = default;
    // A failure names the batch file and the reason when the process cannot
    // be started.
    virtual vesk::Result<End> run(const std::string &batchFile, const std::string &workingDirectory,
                                  std::chrono::milliseconds limit)
        = 0;
    // Waits, however long it takes, for the batch that run() left running.
    virtual void waitForEnd() = 0;
};

// On Windows the system's cmd.exe. Elsewhere there is no such interpreter, so
// the running program starts a second copy of itself with kRunBatchArgument
// and the batch file; its main() must hand that to the batch runner before it
// opens any window.
class SystemCommandInterpreter final : public CommandInterpreter
{
public:
    // `runner`, where there is no cmd.exe: the program started with
    // kRunBatchArgument; by default the running program itself.
    explicit SystemCommandInterpreter(std::string runner = {}) : m_runner(std::move(runner)) {}

    ~SystemCommandInterpreter() override;

    vesk::Result<End> run(const std::string &batchFile, const std::string &workingDirectory,
                          std::chrono::milliseconds limit) override;
    void waitForEnd() override;

private:
    // Waits on the process itself (not on an id that may be reused) while
    // the windows keep painting; true when it ended within `limit`.
    bool waitOnProcess(std::optional<std::chrono::milliseconds> limit);

    std::string m_runner;
    std::unique_ptr<QProcess> m_process;
};

inline constexpr const char *kRunBatchArgument = "--run-batch";

} // namespace platform
