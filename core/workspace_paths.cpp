#include "core/workspace_paths.h"

#include "core/paths.h"

std::string flashFolderUnterminated() {
    return programFolder() + "flash";
}
std::string flashFolder() {
    return flashFolderUnterminated() + "/";
}
std::string botsFolder() {
    return flashFolder() + "bots";
}
std::string charactersFolder() {
    return flashFolder() + "chars";
}
std::string backgroundsFolder() {
    return flashFolder() + "backs";
}
std::string musicFolder() {
    return flashFolder() + "music";
}

std::string botFolder(const std::string& bot) {
    return botsFolder() + "/" + bot + "/";
}
std::string phraseListPath(const std::string& bot) {
    return botFolder(bot) + "phrases.txt";
}
std::string settingsPath(const std::string& bot) {
    return botFolder(bot) + "vars.txt";
}
std::string speechRecordPath(const std::string& bot) {
    return botFolder(bot) + "speech.txt";
}
std::string phraseFilePath(const std::string& bot, int n, const char* extension) {
    return botFolder(bot) + std::to_string(n) + extension;
}

std::string characterPreviewPath(const std::string& character) {
    return charactersFolder() + "/" + character + "/preview.jpg";
}
std::string backgroundPath(const std::string& file) {
    return backgroundsFolder() + "/" + file;
}
std::string musicPath(const std::string& file) {
    return musicFolder() + "/" + file;
}

std::string testPagePath() {
    return flashFolder() + "tts.html";
}
std::string playerDataPath() {
    return flashFolder() + "tts-data.js";
}

std::string optionsPath() {
    return programFolder() + "options.txt";
}
std::string voicesHelpPath() {
    return programFolder() + "help/voices.html";
}
