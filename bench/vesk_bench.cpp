// Speed figures, each the median of several runs and, where there is one,
// measured side by side with its baseline in the same run. One line a figure:
//   NAME: X s vs BASELINE Y s, ratio R, target T
//   NAME: X s, target T s
//   NAME: N MiB
#include "applytheme.h"
#include "commandinterpreter.h"
#include "editorprocedures.h"
#include "fakedialogs.h"
#include "files.h"
#include "installbatch.h"
#include "installerwindow.h"
#include "installprocedure.h"
#include "mainwindow.h"
#include "openpackage.h"
#include "packagebuild.h"
#include "packagemixwindow.h"
#include "packagesource.h"
#include "packagesums.h"
#include "paths.h"
#include "playablesound.h"
#include "posixhelpers.h"
#include "projectfile.h"
#include "pulseserver.h"
#include "slotlabel.h"
#include "slotmeasurements.h"
#include "soundanalyses.h"
#include "soundbrowser.h"
#include "soundbrowserwindow.h"
#include "soundediting.h"
#include "soundfiles.h"
#include "soundplayer.h"
#include "soundwindow.h"
#include "wavebytes.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QListView>
#include <QMainWindow>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidget>
#include <QtTest>

#include <ebur128.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 7;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double seconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

void compare(const char *name, double ours, const char *baseline, double base, double target)
{
    std::printf("%s: %.4f s vs %s %.4f s, ratio %.2f, target %.2f\n", name, ours, baseline, base, ours / base, target);
    std::fflush(stdout);
}

void alone(const char *name, double value, double target)
{
    std::printf("%s: %.4f s, target %.3f s\n", name, value, target);
    std::fflush(stdout);
}

