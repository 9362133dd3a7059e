// Bad input for the editor: broken project files, awkward paths and targets
// that cannot be written. Every case must end without a crash, with a message
// where the player needs one, and with no existing file damaged.
#include "applytheme.h"
#include "damagecheck.h"
#include "fakedialogs.h"
#include "mainwindow.h"
#include "packagebuild.h"
#include "posixhelpers.h"
#include "settingswindow.h"
#include "wavebytes.h"
#include "windowtest.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <filesystem>
#include <memory>

using badinput::CaseDir;
using badinput::DamageCheck;

class EditorBadInputTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void brokenProjectFiles_areRefusedOrReadWhole_data();
    void brokenProjectFiles_areRefusedOrReadWhole();
    void awkwardPaths_roundTripAndApplyAndPackage_data();
    void awkwardPaths_roundTripAndApplyAndPackage();
    void gameFileThatIsADirectory_isReported();
    void waveThatVanishesBeforeConvert_isReported();
    void readOnlyGameDirectory_isReported();
    void projectThatIsNoFile_isRefused_data();
    void projectThatIsNoFile_isRefused();
    void awkwardSaveTargets_keepEveryOtherFile_data();
    void awkwardSaveTargets_keepEveryOtherFile();
    void soundsThatAreNoFiles_areReportedByConvertAndPackage_data();
    void soundsThatAreNoFiles_areReportedByConvertAndPackage();
    void strayFilesInThePackageFolder_areAskedAbout_data();
    void strayFilesInThePackageFolder_areAskedAbout();
    void strangeBackups_restoreOnlyWhatAThemeChanged_data();
    void strangeBackups_restoreOnlyWhatAThemeChanged();
    void fullGameFileSystem_leavesTheGameAsItWas();
    void openPackageOntoAFullFileSystem_copiesNothing();

private:
    void trigger(const char *action) { findControl<QAction>(m_window.get(), QString::fromLatin1(action))->trigger(); }
    QString write(const QString &relative, const QByteArray &bytes);

    std::unique_ptr<CaseDir> m_dir;
    FakeDialogs m_dialogs;
    FakeSound m_sound;
    std::unique_ptr<MainWindow> m_window;
    DamageCheck m_damage;
};

