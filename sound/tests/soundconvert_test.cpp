#include "soundanalysis.h"
#include "soundconvert.h"
#include "soundedit.h"
#include "tempdir.h"
#include "wavecheck.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr double kHertz = 1000;
constexpr double kFrame = -1;

#ifdef _WIN32
// Wine decodes through GStreamer, which reads fewer kinds than Windows:
// there a kind it cannot read is skipped with its reason, not failed.
bool underWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
#endif

unsigned le(const std::string &bytes, size_t at, int count)
{
    unsigned value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

// A converted sound read back: it must be the canonical wave the writer
// makes, a 44-byte header and the samples.
struct Heard
{
    unsigned channels = 0, rate = 0, bits = 0;
    std::vector<double> first; // the first channel, full scale 1
    double seconds() const { return rate ? double(first.size()) / rate : 0; }
};

Heard hear(const std::string &bytes)
{
    Heard heard;
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") || bytes.compare(8, 8, "WAVEfmt ") || le(bytes, 16, 4) != 16
        || bytes.compare(36, 4, "data") || le(bytes, 4, 4) != bytes.size() - 8 || le(bytes, 40, 4) != bytes.size() - 44)
        return heard;
    heard.channels = le(bytes, 22, 2);
    heard.rate = le(bytes, 24, 4);
    heard.bits = le(bytes, 34, 2);
    const size_t frame = 2 * heard.channels;
    for (size_t at = 44; frame && at + frame <= bytes.size(); at += frame)
        heard.first.push_back(static_cast<std::int16_t>(le(bytes, at, 2)) / 32768.0);
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
        power += heard.first[i] * heard.first[i];
    }
    const double seconds = double(to - from) / heard.rate;
    EXPECT_NEAR(crossings / 2.0 / seconds, kHertz, kHertz * 0.01) << name;
    const double level = std::sqrt(power / double(to - from));
    EXPECT_NEAR(20 * std::log10(level / (amplitude / std::sqrt(2.0))), 0.0, 1.0) << name;
}

class SoundConvertTest : public TempDirTest
{
protected:
    static std::string data(const std::string &name) { return std::string(VESK_SOUND_DATA) + "/" + name; }
    vesk::Result<vesk::Conversion> convert(const std::string &source, const vesk::ProgressShare &progress = {})
    {
        return vesk::convertSound(source, path("out.wav"), {}, progress);
    }
};

} // namespace