// A valid PCM wave file of exactly `bytes` bytes.
void writeWave(const std::string &path, qint64 bytes)
{
    QByteArray data(bytes, Qt::Uninitialized);
    auto put32 = [&data](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            data[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    auto put16 = [&data](int at, quint16 v) {
        data[at] = char(v & 0xFF);
        data[at + 1] = char(v >> 8);
    };
    std::memcpy(data.data(), "RIFF", 4);
    put32(4, quint32(bytes - 8));
    std::memcpy(data.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);     // PCM
    put16(22, 1);     // mono
    put32(24, 44100); // samples a second
    put32(28, 88200); // bytes a second
    put16(32, 2);     // block align
    put16(34, 16);    // bits a sample
    std::memcpy(data.data() + 36, "data", 4);
    put32(40, quint32(bytes - 44));
    for (qint64 i = 44; i < bytes; ++i)
        data[i] = char((i * 37) & 0xFF);
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::WriteOnly);
    file.write(data);
}

void emptyDirectory(const fs::path &dir)
{
    fs::remove_all(dir);
    fs::create_directories(dir);
}

vesk::SlotValues makeWaves(const fs::path &dir, qint64 bytes)
{
    fs::create_directories(dir);
    vesk::SlotValues slots;
    for (int k = 1; k <= vesk::kSlotCount; ++k) {
        const std::string path = (dir / ("slot" + std::to_string(k) + ".wav")).string();
        writeWave(path, bytes);
        slots[size_t(k - 1)] = path;
    }
    return slots;
}

// The floor: the same files copied in a plain loop.
void plainCopies(const std::vector<std::pair<std::string, std::string>> &copies)
{
    for (const auto &[from, to] : copies)
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

void benchApply(const fs::path &root, qint64 waveBytes, const char *name)
{
    const vesk::SlotValues slots = makeWaves(root / ("waves" + std::to_string(waveBytes)), waveBytes);
    const fs::path game = root / "game";
    std::vector<std::pair<std::string, std::string>> copies;
    for (int k = 1; k <= vesk::kSlotCount; ++k)
        copies.emplace_back(slots[size_t(k - 1)], (game / vesk::slotInfo(k).gameFile).string());

    std::vector<double> ours, base;
    auto runOurs = [&] {
        emptyDirectory(game);
        ours.push_back(seconds([&] {
            if (!vesk::applyTheme(game.string(), vesk::planSounds(slots), {}, "\"").status.ok())
                qFatal("apply failed");
        }));
    };
    auto runBase = [&] {
        emptyDirectory(game);
        base.push_back(seconds([&] { plainCopies(copies); }));
    };
    // Alternating which goes first spreads the disk's write-back evenly.
    for (int run = 0; run < kRuns; ++run) {
        if (run % 2) {
            runBase();
            runOurs();
        } else {
            runOurs();
            runBase();
        }
    }
    compare(name, median(ours), "copy_file loop", median(base), 1.10);
}

// A theme of 47 MP3s of `seconds` each, stereo at 44.1 kHz, in `mp3s`.
vesk::SlotValues mp3Theme(const fs::path &mp3s, double seconds = 10.0)
{
    fs::create_directories(mp3s);
    vesk::SlotValues slots;
    for (int k = 1; k <= vesk::kSlotCount; ++k) {
        const std::string path = (mp3s / ("slot" + std::to_string(k) + ".mp3")).string();
        if (k == 1 && !makeSound(path, {SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, seconds}))
            qFatal("cannot make an MP3");
        if (k > 1)
            fs::copy_file(mp3s / "slot1.mp3", path, fs::copy_options::overwrite_existing);
        slots[size_t(k - 1)] = path;
    }
    return slots;
}

// Converting MP3s, as a theme from a sound site needs, against sox doing the
// same one file at a time; and the conversion the first Play of one waits for.
void benchConversion(const fs::path &root)
{
    const fs::path mp3s = root / "mp3s";
    const vesk::SlotValues slots = mp3Theme(mp3s);
    const fs::path game = root / "game";
    const fs::path soxOut = root / "sox";
    fs::create_directories(soxOut);
    std::vector<double> ours, base;
    for (int run = 0; run < 3; ++run) {
        emptyDirectory(game);
        ours.push_back(seconds([&] {
            if (!vesk::applyTheme(game.string(), vesk::planSounds(slots), {}, "\"").status.ok())
                qFatal("converting apply failed");
        }));
        base.push_back(seconds([&] {
            for (int k = 1; k <= vesk::kSlotCount; ++k) {
                const QString out = QString::fromStdString((soxOut / ("slot" + std::to_string(k) + ".wav")).string());
                if (QProcess::execute(QStringLiteral("sox"), {QString::fromStdString(slots[size_t(k - 1)]),
                                                              QStringLiteral("-b"), QStringLiteral("16"), out})
                    != 0)
                    qFatal("sox failed (libsox-fmt-mp3 installed?)");
            }
        }));
    }
    compare("convert 47 x 10 s MP3", median(ours), "sox loop", median(base), 0.70);

    std::vector<double> first;
    for (int run = 0; run < kRuns; ++run) {
        vesk::PlayableSounds playable;
        first.push_back(seconds([&] {
            if (!playable.playable(slots[0]))
                qFatal("no playable sound");
        }));
    }
    alone("first Play of a 10 s MP3, its conversion", median(first), 0.150);
    fs::remove_all(mp3s);
    fs::remove_all(soxOut);
}

// The figures the meter gives, by libebur128 on the same samples: gated
// integrated loudness, the highest momentary one (read every 100 ms) and
// the true peak.
void referenceMeter(const std::vector<float> &samples, int rate, int channels)
{
    ebur128_state *state = ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(rate),
                                        EBUR128_MODE_I | EBUR128_MODE_M | EBUR128_MODE_TRUE_PEAK);
    const std::size_t step = static_cast<std::size_t>(rate + 5) / 10, frames = samples.size() / size_t(channels);
    double loudest = -HUGE_VAL, value = 0;
    for (std::size_t at = 0; at < frames; at += step) {
        ebur128_add_frames_float(state, samples.data() + at * size_t(channels), std::min(step, frames - at));
        if (ebur128_loudness_momentary(state, &value) == EBUR128_SUCCESS)
            loudest = std::max(loudest, value);
    }
    ebur128_loudness_global(state, &value);
    for (int c = 0; c < channels; ++c)
        ebur128_true_peak(state, static_cast<unsigned>(c), &value);
    ebur128_destroy(&state);
}

// What the player waits for to see a theme's sounds: the analysis against a
// plain decode of the same files, the meter against libebur128, a project
// of 47 MP3s opened in the main window, and the memory one long sound takes.
void benchAnalysis(const fs::path &root)
{
    const fs::path mp3s = root / "analysed";
    const vesk::SlotValues slots = mp3Theme(mp3s);
    std::vector<double> ours, base;
    const auto analyse = [&] {
        ours.push_back(seconds([&] {
            for (const std::string &path : slots)
                if (!vesk::analyseSound(path))
                    qFatal("the analysis failed");
        }));
    };
    const auto decode = [&] {
        base.push_back(seconds([&] {
            std::vector<float> block(8192 * 2);
            for (const std::string &path : slots) {
                SF_INFO info{};
                SNDFILE *file = sf_open(path.c_str(), SFM_READ, &info);
                while (sf_readf_float(file, block.data(), 8192) > 0) {
                }
                sf_close(file);
            }
        }));
    };
    // A project measured as the editor measures it: every figure, on every
    // core, from a fresh start.
    const auto analysedAlone = [&] {
        return seconds([&] {
            std::mutex mutex;
            std::condition_variable arrived;
            vesk::SoundAnalyses analyses([&] { arrived.notify_all(); });
            analyses.request(std::vector<std::string>(slots.begin(), slots.end()));
            std::unique_lock<std::mutex> lock(mutex);
            while (analyses.busy())
                arrived.wait_for(lock, std::chrono::milliseconds(5));
        });
    };
    std::vector<double> project;
    // They take turns at going first, so that none always finds the files'
    // pages and the processor's clock as another left them.
    for (int run = 0; run < kRuns; ++run) {
        if (run % 2 == 0) {
            analyse();
            decode();
            project.push_back(analysedAlone());
        } else {
            project.push_back(analysedAlone());
            decode();
            analyse();
        }
    }
    compare("a project of 47 x 10 s MP3 measured as the editor does (every core)", median(project),
            "libsndfile decode loop, one core", median(base), 0.9);
    compare("analysis of 47 x 10 s MP3, one core", median(ours), "libsndfile decode loop", median(base), 1.4);

    // The meter alone, on one sound's decoded samples.
    SF_INFO info{};
    SNDFILE *file = sf_open(slots[0].c_str(), SFM_READ, &info);
    std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
    samples.resize(static_cast<size_t>(sf_readf_float(file, samples.data(), info.frames) * info.channels));
    sf_close(file);
    std::vector<double> meter, reference;
    for (int run = 0; run < kRuns; ++run) {
        meter.push_back(seconds([&] {
            vesk::LoudnessMeter measured(info.samplerate, info.channels);
            measured.add(samples.data(), samples.size() / size_t(info.channels));
            if (!measured.result().integrated)
                qFatal("no loudness");
        }));
        reference.push_back(seconds([&] { referenceMeter(samples, info.samplerate, info.channels); }));
    }
    compare("loudness meter, 10 s stereo", median(meter), "libebur128", median(reference), 1.0);

    // The project opened: how long the window goes without answering, and
    // when every row is drawn, against the analysis alone on every core.
    // Each run starts afresh (a new window measures every sound again); the
    // two take turns at going first.
    vesk::Project theme;
    theme.slots = slots;
    const std::string projectFile = (root / "mp3s.vsk").string();
    if (!vesk::saveProject(projectFile, theme).ok())
        qFatal("cannot save the project");
    qint64 longest = 0;
    const auto opened = [&] {
        FakeDialogs dialogs;
        FakeSound sound;
        QTemporaryDir program;
        MainWindow window(program.path(), dialogs, sound);
        window.show();
        QElapsedTimer clock, gap;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, gap.nsecsElapsed());
            gap.restart();
        });
        const auto allDrawn = [&] {
            for (int k = 1; k <= vesk::kSlotCount; ++k)
                if (window.slotRow(k)->lengthShown().isEmpty())
                    return false;
            return true;
        };
        clock.start();
        gap.start();
        tick.start();
        QTimer::singleShot(0, &window, [&] { window.openProject(projectFile); });
        // Waiting as an event loop waits, so that this thread takes no core
        // from the measuring.
        while (!allDrawn())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double drawn = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        tick.stop();
        return drawn;
    };
    std::vector<double> drawn, parallel;
    for (int run = 0; run < 5; ++run) {
        if (run % 2 == 0) {
            drawn.push_back(opened());
            parallel.push_back(analysedAlone());
        } else {
            parallel.push_back(analysedAlone());
            drawn.push_back(opened());
        }
    }
    alone("opening 47 x 10 s MP3, longest time the window does not answer (of all runs)", double(longest) / 1e9, 0.050);
    compare("opening 47 x 10 s MP3, every row drawn", median(drawn), "the analysis alone", median(parallel), 1.2);

    // One long sound: what its analysis adds to the peak.
    const fs::path longOne = root / "ten-minutes.mp3";
    if (!makeSound(longOne.string(), {SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, 600.0}))
        qFatal("cannot make a long MP3");
    std::ofstream("/proc/self/clear_refs") << "5";
    const double before = static_cast<double>(vesk::posix::peakResidentKiB()) / 1024.0;
    if (!vesk::analyseSound(longOne.string()))
        qFatal("the long analysis failed");
    std::printf("analysis of a 10 min MP3, memory it adds: %.1f MiB, target 16 MiB\n",
                static_cast<double>(vesk::posix::peakResidentKiB()) / 1024.0 - before);
    std::fflush(stdout);
    fs::remove_all(mp3s);
    fs::remove(longOne);
}

