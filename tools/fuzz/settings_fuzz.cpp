// The bot settings file: the pieces of any decoded file are what the reading rules allow, the
// settings a file gives are written back as a file that gives the same settings, and settings
// built from arbitrary values (none holding "&") read back as those values without the
// characters of code 32 or less at their end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/phrase_file.h"
#include "core/settings_file.h"
#include "core/text16.h"
#include "require.h"

namespace {

// The settings the page takes from a file's text: a key that does not come stays empty, the
// music "Silence"; the last occurrence of a key wins.
BotSettings settingsOf(const std::string& text) {
    BotSettings s;
    s.music = "Silence";
    for (const std::string& piece : settingsPieces(text)) {
        std::string key, value;
        if (!splitSettingsPiece(piece, key, value)) continue;
        if (key == "hint") s.hint = value;
        if (key == "prompt") s.prompt = value;
        if (key == "button") s.button = value;
        if (key == "char") s.character = value;
        if (key == "back") s.back = value;
        if (key == "music") s.music = value;
    }
    return s;
}

bool operator==(const BotSettings& a, const BotSettings& b) {
    return a.hint == b.hint && a.prompt == b.prompt && a.button == b.button &&
           a.character == b.character && a.back == b.back && a.music == b.music;
}

BotSettings readBack(const BotSettings& s) {
    const DecodedText decoded = decodeFileText(encodeFileText(settingsText(s)));
    require(decoded.complete, "a written settings file reads completely");
    return settingsOf(decoded.text);
}

std::string withoutLowEnd(std::string text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.pop_back();
    return text;
}

void piecesOfAnyFile(const std::string& text) {
    const std::vector<std::string> pieces = settingsPieces(text);
    std::string joined;
    size_t from = 0;
    for (const std::string& piece : pieces) {
        require(!piece.empty(), "a piece is not empty");
        require(piece.find('&') == std::string::npos, "a piece holds no ampersand");
        require(trimmed(piece) == piece, "a piece is trimmed");
        const size_t at = text.find(piece, from);
        require(at != std::string::npos, "the pieces stand in the text in their order");
        from = at + piece.size();
        std::string key, value;
        if (splitSettingsPiece(piece, key, value)) {
            require(key.find('=') == std::string::npos, "a key holds no equals sign");
            require(key + "=" + value == piece, "key and value make the piece");
        } else {
            require(piece.find('=') == std::string::npos, "only a piece without \"=\" is skipped");
        }
        joined += (joined.empty() ? "" : "&") + piece;
    }
    require(settingsPieces(joined) == pieces, "the pieces joined again give the same pieces");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const std::string text = decodeFileText(bytes).text;
    piecesOfAnyFile(text);
    const BotSettings fromFile = settingsOf(text);
    require(readBack(fromFile) == fromFile, "the settings of a file are written back unchanged");

    // Six values cut from the input at "&", as the window holds text: UTF-8.
    std::string values[6];
    size_t start = 0;
    for (std::string& value : values) {
        if (start > bytes.size()) break;
        const size_t amp = std::min(bytes.find('&', start), bytes.size());
        value = toUtf8(toUtf16(bytes.substr(start, amp - start)));
        start = amp + 1;
    }
    const BotSettings made{values[0], values[1], values[2], values[3], values[4], values[5]};
    const BotSettings expected{withoutLowEnd(values[0]), withoutLowEnd(values[1]),
                               withoutLowEnd(values[2]), withoutLowEnd(values[3]),
                               withoutLowEnd(values[4]), withoutLowEnd(values[5])};
    require(readBack(made) == expected, "the values written read back without their low end");
    return 0;
}
