#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "core/installed.h"

// The MP3 encoder: the program folder's lame.exe, started by its full path (never one of the
// working folder or the search path), with its own name, the WAV path and the MP3 path as its
// arguments, and nothing on its standard input and outputs.

// The encoder that runs: the program folder followed by "lame.exe", whole.
std::string encoderProgram(const std::string& programFolder);

// The arguments the encoder gets: the program folder (cut to its first 255 characters) followed
// by "lame.exe", the WAV path, the MP3 path.
std::vector<std::string> encoderArguments(const std::string& programFolder, const std::string& wav,
                                          const std::string& mp3);

struct EncoderOutcome {
    std::string program;  // the encoder that was to run
    bool started = false;
    int startError = 0;     // errno when it could not be started
    int exitCode = 0;       // when it ended by itself
    bool killed = false;    // it did not end in time and was stopped
    bool stopped = false;   // killed because it did not end soon after the generation stopped
    bool wroteFile = true;  // a new file stands at the MP3 path
    std::string invalid;    // why the new file is not MP3 audio; empty when it is
    // The phrase has its new MP3 file. An exit code other than 0 does not undo a valid file.
    bool made() const { return started && !killed && wroteFile && invalid.empty(); }
};

// How long the encoder may take for one phrase before it is given up.
inline constexpr int kEncoderTimeoutMs = 10 * 60 * 1000;
// How long it may still take once the generation stops (Stop, or the window closing).
inline constexpr int kEncoderStopGraceMs = 3000;

// How long an encoder run may take: `timeoutMs` in all and, once `stop` is set, `graceMs` more at
// the most.
struct EncoderLimits {
    int timeoutMs = kEncoderTimeoutMs;
    const std::atomic<bool>* stop = nullptr;
    int graceMs = kEncoderStopGraceMs;
};

// What starts the encoder and waits for it, a platform part: posix_spawn and waitpid in the
// program, an in-process double in the tests.
class EncoderSpawner {
public:
    virtual ~EncoderSpawner() = default;
    // Starts `program` with `arguments` (its own name first) and waits for its end within the
    // limits (past them it is killed). Processes no events while waiting; may run on a thread
    // of its own.
    virtual EncoderOutcome run(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const EncoderLimits& limits) = 0;
};

// Runs the encoder with the spawner installed and judges what it left at `mp3`: a file that is new
// (its modification time changed) and MP3 audio (mp3Problem) is made; a new file that is not MP3
// audio, or that an encoder stopped for taking too long left behind, is removed, so that no
// player plays it.
EncoderOutcome encodeMp3File(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& mp3, const EncoderLimits& limits = {});

// The warning for phrases without a new MP3 file: how many, and why; phrases whose MP3 file was
// made although the encoder ended with an exit code other than 0 are noted after them.
std::string encoderFailureMessage(const std::vector<EncoderOutcome>& outcomes, int phrases);
