// The main window's link list, project files and applying a theme, driven
// through the window's own controls and menus.
#include "fakedialogs.h"
#include "localtext.h"
#include "mainwindow.h"
#include "packagemixwindow.h"
#include "settingswindow.h"
#include "slotlabel.h"
#include "soundbrowser.h"
#include "soundbrowserwindow.h"
#include "soundwindow.h"
#include "wavebytes.h"
#include "wavecheck.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <QUrl>

#include <fstream>
#include <memory>

class MainWindowProjectTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    // Link list
    void add_twiceAppendsTheSameLinkTwice();
    void remove_withNothingSelected_doesNothing_andTwiceRemovesOne();
    void selectingThenAdd_appendsACopyAtTheEnd();
    void selecting_followsInTheHiddenList();

    // Project files
    void save_freshEditor_writes47NonesAndZero();
    void saveThenOpen_restoresSlotsAndLinksWithoutDoubling();
    void save_selectsTheLastLink();
    void save_typedNameWithoutExtension_isUsedAsTyped();
    void save_cancelled_writesNothing();
    void save_uncarriableValue_isRefusedWithAMessage();
    void save_failing_keepsTheOldFile();
    void open_incompleteOrGarbage_isRefusedAndChangesNothing();

    // Applying
    void convert_roundTripThroughTheWindows();
    void convert_refusesAMissingGameDirectory();
    void convert_failingSlot_reportsIt();
    void convert_asksAboutNonWaves_andRestoreTakesTheThemeBackOut();
    void convert_turnsEverySoundIntoThePlainWaveTheGamePlays();
    void convert_showsItsProgressAndCancelChangesNothing();
    void convert_asksAgainAboutASoundFoundDamagedPartWay();

    // The theme as a model
    void openThenSave_keepsEveryByte();
    void withoutGameDirectory_convertWritesNothing();
    void unsavedChanges_areAskedAboutBeforeClosingOrOpening();
    void drop_setsASlotOrOpensAProjectOrAPackage();
    void editMenu_undoesAndRedoesByKeys();
    void killedEditor_changesAreRecoveredAtTheNextStart();
    void soundBrowser_playsAsTheKeysMoveAndFillsSlotsWithReturn();
    void takeSounds_comparesPackagesByEarAndOkIsOneStep();

    // Each slot's sound as the game will play it
    void soundRows_showLengthPictureAndMarks();
    void play_aFileThatIsNoSound_saysWhyAndPlaysNothing();
    void soundWindow_trimsFadesAndMatchesAndThePlayerGetsExactlyThat();

private:
    void makeWindow();
    // linkList and addressList are two views of one model of the theme's links.
    QListView *list(const char *name) const
    {
        return findControl<QListView>(m_window.get(), QString::fromLatin1(name));
    }
    QLineEdit *box(const char *name) const { return findControl<QLineEdit>(m_window.get(), QString::fromLatin1(name)); }
    void trigger(const char *action) { findControl<QAction>(m_window.get(), QString::fromLatin1(action))->trigger(); }
    void addLink(const QString &name, const QString &url);
    QString makeWave(const QString &name, const QByteArray &bytes);
    void setGameDirectory(const QString &directory);

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeDialogs m_dialogs;
    FakeSound m_sound;
    std::unique_ptr<MainWindow> m_window;
};

static QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

static void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void MainWindowProjectTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_dialogs = FakeDialogs();
    m_sound.played.clear();
    makeWindow();
    m_dialogs.messages.clear(); // the start-up request for a game directory
}

void MainWindowProjectTest::cleanup()
{
    m_window.reset();
}

void MainWindowProjectTest::makeWindow()
{
    m_window.reset();
    m_window = std::make_unique<MainWindow>(m_dir->path(), m_dialogs, m_sound);
    m_window->show();
}

void MainWindowProjectTest::addLink(const QString &name, const QString &url)
{
    box("linkNameBox")->setText(name);
    box("linkAddressBox")->setText(url);
    clickButton(m_window.get(), QStringLiteral("addLinkButton"));
}

QString MainWindowProjectTest::makeWave(const QString &name, const QByteArray &bytes)
{
    // The bytes become the samples of a real wave file, so that no wave
    // check stops a Convert.
    const QString path = m_dir->filePath(name);
    writeFile(path, pcmWave(bytes));
    return path;
}

void MainWindowProjectTest::setGameDirectory(const QString &directory)
{
    typeAndPress(m_window->settingsWindow(), QStringLiteral("pathBox"), directory, QStringLiteral("okButton"));
}

void MainWindowProjectTest::add_twiceAppendsTheSameLinkTwice()
{
    QCOMPARE(box("linkAddressBox")->text(), QStringLiteral("http://"));
    clickButton(m_window.get(), QStringLiteral("addLinkButton"));
    clickButton(m_window.get(), QStringLiteral("addLinkButton"));
    QCOMPARE(listTexts(list("linkList")), (QStringList{QString(), QString()}));
    QCOMPARE(listTexts(list("addressList")), (QStringList{QStringLiteral("http://"), QStringLiteral("http://")}));
    QVERIFY(nothingSelected(list("linkList")));
}

void MainWindowProjectTest::remove_withNothingSelected_doesNothing_andTwiceRemovesOne()
{
    addLink(QStringLiteral("A"), QStringLiteral("http://a"));
    addLink(QStringLiteral("B"), QStringLiteral("http://b"));
    clickButton(m_window.get(), QStringLiteral("removeLinkButton"));
    QCOMPARE(list("linkList")->model()->rowCount(), 2);

    clickRow(list("linkList"), 0);
    clickButton(m_window.get(), QStringLiteral("removeLinkButton"));
    clickButton(m_window.get(), QStringLiteral("removeLinkButton"));
    QCOMPARE(listTexts(list("linkList")), QStringList{QStringLiteral("B")});
    QCOMPARE(listTexts(list("addressList")), QStringList{QStringLiteral("http://b")});
    QVERIFY(nothingSelected(list("linkList")));
    // The removed link stays in the boxes.
    QCOMPARE(box("linkNameBox")->text(), QStringLiteral("A"));
}

