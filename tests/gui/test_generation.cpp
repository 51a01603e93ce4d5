// "Generate Speech", "Play preview" and the MP3 encoder.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "core/encoder.h"
#include "engine/SpeechLib_TLB.h"
#include "gui/generation.h"
#include "gui/main.h"
#include "gui/value_list_editor.h"
#include "tests/support/scripted_engine.h"
#include "tests/support/support.h"
#include "tests/support/test_platform.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> traces;
void keepTrace(const std::string& text) {
    traces.push_back(text);
}

struct Generation : ::testing::Test {
    ScriptedEngineScope engine;
    TempWorkspace workspace{"work space ü/"};
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmTextToSpeech> frm;

    Generation() { traces.clear(); }

    void start(const std::string& phrases, const std::string& bot = "Mein \"Bot\"") {
        workspace.addBot(bot);
        writeFile(workspace.bot(bot) + "phrases.txt", phrases);
        frm = std::make_unique<TfrmTextToSpeech>(&keepTrace);
        frm->show();
        frm->PageControl1->setCurrentIndex(2);
        traces.clear();
    }
    std::string file(const std::string& name) const { return workspace.bot(frm->botName()) + name; }
    void generate() { QTest::mouseClick(frm->ButtonGenerateSpeech, Qt::LeftButton); }
    std::vector<QWidget*> sixControls() const {
        return {frm->ButtonGenerateSpeech, frm->ComboBoxBots,       frm->ButtonAdd,
                frm->ButtonAddPhrase,      frm->ButtonDeletePhrase, frm->ButtonTest};
    }
    bool allEnabled() const {
        for (QWidget* w : sixControls())
            if (!w->isEnabled()) return false;
        return true;
    }
    std::vector<std::u16string> spoken(bool toFile) const {
        std::vector<std::u16string> texts;
        for (const auto& r : engine.engine->requests)
            if ((r.output != nullptr) == toFile) texts.push_back(r.text);
        return texts;
    }
};

}  // namespace

TEST_F(Generation, TheStatusControlsAreLaidOut) {
    start("");
    EXPECT_EQ(frm->Label15->text(), "Click on the button to generate the bot's speech!");
    EXPECT_TRUE(frm->LabelStatusText->isHidden());
    EXPECT_EQ(frm->LabelStatus->text(), "");
}

TEST_F(Generation, AnEmptyListWritesNothingAndCompletes) {
    start("");
    generate();
    EXPECT_EQ(frm->LabelStatus->text(), "Completed!");
    EXPECT_FALSE(frm->LabelStatusText->isHidden());
    EXPECT_TRUE(allEnabled());
    EXPECT_TRUE(engine.engine->requests.empty());
    // The bot folder holds its phrase list alone.
    EXPECT_EQ(std::distance(fs::directory_iterator(workspace.bot(frm->botName())),
                            fs::directory_iterator()),
              1);
}

