// Speech engine figures:
//  (a) synthesis speed, audio seconds per CPU second, for 100 mixed German and English phrases,
//      beside the espeak-ng command line (-w) on the same phrases;
//  (b) how closely viseme events follow the audio during an audible pass (SDL, or its dummy
//      driver without a sound device).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>

#include "core/text16.h"
#include "engine/SpeechLib_TLB.h"
#include "engine/audio_player.h"
#include "phrases.h"
#include "platform/espeak_synth.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

double childCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec +
           u.ru_stime.tv_usec / 1e6;
}

int run(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void synthesisSpeed() {
    const auto phrases = benchPhrases(100);
    renderSpeech("gmw/en", 175, 100, "warm up");

    double audio = 0;
    const double start = cpuSeconds();
    for (const auto& [voice, text] : phrases) {
        const Rendering r = renderSpeech(voice, 175, 100, text);
        audio += double(r.samples.size()) / r.sampleRate;
    }
    const double ours = cpuSeconds() - start;

    const std::string wav = (fs::temp_directory_path() / "parlomat-bench.wav").string();
    double cliAudio = 0;
    const double cliStart = childCpuSeconds();
    for (const auto& [voice, text] : phrases) {
        run({"espeak-ng", "-v", voice.substr(voice.find('/') + 1), "-w", wav, text});
        cliAudio += double(fs::file_size(wav) - 44) / 2 / 22050;
    }
    const double cli = childCpuSeconds() - cliStart;

    // The command line once for all phrases of each language, without its start-up per phrase.
    double onceAudio = 0;
    const double onceStart = childCpuSeconds();
    for (const char* language : {"de", "en"}) {
        const std::string textFile = wav + ".txt";
        std::ofstream list(textFile);
        for (const auto& [voice, text] : phrases)
            if (voice.ends_with(language)) list << text << "\n";
        list.close();
        run({"espeak-ng", "-v", language, "-w", wav, "-f", textFile});
        onceAudio += double(fs::file_size(wav) - 44) / 2 / 22050;
        fs::remove(textFile);
    }
    const double once = childCpuSeconds() - onceStart;
    fs::remove(wav);

    std::printf("(a) synthesis of 100 mixed German/English phrases (%.1f s of audio)\n", audio);
    std::printf(
        "    ours (phoneme events and visemes included): %.3f s CPU, %.1f audio s per CPU s\n",
        ours, audio / ours);
    std::printf(
        "    espeak-ng -w per phrase:                    %.3f s CPU, %.1f audio s per CPU s\n", cli,
        cliAudio / cli);
    std::printf(
        "    espeak-ng -w once per language:             %.3f s CPU, %.1f audio s per CPU s\n",
        once, onceAudio / once);
}

void visemeDelay() {
    QObject owner;
    TSpVoice voice(&owner);
    struct Event {
        int stream;
        qlonglong position;
        double at;
    };
    std::vector<Event> events;
    int ends = 0;
    voice.OnViseme = [&](QObject*, int stream, const QVariant& position, int, SpeechVisemeType,
                         SpeechVisemeFeature, SpeechVisemeType) {
        events.push_back({stream, position.toLongLong(), AudioPlayer::nowMs()});
    };
    voice.OnEndStream = [&](QObject*, int, const QVariant&) { ++ends; };
    const auto phrases = benchPhrases(6);
    for (const auto& [id, text] : phrases) voice.Speak(toUtf16(text), SVSFlagsAsync);
    const double cpuStart = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    while (ends < static_cast<int>(phrases.size()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double cpu = cpuSeconds() - cpuStart;

    // Each utterance starts when its first sample is heard; an event is due at that start plus
    // its position. The start is taken from the events themselves (the earliest they imply), so
    // the figures are the spread of the delivery against the audio clock.
    std::map<int, double> start;
    for (const Event& e : events) {
        const double implied = e.at - e.position / 2.0 / 22.05;
        if (!start.count(e.stream) || implied < start[e.stream]) start[e.stream] = implied;
    }
    std::vector<double> delays;
    for (const Event& e : events)
        delays.push_back(e.at - (start[e.stream] + e.position / 2.0 / 22.05));
    std::sort(delays.begin(), delays.end());
    const auto pct = [&](double p) { return delays[static_cast<size_t>(p * (delays.size() - 1))]; };
    std::printf(
        "(b) %zu viseme events over %.1f s of audible speech (audio driver %s)\n", events.size(),
        wall.elapsed() / 1000.0,
        qgetenv("SDL_AUDIODRIVER").isEmpty() ? "default" : qgetenv("SDL_AUDIODRIVER").constData());
    std::printf("    delivery after its audio position: median %.2f ms, p95 %.2f ms, max %.2f ms\n",
                pct(0.5), pct(0.95), delays.back());
    std::printf("    CPU time during the audible pass: %.3f s (%.1f %% of one core)\n", cpu,
                100.0 * cpu / (wall.elapsed() / 1000.0));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const RealPlatform platform;
    synthesisSpeed();
    visemeDelay();
    return 0;
}
