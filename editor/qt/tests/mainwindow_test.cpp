#include "aboutbox.h"
#include "fakedialogs.h"
#include "mainwindow.h"
#include "settingsfile.h"
#include "settingslocation.h"
#include "settingswindow.h"
#include "slotlayout.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

class MainWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    // Start-up
    void withoutSettingsFile_asksForTheGameDirectoryOnce();
    void withSettingsFile_putsTheStoredTextIntoTheSettingsWindow();
    void emptySettingsFile_asksForTheGameDirectory();
    void startsWithEverySlotNoneAndSlotOneSelected();
    void menusCarryTheirCaptions();
    void slotButtonsLieWhereTheTablesPlaceThem();

    // Slots
    void slotButton_selectsTheSlotByCatalogueIndex();
    void addFileRightAfterStart_goesToSlotOne();
    void addFile_cancelled_changesNothing();
    void fileDialog_opensWithTheLastChosenName();
    void removeFile_keepsTheFileNameBox_andPlayStillPlaysIt();
    void playBeforeAnySelection_passesAnEmptyName_andStopPassesEmpty();
    void markupInAPath_isShownAsTyped();

    // Windows
    void about_showsTheVersionAndClosesOnOk();
    void settings_isShownModallyAndDestroyedOnClose();
    void createPackage_opensThePackageWindowModally();
    void exit_closesTheWindowAndTheHiddenSettingsWindow();

    // Installed
    void installedEditor_keepsItsSettingsPerUser();
    void commandLineProject_isOpenedAsOpenOpensIt();

