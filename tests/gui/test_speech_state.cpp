// The speech of each row kept in step with the phrase list; the bot's own voice; a generation
// that shows its progress, stops on request, and speaks aloud or not.
#include <gtest/gtest.h>

#include <filesystem>

#include <chrono>
#include <future>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "gui/generation.h"
#include "gui/main.h"
#include "gui/pronunciations_editor.h"
#include "gui/value_list_editor.h"
#include "tests/support/scripted_engine.h"
#include "tests/support/support.h"
#include "tests/support/test_platform.h"

namespace {

struct SpeechState : ::testing::Test {
    ScriptedEngineScope engine;
    TempWorkspace workspace;
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmTextToSpeech> frm;

    SpeechState() { engine.tokens = {scriptedVoice(u"Anna"), scriptedVoice(u"Ben")}; }
    void start() {
        frm = std::make_unique<TfrmTextToSpeech>();
        frm->show();
        QApplication::setActiveWindow(frm.get());
        settle();
    }
    static void settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    std::string file(const std::string& name) const { return workspace.bot(frm->botName()) + name; }
    void generate(QPushButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        settle();
    }
    std::vector<RowMark> marks() const {
        std::vector<RowMark> out;
        for (int i = 0; i < frm->ValueListEditor1->count(); ++i)
            out.push_back(frm->ValueListEditor1->rowMark(i));
        return out;
    }
    std::string count() const { return frm->LabelPublishSpeechState->text().toStdString(); }
    // Stamps each n.mp3 with its row's phrase, so that files can be told apart after moves.
    void stamp(const std::vector<std::string>& phrases) {
        for (size_t n = 0; n < phrases.size(); ++n)
            writeFile(file(std::to_string(n) + ".mp3"), "speech of " + phrases[n]);
    }
    void typeInto(int row, int column, const char* text) {
        ValueListEditor* grid = frm->ValueListEditor1;
        frm->PageControl1->setCurrentIndex(1);
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row - 1, column));
        for (const char* c = text; *c; ++c) {  // the first key opens the cell editor
            QWidget* target = grid->cellEditor() ? static_cast<QWidget*>(grid->cellEditor()) : grid;
            QTest::keyClick(target, *c);
        }
        QTest::keyClick(grid->cellEditor(), Qt::Key_Return);
        settle();
    }
};

// Opens the bot's pronunciations, lets `edit` change the editor's grid, and closes it with
// "Close", as a user does.
void editPronunciations(TfrmTextToSpeech& frm,
                        const std::function<void(PronunciationsEditor&)>& edit) {
    const OnceWhen open(
        [] { return dynamic_cast<PronunciationsEditor*>(QApplication::activeModalWidget()); },
        [&] {
            auto* editor = dynamic_cast<PronunciationsEditor*>(QApplication::activeModalWidget());
            edit(*editor);
            editor->ButtonClosePronunciations->click();
        });
    frm.ButtonPronunciations->click();
    ASSERT_TRUE(open.done());
}

void setCell(PronunciationsEditor& editor, int row, int column, const char* text) {
    editor.GridPronunciations->item(row, column)->setText(QString::fromUtf8(text));
}

using Marks = std::vector<RowMark>;
constexpr RowMark kNone = RowMark::kNone, kMissing = RowMark::kMissing, kStale = RowMark::kStale;

}  // namespace

