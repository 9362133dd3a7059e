// "Play" and "Stop" as a player hears them: the real main window with the
// real sound player, playing into a private PulseAudio server whose null sink
// is recorded and whose streams are watched.
#include "fakedialogs.h"
#include "localtext.h"
#include "mainwindow.h"
#include "packagemixwindow.h"
#include "projectfile.h"
#include "pulseserver.h"
#include "soundbrowserwindow.h"
#include "soundplayer.h"
#include "wavebytes.h"
#include "windowtest.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

namespace {

// Under the sanitizers everything is slower: the order of events is
// checked there, not their times.
#ifdef VESK_SANITIZE_BUILD
constexpr bool kTimed = false;
#else
constexpr bool kTimed = true;
#endif
constexpr qint64 kLimitMs = 100;

} // namespace

class SoundTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void play_opensAStreamAtOnceAndSoundsAtTheFilesLevel();
    void stop_closesTheStreamAndSilences();
    void secondPlay_replacesTheFirstSound();
    void playOfNoPlayableFile_isSilentAndAFileThatIsNoSoundSaysWhy();
    void everyWaveFormat_sounds();
    void everyKindOfSound_isHeardAsItsConversion();
    void aSlotsEdit_isHeardTrimmedAndAtItsGain();
    void soundBrowser_playsEachRowAsItIsSelected();
    void takeSounds_playsEachCellAsItIsChosen();

private:
    QString writeWave(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(bytes);
        return path;
    }
    // Chooses `path` for slot 1, selects it and presses Play; the time of the click.
    qint64 play(const QString &path)
    {
        m_window->setSlotValue(1, path);
        clickButton(m_window.get(), QStringLiteral("slotButton1"));
        const qint64 at = m_pulse.now();
        clickButton(m_window.get(), QStringLiteral("playButton"));
        return at;
    }
    qint64 stop()
    {
        const qint64 at = m_pulse.now();
        clickButton(m_window.get(), QStringLiteral("stopButton"));
        return at;
    }
    // The first stream event of a kind at or after `since`, waiting up to a second.
    qint64 streamEvent(bool opened, qint64 since)
    {
        qint64 at = -1;
        static_cast<void>(QTest::qWaitFor(
            [&] {
                for (const auto &event : m_pulse.streamEvents()) {
                    if (event.opened == opened && event.at >= since)
                        return (at = event.at) >= 0;
                }
                return false;
            },
            1000));
        return at;
    }
    // Waits until the recorder has taken `ms` more of what the sink plays:
    // what is then heard, or not, is what played meanwhile.
    bool recordFor(int ms)
    {
        const size_t until = m_pulse.samplesRecorded() + static_cast<size_t>(PulseServer::kRate) * ms / 1000;
        return QTest::qWaitFor([&] { return m_pulse.samplesRecorded() >= until; }, 5000);
    }
    bool soundsWithin(int ms)
    {
        return QTest::qWaitFor([&] { return recentLevel(200) > 0.2; }, ms);
    }
    bool silentWithin(int ms)
    {
        return QTest::qWaitFor([&] { return recentLevel(250) < 0.01; }, ms);
    }
    // Stop, and its stream closed before the next sound.
    bool stopped()
    {
        stop();
        return QTest::qWaitFor([&] { return openStreams() == 0; }, 2000);
    }
    // The player's streams open now (the recorder's silent one not counted).
    int openStreams() const
    {
        int open = 0;
        const auto &events = m_pulse.streamEvents();
        for (qsizetype i = m_streamBase; i < events.size(); ++i)
            open += events[i].opened ? 1 : -1;
        return open;
    }
    // The level of what was heard in the last `ms` milliseconds.
    double recentLevel(int ms) const
    {
        const size_t count = static_cast<size_t>(PulseServer::kRate) * static_cast<size_t>(ms) / 1000;
        const size_t total = m_pulse.samplesRecorded();
        return m_pulse.level(total > count ? total - count : 0, count);
    }
    // Zero crossings per second of the last `ms` milliseconds, halved: the pitch.
    double recentPitch(int ms) const
    {
        const auto &samples = m_pulse.samples();
        const size_t count = static_cast<size_t>(PulseServer::kRate) * static_cast<size_t>(ms) / 1000;
        const size_t from = samples.size() > count ? samples.size() - count : 0;
        int crossings = 0;
        for (size_t i = from + 1; i < samples.size(); ++i)
            crossings += (samples[i - 1] < 0) != (samples[i] < 0);
        return crossings / 2.0 / (ms / 1000.0);
    }

    PulseServer m_pulse;
    QTemporaryDir m_dir;
    FakeDialogs m_dialogs;
    std::unique_ptr<platform::SoundPlayer> m_player;
    std::unique_ptr<MainWindow> m_window;
    qsizetype m_streamBase = 0;
};

