#pragma once

#include <string>

#include "core/installed.h"

// The music preview, a platform part: a track opened, played and stopped (SDL2_mixer on the
// program's audio output in the program, a recording double in the tests).
class MusicPreview {
public:
    virtual ~MusicPreview() = default;
    // Closes the track held before, then opens `path` and waits for the result; nothing plays.
    // Raises the library's error text ("Unknown error code" when it has none).
    virtual void open(const std::string& path) = 0;
    // Closes the track; does nothing when none is open.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
};
