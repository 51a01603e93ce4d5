// Phrase audio figures, side by side with the same tools on the command line, in one run:
//  (a) a generation without the audible pass: the whole generation in the window, per phrase,
//      beside the best two-core pipeline of the same tools (one espeak-ng process for all the
//      phrases, then lame on the phrases' WAV files, two at a time);
//  (b) a generation with the audible pass: its wall clock beside the length of its speech;
//  (c) the CPU time the program uses while idle after speech has been heard.
//
//   QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy generation_bench [phrases [aloud [runs]]]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "bench_workspace.h"
#include "core/paths.h"
#include "gui/errorreport.h"
#include "gui/layout.h"
#include "gui/main.h"
#include "phrases.h"
#include "platform/espeak_synth.h"
#include "platform/platform.h"

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
std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (const char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
double minimum(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// A bot "bench" of these phrases, English ones (the window's voice is English).
void writeBot(const std::string& root, const std::vector<std::string>& phrases) {
    fs::remove_all(root + "flash/bots/bench");
    fs::create_directories(root + "flash/bots/bench");
    std::ofstream list(root + "flash/bots/bench/phrases.txt", std::ios::binary);
    for (size_t i = 0; i < phrases.size(); ++i) list << "k" << i << "=" << phrases[i] << "\r\n";
}

// One generation in the window; its wall clock in seconds.
double generate(bool aloud, std::string* status = nullptr) {
    TfrmTextToSpeech frm;
    frm.show();
    if (frm.CheckBoxSpeakAloud->isChecked() != aloud) frm.CheckBoxSpeakAloud->click();
    const double start = now();
    QTest::mouseClick(frm.ButtonGenerateSpeech, Qt::LeftButton);
    const double used = now() - start;
    if (status) *status = frm.LabelStatus->text().toStdString();
    return used;
}
}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    layout::applyApplicationLook();
    const RealPlatform platform;
    ReportQueue reports;
    const BenchWorkspace workspace;
    const std::string& root = workspace.path();
    const size_t count = argc > 1 ? std::stoul(argv[1]) : 200;
    const size_t aloudCount = argc > 2 ? std::stoul(argv[2]) : 20;
    const int runs = argc > 3 ? std::stoi(argv[3]) : 3;
    std::vector<std::string> phrases;
    for (const auto& p : benchPhrases(2 * count))
        if (p.first == "gmw/en") phrases.push_back(p.second);
    phrases.resize(count);

    fs::create_symlink("/usr/bin/lame", root + "lame.exe");
    setProgramFolderForTests(root);
    fs::current_path(root);

    // (a) Without the audible pass. The peer's WAV files are made beforehand: only its
    // synthesis (one process for all phrases) and its encoding (two at a time) are timed.
    const std::string peer = root + "peer/";
    fs::create_directories(peer);
    {
        std::ofstream all(peer + "all.txt");
        for (const auto& p : phrases) all << p << "\n";
    }
    for (size_t i = 0; i < phrases.size(); ++i)
        shell("espeak-ng -v en-us -w " + shellQuoted(peer + std::to_string(i) + ".wav") + " " +
              shellQuoted(phrases[i]));
    std::vector<double> ours, theirs;
    std::string status;
    for (int run = 0; run < runs; ++run) {
        writeBot(root, phrases);
        ours.push_back(generate(false, &status) / count);
        const double start = now();
        shell("espeak-ng -v en-us -w " + shellQuoted(peer + "all.wav") + " -f " +
              shellQuoted(peer + "all.txt"));
        shell("cd " + shellQuoted(peer) +
              " && ls [0-9]*.wav | xargs -P 2 -I{} lame --quiet {} {}.mp3");
        theirs.push_back((now() - start) / count);
    }
    std::printf("(a) %zu phrases without the audible pass (status \"%s\"), per phrase, %d runs:\n",
                count, status.c_str(), runs);
    std::printf("    ours, the whole generation:     min %.1f ms, median %.1f ms\n",
                minimum(ours) * 1000, median(ours) * 1000);
    std::printf("    espeak-ng once, lame on 2 cores: min %.1f ms, median %.1f ms\n",
                minimum(theirs) * 1000, median(theirs) * 1000);
    std::printf("    ratio of the medians: %.2f (target at most 0.70)\n",
                median(ours) / median(theirs));

    // Where the time of one phrase goes: its file pass, and one encoder run.
    {
        const double s0 = now();
        for (const auto& p : phrases) renderSpeech("gmw/en-US", 175, 100, p);
        const double synth = (now() - s0) / count;
        const double l0 = now();
        for (size_t i = 0; i < std::min<size_t>(count, 40); ++i)
            shell("lame --quiet " + shellQuoted(peer + std::to_string(i) + ".wav") + " " +
                  shellQuoted(peer + "x.mp3"));
        const double lame = (now() - l0) / std::min<size_t>(count, 40);
        std::printf(
            "    one phrase's synthesis %.1f ms, one encoder process %.1f ms (of which "
            "two run at a time)\n",
            synth * 1000, lame * 1000);
    }

    // (b) With the audible pass: the wall clock beside the length of the speech.
    std::vector<std::string> aloud(phrases.begin(), phrases.begin() + std::min(aloudCount, count));
    double speech = 0;
    for (const auto& p : aloud) {
        const Rendering r = renderSpeech("gmw/en-US", 175, 100, p);
        speech += static_cast<double>(r.samples.size()) / r.sampleRate;
    }
    writeBot(root, aloud);
    const double cpu = selfCpu();
    const double wall = generate(true, &status);
    const double usedCpu = selfCpu() - cpu;
    std::printf("(b) %zu phrases with the audible pass (status \"%s\"):\n", aloud.size(),
                status.c_str());
    std::printf(
        "    wall clock %.2f s, speech %.2f s: ratio %.3f (target at most 1.03), %.0f ms a "
        "phrase beyond its speech\n",
        wall, speech, wall / speech, 1000 * (wall - speech) / aloud.size());
    std::printf("    CPU of the program itself: %.1f %% of one core\n", 100.0 * usedCpu / wall);

    // (c) Idle after speech: the audio output rests.
    {
        TfrmTextToSpeech frm;
        frm.show();
        QTest::mouseClick(frm.ButtonPlay, Qt::LeftButton);
        const auto idleFor = [](int ms) {
            QEventLoop loop;
            QTimer::singleShot(ms, &loop, &QEventLoop::quit);
            loop.exec();
        };
        idleFor(4000);  // the preview is heard
        const double idle0 = selfCpu(), t0 = now();
        idleFor(5000);
        std::printf("(c) idle after speech, 5 s: %.2f %% of one core\n",
                    100.0 * (selfCpu() - idle0) / (now() - t0));
    }
    setProgramFolderForTests({});
    return 0;
}