QString EditorBadInputTest::write(const QString &relative, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

void EditorBadInputTest::init()
{
    m_window.reset();
    m_dir = std::make_unique<CaseDir>();
    m_dialogs = FakeDialogs();
    m_window = std::make_unique<MainWindow>(m_dir->path(), m_dialogs, m_sound);
    m_window->show();
    m_dialogs.messages.clear();
}

void EditorBadInputTest::cleanup()
{
    m_window.reset();
}

static QByteArray lines(const QByteArray &line, int count, const QByteArray &end = "\r\n")
{
    return (line + end).repeated(count);
}

void EditorBadInputTest::brokenProjectFiles_areRefusedOrReadWhole_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<int>("links");

    QByteArray random(64 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(20261207);
    for (char &byte : random)
        byte = char(generator.bounded(256));
    QTest::newRow("random bytes") << random << false << 0;
    QTest::newRow("50 MB single line") << QByteArray(50 * 1024 * 1024, 'x') << false << 0;
    QTest::newRow("NUL bytes") << QByteArray(4096, '\0') << false << 0;
    QTest::newRow("unterminated quote") << QByteArray("\"/sounds/never closed\r\nnone\r\n") << false << 0;
    QTest::newRow("count -1") << lines("none", 47) + "-1\r\n" << true << 0;
    QTest::newRow("count 99999999") << lines("none", 47) + " 99999999 \r\nName\r\nhttp://\r\n" << false << 0;
    QTest::newRow("count abc") << lines("none", 47) + "abc\r\n" << false << 0;
    QTest::newRow("CR-only line ends") << lines("none", 47, "\r") + " 1 \rName\rhttp://x\r" << true << 1;
    QTest::newRow("LF-only line ends") << lines("none", 47, "\n") + " 1 \nName\nhttp://x\n" << true << 1;
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("truncated after 46 slots") << lines("none", 46) << false << 0;
    QTest::newRow("no count") << lines("none", 47) << false << 0;
    QTest::newRow("truncated in a link") << lines("none", 47) + " 2 \r\nA\r\nhttp://a\r\nB" << false << 0;
    QTest::newRow("Latin-1 path") << lines("none", 46) + "C:\\Son\xE9\\a.wav\r\n 0 \r\n" << true << 0;
    QTest::newRow("UTF-8 byte order mark") << "\xEF\xBB\xBF" + lines("none", 47) + " 0 \r\n" << true << 0;
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFEn\0o\0n\0e\0", 10) << false << 0;
    QTest::newRow("markup in a path") << lines("none", 46) + "<img src=\"/dev/zero\">\r\n 0 \r\n" << true << 0;
    QTest::newRow("count 1e3") << lines("none", 47) + "1e3\r\n" << false << 0;
    QTest::newRow("count with a sign") << lines("none", 47) + " +1 \r\nA\r\nB\r\n" << true << 1;
    QTest::newRow("count beyond 64 bits") << lines("none", 47) + " 99999999999999999999 \r\n" << false << 0;
    QTest::newRow("unbalanced quotes in links") << lines("none", 47) + " 1 \r\n\"A, B\r\n\"http://\r\n" << true << 1;
    QTest::newRow("100000 links") << lines("none", 47) + " 100000 \r\n" + lines("L\r\nhttp://l", 100000) << true
                                  << 100000;
    QTest::newRow("NUL inside a path") << lines("none", 46) + QByteArray("/a\0b.wav\r\n 0 \r\n", 16) << true << 0;
}

void EditorBadInputTest::brokenProjectFiles_areRefusedOrReadWhole()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);
    QFETCH(int, links);
    m_window->setSlotValue(1, QStringLiteral("/sounds/kept.wav"));
    const QString file = write(QStringLiteral("bad.vsk"), bytes);
    m_damage.snapshot(m_dir->path());

    m_dialogs.answers.enqueue(file);
    trigger("openItem");

    if (loads) {
        QVERIFY(m_dialogs.messages.isEmpty());
        QCOMPARE(m_window->slotValue(1), QStringLiteral("none"));
    } else {
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY2(m_dialogs.messages[0].contains(file), qPrintable(m_dialogs.messages[0].left(300)));
        QCOMPARE(m_window->slotValue(1), QStringLiteral("/sounds/kept.wav"));
    }
    QCOMPARE(findControl<QListView>(m_window.get(), QStringLiteral("linkList"))->model()->rowCount(), links);
    QCOMPARE(m_damage.damaged(), 0);
}

void EditorBadInputTest::awkwardPaths_roundTripAndApplyAndPackage_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks") << QStringLiteral("my sounds  here");
    QTest::newRow("non-ASCII") << QStringLiteral("café é 日本");
    QTest::newRow("comma") << QStringLiteral("boom, loud");
    QTest::newRow("quote") << QStringLiteral("the \"best\" one");
    QTest::newRow("dollar and semicolon") << QStringLiteral("$HOME;rm -rf x");
    QTest::newRow("250 characters") << QString(120, QLatin1Char('n'));
}

