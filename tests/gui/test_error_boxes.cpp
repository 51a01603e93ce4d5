// Errors raised from inside a control's own signal, shown in Qt's real message boxes and closed
// with a key press as a user closes them; the window lives on and the files hold what they should.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include "core/errors.h"
#include "core/folder_lock.h"
#include "core/paths.h"
#include "core/phrase_file.h"
#include "gui/errorreport.h"
#include "gui/generation.h"
#include "gui/main.h"
#include "gui/pronunciations_editor.h"
#include "gui/value_list_editor.h"
#include "tests/support/scripted_engine.h"
#include "tests/support/support.h"

namespace fs = std::filesystem;

namespace {

struct ErrorBoxes : ::testing::Test {
    ScriptedEngineScope engine;
    TempWorkspace workspace;
    RealBoxes boxes;
    std::unique_ptr<TfrmTextToSpeech> frm;

    void start(int page) {
        frm = std::make_unique<TfrmTextToSpeech>();
        frm->show();
        QApplication::setActiveWindow(frm.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frm.get()));
        frm->PageControl1->setCurrentIndex(page);
    }
    std::string phrases() const { return workspace.bot("bot") + "phrases.txt"; }
    // Types into the cell of grid row `row` and `column`, as a user does: the first key opens
    // the cell editor, each key is reported.
    void typeIntoCell(int row, int column, const char* text) {
        ValueListEditor* grid = frm->ValueListEditor1;
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row - 1, column));
        for (const char* c = text; *c; ++c) {
            QWidget* target = grid->cellEditor() ? static_cast<QWidget*>(grid->cellEditor()) : grid;
            QTest::keyClick(target, *c);
        }
    }
    static std::string title() { return applicationTitle(executablePath()) + ": "; }
};

}  // namespace