// Sounds shaped in the sound window: the edits applied in the conversion
// pass against the same Convert of the sounds as they are, and the window
// opened for a long sound whose analysis is at hand.
void benchEdits(const fs::path &root)
{
    const fs::path mp3s = root / "edited";
    const vesk::SlotValues slots = mp3Theme(mp3s);
    std::array<vesk::SoundEdit, vesk::kSlotCount> edits;
    for (vesk::SoundEdit &edit : edits) {
        edit.start = 500000;
        edit.end = 9500000;
        edit.fadeIn = 20000;
        edit.fadeOut = 50000;
        edit.gain = -3.1;
        edit.matched = true;
    }
    const fs::path game = root / "edited-game";
    std::vector<double> ours, base;
    for (int run = 0; run < kRuns; ++run) {
        for (const bool edited : {run % 2 == 0, run % 2 != 0}) {
            emptyDirectory(game);
            (edited ? ours : base).push_back(seconds([&] {
                if (!vesk::applyTheme(game.string(), vesk::planSounds(slots, edited ? edits : decltype(edits){}), {},
                                      "\"")
                         .status.ok())
                    qFatal("converting apply failed");
            }));
        }
    }
    compare("convert 47 x 10 s MP3 trimmed, faded and matched", median(ours), "the same unedited", median(base), 1.05);
    fs::remove_all(mp3s);

    const fs::path longOne = root / "ten-minutes-edited.mp3";
    if (!makeSound(longOne.string(), {SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, 600.0}))
        qFatal("cannot make a long MP3");
    emptyDirectory(game);
    writeWave((game / "BOMB1.WA2").string(), 88200);
    vesk::Project project;
    project.slots[0] = longOne.string();
    vesk::SlotMeasurements measurements([] {});
    measurements.measure(project.slots, game.string(), vesk::InnerTab::Bombs);
    while (measurements.busy())
        QThread::msleep(10);
    std::vector<double> opened;
    for (int run = 0; run < kRuns; ++run) {
        opened.push_back(seconds([&] {
            vesk::Result<vesk::SoundEditing> editing = vesk::startEditing(project, 1, measurements, game.string());
            if (!editing)
                qFatal("no sound to edit");
            SoundWindow window(nullptr, std::move(editing).value(), {}, {});
            window.show();
            // Drawn whole, the pictures too, whether or not the screen shows it yet.
            if (window.grab().isNull())
                qFatal("the sound window did not draw");
        }));
    }
    alone("sound window of a 10 min MP3, opened and drawn", median(opened), 0.100);
    fs::remove(longOne);
}

// The procedures' hold on a window that shows nothing: the history's and
// the recovery's own costs.
class NoWindow final : public vesk::EditorUi
{
public:
    void message(const std::string &text, bool) override { qFatal("unexpected message: %s", text.c_str()); }
    Answer ask(const std::string &, bool) override { return Answer::No; }
    std::unique_ptr<vesk::Progress> startProgress(const std::string &) override
    {
        return std::make_unique<vesk::NoProgress>();
    }
    std::optional<std::string> openFile(Files) override { return std::nullopt; }
    std::optional<std::string> saveFile(Files) override { return std::nullopt; }
    void offerFileName(const std::string &) override {}
    void setBusy(bool) override {}
    void playSound(const std::string &) override {}
    void showTheme() override {}
    void showSlot(int) override {}
    void showSelection() override {}
    void showLink(size_t) override {}
    void linksChanging(const LinkChange &) override {}
    void linksChanged(const LinkChange &) override {}
    void showHistory() override {}
    void showPage(Page) override {}
};

void benchHistory(const fs::path &root)
{
    vesk::Editor editor;
    NoWindow ui;
    vesk::Project project;
    for (int k = 0; k < vesk::kSlotCount; ++k)
        project.slots[static_cast<size_t>(k)] = (root / ("sound" + std::to_string(k) + ".wav")).string();
    for (int i = 0; i < 10000; ++i)
        project.links.push_back({"Link " + std::to_string(i), "https://example.org/themes/" + std::to_string(i)});
    editor.theme.load(project);
    // A whole-theme match as one step, as Match Loudness to the Game records it.
    editor.theme.beginStep("Match Loudness to the Game");
    for (int k = 1; k <= vesk::kSlotCount; ++k) {
        vesk::SoundEdit edit;
        edit.gain = -0.1 * k;
        edit.matched = true;
        editor.theme.setEdit(k, edit);
    }
    if (!editor.theme.endStep())
        qFatal("the match changed nothing");
    std::vector<double> undone, redone;
    for (int run = 0; run < kRuns; ++run) {
        undone.push_back(seconds([&] { vesk::undo(editor, ui); }));
        redone.push_back(seconds([&] { vesk::redo(editor, ui); }));
    }
    alone("undo of Match Loudness to the Game over 47 slots", *std::max_element(undone.begin(), undone.end()), 0.010);
    alone("redo of Match Loudness to the Game over 47 slots", *std::max_element(redone.begin(), redone.end()), 0.010);

    // The window's thread makes the recovery file's lines; the file is
    // written off it. The longest a change's keeping holds the thread:
    const std::string settings = (root / "vesk.cfg").string();
    vesk::Recovery recovery(settings);
    vesk::offerRecovery(editor, ui, recovery);
    double longest = 0;
    for (int change = 0; change < 20; ++change) {
        vesk::chooseSlotFile(editor, ui, 1 + change % vesk::kSlotCount, "/sounds/" + std::to_string(change) + ".wav");
        for (int tick = 0; tick < 5; ++tick) { // a second apart in the window, closer here
            longest = std::max(longest, seconds([&] { vesk::keepRecovery(editor, ui, recovery); }));
            QThread::msleep(20);
        }
    }
    alone("recovery kept, 47 slots and 10,000 links: longest the window waits", longest, 0.050);
    recovery.discard();
}