// Every kind of sound players have, each a 1-kHz tone at half of full scale.
TEST_F(SoundConvertTest, everyKindIsCopiedConvertedOrRefusedWithItsReason)
{
    enum Outcome {
        Copied,
        Converted,
        Refused,
        Damaged,
    };
    const struct
    {
        const char *name;
        Outcome outcome;
        unsigned channels, rate; // what it becomes
        double seconds, within;  // kFrame: to the frame
        const char *reason = nullptr;
        bool linuxOnly = false; // no decoder of Windows 10 reads it
    } rows[] = {
        {"pcm8.wav", Copied, 1, 22050, 0.5, kFrame},
        {"pcm16.wav", Copied, 2, 22050, 0.5, kFrame},
        {"pcm24.wav", Converted, 1, 48000, 0.5, kFrame},
        {"pcm32.wav", Converted, 1, 22050, 0.5, kFrame},
        {"float.wav", Converted, 2, 22050, 0.5, kFrame},
        {"ulaw.wav", Converted, 1, 8000, 0.5, kFrame},
        {"alaw.wav", Converted, 1, 8000, 0.5, kFrame},
        // ADPCM fills its last block.
        {"ima.wav", Converted, 1, 22050, 0.5, 0.05},
        {"msadpcm.wav", Converted, 2, 22050, 0.5, 0.06},
        {"96k.wav", Converted, 1, 44100, 0.5, kFrame}, // resampled to the frame
        {"6k.wav", Converted, 1, 22050, 0.5, kFrame},
        {"surround.wav", Converted, 2, 22050, 0.5, kFrame}, // 5.1, mixed down
        {"tone.aiff", Converted, 1, 22050, 0.5, kFrame, nullptr, true},
        {"tone.flac", Converted, 2, 22050, 0.5, kFrame},
        {"tone24.flac", Converted, 1, 44100, 0.5, kFrame},
        {"tone.ogg", Converted, 2, 44100, 1.0, kFrame},
        {"comments.ogg", Converted, 1, 22050, 1.0, kFrame},
        {"tone.opus", Converted, 1, 48000, 1.0, 0.03, nullptr, true},
        // LAME's tag names the encoder's delay and padding, which go.
        {"tone.mp3", Converted, 2, 44100, 1.0, kFrame},
        {"vbr.mp3", Converted, 2, 44100, 1.0, kFrame}, // with a Xing header
        {"8k.mp3", Converted, 1, 8000, 1.0, kFrame},
        // With no such tag the MP3 keeps them, a frame or two.
        {"cover.mp3", Converted, 1, 22050, 1.0, 0.08},        // behind an ID3v2 tag with a cover picture
        {"list-first.wav", Converted, 1, 44100, 0.5, kFrame}, // 24-bit, a LIST chunk before "fmt "
        {"empty.mp3", Refused, 0, 0, 0, 0, "an empty file"},
        {"text.mp3", Refused, 0, 0, 0, 0, "not a sound file"},
        // Noise where the second half of its frames should be.
        {"damaged.flac", Damaged, 0, 0, 0, 0, "damaged after "},
    };
    for (const auto &row : rows) {
        const std::string name = row.name, source = data(name);
        const double within = row.within == kFrame ? 1.0 / row.rate : row.within;
        // A wave the game plays is copied as it is; every other file is converted.
        EXPECT_EQ(!vesk::waveProblem(source), row.outcome == Copied) << name;
        if (row.outcome == Copied)
            continue;
        const vesk::Result<vesk::Conversion> converted = convert(source);
        if (row.outcome == Damaged) {
            ASSERT_FALSE(converted.ok()) << name;
            EXPECT_EQ(converted.code(), vesk::ErrorCode::BadFormat) << name;
            EXPECT_EQ(converted.error().rfind(row.reason, 0), 0u) << name << ": " << converted.error();
            continue;
        }
        if (row.outcome == Refused) {
            ASSERT_FALSE(converted.ok()) << name;
            EXPECT_EQ(converted.code(), vesk::ErrorCode::BadFormat) << name;
            EXPECT_EQ(converted.error(), row.reason) << name;
            continue;
        }
#ifdef _WIN32
        if (!converted.ok() && (row.linuxOnly || underWine())) {
            std::printf("skipped, as %s does not decode it: %s: %s\n", underWine() ? "Wine" : "Windows", row.name,
                        converted.error().c_str());
            continue;
        }
#endif
        ASSERT_TRUE(converted.ok()) << name << ": " << converted.error();
        EXPECT_EQ(converted->to, (vesk::SoundFormat{int(row.rate), int(row.channels), 16})) << name;
        EXPECT_NEAR(converted->seconds, row.seconds, within) << name;
        // Opus starts with a decoder's transient that some decoders let go
        // beyond full scale.
        EXPECT_TRUE(!converted->scaledDown || name == "tone.opus") << name;

        EXPECT_FALSE(vesk::waveProblem(path("out.wav"))) << name;
        const Heard heard = hear(readBytes(path("out.wav")));
        EXPECT_EQ(heard.channels, row.channels) << name;
        EXPECT_EQ(heard.rate, row.rate) << name;
        EXPECT_EQ(heard.bits, 16u) << name;
        EXPECT_NEAR(heard.seconds(), row.seconds, within) << name;
        expectTone(heard, 0.5, name);
    }
}