void MainWindowProjectTest::selectingThenAdd_appendsACopyAtTheEnd()
{
    addLink(QStringLiteral("A"), QStringLiteral("http://a"));
    addLink(QStringLiteral("B"), QStringLiteral("http://b"));
    clickRow(list("linkList"), 0);
    clickButton(m_window.get(), QStringLiteral("addLinkButton"));
    QCOMPARE(listTexts(list("linkList")), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A")}));
    QCOMPARE(listTexts(list("addressList")),
             (QStringList{QStringLiteral("http://a"), QStringLiteral("http://b"), QStringLiteral("http://a")}));
}

void MainWindowProjectTest::selecting_followsInTheHiddenList()
{
    addLink(QStringLiteral("A"), QStringLiteral("http://a"));
    addLink(QStringLiteral("B"), QStringLiteral("http://b"));
    clickRow(list("linkList"), 1);
    QCOMPARE(currentRow(list("addressList")), 1);
    QCOMPARE(box("linkNameBox")->text(), QStringLiteral("B"));
    QCOMPARE(box("linkAddressBox")->text(), QStringLiteral("http://b"));
    QVERIFY(list("addressList")->isHidden());
}

void MainWindowProjectTest::save_freshEditor_writes47NonesAndZero()
{
    const QString file = m_dir->filePath(QStringLiteral("fresh.vsk"));
    m_dialogs.answers.enqueue(file);
    trigger("saveItem");
    QCOMPARE(m_dialogs.requests.last().filter, QStringLiteral("VESK Project File *.vsk|*.vsk"));
    QVERIFY(m_dialogs.requests.last().save);
    QCOMPARE(readFile(file), QByteArray("none\r\n").repeated(47) + " 0 \r\n");
}

void MainWindowProjectTest::saveThenOpen_restoresSlotsAndLinksWithoutDoubling()
{
    m_window->setSlotValue(3, QStringLiteral("/sounds/c, with comma.wav"));
    addLink(QStringLiteral("Home"), QStringLiteral("http://home.example.org"));
    addLink(QStringLiteral("Forum"), QStringLiteral("http://forum.example.org"));
    const QString file = m_dir->filePath(QStringLiteral("theme.vsk"));
    m_dialogs.answers.enqueue(file);
    trigger("saveItem");

    m_window->setSlotValue(3, QStringLiteral("changed"));
    m_dialogs.answers.enqueue(file);
    trigger("openItem");
    QVERIFY(m_dialogs.messages.isEmpty());
    QCOMPARE(m_window->slotValue(3), QStringLiteral("/sounds/c, with comma.wav"));
    QCOMPARE(m_window->slotValue(4), QStringLiteral("none"));
    QCOMPARE(listTexts(list("linkList")), (QStringList{QStringLiteral("Home"), QStringLiteral("Forum")}));
    QCOMPARE(listTexts(list("addressList")),
             (QStringList{QStringLiteral("http://home.example.org"), QStringLiteral("http://forum.example.org")}));
    QVERIFY(nothingSelected(list("linkList")));
}

void MainWindowProjectTest::save_selectsTheLastLink()
{
    addLink(QStringLiteral("A"), QStringLiteral("http://a"));
    addLink(QStringLiteral("B"), QStringLiteral("http://b"));
    box("linkNameBox")->setText(QStringLiteral("typed"));
    m_dialogs.answers.enqueue(m_dir->filePath(QStringLiteral("x.vsk")));
    trigger("saveItem");
    QCOMPARE(currentRow(list("linkList")), 1);
    QCOMPARE(currentRow(list("addressList")), 1);
    QCOMPARE(box("linkNameBox")->text(), QStringLiteral("B"));
    QCOMPARE(box("linkAddressBox")->text(), QStringLiteral("http://b"));
    // Saving again with the last link still selected shows it afresh too.
    box("linkNameBox")->setText(QStringLiteral("typed again"));
    m_dialogs.answers.enqueue(m_dir->filePath(QStringLiteral("x.vsk")));
    trigger("saveItem");
    QCOMPARE(box("linkNameBox")->text(), QStringLiteral("B"));
}

void MainWindowProjectTest::save_typedNameWithoutExtension_isUsedAsTyped()
{
    const QString file = m_dir->filePath(QStringLiteral("mytheme"));
    m_dialogs.answers.enqueue(file);
    trigger("saveItem");
    QVERIFY(QFile::exists(file));
    QVERIFY(!QFile::exists(file + QStringLiteral(".vsk")));
}

void MainWindowProjectTest::save_cancelled_writesNothing()
{
    m_dialogs.answers.enqueue(std::nullopt);
    trigger("saveItem");
    m_dialogs.answers.enqueue(std::nullopt);
    trigger("openItem");
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
    QVERIFY(m_dialogs.messages.isEmpty());
}

void MainWindowProjectTest::save_uncarriableValue_isRefusedWithAMessage()
{
    const QString file = m_dir->filePath(QStringLiteral("keep.vsk"));
    writeFile(file, "old");
    addLink(QStringLiteral("\"Quoted\", name"), QStringLiteral("http://"));
    m_dialogs.answers.enqueue(file);
    trigger("saveItem");
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("\"Quoted\", name")), qPrintable(m_dialogs.messages[0]));
    QCOMPARE(readFile(file), QByteArray("old"));
}

void MainWindowProjectTest::save_failing_keepsTheOldFile()
{
    // A directory where the project's file must go cannot be replaced.
    const QString file = m_dir->filePath(QStringLiteral("keep.vsk"));
    QVERIFY(QDir().mkdir(file));
    writeFile(file + QStringLiteral("/inside"), "old project");
    m_dialogs.answers.enqueue(file);
    trigger("saveItem");
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(file), qPrintable(m_dialogs.messages[0]));
    QCOMPARE(readFile(file + QStringLiteral("/inside")), QByteArray("old project"));
}

void MainWindowProjectTest::open_incompleteOrGarbage_isRefusedAndChangesNothing()
{
    m_window->setSlotValue(1, QStringLiteral("/sounds/keep.wav"));
    addLink(QStringLiteral("Keep"), QStringLiteral("http://keep"));
    const QList<QByteArray> bad = {
        QByteArray("none\r\n").repeated(20),
        QByteArray("none\r\n").repeated(47) + " 3 \r\na\r\nb\r\n",
        QByteArray("\x00\x01\xff\xfe garbage", 13),
    };
    for (const QByteArray &bytes : bad) {
        const QString file = m_dir->filePath(QStringLiteral("bad.vsk"));
        writeFile(file, bytes);
        m_dialogs.messages.clear();
        m_dialogs.answers.enqueue(file);
        trigger("openItem");
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY2(m_dialogs.messages[0].contains(file), qPrintable(m_dialogs.messages[0]));
        QCOMPARE(m_window->slotValue(1), QStringLiteral("/sounds/keep.wav"));
        QCOMPARE(listTexts(list("linkList")), QStringList{QStringLiteral("Keep")});
    }
}

void MainWindowProjectTest::convert_roundTripThroughTheWindows()
{
    QTemporaryDir game;
    const QString bomb = makeWave(QStringLiteral("bomb.wav"), QByteArray("RIFF bomb\0\r\n", 12));
    const QString alarm = makeWave(QStringLiteral("alarm.wav"), "RIFF alarm");
    // A player's session: set slots, add a link, save, quit.
    m_dialogs.answers.enqueue(bomb);
    clickButton(m_window.get(), QStringLiteral("addFileButton"));
    clickButton(m_window.get(), QStringLiteral("slotButton27"));
    m_dialogs.answers.enqueue(alarm);
    clickButton(m_window.get(), QStringLiteral("addFileButton"));
    addLink(QStringLiteral("Clan"), QStringLiteral("http://clan.example.org"));
    const QString project = m_dir->filePath(QStringLiteral("night.vsk"));
    m_dialogs.answers.enqueue(project);
    trigger("saveItem");

    // Start again with the game directory remembered, open, convert.
    writeFile(m_dir->filePath(QStringLiteral("vesk.cfg")), game.path().toLocal8Bit() + "\r\n");
    makeWindow();
    m_dialogs.answers.enqueue(project);
    trigger("openItem");
    trigger("convertItem");
    QVERIFY2(m_dialogs.messages.isEmpty(), qPrintable(m_dialogs.messages.join(QLatin1Char('\n'))));
    QCOMPARE(readFile(game.filePath(QStringLiteral("bomb1.wa2"))), readFile(bomb));
    QCOMPARE(readFile(game.filePath(QStringLiteral("Alarm.wa2"))), readFile(alarm));
    QCOMPARE(readFile(game.filePath(QStringLiteral("links.txt"))),
             QByteArray("\"Halvick Soft\",\"http://halvick.example.org\"\r\n\"Clan\",\"http://clan.example.org\"\r\n"));
    QCOMPARE(QDir(game.path()).entryList(QDir::Files).size(), 3);
    QCOMPARE(box("linkNameBox")->text(), QStringLiteral("Clan"));
}