void SoundTest::initTestCase()
{
    VESK_START_RECORDING_OR_SKIP(m_pulse);
    m_pulse.watchStreams();
    m_player = std::make_unique<platform::SoundPlayer>();
    m_window = std::make_unique<MainWindow>(m_dir.path(), m_dialogs, *m_player);
    m_window->show();
    m_dialogs.messages.clear(); // the start-up request for a game directory
    // The monitor takes a moment before its recording flows.
    QTRY_VERIFY_WITH_TIMEOUT(m_pulse.samplesRecorded() > PulseServer::kRate / 10, 10000);
    QVERIFY(recordFor(300));
    m_streamBase = m_pulse.streamEvents().size();
}

void SoundTest::cleanupTestCase()
{
    m_window.reset();
    m_player.reset();
    m_pulse.stop();
}

void SoundTest::play_opensAStreamAtOnceAndSoundsAtTheFilesLevel()
{
    // A 2 s, 440 Hz tone at half scale: its level is 0.5 / sqrt(2).
    const QString tone = writeWave(QStringLiteral("tone.wav"), toneWave(2.0, 440, 0.5));
    const size_t from = m_pulse.samplesRecorded();
    const qint64 clicked = play(tone);
    const qint64 opened = streamEvent(true, clicked);
    QVERIFY2(opened >= 0, "no stream was opened");
    qInfo("stream opened %lld ms after Play", opened - clicked);
    if (kTimed)
        QVERIFY2(opened - clicked <= kLimitMs, qPrintable(QStringLiteral("opened after %1 ms").arg(opened - clicked)));
    QVERIFY(recordFor(1000));
    const qint64 heard = m_pulse.firstSound(from);
    QVERIFY2(heard >= 0, qPrintable(QStringLiteral("nothing was heard: %1 samples, level %2")
                                        .arg(m_pulse.samplesRecorded() - from)
                                        .arg(recentLevel(500))));
    const double level = recentLevel(500);
    qInfo("heard at level %.3f (file 0.354), first sound %lld ms after Play", level, heard - clicked);
    QVERIFY2(std::abs(level - 0.5 / std::sqrt(2.0)) < 0.2 * 0.5 / std::sqrt(2.0),
             qPrintable(QStringLiteral("level %1").arg(level)));
    QVERIFY(std::abs(recentPitch(500) - 440) < 20);
    QVERIFY(stopped());
}

void SoundTest::stop_closesTheStreamAndSilences()
{
    play(writeWave(QStringLiteral("long.wav"), toneWave(3.0, 440, 0.5)));
    QVERIFY(soundsWithin(1000));
    QVERIFY(recordFor(300)); // stopped while it plays
    const qint64 stopped = stop();
    const qint64 closed = streamEvent(false, stopped);
    QVERIFY2(closed >= 0, "the stream stayed open");
    qInfo("stream closed %lld ms after Stop", closed - stopped);
    if (kTimed)
        QVERIFY2(closed - stopped <= kLimitMs, qPrintable(QStringLiteral("closed after %1 ms").arg(closed - stopped)));
    QVERIFY2(silentWithin(1000), qPrintable(QStringLiteral("still heard: %1").arg(recentLevel(250))));
    QCOMPARE(openStreams(), 0);
}

