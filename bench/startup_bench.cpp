// Time from process start to the main window shown, on a workspace of 1000 bots, 1000
// backgrounds and 1000 music tracks. The parent makes the workspace and starts itself as a child
// for each run; the child builds and shows the window and reports when it is exposed.
//
//   startup_bench [RUNS]      (set QT_QPA_PLATFORM=offscreen, or run under xvfb-run)
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_workspace.h"
#include "layout.h"
#include "main.h"
#include "paths.h"
#include "platform.h"

namespace fs = std::filesystem;

namespace {

double nowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int child(int argc, char** argv, const std::string& workspace) {
    QApplication application(argc, argv);
    QApplication::setFont(layout::windowFont());
    const RealPlatform platform;
    setProgramFolderForTests(workspace);
    fs::current_path(workspace);
    TfrmTextToSpeech frm;
    frm.show();
    while (!frm.windowHandle() || !frm.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    std::printf("%.3f %d\n", nowMs(), frm.ComboBoxBots->count());
    return 0;
}

void makeWorkspace(const std::string& root) {
    for (int i = 0; i < 1000; ++i) {
        const std::string bot = root + "flash/bots/bot" + std::to_string(i);
        fs::create_directory(bot);
        std::ofstream(bot + "/phrases.txt", std::ios::binary)
            << "=Hello! How can I help you?\r\nprice=Our prices are on the offers page.\r\n";
        std::ofstream(bot + "/vars.txt", std::ios::binary)
            << "hint=Enter your question&prompt=Your Question:&button=Ask";
        std::ofstream(root + "flash/backs/back" + std::to_string(i) + ".jpg");
        std::ofstream(root + "flash/music/track" + std::to_string(i) + ".mp3");
    }
    for (const char* name : {"Anna", "Ben", "Clara"})
        fs::create_directory(root + "flash/chars/" + name);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--child") return child(argc, argv, argv[2]);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const BenchWorkspace workspace;
    const std::string& root = workspace.path();
    makeWorkspace(root);

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        int out[2];
        if (::pipe(out) != 0) return 1;
        const double start = nowMs();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::execl("/proc/self/exe", argv[0], "--child", root.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(out[1]);
        char buffer[128] = {};
        const ssize_t n = ::read(out[0], buffer, sizeof buffer - 1);
        ::close(out[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        double shownAt = 0;
        int bots = 0;
        if (n <= 0 || std::sscanf(buffer, "%lf %d", &shownAt, &bots) != 2) {
            std::fprintf(stderr, "run %d failed\n", run);
            return 1;
        }
        times.push_back(shownAt - start);
        if (run == 0) std::printf("bots listed: %d\n", bots);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "process start to window shown, 1000 bots / backgrounds / tracks, %d runs "
        "(platform %s):\n  min %.1f ms, median %.1f ms, max %.1f ms (target < 300 ms)\n",
        runs,
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? "default" : qgetenv("QT_QPA_PLATFORM").constData(),
        times.front(), times[times.size() / 2], times.back());
    return 0;
}
