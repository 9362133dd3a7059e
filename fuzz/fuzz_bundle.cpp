// Any bytes as the end of a one-file package: as a whole file, and as an index
// under a trailer that fits it (so that the index's own rules are reached
// past its checksum); and as SHA256SUMS. What is accepted lies within the
// file and names only theme files, once each.
#include "onefile.h"
#include "packagesums.h"
#include "themefiles.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(const vesk::Result<std::optional<vesk::OneFileIndex>> &read, std::uint64_t size)
{
    if (!read || !*read)
        return;
    const vesk::OneFileIndex &index = **read;
    if (index.entries.size() > vesk::kMaxOneFileEntries)
        std::abort();
    std::uint64_t at = index.payloadOffset;
    for (size_t k = 0; k < index.entries.size(); ++k) {
        const vesk::OneFileEntry &entry = index.entries[k];
        if (entry.offset != at || entry.size > size || entry.offset + entry.size > size)
            std::abort();
        if (!vesk::isPlainName(entry.name) || !vesk::isThemeFile(entry.name)
            || vesk::sameFileName(entry.name, vesk::kInstallBatch))
            std::abort();
        for (size_t j = 0; j < k; ++j) {
            if (vesk::sameFileName(entry.name, index.entries[j].name))
                std::abort();
        }
        at += entry.size;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    vesk::MemorySource whole(bytes);
    check(vesk::readOneFileIndex(whole), size);

    // The first bytes are a payload (of up to 255 bytes), the rest its index.
    const size_t payload = size > 0 ? std::min<size_t>(data[0], size - 1) : 0;
    const std::string_view index = size > 0 ? bytes.substr(1 + payload) : bytes;
    const std::string file = std::string(size > 0 ? bytes.substr(1, payload) : bytes) + std::string(index)
                             + vesk::encodeTrailer(0, payload, index);
    vesk::MemorySource framed(file);
    check(vesk::readOneFileIndex(framed), file.size());

    const auto sums = vesk::parseSums(bytes);
    if (sums) {
        for (const vesk::FileSum &sum : *sums) {
            if (!vesk::isPlainName(sum.name))
                std::abort();
        }
    }
    return 0;
}
