#pragma once

#include <string>

// Whether the bytes are MPEG audio as a player reads them: an optional ID3v2 tag, then frames
// that follow each other without a gap to the end (an ID3v1 tag may close the file), at least
// one of them, all of the same version, layer and sample rate. Returns why not ("" when they
// are): "it is empty", "it holds no MPEG audio frame", "its frames end in the middle of a frame",
// "it holds bytes that are not MPEG audio".
std::string mp3Problem(const std::string& bytes);
