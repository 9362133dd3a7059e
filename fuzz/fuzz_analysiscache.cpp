// Any bytes as the cache of sounds' figures: read whole or refused, never
// read past their end, and what is read is written back to the same bytes.
#include "analysiscache.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const auto entries = vesk::AnalysisCache::decode(bytes);
    if (!entries)
        return 0;
    const std::string again = vesk::AnalysisCache::encode(*entries);
    const auto reread = vesk::AnalysisCache::decode(again);
    if (!reread || vesk::AnalysisCache::encode(*reread) != again)
        std::abort();
    return 0;
}
