// Makes a workspace with a bot that the real pipeline generated (libespeak-ng, the LAME encoder)
// and the test pages for the browser tests of the HTML5 player:
//   flash/tts.html        the test page with the HTML5 player ("Test" with the box checked)
//   flash/flash-only.html the test page without it
//   flash/embed-code.txt  the embed code that the Publish page shows
//
//   make_web_bot STAGED_WORKSPACE NEW_WORKSPACE
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/dialogs.h"
#include "core/embed_code.h"
#include "core/paths.h"
#include "core/shell.h"
#include "gui/errorreport.h"
#include "gui/layout.h"
#include "gui/main.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string staged = fs::path(argv[1]).string() + "/";
    const std::string root = fs::path(argv[2]).string() + "/";
    const std::string bot = "Büro & Co";
    fs::create_directories(root + "flash/bots/" + bot);
    for (const char* part : {"res", "flash/chars", "flash/backs", "flash/music", "flash/tts.js"})
        fs::copy(staged + part, root + part, fs::copy_options::recursive);
    fs::create_symlink("/usr/bin/lame", root + "lame.exe");
    std::ofstream(root + "flash/bots/" + bot + "/phrases.txt", std::ios::binary)
        << "=Hallo! Ich bin der Bot vom Büro.\r\n"
           "Preis Kosten=Unsere Preise finden Sie auf der Seite Angebote.\r\n"
           "Support Hilfe=Wir helfen Ihnen gern weiter.\r\n";
    std::ofstream(root + "flash/bots/" + bot + "/vars.txt", std::ios::binary)
        << "hint=Fragen Sie nach Preisen oder Hilfe&prompt=Ihre Frage:&button=Fragen"
           "&char=Anna&back=garden.jpg&music=calm.mp3";

    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    QApplication application(argc, argv);
    layout::applyApplicationLook();
    setProgramFolderForTests(root);
    fs::current_path(root);
    // The real engine and encoder; "Test" opens nothing.
    const RealPlatform platform;
    ReportQueue reports;
    struct Quiet final : ShellOpener {
        void open(const std::string&) override {}
    } quiet;
    const Install<ShellOpener> noOpener(&quiet);
    // Every box the window would show is written out instead, and fails the tool: a box of Qt's
    // would wait for a person who is not there.
    struct Recorded final : Dialogs {
        std::vector<std::string> shown;
        void showMessage(Kind, const std::string& text) override { shown.push_back(text); }
        void showErrorReport(const std::string& text) override { shown.push_back(text); }
        void showApplicationError(const std::string& text) override { shown.push_back(text); }
        bool inputQuery(const std::string&, const std::string&, std::string&, int) override {
            return false;
        }
    } boxes;
    const Install<Dialogs> noBoxes(&boxes);
    const auto boxesShown = [&] {
        showQueuedReports();
        for (const std::string& text : boxes.shown) std::fprintf(stderr, "box: %s\n", text.c_str());
        return !boxes.shown.empty();
    };
    TfrmTextToSpeech frm;
    if (boxesShown() || frm.botName() != bot) {
        std::fprintf(stderr, "the bot was not selected\n");
        return 1;
    }
    QTest::mouseClick(frm.ButtonGenerateSpeech, Qt::LeftButton);
    if (boxesShown() || frm.LabelStatus->text() != "Completed!") {
        std::fprintf(stderr, "generation: %s\n", frm.LabelStatus->text().toUtf8().constData());
        return 1;
    }
    if (!frm.CheckBoxHtml5Player->isChecked()) {
        std::fprintf(stderr, "the HTML5 player is not ticked by default\n");
        return 1;
    }
    frm.CheckBoxHtml5Player->click();
    QTest::mouseClick(frm.ButtonTest, Qt::LeftButton);  // the page for Flash only
    fs::rename(root + "flash/tts.html", root + "flash/flash-only.html");
    frm.CheckBoxHtml5Player->click();
    QTest::mouseClick(frm.ButtonTest, Qt::LeftButton);
    // The embed code as a user copies it from the Publish page, for pages of a web site.
    std::ofstream(root + "flash/embed-code.txt", std::ios::binary)
        << frm.RichEditHtml->toPlainText().toStdString();
    if (boxesShown()) return 1;
    std::printf("%s\n", root.c_str());
    return 0;
}