void SoundTest::secondPlay_replacesTheFirstSound()
{
    play(writeWave(QStringLiteral("low.wav"), toneWave(3.0, 440, 0.5)));
    QVERIFY(soundsWithin(1000));
    play(writeWave(QStringLiteral("high.wav"), toneWave(3.0, 880, 0.5)));
    QVERIFY2(QTest::qWaitFor([&] { return std::abs(recentPitch(300) - 880) < 30; }, 1500),
             qPrintable(QStringLiteral("pitch %1").arg(recentPitch(300))));
    QVERIFY2(openStreams() <= 1, qPrintable(QStringLiteral("%1 streams open").arg(openStreams())));
    QVERIFY(stopped());
}

void SoundTest::playOfNoPlayableFile_isSilentAndAFileThatIsNoSoundSaysWhy()
{
    const QString text = writeWave(QStringLiteral("text.wav"), "not a wave at all");
    for (const QString &name :
         {QStringLiteral("none"), QString(), m_dir.filePath(QStringLiteral("missing.wav")), text}) {
        if (name.isEmpty()) {
            // An empty name: Play with an empty file name box.
            m_window->setSlotValue(1, QString());
            clickButton(m_window.get(), QStringLiteral("slotButton1"));
            clickButton(m_window.get(), QStringLiteral("playButton"));
        } else {
            play(name);
        }
        QVERIFY(recordFor(300));
        QVERIFY2(recentLevel(200) < 0.01, qPrintable(name));
    }
    // A file that is there but no sound says why, as Convert does; a name
    // that is no file is the sound service's to try, and says nothing.
    QCOMPARE(m_dialogs.messages, QStringList{QStringLiteral("Cannot play %1: not a sound file.").arg(text)});
    m_dialogs.messages.clear();
    play(writeWave(QStringLiteral("after.wav"), toneWave(1.0, 440, 0.5)));
    QVERIFY2(soundsWithin(1000), "a good file no longer sounds");
    QVERIFY(stopped());
}

void SoundTest::everyWaveFormat_sounds()
{
    const struct
    {
        quint16 bits, channels;
        quint32 rate;
    } formats[] = {{8, 1, 11025}, {8, 2, 22050}, {16, 1, 11025}, {16, 1, 22050}, {16, 2, 44100}, {16, 1, 44100}};
    for (const auto &format : formats) {
        const QString name = QStringLiteral("f%1-%2-%3.wav").arg(format.bits).arg(format.channels).arg(format.rate);
        play(writeWave(name, toneWave(1.0, 440, 0.5, format.rate, format.bits, format.channels)));
        QVERIFY2(soundsWithin(1000), qPrintable(name));
        QVERIFY(stopped());
        QVERIFY2(silentWithin(1000), qPrintable(name));
    }
}

void SoundTest::everyKindOfSound_isHeardAsItsConversion()
{
    for (const char *name : {"long.mp3", "tone.ogg", "tone.flac", "pcm24.wav", "surround.wav"}) {
        const qint64 at = play(QStringLiteral(VESK_SOUND_DATA "/") + QLatin1String(name));
        QTRY_VERIFY2_WITH_TIMEOUT(recentLevel(200) > 0.2, name, 2000);
        QVERIFY2(m_pulse.now() - at < 1000, name);
        stop();
        QTRY_VERIFY2_WITH_TIMEOUT(recentLevel(200) < 0.01, name, 2000);
    }
    QVERIFY(m_dialogs.messages.isEmpty());
}

// Play plays a slot as its edit makes it: half a second of a 2 s tone,
// 6 dB down.
void SoundTest::aSlotsEdit_isHeardTrimmedAndAtItsGain()
{
    vesk::Project project;
    project.slots[0] = platform::toLocal(writeWave(QStringLiteral("edited.wav"), toneWave(2.0, 440, 0.5)));
    vesk::SoundEdit &edit = project.edits[0];
    edit.end = 500000;
    edit.gain = -6.02;
    const std::string file = platform::toLocal(m_dir.filePath(QStringLiteral("edited.vsk")));
    QVERIFY(vesk::saveProject(file, project).ok());
    QVERIFY(m_window->openProject(file));
    clickButton(m_window.get(), QStringLiteral("slotButton1"));
    const qint64 at = m_pulse.now();
    clickButton(m_window.get(), QStringLiteral("playButton"));
    // The loudest it sounds, until it falls silent again.
    double loudest = 0;
    QTRY_VERIFY_WITH_TIMEOUT((loudest = std::max(loudest, recentLevel(100))) > 0.15 && recentLevel(100) < 0.01, 3000);
    QVERIFY2(loudest < 0.2, qPrintable(QString::number(loudest))); // 0.25 / sqrt(2)
    if (kTimed)                                                    // the whole tone would sound for 2 s
        QVERIFY2(m_pulse.now() - at < 1500, qPrintable(QString::number(m_pulse.now() - at)));
    QVERIFY(m_dialogs.messages.isEmpty());
}

