#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/visemes.h"

// One line of a viseme log: the viseme id unsigned, a blank, the duration signed, CR LF.
std::string visemeLogLine(uint32_t visemeId, int32_t duration);

// Appends the line to the log at `path`, which must exist; the file is opened and closed again
// for this one line. Raises the input/output error ("File not found", "File access denied",
// "Disk full", ...).
void appendVisemeLog(const std::string& path, uint32_t visemeId, int32_t duration);

// Creates the log at `path` (or empties it) holding one line for each viseme, in order: the
// lines the viseme events of the same speech would have appended one by one. Raises the
// input/output error.
void writeVisemeLog(const std::string& path, const std::vector<SpeechViseme>& visemes);

// The microphone picture of each viseme id 0..21.
inline constexpr uint8_t VisemePictureMap[22] = {0,  11, 11, 11, 10, 11, 9, 2, 13, 9, 12,
                                                 11, 9,  3,  6,  7,  8,  5, 4, 7,  9, 1};
inline constexpr int kMouthPictureCount = 15;

// The picture drawn for a viseme: its entry of the map; an id above 21 shows the microphone at
// rest.
int pictureForViseme(uint32_t visemeId);

// The eyes drawn over a mouth picture: closed eyes (picture 14) over pictures 2 and 8 (the
// rounded "w", "uw" and "sh" shapes), so that the microphone blinks now and then; -1 for none.
int eyesOverPicture(int picture);
