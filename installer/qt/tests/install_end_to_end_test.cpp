// A package built by the editor's logic and installed by its own install.exe,
// which is a copy of the real installer program carrying out 1.bat.
#include "commandinterpreter.h"
#include "fakedialogs.h"
#include "installbatch.h"
#include "installerwindow.h"
#include "mainwindow.h"
#include "packagebuild.h"
#include "wavebytes.h"
#include "windowtest.h"

#include <QAction>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class InstallEndToEndTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void packageInstalledByItsOwnInstaller_leavesExactlyTheSounds();
    void installedThemeIsTakenBackOutByTheEditorsRestore();
};

static void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void InstallEndToEndTest::packageInstalledByItsOwnInstaller_leavesExactlyTheSounds()
{
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("editor"));
    QDir(root.path()).mkpath(QStringLiteral("package"));
    const QString game = root.filePath(QStringLiteral("Kestrova $game; \"x\""));
    QVERIFY(QDir().mkpath(game));
    QVERIFY(QFile::copy(QStringLiteral(VPAK_PATH),
                        root.filePath(QStringLiteral("editor/")) + QLatin1String(vesk::kInstallerProgram)));
    writeFile(root.filePath(QStringLiteral("picture.jpg")), "\xff\xd8\xff");
    writeFile(root.filePath(QStringLiteral("bomb.wav")), pcmWave("RIFF bomb"));
    writeFile(root.filePath(QStringLiteral("warp.wav")), pcmWave("RIFF warp"));
    writeFile(game + QStringLiteral("/warp.wa2"), "old warp");

    vesk::PackageInput input;
    input.theme = {"Ann", "ann@example.org", "http://", "10", "Black", "White", "Night"};
    input.picture = root.filePath(QStringLiteral("picture.jpg")).toStdString();
    input.packageDirectory = root.filePath(QStringLiteral("package")).toStdString();
    input.editorDirectory = root.filePath(QStringLiteral("editor")).toStdString();
    input.slots.fill(vesk::kNoSound);
    input.slots[0] = root.filePath(QStringLiteral("bomb.wav")).toStdString();
    input.slots[46] = root.filePath(QStringLiteral("warp.wav")).toStdString();
    const vesk::Status built = vesk::buildPackage(input, vesk::planSounds(input.slots)).status;
    QVERIFY2(built.ok(), built.error().c_str());

    const QString package = root.filePath(QStringLiteral("package"));
    const QString batch = package + QStringLiteral("/1.bat");
    QVERIFY(vpak::writeBatchFile(batch.toStdString(), game.toStdString()).ok());

    // The install.exe of the package runs its batch itself, as the installer
    // does once "Install Theme" is pressed.
    QProcess installer;
    installer.setWorkingDirectory(package);
    installer.start(package + QStringLiteral("/install.exe"), {QStringLiteral("--run-batch"), batch});
    QVERIFY(installer.waitForFinished(20000));
    QCOMPARE(installer.exitCode(), 0);

    QStringList installed = QDir(game).entryList(QDir::Files, QDir::Name);
    QCOMPARE(installed,
             (QStringList{QStringLiteral("1.bat"), QStringLiteral("bomb1.wa2"), QStringLiteral("warp.wa2")}));
    QFile warp(game + QStringLiteral("/warp.wa2"));
    QVERIFY(warp.open(QIODevice::ReadOnly));
    QCOMPARE(warp.readAll(), pcmWave("RIFF warp"));
    QCOMPARE(QDir(package).entryList(QDir::Files).size(), 7);

    // The same package as one file: the Linux installer refuses a copy cut
    // short with its message, leaving no temporary file, and unpacks a whole
    // one into a private folder before its window opens.
    QTemporaryDir temporary;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), temporary.path());
    QFile oneFile(root.filePath(QStringLiteral("package.exe")));
    QVERIFY(oneFile.open(QIODevice::ReadOnly));
    const QByteArray whole = oneFile.readAll();
    writeFile(root.filePath(QStringLiteral("cut.exe")), whole.left(whole.size() - 100));
    installer.setProcessEnvironment(environment);
    installer.start(QStringLiteral(VPAK_PATH), {root.filePath(QStringLiteral("cut.exe"))});
    // Qt's own warnings may stand around the line.
    QByteArray said;
    QTRY_VERIFY2((said += installer.readAllStandardError())
                     .contains("\nvpak: cut.exe is damaged (it is cut short). Ask for the package again.\n"),
                 said.constData());
    installer.kill();
    installer.waitForFinished();
    // (Qt makes its runtime folder there too.)
    const QStringList unpackedFolders = {QStringLiteral("vpak*")};
    QVERIFY(QDir(temporary.path()).entryList(unpackedFolders, QDir::Dirs).isEmpty());

    installer.start(QStringLiteral(VPAK_PATH), {oneFile.fileName()});
    const auto unpacked = [&] {
        const QStringList folders = QDir(temporary.path()).entryList(unpackedFolders, QDir::Dirs);
        return folders.size() == 1 ? temporary.filePath(folders[0]) : QString();
    };
    QTRY_VERIFY(QFile::exists(unpacked() + QStringLiteral("/SHA256SUMS")));
    QCOMPARE(QDir(unpacked()).entryList(QDir::Files, QDir::Name),
             (QStringList{QStringLiteral("SHA256SUMS"), QStringLiteral("bgimage.jpg"), QStringLiteral("bomb1.wa2"),
                          QStringLiteral("install.exe"), QStringLiteral("theme.cfg"), QStringLiteral("warp.wa2")}));
    installer.kill();
    installer.waitForFinished();
}

