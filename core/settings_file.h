#pragma once

#include <string>
#include <vector>

// The bot settings file: one line "hint=H&prompt=P&button=B&char=C&back=K", then "&music=M"
// unless the music value is exactly "Silence"; values as they stand, no line break at the end.
struct BotSettings {
    std::string hint, prompt, button, character, back, music;
};
std::string settingsText(const BotSettings& settings);

// The settings pieces of a file's text: the runs between "&" that are not empty, each trimmed
// of the characters of code 32 or less at both ends.
std::vector<std::string> settingsPieces(const std::string& text);

// A piece's key (before its first "=") and value (everything after); false without "=".
bool splitSettingsPiece(const std::string& piece, std::string& key, std::string& value);

// The texts of the bot's interface cannot hold "&", which separates the settings in the file.
bool isValidInterfaceText(const std::string& text);
inline constexpr const char* kAmpersandRefused =
    "The texts of the bot's interface may not contain an ampersand (\"&\")";