// The sound browser plays a row as the arrow keys select it, the one
// before stopped; Escape silences it, then closes the window.
void SoundTest::soundBrowser_playsEachRowAsItIsSelected()
{
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("browsed")));
    const QString low = writeWave(QStringLiteral("browsed/a.wav"), toneWave(3.0, 440, 0.5));
    writeWave(QStringLiteral("browsed/b.wav"), toneWave(3.0, 880, 0.5));
    m_window->setSlotValue(1, low);
    clickButton(m_window.get(), QStringLiteral("slotButton1"));
    SoundBrowserWindow *browser = m_window->browseSounds();
    QTRY_VERIFY(browser->measured());
    for (const double pitch : {440.0, 880.0}) {
        QTest::keyClick(browser->list(), Qt::Key_Down);
        // The row's own tone, alone, once the one before has stopped.
        QVERIFY2(
            QTest::qWaitFor([&] { return recentLevel(200) > 0.2 && std::abs(recentPitch(200) - pitch) < 30; }, 1500),
            qPrintable(QStringLiteral("pitch %1, level %2").arg(recentPitch(200)).arg(recentLevel(200))));
    }
    QTest::keyClick(browser->list(), Qt::Key_Escape);
    QVERIFY2(silentWithin(1000), qPrintable(QStringLiteral("still heard: %1").arg(recentLevel(250))));
    QVERIFY(browser->isVisible());
    QTest::keyClick(browser->list(), Qt::Key_Escape);
    QTRY_VERIFY(!browser->isVisible());
}

// Take Sounds from Packages plays the cell the arrow keys move to, the one
// before stopped; Escape silences it, then closes the window.
void SoundTest::takeSounds_playsEachCellAsItIsChosen()
{
    for (const auto &[package, pitch] : {std::pair{"Ocean", 440}, std::pair{"Forest", 880}}) {
        QVERIFY(QDir(m_dir.path()).mkpath(QString::fromLatin1(package)));
        writeWave(QString::fromLatin1(package) + QStringLiteral("/theme.cfg"), QByteArray("Ann\r\n"));
        writeWave(QString::fromLatin1(package) + QStringLiteral("/bomb1.wa2"), toneWave(3.0, pitch, 0.5));
    }
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
        auto *window = m_window->findChild<PackageMixWindow *>();
        QVERIFY(window);
        const ClosesWhenDone closer(window);
        for (const char *package : {"Ocean", "Forest"})
            QVERIFY(window->addPackage(platform::toLocal(m_dir.filePath(QString::fromLatin1(package)))));
        QTRY_VERIFY(window->measured());
        window->grid()->setCurrentCell(0, 0); // Bombs, Level 1, which the theme leaves empty
        for (const double pitch : {440.0, 880.0}) {
            QTest::keyClick(window->grid(), Qt::Key_Right);
            QVERIFY2(QTest::qWaitFor([&] { return recentLevel(200) > 0.2 && std::abs(recentPitch(200) - pitch) < 30; },
                                     1500),
                     qPrintable(QStringLiteral("pitch %1, level %2").arg(recentPitch(200)).arg(recentLevel(200))));
        }
        QTest::keyClick(window->grid(), Qt::Key_Escape);
        QVERIFY2(silentWithin(1000), qPrintable(QStringLiteral("still heard: %1").arg(recentLevel(250))));
        QVERIFY(window->isVisible());
        QTest::keyClick(window->grid(), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        ran = true;
    });
    findControl<QAction>(m_window.get(), QStringLiteral("takeSoundsItem"))->trigger();
    QVERIFY(ran);
}

QTEST_MAIN(SoundTest)
#include "sound_test.moc"
