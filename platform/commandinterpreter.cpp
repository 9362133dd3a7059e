#include "commandinterpreter.h"

#include "themefiles.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fstream>
#include <string>
#endif

namespace platform {

namespace {

// Whether a process started detached is still at work. It is no child of
// ours, so it is watched by its id; a zombie waiting for its reaper counts as
// ended.
bool stillRunning(qint64 pid)
{
#ifdef _WIN32
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
#else
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const size_t close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'Z';
#endif
}

} // namespace

vesk::Result<CommandInterpreter::End> SystemCommandInterpreter::run(const std::string &batchPath,
                                                                    const std::string &workingDirectory,
                                                                    std::chrono::milliseconds limit)
{
    const QString batchFile = QFile::decodeName(QByteArray::fromStdString(batchPath));
    QProcess process;
    process.setWorkingDirectory(QFile::decodeName(QByteArray::fromStdString(workingDirectory)));
#ifdef _WIN32
    // The command line carries no path: 1.bat is found in the working directory.
    Q_UNUSED(batchFile)
    process.setProgram(QString::fromLatin1(vesk::kBatchInterpreter));
    process.setNativeArguments(QString::fromLatin1(vesk::kBatchInterpreterArguments));
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments *args) { args->flags |= CREATE_NO_WINDOW; });
#else
    process.setProgram(m_runner.empty() ? QCoreApplication::applicationFilePath()
                                        : QFile::decodeName(QByteArray::fromStdString(m_runner)));
    process.setArguments({QString::fromLatin1(kRunBatchArgument), batchFile});
#endif
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return vesk::Status::failure(vesk::ErrorCode::Io, "cannot start " + batchPath + ": "
                                                              + process.errorString().toLocal8Bit().toStdString());

    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    QElapsedTimer waited;
    waited.start();
    End end = End::Finished;
    while (stillRunning(pid)) {
        if (waited.elapsed() >= limit.count()) {
            end = End::StillRunning;
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    QGuiApplication::restoreOverrideCursor();
    return end;
}

} // namespace platform
