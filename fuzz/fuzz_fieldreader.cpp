// Any bytes: the field reader ends, every field is a piece of the input, and
// every value encodeField accepts reads back unchanged.
#include "fieldreader.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    vesk::FieldReader reader(text);
    size_t fields = 0;
    while (auto field = reader.next()) {
        if (field->size() > text.size() || ++fields > text.size() + 1)
            std::abort();
        vesk::parseWholeNumber(*field);
        vesk::parseNumber(*field);
    }

    if (const auto encoded = vesk::encodeField(text)) {
        const std::string file = *encoded + "\r\n";
        vesk::FieldReader back(file);
        if (back.next() != text)
            std::abort();
    }
    return 0;
}