TEST_F(Generation, EachPhraseIsRenderedEncodedAndSpokenInOrder) {
    start("a= \tHallo Welt \r\n\r\nOhne Gleichheitszeichen\r\n");
    writeFile(file("1.txt"), "old log\r\n");
    writeFile(file("7.mp3"), "older");
    generate();
    EXPECT_EQ(frm->LabelStatus->text(), "Completed!");
    EXPECT_TRUE(allEnabled());
    // Trimmed for the generation; an empty phrase is spoken as empty text.
    EXPECT_EQ(spoken(true),
              (std::vector<std::u16string>{u"Hallo Welt", u"", u"Ohne Gleichheitszeichen"}));
    EXPECT_EQ(spoken(false), spoken(true));
    for (int n = 0; n < 3; ++n) {
        EXPECT_TRUE(exists(file(std::to_string(n) + ".mp3"))) << n;
        EXPECT_FALSE(exists(file(std::to_string(n) + ".wav"))) << n;
        EXPECT_EQ(readFile(file(std::to_string(n) + ".txt")), "") << n;
    }
    EXPECT_EQ(readFile(file("7.mp3")), "older");  // rows beyond the list stay
    // The program folder's encoder got its own name and the two paths, blanks kept, while each
    // WAV file was there.
    const auto& calls = harnessEncoder().calls;
    ASSERT_EQ(calls.size(), 3u);
    for (int n = 0; n < 3; ++n) {
        const std::string base = workspace.bot(frm->botName()) + std::to_string(n);
        EXPECT_EQ(calls[n].program, workspace.path() + "lame.exe");
        EXPECT_EQ(calls[n].arguments, (std::vector<std::string>{workspace.path() + "lame.exe",
                                                                base + ".wav", base + ".mp3"}));
    }
    const std::vector<std::string> one = {"Speech", "Generate MP3", "exit code=0", "Visemes",
                                          "Done"};
    std::vector<std::string> expected = {"Generate: Hallo Welt"};
    expected.insert(expected.end(), one.begin(), one.end());
    expected.push_back("Generate: ");
    expected.insert(expected.end(), one.begin(), one.end());
    expected.push_back("Generate: Ohne Gleichheitszeichen");
    expected.insert(expected.end(), one.begin(), one.end());
    EXPECT_EQ(traces, expected);
    EXPECT_EQ(frm->SpeechGeneration1->VisemeLogPath,
              file("2.txt"));  // still names the last phrase's log
    EXPECT_EQ(frm->SpVoice->AudioOutputStream(), nullptr);
}

TEST_F(Generation, PlayPreviewSpeaksTheSelectedPhraseUntrimmedAndLogsNothing) {
    start("a= \tHallo \r\nOhne\r\n");
    frm->SpeechGeneration1->VisemeLogPath = "/somewhere/0.txt";
    frm->ValueListEditor1->setRow(1);
    QTest::mouseClick(frm->ButtonPlay, Qt::LeftButton);
    frm->ValueListEditor1->setRow(2);
    QTest::mouseClick(frm->ButtonPlay, Qt::LeftButton);
    EXPECT_EQ(spoken(false), (std::vector<std::u16string>{u" \tHallo ", u"Ohne"}));
    EXPECT_EQ(frm->SpeechGeneration1->VisemeLogPath, "");
    EXPECT_TRUE(spoken(true).empty());
}

TEST_F(Generation, PlayPreviewOnAnEmptyListIsAnIndexError) {
    start("");
    QTest::mouseClick(frm->ButtonPlay, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown(), std::vector<std::string>{"Error: List index out of bounds (0)"});
    EXPECT_TRUE(engine.engine->requests.empty());
}

TEST_F(Generation, OnlyTheEventsOfAPhrasesAudiblePassEndItsWaitAndReachItsLog) {
    start("=one\r\n=two\r\n");
    engine.engine->endAudibleAtOnce = false;
    engine.engine->endFilePassInWait = true;  // each file pass ends with an event of its own
    QTest::mouseClick(frm->ButtonPlay, Qt::LeftButton);  // stream 1, still being heard
    // Streams: phrase 0's file pass 2 and audible pass 3, phrase 1's 4 and 5. The preview ends
    // while phrase 0 is heard; each audible pass ends a moment after it began.
    int step = 0;
    QTimer pump;
    QObject::connect(&pump, &QTimer::timeout, [&] {
        if (step == 0 && frm->SpeechGeneration1->AloudStream == 3) {
            engine.engine->viseme(7, 40, 1);
            engine.engine->endStream(1);
            step = 1;
        } else if (step == 1 && frm->SpeechGeneration1->AloudStream == 3) {
            engine.engine->viseme(11, 120, 3);
            engine.engine->endStream(3);
            step = 2;
        } else if (step == 2 && frm->SpeechGeneration1->AloudStream == 5) {
            engine.engine->viseme(2, 60, 5);
            engine.engine->endStream(5);
            step = 3;
        }
    });
    pump.start(20);
    bool rescued = false;
    QTimer rescue;  // should a wait miss its end, this ends it
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        rescued = true;
        for (const int stream : {3, 5}) engine.engine->endStream(stream);
    });
    rescue.start(60000);
    generate();
    EXPECT_FALSE(rescued);
    EXPECT_EQ(step, 3);
    EXPECT_EQ(frm->LabelStatus->text(), "Completed!");
    EXPECT_EQ(readFile(file("0.txt")), "11 120\r\n");
    EXPECT_EQ(readFile(file("1.txt")), "2 60\r\n");
    EXPECT_EQ(frm->SpeechGeneration1->PendingStreams, 0);
}

