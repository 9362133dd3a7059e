#include "controls.h"
#include "dialogs.h"
#include "localtext.h"
#include "mainwindow.h"
#include "paths.h"
#include "settingslocation.h"
#include "soundplayer.h"
#include "startup.h"

#include <QApplication>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>

int main(int argc, char *argv[])
{
    // The command line first: --help and --version need no display.
    const platform::StartOptions options
        = platform::readCommandLine(argc, argv,
                                    {"vesk",
                                     "Edits sound themes for Kestrova: a wave file for each of the game's 47 "
                                     "sounds, applied to the game or built into a theme package.",
                                     "FILE.vsk", "A theme project to open.", false});
    if (options.exitNow)
        return *options.exitNow;
    if (!platform::displayAvailable("vesk"))
        return 1;

    QApplication app(argc, argv);
    platform::displayOpened();
    QApplication::setApplicationName(QStringLiteral("vesk"));
    // No display name: the platform would append it to every window title,
    // and the titles are the windows' own captions. The desktop learns the
    // program's name from its desktop entry, named here.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Vesk"));
    platform::useLayoutFont();

    platform::StandardDialogs dialogs(QStringLiteral("VESK"));
    platform::SoundPlayer sound;
    const std::string programDirectory = vesk::programDirectory();
    const std::string settings = vesk::settingsFileFor(
        programDirectory, platform::toLocal(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
    MainWindow window(platform::fromLocal(programDirectory), dialogs, sound, nullptr, platform::fromLocal(settings));
    window.show();
    // The icon comes from the desktop's theme, or the one built in; it is
    // looked up once the window shows, off the start's path.
    QTimer::singleShot(0, [] {
        QApplication::setWindowIcon(
            QIcon::fromTheme(QStringLiteral("org.example.Vesk"), QIcon(QStringLiteral(":/org.example.Vesk.svg"))));
    });
    window.startRecovery();
    window.openFromCommandLine(options.files);
    return app.exec();
}