private:
    std::unique_ptr<MainWindow> makeWindow();
    template<typename T>
    T *find(const QString &name) const
    {
        return findControl<T>(m_window.get(), name);
    }
    void click(const QString &button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    void writeSettings(const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_programDir;
    FakeDialogs m_dialogs;
    FakeSound m_sound;
    std::unique_ptr<MainWindow> m_window;
};

void MainWindowTest::init()
{
    m_programDir = std::make_unique<QTemporaryDir>();
    m_dialogs = FakeDialogs();
    m_sound = FakeSound();
}

void MainWindowTest::cleanup()
{
    m_window.reset();
}

std::unique_ptr<MainWindow> MainWindowTest::makeWindow()
{
    auto window = std::make_unique<MainWindow>(m_programDir->path(), m_dialogs, m_sound);
    window->show();
    return window;
}

void MainWindowTest::writeSettings(const QByteArray &bytes)
{
    QFile file(m_programDir->filePath(QStringLiteral("vesk.cfg")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void MainWindowTest::withoutSettingsFile_asksForTheGameDirectoryOnce()
{
    m_window = makeWindow();
    QCOMPARE(m_dialogs.messages,
             QStringList{QStringLiteral("Please go to Options Settings and select your Kestrova directory")});
    QCOMPARE(m_dialogs.captions, QStringList{QStringLiteral("VESK")});
    QVERIFY2(!m_window->findChild<SettingsWindow *>(), "the settings window is not made when nothing was read");
}

void MainWindowTest::withSettingsFile_putsTheStoredTextIntoTheSettingsWindow()
{
    // A directory that does not exist: the settings window falls back on its
    // own, but the stored text wins.
    writeSettings("/no/such/kestrova\r\n");
    m_window = makeWindow();
    QVERIFY(m_dialogs.messages.isEmpty());
    QCOMPARE(m_window->gameDirectory(), std::optional<std::string>("/no/such/kestrova"));
    QCOMPARE(m_window->settingsWindow()->pathBox->text(), QStringLiteral("/no/such/kestrova"));
}

// The Win32 build is held to the same rectangles (veskwindow_test).
void MainWindowTest::slotButtonsLieWhereTheTablesPlaceThem()
{
    m_window = makeWindow();
    auto *tabs = find<QWidget>(QStringLiteral("slotTabs"));
    for (const auto &[name, expected] : expectedSlotButtons()) {
        auto *button = find<QPushButton>(QString::fromLatin1(name.c_str()));
        const QPoint at = button->mapTo(tabs, QPoint(0, 0));
        const PixelRect shown{at.x(), at.y(), button->width(), button->height()};
        QVERIFY2(shown == expected, name.c_str());
    }
}

void MainWindowTest::emptySettingsFile_asksForTheGameDirectory()
{
    writeSettings("");
    m_window = makeWindow();
    QCOMPARE(m_dialogs.messages.size(), 1);
}

void MainWindowTest::startsWithEverySlotNoneAndSlotOneSelected()
{
    m_window = makeWindow();
    for (int k = 1; k <= 47; ++k)
        QCOMPARE(m_window->slotValue(k), QStringLiteral("none"));
    QCOMPARE(m_window->selectedSlot(), 1);
    QVERIFY(find<QLineEdit>(QStringLiteral("fileNameBox"))->text().isEmpty());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Kestrova Theme Editor (VESK)"));
}

// The menu bar as the player sees it, every menu and item with its
// shortcut: an item gone or moved fails here.
void MainWindowTest::menusCarryTheirCaptions()
{
    m_window = makeWindow();
    QStringList shown;
    for (QAction *menu : m_window->menuBar()->actions()) {
        shown << menu->text();
        for (QAction *item : menu->menu()->actions())
            shown << QStringLiteral("  ") + (item->isSeparator() ? QStringLiteral("-") : item->text())
                         + (item->shortcut().isEmpty() ? QString()
                                                       : QStringLiteral("\t") + item->shortcut().toString());
    }
    QCOMPARE(shown, (QStringList{
                        QStringLiteral("&File"),
                        QStringLiteral("  &Open\tCtrl+O"),
                        QStringLiteral("  Open &Package..."),
                        QStringLiteral("  &Save\tCtrl+S"),
                        QStringLiteral("  Recen&t Projects"),
                        QStringLiteral("  -"),
                        QStringLiteral("  &Convert To Wa2 + Bm2"),
                        QStringLiteral("  Create Theme &Package"),
                        QStringLiteral("  &Restore Original Sounds"),
                        QStringLiteral("  -"),
                        QStringLiteral("  E&xit\tCtrl+Q"),
                        QStringLiteral("&Edit"),
                        QStringLiteral("  &Undo\tCtrl+Z"),
                        QStringLiteral("  &Redo\tCtrl+Y"),
                        QStringLiteral("&Sound"),
                        QStringLiteral("  &Edit Sound...\tCtrl+E"),
                        QStringLiteral("  &Match Loudness to the Game"),
                        QStringLiteral("  &Browse Sounds...\tCtrl+B"),
                        QStringLiteral("  &Take Sounds from Packages..."),
                        QStringLiteral("&Options"),
                        QStringLiteral("  &Settings"),
                        QStringLiteral("&Help"),
                        QStringLiteral("  &About"),
                    }));
}

void MainWindowTest::slotButton_selectsTheSlotByCatalogueIndex()
{
    m_window = makeWindow();
    m_window->setSlotValue(32, QStringLiteral("/sounds/boom.wav"));
    click(QStringLiteral("slotButton32")); // "Explode 0" is slot 32
    QCOMPARE(m_window->selectedSlot(), 32);
    QCOMPARE(find<QLineEdit>(QStringLiteral("fileNameBox"))->text(), QStringLiteral("/sounds/boom.wav"));
    click(QStringLiteral("slotButton24")); // "Rocket 2" is slot 24
    QCOMPARE(m_window->selectedSlot(), 24);
    QCOMPARE(find<QLineEdit>(QStringLiteral("fileNameBox"))->text(), QStringLiteral("none"));
}

void MainWindowTest::addFileRightAfterStart_goesToSlotOne()
{
    m_window = makeWindow();
    m_dialogs.answers.enqueue(QStringLiteral("/sounds/bomb.wav"));
    click(QStringLiteral("addFileButton"));
    QCOMPARE(m_window->slotValue(1), QStringLiteral("/sounds/bomb.wav"));
    QCOMPARE(find<QLineEdit>(QStringLiteral("fileNameBox"))->text(), QStringLiteral("/sounds/bomb.wav"));
    QCOMPARE(m_dialogs.requests.size(), 1);
    QVERIFY(!m_dialogs.requests[0].save);
    QCOMPARE(m_dialogs.requests[0].filter,
             QStringLiteral("Sound Files (*.wav;*.mp3;*.ogg;*.oga;*.opus;*.flac;*.aif;*.aiff)|*.wav;*.mp3;*.ogg;*.oga;"
                            "*.opus;*.flac;*.aif;*.aiff|Wave Files *.wav|*.wav"));
}

void MainWindowTest::addFile_cancelled_changesNothing()
{
    m_window = makeWindow();
    click(QStringLiteral("slotButton5")); // slot 5
    m_dialogs.answers.enqueue(std::nullopt);
    click(QStringLiteral("addFileButton"));
    QCOMPARE(m_window->slotValue(5), QStringLiteral("none"));
    QCOMPARE(find<QLineEdit>(QStringLiteral("fileNameBox"))->text(), QStringLiteral("none"));
}

void MainWindowTest::fileDialog_opensWithTheLastChosenName()
{
    m_window = makeWindow();
    m_dialogs.answers.enqueue(QStringLiteral("/sounds/first.wav"));
    click(QStringLiteral("addFileButton"));
    m_dialogs.answers.enqueue(std::nullopt);
    click(QStringLiteral("addFileButton"));
    QCOMPARE(m_dialogs.requests.size(), 2);
    QVERIFY(m_dialogs.requests[0].fileName.isEmpty());
    QCOMPARE(m_dialogs.requests[1].fileName, QStringLiteral("/sounds/first.wav"));
}

void MainWindowTest::removeFile_keepsTheFileNameBox_andPlayStillPlaysIt()
{
    m_window = makeWindow();
    click(QStringLiteral("slotButton47")); // slot 47
    m_dialogs.answers.enqueue(QStringLiteral("/sounds/warp.wav"));
    click(QStringLiteral("addFileButton"));
    click(QStringLiteral("removeFileButton"));
    QCOMPARE(m_window->slotValue(47), QStringLiteral("none"));
    QCOMPARE(find<QLineEdit>(QStringLiteral("fileNameBox"))->text(), QStringLiteral("/sounds/warp.wav"));
    click(QStringLiteral("playButton"));
    QCOMPARE(m_sound.played, QStringList{QStringLiteral("/sounds/warp.wav")});
}

void MainWindowTest::playBeforeAnySelection_passesAnEmptyName_andStopPassesEmpty()
{
    m_window = makeWindow();
    click(QStringLiteral("playButton"));
    click(QStringLiteral("slotButton1"));
    click(QStringLiteral("playButton"));
    click(QStringLiteral("stopButton"));
    QCOMPARE(m_sound.played, (QStringList{QString(), QStringLiteral("none"), QString()}));
    // Where no sound can be played at all, Play says why; Stop says nothing.
    const qsizetype before = m_dialogs.messages.size();
    m_sound.why = "No sound can be played: the reason.";
    click(QStringLiteral("playButton"));
    click(QStringLiteral("stopButton"));
    QCOMPARE(m_dialogs.messages.mid(before), QStringList{QStringLiteral("No sound can be played: the reason.")});
}

void MainWindowTest::markupInAPath_isShownAsTyped()
{
    m_window = makeWindow();
    const QString path = QStringLiteral("/sounds/<b>loud</b> <img src=\"/dev/zero\">.wav");
    m_dialogs.answers.enqueue(path);
    click(QStringLiteral("addFileButton"));
    auto *label = find<QLabel>(MainWindow::slotLabelName(1));
    QCOMPARE(label->text(), path);
    QCOMPARE(label->textFormat(), Qt::PlainText);
}

void MainWindowTest::about_showsTheVersionAndClosesOnOk()
{
    m_window = makeWindow();
    QString version;
    const QPointer<QWidget> seen
        = answerModal([&] { find<QAction>(QStringLiteral("aboutItem"))->trigger(); },
                      [&](QWidget *about) {
                          version = findControl<QLabel>(about, QStringLiteral("versionLabel"))->text();
                          clickButton(about, QStringLiteral("okButton"));
                      });
    QCOMPARE(version, QStringLiteral("Version 1.02"));
    QTRY_VERIFY(seen.isNull());
}

void MainWindowTest::settings_isShownModallyAndDestroyedOnClose()
{
    writeSettings(QDir::tempPath().toLocal8Bit() + "\r\n");
    m_window = makeWindow();
    bool wasSettings = false;
    const QPointer<QWidget> seen = answerModal([&] { find<QAction>(QStringLiteral("settingsItem"))->trigger(); },
                                               [&](QWidget *settings) {
                                                   wasSettings = qobject_cast<SettingsWindow *>(settings) != nullptr;
                                                   clickButton(settings, QStringLiteral("cancelButton"));
                                               });
    QVERIFY(wasSettings);
    QTRY_VERIFY(seen.isNull());
    QVERIFY(!m_window->findChild<SettingsWindow *>());
}

void MainWindowTest::createPackage_opensThePackageWindowModally()
{
    m_window = makeWindow();
    QString title;
    const QPointer<QWidget> seen = answerModal([&] { find<QAction>(QStringLiteral("createPackageItem"))->trigger(); },
                                               [&](QWidget *package) {
                                                   title = package->windowTitle();
                                                   clickButton(package, QStringLiteral("cancelButton"));
                                               });
    QCOMPARE(title, QStringLiteral("Create Theme Package"));
    QTRY_VERIFY(seen.isNull());
}

void MainWindowTest::exit_closesTheWindowAndTheHiddenSettingsWindow()
{
    writeSettings("/games\r\n");
    m_window = makeWindow();
    QPointer<SettingsWindow> settings = m_window->settingsWindow();
    find<QAction>(QStringLiteral("exitItem"))->trigger();
    QVERIFY(!m_window->isVisible());
    QVERIFY(settings.isNull());
}

void MainWindowTest::installedEditor_keepsItsSettingsPerUser()
{
    // Installed means the layout, whatever the prefix: PREFIX/bin beside
    // PREFIX/share/vesk.
    QTemporaryDir prefix, config, games;
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    const std::string userFolder = config.filePath(QStringLiteral("vesk")).toStdString();
    // Built and run in place: beside the program, as before.
    QCOMPARE(vesk::settingsFileFor(bin.toStdString(), userFolder), vesk::settingsFilePath(bin.toStdString()));
    QVERIFY(QDir().mkpath(prefix.filePath(QStringLiteral("share/vesk"))));
    const QString perUser = QString::fromStdString(vesk::settingsFileFor(bin.toStdString(), userFolder));
    QCOMPARE(perUser, config.filePath(QStringLiteral("vesk/vesk.cfg")));

    m_window = std::make_unique<MainWindow>(bin, m_dialogs, m_sound, nullptr, perUser);
    typeAndPress(m_window->settingsWindow(), QStringLiteral("pathBox"), games.path(), QStringLiteral("okButton"));
    QVERIFY(QFile::exists(perUser));
    QCOMPARE(QDir(bin).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    m_window = std::make_unique<MainWindow>(bin, m_dialogs, m_sound, nullptr, perUser);
    QCOMPARE(m_window->gameDirectory(), std::optional<std::string>(games.path().toStdString()));
}

void MainWindowTest::commandLineProject_isOpenedAsOpenOpensIt()
{
    m_window = makeWindow();
    const QString project = m_programDir->filePath(QStringLiteral("start.vsk"));
    QFile file(project);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("/sounds/first.wav\r\n" + QByteArray("none\r\n").repeated(46) + " 0 \r\n");
    file.close();
    m_window->openFromCommandLine({project, QStringLiteral("more")});
    QCOMPARE(m_window->slotValue(1), QStringLiteral("none"));
    m_window->openFromCommandLine({project});
    QCOMPARE(m_window->slotValue(1), QStringLiteral("/sounds/first.wav"));
    m_dialogs.messages.clear();
    m_window->openFromCommandLine({m_programDir->filePath(QStringLiteral("gone.vsk"))});
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY(m_dialogs.messages[0].contains(QStringLiteral("gone.vsk")));
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
