#include "core/encoder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "core/errors.h"
#include "core/fileio.h"
#include "core/mp3_check.h"

std::string encoderProgram(const std::string& programFolder) {
    return programFolder + "lame.exe";
}

std::vector<std::string> encoderArguments(const std::string& programFolder, const std::string& wav,
                                          const std::string& mp3) {
    // The program folder enters the encoder's own name with at most 255 characters.
    return {programFolder.substr(0, 255) + "lame.exe", wav, mp3};
}

namespace {
struct timespec modifiedTime(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return {0, 0};
    return st.st_mtim;
}
// Hours of speech at the encoder's highest bit rate.
constexpr long long kLargestMp3 = 256LL << 20;
// A WAV file of the speech engine that holds no sample is its header alone.
constexpr long long kWavHeaderBytes = 44;
}  // namespace

EncoderOutcome encodeMp3File(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& mp3, const EncoderLimits& limits) {
    clearForNewFile(mp3);  // the encoder writes through whatever stands at the path
    const struct timespec before = modifiedTime(mp3);
    EncoderSpawner* spawner = Installed<EncoderSpawner>::get();
    EncoderOutcome outcome;
    if (spawner)
        outcome = spawner->run(program, arguments, limits);
    else
        outcome.startError = ENOSYS;
    outcome.program = program;
    if (!outcome.started) return outcome;
    const struct timespec after = modifiedTime(mp3);
    outcome.wroteFile =
        after.tv_sec != 0 && (after.tv_sec != before.tv_sec || after.tv_nsec != before.tv_nsec);
    if (!outcome.wroteFile) return outcome;
    if (!outcome.killed) {
        try {
            struct stat st {};
            // A file larger than the speech of any phrase is not read whole to be judged.
            if (::lstat(mp3.c_str(), &st) == 0 && st.st_size > kLargestMp3)
                outcome.invalid =
                    format("it is larger than the speech of a phrase can be (%lld bytes)",
                           static_cast<long long>(st.st_size));
            else
                outcome.invalid = mp3Problem(ReadFileText(mp3));
            // From a WAV file of no samples (a phrase of only blanks), the encoder makes frames
            // of padding alone, which some decoders refuse and none plays as speech.
            struct stat wav {};
            if (outcome.invalid.empty() && arguments.size() == 3 &&
                ::lstat(arguments[1].c_str(), &wav) == 0 && S_ISREG(wav.st_mode) &&
                wav.st_size <= kWavHeaderBytes)
                outcome.invalid = "it holds no sound: the phrase gave no speech";
        } catch (const std::exception& error) {
            outcome.invalid = error.what();
        }
    }
    if (outcome.killed || !outcome.invalid.empty()) ::unlink(mp3.c_str());
    return outcome;
}

std::string encoderFailureMessage(const std::vector<EncoderOutcome>& outcomes, int phrases) {
    std::map<std::string, int> reasons;
    std::map<int, int> notes;  // made although the exit code was not 0: count by exit code
    size_t failed = 0;
    for (const EncoderOutcome& o : outcomes) {
        if (o.made()) {
            if (o.exitCode != 0) ++notes[o.exitCode];
            continue;
        }
        ++failed;
        const std::string ended =
            o.exitCode == 0 ? std::string("the encoder")
                            : format("the encoder ended with exit code %d and", o.exitCode);
        std::string reason;
        if (!o.started && o.startError == ENOENT)
            reason = format("the encoder \"%s\" was not found", o.program.c_str());
        else if (!o.started)
            reason = format("the encoder \"%s\" could not be started (%s)", o.program.c_str(),
                            systemErrorText(o.startError).c_str());
        else if (o.stopped)
            reason = format(
                "the encoder did not finish within %d seconds of the stop and was "
                "stopped",
                kEncoderStopGraceMs / 1000);
        else if (o.killed)
            reason = "the encoder did not finish within 10 minutes and was stopped";
        else if (!o.wroteFile)
            reason = ended + " wrote no MP3 file";
        else
            reason = format("%s wrote a file that is not MP3 audio (%s); it was removed",
                            ended.c_str(), o.invalid.c_str());
        ++reasons[reason];
    }
    std::string message = format("%zu of %d phrases have no new MP3 file:", failed, phrases);
    for (const auto& [reason, count] : reasons)
        message += format("\n%d: %s.", count, reason.c_str());
    for (const auto& [code, count] : notes)
        message += format(
            "\nNote: %d phrases have their new MP3 file, although the encoder ended "
            "with exit code %d.",
            count, code);
    return message;
}
