// Bad input for the editor: broken project files, awkward paths and targets
// that cannot be written. Every case must end without a crash, with a message
// where the player needs one, and with no existing file damaged.
#include "damagecheck.h"
#include "fakedialogs.h"
#include "frmmain.h"
#include "frmsettings.h"
#include "packagebuild.h"
#include "windowtest.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>

#ifndef _WIN32
#include <unistd.h>
#endif

class EditorBadInputTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanupTestCase();

    void brokenProjectFiles_areRefusedOrReadWhole_data();
    void brokenProjectFiles_areRefusedOrReadWhole();
    void awkwardPaths_roundTripAndApplyAndPackage_data();
    void awkwardPaths_roundTripAndApplyAndPackage();
    void gameFileThatIsADirectory_isReported();
    void waveThatVanishesBeforeConvert_isReported();
    void readOnlyGameDirectory_isReported();

private:
    void trigger(const char *action) { findControl<QAction>(m_window.get(), QString::fromLatin1(action))->trigger(); }
    QString write(const QString &relative, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeDialogs m_dialogs;
    FakeSound m_sound;
    std::unique_ptr<frmmain> m_window;
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
    m_dir = std::make_unique<QTemporaryDir>();
    m_dialogs = FakeDialogs();
    m_window = std::make_unique<frmmain>(m_dir->path(), m_dialogs, m_sound);
    m_window->show();
    m_dialogs.messages.clear();
}

void EditorBadInputTest::cleanupTestCase()
{
    m_window.reset();
    m_damage.printSummary();
    QCOMPARE(m_damage.totalDamaged(), 0);
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
    trigger("mnuFileOpen");

    if (loads) {
        QVERIFY(m_dialogs.messages.isEmpty());
        QCOMPARE(m_window->slotValue(1), QStringLiteral("none"));
    } else {
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY2(m_dialogs.messages[0].contains(file), qPrintable(m_dialogs.messages[0].left(300)));
        QCOMPARE(m_window->slotValue(1), QStringLiteral("/sounds/kept.wav"));
    }
    QCOMPARE(findControl<QListWidget>(m_window.get(), QStringLiteral("List1"))->count(), links);
    const int damaged = m_damage.damaged();
    m_damage.tried(damaged);
    QCOMPARE(damaged, 0);
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
    const QString wave = write(folder + QStringLiteral("/") + name.left(8) + QStringLiteral(".wav"), "RIFF awkward");
    const QString game = m_dir->filePath(QStringLiteral("game ") + folder);
    const QString package = m_dir->filePath(QStringLiteral("package ") + folder);
    QVERIFY(QDir().mkpath(game));
    QVERIFY(QDir().mkpath(package));
    write(QStringLiteral("vpak"), "installer");
    const QString existing = write(QStringLiteral("unrelated.txt"), "keep me");
    m_damage.snapshot(m_dir->path());

    m_dialogs.answers.enqueue(wave);
    clickButton(m_window.get(), QStringLiteral("Command2"));
    m_window->setSlotValue(47, wave);
    const QString project = m_dir->filePath(folder + QStringLiteral("/") + name.left(8) + QStringLiteral(".vsk"));
    m_dialogs.answers.enqueue(project);
    trigger("mnuFileSave");
    m_window->setSlotValue(1, QStringLiteral("none"));
    m_dialogs.answers.enqueue(project);
    trigger("mnuFileOpen");
    QVERIFY2(m_dialogs.messages.isEmpty(), qPrintable(m_dialogs.messages.join(QLatin1Char('\n'))));
    QCOMPARE(m_window->slotValue(1), wave);

    typeAndPress(m_window->settingsWindow(), QStringLiteral("text1"), game, QStringLiteral("Command1"));
    trigger("mnuFileConvert");
    QVERIFY2(m_dialogs.messages.isEmpty(), qPrintable(m_dialogs.messages.join(QLatin1Char('\n'))));
    QFile bomb(game + QStringLiteral("/bomb1.wa2"));
    QVERIFY(bomb.open(QIODevice::ReadOnly));
    QCOMPARE(bomb.readAll(), QByteArray("RIFF awkward"));

    vesk::PackageInput input;
    input.theme = {name.toStdString(), "", "http://", "10", "Black", "White", name.toStdString()};
    input.picture = wave.toLocal8Bit().toStdString();
    input.packageDirectory = package.toLocal8Bit().toStdString();
    input.editorDirectory = m_dir->path().toLocal8Bit().toStdString();
    input.slots = m_window->theme().slots();
    const vesk::Status built = vesk::buildPackage(input);
    QVERIFY2(built.ok(), built.error().c_str());
    QVERIFY(QFile::exists(package + QStringLiteral("/warp.wa2")));

    const int damaged = m_damage.damaged({project});
    m_damage.tried(damaged);
    QCOMPARE(damaged, 0);
    QVERIFY(QFile::exists(existing));
}

void EditorBadInputTest::gameFileThatIsADirectory_isReported()
{
    const QString game = m_dir->filePath(QStringLiteral("game"));
    QVERIFY(QDir().mkpath(game + QStringLiteral("/bomb2.wa2")));
    write(QStringLiteral("game/links.txt"), "old links");
    m_window->setSlotValue(2, write(QStringLiteral("b.wav"), "RIFF"));
    typeAndPress(m_window->settingsWindow(), QStringLiteral("text1"), game, QStringLiteral("Command1"));
    m_damage.snapshot(m_dir->path());
    trigger("mnuFileConvert");
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("bomb2.wa2")), qPrintable(m_dialogs.messages[0]));
    const int damaged = m_damage.damaged();
    m_damage.tried(damaged);
    QCOMPARE(damaged, 0);
}

void EditorBadInputTest::waveThatVanishesBeforeConvert_isReported()
{
    const QString game = m_dir->filePath(QStringLiteral("game"));
    QVERIFY(QDir().mkpath(game));
    const QString wave = write(QStringLiteral("gone.wav"), "RIFF");
    m_dialogs.answers.enqueue(wave);
    clickButton(m_window.get(), QStringLiteral("Command2"));
    QVERIFY(QFile::remove(wave));
    typeAndPress(m_window->settingsWindow(), QStringLiteral("text1"), game, QStringLiteral("Command1"));
    m_damage.snapshot(m_dir->path());
    trigger("mnuFileConvert");
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("Slot 1")), qPrintable(m_dialogs.messages[0]));
    QVERIFY2(m_dialogs.messages[0].contains(wave), qPrintable(m_dialogs.messages[0]));
    const int damaged = m_damage.damaged();
    m_damage.tried(damaged);
    QCOMPARE(damaged, 0);
}

void EditorBadInputTest::readOnlyGameDirectory_isReported()
{
#ifndef _WIN32
    if (geteuid() == 0)
        QSKIP("root writes into read-only directories");
#endif
    const QString game = m_dir->filePath(QStringLiteral("game"));
    QVERIFY(QDir().mkpath(game));
    m_window->setSlotValue(1, write(QStringLiteral("a.wav"), "RIFF"));
    typeAndPress(m_window->settingsWindow(), QStringLiteral("text1"), game, QStringLiteral("Command1"));
    QFile::setPermissions(game, QFile::ReadOwner | QFile::ExeOwner);
    m_damage.snapshot(m_dir->path());
    trigger("mnuFileConvert");
    QFile::setPermissions(game, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("permission denied")), qPrintable(m_dialogs.messages[0]));
    m_damage.tried(m_damage.damaged());
}

QTEST_MAIN(EditorBadInputTest)
#include "editor_badinput_test.moc"