void EditorBadInputTest::awkwardPaths_roundTripAndApplyAndPackage()
{
    QFETCH(QString, name);
    // A long name is nested twice to make a path of some 250 characters.
    const QString folder = name.size() > 100 ? name + QLatin1Char('/') + name : name;
    const QString wave
        = write(folder + QStringLiteral("/") + name.left(8) + QStringLiteral(".wav"), pcmWave("awkward"));
    const QString game = m_dir->filePath(QStringLiteral("game ") + folder);
    const QString package = m_dir->filePath(QStringLiteral("package ") + folder);
    QVERIFY(QDir().mkpath(game));
    QVERIFY(QDir().mkpath(package));
    write(QStringLiteral("vpak"), "installer");
    const QString existing = write(QStringLiteral("unrelated.txt"), "keep me");
    m_damage.snapshot(m_dir->path());

    m_dialogs.answers.enqueue(wave);
    clickButton(m_window.get(), QStringLiteral("addFileButton"));
    m_window->setSlotValue(47, wave);
    const QString project = m_dir->filePath(folder + QStringLiteral("/") + name.left(8) + QStringLiteral(".vsk"));
    m_dialogs.answers.enqueue(project);
    trigger("saveItem");
    m_window->setSlotValue(1, QStringLiteral("none"));
    m_dialogs.answers.enqueue(project);
    trigger("openItem");
    QVERIFY2(m_dialogs.messages.isEmpty(), qPrintable(m_dialogs.messages.join(QLatin1Char('\n'))));
    QCOMPARE(m_window->slotValue(1), wave);

    typeAndPress(m_window->settingsWindow(), QStringLiteral("pathBox"), game, QStringLiteral("okButton"));
    trigger("convertItem");
    QVERIFY2(m_dialogs.messages.isEmpty(), qPrintable(m_dialogs.messages.join(QLatin1Char('\n'))));
    QFile bomb(game + QStringLiteral("/bomb1.wa2"));
    QVERIFY(bomb.open(QIODevice::ReadOnly));
    QCOMPARE(bomb.readAll(), pcmWave("awkward"));

    vesk::PackageInput input;
    input.theme = {name.toStdString(), "", "http://", "10", "Black", "White", name.toStdString()};
    input.picture = wave.toLocal8Bit().toStdString();
    input.packageDirectory = package.toLocal8Bit().toStdString();
    input.editorDirectory = m_dir->path().toLocal8Bit().toStdString();
    input.slots = m_window->theme().slots();
    const vesk::Status built = vesk::buildPackage(input, vesk::planSounds(input.slots)).status;
    QVERIFY2(built.ok(), built.error().c_str());
    QVERIFY(QFile::exists(package + QStringLiteral("/warp.wa2")));

    QCOMPARE(m_damage.damaged({project}), 0);
    QVERIFY(QFile::exists(existing));
}

void EditorBadInputTest::gameFileThatIsADirectory_isReported()
{
    const QString game = m_dir->filePath(QStringLiteral("game"));
    QVERIFY(QDir().mkpath(game + QStringLiteral("/bomb2.wa2")));
    write(QStringLiteral("game/links.txt"), "old links");
    m_window->setSlotValue(2, write(QStringLiteral("b.wav"), pcmWave("b")));
    typeAndPress(m_window->settingsWindow(), QStringLiteral("pathBox"), game, QStringLiteral("okButton"));
    m_damage.snapshot(m_dir->path());
    trigger("convertItem");
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("bomb2.wa2")), qPrintable(m_dialogs.messages[0]));
    QCOMPARE(m_damage.damaged(), 0);
}

void EditorBadInputTest::waveThatVanishesBeforeConvert_isReported()
{
    const QString game = m_dir->filePath(QStringLiteral("game"));
    QVERIFY(QDir().mkpath(game));
    const QString wave = write(QStringLiteral("gone.wav"), pcmWave("gone"));
    m_dialogs.answers.enqueue(wave);
    clickButton(m_window.get(), QStringLiteral("addFileButton"));
    QVERIFY(QFile::remove(wave));
    typeAndPress(m_window->settingsWindow(), QStringLiteral("pathBox"), game, QStringLiteral("okButton"));
    m_damage.snapshot(m_dir->path());
    trigger("convertItem");
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("Slot 1")), qPrintable(m_dialogs.messages[0]));
    QVERIFY2(m_dialogs.messages[0].contains(wave), qPrintable(m_dialogs.messages[0]));
    QCOMPARE(m_damage.damaged(), 0);
}