TEST_F(SoundConvertTest, aSourceBeyondFullScaleIsMadeQuieterInsteadOfClipped)
{
    const vesk::Result<vesk::Conversion> converted = convert(data("loud.wav"));
    ASSERT_TRUE(converted.ok()) << converted.error();
    EXPECT_TRUE(converted->scaledDown);
    const Heard heard = hear(readBytes(path("out.wav")));
    double peak = 0;
    for (double v : heard.first)
        peak = std::max(peak, std::fabs(v));
    EXPECT_LE(peak, 32767.0 / 32768.0);
    EXPECT_GT(peak, 0.99);
    expectTone(heard, 32766.0 / 32768.0, "loud.wav");
}

// A decoder may stop at damage without a word, or read past it; the length
// the file states tells.
TEST_F(SoundConvertTest, aSoundCutShortIsDamagedNeverConvertedInPart)
{
    const std::string mp3 = readBytes(data("tone.mp3"));
    writeBytes(path("cut.mp3"), mp3.substr(0, mp3.size() / 2));
    std::string flac = readBytes(data("tone24.flac"));
    std::fill(flac.begin() + static_cast<std::ptrdiff_t>(flac.size() / 2) - 2000,
              flac.begin() + static_cast<std::ptrdiff_t>(flac.size() / 2) + 2000, '\0');
    writeBytes(path("zeroed.flac"), flac);
    // Bytes taken out of its middle: frames are lost, which its stated
    // length tells where the decoder drops them.
    const std::string whole = readBytes(data("tone24.flac"));
    writeBytes(path("holed.flac"), whole.substr(0, whole.size() / 2 - 2000) + whole.substr(whole.size() / 2 + 2000));
    // Waves whose data chunk claims more than the file holds.
    for (const char *wave : {"pcm16.wav", "pcm24.wav", "float.wav"}) {
        const std::string bytes = readBytes(data(wave));
        writeBytes(path(std::string("cut-") + wave), bytes.substr(0, bytes.size() * 2 / 5));
    }
    for (const char *name :
         {"cut.mp3", "zeroed.flac", "holed.flac", "cut-pcm16.wav", "cut-pcm24.wav", "cut-float.wav"}) {
        const vesk::Result<vesk::Conversion> converted = convert(path(name));
#ifdef _WIN32
        // Wine's decoder hides damaged frames as silence of their length:
        // nothing is lost that the stated length could tell.
        if (converted.ok() && std::string(name).find(".flac") != std::string::npos)
            continue;
#endif
        ASSERT_FALSE(converted.ok()) << name << ": " << converted->seconds << " s";
        EXPECT_EQ(converted.code(), vesk::ErrorCode::BadFormat) << name;
        EXPECT_EQ(converted.error().rfind("damaged after ", 0), 0u) << name << ": " << converted.error();
        EXPECT_EQ(vesk::analyseSound(path(name)).error(), converted.error()) << name;
    }
}

// A plain wave of an odd byte count, as game sounds are made: with the pad
// byte RIFF puts after an odd chunk, and without it.
TEST_F(SoundConvertTest, aPlainWaveOfAnOddByteCountIsReadWhole)
{
    std::string samples;
    for (int i = 0; i < 9923; ++i)
        samples += static_cast<char>(128 + (i % 40 < 20 ? 60 : -60));
    const std::string padded = wave(1, 1, 22050, 8, samples);
    std::string unpadded = padded.substr(0, padded.size() - 1);
    const auto riff = static_cast<std::uint32_t>(unpadded.size() - 8);
    for (int i = 0; i < 4; ++i)
        unpadded[static_cast<std::size_t>(4 + i)] = static_cast<char>(riff >> (8 * i) & 0xFF);
    for (const auto &[name, bytes] : {std::pair{"padded.wav", padded}, {"unpadded.wav", unpadded}}) {
        writeBytes(path(name), bytes);
        EXPECT_FALSE(vesk::waveProblem(path(name))) << name;
        const vesk::Result<vesk::SoundAnalysis> analysed = vesk::analyseSound(path(name));
        ASSERT_TRUE(analysed.ok()) << name << ": " << analysed.error();
        EXPECT_EQ(analysed->frames, 9923u) << name;
        EXPECT_TRUE(analysed->loudness.integrated) << name;
    }
}

