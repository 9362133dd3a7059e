#include "tempdir.h"
#include "wavecheck.h"

namespace {

std::string le(unsigned v, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(v >> (8 * i) & 0xFF);
    return out;
}

std::string chunk(const std::string &id, const std::string &body)
{
    return id + le(static_cast<unsigned>(body.size()), 4) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}

std::string format(unsigned tag, unsigned channels, unsigned rate, unsigned bits)
{
    const unsigned block = channels * bits / 8;
    return le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * block, 4) + le(block, 2) + le(bits, 2);
}

// WAVE_FORMAT_EXTENSIBLE: the real format is the subformat GUID's first two bytes.
std::string extensible(unsigned subformat, unsigned bits)
{
    return format(0xFFFE, 2, 44100, bits) + le(22, 2) + le(bits, 2) + le(3, 4) + le(subformat, 2)
           + "\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71";
}

std::string riff(const std::string &chunks)
{
    return "RIFF" + le(static_cast<unsigned>(4 + chunks.size()), 4) + "WAVE" + chunks;
}

const std::string kSamples(100, '\x80');

} // namespace

using WaveCheckTest = TempDirTest;

TEST_F(WaveCheckTest, onlyPlainPcmCountsAndEveryOtherFileIsNamedWithItsReason)
{
    const std::string pcm16 = chunk("fmt ", format(1, 2, 44100, 16));
    const struct
    {
        const char *name;
        std::string bytes;
        const char *problem; // nullptr: the game plays it
    } cases[] = {
        {"pcm8.wav", riff(chunk("fmt ", format(1, 1, 11025, 8)) + chunk("data", kSamples)), nullptr},
        {"pcm16.wav", riff(pcm16 + chunk("data", kSamples)), nullptr},
        // Chunks in any order and of any size, odd ones padded.
        {"large-list-first.wav", riff(chunk("LIST", std::string(200001, 'x')) + pcm16 + chunk("data", kSamples)),
         nullptr},
        {"data-before-format.wav", riff(chunk("data", kSamples) + chunk("fact", "abc") + pcm16), nullptr},
        {"extensible-pcm.wav", riff(chunk("fmt ", extensible(1, 16)) + chunk("data", kSamples)), nullptr},
        {"ima.wav", riff(chunk("fmt ", format(0x11, 1, 22050, 4)) + chunk("data", kSamples)),
         "IMA ADPCM, not plain PCM"},
        {"msadpcm.wav", riff(chunk("fmt ", format(2, 1, 22050, 4)) + chunk("data", kSamples)),
         "MS ADPCM, not plain PCM"},
        {"mulaw.wav", riff(chunk("fmt ", format(7, 1, 8000, 8)) + chunk("data", kSamples)), "mu-law, not plain PCM"},
        {"alaw.wav", riff(chunk("fmt ", format(6, 1, 8000, 8)) + chunk("data", kSamples)), "A-law, not plain PCM"},
        {"mp3.wav", riff(chunk("fmt ", format(0x55, 2, 44100, 0)) + chunk("data", kSamples)), "MP3, not plain PCM"},
        {"float.wav", riff(chunk("fmt ", format(3, 2, 44100, 32)) + chunk("data", kSamples)),
         "floating-point samples, not plain PCM"},
        {"pcm24.wav", riff(chunk("fmt ", extensible(1, 24)) + chunk("data", kSamples)), "24-bit samples"},
        {"pcm32.wav", riff(chunk("fmt ", extensible(1, 32)) + chunk("data", kSamples)), "32-bit samples"},
        {"surround.wav", riff(chunk("fmt ", format(1, 6, 44100, 16)) + chunk("data", kSamples)), "6 channels"},
        {"fast.wav", riff(chunk("fmt ", format(1, 2, 96000, 16)) + chunk("data", kSamples)), "96000 samples a second"},
        {"no-data.wav", riff(pcm16), "no sound data"},
        {"empty-data.wav", riff(pcm16 + chunk("data", "")), "no sound data"},
        {"data-beyond-end.wav", riff(pcm16 + "data" + le(100000, 4) + kSamples), "the sound data is cut short"},
        {"no-format.wav", riff(chunk("data", kSamples)), "no format chunk"},
        {"id3.wav", "ID3\x03\x00\x00\x00\x00\x00\x0f" + std::string(100, '\xff'), "not a RIFF wave file"},
        {"empty.wav", "", "not a RIFF wave file"},
        {"avi.wav", "RIFF" + le(4, 4) + "AVI ", "not a RIFF wave file"},
        {"truncated.wav", riff(pcm16).substr(0, 30), "a damaged format chunk"},
    };
    for (const auto &c : cases) {
        writeBytes(path(c.name), c.bytes);
        const std::optional<std::string> problem = vesk::waveProblem(path(c.name));
        EXPECT_EQ(problem.value_or("none"), c.problem ? c.problem : "none") << c.name;
    }
    EXPECT_FALSE(vesk::isWaveFile(path("missing.wav")));
    EXPECT_FALSE(vesk::isWaveFile(dir()));
}
