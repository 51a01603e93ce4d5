#include <gtest/gtest.h>
#include <libxml/HTMLparser.h>

#include <QByteArray>
#include <map>

#include "core/embed_code.h"

namespace {

const std::string kFragment =
    "<object classid=\"clsid:d27cdb6e-ae6d-11cf-96b8-444553540000\" \r\n"
    "    "
    "codebase=\"https://download.macromedia.com/pub/shockwave/cabs/flash/"
    "swflash.cab#version=8,0,0,0\"\r\n"
    "    width=\"400\" height=\"450\" id=\"tts\" align=\"middle\">\r\n"
    "  <param name=\"allowScriptAccess\" value=\"sameDomain\" />\r\n"
    "  <param name=\"movie\" value=\"tts.swf\" />\r\n"
    "  <param name=\"quality\" value=\"high\" />\r\n"
    "  <param name=\"bgcolor\" value=\"#ffffff\" />\r\n"
    "  <param name=\"FlashVars\" value=\"bot=Support Bot-2_x.y\">\r\n"
    "  <embed src=\"tts.swf\" quality=\"high\" bgcolor=\"#ffffff\" width=\"400\" height=\"450\" "
    "name=\"tts\" align=\"middle\" \r\n"
    "   allowScriptAccess=\"sameDomain\" type=\"application/x-shockwave-flash\" "
    "pluginspage=\"https://www.macromedia.com/go/getflashplayer\" \r\n"
    "   FlashVars=\"bot=Support Bot-2_x.y\"/>\r\n"
    "</object>\r\n";

// The values of the FlashVars of the <param> and of the <embed>, as an HTML parser reads them.
std::vector<std::string> flashVars(const std::string& page) {
    std::vector<std::string> values;
    htmlDocPtr doc = htmlReadMemory(page.data(), static_cast<int>(page.size()), nullptr, "UTF-8",
                                    HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    const std::function<void(xmlNode*)> walk = [&](xmlNode* node) {
        for (; node; node = node->next) {
            if (node->type == XML_ELEMENT_NODE) {
                const auto attribute = [node](const char* name) {
                    xmlChar* v = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
                    std::string s = v ? reinterpret_cast<const char*>(v) : "";
                    xmlFree(v);
                    return s;
                };
                const std::string tag = reinterpret_cast<const char*>(node->name);
                if (tag == "param" && attribute("name") == "FlashVars")
                    values.push_back(attribute("value"));
                if (tag == "embed") values.push_back(attribute("flashvars"));
            }
            walk(node->children);
        }
    };
    walk(xmlDocGetRootElement(doc));
    xmlFreeDoc(doc);
    return values;
}

// What the player makes of "bot=...": the name, percent-decoded.
std::string decodedBot(const std::string& vars) {
    EXPECT_EQ(vars.rfind("bot=", 0), 0u) << vars;
    return QByteArray::fromPercentEncoding(QByteArray::fromStdString(vars.substr(4))).toStdString();
}

}  // namespace

TEST(EmbedCode, TheFragmentAndTheTestPageAreTheLinesOfTheTable) {
    EXPECT_EQ(embedCode("Support Bot-2_x.y", true), kFragment);
    EXPECT_EQ(
        embedCode("Support Bot-2_x.y", false),
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"de\" lang=\"de\">\r\n"
        "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\" />\r\n"
        "  <title>tts</title>\r\n"
        "</head><body bgcolor=\"#ffffff\">\r\n" +
            kFragment + "</body>\r\n</html>");
}

TEST(EmbedCode, AnyOtherCharacterOfTheNameReachesThePlayerExactly) {
    const std::string names[] = {
        "Q\"uote", "a<b>c", "Tom & Jerry", "x=y",        "100%", "Bär Öl ß",   "it's",       "a+b",
        "#hash",   "日本",  "tab\there",   "semi;colon", "%41",  "emoji 🙂", "back\\slash"};
    for (const std::string& name : names) {
        const std::string variable = playerVariable(name);
        // Nothing in it that HTML would take for markup, and nothing outside ASCII.
        for (const char c : variable) {
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) ||
                        std::string(" -_.%").find(c) != std::string::npos)
                << name;
        }
        for (const bool fragment : {true, false}) {
            const auto values = flashVars(embedCode(name, fragment));
            ASSERT_EQ(values.size(), 2u) << name;
            for (const std::string& v : values) EXPECT_EQ(decodedBot(v), name);
        }
    }
    EXPECT_EQ(playerVariable("Tom & Jerry"), "Tom %26 Jerry");
    EXPECT_EQ(playerVariable("Bär"), "B%C3%A4r");
    EXPECT_EQ(playerVariable("My Bot-1_v.2"), "My Bot-1_v.2");
}