// Samples that are no numbers damage a sound where the first lies; a header
// whose rate or channels no sound has is refused at the door.
TEST_F(SoundConvertTest, aSoundOfNoNumbersOrOfAnAbsurdFormatIsRefused)
{
    const auto floats = [](std::size_t count, std::size_t at, float bad) {
        std::vector<float> samples(count, 0.25f);
        if (at < count)
            samples[at] = bad;
        return std::string(reinterpret_cast<const char *>(samples.data()), count * sizeof(float));
    };
    const std::string shorts(2000, '\x10');
    const struct
    {
        const char *name;
        std::string bytes;
        const char *reason;
    } rows[] = {
        {"nan.wav", wave(3, 1, 22050, 32, floats(22050, 11025, NAN)), "damaged after 0.5 s"},
        {"inf.wav", wave(3, 2, 22050, 32, floats(44100, 11026, INFINITY)), "damaged after 0.3 s"},
        {"minus-inf-first.wav", wave(3, 1, 22050, 32, floats(22050, 0, -INFINITY)), "damaged after 0.0 s"},
        {"rate.wav", wave(1, 2, 2000000000, 16, shorts), "not a sound the game can play (2,000,000,000 Hz)"},
        {"channels.wav", wave(1, 1000, 44100, 16, shorts), "not a sound the game can play (1,000 channels)"},
    };
    for (const auto &row : rows) {
        writeBytes(path(row.name), row.bytes);
        const vesk::Result<vesk::Conversion> converted = convert(path(row.name));
        const vesk::Result<vesk::SoundAnalysis> analysed = vesk::analyseSound(path(row.name));
#ifdef _WIN32
        // A header of such numbers is no sound to Windows' decoders at all.
        if (!converted.ok() && converted.error() == "not a sound file" && row.reason[0] == 'n')
            continue;
#endif
        EXPECT_EQ(converted.error(), row.reason) << row.name;
        EXPECT_EQ(analysed.error(), row.reason) << row.name;
        EXPECT_EQ(converted.code(), vesk::ErrorCode::BadFormat) << row.name;
    }
}

