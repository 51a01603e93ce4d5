// A viseme log line is exactly the id, a blank, the duration and CR LF, both numbers in their one
// decimal form, and reads back as the same id and duration. An input that is such a line gives
// its numbers (and must come out byte for byte); any other input gives them from its bytes.

#include <fuzzer/FuzzedDataProvider.h>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/viseme_log.h"
#include "require.h"

namespace {

// One number in its shortest decimal form: digits without a leading zero (but "0"), "-" before
// a negative one, in the range of T.
template <typename T>
bool readNumber(std::string_view text, T& value) {
    const std::string_view digits = text.substr(!text.empty() && text[0] == '-' ? 1 : 0);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    if (digits[0] == '0' && (digits.size() > 1 || digits.size() < text.size())) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool readLine(std::string_view line, uint32_t& id, int32_t& duration) {
    if (line.size() < 2 || line.substr(line.size() - 2) != "\r\n") return false;
    line.remove_suffix(2);
    const size_t blank = line.find(' ');
    if (blank == std::string_view::npos) return false;
    return readNumber(line.substr(0, blank), id) && readNumber(line.substr(blank + 1), duration);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    uint32_t id = 0;
    int32_t duration = 0;
    const bool inputIsLine = readLine(input, id, duration);
    if (!inputIsLine) {
        FuzzedDataProvider provider(data, size);
        id = provider.ConsumeIntegral<uint32_t>();
        duration = provider.ConsumeIntegral<int32_t>();
    }

    const std::string line = visemeLogLine(id, duration);
    uint32_t readId = 0;
    int32_t readDuration = 0;
    require(readLine(line, readId, readDuration), "the line is id, blank, duration, CR LF");
    require(readId == id && readDuration == duration, "the line reads back as its numbers");
    if (inputIsLine) require(line == input, "a line is written as it was read");
    return 0;
}