void EditorBadInputTest::readOnlyGameDirectory_isReported()
{
#ifndef _WIN32
    if (vesk::posix::runningAsRoot())
        QSKIP("root writes into read-only directories");
#endif
    const QString game = m_dir->filePath(QStringLiteral("game"));
    QVERIFY(QDir().mkpath(game));
    m_window->setSlotValue(1, write(QStringLiteral("a.wav"), pcmWave("a")));
    typeAndPress(m_window->settingsWindow(), QStringLiteral("pathBox"), game, QStringLiteral("okButton"));
    QFile::setPermissions(game, QFile::ReadOwner | QFile::ExeOwner);
    m_damage.snapshot(m_dir->path());
    trigger("convertItem");
    QFile::setPermissions(game, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("permission denied")), qPrintable(m_dialogs.messages[0]));
    QCOMPARE(m_damage.damaged(), 0);
}

// A project that is no regular file is refused by Open with a message that
// names it; nothing in the window changes.
void EditorBadInputTest::projectThatIsNoFile_isRefused_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind :
         {"fifo", "link to /dev/zero", "link to /dev/urandom", "folder", "dangling link", "65 MiB", "missing"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

void EditorBadInputTest::projectThatIsNoFile_isRefused()
{
#ifdef _WIN32
    QSKIP("FIFOs and device links are POSIX matters");
#else
    QFETCH(QString, kind);
    const QString file = m_dir->filePath(QStringLiteral("odd.vsk"));
    const std::string path = file.toStdString();
    if (kind == QStringLiteral("fifo"))
        QVERIFY(vesk::posix::makeFifo(path));
    else if (kind == QStringLiteral("folder"))
        QVERIFY(QDir().mkdir(file));
    else if (kind == QStringLiteral("dangling link"))
        std::filesystem::create_symlink("/nowhere/at/all", path);
    else if (kind == QStringLiteral("65 MiB")) {
        write(QStringLiteral("odd.vsk"), lines("none", 47) + " 0 \r\n");
        std::filesystem::resize_file(path, 65u << 20);
    } else if (kind != QStringLiteral("missing"))
        std::filesystem::create_symlink(kind.mid(8).toStdString(), path);
    m_window->setSlotValue(1, QStringLiteral("/sounds/kept.wav"));
    m_damage.snapshot(m_dir->path());
    m_dialogs.answers.enqueue(file);
    trigger("openItem");
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(file), qPrintable(m_dialogs.messages[0]));
    QCOMPARE(m_window->slotValue(1), QStringLiteral("/sounds/kept.wav"));
    QCOMPARE(m_damage.damaged(), 0);
#endif
}

// Save into places that are no plain file: refused, or written through,
// without touching anything else.
void EditorBadInputTest::awkwardSaveTargets_keepEveryOtherFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("saves");
    QTest::newRow("a folder") << QStringLiteral("folder") << false;
    QTest::newRow("in a missing folder") << QStringLiteral("missing folder") << false;
    QTest::newRow("through a link") << QStringLiteral("link") << true;
    QTest::newRow("beside a .saving file of the user's") << QStringLiteral("saving") << true;
    QTest::newRow("over a read-only file") << QStringLiteral("read-only") << true;
    QTest::newRow("a name with markup") << QStringLiteral("<img src=x>.vsk") << true;
    QTest::newRow("a name with a line break") << QStringLiteral("two\nlines.vsk") << true;
    QTest::newRow("a value no form carries") << QStringLiteral("unstorable") << false;
}