void MainWindowProjectTest::convert_refusesAMissingGameDirectory()
{
    m_window->setSlotValue(1, makeWave(QStringLiteral("a.wav"), "RIFF"));
    setGameDirectory(m_dir->filePath(QStringLiteral("not-there")));
    trigger("convertItem");
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("not-there")), qPrintable(m_dialogs.messages[0]));
}

void MainWindowProjectTest::convert_failingSlot_reportsIt()
{
    QTemporaryDir game;
    setGameDirectory(game.path());
    m_window->setSlotValue(1, makeWave(QStringLiteral("a.wav"), "RIFF"));
    m_window->setSlotValue(2, m_dir->filePath(QStringLiteral("vanished.wav")));
    trigger("convertItem");
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("Slot 2")), qPrintable(m_dialogs.messages[0]));
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("vanished.wav")), qPrintable(m_dialogs.messages[0]));
    // All or nothing: not even the slot before it was applied.
    QCOMPARE(QDir(game.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList());
}

void MainWindowProjectTest::convert_asksAboutNonWaves_andRestoreTakesTheThemeBackOut()
{
    using Answer = platform::Dialogs::Answer;
    QTemporaryDir game;
    writeFile(game.filePath(QStringLiteral("bomb1.wa2")), "the game's bomb");
    setGameDirectory(game.path());
    const QString mp3 = m_dir->filePath(QStringLiteral("song.wav"));
    writeFile(mp3, "ID3\x03 not a wave");
    m_window->setSlotValue(1, mp3);
    const QStringList untouched = {QStringLiteral("bomb1.wa2")};
    const auto gameFiles = [&game] {
        return QDir(game.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden, QDir::Name);
    };

    m_dialogs.questionAnswers << Answer::No << Answer::Yes;
    trigger("convertItem");
    QCOMPARE(gameFiles(), untouched);
    trigger("convertItem");
    QCOMPARE(m_dialogs.questions.size(), 2);
    QVERIFY2(m_dialogs.questions[0].contains(QStringLiteral("slot 1 (Bombs, Level 1) ") + mp3
                                             + QStringLiteral(": not a sound file")),
             qPrintable(m_dialogs.questions[0]));
    // Left out: the game keeps its own bomb, and links.txt is added.
    QCOMPARE(readFile(game.filePath(QStringLiteral("bomb1.wa2"))), QByteArray("the game's bomb"));
    QVERIFY(QFile::exists(game.filePath(QStringLiteral("links.txt"))));

    m_dialogs.questionAnswers << Answer::Yes;
    trigger("restoreItem");
    QVERIFY(m_dialogs.questions.last().contains(game.path()));
    QCOMPARE(m_dialogs.messages.last(),
             QStringLiteral("The game's own sounds are back: 0 files put back, 1 file removed."));
    QCOMPARE(gameFiles(), untouched);
    QCOMPARE(readFile(game.filePath(QStringLiteral("bomb1.wa2"))), QByteArray("the game's bomb"));
    trigger("restoreItem");
    QCOMPARE(m_dialogs.messages.last(),
             QStringLiteral("There are no original sounds to restore in %1.").arg(game.path()));
    QCOMPARE(m_dialogs.captions.last(), QStringLiteral("VESK"));

    // A folder without any of the game's sounds is asked about; No writes nothing.
    QFile::remove(game.filePath(QStringLiteral("bomb1.wa2")));
    m_dialogs.confirmGameDirectory = false;
    m_dialogs.questionAnswers << Answer::Yes << Answer::No;
    trigger("convertItem");
    QCOMPARE(m_dialogs.questions.last(),
             game.path() + QStringLiteral(" holds none of Kestrova's sound files. Is it really the game directory?"));
    QCOMPARE(gameFiles(), QStringList());
}

void MainWindowProjectTest::convert_turnsEverySoundIntoThePlainWaveTheGamePlays()
{
    using Answer = platform::Dialogs::Answer;
    QTemporaryDir game;
    writeFile(game.filePath(QStringLiteral("bomb2.wa2")), "the game's bomb 2");
    setGameDirectory(game.path());
    const QString data = QStringLiteral(VESK_SOUND_DATA "/");
    const QString plain = makeWave(QStringLiteral("plain.wav"), "RIFF plain");
    const QString mp3 = data + QStringLiteral("tone.mp3"), studio = data + QStringLiteral("pcm24.wav");
    const QString words = data + QStringLiteral("text.mp3");
    for (const auto &[slot, file] : {std::pair{1, plain}, {2, mp3}, {3, studio}, {4, words}})
        m_window->setSlotValue(slot, file);
    const auto before = QDir(game.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);

    m_dialogs.questionAnswers << Answer::Yes;
    trigger("convertItem");
    QCOMPARE(m_dialogs.questions.size(), 1);
    QVERIFY2(m_dialogs.questions[0].contains(QStringLiteral("slot 4 (Mines, Level 1) ") + words
                                             + QStringLiteral(": not a sound file")),
             qPrintable(m_dialogs.questions[0]));
    QCOMPARE(m_dialogs.messages,
             QStringList{QStringLiteral("2 sounds were converted to 16-bit PCM:\nslot 2 (Bombs, Level 2): %1\nslot 3 "
                                        "(Bombs, Level 3): %2")
                             .arg(mp3, studio)});
    QCOMPARE(readFile(game.filePath(QStringLiteral("bomb1.wa2"))), readFile(plain));
    for (const char *converted : {"bomb2.wa2", "bomb3.wa2"})
        QVERIFY2(!vesk::waveProblem(game.filePath(QLatin1String(converted)).toStdString()), converted);
    QVERIFY(!QFile::exists(game.filePath(QStringLiteral("mine1.wa2"))));
    QCOMPARE(m_window->slotValue(2), mp3); // the project keeps the player's own file

    m_dialogs.questionAnswers << Answer::Yes;
    trigger("restoreItem");
    QCOMPARE(QDir(game.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), before);
    QCOMPARE(readFile(game.filePath(QStringLiteral("bomb2.wa2"))), QByteArray("the game's bomb 2"));
}

