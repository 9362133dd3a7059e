#include "dirlist.h"
#include "fakedialogs.h"
#include "files.h"
#include "gamebackup.h"
#include "installbatch.h"
#include "installerwindow.h"
#include "listenwindow.h"
#include "packagesums.h"
#include "posixhelpers.h"
#include "themefiles.h"
#include "wavebytes.h"
#include "windowtest.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

class InstallerWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    // Start-up against real description files
    void editorDefaults_blackOnWhiteAtSizeTen();
    void pink_coloursOnlyTheWebPageAndTheThemeName();
    void brown_coloursAllEightLabels();
    void lowerCaseBackground_isIgnored();
    void threeLines_showTheTextsAndKeepTheDesign();
    void webPageWithComma_stopsAtTheSize();
    void markupInEveryField_isShownAsTyped();
    void nothingInThePackage_placeholdersAtDesignSize();
    void picture_isReadFromTheProgramFolderNotTheWorkingDirectory();
    void fontSizesOutOfRange_areHeldToWhatALabelShows();

    // Install
    void install_writesTheBatchStartsItAndEnds();
    void install_refusesUnusableTargets();
    void install_reportsCompletedOnlyWhenTheFilesArrived();
    void restoreButton_isThereOnlyWithABackupAndRestoresIt();
    void install_asksAboutFilesThatAreNoThemeSounds();
    void install_unwritablePackage_saysSoAndStaysOpen();
    void install_interpreterThatWillNotStart_saysSo();
    void install_refusesWhatWouldHarmTheGameOrTheSystem();
    void install_replacesUpperCaseGameFilesUnderTheirNamesAndKeepsTheirBackup();
    void cancel_writesNothing();
    void makeDirectory_createsUnderTheTarget();

    // Listen
    void listen_playsThePackagesSoundsByKeyboard();
    void listen_refusesAnAlteredPackageAndNeedsSounds();

private:
    void writeFile(const QString &name, const QByteArray &bytes);
    void makeWindow();
    QLabel *label(const char *name) const { return findControl<QLabel>(m_window.get(), QString::fromLatin1(name)); }
    QLineEdit *box(const char *name) const { return findControl<QLineEdit>(m_window.get(), QString::fromLatin1(name)); }
    static QColor textColour(QLabel *l) { return l->palette().color(QPalette::WindowText); }
    QColor background() const { return m_window->palette().color(QPalette::Window); }
    void expectNoInstall();

    std::unique_ptr<QTemporaryDir> m_package;
    std::unique_ptr<QTemporaryDir> m_game;
    QString m_savedCwd;
    FakeDialogs m_dialogs;
    FakeInterpreter m_interpreter;
    FakeSound m_sound;
    std::unique_ptr<InstallerWindow> m_window;
    QColor m_designText;
    QColor m_designBackground;
};

void InstallerWindowTest::init()
{
    m_package = std::make_unique<QTemporaryDir>();
    m_game = std::make_unique<QTemporaryDir>();
    m_dialogs = FakeDialogs();
    m_interpreter = FakeInterpreter();
    m_sound = FakeSound();
    // The batch is carried out as the runner of a system without cmd.exe does.
    m_interpreter.onRun = [](const std::string &batch, const std::string &dir) {
        // Like cmd.exe, the runner goes on past a failing line; the check afterwards judges.
        (void)vpak::runBatchFile(batch, dir);
    };
    m_savedCwd = QDir::currentPath();
    QDir::setCurrent(m_game->path());
    QLabel plain;
    m_designText = plain.palette().color(QPalette::WindowText);
    m_designBackground = QWidget().palette().color(QPalette::Window);
}

void InstallerWindowTest::cleanup()
{
    m_window.reset();
    QDir::setCurrent(m_savedCwd);
}

