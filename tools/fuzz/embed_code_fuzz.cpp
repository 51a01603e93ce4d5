// Any bot name reaches the player exactly: in every form of the embed code (fragment or test
// page, with or without the HTML5 player) an HTML parser finds the FlashVars of the <param> and
// of the <embed>, and both percent-decode to the name; the fragment ends with CR LF, the test
// page with "</html>".

#include <libxml/HTMLparser.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/embed_code.h"
#include "require.h"

// The parser is the judge here, not what is judged: its memory comes straight from the C library,
// past the sanitiser's allocator, which would otherwise take most of the run's time.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_realloc(void* block, size_t size);
void __libc_free(void* block);
}

namespace {

char* parserStrdup(const char* text) {
    const size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(__libc_malloc(size));
    if (copy) std::memcpy(copy, text, size);
    return copy;
}

std::string attribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

void collectFlashVars(xmlNode* node, std::vector<std::string>& values) {
    for (; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE) {
            const std::string tag = reinterpret_cast<const char*>(node->name);
            if (tag == "param" && attribute(node, "name") == "FlashVars")
                values.push_back(attribute(node, "value"));
            if (tag == "embed") values.push_back(attribute(node, "flashvars"));
        }
        collectFlashVars(node->children, values);
    }
}

// One parser for every input: a new one for each would cost most of the run's time.
htmlParserCtxtPtr parser = nullptr;

std::vector<std::string> flashVars(const std::string& code) {
    std::vector<std::string> values;
    htmlDocPtr doc =
        htmlCtxtReadMemory(parser, code.data(), static_cast<int>(code.size()), nullptr, "UTF-8",
                           HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    require(doc != nullptr, "the embed code parses as HTML");
    collectFlashVars(xmlDocGetRootElement(doc), values);
    xmlFreeDoc(doc);
    return values;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// What the player reads from "bot=...": the name, every %XX decoded to its byte.
std::string botOf(const std::string& vars) {
    require(vars.rfind("bot=", 0) == 0, "the FlashVars start with \"bot=\"");
    std::string name;
    for (size_t i = 4; i < vars.size(); ++i) {
        if (vars[i] != '%') {
            name += vars[i];
            continue;
        }
        require(i + 2 < vars.size() && hexValue(vars[i + 1]) >= 0 && hexValue(vars[i + 2]) >= 0,
                "every \"%\" starts an escape of two hex digits");
        name += static_cast<char>(hexValue(vars[i + 1]) << 4 | hexValue(vars[i + 2]));
        i += 2;
    }
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    xmlMemSetup(__libc_free, __libc_malloc, __libc_realloc, parserStrdup);
    xmlInitParser();
    parser = htmlNewParserCtxt();
    if (!parser) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 255) return 0;  // a bot name is the name of its folder: at most 255 bytes
    const std::string bot(reinterpret_cast<const char*>(data), size);
    for (const unsigned char c : playerVariable(bot))
        require(c < 0x80 && c != '"' && c != '<' && c != '>' && c != '&' && c != '\'',
                "the player variable needs no escaping in HTML");
    for (const bool fragment : {true, false}) {
        for (const bool html5 : {false, true}) {
            const std::string code = embedCode(bot, fragment, html5);
            require(code.ends_with(fragment ? "\r\n" : "\r\n</html>"),
                    "the fragment ends with CR LF, the test page with </html>");
            const std::vector<std::string> values = flashVars(code);
            require(values.size() == 2, "the code has the two FlashVars");
            for (const std::string& vars : values)
                require(botOf(vars) == bot, "the FlashVars give the exact name");
        }
    }
    return 0;
}
