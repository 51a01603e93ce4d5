#pragma once

#include <string>
#include <utility>
#include <vector>

// The HTML that places the web player on a page for the bot `bot`: the fragment (the <object>
// with its <embed>, every line ending with CR LF), or the whole test page around it (no line
// break after its last line).
// With `html5`, the lines that load the HTML5 player follow: one <script> line for tts.js after
// the fragment, and before it, on the test page, the data script for a page opened from disk;
// the test page then begins with a doctype and a comment, so that it is read as HTML also where
// the type of a file on disk is guessed from its first bytes.
std::string embedCode(const std::string& bot, bool fragment, bool html5 = false);

// The data script of the test page (tts-data.js): the texts of the bot's files (name and bytes),
// for the HTML5 player on a page opened from disk, where it cannot read files itself. Pure ASCII.
std::string playerDataScript(const std::string& bot,
                             const std::vector<std::pair<std::string, std::string>>& files);

// The bot's text files that the HTML5 player reads, as playerDataScript takes them: vars.txt and
// phrases.txt when they are there, then the viseme logs n.txt in the order of n. Raises the
// errors of ReadFileText.
std::vector<std::pair<std::string, std::string>> playerDataFiles(const std::string& botFolder);

// The bot name as the player variables carry it: letters, digits, blanks, "-", "_" and "." as
// they are; every other byte as %XX, which the player decodes back to the exact name. Nothing
// that is left needs escaping in HTML.
std::string playerVariable(const std::string& bot);

// A JavaScript string literal of the UTF-8 text in double quotes: quotes, backslashes, "<" and
// every character outside printable ASCII as \uXXXX or \-escapes, so the result is pure ASCII.
std::string scriptString(const std::string& utf8);