void InstallerWindowTest::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(m_package->filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void InstallerWindowTest::makeWindow()
{
    m_window = std::make_unique<InstallerWindow>(m_package->path(), m_dialogs, m_interpreter, nullptr, &m_sound);
    m_window->show();
}

void InstallerWindowTest::expectNoInstall()
{
    QVERIFY(!QFile::exists(m_package->filePath(QStringLiteral("1.bat")))
            || QFileInfo(m_package->filePath(QStringLiteral("1.bat"))).isDir());
    QVERIFY(m_interpreter.started.isEmpty());
    QVERIFY(!m_dialogs.messages.contains(QStringLiteral("Install Completed")));
    QVERIFY(m_window->isVisible());
}

void InstallerWindowTest::editorDefaults_blackOnWhiteAtSizeTen()
{
    writeFile(QStringLiteral("theme.cfg"), "\r\n\r\nhttp://\r\n10\r\nBlack\r\nWhite\r\n\r\n");
    makeWindow();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("VESK Theme Packager - Halvick Soft"));
    QCOMPARE(label("makerNameLabel")->text(), QString());
    QCOMPARE(label("makerWebPageLabel")->text(), QStringLiteral("http://"));
    QCOMPARE(label("themeNameLabel")->text(), QString());
    for (const char *name : {"makerNameLabel", "makerEmailLabel", "makerWebPageLabel", "themeNameLabel"})
        QCOMPARE(label(name)->font().pointSizeF(), 10.0);
    for (const char *name : {"makerNameLabel", "makerEmailLabel", "makerWebPageLabel", "createdByLabel", "emailLabel",
                             "webPageLabel", "themeNameLabel", "gameDirectoryLabel"})
        QCOMPARE(textColour(label(name)), QColor(Qt::black));
    QCOMPARE(background(), QColor(Qt::white));
    QVERIFY(m_dialogs.messages.isEmpty());
}

void InstallerWindowTest::pink_coloursOnlyTheWebPageAndTheThemeName()
{
    writeFile(QStringLiteral("theme.cfg"), "Ann\r\nann@example.org\r\nhttp://ann\r\n12\r\nPink\r\nPurple\r\nDusk\r\n");
    makeWindow();
    const QColor pink = textColour(label("makerWebPageLabel"));
    QVERIFY(pink != m_designText && pink != QColor(Qt::black));
    QCOMPARE(textColour(label("themeNameLabel")), pink);
    for (const char *name :
         {"makerNameLabel", "makerEmailLabel", "createdByLabel", "emailLabel", "webPageLabel", "gameDirectoryLabel"})
        QCOMPARE(textColour(label(name)), m_designText);
    QVERIFY(background() != m_designBackground);
    QCOMPARE(label("themeNameLabel")->text(), QStringLiteral("Dusk"));
}

void InstallerWindowTest::brown_coloursAllEightLabels()
{
    writeFile(QStringLiteral("theme.cfg"), "a\r\nb\r\nc\r\n11\r\nBrown\r\nWhite\r\nt\r\n");
    makeWindow();
    const QColor brown = textColour(label("makerNameLabel"));
    QVERIFY(brown != m_designText);
    for (const char *name : {"makerNameLabel", "makerEmailLabel", "makerWebPageLabel", "createdByLabel", "emailLabel",
                             "webPageLabel", "themeNameLabel", "gameDirectoryLabel"})
        QCOMPARE(textColour(label(name)), brown);
}

void InstallerWindowTest::lowerCaseBackground_isIgnored()
{
    writeFile(QStringLiteral("theme.cfg"), "a\r\nb\r\nc\r\n11\r\nRed\r\nblack\r\nt\r\n");
    makeWindow();
    QCOMPARE(background(), m_designBackground);
    QCOMPARE(textColour(label("makerNameLabel")), QColor(Qt::red));
    QCOMPARE(label("themeNameLabel")->text(), QStringLiteral("t"));
}

void InstallerWindowTest::threeLines_showTheTextsAndKeepTheDesign()
{
    writeFile(QStringLiteral("theme.cfg"), "Ann\r\nann@example.org\r\nhttp://ann\r\n");
    makeWindow();
    QCOMPARE(label("makerNameLabel")->text(), QStringLiteral("Ann"));
    QCOMPARE(label("makerEmailLabel")->text(), QStringLiteral("ann@example.org"));
    QCOMPARE(label("makerWebPageLabel")->text(), QStringLiteral("http://ann"));
    QCOMPARE(label("themeNameLabel")->text(), QStringLiteral("Label1"));
    QCOMPARE(label("makerNameLabel")->font().pointSizeF(), 19.5);
    QCOMPARE(background(), m_designBackground);
}

