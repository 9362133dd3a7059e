#include "analysiscache.h"
#include "soundanalyses.h"
#include "soundanalysis.h"
#include "tempdir.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <stdexcept>

namespace {

std::string data(const std::string &name)
{
    return std::string(VESK_SOUND_DATA) + "/" + name;
}

} // namespace

// Each test sound is a 1-kHz tone at half of full scale: -6 LUFS in stereo,
// -9 in mono, its true peak -6 dBTP.
TEST(SoundAnalysisTest, measuresEveryKindInOnePassOrNamesWhyNot)
{
    const struct
    {
        const char *name, *kind;
        double seconds;
        int channels;
    } rows[] = {
        {"pcm16.wav", "Wave", 0.5, 2},      {"tone.flac", "FLAC", 0.5, 2}, {"tone.mp3", "MP3", 1.0, 2},
        {"tone.ogg", "Ogg Vorbis", 1.0, 2}, {"96k.wav", "Wave", 0.5, 1},
    };
    for (const auto &row : rows) {
        const vesk::Result<vesk::SoundAnalysis> analysis = vesk::analyseSound(data(row.name));
        ASSERT_TRUE(analysis.ok()) << row.name << ": " << analysis.error();
        EXPECT_EQ(analysis->kind, row.kind) << row.name;
        EXPECT_NEAR(analysis->seconds(), row.seconds, 0.001) << row.name;
        ASSERT_TRUE(analysis->loudness.integrated) << row.name;
        EXPECT_NEAR(*analysis->loudness.integrated, row.channels == 2 ? -6.0 : -9.0, 0.5) << row.name;
        ASSERT_TRUE(analysis->loudness.truePeak) << row.name;
        EXPECT_NEAR(*analysis->loudness.truePeak, -6.0, 0.5) << row.name;
        const vesk::Waveform &picture = analysis->waveform;
        ASSERT_FALSE(picture.columns.empty()) << row.name;
        for (const vesk::Waveform::Column &column : picture.resample(0, analysis->frames, 100)) {
            EXPECT_NEAR(column.maximum, 0.5, 0.08) << row.name;
            EXPECT_NEAR(column.minimum, -0.5, 0.08) << row.name;
        }
    }
    for (const auto &[name, reason] : {std::pair{"text.mp3", "not a sound file"}, {"empty.mp3", "an empty file"}}) {
        const vesk::Result<vesk::SoundAnalysis> analysis = vesk::analyseSound(data(name));
        EXPECT_EQ(analysis.error(), reason) << name;
    }
}

class SoundAnalysesTest : public TempDirTest
{
protected:
    void waitFor(const std::function<bool()> &done)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        ASSERT_TRUE(m_arrived.wait_for(lock, std::chrono::seconds(30), done));
    }
    std::function<void()> notify()
    {
        return [this] {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_arrived.notify_all();
        };
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
};

TEST_F(SoundAnalysesTest, analysesEachFileOnceUntilItChanges)
{
    vesk::SoundAnalyses analyses(notify(), 2);
    writeBytes(path("a.wav"), readBytes(data("pcm16.wav")));
    const std::vector<std::string> files = {path("a.wav"), data("text.mp3")};
    analyses.request(files);
    waitFor([&] { return analyses.find(files[0]) && analyses.find(files[1]); });
    EXPECT_TRUE(analyses.find(files[0])->ok());
    EXPECT_EQ(analyses.find(files[1])->error(), "not a sound file");

    // Asked again, a known file costs nothing. Written anew, of another
    // size or of the same, it is measured anew once it is looked up, with
    // no new request; its old figures stand until then.
    analyses.request(files);
    EXPECT_TRUE(analyses.find(files[0]));
    // pcm16.wav and pcm32.wav are of the same size.
    const struct
    {
        const char *source;
        int rate, bits;
    } rows[] = {{"pcm24.wav", 48000, 24}, {"pcm16.wav", 22050, 16}, {"pcm32.wav", 22050, 32}};
    for (int k = 0; k < 3; ++k) {
        const vesk::SoundAnalyses::Entry before = analyses.find(files[0]);
        writeBytes(path("a.wav"), readBytes(data(rows[k].source)));
        setModified(path("a.wav"), k); // a time of its own, as two writings in one tick may not get
        EXPECT_EQ(analyses.find(files[0]), before) << rows[k].source;
        waitFor([&] { return analyses.findCurrent(files[0]) != nullptr; });
        ASSERT_TRUE(analyses.find(files[0])->ok()) << rows[k].source;
        EXPECT_EQ(analyses.find(files[0])->value().format.rate, rows[k].rate) << rows[k].source;
        EXPECT_EQ(analyses.find(files[0])->value().format.bits, rows[k].bits) << rows[k].source;
    }
}

