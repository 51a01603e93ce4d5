// Phrase audio figures:
//  (a) file pass plus encoding, per phrase, for 50 phrases, beside the shell pipeline
//      "espeak-ng -w" then "lame" on the same phrases;
//  (b) the CPU time of the program itself while "Generate Speech" runs (the audible passes, the
//      wait for their end), without the encoder's.
//
//   QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy generation_bench
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "SpeechLib_TLB.h"
#include "bench_workspace.h"
#include "encoder.h"
#include "layout.h"
#include "main.h"
#include "paths.h"
#include "phrases.h"
#include "platform.h"
#include "text16.h"

namespace fs = std::filesystem;

namespace {
double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
double selfCpu() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec +
           u.ru_stime.tv_usec / 1e6;
}
int shell(const std::string& command) {
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}
std::string quoted(const std::string& s) {
    std::string q = "'";
    for (const char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setFont(layout::windowFont());
    const RealPlatform platform;
    const BenchWorkspace workspace;
    const std::string& root = workspace.path();
    const auto phrases = benchPhrases(50);

    // (a) Ours: the engine's file stream and the encoder call, as a generation does them.
    {
        QObject owner;
        TSpVoice voice(&owner);
        TSpFileStream stream(&owner);
        const auto voices = voice.GetVoices();
        auto voiceFor = [&](const std::string& language) {
            for (int i = 0; i < voices->Count(); ++i)
                if (toUtf8(voices->Item(i)->GetAttribute(u"Language")) == language)
                    return voices->Item(i);
            return voices->Item(0);
        };
        const auto german = voiceFor("de"), english = voiceFor("en-gb");
        const double start = now();
        for (size_t i = 0; i < phrases.size(); ++i) {
            voice.setVoice(phrases[i].first == "gmw/de" ? german.get() : english.get());
            const std::string wav = root + "ours.wav",
                              mp3 = root + "ours" + std::to_string(i) + ".mp3";
            stream.Open(toUtf16(wav), SSFMCreateForWrite, true);
            voice.setAudioOutputStream(&stream);
            voice.Speak(toUtf16(phrases[i].second), SVSFlagsAsync);
            voice.WaitUntilDone(-1);
            stream.Close();
            voice.setAudioOutputStream(nullptr);
            makeProcessSpawner()->run("/usr/bin/lame", encoderArguments(root, wav, mp3),
                                      kEncoderTimeoutMs);
            fs::remove(wav);
        }
        const double ours = (now() - start) / phrases.size();

        const double shellStart = now();
        for (size_t i = 0; i < phrases.size(); ++i) {
            const std::string language = phrases[i].first == "gmw/de" ? "de" : "en";
            const std::string wav = root + "shell.wav",
                              mp3 = root + "shell" + std::to_string(i) + ".mp3";
            shell("espeak-ng -v " + language + " -w " + quoted(wav) + " " +
                  quoted(phrases[i].second) + " && lame " + quoted(wav) + " " + quoted(mp3) +
                  " >/dev/null 2>&1");
        }
        const double pipeline = (now() - shellStart) / phrases.size();
        std::printf("(a) file pass and encoding of 50 phrases, per phrase:\n");
        std::printf("    ours:                          %.1f ms\n", ours * 1000);
        std::printf("    espeak-ng -w, then lame:       %.1f ms\n", pipeline * 1000);
    }

    // (b) A real generation of five phrases, on the window.
    fs::create_directories(root + "flash/bots/bench");
    {
        std::ofstream list(root + "flash/bots/bench/phrases.txt", std::ios::binary);
        for (size_t i = 0; i < 5; ++i)
            list << "k" << i << "=" << phrases[i * 2 + 1].second << "\r\n";
    }
    fs::create_symlink("/usr/bin/lame", root + "lame.exe");
    setProgramFolderForTests(root);
    fs::current_path(root);
    {
        TfrmTextToSpeech frm;
        frm.show();
        const double cpu = selfCpu(), wall = now();
        QTest::mouseClick(frm.ButtonGenerateSpeech, Qt::LeftButton);
        const double usedCpu = selfCpu() - cpu, usedWall = now() - wall;
        std::printf("(b) \"Generate Speech\" for 5 phrases: %.1f s, status \"%s\"\n", usedWall,
                    frm.LabelStatus->text().toUtf8().constData());
        std::printf("    CPU of the program itself: %.3f s = %.1f %% of one core\n", usedCpu,
                    100.0 * usedCpu / usedWall);
    }
    setProgramFolderForTests({});
    return 0;
}