void InstallerWindowTest::markupInEveryField_isShownAsTyped()
{
    // Rich text would load the picture (and allocate without end for /dev/zero).
    writeFile(QStringLiteral("theme.cfg"), "<b>Ann</b>\r\n<i>a@b</i>\r\n<a href=x>web</a>\r\n12\r\n<u>Red</u>\r\n"
                                           "<s>Blue</s>\r\n<img src=\"/dev/zero\">\r\n");
    makeWindow();
    QCOMPARE(label("makerNameLabel")->text(), QStringLiteral("<b>Ann</b>"));
    QCOMPARE(label("themeNameLabel")->text(), QStringLiteral("<img src=\"/dev/zero\">"));
    for (const char *name : {"makerNameLabel", "makerEmailLabel", "makerWebPageLabel", "createdByLabel", "emailLabel",
                             "webPageLabel", "themeNameLabel", "gameDirectoryLabel"})
        QCOMPARE(label(name)->textFormat(), Qt::PlainText);
}

void InstallerWindowTest::webPageWithComma_stopsAtTheSize()
{
    writeFile(QStringLiteral("theme.cfg"),
              "Ann\r\nann@example.org\r\nhttp://a.example.org/x,y\r\n10\r\nRed\r\nBlue\r\nT\r\n");
    makeWindow();
    QCOMPARE(label("makerWebPageLabel")->text(), QStringLiteral("http://a.example.org/x"));
    QCOMPARE(label("makerWebPageLabel")->font().pointSizeF(), 19.5);
    QCOMPARE(textColour(label("makerNameLabel")), m_designText);
    QCOMPARE(label("themeNameLabel")->text(), QStringLiteral("Label1"));
}

void InstallerWindowTest::nothingInThePackage_placeholdersAtDesignSize()
{
    makeWindow();
    for (const char *name : {"makerNameLabel", "makerEmailLabel", "makerWebPageLabel", "themeNameLabel"}) {
        QCOMPARE(label(name)->text(), QStringLiteral("Label1"));
        QCOMPARE(label(name)->font().pointSizeF(), 19.5);
    }
    QCOMPARE(label("createdByLabel")->text(), QStringLiteral("Created By:"));
    QVERIFY(m_window->backgroundPicture().isNull());
    QVERIFY(m_dialogs.messages.isEmpty());
}

void InstallerWindowTest::picture_isReadFromTheProgramFolderNotTheWorkingDirectory()
{
    QImage own(64, 48, QImage::Format_RGB32);
    own.fill(Qt::blue);
    QVERIFY(own.save(m_package->filePath(QStringLiteral("bgimage.jpg")), "JPG"));
    QImage stray(10, 10, QImage::Format_RGB32);
    stray.fill(Qt::red);
    QVERIFY(stray.save(m_game->filePath(QStringLiteral("bgimage.jpg")), "JPG"));
    QFile strayTheme(m_game->filePath(QStringLiteral("theme.cfg")));
    QVERIFY(strayTheme.open(QIODevice::WriteOnly));
    strayTheme.write("Stray\r\n");
    strayTheme.close();
    writeFile(QStringLiteral("theme.cfg"), "Own\r\n");

    makeWindow(); // the working directory is the game directory here
    QCOMPARE(m_window->backgroundPicture().size(), QSize(64, 48));
    QCOMPARE(label("makerNameLabel")->text(), QStringLiteral("Own"));
}

void InstallerWindowTest::fontSizesOutOfRange_areHeldToWhatALabelShows()
{
    const std::pair<QByteArray, double> cases[] = {{"", 6.0}, {"-3", 6.0}, {"999", 30.0}, {"100000", 30.0}};
    for (const auto &[size, shown] : cases) {
        writeFile(QStringLiteral("theme.cfg"), "a\r\nb\r\nc\r\n" + size + "\r\nRed\r\n");
        makeWindow();
        QCOMPARE(label("makerNameLabel")->font().pointSizeF(), shown);
    }
}

