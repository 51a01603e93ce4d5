// Time from process start to the main window shown, on workspaces of 1000 and 10,000 bots,
// backgrounds and music tracks, beside an empty Qt Widgets window (bench/empty_window.cpp). The
// parent makes the workspace and starts itself as a child for each run; the child builds and
// shows the window and reports when it is exposed.
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
#include "core/paths.h"
#include "gui/errorreport.h"
#include "gui/layout.h"
#include "gui/main.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

double nowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int child(int argc, char** argv, const std::string& workspace) {
    QApplication application(argc, argv);
    layout::applyApplicationLook();
    const RealPlatform platform;
    ReportQueue reports;
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

void makeWorkspace(const std::string& root, int size) {
    for (int i = 0; i < size; ++i) {
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

// The time from the start of `program` (with `args`) to the moment its window is exposed.
double timeStart(const std::string& program, const std::vector<std::string>& args, int* bots) {
    int out[2];
    if (::pipe(out) != 0) std::exit(1);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const double start = nowMs();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    char buffer[128] = {};
    const ssize_t n = ::read(out[0], buffer, sizeof buffer - 1);
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    double shownAt = 0;
    if (n <= 0 || std::sscanf(buffer, "%lf %d", &shownAt, bots) != 2) {
        std::fprintf(stderr, "%s failed\n", program.c_str());
        std::exit(1);
    }
    return shownAt - start;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--child") return child(argc, argv, argv[2]);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::string self = executablePath();
    const std::string empty = folderOf(self) + "empty_window";
    std::printf(
        "process start to window shown, %d runs each, ours and an empty Qt window taking "
        "turns (platform %s):\n",
        runs,
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? "default" : qgetenv("QT_QPA_PLATFORM").constData());
    for (const int size : {1000, 10000}) {
        const BenchWorkspace workspace;
        const std::string& root = workspace.path();
        makeWorkspace(root, size);
        std::vector<double> ours, peer;
        int bots = 0, none = 0;
        for (int run = 0; run < runs; ++run) {
            ours.push_back(timeStart(self, {self, "--child", root}, &bots));
            peer.push_back(timeStart(empty, {empty}, &none));
        }
        std::printf(
            "  %5d bots, backgrounds and tracks (%d listed): ours min %.1f ms, median "
            "%.1f ms; empty window min %.1f ms, median %.1f ms; ratio %.2f (target %s)\n",
            size, bots, *std::min_element(ours.begin(), ours.end()), median(ours),
            *std::min_element(peer.begin(), peer.end()), median(peer), median(ours) / median(peer),
            size <= 1000 ? "1.5" : "2");
    }
    return 0;
}
