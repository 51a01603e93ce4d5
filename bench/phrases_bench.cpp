// Phrase list figures on a bot of 10,000 entries: the time to select the bot (read, decode,
// fill the grid) and the time of one keystroke in a cell (apply, encode, write the file).
//
//   QT_QPA_PLATFORM=offscreen phrases_bench
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "bench_workspace.h"
#include "layout.h"
#include "main.h"
#include "paths.h"
#include "platform.h"
#include "value_list_editor.h"

namespace fs = std::filesystem;

namespace {
double ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}
void summary(const char* what, std::vector<double> t, double target) {
    std::sort(t.begin(), t.end());
    std::printf("%s: median %.2f ms, max %.2f ms over %zu runs (target < %.0f ms)\n", what,
                t[t.size() / 2], t.back(), t.size(), target);
}
}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    layout::applyApplicationLook();
    const RealPlatform platform;
    const BenchWorkspace workspace;
    const std::string& root = workspace.path();
    for (const char* folder : {"flash/bots/big", "flash/bots/small"})
        fs::create_directories(root + folder);
    {
        std::ofstream big(root + "flash/bots/big/phrases.txt", std::ios::binary);
        for (int i = 0; i < 10000; ++i)
            big << "Schlüssel" << i << " Frage=Das ist die Antwort Nummer " << i
                << ", mit Umlauten äöü und einem Euro €.\r\n";
    }
    std::ofstream(root + "flash/bots/small/phrases.txt", std::ios::binary) << "a=b\r\n";
    setProgramFolderForTests(root);
    fs::current_path(root);

    TfrmTextToSpeech frm;
    frm.show();
    const int big = frm.ComboBoxBots->findText("big");
    const int small = frm.ComboBoxBots->findText("small");
    std::vector<double> selects;
    for (int run = 0; run < 15; ++run) {
        frm.ComboBoxBots->setCurrentIndex(small);
        frm.ComboBoxBotsChange(frm.ComboBoxBots);
        frm.ComboBoxBots->setCurrentIndex(big);
        const auto start = std::chrono::steady_clock::now();
        frm.ComboBoxBotsChange(frm.ComboBoxBots);
        QApplication::processEvents();
        selects.push_back(ms(std::chrono::steady_clock::now() - start));
    }
    std::printf("entries in the grid: %d\n", frm.ValueListEditor1->count());
    summary("select a bot of 10,000 entries", selects, 150);

    ValueListEditor* grid = frm.ValueListEditor1;
    grid->setCurrentIndex(grid->model()->index(5000, 1));
    grid->edit(grid->currentIndex());
    QLineEdit* editor = grid->cellEditor();
    std::vector<double> keys;
    for (int i = 0; i < 50; ++i) {
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(editor, static_cast<char>('a' + i % 26));
        keys.push_back(ms(std::chrono::steady_clock::now() - start));
    }
    summary("one keystroke in a cell, with the write of the whole list", keys, 15);
    std::printf("file size: %ju bytes\n",
                static_cast<uintmax_t>(fs::file_size(root + "flash/bots/big/phrases.txt")));
    setProgramFolderForTests({});
    return 0;
}
