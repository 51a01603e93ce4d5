#include "core/mouths_manifest.h"

#include <sys/stat.h>

#include <algorithm>

#include "core/catalogue.h"
#include "core/embed_code.h"
#include "core/fileio.h"

namespace {
constexpr int kShapes = 13;

bool regularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool folder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string charsFolder(const std::string& flashFolder) {
    return flashFolder + (flashFolder.ends_with('/') ? "" : "/") + "chars/";
}
}  // namespace

std::string mouthsManifest(const CharacterMouths& characters) {
    std::string text =
        "/* The mouth pictures of each character, for the HTML5 player; written by Parlomat. */\n"
        "window.ParlomatMouths = {";
    for (size_t i = 0; i < characters.size(); ++i) {
        if (i > 0) text += ',';
        text += scriptString(characters[i].first) + ":[";
        for (size_t j = 0; j < characters[i].second.size(); ++j) {
            if (j > 0) text += ',';
            text += std::to_string(characters[i].second[j]);
        }
        text += ']';
    }
    return text + "};\n";
}

CharacterMouths scanMouths(const std::string& flashFolder) {
    const std::string chars = charsFolder(flashFolder);
    std::vector<std::string> names = listCatalogue(chars, kFolderMask);
    std::sort(names.begin(), names.end());
    CharacterMouths characters;
    for (const std::string& name : names) {
        std::vector<int> shapes;
        for (int n = 0; n < kShapes; ++n)
            if (regularFile(chars + name + "/mouth/" + std::to_string(n) + ".png"))
                shapes.push_back(n);
        characters.emplace_back(name, std::move(shapes));
    }
    return characters;
}

bool writeMouthsManifest(const std::string& flashFolder) {
    const std::string chars = charsFolder(flashFolder);
    if (!folder(chars)) return false;
    const std::string path = chars + "mouths.js";
    const std::string text = mouthsManifest(scanMouths(flashFolder));
    try {
        if (filePresent(path) && ReadFileText(path) == text) return false;
    } catch (const std::exception&) {
        // An unreadable manifest is written anew.
    }
    WriteFileText(path, text);
    return true;
}
