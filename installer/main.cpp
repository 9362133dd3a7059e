#include "commandinterpreter.h"
#include "controls.h"
#include "dialogs.h"
#include "frmmain2.h"
#include "installbatch.h"
#include "localtext.h"
#include "paths.h"
#include "startup.h"

#include <QApplication>

#include <filesystem>
#include <iostream>

int main(int argc, char *argv[])
{
    const platform::StartOptions options = platform::readCommandLine(
        argc, argv,
        {"vpak", "Shows a Kestrova sound theme package and installs it into the game directory.", nullptr, nullptr,
         true});
    if (options.exitNow)
        return *options.exitNow;
    // A second copy of the installer, started to carry out 1.bat where the
    // system has no command interpreter for it. It opens no window and needs
    // no display.
    if (!options.runBatch.isEmpty()) {
        const vesk::Status ran
            = vpak::runBatchFile(platform::toLocal(options.runBatch), std::filesystem::current_path().string());
        if (!ran.ok())
            std::cerr << ran.error() << '\n';
        return ran.ok() ? 0 : 1;
    }
    if (!platform::displayAvailable("vpak"))
        return 1;

    QApplication app(argc, argv);
    platform::displayOpened();
    QApplication::setApplicationName(QStringLiteral("Lanternkit"));
    platform::useLayoutFont();

    platform::StandardDialogs dialogs(QStringLiteral("Lanternkit"));
    platform::SystemCommandInterpreter interpreter;
    frmmain2 window(platform::fromLocal(vesk::programDirectory()), dialogs, interpreter);
    window.show();
    return app.exec();
}
