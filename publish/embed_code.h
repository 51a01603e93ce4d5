#pragma once

#include <string>

// The HTML that places the web player on a page for the bot `bot`: the fragment (the <object>
// with its <embed>, every line ending with CR LF), or the whole test page around it (no line
// break after its last line).
std::string embedCode(const std::string& bot, bool fragment);

// The bot name as the player variables carry it: letters, digits, blanks, "-", "_" and "." as
// they are; every other byte as %XX, which the player decodes back to the exact name. Nothing
// that is left needs escaping in HTML.
std::string playerVariable(const std::string& bot);