void EditorBadInputTest::awkwardSaveTargets_keepEveryOtherFile()
{
    QFETCH(QString, kind);
    QFETCH(bool, saves);
    QString file = m_dir->filePath(QStringLiteral("theme.vsk"));
    QString written = file;
    write(QStringLiteral("theme.vsk.saving"), "the user's own file");
    if (kind == QStringLiteral("folder"))
        QVERIFY(QDir().mkdir(file));
    else if (kind == QStringLiteral("missing folder"))
        file = m_dir->filePath(QStringLiteral("gone/theme.vsk"));
    else if (kind == QStringLiteral("link")) {
        write(QStringLiteral("real/target.vsk"), "old");
        QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("real/target.vsk")), file));
        written = m_dir->filePath(QStringLiteral("real/target.vsk"));
    } else if (kind == QStringLiteral("read-only")) {
        write(QStringLiteral("theme.vsk"), "old");
        QFile::setPermissions(file, QFile::ReadOwner);
#ifndef _WIN32
        saves = vesk::posix::runningAsRoot(); // root may replace a read-only file, as a plain write would
#endif
    } else if (kind == QStringLiteral("unstorable")) {
        m_window->setSlotValue(2, QStringLiteral("with\nline break"));
    } else if (kind != QStringLiteral("saving")) {
        file = written = m_dir->filePath(kind);
    }
    m_window->setSlotValue(1, QStringLiteral("/sounds/new.wav"));
    m_damage.snapshot(m_dir->path(), {written, file});
    m_dialogs.answers.enqueue(file);
    trigger("saveItem");
    QCOMPARE(m_dialogs.messages.isEmpty(), saves);
    if (saves) {
        QFile out(written);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QVERIFY(out.readAll().startsWith("/sounds/new.wav\r\n"));
    }
    QCOMPARE(m_damage.damaged(), 0);
}

// A sound that is a FIFO, a device, a folder or gone: Convert and the package
// build say which slot and stop, instead of waiting for ever.
void EditorBadInputTest::soundsThatAreNoFiles_areReportedByConvertAndPackage_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("package");
    for (const char *kind : {"fifo", "link to /dev/zero", "folder", "missing", "empty path"}) {
        QTest::addRow("convert, %s", kind) << QString::fromLatin1(kind) << false;
        QTest::addRow("package, %s", kind) << QString::fromLatin1(kind) << true;
    }
}

void EditorBadInputTest::soundsThatAreNoFiles_areReportedByConvertAndPackage()
{
#ifdef _WIN32
    QSKIP("FIFOs and device links are POSIX matters");
#else
    QFETCH(QString, kind);
    QFETCH(bool, package);
    const QString sound = kind == QStringLiteral("empty path") ? QString() : m_dir->filePath(QStringLiteral("odd.wav"));
    if (kind == QStringLiteral("fifo"))
        QVERIFY(vesk::posix::makeFifo(sound.toStdString()));
    else if (kind == QStringLiteral("folder"))
        QVERIFY(QDir().mkdir(sound));
    else if (kind == QStringLiteral("link to /dev/zero"))
        std::filesystem::create_symlink("/dev/zero", sound.toStdString());
    const QString game = m_dir->filePath(QStringLiteral("game"));
    QVERIFY(QDir().mkpath(game));
    write(QStringLiteral("game/mine2.wa2"), "the game's own mine");
    m_window->setSlotValue(5, sound);
    m_damage.snapshot(m_dir->path());
    QString failure;
    if (package) {
        vesk::PackageInput input;
        input.theme = {"Ann", "", "http://", "10", "Black", "White", "T"};
        input.picture = write(QStringLiteral("picture.jpg"), "\xff\xd8\xff").toStdString();
        input.packageDirectory = m_dir->filePath(QStringLiteral("package")).toStdString();
        QDir().mkpath(m_dir->filePath(QStringLiteral("package")));
        input.editorDirectory = m_dir->path().toStdString();
        write(QStringLiteral("vpak"), "installer");
        input.slots = m_window->theme().slots();
        failure = QString::fromStdString(vesk::buildPackage(input, vesk::planSounds(input.slots)).status.error());
    } else {
        typeAndPress(m_window->settingsWindow(), QStringLiteral("pathBox"), game, QStringLiteral("okButton"));
        trigger("convertItem");
        QCOMPARE(m_dialogs.messages.size(), 1);
        failure = m_dialogs.messages[0];
    }
    QVERIFY2(failure.contains(QStringLiteral("lot 5 (Mines, Level 2)")), qPrintable(failure));
    QCOMPARE(m_damage.damaged(), 0);
#endif
}

// Files in the package folder that the build would not write are named in a
// question; No writes nothing.
void EditorBadInputTest::strayFilesInThePackageFolder_areAskedAbout_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"readme.txt", "evil.dll", "bomb2.wa2", ".hidden", "-rf", "new\nline", "BGIMAGE.JPG.bak"})
        QTest::addRow("%s", name[3] == '\n' ? "line break" : name) << QString::fromUtf8(name);
}