TEST(EmbedCode, TheHtml5PlayerAddsItsLinesAndKeepsEveryOtherLine) {
    const std::string script = "<script src=\"tts.js\" charset=\"utf-8\"></script>\r\n";
    const std::string data = "<script src=\"tts-data.js\" charset=\"utf-8\"></script>\r\n";
    for (const auto& [bot, variable] :
         {std::pair<std::string, std::string>{"Support Bot-2_x.y", "Support Bot-2_x.y"},
          {"Büro & Co", "B%C3%BCro %26 Co"}}) {
        std::string fragment = kFragment;
        const std::string named = "bot=Support Bot-2_x.y";
        for (size_t at = fragment.find(named); at != std::string::npos;
             at = fragment.find(named, at + 4 + variable.size()))
            fragment.replace(at + 4, named.size() - 4, variable);
        // Unticked: the lines of the table alone; ticked: the player's lines after them.
        EXPECT_EQ(embedCode(bot, true, false), fragment);
        EXPECT_EQ(embedCode(bot, true, true), fragment + script);
        const std::string page = embedCode(bot, false, false);
        const size_t body = page.find("</body>");
        EXPECT_TRUE(page.ends_with(fragment + "</body>\r\n</html>")) << page;
        // The test page with the player begins with a doctype and a comment that keep the XHTML
        // namespace out of the 257 bytes by which WebKitGTK guesses the type of a file on disk.
        const std::string html5 = embedCode(bot, false, true);
        const size_t html = html5.find("<html xmlns=\"http://www.w3.org/1999/xhtml\"");
        ASSERT_NE(html, std::string::npos);
        EXPECT_GT(html, 256u);
        EXPECT_TRUE(html5.starts_with("<!DOCTYPE html>\r\n<!-- ")) << html5;
        EXPECT_TRUE(html5.substr(0, html).ends_with(" -->\r\n")) << html5;
        EXPECT_EQ(html5.substr(0, html).find("--", 20), html - 5);  // one comment, closed once
        EXPECT_EQ(html5.substr(html), page.substr(0, body) + data + script + page.substr(body));
    }
}

TEST(EmbedCode, TheDataScriptHoldsTheBotsTextsInAscii) {
    const std::string script =
        playerDataScript("Büro & \"Co\"", {{"vars.txt", "hint=Grüß Gott"},
                                           {"0.txt", "11 120\r\n0 5\r\n"},
                                           {"phrases.txt", "=</script>\\\r\n"},
                                           {"bad.txt", "\xFC"}});
    for (const char c : script) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    EXPECT_NE(script.find("window.ParlomatData[\"bots/B\\u00FCro & \\\"Co\\\"/vars.txt\"] = "
                          "\"hint=Gr\\u00FC\\u00DF Gott\";"),
              std::string::npos)
        << script;
    EXPECT_NE(script.find("/0.txt\"] = \"11 120\\u000D\\u000A0 5\\u000D\\u000A\";"),
              std::string::npos);
    EXPECT_NE(script.find("/phrases.txt\"] = \"=\\u003C/script>\\\\\\u000D\\u000A\";"),
              std::string::npos)
        << script;
    EXPECT_NE(script.find("/bad.txt\"] = \"\";"), std::string::npos);  // not UTF-8: empty
}
