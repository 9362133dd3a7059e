// Any bytes as theme.cfg: reading ends with at most seven fields, and a font
// size whenever four or more were read.
#include "themedescription.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const vesk::ThemeReading reading
        = vesk::parseThemeDescription(std::string_view(reinterpret_cast<const char *>(data), size));
    if (reading.fieldsRead < 0 || reading.fieldsRead > vesk::ThemeDescription::kFieldCount)
        std::abort();
    if (reading.fieldsRead >= 4 && (!reading.fontSize || !std::isfinite(*reading.fontSize)))
        std::abort();
    return 0;
}
