#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/encoder.h"
#include "core/installed.h"
#include "core/music_preview.h"
#include "core/shell.h"

// In-process doubles of the platform parts. The test programs install one of each for their
// whole run (with a scripted speech engine and dialogs that answer without a person), so that no
// test reaches a real program, a sound device or a person unless it asks for one with the scopes
// below.

// Records every target instead of opening it.
class RecordingOpener final : public ShellOpener {
public:
    // Installed for the life of the object (the harness keeps one installed all the time).
    RecordingOpener() : install_(this) {}
    void open(const std::string& target) override { targets.push_back(target); }
    std::vector<std::string> targets;

private:
    Install<ShellOpener> install_;
};

// Records every call instead of starting a program; by default it "encodes" by writing one
// silent MPEG audio frame to the output (its last argument) and ends with exit code 0.
class RecordingEncoder final : public EncoderSpawner {
public:
    RecordingEncoder() : install_(this) {}
    EncoderOutcome run(const std::string& program, const std::vector<std::string>& arguments,
                       const EncoderLimits& limits) override;
    struct Call {
        std::string program;
        std::vector<std::string> arguments;
    };
    std::vector<Call> calls;
    // Instead of the default: what a call writes and how it ends.
    std::function<EncoderOutcome(const std::vector<std::string>& arguments)> behaviour;

private:
    std::mutex mutex_;
    Install<EncoderSpawner> install_;
};

// One silent MPEG-1 layer III frame (417 bytes).
std::string silentMp3Frame();

// A music preview that opens every file that exists and plays nothing.
class RecordingMusic final : public MusicPreview {
public:
    RecordingMusic() : install_(this) {}
    void open(const std::string& path) override;
    void close() override { open_ = playing_ = false; }
    bool isOpen() const override { return open_; }
    void play() override { playing_ = open_; }
    void stop() override { playing_ = false; }
    bool isPlaying() const override { return playing_; }
    std::vector<std::string> opened;

private:
    bool open_ = false, playing_ = false;
    Install<MusicPreview> install_;
};

// The real encoder spawner (posix_spawn and waitpid) for the life of the object.
class ProcessEncoder {
public:
    ProcessEncoder();
    ~ProcessEncoder();

private:
    std::unique_ptr<EncoderSpawner> spawner_;
    Install<EncoderSpawner> install_;
};

// The real opener of the desktop (`program` started detached) for the life of the object.
class RealOpener {
public:
    explicit RealOpener(const std::string& program);
    ~RealOpener();

private:
    std::unique_ptr<ShellOpener> opener_;
    Install<ShellOpener> install_;
};

// The real audio output on SDL (the "dummy" driver in the tests) with the voices of libespeak-ng
// and Flite as the speech engine, and the same output as the music preview, for the life of the
// object.
class RealSpeech {
public:
    RealSpeech();
    ~RealSpeech();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// The real music preview on SDL2_mixer (the "dummy" driver in the tests) for the life of the
// object.
class RealMusic {
public:
    RealMusic();
    ~RealMusic();

private:
    std::unique_ptr<class SdlAudio> audio_;
    Install<MusicPreview> install_;
};

// The parts the test programs install for their whole run; each test starts with them as new.
struct TestPlatform;
TestPlatform& testPlatform();
RecordingOpener& harnessOpener();
RecordingEncoder& harnessEncoder();
RecordingMusic& harnessMusic();
// Installs the doubles and keeps them fresh for each test; called once by the test programs.
void installTestPlatform();