void EditorBadInputTest::strayFilesInThePackageFolder_areAskedAbout()
{
    QFETCH(QString, name);
    const QString package = m_dir->filePath(QStringLiteral("package"));
    write(QStringLiteral("package/") + name, "stray");
    write(QStringLiteral("package/theme.cfg"), "An earlier build\r\n");
    write(QStringLiteral("vpak"), "installer");
    m_damage.snapshot(m_dir->path());
    vesk::PackageInput input;
    input.packageDirectory = package.toStdString();
    input.slots.fill(vesk::kNoSound);
    const std::vector<vesk::StrayFile> stray = vesk::strayFiles(input);
    QCOMPARE(stray.size(), size_t(1));
    QCOMPARE(QString::fromStdString(stray[0].name), name);
    QCOMPARE(stray[0].fromEarlierBuild, name == QStringLiteral("bomb2.wa2"));
    QCOMPARE(m_damage.damaged(), 0);
}

// A backup folder someone else wrote into: Restore puts back and removes
// only what a theme changed, and never touches the game's other files or
// anything outside the game directory.
void EditorBadInputTest::strangeBackups_restoreOnlyWhatAThemeChanged_data()
{
    QTest::addColumn<QByteArray>("added"); // added.txt, or nothing
    QTest::addColumn<QString>("stray");    // an entry of the backup folder that is no file
    QTest::addColumn<QString>("gameSpelling");
    QTest::addColumn<QString>("said");
    const QString outside = QStringLiteral("left alone");
    for (const char *line : {"../outside.txt", "kestrova.exe", "kestrova.exe.", "saves/slot1.sav", "saves\\slot1.sav",
                             "CON", "vesk-originals", "..", "C:outside.txt"})
        QTest::addRow("added.txt: %s", line) << QByteArray(line) + "\r\n"
                                             << QString() << QStringLiteral("bomb1.wa2") << outside;
    QTest::addRow("added.txt: the absolute path of a file outside")
        << QByteArray("<outside>\r\n") << QString() << QStringLiteral("bomb1.wa2") << outside;
    QTest::addRow("added.txt over 64 KiB") << QByteArray(100 * 1024, 'x') << QString() << QStringLiteral("bomb1.wa2")
                                           << QStringLiteral("larger than 64 KiB");
    QTest::addRow("a folder in the backup") << QByteArray() << QStringLiteral("aaa_subdir")
                                            << QStringLiteral("bomb1.wa2") << QStringLiteral("as no files: aaa_subdir");
    QTest::addRow("a link in the backup") << QByteArray() << QStringLiteral("gun1.wa2 link")
                                          << QStringLiteral("bomb1.wa2") << QStringLiteral("as no files: gun1.wa2");
    QTest::addRow("an upper-case game") << QByteArray() << QString() << QStringLiteral("BOMB1.WA2")
                                        << QStringLiteral("1 file put back");
}