void MainWindowProjectTest::convert_showsItsProgressAndCancelChangesNothing()
{
    QTemporaryDir game;
    writeFile(game.filePath(QStringLiteral("bomb1.wa2")), "the game's bomb");
    setGameDirectory(game.path());
    // Long work: 47 sounds of a minute to resample, some seconds in all.
    const QString big = m_dir->filePath(QStringLiteral("studio.wav"));
    writeFile(big, toneWave(60.0, 1000, 0.5, 96000));
    for (int k = 1; k <= vesk::kSlotCount; ++k)
        m_window->setSlotValue(k, big);
    const auto files
        = [&game] { return QDir(game.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden); };
    const QStringList before = files();
    // Sounds of a minute where the game has none of a few seconds: asked
    // first, and No changes nothing.
    trigger("convertItem");
    QCOMPARE(m_dialogs.questions.size(), 1);
    QVERIFY2(
        m_dialogs.questions[0].startsWith(QStringLiteral("These sounds are much longer than the game's own: slot 1 "
                                                         "(Bombs, Level 1) ")
                                          + big + QStringLiteral(": 1 min 0 s, the game has none; slot 2")),
        qPrintable(m_dialogs.questions[0]));
    QVERIFY(m_dialogs.questions[0].endsWith(QStringLiteral(". Go on with them as they are? (No cancels.)")));
    QCOMPARE(files(), before);
    m_dialogs.questionAnswers << platform::Dialogs::Answer::Yes;

    QString shown;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        for (auto *progress : m_window->findChildren<QProgressDialog *>(QStringLiteral("progress")))
            if (progress->isVisible() && shown.isEmpty()) {
                shown = progress->labelText();
                progress->cancel();
            }
    });
    watch.start(10);
    trigger("convertItem");
    QVERIFY2(shown.contains(QStringLiteral("studio.wav")), qPrintable(shown));
    QCOMPARE(files(), before);
    QCOMPARE(readFile(game.filePath(QStringLiteral("bomb1.wa2"))), QByteArray("the game's bomb"));
    QVERIFY2(m_dialogs.messages.isEmpty(), qPrintable(m_dialogs.messages.join(QLatin1Char('\n'))));
}

void MainWindowProjectTest::convert_asksAgainAboutASoundFoundDamagedPartWay()
{
    using Answer = platform::Dialogs::Answer;
    QTemporaryDir game;
    writeFile(game.filePath(QStringLiteral("bomb1.wa2")), "the game's bomb");
    setGameDirectory(game.path());
    // A FLAC whose second half is noise where its frames should be.
    const QString broken = QStringLiteral(VESK_SOUND_DATA "/damaged.flac");
    m_window->setSlotValue(1, broken);

    m_dialogs.questionAnswers << Answer::Yes;
    trigger("convertItem");
    if (m_dialogs.questions.isEmpty())
        QSKIP("this libsndfile reads past the damage");
    QVERIFY2(m_dialogs.questions[0].contains(QStringLiteral("slot 1 (Bombs, Level 1) ") + broken
                                             + QStringLiteral(": damaged after ")),
             qPrintable(m_dialogs.questions[0]));
    // Left out on the second try: the game keeps its bomb, links.txt comes.
    QCOMPARE(readFile(game.filePath(QStringLiteral("bomb1.wa2"))), QByteArray("the game's bomb"));
    QVERIFY(QFile::exists(game.filePath(QStringLiteral("links.txt"))));
    QVERIFY2(m_dialogs.messages.isEmpty(), qPrintable(m_dialogs.messages.join(QLatin1Char('\n'))));
}

void MainWindowProjectTest::openThenSave_keepsEveryByte()
{
    // Latin-1 and broken UTF-8 in a path and a link: shown decoded, stored as read.
    const QByteArray bytes = QByteArray("/sounds/Caf\xE9.wav\r\n") + QByteArray("none\r\n").repeated(45)
                             + "/bad/\xFF\xC3.wav\r\n 1 \r\nN\xE4me\r\nhttp://x/\xFE\r\n";
    const QString in = m_dir->filePath(QStringLiteral("in.vsk"));
    const QString out = m_dir->filePath(QStringLiteral("out.vsk"));
    writeFile(in, bytes);
    m_dialogs.answers.enqueue(in);
    trigger("openItem");
    QVERIFY(m_window->slotValue(1).contains(QChar(0xFFFD)));
    m_dialogs.answers.enqueue(out);
    trigger("saveItem");
    QVERIFY2(m_dialogs.messages.isEmpty(), qPrintable(m_dialogs.messages.join(QLatin1Char('\n'))));
    QCOMPARE(readFile(out), bytes);
}