void InstallerWindowTest::install_writesTheBatchStartsItAndEnds()
{
    makeWindow();
    box("pathBox")->setText(m_game->path());
    clickButton(m_window.get(), QStringLiteral("installButton"));
    QFile batch(m_package->filePath(QStringLiteral("1.bat")));
    QVERIFY(batch.open(QIODevice::ReadOnly));
    const QByteArray target = m_game->path().toLocal8Bit();
    QCOMPARE(batch.readAll(), "copy *.* " + target + "\r\ndel " + target + "/install.exe\r\ndel " + target
                                  + "/bgimage.jpg\r\ndel " + target + "/theme.cfg\r\ndel " + target
                                  + "/SHA256SUMS\r\n");
    QCOMPARE(m_interpreter.started.size(), 1);
    QCOMPARE(m_interpreter.started[0].batchFile, m_package->filePath(QStringLiteral("1.bat")));
    QCOMPARE(m_interpreter.started[0].workingDirectory, m_package->path());
    QCOMPARE(m_dialogs.messages, QStringList{QStringLiteral("Install Completed")});
    QCOMPARE(m_dialogs.captions, QStringList{QStringLiteral("Lanternkit")});
    QVERIFY(!m_window->isVisible());
}

void InstallerWindowTest::install_refusesUnusableTargets()
{
    QDir::setCurrent(m_package->path()); // started from its package: the default target is the package
    makeWindow();
    QCOMPARE(box("pathBox")->text(), QDir::toNativeSeparators(m_package->path()));
    // Started elsewhere, "." and a name that exists only there are no targets
    // for a batch that runs in the package.
    QDir::setCurrent(m_game->path());
    QDir(m_game->path()).mkdir(QStringLiteral("game"));
    const QStringList targets = {box("pathBox")->text(), QString(), m_game->filePath(QStringLiteral("missing")),
                                 QStringLiteral("."), QStringLiteral("game")};
    for (const QString &target : targets) {
        m_dialogs.messages.clear();
        box("pathBox")->setText(target);
        clickButton(m_window.get(), QStringLiteral("installButton"));
        QCOMPARE(m_dialogs.messages.size(), 1);
        expectNoInstall();
    }
}

void InstallerWindowTest::install_reportsCompletedOnlyWhenTheFilesArrived()
{
    writeFile(QStringLiteral("bomb1.wa2"), "RIFF new bomb");
    makeWindow();
    // Each try gives its one message; the window stays open.
    const auto install = [this](const QString &target) -> QString {
        m_dialogs.messages.clear();
        box("pathBox")->setText(target);
        clickButton(m_window.get(), QStringLiteral("installButton"));
        return m_window->isVisible() ? m_dialogs.messages.join(QLatin1Char('|')) : QStringLiteral("closed");
    };

    // A target nobody may write into, not even root, is found before 1.bat is written.
    if (!vesk::probeWritable("/sys").ok()) {
        QVERIFY(install(QStringLiteral("/sys")).contains(QStringLiteral("/sys")));
        expectNoInstall();
    }
    // The batch ran but nothing arrived, or other bytes did: the target is
    // put back as it was, the game's own gun and no backup left behind.
    QFile gun(m_game->filePath(QStringLiteral("gun1.wa2")));
    QVERIFY(gun.open(QIODevice::WriteOnly));
    gun.write("the game's gun");
    gun.close();
    const auto asBefore = [this] {
        return QDir(m_game->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden)
               == QStringList{QStringLiteral("gun1.wa2")};
    };
    m_interpreter.onRun = nullptr;
    QVERIFY(install(m_game->path()).contains(QStringLiteral("1.bat did not arrive")));
    QVERIFY(asBefore());
    m_interpreter.onRun = [this](const std::string &, const std::string &) {
        QFile::copy(m_package->filePath(QStringLiteral("1.bat")), m_game->filePath(QStringLiteral("1.bat")));
        QFile wrong(m_game->filePath(QStringLiteral("bomb1.wa2")));
        QVERIFY(wrong.open(QIODevice::WriteOnly));
        wrong.write("half");
    };
    QVERIFY(install(m_game->path()).contains(QStringLiteral("does not hold the package's bytes")));
    QVERIFY(asBefore());
    // A batch that has not finished in time is waited for to its end, with
    // the window closed to a second install, and then checked as any other.
    m_interpreter.end = platform::CommandInterpreter::End::StillRunning;
    QVERIFY(install(m_game->path()).contains(QStringLiteral("still running after 120 seconds")));
    QVERIFY(!m_dialogs.messages.contains(QStringLiteral("Install Completed")));
    QCOMPARE(m_interpreter.waitedForEnd, 1);
    QVERIFY(asBefore());
    m_interpreter.onRun
        = [](const std::string &batch, const std::string &dir) { (void)vpak::runBatchFile(batch, dir); };
    QCOMPARE(install(m_game->path()), QStringLiteral("closed"));
    QCOMPARE(m_dialogs.messages.last(), QStringLiteral("Install Completed"));
    QCOMPARE(m_interpreter.waitedForEnd, 2);
}

