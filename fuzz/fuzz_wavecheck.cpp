// Any bytes as a slot's sound file: the wave check walks the chunks without
// reading past the end, whatever their sizes claim, and names a reason for
// everything it questions. The same bytes as a text value are shown as
// well-formed UTF-8.
#include "displaytext.h"
#include "wavecheck.h"

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

    static const std::string file = (std::filesystem::temp_directory_path() / "vesk-fuzz-wave.wav").string();
    std::FILE *out = std::fopen(file.c_str(), "wb");
    if (!out)
        return 0;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    const auto problem = vesk::waveProblem(file);
    if (problem && problem->empty())
        std::abort();
    return 0;
}
