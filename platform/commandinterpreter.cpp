#include "commandinterpreter.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {

bool SystemCommandInterpreter::start(const QString &batchFile, const QString &workingDirectory, QString *error)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
#ifdef _WIN32
    process.setProgram(QStringLiteral("cmd.exe"));
    process.setArguments({QStringLiteral("/c"), QDir::toNativeSeparators(batchFile)});
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *args) {
        args->flags |= CREATE_NO_WINDOW;
    });
#else
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setArguments({QString::fromLatin1(kRunBatchArgument), batchFile});
#endif
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (process.startDetached())
        return true;
    if (error)
        *error = process.errorString();
    return false;
}

} // namespace platform