// The sound browser on a folder of 1,000 short sounds of three kinds: the
// listing, every figure (against one core decoding them all), the figures
// again from the disk cache, the key to the sound handed over, and the
// longest the window does not answer meanwhile.
// The longest pause of the event loop while it lives: a 1 ms timer's ticks,
// while the loop waits as an event loop waits, so that this thread takes no
// core from the work measured.
class LongestPause
{
public:
    LongestPause()
    {
        m_tick.setInterval(1);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            m_widest = std::max(m_widest, m_gap.nsecsElapsed());
            m_gap.restart();
        });
        m_gap.start();
        m_tick.start();
    }
    double seconds() const { return double(m_widest) / 1e9; }

private:
    QElapsedTimer m_gap;
    QTimer m_tick;
    qint64 m_widest = 0;
};

void benchBrowser(const fs::path &root)
{
    const fs::path folder = root / "browsed";
    fs::create_directories(folder);
    std::vector<std::string> files;
    const int formats[] = {SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III,
                           SF_FORMAT_FLAC | SF_FORMAT_PCM_16};
    const char *endings[] = {".wav", ".mp3", ".flac"};
    for (int i = 0; i < 1000; ++i) {
        const std::string file = (folder / ("sound" + std::to_string(i) + endings[i % 3])).string();
        if (!makeSound(file, {formats[i % 3], 44100, 2, 0.5}))
            qFatal("cannot make %s", file.c_str());
        files.push_back(file);
    }
    std::vector<double> listed;
    for (int run = 0; run < kRuns; ++run)
        listed.push_back(seconds([&] {
            if (vesk::listSounds(folder.string(), false).size() != files.size())
                qFatal("the listing lost files");
        }));
    alone("sound browser: 1,000 sounds listed", median(listed), 0.100);

    const std::vector<double> decoded = [&] {
        std::vector<double> times;
        std::vector<float> block(8192 * 2);
        for (int run = 0; run < 3; ++run)
            times.push_back(seconds([&] {
                for (const std::string &path : files) {
                    SF_INFO info{};
                    SNDFILE *file = sf_open(path.c_str(), SFM_READ, &info);
                    while (sf_readf_float(file, block.data(), 8192) > 0) {
                    }
                    sf_close(file);
                }
            }));
        return times;
    }();
    FakeDialogs dialogs;
    std::optional<vesk::PlayableSounds> playable;
    playable.emplace();
    QElapsedTimer handedAt;
    SoundBrowserWindow::Editor editor;
    editor.targetSlot = [] { return 1; };
    editor.gameFile = [](int) { return std::nullopt; };
    editor.play = [&](const std::string &path) {
        if (!path.empty() && !playable->playable(path))
            qFatal("cannot play %s", path.c_str());
        handedAt.start();
    };
    editor.use = [](const std::string &) {};
    editor.nextSlot = [] {};
    const std::string cache = (root / "figures.cache").string();
    // The window measured, the longest pause of its event loop beside: a
    // timer's ticks, while the loop waits as an event loop waits, so that
    // this thread takes no core from the measuring.
    const auto browse = [&](double &longest) {
        QElapsedTimer clock;
        clock.start();
        LongestPause pause;
        auto window = std::make_unique<SoundBrowserWindow>(nullptr, dialogs, editor, folder.string(),
                                                           (root / "browser.cfg").string(), cache);
        window->show();
        while (!window->measured())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double shown = double(clock.nsecsElapsed()) / 1e9;
        longest = pause.seconds();
        return std::make_pair(shown, std::move(window));
    };
    fs::remove(cache);
    double longest = 0;
    auto [first, window] = browse(longest);
    compare("sound browser: 1,000 sounds' figures shown (every core)", first, "libsndfile decode loop, one core",
            median(decoded), 1.0);
    alone("sound browser: longest the window waits while they are measured", longest, 0.050);

    // The key that selects a row, to the sound handed to the output.
    QTreeWidget *list = window->list();
    for (const char *ending : {".wav", ".mp3"}) {
        std::vector<double> delays;
        for (int run = 0; run < kRuns; ++run) {
            for (int row = 0; row < list->topLevelItemCount(); ++row) {
                QTreeWidgetItem *item = list->topLevelItem(row);
                if (!item->text(0).endsWith(QString::fromLatin1(ending)))
                    continue;
                list->setCurrentItem(list->topLevelItem(row > 0 ? row - 1 : row + 1));
                QElapsedTimer key;
                key.start();
                QTest::keyClick(list, row > 0 ? Qt::Key_Down : Qt::Key_Up);
                delays.push_back(double(key.nsecsElapsed() - handedAt.nsecsElapsed()) / 1e9);
                break;
            }
            list->setCurrentItem(nullptr);
            playable.emplace(); // nothing converted kept from the run before
        }
        const bool wave = std::string(ending) == ".wav";
        alone(wave ? "sound browser: key to the sound handed over, 0.5 s wave"
                   : "sound browser: key to the sound handed over, 0.5 s MP3",
              median(delays), wave ? 0.030 : 0.050);
    }
    window.reset();
    double again = 0;
    auto [cached, reopened] = browse(again);
    alone("sound browser: the same folder again, figures from the disk cache", cached, 0.100);
    reopened.reset();
    fs::remove_all(folder);
}

void shell(const std::string &command);

