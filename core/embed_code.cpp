#include "core/embed_code.h"

#include <algorithm>
#include <cctype>

#include "core/catalogue.h"
#include "core/errors.h"
#include "core/fileio.h"
#include "core/phrase_file.h"
#include "core/text16.h"

namespace {
constexpr const char* kXhtmlNamespace = "http://www.w3.org/1999/xhtml";
constexpr const char* kInstaller =
    "https://download.macromedia.com/pub/shockwave/cabs/flash/swflash.cab#version=8,0,0,0";
constexpr const char* kDownloadPage = "https://www.macromedia.com/go/getflashplayer";
constexpr const char* kCrLf = "\r\n";

// The lines before the test page's <html> line when the HTML5 player is on it. A browser that
// guesses the type of a file on disk from its start (WebKitGTK, through the system's MIME
// database) takes a file with the XHTML namespace in its first 257 bytes for XHTML, which this
// page is not; its parser then stops at the <param> line that is not closed, before the
// player's scripts. The doctype and the comment keep the namespace past those bytes.
constexpr const char* kHtml5Preamble[] = {
    "<!DOCTYPE html>",
    "<!-- The test page of a Parlomat bot with the HTML5 player. From the next line on it holds",
    "     the embed code as it is shown for a site. This comment keeps the XHTML namespace of",
    "     that code away from the first bytes of the file, by which some browsers guess the type",
    "     of a file on disk, so that the page opens as HTML. -->",
};
}  // namespace

std::string playerVariable(const std::string& bot) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bot) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x80 && std::isalnum(b)) || c == ' ' || c == '-' || c == '_' || c == '.') {
            out += c;
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        }
    }
    return out;
}

std::string embedCode(const std::string& bot, bool fragment, bool html5) {
    const std::string name = playerVariable(bot);
    std::string code;
    const auto line = [&code](const std::string& text) { code.append(text).append(kCrLf); };
    if (html5 && !fragment)
        for (const char* text : kHtml5Preamble) line(text);
    if (!fragment) {
        line(std::string("<html xmlns=\"") + kXhtmlNamespace + "\" xml:lang=\"de\" lang=\"de\">");
        line(
            "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\" />");
        line("  <title>tts</title>");
        line("</head><body bgcolor=\"#ffffff\">");
    }
    line("<object classid=\"clsid:d27cdb6e-ae6d-11cf-96b8-444553540000\" ");
    line(std::string("    codebase=\"") + kInstaller + "\"");
    line("    width=\"400\" height=\"450\" id=\"tts\" align=\"middle\">");
    line("  <param name=\"allowScriptAccess\" value=\"sameDomain\" />");
    line("  <param name=\"movie\" value=\"tts.swf\" />");
    line("  <param name=\"quality\" value=\"high\" />");
    line("  <param name=\"bgcolor\" value=\"#ffffff\" />");
    line("  <param name=\"FlashVars\" value=\"bot=" + name + "\">");
    line(
        "  <embed src=\"tts.swf\" quality=\"high\" bgcolor=\"#ffffff\" width=\"400\" "
        "height=\"450\" name=\"tts\" align=\"middle\" ");
    line(std::string("   allowScriptAccess=\"sameDomain\" type=\"application/x-shockwave-flash\" "
                     "pluginspage=\"") +
         kDownloadPage + "\" ");
    line("   FlashVars=\"bot=" + name + "\"/>");
    line("</object>");
    if (html5 && !fragment) line("<script src=\"tts-data.js\" charset=\"utf-8\"></script>");
    if (html5) line("<script src=\"tts.js\" charset=\"utf-8\"></script>");
    if (!fragment) {
        line("</body>");
        code += "</html>";
    }
    return code;
}

std::string scriptString(const std::string& utf8) {
    std::string out = "\"";
    for (const char16_t unit : toUtf16(utf8)) {
        if (unit == u'"' || unit == u'\\') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit >= 0x20 && unit < 0x7F && unit != u'<') {
            out += static_cast<char>(unit);
        } else {
            out += format("\\u%04X", static_cast<unsigned>(unit));
        }
    }
    return out + "\"";
}

std::vector<std::pair<std::string, std::string>> playerDataFiles(const std::string& botFolder) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const char* name : {"vars.txt", "phrases.txt"})
        if (filePresent(botFolder + name)) files.emplace_back(name, ReadFileText(botFolder + name));
    // The logs of the phrase rows: names that are a row index in decimal (no leading zero).
    std::vector<std::pair<long long, std::string>> logs;
    for (const std::string& name : listCatalogue(botFolder, kFileMask)) {
        const std::string digits = name.size() > 4 && name.ends_with(".txt")
                                       ? name.substr(0, name.size() - 4)
                                       : std::string();
        if (digits.empty() || digits.size() > 9 ||
            digits.find_first_not_of("0123456789") != std::string::npos ||
            (digits.size() > 1 && digits[0] == '0') || !filePresent(botFolder + name))
            continue;
        logs.emplace_back(std::stoll(digits), name);
    }
    std::sort(logs.begin(), logs.end());
    for (const auto& [n, name] : logs) files.emplace_back(name, ReadFileText(botFolder + name));
    return files;
}

std::string playerDataScript(const std::string& bot,
                             const std::vector<std::pair<std::string, std::string>>& files) {
    std::string script =
        "/* The texts of a bot for the HTML5 player on the test page, written by Parlomat. */\n"
        "window.ParlomatData = window.ParlomatData || {};\n";
    for (const auto& [name, bytes] : files)
        script += "window.ParlomatData[" + scriptString("bots/" + bot + "/" + name) +
                  "] = " + scriptString(decodeFileText(bytes).text) + ";\n";
    return script;
}