void MainWindowProjectTest::withoutGameDirectory_convertWritesNothing()
{
    QTemporaryDir workingDirectory;
    const QString before = QDir::currentPath();
    QDir::setCurrent(workingDirectory.path());
    m_window->setSlotValue(1, makeWave(QStringLiteral("a.wav"), "RIFF"));
    trigger("convertItem");
    // A settings file holding only a line end, or a relative path, chooses nothing either.
    writeFile(m_dir->filePath(QStringLiteral("vesk.cfg")), "\r\n");
    makeWindow();
    m_window->setSlotValue(1, makeWave(QStringLiteral("a.wav"), "RIFF"));
    trigger("convertItem");
    // Settings refuse an empty or relative path and stay open.
    QPointer<SettingsWindow> settings = m_window->settingsWindow();
    settings->show();
    for (const QString &typed : {QString(), QStringLiteral("game")})
        typeAndPress(settings, QStringLiteral("pathBox"), typed, QStringLiteral("okButton"));
    QVERIFY(settings && settings->isVisible());
    trigger("convertItem");
    QDir::setCurrent(before);

    QCOMPARE(QDir(workingDirectory.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    const QString ask = QStringLiteral("Please go to Options Settings and select your Kestrova directory");
    QCOMPARE(m_dialogs.messages.count(ask), 4); // the start-up of the second window, three Converts
    QCOMPARE(m_dialogs.messages.size(), 6);
    QCOMPARE(m_dialogs.captions.last(), QStringLiteral("VESK"));
    QCOMPARE(readFile(m_dir->filePath(QStringLiteral("vesk.cfg"))), QByteArray("\r\n"));
}

void MainWindowProjectTest::unsavedChanges_areAskedAboutBeforeClosingOrOpening()
{
    using Answer = platform::Dialogs::Answer;
    const QString saved = m_dir->filePath(QStringLiteral("saved.vsk"));

    // Nothing changed: closes at once.
    QVERIFY(m_window->close());
    QVERIFY(m_dialogs.questions.isEmpty());

    makeWindow();
    m_window->setSlotValue(3, QStringLiteral("/sounds/c.wav"));
    m_dialogs.questionAnswers << Answer::Cancel << Answer::Yes << Answer::Yes;
    QVERIFY(!m_window->close()); // Cancel stays
    QVERIFY(!m_window->close()); // Yes, but the save dialog is cancelled
    m_dialogs.answers.enqueue(saved);
    QVERIFY(m_window->close()); // Yes, saved
    QCOMPARE(m_dialogs.questions.size(), 3);
    QCOMPARE(m_dialogs.questions.first(), QStringLiteral("Save the changes to this theme before closing?"));
    QCOMPARE(m_dialogs.questionCaptions.first(), QStringLiteral("VESK"));
    QVERIFY(readFile(saved).startsWith("none\r\nnone\r\n/sounds/c.wav\r\n"));

    // Open asks too; No discards and opens, and only a link changes it again.
    makeWindow();
    m_window->setSlotValue(1, QStringLiteral("/sounds/a.wav"));
    m_dialogs.answers.enqueue(saved);
    trigger("openItem");
    QCOMPARE(m_dialogs.questions.size(), 4);
    QCOMPARE(m_dialogs.questions.last(),
             QStringLiteral("Save the changes to this theme before opening another project?"));
    QCOMPARE(m_window->slotValue(3), QStringLiteral("/sounds/c.wav"));
    // Save then offers the file that was opened.
    trigger("saveItem");
    QCOMPARE(m_dialogs.requests.last().fileName, saved);
    QVERIFY(m_window->close());
    makeWindow();
    addLink(QStringLiteral("Clan"), QStringLiteral("http://clan"));
    QVERIFY(m_window->close());
    QCOMPARE(m_dialogs.questions.size(), 5);
}

void MainWindowProjectTest::drop_setsASlotOrOpensAProjectOrAPackage()
{
    const auto drop = [this](QWidget *target, const QString &file, const QByteArray &encoded = {}) {
        QMimeData data;
        data.setUrls({encoded.isEmpty() ? QUrl::fromLocalFile(file) : QUrl::fromEncoded(encoded)});
        const QPoint at = target->mapTo(m_window.get(), target->rect().center());
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_window.get(), &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_window.get(), &dropped);
    };
    const QString wave = makeWave(QStringLiteral("drop.wav"), "RIFF");
    const QString other = makeWave(QStringLiteral("drop.ogg"), "OggS");
    clickButton(m_window.get(), QStringLiteral("slotButton4")); // the Mines tab's first slot is on show
    drop(findControl<QWidget>(m_window.get(), QStringLiteral("slotButton5")), wave);
    QCOMPARE(m_window->slotValue(5), wave);
    QCOMPARE(m_window->selectedSlot(), 5);
    QCOMPARE(box("fileNameBox")->text(), wave);
    drop(findControl<QLabel>(m_window.get(), MainWindow::slotLabelName(6)), other);
    QCOMPARE(m_window->slotValue(6), other);

    const QString project = m_dir->filePath(QStringLiteral("dropped.vsk"));
    writeFile(project, QByteArray("none\r\n").repeated(47) + " 1 \r\nDropped\r\nhttp://d\r\n");
    m_dialogs.questionAnswers << platform::Dialogs::Answer::No;
    drop(box("fileNameBox"), project);
    QCOMPARE(m_dialogs.questions, QStringList{QStringLiteral("Save the changes to this theme before opening another "
                                                             "project?")});
    QCOMPARE(m_window->slotValue(5), QStringLiteral("none"));
    QCOMPARE(listTexts(list("linkList")), QStringList{QStringLiteral("Dropped")});

    // A name that is no UTF-8 keeps its bytes; a folder is no sound.
    const std::string latin1 = QFile::encodeName(m_dir->path()).toStdString() + "/caf\xE9.wav";
    std::ofstream(latin1) << "RIFF";
    drop(findControl<QWidget>(m_window.get(), QStringLiteral("slotButton5")), QString(),
         "file://" + QByteArray::fromStdString(latin1).toPercentEncoding("/"));
    QCOMPARE(m_window->theme().slot(5), latin1);
    drop(findControl<QWidget>(m_window.get(), QStringLiteral("slotButton5")), m_dir->path());
    QCOMPARE(m_window->theme().slot(5), latin1);
    std::remove(latin1.c_str()); // QTemporaryDir takes names as text and would leave it behind
    QVERIFY2(m_dialogs.messages.last().contains(QStringLiteral("is no theme package")),
             qPrintable(m_dialogs.messages.last()));

    // A package folder opens as a theme of copies, from the menu (its
    // theme.cfg chosen) or dropped.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Ocean")));
    writeFile(m_dir->filePath(QStringLiteral("Ocean/theme.cfg")), "Ann\r\n\r\n\r\n12\r\nBlue\r\nBlack\r\nOcean\r\n");
    writeFile(m_dir->filePath(QStringLiteral("Ocean/gun2.wa2")), "gun");
    for (const bool dropped : {false, true}) {
        const QString copies = m_dir->filePath(dropped ? QStringLiteral("dropped") : QStringLiteral("opened"));
        m_dialogs.questionAnswers << platform::Dialogs::Answer::No;
        if (!dropped)
            m_dialogs.answers << m_dir->filePath(QStringLiteral("Ocean/theme.cfg"));
        m_dialogs.answers << copies;
        if (dropped)
            drop(box("fileNameBox"), m_dir->filePath(QStringLiteral("Ocean")));
        else
            trigger("openPackageItem");
        QCOMPARE(m_dialogs.requests.last().fileName, m_dir->filePath(QStringLiteral("Ocean sounds")));
        QCOMPARE(m_window->slotValue(8), copies + QStringLiteral("/Guns, Level 2.wav"));
        QCOMPARE(m_window->slotValue(5), QStringLiteral("none"));
        QVERIFY(m_window->theme().changed());
    }
}

// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z walk the history: the items name the step,
// are disabled at its ends, and what changed is brought to the front.
void MainWindowProjectTest::editMenu_undoesAndRedoesByKeys()
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    const QString wave = m_dir->filePath(QStringLiteral("bomb.wav"));
    m_dialogs.answers.enqueue(wave);
    clickButton(m_window.get(), QStringLiteral("addFileButton"));
    addLink(QStringLiteral("Home"), QStringLiteral("http://home"));
    auto *undo = findControl<QAction>(m_window.get(), QStringLiteral("undoItem"));
    auto *redo = findControl<QAction>(m_window.get(), QStringLiteral("redoItem"));
    auto *tabs = findControl<QTabWidget>(m_window.get(), QStringLiteral("mainTabs"));
    QWidget *keys = findControl<QPushButton>(m_window.get(), QStringLiteral("playButton"));
    const struct
    {
        Qt::KeyboardModifiers modifiers;
        Qt::Key key;
        QString slot1, undoText, redoText;
        int links, tab;
    } steps[] = {
        {Qt::ControlModifier, Qt::Key_Z, wave, QStringLiteral("&Undo Add File to Bombs, Level 1"),
         QStringLiteral("&Redo Add Link"), 0, 2},
        {Qt::ControlModifier, Qt::Key_Z, QStringLiteral("none"), QStringLiteral("&Undo"),
         QStringLiteral("&Redo Add File to Bombs, Level 1"), 0, 0},
        {Qt::ControlModifier, Qt::Key_Z, QStringLiteral("none"), QStringLiteral("&Undo"),
         QStringLiteral("&Redo Add File to Bombs, Level 1"), 0, 0},
        {Qt::ControlModifier, Qt::Key_Y, wave, QStringLiteral("&Undo Add File to Bombs, Level 1"),
         QStringLiteral("&Redo Add Link"), 0, 0},
        {Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z, wave, QStringLiteral("&Undo Add Link"),
         QStringLiteral("&Redo"), 1, 2},
    };
    for (const auto &step : steps) {
        QTest::keyClick(keys, step.key, step.modifiers);
        QCOMPARE(m_window->slotValue(1), step.slot1);
        QCOMPARE(undo->text(), step.undoText);
        QCOMPARE(redo->text(), step.redoText);
        QCOMPARE(undo->isEnabled(), step.undoText != QStringLiteral("&Undo"));
        QCOMPARE(redo->isEnabled(), step.redoText != QStringLiteral("&Redo"));
        QCOMPARE(list("linkList")->model()->rowCount(), step.links);
        QCOMPARE(tabs->currentIndex(), step.tab);
    }
    trigger("undoItem");
    trigger("undoItem");
    QVERIFY(m_window->close()); // back at the start: nothing to ask
    QVERIFY(m_dialogs.questions.isEmpty());
}

