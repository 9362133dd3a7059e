#include "controls.h"
#include "dialogs.h"
#include "frmmain.h"
#include "localtext.h"
#include "paths.h"
#include "settingsfile.h"
#include "soundplayer.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vesk"));
    // No display name: the platform would append it to every window title,
    // and the titles are the windows' own captions. The desktop learns the
    // program's name from its desktop entry.
    platform::useLayoutFont();

    platform::StandardDialogs dialogs(QStringLiteral("VESK"));
    platform::SoundPlayer sound;
    const std::string programDirectory = vesk::programDirectory();
    // An installed editor keeps its settings per user: its own folder is the
    // system's (VESK_INSTALL_BINDIR is the install bin folder of this build).
    const std::string settings
        = vesk::settingsFileFor(programDirectory, VESK_INSTALL_BINDIR,
                                platform::toLocal(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
    frmmain window(platform::fromLocal(programDirectory), dialogs, sound, nullptr, platform::fromLocal(settings));
    window.show();
    window.openFromCommandLine(QApplication::arguments());
    return app.exec();
}