// A package folder of 47 sounds of `bytes` each, sealed with SHA256SUMS; its
// sounds' bytes differ from every other package's by `mark`.
fs::path makeSealedPackage(const fs::path &package, qint64 bytes, int mark)
{
    const vesk::SlotValues waves = makeWaves(package, bytes);
    std::vector<vesk::FileSum> sums;
    for (int k = 1; k <= vesk::kSlotCount; ++k) {
        const fs::path sound = package / vesk::slotInfo(k).gameFile;
        fs::rename(waves[size_t(k - 1)], sound);
        std::fstream file(sound, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(44);
        file << mark << ' ' << k;
        file.close();
        sums.push_back({vesk::slotInfo(k).gameFile, *vesk::sha256OfFile(sound.string())});
    }
    (void)vesk::writeThemeDescription((package / "theme.cfg").string(),
                                      {"Ann", "", "http://", "10", "Black", "White", "Theme " + std::to_string(mark)});
    sums.push_back({"theme.cfg", *vesk::sha256OfFile((package / "theme.cfg").string())});
    std::ofstream(package / "SHA256SUMS", std::ios::binary) << vesk::sumsText(sums);
    return package;
}

// Open Package, and the packages' sounds side by side.
void benchPackages(const fs::path &root, FakeDialogs &dialogs)
{
    const fs::path package = makeSealedPackage(root / "received", 1 << 20, 0);
    std::vector<double> ours, base;
    for (int run = 0; run < kRuns; ++run) {
        const fs::path out = root / ("out" + std::to_string(run)), plain = root / ("plain" + std::to_string(run));
        ours.push_back(seconds([&] {
            vesk::NoProgress unwatched;
            const auto opened = vesk::OpenedPackage::open({vesk::PackageKind::Folder, package.string()}, unwatched);
            if (!opened || !vesk::copyOutPackage(*opened, out.string(), unwatched))
                qFatal("Open Package failed");
        }));
        base.push_back(seconds([&] {
            shell("cd '" + package.string() + "' && sha256sum --quiet -c SHA256SUMS && mkdir '" + plain.string()
                  + "' && cp *.wa2 '" + plain.string() + "'");
        }));
        fs::remove_all(out);
        fs::remove_all(plain);
    }
    compare("Open Package, 47 x 1 MiB, checked and copied out", median(ours), "sha256sum -c; cp", median(base), 1.2);

    std::vector<fs::path> packages;
    for (int mark = 1; mark <= 10; ++mark)
        packages.push_back(makeSealedPackage(root / ("package" + std::to_string(mark)), 1 << 20, mark));
    PackageMixWindow::Editor editor;
    editor.gameFile = [](int) { return std::nullopt; };
    editor.play = [](const std::string &) {};
    editor.take = [](const vesk::PackageMix &) { return true; };
    vesk::SlotValues theme;
    theme.fill(vesk::kNoSound);
    QElapsedTimer clock;
    clock.start();
    LongestPause pause;
    PackageMixWindow window(nullptr, dialogs, editor, theme);
    window.show();
    for (const fs::path &added : packages)
        if (!window.addPackage(added.string()))
            qFatal("adding %s failed", added.string().c_str());
    while (!window.measured())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double shown = double(clock.nsecsElapsed()) / 1e9;
    alone("Take Sounds from Packages: 10 packages of 47 sounds, every figure shown", shown, 1.0);
    alone("Take Sounds from Packages: longest the window waits meanwhile", pause.seconds(), 0.050);
    for (const fs::path &added : packages)
        fs::remove_all(added);
    fs::remove_all(package);
}

// The files of a package the editor seals, in its order, for the shell.
const std::string kSealed = "theme.cfg bgimage.jpg install.exe $(for k in bomb1 bomb2 bomb3 mine1 mine2 mine3 gun1 "
                            "gun2 gun3 burst repel decoy thor brick rocket1 wrppnt stealth cloak xradar antiwarp off "
                            "multion multioff rocket2 rev hum Alarm flag thrust victory victoryl explode0 explode1 "
                            "explode2 bomb4 mine4 ebomb1 ebomb2 ebomb3 ebomb4 bounce emine1 emine2 emine3 emine4 "
                            "prize warp; do printf '%s.wa2 ' $k; done)";

void shell(const std::string &command)
{
    if (QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), QString::fromStdString(command)}) != 0)
        qFatal("failed: %s", command.c_str());
}

void benchPackage(const fs::path &root)
{
    const vesk::SlotValues slots = makeWaves(root / "waves1048576", 1 << 20);
    const fs::path editor = root / "editor";
    fs::create_directories(editor);
    fs::copy_file(VPAK_PATH, editor / vesk::kInstallerProgram, fs::copy_options::overwrite_existing);
    const fs::path picture = root / "picture.jpg";
    QImage image(1920, 1080, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    image.save(QString::fromStdString(picture.string()), "JPG");

    const fs::path package = root / "package";
    vesk::PackageInput input;
    input.theme = {"Ann", "ann@example.org", "http://ann.example.org", "10", "Black", "White", "Night"};
    input.picture = picture.string();
    input.packageDirectory = package.string();
    input.editorDirectory = editor.string();
    input.slots = slots;

    std::vector<std::pair<std::string, std::string>> copies
        = {{picture.string(), (package / "bgimage.jpg").string()},
           {(editor / vesk::kInstallerProgram).string(), (package / "install.exe").string()}};
    for (int k = 1; k <= vesk::kSlotCount; ++k)
        copies.emplace_back(slots[size_t(k - 1)], (package / vesk::slotInfo(k).gameFile).string());

    std::vector<double> ours, base;
    for (int run = 0; run < kRuns; ++run) {
        emptyDirectory(package);
        ours.push_back(seconds([&] {
            if (!vesk::buildPackage(input, vesk::planSounds(input.slots)).status.ok())
                qFatal("package build failed");
        }));
        emptyDirectory(package);
        base.push_back(seconds([&] {
            (void)writeThemeDescription((package / "theme.cfg").string(), input.theme);
            plainCopies(copies);
            shell("cd '" + package.string() + "' && sha256sum " + kSealed + " > SHA256SUMS && cat " + kSealed
                  + " SHA256SUMS > ../package.exe");
        }));
    }
    compare("package build 47 x 1 MiB, with its sums and one file", median(ours), "copies, sha256sum, cat",
            median(base), 1.10);
}

// SHA256SUMS and the one file of 47 sounds of 16 MiB, written in one pass;
// then the one file checked and unpacked as the installer does it.
void benchOneFile(const fs::path &root)
{
    const fs::path package = root / "Ocean";
    const vesk::SlotValues waves = makeWaves(package, 16 << 20);
    std::vector<std::string> names = {"theme.cfg", "bgimage.jpg", "install.exe"};
    for (int k = 1; k <= vesk::kSlotCount; ++k) {
        fs::rename(waves[size_t(k - 1)], package / vesk::slotInfo(k).gameFile);
        names.push_back(vesk::slotInfo(k).gameFile);
    }
    fs::copy_file(VPAK_PATH, package / "install.exe");
    (void)vesk::writeThemeDescription((package / "theme.cfg").string(),
                                      {"Ann", "", "http://", "10", "Black", "White", ""});
    QImage(640, 480, QImage::Format_RGB32).save(QString::fromStdString((package / "bgimage.jpg").string()), "JPG");
    const std::string oneFile = (root / "Ocean.exe").string(), cd = "cd '" + package.string() + "' && ";

    std::vector<double> ours, base;
    for (int run = 0; run < 3; ++run) {
        fs::remove(oneFile);
        ours.push_back(seconds([&] {
            vesk::PackageResult result;
            vesk::NoProgress unwatched;
            if (!vesk::sealPackage(package.string(), names, VPAK_PATH, unwatched, result).ok() || !result.oneFile)
                qFatal("sealing failed");
        }));
        base.push_back(seconds([&] {
            shell(cd + "sha256sum " + kSealed + " > ../sums && cat " + VPAK_PATH + " " + kSealed + " > ../one");
        }));
    }
    compare("SHA256SUMS and one file, 47 x 16 MiB", median(ours), "sha256sum; cat", median(base), 1.0);

    ours.clear();
    base.clear();
    for (int run = 0; run < 3; ++run) {
        std::optional<vpak::PackageSource> source;
        ours.push_back(seconds([&] {
            vesk::NoProgress unwatched;
            auto opened = vpak::PackageSource::open(oneFile, std::nullopt, unwatched);
            if (!opened)
                qFatal("unpacking failed: %s", opened.error().c_str());
            source.emplace(std::move(*opened));
        }));
        source.reset();
        const fs::path copy = root / "copy";
        fs::create_directories(copy);
        base.push_back(seconds([&] {
            shell(cd + "cp " + kSealed + " SHA256SUMS '" + copy.string() + "' && cd '" + copy.string()
                  + "' && sha256sum --quiet -c SHA256SUMS");
        }));
        fs::remove_all(copy);
    }
    compare("unpack and check the one file, 47 x 16 MiB", median(ours), "cp; sha256sum -c", median(base), 1.0);
    fs::remove_all(package);
    fs::remove(oneFile);
    fs::remove(root / "one");
    fs::remove(root / "sums");
}

// Save then Open through the main window's own menu handlers.
double benchProject(const QString &dir, int links)
{
    FakeDialogs dialogs;
    FakeSound sound;
    MainWindow window(dir, dialogs, sound);
    dialogs.messages.clear(); // the start-up request for a game directory
    auto *names = window.findChild<QListView *>(QStringLiteral("linkList"));
    // The theme comes in as a player's would: opened from a project file.
    vesk::Project project;
    for (int k = 1; k <= vesk::kSlotCount; ++k)
        project.slots[static_cast<size_t>(k - 1)] = "C:\\Sounds\\Theme\\slot" + std::to_string(k) + ".wav";
    for (int j = 0; j < links; ++j)
        project.links.push_back(
            {"Link number " + std::to_string(j), "http://site" + std::to_string(j) + ".example.org/page"});
    const std::string seed = (dir + QStringLiteral("/seed.vsk")).toStdString();
    if (!vesk::saveProject(seed, project).ok() || !window.openProject(seed))
        qFatal("cannot prepare the project");

    auto *save = window.findChild<QAction *>(QStringLiteral("saveItem"));
    auto *open = window.findChild<QAction *>(QStringLiteral("openItem"));
    const QString file = dir + QStringLiteral("/bench.vsk");
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        times.push_back(seconds([&] {
            dialogs.answers.enqueue(file);
            save->trigger();
            dialogs.answers.enqueue(file);
            open->trigger();
        }));
    }
    if (!dialogs.messages.isEmpty() || names->model()->rowCount() != links)
        qFatal("save and open did not round-trip");
    return median(times);
}

