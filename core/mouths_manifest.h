#pragma once

#include <string>
#include <utility>
#include <vector>

// The mouth pictures of the characters: each character folder's name with the sorted shape
// numbers n (0 to 12) for which its mouth/n.png exists.
using CharacterMouths = std::vector<std::pair<std::string, std::vector<int>>>;

// The text of flash/chars/mouths.js, which tells the HTML5 player which mouth pictures it may
// ask for: a comment line, then window.ParlomatMouths = {"name":[0,1,...],...}; in the order
// given. Pure ASCII: the names are JavaScript string literals.
std::string mouthsManifest(const CharacterMouths& characters);

// The characters of the folder flash/ (its chars/ catalogue), sorted by name, each with its
// mouth pictures.
CharacterMouths scanMouths(const std::string& flashFolder);

// Brings flash/chars/mouths.js up to date; the file is written only when its bytes change, and
// not at all when flash/ has no chars/ folder. Returns whether it was written. Raises the errors
// of WriteFileText.
bool writeMouthsManifest(const std::string& flashFolder);
