// The yardstick for program start and memory: what any window of this kind
// shows, laid out before it is shown: a menu bar, two tabs, 100 labelled
// buttons, and a sound effect ready.
#include <QApplication>
#include <QGridLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSoundEffect>
#include <QTabWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    for (const char *menu : {"&File", "&Options", "&Help"}) {
        QMenu *built = window.menuBar()->addMenu(QString::fromLatin1(menu));
        for (const char *item : {"&Open", "&Save", "E&xit"})
            built->addAction(QString::fromLatin1(item));
    }
    auto *tabs = new QTabWidget;
    for (int t = 0; t < 2; ++t) {
        auto *page = new QWidget;
        auto *grid = new QGridLayout(page);
        for (int b = 0; b < 50; ++b)
            grid->addWidget(new QPushButton(QStringLiteral("Button %1").arg(t * 50 + b)), b / 5, b % 5);
        tabs->addTab(page, QStringLiteral("Tab %1").arg(t + 1));
    }
    window.setCentralWidget(tabs);
    window.adjustSize();
    QSoundEffect effect;
    window.show();
    return app.exec();
}