TEST_F(SpeechState, EditsDeletionsInsertionsAndTheVoiceMarkExactlyTheRowsTheyTouch) {
    workspace.addBot("bot");
    writeFile(workspace.bot("bot") + "phrases.txt", "a=A\r\nb=B\r\nc=C\r\n");
    start();
    EXPECT_EQ(marks(), (Marks{kMissing, kMissing, kMissing}));
    EXPECT_EQ(count(), "3 phrases of 3 need their speech made: 3 have none.");
    generate(frm->ButtonGenerateSpeech);
    EXPECT_EQ(marks(), (Marks{kNone, kNone, kNone}));
    EXPECT_EQ(count(), "All 3 phrases have their speech.");
    EXPECT_EQ(frm->LabelSpeechState->text().toStdString(), count());
    EXPECT_FALSE(frm->ButtonGenerateChanged->isEnabled());
    stamp({"A", "B", "C"});

    typeInto(2, 1, "B2");  // an edited phrase
    EXPECT_EQ(marks(), (Marks{kNone, kStale, kNone}));

    // Row 0 deleted: the others move up, and their files with them.
    frm->ValueListEditor1->setRow(1);
    QTest::mouseClick(frm->ButtonDeletePhrase, Qt::LeftButton);
    settle();
    EXPECT_EQ(marks(), (Marks{kStale, kNone}));
    EXPECT_EQ(readFile(file("1.mp3")), "speech of C");
    EXPECT_FALSE(exists(file("2.mp3")));

    // A row inserted above: the rows below move down with their files; the new row keeps the
    // files that stood in its place, out of date, and the edited row has none.
    frm->ValueListEditor1->setRow(1);
    frm->ValueListEditor1->insertEntry(0, "new=N");
    typeInto(1, 1, "N");
    EXPECT_EQ(marks(), (Marks{kStale, kMissing, kNone}));
    EXPECT_EQ(readFile(file("2.mp3")), "speech of C");
    EXPECT_EQ(count(), "2 phrases of 3 need their speech made: 1 has none, 1 is out of date.");

    // "Generate changed" makes exactly those rows.
    harnessEncoder().calls.clear();
    ASSERT_TRUE(frm->ButtonGenerateChanged->isEnabled());
    generate(frm->ButtonGenerateChanged);
    ASSERT_EQ(harnessEncoder().calls.size(), 2u);
    EXPECT_EQ(harnessEncoder().calls[0].arguments[2], file("0.mp3"));
    EXPECT_EQ(harnessEncoder().calls[1].arguments[2], file("1.mp3"));
    EXPECT_EQ(readFile(file("2.mp3")), "speech of C");  // untouched
    EXPECT_EQ(marks(), (Marks{kNone, kNone, kNone}));

    // Another rate: every row is out of date, even when the record cannot be written.
    std::filesystem::remove(file("speech.txt"));
    std::filesystem::create_directory(file("speech.txt"));
    frm->tbRate->setValue(3);
    settle();
    EXPECT_EQ(marks(), (Marks{kStale, kStale, kStale}));
    EXPECT_EQ(count(), "3 phrases of 3 need their speech made: 3 are out of date.");
    EXPECT_FALSE(dialogs.shown().empty());
}

TEST_F(SpeechState, EachBotKeepsItsVoiceRateAndVolumeOverARestart) {
    for (const char* bot : {"one", "two"}) workspace.addBot(bot);
    start();
    const auto pick = [this](const char* bot) {
        frm->ComboBoxBots->setCurrentIndex(frm->ComboBoxBots->findText(bot));
        frm->ComboBoxBotsChange(frm->ComboBoxBots);
    };
    pick("one");
    frm->ListBoxVoices->setCurrentRow(1);  // as the user does: its handler runs
    frm->tbRate->setValue(4);
    frm->tbVolume->setValue(60);
    pick("two");  // a bot without a voice of its own speaks with the one of start-up
    EXPECT_EQ(frm->ListBoxVoices->currentRow(), 0);
    EXPECT_EQ(frm->tbRate->value(), 0);
    EXPECT_EQ(frm->tbVolume->value(), 100);

    frm.reset();
    start();
    pick("one");
    EXPECT_EQ(frm->ListBoxVoices->currentRow(), 1);
    EXPECT_EQ(engine.engine->voice().get(), engine.tokens[1].get());
    EXPECT_EQ(frm->SpVoice->Rate(), 4);
    EXPECT_EQ(frm->SpVoice->Volume(), 60);
    EXPECT_EQ(frm->lblRate->text(), "4");
    pick("two");
    EXPECT_EQ(frm->SpVoice->Rate(), 0);
    EXPECT_EQ(readFile(workspace.bot("one") + "speech.txt"), "voice=Ben\nrate=4\nvolume=60\n");
    EXPECT_FALSE(exists(workspace.bot("two") + "speech.txt"));
}