TEST_F(Generation, EntriesDeletedDuringTheWaitEndItWithTheIndexErrorAndTheControlsComeBack) {
    start("=one\r\n=two\r\n=three\r\n");
    engine.engine->endAudibleAtOnce = false;
    const OnceWhen during([&] { return frm->SpeechGeneration1->AloudStream == 2; },
                          [&] {
                              frm->ValueListEditor1->deleteEntry(2);
                              frm->ValueListEditor1->deleteEntry(1);
                              engine.engine->endStream(2);
                          });
    generate();
    EXPECT_EQ(dialogs.shown(), std::vector<std::string>{"Error: List index out of bounds (1)"});
    EXPECT_TRUE(allEnabled());
    EXPECT_EQ(frm->LabelStatus->text(), "Generation failed!");
    EXPECT_EQ(frm->SpVoice->AudioOutputStream(), nullptr);
    EXPECT_TRUE(exists(file("0.mp3")));
    EXPECT_FALSE(exists(file("1.mp3")));
}

TEST_F(Generation, TheGridsKeysNeitherInsertNorDeleteRowsWhileItRuns) {
    start("=one\r\n=two\r\n=three\r\n");
    engine.engine->endAudibleAtOnce = false;
    ValueListEditor* grid = frm->ValueListEditor1;
    const OnceWhen during([&] { return frm->SpeechGeneration1->AloudStream == 2; },
                          [&] {
                              grid->setFocus();
                              grid->setCurrentIndex(grid->model()->index(1, 1));
                              QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
                              QTest::keyClick(grid, Qt::Key_Insert);
                              engine.engine->endAudibleAtOnce = true;
                              engine.engine->endStream(2);
                          });
    generate();
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(frm->LabelStatus->text(), "Completed!");
    EXPECT_EQ(grid->count(), 3);
    // Afterwards they do again, and a deletion is written.
    grid->setCurrentIndex(grid->model()->index(1, 1));
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(readFile(workspace.bot(frm->botName()) + "phrases.txt"), "=one\r\n=three\r\n");
}

TEST_F(Generation, AnEngineFailureClosesTheStreamRestoresTheOutputAndReportsIt) {
    start("=one\r\n=two\r\n");
    engine.engine->endAudibleAtOnce = false;
    const std::string folder = workspace.bot(frm->botName());
    const OnceWhen during(
        [&] { return frm->SpeechGeneration1->AloudStream == 2; },
        [&] {
            fs::create_directory(folder + "1.wav");  // phrase 1's file cannot be made
            engine.engine->endStream(2);
        });
    generate();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0], "Error: The speech engine cannot create the file \"" + folder +
                                      "1.wav\". Is a directory.");
    EXPECT_TRUE(allEnabled());
    EXPECT_EQ(frm->LabelStatus->text(), "Generation failed!");
    EXPECT_EQ(frm->SpVoice->AudioOutputStream(), nullptr);
    EXPECT_FALSE(frm->SpFileStream1->isOpen());
    // A preview afterwards is heard, not written into a file.
    fs::create_directories(folder);
    QTest::mouseClick(frm->ButtonPlay, Qt::LeftButton);
    EXPECT_EQ(engine.engine->requests.back().output, nullptr);
}

TEST_F(Generation, PlayPreviewIsHeldWhileAPhraseIsMadeSoThatItsLogIsWhole) {
    start("=one\r\n");
    engine.engine->endAudibleAtOnce = false;
    bool heldDuring = false;
    const OnceWhen during([&] { return frm->SpeechGeneration1->AloudStream == 2; },
                          [&] {
                              engine.engine->viseme(11, 120, 2);
                              heldDuring = !frm->ButtonPlay->isEnabled();
                              QTest::mouseClick(frm->ButtonPlay, Qt::LeftButton);  // does nothing
                              engine.engine->viseme(0, 80, 2);
                              engine.engine->endStream(2);
                          });
    generate();
    EXPECT_TRUE(heldDuring);
    EXPECT_EQ(readFile(file("0.txt")), "11 120\r\n0 80\r\n");
    EXPECT_EQ(spoken(false).size(), 1u);  // no preview was asked for
    EXPECT_TRUE(frm->ButtonPlay->isEnabled());
}