// The editor killed 4 s after a change: the next start offers the change
// back, and Yes brings it as an unsaved change.
void MainWindowProjectTest::killedEditor_changesAreRecoveredAtTheNextStart()
{
    m_window.reset();
    QProcess editor;
    editor.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--change-and-wait"), m_dir->path()});
    QVERIFY(editor.waitForStarted());
    while (!editor.readAllStandardOutput().contains("changed"))
        QVERIFY2(editor.waitForReadyRead(30000), qPrintable(QString::fromLocal8Bit(editor.readAllStandardError())));
    QTest::qWait(4000);
    editor.kill();
    QVERIFY(editor.waitForFinished());
    QCOMPARE(editor.exitStatus(), QProcess::CrashExit);

    m_dialogs.questionAnswers.enqueue(platform::Dialogs::Answer::Yes);
    makeWindow();
    m_window->startRecovery();
    QCOMPARE(m_dialogs.questions.size(), 1);
    QVERIFY2(m_dialogs.questions[0].startsWith(
                 QStringLiteral("VESK did not close properly. Recover the unsaved changes to a new theme from ")),
             qPrintable(m_dialogs.questions[0]));
    QCOMPARE(m_window->slotValue(9), QStringLiteral("/sounds/kept.wav"));
    QVERIFY(m_window->theme().changed());
}

void MainWindowProjectTest::soundRows_showLengthPictureAndMarks()
{
    QTemporaryDir game;
    const QString data = QStringLiteral(VESK_SOUND_DATA "/");
    // The game's own bomb lasts 0.5 s; the theme's is a tone of 3.1 s.
    QVERIFY(QFile::copy(data + QStringLiteral("pcm16.wav"), game.filePath(QStringLiteral("bomb1.wa2"))));
    setGameDirectory(game.path());
    const QString song = data + QStringLiteral("long.mp3"), words = data + QStringLiteral("text.mp3"),
                  tone = data + QStringLiteral("tone.mp3");
    for (const auto &[slot, file] : {std::pair{1, song}, {2, words}, {3, tone}})
        m_window->setSlotValue(slot, file);
    QTRY_VERIFY(m_window->soundsMeasured());
    QTRY_COMPARE(m_window->slotRow(3)->lengthShown(), QStringLiteral("1.0 s"));
    const struct
    {
        int slot;
        const char *length, *marks;
    } rows[] = {
        {1, "3.1 s", "Much longer than the game's own sound: 3.1 s, the game's is 0.5 s."},
        {2, "", "This sound cannot be used: not a sound file."},
        {3, "1.0 s", ""},
        {4, "", ""},
    };
    for (const auto &row : rows) {
        SlotLabel *shown = m_window->slotRow(row.slot);
        QCOMPARE(shown->lengthShown(), QString::fromLatin1(row.length));
        QCOMPARE(shown->toolTip(), QString::fromLatin1(row.marks));
        QCOMPARE(shown->marked(), *row.marks != 0);
    }
    // The path stays the row's text, however it is shortened on screen.
    QCOMPARE(m_window->slotValue(1), song);
    // Slot 1 is selected from the start, but the File Name box shows
    // nothing of it: nor does the figures line.
    QCOMPARE(m_window->soundInfoShown(), QString());

    clickButton(m_window.get(), QStringLiteral("slotButton3")); // slot 3
    QVERIFY2(m_window->soundInfoShown().startsWith(QStringLiteral("MP3, 44,100 Hz stereo, 1.0 s, ")),
             qPrintable(m_window->soundInfoShown()));
    QVERIFY2(m_window->soundInfoShown().contains(QStringLiteral(" dBTP")), qPrintable(m_window->soundInfoShown()));
    clickButton(m_window.get(), QStringLiteral("slotButton2")); // slot 2
    QCOMPARE(m_window->soundInfoShown(), QStringLiteral("This sound cannot be used: not a sound file."));
    clickButton(m_window.get(), QStringLiteral("slotButton4")); // slot 4, empty
    QCOMPARE(m_window->soundInfoShown(), QString());

    // A file replaced on disk is measured again when its slot is selected;
    // its row keeps the old figures until the new ones come.
    const QString replaced = m_dir->filePath(QStringLiteral("replaced.wav"));
    QVERIFY(QFile::copy(data + QStringLiteral("pcm16.wav"), replaced)); // 0.5 s
    m_window->setSlotValue(5, replaced);
    QTRY_COMPARE(m_window->slotRow(5)->lengthShown(), QStringLiteral("0.5 s"));
    QVERIFY(QFile::remove(replaced));
    QVERIFY(QFile::copy(song, replaced)); // 3.1 s
    clickButton(m_window.get(), QStringLiteral("slotButton5"));
    QCOMPARE(m_window->slotRow(5)->lengthShown(), QStringLiteral("0.5 s"));
    QTRY_COMPARE(m_window->slotRow(5)->lengthShown(), QStringLiteral("3.1 s"));
    QVERIFY2(m_window->soundInfoShown().contains(QStringLiteral(", 3.1 s, ")), qPrintable(m_window->soundInfoShown()));
}

void MainWindowProjectTest::play_aFileThatIsNoSound_saysWhyAndPlaysNothing()
{
    const QString words = QStringLiteral(VESK_SOUND_DATA "/text.mp3");
    m_window->setSlotValue(1, words);
    clickButton(m_window.get(), QStringLiteral("slotButton1"));
    clickButton(m_window.get(), QStringLiteral("playButton"));
    QCOMPARE(m_dialogs.messages, QStringList{QStringLiteral("Cannot play %1: not a sound file.").arg(words)});
    QVERIFY(m_sound.played.isEmpty());
}

