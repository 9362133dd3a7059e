#include "soundconvert.h"
#include "soundfiles.h"
#include "tempdir.h"
#include "wavecheck.h"

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

std::string le(unsigned v, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(v >> (8 * i) & 0xFF);
    return out;
}

// An ID3v2.3 tag holding a cover picture, as players' tagging tools write it.
std::string coverTag()
{
    const std::string picture = "\xFF\xD8\xFF\xE0" + std::string(3000, '\x5A') + "\xFF\xD9";
    const std::string body = std::string(1, '\0') + "image/jpeg" + '\0' + '\x03' + '\0' + picture;
    std::string frame = "APIC";
    for (int shift = 24; shift >= 0; shift -= 8)
        frame += static_cast<char>(body.size() >> shift & 0xFF);
    frame += std::string(2, '\0') + body;
    std::string tag = "ID3\x03" + std::string(2, '\0');
    for (int shift = 21; shift >= 0; shift -= 7)
        tag += static_cast<char>(frame.size() >> shift & 0x7F);
    return tag + frame;
}

// A 24-bit wave whose LIST chunk comes before "fmt ".
std::string listFirstWave(double seconds)
{
    std::string data;
    const auto frames = static_cast<int>(seconds * 44100);
    for (int f = 0; f < frames; ++f) {
        const auto v = static_cast<int>(std::lround(0.5 * 8388607 * std::sin(2 * M_PI * kHertz * f / 44100)));
        data += le(static_cast<unsigned>(v) & 0xFFFFFF, 3);
    }
    const std::string info = "INFOINAM" + le(6, 4) + std::string("Mine1\0", 6);
    const std::string chunks = "LIST" + le(static_cast<unsigned>(info.size()), 4) + info + "fmt " + le(16, 4) + le(1, 2)
                               + le(1, 2) + le(44100, 4) + le(44100 * 3, 4) + le(3, 2) + le(24, 2) + "data"
                               + le(static_cast<unsigned>(data.size()), 4) + data + std::string(data.size() % 2, '\0');
    return "RIFF" + le(static_cast<unsigned>(4 + chunks.size()), 4) + "WAVE" + chunks;
}

struct Heard
{
    SF_INFO info{};
    std::vector<float> first; // the first channel
};

Heard hear(const std::string &path)
{
    Heard heard;
    SNDFILE *file = sf_open(path.c_str(), SFM_READ, &heard.info);
    if (!file)
        return heard;
    std::vector<float> all(static_cast<size_t>(heard.info.frames * heard.info.channels));
    sf_readf_float(file, all.data(), heard.info.frames);
    sf_close(file);
    for (size_t i = 0; i < all.size(); i += static_cast<size_t>(heard.info.channels))
        heard.first.push_back(all[i]);
    return heard;
}

// The tone's frequency from its zero crossings, and its level (RMS), over
// the middle of the sound, where no codec's start or end is.
void expectTone(const Heard &heard, double amplitude, const std::string &name)
{
    const size_t from = heard.first.size() / 5, to = heard.first.size() * 4 / 5;
    ASSERT_GT(to, from + 100) << name;
    int crossings = 0;
    double power = 0;
    for (size_t i = from; i < to; ++i) {
        crossings += (heard.first[i - 1] < 0) != (heard.first[i] < 0);
        power += double(heard.first[i]) * heard.first[i];
    }
    const double seconds = double(to - from) / heard.info.samplerate;
    EXPECT_NEAR(crossings / 2.0 / seconds, kHertz, kHertz * 0.01) << name;
    const double level = std::sqrt(power / double(to - from));
    EXPECT_NEAR(20 * std::log10(level / (amplitude / std::sqrt(2.0))), 0.0, 1.0) << name;
}

using SoundConvertTest = TempDirTest;

} // namespace