TEST_F(SpeechState, AGenerationShowsItsProgressAndStopsAfterThePhraseItIsMaking) {
    workspace.addBot("bot");
    writeFile(workspace.bot("bot") + "phrases.txt", "=one\r\n=two\r\n=three\r\n");
    start();
    engine.engine->endAudibleAtOnce = false;
    std::string during;
    int value = -1;
    const OnceWhen whileSpoken(
        [&] { return frm->SpeechGeneration1->AloudStream == 2; },
        [&] {
            during = frm->LabelProgress->text().toStdString();
            value = frm->ProgressGeneration->value();
            QTest::mouseClick(frm->ButtonStop, Qt::LeftButton);
            engine.engine->endStream(2);  // the end of the first phrase's audible pass
        });
    generate(frm->ButtonGenerateSpeech);
    EXPECT_EQ(during, "Phrase 1 of 3: \"one\"\nWorking out the time left...");
    EXPECT_EQ(value, 0);
    EXPECT_EQ(frm->LabelStatus->text(), "Stopped!");
    EXPECT_TRUE(exists(file("0.mp3")));
    EXPECT_TRUE(exists(file("0.txt")));
    EXPECT_FALSE(exists(file("1.mp3")));
    EXPECT_FALSE(frm->ButtonStop->isEnabled());
    EXPECT_TRUE(frm->ButtonGenerateSpeech->isEnabled());
    EXPECT_EQ(frm->LabelProgress->text(), "");
    EXPECT_EQ(count(), "2 phrases of 3 need their speech made: 2 have none.");

    // The bot selected again: the status of the generation before goes.
    frm->ComboBoxBotsChange(frm->ComboBoxBots);
    EXPECT_EQ(frm->LabelStatus->text(), "");
}

TEST_F(SpeechState, WithoutSpeakingAloudTheProgressNamesThePhraseMadeAndAStopIsShownToTheEnd) {
    workspace.addBot("bot");
    writeFile(workspace.bot("bot") + "phrases.txt", "=one\r\n=two\r\n=three\r\n=four\r\n");
    start();
    QTest::mouseClick(frm->CheckBoxSpeakAloud, Qt::LeftButton);
    // The third phrase's encoder ends only once the stop has been shown: the stop comes while
    // phrases are still being made, however fast the machine is.
    std::promise<void> stopPressed;
    const std::shared_future<void> stopSeen = stopPressed.get_future().share();
    bool stopClicked = false, stopShown = false;
    harnessEncoder().behaviour = [stopSeen](const std::vector<std::string>& arguments) {
        if (arguments.back().ends_with("2.mp3")) stopSeen.wait_for(std::chrono::minutes(1));
        writeFile(arguments.back(), silentMp3Frame());
        EncoderOutcome outcome;
        outcome.started = true;
        return outcome;
    };
    std::vector<std::string> seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const std::string text = frm->LabelProgress->text().toStdString();
        if (seen.empty() || seen.back() != text) seen.push_back(text);
        if (text.rfind("Phrase 3 of 4", 0) == 0 && !stopClicked) {
            QTest::mouseClick(frm->ButtonStop, Qt::LeftButton);
            stopClicked = true;
        }
        if (text.rfind("Stopping after this phrase...", 0) == 0 && !stopShown) {
            stopShown = true;
            stopPressed.set_value();
        }
    });
    poll.start(0);  // at every turn of the event loop, after each phrase's file pass among them
    generate(frm->ButtonGenerateSpeech);
    poll.stop();
    // Each line names the phrase whose file pass is made, until the stop; then it says so.
    const char* const words[] = {"one", "two", "three", "four"};
    bool stopping = false;
    for (const std::string& text : seen) {
        const std::string line = text.substr(0, text.find('\n'));
        if (line.empty()) continue;  // the generation has ended
        if (line == "Stopping after this phrase...") {
            stopping = true;
            continue;
        }
        EXPECT_FALSE(stopping) << line;
        const int k = line.size() > 7 ? line[7] - '0' : 0;
        ASSERT_TRUE(k >= 1 && k <= 4) << line;
        EXPECT_EQ(line, "Phrase " + std::to_string(k) + " of 4: \"" + words[k - 1] + "\"");
    }
    EXPECT_TRUE(stopping);
    EXPECT_EQ(frm->LabelStatus->text(), "Stopped!");
    EXPECT_FALSE(exists(file("3.mp3")));
    for (const char* n : {"0", "1", "2"}) EXPECT_TRUE(exists(file(std::string(n) + ".txt"))) << n;
}