// A 16-bit source at its own rate converts to the same values, whatever its
// container; silence stays silent, with no dither added. So do the lowest
// steps of 16 and 8 bits (a file that another program dithered: its
// "silence" is such steps, which must come through as they are, no more).
TEST_F(SoundConvertTest, aSixteenOrEightBitSoundConvertsExactly)
{
    // The grain files hold these steps, 0.2 s at 22,050 Hz mono.
    const auto grain = [](std::size_t i) { return i % 5 == 0 ? 0 : static_cast<int>(i * 7919 % 3) - 1; };
    std::string grain16, grain8;
    for (std::size_t i = 0; i < 4410; ++i) {
        const auto value = static_cast<std::uint16_t>(grain(i));
        grain16 += {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
        grain8 += static_cast<char>(128 + grain(i));
    }
    // WAVE_FORMAT_EXTENSIBLE, its subformat plain PCM.
    const auto extensible = [](unsigned bits, const std::string &samples) {
        std::string bytes = wave(0xFFFE, 1, 22050, bits, samples);
        const std::string extra = std::string("\x16\0", 2) + static_cast<char>(bits) + std::string(1, '\0')
                                  + std::string("\x04\0\0\0", 4)
                                  + std::string("\x01\0\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 16);
        bytes.insert(36, extra);
        bytes[16] = 40; // the format chunk's size
        const auto riff = static_cast<std::uint32_t>(bytes.size() - 8);
        for (int i = 0; i < 4; ++i)
            bytes[static_cast<std::size_t>(4 + i)] = static_cast<char>(riff >> (8 * i) & 0xFF);
        return bytes;
    };
    writeBytes(path("grain16-extensible.wav"), extensible(16, grain16));
    writeBytes(path("grain8-extensible.wav"), extensible(8, grain8));
    const struct
    {
        std::string source;
        int step; // of one grain step, in 16-bit steps
        bool linuxOnly;
    } rows[] = {
        {data("grain16.flac"), 1, false},
        {data("grain8.flac"), 256, false},
        {data("grain16.aiff"), 1, true},
        {data("grain8.aiff"), 256, true},
        {path("grain16-extensible.wav"), 1, false},
        {path("grain8-extensible.wav"), 256, false},
    };
    for (const auto &row : rows) {
        const vesk::Result<vesk::Conversion> converted = convert(row.source);
#ifdef _WIN32
        if (!converted.ok() && (row.linuxOnly || underWine())) {
            std::printf("skipped, as this system does not decode it: %s\n", row.source.c_str());
            continue;
        }
#endif
        ASSERT_TRUE(converted.ok()) << row.source << ": " << converted.error();
        const Heard heard = hear(readBytes(path("out.wav")));
        ASSERT_EQ(heard.first.size(), 4410u) << row.source;
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < heard.first.size(); ++i)
            wrong += heard.first[i] * 32768 != grain(i) * row.step;
        EXPECT_EQ(wrong, 0u) << row.source;
    }
    for (const char *name : {"tone.flac", "silence.flac"}) {
        const vesk::Result<vesk::Conversion> converted = convert(data(name));
        ASSERT_TRUE(converted.ok()) << name << ": " << converted.error();
        const Heard heard = hear(readBytes(path("out.wav")));
        ASSERT_FALSE(heard.first.empty()) << name;
        if (std::string(name) == "silence.flac") {
            EXPECT_EQ(*std::max_element(heard.first.begin(), heard.first.end()), 0.0) << name;
            EXPECT_EQ(*std::min_element(heard.first.begin(), heard.first.end()), 0.0) << name;
        } else {
            // The same tone as the copied 16-bit wave of it, sample for sample.
            const Heard wave = hear(readBytes(data("pcm16.wav")));
            ASSERT_EQ(heard.first.size(), wave.first.size());
            EXPECT_EQ(heard.first, wave.first);
        }
    }
}

TEST_F(SoundConvertTest, aCancelStopsTheConversion)
{
    int calls = 0;
    const vesk::Result<vesk::Conversion> converted
        = convert(data("tone24.flac"), [&calls](double) { return ++calls < 3; });
    EXPECT_EQ(converted.code(), vesk::ErrorCode::Cancelled);
    EXPECT_EQ(calls, 3);
}

// An edit is put to the sound in the conversion itself: cut to the sample,
// faded in straight ramps, scaled by its gain, and a gain past full scale
// lowered as any loud sound is.
TEST_F(SoundConvertTest, anEditIsCutFadedAndScaledInTheOnePass)
{
    using vesk::SoundEdit;
    const auto rms = [](const Heard &heard, double from, double to) {
        const auto first = static_cast<size_t>(from * heard.rate), last = static_cast<size_t>(to * heard.rate);
        double power = 0;
        for (size_t i = first; i < last; ++i)
            power += heard.first[i] * heard.first[i];
        return 20 * std::log10(std::sqrt(power / double(last - first)) / (0.5 / std::sqrt(2.0)));
    };
    struct Case
    {
        const char *name;
        SoundEdit edit;
        double seconds;
        double startLevel, middleLevel, endLevel; // dB against the tone's own RMS, over 10 ms
        bool scaledDown;
        const char *source = "pcm16.wav"; // both the same tone, half of full scale
    };
    const std::vector<Case> cases = {
        {"trimmed", {100000, 400000, 0, 0, 0, false, 0}, 0.3, 0, 0, 0, false},
        {"faded", {0, std::nullopt, 50000, 50000, 0, false, 0}, 0.5, -15, 0, -15, false},
        {"quieter", {0, std::nullopt, 0, 0, -6, false, 0}, 0.5, -6, -6, -6, false},
        // +12 dB of a tone at half of full scale: brought back to full scale, +6 dB.
        {"past full scale", {0, std::nullopt, 0, 0, 12, false, 0}, 0.5, 6, 6, 6, true},
        // Read only up to the end, and the resampler still drained there.
        {"trimmed and resampled", {100000, 400000, 0, 0, 0, false, 0}, 0.3, 0, 0, 0, false, "96k.wav"},
    };
    for (const Case &c : cases) {
        const vesk::Result<vesk::Conversion> converted = vesk::convertSound(data(c.source), path("out.wav"), c.edit);
        ASSERT_TRUE(converted.ok()) << c.name << ": " << converted.error();
        EXPECT_EQ(converted->scaledDown, c.scaledDown) << c.name;
        const Heard heard = hear(readBytes(path("out.wav")));
        ASSERT_GT(heard.rate, 0u) << c.name;
        EXPECT_EQ(heard.first.size(), static_cast<size_t>(std::lround(c.seconds * heard.rate))) << c.name;
        const double end = heard.seconds();
        if (c.edit.fadeIn > 0) {
            EXPECT_LT(rms(heard, 0, 0.01), c.startLevel) << c.name;
            EXPECT_LT(rms(heard, end - 0.01, end), c.endLevel) << c.name;
            EXPECT_LT(rms(heard, 0, 0.01), rms(heard, 0.02, 0.03) - 6) << c.name << ": a ramp rises";
        } else {
            EXPECT_NEAR(rms(heard, 0.01, 0.02), c.startLevel, 0.1) << c.name;
            EXPECT_NEAR(rms(heard, end - 0.02, end - 0.01), c.endLevel, 0.1) << c.name;
        }
        EXPECT_NEAR(rms(heard, end / 2 - 0.005, end / 2 + 0.005), c.middleLevel, 0.1) << c.name;
    }
}

// The fade-out is held back as the sound streams by, whatever the blocks;
// a long one costs no more than the sound it fades.
TEST(EditedStreamTest, aFadeOutIsTheSameInAnyBlocksAndCostsLittle)
{
    const std::size_t frames = 10007, fade = 3001;
    std::vector<float> source(2 * frames);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<float>(i % 1000) / 1000.0f;
    vesk::SoundEdit edit;
    edit.fadeOut = vesk::framesToMicros(fade, 1000);
    const auto stream = [&](const vesk::SoundEdit &shape, const std::vector<float> &samples, std::size_t block) {
        vesk::EditedStream edited(shape, 1000, 2);
        std::vector<float> out;
        const std::size_t count = samples.size() / 2;
        for (std::size_t at = 0; at < count; at += block)
            edited.process(samples.data() + 2 * at, std::min(block, count - at), false, out);
        edited.process(nullptr, 0, true, out);
        return out;
    };
    std::vector<float> expected = source;
    for (std::size_t f = frames - fade; f < frames; ++f)
        for (std::size_t c = 0; c < 2; ++c)
            expected[2 * f + c] *= static_cast<float>(frames - f) / static_cast<float>(fade + 1);
    for (const std::size_t block :
         {std::size_t{1}, std::size_t{7}, std::size_t{3000}, std::size_t{3001}, std::size_t{4096}, frames}) {
        EXPECT_EQ(stream(edit, source, block), expected) << block;
    }

    // A minute's fade at the end of ten minutes at 48 kHz stereo, in the
    // decoder's blocks (one block over and over: its samples do not matter).
    const std::vector<float> block(2 * 8192, 0.25f);
    const auto seconds = [&](const vesk::SoundEdit &shape) {
        const auto start = std::chrono::steady_clock::now();
        vesk::EditedStream edited(shape, 48000, 2);
        std::vector<float> out;
        for (std::size_t at = 0; at < 600 * 48000; at += 8192) {
            out.clear();
            edited.process(block.data(), 8192, false, out);
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    vesk::SoundEdit minuteFade;
    minuteFade.fadeOut = 60 * vesk::kMicrosPerSecond;
    const double plain = seconds({}), faded = seconds(minuteFade);
    EXPECT_LT(faded, 4 * plain + 1.0) << "plain " << plain << " s, faded " << faded << " s";
}