void InstallerWindowTest::install_refusesWhatWouldHarmTheGameOrTheSystem()
{
    writeFile(QStringLiteral("bomb1.wa2"), "RIFF new bomb");
    makeWindow();
    const auto refused = [this](const QString &target, const QString &named) {
        m_dialogs.messages.clear();
        box("pathBox")->setText(target);
        clickButton(m_window.get(), QStringLiteral("installButton"));
        QVERIFY2(m_dialogs.messages.join(QLatin1Char('|')).contains(named),
                 qPrintable(m_dialogs.messages.join(QLatin1Char('|'))));
        expectNoInstall();
        QVERIFY(QDir(m_game->path()).isEmpty(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden));
    };
    // Roots and the system's folders.
    refused(QStringLiteral("/"), QStringLiteral("root of the file system"));
    refused(QStringLiteral("/usr"), QStringLiteral("folder of the system"));
    // A folder that holds none of the game's sounds, and the player says No.
    m_dialogs.confirmGameDirectory = false;
    refused(m_game->path(), QString());
    QCOMPARE(m_dialogs.questions.last(),
             m_game->path()
                 + QStringLiteral(" holds none of Kestrova's sound files. Is it really the game directory?"));
    m_dialogs.confirmGameDirectory = true;
    // Whatever is no plain file, and programs however Windows trims their names.
    QVERIFY(QFile::link(QStringLiteral("/etc/passwd"), m_package->filePath(QStringLiteral("gun1.wa2"))));
    refused(m_game->path(), QStringLiteral("not plain files, such as links to files elsewhere: gun1.wa2"));
    QFile::remove(m_package->filePath(QStringLiteral("gun1.wa2")));
    QVERIFY(vesk::posix::makeFifo(QFile::encodeName(m_package->filePath(QStringLiteral("gun2.wa2"))).toStdString()));
    refused(m_game->path(), QStringLiteral("gun2.wa2"));
    QFile::remove(m_package->filePath(QStringLiteral("gun2.wa2")));
    for (const QString &program : {QStringLiteral("x.exe."), QStringLiteral("x.exe ")}) {
        writeFile(program, "MZ");
        refused(m_game->path(), QStringLiteral("program files"));
        QFile::remove(m_package->filePath(program));
    }
}

