#include "commandinterpreter.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {

SystemCommandInterpreter::~SystemCommandInterpreter()
{
    // The batch is left to finish on its own when the program ends.
    if (m_process && m_process->state() != QProcess::NotRunning)
        static_cast<void>(m_process.release());
}

vesk::Result<CommandInterpreter::End> SystemCommandInterpreter::run(const std::string &batchPath,
                                                                    const std::string &workingDirectory,
                                                                    std::chrono::milliseconds limit)
{
    const QString batchFile = QFile::decodeName(QByteArray::fromStdString(batchPath));
    m_process = std::make_unique<QProcess>();
    QProcess &process = *m_process;
    process.setWorkingDirectory(QFile::decodeName(QByteArray::fromStdString(workingDirectory)));
#ifdef _WIN32
    // The command line carries no path: the batch file is found in the
    // working directory, by its name alone.
    process.setProgram(QStringLiteral("cmd.exe"));
    process.setNativeArguments(QStringLiteral("/c ") + QFileInfo(batchFile).fileName());
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
    process.start();
    if (!process.waitForStarted(-1))
        return vesk::Status::failure(vesk::ErrorCode::Io, "cannot start " + batchPath + ": "
                                                              + process.errorString().toLocal8Bit().toStdString());
    return waitOnProcess(limit) ? End::Finished : End::StillRunning;
}

void SystemCommandInterpreter::waitForEnd()
{
    if (m_process)
        waitOnProcess(std::nullopt);
}

bool SystemCommandInterpreter::waitOnProcess(std::optional<std::chrono::milliseconds> limit)
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    QElapsedTimer waited;
    waited.start();
    bool ended = true;
    while (!m_process->waitForFinished(10)) {
        if (m_process->state() == QProcess::NotRunning)
            break;
        if (limit && waited.elapsed() >= limit->count()) {
            ended = false;
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QGuiApplication::restoreOverrideCursor();
    return ended;
}

} // namespace platform
