#include "tempdir.h"
#include "wavecheck.h"

namespace {

std::string le32(unsigned v)
{
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v >> 16 & 0xFF),
            static_cast<char>(v >> 24)};
}

} // namespace

using WaveCheckTest = TempDirTest;

TEST_F(WaveCheckTest, onlyRiffWaveWithAFormatChunkCounts)
{
    const std::string format
        = std::string("\x01\x00\x01\x00", 4) + le32(11025) + le32(11025) + std::string("\x01\x00\x08\x00", 4);
    const std::string pcm
        = "RIFF" + le32(4 + 8 + 16 + 8 + 2) + "WAVE" + "fmt " + le32(16) + format + "data" + le32(2) + "\x80\x80";
    // A "LIST" chunk before the format chunk is allowed.
    const std::string listFirst = "RIFF" + le32(60) + "WAVE" + "LIST" + le32(3) + "abc" + std::string(1, '\0') + "fmt "
                                  + le32(16) + format + "data" + le32(0);
    const struct
    {
        const char *name;
        std::string bytes;
        bool wave;
    } cases[] = {
        {"pcm.wav", pcm, true},
        {"list.wav", listFirst, true},
        {"mp3.wav", "ID3\x03\x00\x00\x00\x00\x00\x0f" + std::string(100, '\xff'), false},
        {"empty.wav", "", false},
        {"truncated.wav", pcm.substr(0, 20), false},
        {"avi.wav", "RIFF" + le32(4) + "AVI ", false},
        {"no-format.wav", "RIFF" + le32(12) + "WAVE" + "data" + le32(0), false},
    };
    for (const auto &c : cases) {
        writeBytes(path(c.name), c.bytes);
        EXPECT_EQ(vesk::isWaveFile(path(c.name)), c.wave) << c.name;
    }
    EXPECT_FALSE(vesk::isWaveFile(path("missing.wav")));
    EXPECT_FALSE(vesk::isWaveFile(dir()));
}
