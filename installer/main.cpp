#include "commandinterpreter.h"
#include "controls.h"
#include "dialogs.h"
#include "frmmain2.h"
#include "installbatch.h"
#include "localtext.h"
#include "paths.h"

#include <QApplication>

#include <cstring>
#include <filesystem>
#include <iostream>

int main(int argc, char *argv[])
{
    // A second copy of the installer, started to carry out 1.bat where the
    // system has no command interpreter for it. It opens no window.
    if (argc == 3 && std::strcmp(argv[1], platform::kRunBatchArgument) == 0) {
        const vesk::Status ran = vpak::runBatchFile(argv[2], std::filesystem::current_path().string());
        if (!ran.ok())
            std::cerr << ran.error() << '\n';
        return ran.ok() ? 0 : 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lanternkit"));
    platform::useLayoutFont();

    platform::StandardDialogs dialogs(QStringLiteral("Lanternkit"));
    platform::SystemCommandInterpreter interpreter;
    frmmain2 window(platform::fromLocal(vesk::programDirectory()), dialogs, interpreter);
    window.show();
    return app.exec();
}
