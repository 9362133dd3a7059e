#include "controls.h"
#include "dialogs.h"
#include "frmmain.h"
#include "localtext.h"
#include "paths.h"
#include "soundplayer.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VESK"));
    platform::useLayoutFont();

    platform::StandardDialogs dialogs(QStringLiteral("VESK"));
    platform::SoundPlayer sound;
    frmmain window(platform::fromLocal(vesk::programDirectory()), dialogs, sound);
    window.show();
    return app.exec();
}