TEST_F(Generation, AFilePassCutShortByAFullDiskLeavesNoWavFile) {
    start("=one\r\n");
    // The file size limit makes the WAV file's samples fail half-way, as a full disk would.
    {
        const FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.set());
        generate();
    }
    EXPECT_EQ(frm->LabelStatus->text(), "Generation failed!");
    EXPECT_EQ(dialogs.shown(), std::vector<std::string>{"Error: The speech engine cannot write the "
                                                        "file \"" +
                                                        file("0.wav") + "\". File too large."});
    EXPECT_FALSE(exists(file("0.wav")));
    EXPECT_EQ(frm->SpVoice->AudioOutputStream(), nullptr);
}

TEST_F(Generation, AMissingEncoderIsCountedAndToldAtTheEnd) {
    const ProcessEncoder real;
    start("=one\r\n=two\r\n");
    generate();
    EXPECT_EQ(frm->LabelStatus->text(), "Completed with errors!");
    EXPECT_TRUE(allEnabled());
    EXPECT_EQ(dialogs.shown(),
              std::vector<std::string>{"Warning: 2 of 2 phrases have no new MP3 file:\n2: the "
                                       "encoder \"" +
                                       workspace.path() + "lame.exe\" was not found."});
    EXPECT_FALSE(exists(file("0.wav")));  // deleted all the same
    EXPECT_TRUE(exists(file("1.txt")));
    EXPECT_NE(std::find(traces.begin(), traces.end(), "Error calling encoder"), traces.end());
}

// Started from another folder, the program runs its own encoder, never one that the working
// folder holds; without its own, the phrases fail and the warning says that it was not found.
TEST_F(Generation, TheEncoderIsTheProgramFoldersWhateverTheWorkingFolder) {
    const ProcessEncoder real;
    start("=one\r\n");
    TempDir elsewhere;
    const std::string ran = workspace.path() + "ran";
    writeFile(elsewhere.path() + "lame.exe", "#!/bin/sh\necho elsewhere >> '" + ran + "'\n");
    fs::permissions(elsewhere.path() + "lame.exe", fs::perms::owner_all);
    workspace.fakeEncoder("echo own >> '" + ran + "'; " + TempWorkspace::kWritesMp3);
    const fs::path home = fs::current_path();
    fs::current_path(elsewhere.path());
    for (const bool own : {true, false}) {
        SCOPED_TRACE(own);
        if (!own) fs::remove(workspace.path() + "lame.exe");
        for (const bool aloud : {true, false}) {
            frm->CheckBoxSpeakAloud->setChecked(aloud);
            dialogs.shown().clear();
            generate();
            if (own) {
                EXPECT_EQ(frm->LabelStatus->text(), "Completed!");
            } else {
                EXPECT_EQ(dialogs.shown(),
                          std::vector<std::string>{"Warning: 1 of 1 phrases have no new MP3 "
                                                   "file:\n1: the encoder \"" +
                                                   workspace.path() + "lame.exe\" was not found."});
            }
        }
    }
    fs::current_path(home);
    EXPECT_EQ(readFile(ran), "own\nown\n");
}