TEST_F(SoundAnalysesTest, aMeasurementThatThrowsIsThatFilesFailure)
{
    const struct
    {
        std::function<void()> thrown;
        const char *reason;
    } rows[] = {
        {[] { throw std::bad_alloc(); }, "not enough memory to measure it"},
        {[] { throw std::runtime_error("the decoder gave up"); }, "cannot be measured: the decoder gave up"},
        {[] { throw 7; }, "cannot be measured"},
    };
    for (const auto &row : rows) {
        vesk::SoundAnalyses analyses(notify(), 1, [&](const std::string &, const std::function<bool()> &) {
            row.thrown();
            return vesk::Result<vesk::SoundAnalysis>(vesk::SoundAnalysis{});
        });
        analyses.request({data("pcm16.wav")});
        waitFor([&] { return analyses.find(data("pcm16.wav")) != nullptr; });
        EXPECT_EQ(analyses.find(data("pcm16.wav"))->error(), row.reason);
    }
}

// Files asked for again move to the front of what is queued: the rows in
// view are measured before the rest.
TEST_F(SoundAnalysesTest, filesAskedForAgainGoFirst)
{
    std::mutex mutex;
    std::condition_variable opened, started;
    bool gateOpen = false;
    std::vector<std::string> order;
    vesk::SoundAnalyses analyses(notify(), 1, [&](const std::string &path, const std::function<bool()> &) {
        std::unique_lock<std::mutex> lock(mutex);
        order.push_back(path);
        started.notify_all();
        opened.wait(lock, [&] { return gateOpen; }); // the first holds the one worker until all is queued
        return vesk::Result<vesk::SoundAnalysis>(vesk::SoundAnalysis{});
    });
    std::vector<std::string> files;
    for (const char *name : {"a", "b", "c", "d"}) {
        writeBytes(path(name), name);
        files.push_back(path(name));
    }
    analyses.request(files);
    {
        std::unique_lock<std::mutex> lock(mutex);
        started.wait(lock, [&] { return !order.empty(); });
    }
    analyses.add({files[3], files[2]});
    {
        std::lock_guard<std::mutex> lock(mutex);
        gateOpen = true;
    }
    opened.notify_all();
    waitFor([&] {
        return std::all_of(files.begin(), files.end(), [&](const std::string &file) { return analyses.find(file); });
    });
    EXPECT_EQ(order, (std::vector<std::string>{files[0], files[3], files[2], files[1]}));
}

// The disk cache gives back what it measured, with the picture narrowed,
// for a file as it was; a file written anew is measured again; a cache file
// that is damaged, foreign or newer is never trusted; the bound drops the
// figures used longest ago.
TEST_F(SoundAnalysesTest, theDiskCacheKeepsFiguresOfFilesAsTheyAre)
{
    writeBytes(path("a.wav"), readBytes(data("pcm16.wav")));
    const std::string file = path("cache") + "/figures";
    // Measured through the cache, as the browser's analyses measure.
    const auto through = [&](vesk::AnalysisCache &cache, const std::string &sound) {
        EXPECT_EQ(cache.analyse()(sound, {}).ok(), sound.find(".wav") != std::string::npos);
    };
    const vesk::Result<vesk::SoundAnalysis> direct = vesk::analyseSound(path("a.wav"));
    {
        vesk::AnalysisCache cache(file);
        EXPECT_FALSE(cache.load()); // none yet
        through(cache, path("a.wav"));
        through(cache, data("text.mp3"));
        cache.saveInBackground(); // the cache's end waits for the writing
    }
    vesk::AnalysisCache cache(file);
    ASSERT_TRUE(cache.load());
    const std::optional<vesk::Result<vesk::SoundAnalysis>> kept = cache.find(path("a.wav"));
    ASSERT_TRUE(kept && kept->ok());
    EXPECT_EQ((*kept)->frames, direct->frames);
    EXPECT_EQ((*kept)->loudness.integrated, direct->loudness.integrated);
    EXPECT_EQ((*kept)->loudness.truePeak, direct->loudness.truePeak);
    EXPECT_LE((*kept)->waveform.columns.size(), vesk::AnalysisCache::kPictureColumns);
    EXPECT_EQ(cache.find(data("text.mp3"))->error(), "not a sound file");
    writeBytes(path("a.wav"), readBytes(data("pcm32.wav"))); // the same size, written anew
    setModified(path("a.wav"), 5);
    EXPECT_FALSE(cache.find(path("a.wav")));

    const std::string good = readBytes(file);
    const std::string damaged[] = {
        "",
        "VESK recent projects 1\r\n",
        good.substr(0, good.size() - 3),
        good + "x",
        std::string(good).replace(good.find('\n') + 1, 1, "\x07"), // another version
    };
    for (const std::string &bytes : damaged) {
        writeBytes(file, bytes);
        vesk::AnalysisCache distrusted(file);
        EXPECT_FALSE(distrusted.load()) << bytes.size();
        EXPECT_EQ(distrusted.size(), 0u);
    }
    // Bound to less than both files' figures: the one used longest ago goes.
    writeBytes(path("b.wav"), readBytes(data("pcm16.wav")));
    vesk::AnalysisCache bounded(file, good.size() - 50);
    through(bounded, path("b.wav"));
    through(bounded, data("text.mp3"));
    through(bounded, path("b.wav"));
    ASSERT_TRUE(bounded.save().ok());
    EXPECT_LE(readBytes(file).size(), good.size() - 50);
    vesk::AnalysisCache reread(file);
    ASSERT_TRUE(reread.load());
    EXPECT_TRUE(reread.find(path("b.wav")));
    EXPECT_EQ(reread.size(), 1u);
}