// Shows a window and waits for its first paint.
class PaintWatch : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

double timeToFirstPaint(const std::function<QWidget *()> &make)
{
    return seconds([&] {
        QWidget *window = make();
        PaintWatch watch;
        window->installEventFilter(&watch);
        for (QWidget *child : window->findChildren<QWidget *>())
            child->installEventFilter(&watch);
        window->show();
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        delete window;
    });
}

// The peak resident memory of a program once it has settled after its start
// (no growth for a second), read from outside, in MiB.
double settledPeakMiB(const QString &program, const QStringList &arguments, const QString &directory)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(directory);
    process.start(program, arguments);
    if (!process.waitForStarted())
        qFatal("cannot start %s", qPrintable(program));
    const QString status = QStringLiteral("/proc/%1/status").arg(process.processId());
    const auto peak = [&status] {
        QFile file(status);
        if (!file.open(QIODevice::ReadOnly))
            return 0L;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').first().toLong();
        }
        return 0L;
    };
    long last = -1;
    QElapsedTimer steady;
    steady.start();
    while (steady.elapsed() < 1000 && process.state() == QProcess::Running) {
        const long now = peak();
        if (now != last) {
            last = now;
            steady.restart();
        }
        process.waitForFinished(50);
    }
    process.kill();
    process.waitForFinished();
    return double(last) / 1024;
}

// The editor's memory once it has started with a project of 47 slots and
// 10000 links, against the yardstick program's; both are real programs,
// measured alike. How long a start takes is measured by vesk_startbench.
// The install of a big package: 47 sounds of 64 MiB with their sums and
// 5,000 extra files. What counts is the longest time the installer's window
// would go without a report (a step of its long work, or a question), the
// batch's own run aside, which the window waits for while it paints; and
// how much more memory the install takes than before.
void benchBigPackage(const fs::path &root)
{
    const fs::path package = root / "Big", game = root / "biggame";
    fs::create_directories(game);
    const vesk::SlotValues waves = makeWaves(package, 64 << 20);
    std::vector<vesk::FileSum> sums;
    for (int k = 1; k <= vesk::kSlotCount; ++k) {
        const fs::path sound = package / vesk::slotInfo(k).gameFile;
        fs::rename(waves[size_t(k - 1)], sound);
        const auto digest = vesk::sha256OfFile(sound.string());
        if (!digest)
            qFatal("cannot hash %s", sound.c_str());
        sums.push_back({vesk::slotInfo(k).gameFile, *digest});
    }
    for (int i = 0; i < 5000; ++i)
        std::fclose(std::fopen((package / ("extra" + std::to_string(i) + ".txt")).c_str(), "wb"));
    (void)vesk::writeFile((package / "SHA256SUMS").string(), vesk::sumsText(sums));

    struct Ui final : vpak::InstallerUi
    {
        QElapsedTimer clock;
        qint64 last = 0, longest = 0;
        void mark()
        {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        }
        void message(const std::string &text) override
        {
            mark();
            said = text;
        }
        bool ask(const std::string &) override
        {
            mark();
            return true;
        }
        vesk::Result<BatchEnd> runBatch(const std::string &batch, const std::string &dir,
                                        std::chrono::milliseconds) override
        {
            mark();
            const vesk::Status ran = vpak::runBatchFile(batch, dir);
            last = clock.nsecsElapsed();
            return ran.ok() ? vesk::Result<BatchEnd>(BatchEnd::Finished) : vesk::Result<BatchEnd>(ran);
        }
        void waitForBatchEnd() override {}
        struct Marked final : vesk::Progress
        {
            explicit Marked(Ui &ui) : m_ui(ui) {}
            bool advance(const std::string &, double) override
            {
                m_ui.mark();
                return true;
            }
            Ui &m_ui;
        };
        std::unique_ptr<vesk::Progress> startProgress(const std::string &) override
        {
            return std::make_unique<Marked>(*this);
        }
        std::string said;
    } ui;
    // The peak so far (the waves written above) is set back to what is in use now.
    std::ofstream("/proc/self/clear_refs") << "5";
    const double before = static_cast<double>(vesk::posix::peakResidentKiB()) / 1024.0;
    ui.clock.start();
    if (!vpak::install(package.string(), game.string(), ui))
        qFatal("the big install failed: %s", ui.said.c_str());
    ui.mark();
    alone("install 47 x 64 MiB and 5000 extra files, longest time without a report", double(ui.longest) / 1e9, 1.0);
    std::printf("install 47 x 64 MiB and 5000 extra files, memory it adds: %.1f MiB\n",
                static_cast<double>(vesk::posix::peakResidentKiB()) / 1024.0 - before);
    std::fflush(stdout);
    fs::remove_all(package);
    fs::remove_all(game);
}

