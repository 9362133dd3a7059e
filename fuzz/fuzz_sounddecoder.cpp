// Any bytes as a slot's sound file: the wave check walks the chunks without
// reading past the end, whatever their sizes claim, and names a reason for
// everything it questions; the decoder and the conversion read them to the
// end or refuse them with a reason, and a converted sound is a wave the
// game plays; the analysis measures them or refuses them with the same
// reason, its figures finite and its picture within full scale. The same bytes as a text value are shown as well-formed
// UTF-8.
#include "displaytext.h"
#include "paths.h"
#include "soundanalysis.h"
#include "soundconvert.h"
#include "wavecheck.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    if (!vesk::isUtf8(vesk::displayText(bytes)))
        std::abort();
    if (vesk::isUtf8(bytes) && vesk::displayText(bytes) != bytes)
        std::abort();

    // A folder of this process's own, so that fuzzers running side by side keep apart.
    static const vesk::Result<std::string> folder = vesk::makePrivateFolder("vesk-fuzz-sound-");
    if (!folder)
        std::abort();
    static const struct Removed
    {
        ~Removed()
        {
            std::error_code ec;
            std::filesystem::remove_all(*folder, ec);
        }
    } removed;
    static const std::string file = *folder + "/sound.bin", converted = *folder + "/sound.wav";
    std::FILE *out = std::fopen(file.c_str(), "wb");
    if (!out)
        return 0;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    const auto problem = vesk::waveProblem(file);
    if (problem && problem->empty())
        std::abort();
    // A few seconds of output at most, however long the bytes say the sound is.
    int blocks = 0;
    const vesk::Result<vesk::Conversion> result
        = vesk::convertSound(file, converted, {}, [&blocks](double) { return ++blocks < 64; });
    if (result.ok() && vesk::waveProblem(converted) && result->seconds > 0)
        std::abort();
    if (!result.ok() && result.error().empty())
        std::abort();

    blocks = 0;
    const vesk::Result<vesk::SoundAnalysis> analysis = vesk::analyseSound(file, [&blocks] { return ++blocks < 64; });
    if (!analysis.ok() && analysis.error().empty())
        std::abort();
    if (analysis.ok()) {
        const vesk::Loudness &loudness = analysis->loudness;
        for (const std::optional<double> &figure :
             {loudness.integrated, loudness.momentaryMax, loudness.samplePeak, loudness.truePeak})
            if (figure && !std::isfinite(*figure))
                std::abort();
        if (analysis->waveform.columns.size() > 2 * vesk::WaveformBuilder::kColumns)
            std::abort();
    }
    return 0;
}
