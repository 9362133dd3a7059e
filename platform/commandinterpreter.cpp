#include "commandinterpreter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {

vesk::Status SystemCommandInterpreter::start(const std::string &batchPath, const std::string &workingDirectory)
{
    const QString batchFile = QFile::decodeName(QByteArray::fromStdString(batchPath));
    QProcess process;
    process.setWorkingDirectory(QFile::decodeName(QByteArray::fromStdString(workingDirectory)));
#ifdef _WIN32
    process.setProgram(QStringLiteral("cmd.exe"));
    process.setArguments({QStringLiteral("/c"), QDir::toNativeSeparators(batchFile)});
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments *args) { args->flags |= CREATE_NO_WINDOW; });
#else
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setArguments({QString::fromLatin1(kRunBatchArgument), batchFile});
#endif
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (process.startDetached())
        return vesk::Status::success();
    return vesk::Status::failure(vesk::ErrorCode::Io, "cannot start " + batchPath + ": "
                                                          + process.errorString().toLocal8Bit().toStdString());
}

} // namespace platform