void benchEditorMemory(const QString &dir)
{
    vesk::Project project;
    for (int k = 1; k <= vesk::kSlotCount; ++k)
        project.slots[static_cast<size_t>(k - 1)] = "C:\\Sounds\\Theme\\slot" + std::to_string(k) + ".wav";
    for (int j = 0; j < 10000; ++j)
        project.links.push_back(
            {"Link number " + std::to_string(j), "http://site" + std::to_string(j) + ".example.org/page"});
    const QString editor = dir + QStringLiteral("/editor");
    QDir().mkpath(editor);
    const QString file = editor + QStringLiteral("/memory.vsk");
    if (!vesk::saveProject(file.toStdString(), project).ok()
        || !QFile::copy(QStringLiteral(VESK_PATH), editor + QStringLiteral("/vesk")))
        qFatal("cannot prepare the editor's folder");
    QFile settings(editor + QStringLiteral("/vesk.cfg"));
    settings.open(QIODevice::WriteOnly);
    settings.write(dir.toLocal8Bit() + "\r\n");
    settings.close();
    const double ours = settledPeakMiB(editor + QStringLiteral("/vesk"), {file}, editor);
    const double base = settledPeakMiB(QStringLiteral(MINIMAL_QT_PATH), {}, dir);
    std::printf("editor peak resident memory, 47 slots and 10000 links: %.1f MiB vs minimal Qt program %.1f MiB, "
                "ratio %.2f, target 1.25\n",
                ours, base, ours / base);
    std::fflush(stdout);
}

void benchInstallerStart(const QString &dir)
{
    QFile theme(dir + QStringLiteral("/theme.cfg"));
    theme.open(QIODevice::WriteOnly);
    theme.write("Ann Example\r\nann@example.org\r\nhttp://ann.example.org\r\n14\r\nYellow\r\nPurple\r\nNight\r\n");
    theme.close();
    QImage picture(1920, 1080, QImage::Format_RGB32);
    picture.fill(Qt::darkMagenta);
    picture.save(dir + QStringLiteral("/bgimage.jpg"), "JPG");

    FakeDialogs dialogs;
    FakeInterpreter interpreter;
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run)
        times.push_back(timeToFirstPaint([&] { return new InstallerWindow(dir, dialogs, interpreter); }));
    alone("installer start with a 1920x1080 picture", median(times), 0.100);
}

// What the bench does to the page cache before each timed side: a sync, and
// where it may (as root) dropping the cache, so that both sides start cold.
bool g_dropCaches = false;

void settle()
{
    vesk::posix::syncAll();
    if (g_dropCaches) {
        std::FILE *drop = std::fopen("/proc/sys/vm/drop_caches", "w");
        if (drop) {
            std::fputs("3\n", drop);
            std::fclose(drop);
        }
    }
}

// A folder of second names for the files of another: a fresh game directory
// without copying its bytes.
void linkFolder(const fs::path &from, const fs::path &to)
{
    emptyDirectory(to);
    for (const auto &entry : fs::directory_iterator(from))
        fs::create_hard_link(entry.path(), to / entry.path().filename());
}

// The install as the player's click starts it, with the real batch runner.
class BenchInstallerUi final : public vpak::InstallerUi
{
public:
    void message(const std::string &text) override { last = text; }
    bool ask(const std::string &) override { return true; }
    vesk::Result<BatchEnd> runBatch(const std::string &batch, const std::string &directory,
                                    std::chrono::milliseconds limit) override
    {
        const auto ran = m_interpreter.run(batch, directory, limit);
        if (!ran)
            return ran.status();
        return *ran == platform::CommandInterpreter::End::Finished ? BatchEnd::Finished : BatchEnd::StillRunning;
    }
    void waitForBatchEnd() override { m_interpreter.waitForEnd(); }
    std::string last;

private:
    platform::SystemCommandInterpreter m_interpreter{VPAK_PATH};
};