void InstallerWindowTest::install_replacesUpperCaseGameFilesUnderTheirNamesAndKeepsTheirBackup()
{
    writeFile(QStringLiteral("bomb1.wa2"), "RIFF new bomb");
    const auto gameFile = [this](const QString &name, const QByteArray &bytes) {
        QFile file(m_game->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    gameFile(QStringLiteral("BOMB1.WA2"), "the game's bomb");
    gameFile(QStringLiteral("Bomb1.Wa2"), "another spelling");
    makeWindow();
    box("pathBox")->setText(m_game->path());
    clickButton(m_window.get(), QStringLiteral("installButton"));
    QCOMPARE(m_dialogs.messages, QStringList{QStringLiteral("Install Completed")});
    QVERIFY(m_dialogs.gameDirectoryQuestions.isEmpty());
    const std::string game = m_game->path().toStdString();
    QCOMPARE(vesk::namesIn(game), (std::vector<std::string>{"1.bat", "BOMB1.WA2", "Bomb1.Wa2", "vesk-originals"}));
    const auto bytes = [this](const QString &name) {
        QFile file(m_game->filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    };
    QCOMPARE(bytes(QStringLiteral("BOMB1.WA2")), QByteArray("RIFF new bomb"));
    QCOMPARE(bytes(QStringLiteral("Bomb1.Wa2")), QByteArray("another spelling"));
    // The backup is a link to the game's file, and the batch's copy did not
    // write through it.
    QCOMPARE(bytes(QStringLiteral("vesk-originals/BOMB1.WA2")), QByteArray("the game's bomb"));

    QCOMPARE(vesk::restoreOriginals(game).ok(), true);
    QCOMPARE(bytes(QStringLiteral("BOMB1.WA2")), QByteArray("the game's bomb"));
    QCOMPARE(vesk::namesIn(game), (std::vector<std::string>{"BOMB1.WA2", "Bomb1.Wa2"}));
}

void InstallerWindowTest::restoreButton_isThereOnlyWithABackupAndRestoresIt()
{
    makeWindow();
    auto *restore = findControl<QPushButton>(m_window.get(), QStringLiteral("restoreButton"));
    QCOMPARE(restore->text(), QStringLiteral("Restore Original Sounds"));
    box("pathBox")->setText(m_game->path());
    QVERIFY(!restore->isEnabled());

    QFile bomb(m_game->filePath(QStringLiteral("bomb1.wa2")));
    QVERIFY(bomb.open(QIODevice::WriteOnly));
    bomb.write("the game's bomb");
    bomb.close();
    QVERIFY(vesk::recordBeforeReplacing(m_game->path().toStdString(), {"bomb1.wa2", "links.txt"}).ok());
    QFile::remove(m_game->filePath(QStringLiteral("bomb1.wa2")));
    box("pathBox")->setText(m_game->path() + QLatin1Char('/'));
    QVERIFY(restore->isEnabled());

    m_dialogs.questionAnswers << platform::Dialogs::Answer::Yes;
    clickButton(m_window.get(), QStringLiteral("restoreButton"));
    QCOMPARE(m_dialogs.questionCaptions, QStringList{QStringLiteral("Lanternkit")});
    QCOMPARE(m_dialogs.messages.last(),
             QStringLiteral("The game's own sounds are back: 1 file put back, 0 files removed."));
    QVERIFY(QFile::exists(m_game->filePath(QStringLiteral("bomb1.wa2"))));
    QVERIFY(!restore->isEnabled());
    QVERIFY(m_window->isVisible());
}

void InstallerWindowTest::install_asksAboutFilesThatAreNoThemeSounds()
{
    // Game sound names count whatever their letter case; a folder is never copied.
    writeFile(QStringLiteral("BOMB1.WA2"), "RIFF bomb");
    QVERIFY(QDir(m_package->path()).mkdir(QStringLiteral("extras.exe")));
    makeWindow();
    writeFile(QStringLiteral("readme.txt"), "hello");
    m_dialogs.questionAnswers << platform::Dialogs::Answer::No;
    box("pathBox")->setText(m_game->path());
    clickButton(m_window.get(), QStringLiteral("installButton"));
    QCOMPARE(m_dialogs.questions,
             QStringList{QStringLiteral("This package also holds files that are not theme sounds: readme.txt. They "
                                        "will be copied into the game directory. Install anyway?")});
    expectNoInstall();

    QFile::remove(m_package->filePath(QStringLiteral("readme.txt")));
    clickButton(m_window.get(), QStringLiteral("installButton"));
    QCOMPARE(m_dialogs.questions.size(), 1);
    QCOMPARE(m_dialogs.messages, QStringList{QStringLiteral("Install Completed")});
}

void InstallerWindowTest::install_unwritablePackage_saysSoAndStaysOpen()
{
    // 1.bat cannot be created where a directory has its name.
    QVERIFY(QDir(m_package->path()).mkdir(QStringLiteral("1.bat")));
    makeWindow();
    box("pathBox")->setText(m_game->path());
    clickButton(m_window.get(), QStringLiteral("installButton"));
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(m_package->filePath(QStringLiteral("1.bat"))),
             qPrintable(m_dialogs.messages[0]));
    expectNoInstall();
}

void InstallerWindowTest::install_interpreterThatWillNotStart_saysSo()
{
    m_interpreter.fails = true;
    makeWindow();
    box("pathBox")->setText(m_game->path());
    clickButton(m_window.get(), QStringLiteral("installButton"));
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("no interpreter")), qPrintable(m_dialogs.messages[0]));
    QVERIFY(m_window->isVisible());
}