TEST_F(ErrorBoxes, ReportsFromACellEditorLeaveTheGridWorkingAndTheFileAsItShouldBe) {
    const std::string invalidUtf8("k=\xFC\r\n", 5);
    struct Case {
        const char* what;
        std::function<void(const std::string& file)> prepare;
        int column;
        const char* typed;
        std::string box;                   // after "caption: "; the path of the list stands for %s
        std::string fileAfter;             // "<none>": no file; "<folder>": still the folder
        rlim_t sizeLimit = RLIM_INFINITY;  // while the key is typed
    };
    const Case cases[] = {
        {"an equals sign in the keyword of an entry",
         [](const std::string& f) { writeFile(f, "k=p\r\n"); }, 0, "=",
         "Parlomat: Key may not contain equals sign (\"=\")", "k=p\r\n"},
        {"an equals sign in the placeholder row of a bot without a list", [](const std::string&) {},
         0, "=", "Parlomat: Key may not contain equals sign (\"=\")", "<none>"},
        {"a list that cannot be shown whole is kept in a backup",
         [&](const std::string& f) { writeFile(f, invalidUtf8); }, 1, "x",
         "Warning: The phrase list of the bot \"bot\" held text that cannot be shown here (bytes "
         "that are not UTF-8, or a NUL character). Its original content was kept in \"%s.bak\".",
         "=x\r\n"},
        {"a folder in the place of the list", [](const std::string& f) { fs::create_directory(f); },
         1, "x", "Parlomat: Cannot create file \"%s\". Is a directory.", "<folder>"},
        {"a full disk (a file size limit of 4 bytes)",
         [](const std::string& f) { writeFile(f, "k=p\r\n"); }, 1, "x",
         "Parlomat: Cannot write file \"%s\". File too large.", "k=p\r\n", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        workspace.addBot("bot");
        const std::string file = phrases();
        c.prepare(file);
        start(1);

        const size_t before = boxes.closed().size();
        {
            const FileSizeLimit limit(c.sizeLimit);
            typeIntoCell(1, c.column, c.typed);
        }
        std::string box = c.box;
        if (box.rfind("Parlomat: ", 0) == 0) box.replace(0, 10, title());
        if (const size_t at = box.find("%s"); at != std::string::npos) box.replace(at, 2, file);
        ASSERT_EQ(boxes.waitFor(before + 1).size(), before + 1);
        EXPECT_EQ(boxes.closed()[before], box);
        EXPECT_EQ(boxes.settle().size(), before + 1);  // one box for the one key
        if (c.fileAfter == "<none>")
            EXPECT_FALSE(exists(file));
        else if (c.fileAfter == "<folder>")
            EXPECT_TRUE(fs::is_directory(file));
        else
            EXPECT_EQ(readFile(file), c.fileAfter);
        if (c.box.rfind("Warning", 0) == 0) {
            EXPECT_EQ(readFile(file + ".bak"), invalidUtf8);
        }

        // The window goes on: the grid takes the next keys as before.
        QApplication::setActiveWindow(frm.get());
        typeIntoCell(1, 1, "ok");
        boxes.waitFor(boxes.closed().size());
        EXPECT_EQ(frm->ValueListEditor1->entry(0),
                  keywordOf(frm->ValueListEditor1->entry(0)) + "=ok");
        frm.reset();
        discardQueuedReports();
        fs::remove_all(workspace.bot("bot"));
    }
}

TEST_F(ErrorBoxes, AnEqualsSignTypedDuringAGenerationIsRefusedAndTheGenerationCompletes) {
    workspace.addBot("bot");
    writeFile(phrases(), "k=Hallo\r\n");
    start(1);
    engine.engine->endAudibleAtOnce = false;
    // The key comes while phrase 0 is heard; the phrase ends once its box has been closed.
    const OnceWhen typed([&] { return frm->SpeechGeneration1->AloudStream == 2; },
                         [&] { typeIntoCell(1, 0, "="); });
    const OnceWhen ended([&] { return typed.done() && boxes.closed().size() == 1; },
                         [&] { engine.engine->endStream(2); });
    QTest::mouseClick(frm->ButtonGenerateSpeech, Qt::LeftButton);
    EXPECT_EQ(boxes.waitFor(1),
              std::vector<std::string>{title() + "Key may not contain equals sign (\"=\")"});
    EXPECT_EQ(frm->LabelStatus->text(), "Completed!");
    EXPECT_EQ(readFile(phrases()), "k=Hallo\r\n");
    EXPECT_TRUE(exists(workspace.bot("bot") + "0.mp3"));
    EXPECT_TRUE(frm->ButtonGenerateSpeech->isEnabled());
}

TEST_F(ErrorBoxes, EveryOtherKindOfControlReportsInARealBoxAndGoesOn) {
    fs::create_directory(workspace.path() + "flash/chars/Nobody");  // no preview.jpg
    workspace.addBot("a");
    workspace.addBot("b");
    start(0);
    // The bot that is not selected names a character without a preview.
    const int other = 1 - frm->ComboBoxBots->currentIndex();
    const std::string otherBot = frm->ComboBoxBots->itemText(other).toStdString();
    writeFile(workspace.bot(otherBot) + "vars.txt", "hint=x&char=Nobody");
    const std::string noPreview = title() + "Cannot open file \"" + workspace.path() +
                                  "flash/chars/Nobody/preview.jpg\". No such file or directory.";

    // A line edit of the Interface page: "&" typed into the hint.
    frm->Edithint->setFocus();
    frm->Edithint->selectAll();
    QTest::keyClicks(frm->Edithint, "Q&A");
    EXPECT_EQ(boxes.waitFor(1),
              std::vector<std::string>{title() + "The texts of the bot's interface may not contain "
                                                 "an ampersand (\"&\")"});
    EXPECT_EQ(frm->Edithint->text(), "QA");

    // A pick list, with the keyboard.
    frm->ComboBoxChars->setFocus();
    QTest::keyClick(frm->ComboBoxChars, Qt::Key_Down);
    EXPECT_EQ(boxes.waitFor(2).back(), noPreview);

    // The grid's own keys: Ctrl+Delete on the placeholder row.
    frm->PageControl1->setCurrentIndex(1);
    frm->ValueListEditor1->setFocus();
    QTest::keyClick(frm->ValueListEditor1, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(boxes.waitFor(3).back(), title() + "List index out of bounds (0)");

    // A track bar whose change the engine refuses.
    frm->PageControl1->setCurrentIndex(2);
    engine.engine->rateError = "The rate cannot be set.";
    frm->tbRate->setFocus();
    QTest::keyClick(frm->tbRate, Qt::Key_Right);
    EXPECT_EQ(boxes.waitFor(4).back(), title() + "The rate cannot be set.");
    engine.engine->rateError.clear();

    // The bot box: the other bot's settings name a character without a preview.
    frm->ComboBoxBots->setFocus();
    QTest::keyClick(frm->ComboBoxBots, other == 1 ? Qt::Key_Down : Qt::Key_Up);
    EXPECT_EQ(boxes.waitFor(5).back(), noPreview);
    EXPECT_EQ(frm->botName(), otherBot);
    EXPECT_EQ(frm->Edithint->text(), "x");
    EXPECT_EQ(boxes.closed().size(), 5u);  // one box for each action
}

TEST_F(ErrorBoxes, ASettingsFileThatCannotBeWrittenGivesOneBoxForEachFocusChange) {
    workspace.addBot("bot");
    fs::create_directory(workspace.bot("bot") + "vars.txt");
    start(0);
    frm->Edithint->setFocus();
    QTest::keyClicks(frm->Edithint, "new");
    QTest::keyClick(frm->Edithint, Qt::Key_Tab);  // to the prompt
    const std::string box =
        title() + "Cannot create file \"" + workspace.bot("bot") + "vars.txt\". Is a directory.";
    EXPECT_EQ(boxes.waitFor(1), std::vector<std::string>{box});
    QApplication::setActiveWindow(frm.get());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // from the prompt on
    EXPECT_EQ(boxes.waitFor(2), (std::vector<std::string>{box, box}));
    EXPECT_EQ(boxes.settle().size(), 2u);
}

TEST(ErrorReport, AnErrorThatEscapesAHandlerIsReportedOnceAndEndsIt) {
    ScriptedDialogs dialogs;
    bool after = false;
    EXPECT_FALSE(runReported([&] {
        throw AppError(errkind::kInOut, "File not found");
        after = true;
    }));
    EXPECT_FALSE(after);
    EXPECT_EQ(dialogs.shown(), std::vector<std::string>{"Error: File not found."});
    EXPECT_TRUE(runReported([] {}));
    EXPECT_EQ(dialogs.shown().size(), 1u);
}

TEST_F(ErrorBoxes, ABotThatCannotBeUsedSafelyIsToldInARealBox) {
    workspace.addBot("bot");
    writeFile(phrases(), "k=Hallo\r\n");
    const std::string speech = workspace.bot("bot") + "speech.txt";
    {
        // Another copy of the program has the bot open: it is not chosen here.
        FolderLock other;
        ASSERT_TRUE(other.take(workspace.bot("bot")));
        start(1);
        EXPECT_EQ(boxes.waitFor(1).back(),
                  "Warning: The bot \"bot\" is open in another copy of Parlomat. Close it there "
                  "first, or choose another bot.");
        EXPECT_EQ(frm->ComboBoxBots->currentIndex(), -1);
        frm.reset();
        discardQueuedReports();
    }
    // A speech record that cannot be written: the generation fails and says why, and no row is
    // shown up to date.
    const size_t before = boxes.settle().size();
    start(1);
    fs::create_directory(speech);
    QTest::mouseClick(frm->ButtonGenerateSpeech, Qt::LeftButton);
    EXPECT_EQ(boxes.waitFor(before + 1).back(),
              title() + "Cannot create file \"" + speech + "\". Is a directory.");
    EXPECT_EQ(frm->LabelStatus->text(), "Generation failed!");
    frm.reset();
    discardQueuedReports();

    // A list that is a link to a file elsewhere is not shown, and the file stays as it was.
    fs::remove(speech);
    writeFile(workspace.path() + "secret.txt", "password=swordfish\r\n");
    fs::remove(phrases());
    fs::create_symlink(workspace.path() + "secret.txt", phrases());
    const size_t shown = boxes.settle().size();
    start(1);
    EXPECT_EQ(boxes.waitFor(shown + 1).back(),
              title() + "Cannot open file \"" + phrases() +
                  "\". The file is a symbolic link, which is not followed.");
    EXPECT_TRUE(frm->ValueListEditor1->isPlaceholderRow(1));  // nothing of it is shown
    EXPECT_EQ(readFile(workspace.path() + "secret.txt"), "password=swordfish\r\n");
}

TEST_F(ErrorBoxes, ThePronunciationsEditorTellsEachErrorInARealBoxAndLosesNothing) {
    workspace.addBot("bot");
    writeFile(phrases(), "k=FAQ\r\n");
    const std::string list = workspace.bot("bot") + "pronunciations.txt";
    const auto editor = [] {
        return dynamic_cast<PronunciationsEditor*>(QApplication::activeModalWidget());
    };

    // A file that is not text: told when the bot is chosen and when the editor would open, which
    // it does not; the file stays.
    const std::string damaged("FAQ=F A Q\r\n\xFF=x\r\n", 13);
    writeFile(list, damaged);
    start(2);
    const std::string unreadable =
        title() + "Cannot open file \"" + list + "\". The file is not UTF-8 text (line 2)";
    EXPECT_EQ(boxes.waitFor(1).back(), unreadable);
    frm->ButtonPronunciations->click();
    EXPECT_EQ(boxes.waitFor(2).back(), unreadable);
    EXPECT_EQ(readFile(list), damaged);
    frm.reset();
    discardQueuedReports();

    // A line left out is told; what the file held is kept in a backup when the list is stored.
    const std::string leftOut = "FAQ=F A Q\r\nno equals sign here\r\n";
    writeFile(list, leftOut);
    start(2);
    EXPECT_EQ(boxes.waitFor(3).back().rfind("Warning: Some lines of the pronunciations of the bot "
                                            "\"bot\" were left out",
                                            0),
              0u);

    // In the editor: an entry without its spoken form, then a folder where the list is stored;
    // each is told over the editor, which stays open with what was typed.
    const OnceWhen empty([&] { return editor() != nullptr; },
                         [&] {
                             editor()->GridPronunciations->item(0, 1)->setText("");
                             editor()->ButtonClosePronunciations->click();
                         });
    const OnceWhen folder([&] { return empty.done() && boxes.closed().size() == 4 && editor(); },
                          [&] {
                              editor()->GridPronunciations->item(0, 1)->setText("F A Q");
                              fs::rename(list, list + ".moved");
                              fs::create_directory(list);
                              editor()->ButtonClosePronunciations->click();
                          });
    const OnceWhen stored([&] { return folder.done() && boxes.closed().size() == 5 && editor(); },
                          [&] {
                              fs::remove(list);
                              fs::rename(list + ".moved", list);
                              editor()->ButtonClosePronunciations->click();
                          });
    frm->ButtonPronunciations->click();
    ASSERT_TRUE(stored.done());
    const std::vector<std::string> shown = boxes.waitFor(6);
    EXPECT_EQ(shown[3],
              title() + "Pronunciation 1 cannot be kept. The spoken form of \"FAQ\" is empty.");
    EXPECT_EQ(shown[4], title() + "Cannot create file \"" + list + "\". Is a directory.");
    EXPECT_EQ(shown[5],
              "Warning: The pronunciations of the bot \"bot\" held lines that were left "
              "out. Its original content was kept in \"" +
                  list + ".bak\".");
    EXPECT_EQ(readFile(list), "FAQ=F A Q\r\n");
    EXPECT_EQ(readFile(list + ".bak"), leftOut);
}