TEST_F(SpeechState, WithoutSpeakingAloudTheLogsComeFromTheFilePassAndTheChoiceIsKept) {
    workspace.addBot("bot");
    writeFile(workspace.bot("bot") + "phrases.txt", "=one\r\n=two\r\n");
    start();
    EXPECT_TRUE(frm->CheckBoxSpeakAloud->isChecked());
    QTest::mouseClick(frm->CheckBoxSpeakAloud, Qt::LeftButton);
    EXPECT_EQ(
        readFile(workspace.path() + "options.txt").find("speakaloud=0\n") != std::string::npos,
        true);
    engine.engine->fileVisemes_ = {{11, 120}, {0, 80}};
    engine.engine->endAudibleAtOnce = false;  // nothing may wait for an audible pass
    generate(frm->ButtonGenerateSpeech);
    EXPECT_EQ(frm->LabelStatus->text(), "Completed!");
    for (const auto& r : engine.engine->requests) EXPECT_NE(r.output, nullptr);  // file passes
    EXPECT_EQ(harnessEncoder().calls.size(), 2u);
    for (const char* n : {"0", "1"}) {
        EXPECT_EQ(readFile(file(std::string(n) + ".txt")), "11 120\r\n0 80\r\n") << n;
        EXPECT_TRUE(exists(file(std::string(n) + ".mp3"))) << n;
        EXPECT_FALSE(exists(file(std::string(n) + ".wav"))) << n;
    }
    frm.reset();
    start();
    EXPECT_FALSE(frm->CheckBoxSpeakAloud->isChecked());
}

TEST_F(SpeechState, PronunciationsAreSpokenInEveryPassAndMarkExactlyTheRowsWhoseSpeechTheyChange) {
    workspace.addBot("bot");
    const std::string phrases =
        "firma=Die Parlomat GmbH hilft.\r\nhallo=Hallo!\r\nwir=Wir sind die GmbH.\r\n";
    writeFile(workspace.bot("bot") + "phrases.txt", phrases);
    writeFile(workspace.bot("bot") + "pronunciations.txt",
              "GmbH=Gesellschaft mit beschränkter Haftung\r\nParlomat=Parlo maht\r\n");
    start();
    generate(frm->ButtonGenerateSpeech);
    EXPECT_EQ(marks(), (Marks{kNone, kNone, kNone}));
    const std::u16string spoken0 = u"Die Parlo maht Gesellschaft mit beschränkter Haftung hilft.";
    std::vector<std::u16string> texts;
    for (const auto& r : engine.engine->requests) texts.push_back(r.text);
    // Each phrase twice, the file pass and the audible one, as it is spoken.
    EXPECT_EQ(texts, (std::vector<std::u16string>{spoken0, spoken0, u"Hallo!", u"Hallo!",
                                                  u"Wir sind die Gesellschaft mit beschränkter "
                                                  u"Haftung.",
                                                  u"Wir sind die Gesellschaft mit beschränkter "
                                                  u"Haftung."}));
    EXPECT_EQ(readFile(workspace.bot("bot") + "phrases.txt"), phrases);
    frm->ValueListEditor1->setRow(1);
    QTest::mouseClick(frm->ButtonPlay, Qt::LeftButton);
    EXPECT_EQ(engine.engine->requests.back().text, spoken0);

    // Each change of the list marks the rows whose spoken text it changes, and no other.
    const struct {
        const char* what;
        std::function<void(PronunciationsEditor&)> edit;
        Marks marks;
    } steps[] = {
        {"an entry edited", [](auto& e) { setCell(e, 1, 1, "Parlo mat"); }, {kStale, kNone, kNone}},
        {"an entry added",
         [](auto& e) {
             e.ButtonAddPronunciation->click();
             setCell(e, 2, 0, "hallo");
             setCell(e, 2, 1, "Halloo");
         },
         {kStale, kStale, kNone}},
        {"an entry deleted",
         [](auto& e) {
             e.GridPronunciations->setCurrentCell(0, 0);
             e.ButtonDeletePronunciation->click();
         },
         {kStale, kStale, kStale}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        editPronunciations(*frm, step.edit);
        settle();
        EXPECT_EQ(marks(), step.marks);
    }
    const std::string kept = "Parlomat=Parlo mat\r\nhallo=Halloo\r\n";
    EXPECT_EQ(readFile(workspace.bot("bot") + "pronunciations.txt"), kept);

    // "Listen" speaks the selected spoken form; a restart keeps the list and the marks.
    editPronunciations(*frm, [](auto& e) {
        e.GridPronunciations->setCurrentCell(1, 0);
        e.ButtonListen->click();
    });
    EXPECT_EQ(engine.engine->requests.back().text, u"Halloo");
    frm.reset();
    start();
    EXPECT_EQ(marks(), (Marks{kStale, kStale, kStale}));
    harnessEncoder().calls.clear();
    generate(frm->ButtonGenerateChanged);
    EXPECT_EQ(harnessEncoder().calls.size(), 3u);
    EXPECT_EQ(engine.engine->requests.back().text, u"Wir sind die GmbH.");
    EXPECT_EQ(readFile(workspace.bot("bot") + "pronunciations.txt"), kept);
}