// The sound window by keyboard and mouse: a song cut to a click's length,
// matched to the game's bomb, played, saved, opened again and put into the
// game as it was made; Escape drops what was made meanwhile.
void MainWindowProjectTest::soundWindow_trimsFadesAndMatchesAndThePlayerGetsExactlyThat()
{
    QTemporaryDir game;
    const QString data = QStringLiteral(VESK_SOUND_DATA "/");
    QVERIFY(QFile::copy(data + QStringLiteral("pcm16.wav"), game.filePath(QStringLiteral("bomb1.wa2"))));
    setGameDirectory(game.path());
    const QString song = data + QStringLiteral("long.mp3");
    m_window->setSlotValue(1, song);
    QTRY_VERIFY(m_window->soundsMeasured());
    QTRY_VERIFY(m_window->slotRow(1)->marked());

    // Runs `drive` on the sound window once it is open: double-click on the row.
    const auto inWindow = [this](const std::function<void(SoundWindow &)> &drive) {
        bool driven = false;
        QTimer::singleShot(0, this, [&] {
            auto *window = qobject_cast<SoundWindow *>(QApplication::activeModalWidget());
            QVERIFY(window);
            QApplication::setActiveWindow(window);
            drive(*window);
            driven = true;
        });
        QTest::mouseDClick(m_window->slotRow(1), Qt::LeftButton);
        QVERIFY(driven);
    };
    const auto type = [](SoundWindow &window, const char *box, const QString &text) {
        auto *field = findControl<QLineEdit>(&window, QString::fromLatin1(box));
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    };
    inWindow([&](SoundWindow &window) {
        QCOMPARE(window.windowTitle(), QStringLiteral("Sound of slot 1 (Bombs, Level 1)"));
        type(window, "endBox", QStringLiteral("1500"));
        // The start dragged to a tenth of the picture, exactly where it is let go.
        QLabel *picture = findControl<QLabel>(&window, QStringLiteral("soundPicture"));
        const int x = picture->width() / 10;
        QTest::mouseClick(picture, Qt::LeftButton, Qt::ShiftModifier, QPoint(x, picture->height() / 2));
        QCOMPARE(window.editing().edit().start, window.editing().span() * x / picture->width());
        type(window, "startBox", QStringLiteral("100"));
        clickButton(&window, QStringLiteral("matchButton"));
        QVERIFY2(
            findControl<QLabel>(&window, QStringLiteral("noteLabel"))->text().startsWith(QStringLiteral("Matched: ")),
            qPrintable(findControl<QLabel>(&window, QStringLiteral("noteLabel"))->text()));
        clickButton(&window, QStringLiteral("playButton"));
        // Return in a box is OK (on a button, it is that button).
        auto *gain = findControl<QLineEdit>(&window, QStringLiteral("gainBox"));
        gain->setFocus();
        QTest::keyClick(gain, Qt::Key_Return);
    });
    const vesk::SoundEdit kept = m_window->theme().edit(1);
    QVERIFY(std::llabs(kept.start - 100000) <= vesk::SoundEditing::kSnapReach);
    QVERIFY(kept.end && std::llabs(*kept.end - 1500000) <= vesk::SoundEditing::kSnapReach);
    QCOMPARE(kept.fadeOut, vesk::SoundEditing::kDefaultFadeOut);
    QVERIFY(kept.matched && kept.gain != 0);
    QVERIFY2(!m_window->slotRow(1)->marked(), qPrintable(m_window->slotRow(1)->toolTip()));
    QCOMPARE(m_window->slotRow(1)->lengthShown(), QStringLiteral("1.4 s"));
    // The figures line says that its figures are the file's, and what the edit makes of it.
    QVERIFY2(m_window->soundInfoShown().contains(QStringLiteral(
                 " as the file is; as edited: trimmed to 1.4 s, faded out 10 ms, matched to the game: ")),
             qPrintable(m_window->soundInfoShown()));
    // Play played the edited sound, as the game will get it.
    QCOMPARE(m_sound.played.size(), 1);
    const double length = static_cast<double>(*kept.end - kept.start) * 1e-6, sample = 1.0 / 44100;
    QVERIFY(std::fabs(vesk::waveSeconds(platform::toLocal(m_sound.played[0])).value_or(0) - length) <= sample);

    inWindow([&](SoundWindow &window) {
        type(window, "gainBox", QStringLiteral("12"));
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    QCOMPARE(m_window->theme().edit(1), kept);

    const QString file = m_dir->filePath(QStringLiteral("edited.vsk"));
    m_dialogs.answers.enqueue(file);
    trigger("saveItem");
    m_window->setSlotValue(1, song); // the same file again: its edit stays
    m_dialogs.answers.enqueue(file);
    trigger("openItem");
    QCOMPARE(m_window->theme().edit(1), kept);
    trigger("convertItem");
    const std::optional<double> converted
        = vesk::waveSeconds(platform::toLocal(game.filePath(QStringLiteral("bomb1.wa2"))));
    QVERIFY(std::fabs(converted.value_or(0) - length) <= sample);
    QVERIFY2(m_dialogs.messages.last().contains(
                 QStringLiteral("\nslot 1 (Bombs, Level 1): ") + song
                 + QStringLiteral(", trimmed to 1.4 s, faded out 10 ms, matched to the game: ")),
             qPrintable(m_dialogs.messages.last()));
}

// The browser opens on the folder of the theme's sounds; Down moves and
// plays, Escape stops and then closes; Return with "Then the next slot"
// fills the slots in their order on screen, and the target line follows.
void MainWindowProjectTest::soundBrowser_playsAsTheKeysMoveAndFillsSlotsWithReturn()
{
    // A tone at the same level in the game's sound and in every one of ours.
    const auto tone = [](int samples) {
        QByteArray bytes(samples, '\x60');
        for (int i = 0; i < samples; i += 4)
            bytes[i] = bytes[i + 1] = '\xa0';
        return bytes;
    };
    QDir(m_dir->path()).mkpath(QStringLiteral("game"));
    writeFile(m_dir->filePath(QStringLiteral("game/BOMB1.WA2")), pcmWave(tone(6616)));
    setGameDirectory(m_dir->filePath(QStringLiteral("game")));
    QDir(m_dir->path()).mkpath(QStringLiteral("sounds"));
    QStringList waves;
    for (const char *name : {"d.wav", "a.wav", "C.wav", "b.wav"})
        waves << makeWave(QStringLiteral("sounds/") + QString::fromLatin1(name), tone(11024));
    writeFile(m_dir->filePath(QStringLiteral("sounds/notes.txt")), "not listed");
    m_window->setSlotValue(5, waves[0]);

    SoundBrowserWindow *browser = m_window->browseSounds();
    QVERIFY(browser->isVisible());
    QTRY_VERIFY(browser->measured());
    QTreeWidget *list = browser->list();
    QCOMPARE(list->topLevelItemCount(), 4);
    QStringList names;
    for (int i = 0; i < 4; ++i)
        names << list->topLevelItem(i)->text(0);
    QCOMPARE(names, (QStringList{QStringLiteral("a.wav"), QStringLiteral("b.wav"), QStringLiteral("C.wav"),
                                 QStringLiteral("d.wav")}));
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("1.0 s"));
    QCOMPARE(list->topLevelItem(0)->text(5), QStringLiteral("fits"));
    auto *target = findControl<QLabel>(browser, QStringLiteral("targetLabel"));
    QVERIFY2(target->text().startsWith(QStringLiteral("For slot 1 (Bombs, Level 1): the game's sound is 0.6 s")),
             qPrintable(target->text()));
    if (qEnvironmentVariableIsSet("VESK_SHOT"))
        browser->grab().save(qEnvironmentVariable("VESK_SHOT"));

    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(m_sound.played.size(), 1);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(m_sound.played.size(), 3); // the first stopped, the second played
    QVERIFY(m_sound.played[1].isEmpty());
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(browser->isVisible());
    QVERIFY(m_sound.played.last().isEmpty());

    QTest::keyClick(list, Qt::Key_Up);
    findControl<QCheckBox>(browser, QStringLiteral("nextSlotBox"))->setChecked(true);
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(list, Qt::Key_Return);
        QTest::keyClick(list, Qt::Key_Down);
    }
    const QStringList sorted = {waves[1], waves[3], waves[2], waves[0]};
    int slot = 1, last = 1;
    for (const QString &wave : sorted) {
        QCOMPARE(m_window->slotValue(slot), wave);
        last = std::exchange(slot, vesk::nextSlotOnScreen(slot));
    }
    QCOMPARE(m_window->selectedSlot(), slot);
    QVERIFY2(target->text().startsWith(QStringLiteral("For slot %1 (").arg(slot)), qPrintable(target->text()));
    // One step each, as Add File makes them.
    trigger("undoItem");
    QCOMPARE(m_window->slotValue(last), QStringLiteral("none"));

    // By mouse: the name's header sorts the other way round, and a
    // double-click puts the row's sound in the target slot.
    QHeaderView *header = list->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("d.wav"));
    const int targetSlot = m_window->selectedSlot();
    const QPoint row = list->visualItemRect(list->topLevelItem(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row); // a double-click's first press
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
    QCOMPARE(m_window->slotValue(targetSlot), waves[2]);

    QTest::keyClick(list, Qt::Key_Escape); // stops what the last Down played
    QTest::keyClick(list, Qt::Key_Escape);
    QTRY_VERIFY(!browser->isVisible());
}