void InstallerWindowTest::cancel_writesNothing()
{
    makeWindow();
    clickButton(m_window.get(), QStringLiteral("cancelButton"));
    QVERIFY(!m_window->isVisible());
    QCOMPARE(QDir(m_package->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void InstallerWindowTest::makeDirectory_createsUnderTheTarget()
{
    makeWindow();
    auto *dir1 = findControl<platform::DirList>(m_window.get(), QStringLiteral("directoryList"));
    QVERIFY(dir1->setPath(m_game->path()));
    const int entries = dir1->count();
    box("newDirectoryBox")->setText(QStringLiteral("Kestrova"));
    clickButton(m_window.get(), QStringLiteral("makeDirectoryButton"));
    QVERIFY(QFileInfo(m_game->filePath(QStringLiteral("Kestrova"))).isDir());
    QCOMPARE(dir1->count(), entries + 1);
    clickButton(m_window.get(), QStringLiteral("makeDirectoryButton")); // taken now: silently nothing
    QVERIFY(m_dialogs.messages.isEmpty());
}

void InstallerWindowTest::listen_playsThePackagesSoundsByKeyboard()
{
    writeFile(QStringLiteral("bomb1.wa2"), toneWave(0.5, 440, 0.5));
    writeFile(QStringLiteral("WARP.WA2"), toneWave(1.2, 440, 0.5));
    std::vector<vesk::FileSum> sums;
    for (const char *name : {"bomb1.wa2", "WARP.WA2"})
        sums.push_back({name, *vesk::sha256OfFile(m_package->filePath(QLatin1String(name)).toStdString())});
    writeFile(QStringLiteral("SHA256SUMS"), QByteArray::fromStdString(vesk::sumsText(sums)));
    makeWindow();
    QStringList rows;
    QTimer::singleShot(0, this, [&] {
        auto *listen = qobject_cast<ListenWindow *>(QApplication::activeModalWidget());
        QVERIFY2(listen, "the Listen window is open");
        auto *list = findControl<QListView>(listen, QStringLiteral("soundList"));
        for (int row = 0; row < list->model()->rowCount(); ++row)
            rows << list->model()->index(row, 0).data().toString();
        QTest::keyClick(list, Qt::Key_Return); // the first row
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        clickButton(listen, QStringLiteral("stopButton"));
        QTest::keyClick(list, Qt::Key_Escape);
    });
    clickButton(m_window.get(), QStringLiteral("listenButton"));
    QCOMPARE(rows, (QStringList{QStringLiteral("Bombs, Level 1 (0.5 s)"), QStringLiteral("Warp, Warp (1.2 s)")}));
    // The package's own files; closing the window silences it.
    QCOMPARE(m_sound.played, (QStringList{m_package->filePath(QStringLiteral("bomb1.wa2")),
                                          m_package->filePath(QStringLiteral("WARP.WA2")), QString(), QString()}));
    QVERIFY(m_dialogs.messages.isEmpty());

    // Where no sound can be played at all, Play says why.
    m_sound.why = "No sound can be played: the reason.";
    QTimer::singleShot(0, this, [&] {
        auto *listen = qobject_cast<ListenWindow *>(QApplication::activeModalWidget());
        QVERIFY2(listen, "the Listen window is open");
        auto *list = findControl<QListView>(listen, QStringLiteral("soundList"));
        QTest::keyClick(list, Qt::Key_Return);
        QTest::keyClick(list, Qt::Key_Escape);
    });
    clickButton(m_window.get(), QStringLiteral("listenButton"));
    QCOMPARE(m_dialogs.messages, QStringList{QStringLiteral("No sound can be played: the reason.")});
}

void InstallerWindowTest::listen_refusesAnAlteredPackageAndNeedsSounds()
{
    makeWindow();
    QVERIFY2(!findControl<QPushButton>(m_window.get(), QStringLiteral("listenButton"))->isEnabled(),
             "a package without sounds has nothing to listen to");

    writeFile(QStringLiteral("bomb1.wa2"), toneWave(0.5, 440, 0.5));
    vesk::FileSum sum{"bomb1.wa2", *vesk::sha256OfFile(m_package->filePath(QStringLiteral("bomb1.wa2")).toStdString())};
    writeFile(QStringLiteral("SHA256SUMS"), QByteArray::fromStdString(vesk::sumsText({sum})));
    writeFile(QStringLiteral("bomb1.wa2"), toneWave(0.5, 880, 0.5)); // altered on the way
    makeWindow();
    clickButton(m_window.get(), QStringLiteral("listenButton"));
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].startsWith(QStringLiteral("The theme package is damaged (bomb1.wa2")),
             qPrintable(m_dialogs.messages[0]));
    QVERIFY(m_sound.played.isEmpty());
}

QTEST_MAIN(InstallerWindowTest)
#include "installerwindow_test.moc"
