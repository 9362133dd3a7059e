// The yardstick for program start: the least a Qt program of this kind
// shows, a main window with a tab widget, with a sound effect ready.
#include <QApplication>
#include <QMainWindow>
#include <QSoundEffect>
#include <QTabWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QTabWidget);
    QSoundEffect effect;
    window.show();
    return app.exec();
}
