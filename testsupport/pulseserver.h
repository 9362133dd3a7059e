#pragma once

// A private PulseAudio server for the tests that listen: a null sink whose
// monitor is recorded, and the server's own report of every stream opening
// and closing. It needs no sound card and runs as root too.
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

class PulseServer
{
public:
    static constexpr int kRate = 44100; // what the monitor is recorded at, mono

    ~PulseServer() { stop(); }

    // Starts the server and points this process at it; the reason when it
    // cannot, for the skip message.
    bool start(QString *why)
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty()) {
            *why = QStringLiteral("pulseaudio or pulseaudio-utils is not installed");
            return false;
        }
        m_runtime = std::make_unique<QTemporaryDir>();
        QFile::setPermissions(m_runtime->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime->path().toLocal8Bit());
        qputenv("PULSE_SERVER", "unix:" + socket().toLocal8Bit());
        m_daemon.setProcessChannelMode(QProcess::MergedChannels);
        m_daemon.start(QStringLiteral("pulseaudio"),
                       {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                        QStringLiteral("--load=module-null-sink sink_name=vesk"),
                        QStringLiteral("--load=module-native-protocol-unix")});
        for (int wait = 0; wait < 100 && !QFile::exists(socket()); ++wait)
            QThread::msleep(50);
        if (!QFile::exists(socket())) {
            *why = QStringLiteral("the PulseAudio server did not start: ") + QString::fromLocal8Bit(m_daemon.readAll());
            return false;
        }
        return true;
    }

    void stop()
    {
        for (QProcess *process : {&m_events, &m_recorder, &m_filler})
            kill(*process);
        kill(m_daemon);
    }

    // From now on: every stream opened and closed, with the time it happened.
    // (Call after record(), so that its own silent stream is not counted.)
    void watchStreams()
    {
        if (!m_clock.isValid())
            m_clock.start();
        QObject::connect(&m_events, &QProcess::readyReadStandardOutput, [this] {
            while (m_events.canReadLine()) {
                const QByteArray line = m_events.readLine();
                if (line.contains("sink-input") && line.contains("'new'"))
                    m_streamEvents.append({m_clock.elapsed(), true});
                else if (line.contains("sink-input") && line.contains("'remove'"))
                    m_streamEvents.append({m_clock.elapsed(), false});
            }
        });
        m_events.start(QStringLiteral("pactl"), {QStringLiteral("subscribe")});
        m_events.waitForStarted();
        QThread::msleep(100);
    }

    // From now on: the null sink's monitor, recorded with low latency. A
    // silent stream keeps the sink busy, so that recording never pauses.
    void record()
    {
        if (!m_clock.isValid())
            m_clock.start();
        m_filler.start(QStringLiteral("pacat"),
                       {QStringLiteral("--device=vesk"), QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                        QStringLiteral("--channels=1"), QStringLiteral("--rate=44100"), QStringLiteral("/dev/zero")});
        m_filler.waitForStarted();
        QObject::connect(&m_recorder, &QProcess::readyReadStandardOutput, [this] {
            const QByteArray bytes = m_recorder.readAllStandardOutput();
            const qint64 now = m_clock.elapsed();
            for (int i = 0; i + 1 < bytes.size(); i += 2)
                m_samples.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i])
                                                              | static_cast<unsigned char>(bytes[i + 1]) << 8));
            m_arrivals.push_back({now, m_samples.size()});
        });
        m_recorder.start(QStringLiteral("parec"), {QStringLiteral("--device=vesk.monitor"), QStringLiteral("--raw"),
                                                   QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                                                   QStringLiteral("--rate=44100"), QStringLiteral("--latency-msec=5")});
        m_recorder.waitForStarted();
    }

    struct StreamEvent
    {
        qint64 at; // ms since watching began
        bool opened;
    };
    const QList<StreamEvent> &streamEvents() const { return m_streamEvents; }
    qint64 now() const { return m_clock.elapsed(); }
    size_t samplesRecorded() const { return m_samples.size(); }
    const std::vector<std::int16_t> &samples() const { return m_samples; }

    // The root mean square of the recording from sample `from` on (a window
    // of `count`), as a share of full scale.
    double level(size_t from, size_t count) const
    {
        double sum = 0;
        size_t n = 0;
        for (size_t i = from; i < m_samples.size() && n < count; ++i, ++n)
            sum += double(m_samples[i]) * m_samples[i];
        return n ? std::sqrt(sum / double(n)) / 32768.0 : 0.0;
    }

    // When the first sample louder than `threshold` from sample `from` on
    // arrived (ms), estimated from the arrival of its block; -1 if none.
    qint64 firstSound(size_t from, int threshold = 1000) const
    {
        for (size_t i = from; i < m_samples.size(); ++i) {
            if (std::abs(m_samples[i]) < threshold)
                continue;
            for (const Arrival &arrival : m_arrivals) {
                if (arrival.samples > i)
                    return arrival.at - static_cast<qint64>((arrival.samples - i) * 1000 / kRate);
            }
        }
        return -1;
    }

private:
    struct Arrival
    {
        qint64 at;
        size_t samples; // recorded so far
    };

    QString socket() const { return m_runtime->path() + QStringLiteral("/pulse/native"); }
    static void kill(QProcess &process)
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(2000)) {
                process.kill();
                process.waitForFinished(2000);
            }
        }
    }

    std::unique_ptr<QTemporaryDir> m_runtime;
    QProcess m_daemon, m_events, m_recorder, m_filler;
    QElapsedTimer m_clock;
    QList<StreamEvent> m_streamEvents;
    std::vector<std::int16_t> m_samples;
    std::vector<Arrival> m_arrivals;
};

// Starts `server` in a test's initTestCase and records its sink: without a
// sound server the test is skipped with the reason, or fails where the run
// requires audio (VESK_REQUIRE_AUDIO=1, as CI sets it).
#define VESK_START_RECORDING_OR_SKIP(server)                                                                           \
    do {                                                                                                               \
        QString why_;                                                                                                  \
        if (!(server).start(&why_)) {                                                                                  \
            if (qgetenv("VESK_REQUIRE_AUDIO") == "1")                                                                  \
                QFAIL(qPrintable(QStringLiteral("no sound server, though audio is required: ") + why_));               \
            QSKIP(qPrintable(why_));                                                                                   \
        }                                                                                                              \
        (server).record();                                                                                             \
    } while (false)