// Safety at the speed of a plain copy: Convert and the install over 47 game
// files of 16 MiB already in place, the first time (the backup is made) and
// again (the backup is kept), each against a plain copy of the same files
// over existing ones. On disk, in the release build's own folder.
void benchSafety(const fs::path &root)
{
    constexpr int kRounds = 5;
    constexpr qint64 kBytes = 16 << 20;
    emptyDirectory(root);
    const vesk::SlotValues waves = makeWaves(root / "waves", kBytes);
    const fs::path pristine = root / "pristine", package = root / "package", copied = root / "copied";
    fs::create_directories(pristine);
    fs::create_directories(package);
    fs::create_directories(copied);
    std::vector<std::pair<std::string, std::string>> copies;
    for (int k = 1; k <= vesk::kSlotCount; ++k) {
        const std::string name = vesk::slotInfo(k).gameFile;
        writeWave((pristine / name).string(), kBytes);
        fs::copy_file(pristine / name, copied / name);
        fs::create_hard_link(waves[size_t(k - 1)], package / name);
        copies.emplace_back(waves[size_t(k - 1)], (copied / name).string());
    }
    fs::copy_file(VPAK_PATH, package / "install.exe");
    QFile theme(QString::fromStdString((package / "theme.cfg").string()));
    theme.open(QIODevice::WriteOnly);
    theme.write("Ann\r\nann@example.org\r\nhttp://ann\r\n10\r\nBlack\r\nWhite\r\nNight\r\n");
    theme.close();
    QImage(64, 48, QImage::Format_RGB32).save(QString::fromStdString((package / "bgimage.jpg").string()), "JPG");

    const fs::path game = root / "game";
    std::vector<double> convertMade, convertKept, installMade, installKept, copy1, copy2, copy3, copy4;
    const auto timed = [](std::vector<double> &into, const std::function<void()> &work) {
        settle();
        into.push_back(seconds(work));
    };
    const auto plain = [&] { plainCopies(copies); };
    const auto convert = [&] {
        if (!vesk::applyTheme(game.string(), vesk::planSounds(waves), {}, "\"").status.ok())
            qFatal("convert failed");
    };
    const auto install = [&] {
        BenchInstallerUi ui;
        if (!vpak::install(package.string(), game.string(), ui))
            qFatal("install failed: %s", ui.last.c_str());
    };
    // The two sides take turns going first.
    for (int round = 0; round < kRounds; ++round) {
        const bool copyFirst = round % 2;
        if (copyFirst)
            timed(copy1, plain);
        linkFolder(pristine, game);
        timed(convertMade, convert);
        timed(convertKept, convert);
        if (!copyFirst)
            timed(copy1, plain);
        timed(copy2, plain);
        if (copyFirst)
            timed(copy3, plain);
        linkFolder(pristine, game);
        timed(installMade, install);
        timed(installKept, install);
        if (!copyFirst)
            timed(copy3, plain);
        timed(copy4, plain);
    }
    std::printf("(page cache %s before each timed run)\n",
                g_dropCaches ? "synced and dropped" : "synced, not dropped: not root");
    compare("convert over 47 x 16 MiB game files, backup made", median(convertMade), "copy over them", median(copy1),
            1.10);
    compare("convert over 47 x 16 MiB game files, backup kept", median(convertKept), "copy over them", median(copy2),
            1.10);
    compare("install 47 x 16 MiB, backup made", median(installMade), "copy over them", median(copy3), 1.50);
    compare("install 47 x 16 MiB, backup kept", median(installKept), "copy over them", median(copy4), 1.40);
    fs::remove_all(root);
}

} // namespace

// From the click on "Play" to the first sound heard on a private PulseAudio
// server's null sink, kept busy by a silent stream so that its monitor
// records without pause.
void benchPlayLatency(const QString &dir)
{
    PulseServer pulse;
    QString why;
    if (!pulse.start(&why)) {
        std::printf("play latency: not measured (%s)\n", qPrintable(why));
        return;
    }
    pulse.record();
    QTRY_VERIFY_WITH_TIMEOUT(pulse.samplesRecorded() > PulseServer::kRate / 10, 10000);
    const QString tone = dir + QStringLiteral("/latency.wav");
    QFile file(tone);
    file.open(QIODevice::WriteOnly);
    file.write(toneWave(1.0, 440, 0.5));
    file.close();

    FakeDialogs dialogs;
    platform::SoundPlayer player;
    MainWindow window(dir, dialogs, player);
    window.show();
    window.setSlotValue(1, tone);
    clickButton(&window, QStringLiteral("slotButton1"));
    const auto latency = [&] {
        const size_t from = pulse.samplesRecorded();
        const qint64 clicked = pulse.now();
        clickButton(&window, QStringLiteral("playButton"));
        QTest::qWait(600);
        const qint64 heard = pulse.firstSound(from);
        clickButton(&window, QStringLiteral("stopButton"));
        QTest::qWait(300);
        return heard < 0 ? 9.999 : double(heard - clicked) / 1000.0;
    };
    alone("first play latency", latency(), 0.150);
    std::vector<double> later;
    for (int run = 0; run < kRuns; ++run)
        later.push_back(latency());
    alone("play latency", median(later), 0.050);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    g_dropCaches = vesk::posix::runningAsRoot();
    const fs::path benchData = fs::path(vesk::programDirectory()) / ".." / "benchdata";
    // "vesk_bench safety", "vesk_bench install" or "vesk_bench memory": those
    // figures alone.
    if (argc == 2 && QByteArray(argv[1]) == "safety") {
        benchSafety(benchData);
        return 0;
    }
    if (argc == 2 && QByteArray(argv[1]) == "install") {
        QTemporaryDir temporary;
        benchBigPackage(temporary.path().toStdString());
        return 0;
    }
    if (argc == 2 && QByteArray(argv[1]) == "analysis") {
        QTemporaryDir temporary;
        benchAnalysis(temporary.path().toStdString());
        return 0;
    }
    if (argc == 2 && QByteArray(argv[1]) == "browser") {
        QTemporaryDir temporary;
        benchBrowser(temporary.path().toStdString());
        return 0;
    }
    if (argc == 2 && QByteArray(argv[1]) == "packages") {
        QTemporaryDir temporary;
        FakeDialogs dialogs;
        benchPackages(temporary.path().toStdString(), dialogs);
        return 0;
    }
    if (argc == 2 && QByteArray(argv[1]) == "history") {
        QTemporaryDir temporary;
        benchHistory(temporary.path().toStdString());
        return 0;
    }
    if (argc == 2 && QByteArray(argv[1]) == "edits") {
        QTemporaryDir temporary;
        benchEdits(temporary.path().toStdString());
        return 0;
    }
    if (argc == 2 && QByteArray(argv[1]) == "memory") {
        QTemporaryDir temporary;
        benchEditorMemory(temporary.path());
        return 0;
    }
    QTemporaryDir temporary;
    const fs::path root = temporary.path().toStdString();
    const QString dir = temporary.path();

    // First, so that the peak memory is the editor's own after start.
    benchEditorMemory(dir);

    benchApply(root, 1 << 20, "apply 47 x 1 MiB");
    benchApply(root, 16 << 20, "apply 47 x 16 MiB");
    fs::remove_all(root / ("waves" + std::to_string(16 << 20)));
    benchPackage(root);
    benchOneFile(root);
    benchBigPackage(root);
    benchConversion(root);
    benchAnalysis(root);
    benchEdits(root);
    benchHistory(root);
    benchBrowser(root);
    {
        FakeDialogs dialogs;
        benchPackages(root, dialogs);
    }

    const double small = benchProject(dir, 1000);
    const double medium = benchProject(dir, 10000);
    const double large = benchProject(dir, 100000);
    alone("project save and open, 1000 links", small, 0.100);
    alone("project save and open, 10000 links", medium, 0.100);
    compare("project save and open, 100000 links", large, "10000 links", medium, 12.0);

    benchInstallerStart(dir);
    benchPlayLatency(dir);

    benchSafety(benchData);
    return 0;
}
