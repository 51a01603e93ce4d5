#pragma once

#include <memory>

// The platform parts the program runs with, chosen here and nowhere else:
//   speech engine    the voices of libespeak-ng (espeak_synth), then those of Flite
//                    (flite_synth), spoken through
//   audio output     SDL2_mixer's device, which the music preview shares (sdl_audio)
//   music preview    the same device (sdl_audio)
//   shell opener     xdg-open, started detached (detached_opener)
//   encoder spawner  posix_spawn and waitpid of the program folder's lame.exe (process_spawner)
//   dialogs          Qt's message boxes and input dialog (qt_dialogs)
// Each is reached through its small interface (core/installed.h); the tests install in-process
// doubles of all of them instead (tests/support/test_platform.h).
class RealPlatform {
public:
    // Makes the parts and installs them; they stay installed for the life of the object.
    RealPlatform();
    ~RealPlatform();
    RealPlatform(const RealPlatform&) = delete;
    RealPlatform& operator=(const RealPlatform&) = delete;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