TEST_F(SoundConvertTest, everyKindIsCopiedConvertedOrRefusedWithItsReason)
{
    enum Outcome {
        Copied,
        Converted,
        Refused
    };
    constexpr int kWav = SF_FORMAT_WAV, kMp3 = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    const struct
    {
        const char *name;
        Made made;
        Outcome outcome;
        int channels, rate; // what it becomes
        double seconds, within;
        const char *reason = nullptr;
    } rows[] = {
        {"pcm8.wav", {kWav | SF_FORMAT_PCM_U8, 22050}, Copied, 1, 22050, 1.0, 0.01},
        {"pcm16.wav", {kWav | SF_FORMAT_PCM_16, 44100, 2}, Copied, 2, 44100, 1.0, 0.01},
        {"pcm24.wav", {kWav | SF_FORMAT_PCM_24, 48000, 2}, Converted, 2, 48000, 1.0, 0.01},
        {"pcm32.wav", {kWav | SF_FORMAT_PCM_32}, Converted, 1, 44100, 1.0, 0.01},
        {"float.wav", {kWav | SF_FORMAT_FLOAT, 44100, 2}, Converted, 2, 44100, 1.0, 0.01},
        {"ulaw.wav", {kWav | SF_FORMAT_ULAW, 8000}, Converted, 1, 8000, 1.0, 0.01},
        {"alaw.wav", {kWav | SF_FORMAT_ALAW, 8000}, Converted, 1, 8000, 1.0, 0.01},
        // ADPCM fills its last block.
        {"ima.wav", {kWav | SF_FORMAT_IMA_ADPCM, 22050}, Converted, 1, 22050, 1.0, 0.05},
        {"msadpcm.wav", {kWav | SF_FORMAT_MS_ADPCM, 44100, 2}, Converted, 2, 44100, 1.0, 0.05},
        {"96k.wav", {kWav | SF_FORMAT_PCM_16, 96000}, Converted, 1, 44100, 1.0, 0.01},
        {"6k.wav", {kWav | SF_FORMAT_PCM_16, 6000}, Converted, 1, 22050, 1.0, 0.01},
        {"surround.wav", {SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 48000, 6}, Converted, 2, 48000, 1.0, 0.01},
        {"tone.aiff", {SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 22050}, Converted, 1, 22050, 1.0, 0.01},
        {"tone.flac", {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 2}, Converted, 2, 44100, 1.0, 0.01},
        {"tone24.flac", {SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 96000, 2}, Converted, 2, 44100, 1.0, 0.01},
        {"tone.ogg", {SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2}, Converted, 2, 44100, 1.0, 0.01},
        {"comments.ogg",
         {SF_FORMAT_OGG | SF_FORMAT_VORBIS, 22050, 1, 1.0, 0.5, false, true},
         Converted,
         1,
         22050,
         1.0,
         0.01},
        {"tone.opus", {SF_FORMAT_OGG | SF_FORMAT_OPUS, 48000}, Converted, 1, 48000, 1.0, 0.03},
        // MP3 keeps its encoder's delay and padding, a frame or two.
        {"tone.mp3", {kMp3, 44100, 2, 3.0}, Converted, 2, 44100, 3.0, 0.06},
        {"vbr.mp3", {kMp3, 44100, 2, 3.0, 0.5, true}, Converted, 2, 44100, 3.0, 0.06},
        {"cover.mp3", {kMp3, 22050, 1, 2.0}, Converted, 1, 22050, 2.0, 0.06},
        {"list-first.wav", {}, Converted, 1, 44100, 1.0, 0.01},
        {"empty.mp3", {}, Refused, 0, 0, 0, 0, "an empty file"},
        {"text.mp3", {}, Refused, 0, 0, 0, 0, "not a sound file"},
    };
    for (const auto &row : rows) {
        const std::string source = path(row.name), target = path(std::string(row.name) + ".converted.wav");
        const std::string name = row.name;
        if (name == "empty.mp3")
            writeBytes(source, "");
        else if (name == "text.mp3")
            writeBytes(source, "These are the words of a song, not its sound.\n");
        else if (name == "list-first.wav")
            writeBytes(source, listFirstWave(1.0));
        else
            ASSERT_TRUE(makeSound(source, row.made)) << name;
        if (name == "cover.mp3")
            writeBytes(source, coverTag() + readBytes(source));

        // A wave the game plays is copied as it is; every other file is converted.
        EXPECT_EQ(!vesk::waveProblem(source), row.outcome == Copied) << name;
        if (row.outcome == Copied)
            continue;
        const vesk::Result<vesk::Conversion> converted = vesk::convertSound(source, target);
        if (row.outcome == Refused) {
            ASSERT_FALSE(converted.ok()) << name;
            EXPECT_EQ(converted.code(), vesk::ErrorCode::BadFormat) << name;
            EXPECT_EQ(converted.error(), row.reason) << name;
            continue;
        }
        ASSERT_TRUE(converted.ok()) << name << ": " << converted.error();
        EXPECT_EQ(converted->to, (vesk::SoundFormat{row.rate, row.channels, 16})) << name;
        EXPECT_NEAR(converted->seconds, row.seconds, row.within) << name;
        EXPECT_FALSE(converted->scaledDown) << name;

        // The canonical wave the game plays: four chunks' worth of header, nothing else.
        EXPECT_FALSE(vesk::waveProblem(target)) << name << ": " << vesk::waveProblem(target).value_or("");
        const std::string bytes = readBytes(target);
        ASSERT_GE(bytes.size(), 44u) << name;
        EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ") << name;
        EXPECT_EQ(bytes.substr(36, 4), "data") << name;
        EXPECT_EQ(bytes.substr(4, 4), le(static_cast<unsigned>(bytes.size() - 8), 4)) << name;
        const Heard heard = hear(target);
        EXPECT_EQ(heard.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << name;
        EXPECT_NEAR(double(heard.info.frames) / heard.info.samplerate, row.seconds, row.within) << name;
        expectTone(heard, 0.5, name);
    }
}

TEST_F(SoundConvertTest, aSourceBeyondFullScaleIsMadeQuieterInsteadOfClipped)
{
    ASSERT_TRUE(makeSound(path("loud.wav"), {SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1, 1.0, 2.0}));
    const vesk::Result<vesk::Conversion> converted = vesk::convertSound(path("loud.wav"), path("out.wav"));
    ASSERT_TRUE(converted.ok()) << converted.error();
    EXPECT_TRUE(converted->scaledDown);
    const Heard heard = hear(path("out.wav"));
    float peak = 0;
    for (float v : heard.first)
        peak = std::max(peak, std::fabs(v));
    EXPECT_LT(peak, 1.0f);
    EXPECT_GT(peak, 0.99f);
    expectTone(heard, 32766.0 / 32768.0, "loud.wav");
}

TEST_F(SoundConvertTest, aCutMp3ConvertsUpToTheCutOrIsRefusedNeverNoise)
{
    ASSERT_TRUE(makeSound(path("whole.mp3"), {SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, 4.0}));
    const std::string whole = readBytes(path("whole.mp3"));
    writeBytes(path("cut.mp3"), whole.substr(0, whole.size() / 2));
    const vesk::Result<vesk::Conversion> converted = vesk::convertSound(path("cut.mp3"), path("out.wav"));
    if (!converted.ok()) {
        EXPECT_EQ(converted.code(), vesk::ErrorCode::BadFormat) << converted.error();
        return;
    }
    EXPECT_LT(converted->seconds, 2.2);
    EXPECT_GT(converted->seconds, 1.5);
    expectTone(hear(path("out.wav")), 0.5, "cut.mp3");
}

TEST_F(SoundConvertTest, aCancelStopsTheConversion)
{
    ASSERT_TRUE(makeSound(path("long.flac"), {SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 96000, 2, 3.0}));
    int calls = 0;
    const vesk::Result<vesk::Conversion> converted
        = vesk::convertSound(path("long.flac"), path("out.wav"), [&calls](double) { return ++calls < 3; });
    EXPECT_EQ(converted.code(), vesk::ErrorCode::Cancelled);
    EXPECT_EQ(calls, 3);
}