TEST_F(Generation, EncoderOutcomesAreToldAsTheyHappened) {
    const ProcessEncoder real;  // scripts stand in for the encoder
    const std::string mp3 = TempWorkspace::kWritesMp3;
    const std::string none = "1 of 1 phrases have no new MP3 file:\n1: ";
    struct Case {
        std::string script;
        std::string warning;  // empty: none, and "Completed!"
        bool mp3Stays;
    };
    const Case cases[] = {
        {"exit 1", none + "the encoder ended with exit code 1 and wrote no MP3 file.", false},
        {"exit 0", none + "the encoder wrote no MP3 file.", false},
        {"cp \"$1\" \"$2\"; exit 3",
         none + "the encoder ended with exit code 3 and wrote a file that is not MP3 audio (it "
                "holds no MPEG audio frame); it was removed.",
         false},
        {"printf 'not audio at all' > \"$2\"",
         none + "the encoder wrote a file that is not MP3 audio (it holds no MPEG audio frame); it "
                "was removed.",
         false},
        {"printf '\\377\\373\\220\\144' > \"$2\"; head -c 99 /dev/zero >> \"$2\"",
         none + "the encoder wrote a file that is not MP3 audio (its frames end in the middle of "
                "a frame); it was removed.",
         false},
        {mp3 + "; exit 1", "", true},  // a valid file: made, whatever the exit code
    };
    start("=one\r\n");
    for (const auto& [script, warning, mp3Stays] : cases) {
        dialogs.shown().clear();
        std::filesystem::remove(file("0.mp3"));
        workspace.fakeEncoder(script);
        generate();
        EXPECT_EQ(frm->LabelStatus->text(),
                  warning.empty() ? "Completed!" : "Completed with errors!")
            << script;
        EXPECT_EQ(dialogs.shown(), warning.empty()
                                       ? std::vector<std::string>{}
                                       : std::vector<std::string>{"Warning: " + warning})
            << script;
        EXPECT_EQ(exists(file("0.mp3")), mp3Stays) << script;
    }
    // Not executable: it cannot be started.
    fs::permissions(workspace.path() + "lame.exe", fs::perms::owner_read | fs::perms::owner_write);
    dialogs.shown().clear();
    generate();
    EXPECT_EQ(dialogs.shown(),
              std::vector<std::string>{"Warning: 1 of 1 phrases have no new MP3 file:\n1: the "
                                       "encoder \"" +
                                       workspace.path() +
                                       "lame.exe\" could not be started (Permission denied)."});
    EXPECT_NE(std::find(traces.begin(), traces.end(), "exit code=1"), traces.end());
}

TEST_F(Generation, ClosingTheWindowStopsTheGenerationAfterThePhraseAndThenCloses) {
    start("=one\r\n");
    engine.engine->endAudibleAtOnce = false;
    bool visibleAfterClose = false;
    const OnceWhen during([&] { return frm->SpeechGeneration1->AloudStream == 2; },
                          [&] {
                              frm->close();
                              visibleAfterClose = frm->isVisible();
                              engine.engine->endStream(2);
                          });
    generate();
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(frm->LabelStatus->text(), "Completed!");
    QApplication::processEvents();
    EXPECT_FALSE(frm->isVisible());  // closed once the generation ended
}

TEST_F(Generation, AnEncoderThatHangsIsEndedSoonAfterStopOrClosingAndLeavesNoFile) {
    const ProcessEncoder real;
    const std::string started = workspace.path() + "started";
    workspace.fakeEncoder("printf x > '" + started + "'; printf partial > \"$2\"; exec sleep 60");
    start("=one\r\n=two\r\n");
    for (const bool closing : {false, true}) {
        SCOPED_TRACE(closing);
        fs::remove(started);
        dialogs.shown().clear();
        frm->show();
        const OnceWhen hung([&] { return exists(started); },
                            [&] { closing ? (void)frm->close() : frm->ButtonStop->click(); });
        generate();
        EXPECT_EQ(frm->LabelStatus->text(), "Stopped with errors!");
        EXPECT_FALSE(exists(file("0.mp3")));
        EXPECT_FALSE(exists(file("0.wav")));
        EXPECT_FALSE(exists(file("1.mp3")));  // the phrase after the stop is not made
        if (closing) {
            EXPECT_TRUE(dialogs.shown().empty());  // the window is gone: no box
            QApplication::processEvents();
            EXPECT_FALSE(frm->isVisible());
        } else {
            EXPECT_EQ(dialogs.shown(),
                      std::vector<std::string>{
                          "Warning: 1 of 1 phrases have no new MP3 file:\n1: the encoder did not "
                          "finish within 3 seconds of the stop and was stopped."});
        }
    }
}
