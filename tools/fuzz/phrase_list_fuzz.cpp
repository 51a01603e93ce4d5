// Any bytes read as a phrase list and written back are stable: the written file reads as the
// same entries, completely, and writes as the same bytes again.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/phrase_file.h"
#include "require.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = decodePhraseList(bytes);
    for (const std::string& entry : entries)
        require(entry.find_first_of(std::string("\r\n\0", 3)) == std::string::npos,
                "an entry holds no line break and no NUL");

    const std::string written = encodePhraseList(entries);
    bool complete = false;
    const std::vector<std::string> again = decodePhraseList(written, &complete);
    require(again == entries, "the written list reads as the same entries");
    require(complete, "the written list reads completely");
    require(encodePhraseList(again) == written, "the entries read back write the same bytes");
    return 0;
}