void EditorBadInputTest::strangeBackups_restoreOnlyWhatAThemeChanged()
{
    QFETCH(QByteArray, added);
    QFETCH(QString, stray);
    QFETCH(QString, gameSpelling);
    QFETCH(QString, said);
    const QString game = m_dir->filePath(QStringLiteral("game"));
    const QString outside = write(QStringLiteral("outside.txt"), "not the game's");
    write(QStringLiteral("game/kestrova.exe"), "the game");
    write(QStringLiteral("game/saves/slot1.sav"), "a saved game");
    const QString sound = write(QStringLiteral("game/") + gameSpelling, "the theme's bomb");
    const QString kept = write(QStringLiteral("game/vesk-originals/") + gameSpelling, "the game's bomb");
    if (!added.isEmpty())
        write(QStringLiteral("game/vesk-originals/added.txt"), added.replace("<outside>", outside.toUtf8()));
    if (stray.endsWith(QStringLiteral(" link")))
        QVERIFY(QFile::link(outside, game + QStringLiteral("/vesk-originals/") + stray.chopped(5)));
    else if (!stray.isEmpty())
        QVERIFY(QDir().mkpath(game + QStringLiteral("/vesk-originals/") + stray));
    typeAndPress(m_window->settingsWindow(), QStringLiteral("pathBox"), game, QStringLiteral("okButton"));
    m_damage.snapshot(m_dir->path(), {sound, kept, game + QStringLiteral("/vesk-originals/added.txt")});
    m_dialogs.questionAnswers << platform::Dialogs::Answer::Yes;
    trigger("restoreItem");
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(said), qPrintable(m_dialogs.messages[0]));
    QCOMPARE(m_damage.damaged({sound, kept, game + QStringLiteral("/vesk-originals/added.txt")}), 0);
    if (!said.contains(QStringLiteral("64 KiB"))) {
        QFile restored(sound);
        QVERIFY(restored.open(QIODevice::ReadOnly));
        QCOMPARE(restored.readAll(), QByteArray("the game's bomb"));
    }
    QVERIFY(QFile::exists(outside));
}

// A game directory on a file system too small for the theme.
void EditorBadInputTest::fullGameFileSystem_leavesTheGameAsItWas()
{
    const QString game = m_dir->filePath(QStringLiteral("game"));
    QVERIFY(QDir().mkpath(game));
    vesk::posix::TinyFileSystem small(QFile::encodeName(game).toStdString(), "192k");
    if (!small.mounted())
        QSKIP(small.reason().c_str());
    // The small file system goes with this case: its files are checked here.
    const QString own = write(QStringLiteral("game/bomb1.wa2"), "the game's bomb");
    for (int k = 1; k <= 4; ++k)
        m_window->setSlotValue(k, write(QStringLiteral("big%1.wav").arg(k), pcmWave(QByteArray(80 * 1024, '\x80'))));
    typeAndPress(m_window->settingsWindow(), QStringLiteral("pathBox"), game, QStringLiteral("okButton"));
    const QStringList before = QDir(game).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    m_damage.snapshot(m_dir->path(), {own});
    for (int attempt = 0; attempt < 2; ++attempt)
        trigger("convertItem");
    QCOMPARE(m_dialogs.messages.size(), 2);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("no space left on device")),
             qPrintable(m_dialogs.messages[0]));
    QCOMPARE(QDir(game).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    QFile kept(own);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("the game's bomb"));
    QCOMPARE(m_damage.damaged({own}), 0);
}

// Open Package into a folder on a file system too small for the sounds: the
// copies go together or not at all, and the theme stays as it was.
void EditorBadInputTest::openPackageOntoAFullFileSystem_copiesNothing()
{
    const QString copies = m_dir->filePath(QStringLiteral("copies"));
    QVERIFY(QDir().mkpath(copies));
    vesk::posix::TinyFileSystem small(QFile::encodeName(copies).toStdString(), "192k");
    if (!small.mounted())
        QSKIP(small.reason().c_str());
    write(QStringLiteral("Ocean/theme.cfg"), "Ann\r\n");
    for (const char *sound : {"bomb1.wa2", "bomb2.wa2", "bomb3.wa2", "gun1.wa2"})
        write(QStringLiteral("Ocean/") + QString::fromLatin1(sound), pcmWave(QByteArray(80 * 1024, '\x80')));
    m_damage.snapshot(m_dir->path());
    m_dialogs.answers << m_dir->filePath(QStringLiteral("Ocean/theme.cfg")) << copies;
    trigger("openPackageItem");
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("no space left on device"), Qt::CaseInsensitive),
             qPrintable(m_dialogs.messages[0]));
    QVERIFY(QDir(copies).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    QCOMPARE(m_window->slotValue(1), QStringLiteral("none"));
    QCOMPARE(m_damage.damaged(), 0);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    EditorBadInputTest suite;
    QTEST_SET_MAIN_SOURCE_PATH
    return badinput::runSuite(suite, argc, argv);
}
#include "editor_badinput_test.moc"
