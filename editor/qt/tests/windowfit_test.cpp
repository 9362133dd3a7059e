// Every window of both programs opens whole on the screen's free area at the
// scale and screen size the test is run with (QT_SCALE_FACTOR, and the
// offscreen screen of VESK_TEST_SCREEN): where it does not fit, it shrinks
// to that area and each of its controls can be scrolled fully into view.
#include "aboutbox.h"
#include "fakedialogs.h"
#include "installerwindow.h"
#include "mainwindow.h"
#include "packagewindow.h"
#include "settingswindow.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class WindowFitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyWindowOpensWholeOnTheScreen();
};

namespace {

// Each control the player works with, brought into view, lies whole in the window.
void checkControlsReachable(QWidget *window, const char *name)
{
    auto *scroll = window->findChild<QScrollArea *>(QStringLiteral("screenFit"));
    const QRect inside
        = scroll ? QRect(scroll->viewport()->mapTo(window, QPoint(0, 0)), scroll->viewport()->size()) : window->rect();
    for (QWidget *control : window->findChildren<QWidget *>()) {
        const bool worked = qobject_cast<QAbstractButton *>(control) || qobject_cast<QLineEdit *>(control);
        if (!worked || !control->isVisibleTo(window))
            continue;
        if (scroll) {
            const QRect at(control->mapTo(scroll->widget(), QPoint(0, 0)), control->size());
            scroll->ensureVisible(at.center().x(), at.center().y(), at.width() / 2 + 1, at.height() / 2 + 1);
        }
        const QRect shown(control->mapTo(window, QPoint(0, 0)), control->size());
        // One larger than the window fills it in that direction (but for
        // the pixel or two scrolling leaves on a side).
        const QRect seen = shown.intersected(inside);
        const auto fills
            = [](int seenPart, int part, int room) { return part <= room ? seenPart == part : seenPart >= room - 2; };
        const bool whole = fills(seen.width(), shown.width(), inside.width())
                           && fills(seen.height(), shown.height(), inside.height());
        QVERIFY2(whole, qPrintable(QStringLiteral("%1: %2 at %3,%4 %5x%6 in %7x%8")
                                       .arg(QString::fromLatin1(name), control->objectName())
                                       .arg(shown.x())
                                       .arg(shown.y())
                                       .arg(shown.width())
                                       .arg(shown.height())
                                       .arg(inside.width())
                                       .arg(inside.height())));
    }
}

} // namespace

void WindowFitTest::everyWindowOpensWholeOnTheScreen()
{
    QTemporaryDir dir;
    FakeDialogs dialogs;
    FakeSound sound;
    FakeInterpreter interpreter;
    MainWindow main(dir.path(), dialogs, sound);
    const QRect area = main.screen()->availableGeometry();
    qInfo("screen's free area %dx%d at scale %s", area.width(), area.height(), qgetenv("QT_SCALE_FACTOR").constData());

    const std::pair<const char *, std::function<QWidget *()>> windows[] = {
        {"MainWindow", [&]() -> QWidget * { return &main; }},
        {"SettingsWindow", [&]() -> QWidget * { return main.settingsWindow(); }},
        {"AboutBox", [&]() -> QWidget * { return new AboutBox(&main); }},
        {"PackageWindow",
         [&]() -> QWidget * { return new PackageWindow(&main, dir.path(), dialogs, [] { return vesk::Project(); }); }},
        {"InstallerWindow", [&]() -> QWidget * { return new InstallerWindow(dir.path(), dialogs, interpreter); }},
    };
    for (const auto &[name, make] : windows) {
        QWidget *window = make();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY2(area.contains(window->frameGeometry()), name);
        checkControlsReachable(window, name);
        if (window != &main && window != main.settingsWindow())
            delete window;
    }
}

QTEST_MAIN(WindowFitTest)
#include "windowfit_test.moc"
