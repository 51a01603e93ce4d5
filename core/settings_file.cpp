#include "core/settings_file.h"

#include "core/phrase_file.h"
#include "core/workspace_paths.h"

std::string settingsText(const BotSettings& s) {
    std::string text = "hint=" + s.hint + "&prompt=" + s.prompt + "&button=" + s.button +
                       "&char=" + s.character + "&back=" + s.back;
    if (s.music != kSilence) text += "&music=" + s.music;
    return text;
}

std::vector<std::string> settingsPieces(const std::string& text) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t amp = std::min(text.find('&', start), text.size());
        if (amp > start) {
            std::string piece = trimmed(text.substr(start, amp - start));
            if (!piece.empty()) pieces.push_back(std::move(piece));
        }
        start = amp + 1;
    }
    return pieces;
}

bool splitSettingsPiece(const std::string& piece, std::string& key, std::string& value) {
    const size_t eq = piece.find('=');
    if (eq == std::string::npos) return false;
    key = piece.substr(0, eq);
    value = piece.substr(eq + 1);
    return true;
}

bool isValidInterfaceText(const std::string& text) {
    return text.find('&') == std::string::npos;
}
