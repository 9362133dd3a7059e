// The installer's Listen window heard through a sound server of the test's
// own, whose output is recorded.
#include "fakedialogs.h"
#include "installerwindow.h"
#include "listenwindow.h"
#include "pulseserver.h"
#include "soundplayer.h"
#include "wavebytes.h"
#include "windowtest.h"

#include <QApplication>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

class ListenSoundTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void returnPlaysTheSelectedSoundAndStopSilencesIt();

private:
    double recentLevel(int ms) const
    {
        const size_t count = static_cast<size_t>(PulseServer::kRate) * static_cast<size_t>(ms) / 1000;
        const size_t total = m_pulse.samplesRecorded();
        return m_pulse.level(total > count ? total - count : 0, count);
    }

    PulseServer m_pulse;
};

void ListenSoundTest::initTestCase()
{
    VESK_START_RECORDING_OR_SKIP(m_pulse);
    // The monitor takes a moment before its recording flows.
    QTRY_VERIFY_WITH_TIMEOUT(m_pulse.samplesRecorded() > PulseServer::kRate / 10, 10000);
}

void ListenSoundTest::returnPlaysTheSelectedSoundAndStopSilencesIt()
{
    QTemporaryDir package;
    for (const auto &[name, seconds] : {std::pair{"bomb1.wa2", 0.2}, {"warp.wa2", 3.0}}) {
        QFile file(package.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(toneWave(seconds, 440, 0.5));
    }
    FakeDialogs dialogs;
    FakeInterpreter interpreter;
    platform::SoundPlayer player;
    InstallerWindow window(package.path(), dialogs, interpreter, nullptr, &player);
    window.show();
    bool heard = false, silenced = false;
    QTimer::singleShot(0, this, [&] {
        auto *listen = qobject_cast<ListenWindow *>(QApplication::activeModalWidget());
        QVERIFY2(listen, "the Listen window is open");
        auto *list = findControl<QListView>(listen, QStringLiteral("soundList"));
        QTest::keyClick(list, Qt::Key_Down); // warp, the long one
        QTest::keyClick(list, Qt::Key_Return);
        heard = QTest::qWaitFor([&] { return recentLevel(200) > 0.2; }, 3000);
        clickButton(listen, QStringLiteral("stopButton"));
        silenced = QTest::qWaitFor([&] { return recentLevel(200) < 0.01; }, 3000);
        QTest::keyClick(list, Qt::Key_Escape);
    });
    clickButton(&window, QStringLiteral("listenButton"));
    QVERIFY2(heard, "the selected sound is heard");
    QVERIFY2(silenced, "Stop silences it");
    QVERIFY(dialogs.messages.isEmpty());
}

QTEST_MAIN(ListenSoundTest)
#include "listen_sound_test.moc"
