#pragma once

#include <cstdint>
#include <exception>
#include <string>

// The two values that connect the engine's events with the generation of phrase audio.

// Lowered by the end-of-stream event of the audible pass, raised after each audible pass is
// requested; a generation waits while it is above 0.
extern int32_t PendingStreams;

// The stream number of the audible pass of the phrase being made (0: none). Events of other
// streams (a preview still heard when the generation began) neither end its wait nor reach its
// log.
extern int32_t AloudStream;

// The viseme log that viseme events of `AloudStream` are appended to; empty: events are not
// logged.
extern std::string VisemeLogPath;

// An error of the viseme log that came during a generation; the generation raises it.
extern std::exception_ptr VisemeLogError;

// Creates the file empty (or truncates it) and closes it; raises the input/output error.
void createEmptyFile(const std::string& path);
