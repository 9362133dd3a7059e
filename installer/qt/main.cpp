#include "commandinterpreter.h"
#include "controls.h"
#include "dialogs.h"
#include "installbatch.h"
#include "installerwindow.h"
#include "localtext.h"
#include "packagefile.h"
#include "packagesource.h"
#include "paths.h"
#include "startup.h"

#include <QApplication>

#include <filesystem>
#include <iostream>
#include <optional>

int main(int argc, char *argv[])
{
    const platform::StartOptions options = platform::readCommandLine(
        argc, argv,
        {"vpak",
         "Shows a Kestrova sound theme package and installs it into the game directory: the package in the "
         "installer's own folder, or the one-file package THEME.exe that is given.",
         "THEME.exe", "A theme package made into one file, as the editor builds it beside the package folder.", true});
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
    // A one-file package is checked through and unpacked before the window
    // opens; its folder goes again when the installer ends.
    std::optional<vpak::PackageSource> package
        = options.files.isEmpty() ? std::nullopt : openPackageFile(platform::toLocal(options.files.first()), dialogs);
    if (!options.files.isEmpty() && !package)
        return 1;
    platform::SystemCommandInterpreter interpreter;
    InstallerWindow window(platform::fromLocal(package ? package->directory() : vesk::programDirectory()), dialogs,
                           interpreter);
    window.show();
    return app.exec();
}
