// Phrase list figures: the time to select a bot of 10,000 entries (read, decode, fill the grid),
// and one keystroke in a cell of a bot of 100,000 entries (apply, encode, write the whole file)
// beside one plain write of the same bytes, taking turns.
//
//   QT_QPA_PLATFORM=offscreen phrases_bench
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "bench_workspace.h"
#include "core/paths.h"
#include "gui/errorreport.h"
#include "gui/layout.h"
#include "gui/main.h"
#include "gui/value_list_editor.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {
double ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}
double median(std::vector<double> t) {
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}
void writeList(const std::string& path, int entries) {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < entries; ++i)
        out << "Schlüssel" << i << " Frage=Das ist die Antwort Nummer " << i
            << ", mit Umlauten äöü und einem Euro €.\r\n";
}
std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
// One plain write of the bytes: create or truncate, write, close.
void plainWrite(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    ::close(fd);
}
void select(TfrmTextToSpeech& frm, const char* bot) {
    frm.ComboBoxBots->setCurrentIndex(frm.ComboBoxBots->findText(bot));
    frm.ComboBoxBotsChange(frm.ComboBoxBots);
    QApplication::processEvents();
}
}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    layout::applyApplicationLook();
    const RealPlatform platform;
    ReportQueue reports;
    const BenchWorkspace workspace;
    const std::string& root = workspace.path();
    for (const char* folder : {"flash/bots/big", "flash/bots/huge", "flash/bots/small"})
        fs::create_directories(root + folder);
    writeList(root + "flash/bots/big/phrases.txt", 10000);
    writeList(root + "flash/bots/huge/phrases.txt", 100000);
    std::ofstream(root + "flash/bots/small/phrases.txt", std::ios::binary) << "a=b\r\n";
    setProgramFolderForTests(root);
    fs::current_path(root);

    TfrmTextToSpeech frm;
    frm.show();
    std::vector<double> selects;
    for (int run = 0; run < 15; ++run) {
        select(frm, "small");
        const auto start = std::chrono::steady_clock::now();
        select(frm, "big");
        selects.push_back(ms(std::chrono::steady_clock::now() - start));
    }
    std::printf(
        "select a bot of 10,000 entries: median %.2f ms, max %.2f ms over %zu runs "
        "(target < 150 ms)\n",
        median(selects), *std::max_element(selects.begin(), selects.end()), selects.size());

    select(frm, "huge");
    ValueListEditor* grid = frm.ValueListEditor1;
    grid->setCurrentIndex(grid->model()->index(50000, 1));
    grid->edit(grid->currentIndex());
    QLineEdit* editor = grid->cellEditor();
    const std::string list = root + "flash/bots/huge/phrases.txt";
    std::vector<double> keys, plain;
    for (int i = 0; i < 40; ++i) {
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(editor, static_cast<char>('a' + i % 26));
        keys.push_back(ms(std::chrono::steady_clock::now() - start));
        const std::string bytes = readFile(list);
        const auto plainStart = std::chrono::steady_clock::now();
        plainWrite(root + "plain.txt", bytes);
        plain.push_back(ms(std::chrono::steady_clock::now() - plainStart));
        QApplication::processEvents();  // what the keystroke leaves for later (the marks)
    }
    std::printf(
        "one keystroke in a cell of 100,000 entries, with the write of the list (%ju "
        "bytes):\n  ours min %.2f ms, median %.2f ms; a plain write min %.2f ms, median "
        "%.2f ms; ratio %.2f (target at most 3)\n",
        static_cast<uintmax_t>(fs::file_size(list)), *std::min_element(keys.begin(), keys.end()),
        median(keys), *std::min_element(plain.begin(), plain.end()), median(plain),
        median(keys) / median(plain));
    setProgramFolderForTests({});
    return 0;
}