// The installer's window backs up the game's files and has the real vpak (the
// package's install.exe) carry out 1.bat; the editor's Restore then gives the
// game back exactly what it held.
void InstallEndToEndTest::installedThemeIsTakenBackOutByTheEditorsRestore()
{
    QTemporaryDir root;
    const QString package = root.filePath(QStringLiteral("package"));
    const QString game = root.filePath(QStringLiteral("game"));
    const QString editor = root.filePath(QStringLiteral("editor"));
    for (const QString &dir : {package, game, editor})
        QVERIFY(QDir().mkpath(dir));
    QVERIFY(QFile::copy(QStringLiteral(VPAK_PATH), editor + QLatin1Char('/') + QLatin1String(vesk::kInstallerProgram)));
    writeFile(root.filePath(QStringLiteral("picture.jpg")), "\xff\xd8\xff");
    writeFile(root.filePath(QStringLiteral("bomb.wav")), pcmWave("RIFF new bomb"));
    writeFile(game + QStringLiteral("/bomb1.wa2"), "the game's bomb");
    writeFile(game + QStringLiteral("/readme.txt"), "the game's readme");
    vesk::PackageInput input;
    input.theme = {"Ann", "", "http://", "10", "Black", "White", "Night"};
    input.picture = root.filePath(QStringLiteral("picture.jpg")).toStdString();
    input.packageDirectory = package.toStdString();
    input.editorDirectory = editor.toStdString();
    input.slots.fill(vesk::kNoSound);
    input.slots[0] = root.filePath(QStringLiteral("bomb.wav")).toStdString();
    QVERIFY(vesk::buildPackage(input, vesk::planSounds(input.slots)).status.ok());

    FakeDialogs dialogs;
    platform::SystemCommandInterpreter vpak((package + QStringLiteral("/install.exe")).toStdString());
    InstallerWindow installer(package, dialogs, vpak);
    installer.show();
    typeAndPress(&installer, QStringLiteral("pathBox"), game, QStringLiteral("installButton"));
    QCOMPARE(dialogs.messages, QStringList{QStringLiteral("Install Completed")});
    QCOMPARE(QDir(game).entryList(QDir::Files, QDir::Name),
             (QStringList{QStringLiteral("1.bat"), QStringLiteral("bomb1.wa2"), QStringLiteral("readme.txt")}));

    writeFile(editor + QStringLiteral("/vesk.cfg"), game.toLocal8Bit() + "\r\n");
    FakeSound sound;
    MainWindow window(editor, dialogs, sound);
    dialogs.questionAnswers << platform::Dialogs::Answer::Yes;
    findControl<QAction>(&window, QStringLiteral("restoreItem"))->trigger();
    QCOMPARE(dialogs.messages.last(),
             QStringLiteral("The game's own sounds are back: 1 file put back, 1 file removed."));
    QCOMPARE(QDir(game).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden, QDir::Name),
             (QStringList{QStringLiteral("bomb1.wa2"), QStringLiteral("readme.txt")}));
    QFile bomb(game + QStringLiteral("/bomb1.wa2"));
    QVERIFY(bomb.open(QIODevice::ReadOnly));
    QCOMPARE(bomb.readAll(), QByteArray("the game's bomb"));
}

QTEST_MAIN(InstallEndToEndTest)
#include "install_end_to_end_test.moc"