// Two packages beside the theme: the same bytes shown as one, the slots
// where they differ marked, a cell played as it is selected; Return and Use
// Column choose, OK copies the choices out and puts them in as one step.
void MainWindowProjectTest::takeSounds_comparesPackagesByEarAndOkIsOneStep()
{
    const QByteArray gun = pcmWave(QByteArray(2205, '\x70'));
    for (const char *package : {"Ocean", "Forest"}) {
        const QString folder = m_dir->filePath(QString::fromLatin1(package));
        QVERIFY(QDir(m_dir->path()).mkdir(QString::fromLatin1(package)));
        writeFile(folder + QStringLiteral("/theme.cfg"),
                  QByteArray("Ann\r\n\r\n\r\n12\r\nBlue\r\nBlack\r\n") + package);
        writeFile(folder + QStringLiteral("/gun2.wa2"), gun);
        writeFile(folder + QStringLiteral("/bomb1.wa2"), pcmWave(QByteArray(4410, package[0])));
    }
    const QString own = makeWave(QStringLiteral("own.wav"), QByteArray(1000, '\x60'));
    m_window->setSlotValue(1, own);

    bool ran = false;
    QTimer::singleShot(0, this, [&] {
        auto *window = m_window->findChild<PackageMixWindow *>();
        QVERIFY(window);
        const ClosesWhenDone closer(window);
        QVERIFY(window->addPackage(QFile::encodeName(m_dir->filePath(QStringLiteral("Ocean"))).toStdString()));
        QVERIFY(
            window->addPackage(QFile::encodeName(m_dir->filePath(QStringLiteral("Forest/theme.cfg"))).toStdString()));
        QTRY_VERIFY(window->measured());
        QCOMPARE(window->windowTitle(), QStringLiteral("Take Sounds from Packages"));
        QTableWidget *grid = window->grid();
        QCOMPARE(grid->columnCount(), 3);
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Ocean"));
        const std::vector<int> rows = vesk::slotsOnScreen();
        const int bombRow = static_cast<int>(std::find(rows.begin(), rows.end(), 1) - rows.begin());
        const int gunRow = static_cast<int>(std::find(rows.begin(), rows.end(), 8) - rows.begin());
        QCOMPARE(grid->item(gunRow, 2)->text(), QStringLiteral("same as Ocean"));
        QVERIFY2(grid->item(gunRow, 1)->text().startsWith(QStringLiteral("0.2 s, ")),
                 qPrintable(grid->item(gunRow, 1)->text()));
        QCOMPARE(grid->item(gunRow, 0)->text(), QStringLiteral("none"));
        QVERIFY(grid->verticalHeaderItem(bombRow)->text().endsWith(QStringLiteral("\u2260")));
        QVERIFY(!grid->verticalHeaderItem(gunRow)->text().endsWith(QStringLiteral("\u2260")));
        if (qEnvironmentVariableIsSet("VESK_SHOT"))
            window->grab().save(qEnvironmentVariable("VESK_SHOT"));

        const qsizetype played = m_sound.played.size();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(bombRow, 2)).center());
        QCOMPARE(grid->currentColumn(), 2);
        QVERIFY(m_sound.played.size() > played && !m_sound.played.last().isEmpty());
        QTest::keyClick(grid, Qt::Key_Return); // Forest's bomb
        QVERIFY(grid->item(bombRow, 2)->text().startsWith(QStringLiteral("Used: ")));
        grid->setCurrentCell(gunRow, 1);
        clickButton(window, QStringLiteral("useColumnButton")); // every sound of Ocean: its bomb too
        QVERIFY(grid->item(bombRow, 1)->text().startsWith(QStringLiteral("Used: ")));
        grid->setCurrentCell(bombRow, 2);
        QTest::keyClick(grid, Qt::Key_Return);
        m_dialogs.answers << m_dir->filePath(QStringLiteral("mixed"));
        clickButton(window, QStringLiteral("okButton"));
        ran = true;
    });
    trigger("takeSoundsItem");
    QVERIFY(ran);
    QCOMPARE(m_dialogs.requests.last().fileName, m_dir->filePath(QStringLiteral("Forest sounds")));
    QCOMPARE(m_window->slotValue(1), m_dir->filePath(QStringLiteral("mixed/Bombs, Level 1.wav")));
    QCOMPARE(readFile(m_window->slotValue(1)), pcmWave(QByteArray(4410, 'F')));
    QCOMPARE(m_window->slotValue(8), m_dir->filePath(QStringLiteral("mixed/Guns, Level 2.wav")));
    trigger("undoItem");
    QCOMPARE(m_window->slotValue(1), own);
    QCOMPARE(m_window->slotValue(8), QStringLiteral("none"));
}

// The editor of the recovery test: a change, then waiting to be killed.
static int changeAndWait(int argc, char **argv)
{
    QApplication app(argc, argv);
    FakeDialogs dialogs;
    FakeSound sound;
    MainWindow window(QString::fromLocal8Bit(argv[2]), dialogs, sound);
    window.show();
    window.startRecovery();
    window.setSlotValue(9, QStringLiteral("/sounds/kept.wav"));
    std::printf("changed\n");
    std::fflush(stdout);
    return app.exec();
}

int main(int argc, char **argv)
{
    if (argc == 3 && std::string(argv[1]) == "--change-and-wait")
        return changeAndWait(argc, argv);
    QApplication app(argc, argv);
    QTEST_DISABLE_KEYPAD_NAVIGATION
    MainWindowProjectTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "mainwindow_project_test.moc"
