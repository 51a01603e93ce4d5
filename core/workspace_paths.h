#pragma once

#include <string>

// The paths of the workspace, each the program folder (worked out anew at every use) followed by
// its relative path; nothing is normalised or created on the way.

// The entry of the music list that stands for no music.
inline constexpr const char* kSilence = "Silence";

// flash/, the folder that the user copies to the web server; without the "/" at its end, as the
// file manager is asked to show it.
std::string flashFolder();
std::string flashFolderUnterminated();
// flash/bots, flash/chars, flash/backs, flash/music: the catalogues' folders (no "/" at the end).
std::string botsFolder();
std::string charactersFolder();
std::string backgroundsFolder();
std::string musicFolder();

// flash/bots/{bot}/, and the bot's files in it.
std::string botFolder(const std::string& bot);
std::string phraseListPath(const std::string& bot);    // phrases.txt
std::string settingsPath(const std::string& bot);      // vars.txt
std::string speechRecordPath(const std::string& bot);  // speech.txt: what the speech was made from
// The files of phrase row n: n.wav, n.mp3 and n.txt, `extension` with its dot.
std::string phraseFilePath(const std::string& bot, int n, const char* extension);

// flash/chars/{character}/preview.jpg, flash/backs/{file}, flash/music/{file}.
std::string characterPreviewPath(const std::string& character);
std::string backgroundPath(const std::string& file);
std::string musicPath(const std::string& file);

// flash/tts.html, the test page, and flash/tts-data.js, its data script.
std::string testPagePath();
std::string playerDataPath();

// options.txt, the workspace's options; help/voices.html, the page about more voices.
std::string optionsPath();
std::string voicesHelpPath();
